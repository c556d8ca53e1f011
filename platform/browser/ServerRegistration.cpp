#include "ServerRegistration.h"

#include <Win32Handles.h>
#include <olectl.h>

namespace torva::browser {

namespace ServerRegistration {

const wchar_t kClassKey[] = L"CLSID\\{8856F961-340A-11D0-A96B-00C04FD705A2}";

namespace {

const wchar_t kClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";
const wchar_t kName[] = L"Web Browser";

[[nodiscard]] HRESULT SetValue(HKEY root, const std::wstring& key, const wchar_t* name,
                               const std::wstring& value) {
    UniqueRegKey k;
    LONG rc =
        RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.put(), nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    rc = RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(rc);
}

} // namespace

HRESULT Register(HKEY root, const std::wstring& dllPath) {
    const std::wstring cls = kClassKey;
    const struct {
        std::wstring key;
        const wchar_t* name;
        std::wstring value;
    } entries[] = {
        {cls, nullptr, kName},
        {cls + L"\\InprocServer32", nullptr, dllPath},
        {cls + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {cls + L"\\ProgID", nullptr, L"Shell.Explorer.2"},
        {cls + L"\\VersionIndependentProgID", nullptr, L"Shell.Explorer"},
        {cls + L"\\Control", nullptr, L""},
        {L"Shell.Explorer.2", nullptr, kName},
        {L"Shell.Explorer.2\\CLSID", nullptr, kClsid},
        {L"Shell.Explorer", nullptr, kName},
        {L"Shell.Explorer\\CLSID", nullptr, kClsid},
        {L"Shell.Explorer\\CurVer", nullptr, L"Shell.Explorer.2"},
    };
    for (const auto& e : entries) {
        const HRESULT hr = SetValue(root, e.key, e.name, e.value);
        if (FAILED(hr)) return hr == HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED) ? SELFREG_E_CLASS : hr;
    }
    return S_OK;
}

std::wstring RegisteredServer(HKEY root) {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = sizeof path - sizeof(wchar_t);
    const std::wstring key = std::wstring(kClassKey) + L"\\InprocServer32";
    if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) !=
        ERROR_SUCCESS)
        return {};
    return path;
}

HRESULT Unregister(HKEY root, const std::wstring& dllPath) {
    if (_wcsicmp(RegisteredServer(root).c_str(), dllPath.c_str()) != 0) return S_FALSE;
    const std::wstring key = std::wstring(kClassKey) + L"\\InprocServer32";
    const LONG rc = RegDeleteTreeW(root, key.c_str());
    return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc);
}

} // namespace ServerRegistration

} // namespace torva::browser
