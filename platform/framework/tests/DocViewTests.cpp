// The document/view layer: a single-document template makes the document,
// the frame with its bars and a splitter of two views; commands go to the
// view, the frame and the application; menu items and tool buttons follow
// their handlers; prompts and tips come from the command's string; the
// split bar moves with the mouse; a tree view gets its own notifications.
#include <gtest/gtest.h>

#include "Framework.h"
#include "FxDocViewResource.h"
#include "FxUser.h"

namespace {

struct Counts {
    int viewCommands = 0;
    int frameCommands = 0;
    int appCommands = 0;
    int selections = 0;
    int clicks = 0;
    int initialUpdates = 0;
    int viewsDeleted = 0;
    int framesDeleted = 0;
    int documentsDeleted = 0;
};
Counts g_counts;

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)

public:
    ~CTestDoc() override { ++g_counts.documentsDeleted; }
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

class CTestTreeView : public CTreeView {
    DECLARE_DYNCREATE(CTestTreeView)
    DECLARE_MESSAGE_MAP()

public:
    ~CTestTreeView() override { ++g_counts.viewsDeleted; }
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override {
        cs.style |= TVS_CHECKBOXES | TVS_HASLINES;
        return CTreeView::PreCreateWindow(cs);
    }
    void OnInitialUpdate() override {
        CTreeView::OnInitialUpdate();
        ++g_counts.initialUpdates;
        const HTREEITEM root = GetTreeCtrl().InsertItem(L"根");
        GetTreeCtrl().InsertItem(L"葉", root);
    }

private:
    void OnViewCommand() { ++g_counts.viewCommands; }
    void OnLButtonDown(UINT, CPoint) {
        ++g_counts.clicks;
        Default();
    }
    void OnSelChanged(NMHDR*, LRESULT* result) {
        ++g_counts.selections;
        *result = 0;
    }
};
IMPLEMENT_DYNCREATE(CTestTreeView, CTreeView)
BEGIN_MESSAGE_MAP(CTestTreeView, CTreeView)
ON_COMMAND(ID_DV_VIEW, &CTestTreeView::OnViewCommand)
ON_NOTIFY_REFLECT(TVN_SELCHANGEDW, &CTestTreeView::OnSelChanged)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

class CTestEditView : public CEditView {
    DECLARE_DYNCREATE(CTestEditView)

public:
    ~CTestEditView() override { ++g_counts.viewsDeleted; }
};
IMPLEMENT_DYNCREATE(CTestEditView, CEditView)

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)
    DECLARE_MESSAGE_MAP()

public:
    ~CTestFrame() override { ++g_counts.framesDeleted; }
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* context) override {
        return m_splitter.CreateStatic(this, 1, 2) &&
               m_splitter.CreateView(0, 0, RUNTIME_CLASS(CTestTreeView), SIZE{120, 100}, context) &&
               m_splitter.CreateView(0, 1, RUNTIME_CLASS(CTestEditView), SIZE{0, 0}, context);
    }
    int OnCreate(LPCREATESTRUCT cs) {
        if (CFrameWnd::OnCreate(cs) == -1) return -1;
        if (!m_toolBar.CreateEx(this) || !m_toolBar.LoadToolBar(IDR_DV_FRAME)) return -1;
        m_toolBar.SetBarStyle(m_toolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY);
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};
        if (!m_statusBar.Create(this) || !m_statusBar.SetIndicators(indicators, 3)) return -1;
        return 0;
    }

private:
    void OnFrameCommand() { ++g_counts.frameCommands; }
    void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }

    CSplitterWnd m_splitter;
    CStatusBar m_statusBar;
    CToolBar m_toolBar;
};
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
ON_WM_CREATE()
ON_COMMAND(ID_DV_FRAME, &CTestFrame::OnFrameCommand)
ON_UPDATE_COMMAND_UI(ID_DV_DISABLED, &CTestFrame::OnUpdateDisabled)
END_MESSAGE_MAP()

class CDocViewApp : public CWinApp {
public:
    CDocViewApp() : CWinApp(L"DocView") {}
    BOOL InitInstance() override {
        AddDocTemplate(new CSingleDocTemplate(IDR_DV_FRAME, RUNTIME_CLASS(CTestDoc),
                                              RUNTIME_CLASS(CTestFrame),
                                              RUNTIME_CLASS(CTestTreeView)));
        CCommandLineInfo info;
        ParseCommandLine(info);
        return ProcessShellCommand(info);
    }
    DECLARE_MESSAGE_MAP()

private:
    void OnAppCommand() { ++g_counts.appCommands; }
};
BEGIN_MESSAGE_MAP(CDocViewApp, CWinApp)
ON_COMMAND(ID_DV_APP, &CDocViewApp::OnAppCommand)
END_MESSAGE_MAP()

bool Grayed(HMENU menu, UINT id) {
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::wstring PaneText(HWND statusBar) {
    wchar_t text[128] = {};
    ::SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

struct Seen {
    std::wstring title;
    bool viewGrayed = true, appGrayed = true, nobodyGrayed = false, disabledGrayed = false;
    bool toolBarChecked = false;
    bool viewButton = false, nobodyButton = true;
    std::wstring prompt, idlePrompt, tip;
    RECT tree{}, edit{}, splitterClient{}, toolBar{}, splitter{}, splitterAfterHide{};
    int treeAfterDrag = 0;
    bool toolBarHidden = false;
    int selectionsSeen = 0;
    bool stateIconHit = false;
    int clicked = 0;
    bool checkedByClick = false;
};

TEST(DocView, TemplateFrameBarsSplitterAndCommandRouting) {
    g_counts = Counts{};
    Seen seen;
    int code = -1;
    {
        CDocViewApp app;
        FxUser user(L"無題 - 文書の試験", [&](HWND frame) {
            seen.title = FxUser::Text(frame);
            ::SendMessageW(frame, WM_COMMAND, ID_DV_VIEW, 0);
            ::SendMessageW(frame, WM_COMMAND, ID_DV_FRAME, 0);
            ::SendMessageW(frame, WM_COMMAND, ID_DV_APP, 0);
            ::SendMessageW(frame, WM_COMMAND, ID_DV_NOBODY, 0);

            const HMENU menu = ::GetSubMenu(::GetMenu(frame), 0);
            ::SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
            seen.viewGrayed = Grayed(menu, ID_DV_VIEW);
            seen.appGrayed = Grayed(menu, ID_DV_APP);
            seen.nobodyGrayed = Grayed(menu, ID_DV_NOBODY);
            seen.disabledGrayed = Grayed(menu, ID_DV_DISABLED);
            seen.toolBarChecked = (::GetMenuState(menu, 0xE800, MF_BYCOMMAND) & MF_CHECKED) != 0;

            const HWND toolBar = ::GetDlgItem(frame, 0xE800);
            const HWND statusBar = ::GetDlgItem(frame, 0xE801);
            const HWND splitter = ::GetDlgItem(frame, 0xE900);
            ::Sleep(300); // the buttons follow at the next idle moment
            seen.viewButton = ::SendMessageW(toolBar, TB_ISBUTTONENABLED, ID_DV_VIEW, 0) != 0;
            seen.nobodyButton = ::SendMessageW(toolBar, TB_ISBUTTONENABLED, ID_DV_NOBODY, 0) != 0;

            ::SendMessageW(frame, WM_MENUSELECT, MAKEWPARAM(ID_DV_VIEW, MF_STRING),
                           reinterpret_cast<LPARAM>(menu));
            seen.prompt = PaneText(statusBar);
            ::SendMessageW(frame, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
            seen.idlePrompt = PaneText(statusBar);
            NMTTDISPINFOW tip{};
            tip.hdr.hwndFrom = toolBar;
            tip.hdr.idFrom = ID_DV_VIEW;
            tip.hdr.code = TTN_GETDISPINFOW;
            ::SendMessageW(frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
            if (tip.lpszText) seen.tip = tip.lpszText;

            const HWND tree = ::GetDlgItem(splitter, 0xE900);
            const HWND edit = ::GetDlgItem(splitter, 0xE901);
            seen.tree = ChildRect(splitter, tree);
            seen.edit = ChildRect(splitter, edit);
            ::GetClientRect(splitter, &seen.splitterClient);
            seen.toolBar = ChildRect(frame, toolBar);
            seen.splitter = ChildRect(frame, splitter);

            const int bar = seen.tree.right + CSplitterWnd::kBarWidth / 2;
            ::PostMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar, 10));
            ::PostMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(bar + 80, 10));
            ::PostMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(bar + 80, 10));
            // A sent message is handled before posted ones: wait for those.
            ::Sleep(300);
            ::SendMessageW(splitter, WM_NULL, 0, 0);
            RECT dragged{};
            ::GetWindowRect(tree, &dragged);
            seen.treeAfterDrag = dragged.right - dragged.left;

            ::SendMessageW(frame, WM_COMMAND, 0xE800, 0);
            seen.toolBarHidden = !::IsWindowVisible(toolBar);
            seen.splitterAfterHide = ChildRect(frame, splitter);

            const LRESULT root = ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
            RECT label{};
            *reinterpret_cast<HTREEITEM*>(&label) = reinterpret_cast<HTREEITEM>(root);
            ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label));
            TVHITTESTINFO hit{};
            hit.pt = POINT{label.left - 8, (label.top + label.bottom) / 2};
            ::SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            seen.stateIconHit = (hit.flags & TVHT_ONITEMSTATEICON) != 0;
            // Both in the queue in order: the tree's mouse tracking after the
            // press finds the release after it (a release taken from the
            // queue before the press would leave it waiting for ever).
            ::PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
            ::PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
            for (int i = 0; i < 100 && g_counts.clicks == 0; ++i) {
                ::Sleep(20);
                ::SendMessageW(tree, WM_NULL, 0, 0);
            }
            ::Sleep(100);
            ::SendMessageW(tree, WM_NULL, 0, 0);
            seen.clicked = g_counts.clicks;
            seen.checkedByClick =
                ((::SendMessageW(tree, TVM_GETITEMSTATE, root, TVIS_STATEIMAGEMASK) >> 12) == 2);
            ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, root);
            seen.selectionsSeen = g_counts.selections;
            ::PostMessageW(frame, WM_CLOSE, 0, 0);
        });
        wchar_t commandLine[] = L"";
        code = AfxWinMain(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
        ASSERT_TRUE(user.Join());
        EXPECT_EQ(1, g_counts.framesDeleted);
        EXPECT_EQ(2, g_counts.viewsDeleted);
        EXPECT_EQ(0, g_counts.documentsDeleted); // the template's until the application goes
    }
    EXPECT_EQ(0, code);
    EXPECT_EQ(1, g_counts.documentsDeleted);
    EXPECT_EQ(L"無題 - 文書の試験", seen.title);
    EXPECT_EQ(1, g_counts.initialUpdates);
    EXPECT_EQ(1, g_counts.viewCommands);
    EXPECT_EQ(1, g_counts.frameCommands);
    EXPECT_EQ(1, g_counts.appCommands);

    EXPECT_FALSE(seen.viewGrayed);
    EXPECT_FALSE(seen.appGrayed);
    EXPECT_TRUE(seen.nobodyGrayed) << "a command nobody handles is disabled";
    EXPECT_TRUE(seen.disabledGrayed) << "its update handler disabled it";
    EXPECT_TRUE(seen.toolBarChecked);
    EXPECT_TRUE(seen.viewButton);
    EXPECT_FALSE(seen.nobodyButton);

    EXPECT_EQ(L"見る命令の説明", seen.prompt);
    EXPECT_EQ(L"待機中", seen.idlePrompt);
    EXPECT_EQ(L"見る", seen.tip);

    EXPECT_EQ(0, seen.tree.left);
    EXPECT_EQ(120, seen.tree.right);
    EXPECT_EQ(120 + CSplitterWnd::kBarWidth, seen.edit.left);
    EXPECT_EQ(seen.splitterClient.right, seen.edit.right);
    EXPECT_EQ(seen.toolBar.bottom, seen.splitter.top);
    EXPECT_GT(seen.splitter.top, 0);
    EXPECT_EQ(200, seen.treeAfterDrag);
    EXPECT_TRUE(seen.toolBarHidden);
    EXPECT_EQ(0, seen.splitterAfterHide.top);
    EXPECT_EQ(1, seen.selectionsSeen) << "the tree view sees its own selection change";
    EXPECT_TRUE(seen.stateIconHit) << "the items have check boxes";
    EXPECT_EQ(1, seen.clicked) << "the view's map sees the control's own messages";
    EXPECT_TRUE(seen.checkedByClick);
}

// A frame whose client area cannot be made fails the start: no window is
// left and the objects are freed.
class CBrokenFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CBrokenFrame)

public:
    ~CBrokenFrame() override { ++g_counts.framesDeleted; }
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext*) override { return FALSE; }
};
IMPLEMENT_DYNCREATE(CBrokenFrame, CFrameWnd)

TEST(DocView, FrameThatCannotMakeItsClientFailsTheStart) {
    g_counts = Counts{};
    CWinApp app(L"Broken");
    CSingleDocTemplate docTemplate(IDR_DV_FRAME, RUNTIME_CLASS(CTestDoc),
                                   RUNTIME_CLASS(CBrokenFrame), RUNTIME_CLASS(CTestTreeView));
    EXPECT_EQ(nullptr, docTemplate.OpenDocumentFile(nullptr, FALSE));
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(1, g_counts.framesDeleted);
    EXPECT_EQ(1, g_counts.documentsDeleted);
}

TEST(DocView, CommandLineNamesANewDocumentOrAFile) {
    CWinApp app(L"Line");
    wchar_t empty[] = L"  ";
    app.m_lpCmdLine = empty;
    CCommandLineInfo none;
    app.ParseCommandLine(none);
    EXPECT_EQ(CCommandLineInfo::FileNew, none.m_nShellCommand);

    wchar_t withFile[] = L"/x \"C:\\a b\\c.txt\" second.txt";
    app.m_lpCmdLine = withFile;
    CCommandLineInfo file;
    app.ParseCommandLine(file);
    EXPECT_EQ(CCommandLineInfo::FileOpen, file.m_nShellCommand);
    EXPECT_EQ(L"C:\\a b\\c.txt", file.m_strFileName);
}

TEST(DocView, CommandPromptAndCommandStateOfAMenuItem) {
    EXPECT_EQ(L"見る命令の説明", FxCommandPrompt(ID_DV_VIEW, false));
    EXPECT_EQ(L"見る", FxCommandPrompt(ID_DV_VIEW, true));
    EXPECT_EQ(L"", FxCommandPrompt(99999, false));

    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_DV_VIEW, L"見る");
    CCmdUI ui;
    ui.m_nID = ID_DV_VIEW;
    ui.m_hMenu = menu;
    ui.m_nIndex = 0;
    ui.Enable(FALSE);
    ui.SetCheck(1);
    EXPECT_TRUE(Grayed(menu, ID_DV_VIEW));
    EXPECT_TRUE(menu.GetMenuState(ID_DV_VIEW, MF_BYCOMMAND) & MF_CHECKED);
    ui.Enable(TRUE);
    EXPECT_FALSE(Grayed(menu, ID_DV_VIEW));
}

} // namespace
