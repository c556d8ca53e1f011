#include "WebBrowser.h"

#include "BrowserEvents.h"
#include "ConnectionPoint.h"
#include "PageSource.h"
#include "WindowClass.h"

#include <exdispid.h>

#include <functional>
#include <mutex>
#include <new>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace torva::browser {

namespace {

constexpr UINT kLoadMessage = WM_APP + 1;
constexpr UINT_PTR kRetryTimer = 1;
const wchar_t kLoaderClass[] = L"TorvaBrowserLoader";

HINSTANCE ThisModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

void ForEachPage(HtmlDocument& doc, const std::function<void(HtmlDocument&)>& f) {
    f(doc);
    for (const auto& frame : doc.frames())
        ForEachPage(*frame.document.get(), f);
}

// The document whose frame list holds page, and the frame's index.
bool FindFrameParent(HtmlDocument& doc, HtmlDocument* page, ComPtr<HtmlDocument>& parent,
                     size_t& index) {
    const auto& frames = doc.frames();
    for (size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].document.get() == page) {
            parent = ComPtr<HtmlDocument>(&doc);
            index = i;
            return true;
        }
        if (FindFrameParent(*frames[i].document.get(), page, parent, index)) return true;
    }
    return false;
}

std::string PostBytes(const VARIANT* v) {
    if (!v) return {};
    if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    SAFEARRAY* sa = nullptr;
    if (v->vt == (VT_ARRAY | VT_UI1))
        sa = v->parray;
    else if (v->vt == (VT_ARRAY | VT_UI1 | VT_BYREF) && v->pparray)
        sa = *v->pparray;
    if (!sa || SafeArrayGetDim(sa) != 1) return {};
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(sa, 1, &lo);
    SafeArrayGetUBound(sa, 1, &hi);
    void* data = nullptr;
    if (hi < lo || FAILED(SafeArrayAccessData(sa, &data))) return {};
    std::string r(static_cast<const char*>(data), static_cast<size_t>(hi - lo + 1));
    SafeArrayUnaccessData(sa);
    return r;
}

std::wstring StringArg(const VARIANT* v) {
    if (!v) return {};
    if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    if (v->vt == VT_BSTR) return FromBstr(v->bstrVal);
    if (v->vt == (VT_BSTR | VT_BYREF) && v->pbstrVal) return FromBstr(*v->pbstrVal);
    return {};
}

} // namespace

ComPtr<WebBrowser> WebBrowser::Create() {
    return ComPtr<WebBrowser>::Adopt(new (std::nothrow) WebBrowser());
}

WebBrowser::WebBrowser() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = LoaderProc;
        // This module's own class: the program that loads the control may
        // hold another copy of this layer with a class of the same name.
        wc.hInstance = ThisModule();
        wc.lpszClassName = kLoaderClass;
        (void)WindowClass::Register(wc); // a failure shows as no loader window
    });
    m_loader.reset(CreateWindowExW(0, kLoaderClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ThisModule(), nullptr));
    if (m_loader)
        SetWindowLongPtrW(m_loader.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WebBrowser::~WebBrowser() {
    if (m_loader) SetWindowLongPtrW(m_loader.get(), GWLP_USERDATA, 0);
    LeavePage();
}

LRESULT CALLBACK WebBrowser::LoaderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != kLoadMessage && !(msg == WM_TIMER && wp == kRetryTimer))
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_TIMER) KillTimer(hwnd, kRetryTimer);
    auto* self = reinterpret_cast<WebBrowser*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return 0;
    ComPtr<WebBrowser> hold(self);
    self->RunPendingLoad();
    return 0;
}

HRESULT WebBrowser::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser ||
        iid == IID_IWebBrowserApp || iid == IID_IWebBrowser2) {
        *out = static_cast<IWebBrowser2*>(this);
    } else if (iid == IID_IConnectionPointContainer) {
        *out = static_cast<IConnectionPointContainer*>(this);
    } else {
        return QueryMore(iid, out);
    }
    AddRef();
    return S_OK;
}

HRESULT WebBrowser::QueryMore(REFIID, void**) {
    return E_NOINTERFACE;
}

HRESULT WebBrowser::NavigateTo(const std::wstring& url, const std::string& postData,
                               const std::wstring& headers) {
    if (m_quit) return E_FAIL;
    const std::wstring canon = CanonicalUrl(url);
    ComPtr<WebBrowser> hold(this);
    if (BrowserEvents::BeforeNavigate2(m_events, Self(), canon, 0, L"", postData, headers))
        return S_OK;
    PendingLoad load;
    load.url = canon;
    load.postData = postData;
    return Queue(std::move(load));
}

HRESULT WebBrowser::Queue(PendingLoad load) {
    load.active = true;
    m_pending = std::move(load);
    m_busy = true;
    if (!m_pending.frameParent) m_readyState = READYSTATE_LOADING;
    if (!m_loader || !PostMessageW(m_loader.get(), kLoadMessage, 0, 0))
        return HRESULT_FROM_WIN32(GetLastError());
    return S_OK;
}

void WebBrowser::RunPendingLoad() {
    if (!m_pending.active || m_quit) return;
    if (m_loading) {
        // A sink is inside an event of the running load (a modal dialog
        // pumps messages): load once that event sequence is over.
        SetTimer(m_loader.get(), kRetryTimer, 20, nullptr);
        return;
    }
    PendingLoad load = std::move(m_pending);
    m_pending = PendingLoad();
    ComPtr<WebBrowser> hold(this);
    m_loading = true;
    if (load.frameParent)
        LoadFrame(load);
    else
        LoadTop(load);
    m_loading = false;
    if (!m_pending.active) m_busy = false;
}

void WebBrowser::LeavePage() {
    if (m_document) m_document->Close();
    m_document.reset();
    m_frameBrowsers.clear();
}

void WebBrowser::LoadTop(const PendingLoad& load) {
    LeavePage();
    ComPtr<HtmlDocument> doc = HtmlDocument::Load(load.url, 0, HtmlDocument::Frames::Later);
    if (!doc) return;
    doc->SetReadyState(L"loading");
    doc->SetHost(this);
    m_document = doc;
    BrowserEvents::DownloadBegin(m_events);
    BrowserEvents::NavigateComplete2(m_events, Self(), doc->url());
    if (m_document != doc || m_quit) return;
    if (!LoadFrames(*doc.get())) return;
    if (m_observer) m_observer->DocumentChanged(doc.get());
    ForEachPage(*doc.get(), [](HtmlDocument& d) { d.SetReadyState(L"interactive"); });
    m_readyState = READYSTATE_INTERACTIVE;
    BrowserEvents::DownloadComplete(m_events);
    CompleteFrames(*doc.get());
    if (m_document != doc || m_quit) return;
    doc->SetReadyState(L"complete");
    m_readyState = READYSTATE_COMPLETE;
    if (!m_pending.active) m_busy = false;
    BrowserEvents::TitleChange(m_events, doc->Title().empty() ? doc->url() : doc->Title());
    BrowserEvents::DocumentComplete(m_events, Self(), doc->url());
}

bool WebBrowser::LoadFrames(HtmlDocument& doc) {
    const ComPtr<HtmlDocument> top = m_document;
    for (const auto& source : doc.FrameSources()) {
        ComPtr<FrameBrowser> fb = FrameBrowser::Create(nullptr);
        if (!fb) return false;
        m_frameBrowsers.push_back(fb);
        const std::wstring url = CanonicalUrl(source.url);
        const bool refused =
            BrowserEvents::BeforeNavigate2(m_events, static_cast<IWebBrowser2*>(fb.get()), url, 0,
                                           source.node->Attribute(L"name"), {}, {});
        if (m_document != top || m_quit) return false;
        // A refused frame keeps the empty page a frame starts with.
        ComPtr<HtmlDocument> child =
            refused ? HtmlDocument::FromMarkup(L"about:blank", L"", doc.depth() + 1,
                                               HtmlDocument::Frames::Later)
                    : HtmlDocument::Load(url, doc.depth() + 1, HtmlDocument::Frames::Later);
        if (!child) return false;
        child->SetReadyState(L"loading");
        child->SetHost(this);
        fb->SetDocument(child);
        fb->SetNavigated(!refused);
        doc.AddFrame(child);
        if (refused) continue;
        BrowserEvents::NavigateComplete2(m_events, static_cast<IWebBrowser2*>(fb.get()),
                                         child->url());
        if (m_document != top || m_quit) return false;
        if (!LoadFrames(*child.get())) return false;
    }
    return true;
}

void WebBrowser::CompleteFrames(HtmlDocument& doc) {
    const ComPtr<HtmlDocument> top = m_document;
    for (const auto& frame : doc.frames()) {
        const ComPtr<HtmlDocument> child = frame.document;
        CompleteFrames(*child.get());
        if (m_document != top || m_quit) return;
        child->SetReadyState(L"complete");
        FrameBrowser* fb = FrameBrowserFor(child.get());
        if (fb && fb->navigated())
            BrowserEvents::DocumentComplete(m_events, static_cast<IWebBrowser2*>(fb), child->url());
        if (m_document != top || m_quit) return;
    }
}

FrameBrowser* WebBrowser::FrameBrowserFor(HtmlDocument* doc) {
    for (const auto& fb : m_frameBrowsers)
        if (fb->document() == doc) return fb.get();
    return nullptr;
}

void WebBrowser::LoadFrame(const PendingLoad& load) {
    const auto& frames = load.frameParent->frames();
    if (load.frameIndex >= frames.size()) return;
    ComPtr<HtmlDocument> old = frames[load.frameIndex].document;
    ComPtr<FrameBrowser> fb(FrameBrowserFor(old.get()));
    ComPtr<HtmlDocument> doc =
        HtmlDocument::Load(load.url, load.frameParent->depth() + 1, HtmlDocument::Frames::Later);
    if (!doc || !fb) return;
    const ComPtr<HtmlDocument> top = m_document;
    doc->SetReadyState(L"loading");
    doc->SetHost(this);
    fb->SetDocument(doc);
    fb->SetNavigated(true);
    load.frameParent->ReplaceFrame(load.frameIndex, doc);
    BrowserEvents::NavigateComplete2(m_events, static_cast<IWebBrowser2*>(fb.get()), doc->url());
    if (m_document != top || m_quit) return;
    if (!LoadFrames(*doc.get())) return;
    ForEachPage(*doc.get(), [](HtmlDocument& d) { d.SetReadyState(L"interactive"); });
    if (m_observer && m_document) m_observer->DocumentChanged(m_document.get());
    CompleteFrames(*doc.get());
    if (m_document != top || m_quit) return;
    doc->SetReadyState(L"complete");
    BrowserEvents::DocumentComplete(m_events, static_cast<IWebBrowser2*>(fb.get()), doc->url());
}

void WebBrowser::NavigateFromPage(HtmlDocument& page, const std::wstring& url,
                                  const std::string& postData, const std::wstring& headers) {
    if (m_quit || !m_document) return;
    if (&page == m_document.get()) {
        (void)NavigateTo(url, postData, headers);
        return;
    }
    PendingLoad load;
    if (!FindFrameParent(*m_document.get(), &page, load.frameParent, load.frameIndex)) return;
    FrameBrowser* fb = FrameBrowserFor(&page);
    const std::wstring canon = CanonicalUrl(url);
    const std::wstring name = load.frameParent->frames()[load.frameIndex].node->Attribute(L"name");
    ComPtr<WebBrowser> hold(this);
    if (BrowserEvents::BeforeNavigate2(m_events, fb ? static_cast<IWebBrowser2*>(fb) : Self(),
                                       canon, 0, name, postData, headers))
        return;
    load.url = canon;
    load.postData = postData;
    (void)Queue(std::move(load));
}

void WebBrowser::ControlChanged(HtmlDocument& page, HtmlNode& control) {
    if (m_observer) m_observer->ControlChanged(page, control);
}

HRESULT WebBrowser::TranslateKey(const MSG& msg) {
    return m_observer ? m_observer->TranslateKey(msg) : S_FALSE;
}

void WebBrowser::Shutdown() {
    m_quit = true;
    m_pending = PendingLoad();
    if (m_observer) m_observer->Quitting();
    LeavePage();
    m_events.Clear();
}

HRESULT WebBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT* postData, VARIANT* headers) {
    if (!url) return E_INVALIDARG;
    return NavigateTo(FromBstr(url), PostBytes(postData), StringArg(headers));
}

HRESULT WebBrowser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT* postData,
                              VARIANT* headers) {
    if (!url) return E_INVALIDARG;
    const std::wstring u = StringArg(url);
    if (u.empty()) return E_INVALIDARG;
    return NavigateTo(u, PostBytes(postData), StringArg(headers));
}

HRESULT WebBrowser::get_Document(IDispatch** p) {
    if (!p) return E_POINTER;
    *p = m_document ? ComPtr<IDispatch>(static_cast<IHTMLDocument2*>(m_document.get())).detach()
                    : nullptr;
    return S_OK;
}

HRESULT WebBrowser::get_LocationURL(BSTR* p) {
    return ReturnBstr(m_document ? m_document->url() : L"", p);
}

HRESULT WebBrowser::get_LocationName(BSTR* p) {
    if (!m_document) return ReturnBstr(L"", p);
    const std::wstring title = m_document->Title();
    return ReturnBstr(title.empty() ? m_document->url() : title, p);
}

HRESULT WebBrowser::get_HWND(SHANDLE_PTR* p) {
    if (!p) return E_POINTER;
    *p = reinterpret_cast<SHANDLE_PTR>(m_topWindow);
    return m_topWindow ? S_OK : E_FAIL;
}

HRESULT WebBrowser::get_ReadyState(READYSTATE* p) {
    if (!p) return E_POINTER;
    *p = m_readyState;
    return S_OK;
}

HRESULT WebBrowser::get_Busy(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = m_busy ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT WebBrowser::Quit() {
    if (m_quit) return S_OK;
    ComPtr<WebBrowser> hold(this);
    BrowserEvents::OnQuit(m_events);
    Shutdown();
    return S_OK;
}

HRESULT WebBrowser::put_RegisterAsDropTarget(VARIANT_BOOL v) {
    m_dropTarget = v != VARIANT_FALSE;
    return S_OK;
}

HRESULT WebBrowser::get_RegisterAsDropTarget(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = m_dropTarget ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT WebBrowser::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT WebBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != DIID_DWebBrowserEvents2) return CONNECT_E_NOCONNECTION;
    *out = ConnectionPoint::Create(this, iid, m_events);
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace torva::browser
