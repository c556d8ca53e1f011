// The windows that show a browser's page: "Shell Embedding" (the control's
// own window, child of the container), inside it "Shell DocObject View",
// inside that "Internet Explorer_Server", which paints the page's text and
// holds one real Windows control per form control. Controls and the object
// model stay in step both ways: typing, ticking and choosing write the live
// state; changes made through the interfaces are shown at once. The
// keyboard focus stays in "Internet Explorer_Server"; the form control the
// user works in is the active one and gets the keys (see ControlFocus).
//
// Lives on the browser's UI thread; destroyed before the browser it shows.
#pragma once

#include "BrowserObserver.h"
#include "ControlFocus.h"
#include "ViewLayout.h"
#include "WebBrowser.h"

#include <Win32Handles.h>

#include <memory>
#include <vector>

namespace torva::browser {

class BrowserView final : public BrowserObserver {
public:
    // Creates the window chain under parent at rect and shows the browser's
    // current page. Null when a window cannot be made.
    static std::unique_ptr<BrowserView> Create(HWND parent, const RECT& rect, WebBrowser& browser);
    ~BrowserView();
    BrowserView(const BrowserView&) = delete;
    BrowserView& operator=(const BrowserView&) = delete;

    HWND embedding() const noexcept { return m_embedding.get(); }
    HWND server() const noexcept { return m_server; }
    void SetRect(const RECT& rect);
    void Show(bool show);
    // Takes the keyboard focus, as a Tab onto the page does: the active
    // control stays active; without one the first (fromEnd: the last)
    // control becomes it.
    void TakeFocus(bool fromEnd);
    // Keys a container hands over before dispatching: Tab moves between the
    // controls; for the active control Enter submits a text field's form,
    // starts a new line in a multi-line one and clicks a button; Delete and
    // Ctrl+A/C/V/X/Z/Y edit a text field. S_OK when used (the key
    // down acts, its key up is only claimed). From another thread the key
    // is handled on the view's thread, which must be pumping messages.
    HRESULT TranslateKey(const MSG& msg) override;
    // The window showing a control element; null when none.
    HWND ControlFor(const HtmlNode* node) const;
    // The element of the active control (the one the keys go to); null when
    // none.
    const HtmlNode* ActiveElement() const;
    int ControlCount() const noexcept { return static_cast<int>(m_controls.size()); }

    // BrowserObserver
    void DocumentChanged(HtmlDocument* doc) override;
    void ControlChanged(HtmlDocument& page, HtmlNode& control) override;
    void Quitting() override;

private:
    struct Control {
        HWND hwnd;
        ViewLayout::Item item;
    };

    explicit BrowserView(WebBrowser& browser);
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK ServerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnServerMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Rebuild();
    void DestroyControls();
    HWND MakeControl(const ViewLayout::Item& item, int id);
    const Control* ActiveControl() const;
    [[nodiscard]] HRESULT EnterKey(const Control& c, bool act);
    void Refresh(const Control& c);
    void RefreshAll();
    void OnCommand(int id, int code);
    void Paint();
    void Scroll(int newY);
    HFONT FontFor(ViewLayout::Font f) const;
    void MakeFonts();

    WebBrowser& m_browser;
    ComPtr<HtmlDocument> m_page; // the page shown (held while shown)
    ControlFocus m_focus;        // before the windows: they call it while they go
    UniqueWindow m_embedding;    // owns the chain; children go with it
    HWND m_docView = nullptr;
    HWND m_server = nullptr;
    std::vector<ViewLayout::Item> m_items;
    std::vector<Control> m_controls;
    UniqueGdiObject m_fonts[5];
    int m_scrollY = 0;
    int m_contentHeight = 0;
    bool m_syncing = false;
    bool m_rebuilding = false;
    int m_layoutWidth = -1; // set while the view writes a control itself
};

} // namespace torva::browser
