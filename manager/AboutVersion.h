// The texts of the About box, read from a module's version block: the file
// version and the legal notice of the block's first language. A piece that
// cannot be read (no version block, no translation table, no such string)
// is empty, never a leftover of an earlier call.
#pragma once

#include "Framework.h"

struct AboutVersionTexts {
    CString fileVersion;    // "FileVersion"
    CString legalCopyright; // "LegalCopyright"
};

// The version texts of the module file at path.
AboutVersionTexts ReadAboutVersionTexts(const wchar_t* modulePath);
// The version texts of this program.
AboutVersionTexts ReadProgramVersionTexts();
// The About box's version line: "Version " followed by the file version.
CString AboutVersionLine(const AboutVersionTexts& texts);
