#include "CRegistrar.h"
#include <new>
#include <Win32Handles.h>

namespace {

HRESULT FromStatus(LSTATUS status) {
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

HRESULT SetValue(HKEY key, const RegScriptValue& value) {
    const wchar_t* name = value.name.empty() ? nullptr : value.name.c_str();
    if (value.type == REG_DWORD)
        return FromStatus(::RegSetValueExW(key, name, 0, REG_DWORD,
                                           reinterpret_cast<const BYTE*>(&value.number),
                                           sizeof(value.number)));
    const DWORD bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
    return FromStatus(::RegSetValueExW(key, name, 0, value.type,
                                       reinterpret_cast<const BYTE*>(value.text.c_str()), bytes));
}

HRESULT RegisterKey(HKEY parent, const RegScriptKey& key) {
    if (key.removal == RegScriptKey::Removal::ForceRemove) {
        const LSTATUS status = ::RegDeleteTreeW(parent, key.name.c_str());
        if (status == ERROR_SUCCESS) (void)::RegDeleteKeyW(parent, key.name.c_str());
    }
    torva::UniqueRegKey opened;
    HRESULT hr =
        FromStatus(::RegCreateKeyExW(parent, key.name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                     nullptr, opened.put(), nullptr));
    if (FAILED(hr)) return hr;
    for (const RegScriptValue& value : key.values)
        if (FAILED(hr = SetValue(opened.get(), value))) return hr;
    for (const RegScriptKey& sub : key.subkeys)
        if (FAILED(hr = RegisterKey(opened.get(), sub))) return hr;
    return S_OK;
}

bool IsGone(LSTATUS status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

HRESULT UnregisterKey(HKEY parent, const RegScriptKey& key) {
    if (key.removal == RegScriptKey::Removal::ForceRemove) {
        const LSTATUS status = ::RegDeleteTreeW(parent, key.name.c_str());
        if (status != ERROR_SUCCESS && !IsGone(status)) return FromStatus(status);
        const LSTATUS deleted = ::RegDeleteKeyW(parent, key.name.c_str());
        return IsGone(deleted) ? S_OK : FromStatus(deleted);
    }
    torva::UniqueRegKey opened;
    const LSTATUS status =
        ::RegOpenKeyExW(parent, key.name.c_str(), 0, KEY_READ | KEY_WRITE, opened.put());
    if (IsGone(status)) return S_OK;
    if (status != ERROR_SUCCESS) return FromStatus(status);
    HRESULT result = S_OK;
    for (const RegScriptKey& sub : key.subkeys) {
        const HRESULT hr = UnregisterKey(opened.get(), sub);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr; // keep removing what can go
    }
    for (const RegScriptValue& value : key.values) {
        if (value.name.empty()) continue; // the default value goes with its key
        const LSTATUS removed = ::RegDeleteValueW(opened.get(), value.name.c_str());
        if (removed != ERROR_SUCCESS && !IsGone(removed) && SUCCEEDED(result))
            result = FromStatus(removed);
    }
    if (key.removal == RegScriptKey::Removal::NoRemove) return result;
    // Someone else's sub keys below a plain key keep it alive.
    DWORD subkeys = 0;
    if (::RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        subkeys != 0)
        return result;
    opened.reset();
    const LSTATUS deleted = ::RegDeleteKeyW(parent, key.name.c_str());
    if (!IsGone(deleted) && deleted != ERROR_SUCCESS && SUCCEEDED(result))
        result = FromStatus(deleted);
    return result;
}

HRESULT UnregisterRoots(const std::vector<RegScriptRoot>& roots) {
    HRESULT result = S_OK;
    for (const RegScriptRoot& root : roots)
        for (const RegScriptKey& key : root.keys) {
            const HRESULT hr = UnregisterKey(root.root, key);
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    return result;
}

} // namespace

HRESULT CRegistrar::ApplyScript(const std::wstring& text, bool registering) {
    std::wstring substituted;
    std::vector<RegScriptRoot> roots;
    try {
        if (!SubstituteRegScript(text, m_variables, substituted) ||
            !ParseRegScript(substituted, roots))
            return DISP_E_EXCEPTION;
        if (!registering) return UnregisterRoots(roots);
        for (const RegScriptRoot& root : roots)
            for (const RegScriptKey& key : root.keys) {
                const HRESULT hr = RegisterKey(root.root, key);
                if (FAILED(hr)) {
                    (void)UnregisterRoots(roots);
                    return hr;
                }
            }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CRegistrar::ApplyResource(HINSTANCE module, UINT id, bool registering) {
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    if (!found) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    const HGLOBAL loaded = ::LoadResource(module, found);
    const auto* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    const DWORD size = ::SizeofResource(module, found);
    if (!bytes) return E_FAIL;
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), nullptr, 0);
    std::wstring text;
    try {
        text.assign(static_cast<size_t>(length), L'\0');
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (length > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), text.data(), length);
    // An editor's byte-order mark and a terminating zero are no part of the script.
    if (!text.empty() && text.front() == L'\xFEFF') text.erase(0, 1);
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return ApplyScript(text, registering);
}
