// A child program of the tests whose stdin and stdout are pipes to the test.
// Ending the object closes stdin and, if the child still runs after that,
// terminates it.
#pragma once

#include <windows.h>

#include <string>

#include "Win32Handles.h"

namespace torva::relay::test {

class ChildProcess {
public:
    // commandLine is passed as given; the program is looked up by CreateProcess.
    explicit ChildProcess(const std::wstring& commandLine);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const noexcept { return static_cast<bool>(m_process); }
    HANDLE Process() const noexcept { return m_process.get(); }
    // The next line of stdout without its end, or empty when none comes
    // within timeoutMs or the child ended.
    std::string ReadLine(DWORD timeoutMs);
    void Kill();

private:
    UniqueHandle m_process;
    UniqueHandle m_stdinWrite;
    UniqueHandle m_stdoutRead;
    std::string m_pending;
};

} // namespace torva::relay::test
