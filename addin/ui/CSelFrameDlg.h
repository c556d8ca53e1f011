// Lets the user pick the frame whose form is to be registered when several
// frames of a page hold forms.
//
// The documents are the caller's: the dialog neither adds nor releases
// references, and the chosen one is one of them. UI thread only.
#pragma once

#include "CAxDialogImpl.h"
#include "res/resource.h"

#include <windows.h>
#include <mshtml.h>

#include <vector>

class CSelFrameDlg : public CAxDialogImpl<CSelFrameDlg> {
public:
    enum { IDD = IDD_SELFRAME };

    explicit CSelFrameDlg(std::vector<IHTMLDocument2*> documents);

    // Null until the dialog ended with OK.
    IHTMLDocument2* GetSelectedDocument() const noexcept { return m_pSelected; }

    BEGIN_MSG_MAP(CSelFrameDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    COMMAND_HANDLER(IDOK, BN_CLICKED, OnClickedOK)
    COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnClickedCancel)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClickedOK(WORD, WORD, HWND, BOOL&);
    LRESULT OnClickedCancel(WORD, WORD, HWND, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

private:
    // Lists each document that has a URL; returns the widest text in pixels.
    int FillList();

    std::vector<IHTMLDocument2*> m_documents;
    HWND m_hList = nullptr;
    IHTMLDocument2* m_pSelected = nullptr;
};
