// One run of CExpData::AutoInput: chooses the stored entry for the page,
// checks that its form is still the stored one (asking for a re-registration
// when not), authenticates the user and fills the form in.
//
// UI thread of the browser only. The re-registration question and the
// registration dialog run modally on that thread, owned by the active
// window; the authentication waits without a time limit while the browser's
// window is disabled.
#pragma once

#include "CComPtr.h"
#include "CExpData.h"
#include "FormMatcher.h"

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#include <string>

class FormFillIn {
public:
    explicit FormFillIn(CExpData& store) noexcept : m_store(store) {}
    FormFillIn(const FormFillIn&) = delete;
    FormFillIn& operator=(const FormFillIn&) = delete;

    // CExpData::AutoInput's contract: 1 filled (and sent when the entry
    // says so), 0 nothing to fill, -1 failure or refusal; an entry to be
    // sent whose sending button is not on the page is filled in, not sent,
    // and gives -1.
    [[nodiscard]] int Run(IWebBrowser2* browser, const std::wstring& url,
                          const std::wstring& entryName);

    // The entry named name, or the first named automatic entry when name is
    // empty; null when there is none.
    static CDataWebItem* ChooseEntry(const CDataWebForm& page, const std::wstring& name);

private:
    // The name of form index of forms (empty when it has none) and its
    // controls (its element collection, in document order).
    [[nodiscard]] static HRESULT FormElements(IHTMLElementCollection* forms, long index,
                                              std::wstring& name,
                                              CComPtr<IHTMLFormElement>& elements, long& count);
    [[nodiscard]] int FormGone(IWebBrowser2* browser, IHTMLDocument2* document, CDataWebForm& page,
                               const std::wstring& url, const std::wstring& entryName);
    [[nodiscard]] int FormChanged(IWebBrowser2* browser, IHTMLDocument2* document,
                                  CDataWebForm& page, const CDataWebItem& entry,
                                  const std::wstring& url, const std::wstring& entryName);
    [[nodiscard]] int Fill(IWebBrowser2* browser, IHTMLFormElement* elements, CDataWebForm& page,
                           const CDataWebItem& entry, const FormMatch& match);
    // The re-registration question. Whatever the answer, the page's
    // do-not-ask flag is stored; true when the user said yes.
    [[nodiscard]] bool AskReRegister(CDataWebForm& page);

    CExpData& m_store;
};
