// The fixture's modal dialog with a check box, as the add-in's confirmation
// after a submit: "はい(&Y)", "いいえ(&N)" and check box 241. What the user
// answered is appended to "Confirm" ("yes ticked", "no unticked", ...);
// a dialog nobody answers ends itself after ten seconds ("timeout") so a
// script that cannot reach it fails instead of hanging.
#pragma once

#include <windows.h>

namespace testband {

void RunConfirmDialog(HWND owner);

} // namespace testband
