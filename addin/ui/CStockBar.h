// The band object the browser creates for the toolbar (CLSID_StockBar). It
// hosts the reflection window and the toolbar in the band site, listens to
// the browser's events, and on every completed page refreshes the toolbar's
// list of stored entries, attaches a click sink to every submit and image
// input and, unless switched off, fills the page in. While the store has
// the browser window disabled for a relay call it cancels every navigation
// that no captured submit click started.
//
// Lifetime: SetSite(site) builds the windows and subscribes to the
// browser's events; SetSite(NULL), OnQuit and the destruction each
// unadvise and release the browser, so the browser's sink list never keeps
// the band alive. The band holds counted references to its sinks and lets
// them go when the page changes and when it goes. The browser may let the
// band go while one of its own events or a toolbar command runs a loop that
// dispatches messages: the event holds the band until it is over, and a
// command holds it through the reflection window (CReflectionWnd::OwnerHold).
//
// Browser UI thread only (apartment model; reference counts not interlocked).
#pragma once

#include "CExpData.h"
#include "CReflectionWnd.h"
#include "CSubmitButtonEventSink.h"
#include "StockBarIds.h"
#include "resource.h"

#include "CComCoClass.h"
#include "CComObjectRootEx.h"
#include "CComPtr.h"
#include "IDispatchImpl.h"

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <shlobj.h>

#include <cstdint>

class CStockBar : public CComObjectRootEx<CComSingleThreadModel>,
                  public CComCoClass<CStockBar, &CLSID_StockBar>,
                  public IDeskBand,
                  public IObjectWithSite,
                  public IInputObject,
                  public IDispatchImpl<IStockBar, &IID_IStockBar, &LIBID_MablixLib> {
public:
    CStockBar();
    ~CStockBar();

    DECLARE_REGISTRY_RESOURCEID(IDR_STOCKBAR)

    BEGIN_COM_MAP(CStockBar)
    COM_INTERFACE_ENTRY(IDeskBand)
    COM_INTERFACE_ENTRY2(IOleWindow, IDeskBand)
    COM_INTERFACE_ENTRY2(IDockingWindow, IDeskBand)
    COM_INTERFACE_ENTRY(IObjectWithSite)
    COM_INTERFACE_ENTRY(IInputObject)
    COM_INTERFACE_ENTRY(IStockBar)
    COM_INTERFACE_ENTRY2(IDispatch, IStockBar)
    COM_INTERFACE_ENTRY_IID(DIID_DWebBrowserEvents2, IStockBar)
    END_COM_MAP()

    void FinalRelease() noexcept;

    // IOleWindow
    STDMETHOD(GetWindow)(HWND* phwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL fEnterMode) override;
    // IDockingWindow
    STDMETHOD(ShowDW)(BOOL fShow) override;
    STDMETHOD(CloseDW)(DWORD dwReserved) override;
    STDMETHOD(ResizeBorderDW)
    (LPCRECT prcBorder, IUnknown* punkToolbarSite, BOOL fReserved) override;
    // IDeskBand
    STDMETHOD(GetBandInfo)(DWORD dwBandID, DWORD dwViewMode, DESKBANDINFO* pdbi) override;
    // IObjectWithSite
    STDMETHOD(SetSite)(IUnknown* pUnkSite) override;
    STDMETHOD(GetSite)(REFIID riid, void** ppvSite) override;
    // IInputObject
    STDMETHOD(UIActivateIO)(BOOL fActivate, MSG* pMsg) override;
    STDMETHOD(HasFocusIO)() override;
    STDMETHOD(TranslateAcceleratorIO)(MSG* pMsg) override;
    // IDispatch: the browser's events (DWebBrowserEvents2).
    STDMETHOD(Invoke)
    (DISPID dispidMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
     VARIANT* pvarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    [[nodiscard]] BOOL RegisterAndCreateWindow();
    [[nodiscard]] static BOOL IsComplete(IHTMLDocument2* document);
    [[nodiscard]] static BOOL IsNewWindow(IHTMLDocument2* document);
    // Lets the previous page's sinks go and attaches new ones to the
    // browser's page: 0, or 1 when there is no page.
    int SetButtonEvent();
    void SetButtonEvent(IHTMLDocument2* document);
    // Deletes the registration dialogs' leftover "setform<window>.html"
    // copies; a copy whose window is a live dialog answering WM_USER+401
    // with 1 is spared.
    static void DeleteTempHtmlFile();

    // The sinks of the page shown.
    const SubmitSinkList& Sinks() const noexcept { return m_sinks; }

protected:
    // What DocumentComplete does once the whole page reports complete.
    void OnDocumentComplete();
    void BeforeNavigate2(DISPPARAMS* params);
    // Unadvises the browser's events and releases the browser.
    void DisconnectBrowser() noexcept;
    // Detaches and releases every sink of the page shown.
    void ReleaseSinks() noexcept;
    void SetButtonEvent(IHTMLDocument2* document, int depth);

    DWORD m_dwBandID = 0;
    DWORD m_dwViewMode = 0;
    BOOL m_bShow = FALSE;
    BOOL m_bEnterHelpMode = FALSE;
    HWND m_hWndParent = nullptr;
    CReflectionWnd m_ReflectWnd;
    CExpData m_ExpData;
    CComPtr<IInputObjectSite> m_pSite;
    CComPtr<IWebBrowser2> m_pFrameWB;
    DWORD m_dwCookie = 0;
    SubmitSinkList m_sinks;
    // A DocumentComplete that arrives while an earlier one runs (its relay
    // waits and dialogs dispatch messages) is run once after it.
    bool m_bInDocumentComplete = false;
    bool m_bDocumentCompletePending = false;
};

// Creates a band object for the module's object map or a caller of its own.
[[nodiscard]] HRESULT CreateStockBar(REFIID iid, void** object) noexcept;
