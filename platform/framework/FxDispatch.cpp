// CWnd::InvokeHelper: calls on a hosted control's IDispatch with arguments
// described by a VTS_ string, as the conventional control wrappers write them.
#include <cstdarg>
#include <vector>

#include "CComPtr.h"
#include "CWnd.h"

namespace {

// Reads one argument of type code from args into v (the VTS_ codes are the
// VARTYPE with 0x40 for "by reference").
bool ReadArgument(BYTE code, va_list& args, VARIANT& v) {
    ::VariantInit(&v);
    switch (code) {
    case VT_I2:
        v.vt = VT_I2;
        v.iVal = static_cast<SHORT>(va_arg(args, int));
        return true;
    case VT_I4:
        v.vt = VT_I4;
        v.lVal = va_arg(args, long);
        return true;
    case VT_BOOL:
        v.vt = VT_BOOL;
        v.boolVal = va_arg(args, BOOL) ? VARIANT_TRUE : VARIANT_FALSE;
        return true;
    case VT_BSTR: {
        const wchar_t* text = va_arg(args, const wchar_t*);
        v.vt = VT_BSTR;
        v.bstrVal = ::SysAllocString(text ? text : L"");
        return v.bstrVal != nullptr;
    }
    case VT_DISPATCH:
        v.vt = VT_DISPATCH;
        v.pdispVal = va_arg(args, IDispatch*);
        if (v.pdispVal) v.pdispVal->AddRef();
        return true;
    case VT_UNKNOWN:
        v.vt = VT_UNKNOWN;
        v.punkVal = va_arg(args, IUnknown*);
        if (v.punkVal) v.punkVal->AddRef();
        return true;
    case VT_VARIANT: {
        // By value: a copy, so the caller's variant is untouched.
        const VARIANT* source = va_arg(args, const VARIANT*);
        return !source || SUCCEEDED(::VariantCopy(&v, const_cast<VARIANT*>(source)));
    }
    case 0x40 | VT_VARIANT: {
        VARIANT* target = va_arg(args, VARIANT*);
        if (!target) {
            // A missing optional argument.
            v.vt = VT_ERROR;
            v.scode = DISP_E_PARAMNOTFOUND;
            return true;
        }
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = target;
        return true;
    }
    case 0x40 | VT_I4:
        v.vt = VT_BYREF | VT_I4;
        v.plVal = va_arg(args, long*);
        return true;
    case 0x40 | VT_BSTR:
        v.vt = VT_BYREF | VT_BSTR;
        v.pbstrVal = va_arg(args, BSTR*);
        return true;
    case 0x40 | VT_DISPATCH:
        v.vt = VT_BYREF | VT_DISPATCH;
        v.ppdispVal = va_arg(args, IDispatch**);
        return true;
    default:
        return false;
    }
}

// Puts the call's result into the caller's variable of type returnType.
HRESULT StoreResult(VARTYPE returnType, VARIANT& got, void* result) {
    if (returnType == VT_EMPTY || !result) return S_OK;
    if (returnType == VT_VARIANT) {
        auto* out = static_cast<VARIANT*>(result);
        ::VariantInit(out);
        return ::VariantCopy(out, &got);
    }
    VARIANT converted;
    ::VariantInit(&converted);
    HRESULT hr = ::VariantChangeType(&converted, &got, 0, returnType);
    if (FAILED(hr)) return hr;
    switch (returnType) {
    case VT_I2:
        *static_cast<short*>(result) = converted.iVal;
        break;
    case VT_I4:
        *static_cast<long*>(result) = converted.lVal;
        break;
    case VT_BOOL:
        *static_cast<BOOL*>(result) = converted.boolVal != VARIANT_FALSE;
        break;
    case VT_BSTR:
        *static_cast<CString*>(result) = CString(converted.bstrVal ? converted.bstrVal : L"");
        break;
    case VT_DISPATCH:
        // The caller receives the reference.
        *static_cast<IDispatch**>(result) = converted.pdispVal;
        converted.vt = VT_EMPTY;
        break;
    case VT_UNKNOWN:
        *static_cast<IUnknown**>(result) = converted.punkVal;
        converted.vt = VT_EMPTY;
        break;
    default:
        hr = DISP_E_TYPEMISMATCH;
        break;
    }
    ::VariantClear(&converted);
    return hr;
}

} // namespace

HRESULT CWnd::InvokeHelper(DISPID dispid, WORD flags, VARTYPE returnType, void* result,
                           const BYTE* params, ...) {
    // Pointer results start cleared, so a failed call leaves no stray value.
    if (result && (returnType == VT_DISPATCH || returnType == VT_UNKNOWN))
        *static_cast<void**>(result) = nullptr;
    IUnknown* control = GetControlUnknown();
    if (!control) return E_NOINTERFACE;
    CComPtr<IDispatch> dispatch;
    HRESULT hr = control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    if (FAILED(hr)) return hr;

    std::vector<VARIANT> arguments;
    va_list args;
    va_start(args, params);
    bool ok = true;
    for (const BYTE* code = params; ok && code && *code; ++code) {
        VARIANT v;
        ok = ReadArgument(*code, args, v);
        if (ok) arguments.push_back(v);
    }
    va_end(args);
    // DISPPARAMS holds the arguments last first.
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS dp{reversed.empty() ? nullptr : reversed.data(), nullptr,
                  static_cast<UINT>(reversed.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        dp.rgdispidNamedArgs = &named;
        dp.cNamedArgs = 1;
    }
    VARIANT got;
    ::VariantInit(&got);
    if (!ok) {
        hr = E_INVALIDARG;
    } else {
        hr = dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp,
                              returnType == VT_EMPTY ? nullptr : &got, nullptr, nullptr);
        if (SUCCEEDED(hr)) hr = StoreResult(returnType, got, result);
    }
    ::VariantClear(&got);
    for (VARIANT& v : arguments)
        ::VariantClear(&v); // by-reference ones only let go of nothing
    return hr;
}
