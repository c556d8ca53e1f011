#include "CGetDB.h"
#include "PolicyText.h"

#include "TestDatabase.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

AuthPolicyRow Parse(const std::wstring& text, int position = 7) {
    AuthPolicyRow row = {};
    ParsePolicyText(reinterpret_cast<const BYTE*>(text.data()),
                    static_cast<DWORD>(text.size() * sizeof(wchar_t)), position, row);
    return row;
}

std::vector<BYTE> Bytes(std::initializer_list<int> list) {
    std::vector<BYTE> out;
    for (int b : list)
        out.push_back(static_cast<BYTE>(b));
    return out;
}

// Each test writes the list keys it reads into "TORVA_SYSTEMDEFINED".
class SystemLists : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* key :
             {L"DEFINED_MEDIA", L"DEFINED_DEVICE", L"DEFINED_POLICY", L"DEFINED_RULE",
              L"DEFINED_RULEOPTION", L"DEFINED_RULEOPTIONVALUE"}) {
            db.DeleteKey(key);
        }
    }
    void TearDown() override { SetUp(); }
    TestDatabase db{kSystemDefinedDatabase};
};

} // namespace

TEST(PolicyText, LeadingNumbersInCNotation) {
    EXPECT_EQ(Parse(L"2\"エクスポート\",\"EXPORT\"").policyId, 2);
    EXPECT_EQ(Parse(L"0\"a\",\"b\"").policyId, 1);
    EXPECT_EQ(Parse(L"35\"a\",\"b\"").policyId, 1);
    EXPECT_EQ(Parse(L"29\"a\",\"b\"").policyId, 29);
    EXPECT_EQ(Parse(L"0x1c\"a\",\"b\"").policyId, 28);
    EXPECT_EQ(Parse(L"0x\"a\",\"b\"").policyId, 1); // "0" then text
    EXPECT_EQ(Parse(L"010\"a\",\"b\"").policyId, 8);
    EXPECT_EQ(Parse(L"09\"a\",\"b\"").policyId, 1); // octal 0, then "9"
    EXPECT_EQ(Parse(L"99999999999999999999\"a\"").policyId, 1);
    EXPECT_EQ(Parse(L"\"a\",\"b\"", 4).policyId, 4);
    EXPECT_EQ(Parse(L"", 3).policyId, 3);
    EXPECT_EQ(Parse(L"-3\"a\",\"b\"", 5).policyId, 5);
}

TEST(PolicyText, DisplayNameAndKeyWithoutTheirQuotes) {
    const AuthPolicyRow row = Parse(L"2\"エクスポート\",\"EXPORT\"");
    EXPECT_STREQ(row.displayName, L"エクスポート");
    EXPECT_STREQ(row.policyKey, L"EXPORT");
    const AuthPolicyRow unnumbered = Parse(L"\"エクスポート\",\"EXPORT\"", 4);
    EXPECT_EQ(unnumbered.policyId, 4);
    EXPECT_STREQ(unnumbered.displayName, L"エクスポート")
        << "a text without a number keeps its name";
    EXPECT_STREQ(unnumbered.policyKey, L"EXPORT");
    const AuthPolicyRow none = Parse(L"3\"no comma\"");
    EXPECT_STREQ(none.displayName, L"");
    EXPECT_STREQ(none.policyKey, L"");
}

TEST(PolicyText, ACommaTooCloseOrAShortTextNeverGoesNegative) {
    const AuthPolicyRow early = Parse(L"2,\"a\",\"b\"");
    EXPECT_STREQ(early.displayName, L"");
    EXPECT_STREQ(early.policyKey, L"a\",\"b");
    const AuthPolicyRow atEnd = Parse(L"2\"a\",");
    EXPECT_STREQ(atEnd.displayName, L"a");
    EXPECT_STREQ(atEnd.policyKey, L"");
    const AuthPolicyRow oneAfter = Parse(L"2\"a\",\"");
    EXPECT_STREQ(oneAfter.policyKey, L"");
    EXPECT_STREQ(Parse(L"2").displayName, L"");
}

TEST(PolicyText, ReadsOnlyTheDataTheCallReturned) {
    // The comma and key lie past the stated size: they are not seen.
    const std::wstring text = L"4\"name\",\"KEY\"";
    AuthPolicyRow row = {};
    ParsePolicyText(reinterpret_cast<const BYTE*>(text.data()), 7 * sizeof(wchar_t), 0, row);
    EXPECT_EQ(row.policyId, 4);
    EXPECT_STREQ(row.displayName, L"");
    // An odd byte count ignores its last byte; a terminator inside ends the text.
    const std::wstring withZero(L"5\"n\",\"K\"\0,\"X\"", 13);
    ParsePolicyText(reinterpret_cast<const BYTE*>(withZero.data()), 13 * 2 + 1, 0, row);
    EXPECT_STREQ(row.displayName, L"n");
    EXPECT_STREQ(row.policyKey, L"K");
}

TEST(PolicyText, LongTextsAreCutInsideTheirFields) {
    const std::wstring name(400, L'名');
    const AuthPolicyRow row = Parse(L"6\"" + name + L"\",\"" + std::wstring(300, L'K') + L"\"");
    EXPECT_EQ(std::wcslen(row.displayName), kPolicyTextChars - 1);
    EXPECT_EQ(std::wcslen(row.policyKey), kPolicyTextChars - 1);
}

TEST_F(SystemLists, PoliciesAreFoundById) {
    db.SetText(L"DEFINED_POLICY", L"P1", L"2\"エクスポート\",\"EXPORT\"");
    db.SetText(L"DEFINED_POLICY", L"P2", L"0x3\"インポート\",\"IMPORT\"");
    db.SetText(L"DEFINED_POLICY", L"P3", L"text only");
    CGetDB lists;
    ASSERT_NE(lists.FindPolicy(2), nullptr);
    EXPECT_STREQ(lists.FindPolicy(2)->displayName, L""); // never loaded: an empty row
    EXPECT_EQ(lists.GetPolicyName(2), L"");
    lists.LoadPolicies();
    EXPECT_EQ(lists.GetPolicyName(2), L"エクスポート");
    EXPECT_EQ(lists.GetPolicyName(9), L"");
    ASSERT_NE(lists.FindPolicy(2), nullptr);
    EXPECT_STREQ(lists.FindPolicy(2)->displayName, L"エクスポート");
    EXPECT_STREQ(lists.FindPolicy(2)->valueName, L"P1");
    EXPECT_STREQ(lists.FindPolicy(3)->policyKey, L"IMPORT");
    EXPECT_STREQ(lists.FindPolicy(2)->policyKey, L"EXPORT");
    EXPECT_EQ(lists.Policies()->Count(), 3);
    EXPECT_EQ((*lists.Policies())[2].policyId, 2); // its enumeration position
    EXPECT_EQ(lists.FindPolicy(9), nullptr);
}

TEST_F(SystemLists, ListsStopAtTheirRowLimit) {
    for (int i = 0; i < 11; ++i) {
        wchar_t name[16];
        std::swprintf(name, 16, L"M%02d", i);
        db.SetRaw(L"DEFINED_MEDIA", name, TVRDB_TYPE_BINARY, Bytes({2 + i % 5}));
        db.SetRaw(L"DEFINED_DEVICE", name, TVRDB_TYPE_BINARY, Bytes({2 + i % 5}));
    }
    for (int i = 0; i < 31; ++i) {
        wchar_t name[16];
        std::swprintf(name, 16, L"R%02d", i);
        db.SetRaw(L"DEFINED_RULE", name, TVRDB_TYPE_BINARY, Bytes({i}));
        db.SetDword(L"DEFINED_RULEOPTION", name, i);
    }
    CGetDB lists;
    lists.LoadMedia();
    lists.LoadDevices();
    lists.LoadRules();
    lists.LoadRuleOptions();
    ASSERT_EQ(lists.MediaCount(), 10);
    EXPECT_STREQ(lists.MediaRows()[9].name, L"M09");
    EXPECT_EQ(lists.MediaRows()[9].kind, 2 + 9 % 5);
    ASSERT_EQ(lists.Devices()->Count(), 10);
    EXPECT_EQ((*lists.Devices())[4].deviceIndex, 4);
    // Kinds 2 to 6 give indexes 0 to 4: M00 is the first of index 0.
    ASSERT_NE(lists.FindDeviceByIndex(0), nullptr);
    EXPECT_STREQ(lists.FindDeviceByIndex(0)->name, L"M00");
    EXPECT_STREQ(lists.FindDeviceByIndex(4)->name, L"M04");
    EXPECT_EQ(lists.FindDeviceByIndex(5), nullptr);
    EXPECT_EQ(CGetDB().FindDeviceByIndex(0), nullptr); // not loaded
    EXPECT_EQ(lists.Rules()->Count(), 30);
    ASSERT_EQ(lists.RuleOptions()->Count(), 30);
    EXPECT_EQ((*lists.RuleOptions())[29].value, 29);
}

TEST_F(SystemLists, AnErrorMidListKeepsTheOldTable) {
    db.SetRaw(L"DEFINED_MEDIA", L"TPM", TVRDB_TYPE_BINARY, Bytes({2}));
    db.SetRaw(L"DEFINED_MEDIA", L"指紋", TVRDB_TYPE_BINARY, Bytes({3}));
    CGetDB lists;
    lists.LoadMedia();
    ASSERT_EQ(lists.MediaCount(), 2);
    // A third value larger than the list's data buffer: the enumeration fails there.
    db.SetRaw(L"DEFINED_MEDIA", L"壊れた値", TVRDB_TYPE_BINARY, std::vector<BYTE>(30, 4));
    db.SetRaw(L"DEFINED_MEDIA", L"USB", TVRDB_TYPE_BINARY, Bytes({5}));
    lists.LoadMedia();
    ASSERT_EQ(lists.MediaCount(), 2);
    EXPECT_STREQ(lists.MediaRows()[1].name, L"指紋");
    CGetDB fresh;
    fresh.LoadMedia();
    EXPECT_EQ(fresh.Media(), nullptr);
    EXPECT_EQ(fresh.MediaCount(), 0);
    EXPECT_EQ(fresh.MediaRows(), nullptr);
}

TEST_F(SystemLists, ShortValuesNeverReadLeftoverBytes) {
    db.SetDword(L"DEFINED_RULEOPTION", L"A", 0x7F7F7F7F);
    db.SetRaw(L"DEFINED_RULEOPTION", L"B", TVRDB_TYPE_BINARY, Bytes({0x01, 0x02}));
    db.SetRaw(L"DEFINED_RULEOPTION", L"C", TVRDB_TYPE_BINARY, {});
    db.SetRaw(L"DEFINED_MEDIA", L"first", TVRDB_TYPE_BINARY, std::vector<BYTE>(20, 6));
    db.SetRaw(L"DEFINED_MEDIA", L"empty", TVRDB_TYPE_BINARY, {});
    db.SetRaw(L"DEFINED_RULE", L"long", TVRDB_TYPE_BINARY, std::vector<BYTE>(50, 9));
    db.SetRaw(L"DEFINED_RULE", L"short", TVRDB_TYPE_BINARY, Bytes({1}));
    CGetDB lists;
    lists.LoadRuleOptions();
    lists.LoadMedia();
    lists.LoadRules();
    ASSERT_EQ(lists.RuleOptions()->Count(), 3);
    EXPECT_EQ((*lists.RuleOptions())[1].value, 0x0201);
    EXPECT_EQ((*lists.RuleOptions())[2].value, 0);
    ASSERT_EQ(lists.MediaCount(), 2);
    EXPECT_EQ(lists.MediaRows()[1].kind, 0);
    const AuthRuleRow& shortRule = (*lists.Rules())[1];
    EXPECT_EQ(shortRule.dataLength, 1);
    EXPECT_EQ(shortRule.data[1], 0);
}

TEST_F(SystemLists, LongNamesAreCutAndTerminated) {
    const std::wstring name(99, L'長');
    db.SetRaw(L"DEFINED_MEDIA", name, TVRDB_TYPE_BINARY, Bytes({2}));
    CGetDB lists;
    lists.LoadMedia();
    ASSERT_EQ(lists.MediaCount(), 1);
    EXPECT_EQ(std::wcslen(lists.MediaRows()[0].name), kListNameChars - 1);
}

TEST_F(SystemLists, RulesAreFoundByTheirWholeValue) {
    db.SetRaw(L"DEFINED_RULE", L"PIN認証", TVRDB_TYPE_BINARY, Bytes({1, 0, 0, 0}));
    db.SetRaw(L"DEFINED_RULE", L"PIN認証+指紋認証", TVRDB_TYPE_BINARY, Bytes({1, 0, 0, 0, 2}));
    CGetDB lists;
    const BYTE rule[] = {1, 0, 0, 0, 2};
    EXPECT_EQ(lists.FindRuleByValue(rule, 4), L"なし"); // no table yet
    lists.LoadRules();
    EXPECT_EQ(lists.FindRuleByValue(rule, 4), L"PIN認証");
    EXPECT_EQ(lists.FindRuleByValue(rule, 5), L"PIN認証+指紋認証");
    EXPECT_EQ(lists.FindRuleByValue(rule, 3), L"なし");
    EXPECT_EQ(lists.FindRuleByValue(rule, 1), L"なし");
}

TEST_F(SystemLists, AMissingListLeavesTheTableAbsent) {
    CGetDB lists;
    lists.LoadDevices();
    lists.LoadRuleOptionValues();
    EXPECT_EQ(lists.Devices(), nullptr);
    EXPECT_EQ(lists.RuleOptionValues(), nullptr);
}
