#include "AxHostWindow.h"
#include <gtest/gtest.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <string>
#include "CComObject.h"
#include "CComObjectRootEx.h"
#include "CComPtr.h"
#include "ConnectionPoints.h"
#include "CWindowImpl.h"
#include "ModuleInstance.h"
#include <Win32Handles.h>

namespace {

class CPlainParent : public CWindowImpl<CPlainParent> {
public:
    BEGIN_MSG_MAP(CPlainParent)
    END_MSG_MAP()
};

// Counts the browser's DocumentComplete events.
class CBrowserEventSink : public CComObjectRootEx<CComSingleThreadModel>, public IDispatch {
public:
    BEGIN_COM_MAP(CBrowserEventSink)
    COM_INTERFACE_ENTRY(IDispatch)
    COM_INTERFACE_ENTRY_IID(DIID_DWebBrowserEvents2, IDispatch)
    END_COM_MAP()

    STDMETHOD(GetTypeInfoCount)(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)
    (DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id == DISPID_DOCUMENTCOMPLETE) ++documentsComplete;
        return S_OK;
    }

    int documentsComplete = 0;
};

bool PumpUntilLoaded(IWebBrowser2* browser, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < end) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        VARIANT_BOOL busy = VARIANT_TRUE;
        READYSTATE state = READYSTATE_UNINITIALIZED;
        browser->get_Busy(&busy);
        browser->get_ReadyState(&state);
        if (busy == VARIANT_FALSE && state == READYSTATE_COMPLETE) return true;
        ::Sleep(10);
    }
    return false;
}

std::wstring WritePage() {
    wchar_t dir[MAX_PATH]{};
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"comtl_host_page.html";
    const char page[] =
        "<html><head><title>Host page</title></head><body><p>hosted</p></body></html>";
    torva::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), page, sizeof(page) - 1, &written, nullptr);
    return path;
}

class HostWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        ASSERT_TRUE(AxHostWindowInit());
        ASSERT_NE(nullptr, parent.Create(nullptr, RECT{0, 0, 640, 480}, nullptr,
                                         WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
    }
    void TearDown() override {
        if (parent.m_hWnd) parent.DestroyWindow();
        ::OleUninitialize();
    }

    HWND CreateHost(const wchar_t* text) {
        return ::CreateWindowExW(0, kAxHostWindowClass, text, WS_CHILD | WS_VISIBLE, 0, 0, 600, 400,
                                 parent, nullptr, ComtlModuleInstance(), nullptr);
    }

    CPlainParent parent;
};

TEST_F(HostWindowTest, RegistersTheMessagesOnce) {
    EXPECT_NE(0u, AxHostGetHostMessage());
    EXPECT_NE(AxHostGetHostMessage(), AxHostGetControlMessage());
    EXPECT_EQ(AxHostGetHostMessage(), ::RegisterWindowMessageW(L"WM_ATLGETHOST"));
    EXPECT_TRUE(AxHostWindowInit());
}

TEST_F(HostWindowTest, HostEmbedsTheWebBrowserAndShowsAPage) {
    const HWND host = CreateHost(L"Shell.Explorer.2");
    ASSERT_NE(nullptr, host);
    auto* control =
        reinterpret_cast<IUnknown*>(::SendMessageW(host, AxHostGetControlMessage(), 0, 0));
    ASSERT_NE(nullptr, control);
    CComPtr<IWebBrowser2> browser;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)));
    // In place over the host window.
    EXPECT_NE(nullptr, ::FindWindowExW(host, nullptr, L"Shell Embedding", nullptr));

    auto* site = reinterpret_cast<IUnknown*>(::SendMessageW(host, AxHostGetHostMessage(), 0, 0));
    ASSERT_NE(nullptr, site);
    CComPtr<IOleInPlaceSite> inPlace;
    ASSERT_EQ(S_OK, site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)));
    HWND siteWindow = nullptr;
    EXPECT_EQ(S_OK, inPlace->GetWindow(&siteWindow));
    EXPECT_EQ(host, siteWindow);

    CComObject<CBrowserEventSink>* sinkObject = nullptr;
    ASSERT_EQ(S_OK, CComObject<CBrowserEventSink>::CreateInstance(&sinkObject));
    CComPtr<IDispatch> sink(sinkObject);
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, ComAdvise(browser, sink, DIID_DWebBrowserEvents2, &cookie));
    EXPECT_NE(0u, cookie);

    BSTR url = ::SysAllocString(WritePage().c_str());
    ASSERT_EQ(S_OK, browser->Navigate(url, nullptr, nullptr, nullptr, nullptr));
    ::SysFreeString(url);
    ASSERT_TRUE(PumpUntilLoaded(browser, 5000));
    EXPECT_GE(sinkObject->documentsComplete, 1);

    CComPtr<IDispatch> documentDispatch;
    ASSERT_EQ(S_OK, browser->get_Document(&documentDispatch));
    CComPtr<IHTMLDocument2> document;
    ASSERT_EQ(S_OK, documentDispatch->QueryInterface(IID_IHTMLDocument2,
                                                     reinterpret_cast<void**>(&document)));
    BSTR title = nullptr;
    ASSERT_EQ(S_OK, document->get_title(&title));
    EXPECT_EQ(std::wstring(L"Host page"), title ? title : L"");
    ::SysFreeString(title);

    EXPECT_EQ(S_OK, ComUnadvise(browser, DIID_DWebBrowserEvents2, cookie));
    EXPECT_TRUE(FAILED(ComUnadvise(browser, DIID_DWebBrowserEvents2, cookie)));
    browser.Release();
    ASSERT_TRUE(::DestroyWindow(host));
}

TEST_F(HostWindowTest, UnknownControlLeavesAnEmptyHost) {
    const HWND host = CreateHost(L"Torva.NoSuchControl.1");
    ASSERT_NE(nullptr, host);
    EXPECT_EQ(0, ::SendMessageW(host, AxHostGetControlMessage(), 0, 0));
    EXPECT_NE(0, ::SendMessageW(host, AxHostGetHostMessage(), 0, 0));
    ASSERT_TRUE(::DestroyWindow(host));
}

TEST(ConnectionPoints, AdviseNeedsAConnectionPointContainer) {
    CComObject<CBrowserEventSink>* sink = nullptr;
    ASSERT_EQ(S_OK, CComObject<CBrowserEventSink>::CreateInstance(&sink));
    sink->AddRef();
    DWORD cookie = 5;
    EXPECT_EQ(E_NOINTERFACE, ComAdvise(static_cast<IDispatch*>(sink), static_cast<IDispatch*>(sink),
                                       DIID_DWebBrowserEvents2, &cookie));
    EXPECT_EQ(0u, cookie);
    EXPECT_EQ(E_INVALIDARG,
              ComAdvise(nullptr, static_cast<IDispatch*>(sink), DIID_DWebBrowserEvents2, &cookie));
    sink->Release();
}

} // namespace
