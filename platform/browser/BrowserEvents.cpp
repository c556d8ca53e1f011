#include "BrowserEvents.h"

#include "ComPtr.h"

#include <exdispid.h>

namespace torva::browser {

namespace BrowserEvents {

namespace {

// A VARIANT owned for the duration of one event.
struct OwnedVariant {
    OwnedVariant() { VariantInit(&v); }
    ~OwnedVariant() { VariantClear(&v); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    VARIANT v;
};

void SetString(OwnedVariant& o, const std::wstring& s) {
    o.v.vt = VT_BSTR;
    o.v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
}

VARIANT ByRef(OwnedVariant& o) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_VARIANT | VT_BYREF;
    r.pvarVal = &o.v;
    return r;
}

VARIANT Dispatch(IDispatch* d) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_DISPATCH;
    r.pdispVal = d; // borrowed: the browser keeps its reference over the call
    return r;
}

void FireUrlEvent(const SinkList& sinks, DISPID id, IDispatch* browser, const std::wstring& url) {
    OwnedVariant u;
    SetString(u, url);
    VARIANT args[2] = {ByRef(u), Dispatch(browser)};
    DISPPARAMS p{args, nullptr, 2, 0};
    sinks.Fire(id, &p);
}

} // namespace

bool BeforeNavigate2(const SinkList& sinks, IDispatch* browser, const std::wstring& url, long flags,
                     const std::wstring& targetFrame, const std::string& postData,
                     const std::wstring& headers) {
    OwnedVariant u, f, t, post, h;
    SetString(u, url);
    f.v.vt = VT_I4;
    f.v.lVal = flags;
    SetString(t, targetFrame);
    if (!postData.empty()) {
        SAFEARRAY* sa = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(postData.size()));
        void* bytes = nullptr;
        if (sa && SUCCEEDED(SafeArrayAccessData(sa, &bytes))) {
            memcpy(bytes, postData.data(), postData.size());
            SafeArrayUnaccessData(sa);
            post.v.vt = VT_ARRAY | VT_UI1;
            post.v.parray = sa;
        }
    }
    SetString(h, headers);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT c;
    VariantInit(&c);
    c.vt = VT_BOOL | VT_BYREF;
    c.pboolVal = &cancel;
    VARIANT args[7] = {c, ByRef(h), ByRef(post), ByRef(t), ByRef(f), ByRef(u), Dispatch(browser)};
    DISPPARAMS p{args, nullptr, 7, 0};
    sinks.Fire(DISPID_BEFORENAVIGATE2, &p);
    return cancel != VARIANT_FALSE;
}

void NavigateComplete2(const SinkList& sinks, IDispatch* browser, const std::wstring& url) {
    FireUrlEvent(sinks, DISPID_NAVIGATECOMPLETE2, browser, url);
}

void DocumentComplete(const SinkList& sinks, IDispatch* browser, const std::wstring& url) {
    FireUrlEvent(sinks, DISPID_DOCUMENTCOMPLETE, browser, url);
}

void DownloadBegin(const SinkList& sinks) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    sinks.Fire(DISPID_DOWNLOADBEGIN, &none);
}

void DownloadComplete(const SinkList& sinks) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    sinks.Fire(DISPID_DOWNLOADCOMPLETE, &none);
}

void TitleChange(const SinkList& sinks, const std::wstring& title) {
    OwnedVariant t;
    SetString(t, title);
    DISPPARAMS p{&t.v, nullptr, 1, 0};
    sinks.Fire(DISPID_TITLECHANGE, &p);
}

void OnQuit(const SinkList& sinks) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    sinks.Fire(DISPID_ONQUIT, &none);
}

} // namespace BrowserEvents

} // namespace torva::browser
