// Text between the program, which holds it as UTF-8, and the Windows API, which takes and gives
// UTF-16 (Windows builds only).
#pragma once

#include <string>
#include <string_view>

namespace keldar {

// A sequence that is not valid UTF-8 (or UTF-16) becomes U+FFFD: never an exception.
[[nodiscard]] std::wstring WideFromUtf8(std::string_view text);
[[nodiscard]] std::string Utf8FromWide(std::wstring_view text);

}  // namespace keldar
