// Set by a handled click of a submit sink; the band's BeforeNavigate2 reads
// and clears it, so the navigation that click starts is not cancelled while
// the browser window is disabled. Browser UI thread only.
#pragma once

#include <cstdint>

extern std::int32_t g_bSubmitClicked;
