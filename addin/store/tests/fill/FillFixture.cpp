#include "FillFixture.h"

#include "ProgramFolder.h"
#include "UiTestSupport.h"

#include "AxHostWindow.h"
#include "PageSource.h"

#include <commctrl.h>

namespace {

std::wstring PagePath(const std::wstring& name) {
    return torva::ProgramFolder() + L"fill-pages\\" + name;
}

// Pages a crashed earlier run may have left stored for these URLs would be
// found before the ones a test stores.
void PurgeStoredPages(CExpData& store) {
    for (const wchar_t* name :
         {L"login.html", L"renamed.html", L"extraoption.html", L"maxlength.html", L"inserted.html",
          L"formrenamed.html", L"noform.html", L"side.html", L"frames.html", L"twins.html",
          L"nested.html"}) {
        for (int guard = 0; guard < 16; ++guard) {
            std::unique_ptr<CDataWebForm> stale(
                store.GetWebPageData(torva::browser::CanonicalUrl(PagePath(name)), 0));
            if (!stale) break;
            store.DeleteWebPageData(stale.get());
        }
    }
}

} // namespace

std::unique_ptr<CExpData> FillFixture::s_store;

void FillFixture::SetUpTestSuite() {
    UseRelayBesideTestProgram();
    // The registration dialog embeds a browser control in the ActiveX host
    // window, as the add-in module sets it up.
    (void)::OleInitialize(nullptr);
    (void)AxHostWindowInit();
    s_store = std::make_unique<CExpData>();
    PurgeStoredPages(*s_store);
}

void FillFixture::TearDownTestSuite() {
    s_store.reset();
    ::OleUninitialize();
}

void FillFixture::SetUp() {
    m_owner = MakeActiveOwner(100, 100, 640, 480);
    ASSERT_TRUE(m_owner);
    ::SetWindowSubclass(m_owner.get(), RecordEnable, 1, reinterpret_cast<DWORD_PTR>(this));
    m_browser = torva::browser::WebBrowser::Create();
    ASSERT_TRUE(m_browser);
    m_browser->SetTopWindow(m_owner.get());
    ASSERT_TRUE(m_navigations.Advise(Browser()));
}

void FillFixture::TearDown() {
    m_onDisabled = nullptr;
    m_onPoke = nullptr;
    m_navigations.Unadvise();
    if (m_browser) m_browser->Shutdown();
    m_browser.reset();
    if (m_owner) ::RemoveWindowSubclass(m_owner.get(), RecordEnable, 1);
    m_owner.reset();
    for (auto& page : m_pages)
        Store().DeleteWebPageData(page.get());
    m_pages.clear();
    Store().m_nCryptUsable = 1;
    Store().m_nBrowserEnabled = 1;
    Store().m_option = CDataOption{};
}

LRESULT CALLBACK FillFixture::RecordEnable(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
    auto* fixture = reinterpret_cast<FillFixture*>(self);
    if (message == WM_ENABLE) {
        fixture->m_enables.push_back(static_cast<BOOL>(wParam));
        if (!wParam && fixture->m_onDisabled) {
            const std::function<void()> step = std::move(fixture->m_onDisabled);
            fixture->m_onDisabled = nullptr;
            step();
        }
    }
    if (message == kPoke && fixture->m_onPoke) {
        fixture->m_onPoke();
        return 0;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

std::wstring FillFixture::PageUrl(const std::wstring& name) {
    return torva::browser::CanonicalUrl(PagePath(name));
}

void FillFixture::Show(const std::wstring& name) {
    ASSERT_EQ(m_browser->NavigateTo(PagePath(name)), S_OK);
    m_browser->RunPendingLoad();
    ASSERT_TRUE(m_browser->document());
    ASSERT_FALSE(m_browser->document()->LoadFailed()) << "missing page";
    ASSERT_EQ(m_browser->document()->url(), PageUrl(name));
    m_navigations.Clear(); // only what the code under test sends counts
}

IWebBrowser2* FillFixture::Browser() const {
    return static_cast<IWebBrowser2*>(m_browser.get());
}

CComPtr<IHTMLDocument2> FillFixture::Top() const {
    CComPtr<IDispatch> dispatch;
    CComPtr<IHTMLDocument2> document;
    if (SUCCEEDED(Browser()->get_Document(&dispatch)) && dispatch) {
        dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document));
    }
    return document;
}

CComPtr<IHTMLDocument2> FillFixture::DocumentAt(const std::wstring& url) const {
    CComPtr<IHTMLDocument2> found;
    *(&found) = CExpData::GetHtmlDocument(Top(), url);
    return found;
}

CDataWebForm& FillFixture::StorePage(const std::wstring& url, int changeFlag,
                                     const std::function<void(CDataWebForm&)>& build) {
    m_pages.push_back(std::make_unique<CDataWebForm>());
    CDataWebForm& page = *m_pages.back();
    page.m_strUrl = url;
    page.m_strTitle = L"テスト";
    page.m_strUpdateDate = L"2026/12/08 23:00:00";
    page.m_nChangeFlg = changeFlag;
    build(page);
    EXPECT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    EXPECT_FALSE(page.m_strKey.empty()) << "page not stored";
    return page;
}

bool FillFixture::WriteRaw(const std::wstring& path, const wchar_t* name,
                           const std::vector<BYTE>& bytes) {
    ZentripCell* db = nullptr;
    if (!Store().OpenDB(&db)) return false;
    ZentripCell* key = nullptr;
    bool written = false;
    if (Store().OpenKey(db, path.c_str(), &key) == 0) {
        written = Store().Zentrip_SetValue(db, key, name, 0, bytes.data(),
                                           static_cast<DWORD>(bytes.size())) == 0;
        Store().CloseKey(db, &key);
    }
    Store().CloseDB(&db);
    return written;
}

bool FillFixture::DeleteStoredKey(const std::wstring& parent, const std::wstring& name) {
    ZentripCell* db = nullptr;
    if (!Store().OpenDB(&db)) return false;
    ZentripCell* key = nullptr;
    bool deleted = false;
    if (Store().OpenKey(db, parent.c_str(), &key) == 0) {
        deleted = Store().Zentrip_DeleteKey(db, key, name.c_str()) == 0;
        Store().CloseKey(db, &key);
    }
    Store().CloseDB(&db);
    return deleted;
}

int FillFixture::StoredChangeFlag(const std::wstring& url) {
    std::unique_ptr<CDataWebForm> page(Store().GetWebPageData(url, 0));
    return page ? page->m_nChangeFlg : -2;
}
