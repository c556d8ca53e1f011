// A pipe server in the test process that answers the client as a test
// scripts it: wrong, short, late or missing replies the real service never
// gives, and the bytes of every request it got.
#pragma once

#include "Win32Handles.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ostravo::test {

class FakeService {
public:
    // Gets the connected pipe and the whole request; writes what it likes.
    using Responder = std::function<void(HANDLE pipe, const std::vector<uint8_t>& request)>;

    // Serves up to connections clients one after another on "\\.\pipe\<name>".
    // messageMode: a message-type pipe (the real service's is byte-type).
    FakeService(const std::wstring& name, Responder responder, bool messageMode = false,
                int connections = 1);
    ~FakeService();

    std::vector<std::vector<uint8_t>> Requests();
    int Connections() const noexcept { return m_connections.load(); }
    // True when the client closed its end after the reply (within the wait).
    bool ClientClosed() const noexcept { return m_clientClosed.load(); }

    // Responders' building blocks.
    // False when the client has gone (a late reply after it gave up).
    static bool WriteBytes(HANDLE pipe, const std::vector<uint8_t>& bytes);
    // The request back with status and state set (the real service's reply).
    static std::vector<uint8_t> Answer(const std::vector<uint8_t>& request, uint32_t status,
                                       uint32_t state);

private:
    void Run(std::wstring path, bool messageMode, int connections);

    Responder m_responder;
    torva::UniqueHandle m_stop;
    std::mutex m_mutex;
    std::vector<std::vector<uint8_t>> m_requests;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_clientClosed{false};
    torva::UniqueHandle m_listening;
    std::thread m_thread;
};

// A unique pipe name for one test.
std::wstring UniquePipe();

} // namespace ostravo::test
