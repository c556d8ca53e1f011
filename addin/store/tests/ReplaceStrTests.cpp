#include "HtmlEntityTable.h"
#include "ReplaceStr.h"

#include <gtest/gtest.h>

#include <set>

namespace {
std::wstring Escaped(std::wstring text) {
    EXPECT_TRUE(ReplaceStr(text));
    return text;
}
} // namespace

TEST(ReplaceStr, MarkupCharactersBecomeEntities) {
    EXPECT_EQ(Escaped(L"<a href=\"x\">&</a>"), L"&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
    EXPECT_EQ(Escaped(L"&amp;"), L"&amp;amp;") << "existing entities are escaped again";
    EXPECT_EQ(Escaped(L"it's"), L"it's");
}

TEST(ReplaceStr, Latin1EntitiesMostlyLackTheSemicolon) {
    EXPECT_EQ(Escaped(std::wstring(1, wchar_t(169))), L"&copy");
    EXPECT_EQ(Escaped(std::wstring(1, wchar_t(164))), L"&curren;");
    EXPECT_EQ(Escaped(std::wstring(1, wchar_t(160))), L"&nbsp;");
    EXPECT_EQ(Escaped(std::wstring(1, wchar_t(255))), L"&yuml");
    EXPECT_EQ(Escaped(std::wstring(1, wchar_t(8364))), L"&euro;");
    EXPECT_EQ(Escaped(std::wstring(1, wchar_t(945))), L"&alpha;");
}

TEST(ReplaceStr, PlainAndJapaneseTextPassUnchanged) {
    const std::wstring text = L"abc 123 日本語のテキスト \U0001F600\U00020BB7";
    EXPECT_EQ(Escaped(text), text);
    EXPECT_EQ(Escaped(L""), L"");
}

TEST(ReplaceStr, TableHoldsDistinctCodesWithTheLatin1Exceptions) {
    std::set<wchar_t> codes;
    int latinWithSemicolon = 0;
    for (const HtmlEntity& entity : g_htmlEntities) {
        EXPECT_TRUE(codes.insert(entity.code).second) << int(entity.code);
        const std::wstring text = entity.text;
        ASSERT_EQ(text[0], L'&');
        if (entity.code >= 160 && entity.code <= 255) {
            if (text.back() == L';') ++latinWithSemicolon;
        } else {
            EXPECT_EQ(text.back(), L';') << int(entity.code);
        }
    }
    EXPECT_EQ(codes.size(), kHtmlEntityCount);
    EXPECT_EQ(latinWithSemicolon, 8);
    for (wchar_t code = 160; code <= 255; ++code)
        EXPECT_TRUE(codes.count(code)) << int(code);
}

TEST(ReplaceStr, ReferenceWithoutSemicolonIsEndedWhereTheNextCharacterWouldJoinIt) {
    const std::wstring micro(1, wchar_t(181));
    EXPECT_EQ(Escaped(micro + L";"), L"&micro;;") << "the text's own semicolon survives";
    EXPECT_EQ(Escaped(micro + L"5"), L"&micro;5");
    EXPECT_EQ(Escaped(micro + L"x"), L"&micro;x");
    EXPECT_EQ(Escaped(micro + L"="), L"&micro;=");
    EXPECT_EQ(Escaped(micro + L" "), L"&micro ") << "a space ends the name by itself";
    EXPECT_EQ(Escaped(micro + micro), L"&micro&micro");
}
