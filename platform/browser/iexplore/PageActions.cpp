#include "PageActions.h"

#include "FormControls.h"
#include "GdiScopes.h"
#include "ViewLayout.h"

#include <Win32Handles.h>

#include <algorithm>
#include <vector>

namespace torva::browser {

namespace PageActions {

namespace {

constexpr UINT kDialogWaitMs = 5000; // another program's dialog that does not answer

void AllPages(HtmlDocument& doc, std::vector<HtmlDocument*>& out) {
    out.push_back(&doc);
    for (const auto& f : doc.frames())
        AllPages(*f.document.get(), out);
}

std::wstring Caption(const HtmlNode& n) {
    if (n.Is(L"button")) return n.TextContent();
    if (n.InputType() == L"image") return n.Attribute(L"alt");
    return n.Attribute(L"value");
}

std::wstring StripAmpersand(std::wstring s) {
    std::wstring r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'&' && i + 1 < s.size()) ++i;
        r += s[i];
    }
    return r;
}

// Tells the view a control changed as if the control itself had notified.
void Notify(HWND control, int code) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

HWND Window(BrowserView& view, const Found& f, std::wstring& why) {
    if (!f.node) {
        why = NotFound(f);
        return nullptr;
    }
    HWND h = view.ControlFor(f.node);
    if (!h) why = L"the control has no window (hidden?)";
    return h;
}

// The frame of page that step names, or null.
HtmlDocument* FrameOf(HtmlDocument& page, const std::wstring& step) {
    const auto& frames = page.frames();
    if (!step.empty() && std::all_of(step.begin(), step.end(), iswdigit)) {
        const size_t index = std::wcstoul(step.c_str(), nullptr, 10);
        return index < frames.size() ? frames[index].document.get() : nullptr;
    }
    for (const auto& f : frames)
        if (f.node && (f.node->Attribute(L"name") == step || f.node->Attribute(L"id") == step))
            return f.document.get();
    return nullptr;
}

} // namespace

Framed InFrame(HtmlDocument& top, const std::wstring& word) {
    size_t cut = word.find(L'>');
    if (cut == std::wstring::npos) return {&top, word, {}};
    HtmlDocument* page = FrameOf(top, word.substr(0, cut));
    if (!page) return {&top, word, {}};
    for (;;) {
        const size_t next = word.find(L'>', cut + 1);
        if (next == std::wstring::npos) return {page, word.substr(cut + 1), {}};
        const std::wstring step = word.substr(cut + 1, next - cut - 1);
        page = FrameOf(*page, step);
        if (!page) return {nullptr, {}, step};
        cut = next;
    }
}

std::wstring NotFound(const Found& f) {
    return f.missingFrame.empty() ? L"no such control on the page" : L"no frame " + f.missingFrame;
}

Found FindControl(HtmlDocument& top, const std::wstring& word, const std::wstring& value,
                  bool buttons) {
    const Framed at = InFrame(top, word);
    if (!at.page) return {nullptr, nullptr, at.missing};
    const std::wstring& name = at.rest;
    std::vector<HtmlDocument*> pages;
    AllPages(*at.page, pages);
    for (HtmlDocument* page : pages) {
        std::vector<HtmlNode*> all;
        page->root().CollectElements(all);
        for (HtmlNode* n : all)
            if (n->IsElement() && (n->Attribute(L"name") == name || n->Attribute(L"id") == name) &&
                (value.empty() || FormControls::Value(*n) == value))
                return {page, n, {}};
    }
    if (!buttons) return {};
    for (HtmlDocument* page : pages) {
        std::vector<HtmlNode*> all;
        page->root().CollectElements(all);
        for (HtmlNode* n : all)
            if (ViewLayout::KindOf(*n) == ViewLayout::ControlKind::Button && Caption(*n) == name)
                return {page, n, {}};
    }
    return {};
}

bool Type(BrowserView& view, const Found& f, const std::wstring& text, std::wstring& why) {
    HWND h = Window(view, f, why);
    if (!h) return false;
    SetFocus(h);
    SetWindowTextW(h, text.c_str()); // the edit control tells the view (EN_CHANGE)
    // A multi-line edit does not notify a change of its whole text; what
    // the user typed would not reach the text area's value.
    if (GetWindowLongW(h, GWL_STYLE) & ES_MULTILINE) Notify(h, EN_CHANGE);
    return true;
}

bool SetChecked(BrowserView& view, const Found& f, bool checked, std::wstring& why) {
    HWND h = Window(view, f, why);
    if (!h) return false;
    if (FormControls::Checked(*f.node) != checked) Notify(h, BN_CLICKED); // a user's click
    if (FormControls::Checked(*f.node) != checked) {
        why = L"the box did not change";
        return false;
    }
    return true;
}

bool Choose(BrowserView& view, const Found& f, const std::wstring& option, std::wstring& why) {
    HWND h = Window(view, f, why);
    if (!h) return false;
    const auto opts = FormControls::Options(*f.node);
    for (size_t i = 0; i < opts.size(); ++i) {
        if (FormControls::OptionText(*opts[i]) != option && FormControls::Value(*opts[i]) != option)
            continue;
        if (ViewLayout::KindOf(*f.node) == ViewLayout::ControlKind::DropDown) {
            SendMessageW(h, CB_SETCURSEL, i, 0);
            Notify(h, CBN_SELCHANGE);
        } else {
            if (FormControls::IsMultiple(*f.node))
                SendMessageW(h, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
            else
                SendMessageW(h, LB_SETCURSEL, i, 0);
            Notify(h, LBN_SELCHANGE);
        }
        return true;
    }
    why = L"no option " + option;
    return false;
}

bool Click(BrowserView& view, const Found& f, std::wstring& why) {
    HWND h = Window(view, f, why);
    if (!h) return false;
    RECT r{};
    GetClientRect(h, &r);
    if (!IsWindowEnabled(h)) {
        why = L"the control is disabled";
        return false;
    }
    // The mouse's messages, posted: the click is handled when the program's
    // loop next runs, and whatever it opens (a modal dialog) runs its own
    // loop while the script goes on.
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(h, WM_LBUTTONUP, 0, at);
    return true;
}

std::wstring PageText(HtmlDocument& top) {
    std::vector<HtmlDocument*> pages;
    AllPages(top, pages);
    std::wstring text;
    for (HtmlDocument* p : pages)
        if (HtmlNode* body = p->Body()) text += body->TextContent() + L"\n";
    return text;
}

HWND FindTopWindow(const std::wstring& title) {
    return FindWindowW(nullptr, title.c_str());
}

bool PressDialogButton(HWND dialog, const std::wstring& caption, std::wstring& why) {
    for (HWND c = FindWindowExW(dialog, nullptr, L"Button", nullptr); c;
         c = FindWindowExW(dialog, c, L"Button", nullptr)) {
        wchar_t text[256] = {};
        GetWindowTextW(c, text, 256);
        if (StripAmpersand(text) != StripAmpersand(caption) || !IsWindowEnabled(c)) continue;
        // Posted, as a click arrives: the dialog may close inside its handler.
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), BN_CLICKED),
                     reinterpret_cast<LPARAM>(c));
        return true;
    }
    why = L"no enabled button " + caption;
    return false;
}

bool SetDialogCheck(HWND dialog, const std::wstring& box, bool checked, std::wstring& why) {
    HWND c = nullptr;
    if (!box.empty() && std::all_of(box.begin(), box.end(), iswdigit)) {
        c = GetDlgItem(dialog, std::stoi(box));
    } else {
        for (c = FindWindowExW(dialog, nullptr, L"Button", nullptr); c;
             c = FindWindowExW(dialog, c, L"Button", nullptr)) {
            wchar_t text[256] = {};
            GetWindowTextW(c, text, 256);
            if (StripAmpersand(text) == StripAmpersand(box)) break;
        }
    }
    const LONG type = c ? GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK : -1;
    const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    if (type != BS_CHECKBOX && type != BS_AUTOCHECKBOX && type != BS_3STATE &&
        type != BS_AUTO3STATE && !radio) {
        why = L"no check box " + box;
        return false;
    }
    if (radio && !checked) {
        why = L"a radio button goes off only when another is chosen";
        return false;
    }
    if (!IsWindowEnabled(c) || !IsWindowVisible(c)) {
        why = L"the check box is disabled or hidden";
        return false;
    }
    // Sent, so that the box's own thread handles the click (its dialog may
    // belong to another program) and the state can be read back at once.
    auto state = [c]() {
        DWORD_PTR r = BST_UNCHECKED;
        SendMessageTimeoutW(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kDialogWaitMs, &r);
        return r == BST_CHECKED;
    };
    if (state() == checked) return true;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(c, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kDialogWaitMs, &ignored);
    if (state() == checked) return true;
    why = checked ? L"the box stays unticked" : L"the box stays ticked";
    return false;
}

bool TypeIntoDialog(HWND dialog, int editIndex, const std::wstring& text, std::wstring& why) {
    HWND e = nullptr;
    for (int i = 0; i <= editIndex; ++i) {
        e = FindWindowExW(dialog, e, L"Edit", nullptr);
        if (!e) {
            why = L"no edit box " + std::to_wstring(editIndex);
            return false;
        }
    }
    SendMessageW(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return true;
}

bool SaveWindowBitmap(HWND window, const std::wstring& path, std::wstring& why) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    WindowDC screen(nullptr);
    UniqueMemoryDC mem(CreateCompatibleDC(screen.get()));
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueGdiObject bmp(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    why = L"cannot capture the window";
    if (!bmp || !mem) return false;
    {
        SelectedObject select(mem.get(), bmp.get());
        if (!PrintWindow(window, mem.get(), 0))
            BitBlt(mem.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
        GdiFlush();
    }
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
    const DWORD size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0, 0,
                        static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
    UniqueFile f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    const bool ok = f && WriteFile(f.get(), &fh, sizeof fh, &written, nullptr) &&
                    WriteFile(f.get(), &bi.bmiHeader, sizeof bi.bmiHeader, &written, nullptr) &&
                    WriteFile(f.get(), bits, size, &written, nullptr);
    why = ok ? L"" : L"cannot write " + path;
    return ok;
}

} // namespace PageActions

} // namespace torva::browser
