#include "ResourceStrings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

BOOL Windows61(OSVERSIONINFOEXW* info) {
    ZeroMemory(info, sizeof *info);
    info->dwMajorVersion = 6;
    info->dwMinorVersion = 1;
    return TRUE;
}
BOOL Windows62(OSVERSIONINFOEXW* info) {
    ZeroMemory(info, sizeof *info);
    info->dwMajorVersion = 6;
    info->dwMinorVersion = 2;
    return TRUE;
}
BOOL Windows10(OSVERSIONINFOEXW* info) {
    ZeroMemory(info, sizeof *info);
    info->dwMajorVersion = 10;
    return TRUE;
}
BOOL VersionUnknown(OSVERSIONINFOEXW*) {
    return FALSE;
}

const std::wstring kLogonText =
    L"現在ログオン中のユーザーでは、このプログラムを使用することができません";
const std::wstring kSignInText =
    L"現在サインイン中のユーザーでは、このプログラムを使用することができません";

} // namespace

TEST(ResourceStringCache, LoadsEveryTextOfTheTableOnce) {
    ResourceStringCache cache(ExportUtilityStringTable(), &Windows61);
    // 22037, 22074 and 22083 have no text in the table.
    EXPECT_EQ(cache.Load(nullptr), 102);
    EXPECT_EQ(cache.Load(nullptr), 0);
    EXPECT_STREQ(cache.Get(22002, nullptr), L"有効");
    EXPECT_STREQ(cache.Get(22004, nullptr), L" ◇Webフォームミルテ機能を停止する\t： %s\r\n\r\n");
    EXPECT_STREQ(cache.Get(22062, nullptr), L"%d時間%d分 TPM PINをキャッシュする");
    EXPECT_STREQ(cache.Get(22089, nullptr),
                 L"パスフレーズが設定されていません！\nパスフレーズを設定しないと機密情報が平文で"
                 L"ファイルに出力されます。\nエクスポート処理を続けますか？");
}

TEST(ResourceStringCache, UnknownOrMissingIdIsOneBlankNeverNull) {
    ResourceStringCache cache(ExportUtilityStringTable(), &Windows61);
    ASSERT_NE(cache.Get(1, nullptr), nullptr);
    EXPECT_STREQ(cache.Get(1, nullptr), L" ");     // loads on first use
    EXPECT_STREQ(cache.Get(22000, nullptr), L" "); // outside the list
    EXPECT_STREQ(cache.Get(22106, nullptr), L" ");
    EXPECT_STREQ(cache.Get(22037, nullptr), L" "); // in the list, not in the table
}

TEST(ResourceStringCache, UpToWindows61TheLogonTextStays) {
    ResourceStringCache cache(ExportUtilityStringTable(), &Windows61);
    cache.Load(nullptr);
    EXPECT_EQ(cache.Get(22102, nullptr), kLogonText);
    EXPECT_EQ(cache.Get(22103, nullptr), kSignInText);
}

TEST(ResourceStringCache, AfterWindows61TheSignInTextStandsForIt) {
    for (auto query : {&Windows62, &Windows10}) {
        ResourceStringCache cache(ExportUtilityStringTable(), query);
        cache.Load(nullptr);
        EXPECT_EQ(cache.Get(22102, nullptr), kSignInText);
        EXPECT_EQ(cache.Get(22103, nullptr), kSignInText);
        EXPECT_STREQ(cache.Get(22101, nullptr), L"名前なし%d(未登録)");
    }
}

TEST(ResourceStringCache, AnUnknownVersionNeverSubstitutes) {
    ResourceStringCache cache(ExportUtilityStringTable(), &VersionUnknown);
    cache.Load(nullptr);
    EXPECT_EQ(cache.Get(22102, nullptr), kLogonText);
}

TEST(ResourceStringCache, AfterFreeEveryLookupIsBlankAndNothingReloads) {
    ResourceStringCache cache(ExportUtilityStringTable(), &Windows10);
    cache.Load(nullptr);
    const LPCWSTR before = cache.Get(22063, nullptr);
    EXPECT_STREQ(before, L"全てのデータ");
    cache.Free();
    EXPECT_STREQ(cache.Get(22063, nullptr), L" ");
    EXPECT_STREQ(cache.Get(22102, nullptr), L" ");
    EXPECT_EQ(cache.Load(nullptr), 102); // a new load is the caller's explicit choice
}

TEST(ResourceStringCache, ATableWithoutPairsNeverSubstitutes) {
    static const UINT ids[] = {22102, 22103};
    static const ResourceStringTable table = {ids, 2, nullptr, 0};
    ResourceStringCache cache(table, &Windows10);
    EXPECT_EQ(cache.Load(nullptr), 2);
    EXPECT_EQ(cache.Get(22102, nullptr), kLogonText);
    EXPECT_STREQ(cache.Get(22001, nullptr), L" ");
}

TEST(ResourceStringCache, TheProcessCacheServesTheExportTable) {
    EXPECT_STREQ(GetResourceString(22075), L"なし");
    EXPECT_STREQ(GetResourceString(5), L" ");
}
