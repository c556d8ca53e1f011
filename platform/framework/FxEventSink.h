// Event-sink maps: a dialog's handlers of the events its hosted ActiveX
// controls fire (their default source dispinterface). In the class:
// DECLARE_EVENTSINK_MAP(); in the source file:
//   BEGIN_EVENTSINK_MAP(CMyDlg, CDialog)
//       ON_EVENT(CMyDlg, IDC_BROWSER, 104, CMyDlg::OnDownloadComplete, VTS_NONE)
//   END_EVENTSINK_MAP()
// The handler's parameter types say how the event's arguments are read
// (first parameter = first argument): IDispatch*, IUnknown*, VARIANT*,
// long, short, int, BOOL, const wchar_t* / BSTR, VARIANT_BOOL*, BOOL*, long*.
// The VTS_ list is accepted for the reader's benefit and not consulted.
// Sinks are connected before OnInitDialog (and again after it, for controls
// it created) and disconnected when the dialog is destroyed.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <utility>

#include "CCmdTarget.h"

using FxEventThunk = HRESULT (*)(CCmdTarget* target, DISPPARAMS* params);

struct FxEventSinkEntry {
    UINT controlId; // 0 ends the table
    DISPID dispid;
    FxEventThunk thunk;
};

struct FxEventSinkMap {
    const FxEventSinkMap* (*base)();
    const FxEventSinkEntry* entries;
};

// Argument type strings of the conventional dispatch helpers.
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_UNKNOWN "\x0D"
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PBSTR "\x48"
#define VTS_PDISPATCH "\x49"
#define VTS_PBOOL "\x4B"
#define VTS_PVARIANT "\x4C"

// One event argument read as type T; byref values written by the handler
// go back to the caller when the reader is destroyed.
template <class T> class FxEventArg;

template <> class FxEventArg<IDispatch*> {
public:
    explicit FxEventArg(VARIANT& v) noexcept
        : m_value(v.vt == VT_DISPATCH                               ? v.pdispVal
                  : v.vt == (VT_BYREF | VT_DISPATCH) && v.ppdispVal ? *v.ppdispVal
                                                                    : nullptr) {}
    IDispatch* get() const noexcept { return m_value; }

private:
    IDispatch* m_value;
};

template <> class FxEventArg<IUnknown*> {
public:
    explicit FxEventArg(VARIANT& v) noexcept
        : m_value(v.vt == VT_UNKNOWN || v.vt == VT_DISPATCH ? v.punkVal
                  : (v.vt == (VT_BYREF | VT_UNKNOWN) || v.vt == (VT_BYREF | VT_DISPATCH)) &&
                          v.ppunkVal
                      ? *v.ppunkVal
                      : nullptr) {}
    IUnknown* get() const noexcept { return m_value; }

private:
    IUnknown* m_value;
};

template <> class FxEventArg<VARIANT*> {
public:
    explicit FxEventArg(VARIANT& v) noexcept
        : m_value(v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal ? v.pvarVal : &v) {}
    VARIANT* get() const noexcept { return m_value; }

private:
    VARIANT* m_value;
};

// Numbers and text by value, through a coerced copy.
class FxEventCoerced {
public:
    FxEventCoerced(VARIANT& v, VARTYPE type) noexcept {
        ::VariantInit(&m_copy);
        if (FAILED(::VariantChangeType(&m_copy, &v, 0, type))) ::VariantInit(&m_copy);
    }
    ~FxEventCoerced() { ::VariantClear(&m_copy); }
    FxEventCoerced(const FxEventCoerced&) = delete;
    FxEventCoerced& operator=(const FxEventCoerced&) = delete;

protected:
    VARIANT m_copy;
};

template <> class FxEventArg<long> : FxEventCoerced {
public:
    explicit FxEventArg(VARIANT& v) noexcept : FxEventCoerced(v, VT_I4) {}
    long get() const noexcept { return m_copy.vt == VT_I4 ? m_copy.lVal : 0; }
};
template <> class FxEventArg<int> : FxEventCoerced {
public:
    explicit FxEventArg(VARIANT& v) noexcept : FxEventCoerced(v, VT_I4) {}
    int get() const noexcept { return m_copy.vt == VT_I4 ? static_cast<int>(m_copy.lVal) : 0; }
};
template <> class FxEventArg<short> : FxEventCoerced {
public:
    explicit FxEventArg(VARIANT& v) noexcept : FxEventCoerced(v, VT_I2) {}
    short get() const noexcept { return m_copy.vt == VT_I2 ? m_copy.iVal : 0; }
};
template <> class FxEventArg<const wchar_t*> : FxEventCoerced {
public:
    explicit FxEventArg(VARIANT& v) noexcept : FxEventCoerced(v, VT_BSTR) {}
    const wchar_t* get() const noexcept {
        return m_copy.vt == VT_BSTR && m_copy.bstrVal ? m_copy.bstrVal : L"";
    }
};
template <> class FxEventArg<BSTR> : FxEventCoerced {
public:
    explicit FxEventArg(VARIANT& v) noexcept : FxEventCoerced(v, VT_BSTR) {}
    BSTR get() const noexcept { return m_copy.vt == VT_BSTR ? m_copy.bstrVal : nullptr; }
};

template <> class FxEventArg<VARIANT_BOOL*> {
public:
    explicit FxEventArg(VARIANT& v) noexcept
        : m_value(v.vt == (VT_BYREF | VT_BOOL) && v.pboolVal ? v.pboolVal : &m_spare) {}
    VARIANT_BOOL* get() noexcept { return m_value; }

private:
    VARIANT_BOOL m_spare = VARIANT_FALSE;
    VARIANT_BOOL* m_value;
};

template <> class FxEventArg<BOOL*> {
public:
    explicit FxEventArg(VARIANT& v) noexcept
        : m_target(v.vt == (VT_BYREF | VT_BOOL) ? v.pboolVal : nullptr),
          m_value(m_target && *m_target != VARIANT_FALSE) {}
    ~FxEventArg() {
        if (m_target) *m_target = m_value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    FxEventArg(const FxEventArg&) = delete;
    FxEventArg& operator=(const FxEventArg&) = delete;
    BOOL* get() noexcept { return &m_value; }

private:
    VARIANT_BOOL* m_target;
    BOOL m_value;
};

template <> class FxEventArg<long*> {
public:
    explicit FxEventArg(VARIANT& v) noexcept
        : m_value(v.vt == (VT_BYREF | VT_I4) && v.plVal ? v.plVal : &m_spare) {}
    long* get() noexcept { return m_value; }

private:
    long m_spare = 0;
    long* m_value;
};

template <class T, class C, class... Args, std::size_t... I>
HRESULT FxCallEvent(T* target, void (C::*handler)(Args...), DISPPARAMS* params,
                    std::index_sequence<I...>) {
    // DISPPARAMS holds the arguments last first.
    (void)params;
    (target->*handler)(FxEventArg<Args>(params->rgvarg[params->cArgs - 1 - I]).get()...);
    return S_OK;
}

template <class T, class C, class... Args>
HRESULT FxInvokeEvent(T* target, void (C::*handler)(Args...), DISPPARAMS* params) {
    if (sizeof...(Args) > 0 && (!params || params->cArgs < sizeof...(Args)))
        return DISP_E_BADPARAMCOUNT;
    return FxCallEvent(target, handler, params, std::index_sequence_for<Args...>{});
}

#define DECLARE_EVENTSINK_MAP()                                                                    \
protected:                                                                                         \
    static const FxEventSinkMap* GetThisEventSinkMap();                                            \
    const FxEventSinkMap* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                                   \
    const FxEventSinkMap* theClass::GetEventSinkMap() const {                                      \
        return GetThisEventSinkMap();                                                              \
    }                                                                                              \
    const FxEventSinkMap* theClass::GetThisEventSinkMap() {                                        \
        using TheBaseClass = baseClass;                                                            \
        static const FxEventSinkEntry s_entries[] = {

#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                                      \
    {static_cast<UINT>(id), static_cast<DISPID>(dispid),                                           \
     [](CCmdTarget* fxTarget, DISPPARAMS* fxParams) -> HRESULT {                                   \
         return FxInvokeEvent(static_cast<theClass*>(fxTarget), &pfnHandler, fxParams);            \
     }},

#define END_EVENTSINK_MAP()                                                                        \
    { 0, 0, nullptr }                                                                              \
    }                                                                                              \
    ;                                                                                              \
    static const FxEventSinkMap s_map = {&TheBaseClass::GetThisEventSinkMap, s_entries};           \
    return &s_map;                                                                                 \
    }
