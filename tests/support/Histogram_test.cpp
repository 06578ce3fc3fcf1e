#include "support/Histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace hv {
namespace {

TEST(Histogram, BinsClampAndNegativeValuesCountAsZero) {
  struct Case {
    const char* name;
    long double value;
    int bin;
    long double sum;
  } cases[] = {
      {"zero", 0, 0, 0},
      {"inside the first bin", 255, 0, 255},
      {"next bin", 256, 1, 256},
      {"top of the range", 65535, 255, 65535},
      {"past the last bin", 70000, 255, 70000},
      {"far past, not an int32", 1e30L, 255, 1e30L},
      {"negative", -5, 0, 0},
      {"not a number", std::numeric_limits<long double>::quiet_NaN(), 0, 0},
  };
  for (const auto& c : cases) {
    HistogramObj h(256, 256);
    h.Add(c.value);
    EXPECT_EQ(h.Counts()[c.bin], 1) << c.name;
    EXPECT_EQ(h.Sum(), c.sum) << c.name;
    EXPECT_EQ(h.Count(), 1) << c.name;
  }
}

TEST(Histogram, ZeroBinWidthDoesNotOverrun) {
  HistogramObj h(4, 0);
  h.Add(0);  // 0 / 0
  h.Add(3);  // 3 / 0
  EXPECT_EQ(h.Counts()[0], 1);
  EXPECT_EQ(h.Counts()[3], 1);
}

TEST(Histogram, MeanAndStdDev) {
  HistogramObj h(256, 256);
  h.Add(-5);
  h.Add(5);
  EXPECT_EQ(h.Mean(), 2.5L);
  HistogramObj g(10, 1);
  for (int v : {2, 4, 4, 4, 5, 5, 7, 9}) g.Add(v);
  EXPECT_EQ(g.Mean(), 5.0L);
  EXPECT_NEAR(static_cast<double>(g.StdDev()), std::sqrt(32.0 / 7.0), 1e-15);
}

// An empty or one-pixel image, and a flat one whose variance rounds below 0.
TEST(Histogram, DegenerateStatisticsGiveZero) {
  HistogramObj h(256, 256);
  EXPECT_EQ(h.Mean(), 0);
  EXPECT_EQ(h.StdDev(), 0);
  h.Add(1234);
  EXPECT_EQ(h.Mean(), 1234);
  EXPECT_EQ(h.StdDev(), 0);

  HistogramObj flat(256, 256);
  for (int i = 0; i < 3; ++i) flat.Add(1.1L);
  long double raw = (flat.SumSq() - flat.Sum() * flat.Sum() / flat.Count()) / (flat.Count() - 1);
  EXPECT_LT(raw, 0);  // rounding noise below zero: the case being guarded
  EXPECT_EQ(flat.StdDev(), 0);
  EXPECT_FALSE(std::isnan(flat.StdDev()));
}

TEST(Histogram, ModeAndFirstEmptyAfterIt) {
  HistogramObj h(8, 1);
  std::int32_t top = -1;
  EXPECT_EQ(h.Mode(top), 0);  // all empty
  EXPECT_EQ(top, 0);

  for (int v : {1, 2, 2, 3, 5, 5}) h.Add(v);
  EXPECT_EQ(h.Mode(top), 2);  // lowest of the highest
  EXPECT_EQ(top, 2);
  EXPECT_EQ(h.FirstEmptyAfterMode(), 4);

  HistogramObj tie(8, 1);
  for (int v : {6, 6, 3, 3}) tie.Add(v);
  EXPECT_EQ(tie.Mode(), 3);
  EXPECT_EQ(tie.FirstEmptyAfterMode(), 4);

  HistogramObj full(3, 1);  // no empty bin after the mode
  for (int v : {0, 0, 1, 2}) full.Add(v);
  EXPECT_EQ(full.FirstEmptyAfterMode(), 2);

  HistogramObj last(4, 1);  // the mode in the last bin
  for (int v : {3, 3, 3, 0}) last.Add(v);
  EXPECT_EQ(last.Mode(), 3);
  EXPECT_EQ(last.FirstEmptyAfterMode(), 3);
}

TEST(Histogram, ClearStartsAgain) {
  HistogramObj h(4, 1);
  h.Add(1);
  h.Add(2);
  h.Clear();
  EXPECT_EQ(h.Count(), 0);
  EXPECT_EQ(h.Sum(), 0);
  EXPECT_EQ(h.SumSq(), 0);
  for (std::int32_t c : h.Counts()) EXPECT_EQ(c, 0);
  EXPECT_EQ(h.LastBin(), 3);
  EXPECT_EQ(h.CountsBytes(), 16);
}

TEST(Histogram, WithoutBinsKeepsOnlyTheSums) {
  HistogramObj h(0, 1);
  h.Add(5);
  EXPECT_EQ(h.LastBin(), -1);
  EXPECT_EQ(h.Count(), 1);
  std::int32_t top = -1;
  EXPECT_EQ(h.Mode(top), 0);
  EXPECT_EQ(top, 0);
}

}  // namespace
}  // namespace hv
