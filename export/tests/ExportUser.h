// A user at the export's windows in tests: answers message boxes, drops
// files and keeps the test thread's windows alive while waiting.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "ItemSections.h"

namespace export_user {

struct Box {
    bool found = false;
    std::wstring text;
};

// Waits for a visible message box of this process with caption (any
// caption when empty; of thread
// when not 0), reads its text and presses button (IDOK, IDCANCEL, IDYES,
// IDNO). Runs on a thread other than the box's.
Box Answer(const std::wstring& caption, int button, DWORD thread = 0, DWORD timeoutMs = 10000);
// The visible message box with caption, or null (no waiting).
HWND FindBox(const std::wstring& caption, DWORD thread = 0);

// Presses a button of dialog by a posted click, so that the caller is not
// held by a message box the click opens.
void Click(HWND dialog, int id);

// Pumps the calling thread's messages until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

std::wstring TempPath(const wchar_t* name);
std::string ReadAll(const std::wstring& path);
bool Exists(const std::wstring& path);

// Every exportable item of the store as the tree would list them ticked, in
// tree order, the page with URL skipUrl left out.
std::vector<vantrel::CheckedItem> EverythingChecked(CExportStore& store,
                                                    const std::wstring& skipUrl);

} // namespace export_user
