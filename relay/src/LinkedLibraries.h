// The table of the libraries Zentrip is linked against.
#pragma once

#include "RelayLibraries.h"

namespace torva::relay {

RelayLibraries LinkedLibraries() noexcept;

} // namespace torva::relay
