#pragma once
// The records and small helpers every image reader shares: the image facts,
// passbands, byte order, the grey palette and the numeric-error message.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace hv {

class Encoder;
class Decoder;

// Highest image number; images are numbered 0 to MaxImageNo.
inline constexpr int MaxImageNo = 3;

// An image's facts. Strings are string[N] (length byte plus N bytes).
struct ImageInfoRec {
  std::string FileName;  // string[80], full path (cut)
  std::string Format;    // string[40]
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t PixelCount = 0;
  std::int32_t RawMin = 0;
  std::int32_t RawMax = 0;
  std::int32_t FirstEmptyBin = 0;
  std::int32_t ModeBin = 0;
  std::int32_t ModeCount = 0;
  std::int32_t EmptyBinValue = 0;
  std::int32_t DisplayHigh = 0;
  std::int32_t DisplayLow = 0;

  static constexpr std::size_t FileNameCap = 80;
  static constexpr std::size_t FormatCap = 40;
  static constexpr std::size_t EncodedSize = 166;
  void Encode(Encoder& e) const;
  static ImageInfoRec Decode(Decoder& d);
};

// Photometric passband: 0 B, 1 V, 2 R, 3 I, 4 J, 5 H, 6 K, 7 none, 8 unrecognised.
using PassbandCode = std::uint8_t;
inline constexpr PassbandCode PassbandNone = 7;
inline constexpr PassbandCode PassbandUnknown = 8;
extern const std::array<std::string_view, 9> FilterNames;

// The passband a filter text names (see FilterNames; "CLEAR..." is none).
PassbandCode FilterCode(std::string_view text);

// Fills the 256 palette entries (blue, green, red, 0) with a square-root grey
// ramp from index lo (black) to hi (white); callers keep hi - lo >= 8.
void BuildGreyPalette(int lo, int hi, std::span<std::uint8_t, 1024> entries);

// Byte-order reversal of big-endian values.
constexpr std::uint16_t Swap16(std::uint16_t v) {
  return static_cast<std::uint16_t>((v >> 8) | (v << 8));
}
constexpr std::uint32_t Swap32(std::uint32_t v) {
  return (static_cast<std::uint32_t>(Swap16(static_cast<std::uint16_t>(v))) << 16) |
         Swap16(static_cast<std::uint16_t>(v >> 16));
}
constexpr std::uint64_t Swap64(std::uint64_t v) {
  return (static_cast<std::uint64_t>(Swap32(static_cast<std::uint32_t>(v))) << 32) |
         Swap32(static_cast<std::uint32_t>(v >> 32));
}

// The message for a header value that is not a number; the caller goes on
// with a default.
void ShowNumericError(Platform& platform, std::string_view keyword, std::string_view value);

// The fraction of a day a header's time text gives (ParseTimeOfDay); a
// time too large for a date-time raises ConvertError like a bad text does.
long double HeaderTimeOfDay(std::string_view text);

// ASCII helpers shared by the readers (record texts are single-byte).
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimTrailingBlanks(std::string_view text);

}  // namespace hv
