// The browser object behind IWebBrowser2 and its DWebBrowserEvents2
// connection point. Navigation works as the real browser's does from a
// caller's point of view: Navigate fires BeforeNavigate2 at once (a sink
// may cancel), then returns; the page loads when the browser's thread next
// dispatches messages, which fires NavigateComplete2, then BeforeNavigate2
// and NavigateComplete2 for each frame as it loads, DocumentComplete for
// each frame (inner frames first) and last for the top page. So the thread
// that created the browser must pump messages.
//
// Threads: the object is apartment-bound to its creating thread; the
// document object model may be read from other threads (the pages lock).
#pragma once

#include "BrowserObserver.h"
#include "ComPtr.h"
#include "FrameBrowser.h"
#include "HtmlDocument.h"
#include "LiveObjects.h"
#include "NotImplBases.h"
#include "PageHost.h"
#include "SinkList.h"

#include <Win32Handles.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

namespace torva::browser {

class WebBrowser : public ObjectBase,
                   public IWebBrowser2NotImpl,
                   public IConnectionPointContainer,
                   public PageHost {
public:
    // Returns a new browser with one reference, showing nothing.
    static ComPtr<WebBrowser> Create();

    HtmlDocument* document() const noexcept { return m_document.get(); }
    // The top-level window get_HWND reports (the browser program's frame);
    // without one get_HWND fails, as it does for an embedded control.
    void SetTopWindow(HWND hwnd) noexcept { m_topWindow = hwnd; }
    // Not owned; cleared with nullptr before the observer goes.
    void SetObserver(BrowserObserver* observer) noexcept { m_observer = observer; }
    [[nodiscard]] HRESULT NavigateTo(const std::wstring& url, const std::string& postData = {},
                                     const std::wstring& headers = {});
    // Loads what Navigate queued, at once (what the browser's thread does
    // when it dispatches the load message).
    void RunPendingLoad();
    bool HasPendingLoad() const noexcept { return m_pending.active; }
    // Quit without events from a container that goes away.
    void Shutdown();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    TORVA_BROWSER_REFCOUNT

    // IDispatch: the late-bound members callers use (Navigate, Navigate2,
    // Document, LocationURL, LocationName, ReadyState, Busy, HWND, Quit).
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT* argErr) override;

    // IWebBrowser2
    HRESULT STDMETHODCALLTYPE Navigate(BSTR url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                       VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target,
                                        VARIANT* postData, VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* p) override;
    HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE* p) override;
    HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE Quit() override;
    HRESULT STDMETHODCALLTYPE put_RegisterAsDropTarget(VARIANT_BOOL v) override;
    HRESULT STDMETHODCALLTYPE get_RegisterAsDropTarget(VARIANT_BOOL* p) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // PageHost
    void NavigateFromPage(HtmlDocument& page, const std::wstring& url, const std::string& postData,
                          const std::wstring& headers) override;
    void ControlChanged(HtmlDocument& page, HtmlNode& control) override;
    HRESULT TranslateKey(const MSG& msg) override;

protected:
    WebBrowser();
    ~WebBrowser() override;
    // Interfaces a derived control adds; S_OK with *out AddRef'ed.
    virtual HRESULT QueryMore(REFIID iid, void** out);

private:
    struct PendingLoad {
        bool active = false;
        std::wstring url;
        std::string postData;
        ComPtr<HtmlDocument> frameParent; // set for a navigation inside a frame
        size_t frameIndex = 0;
    };

    static LRESULT CALLBACK LoaderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    IDispatch* Self() noexcept { return static_cast<IWebBrowser2*>(this); }
    [[nodiscard]] HRESULT Queue(PendingLoad load);
    void LoadTop(const PendingLoad& load);
    void LoadFrame(const PendingLoad& load);
    // Loads the frames of doc as the browser does, each in turn:
    // BeforeNavigate2 naming the frame's browser object (a refused frame
    // stays empty and gets no further events), its page, NavigateComplete2,
    // then the frames of that page. False when a sink quit meanwhile.
    [[nodiscard]] bool LoadFrames(HtmlDocument& doc);
    void CompleteFrames(HtmlDocument& doc);
    FrameBrowser* FrameBrowserFor(HtmlDocument* doc);
    void LeavePage();

    UniqueWindow m_loader; // message-only window; its messages run queued loads
    ComPtr<HtmlDocument> m_document;
    std::vector<ComPtr<FrameBrowser>> m_frameBrowsers;
    SinkList m_events;
    PendingLoad m_pending;
    READYSTATE m_readyState = READYSTATE_UNINITIALIZED;
    bool m_busy = false;
    bool m_dropTarget = true;
    bool m_quit = false;
    bool m_loading = false; // inside the event sequence of a load
    HWND m_topWindow = nullptr;
    BrowserObserver* m_observer = nullptr;
};

} // namespace torva::browser
