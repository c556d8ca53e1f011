#include "HtmlDocument.h"

#include "ElementCollection.h"
#include "FormControls.h"
#include "HtmlElement.h"
#include "HtmlParser.h"
#include "HtmlWindow.h"
#include "PageHost.h"
#include "PageSource.h"

#include <mshtmdid.h>

#include <new>

namespace torva::browser {

namespace {

constexpr int kMaxFrameDepth = 8;

std::wstring ErrorPage(const std::wstring& url) {
    return L"<html><head><title>This page cannot be displayed</title></head><body>"
           L"<h1>This page cannot be displayed</h1><p>The file could not be read.</p><p>" +
           url + L"</p></body></html>";
}

} // namespace

HtmlDocument::HtmlDocument(std::wstring url, std::unique_ptr<HtmlNode> root, int depth)
    : m_url(std::move(url)), m_root(std::move(root)), m_depth(depth) {
    FormControls::InitStates(*m_root);
}

HtmlDocument::~HtmlDocument() = default;

ComPtr<HtmlDocument> HtmlDocument::FromMarkup(const std::wstring& url, std::wstring_view markup,
                                              int depth, Frames frames) {
    auto doc = ComPtr<HtmlDocument>::Adopt(
        new (std::nothrow) HtmlDocument(CanonicalUrl(url), ParseHtml(markup), depth));
    if (!doc || frames == Frames::Later) return doc;
    for (const FrameSource& f : doc->FrameSources()) {
        ComPtr<HtmlDocument> child = Load(f.url, depth + 1);
        if (!child) break;
        doc->AddFrame(std::move(child));
    }
    return doc;
}

ComPtr<HtmlDocument> HtmlDocument::Load(const std::wstring& url, int depth, Frames frames) {
    const std::wstring canon = CanonicalUrl(url);
    if (auto text = LoadPage(canon)) return FromMarkup(canon, *text, depth, frames);
    auto doc = FromMarkup(canon, ErrorPage(canon), depth, frames);
    if (doc) doc->m_failed = true;
    return doc;
}

std::vector<HtmlDocument::FrameSource> HtmlDocument::FrameSources() const {
    std::vector<HtmlNode*> all;
    m_root->CollectElements(all);
    std::vector<FrameSource> out;
    for (HtmlNode* n : all) {
        if (!n->Is(L"frame") && !n->Is(L"iframe")) continue;
        const std::wstring src = n->Attribute(L"src");
        // Frames nested past the limit (a page that frames itself) stay blank.
        out.push_back({n, (src.empty() || m_depth >= kMaxFrameDepth) ? std::wstring(L"about:blank")
                                                                     : ResolveUrl(m_url, src)});
    }
    return out;
}

void HtmlDocument::AddFrame(ComPtr<HtmlDocument> doc) {
    if (!doc) return;
    const auto sources = FrameSources();
    if (m_frames.size() >= sources.size()) return;
    m_frames.push_back({sources[m_frames.size()].node, std::move(doc)});
}

void HtmlDocument::ReplaceFrame(size_t index, ComPtr<HtmlDocument> doc) {
    if (index >= m_frames.size() || !doc) return;
    ComPtr<HtmlDocument> old = std::exchange(m_frames[index].document, std::move(doc));
    old->Close();
}

std::wstring HtmlDocument::Title() const {
    std::vector<HtmlNode*> all;
    m_root->CollectElements(all);
    for (HtmlNode* n : all)
        if (n->Is(L"title")) return n->TextContent();
    return {};
}

void HtmlDocument::SetReadyState(const std::wstring& state) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_readyState = state;
}

std::wstring HtmlDocument::ReadyState() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_readyState;
}

ComPtr<IDispatch> HtmlDocument::ElementFor(HtmlNode* node) {
    std::lock_guard<std::mutex> hold(m_lock);
    auto it = m_wrappers.find(node);
    if (it != m_wrappers.end() && it->second->TryRetain())
        return ComPtr<IDispatch>::Adopt(static_cast<IHTMLElement*>(it->second));
    HtmlElement* created = CreateElementWrapper(*this, *node);
    if (!created) return nullptr;
    m_wrappers[node] = created;
    return ComPtr<IDispatch>::Adopt(static_cast<IHTMLElement*>(created));
}

void HtmlDocument::ForgetWrapper(HtmlNode* node, HtmlElement* wrapper) {
    std::lock_guard<std::mutex> hold(m_lock);
    auto it = m_wrappers.find(node);
    if (it != m_wrappers.end() && it->second == wrapper) m_wrappers.erase(it);
}

SinkList& HtmlDocument::SinksFor(HtmlNode* node) {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_sinks[node];
}

HtmlNode* HtmlDocument::Body() const {
    std::vector<HtmlNode*> all;
    m_root->CollectElements(all);
    for (HtmlNode* n : all)
        if (n->Is(L"body") || n->Is(L"frameset")) return n;
    return nullptr;
}

void HtmlDocument::Click(HtmlNode& node) {
    ComPtr<HtmlDocument> self(this); // a sink may release the page
    const std::wstring type = node.Is(L"input") ? node.InputType() : L"";
    if (type == L"checkbox") {
        FormControls::SetChecked(*m_root, node, !FormControls::Checked(node));
        Changed(node);
    } else if (type == L"radio") {
        FormControls::SetChecked(*m_root, node, true);
        Changed(node);
    }
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    SinkList* sinks = nullptr;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        auto it = m_sinks.find(&node);
        if (it != m_sinks.end()) sinks = &it->second;
    }
    if (sinks) sinks->Fire(DISPID_HTMLELEMENTEVENTS_ONCLICK, &none);
    const bool submits =
        type == L"submit" || type == L"image" ||
        (node.Is(L"button") && ToLowerAscii(node.Attribute(L"type")) != L"button" &&
         ToLowerAscii(node.Attribute(L"type")) != L"reset");
    if (!submits || node.HasAttribute(L"disabled")) return;
    if (HtmlNode* form = node.FormOwner()) Submit(*form, &node);
}

void HtmlDocument::Submit(HtmlNode& form, const HtmlNode* submitter) {
    PageHost* host = nullptr;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        host = m_host;
    }
    if (!host) return;
    const std::wstring action = form.Attribute(L"action");
    std::wstring target = ResolveUrl(m_url, action.empty() ? m_url : action);
    const std::wstring data =
        FormControls::UrlEncode(FormControls::SubmissionData(form, submitter));
    if (ToLowerAscii(form.Attribute(L"method")) == L"post") {
        host->NavigateFromPage(*this, target, std::string(data.begin(), data.end()),
                               L"Content-Type: application/x-www-form-urlencoded\r\n");
        return;
    }
    const size_t cut = target.find_first_of(L"?#");
    if (cut != std::wstring::npos) target.resize(cut);
    host->NavigateFromPage(*this, target + L"?" + data, std::string(), std::wstring());
}

void HtmlDocument::Changed(HtmlNode& control) {
    PageHost* host = nullptr;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        host = m_host;
    }
    if (host) host->ControlChanged(*this, control);
}

void HtmlDocument::SetHost(PageHost* host) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_host = host;
}

void HtmlDocument::Close() {
    std::vector<SinkList*> lists;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_host = nullptr;
        for (auto& entry : m_sinks)
            lists.push_back(&entry.second);
    }
    // Cleared outside the page lock: a released sink may release the page.
    ComPtr<HtmlDocument> self(this);
    for (SinkList* list : lists)
        list->Clear();
    for (auto& f : m_frames)
        f.document->Close();
}

HRESULT HtmlDocument::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceActiveObject) {
        *out = static_cast<IOleInPlaceActiveObject*>(this);
        AddRef();
        return S_OK;
    }
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IHTMLDocument &&
        iid != IID_IHTMLDocument2)
        return E_NOINTERFACE;
    *out = static_cast<IHTMLDocument2*>(this);
    AddRef();
    return S_OK;
}

HRESULT HtmlDocument::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = nullptr;
    return E_FAIL; // the view's windows belong to the browser control
}

HRESULT HtmlDocument::TranslateAccelerator(LPMSG msg) {
    if (!msg) return E_POINTER;
    PageHost* host = nullptr;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        host = m_host;
    }
    return host ? host->TranslateKey(*msg) : S_FALSE;
}

HRESULT HtmlDocument::get_all(IHTMLElementCollection** p) {
    if (!p) return E_POINTER;
    std::vector<HtmlNode*> all;
    m_root->CollectElements(all);
    *p = ElementCollection::Create(*this, std::move(all));
    return *p ? S_OK : E_OUTOFMEMORY;
}

HRESULT HtmlDocument::get_body(IHTMLElement** p) {
    if (!p) return E_POINTER;
    *p = nullptr;
    HtmlNode* body = Body();
    if (!body) return S_OK;
    return ElementFor(body)->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(p));
}

HRESULT HtmlDocument::get_forms(IHTMLElementCollection** p) {
    if (!p) return E_POINTER;
    std::vector<HtmlNode*> all, forms;
    m_root->CollectElements(all);
    for (HtmlNode* n : all)
        if (n->Is(L"form")) forms.push_back(n);
    *p = ElementCollection::Create(*this, std::move(forms));
    return *p ? S_OK : E_OUTOFMEMORY;
}

HRESULT HtmlDocument::get_frames(IHTMLFramesCollection2** p) {
    if (!p) return E_POINTER;
    *p = HtmlWindow::Create(*this, L"");
    return *p ? S_OK : E_OUTOFMEMORY;
}

HRESULT HtmlDocument::get_parentWindow(IHTMLWindow2** p) {
    if (!p) return E_POINTER;
    *p = HtmlWindow::Create(*this, L"");
    return *p ? S_OK : E_OUTOFMEMORY;
}

HRESULT HtmlDocument::get_URL(BSTR* p) {
    return ReturnBstr(m_url, p);
}

HRESULT HtmlDocument::get_title(BSTR* p) {
    return ReturnBstr(Title(), p);
}

HRESULT HtmlDocument::get_readyState(BSTR* p) {
    return ReturnBstr(ReadyState(), p);
}

} // namespace torva::browser
