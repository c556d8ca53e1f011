#include "CSplitterWnd.h"

#include "ModuleInstance.h"

namespace {

constexpr wchar_t kSplitterClass[] = L"TorvaFxSplitter";

const wchar_t* SplitterClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ComtlModuleInstance();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kSplitterClass;
        return ::RegisterClassExW(&wc);
    }();
    return atom ? kSplitterClass : nullptr;
}

} // namespace

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_MOUSEMOVE, &CSplitterWnd::OnMouseMoveMessage)
ON_MESSAGE(WM_LBUTTONUP, &CSplitterWnd::OnLButtonUpMessage)
ON_MESSAGE(WM_SETCURSOR, &CSplitterWnd::OnSetCursorMessage)
ON_MESSAGE(WM_CAPTURECHANGED, &CSplitterWnd::OnCaptureChangedMessage)
END_MESSAGE_MAP()

BOOL CSplitterWnd::CreateStatic(CWnd* parent, int rows, int cols, DWORD style, UINT id) {
    if (!parent || rows != 1 || cols < 1 || cols > 16) return FALSE;
    m_ideal.assign(static_cast<size_t>(cols), 0);
    m_minimum.assign(static_cast<size_t>(cols), 0);
    m_current.assign(static_cast<size_t>(cols), 0);
    const wchar_t* windowClass = SplitterClass();
    if (!windowClass) return FALSE;
    RECT rect{0, 0, 0, 0};
    parent->GetClientRect(&rect);
    return CreateEx(0, windowClass, nullptr, style | WS_CHILD | WS_CLIPCHILDREN, rect, parent, id);
}

BOOL CSplitterWnd::CreateView(int row, int col, const CRuntimeClass* viewClass, SIZE size,
                              CCreateContext* context) {
    if (row != 0 || col < 0 || col >= GetColumnCount() || GetPane(row, col)) return FALSE;
    m_ideal[static_cast<size_t>(col)] = size.cx > 0 ? size.cx : 0;
    const RECT rect{0, 0, size.cx > 0 ? size.cx : 0, size.cy > 0 ? size.cy : 0};
    if (!AfxCreateView(viewClass, this, static_cast<UINT>(IdFromRowCol(row, col)), rect, context))
        return FALSE;
    RecalcLayout();
    return TRUE;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
    const HWND pane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col));
    return pane ? CWnd::FromHandle(pane) : nullptr;
}

void CSplitterWnd::SetColumnInfo(int col, int ideal, int minimum) {
    if (col < 0 || col >= GetColumnCount()) return;
    m_ideal[static_cast<size_t>(col)] = ideal > 0 ? ideal : 0;
    m_minimum[static_cast<size_t>(col)] = minimum > 0 ? minimum : 0;
}

void CSplitterWnd::GetColumnInfo(int col, int& current, int& minimum) const {
    current = minimum = 0;
    if (col < 0 || col >= GetColumnCount()) return;
    current = m_current[static_cast<size_t>(col)];
    minimum = m_minimum[static_cast<size_t>(col)];
}

int CSplitterWnd::ColumnLeft(int col) const {
    int left = 0;
    for (int i = 0; i < col; ++i)
        left += m_current[static_cast<size_t>(i)] + kBarWidth;
    return left;
}

void CSplitterWnd::RecalcLayout() {
    if (!m_hWnd || m_ideal.empty()) return;
    RECT client{};
    GetClientRect(&client);
    const int count = GetColumnCount();
    int left = 0;
    for (int col = 0; col < count; ++col) {
        const bool last = col == count - 1;
        int width = last ? client.right - left : m_ideal[static_cast<size_t>(col)];
        // A column never reaches past the window (the last keeps what is left).
        if (!last && left + width > client.right) width = client.right - left;
        if (width < 0) width = 0;
        m_current[static_cast<size_t>(col)] = width;
        if (const HWND pane = ::GetDlgItem(m_hWnd, IdFromRowCol(0, col)))
            ::MoveWindow(pane, left, 0, width, client.bottom, TRUE);
        left += width + kBarWidth;
    }
}

void CSplitterWnd::OnSize(UINT type, int, int) {
    Default();
    if (type != SIZE_MINIMIZED) RecalcLayout();
}

int CSplitterWnd::BarAt(int x) const {
    for (int col = 0; col + 1 < GetColumnCount(); ++col) {
        const int barLeft = ColumnLeft(col) + m_current[static_cast<size_t>(col)];
        if (x >= barLeft && x < barLeft + kBarWidth) return col;
    }
    return -1;
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint point) {
    const int bar = BarAt(point.x);
    if (bar < 0) return;
    m_dragging = bar;
    m_dragOffset = point.x - (ColumnLeft(bar) + m_current[static_cast<size_t>(bar)]);
    ::SetCapture(m_hWnd);
}

LRESULT CSplitterWnd::OnMouseMoveMessage(WPARAM, LPARAM lParam) {
    if (m_dragging < 0) return 0;
    const int x = static_cast<short>(LOWORD(lParam)) - m_dragOffset;
    int width = x - ColumnLeft(m_dragging);
    const int minimum = m_minimum[static_cast<size_t>(m_dragging)];
    if (width < minimum) width = minimum;
    m_ideal[static_cast<size_t>(m_dragging)] = width;
    RecalcLayout();
    return 0;
}

LRESULT CSplitterWnd::OnLButtonUpMessage(WPARAM wParam, LPARAM lParam) {
    if (m_dragging < 0) return 0;
    OnMouseMoveMessage(wParam, lParam);
    m_dragging = -1;
    ::ReleaseCapture();
    return 0;
}

LRESULT CSplitterWnd::OnCaptureChangedMessage(WPARAM, LPARAM) {
    m_dragging = -1;
    return 0;
}

LRESULT CSplitterWnd::OnSetCursorMessage(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) == m_hWnd && LOWORD(lParam) == HTCLIENT) {
        POINT point{};
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        if (BarAt(point.x) >= 0 || m_dragging >= 0) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        }
    }
    return Default();
}
