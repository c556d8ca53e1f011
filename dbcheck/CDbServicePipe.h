// The diagnosis tool's client of the database service: one request and one
// reply per exchange, each on a connection of its own.
//
// Results of the four requests are the reply's status, or
// DBSVC_RESULT_NO_ANSWER (3) when no usable reply was had: no pipe, a write
// that did not go through, a read that failed, came short or overlong, or
// did not finish within RetryCount attempts of RetryTimer ms, or a reply
// whose code or size is not the request's. A check's state is the reply's
// state when the status is 0, else 3 (damaged).
//
// Holds no state of its own; the settings object outlives it. Runs on the
// calling thread and returns when the exchange is over.
#pragma once

#include "COstravoSettings.h"
#include "Win32Handles.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace ostravo {

class CDbServicePipe {
public:
    explicit CDbServicePipe(const COstravoSettings& settings) noexcept : m_settings(settings) {}
    virtual ~CDbServicePipe() = default;
    CDbServicePipe(const CDbServicePipe&) = delete;
    CDbServicePipe& operator=(const CDbServicePipe&) = delete;

    // Up to five tries; a busy pipe is waited for up to 1000 ms each time.
    [[nodiscard]] torva::UniqueFile Open() const;
    // All count bytes in pieces of at most 1024, each write overlapped and
    // waited for at most kWriteTimeoutMs. TRUE when everything was written.
    [[nodiscard]] BOOL Write(HANDLE pipe, const BYTE* bytes, DWORD count, DWORD& written) const;
    // One overlapped read of count bytes; overlapped.hEvent must be an
    // event. TRUE only when exactly count bytes arrived in time. A read
    // still pending at the end is cancelled, and waited for before this
    // returns, so buffer and overlapped may go right after.
    [[nodiscard]] BOOL Read(HANDLE pipe, BYTE* buffer, DWORD count, DWORD& read,
                            OVERLAPPED& overlapped) const;

    [[nodiscard]] DWORD CheckUserDb(DWORD& state);
    [[nodiscard]] DWORD CheckDb(DWORD& state, const std::wstring& folder, const std::wstring& name);
    [[nodiscard]] DWORD InitUserDb();
    [[nodiscard]] DWORD InitDb(const std::wstring& folder, const std::wstring& name);

    // Starts "TvrDBInit.exe" from the parent of DbPath and waits up to
    // 5000 ms for it. ERROR_SUCCESS when it was started; not started (and
    // ERROR_BAD_PATHNAME) when DbPath has no parent or is not a full path.
    DWORD RunDbInit() const;

    static constexpr int kOpenTries = 5;
    static constexpr DWORD kBusyWaitMs = 1000;
    static constexpr DWORD kWritePiece = 1024;
    static constexpr DWORD kWriteTimeoutMs = 5000;
    static constexpr DWORD kDbInitWaitMs = 5000;

protected:
    // The event of the reply's read (auto-reset, not signalled). A seam for
    // the tests of a failed creation.
    virtual torva::UniqueHandle CreateReadEvent() const;

private:
    // folder and name only for codes 14 and 16; state only for 13 and 14.
    DWORD Exchange(uint32_t code, const std::wstring* folder, const std::wstring* name,
                   DWORD* state);

    const COstravoSettings& m_settings;
};

} // namespace ostravo
