#include "ToolbarList.h"

#include "RegistrySupport.h"

#include <TraceScope.h>

#include <vector>

namespace {

struct SavedValue {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

bool ReadAll(HKEY key, DWORD count, DWORD maxName, DWORD maxData, std::vector<SavedValue>& values) {
    for (DWORD i = 0; i < count; ++i) {
        std::vector<wchar_t> name(maxName + 2);
        std::vector<BYTE> data(maxData + 2);
        DWORD nameChars = static_cast<DWORD>(name.size());
        DWORD dataBytes = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LSTATUS status = ::RegEnumValueW(key, i, name.data(), &nameChars, nullptr, &type,
                                               data.data(), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (PutErrorMessage(status) != ERROR_SUCCESS) return false;
        data.resize(dataBytes);
        values.push_back(SavedValue{std::wstring(name.data(), nameChars), type, std::move(data)});
    }
    return true;
}

void Restore(HKEY key, const std::vector<SavedValue>& values) {
    for (const SavedValue& value : values)
        (void)PutErrorMessage(::RegSetValueExW(key, value.name.c_str(), 0, value.type,
                                               value.data.empty() ? nullptr : value.data.data(),
                                               static_cast<DWORD>(value.data.size())));
}

} // namespace

ToolbarListResult PutBandFirst(HKEY key, const std::wstring& bandName, std::size_t& otherCount) {
    TORVA_TRACE_SCOPE(L"PutBandFirst");
    otherCount = 0;
    DWORD count = 0, maxName = 0, maxData = 0;
    if (PutErrorMessage(::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, &count, &maxName, &maxData, nullptr,
                                           nullptr)) != ERROR_SUCCESS) {
        torvaTraceScope.Text(L"FALSE", __LINE__);
        return ToolbarListResult::Failed;
    }
    std::vector<SavedValue> values;
    if (!ReadAll(key, count, maxName, maxData, values)) {
        torvaTraceScope.Text(L"FALSE", __LINE__);
        return ToolbarListResult::Failed;
    }
    otherCount = values.size();
    for (const SavedValue& value : values)
        if (value.name == bandName) return ToolbarListResult::AlreadyListed;

    // The whole list is in memory: a value that cannot be deleted or
    // written is written again from there, so none is lost.
    for (const SavedValue& value : values)
        (void)PutErrorMessage(::RegDeleteValueW(key, value.name.c_str()));
    const LSTATUS written =
        PutErrorMessage(::RegSetValueExW(key, bandName.c_str(), 0, REG_BINARY, nullptr, 0));
    Restore(key, values);
    if (written != ERROR_SUCCESS) {
        torvaTraceScope.Text(L"FALSE", __LINE__);
        return ToolbarListResult::Failed;
    }
    torvaTraceScope.Text(L"TRUE", __LINE__);
    return ToolbarListResult::PutFirst;
}
