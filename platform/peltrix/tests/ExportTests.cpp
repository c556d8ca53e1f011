// The exported functions as a caller sees them: through the import library
// and by name. Only calls that fail their argument checks are made here, so
// the product's own settings key is never read or written.
#include "Peltrix.h"

#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(ExportTest, SixFunctionsAreExportedByUndecoratedName) {
    torva::UniqueModule module(::LoadLibraryW(L"Peltrix.dll"));
    ASSERT_TRUE(module);
    for (const char* name :
         {"TvrAuth_AuthenticateUser", "TvrAuth_OpenSecretSession", "TvrAuth_GetAuthRule",
          "TvrAuth_GetAuthSecret", "TvrAuth_GetPINCacheTime", "TvrAuth_CloseSecretSession"}) {
        EXPECT_NE(nullptr, reinterpret_cast<void*>(::GetProcAddress(module.get(), name))) << name;
    }
}

TEST(ExportTest, NullPointersAreInvalidArguments) {
    BYTE buffer[4];
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, TvrAuth_OpenSecretSession(nullptr));
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, TvrAuth_GetAuthRule(nullptr, buffer, nullptr));
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, TvrAuth_GetAuthSecret(nullptr, 1, 1, buffer, nullptr));
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, TvrAuth_GetPINCacheTime(nullptr, nullptr));
}

TEST(ExportTest, UnknownHandlesAreInvalidHandles) {
    int onStack = 0;
    const TVRAUTH_HSESSION forged[] = {
        nullptr,
        reinterpret_cast<TVRAUTH_HSESSION>(&onStack),
        reinterpret_cast<TVRAUTH_HSESSION>(static_cast<std::uintptr_t>(0x1A5)),
        reinterpret_cast<TVRAUTH_HSESSION>(~std::uintptr_t{0}),
    };
    for (TVRAUTH_HSESSION session : forged) {
        DWORD size = 0;
        DWORD value = 0;
        EXPECT_EQ(TVRAUTH_E_INVALID_HANDLE, TvrAuth_GetAuthRule(session, nullptr, &size));
        EXPECT_EQ(TVRAUTH_E_INVALID_HANDLE, TvrAuth_GetAuthSecret(session, 1, 1, nullptr, &size));
        EXPECT_EQ(TVRAUTH_E_INVALID_HANDLE, TvrAuth_GetPINCacheTime(session, &value));
        EXPECT_EQ(TVRAUTH_E_INVALID_HANDLE, TvrAuth_CloseSecretSession(session));
    }
}
