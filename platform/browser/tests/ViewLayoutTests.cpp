#include "TestPages.h"
#include "ViewLayout.h"

using namespace browser_test;
using torva::browser::HtmlDocument;
using torva::browser::ViewLayout;

namespace {

// Text measured as 7 pixels a character, 16 high; headings twice as large.
ViewLayout Layout(int width) {
    return ViewLayout(width, [](const std::wstring& s, ViewLayout::Font f) {
        const int scale = f == ViewLayout::Font::Heading1 ? 2 : 1;
        return SIZE{static_cast<LONG>(s.size()) * 7 * scale, 16 * scale};
    });
}

std::vector<ViewLayout::ControlKind> Kinds(const std::vector<ViewLayout::Item>& items) {
    std::vector<ViewLayout::ControlKind> r;
    for (const auto& i : items)
        if (i.control != ViewLayout::ControlKind::None) r.push_back(i.control);
    return r;
}

class Layouts : public BrowserTest {};

} // namespace

TEST_F(Layouts, EveryVisibleControlInDocumentOrder) {
    auto page = HtmlDocument::Load(PagePath(L"controls.html"));
    const auto items = Layout(800).Build(*page.get());
    using K = ViewLayout::ControlKind;
    EXPECT_EQ(Kinds(items),
              (std::vector<K>{K::Edit, K::Password, K::Radio, K::Radio, K::Radio, K::CheckBox,
                              K::CheckBox, K::DropDown, K::ListBox, K::TextArea, K::Button,
                              K::Button, K::Button, K::Edit, K::Button}));
    for (const auto& i : items) {
        if (i.control == K::Button && i.node->InputType() == L"reset") {
            EXPECT_EQ(i.text, L"Reset");
        }
    }
}

TEST_F(Layouts, ButtonCaptionsComeFromValueAltOrTheDefault) {
    auto page = HtmlDocument::FromMarkup(
        L"about:blank", L"<input type=submit><input type=submit value=Go><input type=image alt=Pic>"
                        L"<button>Press</button>");
    std::vector<std::wstring> captions;
    for (const auto& i : Layout(800).Build(*page.get()))
        if (i.control == ViewLayout::ControlKind::Button) captions.push_back(i.text);
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"Submit Query", L"Go", L"Pic", L"Press"}));
}

TEST_F(Layouts, TextWrapsAtTheWidthAndBlocksStartNewLines) {
    auto page = HtmlDocument::FromMarkup(L"about:blank", L"aaaa bbbb cccc<p>dddd");
    const auto items = Layout(8 + 7 * 10 + 8).Build(*page.get()); // room for ten characters
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].text, L"aaaa");
    EXPECT_EQ(items[1].text, L" bbbb");
    EXPECT_EQ(items[1].rect.top, items[0].rect.top);
    EXPECT_EQ(items[2].text, L"cccc"); // wrapped: the space is dropped
    EXPECT_GT(items[2].rect.top, items[1].rect.top);
    EXPECT_EQ(items[2].rect.left, items[0].rect.left);
    EXPECT_GT(items[3].rect.top, items[2].rect.top);
}

TEST_F(Layouts, HeadingsUseTheirFontAndHiddenPartsAreLeftOut) {
    auto page = HtmlDocument::FromMarkup(
        L"about:blank",
        L"<title>T</title><script>var x;</script><h1>Big</h1><input type=hidden name=h>after");
    const auto items = Layout(800).Build(*page.get());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, L"Big");
    EXPECT_EQ(items[0].font, ViewLayout::Font::Heading1);
    EXPECT_EQ(items[0].rect.bottom - items[0].rect.top, 32);
    EXPECT_EQ(items[1].text, L"after");
}

TEST_F(Layouts, FramesFollowOneAnotherUnderACaption) {
    auto page = HtmlDocument::Load(PagePath(L"frames.html"));
    const auto items = Layout(800).Build(*page.get());
    std::wstring text;
    for (const auto& i : items)
        text += i.text;
    const size_t left = text.find(L"[frame left]"), top = text.find(L"[frame top]"),
                 bottom = text.find(L"[frame bottom]");
    ASSERT_NE(left, std::wstring::npos);
    ASSERT_NE(top, std::wstring::npos);
    ASSERT_NE(bottom, std::wstring::npos);
    EXPECT_LT(left, text.find(L"Menu")); // each caption stands before its frame's text
    EXPECT_LT(text.find(L"Menu"), top);
    EXPECT_LT(top, text.find(L"Sign in"));
    EXPECT_LT(text.find(L"Sign in"), bottom);
    EXPECT_LT(bottom, text.find(L"Signed in.")); // the inline frame inside the bottom frame
    EXPECT_EQ(Kinds(items).size(), 15u);
}

TEST_F(Layouts, SizesFollowTheMarkup) {
    auto page = HtmlDocument::FromMarkup(
        L"about:blank", L"<input size=10><textarea rows=3 cols=40></textarea><select size=5>"
                        L"<option>a</select>");
    const auto items = Layout(1000).Build(*page.get());
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].rect.right - items[0].rect.left, 10 * 7 + 10);
    EXPECT_EQ(items[1].rect.bottom - items[1].rect.top, 3 * 16 + 8);
    EXPECT_EQ(items[2].control, ViewLayout::ControlKind::ListBox); // size > 1 lists its options
    EXPECT_EQ(items[2].rect.bottom - items[2].rect.top, 5 * 16 + 6);
}
