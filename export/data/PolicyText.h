// The text of one "DEFINED_POLICY" value: a leading number in C notation,
// then the display name and the policy key, as in  2"Export","EXPORT".
#pragma once

#include "SystemListTables.h"

// Fills id, display name and policy key of row from the value's data, read
// only within its size in bytes (a terminator inside ends the text early).
// position is the value's place in the enumeration, the id of a text that
// does not start with a number.
void ParsePolicyText(const BYTE* data, DWORD size, int position, AuthPolicyRow& row);
