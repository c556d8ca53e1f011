// Test helpers: base64 decoding and the parts of a sealed export field.
#pragma once

#include "SecretText.h"

#include <windows.h>

#include <string>
#include <vector>

// Standard base64 with "=" padding; false on any other character.
bool DecodeBase64(const std::string& text, std::vector<BYTE>& bytes);

// A field sealed with a passphrase, taken apart: the frame's length, inner
// base64 and checksum, and the clear bytes decrypted with the passphrase.
struct OpenedField {
    bool ok = false;
    std::string frame;
    long length = 0;
    std::string inner;
    long checksum = 0;
    std::vector<BYTE> clear;
};
OpenedField OpenSealedField(const std::string& field, const std::wstring& passphrase);
