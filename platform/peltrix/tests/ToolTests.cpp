#include "AutoAnswerStore.h"
#include "FixtureTool.h"
#include "Peltrix.h"
#include "PinStore.h"
#include "PinTool.h"
#include "SecretSessionTable.h"
#include "TestSettingsRoot.h"

#include <gtest/gtest.h>

using peltrix::AutoAnswer;
using peltrix::FixtureTool;
using peltrix::PinTool;

namespace {

AutoAnswer AutoAnswerOf(const std::wstring& root, DWORD authCase) {
    AutoAnswer answer = AutoAnswer::Ask;
    EXPECT_EQ(TVRAUTH_OK, peltrix::AutoAnswerStore(root).Get(authCase, answer));
    return answer;
}

} // namespace

TEST(PinToolTest, SetStoresAPinThatVerifiesAndClearRemovesIt) {
    TestSettingsRoot root;
    const peltrix::ToolOutcome set = PinTool::Run({L"set", L"5150"}, root.path());
    EXPECT_EQ(0, set.exitCode);
    EXPECT_EQ("PIN set.\n", set.text);
    EXPECT_EQ(std::string::npos, set.text.find("5150")) << "the PIN is never echoed";
    EXPECT_EQ(TVRAUTH_OK, peltrix::PinStore(root.path()).Verify(L"5150"));

    EXPECT_EQ("PIN cleared.\n", PinTool::Run({L"clear"}, root.path()).text);
    EXPECT_EQ(TVRAUTH_E_NO_PIN, peltrix::PinStore(root.path()).Verify(L"5150"));
    const peltrix::ToolOutcome again = PinTool::Run({L"clear"}, root.path());
    EXPECT_EQ(0, again.exitCode);
    EXPECT_EQ("No PIN was set.\n", again.text);
}

TEST(PinToolTest, AutoSetsAndRemovesTheAnswerOfOneCase) {
    TestSettingsRoot root;
    EXPECT_EQ(0, PinTool::Run({L"auto", L"3", L"allow"}, root.path()).exitCode);
    EXPECT_EQ(0, PinTool::Run({L"auto", L"4", L"deny"}, root.path()).exitCode);
    EXPECT_EQ(AutoAnswer::Allow, AutoAnswerOf(root.path(), 3));
    EXPECT_EQ(AutoAnswer::Deny, AutoAnswerOf(root.path(), 4));
    EXPECT_EQ(AutoAnswer::Ask, AutoAnswerOf(root.path(), 1));
    const peltrix::ToolOutcome ask = PinTool::Run({L"auto", L"3", L"ask"}, root.path());
    EXPECT_EQ(0, ask.exitCode);
    EXPECT_EQ("Case 3 now asks the user for the PIN.\n", ask.text);
    EXPECT_EQ(AutoAnswer::Ask, AutoAnswerOf(root.path(), 3));
    EXPECT_EQ(AutoAnswer::Deny, AutoAnswerOf(root.path(), 4));
}

TEST(PinToolTest, BadUseExitsWithOneAndChangesNothing) {
    TestSettingsRoot root;
    const std::vector<std::vector<std::wstring>> badCalls = {
        {},
        {L"sett", L"1234"},
        {L"set"},
        {L"set", L""},
        {L"set", L"12", L"34"},
        {L"set", std::wstring(peltrix::kMaxPinChars + 1, L'7')},
        {L"clear", L"now"},
        {L"auto", L"3"},
        {L"auto", L"x", L"allow"},
        {L"auto", L"-1", L"allow"},
        {L"auto", L"3", L"yes"},
    };
    for (const auto& arguments : badCalls) {
        const peltrix::ToolOutcome outcome = PinTool::Run(arguments, root.path());
        EXPECT_EQ(1, outcome.exitCode) << (arguments.empty() ? "(none)" : "bad call");
        EXPECT_NE(std::string::npos, outcome.text.find("Usage:"));
    }
    EXPECT_EQ(TVRAUTH_E_NO_PIN, peltrix::PinStore(root.path()).Verify(L"1234"));
    EXPECT_TRUE(root.AllValueData().empty());
}

TEST(FixtureToolTest, BadUseExitsWithOneAndStoresNothing) {
    TestSettingsRoot root;
    const std::vector<std::vector<std::wstring>> badCalls = {
        {},
        {L"rule"},
        {L"rule", L"ABC"},
        {L"rule", L"GG"},
        {L"secret", L"0", L"1", L"00"},
        {L"secret", L"5", L"1", L"00"},
        {L"secret", L"1", L"0", L"00"},
        {L"secret", L"1", L"1"},
        {L"pincache", L"-5"},
        {L"pincache", L"4294967296"},
        {L"clear", L"all"},
    };
    for (const auto& arguments : badCalls) {
        EXPECT_EQ(1, FixtureTool::Run(arguments, root.path()).exitCode);
    }
    EXPECT_TRUE(root.AllValueData().empty());
}

TEST(FixtureToolTest, EmptyRuleIsStoredAsZeroBytes) {
    TestSettingsRoot root;
    const peltrix::ToolOutcome outcome = FixtureTool::Run({L"rule", L""}, root.path());
    EXPECT_EQ(0, outcome.exitCode);
    EXPECT_EQ("Rule stored (0 bytes).\n", outcome.text);
    peltrix::SecretSessionTable table;
    TVRAUTH_HSESSION handle = nullptr;
    ASSERT_EQ(TVRAUTH_OK, table.Open(root.path(), &handle));
    DWORD size = 5;
    EXPECT_EQ(TVRAUTH_OK, table.Find(handle)->GetAuthRule(nullptr, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(TVRAUTH_OK, table.Close(handle));
}
