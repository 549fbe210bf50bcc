// The grid's cell coordinates and how they map to addresses and to the Qt model. Column 0 is
// the line address, 1 and 18 are spacers, 2..17 show a line's 16 bytes in hexadecimal and
// 19..34 the same bytes as characters; row 0 is the header, row r >= 1 holds line r - 1.
// Every other file speaks in these (column, row) pairs; only this one knows that the address
// column and the header row are the view's headers rather than model cells.
#pragma once

#include <cstdint>

namespace keldar::ui {

struct GridGeometry {
  static constexpr int kBytesPerLine = 16;
  static constexpr int kAddressColumn = 0;
  static constexpr int kHexSpacerColumn = 1;
  static constexpr int kFirstHexColumn = 2;
  static constexpr int kLastHexColumn = 17;
  static constexpr int kCharSpacerColumn = 18;
  static constexpr int kFirstCharColumn = 19;
  static constexpr int kLastCharColumn = 34;
  static constexpr int kColumnCount = 35;
  static constexpr int kHeaderRow = 0;
  static constexpr int kFirstDataRow = 1;
  // Distance between the hexadecimal and the character cell of one byte.
  static constexpr int kSideDistance = kFirstCharColumn - kFirstHexColumn;

  // Pixel widths of the columns and height of the rows, grid line excluded.
  static constexpr int kAddressWidth = 36;
  static constexpr int kSpacerWidth = 12;
  // Above 64 KiB line addresses reach five digits: the address column widens by what the two
  // spacers give up, and the grid keeps its width.
  static constexpr int kWideAddressWidth = 44;
  static constexpr int kNarrowSpacerWidth = 8;
  static constexpr int kHexWidth = 20;
  static constexpr int kCharWidth = 10;
  static constexpr int kRowHeight = 17;

  static constexpr bool IsHexColumn(int column) {
    return column >= kFirstHexColumn && column <= kLastHexColumn;
  }
  static constexpr bool IsCharColumn(int column) {
    return column >= kFirstCharColumn && column <= kLastCharColumn;
  }
  static constexpr bool IsDataColumn(int column) {
    return IsHexColumn(column) || IsCharColumn(column);
  }
  static constexpr bool IsDataCell(int column, int row) {
    return IsDataColumn(column) && row >= kFirstDataRow;
  }

  // Offset 0..15 of the byte a data column shows.
  static constexpr int OffsetOf(int column) {
    return IsHexColumn(column) ? column - kFirstHexColumn : column - kFirstCharColumn;
  }
  static constexpr int HexColumn(int offset) { return kFirstHexColumn + offset; }
  static constexpr int CharColumn(int offset) { return kFirstCharColumn + offset; }
  // The other cell of the same byte: hexadecimal <-> character.
  static constexpr int PartnerColumn(int column) {
    return column > kCharSpacerColumn ? column - kSideDistance : column + kSideDistance;
  }

  static constexpr int RowOfLine(int line) { return line + kFirstDataRow; }
  static constexpr int LineOfRow(int row) { return row - kFirstDataRow; }
  static constexpr uint32_t AddressOf(int column, int row) {
    return static_cast<uint32_t>(LineOfRow(row) * kBytesPerLine + OffsetOf(column));
  }
  static constexpr int RowOfAddress(uint32_t address) {
    return RowOfLine(static_cast<int>(address / kBytesPerLine));
  }
  // Header row included.
  static constexpr int RowCount(uint32_t capacity) {
    return static_cast<int>(capacity / kBytesPerLine) + kFirstDataRow;
  }

  // Whether showing `count` bytes takes five-digit line addresses.
  static constexpr bool WideAddresses(uint32_t count) { return count > 0x10000; }
  static constexpr int PixelWidth(int column, bool wide = false) {
    if (column == kAddressColumn) return wide ? kWideAddressWidth : kAddressWidth;
    if (column == kHexSpacerColumn || column == kCharSpacerColumn)
      return wide ? kNarrowSpacerWidth : kSpacerWidth;
    return IsHexColumn(column) ? kHexWidth : kCharWidth;
  }

  // The model holds columns 1..34 and rows 1..: the address column and the header row are the
  // view's vertical and horizontal headers.
  static constexpr int ModelColumn(int column) { return column - 1; }
  static constexpr int ModelRow(int row) { return row - kFirstDataRow; }
  static constexpr int GridColumn(int modelColumn) { return modelColumn + 1; }
  static constexpr int GridRow(int modelRow) { return modelRow + kFirstDataRow; }
  static constexpr int kModelColumnCount = kColumnCount - 1;
};

}  // namespace keldar::ui
