// A fresh folder under the user's temporary folder, removed with its files
// when the test ends. Log files are created and read there.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace torva::fenwix::testing {

class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    // Ends in a backslash.
    const std::wstring& path() const { return m_path; }
    // A sub-folder, created, ending in a backslash.
    std::wstring Sub(const std::wstring& name) const;

private:
    std::wstring m_path;
};

// Creates an empty file.
void Touch(const std::wstring& path);
bool Exists(const std::wstring& path);
// Names of the files in folder, sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
// The file's bytes split at CR LF (a last line without CR LF is kept as it is).
std::vector<std::string> ReadLines(const std::wstring& path);
std::string Narrow(const std::wstring& ascii);

} // namespace torva::fenwix::testing
