// The in-memory records of the application-data tree "APCTRLDATA": one
// registered application holds window captions, a caption holds items, an
// item holds controls. Each owner deletes what it holds.
#pragma once

#include "CryptApi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDataCtrl {
public:
    CDataCtrl() = default;
    CDataCtrl(int32_t type, int32_t id, std::wstring caption, int32_t flag)
        : TYPE(type), ID(id), CAPTION(std::move(caption)), FLAG(flag) {}
    virtual ~CDataCtrl();

    int32_t TYPE = 0; // 1 text field, 2 password field, 3 check box, 5 button
    int32_t ID = 0;
    std::wstring CAPTION; // for a password field: the password (wiped when freed)
    int32_t FLAG = 0;
    // A password whose stored form could not be decrypted: CAPTION is empty.
    bool unread = false;
};

class CDataItem {
public:
    CDataItem() = default;
    virtual ~CDataItem() = default;
    // NAME empty, AUTOINPUT 0, AUTOCLICK 2 (not set), CLICKPOS 0, no controls.
    void Reset();
    // The sum of the controls' IDs, 32-bit wrap-around.
    int32_t ControlIdSum() const;

    std::wstring NAME;
    int32_t AUTOINPUT = 0;
    int32_t AUTOCLICK = 2;
    int32_t CLICKPOS = 0;
    std::vector<std::unique_ptr<CDataCtrl>> controls;
};

class CDataCaption {
public:
    virtual ~CDataCaption() = default;
    std::wstring CAPTION;
    std::vector<std::unique_ptr<CDataItem>> items;
};

class CDataApl {
public:
    virtual ~CDataApl() = default;
    std::wstring APLNAME;
    std::vector<std::unique_ptr<CDataCaption>> captions;
};

using CDataAplList = std::vector<std::unique_ptr<CDataApl>>;

// The write side of one entry. The controls of item are the caller's: it
// fills them in and they go with the object. The hashes name the entry's
// keys under "APCTRLDATA\REG" (empty when the library fails).
class CWindowData {
public:
    virtual ~CWindowData() = default;

    // The digest of text in the thread's ANSI code page, lower-case hexadecimal.
    static std::wstring CreateHash(const std::wstring& text,
                                   const CryptApi& crypt = LibraryCryptApi());
    // Of the application name.
    std::wstring GetAplHash(const CryptApi& crypt = LibraryCryptApi()) const;
    // Of the caption followed by the item's control-ID sum in hexadecimal.
    std::wstring GetCaptionHash(const CryptApi& crypt = LibraryCryptApi()) const;
    // Of the item name.
    std::wstring GetItemHash(const CryptApi& crypt = LibraryCryptApi()) const;

    std::wstring applicationName;
    std::wstring caption;
    CDataItem item;
};

// Selectors of CKeepData::IsCheckedOption.
enum KeepOption {
    KEEP_OPT_STOPAUTOFUNC = 0,
    KEEP_OPT_STOPAUTOINPUT = 1,
    KEEP_OPT_STOPASSIST = 2,
    KEEP_OPT_HIDEPWD = 3,
};

class CKeepDataOption {
public:
    virtual ~CKeepDataOption() = default;
    int32_t STOPAUTOFUNC = 0;
    int32_t STOPAUTOINPUT = 0;
    int32_t STOPASSIST = 0;
    int32_t HIDEPWD = 1;
};

// The any-application entry that the export utility writes when it is missing.
constexpr wchar_t kAnyApplicationName[] = L"任意のアプリ";
constexpr wchar_t kAnyApplicationCaption[] = L"ＩＤ/パスワード入力ダイアログ";
constexpr wchar_t kAnyItemName[] = L" ";
