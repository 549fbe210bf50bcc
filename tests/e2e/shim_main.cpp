// The main of the end-to-end tests without windows: the tests run under the syscall shim, and no
// other test binary of the suite is preloaded.
#include <gtest/gtest.h>

#include "shim_exec.h"

int main(int argc, char** argv) {
  keldar::e2e::RunUnderShim(argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
