// What a user does to the shown page, done through the view's real
// controls (so the object model hears it as it hears a user): find a
// control by name across the page and its frames, type, tick, choose,
// click. Also the same for other programs' windows (dialogs), and the
// frame's picture as a bitmap file.
#pragma once

#include "BrowserView.h"
#include "HtmlDocument.h"

#include <string>

namespace torva::browser {

namespace PageActions {

// A frame path ahead of a script word: "main>user" is user inside the frame
// named main, "1>0>user" inside the first frame of the second frame. Each
// step names a frame of the page before it by its name or id, or by its
// index among that page's frames (from 0, in document order).
struct Framed {
    HtmlDocument* page = nullptr; // the page the path leads to (top without one)
    std::wstring rest;            // the word after the path
    std::wstring missing;         // the step that names no frame, when one does not
};
// The page word's frame path leads to. A word without ">", or whose first
// step names no frame of top, is taken as it stands (a caption may hold
// ">"); a later step that names no frame leaves page null and missing set.
Framed InFrame(HtmlDocument& top, const std::wstring& word);

struct Found {
    HtmlDocument* page = nullptr;
    HtmlNode* node = nullptr;
    std::wstring missingFrame; // set when the name's frame path led nowhere
};
// First element named name (name or id), in the page and then its frames;
// with value, the one whose value equals it (radio groups); when none is
// named so and buttons is true, the first button whose caption is name.
// A frame path ahead of the name (see Framed) confines the search to that
// frame's page and its own frames.
Found FindControl(HtmlDocument& top, const std::wstring& name, const std::wstring& value = L"",
                  bool buttons = false);
// Why f found nothing.
std::wstring NotFound(const Found& f);

[[nodiscard]] bool Type(BrowserView& view, const Found& f, const std::wstring& text,
                        std::wstring& why);
[[nodiscard]] bool SetChecked(BrowserView& view, const Found& f, bool checked, std::wstring& why);
[[nodiscard]] bool Choose(BrowserView& view, const Found& f, const std::wstring& option,
                          std::wstring& why);
// A user's click, posted to the control (see ScriptRunner.h: "click").
[[nodiscard]] bool Click(BrowserView& view, const Found& f, std::wstring& why);
std::wstring PageText(HtmlDocument& top);

// Top-level window with this title (any program), or null.
HWND FindTopWindow(const std::wstring& title);
[[nodiscard]] bool PressDialogButton(HWND dialog, const std::wstring& caption, std::wstring& why);
// Ticks (checked) or unticks the dialog's check box, named by control id
// (digits) or caption, with a click as a user's; then reads it back. A
// radio button is chosen so; it cannot be unticked (choose another).
[[nodiscard]] bool SetDialogCheck(HWND dialog, const std::wstring& box, bool checked,
                                  std::wstring& why);
[[nodiscard]] bool TypeIntoDialog(HWND dialog, int editIndex, const std::wstring& text,
                                  std::wstring& why);
[[nodiscard]] bool SaveWindowBitmap(HWND window, const std::wstring& path, std::wstring& why);

} // namespace PageActions

} // namespace torva::browser
