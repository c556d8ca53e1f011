#include "CFileDialog.h"

#include "CWinApp.h"

namespace {

constexpr size_t kFileBufferChars = 32 * 1024;

// The name part of a path: after the last backslash or slash.
size_t NameStart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? 0 : slash + 1;
}

} // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const wchar_t* defaultExt, const wchar_t* fileName,
                         DWORD flags, const wchar_t* filter, CWnd* parent, DWORD, BOOL)
    : m_bOpenFileDialog(openFileDialog), m_fileBuffer(kFileBufferChars, L'\0'),
      m_pParentWnd(parent) {
    if (fileName) lstrcpynW(m_fileBuffer.data(), fileName, static_cast<int>(kFileBufferChars));
    if (defaultExt) m_defaultExt = defaultExt;
    if (filter) {
        // "a|b||" becomes "a\0b\0\0": every bar ends one part.
        for (const wchar_t* p = filter; *p; ++p)
            m_filter.push_back(*p == L'|' ? L'\0' : *p);
        m_filter.push_back(L'\0');
        m_filter.push_back(L'\0');
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
    m_ofn.nFilterIndex = 1;
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileBuffer.size());
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.data();
    m_ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
    if (!m_ofn.hwndOwner) {
        HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
        if (!owner) {
            CWnd* main = AfxGetMainWnd();
            owner = main ? main->GetSafeHwnd() : ::GetActiveWindow();
        }
        m_ofn.hwndOwner = owner;
    }
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    return CString(m_fileBuffer.data());
}

CString CFileDialog::GetFileName() const {
    const std::wstring path(m_fileBuffer.data());
    return CString(path.substr(NameStart(path)));
}

CString CFileDialog::GetFileExt() const {
    const std::wstring name = GetFileName().str();
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? CString() : CString(name.substr(dot + 1));
}

CString CFileDialog::GetFileTitle() const {
    const std::wstring name = GetFileName().str();
    const size_t dot = name.rfind(L'.');
    return CString(dot == std::wstring::npos ? name : name.substr(0, dot));
}
