// A toolbar band for the browser program's tests (a fixture, not a product):
// it does what a band does with its site and the browser, and writes what
// it saw under HKCU "Software\TorvaBrowserTests\Band" for the test to read.
// Like the add-in's band it builds its window over the site window's client
// area when sited, with a control inside sized from it, and its
// UIActivateIO leaves the focus alone; like most bands it tells the site
// when its control gains and loses the focus and lets everything but Tab
// through its TranslateAcceleratorIO. Asked to by the test (BandRecord.h),
// it builds the add-in's toolbar instead of the edit box (BandToolbar.h)
// and works each completed page as the add-in does (PageHooks.h).
#include <windows.h>

#include <commctrl.h>

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <shlguid.h>
#include <shlobj.h>

#include <string>

#include "BandRecord.h"
#include "BandToolbar.h"
#include "PageHooks.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE testband::Module() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

namespace {

using testband::Append;
using testband::Record;

// {E3B7C1A0-5F2D-4C8E-9A41-7D2B6C0F1A11}
const CLSID kTestBandClsid = {
    0xe3b7c1a0, 0x5f2d, 0x4c8e, {0x9a, 0x41, 0x7d, 0x2b, 0x6c, 0x0f, 0x1a, 0x11}};
long g_objects = 0;
constexpr UINT_PTR kSubclassId = 1;
const wchar_t kWindowClass[] = L"TorvaTestBandWindow";

std::wstring Size(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return std::to_wstring(r.right) + L"x" + std::to_wstring(r.bottom);
}

class TestBand : public IDeskBand, public IObjectWithSite, public IInputObject, public IDispatch {
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
        else if (iid == IID_IInputObject)
            *out = static_cast<IInputObject*>(this);
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
        if (show) {
            // The row the band is shown in.
            Record(L"ShownSize", Size(m_window));
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CloseDW(DWORD) override {
        Record(L"CloseDW", L"1");
        if (m_window) {
            Record(L"BandSize", Size(m_window));
            Record(L"ControlSize", Size(m_edit));
            wchar_t text[64] = {};
            GetWindowTextW(m_edit, text, 64);
            Record(L"ControlText", text);
        }
        if (m_window) DestroyWindow(m_window);
        m_window = nullptr;
        m_edit = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ResizeBorderDW(LPCRECT, IUnknown*, BOOL) override {
        Record(L"ResizeBorderDW", L"1");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBandInfo(DWORD id, DWORD, DESKBANDINFO* dbi) override {
        Record(L"GetBandInfo", std::to_wstring(id));
        // A variable height of 22 and then steps of 4 up to its actual
        // 31: its row is 30 high.
        if (dbi->dwMask & DBIM_MINSIZE) dbi->ptMinSize = {200, 22};
        if (dbi->dwMask & DBIM_MAXSIZE) dbi->ptMaxSize = {-1, 40};
        if (dbi->dwMask & DBIM_INTEGRAL) dbi->ptIntegral = {1, 4};
        if (dbi->dwMask & DBIM_ACTUAL) dbi->ptActual = {400, 31};
        if (dbi->dwMask & DBIM_TITLE) lstrcpyW(dbi->wszTitle, L"Test band");
        if (dbi->dwMask & DBIM_MODEFLAGS) dbi->dwModeFlags = DBIMF_VARIABLEHEIGHT;
        return S_OK;
    }
    // IInputObject
    HRESULT STDMETHODCALLTYPE UIActivateIO(BOOL activate, MSG* msg) override {
        Append(L"UIActivateIO",
               std::to_wstring(activate ? 1 : 0) + L":" + std::to_wstring(msg ? msg->message : 0));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HasFocusIO() override {
        ++m_focusQuestions;
        Record(L"HasFocusIO", std::to_wstring(m_focusQuestions));
        return m_edit && GetFocus() == m_edit ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE TranslateAcceleratorIO(MSG* msg) override {
        const wchar_t kind = msg->message == WM_KEYDOWN ? L'd'
                             : msg->message == WM_KEYUP ? L'u'
                             : msg->message == WM_CHAR  ? L'c'
                                                        : L'm';
        Append(L"Keys", kind + std::to_wstring(msg->wParam));
        if (msg->wParam == VK_TAB) return S_FALSE; // the browser moves the focus on
        TranslateMessage(msg);
        DispatchMessageW(msg);
        return S_OK;
    }
    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override {
        if (!site) {
            Record(L"Unsited", L"1");
            if (m_browser) m_browser->Release();
            m_browser = nullptr;
            if (m_ios) m_ios->Release();
            m_ios = nullptr;
            return S_OK;
        }
        IOleWindow* ow = nullptr;
        HWND parent = nullptr;
        if (SUCCEEDED(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&ow)))) {
            ow->GetWindow(&parent);
            ow->Release();
        }
        RECT area{};
        GetClientRect(parent, &area);
        RECT frame{};
        GetClientRect(GetAncestor(parent, GA_ROOT), &frame);
        Record(L"ParentSize", Size(parent));
        Record(L"FrameWidth", std::to_wstring(frame.right));
        WNDCLASSW wc{};
        wc.lpfnWndProc = testband::BandWindowProc;
        wc.hInstance = testband::Module();
        wc.lpszClassName = kWindowClass;
        RegisterClassW(&wc); // fails harmlessly once registered
        m_window =
            CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                            area.right, area.bottom, parent, nullptr, testband::Module(), nullptr);
        // Either the add-in's toolbar or a plain edit box across the band.
        if (testband::Setup(L"Toolbar") == L"1") {
            if (testband::CreateBandToolbar(m_window)) Record(L"Toolbar", L"built");
        } else {
            m_edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0,
                                     area.right, area.bottom, m_window, nullptr, nullptr, nullptr);
            SetWindowSubclass(m_edit, ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
        }
        Record(L"Sited", parent ? L"1" : L"no window");
        if (SUCCEEDED(site->QueryInterface(IID_IInputObjectSite, reinterpret_cast<void**>(&m_ios))))
            Record(L"InputObjectSite", L"1");
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
            if (testband::Setup(L"ConfirmSubmit") == L"1")
                testband::AttachSubmitSinks(m_browser, m_window);
            const std::wstring fill = testband::Setup(L"FillUser");
            if (!fill.empty()) testband::FillLater(m_browser, fill); // last: it pumps
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
    // Tells the site when the band's control gains or loses the focus.
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR data) {
        auto* self = reinterpret_cast<TestBand*>(data);
        if ((msg == WM_SETFOCUS || msg == WM_KILLFOCUS) && self->m_ios) {
            Append(L"FocusChange", msg == WM_SETFOCUS ? L"1" : L"0");
            self->m_ios->OnFocusChangeIS(static_cast<IDeskBand*>(self), msg == WM_SETFOCUS);
        }
        if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ControlProc, id);
        return DefSubclassProc(hwnd, msg, wp, lp);
    }

    ULONG m_refs = 1;
    HWND m_window = nullptr;
    HWND m_edit = nullptr;
    IInputObjectSite* m_ios = nullptr;
    int m_focusQuestions = 0;
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
