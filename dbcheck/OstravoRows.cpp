#include "OstravoRows.h"

#include "ResourceStrings.h"
#include "resource.h"

namespace ostravo {

void ShowRowState(HWND dialog, int checkId, int statusId, DWORD state) {
    const bool damaged = state != 0;
    HWND box = ::GetDlgItem(dialog, checkId);
    ::CheckDlgButton(dialog, checkId, BST_UNCHECKED);
    ::ShowWindow(box, damaged ? SW_SHOW : SW_HIDE);
    ::SetDlgItemTextW(dialog, statusId, GetResourceString(damaged ? IDS_DAMAGED : IDS_INTACT));
}

} // namespace ostravo
