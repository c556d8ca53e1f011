// Small registry and file-system helpers of the add-in's registration.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Traces "l = %d" with a Win32 result and hands it back: every registry
// call of the registration passes through it, non-zero meaning failure.
LSTATUS PutErrorMessage(LSTATUS code);

// Enables or disables one privilege of the process token. TRUE when the
// token could be opened, the name looked up and the adjustment made (a
// partial grant is not detected).
BOOL Privilege(const wchar_t* name, BOOL enable);

// The sub-folders of pattern ("<folder>\*"), as "<folder>\<name>", leaving
// out ".", ".." and reparse points. TRUE when the list is not empty.
BOOL GetDirectory(const std::wstring& pattern, std::vector<std::wstring>& folders);

// "ITBar7Layout" when the browser's "Version Vector" value "IE" reads as 7
// or more, else "ITBarLayout" (every failure included).
std::wstring GetITBarLayoutKey();
std::wstring GetITBarLayoutKeyAt(HKEY root, const wchar_t* versionVectorKey);

// A text value of at most maxChars characters, its terminator supplied when
// the stored text has none. Empty on any failure, a value too long
// included, or a type other than REG_SZ / REG_EXPAND_SZ.
std::wstring ReadTextValue(HKEY key, const wchar_t* name, std::size_t maxChars);

// Where the user profiles are, from the ProfileList key: the expanded
// "ProfilesDirectory" and "DefaultUserProfile" (MAX_PATH characters each).
struct ProfileSetup {
    std::wstring profilesDirectory; // empty: the profile walk is skipped
    std::wstring defaultUserProfile;
};
// False when the key cannot be opened or ProfilesDirectory is missing,
// unreadable or does not expand within MAX_PATH characters.
bool ReadProfileSetup(HKEY root, const wchar_t* profileListKey, ProfileSetup& setup);
