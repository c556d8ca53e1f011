#include "EventRecorder.h"

#include "TestPages.h"

#include <ocidl.h>

namespace browser_test {

namespace {

std::wstring UrlOf(const VARIANT& v) {
    if (v.vt != (VT_VARIANT | VT_BYREF) || !v.pvarVal || v.pvarVal->vt != VT_BSTR) return L"<bad>";
    return torva::browser::FromBstr(v.pvarVal->bstrVal);
}

} // namespace

HRESULT EventRecorder::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
        *out = this;
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventRecorder::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                              UINT*) {
    RecordedEvent e{id, L"", nullptr, L"", ""};
    if (id == DISPID_BEFORENAVIGATE2) {
        if (p->cArgs != 7)
            layoutError = L"BeforeNavigate2 with " + std::to_wstring(p->cArgs) + L" arguments";
        else if (p->rgvarg[0].vt != (VT_BOOL | VT_BYREF))
            layoutError = L"Cancel is not VT_BOOL|VT_BYREF";
        else if (p->rgvarg[6].vt != VT_DISPATCH)
            layoutError = L"pDisp is not last";
        else if (p->rgvarg[4].vt != (VT_VARIANT | VT_BYREF) || p->rgvarg[4].pvarVal->vt != VT_I4)
            layoutError = L"Flags is not a VT_I4 by reference";
        else {
            e.url = UrlOf(p->rgvarg[5]);
            e.browser = p->rgvarg[6].pdispVal;
            e.target = UrlOf(p->rgvarg[3]);
            const VARIANT* post = p->rgvarg[2].pvarVal;
            if (post && post->vt == (VT_ARRAY | VT_UI1)) {
                void* data = nullptr;
                SafeArrayAccessData(post->parray, &data);
                e.post.assign(static_cast<const char*>(data), post->parray->rgsabound[0].cElements);
                SafeArrayUnaccessData(post->parray);
            }
            if (cancel || (cancelIf && cancelIf(e))) *p->rgvarg[0].pboolVal = VARIANT_TRUE;
        }
    } else if (id == DISPID_NAVIGATECOMPLETE2 || id == DISPID_DOCUMENTCOMPLETE) {
        if (p->cArgs != 2 || p->rgvarg[1].vt != VT_DISPATCH)
            layoutError = L"bad complete event arguments";
        else {
            e.url = UrlOf(p->rgvarg[0]);
            e.browser = p->rgvarg[1].pdispVal;
        }
    }
    events.push_back(e);
    if (onEvent) onEvent(e);
    return S_OK;
}

DWORD EventRecorder::Advise(IUnknown* browser) {
    ComPtr<IConnectionPointContainer> cpc;
    browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(cpc.put()));
    ComPtr<IConnectionPoint> cp;
    if (!cpc || FAILED(cpc->FindConnectionPoint(DIID_DWebBrowserEvents2, cp.put()))) return 0;
    DWORD cookie = 0;
    cp->Advise(this, &cookie);
    return cookie;
}

void EventRecorder::Unadvise(IUnknown* browser, DWORD cookie) {
    ComPtr<IConnectionPointContainer> cpc;
    browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(cpc.put()));
    ComPtr<IConnectionPoint> cp;
    if (cpc && SUCCEEDED(cpc->FindConnectionPoint(DIID_DWebBrowserEvents2, cp.put())))
        cp->Unadvise(cookie);
}

std::vector<RecordedEvent> EventRecorder::Of(DISPID id) const {
    std::vector<RecordedEvent> r;
    for (const auto& e : events)
        if (e.id == id) r.push_back(e);
    return r;
}

std::vector<std::wstring> EventRecorder::Names() const {
    std::vector<std::wstring> r;
    for (const auto& e : events) {
        const wchar_t* name = e.id == DISPID_BEFORENAVIGATE2     ? L"BN2 "
                              : e.id == DISPID_NAVIGATECOMPLETE2 ? L"NC2 "
                              : e.id == DISPID_DOCUMENTCOMPLETE  ? L"DC "
                              : e.id == DISPID_ONQUIT            ? L"Quit"
                                                                 : nullptr;
        if (!name) continue;
        std::wstring url = e.url;
        const size_t slash = url.find_last_of(L'/');
        if (slash != std::wstring::npos) url = url.substr(slash + 1); // the file name is enough
        r.push_back(name + url);
    }
    return r;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

bool WaitForLoad(IWebBrowser2* browser, DWORD timeoutMs) {
    return PumpUntil(
        [&] {
            VARIANT_BOOL busy = VARIANT_TRUE;
            READYSTATE rs = READYSTATE_UNINITIALIZED;
            browser->get_Busy(&busy);
            browser->get_ReadyState(&rs);
            return busy == VARIANT_FALSE && rs == READYSTATE_COMPLETE;
        },
        timeoutMs);
}

} // namespace browser_test
