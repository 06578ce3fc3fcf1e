#include "support/Codec.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace hv {

std::array<std::uint8_t, 10> ExtendedToBytes(long double value) {
  std::array<std::uint8_t, 10> out{};
  std::uint64_t mantissa = 0;
  int biased = 0;
  bool negative = std::signbit(value);
  if (std::isnan(value)) {
    biased = 0x7FFF;
    mantissa = 0xC000000000000000ULL;
  } else if (std::isinf(value)) {
    biased = 0x7FFF;
    mantissa = 0x8000000000000000ULL;
  } else if (value != 0.0L) {
    long double a = std::fabs(value);
    int e = 0;
    long double frac = std::frexp(a, &e);  // a = frac * 2^e, 0.5 <= frac < 1
    biased = e - 1 + 16383;
    if (biased <= 0) {
      // Denormal: exponent field 0, value = mantissa * 2^(-16382 - 63).
      long double scaled = std::ldexp(a, 16382 + 63);
      mantissa = static_cast<std::uint64_t>(scaled);
      biased = 0;
    } else {
      mantissa = static_cast<std::uint64_t>(std::ldexp(frac, 64));
    }
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
  std::uint16_t se = static_cast<std::uint16_t>(biased & 0x7FFF) | (negative ? 0x8000 : 0);
  out[8] = static_cast<std::uint8_t>(se & 0xFF);
  out[9] = static_cast<std::uint8_t>(se >> 8);
  return out;
}

long double BytesToExtended(const std::uint8_t* b) {
  std::uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | b[i];
  std::uint16_t se = static_cast<std::uint16_t>(b[8] | (b[9] << 8));
  bool negative = (se & 0x8000) != 0;
  int biased = se & 0x7FFF;
  long double v;
  if (biased == 0x7FFF) {
    v = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                             : std::numeric_limits<long double>::quiet_NaN();
  } else if (biased == 0) {
    v = std::ldexp(static_cast<long double>(mantissa), -16382 - 63);
  } else {
    v = std::ldexp(static_cast<long double>(mantissa), biased - 16383 - 63);
  }
  return negative ? -v : v;
}

void Encoder::u16(std::uint16_t v) {
  u8(static_cast<std::uint8_t>(v));
  u8(static_cast<std::uint8_t>(v >> 8));
}

void Encoder::u32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Encoder::u64(std::uint64_t v) {
  for (int i = 0; i < 8; ++i) u8(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Encoder::f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
void Encoder::f64(double v) { u64(std::bit_cast<std::uint64_t>(v)); }

void Encoder::ext(long double v) {
  auto b = ExtendedToBytes(v);
  buf_.insert(buf_.end(), b.begin(), b.end());
}

void Encoder::str(std::string_view text, std::size_t capacity) {
  std::size_t n = text.size() < capacity ? text.size() : capacity;
  if (n > 255) n = 255;
  u8(static_cast<std::uint8_t>(n));
  buf_.insert(buf_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
  buf_.insert(buf_.end(), capacity - n, 0);
}

void Encoder::bytes(std::span<const std::uint8_t> data) {
  buf_.insert(buf_.end(), data.begin(), data.end());
}

const std::uint8_t* Decoder::need(std::size_t count) {
  if (count > remaining()) throw DecodeError("record ends early");
  const std::uint8_t* p = data_.data() + pos_;
  pos_ += count;
  return p;
}

std::uint8_t Decoder::u8() { return *need(1); }

std::uint16_t Decoder::u16() {
  const std::uint8_t* p = need(2);
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Decoder::u32() {
  const std::uint8_t* p = need(4);
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

std::uint64_t Decoder::u64() {
  const std::uint8_t* p = need(8);
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

float Decoder::f32() { return std::bit_cast<float>(u32()); }
double Decoder::f64() { return std::bit_cast<double>(u64()); }
long double Decoder::ext() { return BytesToExtended(need(10)); }

std::string Decoder::str(std::size_t capacity) {
  const std::uint8_t* p = need(capacity + 1);
  std::size_t n = p[0];
  if (n > capacity) n = capacity;
  return std::string(reinterpret_cast<const char*>(p + 1), n);
}

std::vector<std::uint8_t> Decoder::bytes(std::size_t count) {
  const std::uint8_t* p = need(count);
  return std::vector<std::uint8_t>(p, p + count);
}

void Decoder::skip(std::size_t count) { need(count); }

}  // namespace hv
