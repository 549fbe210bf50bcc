// Where the grid cursor stands and how characters are shown; the selected address itself is
// CurrentMemory::cursorAddress.
#pragma once

#include <cstdint>

namespace keldar::ui {

struct EditorState {
  int32_t cursorColumn = 0;  // offset 0..15 of the selected byte in its line
  int32_t cursorRow = 0;     // 0-based line of the selected byte
  bool hexSide = true;       // the hexadecimal side is the active entry side
  bool charsetAnsi = true;   // ANSI (Windows) characters; false: OEM (DOS)
};

}  // namespace keldar::ui
