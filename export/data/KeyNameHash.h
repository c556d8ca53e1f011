// The hashed key names of the application-data tree "APCTRLDATA". The export
// utility reads the tree and writes its defaults with these names, and the
// fixture program writes whole entries with them: both go through here.
#pragma once

#include "CryptApi.h"

#include <cstdint>
#include <string>
#include <vector>

// H(text): the digest (algorithm 2) of the text in the calling thread's ANSI
// code page, up to its first zero byte, as lower-case hexadecimal. Empty when
// the library fails. Inputs of any length are hashed whole.
std::wstring CreateKeyNameHash(const std::wstring& text, const CryptApi& crypt = LibraryCryptApi());

// The caption key's input: the caption followed by the sum of the control
// IDs in lower-case hexadecimal (32-bit wrap-around, no prefix; "0" without
// controls).
std::wstring CaptionHashInput(const std::wstring& caption, const std::vector<int32_t>& controlIds);

// Key paths of one entry.
std::wstring ApplicationKeyPath(const std::wstring& applicationHash);
std::wstring CaptionKeyPath(const std::wstring& applicationKey, const std::wstring& captionHash);
std::wstring ItemKeyPath(const std::wstring& captionKey, const std::wstring& itemHash);
std::wstring ControlKeyPath(const std::wstring& itemKey, int number);

constexpr wchar_t kAppDataRegKey[] = L"APCTRLDATA\\REG";
constexpr wchar_t kAppDataOptionKey[] = L"APCTRLDATA\\OPTION";
