// Items of live collections by position: the elements of a form or
// document, the options of a SELECT.
#pragma once

#include "CComPtr.h"

#include <windows.h>
#include <mshtml.h>

// Item i of a collection whose item(name, index, IDispatch**) takes a VT_I4
// position, as interface I. S_OK with item set; the item call's failure,
// E_FAIL without an item, or E_NOINTERFACE when it is not an I.
template <typename Collection, typename I>
HRESULT ItemAt(Collection* collection, long i, REFIID iid, CComPtr<I>& item) {
    VARIANT name;
    ::VariantInit(&name);
    name.vt = VT_I4;
    name.lVal = i;
    VARIANT index;
    ::VariantInit(&index);
    CComPtr<IDispatch> dispatch;
    HRESULT hr = collection->item(name, index, &dispatch);
    if (FAILED(hr)) return hr;
    if (!dispatch) return E_FAIL;
    hr = dispatch->QueryInterface(iid, reinterpret_cast<void**>(&item));
    if (FAILED(hr)) return hr;
    return item ? S_OK : E_NOINTERFACE;
}

// Option i of a SELECT.
inline HRESULT SelectOption(IHTMLSelectElement* select, long i, CComPtr<IHTMLOptionElement>& option) {
    return ItemAt(select, i, IID_IHTMLOptionElement, option);
}
