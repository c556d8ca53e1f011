#include "FormFiller.h"

#include "CComPtr.h"
#include "HtmlCom.h"

#include <algorithm>

namespace {

template <typename I>
HRESULT ElementAs(IHTMLFormElement* elements, long p, REFIID iid, CComPtr<I>& to) {
    CComPtr<IHTMLElement> element;
    HRESULT hr = FormMatcher::ElementAt(elements, p, &element);
    if (FAILED(hr)) return hr;
    return QueryAs(element, iid, to);
}

VARIANT_BOOL AsVariantBool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

} // namespace

HRESULT FormFiller::Fill(const CDataWebItem& entry, const FormMatch& match, const Options& options,
                         long& button) {
    button = -1;
    const size_t count = std::min(entry.m_ctrls.size(), match.positions.size());
    for (size_t i = 0; i < count; ++i) {
        const CDataWebCtrl* ctrl = entry.m_ctrls[i].get();
        const std::vector<long>& at = match.positions[i];
        if (!ctrl || at.empty()) continue;
        HRESULT hr = S_OK;
        switch (ctrl->m_nType) {
        case D_WEB_CTRL_TEXT:
        case D_WEB_CTRL_PSWD:
            if (const CDataWebTextValue* text = ctrl->TextValue()) {
                // A password not had in clear is filled in as none at all.
                const bool withheld =
                    ctrl->m_nType == D_WEB_CTRL_PSWD && text->m_nNotDecrypted == 1;
                hr = FillText(at.front(), withheld ? std::wstring() : text->m_strValue);
            }
            break;
        case D_WEB_CTRL_RADIO:
        case D_WEB_CTRL_CHECK:
            if (const CDataWebSelCtrl* choices = ctrl->SelValue()) {
                const size_t n = std::min(at.size(), choices->m_elements.size());
                for (size_t j = 0; j < n && SUCCEEDED(hr); ++j) {
                    hr = FillChoice(at[j], choices->m_elements[j]->m_nSelect == 1);
                }
            }
            break;
        case D_WEB_CTRL_SELECT:
            if (const CDataWebSelCtrl* choices = ctrl->SelValue()) {
                hr = FillSelect(at.front(), *choices);
            }
            break;
        case D_WEB_CTRL_MULTI:
            if (const CDataWebMultiText* area = ctrl->MultiValue(); area && options.fillMultiText) {
                hr = FillTextArea(at.front(), area->m_strText);
            }
            break;
        case D_WEB_CTRL_SUBMIT:
        case D_WEB_CTRL_IMAGE:
            if (const CDataWebButtonValue* value = ctrl->ButtonValue();
                value && options.autoSend && value->m_nSelected == 1) {
                button = at.front(); // a later submitting button replaces an earlier one
            }
            break;
        default:
            break;
        }
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT FormFiller::Click(long p) {
    CComPtr<IHTMLElement> element;
    const HRESULT hr = FormMatcher::ElementAt(m_elements, p, &element);
    if (FAILED(hr)) return hr;
    return element->click();
}

HRESULT FormFiller::FillText(long p, const std::wstring& value) {
    CComPtr<IHTMLInputElement> input;
    HRESULT hr = ElementAs(m_elements, p, IID_IHTMLInputElement, input);
    if (FAILED(hr)) return hr;
    const ScopedBstr text(value);
    if (!text.Get() && !value.empty()) return E_OUTOFMEMORY;
    return input->put_value(text.Get());
}

HRESULT FormFiller::FillChoice(long p, bool ticked) {
    CComPtr<IHTMLInputElement> input;
    const HRESULT hr = ElementAs(m_elements, p, IID_IHTMLInputElement, input);
    if (FAILED(hr)) return hr;
    return input->put_status(AsVariantBool(ticked));
}

HRESULT FormFiller::FillSelect(long p, const CDataWebSelCtrl& stored) {
    CComPtr<IHTMLSelectElement> select;
    HRESULT hr = ElementAs(m_elements, p, IID_IHTMLSelectElement, select);
    if (FAILED(hr)) return hr;
    long length = 0;
    if (FAILED(hr = select->get_length(&length))) return hr;
    const long n = std::min<long>(length, static_cast<long>(stored.m_elements.size()));
    for (long i = 0; i < n; ++i) {
        CComPtr<IHTMLOptionElement> option;
        if (FAILED(hr = SelectOption(select, i, option))) return hr;
        const bool selected = stored.m_elements[static_cast<size_t>(i)]->m_nSelect == 1;
        if (FAILED(hr = option->put_selected(AsVariantBool(selected)))) return hr;
    }
    return S_OK;
}

HRESULT FormFiller::FillTextArea(long p, const std::wstring& text) {
    CComPtr<IHTMLTextAreaElement> area;
    HRESULT hr = ElementAs(m_elements, p, IID_IHTMLTextAreaElement, area);
    if (FAILED(hr)) return hr;
    const ScopedBstr value(text);
    if (!value.Get() && !text.empty()) return E_OUTOFMEMORY;
    return area->put_value(value.Get());
}
