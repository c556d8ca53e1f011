// Lays a page out for the view: text in lines, headings larger, and every
// form control as a box the view turns into a real Windows control, in
// document order, wrapped at the view's width. Frames follow one another,
// each under a caption line. Pure geometry: measuring text is the caller's.
#pragma once

#include "HtmlDocument.h"

#include <functional>
#include <string>
#include <vector>

namespace torva::browser {

class ViewLayout {
public:
    enum class Font { Normal, Bold, Heading1, Heading2, Heading3 };
    enum class ControlKind {
        None,
        Edit,
        Password,
        TextArea,
        CheckBox,
        Radio,
        Button,
        DropDown,
        ListBox
    };

    struct Item {
        RECT rect;
        std::wstring text; // text runs, button captions
        Font font = Font::Normal;
        ControlKind control = ControlKind::None;
        HtmlNode* node = nullptr; // the control's element
        HtmlDocument* page = nullptr;
    };

    // measure(text, font) gives the size the text takes.
    using Measure = std::function<SIZE(const std::wstring&, Font)>;
    ViewLayout(int width, Measure measure) : m_width(width), m_measure(std::move(measure)) {}

    std::vector<Item> Build(HtmlDocument& doc);
    static ControlKind KindOf(const HtmlNode& node);

private:
    void Page(HtmlDocument& doc);
    void Walk(HtmlDocument& doc, HtmlNode& node, Font font);
    void Words(const std::wstring& text, Font font, HtmlDocument& doc);
    void Place(Item item, int w, int h);
    void Break(int extra = 0);

    int m_width;
    Measure m_measure;
    std::vector<Item> m_items;
    int m_x = 0;
    int m_y = 0;
    int m_lineHeight = 0;
    bool m_space = false; // white space is pending before the next word
};

} // namespace torva::browser
