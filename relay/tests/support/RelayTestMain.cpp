// main() of the relay's test programs: GoogleTest's arguments plus --relay.
#include <gtest/gtest.h>

#include "RelayTestEnvironment.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!torva::relay::test::ParseRelayArguments(&argc, argv)) return 2;
    return RUN_ALL_TESTS();
}
