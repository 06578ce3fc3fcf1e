#pragma once
// IntArrayList: the table of 32-bit pixel values of a loaded image. Readers
// fill it sequentially (Rewind, Append once per pixel in row order, Flush);
// the image window and the measuring code read single cells. The cells are
// stored contiguously, row after row, so Row() hands out a whole row.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace hv {

class IntArrayList {
 public:
  // Rows and columns are counted in 16 bits, and a row's byte size (4 per
  // column) must fit in 16 bits as well.
  static constexpr std::uint32_t MaxColumns = 16383;
  static constexpr std::uint32_t MaxRows = 65535;
  static bool SizeAllowed(std::uint32_t columns, std::uint32_t rows) {
    return columns >= 1 && columns <= MaxColumns && rows >= 1 && rows <= MaxRows;
  }

  // A table with every cell 0 and sequential filling at row 0, column 0.
  // Throws std::invalid_argument for a size outside 1..MaxColumns by
  // 1..MaxRows (check SizeAllowed first), std::bad_alloc when memory runs out.
  IntArrayList(std::uint32_t columns, std::uint32_t rows);

  std::uint16_t LastCol() const { return last_col_; }  // columns - 1
  std::uint16_t LastRow() const { return last_row_; }  // rows - 1
  std::uint32_t Columns() const { return std::uint32_t{last_col_} + 1; }
  std::uint32_t Rows() const { return std::uint32_t{last_row_} + 1; }
  std::int32_t RowBytes() const { return static_cast<std::int32_t>(4 * Columns()); }
  std::uint16_t ColCursor() const { return col_cursor_; }  // next column of filling
  std::uint16_t RowCursor() const { return row_cursor_; }  // next row of filling

  // One cell; a position outside the table is ignored.
  void SetCell(std::uint32_t column, std::uint32_t row, std::int32_t value) {
    if (column <= last_col_ && row <= last_row_) cells_[row * Columns() + column] = value;
  }
  // One cell; 0 outside the table.
  std::int32_t GetCell(std::uint32_t column, std::uint32_t row) const {
    return column <= last_col_ && row <= last_row_ ? cells_[row * Columns() + column] : 0;
  }

  // Copies a whole row in and answers the number of columns; answers 0 and
  // copies nothing when the row does not exist or the buffer is shorter than
  // a row.
  std::int32_t PutRow(std::uint32_t row, std::span<const std::int32_t> values);
  // One row's cells (empty outside the table).
  std::span<const std::int32_t> Row(std::uint32_t row) const;
  // All cells, row after row.
  std::span<const std::int32_t> Cells() const { return cells_; }
  // The same, to fill in place (a reader that reads straight into them).
  std::span<std::int32_t> MutableCells() { return cells_; }

  // Sequential filling. Append stores each completed row; rows past the last
  // are dropped. Flush stores a part-filled last row with zeros in the
  // columns that were not filled.
  void Rewind();
  void Append(std::int32_t value);
  void Flush();

 private:
  std::uint16_t last_col_;
  std::uint16_t last_row_;
  std::vector<std::int32_t> row_buffer_;  // the row being filled
  std::uint16_t col_cursor_ = 0;
  std::uint16_t row_cursor_ = 0;
  std::vector<std::int32_t> cells_;
};

}  // namespace hv
