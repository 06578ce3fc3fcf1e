#pragma once
// HistogramObj: fixed-width bins over non-negative values, with the count,
// sum and sum of squares of the values added. Every loaded image has one of
// its raw pixel values (256 bins), from which the display pipeline takes the
// mode, the first empty bin after it, the mean and the standard deviation.
#include <cstdint>
#include <span>
#include <vector>

namespace hv {

class HistogramObj {
 public:
  // All counts and sums zero. A bin count below 1 gives a histogram without
  // bins, which still keeps the sums.
  HistogramObj(std::int32_t bins, long double binWidth);

  // All counts, the sums and Count back to zero.
  void Clear();

  // A value that is not >= 0 (negative or NaN) counts as 0, for its bin and
  // for the sums; bin = trunc(v / BinWidth), clamped to 0..LastBin.
  void Add(long double value);
  // Add of each integer value in turn, in one pass (the image readers add
  // whole blocks of pixels). Sums are accumulated exactly per call.
  void AddValues(std::span<const std::int32_t> values);

  // The lowest-numbered bin with the highest count; that count goes to
  // topCount. Bin 0 and a count of 0 when every bin is empty.
  std::int32_t Mode(std::int32_t& topCount) const;
  std::int32_t Mode() const {
    std::int32_t top;
    return Mode(top);
  }
  // The first empty bin after the mode; LastBin when none is empty or the
  // mode is the last bin.
  std::int32_t FirstEmptyAfterMode() const;

  // Sum / Count; 0 for an empty histogram.
  long double Mean() const;
  // Sample standard deviation; 0 with fewer than two values. The variance
  // is clamped at 0, since rounding can take it slightly below.
  long double StdDev() const;

  // Values counted stretch by stretch (each while it is in the cache), as
  // one AddValues of them all would count them; Finish adds them to the
  // histogram.
  class Tally {
   public:
    explicit Tally(HistogramObj& histogram);
    void Add(std::span<const std::int32_t> values);
    void Finish();

   private:
    HistogramObj& h_;
    int shift_ = -1;  // -1: a bin width that is no power of two (values go through Add)
    std::vector<std::uint32_t> fine_;  // counts of the values 0..65535
    std::uint64_t bigSum_ = 0;
    unsigned __int128 bigSq_ = 0;
    std::int64_t count_ = 0;
  };

  std::span<const std::int32_t> Counts() const { return counts_; }
  std::int32_t LastBin() const { return static_cast<std::int32_t>(counts_.size()) - 1; }
  long double BinWidth() const { return bin_width_; }
  std::int32_t Count() const { return count_; }
  std::int32_t CountsBytes() const { return static_cast<std::int32_t>(4 * counts_.size()); }
  long double Sum() const { return sum_; }
  long double SumSq() const { return sum_sq_; }

 private:
  void AddManyValues(std::span<const std::int32_t> values, int shift);
  std::vector<std::int32_t> counts_;
  long double bin_width_;
  std::int32_t count_ = 0;
  long double sum_ = 0;
  long double sum_sq_ = 0;
};

}  // namespace hv
