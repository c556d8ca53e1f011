// Control kinds: the TYPE field of a control and its stored "TYPE" value.
// Kind 2 is never given to a control; every switch on the kind skips it.
#pragma once

#include <cstdint>

enum WebCtrlKind : std::int32_t {
    D_WEB_CTRL_TEXT = 0,   // INPUT type=text
    D_WEB_CTRL_PSWD = 1,   // INPUT type=password
    D_WEB_CTRL_UNUSED = 2, // no value record
    D_WEB_CTRL_RADIO = 3,  // INPUT type=radio
    D_WEB_CTRL_CHECK = 4,  // INPUT type=checkbox
    D_WEB_CTRL_SELECT = 5, // SELECT
    D_WEB_CTRL_MULTI = 6,  // TEXTAREA
    D_WEB_CTRL_SUBMIT = 7, // INPUT type=submit
    D_WEB_CTRL_IMAGE = 8,  // INPUT type=image
};
