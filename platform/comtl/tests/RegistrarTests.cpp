#include <gtest/gtest.h>
#include <string>
#include <Win32Handles.h>
#include "CRegistrar.h"
#include "TestResource.h"

namespace {

// Everything the tests write lives below this key of the current user.
constexpr wchar_t kTestRoot[] = L"Software\\TorvaComtlRegistrarTest";

bool KeyExists(const std::wstring& path) {
    torva::UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) ==
           ERROR_SUCCESS;
}

bool ReadString(const std::wstring& path, const wchar_t* name, std::wstring& out) {
    wchar_t buffer[512]{};
    DWORD bytes = sizeof(buffer);
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer,
                       &bytes) != ERROR_SUCCESS)
        return false;
    out = buffer;
    return true;
}

void WriteString(const std::wstring& path, const wchar_t* name, const wchar_t* value) {
    torva::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                               KEY_WRITE, nullptr, key.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                               static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t))));
}

class RegistrarTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }

    const std::wstring base = kTestRoot;
};

const wchar_t kScript[] = LR"(
HKCU
{
    NoRemove Software
    {
        NoRemove TorvaComtlRegistrarTest
        {
            Mablix.Test.1 = s 'TORVA'
            {
                CLSID = s '{B26980BD-C1E7-4153-82C3-FB2CEC27657A}'
            }
            ForceRemove {B26980BD-C1E7-4153-82C3-FB2CEC27657A} = s 'TORVA'
            {
                InprocServer32 = s '%MODULE%'
                {
                    val ThreadingModel = s 'Apartment'
                }
                Programmable
                val Icon = s '%MODULE%,425'
                val Count = d '0x10'
            }
            NoRemove Toolbar
            {
                val '{B26980BD-C1E7-4153-82C3-FB2CEC27657A}' = s 'TOR''VA'
            }
        }
    }
}
)";

const std::wstring kClsidKey = L"\\{B26980BD-C1E7-4153-82C3-FB2CEC27657A}";

TEST_F(RegistrarTest, RegistrationWritesKeysValuesAndModulePath) {
    CRegistrar registrar;
    registrar.AddReplacement(L"MODULE", L"C:\\x\\Quorvel.dll");
    ASSERT_EQ(S_OK, registrar.ApplyScript(kScript, true));

    std::wstring value;
    ASSERT_TRUE(ReadString(base + L"\\Mablix.Test.1", nullptr, value));
    EXPECT_EQ(L"TORVA", value);
    ASSERT_TRUE(ReadString(base + L"\\Mablix.Test.1\\CLSID", nullptr, value));
    EXPECT_EQ(L"{B26980BD-C1E7-4153-82C3-FB2CEC27657A}", value);
    ASSERT_TRUE(ReadString(base + kClsidKey + L"\\InprocServer32", nullptr, value));
    EXPECT_EQ(L"C:\\x\\Quorvel.dll", value);
    ASSERT_TRUE(ReadString(base + kClsidKey + L"\\InprocServer32", L"ThreadingModel", value));
    EXPECT_EQ(L"Apartment", value);
    ASSERT_TRUE(ReadString(base + kClsidKey, L"Icon", value));
    EXPECT_EQ(L"C:\\x\\Quorvel.dll,425", value);
    EXPECT_TRUE(KeyExists(base + kClsidKey + L"\\Programmable"));
    ASSERT_TRUE(ReadString(base + L"\\Toolbar", L"{B26980BD-C1E7-4153-82C3-FB2CEC27657A}", value));
    EXPECT_EQ(L"TOR'VA", value);

    DWORD count = 0;
    DWORD bytes = sizeof(count);
    ASSERT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_CURRENT_USER, (base + kClsidKey).c_str(), L"Count",
                                            RRF_RT_REG_DWORD, nullptr, &count, &bytes));
    EXPECT_EQ(16u, count);
}

TEST_F(RegistrarTest, ForceRemoveKeyStartsEmptyOnRegistration) {
    WriteString(base + kClsidKey + L"\\Stale", L"Old", L"left over");
    CRegistrar registrar;
    registrar.AddReplacement(L"MODULE", L"m.dll");
    ASSERT_EQ(S_OK, registrar.ApplyScript(kScript, true));
    EXPECT_FALSE(KeyExists(base + kClsidKey + L"\\Stale"));
    EXPECT_TRUE(KeyExists(base + kClsidKey + L"\\InprocServer32"));
}

TEST_F(RegistrarTest, RemovalKeepsNoRemoveKeysAndOthersEntries) {
    WriteString(base + L"\\Toolbar", L"OtherBand", L"kept");
    WriteString(base + kClsidKey + L"\\Foreign", nullptr, L"goes with ForceRemove");
    CRegistrar registrar;
    registrar.AddReplacement(L"MODULE", L"m.dll");
    ASSERT_EQ(S_OK, registrar.ApplyScript(kScript, true));
    WriteString(base + L"\\Mablix.Test.1\\Extra", nullptr, L"someone else's");

    ASSERT_EQ(S_OK, registrar.ApplyScript(kScript, false));
    EXPECT_FALSE(KeyExists(base + kClsidKey));
    std::wstring value;
    EXPECT_FALSE(ReadString(base + L"\\Toolbar", L"{B26980BD-C1E7-4153-82C3-FB2CEC27657A}", value));
    ASSERT_TRUE(ReadString(base + L"\\Toolbar", L"OtherBand", value));
    EXPECT_EQ(L"kept", value);
    // A plain key with a foreign sub key stays; its own script sub key goes.
    EXPECT_TRUE(KeyExists(base + L"\\Mablix.Test.1\\Extra"));
    EXPECT_FALSE(KeyExists(base + L"\\Mablix.Test.1\\CLSID"));
    EXPECT_TRUE(KeyExists(L"Software"));
}

TEST_F(RegistrarTest, RemovingTwiceIsHarmless) {
    CRegistrar registrar;
    registrar.AddReplacement(L"MODULE", L"m.dll");
    ASSERT_EQ(S_OK, registrar.ApplyScript(kScript, true));
    EXPECT_EQ(S_OK, registrar.ApplyScript(kScript, false));
    EXPECT_FALSE(KeyExists(base + L"\\Mablix.Test.1"));
    EXPECT_EQ(S_OK, registrar.ApplyScript(kScript, false));
    EXPECT_TRUE(KeyExists(base)); // NoRemove
}

TEST_F(RegistrarTest, BrokenScriptsChangeNothing) {
    CRegistrar registrar;
    // %MODULE% has no replacement here.
    EXPECT_TRUE(FAILED(registrar.ApplyScript(kScript, true)));
    EXPECT_FALSE(KeyExists(base));
    registrar.AddReplacement(L"MODULE", L"m.dll");
    EXPECT_TRUE(FAILED(registrar.ApplyScript(
        L"HKCU { NoRemove Software { TorvaComtlRegistrarTest = s 'x' ", true)));
    EXPECT_TRUE(FAILED(registrar.ApplyScript(L"HKXX { A }", true)));
    EXPECT_TRUE(FAILED(registrar.ApplyScript(L"HKCU { val A = s 'x' }", true)));
    EXPECT_TRUE(FAILED(registrar.ApplyScript(L"HKCU { A = q 'x' }", true)));
    EXPECT_FALSE(KeyExists(base));
}

TEST_F(RegistrarTest, ScriptFromResourceUsesUtf8Text) {
    CRegistrar registrar;
    registrar.AddReplacement(L"MODULE", L"m.dll");
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    ASSERT_EQ(S_OK, registrar.ApplyResource(self, IDR_TEST_SCRIPT, true));
    std::wstring value;
    ASSERT_TRUE(ReadString(base + L"\\Resource", nullptr, value));
    EXPECT_EQ(L"登録 m.dll", value);
    ASSERT_EQ(S_OK, registrar.ApplyResource(self, IDR_TEST_SCRIPT, false));
    EXPECT_FALSE(KeyExists(base + L"\\Resource"));
    EXPECT_TRUE(FAILED(registrar.ApplyResource(self, 4321, true)));
}

} // namespace
