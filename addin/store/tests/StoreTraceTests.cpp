// The entry and return lines of the store's relay calls, written through the
// real trace-log library beside the test program.
#include "StoreTestSupport.h"
#include "TraceHook.h"
#include "TraceLogReader.h"
#include "TraceScope.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace torva::trace;
using namespace torva::trace::testing;

constexpr wchar_t kProgram[] = L"addin_store_tests";

size_t Count(const std::wstring& text) {
    return LinesContaining(text, kProgram).size();
}

class StoreTrace : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseRelayBesideTestProgram(); }
    void SetUp() override {
        ASSERT_TRUE(TraceHook::Bind(nullptr, L"addin_store_tests.exe"));
        m_level.emplace(kFunctionLevel);
    }
    void TearDown() override {
        m_level.reset();
        TraceHook::Unbind();
    }
    std::optional<LibraryLevel> m_level;
};

} // namespace

TEST_F(StoreTrace, EachRelayCallWritesItsEntryAndItsResult) {
    const std::wstring enter = L"[FUNC CALLED]CExpData::Zentrip_OpenKey()";
    const std::wstring found = L"CExpData::Zentrip_OpenKey() return (0)";
    const std::wstring anyReturn = L"CExpData::Zentrip_OpenKey() return (";
    const size_t enterBefore = Count(enter), foundBefore = Count(found),
                 returnsBefore = Count(anyReturn);

    CExpData store;
    ZentripCell* db = nullptr;
    ASSERT_EQ(store.Zentrip_OpenDB(&db), 0u);
    ZentripCell* key = nullptr;
    const std::wstring path = ScratchKeyName() + L"\\TRACE\\MISSING";
    const DWORD notThere = store.Zentrip_OpenKey(db, path.c_str(), &key);
    EXPECT_NE(notThere, 0u);
    const std::wstring missing =
        L"CExpData::Zentrip_OpenKey() return (" + std::to_wstring(notThere) + L")";
    ASSERT_EQ(store.Zentrip_CreateKey(db, path.c_str(), &key), 0u);
    EXPECT_EQ(store.Zentrip_CloseKey(db, &key), 0u);
    ASSERT_EQ(store.Zentrip_OpenKey(db, path.c_str(), &key), 0u);
    EXPECT_EQ(store.Zentrip_CloseKey(db, &key), 0u);
    ZentripCell* root = nullptr;
    ASSERT_EQ(store.Zentrip_OpenKey(db, L"", &root), 0u);
    EXPECT_EQ(store.Zentrip_DeleteKey(db, root, ScratchKeyName().c_str()), 0u);
    EXPECT_EQ(store.Zentrip_CloseKey(db, &root), 0u);
    EXPECT_EQ(store.Zentrip_CloseDB(&db), 0u);

    EXPECT_GE(Count(enter), enterBefore + 3);
    EXPECT_GE(Count(anyReturn), returnsBefore + 3);
    EXPECT_GE(Count(found), foundBefore + 2);
    EXPECT_GE(Count(missing), 1u) << "the failure's own result is written";
    EXPECT_GE(Count(L"CExpData::Zentrip_CloseDB() return (0)"), 1u);
}
