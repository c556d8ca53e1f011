// A logger on a machine described by the test: its known folder and its
// Windows-drive fallback are two sub-folders of a fresh temporary folder, the
// executable is "app", the clock stands at 2009-01-31 12:34:56.
#pragma once

#include "FakeLogClock.h"
#include "FakeLogEnvironment.h"
#include "FenwixLogger.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace torva::fenwix::testing {

class LoggerFixture : public ::testing::Test {
protected:
    LoggerFixture() {
        env.knownFolder = temp.Sub(L"known");
        env.fallbackFolder = temp.Sub(L"fallback");
        logger.Attach();
    }

    std::wstring Known(const std::wstring& name) const { return *env.knownFolder + name; }
    std::wstring Fallback(const std::wstring& name) const { return env.fallbackFolder + name; }

    TempFolder temp;
    FakeLogEnvironment env;
    FakeLogClock clock;
    FenwixLogger logger{env, clock};
};

} // namespace torva::fenwix::testing
