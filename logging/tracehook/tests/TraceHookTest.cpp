// The hook against the real library beside the test program, and without it.
#include "TraceLogReader.h"
#include "TraceScope.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <optional>
#include <regex>

namespace torva::trace::testing {
namespace {

constexpr wchar_t kThisProgram[] = L"torva_trace_tests.exe";

std::wstring SystemFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH + 1);
    return std::wstring(folder, length) + L"\\" + name;
}

std::vector<std::string> Texts(const std::vector<FoundLine>& lines) {
    std::vector<std::string> texts;
    for (const auto& line : lines)
        texts.push_back(line.text);
    return texts;
}

// The part of a line after the time stamp: " <file>:<line>:: <message>".
std::string Body(const std::string& line) {
    const std::size_t end = line.find("] ");
    return end == std::string::npos ? line : line.substr(end + 2);
}

std::string Expected(int line, const std::string& message) {
    char number[16] = {};
    std::snprintf(number, sizeof(number), "%5d", line);
    return std::string(" .\\TraceHookTest.cpp:") + number + ":: " + message;
}

class BoundTraceHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TraceHook::Bind(nullptr, kThisProgram));
        level.emplace(kDetailLevel);
    }
    void TearDown() override {
        level.reset();
        TraceHook::Unbind();
    }
    std::optional<LibraryLevel> level;
    const std::wstring token = UniqueToken();
    const std::string name = Narrow(token);
};

TEST(TraceHookPathTest, LibraryIsLookedForBesideTheCallingModule) {
    wchar_t exe[MAX_PATH] = {};
    const std::wstring program(exe, ::GetModuleFileNameW(nullptr, exe, MAX_PATH));
    EXPECT_EQ(TraceHook::LibraryPathFor(nullptr),
              program.substr(0, program.find_last_of(L'\\') + 1) + L"Fenwix.dll");
    // A DLL caller passes its own module: the library is looked for beside it.
    const std::wstring besideKernel =
        TraceHook::LibraryPathFor(::GetModuleHandleW(L"kernel32.dll"));
    EXPECT_EQ(::CompareStringOrdinal(besideKernel.c_str(), -1, SystemFile(L"Fenwix.dll").c_str(),
                                     -1, TRUE),
              CSTR_EQUAL)
        << Narrow(besideKernel);
}

TEST_F(BoundTraceHookTest, EntryExitAndDetailLinesReachTheLog) {
    const std::wstring function = token + L"::Run";
    const wchar_t* f = function.c_str();
    // Each line number is taken on the line of its trace call.
    // clang-format off
    const int enter = __LINE__; TORVA_TRACE_ENTER(f);
    const int text = __LINE__; TORVA_TRACE_RETURN_TEXT(f, L"TRUE");
    const int number = __LINE__; TORVA_TRACE_RETURN_INT(f, -42);
    const int hex = __LINE__; TORVA_TRACE_RETURN_HEX(f, 0x8000FFFFu);
    const int none = __LINE__; TORVA_TRACE_RETURN_VOID(f);
    const int error = __LINE__; TORVA_TRACE_ERROR(L"%s failed l = %d", f, 5);
    const int detail = __LINE__; TORVA_TRACE_DETAIL(L"%s pParent = 0x%08X", f, 0x1234u);
    // clang-format on

    const auto lines = LinesContaining(token);
    std::vector<std::string> bodies;
    for (const auto& line : lines)
        bodies.push_back(Body(line.text));
    EXPECT_EQ(bodies,
              (std::vector<std::string>{Expected(enter, "[FUNC CALLED]" + name + "::Run()"),
                                        Expected(text, name + "::Run() return (TRUE)"),
                                        Expected(number, name + "::Run() return (-42)"),
                                        Expected(hex, name + "::Run() return (0x8000FFFF)"),
                                        Expected(none, name + "::Run() return "),
                                        Expected(error, name + "::Run failed l = 5"),
                                        Expected(detail, name + "::Run pParent = 0x00001234")}));
}

TEST_F(BoundTraceHookTest, LogFileIsNamedPerUserAfterTheCallingProgram) {
    TORVA_TRACE_ENTER(token.c_str());
    const auto lines = LinesContaining(token);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(Narrow(lines[0].fileName),
                                 std::regex(R"(FENWIX_[^_]+\.[^_]+_\d{8}_torva_trace_tests\.log)")))
        << Narrow(lines[0].fileName);
}

TEST_F(BoundTraceHookTest, DetailLinesFollowTheLibrarysLevel) {
    level.reset();
    level.emplace(kFunctionLevel);
    TORVA_TRACE_ENTER(token.c_str());
    TORVA_TRACE_DETAIL(L"%s detail", token.c_str());
    const auto lines = Texts(LinesContaining(token));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("[FUNC CALLED]"), std::string::npos);
}

int ScopedFunction(const wchar_t* function, int result) {
    TORVA_TRACE_SCOPE(function);
    ::SetLastError(ERROR_INVALID_HANDLE);
    if (result < 0) TORVA_RETURN_BOOL(FALSE);
    TORVA_RETURN_INT(result);
}

void ScopedVoidFunction(const wchar_t* function) {
    TORVA_TRACE_SCOPE(function);
}

TEST_F(BoundTraceHookTest, ScopeWritesEntryAndResultAndKeepsTheLastError) {
    const std::wstring function = token + L"::Scoped";
    EXPECT_EQ(ScopedFunction(function.c_str(), 7), 7);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ScopedFunction(function.c_str(), -1), FALSE);
    ScopedVoidFunction(function.c_str());

    std::vector<std::string> messages;
    for (const auto& line : LinesContaining(token)) {
        const std::string text = line.text;
        messages.push_back(text.substr(text.find(":: ") + 3));
    }
    EXPECT_EQ(messages,
              (std::vector<std::string>{
                  "[FUNC CALLED]" + name + "::Scoped()", name + "::Scoped() return (7)",
                  "[FUNC CALLED]" + name + "::Scoped()", name + "::Scoped() return (FALSE)",
                  "[FUNC CALLED]" + name + "::Scoped()", name + "::Scoped() return "}));
}

TEST_F(BoundTraceHookTest, UnbindStopsTracingAndUnloadsTheLibrary) {
    level.reset();
    TraceHook::Unbind();
    EXPECT_FALSE(TraceHook::IsBound());
    EXPECT_EQ(::GetModuleHandleW(TraceHook::LibraryPathFor(nullptr).c_str()), nullptr);
    TORVA_TRACE_ENTER(token.c_str());
    EXPECT_TRUE(LinesContaining(token).empty());
}

TEST(UnboundTraceHookTest, MissingLibraryTracesNothingAndFailsNothing) {
    const std::wstring token = UniqueToken();
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(TraceHook::BindLibrary(L"C:\\no such folder\\Fenwix.dll", kThisProgram));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(TraceHook::IsBound());

    ::SetLastError(ERROR_BAD_FORMAT);
    TORVA_TRACE_ENTER(token.c_str());
    TORVA_TRACE_DETAIL(L"%s %d", token.c_str(), 1);
    EXPECT_EQ(ScopedFunction(token.c_str(), 3), 3);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(LinesContaining(token).empty());
}

TEST(UnboundTraceHookTest, LibraryIsNeverSearchedForByName) {
    // Fenwix.dll stands beside this program, which is on the search path; a
    // caller in the system folder must still not find it.
    EXPECT_FALSE(TraceHook::Bind(::GetModuleHandleW(L"kernel32.dll"), kThisProgram));
    EXPECT_FALSE(TraceHook::IsBound());
    EXPECT_EQ(::GetModuleHandleW(TraceHook::LibraryPathFor(nullptr).c_str()), nullptr);
}

TEST(UnboundTraceHookTest, LibraryWithoutTheExportsLeavesTracingOff) {
    EXPECT_FALSE(TraceHook::BindLibrary(SystemFile(L"version.dll"), kThisProgram));
    EXPECT_FALSE(TraceHook::IsBound());
    TORVA_TRACE_ENTER(L"nothing");
    TraceHook::Unbind();
}

} // namespace
} // namespace torva::trace::testing
