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
    case D_WEB_CTRL_TEXT:
    case D_WEB_CTRL_PSWD:
        return WebValueRecord::Text;
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT:
        return WebValueRecord::Choices;
    case D_WEB_CTRL_MULTI:
        return WebValueRecord::MultiLine;
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE:
        return WebValueRecord::Button;
    default:
        return WebValueRecord::None;
    }
}

WebControlNode::~WebControlNode() {
    if (kind == D_WEB_CTRL_PSWD) Wipe(VALUE);
}

AuthSlot::~AuthSlot() {
    Wipe(deviceInfo);
}

bool TpmItemCheckable(const AuthInfoNode* pinCacheNode) noexcept {
    if (!pinCacheNode) return true;
    return pinCacheNode->present && pinCacheNode->pinCacheTime != -1;
}
