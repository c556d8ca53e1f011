// The COM plumbing shared by every reader and writer of the live HTML
// document: owners for BSTRs and VARIANTs, a typed query, and the items of
// a collection (the forms or elements of a document, the controls of a
// form, the options of a SELECT) by position.
#pragma once

#include "CComPtr.h"

#include <windows.h>
#include <oleauto.h>
#include <mshtml.h>

#include <string>
#include <utility>

// Owns one BSTR: an out-parameter of a COM call, or a string handed in.
class ScopedBstr {
public:
    ScopedBstr() noexcept = default;
    // A copy of text; null when it could not be allocated.
    explicit ScopedBstr(const std::wstring& text) noexcept
        : m_bstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ~ScopedBstr() { ::SysFreeString(m_bstr); }

    // For an out-parameter: frees what is held first.
    BSTR* Out() noexcept {
        ::SysFreeString(std::exchange(m_bstr, nullptr));
        return &m_bstr;
    }
    BSTR Get() const noexcept { return m_bstr; }
    // The text, embedded NULs included; empty for a null BSTR.
    std::wstring Text() const {
        return m_bstr ? std::wstring(m_bstr, ::SysStringLen(m_bstr)) : std::wstring();
    }

private:
    BSTR m_bstr = nullptr;
};

// The text of a BSTR the caller was handed (embedded NULs included), which
// is freed here; empty for null.
inline std::wstring TakeBstr(BSTR text) {
    std::wstring result = text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    ::SysFreeString(text);
    return result;
}

// Owns one VARIANT: an out-parameter of a COM call; cleared on destruction.
class ScopedVariant {
public:
    ScopedVariant() noexcept { ::VariantInit(&m_value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { (void)::VariantClear(&m_value); }

    // For an out-parameter: clears what is held first.
    VARIANT* Out() noexcept {
        (void)::VariantClear(&m_value);
        return &m_value;
    }
    const VARIANT& Get() const noexcept { return m_value; }

private:
    VARIANT m_value;
};

// A VT_I4 position for an item() call; holds nothing to free.
inline VARIANT IndexVariant(long i) noexcept {
    VARIANT index;
    ::VariantInit(&index);
    index.vt = VT_I4;
    index.lVal = i;
    return index;
}

// The empty VARIANT item() takes for the index it is not given.
inline VARIANT EmptyVariant() noexcept {
    VARIANT empty;
    ::VariantInit(&empty);
    return empty;
}

// from as interface I. S_OK with to set; else to is null and the result is
// the query's failure, E_POINTER for a null from, or E_NOINTERFACE when the
// query succeeds without a pointer.
template <typename I> HRESULT QueryAs(IUnknown* from, REFIID iid, CComPtr<I>& to) {
    if (!from) {
        to.Release();
        return E_POINTER;
    }
    const HRESULT hr = from->QueryInterface(iid, reinterpret_cast<void**>(&to));
    if (FAILED(hr)) {
        to.Release(); // whatever a faulty object left there
        return hr;
    }
    return to ? S_OK : E_NOINTERFACE;
}

// from as interface I; null when from is null or does not offer it.
template <typename I> CComPtr<I> As(IUnknown* from, REFIID iid) {
    CComPtr<I> to;
    (void)QueryAs(from, iid, to);
    return to;
}

// Item i of a collection whose item(name, index, IDispatch**) takes a VT_I4
// position. S_OK with item set; the item call's failure, or E_FAIL when it
// succeeds without an item.
template <typename Collection>
HRESULT ItemDispatchAt(Collection* collection, long i, CComPtr<IDispatch>& item) {
    const HRESULT hr = collection->item(IndexVariant(i), EmptyVariant(), &item);
    if (FAILED(hr)) return hr;
    return item ? S_OK : E_FAIL;
}

// Item i of such a collection as interface I. S_OK with item set; the item
// call's failure, E_FAIL without an item, or E_NOINTERFACE when it is not an I.
template <typename Collection, typename I>
HRESULT ItemAt(Collection* collection, long i, REFIID iid, CComPtr<I>& item) {
    CComPtr<IDispatch> dispatch;
    const HRESULT hr = ItemDispatchAt(collection, i, dispatch);
    if (FAILED(hr)) return hr;
    return QueryAs(dispatch, iid, item);
}

// The controls of a form: its element collection, read through the form's
// own length and item(). It holds every control the form owns, in document
// order, also those of table cells after the one that opened the form
// (<td><form>...</td><td><input>...</form>), which the form's all
// collection, holding only what lies inside the FORM element, leaves out.
// Capture, fill-in and comparison all read a form through this one set.
// S_OK with controls and count set; else controls is null and count 0.
inline HRESULT FormControls(IUnknown* form, CComPtr<IHTMLFormElement>& controls, long& count) {
    count = 0;
    HRESULT hr = QueryAs(form, IID_IHTMLFormElement, controls);
    if (FAILED(hr)) return hr;
    long length = 0;
    hr = controls->get_length(&length);
    if (FAILED(hr)) {
        controls.Release();
        return hr;
    }
    count = length;
    return S_OK;
}

// Option i of a SELECT.
inline HRESULT SelectOption(IHTMLSelectElement* select, long i,
                            CComPtr<IHTMLOptionElement>& option) {
    return ItemAt(select, i, IID_IHTMLOptionElement, option);
}
