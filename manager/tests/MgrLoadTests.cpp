// Loading a prepared web-form tree, written directly into the user's database.
#include "MgrTestSupport.h"

#include "Corvane.h"

#include <gtest/gtest.h>

namespace {

class MgrLoad : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& key : m_keys)
            m_raw.Delete(key);
    }
    std::wstring NewPage(const std::wstring& tag) {
        m_keys.push_back(ScratchPageKey(tag));
        EXPECT_TRUE(m_raw.Create(m_keys.back()));
        return m_keys.back();
    }
    // A password as the add-in stores it: the cipher bytes as raw data.
    void StorePassword(const std::wstring& key, const std::wstring& clear) {
        std::vector<BYTE> cipher(clear.size() * 4 + 64, 0);
        DWORD produced = 0;
        ASSERT_EQ(TvrCT_Encrypt(reinterpret_cast<const BYTE*>(clear.data()),
                                DWORD(clear.size() * 2), cipher.data(), DWORD(cipher.size()),
                                &produced),
                  DWORD(TVRCT_OK));
        cipher.resize(produced);
        ASSERT_TRUE(m_raw.SetRaw(key, L"VALUE", TVRDB_TYPE_BINARY, cipher));
    }
    CDataWebForm* Find(TestDlg& dlg, const std::wstring& key) {
        for (auto& page : dlg.m_pages) {
            if (page->m_strKey == key) return page.get();
        }
        return nullptr;
    }

    RawDb m_raw;
    std::vector<std::wstring> m_keys;
};

} // namespace

TEST_F(MgrLoad, PreparedTreeLoadsEveryKindWithItsDefaults) {
    const std::wstring page = NewPage(L"every");
    m_raw.SetText(page, L"URL", L"https://example.jp/login");
    m_raw.SetText(page, L"TITLE", L"ログイン");
    m_raw.SetText(page, L"UPDATEDATE", L"2026/12/01 10:00:00");
    const std::wstring item = page + L"\\ITEM001";
    m_raw.SetText(item, L"NAME", L"main");
    m_raw.SetText(item, L"FORMNAME", L"login");
    m_raw.SetDword(item, L"AUTOINPUT", 1);
    m_raw.SetDword(item, L"INDEX", 0);
    const std::wstring c = item + L"\\CTRL00";
    m_raw.SetDword(c + L"1", L"TYPE", 0);
    m_raw.SetText(c + L"1", L"NAME", L"user");
    m_raw.SetText(c + L"1", L"VALUE", L"山田");
    m_raw.SetDword(c + L"1", L"DATALEN", 8);
    m_raw.SetDword(c + L"2", L"TYPE", 1);
    m_raw.SetText(c + L"2", L"NAME", L"pw");
    StorePassword(c + L"2", L"pässwörd");
    m_raw.SetDword(c + L"3", L"TYPE", 3);
    m_raw.SetText(c + L"3", L"NAME", L"plan");
    m_raw.SetDword(c + L"3", L"MULTIPLE", 0);
    m_raw.SetDword(c + L"3\\ELEMENT", L"DATANUM", 2);
    m_raw.SetText(c + L"3\\ELEMENT", L"VALUE1", L"a");
    m_raw.SetDword(c + L"3\\ELEMENT", L"SELECT1", 0);
    m_raw.SetText(c + L"3\\ELEMENT", L"VALUE2", L"b");
    m_raw.SetDword(c + L"3\\ELEMENT", L"SELECT2", 1);
    m_raw.SetDword(c + L"4", L"TYPE", 4); // a check box whose choice list is missing
    m_raw.SetText(c + L"4", L"NAME", L"keep");
    m_raw.SetDword(c + L"4", L"MULTIPLE", 0);
    m_raw.SetDword(c + L"5", L"TYPE", 5);
    m_raw.SetText(c + L"5", L"NAME", L"pref");
    m_raw.SetDword(c + L"5", L"MULTIPLE", 1);
    m_raw.SetDword(c + L"5\\ELEMENT", L"DATANUM", 1);
    m_raw.SetText(c + L"5\\ELEMENT", L"VALUE1", L"x");
    m_raw.SetText(c + L"5\\ELEMENT", L"TEXT1", L"エックス");
    m_raw.SetDword(c + L"5\\ELEMENT", L"SELECT1", 1);
    m_raw.SetDword(c + L"6", L"TYPE", 6);
    m_raw.SetText(c + L"6", L"NAME", L"memo");
    m_raw.SetText(c + L"6", L"TEXT", L"a\r\nb");
    m_raw.SetDword(c + L"6", L"ROWS", 3);
    m_raw.SetDword(c + L"7", L"TYPE", 7);
    m_raw.SetText(c + L"7", L"NAME", L"go");
    m_raw.SetText(c + L"7", L"VALUE", L"Login");
    m_raw.SetDword(c + L"7", L"SELECT", 1);
    m_raw.SetDword(c + L"8", L"TYPE", 8);
    m_raw.SetText(c + L"8", L"NAME", L"img");
    m_raw.SetText(c + L"8", L"VALUE", L"alt");
    m_raw.SetText(c + L"9", L"NAME", L"kindless");
    m_raw.SetText(page + L"\\ITEM002", L"FORMNAME", L"other");
    // The option key, never a page (made here only when no program made it).
    const bool madeOptions = !m_raw.Exists(L"WEBFORMDATA\\OPTION");
    if (madeOptions) {
        m_raw.SetDword(L"WEBFORMDATA\\OPTION", L"HIDEPWD", 1);
        m_keys.push_back(L"WEBFORMDATA\\OPTION");
    }

    TestDlg dlg;
    ASSERT_TRUE(dlg.GetWebFormData());
    for (const auto& loaded : dlg.m_pages)
        EXPECT_NE(loaded->m_strKey, L"WEBFORMDATA\\OPTION");
    CDataWebForm* form = Find(dlg, page);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->m_strUrl, L"https://example.jp/login");
    EXPECT_EQ(form->m_strTitle, L"ログイン");
    EXPECT_EQ(form->m_strUpdateDate, L"2026/12/01 10:00:00");
    EXPECT_EQ(form->m_nChangeFlg, -1);
    EXPECT_EQ(form->m_nLoadedChangeFlg, -1);
    EXPECT_EQ(form->m_nEditState, 0);
    ASSERT_EQ(form->m_items.size(), 2u);

    const CDataWebItem& main = *form->m_items[0];
    EXPECT_EQ(main.m_strKey, item);
    EXPECT_EQ(main.m_strName, L"main");
    EXPECT_EQ(main.m_nState, 0);
    EXPECT_EQ(main.m_nAutoInput, 1);
    EXPECT_EQ(main.m_nAutoSend, -1);
    EXPECT_EQ(main.m_nIndex, 0);
    ASSERT_EQ(main.m_ctrls.size(), 9u);
    const auto& ctrls = main.m_ctrls;
    EXPECT_EQ(ctrls[0]->m_strKey, c + L"1");
    ASSERT_TRUE(ctrls[0]->TextValue());
    EXPECT_EQ(ctrls[0]->TextValue()->m_strValue, L"山田");
    EXPECT_EQ(ctrls[0]->TextValue()->m_nDataLen, 8);
    ASSERT_TRUE(ctrls[1]->TextValue());
    EXPECT_EQ(ctrls[1]->TextValue()->m_strValue, L"pässwörd");
    EXPECT_EQ(ctrls[1]->TextValue()->m_nDataLen, -1);
    EXPECT_EQ(ctrls[1]->TextValue()->m_nNotDecrypted, 0);
    // Written as "ELEMENT", read as "Element".
    ASSERT_TRUE(ctrls[2]->SelValue());
    ASSERT_EQ(ctrls[2]->SelValue()->m_elements.size(), 2u);
    EXPECT_EQ(ctrls[2]->SelValue()->m_elements[0]->m_strValue, L"a");
    EXPECT_EQ(ctrls[2]->SelValue()->m_elements[0]->m_nSelect, 0);
    EXPECT_EQ(ctrls[2]->SelValue()->m_elements[1]->m_nSelect, 1);
    EXPECT_EQ(ctrls[3]->m_nType, D_WEB_CTRL_CHECK);
    EXPECT_FALSE(ctrls[3]->HasValue());
    ASSERT_TRUE(ctrls[4]->SelValue());
    EXPECT_EQ(ctrls[4]->SelValue()->m_nMultiple, 1);
    ASSERT_EQ(ctrls[4]->SelValue()->m_elements.size(), 1u);
    EXPECT_EQ(ctrls[4]->SelValue()->m_elements[0]->m_strText, L"エックス");
    ASSERT_TRUE(ctrls[5]->MultiValue());
    EXPECT_EQ(ctrls[5]->MultiValue()->m_strText, L"a\r\nb");
    EXPECT_EQ(ctrls[5]->MultiValue()->m_nRows, 3);
    EXPECT_EQ(ctrls[5]->MultiValue()->m_nCols, -1);
    ASSERT_TRUE(ctrls[6]->ButtonValue());
    EXPECT_EQ(ctrls[6]->ButtonValue()->m_strValue, L"Login");
    EXPECT_EQ(ctrls[6]->ButtonValue()->m_nSelected, 1);
    ASSERT_TRUE(ctrls[7]->ButtonValue());
    EXPECT_EQ(ctrls[7]->ButtonValue()->m_nSelected, 0);
    EXPECT_EQ(ctrls[8]->m_nType, -1);
    EXPECT_FALSE(ctrls[8]->HasValue());

    const CDataWebItem& unnamed = *form->m_items[1];
    EXPECT_EQ(unnamed.m_nState, CTvrIEToolDlg::kItemUnnamed);
    EXPECT_EQ(unnamed.m_strFormName, L"other");
    EXPECT_EQ(unnamed.m_nAutoInput, -1);
    EXPECT_EQ(unnamed.m_nIndex, -1);

    // The label of the unnamed one, and nothing is shown for a missing
    // choice list.
    EXPECT_EQ(dlg.GetItemLabel(form, form->m_items[1].get()), L"other(新規登録)");
    dlg.m_pShownItem = form->m_items[0].get();
    dlg.m_strItemName = L"main";
    dlg.m_bAutoInput = TRUE;
    EXPECT_TRUE(dlg.CheckDeleteData(form->m_items[0].get()));
}

TEST_F(MgrLoad, KeyThatDoesNotOpenStopsOnlyTheSiblingsAfterIt) {
    const std::wstring first = NewPage(L"fa");
    const std::wstring second = NewPage(L"fb");
    for (const wchar_t* n : {L"\\ITEM001", L"\\ITEM002", L"\\ITEM003"}) {
        m_raw.SetText(first + n, L"NAME", std::wstring(L"name") + n);
    }
    for (const wchar_t* n : {L"\\CTRL001", L"\\CTRL002", L"\\CTRL003"}) {
        m_raw.SetDword(first + L"\\ITEM001" + n, L"TYPE", 0);
    }
    m_raw.SetText(second, L"TITLE", L"second");
    m_raw.SetText(second + L"\\ITEM001", L"NAME", L"fine");

    TestDlg dlg;
    dlg.failingKey = first + L"\\ITEM002";
    ASSERT_TRUE(dlg.GetWebFormData());
    CDataWebForm* one = Find(dlg, first);
    ASSERT_NE(one, nullptr);
    ASSERT_EQ(one->m_items.size(), 3u);
    EXPECT_EQ(one->m_items[0]->m_strName, L"name\\ITEM001");
    EXPECT_EQ(one->m_items[0]->m_ctrls.size(), 3u);
    EXPECT_EQ(one->m_items[1]->m_strName, L"");
    EXPECT_EQ(one->m_items[2]->m_strName, L"");
    CDataWebForm* two = Find(dlg, second);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->m_strTitle, L"second");
    ASSERT_EQ(two->m_items.size(), 1u);
    EXPECT_EQ(two->m_items[0]->m_strName, L"fine");

    TestDlg ctrls;
    ctrls.failingKey = first + L"\\ITEM001\\CTRL002";
    ASSERT_TRUE(ctrls.GetWebFormData());
    one = Find(ctrls, first);
    ASSERT_NE(one, nullptr);
    const auto& list = one->m_items[0]->m_ctrls;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->m_nType, D_WEB_CTRL_TEXT);
    EXPECT_EQ(list[1]->m_nType, -1);
    EXPECT_EQ(list[2]->m_nType, -1);
    EXPECT_EQ(one->m_items[1]->m_strName, L"name\\ITEM002");
}

TEST_F(MgrLoad, PasswordThatCannotBeDecryptedLoadsEmptyAndMarked) {
    const std::wstring page = NewPage(L"nodecrypt");
    const std::wstring ctrl = page + L"\\ITEM001\\CTRL001";
    m_raw.SetText(page + L"\\ITEM001", L"NAME", L"n");
    m_raw.SetDword(ctrl, L"TYPE", 1);
    m_raw.SetDword(ctrl, L"DATALEN", 12);
    StorePassword(ctrl, L"secret");
    TestDlg dlg;
    dlg.failDecryption = true;
    ASSERT_TRUE(dlg.GetWebFormData());
    CDataWebForm* form = Find(dlg, page);
    ASSERT_NE(form, nullptr);
    const CDataWebTextValue* text = form->m_items[0]->m_ctrls[0]->TextValue();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->m_strValue, L"");
    EXPECT_EQ(text->m_nNotDecrypted, 1);
    EXPECT_EQ(text->m_nDataLen, 12);
    EXPECT_EQ(dlg.m_nCryptUsable, 0);
}

TEST_F(MgrLoad, OptionsReadWithTheirDefaults) {
    TestDlg dlg;
    // Whatever the options hold now, a missing value takes its default.
    RawDb raw;
    const auto hide = raw.Dword(L"WEBFORMDATA\\OPTION", L"HIDEPWD");
    ASSERT_TRUE(dlg.GetOptionData());
    EXPECT_EQ(dlg.m_option.m_nHidePwd, hide ? *hide : 1);
    EXPECT_EQ(dlg.m_option.m_nNoMultiText,
              raw.Dword(L"WEBFORMDATA\\OPTION", L"NOMULTITEXT").value_or(0));
    EXPECT_EQ(dlg.m_option.m_nSetAuto, raw.Dword(L"WEBFORMDATA\\OPTION", L"SETAUTO").value_or(1));
}

TEST_F(MgrLoad, DamagedChoiceCountReadsNoMoreThan4096Choices) {
    const std::wstring page = NewPage(L"datanum");
    const std::wstring ctrl = page + L"\\ITEM001\\CTRL001";
    m_raw.SetText(page + L"\\ITEM001", L"NAME", L"n");
    m_raw.SetDword(ctrl, L"TYPE", D_WEB_CTRL_SELECT);
    m_raw.SetText(ctrl, L"NAME", L"pref");
    m_raw.SetDword(ctrl + L"\\ELEMENT", L"DATANUM", 4097);
    m_raw.SetText(ctrl + L"\\ELEMENT", L"VALUE1", L"first");
    TestDlg dlg;
    ASSERT_TRUE(dlg.GetWebFormData());
    CDataWebForm* form = Find(dlg, page);
    ASSERT_NE(form, nullptr);
    const CDataWebSelCtrl* choices = form->m_items[0]->m_ctrls[0]->SelValue();
    ASSERT_NE(choices, nullptr);
    EXPECT_EQ(choices->m_elements.size(), 4096u);
    EXPECT_EQ(choices->m_elements[0]->m_strValue, L"first");
}
