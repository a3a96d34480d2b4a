// Conformance suites run against whichever backend this executable links.
#include <gtest/gtest.h>

#include "platform/peers.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  plat::InitializeBackend();
  return RUN_ALL_TESTS();
}
