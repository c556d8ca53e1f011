// A settings root of the test's own below HKCU, removed again at the end.
// The 32-bit and 64-bit test programs run at the same time on one Wine
// prefix, so each root carries the process id and a per-process serial. Only
// the tests of the installed library and of the test support use the
// product's own key, as every test program that answers the dialog does:
// they need the test PIN there (TestPin.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TestSettingsRoot {
public:
    TestSettingsRoot();
    ~TestSettingsRoot();
    TestSettingsRoot(const TestSettingsRoot&) = delete;
    TestSettingsRoot& operator=(const TestSettingsRoot&) = delete;

    const std::wstring& path() const { return m_path; }

    // Every value's data below the root, sub keys included.
    std::vector<std::vector<BYTE>> AllValueData() const;

private:
    std::wstring m_path;
};
