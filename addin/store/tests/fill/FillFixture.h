// A store on the real relay (the 64-bit Zentrip beside the test program),
// the browser stand-in showing the test pages (copied to fill-pages beside
// the test program) with a visible top window standing for the browser's
// frame, and the pages each test stores, deleted again after it.
#pragma once

#include "CExpData.h"
#include "NavigationLog.h"

#include "CComPtr.h"
#include "WebBrowser.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class FillFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static CExpData& Store() { return *s_store; }
    static std::wstring PageUrl(const std::wstring& name);

    // Shows the page (and its frames) in the browser; the navigation log
    // starts empty after it.
    void Show(const std::wstring& name);
    IWebBrowser2* Browser() const;
    CComPtr<IHTMLDocument2> Top() const;
    // The document of the frame at url (the top one when it has that URL).
    CComPtr<IHTMLDocument2> DocumentAt(const std::wstring& url) const;

    // Stores a page for url with CHANGEFLG changeFlag and the items that
    // build adds; the page is deleted after the test.
    CDataWebForm& StorePage(const std::wstring& url, int changeFlag,
                            const std::function<void(CDataWebForm&)>& build);
    // The CHANGEFLG stored for url now; -2 when the page cannot be loaded.
    int StoredChangeFlag(const std::wstring& url);

    // WM_ENABLE changes the browser's top window went through (TRUE/FALSE).
    const std::vector<BOOL>& EnableChanges() const noexcept { return m_enables; }
    HWND TopWindow() const noexcept { return m_owner.get(); }

    // Runs once, on the test thread, when the code under test next disables
    // the browser's top window (the fill does so just before it asks for
    // the authentication): what another window of the browser might do
    // meanwhile.
    void OnBrowserDisabled(std::function<void()> step) { m_onDisabled = std::move(step); }
    // Runs on the test thread whenever kPoke is sent to the top window, as
    // a nested message of whatever modal loop the test thread is in.
    static constexpr UINT kPoke = WM_APP + 0x77;
    void OnPoke(std::function<void()> step) { m_onPoke = std::move(step); }

    // Writes raw bytes as the value name of the stored key path; true when
    // the relay wrote them.
    bool WriteRaw(const std::wstring& path, const wchar_t* name, const std::vector<BYTE>& bytes);
    // Deletes the sub key name of the stored key parent.
    bool DeleteStoredKey(const std::wstring& parent, const std::wstring& name);

    NavigationLog m_navigations;

private:
    static LRESULT CALLBACK RecordEnable(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);

    static std::unique_ptr<CExpData> s_store;
    torva::UniqueWindow m_owner;
    torva::browser::ComPtr<torva::browser::WebBrowser> m_browser;
    std::vector<std::unique_ptr<CDataWebForm>> m_pages;
    std::vector<BOOL> m_enables;
    std::function<void()> m_onDisabled;
    std::function<void()> m_onPoke;
};
