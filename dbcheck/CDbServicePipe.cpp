#include "CDbServicePipe.h"

#include "DbInitCommand.h"
#include "DbServiceRecord.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ostravo {
namespace {

// A record of a code, zeroed, with the own process id, the code and the
// data size filled in.
std::vector<BYTE> NewRecord(uint32_t code) {
    std::vector<BYTE> record(DbsvcRecordSize(code), 0);
    DbsvcHeader header{};
    header.processId = ::GetCurrentProcessId();
    header.code = code;
    header.dataSize = static_cast<uint32_t>(record.size() - sizeof(DbsvcHeader));
    std::memcpy(record.data(), &header, sizeof(header));
    return record;
}

// Copies text into a 512-character field with its terminator; false when
// it does not fit (a cut path would name another folder).
bool PutText(std::vector<BYTE>& record, size_t offset, const std::wstring& text) {
    if (text.size() >= kDbsvcTextChars) return false;
    std::memcpy(record.data() + offset, text.data(), text.size() * sizeof(wchar_t));
    return true;
}

uint32_t Field(const std::vector<BYTE>& record, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, record.data() + offset, sizeof(value));
    return value;
}

// Cancels a pending operation and waits until the system is done with its
// buffer and OVERLAPPED.
void CancelAndWait(HANDLE pipe, OVERLAPPED& overlapped) {
    ::CancelIoEx(pipe, &overlapped);
    DWORD ignored = 0;
    ::GetOverlappedResult(pipe, &overlapped, &ignored, TRUE);
}

} // namespace

torva::UniqueHandle CDbServicePipe::CreateReadEvent() const {
    return torva::UniqueHandle(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

torva::UniqueFile CDbServicePipe::Open() const {
    const std::wstring& path = m_settings.PipePath();
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        // The service may learn who we are, never act as us.
        torva::UniqueFile pipe(::CreateFileW(
            path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
            OPEN_EXISTING, FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
            nullptr));
        if (pipe) return pipe;
        if (::GetLastError() != ERROR_PIPE_BUSY) break;
        ::WaitNamedPipeW(path.c_str(), kBusyWaitMs);
    }
    return torva::UniqueFile();
}

BOOL CDbServicePipe::Write(HANDLE pipe, const BYTE* bytes, DWORD count, DWORD& written) const {
    written = 0;
    // The pipe is opened for overlapped use: every write needs an OVERLAPPED.
    torva::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return FALSE;
    while (written < count) {
        const DWORD piece = std::min(count - written, kWritePiece);
        OVERLAPPED overlapped{};
        overlapped.hEvent = event.get();
        ::ResetEvent(event.get());
        DWORD done = 0;
        if (!::WriteFile(pipe, bytes + written, piece, nullptr, &overlapped)) {
            if (::GetLastError() != ERROR_IO_PENDING) return FALSE;
            if (::WaitForSingleObject(event.get(), kWriteTimeoutMs) != WAIT_OBJECT_0) {
                CancelAndWait(pipe, overlapped);
                return FALSE;
            }
        }
        if (!::GetOverlappedResult(pipe, &overlapped, &done, TRUE) || done == 0) return FALSE;
        written += done;
    }
    return TRUE;
}

BOOL CDbServicePipe::Read(HANDLE pipe, BYTE* buffer, DWORD count, DWORD& read,
                          OVERLAPPED& overlapped) const {
    read = 0;
    if (!overlapped.hEvent) return FALSE;
    ::ResetEvent(overlapped.hEvent);
    DWORD done = 0;
    // ERROR_MORE_DATA (a message longer than the record) fails like any
    // other error: what was read is not this request's reply.
    BOOL ok = ::ReadFile(pipe, buffer, count, &done, &overlapped);
    if (!ok) {
        if (::GetLastError() != ERROR_IO_PENDING) return FALSE;
        bool pending = true;
        // One look after every wait, the last included: a reply that comes
        // within RetryCount x RetryTimer ms is taken.
        for (DWORD attempt = 0; pending && attempt <= m_settings.RetryCount(); ++attempt) {
            if (::GetOverlappedResult(pipe, &overlapped, &done, FALSE)) {
                ok = TRUE;
                pending = false;
            } else if (::GetLastError() != ERROR_IO_INCOMPLETE) {
                pending = false;
            } else if (attempt < m_settings.RetryCount()) {
                ::WaitForSingleObject(overlapped.hEvent, m_settings.RetryTimer());
            }
        }
        if (pending) {
            CancelAndWait(pipe, overlapped);
            return FALSE;
        }
    }
    read = done;
    return ok && done == count;
}

DWORD CDbServicePipe::Exchange(uint32_t code, const std::wstring* folder, const std::wstring* name,
                               DWORD* state) {
    if (state) *state = DBSVC_RESULT_NO_ANSWER;
    const torva::UniqueHandle event = CreateReadEvent();
    if (!event) return DBSVC_RESULT_NO_ANSWER;

    std::vector<BYTE> request = NewRecord(code);
    if (folder && name &&
        (!PutText(request, offsetof(DbsvcNamedRecord, folder), *folder) ||
         !PutText(request, offsetof(DbsvcNamedRecord, name), *name))) {
        return DBSVC_RESULT_NO_ANSWER;
    }

    const torva::UniqueFile pipe = Open();
    if (!pipe) return DBSVC_RESULT_NO_ANSWER;
    const auto size = static_cast<DWORD>(request.size());
    DWORD written = 0;
    if (!Write(pipe.get(), request.data(), size, written) || written != size) {
        return DBSVC_RESULT_NO_ANSWER;
    }

    // The reply gets a buffer of its own: nothing of the request can pass
    // for an answer when the reply does not come whole.
    std::vector<BYTE> reply(request.size(), 0);
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    DWORD read = 0;
    if (!Read(pipe.get(), reply.data(), size, read, overlapped)) return DBSVC_RESULT_NO_ANSWER;
    if (Field(reply, offsetof(DbsvcHeader, code)) != code ||
        Field(reply, offsetof(DbsvcHeader, dataSize)) !=
            Field(request, offsetof(DbsvcHeader, dataSize))) {
        return DBSVC_RESULT_NO_ANSWER;
    }

    const DWORD status = Field(reply, offsetof(DbsvcHeader, status));
    if (state && status == DBSVC_STATUS_DONE)
        *state = Field(reply, reply.size() - sizeof(uint32_t));
    return status;
}

DWORD CDbServicePipe::CheckUserDb(DWORD& state) {
    return Exchange(DBSVC_CHECK_USERDB, nullptr, nullptr, &state);
}

DWORD CDbServicePipe::CheckDb(DWORD& state, const std::wstring& folder, const std::wstring& name) {
    return Exchange(DBSVC_CHECK_DB, &folder, &name, &state);
}

DWORD CDbServicePipe::InitUserDb() {
    return Exchange(DBSVC_INIT_USERDB, nullptr, nullptr, nullptr);
}

DWORD CDbServicePipe::InitDb(const std::wstring& folder, const std::wstring& name) {
    return Exchange(DBSVC_INIT_DB, &folder, &name, nullptr);
}

DWORD CDbServicePipe::RunDbInit() const {
    DbInitCommand command;
    if (!DbInitCommand::Build(m_settings.DbPath(), command)) return ERROR_BAD_PATHNAME;
    return command.Run(kDbInitWaitMs);
}

} // namespace ostravo
