#include <EnvToPath.h>

#include <gtest/gtest.h>

#include <map>

namespace {

using Variables = std::map<std::wstring, std::wstring>;

bool Lookup(const std::wstring& name, std::wstring& value, void* context) {
    const auto& variables = *static_cast<const Variables*>(context);
    const auto found = variables.find(name);
    if (found == variables.end()) return false;
    value = found->second;
    return true;
}

std::wstring Expand(const std::wstring& text, const Variables& variables, bool* ok = nullptr,
                    std::size_t maxChars = 259) {
    std::wstring out = L"(unchanged)";
    const bool expanded =
        ExpandEnvReferences(text, maxChars, &Lookup, const_cast<Variables*>(&variables), out);
    if (ok) *ok = expanded;
    return out;
}

} // namespace

TEST(EnvToPath, SystemDriveReferenceBecomesTheDrive) {
    EXPECT_EQ(Expand(L"%SystemDrive%\\Users", {{L"SystemDrive", L"C:"}}), L"C:\\Users");
}

TEST(EnvToPath, UnsetVariableBecomesNothing) {
    EXPECT_EQ(Expand(L"%NoSuchVariable%\\Users", {}), L"\\Users");
}

TEST(EnvToPath, EveryOccurrenceAndChainedReferencesExpand) {
    const Variables variables{{L"A", L"%B%\\x"}, {L"B", L"y"}};
    EXPECT_EQ(Expand(L"%A%-%A%", variables), L"y\\x-y\\x");
}

TEST(EnvToPath, LonePercentSignStays) {
    EXPECT_EQ(Expand(L"C:\\100%", {}), L"C:\\100%");
}

TEST(EnvToPath, SelfReferenceFailsInsteadOfLoopingForever) {
    bool ok = true;
    EXPECT_EQ(Expand(L"%X%\\Users", {{L"X", L"%X%"}}, &ok), L"(unchanged)");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Expand(L"%X%", {{L"X", L"%Y%"}, {L"Y", L"%X%"}}, &ok), L"(unchanged)");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Expand(L"%X%", {{L"X", L"a%X%"}}, &ok), L"(unchanged)");
    EXPECT_FALSE(ok);
}

TEST(EnvToPath, ResultLongerThanTheBufferFails) {
    bool ok = true;
    EXPECT_EQ(Expand(L"%Long%\\x", {{L"Long", std::wstring(258, L'a')}}, &ok), L"(unchanged)");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Expand(L"%Long%\\", {{L"Long", std::wstring(258, L'a')}}, &ok),
              std::wstring(258, L'a') + L"\\");
    EXPECT_TRUE(ok);
}

TEST(EnvToPath, ExpandsInPlaceWithTheProcessEnvironment) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"QUORVEL_TEST_DRIVE", L"Q:"));
    wchar_t buffer[MAX_PATH] = L"%QUORVEL_TEST_DRIVE%\\Users";
    EXPECT_TRUE(EnvToPath(buffer, MAX_PATH));
    EXPECT_STREQ(buffer, L"Q:\\Users");

    ASSERT_TRUE(::SetEnvironmentVariableW(L"QUORVEL_TEST_DRIVE", std::wstring(300, L'q').c_str()));
    wchar_t longer[MAX_PATH] = L"%QUORVEL_TEST_DRIVE%\\Users";
    EXPECT_FALSE(EnvToPath(longer, MAX_PATH));
    EXPECT_STREQ(longer, L"%QUORVEL_TEST_DRIVE%\\Users");
    ::SetEnvironmentVariableW(L"QUORVEL_TEST_DRIVE", nullptr);
}
