// The messages between the export worker, the progress dialog and the main
// frame, and the message boxes of the export.
#pragma once

#include <windows.h>

namespace vantrel {

// Worker -> progress dialog. wParam: the state; lParam: 0, or why nothing
// was exported (kNoCheckedItems), or with kExportDone the number of
// passwords that could not be read and were written empty.
constexpr UINT kExportStateMessage = WM_USER + 41;
constexpr WPARAM kExportFailed = 1;
constexpr WPARAM kExportStarted = 2;
constexpr WPARAM kExportDone = 3;
constexpr LPARAM kNoCheckedItems = 2;

// Progress dialog -> main frame: the dialog has gone and may be deleted.
constexpr UINT kProgressDialogClosed = WM_USER + 42;

// The program's name, the caption of the dialogs' message boxes.
inline constexpr wchar_t kUtilityCaption[] = L"エクスポートユーティリティ";

// A message box with the program's caption.
int ShowUtilityMessage(HWND owner, const wchar_t* text, UINT type);

} // namespace vantrel
