#include "AutoAnswer.h"

#include "PinAnswerer.h"
#include "TestPin.h"

namespace peltrix::test {

AutoAnswer::AutoAnswer(DWORD authCase, DWORD answer) {
    const bool pinReady = EnsureTestPin();
    const bool watching = PinAnswerer::Process().Add(
        authCase,
        pinReady && answer == kAllow ? PinAnswerer::Answer::TypePin : PinAnswerer::Answer::Cancel,
        m_token);
    m_applied = pinReady && watching && (answer == kAllow || answer == kDeny);
}

AutoAnswer::~AutoAnswer() {
    PinAnswerer::Process().Remove(m_token);
}

} // namespace peltrix::test
