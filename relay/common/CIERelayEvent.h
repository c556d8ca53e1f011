// The named handshake events of one relay channel. Their names end in the
// pipe name (backslashes turned into underscores), so two channels never
// share one. The add-in creates the two SERVER_ events, the relay the other
// four; each side opens the other's by name when it waits (see
// IERelay_Common::WaitEvent). All are manual-reset, created not signalled,
// with a null DACL.
#pragma once

#include <windows.h>

#include <string>

#include "Win32Handles.h"

class CIERelayEvent {
public:
    CIERelayEvent();
    virtual ~CIERelayEvent();
    CIERelayEvent(const CIERelayEvent&) = delete;
    CIERelayEvent& operator=(const CIERelayEvent&) = delete;

    void SetEventNames(const std::wstring& pipeName);
    // Add-in: SERVER_WriteDataFinished and SERVER_ReadDataReady.
    [[nodiscard]] BOOL CreateServerEvents(const std::wstring& pipeName);
    // Relay: GetDataFinished_ind, GetDataStart_cnf and SetDataStart_cnf.
    [[nodiscard]] BOOL CreateClientEvents(const std::wstring& pipeName);
    // Relay: Ready, set once the relay serves the pipe.
    [[nodiscard]] BOOL CreateReadyEvent();

    bool ServerEventsCreated() const noexcept { return m_serverEventsCreated != 0; }

    HANDLE WriteDataFinished() const noexcept { return m_writeDataFinished.get(); }
    HANDLE ReadDataReady() const noexcept { return m_readDataReady.get(); }
    HANDLE Ready() const noexcept { return m_ready.get(); }
    HANDLE GetDataFinished() const noexcept { return m_getDataFinished.get(); }
    HANDLE GetDataStart() const noexcept { return m_getDataStart.get(); }
    HANDLE SetDataStart() const noexcept { return m_setDataStart.get(); }

    const std::wstring& WriteDataFinishedName() const noexcept { return m_writeDataFinishedName; }
    const std::wstring& ReadDataReadyName() const noexcept { return m_readDataReadyName; }
    const std::wstring& ReadyName() const noexcept { return m_readyName; }
    const std::wstring& GetDataFinishedName() const noexcept { return m_getDataFinishedName; }
    const std::wstring& GetDataStartName() const noexcept { return m_getDataStartName; }
    const std::wstring& SetDataStartName() const noexcept { return m_setDataStartName; }

private:
    torva::UniqueHandle m_writeDataFinished;
    std::wstring m_writeDataFinishedName;
    torva::UniqueHandle m_readDataReady;
    std::wstring m_readDataReadyName;
    torva::UniqueHandle m_ready;
    std::wstring m_readyName;
    torva::UniqueHandle m_getDataFinished;
    std::wstring m_getDataFinishedName;
    torva::UniqueHandle m_getDataStart;
    torva::UniqueHandle m_setDataStart;
    std::wstring m_getDataStartName;
    std::wstring m_setDataStartName;
    int m_serverEventsCreated = 0;
    SECURITY_ATTRIBUTES* m_security = nullptr;
};
