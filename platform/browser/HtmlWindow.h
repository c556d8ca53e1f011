// The window of a page or frame behind IHTMLWindow2; as the browser does, it
// is also the page's frames collection (length, item by VT_I4 index or by
// frame name, each item the frame's window).
#pragma once

#include "ComPtr.h"
#include "HtmlDocument.h"
#include "LiveObjects.h"
#include "NotImplBases.h"

namespace torva::browser {

class HtmlWindow final : public ObjectBase, public IHTMLWindow2NotImpl {
public:
    // Returns a new window with one reference; name is the frame's name.
    static IHTMLWindow2* Create(HtmlDocument& doc, std::wstring name);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    TORVA_BROWSER_REFCOUNT
    TORVA_BROWSER_NO_TYPEINFO

    // IHTMLFramesCollection2
    HRESULT STDMETHODCALLTYPE item(VARIANT* index, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    // IHTMLWindow2
    HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2** p) override;
    HRESULT STDMETHODCALLTYPE get_document(IHTMLDocument2** p) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_self(IHTMLWindow2** p) override;
    HRESULT STDMETHODCALLTYPE get_window(IHTMLWindow2** p) override;

private:
    HtmlWindow(HtmlDocument& doc, std::wstring name) : m_doc(&doc), m_name(std::move(name)) {}

    ComPtr<HtmlDocument> m_doc;
    std::wstring m_name;
};

} // namespace torva::browser
