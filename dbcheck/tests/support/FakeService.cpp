#include "FakeService.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

namespace ostravo::test {
namespace {

// One overlapped operation on the server end, bounded and cut short by stop.
bool Transfer(HANDLE pipe, bool write, void* data, DWORD size, DWORD waitMs, HANDLE stop,
              DWORD& done, DWORD* error = nullptr) {
    done = 0;
    DWORD ignoredError = 0;
    DWORD& lastError = error ? *error : ignoredError;
    lastError = ERROR_SUCCESS;
    torva::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED ov{};
    ov.hEvent = event.get();
    const BOOL ok = write ? ::WriteFile(pipe, data, size, nullptr, &ov)
                          : ::ReadFile(pipe, data, size, nullptr, &ov);
    if (!ok && (lastError = ::GetLastError()) != ERROR_IO_PENDING) return false;
    if (!ok) {
        const HANDLE waits[] = {event.get(), stop};
        if (::WaitForMultipleObjects(2, waits, FALSE, waitMs) != WAIT_OBJECT_0) {
            ::CancelIoEx(pipe, &ov);
            ::GetOverlappedResult(pipe, &ov, &done, TRUE);
            lastError = WAIT_TIMEOUT;
            return false;
        }
    }
    if (::GetOverlappedResult(pipe, &ov, &done, TRUE)) return true;
    lastError = ::GetLastError();
    return false;
}

bool ReadExactly(HANDLE pipe, uint8_t* data, size_t size, HANDLE stop) {
    size_t at = 0;
    while (at < size) {
        DWORD done = 0;
        if (!Transfer(pipe, false, data + at, static_cast<DWORD>(size - at), 5000, stop, done) ||
            done == 0) {
            return false;
        }
        at += done;
    }
    return true;
}

} // namespace

std::wstring UniquePipe() {
    static std::atomic<unsigned> serial{0};
    wchar_t name[96];
    std::swprintf(name, std::size(name), L"ostravo-test-%lu-%lu-%u",
                  static_cast<unsigned long>(::GetCurrentProcessId()),
                  static_cast<unsigned long>(::GetTickCount()), serial.fetch_add(1));
    return name;
}

FakeService::FakeService(const std::wstring& name, Responder responder, bool messageMode,
                         int connections)
    : m_responder(std::move(responder)), m_stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_listening(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    m_thread =
        std::thread(&FakeService::Run, this, L"\\\\.\\pipe\\" + name, messageMode, connections);
    EXPECT_EQ(::WaitForSingleObject(m_listening.get(), 5000), WAIT_OBJECT_0);
}

FakeService::~FakeService() {
    ::SetEvent(m_stop.get());
    if (m_thread.joinable()) m_thread.join();
}

std::vector<std::vector<uint8_t>> FakeService::Requests() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_requests;
}

void FakeService::Run(std::wstring path, bool messageMode, int connections) {
    const DWORD type = messageMode ? PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE
                                   : PIPE_TYPE_BYTE | PIPE_READMODE_BYTE;
    auto create = [&] {
        return torva::UniqueFile(
            ::CreateNamedPipeW(path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                               type | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr));
    };
    torva::UniqueFile next = create();
    ::SetEvent(m_listening.get());
    for (int i = 0; i < connections; ++i) {
        torva::UniqueFile pipe = std::move(next);
        if (!pipe) {
            ADD_FAILURE() << "cannot make the fake service's pipe: " << ::GetLastError();
            return;
        }
        torva::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        OVERLAPPED ov{};
        ov.hEvent = event.get();
        if (!::ConnectNamedPipe(pipe.get(), &ov)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_IO_PENDING) {
                const HANDLE waits[] = {event.get(), m_stop.get()};
                if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
                    ::CancelIoEx(pipe.get(), &ov);
                    DWORD ignored = 0;
                    ::GetOverlappedResult(pipe.get(), &ov, &ignored, TRUE);
                    return;
                }
            } else if (error != ERROR_PIPE_CONNECTED) {
                next = create();
                continue;
            }
        }
        ++m_connections;
        // The next client finds an instance while this one is served.
        if (i + 1 < connections) next = create();
        std::vector<uint8_t> request(16);
        if (ReadExactly(pipe.get(), request.data(), 16, m_stop.get())) {
            uint32_t dataSize = 0;
            std::memcpy(&dataSize, &request[12], 4);
            if (dataSize <= 4096) {
                request.resize(16 + dataSize);
                if (ReadExactly(pipe.get(), request.data() + 16, dataSize, m_stop.get())) {
                    {
                        std::lock_guard<std::mutex> guard(m_mutex);
                        m_requests.push_back(request);
                    }
                    m_responder(pipe.get(), request);
                }
            }
        }
        // Until the client lets go (or the test ends).
        uint8_t sink[64];
        DWORD done = 0, error = 0;
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 20000 &&
               Transfer(pipe.get(), false, sink, sizeof(sink), 20000, m_stop.get(), done, &error)) {
        }
        if (error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) m_clientClosed = true;
        ::DisconnectNamedPipe(pipe.get());
    }
}

bool FakeService::WriteBytes(HANDLE pipe, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> copy = bytes;
    DWORD done = 0;
    torva::UniqueHandle never(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return Transfer(pipe, true, copy.data(), static_cast<DWORD>(copy.size()), 5000, never.get(),
                    done);
}

std::vector<uint8_t> FakeService::Answer(const std::vector<uint8_t>& request, uint32_t status,
                                         uint32_t state) {
    std::vector<uint8_t> reply = request;
    std::memcpy(&reply[8], &status, 4);
    std::memcpy(&reply[reply.size() - 4], &state, 4);
    return reply;
}

} // namespace ostravo::test
