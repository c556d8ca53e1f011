// The library's entry point and its six exports: argument checks around the
// process's one SessionTable. No exception leaves this file; one that
// escapes the internals counts as the operation's own failure code.
#include "Garrulon.h"

#include "MailslotEndpoint.h"
#include "SessionTable.h"
#include "SystemRecordClock.h"

namespace {

HMODULE g_module = nullptr;
torva::garrulon::SystemRecordClock g_clock;
torva::garrulon::MailslotEndpoint g_endpoint;
// Constructed before DllMain runs; sessions still open at unload are freed
// with it, unsent.
torva::garrulon::SessionTable g_sessions(g_endpoint, g_clock);

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

TVRLOG_API DWORD TVRLOG_CALL TvrLog_ClearLogBuffer(TVRLOG_HSESSION session) {
    try {
        auto* const open = g_sessions.Find(session);
        if (open == nullptr) return TVRLOG_E_INVALID_ARG;
        return open->ClearBuffer();
    } catch (...) {
        return TVRLOG_E_NOT_EMPTIED;
    }
}

TVRLOG_API DWORD TVRLOG_CALL TvrLog_CloseLogSession(TVRLOG_HSESSION session) {
    try {
        return g_sessions.Close(session);
    } catch (...) {
        return TVRLOG_E_NOT_EMPTIED;
    }
}

TVRLOG_API DWORD TVRLOG_CALL TvrLog_EstablishConnection(void) {
    return TVRLOG_OK;
}

TVRLOG_API DWORD TVRLOG_CALL TvrLog_FlushLog(TVRLOG_HSESSION session, INT32) {
    try {
        auto* const open = g_sessions.Find(session);
        if (open == nullptr) return TVRLOG_E_INVALID_ARG;
        return open->Flush();
    } catch (...) {
        return TVRLOG_E_MAILSLOT;
    }
}

TVRLOG_API DWORD TVRLOG_CALL TvrLog_OpenLogSession(const wchar_t* name, TVRLOG_HSESSION* session) {
    try {
        return g_sessions.Open(name, session);
    } catch (...) {
        return TVRLOG_E_SETUP;
    }
}

TVRLOG_API DWORD TVRLOG_CALL TvrLog_SetLog(TVRLOG_HSESSION session, const void* data, DWORD size) {
    try {
        auto* const open = g_sessions.Find(session);
        if (open == nullptr) return TVRLOG_E_INVALID_ARG;
        return open->Append(data, size);
    } catch (...) {
        return TVRLOG_E_NOT_BUFFERED;
    }
}
