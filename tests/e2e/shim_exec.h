// Puts the running test binary under the syscall shim.
#pragma once

namespace keldar::e2e {

// The first call executes the binary again with the shim preloaded and returns only on failure;
// under the shim it returns at once. The ports COM1..COM4 are mapped to paths that do not exist.
void RunUnderShim(char** argv);

}  // namespace keldar::e2e
