// The file version and legal notice the About box shows, from a program
// file's version resource.
#pragma once

#include <string>

namespace vantrel {

struct VersionTexts {
    std::wstring fileVersion;
    std::wstring legalCopyright;
};

// False when the file has no version resource, no translation entry or no
// "FileVersion" text; the About box then shows its texts unchanged.
bool ReadVersionTexts(const std::wstring& path, VersionTexts& texts);

} // namespace vantrel
