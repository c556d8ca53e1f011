#include "PipeIo.h"

#include "Win32Handles.h"

namespace dbservice {
namespace {

enum class Op { Read, Write };

// One overlapped operation; done receives the bytes moved.
bool Transfer(Op op, HANDLE pipe, void* buffer, DWORD size, DWORD timeoutMs, HANDLE stop,
              DWORD& done) {
    done = 0;
    torva::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return false;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    const BOOL started = op == Op::Read ? ::ReadFile(pipe, buffer, size, nullptr, &overlapped)
                                        : ::WriteFile(pipe, buffer, size, nullptr, &overlapped);
    if (!started && ::GetLastError() != ERROR_IO_PENDING) return false;
    if (!started) {
        const HANDLE waits[] = {event.get(), stop};
        const DWORD count = stop ? 2 : 1;
        if (::WaitForMultipleObjects(count, waits, FALSE, timeoutMs) != WAIT_OBJECT_0) {
            ::CancelIoEx(pipe, &overlapped);
            // Until this returns the system may still write into buffer.
            ::GetOverlappedResult(pipe, &overlapped, &done, TRUE);
            return false;
        }
    }
    return ::GetOverlappedResult(pipe, &overlapped, &done, TRUE) != FALSE;
}

bool Loop(Op op, HANDLE pipe, void* buffer, size_t size, DWORD timeoutMs, HANDLE stop) {
    const DWORD start = ::GetTickCount();
    auto* bytes = static_cast<BYTE*>(buffer);
    size_t at = 0;
    while (at < size) {
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= timeoutMs) return false;
        DWORD done = 0;
        if (!Transfer(op, pipe, bytes + at, static_cast<DWORD>(size - at), timeoutMs - spent, stop,
                      done) ||
            done == 0) {
            return false;
        }
        at += done;
    }
    return true;
}

} // namespace

bool PipeIo::ReadAll(HANDLE pipe, void* buffer, size_t size, DWORD timeoutMs, HANDLE stop) {
    return Loop(Op::Read, pipe, buffer, size, timeoutMs, stop);
}

bool PipeIo::WriteAll(HANDLE pipe, const void* data, size_t size, DWORD timeoutMs, HANDLE stop) {
    return Loop(Op::Write, pipe, const_cast<void*>(data), size, timeoutMs, stop);
}

void PipeIo::WaitForClose(HANDLE pipe, DWORD timeoutMs, HANDLE stop) {
    BYTE sink[64];
    DWORD done = 0;
    // Ends with a broken pipe once the client has closed; anything it sends
    // after its request is not read as a request.
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs &&
           Transfer(Op::Read, pipe, sink, sizeof(sink), timeoutMs - (::GetTickCount() - start),
                    stop, done)) {
    }
}

bool PipeIo::Pause(DWORD ms, HANDLE stop) {
    if (!stop) {
        ::Sleep(ms);
        return true;
    }
    return ::WaitForSingleObject(stop, ms) == WAIT_TIMEOUT;
}

} // namespace dbservice
