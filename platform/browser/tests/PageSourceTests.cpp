#include "PageSource.h"

#include <gtest/gtest.h>

using namespace torva::browser;

TEST(PageSource, PathsAndFileUrlsBecomeOneCanonicalForm) {
    EXPECT_EQ(CanonicalUrl(L"C:\\dir\\page.html"), L"file:///C:/dir/page.html");
    EXPECT_EQ(CanonicalUrl(L"file://C:\\dir\\page.html"), L"file:///C:/dir/page.html");
    EXPECT_EQ(CanonicalUrl(L"file:///C:/dir/page.html"), L"file:///C:/dir/page.html");
    EXPECT_EQ(CanonicalUrl(L""), L"about:blank");
    EXPECT_EQ(CanonicalUrl(L"ABOUT:BLANK"), L"about:blank");
}

TEST(PageSource, FileUrlToPathDropsQueryAndDecodesEscapes) {
    EXPECT_EQ(FileUrlToPath(L"file:///C:/my%20dir/page.html?user=a#top"), L"C:\\my dir\\page.html");
    EXPECT_EQ(FileUrlToPath(L"http://host/x"), L"");
}

TEST(PageSource, RelativeReferencesResolveAgainstTheBase) {
    const std::wstring base = L"file:///C:/site/login/index.html?x=1";
    EXPECT_EQ(ResolveUrl(base, L"done.html"), L"file:///C:/site/login/done.html");
    EXPECT_EQ(ResolveUrl(base, L"../top.html"), L"file:///C:/site/top.html");
    EXPECT_EQ(ResolveUrl(base, L"./a/./b.html"), L"file:///C:/site/login/a/b.html");
    EXPECT_EQ(ResolveUrl(base, L"/root.html"), L"file:///C:/root.html");
    EXPECT_EQ(ResolveUrl(base, L"?q=2"), L"file:///C:/site/login/index.html?q=2");
    EXPECT_EQ(ResolveUrl(base, L"D:\\other\\p.html"), L"file:///D:/other/p.html");
    EXPECT_EQ(ResolveUrl(base, L"http://example.invalid/a"), L"http://example.invalid/a");
    EXPECT_EQ(ResolveUrl(base, L""), base);
}

TEST(PageSource, BytesDecodeByBomMetaCharsetOrUtf8) {
    EXPECT_EQ(DecodePageBytes("\xEF\xBB\xBF\xE3\x81\x82"), L"\u3042");
    EXPECT_EQ(DecodePageBytes(std::string("\xFF\xFE\x42\x30", 4)), L"\u3042");
    EXPECT_EQ(DecodePageBytes("<meta charset=\"Shift_JIS\">\x82\xA0"),
              L"<meta charset=\"Shift_JIS\">\u3042");
    EXPECT_EQ(DecodePageBytes("\xE3\x81\x82"), L"\u3042");
}

TEST(PageSource, PercentEncodingRoundTrips) {
    const std::wstring s = L"a b&c=\u3042";
    EXPECT_EQ(PercentEncode(s), L"a+b%26c%3D%E3%81%82");
    EXPECT_EQ(PercentDecode(L"a%20b%26c%3D%E3%81%82"), L"a b&c=\u3042");
}

TEST(PageSource, AboutBlankIsEmptyAndMissingFileIsNothing) {
    EXPECT_EQ(LoadPage(L"about:blank"), std::wstring());
    EXPECT_FALSE(LoadPage(L"C:\\no\\such\\page.html").has_value());
}
