// The click sink on one submit or image input of a page
// (DIID_HTMLButtonElementEvents). The band creates one per such input, keeps
// a counted reference to it in its sink list while the page is shown, and
// calls Detach when it lets the page go; a sink no longer in the band's list
// ignores clicks.
//
// Created in-process only, never through the class factory. Its store is
// not counted: it neither starts the relay's life nor ends it.
// Browser UI thread only (reference counting is not interlocked).
#pragma once

#include "CExpData.h"

#include "CComObject.h"
#include "CComObjectRootEx.h"
#include "CComPtr.h"

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#include <cstdint>
#include <string>
#include <vector>

class CSubmitButtonEventSink;
using SubmitSinkList = std::vector<CComPtr<CSubmitButtonEventSink>>;

class CSubmitButtonEventSink : public CComObjectRootEx<CComSingleThreadModel>, public IDispatch {
public:
    CSubmitButtonEventSink();
    ~CSubmitButtonEventSink();

    // A new sink with one reference (null when it cannot be made).
    [[nodiscard]] static CComPtr<CSubmitButtonEventSink> Create();

    BEGIN_COM_MAP(CSubmitButtonEventSink)
    COM_INTERFACE_ENTRY(IDispatch)
    COM_INTERFACE_ENTRY_IID(DIID_HTMLButtonElementEvents, IDispatch)
    END_COM_MAP()

    // Set-up calls of the band; each answers S_OK.
    HRESULT SetIWB2(IWebBrowser2* browser) noexcept; // not counted
    // Takes over the caller's reference; the one held so far is released.
    HRESULT SetHtmlDoc(IHTMLDocument2* document) noexcept;
    HRESULT GetAdd(const SubmitSinkList* list) noexcept; // not owned
    // Keeps the element (counted) and advises this sink on its
    // DIID_HTMLButtonElementEvents connection point; the advise result.
    // Advising twice is refused (E_UNEXPECTED).
    [[nodiscard]] HRESULT AdviseToElemenet(IUnknown* element) noexcept;
    // Lets the page go: unadvises, releases the element and the document and
    // forgets the band's list, so later clicks reach nothing.
    void Detach() noexcept;

    bool Advised() const noexcept { return m_cookie != 0; }
    IHTMLDocument2* Document() const noexcept { return pDoc; }

    // IDispatch: the type library describes no members.
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override;
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHOD(Invoke)(DISPID dispidMember, REFIID riid, LCID lcid, WORD wFlags,
                      DISPPARAMS* pdispparams, VARIANT* pvarResult, EXCEPINFO* pexcepinfo,
                      UINT* puArgErr) override;

    std::int32_t snum = -1;     // the button's ordinal among its document's buttons
    std::int32_t m_nHoldDoc = 0; // 1 while the sink holds its page document

private:
    [[nodiscard]] bool Listed() const noexcept;

    DWORD m_cookie = 0;
    CComPtr<IUnknown> pUnkIE;
    const SubmitSinkList* cBAdd = nullptr;
    IWebBrowser2* IwebB = nullptr;
    IHTMLDocument2* pDoc = nullptr;
    CExpData m_ExpData{false};
    std::wstring m_strUrl;
};
