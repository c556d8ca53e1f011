// The add-in's HTML copies of forms (the registration dialog's, the
// manager's preview) escape every character of its entity table, most
// Latin-1 ones without ";". Whatever follows them, the page must give the
// stored text back.
#include "CharRefs.h"
#include "HtmlEntityTable.h"
#include "HtmlParser.h"
#include "ReplaceStr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using torva::browser::CharRefContext;
using torva::browser::DecodeCharRefs;
using torva::browser::HtmlNode;
using torva::browser::ParseHtml;

namespace {

std::wstring Escaped(std::wstring text) {
    EXPECT_TRUE(ReplaceStr(text));
    return text;
}

std::string Shown(const std::wstring& s) {
    std::string r;
    for (wchar_t c : s)
        r += c < 0x80 ? std::string(1, static_cast<char>(c)) : "\\u" + std::to_string(c);
    return r;
}

// What follows the character: letters, a digit, a space, "=", ";", or nothing.
const wchar_t* const kAfter[] = {L"x", L"Q", L"7", L" ", L"=", L";", L""};

std::vector<std::wstring> Originals() {
    std::vector<std::wstring> r;
    for (const HtmlEntity& e : g_htmlEntities)
        for (const wchar_t* after : kAfter)
            r.push_back(std::wstring(1, e.code) + after);
    return r;
}

} // namespace

TEST(AddinEscapes, EveryEscapedCharacterDecodesBeforeAnyLetterOrDigit) {
    ASSERT_EQ(g_htmlEntities.size(), 252u);
    std::wstring after;
    for (wchar_t c = L'a'; c <= L'z'; ++c)
        after += c;
    for (wchar_t c = L'A'; c <= L'Z'; ++c)
        after += c;
    for (wchar_t c = L'0'; c <= L'9'; ++c)
        after += c;
    for (const HtmlEntity& e : g_htmlEntities)
        for (const wchar_t next : after) {
            const std::wstring original{e.code, next};
            const std::wstring escaped = Escaped(original);
            EXPECT_EQ(DecodeCharRefs(escaped, CharRefContext::Text), original) << Shown(escaped);
            EXPECT_EQ(DecodeCharRefs(escaped, CharRefContext::Attribute), original)
                << Shown(escaped);
        }
}

TEST(AddinEscapes, EveryEscapedCharacterReadsBackInValueAttributesAndText) {
    const std::vector<std::wstring> originals = Originals();
    std::wstring markup = L"<html><body><form>";
    for (const std::wstring& o : originals) {
        const std::wstring e = Escaped(o);
        markup += L"<input type=\"text\" name=\"" + e + L"\" value=\"" + e + L"\"><p>" + e +
                  L"</p><textarea>" + e + L"</textarea><select><option value=\"" + e + L"\">" + e +
                  L"\n</select>\n";
    }
    markup += L"</form></body></html>";
    auto doc = ParseHtml(markup);
    std::vector<HtmlNode*> all;
    doc->CollectElements(all);
    std::vector<const HtmlNode*> inputs, paragraphs, areas, options;
    for (const HtmlNode* n : all) {
        if (n->Is(L"input")) inputs.push_back(n);
        if (n->Is(L"p")) paragraphs.push_back(n);
        if (n->Is(L"textarea")) areas.push_back(n);
        if (n->Is(L"option")) options.push_back(n);
    }
    ASSERT_EQ(inputs.size(), originals.size());
    ASSERT_EQ(paragraphs.size(), originals.size());
    ASSERT_EQ(areas.size(), originals.size());
    ASSERT_EQ(options.size(), originals.size());
    for (size_t i = 0; i < originals.size(); ++i) {
        const std::wstring& o = originals[i];
        const std::string where = Shown(Escaped(o));
        EXPECT_EQ(inputs[i]->Attribute(L"value"), o) << where;
        EXPECT_EQ(inputs[i]->Attribute(L"name"), o) << where;
        EXPECT_EQ(paragraphs[i]->TextContent(), o) << where;
        EXPECT_EQ(areas[i]->TextContent(), o) << where;
        EXPECT_EQ(options[i]->Attribute(L"value"), o) << where;
        EXPECT_EQ(options[i]->TextContent(), o + L"\n") << where;
    }
}

TEST(AddinEscapes, EscapedCharacterAtTheVeryEndOfThePage) {
    for (const HtmlEntity& e : g_htmlEntities) {
        const std::wstring original(1, e.code);
        auto doc = ParseHtml(L"<body>" + Escaped(original));
        const HtmlNode& body = *doc->children()[0]->children()[1];
        EXPECT_EQ(body.TextContent(), original) << Shown(Escaped(original));
    }
}
