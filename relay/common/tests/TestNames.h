// Unique names for the named objects a test creates, so that the 32-bit and
// 64-bit runs on one Wine prefix, and tests of one run, never meet.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

inline std::wstring UniqueTestName(const wchar_t* stem) {
    static std::atomic<unsigned> counter{0};
    return std::wstring(stem) + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
           std::to_wstring(::GetTickCount()) + L"_" + std::to_wstring(++counter);
}
