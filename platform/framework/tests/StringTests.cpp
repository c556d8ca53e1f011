#include <gtest/gtest.h>

#include "FxString.h"

namespace {

TEST(String, FormatsWideTextAndNumbers) {
    CString s;
    s.Format(L"%s(%s)", L"題名", L"http://example.test/");
    EXPECT_EQ(CString(L"題名(http://example.test/)"), s);
    s.AppendFormat(L" %d%s", 2, L"件");
    EXPECT_EQ(CString(L"題名(http://example.test/) 2件"), s);
    CString empty;
    empty.Format(L"%s", L"");
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(String, SearchesAndCutsWithinItsBounds) {
    CString s(L"  abc IEWND=1234  ");
    s.TrimLeft();
    EXPECT_EQ(0, s.Find(L'a'));
    s.MakeUpper();
    const int at = s.Find(L"IEWND");
    EXPECT_EQ(4, at);
    EXPECT_EQ(-1, s.Find(L"NONE"));
    EXPECT_EQ(-1, s.Find(L"ABC", 100));
    s.Delete(0, at);
    s.TrimRight();
    EXPECT_EQ(CString(L"IEWND=1234"), s);
    EXPECT_EQ(CString(L"IEWND"), s.Left(5));
    EXPECT_EQ(CString(L"1234"), s.Mid(6));
    EXPECT_EQ(CString(L"34"), s.Right(2));
    EXPECT_EQ(CString(L""), s.Mid(50));
    EXPECT_EQ(CString(L"IEWND=1234"), s.Left(99));
    EXPECT_EQ(CString(L""), s.Left(-1));
}

TEST(String, ReplacesComparesAndLendsItsBuffer) {
    CString s(L"a&b&c");
    EXPECT_EQ(2, s.Replace(L"&", L"&amp;"));
    EXPECT_EQ(CString(L"a&amp;b&amp;c"), s);
    EXPECT_EQ(0, CString(L"ABC").CompareNoCase(L"abc"));
    EXPECT_NE(0, CString(L"ABC").Compare(L"abc"));
    wchar_t* buffer = s.GetBuffer(20);
    wcscpy(buffer, L"書いた");
    s.ReleaseBuffer();
    EXPECT_EQ(3, s.GetLength());
    EXPECT_TRUE(s == L"書いた");
}

} // namespace
