// Times one page load as the band sees it: a DWebBrowserEvents2 sink advised
// before the band's (sinks are called in the order they were advised) takes
// the time of the top page's DocumentComplete, and the browser's observer
// takes the time of every change the object model makes to a control. The
// last change after DocumentComplete is the fill's last field. UI thread only.
#pragma once

#include "BrowserObserver.h"

#include <windows.h>
#include <exdisp.h>

class LoadClock final : public IDispatch, public torva::browser::BrowserObserver {
public:
    // A clock with one reference, told about the top browser's events only.
    static LoadClock* Create(IWebBrowser2* top);

    // Forgets the last load's times.
    void Arm() noexcept;
    bool Completed() const noexcept { return m_completeAt != 0; }
    int ChangesAfterComplete() const noexcept { return m_changes; }
    // Milliseconds from DocumentComplete to the last control change after it.
    double MsToLastChange() const noexcept;
    // Milliseconds from DocumentComplete to now.
    double MsSinceComplete() const noexcept;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override;
    // IDispatch
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)
    (DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

    // BrowserObserver
    void DocumentChanged(torva::browser::HtmlDocument*) override {}
    void ControlChanged(torva::browser::HtmlDocument&, torva::browser::HtmlNode&) override;
    HRESULT TranslateKey(const MSG&) override { return S_FALSE; }
    void Quitting() override {}

private:
    explicit LoadClock(IWebBrowser2* top);
    ~LoadClock() = default;
    static LONGLONG Now() noexcept;
    double Ms(LONGLONG ticks) const noexcept;

    ULONG m_refs = 1;
    IWebBrowser2* m_top; // not owned: the browser outlives the clock's advice
    LONGLONG m_frequency = 1;
    LONGLONG m_completeAt = 0;
    LONGLONG m_lastChangeAt = 0;
    int m_changes = 0;
};
