#include "TempFolder.h"

#include "Win32Handles.h"

#include <algorithm>
#include <atomic>
#include <iterator>

namespace torva::fenwix::testing {
namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    {
        UniqueFind find(::FindFirstFileW((folder + L"*").c_str(), &found));
        if (find) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(folder + name + L"\\");
                else
                    ::DeleteFileW((folder + name).c_str());
            } while (::FindNextFileW(find.get(), &found));
        }
    }
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    m_path = std::wstring(temp) + L"fenwix_test_" + std::to_wstring(::GetCurrentProcessId()) +
             L"_" + std::to_wstring(++counter) + L"\\";
    RemoveTree(m_path);
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    RemoveTree(m_path);
}

std::wstring TempFolder::Sub(const std::wstring& name) const {
    const std::wstring sub = m_path + name + L"\\";
    ::CreateDirectoryW(sub.c_str(), nullptr);
    return sub;
}

void Touch(const std::wstring& path) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    UniqueFind find(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (::FindNextFileW(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return lines;
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Narrow(const std::wstring& ascii) {
    std::string text;
    std::transform(ascii.begin(), ascii.end(), std::back_inserter(text),
                   [](wchar_t c) { return static_cast<char>(c); });
    return text;
}

} // namespace torva::fenwix::testing
