#include "CImageList.h"

#include "FxGdi.h"

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    if (m_hImageList) return FALSE;
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList() noexcept {
    if (!m_hImageList) return FALSE;
    return ImageList_Destroy(Detach());
}

HIMAGELIST CImageList::Detach() noexcept {
    const HIMAGELIST list = m_hImageList;
    m_hImageList = nullptr;
    return list;
}

int CImageList::Add(CBitmap* bitmap, CBitmap* mask) {
    if (!m_hImageList || !bitmap) return -1;
    return ImageList_Add(m_hImageList, *bitmap, mask ? static_cast<HBITMAP>(*mask) : nullptr);
}

int CImageList::Add(CBitmap* bitmap, COLORREF maskColour) {
    if (!m_hImageList || !bitmap) return -1;
    return ImageList_AddMasked(m_hImageList, *bitmap, maskColour);
}
