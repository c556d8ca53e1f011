// The forms that the preview tests show: every control kind, with stored
// values that an HTML page easily gets wrong (entities, characters outside
// the ANSI code page, quotes and angle brackets).
#pragma once

#include "MgrTestSupport.h"

#include <string>

namespace preview_samples {

inline constexpr const wchar_t* kUser = L"\u2039"; // ‹
inline constexpr const wchar_t* kCode = L"&";
inline constexpr const wchar_t* kPassword = L"pw\u00E91\u03B1"; // pwé1α
inline constexpr const wchar_t* kNote = L"\u03B1 \"<b>\"";      // α "<b>"
inline constexpr const wchar_t* kMemo = L"a&amp;b\r\n<\u03B1>";

// One control of every kind, every value and choice stored. With two
// buttons the page offers the button choice.
inline void FillSample(CDataWebItem& item, const wchar_t* name) {
    item.m_strName = name;
    item.m_strFormName = L"login";
    item.m_nAutoInput = 0;
    item.m_nAutoSend = 0;
    item.m_nIndex = 0;
    AddCtrl(item, D_WEB_CTRL_TEXT, L"user").TextValue()->m_strValue = kUser;
    CDataWebCtrl& code = AddCtrl(item, D_WEB_CTRL_TEXT, L"code");
    code.TextValue()->m_strValue = kCode;
    code.TextValue()->m_nDataLen = 8;
    AddCtrl(item, D_WEB_CTRL_TEXT, L"q&a").TextValue()->m_strValue = kNote;
    AddCtrl(item, D_WEB_CTRL_PSWD, L"pw").TextValue()->m_strValue = kPassword;
    CDataWebCtrl& plan = AddCtrl(item, D_WEB_CTRL_RADIO, L"plan");
    for (const wchar_t* value : {L"\u03B1", L"&", L"\u00E91"}) {
        CDataWebSelElement& choice = plan.SelValue()->Add();
        choice.m_strValue = value;
        choice.m_nSelect = std::wstring(value) == L"&";
    }
    CDataWebCtrl& keep = AddCtrl(item, D_WEB_CTRL_CHECK, L"keep");
    CDataWebSelElement& tick = keep.SelValue()->Add();
    tick.m_strValue = L"\u2039on\u203A";
    tick.m_nSelect = 1;
    CDataWebCtrl& pref = AddCtrl(item, D_WEB_CTRL_SELECT, L"pref");
    pref.SelValue()->m_nMultiple = 1;
    const wchar_t* values[] = {L"\u2039", L"&", L"\u00E91"};
    const wchar_t* texts[] = {L"\u03B1", L"A&B", L"<\u00E9>"};
    for (int i = 0; i < 3; ++i) {
        CDataWebSelElement& choice = pref.SelValue()->Add();
        choice.m_strValue = values[i];
        choice.m_strText = texts[i];
        choice.m_nSelect = i == 2;
    }
    CDataWebCtrl& memo = AddCtrl(item, D_WEB_CTRL_MULTI, L"memo");
    memo.MultiValue()->m_strText = kMemo;
    memo.MultiValue()->m_nRows = 3;
    memo.MultiValue()->m_nCols = 20;
    CDataWebCtrl& go = AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go");
    go.ButtonValue()->m_strValue = L"\u30ED\u30B0\u30A4\u30F3"; // ログイン
    go.ButtonValue()->m_nSelected = 0;
    CDataWebCtrl& image = AddCtrl(item, D_WEB_CTRL_IMAGE, L"img");
    image.ButtonValue()->m_strValue = L"\u03B1&";
    image.ButtonValue()->m_nSelected = 1;
}

} // namespace preview_samples
