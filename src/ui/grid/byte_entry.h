// The byte being typed in the two entry fields (hexadecimal Edit1, character Edit2) and what
// each key does to it. The entry reaches the buffer only on validation; Escape reloads it from
// the buffer. Both fields always show one pending value, so it is kept as that value.
#pragma once

#include <cstdint>

#include <QChar>
#include <QString>

#include "data/buffer.h"
#include "ui/grid/character_set.h"

namespace keldar::ui {

enum class EntryAction {
  Ignored,  // nothing changes
  Typed,    // the fields show a new pending value; the buffer is untouched, focus stays
  Stored,   // the pending value went into the buffer; the grid cells and focus follow
  Restored  // Escape: the fields show the buffer's byte again; focus back to the grid
};

class ByteEntry {
 public:
  ByteEntry(Buffer& buffer, const CharacterSet& charset) : buffer_(buffer), charset_(charset) {}

  // Both fields from the byte at `address`, as a selection or a grid refresh does.
  void Load(uint32_t address) { pending_ = buffer_[address]; }

  // One typed character; `hexSide` chooses the side, whichever field raised the key.
  EntryAction KeyPress(QChar key, bool hexSide, bool charsetAnsi, uint32_t address);

  [[nodiscard]] uint8_t pending() const { return pending_; }
  [[nodiscard]] QString Edit1Text() const;
  [[nodiscard]] QString Edit2Text(bool charsetAnsi) const;
  [[nodiscard]] QString StaticText1Text() const;

 private:
  EntryAction HexKey(QChar key, uint32_t address);
  EntryAction CharacterKey(QChar key, bool charsetAnsi, uint32_t address);

  Buffer& buffer_;
  const CharacterSet& charset_;
  uint8_t pending_ = 0xFF;
};

}  // namespace keldar::ui
