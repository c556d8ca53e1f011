#include "WindowClass.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace torva::browser::WindowClass {

namespace {

std::mutex g_lock;
std::vector<std::pair<std::wstring, HINSTANCE>>& Registered() {
    static std::vector<std::pair<std::wstring, HINSTANCE>> classes;
    return classes;
}

} // namespace

bool Register(const WNDCLASSEXW& wc) {
    std::lock_guard<std::mutex> hold(g_lock);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing)) {
        if (existing.lpfnWndProc == wc.lpfnWndProc) return true;
        UnregisterClassW(wc.lpszClassName, wc.hInstance);
    }
    if (!RegisterClassExW(&wc)) return false;
    try {
        Registered().emplace_back(wc.lpszClassName, wc.hInstance);
    } catch (...) {
        // Not remembered: the class stays until the process ends.
    }
    return true;
}

void UnregisterAll() noexcept {
    std::lock_guard<std::mutex> hold(g_lock);
    for (const auto& [name, instance] : Registered())
        UnregisterClassW(name.c_str(), instance);
    Registered().clear();
}

} // namespace torva::browser::WindowClass
