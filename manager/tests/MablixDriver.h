// Drives the installed Mablix.exe from another process as a user would for
// the screenshots and the main job: starts it, waits for its dialog and its
// filled tree, selects a node by its labels, presses Cancel, and takes a
// picture of the screen. The tree's labels are read through memory in the
// manager's process, which may be 32-bit while this program is 64-bit.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace mablix_driver {

class Mablix {
public:
    Mablix() = default;
    ~Mablix();
    Mablix(const Mablix&) = delete;
    Mablix& operator=(const Mablix&) = delete;

    // Starts program with its own name as the command line.
    bool Start(const std::wstring& program);
    // Waits for the dialog and a tree with at least one page.
    bool WaitForTree(DWORD timeoutMs);
    // Selects the node reached from the root by these labels (page, item);
    // a label matches when the node's text starts with it ("" matches any).
    bool Select(const std::vector<std::wstring>& labels);
    // Presses Cancel and waits for the program to end; ends it otherwise.
    bool Close(DWORD timeoutMs);
    HWND Dialog() const { return m_dialog; }

private:
    std::wstring Text(LPARAM node);
    LPARAM Find(LPARAM parent, const std::vector<std::wstring>& labels, size_t depth);

    PROCESS_INFORMATION m_process{};
    HWND m_dialog = nullptr;
    HWND m_tree = nullptr;
    bool m_wow64 = false;
    void* m_remote = nullptr;
};

// The whole screen as a 24-bit BMP file.
bool SaveScreen(const std::wstring& path);

} // namespace mablix_driver
