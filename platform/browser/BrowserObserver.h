// What the view of a browser hears from it, on the browser's thread.
#pragma once

#include <windows.h>

namespace torva::browser {

class HtmlDocument;
class HtmlNode;

class BrowserObserver {
public:
    // A new top page is shown (null: none); the view rebuilds itself.
    virtual void DocumentChanged(HtmlDocument* doc) = 0;
    // A control's live state was changed through the object model.
    virtual void ControlChanged(HtmlDocument& page, HtmlNode& control) = 0;
    // A key for the page (its in-place active object); S_OK when used.
    virtual HRESULT TranslateKey(const MSG& msg) = 0;
    // The browser was told to quit.
    virtual void Quitting() = 0;

protected:
    ~BrowserObserver() = default;
};

} // namespace torva::browser
