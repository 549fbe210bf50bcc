// The errno value that stands for a Windows error code, so that a refusal says the same thing on
// both platforms (Windows builds only).
#pragma once

namespace keldar {

// 0 when no errno value says the same.
[[nodiscard]] int ErrnoFromWindows(unsigned long code);

}  // namespace keldar
