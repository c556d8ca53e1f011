#include "AppDataRecords.h"

#include "KeyNameHash.h"

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

std::wstring CWindowData::CreateHash(const std::wstring& text, const CryptApi& crypt) {
    return CreateKeyNameHash(text, crypt);
}

std::wstring CWindowData::GetAplHash(const CryptApi& crypt) const {
    return CreateHash(applicationName, crypt);
}

std::wstring CWindowData::GetCaptionHash(const CryptApi& crypt) const {
    std::vector<int32_t> ids;
    for (const auto& control : item.controls)
        ids.push_back(control->ID);
    return CreateHash(CaptionHashInput(caption, ids), crypt);
}

std::wstring CWindowData::GetItemHash(const CryptApi& crypt) const {
    return CreateHash(item.NAME, crypt);
}
