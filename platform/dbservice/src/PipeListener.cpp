#include "PipeListener.h"

#include "Connection.h"

#include <sddl.h>

#include <chrono>
#include <cwchar>
#include <iterator>
#include <memory>
#include <thread>

namespace dbservice {
namespace {

constexpr DWORD kBufferBytes = 4096;
constexpr unsigned kMaxConnections = 32;

// Every signed-in user may connect and send requests (who they are is read
// from the pipe); only the system and administrators may do more. Generic
// write would include the right to create instances of the pipe, with which
// any user could listen in the service's place, answer an administrator's
// checks and impersonate the clients: users get read and write without it.
constexpr DWORD kUserRights = (FILE_GENERIC_READ | FILE_GENERIC_WRITE) & ~FILE_CREATE_PIPE_INSTANCE;

std::wstring PipeSecurity() {
    wchar_t text[64];
    std::swprintf(text, std::size(text), L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x%lx;;;AU)",
                  static_cast<unsigned long>(kUserRights));
    return text;
}

torva::UniqueFile CreateInstance(const std::wstring& path, bool first) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            PipeSecurity().c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        return torva::UniqueFile();
    }
    torva::UniqueLocalMem owner(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    const DWORD openMode =
        PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    return torva::UniqueFile(
        ::CreateNamedPipeW(path.c_str(), openMode, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                           PIPE_UNLIMITED_INSTANCES, kBufferBytes, kBufferBytes, 0, &attributes));
}

} // namespace

PipeListener::PipeListener(const ServiceOptions& options, const RequestHandler& handler,
                           ExchangeLog& log, HANDLE stop) noexcept
    : m_options(options), m_handler(handler), m_log(log), m_stop(stop) {}

DWORD PipeListener::Run(HANDLE ready) {
    const std::wstring path = L"\\\\.\\pipe\\" + m_options.pipeName;
    torva::UniqueFile listening = CreateInstance(path, true);
    if (!listening) return ::GetLastError();
    if (ready) ::SetEvent(ready);

    torva::UniqueHandle connected(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!connected) return ::GetLastError();
    for (;;) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = connected.get();
        ::ResetEvent(connected.get());
        bool isConnected = ::ConnectNamedPipe(listening.get(), &overlapped) != FALSE;
        if (!isConnected) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_PIPE_CONNECTED) {
                isConnected = true;
            } else if (error == ERROR_IO_PENDING) {
                const HANDLE waits[] = {connected.get(), m_stop};
                if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
                    ::CancelIoEx(listening.get(), &overlapped);
                    DWORD ignored = 0;
                    ::GetOverlappedResult(listening.get(), &overlapped, &ignored, TRUE);
                    break;
                }
                DWORD ignored = 0;
                isConnected =
                    ::GetOverlappedResult(listening.get(), &overlapped, &ignored, FALSE) != FALSE;
            }
        }
        if (!isConnected) {
            // The client went away before it was served: make this instance
            // listen again.
            ::DisconnectNamedPipe(listening.get());
            continue;
        }

        // The next instance listens before this one is handed over.
        torva::UniqueFile next = CreateInstance(path, false);
        while (!next) {
            if (::WaitForSingleObject(m_stop, 50) != WAIT_TIMEOUT) break;
            next = CreateInstance(path, false);
        }
        StartConnection(std::move(listening));
        if (!next) break;
        listening = std::move(next);
    }
    WaitForConnections(10000);
    return ERROR_SUCCESS;
}

void PipeListener::StartConnection(torva::UniqueFile pipe) {
    std::unique_lock<std::mutex> lock(m_mutex);
    // Beyond the limit a new client waits in line (the instance stays
    // connected) rather than the service starting threads without end.
    m_idle.wait(lock, [&] { return m_active < kMaxConnections; });
    ++m_active;
    lock.unlock();
    try {
        auto connection =
            std::make_shared<Connection>(std::move(pipe), m_options, m_handler, m_log, m_stop);
        std::thread([this, connection] {
            connection->Serve();
            std::lock_guard<std::mutex> guard(m_mutex);
            --m_active;
            m_idle.notify_all();
        }).detach();
    } catch (...) {
        std::lock_guard<std::mutex> guard(m_mutex);
        --m_active;
    }
}

void PipeListener::WaitForConnections(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_active == 0; });
}

} // namespace dbservice
