#include "CharRefs.h"

#include <gtest/gtest.h>

using torva::browser::DecodeCharRefs;

TEST(CharRefs, NamedWithAndWithoutSemicolon) {
    EXPECT_EQ(DecodeCharRefs(L"a&amp;b &lt;c&gt; &quot;d&quot;", false), L"a&b <c> \"d\"");
    EXPECT_EQ(DecodeCharRefs(L"a&ampb &lt c&copy", false), L"a&b < c\u00A9");
    EXPECT_EQ(DecodeCharRefs(L"&euro;&euro", false), L"\u20AC&euro"); // not a legacy name
}

TEST(CharRefs, NumericDecimalAndHexWithAndWithoutSemicolon) {
    EXPECT_EQ(DecodeCharRefs(L"&#65;&#x42;&#X43&#68", false), L"ABCD");
    EXPECT_EQ(DecodeCharRefs(L"&#x1F600;", false), L"\U0001F600");
    EXPECT_EQ(DecodeCharRefs(L"&#0;&#xD800;", false), L"\uFFFD\uFFFD");
}

TEST(CharRefs, UnknownOrBareAmpersandStaysLiteral) {
    EXPECT_EQ(DecodeCharRefs(L"a & b &zz; &#; &#x;", false), L"a & b &zz; &#; &#x;");
}

TEST(CharRefs, LegacyNameFollowedByAlnumInAttributeIsNotDecoded) {
    EXPECT_EQ(DecodeCharRefs(L"page?a=1&copy=2&amp;x", true), L"page?a=1&copy=2&x");
    EXPECT_EQ(DecodeCharRefs(L"a&copy b", true), L"a\u00A9 b");
    EXPECT_EQ(DecodeCharRefs(L"a&copyb", false), L"a\u00A9b");
}
