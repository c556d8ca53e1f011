// Names of numbered keys ("%s\\%s%03d": PAGE001 ... PAGE999, PAGE1000) and
// their order.
#pragma once

#include <string>

std::wstring NumberedKeyPath(const std::wstring& parent, const wchar_t* stem, int number);
// The number at the end of a key path's last component, or -1 without one.
int KeyNumber(const std::wstring& path);
// True when the two paths name the same key (the database ignores case).
bool SameKeyPath(const std::wstring& a, const std::wstring& b);
