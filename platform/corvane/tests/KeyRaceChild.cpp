// Child of UserKeyFile.RacingProcessesAllGetTheSameKey: loads the key of the
// file named by argv[1] and writes its SHA-256, as hex, to the file named by
// argv[2]. It starts only when the parent sets the event named argv[3], so
// that all children meet the missing file together. The exit code is the Load
// result.
#include <windows.h>

#include <cstdio>

#include "Corvane.h"
#include "Sha256.h"
#include "UserKeyFile.h"
#include "Win32Handles.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 100;
    torva::UniqueHandle go(OpenEventW(SYNCHRONIZE, FALSE, argv[3]));
    if (!go || WaitForSingleObject(go.get(), 60000) != WAIT_OBJECT_0) return 103;
    corvane::SecureBuffer key;
    DWORD result = corvane::UserKeyFile(argv[1]).Load(key);
    if (result != TVRCT_OK) return static_cast<int>(result);
    BYTE digest[corvane::kSha256Size];
    if (corvane::Sha256(corvane::ByteView{key.data(), static_cast<DWORD>(key.size())}, digest))
        return 101;
    FILE* out = _wfopen(argv[2], L"w");
    if (out == nullptr) return 102;
    for (BYTE b : digest)
        std::fprintf(out, "%02x", b);
    std::fclose(out);
    return 0;
}
