#include "FormMatcher.h"

#include "CComPtr.h"
#include "CExpData.h"
#include "HtmlCom.h"

#include <algorithm>

namespace {

bool IsFillableKind(std::int32_t kind) {
    switch (kind) {
    case D_WEB_CTRL_TEXT:
    case D_WEB_CTRL_PSWD:
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT:
    case D_WEB_CTRL_MULTI:
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE:
        return true;
    default:
        return false;
    }
}

const wchar_t* ExpectedInputType(std::int32_t kind) {
    switch (kind) {
    case D_WEB_CTRL_TEXT:
        return L"TEXT";
    case D_WEB_CTRL_PSWD:
        return L"PASSWORD";
    case D_WEB_CTRL_RADIO:
        return L"RADIO";
    case D_WEB_CTRL_CHECK:
        return L"CHECKBOX";
    case D_WEB_CTRL_SUBMIT:
        return L"SUBMIT";
    case D_WEB_CTRL_IMAGE:
        return L"IMAGE";
    default:
        return L"";
    }
}

// A live maximum length as the capture stores it: none and above 500 are -1.
long StoredLength(long maxLength) {
    return maxLength > 500 ? -1 : maxLength;
}

// An option value as the page reports it, without the " selected" marks a
// selected option's value may carry.
std::wstring WithoutSelectedMark(std::wstring value) {
    static const std::wstring mark = L" selected";
    for (size_t at = value.find(mark); at != std::wstring::npos; at = value.find(mark, at)) {
        value.erase(at, mark.size());
    }
    return value;
}

// The value of option i of a SELECT.
HRESULT OptionValue(IHTMLSelectElement* select, long i, std::wstring& value) {
    CComPtr<IHTMLOptionElement> option;
    HRESULT hr = SelectOption(select, i, option);
    if (FAILED(hr)) return hr;
    ScopedBstr text;
    hr = option->get_value(text.Out());
    if (SUCCEEDED(hr)) value = text.Text();
    return hr;
}

} // namespace

namespace {

template <typename Collection>
HRESULT ElementOf(Collection* collection, long p, IHTMLElement** element) {
    *element = nullptr;
    CComPtr<IHTMLElement> item;
    const HRESULT hr = ItemAt(collection, p, IID_IHTMLElement, item);
    if (SUCCEEDED(hr)) *element = item.Detach();
    return hr;
}

} // namespace

HRESULT FormMatcher::ElementAt(IHTMLElementCollection* elements, long p, IHTMLElement** element) {
    return ElementOf(elements, p, element);
}

HRESULT FormMatcher::ElementAt(IHTMLFormElement* form, long p, IHTMLElement** element) {
    return ElementOf(form, p, element);
}

HRESULT FormMatcher::Match(const CDataWebItem& entry, FormMatch& result) {
    result = FormMatch{};
    result.positions.resize(entry.m_ctrls.size());
    m_result = &result;
    m_current = 0;
    m_remaining = -1;
    if (entry.m_ctrls.empty()) return S_OK;

    for (long p = 0; p < m_count && !result.mismatch; ++p) {
        CComPtr<IHTMLElement> element;
        HRESULT hr = ElementAt(m_elements, p, &element);
        if (FAILED(hr)) return hr;
        ScopedBstr tag;
        hr = element->get_tagName(tag.Out());
        if (FAILED(hr)) return hr;

        SkipUnfillable(entry);
        m_current = std::min<size_t>(static_cast<size_t>(result.matched), entry.m_ctrls.size() - 1);
        const CDataWebCtrl* ctrl = entry.m_ctrls[m_current].get();
        if (!ctrl || !IsFillableKind(ctrl->m_nType)) continue;
        // Captured with text areas left out, the entry has none to stand
        // for this one; one that it does store is matched in its place.
        if (m_textAreasLeftOut && ctrl->m_nType != D_WEB_CTRL_MULTI &&
            ::_wcsicmp(tag.Text().c_str(), L"TEXTAREA") == 0) {
            continue;
        }
        switch (ctrl->m_nType) {
        case D_WEB_CTRL_SELECT:
            hr = MatchSelect(p, element, tag.Text(), *ctrl);
            break;
        case D_WEB_CTRL_MULTI:
            hr = MatchTextArea(p, element, tag.Text(), *ctrl);
            break;
        default:
            hr = MatchInput(p, element, tag.Text(), *ctrl);
            break;
        }
        if (FAILED(hr)) return hr;
    }
    // Controls of no fillable kind after the last element that matched.
    if (!result.mismatch) SkipUnfillable(entry);
    return S_OK;
}

void FormMatcher::SkipUnfillable(const CDataWebItem& entry) {
    // Only between controls: never in the middle of a radio group.
    if (m_remaining != -1) return;
    while (static_cast<size_t>(m_result->matched) < entry.m_ctrls.size()) {
        const CDataWebCtrl* ctrl = entry.m_ctrls[static_cast<size_t>(m_result->matched)].get();
        if (ctrl && IsFillableKind(ctrl->m_nType)) return;
        ++m_result->matched;
    }
}

void FormMatcher::Take(long p) {
    m_result->positions[m_current].push_back(p);
    ++m_result->matched;
}

HRESULT FormMatcher::MatchSelect(long p, IHTMLElement* element, const std::wstring& tag,
                                 const CDataWebCtrl& ctrl) {
    int storable = 0;
    element->AddRef(); // CheckTagName takes a reference over
    if (CExpData::CheckTagName(L"SELECT", tag, &storable, element)) {
        if (storable) m_result->mismatch = true;
        return S_OK;
    }
    CComPtr<IHTMLSelectElement> select;
    HRESULT hr = QueryAs(element, IID_IHTMLSelectElement, select);
    if (FAILED(hr)) return hr;
    ScopedBstr name;
    if (FAILED(hr = select->get_name(name.Out()))) return hr;
    long length = 0;
    if (FAILED(hr = select->get_length(&length))) return hr;
    const CDataWebSelCtrl* stored = ctrl.SelValue();
    const size_t storedCount = stored ? stored->m_elements.size() : 0;
    if (name.Text() != ctrl.m_strName || length < 0 || static_cast<size_t>(length) != storedCount) {
        m_result->mismatch = true;
        return S_OK;
    }
    for (long i = 0; i < length; ++i) {
        std::wstring value;
        if (FAILED(hr = OptionValue(select, i, value))) return hr;
        if (WithoutSelectedMark(value) != stored->m_elements[static_cast<size_t>(i)]->m_strValue) {
            m_result->mismatch = true;
            return S_OK;
        }
    }
    Take(p);
    return S_OK;
}

HRESULT FormMatcher::MatchTextArea(long p, IHTMLElement* element, const std::wstring& tag,
                                   const CDataWebCtrl& ctrl) {
    int storable = 0;
    element->AddRef();
    if (CExpData::CheckTagName(L"TEXTAREA", tag, &storable, element)) {
        if (storable) m_result->mismatch = true;
        return S_OK;
    }
    CComPtr<IHTMLTextAreaElement> area;
    HRESULT hr = QueryAs(element, IID_IHTMLTextAreaElement, area);
    if (FAILED(hr)) return hr;
    ScopedBstr name;
    long cols = 0;
    long rows = 0;
    if (FAILED(hr = area->get_name(name.Out())) || FAILED(hr = area->get_cols(&cols)) ||
        FAILED(hr = area->get_rows(&rows))) {
        return hr;
    }
    const CDataWebMultiText* stored = ctrl.MultiValue();
    if (!stored || name.Text() != ctrl.m_strName || cols != stored->m_nCols ||
        rows != stored->m_nRows) {
        m_result->mismatch = true;
        return S_OK;
    }
    Take(p);
    return S_OK;
}

HRESULT FormMatcher::MatchInput(long p, IHTMLElement* element, const std::wstring& tag,
                                const CDataWebCtrl& ctrl) {
    int storable = 0;
    element->AddRef();
    if (CExpData::CheckTagName(L"INPUT", tag, &storable, element)) {
        if (storable) m_result->mismatch = true;
        return S_OK;
    }
    CComPtr<IHTMLInputElement> input;
    HRESULT hr = QueryAs(element, IID_IHTMLInputElement, input);
    if (FAILED(hr)) return hr;
    ScopedBstr type;
    if (FAILED(hr = input->get_type(type.Out()))) return hr;
    if (CExpData::CheckTypeName(ExpectedInputType(ctrl.m_nType), type.Text(), &storable)) {
        if (storable) m_result->mismatch = true;
        return S_OK;
    }
    if (ctrl.m_nType == D_WEB_CTRL_RADIO || ctrl.m_nType == D_WEB_CTRL_CHECK) {
        return MatchChoice(p, input, ctrl);
    }

    bool same = false;
    if (ctrl.m_nType == D_WEB_CTRL_IMAGE) {
        // An image button is known by its alternative text, not its name.
        ScopedBstr alt;
        if (FAILED(hr = input->get_alt(alt.Out()))) return hr;
        const CDataWebButtonValue* button = ctrl.ButtonValue();
        same = button && alt.Text() == button->m_strValue;
    } else {
        ScopedBstr name;
        if (FAILED(hr = input->get_name(name.Out()))) return hr;
        if (ctrl.m_nType == D_WEB_CTRL_SUBMIT) {
            ScopedBstr value;
            if (FAILED(hr = input->get_value(value.Out()))) return hr;
            const CDataWebButtonValue* button = ctrl.ButtonValue();
            same = button && name.Text() == ctrl.m_strName && value.Text() == button->m_strValue;
        } else {
            long maxLength = 0;
            if (FAILED(hr = input->get_maxLength(&maxLength))) return hr;
            const CDataWebTextValue* text = ctrl.TextValue();
            const long stored = text ? text->m_nDataLen : -1;
            same = name.Text() == ctrl.m_strName && StoredLength(maxLength) == stored;
        }
    }
    if (!same) {
        m_result->mismatch = true;
        return S_OK;
    }
    Take(p);
    return S_OK;
}

HRESULT FormMatcher::MatchChoice(long p, IHTMLInputElement* input, const CDataWebCtrl& ctrl) {
    ScopedBstr name;
    HRESULT hr = input->get_name(name.Out());
    if (FAILED(hr)) return hr;
    const CDataWebSelCtrl* stored = ctrl.SelValue();
    const long options = stored ? static_cast<long>(stored->m_elements.size()) : 0;
    // A group stored without options cannot be told apart on the page.
    if (name.Text() != ctrl.m_strName || options == 0) {
        m_result->mismatch = true;
        return S_OK;
    }
    if (m_remaining == -1) m_remaining = options;
    ScopedBstr value;
    if (FAILED(hr = input->get_value(value.Out()))) return hr;
    if (value.Text() !=
        stored->m_elements[static_cast<size_t>(options - m_remaining)]->m_strValue) {
        m_result->mismatch = true;
        return S_OK;
    }
    m_result->positions[m_current].push_back(p);
    if (--m_remaining == 0) {
        m_remaining = -1;
        ++m_result->matched;
    }
    return S_OK;
}
