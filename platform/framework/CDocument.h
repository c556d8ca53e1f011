// CDocument: the data side of a document/view program; its views show it.
// The document of a single-document template lives as long as the template.
#pragma once

#include <vector>

#include "CCmdTarget.h"
#include "FxString.h"

class CDocTemplate;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNCREATE(CDocument)

public:
    CDocument() = default;
    ~CDocument() override;

    // A fresh document: the title becomes "無題" (untitled). No file is read.
    virtual BOOL OnNewDocument();
    // A document named by the command line: the program holds no file data,
    // so it starts as a new document titled by the file's name.
    virtual BOOL OnOpenDocument(const wchar_t* path);

    const CString& GetTitle() const noexcept { return m_strTitle; }
    virtual void SetTitle(const wchar_t* title);
    CDocTemplate* GetDocTemplate() const noexcept { return m_pDocTemplate; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const noexcept { return m_views; }
    // OnUpdate of every view but sender.
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

    CDocTemplate* m_pDocTemplate = nullptr;

protected:
    CString m_strTitle;
    std::vector<CView*> m_views;
};
