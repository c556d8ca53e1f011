// CWinApp: the application object, one per program. Its constructor makes
// it the program's application (AfxGetApp); AfxWinMain runs it:
// InitInstance, then the message loop when InitInstance returned TRUE, and
// ExitInstance in both cases.
//
// The profile lives under HKEY_CURRENT_USER, key "Software", then the
// registry key, the profile name and the section; SetRegistryKey sets the
// key and takes the display name of that moment as the profile name, so the
// display name may change afterwards without moving the profile. Without a
// registry key the profile is the initialisation file named by the profile
// name (the program's name and ".INI", in the Windows folder).
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "CDocTemplate.h"
#include "CWinThread.h"
#include "FxString.h"

class CWinApp : public CWinThread {
public:
    // appName null: the display name comes from string 0xE000 of the
    // program, else the program's file name without extension.
    explicit CWinApp(const wchar_t* appName = nullptr);
    ~CWinApp() override;

    // Set by AfxWinMain before InitInstance.
    HINSTANCE m_hInstance = nullptr;
    wchar_t* m_lpCmdLine = nullptr; // the command line after the program name
    int m_nCmdShow = SW_SHOWNORMAL;
    // Display name: the message boxes' caption. Allocated with malloc, so a
    // program may free it and put a _wcsdup'ed text in its place.
    const wchar_t* m_pszAppName = nullptr;
    const wchar_t* m_pszExeName = nullptr;     // file name without extension (malloc)
    const wchar_t* m_pszRegistryKey = nullptr; // malloc
    const wchar_t* m_pszProfileName = nullptr; // malloc; the INI file's name without a registry key

    virtual BOOL InitApplication() { return TRUE; }
    BOOL InitInstance() override { return TRUE; }
    // Returns the exit code of the message loop (0 when none ran).
    int ExitInstance() override;

    void SetRegistryKey(const wchar_t* key);
    void SetRegistryKey(UINT stringId);
    UINT GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue);
    BOOL WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value);
    CString GetProfileString(const wchar_t* section, const wchar_t* entry,
                             const wchar_t* defaultValue = nullptr);
    BOOL WriteProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* value);

    HICON LoadIcon(UINT id) const noexcept;
    HICON LoadStandardIcon(const wchar_t* name) const noexcept {
        return ::LoadIconW(nullptr, name);
    }
    HCURSOR LoadStandardCursor(const wchar_t* name) const noexcept {
        return ::LoadCursorW(nullptr, name);
    }

    // Document/view programs: the application owns its templates; the
    // command line names a new document or a file; ProcessShellCommand
    // carries it out (FALSE when no main window resulted).
    void AddDocTemplate(CDocTemplate* docTemplate);
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);
    // The commands new (57600) and open (57601) of the first template.
    void OnFileNew();
    void OnFileOpen();
    // Recent-file lists are not kept: only the count asked for is noted.
    void LoadStdProfileSettings(UINT maxRecentFiles = 4);
    UINT m_nMaxRecentFiles = 0;

    // The message box behind AfxMessageBox, captioned with the display name.
    virtual int DoMessageBox(const wchar_t* prompt, UINT type, UINT helpId);

private:
    std::vector<std::unique_ptr<CDocTemplate>> m_docTemplates;
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPWSTR, int);
    HKEY OpenSectionKey(const wchar_t* section, bool create) const noexcept;
};

// The program's application object (null outside its lifetime).
CWinApp* AfxGetApp() noexcept;
// The application's main window (null without one).
CWnd* AfxGetMainWnd() noexcept;
HINSTANCE AfxGetInstanceHandle() noexcept;
HINSTANCE AfxGetResourceHandle() noexcept;
// Fills the application's instance, command line and names (AfxWinMain does).
BOOL AfxWinInit(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);
// Runs the application object: the body of the program's entry point.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);
// Lets dialogs and windows of this thread host ActiveX controls (OLE
// initialised on the calling thread, the control host window class
// registered). FALSE when either failed.
BOOL AfxEnableControlContainer();
// OLE for the application's thread (undone when the application ends);
// FALSE when it could not be initialised.
BOOL AfxOleInit();
// A message box with the application's display name as caption, owned by
// the active window of the application.
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = UINT(-1));
