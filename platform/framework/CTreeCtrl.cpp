#include "CTreeCtrl.h"

#include "CImageList.h"

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

BOOL CTreeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::CreateEx(0, WC_TREEVIEWW, nullptr, style | WS_CHILD, rect, parent, id);
}

HTREEITEM CTreeCtrl::InsertItem(UINT mask, const wchar_t* text, int image, int selectedImage,
                                UINT state, UINT stateMask, LPARAM data, HTREEITEM parent,
                                HTREEITEM insertAfter) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = mask;
    insert.item.pszText = const_cast<wchar_t*>(text ? text : L"");
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.state = state;
    insert.item.stateMask = stateMask;
    insert.item.lParam = data;
    return TreeView_InsertItem(m_hWnd, &insert);
}

HTREEITEM CTreeCtrl::InsertItem(const wchar_t* text, HTREEITEM parent, HTREEITEM insertAfter) {
    return InsertItem(TVIF_TEXT, text, 0, 0, 0, 0, 0, parent, insertAfter);
}

HTREEITEM CTreeCtrl::InsertItem(const wchar_t* text, int image, int selectedImage, HTREEITEM parent,
                                HTREEITEM insertAfter) {
    return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, text, image, selectedImage, 0, 0,
                      0, parent, insertAfter);
}

HIMAGELIST CTreeCtrl::SetImageList(CImageList* list, int kind) {
    return TreeView_SetImageList(m_hWnd, list ? list->GetSafeHandle() : nullptr, kind);
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const {
    // Labels can be long; grow until the text fits with room to spare.
    for (int size = 256; size <= 65536; size *= 4) {
        CString text;
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text.GetBufferSetLength(size);
        tv.cchTextMax = size;
        if (!TreeView_GetItem(m_hWnd, &tv)) return CString();
        // The control may answer with its own buffer instead of ours.
        if (tv.pszText != text.GetString()) return CString(tv.pszText);
        text.ReleaseBuffer(-1);
        if (text.GetLength() < size - 1) return text;
    }
    return CString();
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, const wchar_t* text) {
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = const_cast<wchar_t*>(text ? text : L"");
    return TreeView_SetItem(m_hWnd, &tv);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const noexcept {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!TreeView_GetItem(m_hWnd, &tv)) return 0;
    return static_cast<DWORD_PTR>(tv.lParam);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) noexcept {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    tv.lParam = static_cast<LPARAM>(data);
    return TreeView_SetItem(m_hWnd, &tv);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const noexcept {
    TVITEMW tv{};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    if (!TreeView_GetItem(m_hWnd, &tv)) return FALSE;
    image = tv.iImage;
    selectedImage = tv.iSelectedImage;
    return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage) noexcept {
    TVITEMW tv{};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    tv.iImage = image;
    tv.iSelectedImage = selectedImage;
    return TreeView_SetItem(m_hWnd, &tv);
}

HTREEITEM CTreeCtrl::HitTest(POINT point, UINT* flags) const noexcept {
    TVHITTESTINFO info{};
    info.pt = point;
    const HTREEITEM item = TreeView_HitTest(m_hWnd, &info);
    if (flags) *flags = info.flags;
    return item;
}
