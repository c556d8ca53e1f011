// CFileDialog: the system's open or save file dialog. The filter is given
// in the conventional form "text|pattern|text|pattern||"; m_ofn may be
// adjusted before DoModal. DoModal answers IDOK when the user chose a file,
// else IDCANCEL; the chosen name is then read with GetPathName and the
// parts of it.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "CWnd.h"
#include "FxString.h"

class CFileDialog {
public:
    // flags are OFN_ flags added to OFN_EXPLORER (the only style offered);
    // fileName is the name shown at first; defaultExt, without its dot, is
    // appended by the system to a name typed without extension.
    explicit CFileDialog(BOOL openFileDialog, const wchar_t* defaultExt = nullptr,
                         const wchar_t* fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         const wchar_t* filter = nullptr, CWnd* parent = nullptr, DWORD size = 0,
                         BOOL vistaStyle = TRUE);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    virtual INT_PTR DoModal();

    // The full chosen path, the name with its extension, the extension
    // without its dot (empty when the name has none) and the name without it.
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;

    OPENFILENAMEW m_ofn{};

private:
    BOOL m_bOpenFileDialog;
    std::vector<wchar_t> m_fileBuffer;
    std::vector<wchar_t> m_filter;
    std::wstring m_defaultExt;
    CWnd* m_pParentWnd;
};
