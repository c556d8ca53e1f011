// The browser program's frame window ("IEFrame"): the address line, the
// toolbar strip with the registered bands, and the page view. It owns the
// browser object and the band site; closing the window quits the browser
// (OnQuit) and then closes the bands. Tab moves the focus from the address
// line through the bands to the page (Shift+Tab back); inside the page Tab
// goes round its controls.
#pragma once

#include "BandSite.h"
#include "BrowserView.h"
#include "PageLoads.h"
#include "WebBrowser.h"

#include <Win32Handles.h>

#include <memory>

namespace torva::browser {

class BrowserFrame {
public:
    // Creates the frame (shown with show) and loads the bands.
    static std::unique_ptr<BrowserFrame> Create(int show);
    ~BrowserFrame();
    BrowserFrame(const BrowserFrame&) = delete;
    BrowserFrame& operator=(const BrowserFrame&) = delete;

    HWND window() const noexcept { return m_window.get(); }
    HWND address() const noexcept { return m_address; }
    WebBrowser& browser() noexcept { return *m_browser.get(); }
    BrowserView* view() noexcept { return m_view.get(); }
    BandSite& bands() noexcept { return *m_bands.get(); }
    [[nodiscard]] HRESULT Open(const std::wstring& url);
    // Closes band index and gives its row back to the page; false for no
    // such band.
    bool CloseBand(int index);
    // How often the frame window went from enabled to disabled (a modal
    // dialog in front of it, a component that disables it while it waits).
    int Disables() const noexcept { return m_disables; }
    // How many pages (top pages and frames' pages) whose URL contains text
    // have completed since the start.
    int Completions(const std::wstring& text) const;
    // A message before it is dispatched: clicks into a band activate it;
    // keys go to the band that has the focus, else to the frame's own Tab
    // and Enter and to the view. True when used (not to be dispatched).
    bool PreTranslate(MSG& msg);

private:
    BrowserFrame() = default;
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Layout();
    void Shutdown();
    // Moves the focus on from Tab stop stop (0 the address line, 1.. the
    // bands, then the page); msg is the key.
    void TabFrom(int stop, bool back, MSG& msg);

    UniqueWindow m_window;
    HWND m_address = nullptr;
    HWND m_strip = nullptr;
    ComPtr<WebBrowser> m_browser;
    ComPtr<BandSite> m_bands;
    std::unique_ptr<BrowserView> m_view;
    UniqueGdiObject m_font;
    PageLoads* m_loads = nullptr; // owned (one reference), advised on the browser
    bool m_closed = false;
    int m_disables = 0;
};

} // namespace torva::browser
