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

// A whole image at once: the values of 0..65535 (all of 16-bit data) are
// counted one by one in a table of their own, from which the bins and the
// exact sums follow; larger values are added as they come.
namespace {
// The shift that bins by an integral power-of-two width (1, 256, ...); -1
// for any other width.
int ShiftOf(long double binWidth) {
  for (int s = 0; s < 31; ++s)
    if (binWidth == static_cast<long double>(std::int64_t{1} << s)) return s;
  return -1;
}
}  // namespace

HistogramObj::Tally::Tally(HistogramObj& histogram)
    : h_(histogram), shift_(histogram.LastBin() < 0 ? -1 : ShiftOf(histogram.bin_width_)) {
  if (shift_ >= 0) fine_.assign(std::size_t{1} << 16, 0);
}

void HistogramObj::Tally::Add(std::span<const std::int32_t> values) {
  if (shift_ < 0) {
    for (std::int32_t v : values) h_.Add(v);
    return;
  }
  constexpr std::uint32_t kFine = 1u << 16;
  const auto lastBin = static_cast<std::uint32_t>(h_.LastBin());
  std::uint32_t* const fine = fine_.data();
  for (std::int32_t v : values) {
    const std::uint32_t u = v > 0 ? static_cast<std::uint32_t>(v) : 0u;
    if (u < kFine) {
      ++fine[u];
    } else {
      ++h_.counts_[std::min(u >> shift_, lastBin)];
      bigSum_ += u;
      bigSq_ += static_cast<std::uint64_t>(u) * u;
    }
  }
  count_ += static_cast<std::int64_t>(values.size());
}

void HistogramObj::Tally::Finish() {
  if (shift_ < 0) return;
  const auto lastBin = static_cast<std::uint32_t>(h_.LastBin());
  std::uint64_t sum = bigSum_;
  unsigned __int128 sq = bigSq_;
  for (std::uint32_t u = 0; u < fine_.size(); ++u) {
    const std::uint64_t c = fine_[u];
    if (c == 0) continue;
    h_.counts_[std::min(u >> shift_, lastBin)] += static_cast<std::int32_t>(c);
    sum += c * u;
    sq += static_cast<unsigned __int128>(c) * (static_cast<std::uint64_t>(u) * u);
  }
  h_.sum_ += static_cast<long double>(sum);
  h_.sum_sq_ += static_cast<long double>(sq);
  h_.count_ += static_cast<std::int32_t>(count_);
  std::fill(fine_.begin(), fine_.end(), 0u);
  bigSum_ = 0, bigSq_ = 0, count_ = 0;
}

void HistogramObj::AddManyValues(std::span<const std::int32_t> values, int) {
  Tally t(*this);
  t.Add(values);
  t.Finish();
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
  if (values.size() >= (std::size_t{1} << 16)) {
    AddManyValues(values, shift);
    return;
  }
  // Image values cluster in a few bins: four tables keep the increments of
  // neighbouring values independent of each other.
  const std::size_t bins = counts_.size();
  std::vector<std::int32_t> part(3 * bins, 0);
  std::int32_t* const c0 = counts_.data();
  std::int32_t* const c1 = part.data();
  std::int32_t* const c2 = part.data() + bins;
  std::int32_t* const c3 = part.data() + 2 * bins;
  const auto lastBin = static_cast<std::uint32_t>(last);
  auto binOf = [&](std::int32_t v) {
    const std::uint32_t u = v > 0 ? static_cast<std::uint32_t>(v) : 0u;
    return std::min(u >> shift, lastBin);
  };
  const std::size_t n = values.size();
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    ++c0[binOf(values[i])];
    ++c1[binOf(values[i + 1])];
    ++c2[binOf(values[i + 2])];
    ++c3[binOf(values[i + 3])];
  }
  for (; i < n; ++i) ++c0[binOf(values[i])];
  std::uint64_t sum = 0;
  std::uint32_t top = 0;
  for (std::int32_t v : values) {
    const std::uint32_t u = v > 0 ? static_cast<std::uint32_t>(v) : 0u;
    sum += u;
    top = std::max(top, u);
  }
  for (std::size_t b = 0; b < bins; ++b)
    counts_[b] += part[b] + part[bins + b] + part[2 * bins + b];
  // Squares in 64 bits when their sum cannot overflow (16-bit data in
  // blocks), else in 128.
  auto square = [](std::int32_t v) {
    const std::uint64_t u = v > 0 ? static_cast<std::uint64_t>(v) : 0u;
    return u * u;
  };
  const unsigned __int128 bound =
      static_cast<unsigned __int128>(top) * top * static_cast<unsigned __int128>(values.size());
  if (bound < (static_cast<unsigned __int128>(1) << 64)) {
    std::uint64_t sq = 0;
    for (std::int32_t v : values) sq += square(v);
    sum_sq_ += static_cast<long double>(sq);
  } else {
    unsigned __int128 sq = 0;
    for (std::int32_t v : values) sq += square(v);
    sum_sq_ += static_cast<long double>(sq);
  }
  sum_ += static_cast<long double>(sum);
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
