// What a page needs from the browser or view that shows it. Calls arrive on
// the thread that touched the page (the browser's UI thread for clicks).
#pragma once

#include <windows.h>

#include <string>

namespace torva::browser {

class HtmlDocument;
class HtmlNode;

class PageHost {
public:
    // A form was submitted or a link followed: navigate the browser (or the
    // frame that shows the page) to url with the given POST body (empty for
    // GET) and extra request headers.
    virtual void NavigateFromPage(HtmlDocument& page, const std::wstring& url,
                                  const std::string& postData, const std::wstring& headers) = 0;
    // A control's live state changed through the document object model.
    virtual void ControlChanged(HtmlDocument& page, HtmlNode& control) = 0;
    // A key handed to the page's in-place active object; S_OK when used.
    virtual HRESULT TranslateKey(const MSG& msg) = 0;

protected:
    ~PageHost() = default;
};

} // namespace torva::browser
