#include "CRelayProgram.h"

#include <process.h>

#include <cstdio>
#include <memory>
#include <new>

#include "CPipeWorker.h"
#include "RelayLock.h"
#include "Win32Handles.h"
#include "ZentripTrace.h"

namespace torva::relay {
namespace {

UniqueHandle StartThread(unsigned(__stdcall* procedure)(void*), void* argument) noexcept {
    return UniqueHandle(
        reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, procedure, argument, 0, nullptr)));
}

} // namespace

int CRelayProgram::Main(int argc, wchar_t** argv) noexcept {
    ZT_TRACE_SCOPE(L"wWinMain");
    if (argc < 2 || !argv) ZT_RETURN_INT(0);
    try {
        wchar_t name[64];
        std::swprintf(name, 64, L"%ls_%lu", L"Global\\Zentrip_Mutex", ::GetCurrentProcessId());
        const UniqueHandle relayLock = RelayLock::Create(name);
        ZT_RETURN_INT(Start(argv[argc - 1], name));
    } catch (...) {
        ZT_RETURN_INT(0);
    }
}

int CRelayProgram::Start(const std::wstring& pipeName, const std::wstring& relayLockName) {
    ZT_TRACE_SCOPE(L"Start");
    CIERelayEvent events;
    if (!events.CreateClientEvents(pipeName)) ZT_RETURN_INT(0); // the add-in could not hear us
    std::unique_ptr<CIERelayClient> client(new (std::nothrow) CIERelayClient(pipeName));
    if (!client) ZT_RETURN_INT(0);
    CRequestDispatcher dispatcher(m_libraries);

    // The add-in's end is watched by the worker's own waits, not by a thread
    // of its own: every wait without limit includes the add-in's process.
    const DWORD addinId = client->GetServerPid();
    UniqueHandle addin(::OpenProcess(SYNCHRONIZE, FALSE, addinId));
    if (!addin && addinId != 0 && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        ZT_RETURN_INT(0); // the add-in is gone already; no request will ever come
    }

    const UniqueHandle relayLock(::OpenEventW(EVENT_ALL_ACCESS, FALSE, relayLockName.c_str()));
    RelayConnection connection;
    connection.client = client.get();
    connection.events = &events;
    connection.dispatcher = &dispatcher;
    connection.relayLockName = relayLockName;
    connection.relayLock = relayLock.get();
    connection.addinProcess = addin.get();

    UniqueHandle worker = StartThread(&CPipeWorker::PipeGetDataProc, &connection);
    if (!worker) ZT_RETURN_INT(0);

    // The pipe is not opened here but by the worker once it has seen
    // SERVER_WriteDataFinished, in the first cycle as in every other. Opened
    // early, it would let the add-in's first connect succeed at once, and the
    // add-in's reset of that event right after the connect could come before
    // the worker has begun to wait for it: the first request would be missed.
    if (events.CreateReadyEvent()) ::SetEvent(events.Ready());
    ::SetEvent(events.GetDataStart());

    ::WaitForSingleObject(worker.get(), INFINITE);
    ZT_RETURN_INT(0);
}

} // namespace torva::relay
