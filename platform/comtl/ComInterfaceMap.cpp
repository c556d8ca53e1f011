#include "ComInterfaceMap.h"

HRESULT ComMapQueryInterface(void* base, const ComInterfaceEntry* entries, REFIID iid,
                             void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!entries || !entries[0].iid) return E_NOINTERFACE;
    const ComInterfaceEntry* found = nullptr;
    if (::IsEqualIID(iid, IID_IUnknown)) {
        found = &entries[0];
    } else {
        for (const ComInterfaceEntry* e = entries; e->iid; ++e) {
            if (::IsEqualIID(iid, *e->iid)) {
                found = e;
                break;
            }
        }
    }
    if (!found) return E_NOINTERFACE;
    auto* unknown = reinterpret_cast<IUnknown*>(static_cast<char*>(base) + found->offset);
    unknown->AddRef();
    *object = unknown;
    return S_OK;
}
