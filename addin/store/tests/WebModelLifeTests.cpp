// Construction defaults, ownership and release of element references.
#include "CDataOption.h"
#include "CDataWebForm.h"
#include "ElementDouble.h"

#include <gtest/gtest.h>

TEST(WebModelLife, NewObjectsCarryTheirDefaults) {
    CDataWebItem item;
    EXPECT_EQ(item.m_nIndex, -1);
    EXPECT_EQ(item.m_nAutoInput, 0);
    EXPECT_EQ(item.m_nAutoSend, 0);
    EXPECT_EQ(item.m_nState, 0);

    CDataWebCtrl ctrl;
    EXPECT_EQ(ctrl.m_nPosition, -1);
    EXPECT_EQ(ctrl.m_nChanged, 0);
    EXPECT_FALSE(ctrl.HasValue());
    EXPECT_FALSE(ctrl.m_element);

    CDataWebTextValue text;
    EXPECT_EQ(text.m_nDataLen, -1);

    CDataWebSelElement choice;
    EXPECT_EQ(choice.m_nEntry, 1);
    EXPECT_EQ(choice.m_nSelect, 0);

    CDataOption option;
    EXPECT_EQ(option.m_nHidePwd, 1);
    EXPECT_EQ(option.m_nSetAuto + option.m_nCheckSet + option.m_nStopFunc +
                  option.m_nStopAutoInput + option.m_nOnlyPwd + option.m_nNoMultiText,
              0);

    CDataWebForm page;
    EXPECT_EQ(page.m_nChangeFlg, 0);
    EXPECT_TRUE(page.m_strKey.empty());
}

TEST(WebModelLife, EachKindGetsItsRecordAndKindTwoNone) {
    struct Expectation {
        int kind;
        bool text, sel, multi, button;
    };
    const Expectation expectations[] = {
        {D_WEB_CTRL_TEXT, true, false, false, false},
        {D_WEB_CTRL_PSWD, true, false, false, false},
        {D_WEB_CTRL_RADIO, false, true, false, false},
        {D_WEB_CTRL_CHECK, false, true, false, false},
        {D_WEB_CTRL_SELECT, false, true, false, false},
        {D_WEB_CTRL_MULTI, false, false, true, false},
        {D_WEB_CTRL_SUBMIT, false, false, false, true},
        {D_WEB_CTRL_IMAGE, false, false, false, true},
    };
    for (const Expectation& e : expectations) {
        CDataWebCtrl ctrl;
        ctrl.m_nType = e.kind;
        ASSERT_TRUE(ctrl.CreateValue()) << e.kind;
        EXPECT_EQ(ctrl.TextValue() != nullptr, e.text) << e.kind;
        EXPECT_EQ(ctrl.SelValue() != nullptr, e.sel) << e.kind;
        EXPECT_EQ(ctrl.MultiValue() != nullptr, e.multi) << e.kind;
        EXPECT_EQ(ctrl.ButtonValue() != nullptr, e.button) << e.kind;
    }
    CDataWebCtrl unused;
    unused.m_nType = D_WEB_CTRL_UNUSED;
    EXPECT_FALSE(unused.CreateValue());
    EXPECT_FALSE(unused.HasValue());
}

TEST(WebModelLife, DeletingAPageReleasesEveryElementReference) {
    ElementDouble input;
    ElementDouble option(L"OPTION");
    {
        CDataWebForm page;
        CDataWebItem& item = page.AddItem();
        CDataWebCtrl& text = item.AddCtrl();
        text.m_element.Reset(&input);
        CDataWebCtrl& select = item.AddCtrl();
        select.m_nType = D_WEB_CTRL_SELECT;
        ASSERT_TRUE(select.CreateValue());
        select.SelValue()->Add().m_element.Reset(&option);
        EXPECT_EQ(input.References(), 1u);
        EXPECT_EQ(option.References(), 1u);
    }
    EXPECT_EQ(input.References(), 0u);
    EXPECT_EQ(option.References(), 0u);
}

TEST(WebModelLife, DeleteValueFreesTheButtonRecord) {
    for (const int kind : {D_WEB_CTRL_SUBMIT, D_WEB_CTRL_IMAGE}) {
        CDataWebCtrl ctrl;
        ctrl.m_nType = kind;
        ASSERT_TRUE(ctrl.CreateValue());
        ctrl.ButtonValue()->m_strValue = L"送信";
        ctrl.DeleteValue();
        EXPECT_FALSE(ctrl.HasValue());
        EXPECT_EQ(ctrl.ButtonValue(), nullptr);
    }
}

TEST(WebModelLife, RemoveAllReleasesChoicesAndEmptiesTheList) {
    ElementDouble radio;
    CDataWebSelCtrl group;
    group.Add().m_element.Reset(&radio);
    group.Add().m_element.Reset(&radio);
    EXPECT_EQ(radio.References(), 2u);
    group.RemoveAll();
    EXPECT_TRUE(group.m_elements.empty());
    EXPECT_EQ(radio.References(), 0u);
}

TEST(WebModelLife, ResettingToTheHeldElementKeepsItAlive) {
    ElementDouble input;
    ElementRef ref(&input);
    ref.Reset(ref.Get());
    EXPECT_EQ(input.References(), 1u);
    ref.Reset();
    EXPECT_EQ(input.References(), 0u);
}
