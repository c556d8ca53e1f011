// A loaded page behind IHTMLDocument2. It owns the node tree, the documents
// of its frames, the sinks advised on its elements and the index of element
// wrappers (weak: a wrapper holds its document, never the other way round).
// The browser that shows the page calls Close when it leaves it, which drops
// the sinks and with them any reference cycle through a sink that holds the
// page.
#pragma once

#include "ComPtr.h"
#include "HtmlNode.h"
#include "LiveObjects.h"
#include "NotImplBases.h"
#include "SinkList.h"

#include <oleidl.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace torva::browser {

class HtmlElement;
class PageHost;

// Besides IHTMLDocument2 the page answers IOleInPlaceActiveObject, as the
// browser's document object does: keys handed to it go to the view that
// shows it.
class HtmlDocument final : public ObjectBase,
                           public IHTMLDocument2NotImpl,
                           public IOleInPlaceActiveObject {
public:
    // How a new page gets the documents of its frames: at once from their
    // src, or later one by one through FrameSources and AddFrame (the
    // browser, which announces each frame before it loads).
    enum class Frames { Load, Later };
    // Parses markup as the page at url, depth frames deep. readyState
    // starts as "complete"; the browser moves it while it reports the load.
    static ComPtr<HtmlDocument> FromMarkup(const std::wstring& url, std::wstring_view markup,
                                           int depth = 0, Frames frames = Frames::Load);
    // Loads url (a path, file: URL or about:blank); a page that cannot be
    // read gives a short error page at that URL, as a browser shows one.
    static ComPtr<HtmlDocument> Load(const std::wstring& url, int depth = 0,
                                     Frames frames = Frames::Load);

    HtmlNode& root() noexcept { return *m_root; }
    const std::wstring& url() const noexcept { return m_url; }
    std::wstring Title() const;
    bool LoadFailed() const noexcept { return m_failed; }
    void SetReadyState(const std::wstring& state);
    std::wstring ReadyState() const;

    struct Frame {
        HtmlNode* node;
        ComPtr<HtmlDocument> document;
    };
    const std::vector<Frame>& frames() const noexcept { return m_frames; }
    int depth() const noexcept { return m_depth; }
    struct FrameSource {
        HtmlNode* node;
        std::wstring url; // resolved; about:blank without src or nested too deep
    };
    // The frame and inline frame elements in document order.
    std::vector<FrameSource> FrameSources() const;
    // Gives the next frame of FrameSources its document (a page made with
    // Frames::Later); ignored when every frame has one.
    void AddFrame(ComPtr<HtmlDocument> doc);
    // Puts another page into frame index (a navigation inside the frame);
    // the page it held is closed.
    void ReplaceFrame(size_t index, ComPtr<HtmlDocument> doc);
    // Element wrapper for a node of this page (same object while it lives).
    ComPtr<IDispatch> ElementFor(HtmlNode* node);
    void ForgetWrapper(HtmlNode* node, HtmlElement* wrapper);
    SinkList& SinksFor(HtmlNode* node);
    HtmlNode* Body() const;

    // A user's or a caller's click: sinks first, then the default action
    // (tick a box, choose a radio, submit the form).
    void Click(HtmlNode& node);
    void Submit(HtmlNode& form, const HtmlNode* submitter);
    // Reports a change of a control's live state to the host.
    void Changed(HtmlNode& control);

    // The host is not owned; it must call SetHost(nullptr) or Close before it
    // goes. Close also closes the frames' documents.
    void SetHost(PageHost* host);
    void Close();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    TORVA_BROWSER_REFCOUNT
    TORVA_BROWSER_NO_TYPEINFO

    // IOleWindow / IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // IHTMLDocument2
    HRESULT STDMETHODCALLTYPE get_all(IHTMLElementCollection** p) override;
    HRESULT STDMETHODCALLTYPE get_body(IHTMLElement** p) override;
    HRESULT STDMETHODCALLTYPE get_forms(IHTMLElementCollection** p) override;
    HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2** p) override;
    HRESULT STDMETHODCALLTYPE get_parentWindow(IHTMLWindow2** p) override;
    HRESULT STDMETHODCALLTYPE get_URL(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_title(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_readyState(BSTR* p) override;

private:
    HtmlDocument(std::wstring url, std::unique_ptr<HtmlNode> root, int depth);
    ~HtmlDocument() override;

    std::wstring m_url;
    std::unique_ptr<HtmlNode> m_root;
    std::vector<Frame> m_frames;
    int m_depth = 0;
    bool m_failed = false;
    mutable std::mutex m_lock;
    std::wstring m_readyState = L"complete";
    std::map<HtmlNode*, HtmlElement*> m_wrappers;
    std::map<HtmlNode*, SinkList> m_sinks;
    PageHost* m_host = nullptr;
};

} // namespace torva::browser
