#include "LoginEntry.h"

void AddChoices(CDataWebCtrl& ctrl, std::initializer_list<const wchar_t*> values, int selected) {
    int i = 0;
    for (const wchar_t* value : values) {
        CDataWebSelElement& choice = ctrl.SelValue()->Add();
        choice.m_strValue = value;
        choice.m_strText = value;
        choice.m_nSelect = i++ == selected ? 1 : 0;
    }
}

void MakeLoginEntry(CDataWebItem& item, const std::wstring& name) {
    item.m_strName = name;
    item.m_strFormName = L"login";
    item.m_nAutoInput = 1;
    item.m_nAutoSend = 0;
    item.m_nIndex = 1;
    CDataWebCtrl& user = AddCtrl(item, D_WEB_CTRL_TEXT, L"user");
    user.TextValue()->m_strValue = LoginValues::kUser;
    user.TextValue()->m_nDataLen = 20;
    AddCtrl(item, D_WEB_CTRL_PSWD, L"pw").TextValue()->m_strValue = LoginValues::kPassword;
    AddChoices(AddCtrl(item, D_WEB_CTRL_RADIO, L"plan"), {L"a", L"b", L"c"}, 1);
    AddChoices(AddCtrl(item, D_WEB_CTRL_CHECK, L"keep"), {L"on"}, 0);
    AddChoices(AddCtrl(item, D_WEB_CTRL_SELECT, L"pref"), {L"v1", L"v2", L"v3"}, 2);
    CDataWebCtrl& memo = AddCtrl(item, D_WEB_CTRL_MULTI, L"memo");
    memo.MultiValue()->m_strText = LoginValues::kMemo;
    memo.MultiValue()->m_nRows = 4;
    memo.MultiValue()->m_nCols = 30;
    CDataWebCtrl& go = AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go");
    go.ButtonValue()->m_strValue = L"Login";
    go.ButtonValue()->m_nSelected = 1;
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"cancel").ButtonValue()->m_strValue = L"Cancel";
    AddCtrl(item, D_WEB_CTRL_IMAGE, L"img").ButtonValue()->m_strValue = L"Go";
}
