// What the user has made of a control in the HTML copy, compared with the
// control's stored values. Only controls whose copy elements are attached
// (the fill step) are read; the others count as unchanged.
//
// UI thread: the elements belong to the embedded browser's thread.
#pragma once

#include "CDataWebCtrl.h"

// True when the copy differs from the stored values. nameEmpty: the item
// has no NAME, so a single SELECT showing its first option counts as
// untouched there.
bool CopyDiffers(const CDataWebCtrl& ctrl, bool nameEmpty);
// Stores the copy's state into ctrl's record; true when anything differed.
bool ReadCopyInto(CDataWebCtrl& ctrl, bool nameEmpty);
// Puts the stored values back into the copy's elements.
void RestoreCopy(const CDataWebCtrl& ctrl);
