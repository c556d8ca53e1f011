// Turns a secret or non-text field of the export file into printable 8-bit
// text. Without a passphrase the field is written in a readable form chosen
// by its kind (a text escaped as every text field of the file is); with one
// the data as given, unescaped, are encrypted with TvrCT_PassEncrypt and framed:
//   base64( "<TVRPASSHEADER>" "<" length ">" "<" base64(cipher) ">" "<" checksum ">" )
// Clear copies made on the way are wiped when freed.
#pragma once

#include "CryptApi.h"
#include "SecretText.h"

#include <cstdint>
#include <string>

enum SecretFieldKind {
    kFieldBase64 = 0,   // base64 of the bytes (any kind not listed behaves the same)
    kFieldText = 1,     // zero-terminated UTF-16 text, written as ANSI
    kFieldRaw = 2,      // the bytes as they are, up to the first zero byte
    kFieldHex = 3,      // two lower-case hexadecimal digits per byte
    kFieldNumber = 4,   // data points at an int32, written as "%d"
    kFieldAnsiText = 5, // UTF-16 text converted to ANSI before encryption
};

enum class EncodeStatus {
    Ok,
    EncryptFailed, // the cipher refused: nothing usable was produced
    Unconvertible, // a character that the ANSI code page cannot hold
    TooSmall,      // the caller's output cannot hold the result
};

// Appends the encoded field to out (nothing on failure). Kinds 1 and 5 read
// at most length bytes, ending at the first zero character within them.
EncodeStatus EncodeSecretFieldTo(const BYTE* data, DWORD length, int kind,
                                 const SecretText& passphrase, std::string& out,
                                 const CryptApi& crypt = LibraryCryptApi());

// The same into a caller's buffer, zero-filled first and zero-terminated:
// TRUE when it holds the encoded field; FALSE with an empty output when the
// encoding failed or does not fit in capacity (terminator included).
BOOL EncodeSecretField(const BYTE* data, DWORD length, char* output, DWORD capacity, int kind,
                       const SecretText& passphrase, const CryptApi& crypt = LibraryCryptApi());

// RFC 4648 base64 with "=" padding and no line breaks, not terminated: output
// must hold 4 * ((length + 2) / 3) bytes.
void Base64Encode(const BYTE* data, DWORD length, char* output);
std::string Base64String(const BYTE* data, size_t length);

// The frame's checksum of a base64 text: the 32-bit little-endian words
// summed, folded to 16 bits twice, and the complement of the low byte;
// always between -256 and -1.
int32_t FieldChecksum(const char* text, DWORD length);

constexpr char kPassHeaderMarker[] = "<TVRPASSHEADER>";
