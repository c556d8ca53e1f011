// Validation that runs inside DoDataExchange after the matching DDX row.
// When filling the controls the limit is given to the edit box; when
// reading them a longer text (set by a program, which the limit does not
// stop) is refused: the user is told, the focus goes to the control and the
// exchange fails.
#pragma once

#include "CDataExchange.h"
#include "FxString.h"

// The text of the last prepared control may hold at most maxChars characters.
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
