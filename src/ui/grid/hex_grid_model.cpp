#include "ui/grid/hex_grid_model.h"

#include "ui/grid/byte_texts.h"
#include "ui/grid/grid_geometry.h"

namespace keldar::ui {

using G = GridGeometry;

HexGridModel::HexGridModel(const Buffer& buffer, const CharacterSet& charset, QObject* parent)
    : QAbstractTableModel(parent), buffer_(&buffer), charset_(charset) {}

void HexGridModel::Show(const Buffer& buffer, uint32_t count) {
  beginResetModel();
  buffer_ = &buffer;
  count_ = count;
  endResetModel();
}

void HexGridModel::ByteChanged(uint32_t address) {
  if (address >= count_) return;
  const int row = G::ModelRow(G::RowOfAddress(address));
  const int offset = static_cast<int>(address % G::kBytesPerLine);
  const QModelIndex hex = index(row, G::ModelColumn(G::HexColumn(offset)));
  const QModelIndex character = index(row, G::ModelColumn(G::CharColumn(offset)));
  emit dataChanged(hex, hex, {Qt::DisplayRole});
  emit dataChanged(character, character, {Qt::DisplayRole});
}

void HexGridModel::SetCharsetAnsi(bool ansi) {
  if (ansi == charsetAnsi_) return;
  charsetAnsi_ = ansi;
  if (count_ == 0) return;
  emit dataChanged(index(0, G::ModelColumn(G::kFirstCharColumn)),
                   index(rowCount() - 1, G::ModelColumn(G::kLastCharColumn)), {Qt::DisplayRole});
}

QString HexGridModel::CellText(int column, int row) const {
  if (row == G::kHeaderRow) {
    if (column == G::kAddressColumn) return CornerText();
    if (!G::IsDataColumn(column)) return {};
    return QString::number(G::OffsetOf(column), 16).toUpper();
  }
  const int line = G::LineOfRow(row);
  if (line < 0 || static_cast<uint32_t>(line) >= count_ / G::kBytesPerLine) return {};
  if (column == G::kAddressColumn) {
    return LineAddressText(static_cast<uint32_t>(line * G::kBytesPerLine));
  }
  if (!G::IsDataColumn(column)) return {};
  const uint8_t value = (*buffer_)[G::AddressOf(column, row)];
  return G::IsHexColumn(column) ? HexText(value) : charset_.Text(value, charsetAnsi_);
}

int HexGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(count_ / G::kBytesPerLine);
}

int HexGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : G::kModelColumnCount;
}

QVariant HexGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    return CellText(G::GridColumn(index.column()), G::GridRow(index.row()));
  }
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  return {};
}

QVariant HexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return CellText(G::GridColumn(section), G::kHeaderRow);
  return CellText(G::kAddressColumn, G::GridRow(section));
}

Qt::ItemFlags HexGridModel::flags(const QModelIndex& index) const {
  // Spacer cells stay enabled so that the view's cursor moves reach them and are refused by the
  // selection rule, rather than skipping over them.
  return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

}  // namespace keldar::ui
