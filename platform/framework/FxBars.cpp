#include "FxBars.h"

#include "CCmdUI.h"
#include "CImageList.h"
#include "CWinApp.h"
#include "FxGdi.h"

namespace {

// RT_TOOLBAR: version 1, image width and height, count, then the ids.
constexpr WORD kToolBarResourceType = 241;
constexpr UINT kIdleMessageId = 0xE001;

int LockKeyOf(UINT id) {
    switch (id) {
    case ID_INDICATOR_CAPS:
        return VK_CAPITAL;
    case ID_INDICATOR_NUM:
        return VK_NUMLOCK;
    case ID_INDICATOR_SCRL:
        return VK_SCROLL;
    default:
        return 0;
    }
}

} // namespace

HIMAGELIST CToolBarCtrl::SetImageList(CImageList* list) {
    return reinterpret_cast<HIMAGELIST>(SendMessage(
        TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr)));
}

IMPLEMENT_DYNAMIC(CToolBar, CWnd)

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id) {
    m_barStyle = style & 0xFFFF;
    // The window styles only; tips are always asked for and answered by
    // the frame while CBRS_TOOLTIPS is set.
    const DWORD windowStyle =
        (style & 0xFFFF0000u) | ctrlStyle | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER;
    const RECT rect{0, 0, 0, 0};
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEW, nullptr, windowStyle | WS_CHILD, rect, parent, id))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT id) {
    const HINSTANCE instance = AfxGetResourceHandle();
    const HRSRC found =
        ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kToolBarResourceType));
    if (!found) return FALSE;
    const HGLOBAL loaded = ::LoadResource(instance, found);
    const auto* data = static_cast<const WORD*>(loaded ? ::LockResource(loaded) : nullptr);
    const DWORD size = ::SizeofResource(instance, found);
    if (!data || size < 4 * sizeof(WORD) || data[0] != 1) return FALSE;
    const WORD width = data[1];
    const WORD height = data[2];
    const WORD count = data[3];
    if (size < (4u + count) * sizeof(WORD)) return FALSE;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    // The bitmap's images, one per button that is not a separator.
    int images = 0;
    for (WORD i = 0; i < count; ++i)
        if (data[4 + i]) ++images;
    TBADDBITMAP bitmap{instance, static_cast<UINT_PTR>(id)};
    if (images)
        SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&bitmap));
    std::vector<TBBUTTON> buttons(count);
    int image = 0;
    for (WORD i = 0; i < count; ++i) {
        TBBUTTON& button = buttons[i];
        button.idCommand = data[4 + i];
        if (button.idCommand == 0) {
            button.fsStyle = TBSTYLE_SEP;
        } else {
            button.iBitmap = image++;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = TBSTYLE_BUTTON;
        }
    }
    if (count && !SendMessage(TB_ADDBUTTONSW, count, reinterpret_cast<LPARAM>(buttons.data())))
        return FALSE;
    SendMessage(TB_AUTOSIZE);
    return TRUE;
}

IMPLEMENT_DYNAMIC(CStatusBar, CWnd)

BEGIN_MESSAGE_MAP(CStatusBar, CWnd)
ON_WM_SIZE()
ON_MESSAGE(WM_IDLEUPDATECMDUI, &CStatusBar::OnIdleUpdate)
END_MESSAGE_MAP()

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    const RECT rect{0, 0, 0, 0};
    return CWnd::CreateEx(0, STATUSCLASSNAMEW, nullptr,
                          (style & 0xFFFF0000u) | SBARS_SIZEGRIP | WS_CHILD, rect, parent, id);
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    if (!ids || count <= 0) return FALSE;
    m_ids.assign(ids, ids + count);
    m_widths.assign(static_cast<size_t>(count), 0);
    CClientDC dc(this);
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
    const HGDIOBJ old = font ? dc.SelectObject(font) : nullptr;
    for (int i = 1; i < count; ++i) {
        CString text;
        text.LoadString(ids[i]);
        SIZE extent{};
        dc.GetTextExtent(text, text.GetLength(), &extent);
        m_widths[static_cast<size_t>(i)] = extent.cx + 12;
    }
    if (old) dc.SelectObject(old);
    SetParts();
    CString idle;
    idle.LoadString(kIdleMessageId);
    SetPaneText(0, idle);
    UpdateIndicators();
    return TRUE;
}

void CStatusBar::SetParts() {
    if (m_ids.empty()) return;
    RECT client{};
    GetClientRect(&client);
    std::vector<int> edges(m_ids.size());
    int right = client.right - ::GetSystemMetrics(SM_CXVSCROLL); // room for the grip
    for (size_t i = m_ids.size(); i-- > 1;) {
        edges[i] = right;
        right -= m_widths[i];
    }
    edges[0] = right > 0 ? right : 0;
    if (m_ids.size() > 1) edges.back() = -1;
    SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

BOOL CStatusBar::SetPaneText(int index, const wchar_t* text) {
    if (index < 0 || index >= GetCount()) return FALSE;
    return SendMessage(SB_SETTEXTW, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(text ? text : L"")) != 0;
}

CString CStatusBar::GetPaneText(int index) const {
    CString text;
    if (index < 0 || index >= GetCount()) return text;
    const int length = LOWORD(SendMessage(SB_GETTEXTLENGTHW, static_cast<WPARAM>(index)));
    wchar_t* buffer = text.GetBufferSetLength(length + 1);
    SendMessage(SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer(length);
    return text;
}

void CStatusBar::UpdateIndicators() {
    for (int i = 1; i < GetCount(); ++i) {
        const UINT id = m_ids[static_cast<size_t>(i)];
        const int key = LockKeyOf(id);
        CString text;
        if (!key || (::GetKeyState(key) & 1)) text.LoadString(id);
        if (GetPaneText(i) != text) SetPaneText(i, text);
    }
}

void CStatusBar::OnSize(UINT, int, int) {
    Default();
    SetParts();
}

LRESULT CStatusBar::OnIdleUpdate(WPARAM, LPARAM) {
    UpdateIndicators();
    return 0;
}
