#include "FixtureTool.h"
#include "Peltrix.h"
#include "PinPrompt.h"
#include "PinStore.h"
#include "PinTool.h"
#include "SecretSessionTable.h"
#include "TestSettingsRoot.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

using peltrix::FixtureTool;
using peltrix::PinTool;

namespace {

// What the user types when the tool asks for the current PIN; counts the asks.
struct TypedPin {
    std::wstring pin;
    int asked = 0;
    bool typed = true;

    PinTool::CurrentPinSource Source() {
        return [this](std::wstring& out) {
            ++asked;
            if (typed) out = pin;
            return typed;
        };
    }
};

peltrix::ToolOutcome RunPinTool(const std::vector<std::wstring>& arguments,
                                const std::wstring& root, const std::wstring& current = L"") {
    TypedPin typed{current};
    return PinTool::Run(arguments, root, typed.Source());
}

// The bytes as another program would pipe them into the tool.
std::wstring ReadPipedLine(const std::string& bytes, bool& read) {
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, nullptr, 0)) return L"(no pipe)";
    torva::UniqueHandle input(readEnd);
    {
        torva::UniqueHandle output(writeEnd);
        DWORD written = 0;
        if (!bytes.empty()) {
            ::WriteFile(output.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                        nullptr);
        }
    }
    std::wstring line = L"(untouched)";
    read = peltrix::PinPrompt::Read(input.get(), nullptr, line);
    return line;
}

} // namespace

TEST(PinToolTest, SetStoresAPinThatVerifiesAndClearRemovesIt) {
    TestSettingsRoot root;
    const peltrix::ToolOutcome set = RunPinTool({L"set", L"5150"}, root.path());
    EXPECT_EQ(0, set.exitCode);
    EXPECT_EQ("PIN set.\n", set.text);
    EXPECT_EQ(std::string::npos, set.text.find("5150")) << "the PIN is never echoed";
    EXPECT_EQ(TVRAUTH_OK, peltrix::PinStore(root.path()).Verify(L"5150"));

    EXPECT_EQ("PIN cleared.\n", RunPinTool({L"clear"}, root.path(), L"5150").text);
    EXPECT_EQ(TVRAUTH_E_NO_PIN, peltrix::PinStore(root.path()).Verify(L"5150"));
    const peltrix::ToolOutcome again = RunPinTool({L"clear"}, root.path());
    EXPECT_EQ(0, again.exitCode);
    EXPECT_EQ("No PIN was set.\n", again.text);
}

TEST(PinToolTest, TheFirstPinNeedsNoOldOneAndIsNeverAskedFor) {
    TestSettingsRoot root;
    TypedPin typed{L"0000"};
    const peltrix::ToolOutcome set = PinTool::Run({L"set", L"5150"}, root.path(), typed.Source());
    EXPECT_EQ(0, set.exitCode) << set.text;
    EXPECT_EQ(0, typed.asked);
    EXPECT_EQ(TVRAUTH_OK, peltrix::PinStore(root.path()).Verify(L"5150"));
}

TEST(PinToolTest, ReplacingOrClearingThePinNeedsTheCurrentOne) {
    TestSettingsRoot root;
    ASSERT_EQ(TVRAUTH_OK, peltrix::PinStore(root.path()).SetPin(L"5150", peltrix::kMinIterations));
    const auto unchanged = [&root] {
        EXPECT_EQ(TVRAUTH_OK, peltrix::PinStore(root.path()).Verify(L"5150"));
    };

    TypedPin nothing{L"", 0, false};
    for (const std::vector<std::wstring>& command :
         {std::vector<std::wstring>{L"set", L"1111"}, std::vector<std::wstring>{L"clear"}}) {
        const peltrix::ToolOutcome refused = PinTool::Run(command, root.path(), nothing.Source());
        EXPECT_EQ(3, refused.exitCode) << "no current PIN given";
        EXPECT_EQ("A PIN is set: the current PIN is needed. Nothing changed.\n", refused.text);
        unchanged();
        const peltrix::ToolOutcome wrong = RunPinTool(command, root.path(), L"5151");
        EXPECT_EQ(3, wrong.exitCode);
        EXPECT_EQ("The current PIN is wrong. Nothing changed.\n", wrong.text);
        unchanged();
        EXPECT_EQ(3, RunPinTool(command, root.path(), L"").exitCode) << "an empty line is no PIN";
        unchanged();
    }
    EXPECT_EQ(2, nothing.asked);
    EXPECT_EQ(3, PinTool::Run({L"set", L"1111"}, root.path(), nullptr).exitCode);
    unchanged();

    const peltrix::ToolOutcome replaced = RunPinTool({L"set", L"1111"}, root.path(), L"5150");
    EXPECT_EQ(0, replaced.exitCode) << replaced.text;
    EXPECT_EQ(TVRAUTH_OK, peltrix::PinStore(root.path()).Verify(L"1111"));
    EXPECT_EQ(3, RunPinTool({L"clear"}, root.path(), L"5150").exitCode) << "the old PIN is gone";
    EXPECT_EQ(0, RunPinTool({L"clear"}, root.path(), L"1111").exitCode);
    EXPECT_EQ(TVRAUTH_E_NO_PIN, peltrix::PinStore(root.path()).Verify(L"1111"));
}

TEST(PinToolTest, AutomaticAnswersAreNoCommand) {
    TestSettingsRoot root;
    for (const wchar_t* answer : {L"allow", L"deny", L"ask"}) {
        const peltrix::ToolOutcome outcome = RunPinTool({L"auto", L"4", answer}, root.path());
        EXPECT_EQ(1, outcome.exitCode);
        EXPECT_NE(std::string::npos, outcome.text.find("Usage:"));
        EXPECT_EQ(std::string::npos, outcome.text.find("auto"));
    }
    EXPECT_TRUE(root.AllValueData().empty());
}

TEST(PinPromptTest, APipedLineIsTheCurrentPin) {
    bool read = false;
    EXPECT_EQ(L"5150", ReadPipedLine("5150\r\n", read));
    EXPECT_TRUE(read);
    EXPECT_EQ(L"5150", ReadPipedLine("5150", read)) << "no line end before the pipe's end";
    EXPECT_TRUE(read);
    EXPECT_EQ(L"\u6697\u53f7", ReadPipedLine("\xE6\x9A\x97\xE5\x8F\xB7\n", read)) << "UTF-8";
    EXPECT_TRUE(read);
    EXPECT_EQ(L"12", ReadPipedLine("12\nsecond line", read)) << "one line only";
    ReadPipedLine("", read);
    EXPECT_FALSE(read) << "no input";
    ReadPipedLine("\r\n", read);
    EXPECT_FALSE(read) << "an empty line";
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
        const peltrix::ToolOutcome outcome = RunPinTool(arguments, root.path());
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
