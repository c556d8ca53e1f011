// The well-known objects of the process: the application (with the export
// store), the item tree view and the report view. A view sets its pointer at
// its first update and clears it when it goes, so a null pointer means the
// view is not there (yet or any more).
#pragma once

class CDataInfoView;
class CExportStore;
class CTvrExpItemView;
class CVantrelApp;

extern CTvrExpItemView* g_pTvrExpItemView;
extern CDataInfoView* g_pDataInfoView;

// The program's export store (the application's member).
CExportStore& TheExportStore();

// The caption of the program's own message boxes.
inline constexpr wchar_t kVantrelCaption[] = L"エクスポートユーティリティ";

// Sent by the tree to the report view: wParam the item type, lParam the item.
inline constexpr unsigned kReportItemMessage = 0x0400 + 100;
// Posted by the progress dialog to the main window: it may be deleted.
inline constexpr unsigned kReleaseProgressMessage = 0x0400 + 42;
