#pragma once
#include <windows.h>
#include <objbase.h>
#include <cstddef>
#include <cstdint>

// One row of a class's interface map: the interface id and the offset of that
// interface's vtable pointer from the start of the object. The map ends with
// a row whose iid is null.
struct ComInterfaceEntry {
    const IID* iid;
    std::ptrdiff_t offset;
};

// Offset of base interface I inside class T, computed without an object; a
// non-zero dummy address keeps static_cast from treating it as null.
template <class T, class I> std::ptrdiff_t ComInterfaceOffset() noexcept {
    constexpr std::uintptr_t dummy = 0x1000;
    T* object = reinterpret_cast<T*>(dummy);
    return static_cast<std::ptrdiff_t>(reinterpret_cast<std::uintptr_t>(static_cast<I*>(object)) -
                                       dummy);
}

// Looks iid up in entries for the object at base. IUnknown answers the first
// row, so every interface of one object gives the same identity. On success
// the returned interface has been AddRef'd; on failure *object is null.
[[nodiscard]] HRESULT ComMapQueryInterface(void* base, const ComInterfaceEntry* entries, REFIID iid,
                                           void** object) noexcept;

// Interface map of class x; the first entry is the object's identity.
#define BEGIN_COM_MAP(x)                                                                           \
    using ComMapClass = x;                                                                         \
    static const ComInterfaceEntry* GetComMapEntries() noexcept {                                  \
        static const ComInterfaceEntry entries[] = {
#define COM_INTERFACE_ENTRY_IID(iid, I) {&iid, ComInterfaceOffset<ComMapClass, I>()},
#define COM_INTERFACE_ENTRY(I) COM_INTERFACE_ENTRY_IID(IID_##I, I)
// An interface reached through an intermediate base, e.g. IDispatch via IStockBar.
#define COM_INTERFACE_ENTRY2(I, Via) {&IID_##I, ComInterfaceOffset<ComMapClass, Via>()},
#define END_COM_MAP()                                                                              \
    { nullptr, 0 }                                                                                 \
    }                                                                                              \
    ;                                                                                              \
    return entries;                                                                                \
    }                                                                                              \
    HRESULT InternalQueryInterface(REFIID iid, void** object) noexcept {                           \
        return ComMapQueryInterface(this, GetComMapEntries(), iid, object);                        \
    }
