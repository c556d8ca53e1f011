#include "CWinApp.h"

#include <cstdlib>
#include <cwchar>

#include "AxHostWindow.h"
#include "CWnd.h"
#include "ModuleInstance.h"
#include "Win32Handles.h"

namespace {

CWinApp* g_app = nullptr;
// OLE initialised by AfxEnableControlContainer on the application's thread.
bool g_oleInitialised = false;
DWORD g_oleThread = 0;

// The string-table id of the application's title.
constexpr UINT kAppTitleStringId = 0xE000;

wchar_t* Duplicate(const wchar_t* text) {
    return text ? _wcsdup(text) : nullptr;
}

void FreeText(const wchar_t*& text) {
    std::free(const_cast<wchar_t*>(text));
    text = nullptr;
}

// The program's file name without folder and extension.
CString ExeBaseName(HINSTANCE instance) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return CString();
    CString name(path);
    const int slash = name.ReverseFind(L'\\');
    if (slash >= 0) name = name.Mid(slash + 1);
    const int dot = name.ReverseFind(L'.');
    if (dot > 0) name = name.Left(dot);
    return name;
}

} // namespace

CWinApp::CWinApp(const wchar_t* appName) {
    g_app = this;
    if (appName) m_pszAppName = Duplicate(appName);
}

CWinApp::~CWinApp() {
    FreeText(m_pszAppName);
    FreeText(m_pszExeName);
    FreeText(m_pszRegistryKey);
    FreeText(m_pszProfileName);
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() noexcept {
    return g_app;
}

CWnd* AfxGetMainWnd() noexcept {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() noexcept {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ComtlModuleInstance();
}

HINSTANCE AfxGetResourceHandle() noexcept {
    return AfxGetInstanceHandle();
}

BOOL AfxWinInit(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    CWinApp* app = g_app;
    if (!app) return FALSE;
    app->m_hInstance = instance ? instance : ComtlModuleInstance();
    app->m_lpCmdLine = commandLine;
    app->m_nCmdShow = show;
    app->m_nThreadID = ::GetCurrentThreadId();
    if (!app->m_pszExeName) app->m_pszExeName = Duplicate(ExeBaseName(app->m_hInstance));
    if (!app->m_pszProfileName)
        app->m_pszProfileName = Duplicate(CString(app->m_pszExeName) + L".INI");
    if (!app->m_pszAppName) {
        CString title;
        if (title.LoadString(kAppTitleStringId) && !title.IsEmpty()) {
            app->m_pszAppName = Duplicate(title);
        } else {
            app->m_pszAppName = Duplicate(app->m_pszExeName ? app->m_pszExeName : L"");
        }
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
    CWinApp* app = g_app;
    if (!app || !AfxWinInit(instance, previous, commandLine, show)) return -1;
    int code = 0;
    try {
        if (!app->InitApplication()) {
            code = app->ExitInstance();
        } else if (!app->InitInstance()) {
            // A main window left standing by a failed start goes first.
            if (app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd()) app->m_pMainWnd->DestroyWindow();
            code = app->ExitInstance();
        } else {
            code = app->Run();
        }
    } catch (...) {
        // Nothing may leave the program's entry point as an exception.
        code = -1;
    }
    // OLE goes with the application that asked for the control container.
    if (g_oleInitialised && g_oleThread == ::GetCurrentThreadId()) {
        ::OleUninitialize();
        g_oleInitialised = false;
    }
    return code;
}

int CWinApp::ExitInstance() {
    return CWinThread::ExitInstance();
}

void CWinApp::SetRegistryKey(const wchar_t* key) {
    if (!key) return;
    FreeText(m_pszRegistryKey);
    FreeText(m_pszProfileName);
    m_pszRegistryKey = Duplicate(key);
    m_pszProfileName = Duplicate(m_pszAppName ? m_pszAppName : L"");
}

void CWinApp::SetRegistryKey(UINT stringId) {
    CString key;
    if (key.LoadString(stringId)) SetRegistryKey(key);
}

HKEY CWinApp::OpenSectionKey(const wchar_t* section, bool create) const noexcept {
    if (!m_pszRegistryKey || !m_pszProfileName || !section) return nullptr;
    CString path;
    path.Format(L"Software\\%s\\%s\\%s", m_pszRegistryKey, m_pszProfileName, section);
    HKEY key = nullptr;
    LONG status = create ? ::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                             KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                         : ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    return status == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue) {
    if (!m_pszRegistryKey) {
        if (!m_pszProfileName || !section || !entry) return static_cast<UINT>(defaultValue);
        return ::GetPrivateProfileIntW(section, entry, defaultValue, m_pszProfileName);
    }
    torva::UniqueRegKey key(OpenSectionKey(section, false));
    if (!key || !entry) return static_cast<UINT>(defaultValue);
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExW(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return static_cast<UINT>(defaultValue);
    return value;
}

BOOL CWinApp::WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value) {
    if (!m_pszRegistryKey) {
        CString text;
        text.Format(L"%d", value);
        return WriteProfileString(section, entry, text);
    }
    torva::UniqueRegKey key(OpenSectionKey(section, true));
    if (!key || !entry) return FALSE;
    const DWORD data = static_cast<DWORD>(value);
    return ::RegSetValueExW(key.get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof(data)) == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(const wchar_t* section, const wchar_t* entry,
                                  const wchar_t* defaultValue) {
    const CString fallback(defaultValue);
    if (!m_pszRegistryKey) {
        if (!m_pszProfileName || !section || !entry) return fallback;
        // Grown until the text fits (the call answers size - 1 when cut).
        for (DWORD size = 256; size <= 65536; size *= 4) {
            CString text;
            const DWORD got = ::GetPrivateProfileStringW(
                section, entry, fallback, text.GetBufferSetLength(static_cast<int>(size)), size,
                m_pszProfileName);
            if (got < size - 1) {
                text.ReleaseBuffer(static_cast<int>(got));
                return text;
            }
        }
        return fallback;
    }
    torva::UniqueRegKey key(OpenSectionKey(section, false));
    if (!key || !entry) return fallback;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return fallback;
    CString text;
    const int chars = static_cast<int>(size / sizeof(wchar_t));
    wchar_t* buffer = text.GetBufferSetLength(chars + 1);
    if (::RegQueryValueExW(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS)
        return fallback;
    buffer[chars] = L'\0';
    text.ReleaseBuffer(-1);
    return text;
}

BOOL CWinApp::WriteProfileString(const wchar_t* section, const wchar_t* entry,
                                 const wchar_t* value) {
    if (!m_pszRegistryKey) {
        if (!m_pszProfileName || !section || !entry) return FALSE;
        return ::WritePrivateProfileStringW(section, entry, value, m_pszProfileName);
    }
    torva::UniqueRegKey key(OpenSectionKey(section, true));
    if (!key || !entry) return FALSE;
    if (!value) return ::RegDeleteValueW(key.get(), entry) == ERROR_SUCCESS;
    const DWORD bytes = static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.get(), entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                            bytes) == ERROR_SUCCESS;
}

HICON CWinApp::LoadIcon(UINT id) const noexcept {
    return ::LoadIconW(m_hInstance ? m_hInstance : ComtlModuleInstance(), MAKEINTRESOURCEW(id));
}

int CWinApp::DoMessageBox(const wchar_t* prompt, UINT type, UINT) {
    HWND owner = ::GetActiveWindow();
    if (!owner && m_pMainWnd) owner = m_pMainWnd->GetSafeHwnd();
    return ::MessageBoxW(owner, prompt, m_pszAppName ? m_pszAppName : L"", type);
}

BOOL AfxOleInit() {
    if (g_oleInitialised) return TRUE;
    const HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr)) return FALSE;
    g_oleInitialised = true;
    g_oleThread = ::GetCurrentThreadId();
    return TRUE;
}

BOOL AfxEnableControlContainer() {
    if (!g_oleInitialised) {
        const HRESULT hr = ::OleInitialize(nullptr);
        if (FAILED(hr)) return FALSE;
        // S_FALSE: already initialised on this thread, still one reference.
        g_oleInitialised = true;
        g_oleThread = ::GetCurrentThreadId();
    }
    return AxHostWindowInit();
}

int AfxMessageBox(const wchar_t* text, UINT type, UINT helpId) {
    if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(text, type, helpId);
    return ::MessageBoxW(::GetActiveWindow(), text, L"", type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
    CString text;
    text.LoadString(stringId);
    return AfxMessageBox(text, type, helpId == UINT(-1) ? stringId : helpId);
}
