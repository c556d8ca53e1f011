#include "BandFixture.h"

#include "LoginEntry.h"
#include "ProgramFolder.h"
#include "UiTestSupport.h"

#include "AxHostWindow.h"
#include "PageSource.h"
#include "SubmitClickFlag.h"

#include <commctrl.h>

std::unique_ptr<CExpData> BandFixture::s_store;

namespace {

const wchar_t* const kPages[] = {L"login.html",  L"second.html",     L"side.html", L"frames.html",
                                 L"noform.html", L"hiddenonly.html", L"done.html"};

} // namespace

void BandFixture::SetUpTestSuite() {
    UseRelayBesideTestProgram();
    (void)::OleInitialize(nullptr);
    (void)AxHostWindowInit();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    s_store = std::make_unique<CExpData>();
    // Pages a crashed earlier run left stored would be found first.
    for (const wchar_t* name : kPages) {
        for (int guard = 0; guard < 16; ++guard) {
            std::unique_ptr<CDataWebForm> stale(s_store->GetWebPageData(PageUrl(name), 0));
            if (!stale) break;
            s_store->DeleteWebPageData(stale.get());
        }
    }
}

void BandFixture::TearDownTestSuite() {
    s_store.reset();
    ::OleUninitialize();
}

void BandFixture::SetUp() {
    m_options = std::make_unique<OptionKeyBackup>();
    ASSERT_TRUE(m_options->Saved());
    SetOptions(0, 0);
    m_owner = MakeActiveOwner(60, 60, 900, 500);
    ASSERT_TRUE(m_owner);
    ::SetWindowSubclass(m_owner.get(), WatchTop, 1, reinterpret_cast<DWORD_PTR>(this));
    m_strip.reset(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                    0, 880, 22, m_owner.get(), nullptr, nullptr, nullptr));
    ASSERT_TRUE(m_strip);
    m_steps.reset(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    nullptr, nullptr));
    ASSERT_TRUE(m_steps);
    ::SetWindowSubclass(m_steps.get(), RunStep, 1, 0);
    m_browser = torva::browser::WebBrowser::Create();
    ASSERT_TRUE(m_browser);
    m_browser->SetTopWindow(m_owner.get());
    m_site = TestBandSite::Create(m_strip.get(), Browser());
    ASSERT_TRUE(m_site);
}

void BandFixture::TearDown() {
    m_onDisabled = nullptr;
    if (m_band) DestroyBand();
    if (m_site) m_site->Release();
    m_site = nullptr;
    if (m_browser) m_browser->Shutdown();
    m_browser.reset();
    m_strip.reset();
    if (m_steps) ::RemoveWindowSubclass(m_steps.get(), RunStep, 1);
    m_steps.reset();
    if (m_owner) ::RemoveWindowSubclass(m_owner.get(), WatchTop, 1);
    m_owner.reset();
    for (auto& page : m_pages)
        Store().DeleteWebPageData(page.get());
    m_pages.clear();
    g_bSubmitClicked = 0;
    m_options.reset();
}

LRESULT CALLBACK BandFixture::WatchTop(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
    auto* fixture = reinterpret_cast<BandFixture*>(self);
    if (message == WM_ENABLE && !wParam) {
        ++fixture->m_disables;
        if (fixture->m_onDisabled) {
            const std::function<void()> step = std::move(fixture->m_onDisabled);
            fixture->m_onDisabled = nullptr;
            step();
        }
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK BandFixture::RunStep(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR) {
    if (message == WM_APP && lParam) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void BandFixture::OnTestThread(const std::function<void()>& step) {
    if (::GetCurrentThreadId() == ::GetWindowThreadProcessId(m_steps.get(), nullptr)) {
        step();
        return;
    }
    ::SendMessageW(m_steps.get(), WM_APP, 0, reinterpret_cast<LPARAM>(&step));
}

std::wstring BandFixture::PagePath(const std::wstring& name) {
    return torva::ProgramFolder() + L"band-pages\\" + name;
}

std::wstring BandFixture::PageUrl(const std::wstring& name) {
    return torva::browser::CanonicalUrl(PagePath(name));
}

void BandFixture::CreateBand(bool site) {
    ASSERT_EQ(CComObject<BandUnderTest>::CreateInstance(&m_band), S_OK);
    m_band->AddRef();
    if (site) {
        ASSERT_EQ(m_band->SetSite(static_cast<IOleWindow*>(m_site)), S_OK);
    }
}

void BandFixture::DestroyBand() {
    if (!m_band) return;
    m_band->SetSite(nullptr);
    CComObject<BandUnderTest>* band = m_band;
    m_band = nullptr;
    band->Release();
}

IWebBrowser2* BandFixture::Browser() const {
    return static_cast<IWebBrowser2*>(m_browser.get());
}

CComPtr<IHTMLDocument2> BandFixture::Top() const {
    CComPtr<IDispatch> dispatch;
    CComPtr<IHTMLDocument2> document;
    if (SUCCEEDED(Browser()->get_Document(&dispatch)) && dispatch)
        dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document));
    return document;
}

void BandFixture::Show(const std::wstring& name) {
    ASSERT_EQ(m_browser->NavigateTo(PagePath(name)), S_OK);
    m_browser->RunPendingLoad();
    ASSERT_TRUE(m_browser->document());
    ASSERT_FALSE(m_browser->document()->LoadFailed()) << "missing page";
    Pump(50);
}

void BandFixture::Pump(DWORD ms) {
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount() - start < ms);
}

CDataWebForm& BandFixture::StorePage(const std::wstring& url,
                                     const std::function<void(CDataWebForm&)>& build) {
    m_pages.push_back(std::make_unique<CDataWebForm>());
    CDataWebForm& page = *m_pages.back();
    page.m_strUrl = url;
    page.m_strTitle = L"テスト";
    page.m_strUpdateDate = L"2026/12/09 03:00:00";
    page.m_nChangeFlg = 0;
    build(page);
    EXPECT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    EXPECT_FALSE(page.m_strKey.empty()) << "page not stored";
    return page;
}

void BandFixture::MakeLogin(CDataWebItem& item, const std::wstring& name, const std::wstring& user,
                            const std::wstring& password, int autoInput) {
    item.m_strName = name;
    item.m_strFormName = L"login";
    item.m_nAutoInput = autoInput;
    item.m_nAutoSend = 0;
    item.m_nIndex = 1;
    CDataWebCtrl& u = AddCtrl(item, D_WEB_CTRL_TEXT, L"user");
    u.TextValue()->m_strValue = user;
    u.TextValue()->m_nDataLen = 20;
    CDataWebCtrl& p = AddCtrl(item, D_WEB_CTRL_PSWD, L"pw");
    p.TextValue()->m_strValue = password;
    p.TextValue()->m_nDataLen = -1;
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"Login";
}

void BandFixture::MakeFind(CDataWebItem& item, const std::wstring& name, const std::wstring& word) {
    item.m_strName = name;
    item.m_strFormName = L"find";
    item.m_nAutoInput = 1;
    item.m_nAutoSend = 0;
    item.m_nIndex = 0;
    CDataWebCtrl& w = AddCtrl(item, D_WEB_CTRL_TEXT, L"word");
    w.TextValue()->m_strValue = word;
    w.TextValue()->m_nDataLen = -1;
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"s").ButtonValue()->m_strValue = L"Find";
}

void BandFixture::SetOptions(int stopFunc, int stopAutoInput) {
    CDataOption options;
    options.m_nStopFunc = stopFunc;
    options.m_nStopAutoInput = stopAutoInput;
    options.m_nSetAuto = 1;
    options.m_nCheckSet = 1;
    options.m_nOnlyPwd = 0;
    options.m_nNoMultiText = 0;
    options.m_nHidePwd = 1;
    m_options->Write(options);
}

std::vector<std::wstring> BandFixture::ComboTexts() {
    std::vector<std::wstring> texts;
    HWND combo = m_band ? m_band->Bar().ComboBox() : nullptr;
    if (!combo) return texts;
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length > 0 ? length : 0));
        texts.push_back(text);
    }
    return texts;
}

ULONG BandFixture::RefsOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}
