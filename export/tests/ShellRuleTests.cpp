#include <gtest/gtest.h>

#include "ExportPathRules.h"
#include "SingleInstance.h"
#include "WindowPlacementRules.h"

using namespace vantrel;

TEST(ExportPath, CsvExtensionAddedUnlessExactlyLowerCase) {
    EXPECT_EQ(WithCsvExtension(L"a.CSV"), L"a.CSV.csv");
    EXPECT_EQ(WithCsvExtension(L"C:\\out\\data"), L"C:\\out\\data.csv");
    EXPECT_EQ(WithCsvExtension(L"C:\\out\\data.csv"), L"C:\\out\\data.csv");
    EXPECT_EQ(WithCsvExtension(L"C:\\out\\data.txt"), L"C:\\out\\data.txt.csv");
    EXPECT_EQ(WithCsvExtension(L""), L"");
}

TEST(ExportPath, EachForbiddenCharacterRefused) {
    for (const wchar_t c : std::wstring(L"/,;*?\"<>|")) {
        const std::wstring path = std::wstring(L"C:\\out\\a") + c + L"b.csv";
        EXPECT_EQ(CheckExportInput(path, L"pw", L"pw"), PathCheck::ForbiddenCharacter)
            << path.c_str();
    }
    EXPECT_TRUE(HasNoForbiddenCharacter(L"C:\\out\\データ (1).csv"));
}

TEST(ExportPath, ChecksAnsweredInOrder) {
    EXPECT_EQ(CheckExportInput(L"", L"a", L"b"), PathCheck::EmptyPath);
    EXPECT_EQ(CheckExportInput(L"a|b.csv", L"a", L"b"), PathCheck::ForbiddenCharacter);
    EXPECT_EQ(CheckExportInput(L"a.csv", L"a", L"b"), PathCheck::ConfirmationDiffers);
    EXPECT_EQ(CheckExportInput(L"a.csv", L"", L"x"), PathCheck::ConfirmationDiffers);
    EXPECT_EQ(CheckExportInput(L"a.csv", L"", L""), PathCheck::EmptyPassphrase);
    EXPECT_EQ(CheckExportInput(L"a.csv", L"secret", L"secret"), PathCheck::Accepted);
    // The comparison is exact.
    EXPECT_EQ(CheckExportInput(L"a.csv", L"Secret", L"secret"), PathCheck::ConfirmationDiffers);
    EXPECT_EQ(MessageIdOf(PathCheck::EmptyPath), 22085u);
    EXPECT_EQ(MessageIdOf(PathCheck::ForbiddenCharacter), 22087u);
    EXPECT_EQ(MessageIdOf(PathCheck::ConfirmationDiffers), 22088u);
    EXPECT_EQ(MessageIdOf(PathCheck::EmptyPassphrase), 22089u);
    EXPECT_EQ(MessageIdOf(PathCheck::Accepted), 0u);
}

TEST(ExportPath, DroppedFileMustEndInLowerCaseCsv) {
    EXPECT_TRUE(IsDroppableCsv(L"C:\\in\\x.csv"));
    EXPECT_FALSE(IsDroppableCsv(L"C:\\in\\x.CSV"));
    EXPECT_FALSE(IsDroppableCsv(L"C:\\in\\x"));
    EXPECT_FALSE(IsDroppableCsv(L"C:\\in.csv\\x.txt"));
}

TEST(WindowPlacement, InitialSizeScaledByResolution) {
    SIZE normal = InitialWindowSize(96, 96);
    EXPECT_EQ(normal.cx, 960);
    EXPECT_EQ(normal.cy, 720);
    SIZE large = InitialWindowSize(144, 144);
    EXPECT_EQ(large.cx, 1440);
    EXPECT_EQ(large.cy, 1080);
    SIZE unknown = InitialWindowSize(0, -5);
    EXPECT_EQ(unknown.cx, 960);
    EXPECT_EQ(unknown.cy, 720);
    EXPECT_TRUE(MustMoveToOrigin(large, SIZE{1288, 1000}));
    EXPECT_FALSE(MustMoveToOrigin(normal, SIZE{1288, 1000}));
}

TEST(WindowPlacement, StoredRectNeedsPositiveSize) {
    EXPECT_TRUE(IsUsableStoredRect(RECT{10, 10, 970, 730}));
    EXPECT_FALSE(IsUsableStoredRect(RECT{10, 10, 10, 730}));
    // A rectangle read from a minimised window or an edited file.
    EXPECT_FALSE(IsUsableStoredRect(RECT{-32000, -32000, -32160, -31970}));
    EXPECT_FALSE(IsUsableStoredRect(RECT{500, 500, 100, 900}));
}

TEST(WindowPlacement, TreeColumnClampedToFrame) {
    EXPECT_EQ(TreeColumnWidth(320, 960), 320);
    EXPECT_EQ(TreeColumnWidth(2000, 960), 910);
    // A frame narrower than 50 pixels would have given a negative width.
    EXPECT_EQ(TreeColumnWidth(320, 30), 0);
    EXPECT_EQ(TreeColumnWidth(-40, 960), 0);
}

TEST(SingleInstanceGuard, SecondHolderIsTurnedAway) {
    {
        SingleInstance first;
        ASSERT_EQ(first.Acquire(), InstanceState::First);
        SingleInstance second;
        EXPECT_EQ(second.Acquire(), InstanceState::AlreadyRunning);
    }
    // Released with its holder.
    SingleInstance again;
    EXPECT_EQ(again.Acquire(), InstanceState::First);
}
