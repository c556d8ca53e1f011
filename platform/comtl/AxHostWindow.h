#pragma once
#include <windows.h>

// The ActiveX host window class "AtlAxWin80": a window of this class creates
// the control named by its window text (a class id in braces or a ProgID)
// when it is created, keeps it over its client area and closes it when it is
// destroyed. COM must be initialised (OleInitialize) on the creating thread.
//
// WM_ATLGETHOST answers the host site's IUnknown, WM_ATLGETCONTROL the
// control's IUnknown (0 when there is none); neither adds a reference: the
// pointer is valid while the window lives, so keep it by QueryInterface.
inline constexpr wchar_t kAxHostWindowClass[] = L"AtlAxWin80";

// Registers the class in this module and the two messages; TRUE when both
// are available (also on repeated calls).
BOOL AxHostWindowInit() noexcept;
// The registered message numbers (0 before AxHostWindowInit).
UINT AxHostGetHostMessage() noexcept;
UINT AxHostGetControlMessage() noexcept;
