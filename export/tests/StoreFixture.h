// The export store loaded once per test program from the fixture.
#pragma once

#include "CExportStore.h"

// Fills the fixture (first call only) and loads a store from it.
CExportStore& FixtureStore();
