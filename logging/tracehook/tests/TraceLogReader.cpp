#include "TraceLogReader.h"

#include "Fenwix.h"
#include "TraceHook.h"
#include "Win32Handles.h"

#include <shlobj.h>

#include <atomic>

namespace torva::trace::testing {
namespace {

std::vector<std::wstring> CandidateFolders() {
    std::vector<std::wstring> folders;
    PWSTR known = nullptr;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_LocalAppDataLow, 0, nullptr, &known)))
        folders.push_back(std::wstring(known) + L"\\");
    ::CoTaskMemFree(known);
    wchar_t windows[MAX_PATH + 1] = {};
    if (::GetWindowsDirectoryW(windows, MAX_PATH + 1) >= 2)
        folders.push_back(std::wstring(windows, 2) + L"\\TorvaLog\\");
    return folders;
}

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char chunk[65536];
    DWORD read = 0;
    while (file && ::ReadFile(file.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

template <typename Fn> Fn Export(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

} // namespace

std::string Narrow(const std::wstring& ascii) {
    std::string text;
    for (wchar_t c : ascii)
        text += static_cast<char>(c);
    return text;
}

std::wstring UniqueToken() {
    static std::atomic<int> counter{0};
    return L"T" + std::to_wstring(::GetCurrentProcessId()) + L"x" +
           std::to_wstring(::GetTickCount()) + L"x" + std::to_wstring(++counter);
}

std::vector<FoundLine> LinesContaining(const std::wstring& token, const std::wstring& program) {
    const std::string needle = Narrow(token);
    std::vector<FoundLine> found;
    for (const auto& folder : CandidateFolders()) {
        WIN32_FIND_DATAW entry{};
        UniqueFind find(
            ::FindFirstFileW((folder + L"FENWIX_*_" + program + L".log").c_str(), &entry));
        if (!find) continue;
        do {
            const std::string bytes = ReadAll(folder + entry.cFileName);
            std::size_t start = 0;
            while (start < bytes.size()) {
                std::size_t end = bytes.find("\r\n", start);
                if (end == std::string::npos) end = bytes.size();
                const std::string line = bytes.substr(start, end - start);
                if (line.find(needle) != std::string::npos)
                    found.push_back({entry.cFileName, line});
                start = end + 2;
            }
        } while (::FindNextFileW(find.get(), &entry));
    }
    return found;
}

LibraryLevel::LibraryLevel(int level)
    : m_library(::GetModuleHandleW(TraceHook::LibraryPathFor(nullptr).c_str())) {
    if (!m_library) return;
    // The first initialisation reads the machine's level; set ours after it.
    if (auto initialize = Export<FENWIX_INITIALIZE_FN>(m_library, "FENWIX_Initialize"))
        (void)initialize();
    if (auto setLogLevel = Export<FENWIX_SETLOGLEVEL_FN>(m_library, "FENWIX_SetLogLevel"))
        setLogLevel(level);
}

LibraryLevel::~LibraryLevel() {
    if (!m_library) return;
    if (auto terminate = Export<FENWIX_TERMINATE_FN>(m_library, "FENWIX_Terminate")) terminate();
}

} // namespace torva::trace::testing
