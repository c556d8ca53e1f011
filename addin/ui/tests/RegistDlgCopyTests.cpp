// The HTML copy of an item's form, as written to the temporary file.
#include "RegistDlgFixture.h"

namespace {

CDataWebCtrl& AddCtrl(CDataWebItem& item, int kind, const std::wstring& name) {
    CDataWebCtrl& ctrl = item.AddCtrl();
    ctrl.m_nType = kind;
    ctrl.m_strName = name;
    (void)ctrl.CreateValue();
    return ctrl;
}

CDataWebCtrl& AddText(CDataWebItem& item, int kind, const std::wstring& name,
                      const std::wstring& value, int dataLen) {
    CDataWebCtrl& ctrl = AddCtrl(item, kind, name);
    ctrl.TextValue()->m_strValue = value;
    ctrl.TextValue()->m_nDataLen = dataLen;
    return ctrl;
}

CDataWebCtrl& AddButton(CDataWebItem& item, const std::wstring& value, int selected) {
    CDataWebCtrl& ctrl = AddCtrl(item, D_WEB_CTRL_SUBMIT, L"b");
    ctrl.ButtonValue()->m_strValue = value;
    ctrl.ButtonValue()->m_nSelected = selected;
    return ctrl;
}

bool Has(const std::wstring& html, const std::wstring& part) {
    return html.find(part) != std::wstring::npos;
}

size_t Count(const std::wstring& html, const std::wstring& part) {
    size_t n = 0;
    for (size_t at = html.find(part); at != std::wstring::npos; at = html.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(RegistDlgCopy, TextFieldsCarryValueAndLengthOnlyWhenTheyHaveThem) {
    CRegistDlg dialog(nullptr, 0, CRegistDlg::STATE_NEW);
    CDataWebItem item;
    AddText(item, D_WEB_CTRL_TEXT, L"a", L"x", 8);
    AddText(item, D_WEB_CTRL_TEXT, L"b", L"y", -1);
    AddText(item, D_WEB_CTRL_TEXT, L"c", L"", 5);
    AddText(item, D_WEB_CTRL_TEXT, L"d", L"", -1);
    const std::wstring html = dialog.BuildFormHtml(item);
    EXPECT_TRUE(Has(
        html, L"text(a)<INPUT TYPE=\"text\" name=\"a\" value=\"x\" size=8 maxlength=8><P>\r\n"));
    EXPECT_TRUE(Has(html, L"text(b)<INPUT TYPE=\"text\" name=\"b\" value=\"y\"><P>\r\n"));
    EXPECT_TRUE(Has(html, L"text(c)<INPUT TYPE=\"text\" name=\"c\" size=5 maxlength=5><P>\r\n"));
    EXPECT_TRUE(Has(html, L"text(d)<INPUT TYPE=\"text\" name=\"d\"><P>\r\n"));
    EXPECT_EQ(html.rfind(L"<html>\n", 0), 0u);
    EXPECT_TRUE(Has(html, L"<body>\n<form>\n<FONT SIZE=2>\n"));
    EXPECT_TRUE(Has(html, L"</font>\n</form>\n</body>\n"));
}

TEST(RegistDlgCopy, ValuesAndNamesAreEscapedSoTheyCannotBreakTheMarkup) {
    CRegistDlg dialog(nullptr, 0, CRegistDlg::STATE_NEW);
    CDataWebItem item;
    AddText(item, D_WEB_CTRL_TEXT, L"n\"<", L"a\"b<c>&d ©", -1);
    CDataWebCtrl& select = AddCtrl(item, D_WEB_CTRL_SELECT, L"s");
    CDataWebSelElement& option = select.SelValue()->Add();
    option.m_strValue = L"two words";
    option.m_strText = L"<b>";
    const std::wstring html = dialog.BuildFormHtml(item);
    EXPECT_TRUE(Has(html, L"name=\"n&quot;&lt;\" value=\"a&quot;b&lt;c&gt;&amp;d &copy\""));
    EXPECT_TRUE(Has(html, L"<option value=\"two words\">&lt;b&gt;\n"));
    EXPECT_FALSE(Has(html, L"<b>"));
}

TEST(RegistDlgCopy, PasswordIsPlainTextBetweenMarkersUnlessHidden) {
    CRegistDlg dialog(nullptr, 0, CRegistDlg::STATE_NEW);
    CDataWebItem item;
    AddText(item, D_WEB_CTRL_PSWD, L"pw", L"secret", 12);
    dialog.Store().m_option.m_nHidePwd = 0;
    const std::wstring shown = dialog.BuildFormHtml(item);
    EXPECT_TRUE(Has(shown, L"<!--password-->\npassword(pw)<INPUT TYPE=\"text\" name=\"pw\" "
                           L"value=\"secret\" size=12 maxlength=12><P>\n<!--password-->\r\n"));
    dialog.Store().m_option.m_nHidePwd = 1;
    const std::wstring hidden = dialog.BuildFormHtml(item);
    EXPECT_TRUE(Has(
        hidden, L"password(pw)<INPUT TYPE=\"password\" name=\"pw\" size=12 maxlength=12><P>\n"));
    EXPECT_FALSE(Has(hidden, L"secret"));
    EXPECT_FALSE(Has(hidden, L"<!--password-->"));
}

TEST(RegistDlgCopy, ChoicesKeepTheirStoredStates) {
    CRegistDlg dialog(nullptr, 0, CRegistDlg::STATE_NEW);
    CDataWebItem item;
    CDataWebCtrl& radio = AddCtrl(item, D_WEB_CTRL_RADIO, L"r");
    radio.SelValue()->Add().m_strValue = L"a";
    CDataWebSelElement& b = radio.SelValue()->Add();
    b.m_strValue = L"b";
    b.m_nSelect = 1;
    CDataWebCtrl& check = AddCtrl(item, D_WEB_CTRL_CHECK, L"c");
    check.SelValue()->Add().m_strValue = L"on";
    CDataWebCtrl& area = AddCtrl(item, D_WEB_CTRL_MULTI, L"m");
    area.MultiValue()->m_nRows = 2;
    area.MultiValue()->m_nCols = 30;
    area.MultiValue()->m_strText = L"1 < 2";
    CDataWebCtrl& multi = AddCtrl(item, D_WEB_CTRL_SELECT, L"s");
    multi.SelValue()->m_nMultiple = 1;
    const std::wstring html = dialog.BuildFormHtml(item);
    EXPECT_TRUE(
        Has(html,
            L"radio(r)\n\n<BLOCKQUOTE>\na<INPUT TYPE=\"radio\" name=\"r\" value=\"a\"><BR>\r\n"
            L"b<INPUT TYPE=\"radio\" checked name=\"r\" value=\"b\"><BR>\r\n</BLOCKQUOTE><P>\r\n"));
    EXPECT_TRUE(Has(html, L"check(c)\r\n\r\n<BLOCKQUOTE>\non<INPUT TYPE=\"checkbox\" name=\"c\" "
                          L"value=\"on\"><BR>\r\n"));
    EXPECT_TRUE(
        Has(html, L"textarea(m)<br><textarea rows=2 cols=30 name=\"m\">1 &lt; 2</textarea><p>"));
    EXPECT_TRUE(Has(html, L"<SELECT NAME=\"s\" MULTIPLE>"));
}

TEST(RegistDlgCopy, ButtonsMakeAListOnlyWhenThereIsMoreThanOne) {
    CRegistDlg dialog(nullptr, 0, CRegistDlg::STATE_NEW);
    CDataWebItem one;
    AddButton(one, L"送信", 1);
    EXPECT_FALSE(Has(dialog.BuildFormHtml(one), L"submitselecttvrtvrsubmitselecttvrtvr"));

    CDataWebItem two;
    AddButton(two, L"送信", 0);
    AddButton(two, L"戻る", 1);
    const std::wstring html = dialog.BuildFormHtml(two);
    EXPECT_EQ(Count(html, L"<SELECT NAME=\"submitselecttvrtvrsubmitselecttvrtvr\">"), 1u);
    EXPECT_TRUE(
        Has(html, L"<option value=\"送信\">送信\n<option value=\"戻る\" selected>戻る\r\n"));
}
