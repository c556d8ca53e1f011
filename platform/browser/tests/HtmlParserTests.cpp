#include "HtmlParser.h"

#include <gtest/gtest.h>

using torva::browser::HtmlNode;
using torva::browser::ParseHtml;

namespace {

// Compact form of a subtree: tag(children) with "text" and <!--comment-->.
std::wstring Dump(const HtmlNode& n) {
    switch (n.kind()) {
    case HtmlNode::Kind::Text:
        return L"\"" + n.text() + L"\"";
    case HtmlNode::Kind::Comment:
        return L"<!--" + n.text() + L"-->";
    default:
        break;
    }
    std::wstring r = n.kind() == HtmlNode::Kind::Document ? L"#doc" : n.tag();
    if (n.children().empty()) return r;
    r += L"(";
    for (size_t i = 0; i < n.children().size(); ++i)
        r += (i ? L" " : L"") + Dump(*n.children()[i]);
    return r + L")";
}

std::wstring Body(const std::wstring& markup) {
    auto doc = ParseHtml(markup);
    for (const auto& c : doc->children()[0]->children())
        if (c->Is(L"body")) return Dump(*c);
    return L"(no body)";
}

const HtmlNode* Find(const HtmlNode& n, const std::wstring& tag, int skip = 0) {
    std::vector<HtmlNode*> all;
    n.CollectElements(all);
    for (HtmlNode* e : all)
        if (e->Is(tag) && skip-- == 0) return e;
    return nullptr;
}

} // namespace

TEST(HtmlParser, ImpliesHtmlHeadAndBody) {
    auto doc = ParseHtml(L"<title>T</title>hello");
    EXPECT_EQ(Dump(*doc), L"#doc(html(head(title(\"T\")) body(\"hello\")))");
}

TEST(HtmlParser, EmptyInputStillHasBody) {
    EXPECT_EQ(Dump(*ParseHtml(L"")), L"#doc(html(head body))");
}

TEST(HtmlParser, TagAndAttributeNamesAreCaseInsensitive) {
    auto doc = ParseHtml(L"<BODY><INPUT TYPE=Text NAME='User' Value=\"x\"></BODY>");
    const HtmlNode* in = Find(*doc, L"input");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->Attribute(L"type"), L"Text");
    EXPECT_EQ(in->Attribute(L"name"), L"User");
    EXPECT_EQ(in->Attribute(L"value"), L"x");
    EXPECT_EQ(in->InputType(), L"text");
}

TEST(HtmlParser, AttributesQuotedSingleQuotedUnquotedAndBare) {
    auto doc =
        ParseHtml(L"<input name=a value='it\"s' alt=\"it's\" checked maxlength=10 data=x=y>");
    const HtmlNode* in = Find(*doc, L"input");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->Attribute(L"name"), L"a");
    EXPECT_EQ(in->Attribute(L"value"), L"it\"s");
    EXPECT_EQ(in->Attribute(L"alt"), L"it's");
    EXPECT_TRUE(in->HasAttribute(L"checked"));
    EXPECT_EQ(in->Attribute(L"checked"), L"");
    EXPECT_EQ(in->Attribute(L"maxlength"), L"10");
    EXPECT_EQ(in->Attribute(L"data"), L"x=y");
}

TEST(HtmlParser, EntityLadenAttributesAreDecoded) {
    auto doc = ParseHtml(L"<form action=\"go.html?a=1&amp;b=2&copy=3\"><input value=&lt;&#x41;&gt "
                         L"name=\"&quot;q&quot;\">");
    EXPECT_EQ(Find(*doc, L"form")->Attribute(L"action"), L"go.html?a=1&b=2&copy=3");
    const HtmlNode* in = Find(*doc, L"input");
    EXPECT_EQ(in->Attribute(L"value"), L"<A>");
    EXPECT_EQ(in->Attribute(L"name"), L"\"q\"");
}

TEST(HtmlParser, DuplicateAttributeKeepsTheFirst) {
    auto doc = ParseHtml(L"<input name=first NAME=second>");
    EXPECT_EQ(Find(*doc, L"input")->Attribute(L"name"), L"first");
}

TEST(HtmlParser, ParagraphsListItemsAndOptionsEndImplicitly) {
    EXPECT_EQ(Body(L"<p>one<p>two<div>three</div>"), L"body(p(\"one\") p(\"two\") div(\"three\"))");
    EXPECT_EQ(Body(L"<ul><li>a<li>b<ul><li>c</ul><li>d</ul>"),
              L"body(ul(li(\"a\") li(\"b\" ul(li(\"c\"))) li(\"d\")))");
    EXPECT_EQ(Body(L"<select name=s><option value=1>One<option value=2 selected>Two</select>after"),
              L"body(select(option(\"One\") option(\"Two\")) \"after\")");
    EXPECT_EQ(Body(L"<dl><dt>t<dd>d<dt>u</dl>"), L"body(dl(dt(\"t\") dd(\"d\") dt(\"u\")))");
}

TEST(HtmlParser, OptgroupAndUnclosedSelectEndAtNextControl) {
    EXPECT_EQ(Body(L"<select><optgroup><option>a<optgroup><option>b</select>"),
              L"body(select(optgroup(option(\"a\")) optgroup(option(\"b\"))))");
    EXPECT_EQ(Body(L"<select><option>a<input name=x>"), L"body(select(option(\"a\")) input)");
}

TEST(HtmlParser, TableCellsAndRowsEndImplicitly) {
    EXPECT_EQ(Body(L"<table><tr><td>a<td>b<tr><td>c</table>"),
              L"body(table(tr(td(\"a\") td(\"b\")) tr(td(\"c\"))))");
}

TEST(HtmlParser, StrayEndTagsAreIgnoredAndUnclosedTagsEndWithTheInput) {
    EXPECT_EQ(Body(L"</div><b>bold<i>both</b>after"), L"body(b(\"bold\" i(\"both\")) \"after\")");
    EXPECT_EQ(Body(L"a</p>b"), L"body(\"a\" p \"b\")");
    EXPECT_EQ(Body(L"<div><span>x"), L"body(div(span(\"x\")))");
}

TEST(HtmlParser, NestedFormIsDroppedButItsControlsStay) {
    EXPECT_EQ(Body(L"<form name=a><form name=b><input name=x></form></form>"),
              L"body(form(input))");
}

TEST(HtmlParser, CommentsAreKeptIncludingOddForms) {
    EXPECT_EQ(Body(L"a<!--password-->b<!---->c<!-->d<!-- x -- y -->"),
              L"body(\"a\" <!--password--> \"b\" <!----> \"c\" <!----> \"d\" <!-- x -- y -->)");
    EXPECT_EQ(Body(L"x<!-- never closed"), L"body(\"x\" <!-- never closed-->)");
}

TEST(HtmlParser, ScriptAndStyleAreRawTextTextareaDecodes) {
    EXPECT_EQ(
        Body(L"s<script>if (a<b) x='</p>';</script><textarea name=t>&lt;b&gt; <i></textarea>"),
        L"body(\"s\" script(\"if (a<b) x='</p>';\") textarea(\"<b> <i>\"))");
    // Before any content a script belongs to the head.
    auto doc = ParseHtml(L"<script>var a = '<b>';</script>x");
    EXPECT_EQ(Dump(*doc), L"#doc(html(head(script(\"var a = '<b>';\")) body(\"x\")))");
}

TEST(HtmlParser, LessThanThatOpensNoTagIsText) {
    EXPECT_EQ(Body(L"1 < 2 <> 3 <3"), L"body(\"1 < 2 <> 3 <3\")");
}

TEST(HtmlParser, FramesetReplacesBodyAndNests) {
    auto doc = ParseHtml(
        L"<html><head><title>F</title></head><frameset cols=50%,*><frame src=a.html name=left>"
        L"<frameset rows=*,*><frame src=b.html><frame src=c.html></frameset></frameset></html>");
    EXPECT_EQ(Dump(*doc), L"#doc(html(head(title(\"F\")) frameset(frame frameset(frame frame))))");
    EXPECT_EQ(Find(*doc, L"frame", 2)->Attribute(L"src"), L"c.html");
}

TEST(HtmlParser, IframeStaysInBody) {
    EXPECT_EQ(Body(L"<p>x<iframe src=in.html></iframe>y"), L"body(p(\"x\" iframe \"y\"))");
}

TEST(HtmlParser, HeadingsDoNotNest) {
    EXPECT_EQ(Body(L"<h1>a<h2>b</h2>"), L"body(h1(\"a\") h2(\"b\"))");
}

TEST(HtmlParser, UnknownInputTypeReadsAsText) {
    auto doc = ParseHtml(L"<input type=PASSWORD><input type=fancy><input>");
    EXPECT_EQ(Find(*doc, L"input", 0)->InputType(), L"password");
    EXPECT_EQ(Find(*doc, L"input", 1)->InputType(), L"text");
    EXPECT_EQ(Find(*doc, L"input", 2)->InputType(), L"text");
}
