/*
 * Peltrix: the authentication library.
 *
 * TvrAuth_AuthenticateUser asks the user for the PIN in a modal dialog and
 * answers 0 when the PIN is right. The secret session calls serve the
 * authentication rule, the device secrets and the PIN cache time.
 */
#ifndef PELTRIX_H
#define PELTRIX_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TVRAUTH_CALL __cdecl

#ifdef PELTRIX_BUILD
#define TVRAUTH_API __declspec(dllexport)
#else
#define TVRAUTH_API __declspec(dllimport)
#endif

/* Why the user is asked to authenticate. */
typedef enum eAuthCase {
    AUTHCASE_EXPORT = 1,         /* before an export */
    AUTHCASE_REGIST_WEBFORM = 3, /* before a web-form registration is saved */
    AUTHCASE_INPUT_PASSWORD = 4, /* before a stored password is filled in */
    AUTHCASE_START_MANAGER = 5   /* when the web-form data manager starts */
} eAuthCase;

/* Device kinds of TvrAuth_GetAuthSecret. */
#define TVRAUTH_DEVICE_FINGERPRINT 1
#define TVRAUTH_DEVICE_FELICA 2
#define TVRAUTH_DEVICE_USB 3
#define TVRAUTH_DEVICE_SD 4

#define TVRAUTH_OK 0
#define TVRAUTH_E_INVALID_ARG 1
#define TVRAUTH_E_WRONG_PIN 2
#define TVRAUTH_E_CANCELLED 3
#define TVRAUTH_E_NO_PIN 4    /* no PIN has been set */
#define TVRAUTH_E_DENIED 5    /* reserved: refused in advance; never returned now */
#define TVRAUTH_E_NOT_FOUND 6 /* no such secret entry */
#define TVRAUTH_E_MORE_DATA 7 /* buffer too small; the needed size is returned */
#define TVRAUTH_E_INVALID_HANDLE 8
#define TVRAUTH_E_STORAGE 9
#define TVRAUTH_E_INTERNAL 10

typedef struct TvrAuthSession_* TVRAUTH_HSESSION;

/* Blocks the calling thread in a modal dialog until the user answers.
   0 for the right PIN; TVRAUTH_E_WRONG_PIN after three wrong ones;
   TVRAUTH_E_CANCELLED; TVRAUTH_E_NO_PIN (no dialog) when no PIN is set.
   Nothing answers in advance: every 0 comes from the PIN typed into the
   dialog. */
TVRAUTH_API DWORD TVRAUTH_CALL TvrAuth_AuthenticateUser(eAuthCase authCase);

/* The session serves what was stored when it was opened. Closed or unknown
   sessions: TVRAUTH_E_INVALID_HANDLE. Any thread may use a session. */
TVRAUTH_API DWORD TVRAUTH_CALL TvrAuth_OpenSecretSession(TVRAUTH_HSESSION* session);
/* With a null buffer: 0 and the size. Then the rule bytes. A buffer smaller
   than the data: TVRAUTH_E_MORE_DATA and the needed size, nothing written.
   No rule stored: 0 and size 0. */
TVRAUTH_API DWORD TVRAUTH_CALL TvrAuth_GetAuthRule(TVRAUTH_HSESSION session, BYTE* buffer,
                                                   DWORD* size);
/* deviceKind 1 to 4, index from 1. With a null buffer: 0 and the size.
   TVRAUTH_E_NOT_FOUND when there is no such entry. */
TVRAUTH_API DWORD TVRAUTH_CALL TvrAuth_GetAuthSecret(TVRAUTH_HSESSION session, DWORD deviceKind,
                                                     DWORD index, BYTE* buffer, DWORD* size);
/* TVRAUTH_E_NOT_FOUND when no PIN cache time is stored. */
TVRAUTH_API DWORD TVRAUTH_CALL TvrAuth_GetPINCacheTime(TVRAUTH_HSESSION session, DWORD* value);
TVRAUTH_API DWORD TVRAUTH_CALL TvrAuth_CloseSecretSession(TVRAUTH_HSESSION session);

#ifdef __cplusplus
}
#endif

#endif /* PELTRIX_H */
