#include "RegistDlgFixture.h"

#include "AxHostWindow.h"
#include "ProgramFolder.h"
#include "UiTestSupport.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// The registration asks for authentication case 3.
constexpr DWORD kRegistAuthCase = 3;
constexpr DWORD kPollMs = 10;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

} // namespace

std::vector<ListRow> ReadRows(HWND dialog) {
    std::vector<ListRow> rows;
    const HWND list = ::GetDlgItem(dialog, IDC_REGIST_LIST);
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        ListRow row;
        for (int column = 0; column < 2; ++column) {
            wchar_t text[256] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 256;
            ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            (column == 0 ? row.name : row.form) = text;
        }
        rows.push_back(row);
    }
    return rows;
}

int SelectedRow(HWND dialog) {
    return static_cast<int>(::SendMessageW(::GetDlgItem(dialog, IDC_REGIST_LIST), LVM_GETNEXTITEM,
                                           static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ClickRow(HWND dialog, int row) {
    // Not waited for: the change may ask a question, which the script
    // answers. The record outlives the call.
    static LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendNotifyMessageW(::GetDlgItem(dialog, IDC_REGIST_LIST), LVM_SETITEMSTATE, row,
                         reinterpret_cast<LPARAM>(&item));
}

HWND CopyServer(HWND dialog) {
    HWND window = ::GetDlgItem(dialog, IDC_REGIST_BROWSER);
    for (const wchar_t* name :
         {L"Shell Embedding", L"Shell DocObject View", L"Internet Explorer_Server"})
        window = window ? ::FindWindowExW(window, nullptr, name, nullptr) : nullptr;
    return window;
}

std::vector<HWND> CopyControls(HWND dialog) {
    std::vector<HWND> controls;
    const HWND server = CopyServer(dialog);
    if (!server) return controls;
    for (HWND child = ::GetWindow(server, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    std::sort(controls.begin(), controls.end(),
              [](HWND a, HWND b) { return ::GetDlgCtrlID(a) < ::GetDlgCtrlID(b); });
    return controls;
}

std::vector<HWND> CopyControls(HWND dialog, const wchar_t* windowClass) {
    std::vector<HWND> found;
    for (HWND control : CopyControls(dialog))
        if (ClassOf(control) == windowClass) found.push_back(control);
    return found;
}

bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += kPollMs) {
        if (pred()) return true;
        if (waited >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

bool WaitForCopy(HWND dialog, size_t count) {
    if (!WaitFor([&] { return CopyControls(dialog).size() == count; })) return false;
    // The fill step runs on the dialog's 100 ms timer once the copy is complete.
    ::Sleep(400);
    return true;
}

void TypeInto(HWND edit, const std::wstring& text) {
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetBoxText(HWND dialog, int id, const std::wstring& text) {
    ::SendMessageW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring BoxText(HWND dialog, int id) {
    return DialogDriver::Text(::GetDlgItem(dialog, id));
}

bool Answer(HWND box, int button) {
    if (!box) return false;
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return DialogDriver::WaitUntilGone(box, 5000);
}

void RegistDlgTest::SetUpTestSuite() {
    UseRelayBesideTestProgram();
    (void)::OleInitialize(nullptr);
    (void)AxHostWindowInit();
}

void RegistDlgTest::TearDownTestSuite() {
    ::OleUninitialize();
}

void RegistDlgTest::SetUp() {
    m_page = torva::browser::HtmlDocument::Load(torva::ProgramFolder() +
                                                L"regist-pages\\two-forms.html");
    ASSERT_TRUE(m_page && !m_page->LoadFailed());
    SetAuthAnswer(1);
    Forget();
}

void RegistDlgTest::TearDown() {
    Forget();
    m_authAnswer.reset();
    if (m_page) m_page->Close();
}

std::wstring RegistDlgTest::PageUrl() const {
    BSTR url = nullptr;
    m_page->get_URL(&url);
    std::wstring text = url ? url : L"";
    ::SysFreeString(url);
    return text;
}

std::unique_ptr<CDataWebForm> RegistDlgTest::Stored() const {
    CExpData store;
    store.m_nCryptUsable = 1;
    return std::unique_ptr<CDataWebForm>(store.GetWebPageData(PageUrl(), 1));
}

void RegistDlgTest::Forget() const {
    CExpData store;
    for (int i = 0; i < 5; ++i) {
        std::unique_ptr<CDataWebForm> form(store.GetWebPageData(PageUrl(), 0));
        if (!form) return;
        store.DeleteWebPageData(form.get());
    }
}

void RegistDlgTest::SetAuthAnswer(DWORD answer) {
    m_authAnswer.reset(); // puts back what was there before this test
    m_authAnswer.emplace(kRegistAuthCase, answer);
}

INT_PTR RegistDlgTest::Run(CRegistDlg& dialog, DialogDriver::Script script) {
    torva::UniqueWindow owner = MakeActiveOwner(0, 0, 1000, 700);
    DialogDriver driver(kRegistCaption, std::move(script));
    const INT_PTR result = dialog.DoModal(owner.get());
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    return result;
}

const CDataWebCtrl* FindStored(const CDataWebItem& item, int kind, const std::wstring& name) {
    for (const auto& ctrl : item.m_ctrls)
        if (ctrl->m_nType == kind && ctrl->m_strName == name) return ctrl.get();
    return nullptr;
}
