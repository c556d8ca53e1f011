// CTreeCtrl: a tree-view control (made with Create, or bound to a dialog's
// control with DDX_Control) and the tree operations a program uses.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "CWnd.h"
#include "FxControls.h"

class CImageList;

class CTreeCtrl : public CWnd {
    DECLARE_DYNAMIC(CTreeCtrl)

public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // Inserts under parent after insertAfter (TVI_LAST, TVI_FIRST, TVI_SORT
    // or a sibling); null on failure.
    HTREEITEM InsertItem(const wchar_t* text, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM insertAfter = TVI_LAST);
    HTREEITEM InsertItem(const wchar_t* text, int image, int selectedImage,
                         HTREEITEM parent = TVI_ROOT, HTREEITEM insertAfter = TVI_LAST);
    HTREEITEM InsertItem(UINT mask, const wchar_t* text, int image, int selectedImage, UINT state,
                         UINT stateMask, LPARAM data, HTREEITEM parent, HTREEITEM insertAfter);
    HTREEITEM InsertItem(TVINSERTSTRUCTW* insert) noexcept {
        return TreeView_InsertItem(m_hWnd, insert);
    }
    BOOL DeleteItem(HTREEITEM item) noexcept { return TreeView_DeleteItem(m_hWnd, item); }
    BOOL DeleteAllItems() noexcept { return TreeView_DeleteAllItems(m_hWnd); }

    // Sets the list of kind TVSIL_NORMAL (or TVSIL_STATE); returns the old one.
    HIMAGELIST SetImageList(CImageList* list, int kind);
    HIMAGELIST GetImageList(int kind) const noexcept { return TreeView_GetImageList(m_hWnd, kind); }

    CString GetItemText(HTREEITEM item) const;
    BOOL SetItemText(HTREEITEM item, const wchar_t* text);
    DWORD_PTR GetItemData(HTREEITEM item) const noexcept;
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data) noexcept;
    BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const noexcept;
    BOOL SetItemImage(HTREEITEM item, int image, int selectedImage) noexcept;
    UINT GetItemState(HTREEITEM item, UINT mask) const noexcept {
        return TreeView_GetItemState(m_hWnd, item, mask);
    }
    BOOL GetItem(TVITEMW* item) const noexcept { return TreeView_GetItem(m_hWnd, item); }
    BOOL SetItem(TVITEMW* item) noexcept { return TreeView_SetItem(m_hWnd, item); }
    BOOL SetItemState(HTREEITEM item, UINT state, UINT mask) noexcept {
        TreeView_SetItemState(m_hWnd, item, state, mask);
        return TRUE;
    }
    // The item's rectangle in client coordinates; textOnly: its label only.
    BOOL GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const noexcept {
        return TreeView_GetItemRect(m_hWnd, item, rect, textOnly);
    }
    BOOL SortChildren(HTREEITEM item) noexcept {
        return TreeView_SortChildren(m_hWnd, item, FALSE);
    }
    BOOL ItemHasChildren(HTREEITEM item) const noexcept { return GetChildItem(item) != nullptr; }

    HTREEITEM GetRootItem() const noexcept { return TreeView_GetRoot(m_hWnd); }
    HTREEITEM GetChildItem(HTREEITEM item) const noexcept {
        return TreeView_GetChild(m_hWnd, item);
    }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const noexcept {
        return TreeView_GetNextSibling(m_hWnd, item);
    }
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const noexcept {
        return TreeView_GetPrevSibling(m_hWnd, item);
    }
    HTREEITEM GetParentItem(HTREEITEM item) const noexcept {
        return TreeView_GetParent(m_hWnd, item);
    }
    HTREEITEM GetSelectedItem() const noexcept { return TreeView_GetSelection(m_hWnd); }
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const noexcept {
        return TreeView_GetNextItem(m_hWnd, item, code);
    }
    UINT GetCount() const noexcept { return TreeView_GetCount(m_hWnd); }

    BOOL SelectItem(HTREEITEM item) noexcept { return TreeView_SelectItem(m_hWnd, item); }
    BOOL Expand(HTREEITEM item, UINT code) noexcept { return TreeView_Expand(m_hWnd, item, code); }
    BOOL EnsureVisible(HTREEITEM item) noexcept { return TreeView_EnsureVisible(m_hWnd, item); }
    // Starts editing the item's label (the tree must have TVS_EDITLABELS);
    // the edit control, or null.
    CEdit* EditLabel(HTREEITEM item) { return AsEdit(TreeView_EditLabel(m_hWnd, item)); }
    CEdit* GetEditControl() const { return AsEdit(TreeView_GetEditControl(m_hWnd)); }
    // The item at point (client coordinates) and the part hit (TVHT_*).
    HTREEITEM HitTest(POINT point, UINT* flags = nullptr) const noexcept;

private:
    // CEdit adds nothing to CWnd, so a window's wrapper serves as one.
    static CEdit* AsEdit(HWND edit) { return static_cast<CEdit*>(FromHandle(edit)); }
};
