// Test support: builds stored forms in memory, a control at a time or one
// form with every control kind, for the tests of the store, the fill-in and
// the manager.
#pragma once

#include "CDataWebItem.h"

#include <string>

inline CDataWebCtrl& AddCtrl(CDataWebItem& item, int kind, const wchar_t* name) {
    CDataWebCtrl& ctrl = item.AddCtrl();
    ctrl.m_nType = kind;
    ctrl.m_strName = name;
    (void)ctrl.CreateValue();
    return ctrl;
}

// Choices "v0", "v1", … with the texts "選択0", "選択1", …; `selected` chosen.
inline void AddChoices(CDataWebCtrl& ctrl, int count, int selected) {
    for (int i = 0; i < count; ++i) {
        CDataWebSelElement& choice = ctrl.SelValue()->Add();
        choice.m_strValue = L"v" + std::to_wstring(i);
        choice.m_strText = L"選択" + std::to_wstring(i);
        choice.m_nSelect = i == selected;
    }
}

// One form "login" with every control kind. With `spares`, also a second,
// empty password and a second submit button.
inline void FillEveryKind(CDataWebItem& item, const wchar_t* name, bool spares = false) {
    item.m_strName = name;
    item.m_strFormName = L"login";
    item.m_nAutoInput = 1;
    item.m_nAutoSend = 0;
    item.m_nIndex = 0;
    AddCtrl(item, D_WEB_CTRL_TEXT, L"user").TextValue()->m_strValue = L"山田";
    CDataWebCtrl& limited = AddCtrl(item, D_WEB_CTRL_TEXT, L"code");
    limited.TextValue()->m_strValue = L"123";
    limited.TextValue()->m_nDataLen = 8;
    AddCtrl(item, D_WEB_CTRL_PSWD, L"pw").TextValue()->m_strValue = L"pässwörd";
    if (spares) AddCtrl(item, D_WEB_CTRL_PSWD, L"pw2");
    AddChoices(AddCtrl(item, D_WEB_CTRL_RADIO, L"plan"), 3, 1);
    AddChoices(AddCtrl(item, D_WEB_CTRL_CHECK, L"keep"), 1, 0);
    CDataWebCtrl& select = AddCtrl(item, D_WEB_CTRL_SELECT, L"pref");
    select.SelValue()->m_nMultiple = 1;
    AddChoices(select, 3, 2);
    CDataWebCtrl& area = AddCtrl(item, D_WEB_CTRL_MULTI, L"memo");
    area.MultiValue()->m_strText = L"line1\r\nline2";
    area.MultiValue()->m_nRows = 4;
    area.MultiValue()->m_nCols = 30;
    CDataWebCtrl& go = AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go");
    go.ButtonValue()->m_strValue = L"Login";
    go.ButtonValue()->m_nSelected = 1;
    if (spares) AddCtrl(item, D_WEB_CTRL_SUBMIT, L"cancel").ButtonValue()->m_strValue = L"Cancel";
    AddCtrl(item, D_WEB_CTRL_IMAGE, L"img").ButtonValue()->m_strValue = L"alt";
}
