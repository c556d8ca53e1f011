// Escapes text for the HTML copy of a form. Each code unit is looked at once,
// so an "&" already in the text becomes "&amp;"; the apostrophe stays.
#pragma once

#include <windows.h>

#include <string>

// Always TRUE.
BOOL ReplaceStr(std::wstring& text);
