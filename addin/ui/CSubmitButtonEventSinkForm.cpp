// The click sink's view of the live page: which form a button submits, and
// whether that form is the one stored.
#include "CSubmitButtonEventSink.h"

#include "HtmlCom.h"
#include "Trace.h"

namespace {

constexpr long kMaxDataLen = 500; // a longer maxLength counts as none, as the capture stores it

// Kind names as the type rule compares them, by control kind.
const wchar_t* const kKindNames[] = {L"TEXT", L"PASSWORD", L"",       L"RADIO", L"CHECKBOX",
                                     L"",     L"",         L"SUBMIT", L"IMAGE"};

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    return text;
}

bool SameNoCase(const std::wstring& a, const wchar_t* b) {
    return Upper(a) == b;
}

// The element at position i of a collection (a document's forms, a form's
// controls); null on any failure.
template <typename Collection> CComPtr<IHTMLElement> ElementAt(Collection* collection, long i) {
    CComPtr<IHTMLElement> element;
    if (FAILED(ItemAt(collection, i, IID_IHTMLElement, element))) element.Release();
    return element;
}

bool TagOf(IHTMLElement* element, std::wstring& tag) {
    ScopedBstr text;
    if (FAILED(element->get_tagName(text.Out()))) return false;
    tag = text.Text();
    return true;
}

std::wstring InputTypeOf(IHTMLElement* element) {
    auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
    ScopedBstr text;
    if (!input || FAILED(input->get_type(text.Out()))) return {};
    return text.Text();
}

// A form's controls (its element collection, as the capture reads them)
// and their count.
bool ControlsOf(IHTMLElement* form, CComPtr<IHTMLFormElement>& controls, long& count) {
    return SUCCEEDED(FormControls(form, controls, count));
}

// True when a form holding this control gets an item from the capture: a
// text, password, radio, check box or submit input, a SELECT, or a text area
// unless text areas are left out (NOMULTITEXT). An image input alone makes
// none: the capture keeps one only beside other controls of its form.
bool MakesAnItem(IHTMLElement* element, const std::wstring& tag, bool textAreasLeftOut) {
    if (SameNoCase(tag, L"SELECT")) return true;
    if (SameNoCase(tag, L"TEXTAREA")) return !textAreasLeftOut;
    if (!SameNoCase(tag, L"INPUT")) return false;
    const std::wstring type = Upper(InputTypeOf(element));
    return type == L"TEXT" || type == L"PASSWORD" || type == L"RADIO" || type == L"CHECKBOX" ||
           type == L"SUBMIT";
}

// True when the capture stores an item for the form; false also when its
// controls cannot be read.
bool FormMakesAnItem(IHTMLElement* form, bool textAreasLeftOut) {
    CComPtr<IHTMLFormElement> controls;
    long count = 0;
    if (!ControlsOf(form, controls, count)) return false;
    for (long e = 0; e < count; ++e) {
        CComPtr<IHTMLElement> element = ElementAt(controls.p, e);
        std::wstring tag;
        if (element && TagOf(element, tag) && MakesAnItem(element, tag, textAreasLeftOut))
            return true;
    }
    return false;
}

bool FormsOf(IHTMLDocument2* document, CComPtr<IHTMLElementCollection>& forms, long& count) {
    if (!document || FAILED(document->get_forms(&forms)) || !forms) return false;
    return SUCCEEDED(forms->get_length(&count));
}

// One stored entry against the elements of the live form.
class EntryCompare {
public:
    enum class End { Walked, Structure, Unnamed, SelectCount, Failed };

    EntryCompare(const CDataWebItem& entry, IHTMLFormElement* controls, long count,
                 bool textAreasLeftOut)
        : m_entry(entry), m_controls(controls), m_count(count),
          m_textAreasLeftOut(textAreasLeftOut) {}

    End Run() {
        for (long e = 0; e < m_count && !m_structure && !m_differs; ++e) {
            CComPtr<IHTMLElement> element = ElementAt(m_controls, e);
            std::wstring tag;
            if (!element || !TagOf(element, tag)) return End::Failed;
            const size_t count = m_entry.m_ctrls.size();
            const CDataWebCtrl& ctrl =
                *m_entry
                     .m_ctrls[m_matched < static_cast<int>(count) ? static_cast<size_t>(m_matched)
                                                                  : count - 1];
            if (!Element(element, tag, ctrl)) return End::SelectCount;
            if (m_structure) return End::Structure;
            if (m_entry.m_strName.empty()) return End::Unnamed;
        }
        return End::Walked;
    }
    bool Identical() const {
        return !m_differs && m_matched == static_cast<int>(m_entry.m_ctrls.size());
    }

private:
    // False when the walk of this entry ends at once (a SELECT whose option
    // count changed: simply not this entry).
    bool Element(IHTMLElement* element, const std::wstring& tag, const CDataWebCtrl& ctrl) {
        const int kind = ctrl.m_nType;
        const wchar_t* expectedTag = nullptr;
        switch (kind) {
        case D_WEB_CTRL_TEXT:
        case D_WEB_CTRL_PSWD:
        case D_WEB_CTRL_RADIO:
        case D_WEB_CTRL_CHECK:
        case D_WEB_CTRL_SUBMIT:
        case D_WEB_CTRL_IMAGE:
            expectedTag = L"INPUT";
            break;
        case D_WEB_CTRL_SELECT:
            expectedTag = L"SELECT";
            break;
        case D_WEB_CTRL_MULTI:
            expectedTag = L"TEXTAREA";
            break;
        default:
            // A stored kind no capture makes cannot be compared.
            m_structure = true;
            return true;
        }
        // Under NOMULTITEXT the capture never stores a text area, so one on
        // the page is not a change (unless the entry, stored before, has it).
        if (m_textAreasLeftOut && kind != D_WEB_CTRL_MULTI && SameNoCase(tag, L"TEXTAREA"))
            return true;
        int storable = 0;
        element->AddRef(); // CheckTagName takes over one reference
        if (CExpData::CheckTagName(expectedTag, tag, &storable, element)) {
            if (storable) m_structure = true;
            return true;
        }
        switch (kind) {
        case D_WEB_CTRL_SELECT:
            return Select(element, ctrl);
        case D_WEB_CTRL_MULTI:
            TextArea(element, ctrl);
            return true;
        default:
            break;
        }
        storable = 0;
        if (CExpData::CheckTypeName(kKindNames[kind], InputTypeOf(element), &storable)) {
            if (storable) m_structure = true;
            return true;
        }
        auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
        if (!input) {
            m_structure = true;
            return true;
        }
        switch (kind) {
        case D_WEB_CTRL_TEXT:
        case D_WEB_CTRL_PSWD:
            Text(input, ctrl);
            break;
        case D_WEB_CTRL_RADIO:
        case D_WEB_CTRL_CHECK:
            Choice(input, ctrl);
            break;
        case D_WEB_CTRL_SUBMIT:
            Submit(input, ctrl);
            break;
        case D_WEB_CTRL_IMAGE:
            Image(element, ctrl);
            break;
        default:
            break;
        }
        return true;
    }

    void Text(IHTMLInputElement* input, const CDataWebCtrl& ctrl) {
        const CDataWebTextValue* stored = ctrl.TextValue();
        ScopedBstr name, value;
        LONG maxLength = -1;
        if (!stored || FAILED(input->get_name(name.Out())) || name.Text() != ctrl.m_strName) {
            m_structure = true;
            return;
        }
        (void)input->get_value(value.Out());
        if (FAILED(input->get_maxLength(&maxLength)) || maxLength > kMaxDataLen || maxLength < 0)
            maxLength = -1;
        // A changed value must not hide a changed maxLength: the length is
        // the form's structure and is judged on its own.
        const bool valueChanged = value.Text() != stored->m_strValue;
        const bool lengthChanged = maxLength != stored->m_nDataLen;
        if (valueChanged) m_differs = true;
        if (lengthChanged) m_structure = true;
        if (!valueChanged && !lengthChanged) ++m_matched;
    }

    void Choice(IHTMLInputElement* input, const CDataWebCtrl& ctrl) {
        // No choice record, or none in it, cannot stand for the inputs.
        const CDataWebSelCtrl* choices = ctrl.SelValue();
        ScopedBstr name, value;
        if (!choices || choices->m_elements.empty() || FAILED(input->get_name(name.Out())) ||
            name.Text() != ctrl.m_strName) {
            m_structure = true;
            return;
        }
        const long options = static_cast<long>(choices->m_elements.size());
        if (m_remaining < 0) m_remaining = options;
        const CDataWebSelElement& option = *choices->m_elements[options - m_remaining];
        (void)input->get_value(value.Out());
        if (value.Text() != option.m_strValue) {
            m_structure = true;
            return;
        }
        VARIANT_BOOL checked = VARIANT_FALSE;
        (void)input->get_checked(&checked);
        if ((checked != VARIANT_FALSE ? 1 : 0) != option.m_nSelect) {
            m_differs = true;
            return;
        }
        if (--m_remaining == 0) {
            m_remaining = -1;
            ++m_matched;
        }
    }

    void Submit(IHTMLInputElement* input, const CDataWebCtrl& ctrl) {
        const CDataWebButtonValue* stored = ctrl.ButtonValue();
        ScopedBstr name, value;
        (void)input->get_name(name.Out());
        (void)input->get_value(value.Out());
        if (!stored || name.Text() != ctrl.m_strName || value.Text() != stored->m_strValue) {
            m_structure = true;
            return;
        }
        ++m_matched;
    }

    void Image(IHTMLElement* element, const CDataWebCtrl& ctrl) {
        const CDataWebButtonValue* stored = ctrl.ButtonValue();
        auto image = As<IHTMLInputImage>(element, IID_IHTMLInputImage);
        ScopedBstr name, alt;
        if (image) {
            (void)image->get_name(name.Out());
            (void)image->get_alt(alt.Out());
        }
        if (!stored || !image || name.Text() != ctrl.m_strName ||
            alt.Text() != stored->m_strValue) {
            m_structure = true;
            return;
        }
        ++m_matched;
    }

    bool Select(IHTMLElement* element, const CDataWebCtrl& ctrl) {
        const CDataWebSelCtrl* stored = ctrl.SelValue();
        auto select = As<IHTMLSelectElement>(element, IID_IHTMLSelectElement);
        ScopedBstr name;
        if (!stored || !select || FAILED(select->get_name(name.Out())) ||
            name.Text() != ctrl.m_strName) {
            m_structure = true;
            return true;
        }
        long options = 0;
        if (FAILED(select->get_length(&options))) {
            m_structure = true;
            return true;
        }
        if (options != static_cast<long>(stored->m_elements.size())) return false;
        bool agree = true;
        for (long i = 0; i < options; ++i) {
            CComPtr<IHTMLOptionElement> option;
            ScopedBstr value, text;
            if (FAILED(SelectOption(select, i, option)) || FAILED(option->get_value(value.Out())) ||
                FAILED(option->get_text(text.Out()))) {
                m_structure = true;
                return true;
            }
            const CDataWebSelElement& entry = *stored->m_elements[static_cast<size_t>(i)];
            std::wstring bare = value.Text();
            for (size_t at; (at = bare.find(L" selected")) != std::wstring::npos;)
                bare.erase(at, 9);
            if (bare != entry.m_strValue || text.Text() != entry.m_strText) {
                m_structure = true;
                return true;
            }
            VARIANT_BOOL selected = VARIANT_FALSE;
            (void)option->get_selected(&selected);
            if ((selected != VARIANT_FALSE ? 1 : 0) != entry.m_nSelect) {
                m_differs = true;
                agree = false;
            }
        }
        if (agree) ++m_matched;
        return true;
    }

    void TextArea(IHTMLElement* element, const CDataWebCtrl& ctrl) {
        const CDataWebMultiText* stored = ctrl.MultiValue();
        auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement);
        ScopedBstr name, value;
        LONG cols = -1, rows = -1;
        if (!stored || !area || FAILED(area->get_name(name.Out())) ||
            name.Text() != ctrl.m_strName || FAILED(area->get_cols(&cols)) ||
            FAILED(area->get_rows(&rows)) || cols != stored->m_nCols || rows != stored->m_nRows) {
            m_structure = true;
            return;
        }
        (void)area->get_value(value.Out());
        if (value.Text() != stored->m_strText) {
            m_differs = true;
        } else {
            ++m_matched;
        }
    }

    const CDataWebItem& m_entry;
    IHTMLFormElement* m_controls;
    long m_count;
    bool m_textAreasLeftOut;
    int m_matched = 0;
    bool m_structure = false;
    bool m_differs = false;
    long m_remaining = -1; // inputs left in the open radio or check group; -1 none open
};

} // namespace

int CSubmitButtonEventSink::GetSubmitNum(int snum, int* itemNum) {
    return GetSubmitNum(pDoc, snum, itemNum);
}

int CSubmitButtonEventSink::GetSubmitNum(IHTMLDocument2* document, int snum, int* itemNum) {
    TORVA_TRACE_ENTER(L"CSubmitButtonEventSink::GetSubmitNum");
    TORVA_TRACE_DETAIL(L"snum = %d , itemNum = 0x%08X", snum,
                       static_cast<unsigned>(reinterpret_cast<UINT_PTR>(itemNum)));
    int ignored = 0;
    if (!itemNum) itemNum = &ignored;
    *itemNum = 0;
    const auto fail = [] {
        TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::GetSubmitNum", -1);
        return -1;
    };
    CComPtr<IHTMLElementCollection> forms;
    long formCount = 0;
    if (!FormsOf(document, forms, formCount)) return fail();
    const bool textAreasLeftOut = m_ExpData.m_option.m_nNoMultiText == 1;
    int buttons = 0;
    bool previousStorable = false;
    for (long j = 0; j < formCount; ++j) {
        if (previousStorable) ++*itemNum;
        previousStorable = false;
        CComPtr<IHTMLElement> form = ElementAt(forms.p, j);
        CComPtr<IHTMLFormElement> controls;
        long count = 0;
        if (!form || !ControlsOf(form, controls, count)) return fail();
        for (long e = 0; e < count; ++e) {
            CComPtr<IHTMLElement> element = ElementAt(controls.p, e);
            std::wstring tag;
            if (!element || !TagOf(element, tag)) return fail();
            element.p->AddRef(); // CheckTagName takes over one reference
            if (CExpData::CheckTagName(L"INPUT", tag, nullptr, element.p)) {
                // A text area counts only where the capture stores one.
                if (SameNoCase(tag, L"SELECT") ||
                    (SameNoCase(tag, L"TEXTAREA") && !textAreasLeftOut))
                    previousStorable = true;
                continue;
            }
            const std::wstring type = Upper(InputTypeOf(element));
            if (type == L"TEXT" || type == L"PASSWORD" || type == L"RADIO" || type == L"CHECKBOX") {
                previousStorable = true;
            } else if (type == L"SUBMIT" || type == L"IMAGE") {
                // An image input alone makes no item: the capture keeps one
                // only beside other controls of its form.
                if (type == L"SUBMIT") previousStorable = true;
                if (buttons == snum) {
                    TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::GetSubmitNum", j);
                    return static_cast<int>(j);
                }
                ++buttons;
            }
        }
    }
    return fail();
}

BOOL CSubmitButtonEventSink::CheckPassword(int formnum) {
    return CheckPassword(pDoc, formnum);
}

BOOL CSubmitButtonEventSink::CheckPassword(IHTMLDocument2* document, int formnum) {
    TORVA_TRACE_ENTER(L"CSubmitButtonEventSink::CheckPassword");
    TORVA_TRACE_DETAIL(L"formnum = %d", formnum);
    const auto answer = [](BOOL result) {
        TORVA_TRACE_RETURN_TEXT(L"CSubmitButtonEventSink::CheckPassword",
                                result ? L"TRUE" : L"FALSE");
        return result;
    };
    CComPtr<IHTMLElementCollection> forms;
    if (!document || FAILED(document->get_forms(&forms)) || !forms) return answer(TRUE);
    CComPtr<IHTMLElement> form = ElementAt(forms.p, formnum);
    CComPtr<IHTMLFormElement> controls;
    long count = 0;
    if (!form || !ControlsOf(form, controls, count)) return answer(FALSE);
    for (long e = 0; e < count; ++e) {
        CComPtr<IHTMLElement> element = ElementAt(controls.p, e);
        std::wstring tag;
        if (!element || !TagOf(element, tag)) return answer(FALSE);
        if (Upper(tag) == L"INPUT" && Upper(InputTypeOf(element)) == L"PASSWORD")
            return answer(TRUE);
    }
    return answer(FALSE);
}

int CSubmitButtonEventSink::CheakFormData(CDataWebForm* webform, int formnum, int nitem) {
    return CheakFormData(pDoc, webform, formnum, nitem);
}

int CSubmitButtonEventSink::CheakFormData(IHTMLDocument2* document, CDataWebForm* webform,
                                          int formnum, int nitem) {
    TORVA_TRACE_ENTER(L"CSubmitButtonEventSink::CheakFormData");
    TORVA_TRACE_DETAIL(L"webform = 0x%08X , formnum = %d , nitem = %d",
                       static_cast<unsigned>(reinterpret_cast<UINT_PTR>(webform)), formnum, nitem);
    const auto result = [](int rc) {
        TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::CheakFormData", rc);
        return rc;
    };
    CComPtr<IHTMLElementCollection> forms;
    long formCount = 0;
    if (!FormsOf(document, forms, formCount)) return result(-1);
    CComPtr<IHTMLElement> form = ElementAt(forms.p, formnum);
    if (!form) return result(-1);
    // The first save of a page stores an entry for every form it lists, each
    // under its form's index, and every later save keeps those indexes. A
    // form that no stored entry names (a form the page gained, or one moved
    // to another index by a form gained before it), and a stored entry whose
    // index now names a form of another name, show a page whose forms
    // changed: anything stored for it would be bound to another form by
    // index. nitem, the form's item number, cannot tell: several entries may
    // stand for one form, and a form without storable controls has none.
    // Such a form (an image button alone) never has an entry, so it alone
    // shows no change.
    (void)nitem;
    if (!webform || webform->m_items.empty()) return result(-2);

    const bool textAreasLeftOut = m_ExpData.m_option.m_nNoMultiText == 1;
    std::vector<const CDataWebItem*> entries;
    for (const auto& item : webform->m_items)
        if (item && item->m_nIndex == formnum) entries.push_back(item.get());
    if (entries.empty() && FormMakesAnItem(form, textAreasLeftOut)) return result(-2);

    for (const auto& item : webform->m_items) {
        if (!item || item->m_nIndex < 0 || item->m_nIndex >= formCount) continue;
        CComPtr<IHTMLElement> named = ElementAt(forms.p, item->m_nIndex);
        auto htmlForm = As<IHTMLFormElement>(named.p, IID_IHTMLFormElement);
        if (!htmlForm) return result(-1);
        ScopedBstr name;
        (void)htmlForm->get_name(name.Out());
        if (item->m_strFormName != name.Text()) return result(-2);
    }

    CComPtr<IHTMLFormElement> controls;
    long count = 0;
    if (!ControlsOf(form, controls, count)) return result(1);

    int identical = 0;
    for (const CDataWebItem* entry : entries) {
        // No control to compare element by element: such an entry stands
        // for no form, so it is neither identical nor a changed structure.
        if (entry->m_ctrls.empty()) continue;
        EntryCompare compare(*entry, controls, count, textAreasLeftOut);
        switch (compare.Run()) {
        case EntryCompare::End::Structure:
            return result(-2);
        case EntryCompare::End::Unnamed:
        case EntryCompare::End::Failed:
            return result(-1);
        case EntryCompare::End::SelectCount:
            continue;
        case EntryCompare::End::Walked:
            break;
        }
        if (compare.Identical()) ++identical;
    }
    return result(identical);
}
