// The management dialog's form preview: the shown item written as an HTML
// form into temp.htm in the temporary folder, loaded by the embedded web
// browser control (1000), and, once loaded, every page element bound back
// to the control it came from, so that the save reads what the user typed.
//
// Threads: the dialog's UI thread only; the control fires its events on it.
#include "CTvrIEToolDlg.h"
#include "PathHelpers.h"
#include "PreviewHtml.h"
#include "TraceScope.h"
#include "WaitCursor.h"
#include "Win32Handles.h"
#include "resource.h"

#include "HtmlCom.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr DISPID kDownloadComplete = 104;
constexpr DISPID kBeforeNavigate2 = 250;
const wchar_t kPreviewName[] = L"temp.htm";
const wchar_t kBlankPage[] = L"about:blank";
const wchar_t kButtonChoice[] = L"submitbtnselect";

// ASCII letters folded to lower case: type names are compared without
// regard to case.
std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

bool IsPasswordMarker(IHTMLElement* element) {
    auto comment = As<IHTMLCommentElement>(element, IID_IHTMLCommentElement);
    ScopedBstr text;
    return comment && SUCCEEDED(comment->get_text(text.Out())) &&
           text.Text() == mablix::kPasswordMarker;
}

CDataWebCtrl* FindUnboundCtrl(CDataWebItem& item, std::int32_t kind, const std::wstring& name) {
    // Two controls of one kind and name bind to their elements in order.
    for (auto& ctrl : item.m_ctrls) {
        if (ctrl->m_nType == kind && ctrl->m_strName == name && !ctrl->m_element) return ctrl.get();
    }
    return nullptr;
}

} // namespace

BEGIN_EVENTSINK_MAP(CTvrIEToolDlg, CDialog)
ON_EVENT(CTvrIEToolDlg, IDC_EXPLORER_ITEM, kDownloadComplete,
         CTvrIEToolDlg::DownloadCompleteExplorerItem, VTS_NONE)
ON_EVENT(CTvrIEToolDlg, IDC_EXPLORER_ITEM, kBeforeNavigate2,
         CTvrIEToolDlg::BeforeNavigate2ExplorerItem,
         VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
END_EVENTSINK_MAP()

void CTvrIEToolDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_EXPLORER_ITEM, m_wndExplorer);
}

BOOL CTvrIEToolDlg::WriteHtmlFile(HANDLE file, const std::wstring& text) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::WriteHtmlFile");
    const std::string bytes = mablix::ToUtf8(text);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            TORVA_RETURN_BOOL(FALSE);
        done += written;
    }
    TORVA_RETURN_BOOL(TRUE);
}

void CTvrIEToolDlg::NavigatePreview(const std::wstring& url) {
    if (!m_wndExplorer.m_hWnd || !::IsWindow(m_wndExplorer.m_hWnd)) return;
    m_bNavigating = true;
    m_wndExplorer.Navigate(url.c_str(), nullptr, nullptr, nullptr, nullptr);
    m_bNavigating = false;
}

void CTvrIEToolDlg::BeforeNavigate2ExplorerItem(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                                VARIANT*, VARIANT_BOOL* cancel) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::BeforeNavigate2ExplorerItem");
    if (!m_bNavigating && cancel) *cancel = VARIANT_TRUE;
}

void CTvrIEToolDlg::ShowCtrlData(CDataWebItem* item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::ShowCtrlData");
    const WaitCursor wait;
    // Whatever was bound belongs to the page about to be left; a load of it
    // that is still under way binds nothing either.
    ClearElementBindings();
    m_pPreviewItem = nullptr;
    m_bBindPending = false;

    mablix::PreviewOptions options;
    options.hidePwd = m_option.m_nHidePwd;
    options.noMultiText = m_option.m_nNoMultiText;
    options.newItem = item && item->m_nState == kItemPlaceholder;
    const std::wstring page = mablix::BuildPreviewHtml(item, options);

    std::wstring folder;
    GetTempDirPath(folder);
    const std::wstring path = folder.empty() ? std::wstring() : folder + kPreviewName;
    bool written = false;
    if (!path.empty()) {
        torva::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            // Once created it is ours to delete, also when the writing fails.
            if (std::find(m_previewFiles.begin(), m_previewFiles.end(), path) ==
                m_previewFiles.end())
                m_previewFiles.push_back(path);
            written = WriteHtmlFile(file.get(), page) != FALSE;
        }
    }
    if (!written) {
        // The page shown before is no preview of this item: show none, and
        // leave nothing bound that a save could read.
        TORVA_TRACE_ERROR(L"preview file not written: %s", path.c_str());
        NavigatePreview(kBlankPage);
        return;
    }
    m_pPreviewItem = item;
    m_bBindPending = item != nullptr;
    NavigatePreview(path);
}

void CTvrIEToolDlg::DownloadCompleteExplorerItem() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::DownloadCompleteExplorerItem");
    // Only the load that the current preview started binds, and only once:
    // a later event (another download, a refresh) would put the stored
    // password back over what the user typed.
    if (!m_bBindPending || !m_pPreviewItem) return;
    if (m_wndExplorer.get_ReadyState() <= 2) return;
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    CDataWebItem* const item = tree ? ItemOfNode(TreeView_GetSelection(tree)) : nullptr;
    if (!item || item != m_pPreviewItem) return;

    CComPtr<IDispatch> document;
    document.p = m_wndExplorer.get_Document();
    auto html = As<IHTMLDocument2>(document, IID_IHTMLDocument2);
    CComPtr<IHTMLElementCollection> all;
    if (!html || FAILED(html->get_all(&all)) || !all) return;
    m_bBindPending = false;

    LONG count = 0;
    if (FAILED(all->get_length(&count))) count = 0;
    int clearPassword = 0;
    for (LONG i = 0; i < count; ++i) {
        CComPtr<IHTMLElement> element;
        if (FAILED(ItemAt(all.p, i, IID_IHTMLElement, element))) continue;
        if (IsPasswordMarker(element)) {
            clearPassword = clearPassword ? 0 : 1;
            continue;
        }
        if (SetTextElement(element, item, clearPassword)) continue;
        if (SetTextAreaElement(element, item)) continue;
        if (SetSelectMenuElement(element, item)) continue;
        (void)SetInputElement(element, item);
    }
    TakeBoundPreview(*item);
}

void CTvrIEToolDlg::TakeBoundPreview(const CDataWebItem& item) {
    m_boundPreview.Clear();
    for (const auto& ctrl : item.m_ctrls) {
        m_boundPreview.Take(ctrl->m_element);
        if (const CDataWebSelCtrl* choices = ctrl->SelValue()) {
            for (const auto& choice : choices->m_elements)
                m_boundPreview.Take(choice->m_element);
        }
    }
}

const mablix::BoundSnapshot& CTvrIEToolDlg::BoundPreview() const {
    return mablix::InstalledSnapshot() == &m_snapshot ? m_boundPreviewForSave : m_boundPreview;
}

BOOL CTvrIEToolDlg::SetTextElement(IHTMLElement* element, CDataWebItem* item, int clearPassword) {
    auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
    if (!input || !item) return FALSE;
    ScopedBstr text;
    if (FAILED(input->get_type(text.Out()))) return FALSE;
    std::wstring type = Lower(text.Text());
    if (type != L"text" && type != L"password") return FALSE;
    // A password shown as text stands between two markers.
    if (clearPassword) type = L"password";
    if (FAILED(input->get_name(text.Out()))) return FALSE;
    const bool password = type == L"password";
    CDataWebCtrl* ctrl =
        FindUnboundCtrl(*item, password ? D_WEB_CTRL_PSWD : D_WEB_CTRL_TEXT, text.Text());
    if (!ctrl) return FALSE;
    ctrl->m_element.Reset(element);
    // The page never holds a password: it is filled in here.
    const CDataWebTextValue* value = ctrl->TextValue();
    if (password && item->m_nState != kItemPlaceholder && value && !value->m_strValue.empty()) {
        const ScopedBstr stored(value->m_strValue);
        (void)input->put_value(stored.Get());
    }
    return TRUE;
}

BOOL CTvrIEToolDlg::SetTextAreaElement(IHTMLElement* element, CDataWebItem* item) {
    auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement);
    ScopedBstr name;
    if (!area || !item || FAILED(area->get_name(name.Out()))) return FALSE;
    CDataWebCtrl* ctrl = FindUnboundCtrl(*item, D_WEB_CTRL_MULTI, name.Text());
    if (!ctrl) return FALSE;
    ctrl->m_element.Reset(element);
    return TRUE;
}

BOOL CTvrIEToolDlg::SetInputElement(IHTMLElement* element, CDataWebItem* item) {
    auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
    if (!input || !item) return FALSE;
    ScopedBstr text;
    if (FAILED(input->get_type(text.Out()))) return FALSE;
    const std::wstring type = Lower(text.Text());
    std::int32_t kind = -1;
    if (type == L"radio") kind = D_WEB_CTRL_RADIO;
    if (type == L"checkbox") kind = D_WEB_CTRL_CHECK;
    if (kind < 0 || FAILED(input->get_name(text.Out()))) return FALSE;
    const std::wstring name = text.Text();
    if (FAILED(input->get_value(text.Out()))) return FALSE;
    const std::wstring value = text.Text();
    for (auto& ctrl : item->m_ctrls) {
        CDataWebSelCtrl* choices = ctrl->SelValue();
        if (ctrl->m_nType != kind || ctrl->m_strName != name || !choices) continue;
        for (auto& choice : choices->m_elements) {
            if (choice->m_strValue != value || choice->m_element) continue;
            choice->m_element.Reset(element);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CTvrIEToolDlg::SetSelectMenuElement(IHTMLElement* element, CDataWebItem* item) {
    auto select = As<IHTMLSelectElement>(element, IID_IHTMLSelectElement);
    ScopedBstr text;
    if (!select || !item || FAILED(select->get_name(text.Out()))) return FALSE;
    const std::wstring name = text.Text();
    LONG count = 0;
    if (FAILED(select->get_length(&count))) count = 0;

    if (name == kButtonChoice) {
        const bool stored = item->m_nState != kItemPlaceholder && item->m_nState != kItemUnnamed;
        bool chosen = false;
        bool bound = false;
        for (LONG i = 0; i < count; ++i) {
            CComPtr<IHTMLOptionElement> option;
            if (FAILED(SelectOption(select.p, i, option)) || FAILED(option->get_text(text.Out())))
                continue;
            const std::wstring label = text.Text();
            auto asElement = As<IHTMLElement>(option, IID_IHTMLElement);
            // Each button once, in order: two buttons of one VALUE (image
            // buttons without a text) are the two options that show it.
            for (auto& ctrl : item->m_ctrls) {
                CDataWebButtonValue* button = ctrl->ButtonValue();
                if ((ctrl->m_nType != D_WEB_CTRL_SUBMIT && ctrl->m_nType != D_WEB_CTRL_IMAGE) ||
                    !button || button->m_strValue != label || ctrl->m_element)
                    continue;
                ctrl->m_element.Reset(asElement);
                bound = true;
                if (stored) {
                    (void)option->put_selected(button->m_nSelected == 1 ? VARIANT_TRUE
                                                                        : VARIANT_FALSE);
                } else {
                    (void)option->put_selected(chosen ? VARIANT_FALSE : VARIANT_TRUE);
                    chosen = true;
                }
                break;
            }
        }
        return bound ? TRUE : FALSE;
    }

    CDataWebCtrl* ctrl = FindUnboundCtrl(*item, D_WEB_CTRL_SELECT, name);
    if (!ctrl) return FALSE;
    ctrl->m_element.Reset(element);
    CDataWebSelCtrl* choices = ctrl->SelValue();
    if (!choices) return TRUE;
    const bool stored = item->m_nState != kItemPlaceholder;
    for (LONG i = 0; i < count; ++i) {
        CComPtr<IHTMLOptionElement> option;
        ScopedBstr value;
        if (FAILED(SelectOption(select.p, i, option)) || FAILED(option->get_value(value.Out())) ||
            FAILED(option->get_text(text.Out())))
            continue;
        for (auto& choice : choices->m_elements) {
            if (choice->m_element || choice->m_strValue != value.Text() ||
                choice->m_strText != text.Text())
                continue;
            choice->m_element.Reset(As<IHTMLElement>(option, IID_IHTMLElement));
            if (stored)
                (void)option->put_selected(choice->m_nSelect == 1 ? VARIANT_TRUE : VARIANT_FALSE);
            break;
        }
    }
    return TRUE;
}

void CTvrIEToolDlg::DeletePreviewFile() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::DeletePreviewFile");
    ClearElementBindings();
    m_pPreviewItem = nullptr;
    m_bBindPending = false;
    // The control leaves the page before its file goes.
    NavigatePreview(kBlankPage);
    // A file the control still holds is tried again once it has gone.
    std::vector<std::wstring> left;
    for (const std::wstring& path : m_previewFiles) {
        if (!::DeleteFileW(path.c_str()) &&
            ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            left.push_back(path);
    }
    m_previewFiles.swap(left);
}
