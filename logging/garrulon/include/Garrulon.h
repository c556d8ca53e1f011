/*
 * Garrulon: the session log client library (64-bit).
 *
 * A caller opens a named session, appends small binary records to it and
 * flushes them; every record travels as one fixed-size message to the
 * product's log mailslot. Records wait in memory between flushes; the buffer
 * keeps at most TVRLOG_MAX_RECORDS of them, dropping the oldest beyond that.
 * A flush that fails keeps every record and remembers the newest one, so that
 * a later clear or close resends the records up to it before discarding.
 *
 * Threads: one session must not be used from two threads at once; distinct
 * sessions may be used from different threads freely. A session pointer is
 * checked against the library's open sessions before it is used, so a closed
 * or foreign pointer is refused with TVRLOG_E_INVALID_ARG, never followed.
 */
#ifndef GARRULON_H
#define GARRULON_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The calling convention of every Garrulon export, fixed here for all callers. */
#define TVRLOG_CALL __cdecl

#ifdef GARRULON_BUILDING_DLL
#define TVRLOG_API __declspec(dllexport)
#else
#define TVRLOG_API __declspec(dllimport)
#endif

/* Opaque session; a null session is never valid. */
typedef struct TvrLogSession_* TVRLOG_HSESSION;

/* Result codes. */
#define TVRLOG_OK 0u
#define TVRLOG_E_SETUP 0x80040000u       /* the session cannot be set up */
#define TVRLOG_E_INVALID_ARG 0x80040001u /* null pointer, zero size, not an open session */
#define TVRLOG_E_UNREADABLE 0x80040002u  /* the caller's data cannot be read */
#define TVRLOG_E_NO_MEMORY 0x80040003u
#define TVRLOG_E_NOT_BUFFERED 0x80040004u /* the record cannot be buffered */
#define TVRLOG_E_MAILSLOT 0x80040005u     /* the mailslot cannot be opened or written */
#define TVRLOG_E_NOT_EMPTIED 0x80040007u  /* the buffer cannot be emptied */

/* Longest session name in characters, without the terminator. */
#define TVRLOG_MAX_NAME 20
/* Bytes of caller data a record keeps; the rest of a longer block is ignored. */
#define TVRLOG_RECORD_DATA 24
/* Most records a session buffers between flushes. */
#define TVRLOG_MAX_RECORDS 1001

/* Ordinal 1. Resends the records up to the one a failed flush remembered,
 * then empties the buffer; when that resend does not get through, the
 * remembered record and the older ones stay and TVRLOG_E_MAILSLOT is returned. */
TVRLOG_API DWORD TVRLOG_CALL TvrLog_ClearLogBuffer(TVRLOG_HSESSION session);
/* Ordinal 2. Like a clear (trying the mailslot up to four times), then frees
 * the session whatever the outcome: session is invalid afterwards. */
TVRLOG_API DWORD TVRLOG_CALL TvrLog_CloseLogSession(TVRLOG_HSESSION session);
/* Ordinal 3. Does nothing; returns TVRLOG_OK. */
TVRLOG_API DWORD TVRLOG_CALL TvrLog_EstablishConnection(void);
/* Ordinal 4. Sends every buffered record, oldest first. reserved is ignored. */
TVRLOG_API DWORD TVRLOG_CALL TvrLog_FlushLog(TVRLOG_HSESSION session, INT32 reserved);
/* Ordinal 5. name: UTF-16, at most TVRLOG_MAX_NAME characters; an empty or
 * longer one gives the session the name "Default_LogFile". *session is null
 * on failure. */
TVRLOG_API DWORD TVRLOG_CALL TvrLog_OpenLogSession(const wchar_t* name, TVRLOG_HSESSION* session);
/* Ordinal 6. Buffers one record holding the local time, the tick count and
 * the first TVRLOG_RECORD_DATA bytes of data (zero-padded). All size bytes
 * must be readable. */
TVRLOG_API DWORD TVRLOG_CALL TvrLog_SetLog(TVRLOG_HSESSION session, const void* data, DWORD size);

typedef DWORD(TVRLOG_CALL* TVRLOG_CLEARLOGBUFFER_FN)(TVRLOG_HSESSION);
typedef DWORD(TVRLOG_CALL* TVRLOG_CLOSELOGSESSION_FN)(TVRLOG_HSESSION);
typedef DWORD(TVRLOG_CALL* TVRLOG_ESTABLISHCONNECTION_FN)(void);
typedef DWORD(TVRLOG_CALL* TVRLOG_FLUSHLOG_FN)(TVRLOG_HSESSION, INT32);
typedef DWORD(TVRLOG_CALL* TVRLOG_OPENLOGSESSION_FN)(const wchar_t*, TVRLOG_HSESSION*);
typedef DWORD(TVRLOG_CALL* TVRLOG_SETLOG_FN)(TVRLOG_HSESSION, const void*, DWORD);

#ifdef __cplusplus
}
#endif

#endif /* GARRULON_H */
