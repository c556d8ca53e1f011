#include "TestPin.h"

#include "AutoAnswer.h"
#include "Peltrix.h"
#include "PinStore.h"
#include "StoreFormat.h"

namespace peltrix::test {

bool EnsureTestPin() {
    PinStore store(kProductSettingsRoot);
    const DWORD status = store.Verify(kTestPin);
    if (status == TVRAUTH_OK) return true;
    if (status != TVRAUTH_E_NO_PIN) return false;
    // Test programs that start together may both get here; each writes the
    // same PIN, so whichever record stays verifies. The fewest rounds keep
    // the many typed answers of a test run quick; this is a test prefix.
    if (store.SetPin(kTestPin, kMinIterations) != TVRAUTH_OK) return false;
    return store.Verify(kTestPin) == TVRAUTH_OK;
}

} // namespace peltrix::test
