#include "TypeLibRegistration.h"
#include <string>
#include "CComPtr.h"

namespace {

HRESULT ModulePath(HINSTANCE module, std::wstring& path) {
    wchar_t buffer[MAX_PATH]{};
    const DWORD length = ::GetModuleFileNameW(module, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_BAD_PATHNAME);
    path.assign(buffer, length);
    return S_OK;
}

HRESULT LoadModuleTypeLib(HINSTANCE module, ITypeLib** lib, std::wstring& path) {
    HRESULT hr = ModulePath(module, path);
    if (FAILED(hr)) return hr;
    return ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib);
}

} // namespace

HRESULT RegisterModuleTypeLib(HINSTANCE module) {
    CComPtr<ITypeLib> lib;
    std::wstring path;
    HRESULT hr = LoadModuleTypeLib(module, &lib, path);
    if (FAILED(hr)) return hr;
    return ::RegisterTypeLib(lib, path.data(), nullptr);
}

HRESULT UnregisterModuleTypeLib(HINSTANCE module) {
    CComPtr<ITypeLib> lib;
    std::wstring path;
    HRESULT hr = LoadModuleTypeLib(module, &lib, path);
    if (FAILED(hr)) return hr;
    TLIBATTR* attr = nullptr;
    if (FAILED(hr = lib->GetLibAttr(&attr))) return hr;
    const TLIBATTR copy = *attr;
    lib->ReleaseTLibAttr(attr);
    // Already gone: nothing to do (the system's own call fails on that).
    BSTR registeredPath = nullptr;
    if (FAILED(::QueryPathOfRegTypeLib(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid,
                                       &registeredPath)))
        return S_OK;
    ::SysFreeString(registeredPath);
    return ::UnRegisterTypeLib(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid,
                               copy.syskind);
}

HRESULT LoadInterfaceTypeInfo(HINSTANCE module, const GUID& libid, WORD major, WORD minor,
                              const IID& iid, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    CComPtr<ITypeLib> lib;
    HRESULT hr = ::LoadRegTypeLib(libid, major, minor, LOCALE_NEUTRAL, &lib);
    if (FAILED(hr)) {
        std::wstring path;
        if (FAILED(hr = LoadModuleTypeLib(module, &lib, path))) return hr;
    }
    CComPtr<ITypeInfo> found;
    if (FAILED(hr = lib->GetTypeInfoOfGuid(iid, &found))) return hr;
    TYPEATTR* attr = nullptr;
    if (FAILED(hr = found->GetTypeAttr(&attr))) return hr;
    const bool dualDispatch =
        attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
    found->ReleaseTypeAttr(attr);
    if (dualDispatch) {
        HREFTYPE ref = 0;
        CComPtr<ITypeInfo> vtablePart;
        if (SUCCEEDED(found->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) &&
            SUCCEEDED(found->GetRefTypeInfo(ref, &vtablePart)))
            found = vtablePart;
    }
    *info = found.Detach();
    return S_OK;
}
