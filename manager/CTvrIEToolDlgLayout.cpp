// The management dialog's place and layout: centred at opening, the
// controls moved with the client size (the item pane on the right half, or
// hidden), the minimum size, a maximised window kept within its monitor,
// and the icon drawn while minimised.
#include "CTvrIEToolDlg.h"
#include "TraceScope.h"
#include "WindowFit.h"
#include "resource.h"

#include <algorithm>

namespace {
constexpr int kMinWidth = 450;
constexpr int kMinHeight = 308;

// Where an edge of a control is: an offset from the left (or top), from the
// split, or from the client's width (or height).
enum Base { kZero, kSplit, kWidth };

struct Place {
    int id;
    Base leftBase;
    int left;
    Base topBase;
    int top;
    Base rightBase;
    int right;
    Base bottomBase;
    int bottom;
};

// The pages side.
constexpr Place kLeft[] = {
    {IDC_STATIC_PAGEFRAME, kZero, 10, kZero, 10, kSplit, -20, kWidth, -85},
    {IDC_TREE_WEBDATA, kZero, 30, kZero, 30, kSplit, -40, kWidth, -130},
    {IDC_BUTTON_RENAME, kSplit, -400, kWidth, -120, kSplit, -310, kWidth, -95},
    {IDC_BUTTON_COPY, kSplit, -310, kWidth, -120, kSplit, -220, kWidth, -95},
    {IDC_BUTTON_DELETE, kSplit, -220, kWidth, -120, kSplit, -130, kWidth, -95},
    {IDC_BUTTON_OPENPAGE, kSplit, -130, kWidth, -120, kSplit, -40, kWidth, -95},
    {IDC_BUTTON_ITEMINFO, kSplit, -140, kWidth, -75, kSplit, -40, kWidth, -50},
    {IDC_BUTTON_APPLY, kSplit, -130, kWidth, -35, kSplit, -40, kWidth, -10},
    {IDCANCEL, kSplit, -225, kWidth, -35, kSplit, -135, kWidth, -10},
    {IDOK, kSplit, -320, kWidth, -35, kSplit, -230, kWidth, -10},
};

// The item pane (the vertical kWidth means the client's height).
constexpr Place kRight[] = {
    {IDC_STATIC_ITEMFRAME, kSplit, 10, kZero, 10, kWidth, -20, kWidth, -85},
    {IDC_STATIC_ITEMNAME, kSplit, 20, kZero, 35, kSplit, 90, kZero, 55},
    {IDC_EDIT_ITEMNAME, kSplit, 90, kZero, 30, kWidth, -40, kZero, 50},
    {IDC_STATIC_FORMNAMELABEL, kSplit, 20, kZero, 60, kSplit, 95, kZero, 80},
    {IDC_STATIC_FORMNAME, kSplit, 90, kZero, 60, kWidth, -40, kZero, 80},
    {IDC_EXPLORER_ITEM, kSplit, 20, kZero, 80, kWidth, -40, kWidth, -170},
    {IDC_BUTTON_CLEAR, kWidth, -130, kWidth, -160, kWidth, -40, kWidth, -135},
    {IDC_CHECK_AUTOINPUT, kSplit, 20, kWidth, -150, kSplit, 280, kWidth, -130},
    {IDC_CHECK_AUTOSEND, kSplit, 20, kWidth, -130, kSplit, 280, kWidth, -110},
    {IDC_CHECK_CHANGEFLG, kSplit, 20, kWidth, -110, kSplit, 370, kWidth, -90},
    {IDC_CHECK_HIDEPWD, kSplit, 20, kWidth, -80, kSplit, 280, kWidth, -60},
};
} // namespace

int CTvrIEToolDlg::MinTrackWidth() {
    return m_scaler.ScaleX(m_bPaneShown ? 2 * kMinWidth : kMinWidth);
}

void CTvrIEToolDlg::CentreWindow() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CentreWindow");
    const int width = m_scaler.ScaleX(kMinWidth);
    const int height = m_scaler.ScaleY(kMinHeight);
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    RECT place{screenWidth / 2 - width, screenHeight / 2 - height, screenWidth / 2,
               screenHeight / 2 + height};
    if (place.right - place.left < width) place.right = place.left + width;
    if (place.bottom - place.top < height) place.bottom = place.top + height;
    m_nWorkAreaWidth = ::GetSystemMetrics(SM_CXMAXIMIZED);
    // The minimum size widens the window to the right to hold the pane.
    ::SetWindowPos(m_hWnd, HWND_TOP, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, 0);
    ::SetForegroundWindow(m_hWnd);
    (void)FitWindowToScreen(m_hWnd);
    ::GetWindowRect(m_hWnd, &m_rcOpening);
    SetPositionCtrl(true);
}

void CTvrIEToolDlg::SetPositionCtrl(bool force) {
    RECT client{};
    if (!m_hWnd || !::GetClientRect(m_hWnd, &client)) return;
    if (!force && ::EqualRect(&client, &m_rcLastClient)) return;
    m_rcLastClient = client;
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const int split = m_bPaneShown ? width / 2 : width;
    const auto x = [&](Base base, int offset) {
        const int from = base == kSplit ? split : base == kWidth ? width : 0;
        return from + m_scaler.ScaleX(offset);
    };
    const auto y = [&](Base base, int offset) {
        return (base == kWidth ? height : 0) + m_scaler.ScaleY(offset);
    };
    const auto move = [&](const Place& place) {
        const HWND control = ::GetDlgItem(m_hWnd, place.id);
        if (!control) return HWND(nullptr);
        const int left = x(place.leftBase, place.left);
        const int top = y(place.topBase, place.top);
        ::SetWindowPos(control, nullptr, left, top, x(place.rightBase, place.right) - left,
                       y(place.bottomBase, place.bottom) - top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        return control;
    };
    for (const Place& place : kLeft)
        move(place);
    for (const Place& place : kRight) {
        if (m_bPaneShown) {
            if (HWND control = move(place)) ::ShowWindow(control, SW_SHOW);
            continue;
        }
        const HWND control = ::GetDlgItem(m_hWnd, place.id);
        if (!control) continue;
        // The browser keeps its window, at no size; the rest are hidden.
        if (place.id == IDC_EXPLORER_ITEM) {
            ::SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            ::ShowWindow(control, SW_HIDE);
        }
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CTvrIEToolDlg::OnSize(UINT type, int, int) {
    Default();
    if (type == SIZE_MAXIMIZED) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const RECT& work = monitor.rcWork;
            const int minWidth = MinTrackWidth();
            const int minHeight = m_scaler.ScaleY(kMinHeight);
            if (work.right - work.left < minWidth || work.bottom - work.top < minHeight) {
                // Too small a monitor to maximise on: restored at its corner.
                ::ShowWindow(m_hWnd, SW_HIDE);
                ::ShowWindow(m_hWnd, SW_RESTORE);
                RECT window{};
                ::GetWindowRect(m_hWnd, &window);
                ::SetWindowPos(m_hWnd, nullptr, work.left, work.top,
                               std::max<int>(minWidth, window.right - window.left),
                               std::max<int>(minHeight, window.bottom - window.top),
                               SWP_NOZORDER | SWP_NOACTIVATE);
                ::ShowWindow(m_hWnd, SW_SHOW);
            }
        }
    }
    if (type != SIZE_MINIMIZED) SetPositionCtrl(false);
}

void CTvrIEToolDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    Default();
    if (!info) return;
    info->ptMinTrackSize.x = MinTrackWidth();
    info->ptMinTrackSize.y = m_scaler.ScaleY(kMinHeight);
}

void CTvrIEToolDlg::OnPaint() {
    if (!::IsIconic(m_hWnd) || !m_hIcon) {
        Default();
        return;
    }
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR CTvrIEToolDlg::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(m_hIcon);
}
