// What Zentrip's worker needs for one channel. It lives on the stack of
// CRelayProgram::Start until the worker has ended.
#pragma once

#include <windows.h>

#include <string>

#include "CIERelayClient.h"
#include "CIERelayEvent.h"
#include "CRequestDispatcher.h"

namespace torva::relay {

struct RelayConnection {
    CIERelayClient* client = nullptr; // the worker's alone once Ready is set
    CIERelayEvent* events = nullptr;
    CRequestDispatcher* dispatcher = nullptr;
    std::wstring relayLockName;
    // The relay lock, opened by its name once for the worker's life, so that
    // a cycle takes it without opening and closing it again; null when it
    // could not be opened (each cycle then tries the name).
    HANDLE relayLock = nullptr;
    // The add-in process (SYNCHRONIZE access), or null when it could not be
    // opened. Every unbounded wait of the worker includes it, so that the
    // worker leaves by itself when the add-in is gone and is never killed
    // while it may hold a lock or the heap.
    HANDLE addinProcess = nullptr;
    // Incremented (interlocked) by the worker when it leaves through TYPE_END.
    volatile LONG workerFinished = 0;
};

} // namespace torva::relay
