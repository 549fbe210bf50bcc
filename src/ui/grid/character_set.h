// The two character sets a byte can be shown and typed in: ANSI (Windows code page 1252) and
// OEM (DOS code page 850), both through Qt's codecs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QChar>
#include <QString>

namespace keldar::ui {

class CharacterSet {
 public:
  static constexpr const char* kAnsiCodec = "windows-1252";
  static constexpr const char* kOemCodec = "IBM850";

  CharacterSet();

  // False when the platform's Qt lacks one of the two codecs.
  [[nodiscard]] bool valid() const { return valid_; }

  // The one character of code `code`, with no substitution for control codes; empty for the
  // zero byte, which ends a text.
  [[nodiscard]] const QString& Text(uint8_t code, bool ansi) const {
    return ansi ? ansi_[code] : oem_[code];
  }
  // The code of a typed character in the set, or nothing when the set has no such character.
  [[nodiscard]] std::optional<uint8_t> Code(QChar character, bool ansi) const;

 private:
  std::array<QString, 256> ansi_;
  std::array<QString, 256> oem_;
  bool valid_ = false;
};

}  // namespace keldar::ui
