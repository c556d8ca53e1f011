// The management dialog's preview run for real: stored forms from the
// user's database shown in the hosted browser control, edited through the
// control's windows as a user types and clicks, and saved with Apply.
#include "PreviewSamples.h"

#include "FxUser.h"
#include "HtmlCom.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace preview_samples;

const wchar_t kOption[] = L"WEBFORMDATA\\OPTION";

// The dialog with its questions answered yes and recorded.
class PreviewDlg : public CTvrIEToolDlg {
public:
    std::vector<std::wstring> messages;

protected:
    int ShowMessage(const wchar_t* text, UINT) override {
        messages.emplace_back(text);
        return IDYES;
    }
};

// The dialog whose loader waits in its database calls until released, as
// on a slow store; the window's thread goes on meanwhile.
class HeldLoaderDlg : public PreviewDlg {
public:
    HeldLoaderDlg() : m_release(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~HeldLoaderDlg() override {
        Release();
        ::CloseHandle(m_release);
    }
    void Release() { ::SetEvent(m_release); }
    BOOL OpenDB(TVRDB_HDB* db) override {
        if (::GetCurrentThreadId() != m_creator) ::WaitForSingleObject(m_release, 15000);
        return PreviewDlg::OpenDB(db);
    }

private:
    HANDLE m_release;
    DWORD m_creator = ::GetCurrentThreadId();
};

// Dispatches this thread's messages until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 15000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(5);
    }
}

std::wstring NodeText(HWND tree, HTREEITEM node) {
    wchar_t text[256] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = 256;
    TreeView_GetItem(tree, &item);
    return text;
}

HTREEITEM ChildNamed(HWND tree, HTREEITEM parent, const std::wstring& text) {
    for (HTREEITEM node = parent ? TreeView_GetChild(tree, parent) : nullptr; node;
         node = TreeView_GetNextSibling(tree, node)) {
        if (NodeText(tree, node) == text) return node;
    }
    return nullptr;
}

bool FullyBound(const CDataWebItem& item) {
    for (const auto& ctrl : item.m_ctrls) {
        if (const CDataWebSelCtrl* choices = ctrl->SelValue()) {
            for (const auto& choice : choices->m_elements)
                if (!choice->m_element) return false;
            if (ctrl->m_nType == D_WEB_CTRL_SELECT && !ctrl->m_element) return false;
        } else if (!ctrl->m_element) {
            return false;
        }
    }
    return true;
}

bool AnyBound(const CTvrIEToolDlg& dlg) {
    for (const auto& page : dlg.m_pages)
        for (const auto& item : page->m_items)
            for (const auto& ctrl : item->m_ctrls) {
                if (ctrl->m_element) return true;
                if (const CDataWebSelCtrl* choices = ctrl->SelValue())
                    for (const auto& choice : choices->m_elements)
                        if (choice->m_element) return true;
            }
    return false;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> windows;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        windows.push_back(child);
    std::sort(windows.begin(), windows.end(),
              [](HWND a, HWND b) { return ::GetDlgCtrlID(a) < ::GetDlgCtrlID(b); });
    return windows;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

HWND FindDescendant(HWND parent, const std::wstring& className) {
    for (HWND child : Children(parent)) {
        if (ClassOf(child) == className) return child;
        if (HWND found = FindDescendant(child, className)) return found;
    }
    return nullptr;
}

// Reads the shown page through the control's document.
class ShownPage {
public:
    explicit ShownPage(CExplorer_item& control) {
        CComPtr<IDispatch> document;
        document.p = control.get_Document();
        m_document = As<IHTMLDocument2>(document, IID_IHTMLDocument2);
    }
    std::wstring Url() {
        ScopedBstr url;
        if (m_document) m_document->get_URL(url.Out());
        return url.Text();
    }
    std::vector<CComPtr<IHTMLElement>> All() {
        std::vector<CComPtr<IHTMLElement>> elements;
        CComPtr<IHTMLElementCollection> all;
        if (!m_document || FAILED(m_document->get_all(&all)) || !all) return elements;
        LONG count = 0;
        all->get_length(&count);
        for (LONG i = 0; i < count; ++i) {
            CComPtr<IHTMLElement> element;
            if (SUCCEEDED(ItemAt(all.p, i, IID_IHTMLElement, element))) elements.push_back(element);
        }
        return elements;
    }
    // The named INPUTs (every one of a radio group), SELECT or TEXTAREA.
    std::vector<CComPtr<IHTMLElement>> Named(const std::wstring& name) {
        std::vector<CComPtr<IHTMLElement>> found;
        for (auto& element : All()) {
            ScopedBstr text;
            if (auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement))
                input->get_name(text.Out());
            else if (auto select = As<IHTMLSelectElement>(element, IID_IHTMLSelectElement))
                select->get_name(text.Out());
            else if (auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement))
                area->get_name(text.Out());
            else
                continue;
            if (text.Text() == name) found.push_back(element);
        }
        return found;
    }
    std::wstring Value(const std::wstring& name) {
        auto named = Named(name);
        ScopedBstr text;
        if (named.empty()) return L"<missing>";
        if (auto input = As<IHTMLInputElement>(named[0], IID_IHTMLInputElement))
            input->get_value(text.Out());
        else if (auto area = As<IHTMLTextAreaElement>(named[0], IID_IHTMLTextAreaElement))
            area->get_value(text.Out());
        return text.Text();
    }
    std::wstring Type(const std::wstring& name) {
        auto named = Named(name);
        ScopedBstr text;
        if (!named.empty())
            if (auto input = As<IHTMLInputElement>(named[0], IID_IHTMLInputElement))
                input->get_type(text.Out());
        return text.Text();
    }
    // value=checked pairs of a radio group or check boxes.
    std::vector<std::pair<std::wstring, bool>> Checks(const std::wstring& name) {
        std::vector<std::pair<std::wstring, bool>> states;
        for (auto& element : Named(name)) {
            auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
            ScopedBstr value;
            VARIANT_BOOL checked = VARIANT_FALSE;
            input->get_value(value.Out());
            input->get_checked(&checked);
            states.emplace_back(value.Text(), checked != VARIANT_FALSE);
        }
        return states;
    }
    struct Option {
        std::wstring value, text;
        bool selected;
        bool operator==(const Option& o) const {
            return value == o.value && text == o.text && selected == o.selected;
        }
    };
    std::vector<Option> Options(const std::wstring& name) {
        std::vector<Option> options;
        auto named = Named(name);
        auto select = named.empty() ? CComPtr<IHTMLSelectElement>()
                                    : As<IHTMLSelectElement>(named[0], IID_IHTMLSelectElement);
        LONG count = 0;
        if (!select || FAILED(select->get_length(&count))) return options;
        for (LONG i = 0; i < count; ++i) {
            CComPtr<IHTMLOptionElement> option;
            if (FAILED(SelectOption(select.p, i, option))) continue;
            ScopedBstr value, text;
            VARIANT_BOOL selected = VARIANT_FALSE;
            option->get_value(value.Out());
            option->get_text(text.Out());
            option->get_selected(&selected);
            options.push_back({value.Text(), text.Text(), selected != VARIANT_FALSE});
        }
        return options;
    }

private:
    CComPtr<IHTMLDocument2> m_document;
};

std::string FileBytes(const std::wstring& path) {
    std::string bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, n);
        std::fclose(file);
    }
    return bytes;
}

std::string Utf8(const std::wstring& text) {
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

class MgrPreview : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(AfxEnableControlContainer());
        // A temporary folder of this test's own: the preview file of no
        // other program is touched.
        wchar_t folder[MAX_PATH] = {};
        ::GetEnvironmentVariableW(L"TEMP", folder, MAX_PATH);
        m_oldTemp = folder;
        m_temp = m_oldTemp + L"\\mablix-preview-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(m_temp.c_str(), nullptr);
        ::SetEnvironmentVariableW(L"TEMP", m_temp.c_str());
        m_hidePwd = m_raw.Dword(kOption, L"HIDEPWD");
        m_noMultiText = m_raw.Dword(kOption, L"NOMULTITEXT");
        ASSERT_TRUE(m_raw.SetDword(kOption, L"NOMULTITEXT", 0));
    }
    void TearDown() override {
        if (m_dlg && m_dlg->m_hWnd) m_dlg->DestroyWindow();
        m_dlg.reset();
        for (const auto& key : m_keys)
            m_raw.Delete(key);
        m_raw.SetDword(kOption, L"HIDEPWD", m_hidePwd.value_or(1));
        m_raw.SetDword(kOption, L"NOMULTITEXT", m_noMultiText.value_or(0));
        ::SetEnvironmentVariableW(L"TEMP", m_oldTemp.c_str());
        ::DeleteFileW(PreviewPath().c_str());
        ::RemoveDirectoryW(m_temp.c_str());
    }

    std::wstring PreviewPath() const { return m_temp + L"\\temp.htm"; }

    // A stored page (title tag) with one item written as the manager writes
    // a new item; fill may change the sample first.
    std::wstring StorePage(const std::wstring& tag, const wchar_t* name,
                           const std::function<void(CDataWebItem&)>& change = {}) {
        const std::wstring key = ScratchPageKey(tag);
        m_keys.push_back(key);
        EXPECT_TRUE(m_raw.SetText(key, L"URL", L"https://example.jp/" + tag));
        EXPECT_TRUE(m_raw.SetText(key, L"TITLE", tag));
        EXPECT_TRUE(m_raw.SetText(key, L"UPDATEDATE", L"2026/01/01 00:00:00"));
        EXPECT_TRUE(m_raw.SetDword(key, L"CHANGEFLG", 0));
        CDataWebItem item;
        FillSample(item, name);
        if (change) change(item);
        TestDlg writer;
        EXPECT_TRUE(writer.AddWebItem(key, &item));
        return key;
    }

    // Opens the dialog on the stored pages, as the manager starts.
    void Open(int hidePwd) {
        ASSERT_TRUE(m_raw.SetDword(kOption, L"HIDEPWD", DWORD(hidePwd)));
        m_dlg = std::make_unique<PreviewDlg>();
        ASSERT_TRUE(m_dlg->Create(CTvrIEToolDlg::IDD, nullptr));
        m_tree = ::GetDlgItem(m_dlg->m_hWnd, IDC_TREE_WEBDATA);
        ASSERT_NE(nullptr, m_tree);
        // The tree is there once the data is loaded.
        ASSERT_TRUE(PumpUntil([&] { return Node(m_keys.back(), nullptr) != nullptr; }));
    }
    // The node of the page with tag (its item named name, when given).
    HTREEITEM Node(const std::wstring& key, const wchar_t* name) {
        const std::wstring tag = key.substr(key.rfind(L'_') + 1);
        HTREEITEM page = ChildNamed(m_tree, TreeView_GetRoot(m_tree),
                                    tag + L"(https://example.jp/" + tag + L")");
        return name && page ? ChildNamed(m_tree, page, name) : page;
    }
    // Selects the item as a click on its node does, and waits for the
    // preview to bind it.
    CDataWebItem* Show(const std::wstring& key, const wchar_t* name) {
        HTREEITEM node = Node(key, name);
        EXPECT_NE(nullptr, node);
        if (!node) return nullptr;
        TreeView_SelectItem(m_tree, node);
        CDataWebItem* item = m_dlg->m_pShownItem;
        EXPECT_NE(nullptr, item);
        if (!item) return nullptr;
        EXPECT_TRUE(PumpUntil([&] { return FullyBound(*item); })) << "not bound";
        return item;
    }
    // The form's windows inside the browser control, in page order.
    std::vector<HWND> FormWindows(const std::wstring& className, UINT buttonType = ~0u) {
        std::vector<HWND> found;
        HWND server = FindDescendant(m_dlg->m_hWnd, L"Internet Explorer_Server");
        if (!server) return found;
        for (HWND child : Children(server)) {
            if (ClassOf(child) != className) continue;
            const UINT type = UINT(::GetWindowLongW(child, GWL_STYLE)) & BS_TYPEMASK;
            if (buttonType != ~0u && type != buttonType) continue;
            found.push_back(child);
        }
        return found;
    }
    // The edit box showing text.
    HWND EditShowing(const std::wstring& text) {
        for (HWND edit : FormWindows(L"Edit"))
            if (FxUser::Text(edit) == text) return edit;
        return nullptr;
    }
    // Types text over everything the box holds (as selected, then typed:
    // a multi-line box reports no change for WM_SETTEXT).
    void Type(HWND edit, const std::wstring& text) {
        ASSERT_NE(nullptr, edit);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void Click(HWND button) {
        ASSERT_NE(nullptr, button);
        ::SendMessageW(button, BM_CLICK, 0, 0);
    }
    // Apply pressed; true once its save has written (dialog enabled again).
    bool Apply(const std::function<bool()>& written) {
        FxUser::Press(m_dlg->m_hWnd, IDC_BUTTON_APPLY);
        return PumpUntil([&] { return ::IsWindowEnabled(m_dlg->m_hWnd) && written(); });
    }
    // The stored item as a new start of the manager loads it.
    std::unique_ptr<TestDlg> Reload() {
        auto loaded = std::make_unique<TestDlg>();
        EXPECT_TRUE(loaded->GetWebFormData());
        return loaded;
    }
    static CDataWebItem* ItemOf(TestDlg& loaded, const std::wstring& key) {
        for (auto& page : loaded.m_pages)
            if (page->m_strKey == key && !page->m_items.empty()) return page->m_items[0].get();
        return nullptr;
    }
    static CDataWebCtrl* Ctrl(CDataWebItem& item, const wchar_t* name) {
        for (auto& ctrl : item.m_ctrls)
            if (ctrl->m_strName == name) return ctrl.get();
        return nullptr;
    }

    // Every stored value of the sample as the shown page has it.
    void ExpectPageShowsStored(CDataWebItem& stored, bool passwordHidden) {
        ShownPage page(m_dlg->m_wndExplorer);
        for (auto& ctrl : stored.m_ctrls) {
            const std::wstring& name = ctrl->m_strName;
            switch (ctrl->m_nType) {
            case D_WEB_CTRL_TEXT:
            case D_WEB_CTRL_PSWD:
                EXPECT_EQ(ctrl->TextValue()->m_strValue, page.Value(name)) << name;
                break;
            case D_WEB_CTRL_MULTI:
                EXPECT_EQ(ctrl->MultiValue()->m_strText, page.Value(name)) << name;
                break;
            case D_WEB_CTRL_RADIO:
            case D_WEB_CTRL_CHECK: {
                std::vector<std::pair<std::wstring, bool>> want;
                for (auto& choice : ctrl->SelValue()->m_elements)
                    want.emplace_back(choice->m_strValue, choice->m_nSelect == 1);
                EXPECT_EQ(want, page.Checks(name)) << name;
                break;
            }
            case D_WEB_CTRL_SELECT: {
                std::vector<ShownPage::Option> want;
                for (auto& choice : ctrl->SelValue()->m_elements)
                    want.push_back({choice->m_strValue, choice->m_strText, choice->m_nSelect == 1});
                EXPECT_TRUE(want == page.Options(name)) << name;
                break;
            }
            default:
                break;
            }
        }
        EXPECT_EQ(passwordHidden ? L"password" : L"text", page.Type(L"pw"));
        // The button that submits is the one chosen.
        const auto buttons = page.Options(L"submitbtnselect");
        ASSERT_EQ(2u, buttons.size());
        EXPECT_EQ(Ctrl(stored, L"go")->ButtonValue()->m_strValue, buttons[0].text);
        EXPECT_EQ(Ctrl(stored, L"go")->ButtonValue()->m_nSelected == 1, buttons[0].selected);
        EXPECT_EQ(Ctrl(stored, L"img")->ButtonValue()->m_strValue, buttons[1].text);
        EXPECT_EQ(Ctrl(stored, L"img")->ButtonValue()->m_nSelected == 1, buttons[1].selected);
    }

    void ReadBack(int hidePwd) {
        const std::wstring key = StorePage(L"readback", L"sample");
        Open(hidePwd);
        CDataWebItem* shown = Show(key, L"sample");
        ASSERT_NE(nullptr, shown);
        CDataWebItem sample;
        FillSample(sample, L"sample");
        ExpectPageShowsStored(sample, hidePwd == 1);
        // What lies in the temporary folder is UTF-8 and holds no password.
        const std::string file = FileBytes(PreviewPath());
        EXPECT_NE(std::string::npos, file.find("charset=utf-8"));
        EXPECT_NE(std::string::npos, file.find(Utf8(kUser)));
        EXPECT_EQ(std::string::npos, file.find(Utf8(kPassword)));
    }

    // A form without a name, with a single-choice list stored on its last
    // option: its placeholder's list shows the browser's first one.
    std::wstring StoreFormWithAList(const std::wstring& tag) {
        return StorePage(tag, L"sample", [](CDataWebItem& item) {
            item.m_strFormName.clear();
            item.m_ctrls[6]->SelValue()->m_nMultiple = 0;
        });
    }
    static constexpr const wchar_t* kPlaceholder = L"名前なし(新規登録)";
    // The stored item shown and deleted as a user deletes it (the question
    // answered yes); its placeholder once its preview is bound.
    CDataWebItem* DeleteOnlyItem(const std::wstring& key) {
        if (!Show(key, L"sample")) return nullptr;
        m_dlg->messages.clear();
        FxUser::Press(m_dlg->m_hWnd, IDC_BUTTON_DELETE);
        EXPECT_EQ(1u, m_dlg->messages.size());
        return Show(key, kPlaceholder);
    }

    RawDb m_raw;
    std::vector<std::wstring> m_keys;
    std::unique_ptr<PreviewDlg> m_dlg;
    HWND m_tree = nullptr;
    std::wstring m_temp, m_oldTemp;
    std::optional<std::int32_t> m_hidePwd, m_noMultiText;
};

} // namespace

TEST_F(MgrPreview, StoredValuesReadBackUnchangedWithPasswordsHidden) {
    ReadBack(1);
}

TEST_F(MgrPreview, StoredValuesReadBackUnchangedWithPasswordsShown) {
    ReadBack(0);
}

TEST_F(MgrPreview, EditsTypedIntoThePreviewAreWhatApplyStores) {
    const std::wstring key = StorePage(L"edit", L"sample");
    Open(0);
    ASSERT_NE(nullptr, Show(key, L"sample"));
    Type(EditShowing(kUser), L"\u00E9dit\u00E9 & <ok>");
    Type(EditShowing(kPassword), L"n\u00E9w\u03B1\"");
    Type(EditShowing(kMemo), L"one\r\n\u2039two\u203A");
    const auto radios = FormWindows(L"Button", BS_RADIOBUTTON);
    ASSERT_EQ(3u, radios.size());
    Click(radios[2]);
    const auto boxes = FormWindows(L"Button", BS_CHECKBOX);
    ASSERT_EQ(1u, boxes.size());
    Click(boxes[0]);
    // The list of the multiple choice: a second option added with a click.
    const auto lists = FormWindows(L"ListBox");
    ASSERT_EQ(1u, lists.size());
    RECT row{};
    ::SendMessageW(lists[0], LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    ::SendMessageW(lists[0], WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(lists[0], WM_LBUTTONUP, 0, at);
    // The button that submits: the first one now.
    const auto combos = FormWindows(L"ComboBox");
    ASSERT_EQ(1u, combos.size());
    ::SendMessageW(combos[0], CB_SETCURSEL, 0, 0);
    ::SendMessageW(::GetParent(combos[0]), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(combos[0]), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combos[0]));

    ShownPage page(m_dlg->m_wndExplorer);
    ASSERT_EQ(L"\u00E9dit\u00E9 & <ok>", page.Value(L"user"));
    ASSERT_TRUE(page.Options(L"pref")[0].selected);
    ASSERT_TRUE(Apply([&] {
        auto user = m_raw.Text(ScratchPageKey(L"edit") + L"\\ITEM001\\CTRL001", L"VALUE");
        return user && *user == L"\u00E9dit\u00E9 & <ok>";
    }));

    // What a new start of the manager loads is what the preview showed.
    auto loaded = Reload();
    CDataWebItem* stored = ItemOf(*loaded, key);
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(L"n\u00E9w\u03B1\"", Ctrl(*stored, L"pw")->TextValue()->m_strValue);
    EXPECT_EQ(L"one\r\n\u2039two\u203A", Ctrl(*stored, L"memo")->MultiValue()->m_strText);
    EXPECT_EQ(0, Ctrl(*stored, L"plan")->SelValue()->m_elements[1]->m_nSelect);
    EXPECT_EQ(1, Ctrl(*stored, L"plan")->SelValue()->m_elements[2]->m_nSelect);
    EXPECT_EQ(0, Ctrl(*stored, L"keep")->SelValue()->m_elements[0]->m_nSelect);
    EXPECT_EQ(1, Ctrl(*stored, L"pref")->SelValue()->m_elements[0]->m_nSelect);
    EXPECT_EQ(1, Ctrl(*stored, L"go")->ButtonValue()->m_nSelected);
    EXPECT_EQ(0, Ctrl(*stored, L"img")->ButtonValue()->m_nSelected);
    // The preview shown again after the save is the stored item.
    ASSERT_TRUE(PumpUntil([&] { return m_dlg->m_pShownItem && FullyBound(*m_dlg->m_pShownItem); }));
    ExpectPageShowsStored(*stored, false);
}

TEST_F(MgrPreview, ShowingOneItemThenAnotherSavesNothingOfTheFirstIntoTheSecond) {
    const std::wstring a = StorePage(L"first", L"A");
    const std::wstring b = StorePage(L"second", L"B", [](CDataWebItem& item) {
        for (auto& ctrl : item.m_ctrls)
            if (CDataWebTextValue* text = ctrl->TextValue())
                text->m_strValue = L"b-" + ctrl->m_strName;
        item.m_ctrls[4]->SelValue()->m_elements[1]->m_nSelect = 0;
        item.m_ctrls[4]->SelValue()->m_elements[0]->m_nSelect = 1;
        item.m_ctrls[7]->MultiValue()->m_strText = L"b-memo";
    });
    Open(1);
    ASSERT_NE(nullptr, Show(a, L"A"));
    // A, then straight on to B before A's page has even loaded again.
    TreeView_SelectItem(m_tree, Node(b, nullptr));
    TreeView_SelectItem(m_tree, Node(a, L"A"));
    CDataWebItem* shown = Show(b, L"B");
    ASSERT_NE(nullptr, shown);
    // Time for a late event of an earlier load to come.
    PumpUntil([] { return false; }, 300);

    // Only B is bound, to B's values.
    for (auto& page : m_dlg->m_pages) {
        for (auto& item : page->m_items) {
            if (item.get() == shown) continue;
            for (auto& ctrl : item->m_ctrls) {
                EXPECT_FALSE(ctrl->m_element) << ctrl->m_strName;
            }
        }
    }
    ShownPage page(m_dlg->m_wndExplorer);
    EXPECT_EQ(L"b-user", page.Value(L"user"));
    EXPECT_EQ(L"b-pw", page.Value(L"pw"));
    Type(EditShowing(L"b-code"), L"b-new");
    ASSERT_TRUE(Apply([&] {
        auto code = m_raw.Text(b + L"\\ITEM001\\CTRL002", L"VALUE");
        return code && *code == L"b-new";
    }));

    auto loaded = Reload();
    CDataWebItem* storedA = ItemOf(*loaded, a);
    CDataWebItem* storedB = ItemOf(*loaded, b);
    ASSERT_NE(nullptr, storedA);
    ASSERT_NE(nullptr, storedB);
    CDataWebItem sampleA;
    FillSample(sampleA, L"A");
    for (size_t i = 0; i < sampleA.m_ctrls.size(); ++i) {
        if (const CDataWebTextValue* text = sampleA.m_ctrls[i]->TextValue()) {
            EXPECT_EQ(text->m_strValue, storedA->m_ctrls[i]->TextValue()->m_strValue);
        }
    }
    EXPECT_EQ(kMemo, Ctrl(*storedA, L"memo")->MultiValue()->m_strText);
    EXPECT_EQ(1, Ctrl(*storedA, L"plan")->SelValue()->m_elements[1]->m_nSelect);
    EXPECT_EQ(L"b-user", Ctrl(*storedB, L"user")->TextValue()->m_strValue);
    EXPECT_EQ(L"b-new", Ctrl(*storedB, L"code")->TextValue()->m_strValue);
    EXPECT_EQ(L"b-pw", Ctrl(*storedB, L"pw")->TextValue()->m_strValue);
    EXPECT_EQ(L"b-memo", Ctrl(*storedB, L"memo")->MultiValue()->m_strText);
    EXPECT_EQ(1, Ctrl(*storedB, L"plan")->SelValue()->m_elements[0]->m_nSelect);
    EXPECT_EQ(0, Ctrl(*storedB, L"plan")->SelValue()->m_elements[1]->m_nSelect);
}

TEST_F(MgrPreview, ALaterDownloadCompleteKeepsWhatTheUserTyped) {
    const std::wstring key = StorePage(L"again", L"sample");
    Open(1);
    ASSERT_NE(nullptr, Show(key, L"sample"));
    Type(EditShowing(kPassword), L"typed-\u03B1");
    // The control reports another finished download of the same page.
    m_dlg->DownloadCompleteExplorerItem();
    ShownPage page(m_dlg->m_wndExplorer);
    EXPECT_EQ(L"typed-\u03B1", page.Value(L"pw"));
    ASSERT_TRUE(Apply([&] { return true; }));
    auto loaded = Reload();
    CDataWebItem* stored = ItemOf(*loaded, key);
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(L"typed-\u03B1", Ctrl(*stored, L"pw")->TextValue()->m_strValue);
}

TEST_F(MgrPreview, NothingOfTheStoreIsShownBeforeTheLoaderHasEnded) {
    const std::wstring key = StorePage(L"held", L"sample");
    ASSERT_TRUE(m_raw.SetDword(kOption, L"HIDEPWD", 1));
    auto held = std::make_unique<HeldLoaderDlg>();
    HeldLoaderDlg* dlg = held.get();
    m_dlg = std::move(held);
    ASSERT_TRUE(m_dlg->Create(CTvrIEToolDlg::IDD, nullptr));
    m_tree = ::GetDlgItem(m_dlg->m_hWnd, IDC_TREE_WEBDATA);
    // While the loader fills the pages and options, the window's thread
    // builds no preview from them.
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(PreviewPath().c_str()));
    dlg->Release();
    ASSERT_TRUE(PumpUntil([&] { return Node(key, L"sample") != nullptr; }));
    // Then the empty pane, and the item as stored.
    EXPECT_NE(std::string::npos, FileBytes(PreviewPath()).find("<form"));
    ASSERT_NE(nullptr, Show(key, L"sample"));
    EXPECT_EQ(kUser, ShownPage(m_dlg->m_wndExplorer).Value(L"user"));
}

TEST_F(MgrPreview, OptionsChangedInTheBrowserShapeTheNextItemShown) {
    const std::wstring key = StorePage(L"options", L"sample");
    Open(1);
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(m_dlg->m_hWnd, IDC_CHECK_HIDEPWD));
    // The browser's option dialog changes them while the manager is open.
    ASSERT_TRUE(m_raw.SetDword(kOption, L"HIDEPWD", 0));
    ASSERT_TRUE(m_raw.SetDword(kOption, L"NOMULTITEXT", 1));
    TreeView_SelectItem(m_tree, Node(key, L"sample"));
    CDataWebItem* item = m_dlg->m_pShownItem;
    ASSERT_NE(nullptr, item);
    ASSERT_TRUE(PumpUntil([&] { return static_cast<bool>(Ctrl(*item, L"pw")->m_element); }));
    ShownPage page(m_dlg->m_wndExplorer);
    EXPECT_EQ(L"text", page.Type(L"pw"));
    EXPECT_EQ(kPassword, page.Value(L"pw"));
    EXPECT_TRUE(page.Named(L"memo").empty());
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(m_dlg->m_hWnd, IDC_CHECK_HIDEPWD));
}

TEST_F(MgrPreview, EnterInAFormOfOneFieldNeverLeavesThePreview) {
    const std::wstring key = StorePage(L"enter", L"single", [](CDataWebItem& item) {
        // The password alone.
        for (size_t i = item.m_ctrls.size(); i-- > 0;)
            if (item.m_ctrls[i]->m_strName != L"pw") item.m_ctrls.erase(item.m_ctrls.begin() + i);
    });
    Open(0);
    CDataWebItem* item = Show(key, L"single");
    ASSERT_NE(nullptr, item);
    const std::wstring shown = ShownPage(m_dlg->m_wndExplorer).Url();
    HWND edit = EditShowing(kPassword);
    ASSERT_NE(nullptr, edit);
    Type(edit, L"typed secret");
    // Enter in the field, as the dialog's loop hands it on, and the form's
    // submission that Enter makes in a browser.
    ::SetFocus(edit);
    MSG enter{::GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    (void)m_dlg->PreTranslateMessage(&enter);
    {
        CComPtr<IDispatch> document;
        document.p = m_dlg->m_wndExplorer.get_Document();
        auto html = As<IHTMLDocument2>(document, IID_IHTMLDocument2);
        ASSERT_TRUE(html);
        CComPtr<IHTMLElementCollection> forms;
        ASSERT_TRUE(SUCCEEDED(html->get_forms(&forms)) && forms);
        CComPtr<IHTMLFormElement> form;
        ASSERT_TRUE(SUCCEEDED(ItemAt(forms.p, 0, IID_IHTMLFormElement, form)));
        (void)form->submit();
    }
    PumpUntil([] { return false; }, 500);
    const std::wstring url = ShownPage(m_dlg->m_wndExplorer).Url();
    EXPECT_EQ(shown, url);
    EXPECT_EQ(std::wstring::npos, url.find(L"typed"));
    // The page stays the one bound, and what was typed is what Apply stores.
    EXPECT_EQ(L"typed secret", ShownPage(m_dlg->m_wndExplorer).Value(L"pw"));
    ASSERT_TRUE(Apply([&] { return true; }));
    auto loaded = Reload();
    CDataWebItem* stored = ItemOf(*loaded, key);
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(L"typed secret", Ctrl(*stored, L"pw")->TextValue()->m_strValue);
}

TEST_F(MgrPreview, UnwritablePreviewFileShowsABlankPageAndBindsNothing) {
    const std::wstring a = StorePage(L"shownfirst", L"A");
    const std::wstring b = StorePage(L"unwritable", L"B");
    Open(1);
    ASSERT_NE(nullptr, Show(a, L"A"));
    ::SetEnvironmentVariableW(L"TEMP", (m_temp + L"\\no such folder").c_str());
    TreeView_SelectItem(m_tree, Node(b, L"B"));
    ASSERT_TRUE(PumpUntil([&] { return ShownPage(m_dlg->m_wndExplorer).Url() == L"about:blank"; }));
    PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(AnyBound(*m_dlg));
    ::SetEnvironmentVariableW(L"TEMP", m_temp.c_str());

    // Nothing of A's page, which the control showed before, is saved into B.
    FxUser::Press(m_dlg->m_hWnd, IDC_BUTTON_APPLY);
    PumpUntil([&] { return ::IsWindowEnabled(m_dlg->m_hWnd) != FALSE; });
    auto loaded = Reload();
    CDataWebItem* stored = ItemOf(*loaded, b);
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(kUser, Ctrl(*stored, L"user")->TextValue()->m_strValue);
    EXPECT_EQ(kPassword, Ctrl(*stored, L"pw")->TextValue()->m_strValue);
}

TEST_F(MgrPreview, PreviewFileGoesWithTheDialogOnlyWhenTheDialogWroteIt) {
    // A temp.htm that this dialog never wrote stays.
    if (FILE* file = _wfopen(PreviewPath().c_str(), L"wb")) {
        std::fputs("<html>another program's</html>", file);
        std::fclose(file);
    }
    { PreviewDlg unshown; }
    EXPECT_EQ("<html>another program's</html>", FileBytes(PreviewPath()));

    const std::wstring key = StorePage(L"written", L"sample");
    Open(1);
    ASSERT_NE(nullptr, Show(key, L"sample"));
    EXPECT_NE(std::string::npos, FileBytes(PreviewPath()).find("name=\"user\""));
    m_dlg->DestroyWindow();
    m_dlg->DeletePreviewFile();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(PreviewPath().c_str()));
}

TEST_F(MgrPreview, DeletedOnlyItemWithAListIsStoredUnnamedWithoutItsData) {
    const std::wstring key = StoreFormWithAList(L"gone");
    Open(1);
    CDataWebItem* placeholder = DeleteOnlyItem(key);
    ASSERT_NE(nullptr, placeholder);
    ASSERT_TRUE(ShownPage(m_dlg->m_wndExplorer).Options(L"pref")[0].selected);

    // Applied while shown: stored without a name and without its log-in data.
    ASSERT_TRUE(Apply([&] {
        auto name = m_raw.Text(key + L"\\ITEM001", L"NAME");
        return name && name->empty();
    }));
    EXPECT_EQ(1u, m_dlg->messages.size());
    auto loaded = Reload();
    CDataWebItem* stored = ItemOf(*loaded, key);
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(L"", stored->m_strName);
    EXPECT_EQ(L"", Ctrl(*stored, L"user")->TextValue()->m_strValue);
    EXPECT_EQ(L"", Ctrl(*stored, L"pw")->TextValue()->m_strValue);

    // Still the selected, unnamed placeholder: the next Apply asks for no name.
    ASSERT_TRUE(PumpUntil([&] { return m_dlg->m_pShownItem && FullyBound(*m_dlg->m_pShownItem); }));
    ASSERT_TRUE(Apply([&] { return true; }));
    EXPECT_EQ(1u, m_dlg->messages.size());
    EXPECT_EQ(CTvrIEToolDlg::kItemUnnamed, m_dlg->m_pShownItem->m_nState);
}

TEST_F(MgrPreview, LeavingThePlaceholderOfADeletedItemKeepsItDeleted) {
    const std::wstring key = StoreFormWithAList(L"left");
    const wchar_t kLeave[] =
        L"項目の選択を変更すると、編集中のデータは破棄されます。\n選択項目を変更しますか？";
    Open(1);
    CDataWebItem* placeholder = DeleteOnlyItem(key);
    ASSERT_NE(nullptr, placeholder);

    // Left untouched: nothing is asked and it stays deleted.
    TreeView_SelectItem(m_tree, Node(key, nullptr));
    EXPECT_EQ(1u, m_dlg->messages.size());
    EXPECT_EQ(CTvrIEToolDlg::kItemPlaceholder, placeholder->m_nState);
    EXPECT_EQ(L"", placeholder->m_strName);
    // Typed into and cleared: the placeholder's own empty page comes back,
    // none of the deleted data.
    ASSERT_EQ(placeholder, Show(key, kPlaceholder));
    Type(EditShowing(L""), L"typed");
    FxUser::Press(m_dlg->m_hWnd, IDC_BUTTON_CLEAR);
    ASSERT_EQ(2u, m_dlg->messages.size());
    EXPECT_EQ(L"変更前のデータに戻しますか?", m_dlg->messages[1]);
    EXPECT_EQ(L"", ShownPage(m_dlg->m_wndExplorer).Value(L"user"));
    EXPECT_EQ(nullptr, EditShowing(kUser));
    // Typed into and left with the typing given up: still deleted.
    Type(EditShowing(L""), L"typed");
    TreeView_SelectItem(m_tree, Node(key, nullptr));
    ASSERT_EQ(3u, m_dlg->messages.size());
    EXPECT_EQ(kLeave, m_dlg->messages[2]);
    EXPECT_EQ(CTvrIEToolDlg::kItemPlaceholder, placeholder->m_nState);
    EXPECT_EQ(L"", placeholder->m_strName);
}

TEST_F(MgrPreview, ButtonsOfOneValueEachKeepTheirOwnChoice) {
    // Two image buttons without a text: both stored with an empty VALUE.
    const std::wstring key = StorePage(L"twins", L"sample", [](CDataWebItem& item) {
        for (int i : {8, 9})
            item.m_ctrls[size_t(i)]->ButtonValue()->m_strValue.clear();
        item.m_ctrls[8]->ButtonValue()->m_nSelected = 1;
        item.m_ctrls[9]->ButtonValue()->m_nSelected = 0;
    });
    Open(1);
    ASSERT_NE(nullptr, Show(key, L"sample"));
    const auto buttons = ShownPage(m_dlg->m_wndExplorer).Options(L"submitbtnselect");
    ASSERT_EQ(2u, buttons.size());
    EXPECT_TRUE(buttons[0].selected);
    EXPECT_FALSE(buttons[1].selected);

    // Nothing edited: leaving asks nothing, and Apply keeps the choice.
    m_dlg->messages.clear();
    TreeView_SelectItem(m_tree, Node(key, nullptr));
    EXPECT_TRUE(m_dlg->messages.empty());
    ASSERT_NE(nullptr, Show(key, L"sample"));
    ASSERT_TRUE(Apply([&] { return true; }));
    auto loaded = Reload();
    CDataWebItem* stored = ItemOf(*loaded, key);
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(1, Ctrl(*stored, L"go")->ButtonValue()->m_nSelected);
    EXPECT_EQ(0, Ctrl(*stored, L"img")->ButtonValue()->m_nSelected);
}
