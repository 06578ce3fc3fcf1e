#pragma once
// The one binary codec for packed records and binary files: string[N] as a
// length byte plus N bytes, little-endian integers, IEEE singles and doubles,
// and 80-bit extended reals as 10 bytes. No struct is ever cast to bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

// Raised when a decoder runs past the end of its bytes.
class DecodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// 80-bit extended <-> 10 little-endian bytes (64-bit mantissa with explicit
// integer bit, 15-bit biased exponent, sign), computed arithmetically so it
// does not depend on how the compiler lays out long double.
std::array<std::uint8_t, 10> ExtendedToBytes(long double value);
long double BytesToExtended(const std::uint8_t* bytes);

class Encoder {
 public:
  Encoder() = default;

  void u8(std::uint8_t v) { buf_.push_back(v); }
  void i8(std::int8_t v) { u8(static_cast<std::uint8_t>(v)); }
  void boolean(bool v) { u8(v ? 1 : 0); }
  void u16(std::uint16_t v);
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void u32(std::uint32_t v);
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void u64(std::uint64_t v);
  void i64(std::int64_t v) { u64(static_cast<std::uint64_t>(v)); }
  void f32(float v);
  void f64(double v);
  void ext(long double v);
  // string[capacity]: length byte, then capacity bytes; a longer text is cut
  // to the capacity and the unused bytes are zero.
  void str(std::string_view text, std::size_t capacity);
  void bytes(std::span<const std::uint8_t> data);
  void zeros(std::size_t count) { buf_.insert(buf_.end(), count, 0); }

  std::size_t size() const { return buf_.size(); }
  const std::vector<std::uint8_t>& data() const { return buf_; }
  std::vector<std::uint8_t> take() { return std::move(buf_); }

 private:
  std::vector<std::uint8_t> buf_;
};

class Decoder {
 public:
  explicit Decoder(std::span<const std::uint8_t> data) : data_(data) {}

  std::uint8_t u8();
  std::int8_t i8() { return static_cast<std::int8_t>(u8()); }
  bool boolean() { return u8() != 0; }
  std::uint16_t u16();
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32();
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  std::uint64_t u64();
  std::int64_t i64() { return static_cast<std::int64_t>(u64()); }
  float f32();
  double f64();
  long double ext();
  // string[capacity]: a stored length above the capacity is clamped to it.
  std::string str(std::size_t capacity);
  std::vector<std::uint8_t> bytes(std::size_t count);
  void skip(std::size_t count);

  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return data_.size() - pos_; }

 private:
  const std::uint8_t* need(std::size_t count);
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

}  // namespace hv
