#pragma once
#include <ocidl.h>
#include <oleidl.h>
#include "CComCoClass.h"
#include "CComObjectRootEx.h"

extern const CLSID CLSID_TestWidget;
extern const CLSID CLSID_TestRefuser;

// Counts the test objects alive, so tests can see destruction happen.
extern int g_liveTestObjects;

// An apartment object with two interfaces, one of them reached through a
// derived interface (IPersist through IPersistStreamInit's base chain).
class CTestWidget : public CComObjectRootEx<CComSingleThreadModel>,
                    public CComCoClass<CTestWidget, &CLSID_TestWidget>,
                    public IOleWindow,
                    public IPersistStreamInit {
public:
    CTestWidget() noexcept { ++g_liveTestObjects; }
    ~CTestWidget() { --g_liveTestObjects; }

    BEGIN_COM_MAP(CTestWidget)
    COM_INTERFACE_ENTRY(IOleWindow)
    COM_INTERFACE_ENTRY(IPersistStreamInit)
    COM_INTERFACE_ENTRY2(IPersist, IPersistStreamInit)
    END_COM_MAP()

    HRESULT FinalConstruct() noexcept {
        m_constructed = true;
        return S_OK;
    }

    bool m_constructed = false;

    // IOleWindow
    STDMETHOD(GetWindow)(HWND* window) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    // IPersist
    STDMETHOD(GetClassID)(CLSID* clsid) override;
    // IPersistStreamInit
    STDMETHOD(IsDirty)() override { return S_FALSE; }
    STDMETHOD(Load)(IStream*) override { return E_NOTIMPL; }
    STDMETHOD(Save)(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHOD(InitNew)() override { return S_OK; }
};

// An object whose construction hook fails: creation must not leak it.
class CTestRefuser : public CComObjectRootEx<CComMultiThreadModel>,
                     public CComCoClass<CTestRefuser, &CLSID_TestRefuser>,
                     public IOleWindow {
public:
    CTestRefuser() noexcept { ++g_liveTestObjects; }
    ~CTestRefuser() { --g_liveTestObjects; }

    BEGIN_COM_MAP(CTestRefuser)
    COM_INTERFACE_ENTRY(IOleWindow)
    END_COM_MAP()

    HRESULT FinalConstruct() noexcept { return E_ACCESSDENIED; }

    // IOleWindow
    STDMETHOD(GetWindow)(HWND*) override { return E_NOTIMPL; }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
};
