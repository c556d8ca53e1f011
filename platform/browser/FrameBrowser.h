// The browser object of one frame, as events name it in their pDisp
// argument: it reports the frame's document, URL and state. Navigation
// happens through the top browser; this object only describes. It exists
// before the frame's first page (BeforeNavigate2 names it) and then
// reports about:blank.
#pragma once

#include "ComPtr.h"
#include "HtmlDocument.h"
#include "LiveObjects.h"
#include "NotImplBases.h"

namespace torva::browser {

class FrameBrowser final : public ObjectBase, public IWebBrowser2NotImpl {
public:
    // doc may be null until the frame's page is loaded.
    static ComPtr<FrameBrowser> Create(ComPtr<HtmlDocument> doc);

    HtmlDocument* document() const noexcept { return m_doc.get(); }
    void SetDocument(ComPtr<HtmlDocument> doc) { m_doc = std::move(doc); }
    // False while the frame shows a page it was refused (BeforeNavigate2
    // cancelled): such a page gets no completion events.
    bool navigated() const noexcept { return m_navigated; }
    void SetNavigated(bool navigated) noexcept { m_navigated = navigated; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    TORVA_BROWSER_REFCOUNT
    TORVA_BROWSER_NO_TYPEINFO

    // IWebBrowser2
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE* p) override;
    HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL* p) override;

private:
    explicit FrameBrowser(ComPtr<HtmlDocument> doc) : m_doc(std::move(doc)) {}

    ComPtr<HtmlDocument> m_doc;
    bool m_navigated = true;
};

} // namespace torva::browser
