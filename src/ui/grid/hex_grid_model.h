// The grid's cells, read straight from the buffer: a line of 16 bytes per row, each byte as two
// hexadecimal digits and as a character. Showing a new buffer or capacity is one model reset.
#pragma once

#include <cstdint>

#include <QAbstractTableModel>

#include "data/buffer.h"
#include "ui/grid/character_set.h"

namespace keldar::ui {

class HexGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  HexGridModel(const Buffer& buffer, const CharacterSet& charset, QObject* parent = nullptr);

  // Shows the first `count` bytes of `buffer`, count / 16 lines.
  void Show(const Buffer& buffer, uint32_t count);
  // The two cells of one byte changed.
  void ByteChanged(uint32_t address);
  // The same codes drawn in the other character set.
  void SetCharsetAnsi(bool ansi);

  // Grid cell texts, by grid column and row.
  [[nodiscard]] QString CellText(int column, int row) const;
  [[nodiscard]] uint32_t count() const { return count_; }
  [[nodiscard]] bool charsetAnsi() const { return charsetAnsi_; }

  // Text of the header row above the address column.
  static QString CornerText() { return QStringLiteral("Adr:"); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  const Buffer* buffer_;
  const CharacterSet& charset_;
  uint32_t count_ = 0;
  bool charsetAnsi_ = true;
};

}  // namespace keldar::ui
