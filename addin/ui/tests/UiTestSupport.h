// Shared pieces of the add-in window tests.
#pragma once

#include "ProgramFolder.h"
#include "Win32Handles.h"

#include <windows.h>

#include <string>
#include <vector>
#include <vector>

// Points the store at the Zentrip.exe beside the test program; call before
// the first store of the program is made.
void UseRelayBesideTestProgram();
// A visible top-level window made active on the calling thread, the owner a
// modal dialog gets from GetActiveWindow().
torva::UniqueWindow MakeActiveOwner(int x, int y, int width, int height);
// A control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND control);
// Where a window of the size of own lands when centred on reference.
POINT CentredOn(const RECT& reference, const RECT& own);
// Width and height of text measured with the window's own font.
SIZE MeasureInWindowFont(HWND window, const std::wstring& text);
// The labels of a dialog (statics, buttons, check boxes, group captions)
// whose text is cut: wider than the room the control gives it (a check
// box's text starts after its box; a multi-line control has as many lines
// as its height holds). Each entry names the control and the two widths.
// skipIds: controls that show data rather than a label.
std::vector<std::wstring> ClippedLabels(HWND dialog, const std::vector<int>& skipIds = {});
// Visible controls of dialog that overlap each other, by id ("206/234"). A
// control inside a group box's frame, below its caption, does not count as
// overlapping the group box. skipIds are left out.
std::vector<std::wstring> OverlappingControls(HWND dialog, const std::vector<int>& skipIds = {});
