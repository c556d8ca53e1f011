// What the add-in does to each completed page, in small, for the tests
// that drive it: a click sink on every submit input that asks the
// confirmation dialog before the form goes ("ConfirmSubmit" = "1" in the
// setup), and a late fill of the field "user" ("FillUser" = the text),
// written only after the event has dispatched messages for a while, as a
// fill that waits for the relay does.
#pragma once

#include <windows.h>

#include <exdisp.h>

#include <string>

namespace testband {

// The sinks' dialogs are owned by owner. Each sink lives as long as the
// page's element holds it.
void AttachSubmitSinks(IWebBrowser2* browser, HWND owner);
// Pumps messages for a second, then puts text into the field "user".
void FillLater(IWebBrowser2* browser, const std::wstring& text);

} // namespace testband
