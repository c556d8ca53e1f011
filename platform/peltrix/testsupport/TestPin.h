// The test PIN as the current user's PIN (the product's settings key).
#pragma once

namespace peltrix::test {

// True when kTestPin is the user's PIN, made so here when no PIN was set
// (setting the first PIN needs no old one). False when another PIN is set:
// it is left as it is.
bool EnsureTestPin();

} // namespace peltrix::test
