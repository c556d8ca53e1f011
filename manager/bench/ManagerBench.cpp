// Manager benchmark (not a test): the time from opening the management
// dialog to its filled tree over a store of stored pages, and the time of
// Apply after one changed item in it.
//   manager_bench [--pages=N]   (default 1,000 pages of 5 items x 10 controls)
// The pages are written as keys BENCH<pid>_<n> below the web-form root of the
// user's database and deleted at the end.
#include "CTvrIEToolDlg.h"
#include "CWinApp.h"
#include "WebFormLayout.h"
#include "resource.h"

#include "Brisbel.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

namespace wf = torva::webform;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class Writer {
public:
    explicit Writer(TVRDB_HDB db) : m_db(db) {}
    bool Key(const std::wstring& path) {
        Close();
        return TvrDB_CreateKey(m_db, path.c_str(), &m_key) == TVRDB_OK;
    }
    void Text(const wchar_t* name, const std::wstring& text) {
        (void)TvrDB_SetValue(m_db, m_key, name, TVRDB_TYPE_STRING,
                             reinterpret_cast<const BYTE*>(text.data()),
                             DWORD(text.size() * sizeof(wchar_t)));
    }
    void Dword(const wchar_t* name, DWORD value) {
        (void)TvrDB_SetValue(m_db, m_key, name, TVRDB_TYPE_DWORD,
                             reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    void Close() {
        if (m_key) TvrDB_CloseKey(m_db, m_key);
        m_key = nullptr;
    }
    ~Writer() { Close(); }

private:
    TVRDB_HDB m_db;
    TVRDB_HKEY m_key = nullptr;
};

// One page: 5 items (forms 0..4) of 8 text controls and 2 radio groups of 3.
void WritePage(Writer& out, const std::wstring& page, int n) {
    out.Key(page);
    out.Text(wf::kPageUrl, L"https://bench.example.jp/page" + std::to_wstring(n));
    out.Text(wf::kPageTitle, L"ページ" + std::to_wstring(n));
    out.Text(wf::kPageUpdateDate, L"2026/12/09 10:00:00");
    out.Dword(wf::kPageChangeFlg, 0);
    for (int i = 1; i <= 5; ++i) {
        const std::wstring item = wf::NumberedKeyPath(page, wf::kItemStem, i);
        out.Key(item);
        out.Text(wf::kItemName, L"アイテム" + std::to_wstring(i));
        out.Text(wf::kItemFormName, L"form" + std::to_wstring(i));
        out.Dword(wf::kItemAutoInput, i == 1 ? 1 : 0);
        out.Dword(wf::kItemAutoSend, 0);
        out.Dword(wf::kItemIndex, DWORD(i - 1));
        for (int c = 1; c <= 10; ++c) {
            const std::wstring ctrl = wf::NumberedKeyPath(item, wf::kCtrlStem, c);
            out.Key(ctrl);
            const bool radio = c > 8;
            out.Dword(wf::kCtrlType, radio ? D_WEB_CTRL_RADIO : D_WEB_CTRL_TEXT);
            out.Text(wf::kCtrlName, L"field" + std::to_wstring(c));
            if (!radio) {
                out.Text(wf::kCtrlValue, L"値" + std::to_wstring(c));
                out.Dword(wf::kCtrlDataLen, DWORD(-1));
                continue;
            }
            out.Dword(wf::kCtrlMultiple, 0);
            out.Key(wf::SubKeyPath(ctrl, wf::kElementKey));
            out.Dword(wf::kElementDataNum, 3);
            for (int o = 1; o <= 3; ++o) {
                out.Text(wf::NumberedValueName(wf::kElementValueStem, o).c_str(),
                         L"v" + std::to_wstring(o));
                out.Dword(wf::NumberedValueName(wf::kElementSelectStem, o).c_str(), o == 1 ? 1 : 0);
            }
        }
    }
    out.Close();
}

bool Pump(CTvrIEToolDlg& dialog, bool (*done)(CTvrIEToolDlg&)) {
    const auto start = Clock::now();
    while (!done(dialog)) {
        if (MsSince(start) > 30 * 60 * 1000.0) return false;
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return true;
}

HTREEITEM NthChild(HWND tree, HTREEITEM parent, int n) {
    HTREEITEM node = TreeView_GetChild(tree, parent);
    for (int i = 0; node && i < n; ++i)
        node = TreeView_GetNextSibling(tree, node);
    return node;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int pages = 1000;
    for (int i = 1; i < argc; ++i) {
        if (std::wcsncmp(argv[i], L"--pages=", 8) == 0)
            pages = std::wcstol(argv[i] + 8, nullptr, 10);
    }
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    ::InitCommonControlsEx(&controls);
    (void)::OleInitialize(nullptr);
    (void)AfxEnableControlContainer();

    TVRDB_HDB db = nullptr;
    if (TvrDB_OpenDB(&db) != TVRDB_OK) {
        std::printf("the user's database does not open\n");
        return 1;
    }
    const std::wstring stem =
        wf::SubKeyPath(wf::kRootKey, L"BENCH") + std::to_wstring(::GetCurrentProcessId()) + L"_";
    std::vector<std::wstring> keys;
    auto start = Clock::now();
    {
        Writer out(db);
        for (int n = 0; n < pages; ++n) {
            keys.push_back(stem + std::to_wstring(n));
            WritePage(out, keys.back(), n);
        }
    }
    std::printf("fill: %d pages of 5 items x 10 controls in %.0f ms\n", pages, MsSince(start));

    int result = 0;
    {
        CTvrIEToolDlg dialog;
        start = Clock::now();
        if (!dialog.Create(CTvrIEToolDlg::IDD, nullptr) ||
            !Pump(dialog, [](CTvrIEToolDlg& d) { return d.IsLoaded(); })) {
            std::printf("the dialog did not load\n");
            result = 1;
        } else {
            std::printf("open to filled tree: %.0f ms (%zu pages in the store)\n", MsSince(start),
                        dialog.m_pages.size());
            const HWND tree = ::GetDlgItem(dialog.m_hWnd, IDC_TREE_WEBDATA);
            const HTREEITEM page =
                NthChild(tree, TreeView_GetRoot(tree), int(dialog.m_pages.size() / 2));
            const HTREEITEM item = page ? TreeView_GetChild(tree, page) : nullptr;
            start = Clock::now();
            TreeView_SelectItem(tree, item);
            std::printf("show one item: %.1f ms\n", MsSince(start));
            ::SetDlgItemTextW(dialog.m_hWnd, IDC_EDIT_ITEMNAME, L"変更後の名前");
            start = Clock::now();
            ::SendMessageW(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_APPLY, BN_CLICKED), 0);
            if (!Pump(dialog, [](CTvrIEToolDlg& d) { return !d.IsSaving(); })) result = 1;
            std::printf("apply of one changed item: %.0f ms\n", MsSince(start));
            dialog.DestroyWindow();
        }
    }

    start = Clock::now();
    TVRDB_HKEY root = nullptr;
    if (TvrDB_OpenKey(db, wf::kRootKey, &root) == TVRDB_OK) {
        for (const auto& key : keys)
            (void)TvrDB_DeleteKey(db, root, key.c_str() + std::wcslen(wf::kRootKey) + 1);
        TvrDB_CloseKey(db, root);
    }
    std::printf("clean-up: %.0f ms\n", MsSince(start));
    TvrDB_CloseDB(db);
    return result;
}
