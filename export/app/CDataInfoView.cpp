#include "CDataInfoView.h"

#include "CExportStore.h"
#include "CGetDB.h"
#include "CMainFrame.h"
#include "CTvrExpItemView.h"
#include "ReportTexts.h"
#include "ResourceStrings.h"
#include "VantrelGlobals.h"

CDataInfoView* g_pDataInfoView = nullptr;

namespace {

std::wstring Text(UINT id) {
    return GetResourceString(id);
}

std::wstring TreeText(HTREEITEM item) {
    if (!item || !g_pTvrExpItemView) return std::wstring();
    return static_cast<const wchar_t*>(g_pTvrExpItemView->GetTreeCtrl().GetItemText(item));
}

std::wstring WebItemReport(HTREEITEM item) {
    if (!item || !g_pTvrExpItemView) return std::wstring();
    const HTREEITEM parent = g_pTvrExpItemView->GetTreeCtrl().GetParentItem(item);
    return vantrel::WebFormItemReport(TheExportStore(), TreeText(item), TreeText(parent), item);
}

std::wstring ApplicationReport(HTREEITEM item) {
    if (!item || !g_pTvrExpItemView) return std::wstring();
    const CTreeCtrl& tree = g_pTvrExpItemView->GetTreeCtrl();
    const HTREEITEM caption = tree.GetParentItem(item);
    const HTREEITEM application = caption ? tree.GetParentItem(caption) : nullptr;
    return vantrel::ApplicationItemReport(
        static_cast<const CDataApl*>(g_pTvrExpItemView->GetItemObject(application)),
        static_cast<const CDataCaption*>(g_pTvrExpItemView->GetItemObject(caption)),
        static_cast<const CDataItem*>(g_pTvrExpItemView->GetItemObject(item)));
}

std::wstring PolicyItemReport(int code) {
    CGetDB lists;
    lists.LoadPolicies();
    const int32_t value = TheExportStore().PolicyValue(code - 33);
    return vantrel::PolicyReport(value, lists.GetPolicyName(vantrel::PolicyIdOfCode(code)));
}

std::wstring RulesReport() {
    const CExportStore& store = TheExportStore();
    const AuthRuleRecord& rule = store.Rule();
    std::wstring text = Text(22029);
    if (rule.present == 1) {
        CGetDB lists;
        lists.LoadRules();
        text +=
            L"  " + lists.FindRuleByValue(rule.bytes.data(), static_cast<int>(rule.bytes.size()));
    } else {
        text += Text(22014);
    }
    text += Text(22030);
    text += L"  " + (rule.present == 1 ? rule.ruleOptionText : Text(22075));
    text += Text(22031);
    const TouchAuthRecord& touch = store.Touch();
    text += L"  " + (!touch.passCode.empty() && touch.present ? touch.displayText : Text(22075));
    return text;
}

std::wstring AuthInformationReport(int code) {
    CGetDB lists;
    lists.LoadDevices();
    const CExportStore& store = TheExportStore();
    const int kind = code - 81;
    const AuthDeviceRow* device = code == 81 ? nullptr : lists.FindDeviceByIndex(kind);
    const std::wstring name = device ? device->name : std::wstring();
    return vantrel::AuthInfoReport(code, name, code != 81 && store.HasAuthInfo(kind) == 1,
                                   store.GetPinCacheText());
}

std::wstring ApplicationOptions() {
    const CKeepData& keep = TheExportStore().KeepData();
    const int32_t values[4] = {
        keep.IsCheckedOption(KEEP_OPT_STOPAUTOFUNC), keep.IsCheckedOption(KEEP_OPT_STOPAUTOINPUT),
        keep.IsCheckedOption(KEEP_OPT_STOPASSIST), keep.IsCheckedOption(KEEP_OPT_HIDEPWD)};
    return vantrel::ApplicationOptionsReport(values);
}

} // namespace

IMPLEMENT_DYNCREATE(CDataInfoView, CEditView)

BEGIN_MESSAGE_MAP(CDataInfoView, CEditView)
ON_WM_CREATE()
ON_WM_SYSKEYDOWN()
ON_MESSAGE(kReportItemMessage, &CDataInfoView::OnReportItem)
END_MESSAGE_MAP()

CDataInfoView::~CDataInfoView() {
    if (g_pDataInfoView == this) g_pDataInfoView = nullptr;
    if (m_font) ::DeleteObject(m_font);
}

BOOL CDataInfoView::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!CEditView::PreCreateWindow(cs)) return FALSE;
    cs.style |= ES_READONLY | ES_MULTILINE | ES_WANTRETURN;
    return TRUE;
}

int CDataInfoView::OnCreate(LPCREATESTRUCT cs) {
    if (CEditView::OnCreate(cs) == -1) return -1;
    // 10 points of "MS Shell Dlg" at the screen's resolution.
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    m_font = ::CreateFontW(-::MulDiv(100, dpi > 0 ? dpi : 96, 720), 0, 0, 0, FW_NORMAL, FALSE,
                           FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg");
    if (m_font) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    return 0;
}

void CDataInfoView::OnInitialUpdate() {
    CEditView::OnInitialUpdate();
    g_pDataInfoView = this;
}

std::wstring CDataInfoView::ReportOf(int type, HTREEITEM item) {
    if (type == 18) return WebItemReport(item);
    if (type >= 33 && type <= 41) return PolicyItemReport(type);
    if (type == 48) return vantrel::WebFormOptionsReport(TheExportStore().Options());
    if (type == 64) return RulesReport();
    if (type >= 81 && type <= 85) return AuthInformationReport(type);
    if (type == 99) return ApplicationReport(item);
    if (type == 112) return ApplicationOptions();
    return std::wstring();
}

LRESULT CDataInfoView::OnReportItem(WPARAM wParam, LPARAM lParam) {
    SetWindowText(L"");
    const std::wstring report =
        ReportOf(static_cast<int>(wParam), reinterpret_cast<HTREEITEM>(lParam));
    SetWindowText(report.c_str());
    return 0;
}

void CDataInfoView::OnSysKeyDown(UINT, UINT, UINT) {
    const auto* frame = dynamic_cast<const CMainFrame*>(AfxGetMainWnd());
    if (frame && frame->HasProgressWindow()) return;
    Default();
}
