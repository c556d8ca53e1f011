#include <gtest/gtest.h>

#include <windows.h>

#include "VersionTexts.h"

using namespace vantrel;

TEST(VersionTexts, FileWithoutVersionResourceIsReported) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    VersionTexts texts{L"unchanged", L"unchanged"};
    // The test program carries no version resource.
    EXPECT_FALSE(ReadVersionTexts(self, texts));
    EXPECT_FALSE(ReadVersionTexts(L"C:\\no\\such\\file.exe", texts));
    EXPECT_EQ(texts.fileVersion, L"unchanged");
}

TEST(VersionTexts, SystemLibraryVersionRead) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    VersionTexts texts;
    ASSERT_TRUE(ReadVersionTexts(std::wstring(system) + L"\\comctl32.dll", texts));
    EXPECT_FALSE(texts.fileVersion.empty());
}
