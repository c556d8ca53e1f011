#pragma once
#include <windows.h>
#include <oaidl.h>

// The type library stored as resource TYPELIB 1 of module: registered under
// its library id with the module's path, or removed again (removing what is
// not registered succeeds).
[[nodiscard]] HRESULT RegisterModuleTypeLib(HINSTANCE module);
[[nodiscard]] HRESULT UnregisterModuleTypeLib(HINSTANCE module);

// The type information of interface iid from library libid: the registered
// library first, else the TYPELIB resource of module. For a dual interface
// the interface half is returned, the one ITypeInfo::Invoke needs.
[[nodiscard]] HRESULT LoadInterfaceTypeInfo(HINSTANCE module, const GUID& libid, WORD major,
                                            WORD minor, const IID& iid, ITypeInfo** info);
