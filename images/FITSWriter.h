#pragma once
// A small FITS writer: header cards and big-endian data, padded to whole
// 2880-byte blocks. The sample generator and the tests make their images
// with it; the program itself only reads FITS.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

class FITSWriter {
 public:
  // Cards in the fixed format: keyword in columns 1-8, "= " in 9-10, a
  // value right-aligned to column 30 (strings quoted from column 11).
  FITSWriter& Logical(std::string_view key, bool value);
  FITSWriter& Int(std::string_view key, std::int64_t value);
  FITSWriter& Real(std::string_view key, double value);
  FITSWriter& Str(std::string_view key, std::string_view value);
  // A value written as given (unquoted), for odd or faulty cards.
  FITSWriter& Value(std::string_view key, std::string_view valueText);
  // A whole card, cut or padded to 80 characters.
  FITSWriter& Raw(std::string_view card);
  // The END card, then blank cards to the end of the block.
  FITSWriter& End();

  // Data, big-endian; Pad() fills the last block with zeros.
  FITSWriter& U8(std::span<const std::uint8_t> values);
  FITSWriter& I16(std::span<const std::int16_t> values);
  FITSWriter& I32(std::span<const std::int32_t> values);
  FITSWriter& F32(std::span<const float> values);
  FITSWriter& F64(std::span<const double> values);
  FITSWriter& Pad();

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  void Card(std::string card);
  std::vector<std::uint8_t> bytes_;
};

// A formatted real for a card (shortest round-trip form, locale-free).
std::string FITSRealText(double value);

}  // namespace hv
