// Where the installed product keeps its databases, and which names the
// exported calls accept.
#pragma once

#include <windows.h>

#include <string>

namespace brisbel {

class DatabaseLocation {
public:
    // The database folder, created when missing: HKLM\SOFTWARE\Kobel\TORVA\DBMGR
    // "DbPath" when set, else HKLM\SOFTWARE\Kobel\TORVA "Location" + "\Storage"
    // (both in the 32-bit registry view). TVRDB_E_NO_DATABASE when neither is set.
    [[nodiscard]] static DWORD Folder(std::wstring& folder);

    // The calling user's SID as text (the thread's token when it impersonates).
    [[nodiscard]] static DWORD CurrentUserSid(std::wstring& sid);

    // A database name must be usable as a file name in the folder: not
    // empty, no path or wildcard characters, no control characters, at most
    // kMaxNameLength characters.
    [[nodiscard]] static DWORD CheckName(const wchar_t* name);
    static constexpr size_t kMaxNameLength = 200;

private:
    [[nodiscard]] static DWORD ReadString(const wchar_t* subKey, const wchar_t* value,
                                          std::wstring& text);
    [[nodiscard]] static DWORD CreateFolder(const std::wstring& folder);
};

} // namespace brisbel
