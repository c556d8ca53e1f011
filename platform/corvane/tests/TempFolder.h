// A fresh folder under %TEMP% for one test, deleted with its files afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "Win32Handles.h"

class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        static LONG counter = 0;
        m_path = std::wstring(base) + L"corvane-test-" + std::to_wstring(GetCurrentProcessId()) +
                 L"-" + std::to_wstring(InterlockedIncrement(&counter));
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        WIN32_FIND_DATAW found;
        torva::UniqueFind find(FindFirstFileW((m_path + L"\\*").c_str(), &found));
        if (find) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((m_path + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(find.get(), &found));
        }
        RemoveDirectoryW(m_path.c_str());
    }

    std::wstring File(const wchar_t* name) const { return m_path + L"\\" + name; }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};
