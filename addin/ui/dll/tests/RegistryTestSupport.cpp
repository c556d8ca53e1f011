#include "RegistryTestSupport.h"

#include <shellapi.h>

namespace module_tests {

StoredValue TextValue(const std::wstring& text, DWORD type) {
    StoredValue value;
    value.type = type;
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    value.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    return value;
}

StoredValue BinaryValue(const std::vector<BYTE>& bytes) {
    return StoredValue{REG_BINARY, bytes};
}

std::optional<ValueSet> ReadValues(HKEY root, const std::wstring& path) {
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    ValueSet values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameChars = 512;
        std::vector<BYTE> data(8192);
        DWORD bytes = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (::RegEnumValueW(key.get(), i, name, &nameChars, nullptr, &type, data.data(), &bytes) !=
            ERROR_SUCCESS)
            break;
        data.resize(bytes);
        values[std::wstring(name, nameChars)] = StoredValue{type, data};
    }
    return values;
}

std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameChars = 512;
        if (::RegEnumValueW(key.get(), i, name, &nameChars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, nameChars);
    }
    return names;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    torva::UniqueRegKey key;
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void WriteValue(HKEY root, const std::wstring& path, const std::wstring& name,
                const StoredValue& value) {
    torva::UniqueRegKey key;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key.get(), name.c_str(), 0, value.type,
                     value.data.empty() ? nullptr : value.data.data(),
                     static_cast<DWORD>(value.data.size()));
}

std::optional<StoredValue> ReadValue(HKEY root, const std::wstring& path,
                                     const std::wstring& name) {
    const std::optional<ValueSet> values = ReadValues(root, path);
    if (!values) return std::nullopt;
    const auto found = values->find(name);
    if (found == values->end()) return std::nullopt;
    return found->second;
}

std::optional<std::wstring> Text(HKEY root, const std::wstring& path, const std::wstring& name) {
    const std::optional<StoredValue> value = ReadValue(root, path, name);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
    std::wstring text(reinterpret_cast<const wchar_t*>(value->data.data()),
                      value->data.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

void RestoreValues(HKEY root, const std::wstring& path, const std::optional<ValueSet>& snapshot) {
    if (!snapshot) {
        ::RegDeleteTreeW(root, path.c_str());
        ::RegDeleteKeyW(root, path.c_str());
        return;
    }
    torva::UniqueRegKey key;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS)
        return;
    const std::optional<ValueSet> now = ReadValues(root, path);
    if (now)
        for (const auto& [name, value] : *now)
            if (!snapshot->count(name)) ::RegDeleteValueW(key.get(), name.c_str());
    for (const auto& [name, value] : *snapshot)
        ::RegSetValueExW(key.get(), name.c_str(), 0, value.type,
                         value.data.empty() ? nullptr : value.data.data(),
                         static_cast<DWORD>(value.data.size()));
}

ScratchKey::ScratchKey(const std::wstring& name)
    : m_path(L"Software\\TorvaTests\\QuorvelModule\\" + name + L"." +
             std::to_wstring(::GetCurrentProcessId())) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    torva::UniqueRegKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      key.put(), nullptr);
}

ScratchKey::~ScratchKey() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
    // The common parent goes once no test uses it any more.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TorvaTests\\QuorvelModule");
}

namespace {

void RemoveFolder(const std::wstring& path) {
    std::wstring from = path;
    from.push_back(L'\0'); // the list ends in two terminators
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
}

} // namespace

TempFolder::TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_path =
        std::wstring(temp) + L"quorvel-" + name + L"." + std::to_wstring(::GetCurrentProcessId());
    RemoveFolder(m_path);
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    RemoveFolder(m_path);
}

std::wstring TempFolder::MakeSub(const std::wstring& name) const {
    const std::wstring path = m_path + L"\\" + name;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

} // namespace module_tests
