// The document template of a single-document program: one resource id (the
// document string, the frame's menu, accelerators and icon) and the classes
// of the document, the frame and the frame's view. The application owns its
// templates (CWinApp::AddDocTemplate); the template owns its one document.
//
// The document string is "title\ndocument name\n...": the frame's title is
// its first part.
#pragma once

#include <windows.h>

#include <memory>

#include "CCmdTarget.h"
#include "FxString.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)

public:
    CDocTemplate(UINT resourceId, const CRuntimeClass* documentClass,
                 const CRuntimeClass* frameClass, const CRuntimeClass* viewClass);
    ~CDocTemplate() override = default;

    // A new document (path null) or one named by path, with its frame shown
    // when makeVisible; null when the document, frame or view failed.
    virtual CDocument* OpenDocumentFile(const wchar_t* path, BOOL makeVisible = TRUE) = 0;
    UINT GetResourceId() const noexcept { return m_resourceId; }

protected:
    // A frame for document, made from the template's resource id; null on failure.
    CFrameWnd* CreateNewFrame(CDocument* document);

    UINT m_resourceId;
    const CRuntimeClass* m_documentClass;
    const CRuntimeClass* m_frameClass;
    const CRuntimeClass* m_viewClass;
};

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)

public:
    using CDocTemplate::CDocTemplate;
    ~CSingleDocTemplate() override;

    // The one document: made with its frame on first use, afterwards started
    // anew in place.
    CDocument* OpenDocumentFile(const wchar_t* path, BOOL makeVisible = TRUE) override;
    CDocument* GetDocument() const noexcept { return m_pOnlyDoc; }

private:
    CDocument* m_pOnlyDoc = nullptr;
};

// What the command line asks of the program: a new document, or the
// document of the first argument that is not an option.
class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FileNothing };
    virtual ~CCommandLineInfo() = default;
    // One argument: flag TRUE for an option (after "/" or "-").
    virtual void ParseParam(const wchar_t* param, BOOL flag, BOOL last);

    ShellCommand m_nShellCommand = FileNew;
    CString m_strFileName;
};
