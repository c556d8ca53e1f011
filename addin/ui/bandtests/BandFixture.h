// The band under test in a browser of the stand-in: a visible top window for
// the browser's frame with a strip window in it (the band site's window), the
// browser object, a test band site, and the band created in-process through
// its COM creator and sited there. The store is the real one (the 64-bit
// Zentrip beside the test program); the pages each test stores are deleted
// after it and the options are put back as they were found.
#pragma once

#include "CStockBar.h"
#include "OptionKeyBackup.h"
#include "TestBandSite.h"

#include "CComObject.h"
#include "CComPtr.h"
#include "WebBrowser.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The band with its insides visible to the tests.
class BandUnderTest : public CStockBar {
public:
    CExpData& BandStore() noexcept { return m_ExpData; }
    HWND ReflectionWindow() const noexcept { return m_ReflectWnd.m_hWnd; }
    CPBToolbar& Bar() noexcept { return m_ReflectWnd.Toolbar(); }
    DWORD BrowserCookie() const noexcept { return m_dwCookie; }
    IWebBrowser2* FrameBrowser() const noexcept { return m_pFrameWB; }
};

class BandFixture : public ::testing::Test {
public:
    static std::wstring PagePath(const std::wstring& name);
    torva::browser::WebBrowser& BrowserObject() const { return *m_browser.get(); }

protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static CExpData& Store() { return *s_store; }
    static std::wstring PageUrl(const std::wstring& name);

    // Creates the band (one reference, held by the fixture) and sites it.
    void CreateBand(bool site = true);
    // SetSite(NULL) and the fixture's reference released.
    void DestroyBand();
    BandUnderTest& Band() { return *m_band; }
    IWebBrowser2* Browser() const;
    TestBandSite* Site() const noexcept { return m_site; }
    HWND Strip() const noexcept { return m_strip.get(); }
    HWND TopWindow() const noexcept { return m_owner.get(); }
    CComPtr<IHTMLDocument2> Top() const;

    // Navigates and loads the page with its frames (the band sees every
    // event), then lets posted work run.
    void Show(const std::wstring& name);
    // Dispatches the thread's messages for about ms milliseconds.
    static void Pump(DWORD ms);

    // Stores a page for url whose items build adds; deleted after the test.
    CDataWebForm& StorePage(const std::wstring& url,
                            const std::function<void(CDataWebForm&)>& build);
    // An entry of login.html's form "login": user, pw, submit go.
    static void MakeLogin(CDataWebItem& item, const std::wstring& name, const std::wstring& user,
                          const std::wstring& password, int autoInput);
    // An entry of side.html's form "find".
    static void MakeFind(CDataWebItem& item, const std::wstring& name, const std::wstring& word);
    // Writes the options; the ones found at SetUp come back after the test.
    void SetOptions(int stopFunc, int stopAutoInput);

    // The combo box lines' texts, in order.
    std::vector<std::wstring> ComboTexts();
    // How often the browser's top window was disabled (the store does so
    // around each authentication and decryption).
    int Disables() const noexcept { return m_disables; }
    // Runs once on the test thread when the top window is next disabled.
    void OnBrowserDisabled(std::function<void()> step) { m_onDisabled = std::move(step); }

    // Runs step on the test thread and waits until it has run: for a driver
    // thread acting while the test thread sits in a command's loop.
    void OnTestThread(const std::function<void()>& step);

    // Refs an object holds, read by an AddRef/Release pair.
    static ULONG RefsOf(IUnknown* object);

private:
    static LRESULT CALLBACK RunStep(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR);
    static LRESULT CALLBACK WatchTop(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);

    static std::unique_ptr<CExpData> s_store;
    std::unique_ptr<OptionKeyBackup> m_options;
    torva::UniqueWindow m_owner;
    torva::UniqueWindow m_strip;
    torva::UniqueWindow m_steps; // a message-only window of the test thread
    torva::browser::ComPtr<torva::browser::WebBrowser> m_browser;
    TestBandSite* m_site = nullptr;
    CComObject<BandUnderTest>* m_band = nullptr;
    std::vector<std::unique_ptr<CDataWebForm>> m_pages;
    int m_disables = 0;
    std::function<void()> m_onDisabled;
};
