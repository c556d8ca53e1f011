// TvrCT_Encrypt/TvrCT_Decrypt: AES-256-GCM under the key kept in one key
// file (the user's own in the product, a temporary one in tests). The key is
// loaded for each call and wiped when the call ends; no key stays in memory
// between calls. Stateless apart from the path: any thread, any number at once.
#pragma once

#include <windows.h>

#include "ByteView.h"
#include "OutputSlot.h"
#include "UserKeyFile.h"

namespace corvane {

class UserCipher {
public:
    explicit UserCipher(UserKeyFile keyFile);

    // Output: format::UserHeader, ciphertext, tag; input.size + 30 bytes
    // (an even input gives an even output). A length query does not touch
    // the key file.
    [[nodiscard]] DWORD Encrypt(ByteView input, OutputSlot& output) const;
    // Opens data of either layout (format::UserHeader, or the first one,
    // format::UserHeaderV1, that earlier versions wrote).
    // TVRCT_E_AUTH_FAILED for anything this key did not seal, byte for byte;
    // the output is then left untouched. A length query answers without
    // checking the data, except for an empty message, where the answer "0
    // bytes" is the whole result and so is checked first.
    [[nodiscard]] DWORD Decrypt(ByteView input, OutputSlot& output) const;

private:
    [[nodiscard]] DWORD DecryptV1(ByteView input, OutputSlot& output) const;

    UserKeyFile m_keyFile;
};

} // namespace corvane
