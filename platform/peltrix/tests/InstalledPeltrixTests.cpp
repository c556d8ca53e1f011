// The Peltrix.dll that the install folder holds (in the 64-bit build, which
// cannot load it, the 64-bit build of the same library beside the tests),
// loaded by name as the relay and the manager load it: values once taken as
// answers given in advance stay without effect, and only the dialog answers.
#include "AuthenticationRun.h"
#include "InstallFolder.h"
#include "Peltrix.h"
#include "ProgramFolder.h"
#include "TestPin.h"
#include "AutoAnswer.h"
#include "Win32Handles.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using AuthenticateUser = DWORD(TVRAUTH_CALL*)(eAuthCase);

constexpr wchar_t kProductKey[] = L"Software\\Kobel\\Peltrix";

std::wstring LibraryPath() {
#ifdef _WIN64
    return torva::ProgramFolder() + L"Peltrix.dll";
#else
    const std::wstring folder = torva::InstallFolder();
    return folder.empty() ? folder : folder + L"Peltrix.dll";
#endif
}

// Writes a DWORD value under the product's key and puts back what was there.
class StoredValue {
public:
    StoredValue(const std::wstring& name, DWORD value) : m_name(name) {
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, m_key.put(),
                              nullptr) != ERROR_SUCCESS) {
            return;
        }
        DWORD type = 0, size = sizeof m_previous;
        m_hadValue =
            ::RegQueryValueExW(m_key.get(), name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(&m_previous), &size) == ERROR_SUCCESS &&
            type == REG_DWORD;
        m_written =
            ::RegSetValueExW(m_key.get(), name.c_str(), 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
    }
    ~StoredValue() {
        if (!m_written) return;
        if (m_hadValue) {
            ::RegSetValueExW(m_key.get(), m_name.c_str(), 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&m_previous), sizeof m_previous);
        } else {
            ::RegDeleteValueW(m_key.get(), m_name.c_str());
        }
    }
    bool Written() const { return m_written; }

private:
    std::wstring m_name;
    torva::UniqueRegKey m_key;
    bool m_written = false;
    bool m_hadValue = false;
    DWORD m_previous = 0;
};

} // namespace

TEST(InstalledPeltrixTest, StoredAutoAnswerIsIgnoredAndTheDialogAnswers) {
    const std::wstring path = LibraryPath();
    ASSERT_FALSE(path.empty()) << "no install folder in this prefix";
    torva::UniqueModule library(::LoadLibraryW(path.c_str()));
    ASSERT_TRUE(library) << "cannot load " << std::string(path.begin(), path.end());
    const auto authenticate = reinterpret_cast<AuthenticateUser>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "TvrAuth_AuthenticateUser")));
    ASSERT_NE(nullptr, authenticate);
    ASSERT_TRUE(peltrix::test::EnsureTestPin()) << "another PIN than the test PIN is set";

    for (const eAuthCase authCase : {AUTHCASE_INPUT_PASSWORD, AUTHCASE_EXPORT}) {
        const StoredValue allowInAdvance(L"AutoAnswer" + std::to_wstring(authCase), 1);
        ASSERT_TRUE(allowInAdvance.Written());
        {
            AuthenticationRun run([authenticate, authCase] { return authenticate(authCase); });
            HWND dialog = run.WaitForDialog();
            ASSERT_NE(nullptr, dialog) << "case " << authCase << " answered without the user";
            AuthenticationRun::Press(dialog, IDCANCEL);
            DWORD result = 99;
            ASSERT_TRUE(run.WaitForResult(result));
            EXPECT_EQ(TVRAUTH_E_CANCELLED, result) << "case " << authCase;
        }
        AuthenticationRun run([authenticate, authCase] { return authenticate(authCase); });
        HWND dialog = run.WaitForDialog();
        ASSERT_NE(nullptr, dialog);
        AuthenticationRun::TypePin(dialog, peltrix::test::kTestPin);
        AuthenticationRun::Press(dialog, IDOK);
        DWORD result = 99;
        ASSERT_TRUE(run.WaitForResult(result));
        EXPECT_EQ(TVRAUTH_OK, result) << "case " << authCase;
    }
}
