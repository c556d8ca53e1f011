// What both dialogs show per database: its check box only while the service
// calls it damaged, and the status text from the string cache.
#pragma once

#include <windows.h>

namespace ostravo {

// Any state but 0 (intact) is damaged, including the client's own 3 for "no
// answer"; the box is unchecked either way.
void ShowRowState(HWND dialog, int checkId, int statusId, DWORD state);

} // namespace ostravo
