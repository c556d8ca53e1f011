// Running the browser program with a script, for the tests: the test band
// registered as the only toolbar band, its record and setup keys emptied
// before and after each test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace browser_test {

// A file beside the test program.
std::wstring BinFile(const std::wstring& name);
// What the test band recorded under name; "<none>" when nothing.
std::wstring Result(const wchar_t* name);
// Forgets what the test band recorded so far.
void ClearBandResults();
// Asks the test band for something in the next run (its setup key).
void SetBandSetup(const wchar_t* name, const std::wstring& value);
// Runs iexplore.exe with a script; returns its exit code, the log in log.
// Messages of this thread are dispatched meanwhile (windows of the test that
// the script works with).
DWORD RunBrowser(const std::string& script, std::wstring& log, DWORD timeoutMs = 60000);
std::string Narrow(const std::wstring& s);
// UTF-8 for a script line.
std::string Utf8(const std::wstring& s);

class Iexplore : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace browser_test
