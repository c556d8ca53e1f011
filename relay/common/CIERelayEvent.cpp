#include "CIERelayEvent.h"

#include "NullDaclSecurity.h"

namespace {

std::wstring NameSuffix(const std::wstring& pipeName) {
    std::wstring suffix = pipeName;
    for (wchar_t& c : suffix) {
        if (c == L'\\') c = L'_';
    }
    return suffix;
}

} // namespace

CIERelayEvent::CIERelayEvent() : m_security(torva::relay::NullDaclAttributes()) {}

CIERelayEvent::~CIERelayEvent() = default;

void CIERelayEvent::SetEventNames(const std::wstring& pipeName) {
    const std::wstring x = NameSuffix(pipeName);
    m_writeDataFinishedName = L"Global\\SERVER_WriteDataFinished" + x;
    m_readDataReadyName = L"Global\\SERVER_ReadDataReady" + x;
    m_readyName = L"Global\\Zentrip_Ready" + x;
    m_getDataFinishedName = L"Global\\Zentrip_GetDataFinished_ind" + x;
    m_getDataStartName = L"Global\\Zentrip_GetDataStart_cnf" + x;
    m_setDataStartName = L"Global\\Zentrip_SetDataStart_cnf" + x;
}

BOOL CIERelayEvent::CreateServerEvents(const std::wstring& pipeName) {
    SetEventNames(pipeName);
    m_writeDataFinished.reset(
        ::CreateEventW(m_security, TRUE, FALSE, m_writeDataFinishedName.c_str()));
    m_readDataReady.reset(::CreateEventW(m_security, TRUE, FALSE, m_readDataReadyName.c_str()));
    if (!m_writeDataFinished || !m_readDataReady) return FALSE;
    m_serverEventsCreated = 1;
    return TRUE;
}

BOOL CIERelayEvent::CreateClientEvents(const std::wstring& pipeName) {
    SetEventNames(pipeName);
    m_getDataFinished.reset(::CreateEventW(m_security, TRUE, FALSE, m_getDataFinishedName.c_str()));
    m_getDataStart.reset(::CreateEventW(m_security, TRUE, FALSE, m_getDataStartName.c_str()));
    m_setDataStart.reset(::CreateEventW(m_security, TRUE, FALSE, m_setDataStartName.c_str()));
    return m_getDataFinished && m_getDataStart && m_setDataStart ? TRUE : FALSE;
}

BOOL CIERelayEvent::CreateReadyEvent() {
    m_ready.reset(::CreateEventW(m_security, TRUE, FALSE, m_readyName.c_str()));
    return m_ready ? TRUE : FALSE;
}
