// Which live elements the capture may store.
#include "CExpData.h"

#include <oleauto.h>

namespace {

bool SameAsciiCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

bool IsStorableInputType(const std::wstring& type) {
    for (const wchar_t* kind : {L"TEXT", L"PASSWORD", L"RADIO", L"CHECKBOX", L"SUBMIT", L"IMAGE"}) {
        if (SameAsciiCase(type, kind)) return true;
    }
    return false;
}

// The type attribute of an INPUT element, or empty when it has none.
std::wstring InputType(IHTMLElement* element) {
    if (!element) return {};
    IHTMLInputElement* input = nullptr;
    if (FAILED(element->QueryInterface(IID_IHTMLInputElement, reinterpret_cast<void**>(&input))) ||
        !input) {
        return {};
    }
    BSTR type = nullptr;
    std::wstring text;
    if (SUCCEEDED(input->get_type(&type)) && type) text.assign(type, ::SysStringLen(type));
    ::SysFreeString(type);
    input->Release();
    return text;
}

} // namespace

BOOL CExpData::CheckTypeName(const std::wstring& expected, const std::wstring& type,
                             int* storable) {
    if (SameAsciiCase(type, expected)) return FALSE;
    if (storable && IsStorableInputType(type)) *storable = 1;
    return TRUE;
}

BOOL CExpData::CheckTagName(const std::wstring& expected, const std::wstring& tag, int* storable,
                            IHTMLElement* element) {
    BOOL differs = TRUE;
    if (SameAsciiCase(tag, expected)) {
        differs = FALSE;
    } else if (storable) {
        if (SameAsciiCase(tag, L"TEXTAREA") || SameAsciiCase(tag, L"SELECT") ||
            (SameAsciiCase(tag, L"INPUT") && IsStorableInputType(InputType(element)))) {
            *storable = 1;
        }
    }
    if (element) element->Release();
    return differs;
}
