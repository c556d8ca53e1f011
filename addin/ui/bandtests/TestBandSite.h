// The band site of the tests: what the browser hands a toolbar band in
// SetSite. IOleWindow gives the strip window, IServiceProvider the browser
// (SID_SWebBrowserApp) through IOleCommandTarget, IInputObjectSite records
// the band's focus reports. UI thread only.
#pragma once

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <servprov.h>
#include <shlobj.h>

class TestBandSite final : public IOleWindow,
                           public IInputObjectSite,
                           public IOleCommandTarget,
                           public IServiceProvider {
public:
    // A new site with one reference; browser may be null (no browser service).
    static TestBandSite* Create(HWND strip, IWebBrowser2* browser);

    ULONG Refs() const noexcept { return m_refs; }
    int FocusReports() const noexcept { return m_focusReports; }

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override;
    // IOleWindow
    STDMETHOD(GetWindow)(HWND* hwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    // IInputObjectSite
    STDMETHOD(OnFocusChangeIS)(IUnknown*, BOOL) override;
    // IOleCommandTarget
    STDMETHOD(QueryStatus)(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) override;
    STDMETHOD(Exec)(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) override;
    // IServiceProvider
    STDMETHOD(QueryService)(REFGUID service, REFIID iid, void** out) override;

private:
    TestBandSite(HWND strip, IWebBrowser2* browser);
    ~TestBandSite();

    ULONG m_refs = 1;
    HWND m_strip;
    IWebBrowser2* m_browser;
    int m_focusReports = 0;
};
