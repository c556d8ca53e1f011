// Puts a stored entry's values into the live form elements a FormMatcher
// found for its controls.
#pragma once

#include "CDataWebItem.h"
#include "FormMatcher.h"

#include <windows.h>
#include <mshtml.h>

class FormFiller {
public:
    // form: the form whose controls the match was made on; not owned.
    explicit FormFiller(IHTMLFormElement* form) noexcept : m_elements(form) {}

    struct Options {
        bool fillMultiText = true; // false: text areas are left as they are
        bool autoSend = false;     // choose the entry's submitting button
    };

    // Fills every matched control of entry with its stored value (passwords
    // must already be in clear). button: the position of the button to click
    // to submit (the last stored button marked as the submitting one), -1
    // for none. S_OK, or the HRESULT of the first failed element call.
    [[nodiscard]] HRESULT Fill(const CDataWebItem& entry, const FormMatch& match,
                               const Options& options, long& button);
    // Clicks the element at position p as the user would.
    [[nodiscard]] HRESULT Click(long p);

private:
    [[nodiscard]] HRESULT FillText(long p, const std::wstring& value);
    [[nodiscard]] HRESULT FillChoice(long p, bool ticked);
    [[nodiscard]] HRESULT FillSelect(long p, const CDataWebSelCtrl& stored);
    [[nodiscard]] HRESULT FillTextArea(long p, const std::wstring& text);

    IHTMLFormElement* m_elements;
};
