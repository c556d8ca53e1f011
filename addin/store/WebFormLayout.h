// The web-form tree in the user's database: every key and value name under
// "WEBFORMDATA", the options with the values taken when one is not stored,
// the control kinds and the numbering of keys and values. The add-in's store
// writes and reads this tree, the data manager reads and rewrites it and the
// export utility reads it; all three take the names from here, so that a name
// cannot differ between the program that writes it and one that reads it.
//
// Header only: the 32-bit export utility includes it without linking the store.
#pragma once

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

// Control kinds: a control's stored "TYPE" value and the model's m_nType.
// Kind 2 is never given to a control; every switch on the kind skips it.
enum WebCtrlKind : std::int32_t {
    D_WEB_CTRL_TEXT = 0,   // INPUT type=text
    D_WEB_CTRL_PSWD = 1,   // INPUT type=password
    D_WEB_CTRL_UNUSED = 2, // no value record
    D_WEB_CTRL_RADIO = 3,  // INPUT type=radio
    D_WEB_CTRL_CHECK = 4,  // INPUT type=checkbox
    D_WEB_CTRL_SELECT = 5, // SELECT
    D_WEB_CTRL_MULTI = 6,  // TEXTAREA
    D_WEB_CTRL_SUBMIT = 7, // INPUT type=submit
    D_WEB_CTRL_IMAGE = 8,  // INPUT type=image
};

namespace torva::webform {

// Keys. Paths are full paths joined by one backslash; the database matches
// key names without regard to case.
inline constexpr wchar_t kRootKey[] = L"WEBFORMDATA";
inline constexpr wchar_t kOptionKey[] = L"WEBFORMDATA\\OPTION";
// Stems of the numbered keys: WEBFORMDATA\PAGEnnn\ITEMnnn\CTRLnnn.
inline constexpr wchar_t kPageStem[] = L"PAGE";
inline constexpr wchar_t kItemStem[] = L"ITEM";
inline constexpr wchar_t kCtrlStem[] = L"CTRL";
// The choice list below a RADIO, CHECK or SELECT control: created with the
// first spelling, opened by the readers with the second.
inline constexpr wchar_t kElementKey[] = L"ELEMENT";
inline constexpr wchar_t kElementKeyAsRead[] = L"Element";

// Values of a page key.
inline constexpr wchar_t kPageUrl[] = L"URL";               // text
inline constexpr wchar_t kPageTitle[] = L"TITLE";           // text
inline constexpr wchar_t kPageUpdateDate[] = L"UPDATEDATE"; // text, "%Y/%m/%d %H:%M:%S"
inline constexpr wchar_t kPageChangeFlg[] = L"CHANGEFLG";   // DWORD

// Values of an item key (one stored form).
inline constexpr wchar_t kItemName[] = L"NAME";           // text, the entry's name
inline constexpr wchar_t kItemFormName[] = L"FORMNAME";   // text
inline constexpr wchar_t kItemAutoInput[] = L"AUTOINPUT"; // DWORD
inline constexpr wchar_t kItemAutoSend[] = L"AUTOSEND";   // DWORD
inline constexpr wchar_t kItemIndex[] = L"INDEX";         // DWORD

// Values of a control key; which of them a control has depends on its kind.
inline constexpr wchar_t kCtrlType[] = L"TYPE";         // DWORD, a WebCtrlKind
inline constexpr wchar_t kCtrlName[] = L"NAME";         // text
inline constexpr wchar_t kCtrlValue[] = L"VALUE";       // TEXT, PSWD (encrypted), SUBMIT, IMAGE
inline constexpr wchar_t kCtrlDataLen[] = L"DATALEN";   // TEXT, PSWD: DWORD
inline constexpr wchar_t kCtrlMultiple[] = L"MULTIPLE"; // RADIO, CHECK, SELECT: DWORD
inline constexpr wchar_t kCtrlRows[] = L"ROWS";         // MULTI: DWORD
inline constexpr wchar_t kCtrlCols[] = L"COLS";         // MULTI: DWORD
inline constexpr wchar_t kCtrlText[] = L"TEXT";         // MULTI: text
inline constexpr wchar_t kCtrlSelect[] = L"SELECT";     // SUBMIT, IMAGE: DWORD

// Values of an element key: the count, then for each choice i = 1 ... count
// the values named NumberedValueName(stem, i).
inline constexpr wchar_t kElementDataNum[] = L"DATANUM";   // DWORD
inline constexpr wchar_t kElementValueStem[] = L"VALUE";   // VALUEi, text
inline constexpr wchar_t kElementTextStem[] = L"TEXT";     // TEXTi, text
inline constexpr wchar_t kElementSelectStem[] = L"SELECT"; // SELECTi, DWORD

// The options: DWORDs under kOptionKey, each with the value taken when it is
// not stored.
struct WebFormOption {
    const wchar_t* name;
    std::int32_t missing;
};
inline constexpr WebFormOption kStopFunc{L"STOPFUNC", 0};
inline constexpr WebFormOption kStopAutoInput{L"STOPAUTOINPUT", 0};
inline constexpr WebFormOption kSetAuto{L"SETAUTO", 1};
inline constexpr WebFormOption kCheckSet{L"CHECKSET", 1};
inline constexpr WebFormOption kOnlyPwd{L"ONLYPWD", 0};
inline constexpr WebFormOption kNoMultiText{L"NOMULTITEXT", 0};
inline constexpr WebFormOption kHidePwd{L"HIDEPWD", 1};
// In the order in which they are read and written.
inline constexpr WebFormOption kOptions[] = {kStopFunc, kStopAutoInput, kSetAuto, kCheckSet,
                                             kOnlyPwd,  kNoMultiText,   kHidePwd};

// parent\name.
inline std::wstring SubKeyPath(const std::wstring& parent, const wchar_t* name) {
    return parent + L"\\" + name;
}

// parent\stem and the number in at least three digits ("%s\\%s%03d"):
// PAGE001 ... PAGE999, PAGE1000.
inline std::wstring NumberedKeyPath(const std::wstring& parent, const wchar_t* stem, int number) {
    wchar_t digits[16];
    std::swprintf(digits, std::size(digits), L"%03d", number);
    return parent + L"\\" + stem + digits;
}

// The stem and the number ("%s%d"): VALUE1, TEXT1, SELECT1, VALUE2, ...
inline std::wstring NumberedValueName(const wchar_t* stem, int number) {
    return stem + std::to_wstring(number);
}

namespace detail {

constexpr bool SameText(const wchar_t* a, const wchar_t* b) {
    while (*a != 0 && *a == *b)
        ++a, ++b;
    return *a == *b;
}

constexpr wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c;
}

constexpr bool SameKeyName(const wchar_t* a, const wchar_t* b) {
    while (*a != 0 && Upper(*a) == Upper(*b))
        ++a, ++b;
    return Upper(*a) == Upper(*b);
}

// True when path is parent, one backslash and name.
constexpr bool IsSubKey(const wchar_t* path, const wchar_t* parent, const wchar_t* name) {
    while (*parent != 0 && *path == *parent)
        ++path, ++parent;
    return *parent == 0 && *path == L'\\' && SameText(path + 1, name);
}

} // namespace detail

static_assert(detail::IsSubKey(kOptionKey, kRootKey, L"OPTION"),
              "the options live in a sub key of the web-form root");
static_assert(detail::SameKeyName(kElementKey, kElementKeyAsRead),
              "both spellings of the element key name the one key");

} // namespace torva::webform
