// Stored entries made by hand for the test pages, control by control as the
// registration dialog captures them.
#pragma once

#include "CDataWebItem.h"

#include <initializer_list>
#include <string>

#include "testsupport/WebItemBuilder.h"
// Options of a radio group, check box or SELECT with their values; the one
// at selected (-1: none) is ticked.
void AddChoices(CDataWebCtrl& ctrl, std::initializer_list<const wchar_t*> values, int selected);

// The values an entry of login.html's form "login" (forms[1]) fills in.
struct LoginValues {
    static constexpr const wchar_t* kUser = L"山田太郎";
    static constexpr const wchar_t* kPassword = L"秘密 pass&1";
    static constexpr const wchar_t* kMemo = L"一行目\r\nline2";
};

// An entry matching login.html's form "login": user (maxlength 20), pw,
// radio plan a/b/c (b ticked), check box keep (ticked), SELECT pref v1/v2/v3
// (v3 selected), textarea memo 4 x 30, submit go "Login" (the submitting
// button), submit cancel, image img "Go". AUTOINPUT 1, AUTOSEND 0.
void MakeLoginEntry(CDataWebItem& item, const std::wstring& name);
