// The export dialog (131 "エクスポート"): the target file (1007, a
// CFileDropEditbox, at most 256 characters), the passphrase (1009) and its
// confirmation (1010). The export button (1014), or Enter in one of the
// three boxes, completes the file name with ".csv" and checks the input;
// only input that passed every check closes the dialog with IDOK.
#pragma once

#include "CFileDropEditbox.h"
#include "Framework.h"

namespace vantrel {

class CExportDlg : public CDialog {
public:
    explicit CExportDlg(CWnd* parent = nullptr);
    ~CExportDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // IDOK never closes the dialog unchecked: it acts as the export button.
    void OnOK() override;

    // Overwrites the passphrase held by the dialog; the command calls it
    // once the passphrase has been handed on.
    void WipePassphrase() noexcept;

    CString m_strPath;
    CString m_strPassphrase;

protected:
    void OnBrowse();
    void OnExport();
    // The checks in order; each refusal tells the user and moves the focus.
    bool Validate();

    DECLARE_MESSAGE_MAP()

private:
    int Tell(UINT textId, UINT type);
    void FocusAndSelect(int id);

    CFileDropEditbox m_editPath;
};

// Overwrites a text's characters before emptying it.
void WipeText(CString& text) noexcept;

} // namespace vantrel
