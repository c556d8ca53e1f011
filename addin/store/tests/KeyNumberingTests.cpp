#include "KeyNumbering.h"
#include "WebFormLayout.h"

#include <gtest/gtest.h>

using torva::webform::NumberedKeyPath;

TEST(KeyNumbering, NumbersHaveAtLeastThreeDigitsAndNoUpperBound) {
    EXPECT_EQ(NumberedKeyPath(L"WEBFORMDATA", L"PAGE", 1), L"WEBFORMDATA\\PAGE001");
    EXPECT_EQ(NumberedKeyPath(L"WEBFORMDATA", L"PAGE", 999), L"WEBFORMDATA\\PAGE999");
    EXPECT_EQ(NumberedKeyPath(L"WEBFORMDATA", L"PAGE", 1000), L"WEBFORMDATA\\PAGE1000");
}

TEST(KeyNumbering, OrderFollowsTheNumberNotTheText) {
    EXPECT_LT(KeyNumber(L"X\\CTRL999"), KeyNumber(L"X\\CTRL1000"));
    EXPECT_EQ(KeyNumber(L"X\\ITEM002"), 2);
    EXPECT_EQ(KeyNumber(L"X\\OPTION"), -1);
}

TEST(KeyNumbering, PathsCompareWithoutRegardToCase) {
    EXPECT_TRUE(SameKeyPath(L"WEBFORMDATA\\page002", L"WEBFORMDATA\\PAGE002"));
    EXPECT_FALSE(SameKeyPath(L"WEBFORMDATA\\PAGE002", L"WEBFORMDATA\\PAGE0002"));
}
