#include "support/Histogram.h"

#include <algorithm>
#include <cmath>

namespace hv {

HistogramObj::HistogramObj(std::int32_t bins, long double binWidth)
    : counts_(static_cast<std::size_t>(std::max(bins, 0)), 0), bin_width_(binWidth) {}

void HistogramObj::Clear() {
  std::fill(counts_.begin(), counts_.end(), 0);
  count_ = 0;
  sum_ = 0;
  sum_sq_ = 0;
}

void HistogramObj::Add(long double value) {
  long double v = value >= 0 ? value : 0;
  const std::int32_t last = LastBin();
  if (last >= 0) {
    // Clamped while still real: a huge quotient, an infinite one (zero bin
    // width) or NaN must not reach the integer conversion.
    long double q = v / bin_width_;
    std::int32_t bin;
    if (!(q >= 0))
      bin = 0;
    else if (q >= last)
      bin = last;
    else
      bin = static_cast<std::int32_t>(q);  // truncation
    ++counts_[static_cast<std::size_t>(bin)];
  }
  sum_ += v;
  sum_sq_ += v * v;
  ++count_;
}

std::int32_t HistogramObj::Mode(std::int32_t& topCount) const {
  std::int32_t best = 0;
  topCount = 0;
  for (std::size_t i = 0; i < counts_.size(); ++i) {
    if (counts_[i] > topCount) {
      topCount = counts_[i];
      best = static_cast<std::int32_t>(i);
    }
  }
  return best;
}

std::int32_t HistogramObj::FirstEmptyAfterMode() const {
  const std::int32_t last = LastBin();
  for (std::int32_t i = Mode() + 1; i <= last; ++i)
    if (counts_[static_cast<std::size_t>(i)] == 0) return i;
  return last;
}

long double HistogramObj::Mean() const { return count_ > 0 ? sum_ / count_ : 0.0L; }

long double HistogramObj::StdDev() const {
  if (count_ < 2) return 0;
  long double var = (sum_sq_ - sum_ * sum_ / count_) / (count_ - 1);
  return var > 0 ? std::sqrt(var) : 0.0L;
}

}  // namespace hv
