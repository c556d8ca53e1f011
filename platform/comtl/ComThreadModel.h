#pragma once
#include <windows.h>
#include <objbase.h>

// Reference-count arithmetic for CComObjectRootEx. An apartment-threaded object
// is only ever touched from its own thread, so its count needs no interlocking;
// an object shared between threads takes the interlocked variant.
struct CComSingleThreadModel {
    static ULONG Increment(LONG* value) noexcept { return static_cast<ULONG>(++*value); }
    static ULONG Decrement(LONG* value) noexcept { return static_cast<ULONG>(--*value); }
};

struct CComMultiThreadModel {
    static ULONG Increment(LONG* value) noexcept {
        return static_cast<ULONG>(::InterlockedIncrement(value));
    }
    static ULONG Decrement(LONG* value) noexcept {
        return static_cast<ULONG>(::InterlockedDecrement(value));
    }
};
