// Vantrel.exe started for real and looked at from outside, as a user sees
// it: its main window, the tree (read through the program's own memory, as
// the tree's messages carry pointers), the report text, clicks and keys.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace vantrel::test {

extern const wchar_t kMainCaption[];

// What the user saw of one export run from the main window.
struct ExportSeen {
    bool dialogFound = false;            // the export dialog came up
    std::vector<std::wstring> questions; // the boxes answered on the way (OK / Yes)
    bool dialogClosed = false;           // the export dialog accepted the input
    bool progressFound = false;
    bool ownedByMain = false;              // the progress dialog's owner is the main window
    bool runningSeen = false;              // the progress dialog was found before the end
    bool mainDisabledWhileRunning = false; // read while the run was seen going on
    bool ended = false;                    // the progress dialog's OK came on in time
    std::wstring title;                    // the progress dialog's title at the end
    std::wstring status;
    std::wstring error; // the text of a "エクスポートエラー" box
    int sections = -1;  // the progress bar's position at the end
    bool mainEnabledAfter = false;
    bool released = false; // OK pressed and the dialog gone
    double seconds = 0;    // from the export button to the end
};

class VantrelProcess {
public:
    VantrelProcess() = default;
    ~VantrelProcess();
    VantrelProcess(const VantrelProcess&) = delete;
    VantrelProcess& operator=(const VantrelProcess&) = delete;

    // Starts the Vantrel.exe beside the test program, or the one given.
    bool Start(const std::wstring& program = std::wstring());
    DWORD Id() const noexcept { return m_id; }
    HANDLE Handle() const noexcept { return m_process; }
    // True when the process ended within the time.
    bool WaitForEnd(DWORD milliseconds) const;
    // A top-level window of the process with the caption, waited for.
    HWND WaitForWindow(const wchar_t* caption, DWORD milliseconds) const;
    // Any visible top-level window of the process right now.
    bool HasVisibleWindow() const;

    // The main window once the store is loaded and the tree filled (the
    // window enabled again); null when that did not happen in time.
    HWND WaitUntilReady(DWORD milliseconds);
    HWND Main() const noexcept { return m_main; }
    HWND Tree() const noexcept { return m_tree; }
    HWND Report() const noexcept { return m_report; }
    HWND ToolBar() const noexcept { return m_toolBar; }

    // The tree, read in the program's memory.
    std::wstring Text(HTREEITEM item) const;
    HTREEITEM Root() const;
    HTREEITEM Child(HTREEITEM item) const;
    HTREEITEM Next(HTREEITEM item) const;
    HTREEITEM Parent(HTREEITEM item) const;
    std::vector<std::wstring> ChildTexts(HTREEITEM item) const;
    // The child of parent whose text is text (null: none).
    HTREEITEM Find(HTREEITEM parent, const std::wstring& text) const;
    // The child of parent whose text ends with suffix.
    HTREEITEM FindEndingWith(HTREEITEM parent, const std::wstring& suffix) const;
    bool Checked(HTREEITEM item) const;
    // Every item below item (item included) is checked.
    bool AllChecked(HTREEITEM item) const;

    // A click on the item's check box / its label; the space bar.
    void ClickCheckBox(HTREEITEM item) const;
    void ClickLabel(HTREEITEM item) const;
    void PressSpace() const;
    // The report view's text.
    std::wstring ReportText() const;
    // Ticks everything by the root's box, then unticks the web-form page
    // whose label ends in "(skipPageUrl)" when one is named; then waits for
    // the export's button to follow. False when it stays off.
    bool TickEverything(const std::wstring& skipPageUrl = std::wstring()) const;
    // A click on the tool bar's button of the command.
    void ClickToolButton(UINT command) const;
    // The visible message box of the program with the caption, or null.
    HWND FindBox(const std::wstring& caption) const;
    // The export dialog opened from the tool bar with the path and the
    // passphrase (twice) typed in; null when it did not come up.
    HWND OpenExportDialog(const std::wstring& path, const std::wstring& passphrase) const;
    // The whole export as a user runs it: the tool bar's button, the export
    // dialog filled in and its questions answered with OK / Yes, then the
    // progress dialog watched until its OK comes on (whileRunning is called
    // once it is shown) and closed with OK. The PIN dialog is left to the
    // test's answers. With closeWithOk false the ended dialog is left open.
    ExportSeen Export(const std::wstring& path, const std::wstring& passphrase,
                      const std::function<void(HWND progress)>& whileRunning = nullptr,
                      DWORD timeoutMs = 120000, bool closeWithOk = true) const;
    // The progress dialog of the program, or null.
    HWND FindProgressDialog() const;

    // Closes the main window as its close box does and waits for the end.
    bool Close(DWORD milliseconds);

private:
    RECT ItemRect(HTREEITEM item, bool textOnly) const;
    void Click(HWND window, POINT point) const;
    // Lets the program handle what was posted to it.
    void Settle() const;

    HANDLE m_process = nullptr;
    DWORD m_id = 0;
    HWND m_main = nullptr;
    HWND m_tree = nullptr;
    HWND m_report = nullptr;
    HWND m_toolBar = nullptr;
    void* m_remote = nullptr; // a page of the program's memory for the tree's messages
};

} // namespace vantrel::test
