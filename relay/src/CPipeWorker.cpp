#include "CPipeWorker.h"

#include "RelayLock.h"
#include "ZentripTrace.h"

namespace torva::relay {
namespace {

constexpr DWORD kReplyFetchWait = 30000;
constexpr int kMaxOpenFailures = 200;
constexpr DWORD kOpenFailurePause = 10;

} // namespace

unsigned __stdcall CPipeWorker::PipeGetDataProc(void* connection) {
    try {
        CPipeWorker(*static_cast<RelayConnection*>(connection)).Run();
    } catch (...) {
        // Nothing may leave a thread procedure; the program ends as after
        // any other end of the worker.
    }
    return 0;
}

bool CPipeWorker::AddinGone() const noexcept {
    return m_connection.addinProcess &&
           ::WaitForSingleObject(m_connection.addinProcess, 0) == WAIT_OBJECT_0;
}

void CPipeWorker::Run() {
    ZT_TRACE_SCOPE(L"PipeGetDataProc");
    while (ServeOne() == CycleEnd::Next) {
    }
}

bool CPipeWorker::OpenPipe() {
    CIERelayClient& client = *m_connection.client;
    for (int failures = 0; !client.OpenPipe();) {
        if (++failures > kMaxOpenFailures) return false;
        if (AddinGone()) return false;
        ::Sleep(kOpenFailurePause);
    }
    return true;
}

CPipeWorker::CycleEnd CPipeWorker::ServeOne() {
    CIERelayClient& client = *m_connection.client;
    CIERelayEvent& events = *m_connection.events;

    // A lock that cannot be opened is served without; only the end of the
    // add-in ends the wait for it.
    const RelayLock lock =
        m_connection.relayLock
            ? RelayLock::TakeOpen(m_connection.relayLock, INFINITE, m_connection.addinProcess)
            : RelayLock::Take(m_connection.relayLockName, INFINITE, m_connection.addinProcess);
    // A lock that was had was not given up for the add-in's end; that end is
    // seen by the next wait.
    if (!lock.IsHeld() && AddinGone()) return CycleEnd::Leave;
    ::ResetEvent(events.GetDataFinished());

    // Every handle the exchange opens by name is closed only after the step
    // that answers it, off the path between the two processes.
    UniqueHandle seen;
    if (!IERelay_Common::WaitEvent(events.WriteDataFinishedName().c_str(), INFINITE,
                                   m_connection.addinProcess, &seen)) {
        return AddinGone() ? CycleEnd::Leave : CycleEnd::Next;
    }
    if (!OpenPipe()) return CycleEnd::Leave;
    seen.reset();

    if (!client.PipeRead()) {
        // Never answer an older request again, nor leave the add-in waiting.
        m_connection.dispatcher->SetErrorData(client);
    } else if (m_connection.dispatcher->SetOutputData(client) == CRequestDispatcher::kEnd) {
        ::InterlockedIncrement(&m_connection.workerFinished);
        return CycleEnd::Leave;
    }
    ::SetEvent(events.GetDataFinished());

    if (IERelay_Common::WaitEvent(events.ReadDataReadyName().c_str(), kReplyFetchWait,
                                  m_connection.addinProcess, &seen)) {
        // A reply that cannot be written is lost; the add-in's read fails and
        // it reports the request as failed.
        (void)client.PipeWrite();
    }
    seen.reset();
    client.ClosePipe();
    return CycleEnd::Next;
}

} // namespace torva::relay
