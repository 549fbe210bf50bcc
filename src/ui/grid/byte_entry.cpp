#include "ui/grid/byte_entry.h"

#include "ui/grid/byte_texts.h"
#include "ui/grid/key_characters.h"

namespace keldar::ui {
namespace {

// 0..15 for 0-9 and A-F (lower case already raised), else -1.
int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

EntryAction ByteEntry::KeyPress(QChar key, bool hexSide, bool charsetAnsi, uint32_t address) {
  if (key.unicode() == kEscapeKey) {
    Load(address);
    return EntryAction::Restored;
  }
  return hexSide ? HexKey(key, address) : CharacterKey(key, charsetAnsi, address);
}

EntryAction ByteEntry::HexKey(QChar key, uint32_t address) {
  char16_t c = key.unicode();
  if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  const int digit = HexDigit(c);
  if (digit >= 0) {
    // The field keeps the last two digits typed: its last digit moves up.
    pending_ = static_cast<uint8_t>(((pending_ & 0x0F) << 4) | digit);
    return EntryAction::Typed;
  }
  if (c == kEnterKey || c == kSpaceKey) {
    buffer_[address] = pending_;
    return EntryAction::Stored;
  }
  return EntryAction::Ignored;
}

EntryAction ByteEntry::CharacterKey(QChar key, bool charsetAnsi, uint32_t address) {
  const char16_t c = key.unicode();
  if (c >= 32) {
    const auto code = charset_.Code(key, charsetAnsi);
    if (!code) return EntryAction::Ignored;  // no such character in the set
    pending_ = *code;
    return EntryAction::Typed;
  }
  if (c == kEnterKey) {
    buffer_[address] = pending_;  // an empty field is the zero byte
    return EntryAction::Stored;
  }
  return EntryAction::Ignored;
}

QString ByteEntry::Edit1Text() const {
  return HexText(pending_);
}

QString ByteEntry::Edit2Text(bool charsetAnsi) const {
  return charset_.Text(pending_, charsetAnsi);
}

QString ByteEntry::StaticText1Text() const {
  return ValueText(pending_);
}

}  // namespace keldar::ui
