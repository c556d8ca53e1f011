// Deep copies of forms, controls and choices.
#include "CDataWebItem.h"
#include "ElementDouble.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

void FillForm(CDataWebItem& item, ElementDouble& element) {
    item.m_strKey = L"WEBFORMDATA\\PAGE001\\ITEM001";
    item.m_strName = L"ログイン";
    item.m_strFormName = L"login";
    item.m_nAutoInput = 1;
    item.m_nAutoSend = 1;
    item.m_nIndex = 2;
    item.m_nState = 1;

    CDataWebCtrl& pswd = item.AddCtrl();
    pswd.m_nType = D_WEB_CTRL_PSWD;
    pswd.m_strName = L"pw";
    pswd.m_nChanged = 1;
    pswd.m_nPosition = 7;
    pswd.m_element.Reset(&element);
    ASSERT_TRUE(pswd.CreateValue());
    pswd.TextValue()->m_strValue = L"secret";
    pswd.TextValue()->m_nDataLen = 16;

    CDataWebCtrl& radio = item.AddCtrl();
    radio.m_nType = D_WEB_CTRL_RADIO;
    ASSERT_TRUE(radio.CreateValue());
    radio.SelValue()->m_nMultiple = 1;
    CDataWebSelElement& choice = radio.SelValue()->Add();
    choice.m_strValue = L"a";
    choice.m_strText = L"A";
    choice.m_nSelect = 1;
    choice.m_nEntry = 0;

    CDataWebCtrl& area = item.AddCtrl();
    area.m_nType = D_WEB_CTRL_MULTI;
    ASSERT_TRUE(area.CreateValue());
    area.MultiValue()->m_nRows = 3;
    area.MultiValue()->m_nCols = 40;
    area.MultiValue()->m_strText = L"line";

    CDataWebCtrl& submit = item.AddCtrl();
    submit.m_nType = D_WEB_CTRL_SUBMIT;
    ASSERT_TRUE(submit.CreateValue());
    submit.ButtonValue()->m_strValue = L"Go";
    submit.ButtonValue()->m_nSelected = 1;

    CDataWebCtrl& unused = item.AddCtrl();
    unused.m_nType = D_WEB_CTRL_UNUSED;
}

} // namespace

TEST(WebModelCopy, CopiedFormSurvivesItsSource) {
    ElementDouble element;
    CDataWebItem copy;
    copy.m_nState = 2;
    {
        auto source = std::make_unique<CDataWebItem>();
        FillForm(*source, element);
        copy.Copy(*source);
    }
    EXPECT_EQ(copy.m_strKey, L"WEBFORMDATA\\PAGE001\\ITEM001");
    EXPECT_EQ(copy.m_strName, L"ログイン");
    EXPECT_EQ(copy.m_strFormName, L"login");
    EXPECT_EQ(copy.m_nAutoInput, 1);
    EXPECT_EQ(copy.m_nAutoSend, 1);
    EXPECT_EQ(copy.m_nIndex, 2);
    EXPECT_EQ(copy.m_nState, 2) << "the run-time state is not copied";
    ASSERT_EQ(copy.m_ctrls.size(), 5u);

    const CDataWebCtrl& pswd = *copy.m_ctrls[0];
    EXPECT_EQ(pswd.m_nType, D_WEB_CTRL_PSWD);
    EXPECT_EQ(pswd.m_strName, L"pw");
    EXPECT_EQ(pswd.m_nChanged, 1);
    EXPECT_EQ(pswd.m_nPosition, 7);
    EXPECT_EQ(pswd.m_element.Get(), &element);
    EXPECT_EQ(element.References(), 1u) << "the source's reference went with it";
    ASSERT_NE(pswd.TextValue(), nullptr);
    EXPECT_EQ(pswd.TextValue()->m_strValue, L"secret");
    EXPECT_EQ(pswd.TextValue()->m_nDataLen, 16);

    const CDataWebSelCtrl* radio = copy.m_ctrls[1]->SelValue();
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->m_nMultiple, 1);
    ASSERT_EQ(radio->m_elements.size(), 1u);
    EXPECT_EQ(radio->m_elements[0]->m_strValue, L"a");
    EXPECT_EQ(radio->m_elements[0]->m_strText, L"A");
    EXPECT_EQ(radio->m_elements[0]->m_nSelect, 1);
    EXPECT_EQ(radio->m_elements[0]->m_nEntry, 1) << "a copied entry always carries the flag";

    const CDataWebMultiText* area = copy.m_ctrls[2]->MultiValue();
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->m_nRows, 3);
    EXPECT_EQ(area->m_nCols, 40);
    EXPECT_EQ(area->m_strText, L"line");

    const CDataWebButtonValue* submit = copy.m_ctrls[3]->ButtonValue();
    ASSERT_NE(submit, nullptr);
    EXPECT_EQ(submit->m_strValue, L"Go");
    EXPECT_EQ(submit->m_nSelected, 1);

    EXPECT_FALSE(copy.m_ctrls[4]->HasValue()) << "kind 2 has no value record";
}

TEST(WebModelCopy, CopyReplacesEarlierControlsAndValue) {
    ElementDouble oldElement;
    ElementDouble newElement;
    CDataWebCtrl target;
    target.m_nType = D_WEB_CTRL_SELECT;
    ASSERT_TRUE(target.CreateValue());
    target.m_element.Reset(&oldElement);

    CDataWebCtrl source;
    source.m_nType = D_WEB_CTRL_TEXT;
    ASSERT_TRUE(source.CreateValue());
    source.TextValue()->m_strValue = L"x";
    source.m_element.Reset(&newElement);

    target.Copy(source);
    EXPECT_EQ(oldElement.References(), 0u);
    EXPECT_EQ(newElement.References(), 2u);
    EXPECT_EQ(target.SelValue(), nullptr);
    ASSERT_NE(target.TextValue(), nullptr);
    EXPECT_EQ(target.TextValue()->m_strValue, L"x");
    EXPECT_NE(target.TextValue(), source.TextValue());
}

TEST(WebModelCopy, SourceWithoutRecordLeavesTargetWithoutOne) {
    CDataWebCtrl target;
    ASSERT_TRUE(target.CreateValue());
    CDataWebCtrl source;
    source.m_nType = D_WEB_CTRL_CHECK;
    target.Copy(source);
    EXPECT_FALSE(target.HasValue());
    EXPECT_EQ(target.m_nType, D_WEB_CTRL_CHECK);
}

TEST(WebModelCopy, ChoiceCopyKeepsTheEntryFlagAndMovesTheReference) {
    ElementDouble first;
    ElementDouble second;
    CDataWebSelElement target;
    target.m_nEntry = 0;
    target.m_element.Reset(&first);
    CDataWebSelElement source;
    source.m_strValue = L"v";
    source.m_strText = L"t";
    source.m_nSelect = 1;
    source.m_element.Reset(&second);

    target.Copy(source);
    EXPECT_EQ(target.m_nEntry, 0);
    EXPECT_EQ(target.m_strValue, L"v");
    EXPECT_EQ(target.m_strText, L"t");
    EXPECT_EQ(target.m_nSelect, 1);
    EXPECT_EQ(first.References(), 0u);
    EXPECT_EQ(second.References(), 2u);
}
