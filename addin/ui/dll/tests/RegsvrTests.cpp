// Registration and unregistration of the installed module with regsvr32 in
// the test prefix. Every key these tests change is put back as it was, and
// the module is unregistered at the end of each test.
#include "AddinRegistration.h"
#include "DllTestSupport.h"
#include "RegistryTestSupport.h"

#include <QuorvelGuids.h>
#include <RegistrySupport.h>
#include <ToolbarLayout.h>

#include <gtest/gtest.h>

#include <oleauto.h>

#include <memory>

using namespace module_tests;

namespace {

constexpr wchar_t kToolbar[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr wchar_t kExtension[] =
    L"Software\\Microsoft\\Internet Explorer\\Extensions\\{B26ABCBD-C28F-4857-D67C-0489DC21B9CC}";
constexpr wchar_t kWebBrowser[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser";
constexpr wchar_t kClassKey[] = L"CLSID\\{B26980BD-C1E7-4153-82C3-FB2CEC27657A}";
constexpr wchar_t kOtherA[] = L"{AAAAAAAA-1111-2222-3333-444444444444}";
constexpr wchar_t kOtherB[] = L"{BBBBBBBB-1111-2222-3333-444444444444}";

bool TypeLibRegistered() {
    ITypeLib* lib = nullptr;
    if (FAILED(::LoadRegTypeLib(LIBID_MablixLib, 1, 0, LOCALE_NEUTRAL, &lib))) return false;
    lib->Release();
    return true;
}

class RegsvrTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(InstalledQuorvel().empty());
        m_registration =
            std::make_unique<AddinRegistration>(AddinRegistration::Start::SnapshotOnly);
        m_layoutName = GetITBarLayoutKey();
        ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey)) << "the add-in is registered already";
        // Two other toolbars that must keep their values.
        WriteValue(HKEY_LOCAL_MACHINE, kToolbar, kOtherA, TextValue(L"Other toolbar A"));
        WriteValue(HKEY_LOCAL_MACHINE, kToolbar, kOtherB, BinaryValue({9, 8, 7, 6}));
        m_seeded = *ReadValues(HKEY_LOCAL_MACHINE, kToolbar);
    }

    void TearDown() override { m_registration.reset(); }

    std::optional<StoredValue> Layout() const {
        return ReadValue(HKEY_CURRENT_USER, kWebBrowser, m_layoutName);
    }

    std::size_t BandSlot() const {
        const std::optional<StoredValue> value = Layout();
        if (!value || value->data.size() != toolbar_layout::kLayoutSize)
            return toolbar_layout::kSlotCount + 1;
        toolbar_layout::Layout layout{};
        std::copy(value->data.begin(), value->data.end(), layout.begin());
        return toolbar_layout::FindSlot(layout, CLSID_StockBar);
    }

    std::unique_ptr<AddinRegistration> m_registration;
    ValueSet m_seeded;
    std::wstring m_layoutName;
};

} // namespace

TEST_F(RegsvrTest, RegistrationMakesTheComEntriesAndKeepsOtherToolbars) {
    ASSERT_EQ(Regsvr32(false), 0u);

    ValueSet expected = m_seeded;
    expected[kStockBarClsidText] = TextValue(L"TORVA");
    EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, kToolbar), expected);

    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kClassKey), L"TORVA");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\ProgID"), L"Mablix.StockBar.1");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\VersionIndependentProgID"),
              L"Mablix.StockBar");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\Programmable"));
    const auto server = Text(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\InprocServer32");
    ASSERT_TRUE(server);
    EXPECT_TRUE(SamePath(*server, InstalledQuorvel())) << *server;
    EXPECT_EQ(
        Text(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\InprocServer32", L"ThreadingModel"),
        L"Apartment");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\TypeLib"),
              L"{0CC4E8D2-3419-4696-A45E-A9DD1F3FE859}");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"Mablix.StockBar.1"), L"TORVA");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"Mablix.StockBar.1\\CLSID"), kStockBarClsidText);
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"Mablix.StockBar"), L"TORVA");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"Mablix.StockBar\\CurVer"), L"Mablix.StockBar.1");
    CLSID fromProgId{};
    EXPECT_EQ(::CLSIDFromProgID(L"Mablix.StockBar", &fromProgId), S_OK);
    EXPECT_TRUE(::IsEqualCLSID(fromProgId, CLSID_StockBar));
    EXPECT_TRUE(TypeLibRegistered());

    const std::wstring icon = InstalledQuorvel() + L",425";
    const auto extension = ReadValues(HKEY_LOCAL_MACHINE, kExtension);
    ASSERT_TRUE(extension);
    EXPECT_EQ(*extension, (ValueSet{
                              {L"", TextValue(L"TORVA")},
                              {L"BandClsid", TextValue(kStockBarClsidText)},
                              {L"Clsid", TextValue(L"{D0DD6CAB-8D10-25D2-7C1A-0000F98ACD77}")},
                              {L"Default Visible", TextValue(L"Yes")},
                              {L"Hot Icon", TextValue(icon)},
                              {L"Icon", TextValue(icon)},
                              {L"MenuStatusBar", TextValue(L"TORVA Toolbar")},
                              {L"MenuText", TextValue(L"TORVA")},
                          }));
    EXPECT_EQ(BandSlot(), 0u);

    // Again: only the COM entries are made again; no layout is touched.
    const auto layout = Layout();
    const auto toolbar = ReadValues(HKEY_LOCAL_MACHINE, kToolbar);
    ASSERT_EQ(Regsvr32(false), 0u);
    EXPECT_EQ(Layout(), layout);
    EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, kToolbar), toolbar);
}

TEST_F(RegsvrTest, UnregistrationTakesEverythingAwayAndTwiceIsHarmless) {
    ASSERT_EQ(Regsvr32(false), 0u);
    ASSERT_EQ(BandSlot(), 0u);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(Regsvr32(true), 0u) << round;
        EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, kToolbar), m_seeded) << round;
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey)) << round;
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Mablix.StockBar")) << round;
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Mablix.StockBar.1")) << round;
        EXPECT_FALSE(
            KeyExists(HKEY_CLASSES_ROOT, L"Interface\\{14A574BD-5A7B-4F33-9724-A8CF917230D7}"))
            << round;
        EXPECT_FALSE(TypeLibRegistered()) << round;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExtension)) << round;
        EXPECT_EQ(BandSlot(), toolbar_layout::kSlotCount) << round;
    }
}

TEST_F(RegsvrTest, ARegistrationForATestsLifePutsEveryPlaceBack) {
    const auto layout = Layout();
    const bool extensionsExisted =
        KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Internet Explorer\\Extensions");
    {
        const AddinRegistration registration;
        ASSERT_EQ(registration.Result(), 0u);
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kExtension));
        EXPECT_EQ(BandSlot(), 0u);
    }
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, kToolbar), m_seeded);
    EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Internet Explorer\\Extensions"),
              extensionsExisted);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExtension));
    EXPECT_EQ(Layout(), layout);
}
