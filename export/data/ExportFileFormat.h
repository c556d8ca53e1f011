// The export file: ANSI text in the system code page, CR LF line ends, every
// field in double quotes, fields separated by commas. The first line is the
// version line; then one or more records per exported item, the first field
// of each being the record kind.
//
// Text fields hold the store's escaped form (a line break as backslash,
// backslash, "n"; a double quote as backslash + double quote). The format has
// no escape for a backslash of its own: a text ending in "\" -- or in a
// code-page-932 character whose trail byte is 0x5C, such as "ソ" (83 5C) --
// is written as it is, and its closing quote then reads like an escaped one.
#pragma once

constexpr int kExportFormatVersion = 5;
constexpr char kVersionLinePattern[] = "\"Version\",\"%d\",\r\n";
constexpr char kLineEnd[] = "\r\n";

enum RecordKind {
    kRecordWebFormControl = 1,
    kRecordPolicy = 2,
    kRecordWebFormOptions = 3,
    kRecordAuthRule = 4,
    kRecordAuthDevice = 5,
    kRecordApplicationControl = 6,
    kRecordApplicationOptions = 7,
    kRecordTouchAuth = 8,
};

// Item types of the exported tree items that select a writer.
constexpr int kItemPolicyFirst = 33;
constexpr int kItemPolicyLast = 41;
constexpr int kItemTpm = 81;
constexpr int kItemFingerprint = 82;
constexpr int kItemFelica = 83;
constexpr int kItemUsb = 84;
constexpr int kItemSd = 85;
