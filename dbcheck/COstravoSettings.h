// The diagnosis tool's settings of the database service, read once at start
// from HKLM\Software\Kobel\TORVA\DBMGR (32-bit view):
//   "PipeName"   pipe "\\.\pipe\<name>"; "vivavudazuva" when missing or empty
//   "RetryCount" polling attempts of a reply; 5 when it cannot be read
//   "RetryTimer" ms per attempt; 200 when it cannot be read
//   "DbPath"     the database folder; the program's folder and "Storage"
//                when missing or empty
// A value of the wrong type, or text longer than 510 characters, counts as
// missing.
#pragma once

#include <windows.h>

#include <string>

namespace ostravo {

class COstravoSettings {
public:
    static constexpr wchar_t kKeyPath[] = L"Software\\Kobel\\TORVA\\DBMGR";
    static constexpr wchar_t kDefaultPipeName[] = L"vivavudazuva";
    static constexpr DWORD kDefaultRetryCount = 5;
    static constexpr DWORD kDefaultRetryTimer = 200;
    // A wait per attempt beyond this (0xFFFFFFFF would be no limit at all)
    // is cut to it: a hung service must not hang the tool.
    static constexpr DWORD kMaxRetryTimer = 60000;
    // The whole wait for one reply, RetryCount attempts of RetryTimer ms, is
    // held to this: the attempts are cut to fit (a count of 0xFFFFFFFF would
    // otherwise never end the poll), so the dialog always answers.
    static constexpr DWORD kMaxReplyWaitMs = 120000;
    static constexpr size_t kMaxText = 510;

    COstravoSettings();

    // The product's key. programFolder: the program's folder, with or
    // without a trailing backslash.
    void Load(const std::wstring& programFolder);
    // The same rules on any key (HKLM with KEY_WOW64_32KEY for the product).
    void LoadFrom(HKEY root, const wchar_t* subKey, REGSAM view, const std::wstring& programFolder);

    const std::wstring& PipePath() const noexcept { return m_pipePath; }
    DWORD RetryCount() const noexcept { return m_retryCount; }
    DWORD RetryTimer() const noexcept { return m_retryTimer; }
    // Without trailing backslashes, as the database library spells its folder.
    const std::wstring& DbPath() const noexcept { return m_dbPath; }

    // For a caller that knows better than the registry (and for tests).
    void SetPipeName(const std::wstring& name);
    void SetRetry(DWORD count, DWORD timerMs) noexcept;
    void SetDbPath(const std::wstring& path);

private:
    std::wstring m_pipePath;
    DWORD m_retryCount;
    DWORD m_retryTimer;
    std::wstring m_dbPath;

    void BoundRetryCount() noexcept;
};

} // namespace ostravo
