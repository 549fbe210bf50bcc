// Puts the running test binary under the syscall shim.
#pragma once

namespace keldar::e2e {

// The first call executes the binary again with the shim preloaded and returns only on failure;
// under the shim it returns at once. The ports COM1..COM4, the device listing and sysfs lead to
// paths that do not exist; no lock folder is used.
void RunUnderShim(char** argv);

}  // namespace keldar::e2e
