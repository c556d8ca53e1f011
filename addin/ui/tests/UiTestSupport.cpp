#include "UiTestSupport.h"

#include "GdiScopes.h"
#include "RelayState.h"

#include <algorithm>

void UseRelayBesideTestProgram() {
    RelayState::Instance().SetRelayFolder(torva::ProgramFolder());
}

torva::UniqueWindow MakeActiveOwner(int x, int y, int width, int height) {
    torva::UniqueWindow owner(::CreateWindowExW(0, L"STATIC", L"owner",
                                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width,
                                                height, nullptr, nullptr, nullptr, nullptr));
    if (owner) {
        ::SetForegroundWindow(owner.get());
        ::SetActiveWindow(owner.get());
    }
    return owner;
}

RECT ChildRect(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

POINT CentredOn(const RECT& reference, const RECT& own) {
    return {reference.left + ((reference.right - reference.left) - (own.right - own.left)) / 2,
            reference.top + ((reference.bottom - reference.top) - (own.bottom - own.top)) / 2};
}

SIZE MeasureInWindowFont(HWND window, const std::wstring& text) {
    SIZE extent{};
    torva::WindowDC dc(window);
    torva::SelectedObject font(dc.get(),
                               reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
}

namespace {

std::wstring WindowTextOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// The text as drawn: "&&" shows one "&", a single "&" only underlines.
std::wstring Shown(const std::wstring& text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

bool Skipped(HWND control, const std::vector<int>& skipIds) {
    const int id = ::GetDlgCtrlID(control);
    for (int skip : skipIds)
        if (skip == id) return true;
    return false;
}

LONG ButtonType(HWND control) {
    return static_cast<LONG>(::GetWindowLongPtrW(control, GWL_STYLE)) & BS_TYPEMASK;
}

bool IsGroupBox(HWND control) {
    return ::lstrcmpiW(ClassOf(control).c_str(), L"Button") == 0 &&
           ButtonType(control) == BS_GROUPBOX;
}

} // namespace

std::vector<std::wstring> ClippedLabels(HWND dialog, const std::vector<int>& skipIds) {
    std::vector<std::wstring> clipped;
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(control) || Skipped(control, skipIds)) continue;
        const std::wstring cls = ClassOf(control);
        const bool button = ::lstrcmpiW(cls.c_str(), L"Button") == 0;
        if (!button && ::lstrcmpiW(cls.c_str(), L"Static") != 0) continue;
        const std::wstring text = Shown(WindowTextOf(control));
        if (text.empty()) continue;
        RECT client{};
        ::GetClientRect(control, &client);
        int room = client.right;
        const LONG style = static_cast<LONG>(::GetWindowLongPtrW(control, GWL_STYLE));
        bool multiLine = !button; // statics wrap
        if (button) {
            switch (ButtonType(control)) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
            case BS_3STATE:
            case BS_AUTO3STATE:
                room -= ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
                break;
            case BS_GROUPBOX:
                room -= 16;
                break;
            default:
                room -= 4;
                break;
            }
            multiLine = (style & BS_MULTILINE) != 0;
        }
        // Lines the text was broken into itself, each measured alone.
        size_t start = 0;
        int lineCount = 0;
        int widest = 0;
        int needed = 0;
        int lineHeight = 1;
        for (;;) {
            const size_t end = text.find(L'\n', start);
            const std::wstring line =
                text.substr(start, end == std::wstring::npos ? end : end - start);
            const SIZE extent = MeasureInWindowFont(control, line.empty() ? L" " : line);
            lineHeight = std::max<int>(lineHeight, extent.cy);
            widest = std::max<int>(widest, extent.cx);
            // A wrapped line loses up to one character at each break.
            const int oneChar = extent.cx / std::max<int>(1, static_cast<int>(line.size()));
            const int safeRoom = std::max(1, room);
            int lines = (extent.cx + safeRoom - 1) / safeRoom;
            if (lines > 1) lines = (extent.cx + oneChar * (lines - 1) + safeRoom - 1) / safeRoom;
            needed += std::max(1, lines);
            ++lineCount;
            if (end == std::wstring::npos) break;
            start = end + 1;
        }
        const int fitting =
            multiLine ? std::max(1, static_cast<int>(client.bottom / lineHeight)) : 1;
        const bool cut = multiLine ? needed > fitting : (lineCount > 1 || widest > room);
        if (cut) {
            clipped.push_back(std::to_wstring(::GetDlgCtrlID(control)) + L" \"" + text + L"\": " +
                              std::to_wstring(widest) + L" wide, room " + std::to_wstring(room) +
                              L" x " + std::to_wstring(fitting));
        }
    }
    return clipped;
}

std::vector<std::wstring> OverlappingControls(HWND dialog, const std::vector<int>& skipIds) {
    std::vector<HWND> shown;
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        RECT rect = ChildRect(control);
        if (::IsWindowVisible(control) && !::IsRectEmpty(&rect) && !Skipped(control, skipIds))
            shown.push_back(control);
    }
    std::vector<std::wstring> overlapping;
    for (size_t i = 0; i < shown.size(); ++i) {
        for (size_t j = i + 1; j < shown.size(); ++j) {
            HWND a = shown[i];
            HWND b = shown[j];
            if (IsGroupBox(b) && !IsGroupBox(a)) std::swap(a, b);
            const RECT ra = ChildRect(a);
            const RECT rb = ChildRect(b);
            RECT both{};
            if (!::IntersectRect(&both, &ra, &rb)) continue;
            if (IsGroupBox(a) && !IsGroupBox(b)) {
                // Inside the frame, below the caption's line, clear of the edges.
                const int caption = MeasureInWindowFont(a, L"Ag").cy;
                if (rb.left > ra.left && rb.right < ra.right && rb.top >= ra.top + caption &&
                    rb.bottom < ra.bottom)
                    continue;
            }
            overlapping.push_back(std::to_wstring(::GetDlgCtrlID(a)) + L"/" +
                                  std::to_wstring(::GetDlgCtrlID(b)));
        }
    }
    return overlapping;
}
