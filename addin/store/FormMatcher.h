// Finds where the controls of a stored entry are among the elements of the
// live form, and whether the form still has the stored structure.
//
// The form's controls (its element collection, see FormControls) are walked
// in document order against the stored controls in
// list order: each fillable element must be the next stored control (same
// tag, type, name and the kind's size or value checks); elements that are
// not fillable controls (hidden inputs, buttons, fieldsets, options ...) are
// passed over. The first fillable element that differs ends the walk with a
// mismatch; what matched before it stays recorded.
#pragma once

#include "CDataWebItem.h"

#include <windows.h>
#include <mshtml.h>

#include <string>
#include <vector>

struct FormMatch {
    // Stored controls matched in full (a radio group or check box once all
    // its options matched); can pass the control count when an element
    // matches the last control again.
    int matched = 0;
    bool mismatch = false;
    // Per stored control, the element positions that matched it: one for
    // most kinds, one per option (in option order) for RADIO and CHECK.
    std::vector<std::vector<long>> positions;
};

class FormMatcher {
public:
    // form: the form whose controls (its element collection, as the
    // capture reads it) are walked, count of them. Not owned; must outlive
    // the matcher. textAreasLeftOut: the store's option NOMULTITEXT is on,
    // so captures leave text areas out; a text area is then matched only
    // where the entry stores one.
    FormMatcher(IHTMLFormElement* form, long count, bool textAreasLeftOut = false) noexcept
        : m_elements(form), m_count(count), m_textAreasLeftOut(textAreasLeftOut) {}

    // Walks the elements against entry's controls. S_OK with result filled,
    // or the HRESULT of a failed element call. An entry without controls
    // matches nothing.
    [[nodiscard]] HRESULT Match(const CDataWebItem& entry, FormMatch& result);

    // The element at position p of a collection (the forms of a document)
    // or of a form's controls; a failure or no element at p gives a failed
    // HRESULT.
    [[nodiscard]] static HRESULT ElementAt(IHTMLElementCollection* elements, long p,
                                           IHTMLElement** element);
    [[nodiscard]] static HRESULT ElementAt(IHTMLFormElement* form, long p, IHTMLElement** element);

private:
    [[nodiscard]] HRESULT MatchSelect(long p, IHTMLElement* element, const std::wstring& tag,
                                      const CDataWebCtrl& ctrl);
    [[nodiscard]] HRESULT MatchTextArea(long p, IHTMLElement* element, const std::wstring& tag,
                                        const CDataWebCtrl& ctrl);
    [[nodiscard]] HRESULT MatchInput(long p, IHTMLElement* element, const std::wstring& tag,
                                     const CDataWebCtrl& ctrl);
    [[nodiscard]] HRESULT MatchChoice(long p, IHTMLInputElement* input, const CDataWebCtrl& ctrl);
    // Records p for the current control and counts the control as matched.
    void Take(long p);
    // Passes over stored controls of no fillable kind: they have no element.
    void SkipUnfillable(const CDataWebItem& entry);

    IHTMLFormElement* m_elements;
    long m_count;
    bool m_textAreasLeftOut;
    FormMatch* m_result = nullptr;
    size_t m_current = 0;  // index of the expected control
    long m_remaining = -1; // options of the current RADIO / CHECK still to match
};
