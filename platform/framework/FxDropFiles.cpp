#include "FxDropFiles.h"

#include "CWnd.h"

void CWnd::DragAcceptFiles(BOOL accept) noexcept {
    ::DragAcceptFiles(m_hWnd, accept);
}
