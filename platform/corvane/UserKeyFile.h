// The calling Windows user's secret key for TvrCT_Encrypt/TvrCT_Decrypt: 32
// random bytes made at first use and kept in a file, protected by DPAPI in
// user scope so that only this user on this machine can read them back.
//
// Threads and processes: any number may call Load at once, on one file; a
// named mutex per file serialises first-time creation within the session and
// the file is published by a rename that never replaces, so every caller ends
// up with the one key that reached the disk first.
//
// Crash cases: a process dying while it creates the key leaves at most a
// stray temporary file beside the key file, never a half-written key file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "SecureBuffer.h"

namespace corvane {

class UserKeyFile {
public:
    explicit UserKeyFile(std::wstring path);

    // %APPDATA%\Kobel\Corvane\UserKey.bin of the calling user; creates the
    // folders. TVRCT_E_KEY_UNAVAILABLE when the profile has no such folder.
    [[nodiscard]] static DWORD DefaultPath(std::wstring& path);

    // Reads the key, creating the file first when it does not exist yet.
    // TVRCT_E_KEY_UNAVAILABLE when the file cannot be written, read or
    // unprotected (a damaged or another user's file is never replaced: data
    // sealed under it would be lost for good).
    [[nodiscard]] DWORD Load(SecureBuffer& key) const;

    const std::wstring& Path() const noexcept { return m_path; }

private:
    enum class ReadResult { Read, Missing, Failed };
    [[nodiscard]] ReadResult Read(SecureBuffer& key) const;
    // Load's answer when the file exists (read or not); nothing while it does
    // not, so that Load goes on to create it.
    [[nodiscard]] std::optional<DWORD> ReadExisting(SecureBuffer& key) const;
    [[nodiscard]] DWORD CreateOrAdopt(SecureBuffer& key) const;
    [[nodiscard]] DWORD MutexName(std::wstring& name) const;

    std::wstring m_path;
};

} // namespace corvane
