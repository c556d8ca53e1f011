// Expansion of environment-variable references ("%NAME%") in a path read
// from the registry, such as ProfilesDirectory "%SystemDrive%\Users".
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// The value of a variable; false when it is not set.
using EnvLookupFn = bool (*)(const std::wstring& name, std::wstring& value, void* context);

// Replaces every occurrence of the first "%NAME%" by NAME's value (an unset
// variable by nothing) and starts over on the result, until no pair of
// percent signs is left. Bounded: fails when the result would exceed
// maxChars characters or the references still have not resolved after a
// fixed number of rounds (a variable that names itself, directly or not).
// On failure out is unchanged.
[[nodiscard]] bool ExpandEnvReferences(const std::wstring& text, std::size_t maxChars,
                                       EnvLookupFn lookup, void* context, std::wstring& out);

// In place in a buffer of capacity characters (terminator included), with
// the process's environment. On failure the buffer is left as it was.
[[nodiscard]] bool EnvToPath(wchar_t* path, std::size_t capacity);
