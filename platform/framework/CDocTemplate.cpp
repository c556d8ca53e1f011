#include "CDocTemplate.h"

#include <shellapi.h>

#include "CDocument.h"
#include "CFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* documentClass,
                           const CRuntimeClass* frameClass, const CRuntimeClass* viewClass)
    : m_resourceId(resourceId), m_documentClass(documentClass), m_frameClass(frameClass),
      m_viewClass(viewClass) {}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* document) {
    if (!m_frameClass || !m_frameClass->IsDerivedFrom(RUNTIME_CLASS(CFrameWnd))) return nullptr;
    auto* frame = static_cast<CFrameWnd*>(m_frameClass->CreateObject());
    if (!frame) return nullptr;
    CCreateContext context;
    context.m_pNewViewClass = m_viewClass;
    context.m_pCurrentDoc = document;
    context.m_pNewDocTemplate = this;
    bool deleted = false;
    frame->m_pDeleted = &deleted;
    const BOOL made =
        frame->LoadFrame(m_resourceId, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context);
    if (deleted) return nullptr; // its window refused its creation and took the object
    frame->m_pDeleted = nullptr;
    if (!made) {
        delete frame; // no window was made, so nothing else frees it
        return nullptr;
    }
    return frame;
}

CSingleDocTemplate::~CSingleDocTemplate() {
    delete m_pOnlyDoc;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const wchar_t* path, BOOL makeVisible) {
    if (m_pOnlyDoc) {
        const BOOL ready = path ? m_pOnlyDoc->OnOpenDocument(path) : m_pOnlyDoc->OnNewDocument();
        if (!ready) return nullptr;
        m_pOnlyDoc->UpdateAllViews(nullptr);
        return m_pOnlyDoc;
    }
    if (!m_documentClass || !m_documentClass->IsDerivedFrom(RUNTIME_CLASS(CDocument)))
        return nullptr;
    auto* document = static_cast<CDocument*>(m_documentClass->CreateObject());
    if (!document) return nullptr;
    document->m_pDocTemplate = this;
    m_pOnlyDoc = document;
    CFrameWnd* frame = CreateNewFrame(document);
    if (!frame) {
        m_pOnlyDoc = nullptr;
        delete document;
        return nullptr;
    }
    const BOOL ready = path ? document->OnOpenDocument(path) : document->OnNewDocument();
    if (!ready) {
        frame->DestroyWindow();
        m_pOnlyDoc = nullptr;
        delete document;
        return nullptr;
    }
    if (CWinApp* app = AfxGetApp(); app && !app->m_pMainWnd) app->m_pMainWnd = frame;
    frame->InitialUpdateFrame(document, makeVisible);
    return document;
}

void CCommandLineInfo::ParseParam(const wchar_t* param, BOOL flag, BOOL) {
    if (flag || !param || m_nShellCommand == FileOpen) return;
    m_nShellCommand = FileOpen;
    m_strFileName = param;
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
    if (docTemplate) m_docTemplates.emplace_back(docTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    const wchar_t* line = m_lpCmdLine ? m_lpCmdLine : L"";
    int count = 0;
    // The arguments after the program name; an empty line has none.
    while (*line == L' ' || *line == L'\t')
        ++line;
    if (!*line) return;
    CString full(L"x ");
    full += line;
    LPWSTR* args = ::CommandLineToArgvW(full, &count);
    if (!args) return;
    for (int i = 1; i < count; ++i) {
        const wchar_t* arg = args[i];
        const BOOL flag = arg[0] == L'/' || arg[0] == L'-';
        info.ParseParam(flag ? arg + 1 : arg, flag, i == count - 1);
    }
    ::LocalFree(args);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        if (m_docTemplates.empty()) return FALSE;
        return m_docTemplates.front()->OpenDocumentFile(info.m_strFileName) != nullptr &&
               m_pMainWnd != nullptr;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    }
    return FALSE;
}

void CWinApp::OnFileNew() {
    if (!m_docTemplates.empty()) m_docTemplates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    // The document classes of the programs hold no file data: there is no
    // file to choose.
}

void CWinApp::LoadStdProfileSettings(UINT maxRecentFiles) {
    m_nMaxRecentFiles = maxRecentFiles;
}
