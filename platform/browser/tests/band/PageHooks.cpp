#include "PageHooks.h"

#include "BandRecord.h"
#include "ConfirmDialog.h"

#include <mshtmdid.h>
#include <mshtml.h>

namespace testband {

namespace {

// Long beside the script's steps (a few tens of milliseconds each).
constexpr DWORD kFillDelayMs = 1000;

class SubmitSink : public IDispatch {
public:
    explicit SubmitSink(HWND owner) : m_owner(owner) {}
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_HTMLButtonElementEvents) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --m_refs;
        if (!n) delete this;
        return n;
    }
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id != DISPID_HTMLELEMENTEVENTS_ONCLICK) return S_OK;
        Append(L"Submit", L"asked");
        RunConfirmDialog(m_owner);
        Append(L"Submit", L"answered");
        return S_OK;
    }

private:
    ULONG m_refs = 1;
    HWND m_owner;
};

template <class T> struct Ref {
    T* p = nullptr;
    ~Ref() {
        if (p) p->Release();
    }
    void** put() { return reinterpret_cast<void**>(&p); }
};

bool All(IWebBrowser2* browser, Ref<IHTMLElementCollection>& all) {
    Ref<IDispatch> disp;
    Ref<IHTMLDocument2> doc;
    return browser && SUCCEEDED(browser->get_Document(&disp.p)) && disp.p &&
           SUCCEEDED(disp.p->QueryInterface(IID_IHTMLDocument2, doc.put())) &&
           SUCCEEDED(doc.p->get_all(&all.p)) && all.p;
}

void Advise(IDispatch* element, HWND owner) {
    Ref<IHTMLInputElement> input;
    BSTR type = nullptr;
    if (FAILED(element->QueryInterface(IID_IHTMLInputElement, input.put())) ||
        FAILED(input.p->get_type(&type)) || !type)
        return;
    const bool submit = lstrcmpiW(type, L"submit") == 0;
    SysFreeString(type);
    Ref<IConnectionPointContainer> cpc;
    Ref<IConnectionPoint> cp;
    if (!submit || FAILED(element->QueryInterface(IID_IConnectionPointContainer, cpc.put())) ||
        FAILED(cpc.p->FindConnectionPoint(DIID_HTMLButtonElementEvents, &cp.p)))
        return;
    auto* sink = new SubmitSink(owner);
    DWORD cookie = 0;
    if (SUCCEEDED(cp.p->Advise(sink, &cookie))) Append(L"Submit", L"sink");
    sink->Release(); // the element holds it now
}

} // namespace

void AttachSubmitSinks(IWebBrowser2* browser, HWND owner) {
    Ref<IHTMLElementCollection> all;
    long count = 0;
    if (!All(browser, all) || FAILED(all.p->get_length(&count))) return;
    for (long i = 0; i < count; ++i) {
        VARIANT index;
        index.vt = VT_I4;
        index.lVal = i;
        VARIANT none;
        none.vt = VT_I4;
        none.lVal = 0;
        Ref<IDispatch> element;
        if (SUCCEEDED(all.p->item(index, none, &element.p)) && element.p) Advise(element.p, owner);
    }
}

void FillLater(IWebBrowser2* browser, const std::wstring& text) {
    Ref<IHTMLElementCollection> all;
    if (!All(browser, all)) return;
    VARIANT name;
    name.vt = VT_BSTR;
    name.bstrVal = SysAllocString(L"user");
    VARIANT none;
    none.vt = VT_I4;
    none.lVal = 0;
    Ref<IDispatch> element;
    Ref<IHTMLInputElement> input;
    const bool found = SUCCEEDED(all.p->item(name, none, &element.p)) && element.p &&
                       SUCCEEDED(element.p->QueryInterface(IID_IHTMLInputElement, input.put()));
    VariantClear(&name);
    if (!found) return;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kFillDelayMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The program is ending: its own loop must see the quit.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    BSTR value = SysAllocString(text.c_str());
    if (SUCCEEDED(input.p->put_value(value))) Append(L"Filled", text);
    SysFreeString(value);
}

} // namespace testband
