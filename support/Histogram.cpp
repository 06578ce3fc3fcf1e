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

void HistogramObj::AddValues(std::span<const std::int32_t> values) {
  const std::int32_t last = LastBin();
  // An integral power-of-two bin width (1, 256, ...) bins by a shift; any
  // other width goes through Add.
  int shift = -1;
  for (int s = 0; s < 31; ++s)
    if (bin_width_ == static_cast<long double>(std::int64_t{1} << s)) shift = s;
  if (shift < 0 || last < 0 || values.size() > (std::size_t{1} << 30)) {
    for (std::int32_t v : values) Add(v);
    return;
  }
  std::uint64_t sum = 0;
  unsigned __int128 sumSq = 0;
  for (std::int32_t v : values) {
    const std::uint32_t u = v > 0 ? static_cast<std::uint32_t>(v) : 0u;
    const std::uint32_t bin = u >> shift;
    ++counts_[bin > static_cast<std::uint32_t>(last) ? static_cast<std::size_t>(last) : bin];
    sum += u;
    sumSq += static_cast<std::uint64_t>(u) * u;
  }
  sum_ += static_cast<long double>(sum);
  sum_sq_ += static_cast<long double>(sumSq);
  count_ += static_cast<std::int32_t>(values.size());
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
