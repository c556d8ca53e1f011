#include <gtest/gtest.h>

#include <exdisp.h>
#include <mshtml.h>

#include <cstdio>
#include <memory>
#include <string>

#include "CExplorer_item.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kSafetyTimer = 9;

class TempPage {
public:
    TempPage(const wchar_t* name, const char* html) {
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        path = std::wstring(folder) + name;
        if (FILE* file = _wfopen(path.c_str(), L"wb")) {
            std::fputs(html, file);
            std::fclose(file);
        }
    }
    ~TempPage() { ::DeleteFileW(path.c_str()); }
    std::wstring path;
};

// The management dialog's template with its preview control bound, the
// way the management dialog binds it, and its DownloadComplete received.
class CPreviewHost : public CDialog {
public:
    CPreviewHost() : CDialog(IDD_TVRIETOOL_DIALOG) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetTimer(kSafetyTimer, 8000);
        VARIANT empty[4];
        for (VARIANT& v : empty)
            ::VariantInit(&v);
        m_explorer.Navigate(url, &empty[0], &empty[1], &empty[2], &empty[3]);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_EXPLORER_ITEM, m_explorer);
    }
    void DownloadCompleteExplorerItem() {
        ++downloads;
        readyState = m_explorer.get_ReadyState();
        if (readyState <= 2) return;
        if (IDispatch* document = m_explorer.get_Document()) {
            IHTMLDocument2* html = nullptr;
            if (SUCCEEDED(document->QueryInterface(IID_IHTMLDocument2,
                                                   reinterpret_cast<void**>(&html)))) {
                IHTMLElementCollection* all = nullptr;
                if (SUCCEEDED(html->get_all(&all)) && all) {
                    all->get_length(&elements);
                    all->Release();
                }
                html->Release();
            }
            document->Release();
        }
        EndDialog(IDOK);
    }

    CExplorer_item m_explorer;
    CString url;
    int downloads = 0;
    long readyState = 0;
    long elements = 0;

protected:
    void OnTimer(UINT_PTR id) {
        if (id == kSafetyTimer) EndDialog(-2);
    }
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CPreviewHost, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()
// clang-format on

// clang-format off
BEGIN_EVENTSINK_MAP(CPreviewHost, CDialog)
    ON_EVENT(CPreviewHost, IDC_EXPLORER_ITEM, 104, CPreviewHost::DownloadCompleteExplorerItem, VTS_NONE)
END_EVENTSINK_MAP()
// clang-format on

class ExplorerItem : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(AfxEnableControlContainer()); }
};

TEST_F(ExplorerItem, PreviewControlOfTheManagementDialogLoadsAPageAndReportsIt) {
    TempPage page(L"mablix-preview.htm", "<html>\n<body>\n<form>\n<FONT SIZE=2>\n"
                                         "text(user)<INPUT TYPE=\"text\" name=user size=10><P>\n"
                                         "</font>\n</form>\n</body>\n<html>\n");
    CPreviewHost host;
    host.url = page.path.c_str();
    EXPECT_EQ(IDOK, host.DoModal());
    EXPECT_GE(host.downloads, 1);
    EXPECT_GT(host.readyState, 2);
    EXPECT_GT(host.elements, 0);
}

TEST_F(ExplorerItem, CreateMakesTheControlAsTheParentsChildWithItsId) {
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"STATIC", L"", WS_POPUP, CRect(0, 0, 400, 300), nullptr, 0));
    std::unique_ptr<CObject> object(RUNTIME_CLASS(CExplorer_item)->CreateObject());
    auto* explorer = dynamic_cast<CExplorer_item*>(object.get());
    ASSERT_NE(nullptr, explorer);
    ASSERT_TRUE(explorer->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(10, 10, 390, 290),
                                 &parent, IDC_EXPLORER_ITEM));
    EXPECT_EQ(IDC_EXPLORER_ITEM, explorer->GetDlgCtrlID());
    EXPECT_EQ(parent.m_hWnd, ::GetParent(explorer->m_hWnd));
    IUnknown* control = explorer->GetControlUnknown();
    ASSERT_NE(nullptr, control);
    IDispatch* dispatch = nullptr;
    EXPECT_TRUE(
        SUCCEEDED(control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))));
    if (dispatch) dispatch->Release();
    explorer->DestroyWindow();
    parent.DestroyWindow();
}

TEST_F(ExplorerItem, UnboundWrapperAnswersNothing) {
    CExplorer_item explorer;
    explorer.Navigate(L"about:blank", nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(0, explorer.get_ReadyState());
    EXPECT_EQ(nullptr, explorer.get_Document());
    EXPECT_TRUE(IsEqualCLSID(CLSID_WebBrowser, CExplorer_item::GetClsid()));
}

} // namespace
