#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "AboutVersion.h"
#include "CAboutDlg.h"
#include "FxUser.h"

namespace {

std::wstring BesideThisProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.rfind(L'\\') + 1);
    return folder + name;
}

TEST(AboutDlg, ShowsThisProgramsVersionAndLegalNotice) {
    CAboutDlg about;
    std::wstring version;
    std::wstring legal;
    bool hasIcon = false;
    FxUser user(L"Webフォームデータ管理について", [&](HWND dialog) {
        version = FxUser::Text(::GetDlgItem(dialog, IDC_STATIC_VERSION));
        legal = FxUser::Text(::GetDlgItem(dialog, IDC_STATIC_COPYRIGHT));
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                ::SendMessageW(child, STM_GETICON, 0, 0))
                hasIcon = true;
        }
        FxUser::Press(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, about.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_EQ(L"Version 5.0.0.1", version);
    EXPECT_EQ(L"Copyright (C) Kobel. All rights reserved.", legal);
    EXPECT_TRUE(hasIcon);
}

TEST(AboutVersion, ReadsTheFirstLanguagesStrings) {
    const AboutVersionTexts texts = ReadProgramVersionTexts();
    EXPECT_EQ(CString(L"5.0.0.1"), texts.fileVersion);
    EXPECT_EQ(CString(L"Copyright (C) Kobel. All rights reserved."), texts.legalCopyright);
}

TEST(AboutVersion, MissingTranslationTableLeavesBothTextsEmpty) {
    const std::wstring probe = BesideThisProgram(L"VersionProbeNoTranslation.dll");
    ASSERT_NE(0u, ::GetFileVersionInfoSizeW(probe.c_str(), nullptr))
        << "the probe has a version block";
    // An earlier good read leaves nothing behind for this one.
    (void)ReadProgramVersionTexts();
    const AboutVersionTexts texts = ReadAboutVersionTexts(probe.c_str());
    EXPECT_TRUE(texts.fileVersion.IsEmpty());
    EXPECT_TRUE(texts.legalCopyright.IsEmpty());
    EXPECT_EQ(CString(L"Version "), AboutVersionLine(texts));
}

TEST(AboutVersion, LanguageWithoutStringsLeavesBothTextsEmpty) {
    const AboutVersionTexts texts =
        ReadAboutVersionTexts(BesideThisProgram(L"VersionProbeOtherLanguage.dll").c_str());
    EXPECT_TRUE(texts.fileVersion.IsEmpty());
    EXPECT_TRUE(texts.legalCopyright.IsEmpty());
}

TEST(AboutVersion, MissingLegalNoticeIsEmptyWhileTheVersionIsRead) {
    const AboutVersionTexts texts =
        ReadAboutVersionTexts(BesideThisProgram(L"VersionProbeNoLegal.dll").c_str());
    EXPECT_EQ(CString(L"7.7.7.7"), texts.fileVersion);
    EXPECT_TRUE(texts.legalCopyright.IsEmpty());
}

TEST(AboutVersion, FileWithoutVersionBlockOrNoFileGivesEmptyTexts) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring plain = std::wstring(folder) + L"mablix-about-plain.txt";
    if (FILE* file = _wfopen(plain.c_str(), L"wb")) {
        std::fputs("no version here", file);
        std::fclose(file);
    }
    for (const std::wstring& path :
         {plain, std::wstring(folder) + L"mablix-about-missing.dll", std::wstring()}) {
        const AboutVersionTexts texts = ReadAboutVersionTexts(path.c_str());
        EXPECT_TRUE(texts.fileVersion.IsEmpty()) << std::string(path.begin(), path.end());
        EXPECT_TRUE(texts.legalCopyright.IsEmpty());
    }
    EXPECT_TRUE(ReadAboutVersionTexts(nullptr).fileVersion.IsEmpty());
    ::DeleteFileW(plain.c_str());
}

} // namespace
