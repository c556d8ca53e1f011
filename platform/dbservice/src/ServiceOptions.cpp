#include "ServiceOptions.h"

#include "DatabaseLocation.h"
#include "RegistryText.h"
#include "Win32Handles.h"

#include <cwchar>
#include <cwctype>

namespace dbservice {
namespace {

constexpr wchar_t kDefaultPipe[] = L"vivavudazuva";
constexpr size_t kMaxPipeName = 510;

bool ParseNumber(const wchar_t* text, DWORD& value) {
    if (!text || !*text) return false;
    wchar_t* end = nullptr;
    const unsigned long long parsed = std::wcstoull(text, &end, 10);
    if (*end || parsed > 0xFFFFFFFFull || !std::iswdigit(*text)) return false;
    value = static_cast<DWORD>(parsed);
    return true;
}

// "PipeName" when it is text of a sane length, else the default.
std::wstring RegistryPipeName() {
    torva::UniqueRegKey key;
    std::wstring name;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Kobel\\TORVA\\DBMGR", 0,
                        KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS ||
        !ostravo::RegistryText::Read(key.get(), L"PipeName", kMaxPipeName, name) || name.empty()) {
        return kDefaultPipe;
    }
    return name;
}

} // namespace

bool ServiceOptions::Parse(int argc, wchar_t** argv, std::wstring& error) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const wchar_t* next = i + 1 < argc ? argv[i + 1] : nullptr;
        auto text = [&](std::wstring& out) {
            if (!next) return false;
            out = next;
            ++i;
            return true;
        };
        auto number = [&](DWORD& out) {
            if (!ParseNumber(next, out)) return false;
            ++i;
            return true;
        };
        bool ok = false;
        if (arg == L"--pipe")
            ok = text(pipeName) && !pipeName.empty();
        else if (arg == L"--folder")
            ok = text(folder) && !folder.empty();
        else if (arg == L"--log")
            ok = text(logPath);
        else if (arg == L"--stop-event")
            ok = text(stopEvent);
        else if (arg == L"--ready-event")
            ok = text(readyEvent);
        else if (arg == L"--lock-wait")
            ok = number(lockWaitMs);
        else if (arg == L"--delay")
            ok = number(delayMs);
        else if (arg == L"--short")
            ok = (shortReply = number(shortBytes));
        else if (arg == L"--no-reply")
            ok = noReply = true;
        else if (arg == L"--status")
            ok = (forceStatus = number(status));
        if (!ok) {
            error = L"bad switch: " + arg;
            return false;
        }
    }
    if (pipeName.empty()) pipeName = RegistryPipeName();
    if (folder.empty() && brisbel::DatabaseLocation::Folder(folder) != 0) {
        error = L"no database folder (DBMGR \"DbPath\" or \"Location\")";
        return false;
    }
    // One spelling of the folder, as the database library keeps it.
    while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return true;
}

} // namespace dbservice
