#include "ui/grid/character_set.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace keldar::ui {
namespace {

bool FillTable(const char* codec, std::array<QString, 256>& table) {
  QStringDecoder decoder(codec, QStringConverter::Flag::Stateless);
  if (!decoder.isValid()) return false;
  for (int code = 1; code < 256; ++code) {
    const char byte = static_cast<char>(code);
    table[static_cast<size_t>(code)] = decoder.decode(QByteArray(&byte, 1));
  }
  return !decoder.hasError();
}

}  // namespace

CharacterSet::CharacterSet() {
  const bool ansi = FillTable(kAnsiCodec, ansi_);
  const bool oem = FillTable(kOemCodec, oem_);
  valid_ = ansi && oem;
}

std::optional<uint8_t> CharacterSet::Code(QChar character, bool ansi) const {
  QStringEncoder encoder(ansi ? kAnsiCodec : kOemCodec, QStringConverter::Flag::Stateless);
  if (!encoder.isValid()) return std::nullopt;
  const QByteArray bytes = encoder.encode(QString(character));
  if (encoder.hasError() || bytes.size() != 1) return std::nullopt;
  return static_cast<uint8_t>(bytes[0]);
}

}  // namespace keldar::ui
