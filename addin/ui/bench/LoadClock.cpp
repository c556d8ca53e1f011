#include "LoadClock.h"

#include <exdispid.h>

LoadClock* LoadClock::Create(IWebBrowser2* top) {
    return new LoadClock(top);
}

LoadClock::LoadClock(IWebBrowser2* top) : m_top(top) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    m_frequency = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}

LONGLONG LoadClock::Now() noexcept {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double LoadClock::Ms(LONGLONG ticks) const noexcept {
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(m_frequency);
}

void LoadClock::Arm() noexcept {
    m_completeAt = 0;
    m_lastChangeAt = 0;
    m_changes = 0;
}

double LoadClock::MsToLastChange() const noexcept {
    return m_changes ? Ms(m_lastChangeAt - m_completeAt) : 0.0;
}

double LoadClock::MsSinceComplete() const noexcept {
    return m_completeAt ? Ms(Now() - m_completeAt) : 0.0;
}

STDMETHODIMP LoadClock::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2)
        *out = static_cast<IDispatch*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) LoadClock::Release() {
    const ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

STDMETHODIMP LoadClock::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

STDMETHODIMP LoadClock::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
    if (id != DISPID_DOCUMENTCOMPLETE || !params || params->cArgs != 2) return S_OK;
    // Arguments come last first: rgvarg[1] is the browser the event is for.
    const VARIANT& who = params->rgvarg[1];
    IDispatch* browser = who.vt == VT_DISPATCH ? who.pdispVal : nullptr;
    IDispatch* top = nullptr;
    if (browser &&
        SUCCEEDED(m_top->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&top)))) {
        if (browser == top || browser == static_cast<IDispatch*>(m_top)) {
            m_completeAt = Now();
            m_changes = 0;
        }
        top->Release();
    }
    return S_OK;
}

void LoadClock::ControlChanged(torva::browser::HtmlDocument&, torva::browser::HtmlNode&) {
    if (!m_completeAt) return; // the page's own parse, before the event
    m_lastChangeAt = Now();
    ++m_changes;
}
