#include "UiTestSupport.h"

#include "GdiScopes.h"
#include "RelayState.h"

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
