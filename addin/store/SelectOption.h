// Option i of a live SELECT element.
#pragma once

#include "CComPtr.h"

#include <windows.h>
#include <mshtml.h>

// S_OK with option set; the item call's failure, E_FAIL without an item, or
// E_NOINTERFACE when the item is not an option.
inline HRESULT SelectOption(IHTMLSelectElement* select, long i, CComPtr<IHTMLOptionElement>& option) {
    VARIANT name;
    ::VariantInit(&name);
    name.vt = VT_I4;
    name.lVal = i;
    VARIANT index;
    ::VariantInit(&index);
    CComPtr<IDispatch> item;
    HRESULT hr = select->item(name, index, &item);
    if (FAILED(hr)) return hr;
    if (!item) return E_FAIL;
    hr = item->QueryInterface(IID_IHTMLOptionElement, reinterpret_cast<void**>(&option));
    if (FAILED(hr)) return hr;
    return option ? S_OK : E_NOINTERFACE;
}
