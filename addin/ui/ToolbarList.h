// The machine-wide list of the browser's toolbars: the values of
// HKLM\Software\Microsoft\Internet Explorer\Toolbar, one per toolbar, named
// by its class id. The browser shows them in the order they are listed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

enum class ToolbarListResult {
    AlreadyListed, // our value was there: nothing changed
    PutFirst,      // our value is now first, the others follow as they were
    Failed,        // our value could not be written; the others are as they were
};

// Puts a value named bandName first in the list of key: every other value
// is taken out and written again after ours, with its type and data.
// otherCount: how many values the key held before.
ToolbarListResult PutBandFirst(HKEY key, const std::wstring& bandName, std::size_t& otherCount);
