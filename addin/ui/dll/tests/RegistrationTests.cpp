#include "ScratchHives.h"

#include <QuorvelGuids.h>
#include <QuorvelRegistration.h>

#include <gtest/gtest.h>

using namespace module_tests;
using namespace toolbar_layout;

namespace {

std::vector<bool> g_comCalls;

HRESULT RecordComStep(bool registering) {
    g_comCalls.push_back(registering);
    return S_OK;
}

// The machine's places moved into a scratch key: a toolbar list, a profile
// list whose ProfilesDirectory is a temporary folder with two profiles.
class RegistrationPlacesTest : public ::testing::Test {
protected:
    RegistrationPlacesTest()
        : m_scratch(L"Registration"), m_profiles(L"Profiles"), m_hives(m_scratch) {
        m_profiles.MakeSub(L"alice");
        m_profiles.MakeSub(L"bob");
        WriteValue(HKEY_CURRENT_USER, m_scratch.Sub(L"ProfileList"), L"ProfilesDirectory",
                   TextValue(m_profiles.Path(), REG_EXPAND_SZ));
        m_places.machineRoot = HKEY_CURRENT_USER;
        m_places.toolbarKey = m_scratch.Sub(L"Toolbar");
        m_places.versionVectorKey = m_scratch.Sub(L"Version Vector");
        m_places.profileListKey = m_scratch.Sub(L"ProfileList");
        m_places.hives = &m_hives;
        m_places.comStep = &RecordComStep;
        g_comCalls.clear();
    }

    std::optional<ValueSet> Toolbar() const {
        return ReadValues(HKEY_CURRENT_USER, m_places.toolbarKey);
    }

    ScratchKey m_scratch;
    TempFolder m_profiles;
    ScratchHives m_hives;
    RegistrationPlaces m_places;
};

} // namespace

TEST_F(RegistrationPlacesTest, RegisteringPutsTheBandIntoTheListAndEveryProfile) {
    WriteValue(HKEY_CURRENT_USER, m_places.toolbarKey, L"{AAAAAAAA-0000-0000-0000-000000000001}",
               TextValue(L"other"));
    ASSERT_EQ(RegisterQuorvel(m_places), S_OK);
    EXPECT_EQ(g_comCalls, std::vector<bool>{true});
    EXPECT_TRUE(Toolbar()->count(kStockBarClsidText));
    EXPECT_EQ(Toolbar()->at(L"{AAAAAAAA-0000-0000-0000-000000000001}"), TextValue(L"other"));
    for (const wchar_t* user : {L"alice", L"bob"})
        EXPECT_EQ(m_hives.Layout(user, L"ITBarLayout"),
                  BinaryValue(Bytes(DefaultLayout(CLSID_StockBar))))
            << user;
}

TEST_F(RegistrationPlacesTest, SecondRegistrationOnlyRepeatsTheComStep) {
    ASSERT_EQ(RegisterQuorvel(m_places), S_OK);
    // What the registrar script leaves in the list.
    WriteValue(HKEY_CURRENT_USER, m_places.toolbarKey, kStockBarClsidText, TextValue(L"TORVA"));
    const std::vector<BYTE> edited(564, 0x42);
    m_hives.SetLayout(L"alice", L"ITBarLayout", edited);
    const auto toolbar = Toolbar();
    m_hives.opened.clear();
    ASSERT_EQ(RegisterQuorvel(m_places), S_OK);
    EXPECT_EQ(g_comCalls, (std::vector<bool>{true, true}));
    EXPECT_TRUE(m_hives.opened.empty());
    EXPECT_EQ(m_hives.Layout(L"alice", L"ITBarLayout"), BinaryValue(edited));
    EXPECT_EQ(Toolbar(), toolbar);
}

TEST_F(RegistrationPlacesTest, UnregisteringTwiceSucceedsAndRunsTheComStepEachTime) {
    WriteValue(HKEY_CURRENT_USER, m_places.toolbarKey, L"{AAAAAAAA-0000-0000-0000-000000000001}",
               TextValue(L"other"));
    ASSERT_EQ(RegisterQuorvel(m_places), S_OK);
    ASSERT_EQ(UnregisterQuorvel(m_places), S_OK);
    Layout removed = DefaultLayout(CLSID_StockBar);
    ASSERT_EQ(RemoveBand(removed, CLSID_StockBar), RemoveResult::Removed);
    EXPECT_EQ(m_hives.Layout(L"alice", L"ITBarLayout"), BinaryValue(Bytes(removed)));
    EXPECT_EQ(Toolbar(),
              (ValueSet{{L"{AAAAAAAA-0000-0000-0000-000000000001}", TextValue(L"other")}}));

    EXPECT_EQ(UnregisterQuorvel(m_places), S_OK);
    EXPECT_EQ(g_comCalls, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(m_hives.Layout(L"alice", L"ITBarLayout"), BinaryValue(Bytes(removed)));
}

TEST_F(RegistrationPlacesTest, NewerBrowserGetsItsOwnLayoutValue) {
    WriteValue(HKEY_CURRENT_USER, m_places.versionVectorKey, L"IE", TextValue(L"8.0000"));
    ASSERT_EQ(RegisterQuorvel(m_places), S_OK);
    EXPECT_TRUE(m_hives.Layout(L"alice", L"ITBar7Layout"));
    EXPECT_FALSE(m_hives.Layout(L"alice", L"ITBarLayout"));
}

TEST_F(RegistrationPlacesTest, MissingProfileListStillRegistersTheClasses) {
    m_places.profileListKey = m_scratch.Sub(L"NoProfileList");
    ASSERT_EQ(RegisterQuorvel(m_places), S_OK);
    EXPECT_TRUE(Toolbar()->count(kStockBarClsidText));
    EXPECT_TRUE(m_hives.opened.empty());
    ASSERT_EQ(UnregisterQuorvel(m_places), S_OK);
    EXPECT_EQ(g_comCalls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(Toolbar()->count(kStockBarClsidText));
}

TEST_F(RegistrationPlacesTest, UnterminatedProfilesDirectoryIsWalked) {
    StoredValue value = TextValue(m_profiles.Path(), REG_EXPAND_SZ);
    value.data.resize(m_profiles.Path().size() * sizeof(wchar_t));
    WriteValue(HKEY_CURRENT_USER, m_places.profileListKey, L"ProfilesDirectory", value);
    ASSERT_EQ(RegisterQuorvel(m_places), S_OK);
    EXPECT_TRUE(m_hives.Layout(L"alice", L"ITBarLayout"));
    EXPECT_TRUE(m_hives.Layout(L"bob", L"ITBarLayout"));
}
