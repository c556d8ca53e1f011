#include "ChildProcess.h"

#include <vector>

namespace torva::relay::test {

ChildProcess::ChildProcess(const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE stdinRead = nullptr, stdinWrite = nullptr, stdoutRead = nullptr, stdoutWrite = nullptr;
    if (!::CreatePipe(&stdinRead, &stdinWrite, &inherit, 0)) return;
    UniqueHandle childIn(stdinRead);
    m_stdinWrite.reset(stdinWrite);
    if (!::CreatePipe(&stdoutRead, &stdoutWrite, &inherit, 0)) return;
    UniqueHandle childOut(stdoutWrite);
    m_stdoutRead.reset(stdoutRead);
    ::SetHandleInformation(m_stdinWrite.get(), HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(m_stdoutRead.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childIn.get();
    startup.hStdOutput = childOut.get();
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return;
    }
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
}

ChildProcess::~ChildProcess() {
    m_stdinWrite.reset();
    if (m_process && ::WaitForSingleObject(m_process.get(), 5000) != WAIT_OBJECT_0) Kill();
}

void ChildProcess::Kill() {
    if (!m_process) return;
    ::TerminateProcess(m_process.get(), 9);
    ::WaitForSingleObject(m_process.get(), 10000);
}

std::string ChildProcess::ReadLine(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const size_t end = m_pending.find('\n');
        if (end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        DWORD available = 0;
        if (!::PeekNamedPipe(m_stdoutRead.get(), nullptr, 0, nullptr, &available, nullptr))
            return std::string();
        if (available) {
            char buffer[256];
            DWORD read = 0;
            if (!::ReadFile(m_stdoutRead.get(), buffer, sizeof buffer, &read, nullptr) || !read)
                return std::string();
            m_pending.append(buffer, read);
            continue;
        }
        if (::GetTickCount() - start > timeoutMs) return std::string();
        ::Sleep(20);
    }
}

} // namespace torva::relay::test
