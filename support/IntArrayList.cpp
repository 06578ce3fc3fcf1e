#include "support/IntArrayList.h"

#include <algorithm>
#include <string>

namespace hv {

namespace {
std::uint16_t CheckedLast(std::uint32_t columns, std::uint32_t rows, bool cols) {
  if (!IntArrayList::SizeAllowed(columns, rows))
    throw std::invalid_argument("pixel table size " + std::to_string(columns) + " x " +
                                std::to_string(rows) + " is outside 1..16383 x 1..65535");
  return static_cast<std::uint16_t>((cols ? columns : rows) - 1);
}
}  // namespace

IntArrayList::IntArrayList(std::uint32_t columns, std::uint32_t rows)
    : last_col_(CheckedLast(columns, rows, true)),
      last_row_(CheckedLast(columns, rows, false)),
      row_buffer_(columns, 0),
      cells_(static_cast<std::size_t>(columns) * rows, 0) {}

std::int32_t IntArrayList::PutRow(std::uint32_t row, std::span<const std::int32_t> values) {
  if (row > last_row_ || values.size() < Columns()) return 0;
  std::copy_n(values.begin(), Columns(),
              cells_.begin() + static_cast<std::ptrdiff_t>(row) * Columns());
  return static_cast<std::int32_t>(Columns());
}

std::span<const std::int32_t> IntArrayList::Row(std::uint32_t row) const {
  if (row > last_row_) return {};
  return std::span<const std::int32_t>(cells_).subspan(static_cast<std::size_t>(row) * Columns(),
                                                       Columns());
}

void IntArrayList::Rewind() {
  col_cursor_ = 0;
  row_cursor_ = 0;
}

void IntArrayList::Append(std::int32_t value) {
  row_buffer_[col_cursor_] = value;
  if (++col_cursor_ > last_col_) {
    PutRow(row_cursor_, row_buffer_);
    // Stops one past the last row, so a long input cannot wrap round to row 0.
    if (row_cursor_ <= last_row_) ++row_cursor_;
    col_cursor_ = 0;
  }
}

void IntArrayList::Flush() {
  if (col_cursor_ != 0 && row_cursor_ <= last_row_) {
    std::fill(row_buffer_.begin() + col_cursor_, row_buffer_.end(), 0);
    PutRow(row_cursor_, row_buffer_);
  }
}

}  // namespace hv
