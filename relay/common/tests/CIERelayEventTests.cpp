#include <gtest/gtest.h>

#include <aclapi.h>

#include "CIERelayEvent.h"
#include "EventWait.h"
#include "TestNames.h"

namespace {

const std::wstring kPipe = L"\\\\.\\pipe\\IERelayPipe123@456";

} // namespace

TEST(RelayEvents, NamesEndInThePipeNameWithUnderscores) {
    CIERelayEvent events;
    events.SetEventNames(kPipe);
    const std::wstring x = L"__._pipe_IERelayPipe123@456";
    EXPECT_EQ(events.WriteDataFinishedName(), L"Global\\SERVER_WriteDataFinished" + x);
    EXPECT_EQ(events.ReadDataReadyName(), L"Global\\SERVER_ReadDataReady" + x);
    EXPECT_EQ(events.ReadyName(), L"Global\\Zentrip_Ready" + x);
    EXPECT_EQ(events.GetDataFinishedName(), L"Global\\Zentrip_GetDataFinished_ind" + x);
    EXPECT_EQ(events.GetDataStartName(), L"Global\\Zentrip_GetDataStart_cnf" + x);
    EXPECT_EQ(events.SetDataStartName(), L"Global\\Zentrip_SetDataStart_cnf" + x);
}

TEST(RelayEvents, EachSideCreatesItsOwnEventsManualResetAndNotSignalled) {
    const std::wstring pipe = L"\\\\.\\pipe\\IERelayPipe" + UniqueTestName(L"T");
    CIERelayEvent addin, relay;
    ASSERT_TRUE(addin.CreateServerEvents(pipe));
    EXPECT_TRUE(addin.ServerEventsCreated());
    EXPECT_EQ(addin.GetDataFinished(), nullptr);
    ASSERT_TRUE(relay.CreateClientEvents(pipe));
    ASSERT_TRUE(relay.CreateReadyEvent());
    EXPECT_FALSE(relay.ServerEventsCreated());
    EXPECT_EQ(relay.WriteDataFinished(), nullptr);

    for (HANDLE event : {addin.WriteDataFinished(), addin.ReadDataReady(), relay.Ready(),
                         relay.GetDataFinished(), relay.GetDataStart(), relay.SetDataStart()}) {
        EXPECT_EQ(::WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        ::SetEvent(event);
        EXPECT_EQ(::WaitForSingleObject(event, 0), WAIT_OBJECT_0);
        EXPECT_EQ(::WaitForSingleObject(event, 0), WAIT_OBJECT_0); // stays set
    }
    // The other side finds them by name.
    EXPECT_TRUE(torva::relay::WaitNamedEvent(addin.GetDataFinishedName().c_str(), 1000));
    EXPECT_TRUE(torva::relay::WaitNamedEvent(relay.WriteDataFinishedName().c_str(), 1000));
}

TEST(RelayEvents, HandshakeEventsCarryANullDacl) {
    const std::wstring pipe = L"\\\\.\\pipe\\IERelayPipe" + UniqueTestName(L"T");
    CIERelayEvent addin;
    ASSERT_TRUE(addin.CreateServerEvents(pipe));
    PACL dacl = reinterpret_cast<PACL>(1);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(::GetSecurityInfo(addin.WriteDataFinished(), SE_KERNEL_OBJECT,
                                DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                                &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(dacl, nullptr);
    ::LocalFree(descriptor);
}
