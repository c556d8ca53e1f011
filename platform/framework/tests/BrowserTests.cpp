#include <gtest/gtest.h>

#include <exdisp.h>
#include <mshtml.h>

#include <cstdio>
#include <string>

#include "Framework.h"
#include "FxTestResource.h"

namespace {

constexpr DISPID kNavigate = 104;
constexpr DISPID kDocument = 203;
constexpr DISPID kDownloadComplete = 104;
constexpr DISPID kDocumentComplete = 259;
constexpr UINT_PTR kSafetyTimer = 9;

// A page in the temporary folder, removed with the object.
class TempPage {
public:
    TempPage(const wchar_t* name, const char* html) {
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        path = std::wstring(folder) + name;
        FILE* file = _wfopen(path.c_str(), L"wb");
        if (!file) return;
        std::fputs(html, file);
        std::fclose(file);
    }
    ~TempPage() { ::DeleteFileW(path.c_str()); }
    std::wstring path;
};

// The title of a document reached through the control's Document property.
CString TitleOf(IDispatch* document) {
    if (!document) return CString();
    IHTMLDocument2* html = nullptr;
    if (FAILED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&html))))
        return CString();
    BSTR title = nullptr;
    CString text;
    if (SUCCEEDED(html->get_title(&title)) && title) text = title;
    ::SysFreeString(title);
    html->Release();
    return text;
}

// A dialog whose template holds the WebBrowser control (id IDC_FX_BROWSER)
// and which makes a second one itself in OnInitDialog; both fire into the
// dialog's event-sink map.
class CBrowserDialog : public CDialog {
public:
    CBrowserDialog() : CDialog(IDD_FX_BROWSER) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetTimer(kSafetyTimer, 8000);
        if (makeLate) {
            lateMade =
                m_late.CreateControl(CLSID_WebBrowser, nullptr, WS_VISIBLE,
                                     CRect(10, 200, 200, 300), this, IDC_FX_LATE_BROWSER) != FALSE;
            if (lateMade) (void)Navigate(m_late);
        }
        navigated = SUCCEEDED(Navigate(m_browser));
        return TRUE;
    }
    HRESULT Navigate(CWnd& browser) {
        return browser.InvokeHelper(
            kNavigate, DISPATCH_METHOD, VT_EMPTY, nullptr,
            reinterpret_cast<const BYTE*>(
                VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT),
            url.GetString(), nullptr, nullptr, nullptr, nullptr);
    }
    // The dialog ends once every awaited event has come.
    void MaybeEnd() {
        if (waitForDocumentComplete && documents == 0) return;
        if (makeLate && lateDownloads == 0) return;
        if (title.IsEmpty() && !waitForDocumentComplete) return;
        EndDialog(IDOK);
    }
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_FX_BROWSER, m_browser);
    }

    void OnDownloadComplete() {
        ++downloads;
        long state = 0;
        if (FAILED(m_browser.InvokeHelper(DISPID_READYSTATE, DISPATCH_PROPERTYGET, VT_I4, &state,
                                          nullptr)))
            return;
        readyState = state;
        if (state <= 2) return;
        IDispatch* document = nullptr;
        if (SUCCEEDED(m_browser.InvokeHelper(kDocument, DISPATCH_PROPERTYGET, VT_DISPATCH,
                                             &document, nullptr))) {
            title = TitleOf(document);
            document->Release();
        }
        MaybeEnd();
    }
    void OnDocumentComplete(IDispatch* browser, VARIANT* address) {
        ++documents;
        gotBrowser = browser != nullptr;
        if (address && address->vt == (VT_BYREF | VT_VARIANT) && address->pvarVal)
            address = address->pvarVal;
        if (address && address->vt == VT_BSTR && address->bstrVal) completedUrl = address->bstrVal;
        MaybeEnd();
    }
    void OnLateDownloadComplete() {
        ++lateDownloads;
        MaybeEnd();
    }

    CWnd m_browser;
    CWnd m_late;
    CString url;
    bool makeLate = false;
    bool lateMade = false;
    bool waitForDocumentComplete = false;
    bool navigated = false;
    int downloads = 0;
    int documents = 0;
    int lateDownloads = 0;
    long readyState = 0;
    bool gotBrowser = false;
    CString title;
    CString completedUrl;

protected:
    void OnTimer(UINT_PTR id) {
        if (id == kSafetyTimer) EndDialog(-2);
    }
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CBrowserDialog, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()
// clang-format on

// clang-format off
BEGIN_EVENTSINK_MAP(CBrowserDialog, CDialog)
    ON_EVENT(CBrowserDialog, IDC_FX_BROWSER, kDownloadComplete, CBrowserDialog::OnDownloadComplete, VTS_NONE)
    ON_EVENT(CBrowserDialog, IDC_FX_BROWSER, kDocumentComplete, CBrowserDialog::OnDocumentComplete,
             VTS_DISPATCH VTS_PVARIANT)
    ON_EVENT(CBrowserDialog, IDC_FX_LATE_BROWSER, kDownloadComplete, CBrowserDialog::OnLateDownloadComplete,
             VTS_NONE)
END_EVENTSINK_MAP()
// clang-format on

class BrowserHosting : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(AfxEnableControlContainer()); }
};

TEST_F(BrowserHosting, TemplateControlNavigatesAndItsDownloadCompleteReachesTheDialog) {
    TempPage page(L"fxbrowser1.htm", "<html><head><title>Test page</title></head><body><form>"
                                     "<input type=text name=user></form></body></html>");
    CBrowserDialog dialog;
    dialog.url = page.path.c_str();
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(dialog.navigated);
    EXPECT_GE(dialog.downloads, 1);
    EXPECT_GT(dialog.readyState, 2);
    EXPECT_EQ(CString(L"Test page"), dialog.title);
    EXPECT_EQ(nullptr, dialog.m_browser.m_hWnd);
}

TEST_F(BrowserHosting, EventArgumentsAreHandedToTheHandler) {
    TempPage page(L"fxbrowser2.htm",
                  "<html><head><title>Second</title></head><body></body></html>");
    CBrowserDialog dialog;
    dialog.url = page.path.c_str();
    dialog.waitForDocumentComplete = true;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.documents);
    EXPECT_TRUE(dialog.gotBrowser);
    EXPECT_NE(-1, dialog.completedUrl.Find(L"fxbrowser2.htm"));
}

TEST_F(BrowserHosting, ControlCreatedDuringInitialisationIsConnectedToo) {
    TempPage page(L"fxbrowser3.htm",
                  "<html><head><title>Late</title></head><body>late</body></html>");
    CBrowserDialog dialog;
    dialog.url = page.path.c_str();
    dialog.makeLate = true;
    // Both controls navigate; each one's events reach its own row.
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(dialog.lateMade);
    EXPECT_GE(dialog.downloads, 1);
    EXPECT_GE(dialog.lateDownloads, 1);
    EXPECT_EQ(CString(L"Late"), dialog.title);
}

TEST_F(BrowserHosting, ControlMadeByCreateControlAnswersThroughInvokeHelper) {
    CWnd parentHolder;
    ASSERT_TRUE(
        parentHolder.CreateEx(0, L"STATIC", L"", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    CWnd control;
    ASSERT_TRUE(control.CreateControl(CLSID_WebBrowser, nullptr, WS_VISIBLE, CRect(0, 0, 300, 200),
                                      &parentHolder, 1000));
    EXPECT_NE(nullptr, control.GetControlUnknown());
    EXPECT_EQ(1000, control.GetDlgCtrlID());
    long state = -1;
    EXPECT_TRUE(SUCCEEDED(
        control.InvokeHelper(DISPID_READYSTATE, DISPATCH_PROPERTYGET, VT_I4, &state, nullptr)));
    EXPECT_GE(state, 0);
    // A window without a control answers no dispatch call.
    CWnd none;
    EXPECT_EQ(E_NOINTERFACE,
              none.InvokeHelper(DISPID_READYSTATE, DISPATCH_PROPERTYGET, VT_I4, &state, nullptr));
    control.DestroyWindow();
    parentHolder.DestroyWindow();
}

} // namespace
