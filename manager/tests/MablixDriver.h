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
    // Selects the node by its place: the index-th child at each level.
    // (Under Wine a 32-bit tree does not answer TVM_GETITEMW from a 64-bit
    // process, so where the labels cannot be read the place has to do.)
    bool SelectAt(const std::vector<int>& path);
    // Presses Cancel and waits for the program to end; ends it otherwise.
    bool Close(DWORD timeoutMs);
    HWND Dialog() const { return m_dialog; }
    // The labels Select read, for a report when it found nothing.
    const std::vector<std::wstring>& Seen() const { return m_seen; }

private:
    std::wstring Text(LPARAM node);
    LPARAM Find(LPARAM parent, const std::vector<std::wstring>& labels, size_t depth);

    PROCESS_INFORMATION m_process{};
    HWND m_dialog = nullptr;
    HWND m_tree = nullptr;
    bool m_wow64 = false;
    void* m_remote = nullptr;
    std::vector<std::wstring> m_seen;
};

// The whole screen as a 24-bit BMP file.
bool SaveScreen(const std::wstring& path);

} // namespace mablix_driver
