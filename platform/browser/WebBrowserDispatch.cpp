// Late-bound access to the browser object: the dispatch ids of IWebBrowser2
// that containers and framework wrappers call through IDispatch::Invoke.
#include "WebBrowser.h"

#include "HtmlNode.h"

namespace torva::browser {

namespace {

// Dispatch ids of the IWebBrowser2 members (from the interface's type
// information; exdispid.h lists only the event ids).
constexpr DISPID kNavigate = 104;
constexpr DISPID kNavigate2 = 500;
constexpr DISPID kQuit = 300;
constexpr DISPID kDocument = 203;
constexpr DISPID kLocationName = 210;
constexpr DISPID kLocationUrl = 211;
constexpr DISPID kBusy = 212;
constexpr DISPID kHwnd = -515;
constexpr DISPID kReadyState = -525;
constexpr DISPID kRegisterAsDropTarget = 552;

struct Member {
    const wchar_t* name;
    DISPID id;
};
constexpr Member kMembers[] = {{L"Navigate", kNavigate},
                               {L"Navigate2", kNavigate2},
                               {L"Quit", kQuit},
                               {L"Document", kDocument},
                               {L"LocationName", kLocationName},
                               {L"LocationURL", kLocationUrl},
                               {L"Busy", kBusy},
                               {L"HWND", kHwnd},
                               {L"ReadyState", kReadyState},
                               {L"RegisterAsDropTarget", kRegisterAsDropTarget}};

// Argument i counted from the first the caller wrote (rgvarg is reversed);
// null when absent.
VARIANT* Arg(DISPPARAMS* p, UINT i) {
    if (!p || i >= p->cArgs) return nullptr;
    return &p->rgvarg[p->cArgs - 1 - i];
}

} // namespace

HRESULT WebBrowser::GetTypeInfoCount(UINT* n) {
    if (!n) return E_POINTER;
    *n = 0;
    return S_OK;
}

HRESULT WebBrowser::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT WebBrowser::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    for (const auto& m : kMembers)
        if (names[0] && EqualsNoCase(names[0], m.name)) {
            ids[0] = m.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    return DISP_E_UNKNOWNNAME;
}

HRESULT WebBrowser::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO*, UINT* argErr) {
    if (result) VariantInit(result);
    const bool get = (flags & DISPATCH_PROPERTYGET) != 0;
    switch (id) {
    case kNavigate:
    case kNavigate2: {
        VARIANT* url = Arg(params, 0);
        if (!url) return DISP_E_PARAMNOTOPTIONAL;
        VARIANT text;
        VariantInit(&text);
        if (FAILED(VariantChangeType(&text, url, 0, VT_BSTR))) {
            if (argErr) *argErr = params->cArgs - 1;
            return DISP_E_TYPEMISMATCH;
        }
        const HRESULT hr =
            Navigate(text.bstrVal, Arg(params, 1), Arg(params, 2), Arg(params, 3), Arg(params, 4));
        VariantClear(&text);
        return hr;
    }
    case kQuit:
        return Quit();
    case kDocument:
        if (!get || !result) return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_DISPATCH;
        return get_Document(&result->pdispVal);
    case kLocationName:
    case kLocationUrl:
        if (!get || !result) return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_BSTR;
        return id == kLocationUrl ? get_LocationURL(&result->bstrVal)
                                  : get_LocationName(&result->bstrVal);
    case kBusy:
        if (!get || !result) return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_BOOL;
        return get_Busy(&result->boolVal);
    case kReadyState: {
        if (!get || !result) return DISP_E_MEMBERNOTFOUND;
        READYSTATE rs = READYSTATE_UNINITIALIZED;
        const HRESULT hr = get_ReadyState(&rs);
        result->vt = VT_I4;
        result->lVal = rs;
        return hr;
    }
    case kHwnd: {
        if (!get || !result) return DISP_E_MEMBERNOTFOUND;
        SHANDLE_PTR h = 0;
        const HRESULT hr = get_HWND(&h);
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(h);
        return hr;
    }
    case kRegisterAsDropTarget: {
        if (get) {
            if (!result) return E_POINTER;
            result->vt = VT_BOOL;
            return get_RegisterAsDropTarget(&result->boolVal);
        }
        VARIANT* v = Arg(params, 0);
        VARIANT b;
        VariantInit(&b);
        if (!v || FAILED(VariantChangeType(&b, v, 0, VT_BOOL))) return DISP_E_TYPEMISMATCH;
        return put_RegisterAsDropTarget(b.boolVal);
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

} // namespace torva::browser
