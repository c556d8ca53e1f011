#include "ExportStoreModel.h"

namespace {
void Wipe(std::wstring& text) {
    if (!text.empty()) ::SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t));
}
} // namespace

const wchar_t* const kPolicyValueNames[kPolicyCount] = {
    L"EXPORT",       L"IMPORT",      L"REGISTWEBFORM", L"INPUTWEBFORM", L"EDITWEBFORM",
    L"REGISTAPDATA", L"INPUTAPDATA", L"EDITAPDATA",    L"EDITPOLICY"};

WebValueRecord ValueRecordOf(int32_t kind) {
    switch (kind) {
    case kWebCtrlText:
    case kWebCtrlPassword:
        return WebValueRecord::Text;
    case kWebCtrlRadio:
    case kWebCtrlCheck:
    case kWebCtrlSelect:
        return WebValueRecord::Choices;
    case kWebCtrlMulti:
        return WebValueRecord::MultiLine;
    case kWebCtrlSubmit:
    case kWebCtrlImage:
        return WebValueRecord::Button;
    default:
        return WebValueRecord::None;
    }
}

WebControlNode::~WebControlNode() {
    if (kind == kWebCtrlPassword) Wipe(VALUE);
}

AuthSlot::~AuthSlot() {
    Wipe(deviceInfo);
}

bool TpmItemCheckable(const AuthInfoNode* pinCacheNode) noexcept {
    if (!pinCacheNode) return true;
    return pinCacheNode->present && pinCacheNode->pinCacheTime != -1;
}
