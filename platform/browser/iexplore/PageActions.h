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

struct Found {
    HtmlDocument* page = nullptr;
    HtmlNode* node = nullptr;
};
// First element named name (name or id); with value, the one whose value
// equals it (radio groups); when none is named so and buttons is true, the
// first button whose caption is name.
Found FindControl(HtmlDocument& top, const std::wstring& name, const std::wstring& value = L"",
                  bool buttons = false);

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
// (digits) or caption, with a click as a user's; then reads it back.
[[nodiscard]] bool SetDialogCheck(HWND dialog, const std::wstring& box, bool checked,
                                  std::wstring& why);
[[nodiscard]] bool TypeIntoDialog(HWND dialog, int editIndex, const std::wstring& text,
                                  std::wstring& why);
[[nodiscard]] bool SaveWindowBitmap(HWND window, const std::wstring& path, std::wstring& why);

} // namespace PageActions

} // namespace torva::browser
