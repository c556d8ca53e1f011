#include "MemoryBench.h"

#include "BenchEntry.h"
#include "OptionKeyBackup.h"

#include "AutoAnswer.h"
#include "CExpData.h"
#include "InstallFolder.h"
#include "ProgramFolder.h"
#include "Win32Handles.h"

#include <psapi.h>

#include <fstream>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr wchar_t kClassKey[] = L"CLSID\\{B26980BD-C1E7-4153-82C3-FB2CEC27657A}";
constexpr wchar_t kUserToolbar[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr wchar_t kGoOn[] = L"Quorvel bench: go on";
constexpr wchar_t kEnd[] = L"Quorvel bench: end";

bool KeyExists(HKEY root, const wchar_t* path) {
    torva::UniqueRegKey key;
    return ::RegOpenKeyExW(root, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

DWORD Run(const std::wstring& commandLine) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return static_cast<DWORD>(-1);
    torva::UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0)
        return static_cast<DWORD>(-1);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    return code;
}

DWORD Regsvr32(const std::wstring& module, bool unregister) {
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    return Run(L"\"" + std::wstring(system) + L"\\regsvr32.exe\" /s " +
               (unregister ? L"/u " : L"") + L"\"" + module + L"\"");
}

// Quorvel.dll registered for the run, unregistered after it unless it was
// registered before; the user's toolbar key goes again if the run made it.
class Registration {
public:
    explicit Registration(std::wstring module) : m_module(std::move(module)) {
        m_wasRegistered = KeyExists(HKEY_CLASSES_ROOT, kClassKey);
        m_hadUserToolbar = KeyExists(HKEY_CURRENT_USER, kUserToolbar);
        m_ok = m_wasRegistered || Regsvr32(m_module, false) == 0;
    }
    ~Registration() {
        if (m_wasRegistered) return;
        (void)Regsvr32(m_module, true);
        if (!m_hadUserToolbar) ::RegDeleteTreeW(HKEY_CURRENT_USER, kUserToolbar);
    }
    bool Ok() const noexcept { return m_ok; }

private:
    std::wstring m_module;
    bool m_wasRegistered = false;
    bool m_hadUserToolbar = false;
    bool m_ok = false;
};

std::string Utf8(const std::wstring& text) {
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    if (size > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

// The script's lines; gateLine and endLine are the numbers (from 1) of the
// last step before each wait.
std::string MakeScript(const std::wstring& page, int few, int many, int& gateLine, int& endLine) {
    std::string script;
    int line = 0;
    const std::string user = Utf8(kUser);
    auto loads = [&](int count) {
        for (int i = 0; i < count; ++i) {
            script += "open \"" + Utf8(page) + "\"\n";
            script += "wait-page login.html 20000\n";
            script += "wait-value user " + user + " 20000\n";
            line += 3;
        }
    };
    loads(few);
    gateLine = line;
    script += "wait-window \"" + Utf8(kGoOn) + "\" 600000\n";
    ++line;
    loads(many - few);
    endLine = line;
    script += "wait-window \"" + Utf8(kEnd) + "\" 600000\n";
    script += "quit\n";
    return script;
}

// True once the log shows line `line` done; false when the browser ended
// or the time ran out (why says which).
bool WaitForLine(HANDLE process, const std::wstring& log, int line, DWORD timeoutMs,
                 std::wstring& why) {
    const std::string done = "ok " + std::to_string(line) + ":";
    const DWORD start = ::GetTickCount();
    for (;;) {
        std::ifstream in(log.c_str(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        if (text.find(done) != std::string::npos) return true;
        if (text.find("FAIL") != std::string::npos) {
            why = L"the script failed: see " + log;
            return false;
        }
        if (::WaitForSingleObject(process, 200) == WAIT_OBJECT_0) {
            why = L"the browser ended early: see " + log;
            return false;
        }
        if (::GetTickCount() - start > timeoutMs) {
            why = L"timed out waiting for script line " + std::to_wstring(line);
            return false;
        }
    }
}

// PrivateUsage; Wine fills only the basic counters (cb comes back as
// their size) and leaves it 0, so there the commit charge in PagefileUsage,
// which is the same private memory, stands in. source says which was read.
SIZE_T PrivateBytes(HANDLE process, const wchar_t*& source) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters))
        return 0;
    source = L"PrivateUsage";
    if (counters.PrivateUsage) return counters.PrivateUsage;
    source = L"PagefileUsage";
    return counters.PagefileUsage;
}

// The sum of the committed MEM_PRIVATE regions over the whole address space.
SIZE_T CommittedPrivateBytes(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr;
         ::VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return total;
}

torva::UniqueWindow Signal(const wchar_t* title) {
    return torva::UniqueWindow(::CreateWindowExW(0, L"STATIC", title, WS_POPUP, 0, 0, 10, 10,
                                                 nullptr, nullptr, nullptr, nullptr));
}

} // namespace

MemoryResult RunMemoryBench(int few, int many) {
    MemoryResult result;
    const std::wstring folder = torva::InstallFolder();
    if (folder.empty()) {
        result.why = L"no install folder (Location)";
        return result;
    }
    const std::wstring browser = folder + L"iexplore.exe";
    if (::GetFileAttributesW(browser.c_str()) == INVALID_FILE_ATTRIBUTES) {
        result.why = L"no " + browser;
        return result;
    }
    CExpData store;
    OptionKeyBackup options;
    if (!options.Saved()) {
        result.why = L"the options could not be saved";
        return result;
    }
    CDataOption allow;
    allow.m_nSetAuto = 1;
    allow.m_nCheckSet = 1;
    allow.m_nHidePwd = 1;
    options.Write(allow);
    const std::wstring page = PagePath(L"login.html");
    const StoredLogin entry(store, page);
    if (!entry.Stored()) {
        result.why = L"the entry could not be stored";
        return result;
    }
    const Registration registration(folder + L"Quorvel.dll");
    if (!registration.Ok()) {
        result.why = L"regsvr32 Quorvel.dll failed";
        return result;
    }
    const peltrix::test::AutoAnswer pin(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    if (!pin.Applied()) {
        result.why = L"the PIN cannot be answered (another PIN is set)";
        return result;
    }

    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring scriptPath = std::wstring(temp) + L"quorvel-bench-script.txt";
    const std::wstring logPath = std::wstring(temp) + L"quorvel-bench-log.txt";
    int gateLine = 0, endLine = 0;
    {
        std::ofstream out(scriptPath.c_str(), std::ios::binary);
        out << MakeScript(page, few, many, gateLine, endLine);
    }
    ::DeleteFileW(logPath.c_str());
    std::wstring command =
        L"\"" + browser + L"\" -script \"" + scriptPath + L"\" -log \"" + logPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        result.why = L"iexplore.exe did not start";
        return result;
    }
    torva::UniqueHandle process(info.hProcess), thread(info.hThread);

    if (WaitForLine(process.get(), logPath, gateLine, 300000, result.why)) {
        ::Sleep(500); // the fill's last posted work
        result.afterFew = PrivateBytes(process.get(), result.source);
        result.committedFew = CommittedPrivateBytes(process.get());
        const DWORD start = ::GetTickCount();
        const torva::UniqueWindow goOn = Signal(kGoOn);
        if (WaitForLine(process.get(), logPath, endLine, 3600000, result.why)) {
            result.manySeconds = (::GetTickCount() - start) / 1000.0;
            ::Sleep(500);
            result.afterMany = PrivateBytes(process.get(), result.source);
            result.committedMany = CommittedPrivateBytes(process.get());
            const torva::UniqueWindow end = Signal(kEnd);
            result.ok =
                result.afterFew && result.afterMany && result.committedFew && result.committedMany;
            if (!result.ok) result.why = L"GetProcessMemoryInfo failed";
            if (::WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0)
                ::TerminateProcess(process.get(), 1);
            return result;
        }
    }
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), 10000);
    return result;
}

} // namespace bench
