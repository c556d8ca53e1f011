#include "MenuDriver.h"

namespace {

HWND FindMenuWindow(DWORD thread) {
    HWND found = nullptr;
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (::lstrcmpW(name, L"#32768") == 0 && ::IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

MenuDriver::MenuDriver(wchar_t key, std::function<void()> after, std::function<void()> whileOpen)
    : m_testThread(::GetCurrentThreadId()),
      m_thread([this, key, after = std::move(after), whileOpen = std::move(whileOpen)] {
          Run(key, after, whileOpen);
      }) {}

MenuDriver::~MenuDriver() {
    Join();
}

void MenuDriver::Join() {
    if (m_thread.joinable()) m_thread.join();
}

void MenuDriver::Run(wchar_t key, const std::function<void()>& after,
                     const std::function<void()>& whileOpen) {
    HWND menuWindow = nullptr;
    for (int i = 0; i < 500 && !menuWindow; ++i) {
        menuWindow = FindMenuWindow(m_testThread);
        if (!menuWindow) ::Sleep(10);
    }
    if (!menuWindow) return;
    m_seen = true;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        m_items.emplace_back(text);
    }
    if (whileOpen) whileOpen();
    if (key)
        ::PostMessageW(menuWindow, WM_CHAR, key, 0);
    else
        ::PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 300 && ::IsWindow(menuWindow) && ::IsWindowVisible(menuWindow); ++i)
        ::Sleep(10);
    if (after) after();
}
