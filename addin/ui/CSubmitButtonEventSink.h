// The click sink on one submit or image input of a page. The band creates
// one per such input, keeps a counted reference to it in its sink list while
// the page is shown, and calls Detach when it lets the page go; a sink no
// longer in the band's list ignores clicks.
//
// A handled click compares the submitted form with the entries stored for
// the page's URL and, unless an identical entry is stored, leads the user
// through the confirmation ("登録確認"), the entry selection and the
// registration dialog, all modal on the click's own call; the click itself
// is never cancelled.
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

    // IUnknown, IDispatch, DIID_HTMLButtonElementEvents and the event
    // interface the sink was advised on.
    HRESULT InternalQueryInterface(REFIID iid, void** object) noexcept;

    // Set-up calls of the band; each answers S_OK.
    HRESULT SetIWB2(IWebBrowser2* browser) noexcept; // not counted
    // Takes over the caller's reference; the one held so far is released.
    HRESULT SetHtmlDoc(IHTMLDocument2* document) noexcept;
    HRESULT GetAdd(const SubmitSinkList* list) noexcept; // not owned
    // Keeps the element (counted) and advises this sink on the element's
    // default source interface, as its IProvideClassInfo2 names it, or on
    // DIID_HTMLButtonElementEvents when the element names none; the advise
    // result. Advising twice is refused (E_UNEXPECTED).
    [[nodiscard]] HRESULT AdviseToElemenet(IUnknown* element) noexcept;
    // Lets the page go: unadvises, releases the element and the document and
    // forgets the band's list, so later clicks reach nothing.
    void Detach() noexcept;

    bool Advised() const noexcept { return m_cookie != 0; }
    IHTMLDocument2* Document() const noexcept { return pDoc; }
    // The event interface advised on, with its type library and version.
    const IID& EventIid() const noexcept { return m_iid; }
    const GUID& EventLibid() const noexcept { return m_libid; }
    WORD EventMajor() const noexcept { return m_wMajor; }
    WORD EventMinor() const noexcept { return m_wMinor; }

    // IDispatch: the type library describes no members.
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** info) override;
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    // Only the click (dispid -600) is handled: S_FALSE for a sink its band
    // no longer lists, S_OK otherwise.
    STDMETHOD(Invoke)
    (DISPID dispidMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pdispparams,
     VARIANT* pvarResult, EXCEPINFO* pexcepinfo, UINT* puArgErr) override;

    // ---- The capture's steps (CSubmitButtonEventSinkForm.cpp); public so
    // that tests can run them on a page directly. Each reads the page
    // document it is given (the forms without one: the document the sink
    // holds) and works with the options last read by Invoke. A form is read
    // through its controls (its element collection), as the capture stores
    // them and the fill-in matches them.

    // The index in the document's forms of the form holding button snum
    // (counted over the forms' submit and image inputs from 0, as the band
    // numbers them), -1 when not found or on a browser failure. *itemNum:
    // that form's position among the forms the capture stores an item for
    // (forms with a text, password, radio, check box, submit or select
    // control, or a text area unless NOMULTITEXT is on).
    int GetSubmitNum(int snum, int* itemNum);
    int GetSubmitNum(IHTMLDocument2* document, int snum, int* itemNum);
    // TRUE when form formnum holds a password input; also when the forms
    // cannot be had at all.
    BOOL CheckPassword(int formnum);
    BOOL CheckPassword(IHTMLDocument2* document, int formnum);
    // The live form formnum against the stored page webform: > 0 the number
    // of identical stored entries, 0 none, -1 an unnamed entry or a browser
    // failure, -2 the form's structure differs from the stored one. -2 also
    // when the page's forms changed: no stored entry names form formnum
    // while the capture would store it (a form the page gained, or one
    // moved by a form gained before it), or a stored entry's index names a
    // form of another name; also a stored choice control without choices,
    // or a page without entries. nitem, the form's item number, does not
    // decide. An entry without controls is never identical.
    int CheakFormData(CDataWebForm* webform, int formnum, int nitem);
    int CheakFormData(IHTMLDocument2* document, CDataWebForm* webform, int formnum, int nitem);
    // The capture of one click; its result is not used.
    int AutoEntry(int snum);
    // The options the steps work with, read afresh by every click.
    CDataOption& Options() noexcept { return m_ExpData.m_option; }

    std::int32_t snum = -1;      // the button's ordinal among its document's buttons
    std::int32_t m_nHoldDoc = 0; // 1 while the sink holds its page document

private:
    [[nodiscard]] bool Listed() const noexcept;
    // Before a registration dialog: the sink is still its band's and the
    // document still shows the URL of the click.
    [[nodiscard]] bool StillOnPage(IHTMLDocument2* document) const;
    // The stored page's branch of AutoEntry.
    void StoredPageEntry(IHTMLDocument2* document, CDataWebForm* page, int snum);
    // Runs the registration dialog modally over the active window, with the
    // clicked input as its form's sending button.
    void RunRegistDlg(IHTMLDocument2* document, int nSelForm, int nState);
    // "登録確認" over the active window: true for "はい".
    static bool ConfirmEntry();
    // The browser's top-level window (the owner of the warning).
    HWND TopWindow() const;

    // Event-sink bookkeeping: the element's default source interface.
    GUID m_libid = GUID_NULL;
    IID m_iid = DIID_HTMLButtonElementEvents;
    WORD m_wMajor = 0;
    WORD m_wMinor = 0;
    DWORD m_cookie = 0;

    CComPtr<IUnknown> pUnkIE;
    const SubmitSinkList* cBAdd = nullptr;
    IWebBrowser2* IwebB = nullptr;
    IHTMLDocument2* pDoc = nullptr;
    CExpData m_ExpData{false};
    std::wstring m_strUrl;
};
