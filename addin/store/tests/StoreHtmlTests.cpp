// The element tests of the capture on stand-ins of live elements.
#include "CExpData.h"
#include "InputDouble.h"

#include <gtest/gtest.h>

TEST(StoreHtml, TypeMatchesWithoutRegardToCase) {
    int storable = 0;
    EXPECT_FALSE(CExpData::CheckTypeName(L"password", L"PassWord", &storable));
    EXPECT_EQ(storable, 0);
    EXPECT_TRUE(CExpData::CheckTypeName(L"PASSWORD", L"checkbox", &storable));
    EXPECT_EQ(storable, 1) << "another storable kind";
    storable = 0;
    EXPECT_TRUE(CExpData::CheckTypeName(L"PASSWORD", L"hidden", &storable));
    EXPECT_EQ(storable, 0) << "left unchanged for kinds that are not stored";
}

TEST(StoreHtml, TagTestReadsTheInputTypeAndReleasesTheElement) {
    InputDouble text(L"text");
    text.AddRef();
    int storable = 0;
    EXPECT_TRUE(CExpData::CheckTagName(L"SELECT", L"input", &storable, &text));
    EXPECT_EQ(storable, 1);
    EXPECT_EQ(text.References(), 0u) << "the caller's reference was released";

    InputDouble hidden(L"hidden");
    hidden.AddRef();
    storable = 0;
    EXPECT_TRUE(CExpData::CheckTagName(L"SELECT", L"INPUT", &storable, &hidden));
    EXPECT_EQ(storable, 0);
    EXPECT_EQ(hidden.References(), 0u);

    ElementDouble area(L"TEXTAREA");
    area.AddRef();
    EXPECT_TRUE(CExpData::CheckTagName(L"SELECT", L"textarea", &storable, &area));
    EXPECT_EQ(storable, 1);

    ElementDouble select(L"SELECT");
    select.AddRef();
    storable = 0;
    EXPECT_FALSE(CExpData::CheckTagName(L"select", L"SELECT", &storable, &select));
    EXPECT_EQ(storable, 0);
    EXPECT_EQ(select.References(), 0u);
}
