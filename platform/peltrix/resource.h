// Resource identifiers of Peltrix.rc. Tests include this to find the
// dialog's controls as a user would see them.
#pragma once

#define IDD_PIN 100

#define IDC_REASON 1001
#define IDC_PIN_LABEL 1002
#define IDC_PIN 1003
#define IDC_MESSAGE 1004

// The reason shown for case n is IDS_REASON_BASE + n for the cases that have
// their own text (1, 3, 4, 5); every other case shows IDS_REASON_GENERAL.
#define IDS_REASON_BASE 200
#define IDS_REASON_GENERAL 200
#define IDS_REASON_EXPORT 201
#define IDS_REASON_WEBFORM 203
#define IDS_REASON_PASSWORD 204
#define IDS_REASON_MANAGER 205
#define IDS_WRONG_PIN 210
