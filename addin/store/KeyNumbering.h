// The order of numbered keys (made by NumberedKeyPath of WebFormLayout.h).
#pragma once

#include <string>

// The number at the end of a key path's last component, or -1 without one.
int KeyNumber(const std::wstring& path);
// True when the two paths name the same key (the database ignores case).
bool SameKeyPath(const std::wstring& a, const std::wstring& b);
