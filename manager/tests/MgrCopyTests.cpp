// Copies of items, and what the save takes from the preview's elements.
#include "MgrSaveFixture.h"

#include "ElementDouble.h"

#include <map>

namespace {

// Every value below path, by key path and value name.
std::map<std::wstring, std::vector<BYTE>> Snapshot(RawDb& raw, const std::wstring& path) {
    std::map<std::wstring, std::vector<BYTE>> values;
    TVRDB_HKEY key = nullptr;
    if (TvrDB_OpenKey(raw.Handle(), path.c_str(), &key) == TVRDB_OK) {
        for (DWORD i = 0;; ++i) {
            wchar_t name[TVRDB_MAX_NAME + 1] = {};
            DWORD nameLength = TVRDB_MAX_NAME + 1;
            DWORD type = 0;
            std::vector<BYTE> data(4096, 0);
            DWORD size = DWORD(data.size());
            if (TvrDB_EnumValue(raw.Handle(), key, i, name, &nameLength, &type, data.data(),
                                &size) != TVRDB_OK) {
                break;
            }
            data.resize(size);
            values[path + L"|" + name] = data;
        }
        TvrDB_CloseKey(raw.Handle(), key);
    }
    for (const std::wstring& sub : raw.SubKeys(path))
        values.merge(Snapshot(raw, sub));
    return values;
}

// The preview of an item made by FillEveryKind, as stored.
const wchar_t kEveryKind[] =
    L"<input type=text name=user value=\"山田\"><input type=text name=code value=\"123\">"
    L"<input type=password name=pw value=\"pässwörd\">"
    L"<input type=radio name=plan value=v0><input type=radio checked name=plan value=v1>"
    L"<input type=radio name=plan value=v2><input type=checkbox name=keep value=v0>"
    L"<select name=pref multiple><option value=v0>選択0<option value=v1>選択1"
    L"<option value=v2 selected>選択2</select><textarea name=memo>line1\r\nline2</textarea>"
    L"<select name=submitbtnselect><option value=Login selected>Login<option "
    L"value=Login>Login</select>";

class MgrCopy : public MgrSaveFixture {};

} // namespace

TEST_F(MgrCopy, CopyGetsItsOwnKeysAndTheSourceStaysUntouched) {
    const std::wstring key = StorePage(L"copy", {[](CDataWebItem& item) {
                                           FillEveryKind(item, L"main");
                                           // A radio group stored as multiple.
                                           item.m_ctrls[3]->SelValue()->m_nMultiple = 1;
                                           // Two buttons of one value.
                                           item.m_ctrls[8]->ButtonValue()->m_strValue = L"Login";
                                       }});
    const std::wstring sourceKey = key + L"\\ITEM001";
    const auto source = Snapshot(m_raw, sourceKey);
    ASSERT_FALSE(source.empty());

    TestDlg& dlg = Load();
    CDataWebForm* page = Page(key);
    CDataWebItem* original = page->m_items[0].get();
    const std::wstring name = dlg.CreateCopyName(page, original->m_strName);
    CDataWebItem* copy = dlg.CopyWebItem(page, *original, name);
    EXPECT_EQ(copy->m_nState, CTvrIEToolDlg::kItemCopied);
    for (const auto& ctrl : copy->m_ctrls)
        EXPECT_EQ(ctrl->m_strKey, L"");
    EXPECT_EQ(copy->m_ctrls[3]->SelValue()->m_nMultiple, 0);
    EXPECT_EQ(copy->m_ctrls[5]->SelValue()->m_nMultiple, 1);
    Show(copy);
    ASSERT_TRUE(dlg.SetWebFormData());
    const std::wstring copyKey = key + L"\\ITEM002";
    ASSERT_EQ(copy->m_strKey, copyKey);
    for (const auto& ctrl : copy->m_ctrls) {
        EXPECT_EQ(ctrl->m_strKey.rfind(copyKey + L"\\CTRL", 0), 0u);
    }
    EXPECT_EQ(Snapshot(m_raw, sourceKey), source);
    EXPECT_EQ(m_raw.Text(copyKey, L"NAME"), name);
    EXPECT_EQ(m_raw.Dword(copyKey + L"\\CTRL004", L"MULTIPLE"), 0);
    EXPECT_EQ(m_raw.Dword(copyKey + L"\\CTRL006", L"MULTIPLE"), 1);

    // The copy edited in its preview; the one control left unbound keeps
    // its stored value even though its element was emptied.
    PreviewPage preview(kEveryKind);
    dlg.ClearElementBindings();
    preview.Bind(dlg, *copy);
    copy->m_ctrls[1]->m_element.Reset();
    preview.SetText(L"code", L"");
    preview.SetText(L"user", L"copy-user");
    preview.SetChecked(L"plan", L"v1", false);
    preview.SetChecked(L"plan", L"v2", true);
    preview.SetChecked(L"keep", L"v0", true);
    preview.SelectOption(L"pref", 0, true);
    preview.SetText(L"memo", L"copy memo");
    preview.SelectOption(L"submitbtnselect", 0, false);
    preview.SelectOption(L"submitbtnselect", 1, true);
    ASSERT_TRUE(dlg.SetWebFormData());
    EXPECT_EQ(m_raw.Text(copyKey + L"\\CTRL001", L"VALUE"), std::wstring(L"copy-user"));
    EXPECT_EQ(m_raw.Text(copyKey + L"\\CTRL002", L"VALUE"), std::wstring(L"123"));
    EXPECT_EQ(m_raw.Dword(copyKey + L"\\CTRL004\\ELEMENT", L"SELECT2"), 0);
    EXPECT_EQ(m_raw.Dword(copyKey + L"\\CTRL004\\ELEMENT", L"SELECT3"), 1);
    EXPECT_EQ(m_raw.Dword(copyKey + L"\\CTRL005\\ELEMENT", L"SELECT1"), 1);
    EXPECT_EQ(m_raw.Dword(copyKey + L"\\CTRL006\\ELEMENT", L"SELECT1"), 1);
    EXPECT_EQ(m_raw.Dword(copyKey + L"\\CTRL006\\ELEMENT", L"SELECT3"), 1);
    EXPECT_EQ(m_raw.Text(copyKey + L"\\CTRL007", L"TEXT"), std::wstring(L"copy memo"));
    EXPECT_EQ(m_raw.Dword(copyKey + L"\\CTRL008", L"SELECT"), 0);
    EXPECT_EQ(m_raw.Dword(copyKey + L"\\CTRL009", L"SELECT"), 1);
    EXPECT_EQ(Snapshot(m_raw, sourceKey), source);

    // And deleted again: the source loses nothing.
    dlg.ClearElementBindings();
    Show(original);
    copy->m_nState = CTvrIEToolDlg::kItemDeleted;
    ASSERT_TRUE(dlg.SetWebFormData());
    EXPECT_FALSE(m_raw.Exists(copyKey));
    EXPECT_EQ(Snapshot(m_raw, sourceKey), source);
    EXPECT_EQ(page->m_items.size(), 1u);

    TestDlg reader;
    ASSERT_TRUE(reader.GetWebFormData());
    for (auto& loaded : reader.m_pages) {
        if (loaded->m_strKey == key) {
            EXPECT_EQ(loaded->m_items[0]->m_ctrls[2]->TextValue()->m_strValue, L"pässwörd");
        }
    }
}

TEST_F(MgrCopy, ChoiceControlWithoutChoicesStaysWithoutThemThroughCopyAndSave) {
    const std::wstring key = StorePage(L"nochoice", {[](CDataWebItem& item) {
                                           item.m_strName = L"n";
                                           AddCtrl(item, D_WEB_CTRL_TEXT, L"user");
                                           CDataWebCtrl& radio = item.AddCtrl();
                                           radio.m_nType = D_WEB_CTRL_RADIO;
                                           radio.m_strName = L"plan";
                                       }});
    EXPECT_FALSE(m_raw.Exists(key + L"\\ITEM001\\CTRL002\\ELEMENT"));
    TestDlg& dlg = Load();
    CDataWebForm* page = Page(key);
    CDataWebItem* item = page->m_items[0].get();
    ASSERT_FALSE(item->m_ctrls[1]->HasValue());
    CDataWebItem* copy = dlg.CopyWebItem(page, *item, L"c");
    EXPECT_FALSE(copy->m_ctrls[1]->HasValue());
    PreviewPage preview(L"<input type=text name=user><input type=radio name=plan value=x checked>");
    preview.Bind(dlg, *copy);
    Show(copy);
    // The checked radio button has no choice to go to: nothing entered.
    EXPECT_TRUE(dlg.CheckDeleteData(copy));
    ASSERT_TRUE(dlg.SetWebFormData());
    EXPECT_TRUE(m_raw.Exists(copy->m_strKey + L"\\CTRL002"));
    EXPECT_FALSE(m_raw.Exists(copy->m_strKey + L"\\CTRL002\\ELEMENT"));
    EXPECT_FALSE(m_raw.Dword(copy->m_strKey + L"\\CTRL002", L"MULTIPLE"));
    // Deleting it leaves nothing, as for any control.
    copy->m_nState = CTvrIEToolDlg::kItemDeleted;
    Show(item);
    ASSERT_TRUE(dlg.SetWebFormData());
    EXPECT_EQ(m_raw.SubKeys(key).size(), 1u);
}

TEST_F(MgrCopy, ControlNeverStoredIsSkippedWhenItsItemIsDeleted) {
    const std::wstring key = StorePage(L"delctrl", {Named(L"A"), Named(L"B")});
    TestDlg& dlg = Load();
    CDataWebForm* page = Page(key);
    CDataWebItem* b = page->m_items[1].get();
    AddCtrl(*b, D_WEB_CTRL_TEXT, L"unsaved"); // no key
    EXPECT_TRUE(dlg.DeleteWebItem(key, b));
    EXPECT_FALSE(m_raw.Exists(key + L"\\ITEM002"));
    EXPECT_TRUE(m_raw.Exists(key + L"\\ITEM001\\CTRL001"));
    EXPECT_TRUE(m_raw.Exists(key));
    CDataWebItem unsaved;
    EXPECT_FALSE(dlg.DeleteWebItem(key, &unsaved));
}

TEST_F(MgrCopy, BindingsAreCountedClearedAndReleasedBeforeTheControlGoes) {
    ElementDouble text(L"INPUT");
    ElementDouble option(L"OPTION");
    {
        TestDlg dlg;
        dlg.m_pages.push_back(std::make_unique<CDataWebForm>());
        CDataWebForm* page = dlg.m_pages.back().get();
        CDataWebItem& item = page->AddItem();
        item.m_strName = L"n";
        AddCtrl(item, D_WEB_CTRL_TEXT, L"user").m_element.Reset(&text);
        CDataWebCtrl& select = AddCtrl(item, D_WEB_CTRL_SELECT, L"pref");
        AddChoices(select, 1, 0);
        select.SelValue()->m_elements[0]->m_element.Reset(&option);
        EXPECT_EQ(text.References(), 1u);
        EXPECT_EQ(option.References(), 1u);

        // A copy is bound when it is shown, never with its source's elements.
        dlg.CopyWebItem(page, item, L"c");
        EXPECT_EQ(text.References(), 1u);
        EXPECT_EQ(option.References(), 1u);

        dlg.ClearElementBindings();
        EXPECT_EQ(text.References(), 0u);
        EXPECT_EQ(option.References(), 0u);
        item.m_ctrls[0]->m_element.Reset(&text);
        select.SelValue()->m_elements[0]->m_element.Reset(&option);
        dlg.m_pShownItem = &item;
        dlg.m_pPlaceholderItem = &item;
        dlg.m_strPlaceholderName = L"kept";
        dlg.FreeWebItem(page, &item);
        EXPECT_EQ(text.References(), 0u);
        EXPECT_EQ(option.References(), 0u);
        EXPECT_EQ(dlg.m_pShownItem, nullptr);
        EXPECT_EQ(dlg.m_pPlaceholderItem, nullptr);
        EXPECT_EQ(dlg.m_strPlaceholderName, L"");

        CDataWebItem& other = page->AddItem();
        AddCtrl(other, D_WEB_CTRL_TEXT, L"user").m_element.Reset(&text);
        dlg.m_pAutoInputItem = &other;
        EXPECT_EQ(text.References(), 1u);
    }
    // The dialog is gone: so is every reference it held.
    EXPECT_EQ(text.References(), 0u);
}
