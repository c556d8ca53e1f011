// A toolbar band for the browser program's tests (a fixture, not a product):
// it does what a band does with its site and the browser, and writes what
// it saw under HKCU "Software\TorvaBrowserTests\Band" for the test to read.
#include <windows.h>

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <shlguid.h>
#include <shlobj.h>

#include <string>

namespace {

// {E3B7C1A0-5F2D-4C8E-9A41-7D2B6C0F1A11}
const CLSID kTestBandClsid = {
    0xe3b7c1a0, 0x5f2d, 0x4c8e, {0x9a, 0x41, 0x7d, 0x2b, 0x6c, 0x0f, 0x1a, 0x11}};
const wchar_t kResultKey[] = L"Software\\TorvaBrowserTests\\Band";
long g_objects = 0;

void Record(const wchar_t* name, const std::wstring& value) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kResultKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                        nullptr))
        return;
    RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * 2));
    RegCloseKey(k);
}

class TestBand : public IDeskBand, public IObjectWithSite, public IDispatch {
public:
    TestBand() { ++g_objects; }
    ~TestBand() { --g_objects; }
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IDockingWindow ||
            iid == IID_IDeskBand)
            *out = static_cast<IDeskBand*>(this);
        else if (iid == IID_IObjectWithSite)
            *out = static_cast<IObjectWithSite*>(this);
        else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2)
            *out = static_cast<IDispatch*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --m_refs;
        if (!n) delete this;
        return n;
    }
    // IOleWindow / IDockingWindow / IDeskBand
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* h) override {
        *h = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowDW(BOOL show) override {
        Record(show ? L"ShowDW" : L"HideDW", L"1");
        ShowWindow(m_window, show ? SW_SHOW : SW_HIDE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CloseDW(DWORD) override {
        Record(L"CloseDW", L"1");
        if (m_window) DestroyWindow(m_window);
        m_window = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ResizeBorderDW(LPCRECT, IUnknown*, BOOL) override {
        Record(L"ResizeBorderDW", L"1");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBandInfo(DWORD id, DWORD, DESKBANDINFO* dbi) override {
        Record(L"GetBandInfo", std::to_wstring(id));
        if (dbi->dwMask & DBIM_MINSIZE) dbi->ptMinSize = {200, 28};
        if (dbi->dwMask & DBIM_ACTUAL) dbi->ptActual = {400, 28};
        if (dbi->dwMask & DBIM_TITLE) lstrcpyW(dbi->wszTitle, L"Test band");
        return S_OK;
    }
    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override {
        if (!site) {
            Record(L"Unsited", L"1");
            if (m_browser) m_browser->Release();
            m_browser = nullptr;
            return S_OK;
        }
        IOleWindow* ow = nullptr;
        HWND parent = nullptr;
        if (SUCCEEDED(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&ow)))) {
            ow->GetWindow(&parent);
            ow->Release();
        }
        m_window = CreateWindowExW(0, L"STATIC", L"[test band]", WS_CHILD | WS_VISIBLE, 0, 0, 200,
                                   28, parent, nullptr, nullptr, nullptr);
        Record(L"Sited", parent ? L"1" : L"no window");
        IInputObjectSite* ios = nullptr;
        if (SUCCEEDED(site->QueryInterface(IID_IInputObjectSite, reinterpret_cast<void**>(&ios)))) {
            Record(L"InputObjectSite", L"1");
            ios->Release();
        }
        IOleCommandTarget* ct = nullptr;
        IServiceProvider* sp = nullptr;
        if (SUCCEEDED(site->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&ct))) &&
            SUCCEEDED(ct->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&sp))) &&
            SUCCEEDED(sp->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2,
                                       reinterpret_cast<void**>(&m_browser)))) {
            Record(L"GotBrowser", L"1");
            IConnectionPointContainer* cpc = nullptr;
            if (SUCCEEDED(m_browser->QueryInterface(IID_IConnectionPointContainer,
                                                    reinterpret_cast<void**>(&cpc)))) {
                if (SUCCEEDED(cpc->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_cp)))
                    m_cp->Advise(static_cast<IDispatch*>(this), &m_cookie);
                cpc->Release();
            }
        }
        if (sp) sp->Release();
        if (ct) ct->Release();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSite(REFIID, void** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    // IDispatch: DWebBrowserEvents2
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id == DISPID_DOCUMENTCOMPLETE && p->cArgs == 2 &&
            p->rgvarg[0].vt == (VT_VARIANT | VT_BYREF)) {
            ++m_completes;
            Record(L"DocumentCompleteCount", std::to_wstring(m_completes));
            Record(L"DocumentComplete", p->rgvarg[0].pvarVal->bstrVal);
        } else if (id == DISPID_ONQUIT) {
            Record(L"OnQuit", L"1");
            if (m_cp) {
                m_cp->Unadvise(m_cookie);
                m_cp->Release();
                m_cp = nullptr;
            }
        }
        return S_OK;
    }

private:
    ULONG m_refs = 1;
    HWND m_window = nullptr;
    IWebBrowser2* m_browser = nullptr;
    IConnectionPoint* m_cp = nullptr;
    DWORD m_cookie = 0;
    int m_completes = 0;
};

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        TestBand* band = new TestBand();
        const HRESULT hr = band->QueryInterface(iid, out);
        band->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

} // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (clsid != kTestBandClsid) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return g_objects == 0 ? S_OK : S_FALSE;
}
