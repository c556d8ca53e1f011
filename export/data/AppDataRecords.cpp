#include "AppDataRecords.h"

#include <windows.h>

CDataCtrl::~CDataCtrl() {
    // A password field's CAPTION is the clear password.
    if (!CAPTION.empty()) ::SecureZeroMemory(CAPTION.data(), CAPTION.size() * sizeof(wchar_t));
}

void CDataItem::Reset() {
    NAME.clear();
    AUTOINPUT = 0;
    AUTOCLICK = 2;
    CLICKPOS = 0;
    controls.clear();
}

int32_t CDataItem::ControlIdSum() const {
    uint32_t sum = 0;
    for (const auto& control : controls)
        sum += static_cast<uint32_t>(control->ID);
    return static_cast<int32_t>(sum);
}
