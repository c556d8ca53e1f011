// CImageList: owner of an image list (deleted with the object unless
// detached).
#pragma once

#include <windows.h>
#include <commctrl.h>

class CBitmap;

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const noexcept { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const noexcept { return m_hImageList; }

    // flags: ILC_COLOR8, ILC_MASK, ...; initial images and growth step.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList() noexcept;
    HIMAGELIST Detach() noexcept;
    // Returns the index of the first image added, -1 on failure. The list
    // copies the bitmap: the caller keeps and frees its own.
    int Add(CBitmap* bitmap, CBitmap* mask);
    int Add(CBitmap* bitmap, COLORREF maskColour);
    int Add(HICON icon) noexcept { return ImageList_AddIcon(m_hImageList, icon); }
    int GetImageCount() const noexcept { return ImageList_GetImageCount(m_hImageList); }
    BOOL GetIconSize(int* cx, int* cy) const noexcept {
        return ImageList_GetIconSize(m_hImageList, cx, cy);
    }
};
