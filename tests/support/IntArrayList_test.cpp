#include "support/IntArrayList.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace hv {
namespace {

std::vector<std::int32_t> RowOf(const IntArrayList& t, std::uint32_t row) {
  auto r = t.Row(row);
  return {r.begin(), r.end()};
}

TEST(IntArrayList, CreateGivesZerosAndTheSize) {
  IntArrayList t(4, 3);
  EXPECT_EQ(t.LastCol(), 3);
  EXPECT_EQ(t.LastRow(), 2);
  EXPECT_EQ(t.RowBytes(), 16);
  EXPECT_EQ(t.Cells().size(), 12u);
  for (std::int32_t v : t.Cells()) EXPECT_EQ(v, 0);
  EXPECT_EQ(t.ColCursor(), 0);
  EXPECT_EQ(t.RowCursor(), 0);
}

TEST(IntArrayList, RefusesSizesOutsideTheLimits) {
  struct Case {
    const char* name;
    std::uint32_t cols, rows;
    bool ok;
  } cases[] = {
      {"no columns", 0, 10, false},  {"no rows", 10, 0, false},
      {"one by one", 1, 1, true},    {"widest", 16383, 1, true},
      {"too wide", 16384, 1, false}, {"tallest", 1, 65535, true},
      {"too tall", 1, 65536, false}, {"wraps 16 bits", 65536 + 5, 5, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IntArrayList::SizeAllowed(c.cols, c.rows), c.ok) << c.name;
    if (c.ok) {
      IntArrayList t(c.cols, c.rows);
      EXPECT_EQ(t.Columns(), c.cols) << c.name;
      EXPECT_EQ(t.Rows(), c.rows) << c.name;
      t.SetCell(c.cols - 1, c.rows - 1, 9);
      EXPECT_EQ(t.GetCell(c.cols - 1, c.rows - 1), 9) << c.name;
    } else {
      EXPECT_THROW(IntArrayList(c.cols, c.rows), std::invalid_argument) << c.name;
    }
  }
}

TEST(IntArrayList, CellsOutsideTheTableAreIgnored) {
  IntArrayList t(3, 2);
  t.SetCell(2, 1, 7);
  t.SetCell(3, 0, 99);  // one column past
  t.SetCell(0, 2, 99);  // one row past
  EXPECT_EQ(t.GetCell(2, 1), 7);
  EXPECT_EQ(t.GetCell(3, 0), 0);
  EXPECT_EQ(t.GetCell(0, 2), 0);
  EXPECT_EQ(t.GetCell(65535, 65535), 0);
  for (std::int32_t v : t.Cells()) EXPECT_TRUE(v == 0 || v == 7);
  EXPECT_TRUE(t.Row(2).empty());
}

TEST(IntArrayList, PutRowCopiesAWholeRowOrNothing) {
  IntArrayList t(3, 2);
  std::vector<std::int32_t> row{4, 5, 6};
  EXPECT_EQ(t.PutRow(1, row), 3);
  EXPECT_EQ(RowOf(t, 1), (std::vector<std::int32_t>{4, 5, 6}));
  EXPECT_EQ(t.PutRow(2, row), 0);
  std::vector<std::int32_t> shorter{1, 2};
  EXPECT_EQ(t.PutRow(0, shorter), 0);
  EXPECT_EQ(RowOf(t, 0), (std::vector<std::int32_t>{0, 0, 0}));
}

TEST(IntArrayList, SequentialFillingInRowOrder) {
  IntArrayList t(3, 2);
  t.Rewind();
  for (int v = 1; v <= 6; ++v) t.Append(v);
  t.Flush();
  EXPECT_EQ(RowOf(t, 0), (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(RowOf(t, 1), (std::vector<std::int32_t>{4, 5, 6}));
  EXPECT_EQ(t.GetCell(1, 1), 5);
  EXPECT_EQ(t.RowCursor(), 2);
  EXPECT_EQ(t.ColCursor(), 0);
}

// A part-filled last row gets zeros where nothing was filled, not what the
// previous row left in the buffer.
TEST(IntArrayList, PartFilledLastRowIsZeroFilled) {
  IntArrayList t(3, 3);
  t.Rewind();
  for (int v = 1; v <= 7; ++v) t.Append(v);
  t.Flush();
  EXPECT_EQ(RowOf(t, 0), (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(RowOf(t, 1), (std::vector<std::int32_t>{4, 5, 6}));
  EXPECT_EQ(RowOf(t, 2), (std::vector<std::int32_t>{7, 0, 0}));
  EXPECT_EQ(t.RowCursor(), 2);  // Flush leaves the cursors
  EXPECT_EQ(t.ColCursor(), 1);

  // A second filling after Rewind: old cells of the cut row go too.
  t.Rewind();
  for (int v = 11; v <= 14; ++v) t.Append(v);
  t.Flush();
  EXPECT_EQ(RowOf(t, 0), (std::vector<std::int32_t>{11, 12, 13}));
  EXPECT_EQ(RowOf(t, 1), (std::vector<std::int32_t>{14, 0, 0}));
  EXPECT_EQ(RowOf(t, 2), (std::vector<std::int32_t>{7, 0, 0}));
}

TEST(IntArrayList, ValuesPastTheLastRowAreDropped) {
  IntArrayList t(2, 2);
  t.Rewind();
  for (int v = 1; v <= 9; ++v) t.Append(v);
  t.Flush();
  EXPECT_EQ(RowOf(t, 0), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(RowOf(t, 1), (std::vector<std::int32_t>{3, 4}));
}

// The row cursor is 16 bits wide: a table of 65,535 rows fed more rows than
// that must not wrap round and overwrite row 0.
TEST(IntArrayList, LongInputDoesNotWrapToRowZero) {
  IntArrayList t(1, 65535);
  t.Rewind();
  for (int v = 0; v < 65535 + 10; ++v) t.Append(v + 1);
  t.Flush();
  EXPECT_EQ(t.GetCell(0, 0), 1);
  EXPECT_EQ(t.GetCell(0, 65534), 65535);
  EXPECT_EQ(t.RowCursor(), 65535);
}

}  // namespace
}  // namespace hv
