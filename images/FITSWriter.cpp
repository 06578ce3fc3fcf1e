#include "images/FITSWriter.h"

#include <bit>
#include <charconv>
#include <cstring>

namespace hv {

namespace {
std::string KeyField(std::string_view key) {
  std::string k(key.substr(0, 8));
  k.resize(8, ' ');
  return k;
}
std::string RightAligned(std::string_view text) {
  std::string v(text);
  if (v.size() < 20) v.insert(0, 20 - v.size(), ' ');
  return v;
}
}  // namespace

std::string FITSRealText(double value) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  std::string s(buf, r.ptr);
  if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
  for (char& c : s)
    if (c == 'e') c = 'E';
  return s;
}

void FITSWriter::Card(std::string card) {
  card.resize(80, ' ');
  bytes_.insert(bytes_.end(), card.begin(), card.end());
}

FITSWriter& FITSWriter::Logical(std::string_view key, bool value) {
  Card(KeyField(key) + "= " + RightAligned(value ? "T" : "F"));
  return *this;
}

FITSWriter& FITSWriter::Int(std::string_view key, std::int64_t value) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  Card(KeyField(key) + "= " + RightAligned(std::string_view(buf, r.ptr - buf)));
  return *this;
}

FITSWriter& FITSWriter::Real(std::string_view key, double value) {
  Card(KeyField(key) + "= " + RightAligned(FITSRealText(value)));
  return *this;
}

FITSWriter& FITSWriter::Str(std::string_view key, std::string_view value) {
  std::string v;
  for (char c : value) {
    v += c;
    if (c == '\'') v += '\'';
  }
  if (v.size() < 8) v.resize(8, ' ');
  Card(KeyField(key) + "= '" + v + "'");
  return *this;
}

FITSWriter& FITSWriter::Value(std::string_view key, std::string_view valueText) {
  Card(KeyField(key) + "= " + std::string(valueText));
  return *this;
}

FITSWriter& FITSWriter::Raw(std::string_view card) {
  Card(std::string(card.substr(0, 80)));
  return *this;
}

FITSWriter& FITSWriter::End() {
  Card("END");
  while (bytes_.size() % 2880 != 0) bytes_.push_back(' ');
  return *this;
}

FITSWriter& FITSWriter::U8(std::span<const std::uint8_t> values) {
  bytes_.insert(bytes_.end(), values.begin(), values.end());
  return *this;
}

namespace {
template <typename U>
void PutBig(std::vector<std::uint8_t>& out, U u) {
  for (int s = static_cast<int>(sizeof(U)) - 1; s >= 0; --s)
    out.push_back(static_cast<std::uint8_t>(u >> (8 * s)));
}
}  // namespace

FITSWriter& FITSWriter::I16(std::span<const std::int16_t> values) {
  for (std::int16_t v : values) PutBig(bytes_, static_cast<std::uint16_t>(v));
  return *this;
}

FITSWriter& FITSWriter::I32(std::span<const std::int32_t> values) {
  for (std::int32_t v : values) PutBig(bytes_, static_cast<std::uint32_t>(v));
  return *this;
}

FITSWriter& FITSWriter::F32(std::span<const float> values) {
  for (float v : values) PutBig(bytes_, std::bit_cast<std::uint32_t>(v));
  return *this;
}

FITSWriter& FITSWriter::F64(std::span<const double> values) {
  for (double v : values) PutBig(bytes_, std::bit_cast<std::uint64_t>(v));
  return *this;
}

FITSWriter& FITSWriter::Pad() {
  while (bytes_.size() % 2880 != 0) bytes_.push_back(0);
  return *this;
}

}  // namespace hv
