// Plays a user in front of a popup menu of the test thread: on a thread of
// its own it waits for the menu window ("#32768"), reads the texts of its
// items, then types the accelerator of the item to choose (or Escape), and
// finally runs an optional step (e.g. answering the message box the command
// shows) while the test thread runs the command. An optional step of its
// own runs while the menu is open, before the key is typed.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class MenuDriver {
public:
    // key: the accelerator letter to type; 0 closes the menu with Escape.
    MenuDriver(wchar_t key, std::function<void()> after = nullptr,
               std::function<void()> whileOpen = nullptr);
    ~MenuDriver();
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

    // Waits until the driver has done its part.
    void Join();
    bool Seen() const noexcept { return m_seen.load(); }
    // The menu's item texts as shown (valid after Join).
    const std::vector<std::wstring>& Items() const noexcept { return m_items; }

private:
    void Run(wchar_t key, const std::function<void()>& after,
             const std::function<void()>& whileOpen);

    DWORD m_testThread;
    std::atomic<bool> m_seen{false};
    std::vector<std::wstring> m_items;
    std::thread m_thread;
};
