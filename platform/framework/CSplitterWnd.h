// CSplitterWnd: a static splitter of one row of panes (CreateStatic with one
// row). Each pane is a view made by CreateView; every column but the last
// keeps its width, the last takes the rest. The user moves a split bar with
// the mouse. Pane (row, col) has the id AFX_IDW_PANE_FIRST + 16 * row + col.
#pragma once

#include <windows.h>

#include <vector>

#include "CView.h"
#include "CWnd.h"

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
    DECLARE_MESSAGE_MAP()

public:
    // rows must be 1; cols 1 to 16.
    BOOL CreateStatic(CWnd* parent, int rows, int cols, DWORD style = WS_CHILD | WS_VISIBLE,
                      UINT id = AFX_IDW_PANE_FIRST);
    // The view of class viewClass in pane (row, col); size.cx is the
    // column's width (the last column's is ignored).
    virtual BOOL CreateView(int row, int col, const CRuntimeClass* viewClass, SIZE size,
                            CCreateContext* context);
    CWnd* GetPane(int row, int col) const;
    int IdFromRowCol(int row, int col) const noexcept {
        return static_cast<int>(AFX_IDW_PANE_FIRST) + row * 16 + col;
    }
    void SetColumnInfo(int col, int ideal, int minimum);
    void GetColumnInfo(int col, int& current, int& minimum) const;
    int GetColumnCount() const noexcept { return static_cast<int>(m_ideal.size()); }
    virtual void RecalcLayout();

    // The width of the bar between two panes.
    static constexpr int kBarWidth = 6;

    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);

private:
    LRESULT OnMouseMoveMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUpMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursorMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChangedMessage(WPARAM wParam, LPARAM lParam);
    // The bar (the column left of it) under x, or -1.
    int BarAt(int x) const;
    int ColumnLeft(int col) const;

    std::vector<int> m_ideal;
    std::vector<int> m_minimum;
    std::vector<int> m_current;
    int m_dragging = -1; // the column whose right bar is being moved
    int m_dragOffset = 0;
};
