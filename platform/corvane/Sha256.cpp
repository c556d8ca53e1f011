#include "Sha256.h"

#include <bcrypt.h>

#include "BCryptHandles.h"
#include "CngStatus.h"
#include "Corvane.h"

namespace corvane {

DWORD Sha256(ByteView input, BYTE (&digest)[kSha256Size]) {
    torva::UniqueBCryptAlg alg;
    if (DWORD s = StatusFromNt(
            BCryptOpenAlgorithmProvider(alg.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return s;
    torva::UniqueBCryptHash hash;
    if (DWORD s = StatusFromNt(BCryptCreateHash(alg.get(), hash.put(), nullptr, 0, nullptr, 0, 0)))
        return s;
    if (input.size != 0) {
        if (DWORD s = StatusFromNt(
                BCryptHashData(hash.get(), const_cast<BYTE*>(input.data), input.size, 0)))
            return s;
    }
    return StatusFromNt(BCryptFinishHash(hash.get(), digest, kSha256Size, 0));
}

} // namespace corvane
