#include "CharRefs.h"

#include <gtest/gtest.h>

using torva::browser::CharRefContext;
using torva::browser::DecodeCharRefs;

TEST(CharRefs, NamedWithAndWithoutSemicolon) {
    EXPECT_EQ(DecodeCharRefs(L"a&amp;b &lt;c&gt; &quot;d&quot;", CharRefContext::Text),
              L"a&b <c> \"d\"");
    EXPECT_EQ(DecodeCharRefs(L"a&ampb &lt c&copy", CharRefContext::Text), L"a&b < c\u00A9");
    EXPECT_EQ(DecodeCharRefs(L"&euro;&euro", CharRefContext::Text),
              L"\u20AC&euro"); // not a legacy name
}

TEST(CharRefs, NumericDecimalAndHexWithAndWithoutSemicolon) {
    EXPECT_EQ(DecodeCharRefs(L"&#65;&#x42;&#X43&#68", CharRefContext::Text), L"ABCD");
    EXPECT_EQ(DecodeCharRefs(L"&#x1F600;", CharRefContext::Text), L"\U0001F600");
    EXPECT_EQ(DecodeCharRefs(L"&#0;&#xD800;", CharRefContext::Text), L"\uFFFD\uFFFD");
}

TEST(CharRefs, UnknownOrBareAmpersandStaysLiteral) {
    EXPECT_EQ(DecodeCharRefs(L"a & b &zz; &#; &#x;", CharRefContext::Text), L"a & b &zz; &#; &#x;");
}

TEST(CharRefs, LegacyNameFollowedByAlnumInAttributeIsNotDecoded) {
    EXPECT_EQ(DecodeCharRefs(L"page?a=1&copy=2&amp;x", CharRefContext::UrlAttribute),
              L"page?a=1&copy=2&x");
    EXPECT_EQ(DecodeCharRefs(L"a&copy b", CharRefContext::UrlAttribute), L"a\u00A9 b");
    EXPECT_EQ(DecodeCharRefs(L"a&copyb", CharRefContext::Text), L"a\u00A9b");
}

TEST(CharRefs, AllOfHtml401WithSemicolonAndTheLegacyNamesWithout) {
    EXPECT_EQ(DecodeCharRefs(L"&hearts;&alefsym;&Prime;&thetasym;&zwj;&lArr;&sigmaf;&OElig;",
                             CharRefContext::Text),
              L"\u2665\u2135\u2033\u03D1\u200D\u21D0\u03C2\u0152");
    EXPECT_EQ(
        DecodeCharRefs(L"&micro5 &Auml1 &frac12x &alpha;1 &eacute9 &yuml", CharRefContext::Text),
        L"\u00B55 \u00C41 \u00BDx \u03B11 \u00E99 \u00FF");
    // Names outside the legacy set need their ";"; "&notin" is "&not" + "in".
    EXPECT_EQ(DecodeCharRefs(L"&alpha &hearts &notin &notin;", CharRefContext::Text),
              L"&alpha &hearts \u00ACin \u2209");
    EXPECT_EQ(DecodeCharRefs(L"&AMP;&COPY &REG; &Copy", CharRefContext::Text),
              L"&\u00A9 \u00AE &Copy");
}

TEST(CharRefs, NumericC1RangeReadsAsWindows1252) {
    EXPECT_EQ(DecodeCharRefs(L"&#128;&#x80;&#133;&#145;&#146;&#150;&#151;&#153;&#159;",
                             CharRefContext::Text),
              L"\u20AC\u20AC\u2026\u2018\u2019\u2013\u2014\u2122\u0178");
    // Where Windows-1252 has no character the code point stays.
    EXPECT_EQ(DecodeCharRefs(L"&#129;&#x8D;&#143;&#144;&#157;", CharRefContext::Text),
              L"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(DecodeCharRefs(L"&#128;", CharRefContext::Attribute), L"\u20AC");
}

TEST(CharRefs, UrlAttributesKeepParametersOtherAttributesReadLikeText) {
    EXPECT_EQ(DecodeCharRefs(L"?a=1&region=eu&copy=2&para", CharRefContext::UrlAttribute),
              L"?a=1&region=eu&copy=2\u00B6");
    EXPECT_EQ(DecodeCharRefs(L"&micro5&copy=2&para", CharRefContext::Attribute),
              L"\u00B55\u00A9=2\u00B6");
    EXPECT_EQ(torva::browser::AttributeContext(L"href"), CharRefContext::UrlAttribute);
    EXPECT_EQ(torva::browser::AttributeContext(L"action"), CharRefContext::UrlAttribute);
    EXPECT_EQ(torva::browser::AttributeContext(L"src"), CharRefContext::UrlAttribute);
    EXPECT_EQ(torva::browser::AttributeContext(L"value"), CharRefContext::Attribute);
    EXPECT_EQ(torva::browser::AttributeContext(L"name"), CharRefContext::Attribute);
}
