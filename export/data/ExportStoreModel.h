// The nodes of the export store: web-form pages, authentication
// information, the touch-authentication record and the rule. Deleting a node
// deletes everything below it. Every text of the web-form tree is held
// escaped (mode 1 of TextEscape.h), as the export file and the report use it,
// except a password's VALUE, held in clear as stored: the export escapes it
// only where it writes it unsealed.
#pragma once

#include "SecretText.h"
#include "WebFormLayout.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Which value record a control node holds, chosen by its kind (a WebCtrlKind;
// kind 2 gets none).
enum class WebValueRecord { None, Text, Choices, MultiLine, Button };
WebValueRecord ValueRecordOf(int32_t kind);

struct WebElementNode {
    std::wstring VALUE;
    std::wstring TEXT;
    int32_t SELECT = -1;
};

struct WebControlNode {
    ~WebControlNode();
    std::wstring key;
    int32_t kind = -1;
    std::wstring NAME;
    WebValueRecord record = WebValueRecord::None;
    // Text and password: VALUE (a password in clear, wiped when freed), DATALEN.
    // Submit and image: VALUE, SELECT.
    std::wstring VALUE;
    // A stored password that could not be decrypted: VALUE is empty.
    bool unread = false;
    int32_t DATALEN = -1;
    int32_t SELECT = -1;
    // Radio, check box, select.
    int32_t MULTIPLE = -1;
    std::vector<WebElementNode> elements;
    // Multi-line.
    int32_t ROWS = -1;
    int32_t COLS = -1;
    std::wstring TEXT;
};

struct WebItemNode {
    std::wstring key;
    std::wstring NAME;
    std::wstring FORMNAME;
    int32_t INDEX = -1;
    void* treeItem = nullptr; // set by the item tree
    std::vector<std::unique_ptr<WebControlNode>> controls;
    int32_t AUTOINPUT = -1;
    int32_t AUTOSEND = -1;
    int32_t spare = 0;
};

struct WebPageNode {
    std::wstring key;
    int32_t count = 0;
    std::wstring URL;
    std::wstring TITLE;
    std::wstring UPDATEDATE;
    std::vector<std::unique_ptr<WebItemNode>> items;
};

// Device kinds of the authentication-information list.
constexpr int32_t kAuthFingerprint = 1;
constexpr int32_t kAuthFelica = 2;
constexpr int32_t kAuthUsb = 3;
constexpr int32_t kAuthSd = 4;
constexpr int32_t kAuthPinCache = -1;

struct AuthSlot {
    int32_t slot = -1; // -1: empty
    SecretBytes secret;
    int32_t length = 0;
    std::wstring deviceName;
    std::wstring deviceInfo; // wiped when freed
    ~AuthSlot();
    AuthSlot() = default;
    AuthSlot(AuthSlot&&) = default;
    AuthSlot& operator=(AuthSlot&&) = default;
};

struct AuthInfoNode {
    int32_t present = 0;
    int32_t deviceKind = 0;
    std::vector<AuthSlot> slots; // 10 for fingerprints, 5 for the other devices
    int32_t pinCacheTime = 0;    // kind -1: milliseconds, 0 no caching, -1 permanent
};

// Whether the TPM item may be ticked for export, given the store's PIN cache
// node (null when it holds none): only a node that is there but not present,
// or that holds -1, keeps the item from being ticked.
bool TpmItemCheckable(const AuthInfoNode* pinCacheNode) noexcept;

struct TouchAuthRecord {
    int32_t authType = 0;
    int32_t bitmapType = 0;
    int32_t maskColor = 0;
    SecretBytes passCode; // passCodeCount x 8 bytes
    std::vector<BYTE> bitmap;
    int32_t bitmapLength = 0;
    int32_t passCodeCount = 3;
    int32_t present = 0;
    std::wstring displayText;
};

struct AuthRuleRecord {
    int32_t present = 0;
    std::vector<BYTE> bytes;
    std::wstring ruleOptionText;
    int32_t logonMode = 0;
};

// Until the options are read each holds the value taken when it is not stored.
struct WebFormOptions {
    int32_t present = 0;
    int32_t STOPFUNC = torva::webform::kStopFunc.missing;
    int32_t STOPAUTOINPUT = torva::webform::kStopAutoInput.missing;
    int32_t SETAUTO = torva::webform::kSetAuto.missing;
    int32_t CHECKSET = torva::webform::kCheckSet.missing;
    int32_t ONLYPWD = torva::webform::kOnlyPwd.missing;
    int32_t NOMULTITEXT = torva::webform::kNoMultiText.missing;
    int32_t HIDEPWD = torva::webform::kHidePwd.missing;
};

constexpr int kPolicyCount = 9;
extern const wchar_t* const kPolicyValueNames[kPolicyCount];
