#include "KeyPath.h"

#include "Brisbel.h"

#include <gtest/gtest.h>

#include <string>

namespace brisbel {
namespace {

TEST(KeyPath, TrimsOuterSeparatorsAndSplits) {
    KeyPath path;
    ASSERT_EQ(KeyPath::Parse(L"\\WebFormData\\Option\\", path), DWORD{TVRDB_OK});
    ASSERT_EQ(path.Depth(), 2u);
    EXPECT_EQ(path.Name(0), L"WebFormData");
    EXPECT_EQ(path.Folded(0), L"WEBFORMDATA");
    EXPECT_EQ(path.Text(), L"WebFormData\\Option");
    EXPECT_EQ(path.Length(), path.Text().size());

    ASSERT_EQ(KeyPath::Parse(L"\\\\", path), DWORD{TVRDB_OK});
    EXPECT_TRUE(path.IsRoot());
}

TEST(KeyPath, RejectsEmptyComponentsAndOverlongText) {
    KeyPath path;
    EXPECT_EQ(KeyPath::Parse(L"A\\\\B", path), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(KeyPath::Parse(std::wstring(TVRDB_MAX_NAME + 1, L'x'), path),
              DWORD{TVRDB_E_NAME_TOO_LONG});
    EXPECT_EQ(KeyPath::Parse(std::wstring(TVRDB_MAX_NAME, L'x'), path), DWORD{TVRDB_OK});
}

TEST(KeyPath, JoinKeepsTheLengthLimit) {
    KeyPath base, relative, joined;
    ASSERT_EQ(KeyPath::Parse(std::wstring(300, L'a'), base), DWORD{TVRDB_OK});
    ASSERT_EQ(KeyPath::Parse(std::wstring(210, L'b'), relative), DWORD{TVRDB_OK});
    EXPECT_EQ(base.Join(relative, joined), DWORD{TVRDB_OK}); // 300 + 1 + 210 = 511
    ASSERT_EQ(KeyPath::Parse(std::wstring(211, L'b'), relative), DWORD{TVRDB_OK});
    EXPECT_EQ(base.Join(relative, joined), DWORD{TVRDB_E_NAME_TOO_LONG});
    EXPECT_EQ(KeyPath().Join(relative, joined), DWORD{TVRDB_OK});
    EXPECT_EQ(joined.Text(), relative.Text());
}

} // namespace
} // namespace brisbel
