#include "images/GraphicsFileRecs.h"

#include <cmath>

#include "support/Codec.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {

void ImageInfoRec::Encode(Encoder& e) const {
  e.str(FileName, FileNameCap);
  e.str(Format, FormatCap);
  for (std::int32_t v : {Width, Height, PixelCount, RawMin, RawMax, FirstEmptyBin, ModeBin,
                         ModeCount, EmptyBinValue, DisplayHigh, DisplayLow})
    e.i32(v);
}

ImageInfoRec ImageInfoRec::Decode(Decoder& d) {
  ImageInfoRec r;
  r.FileName = d.str(FileNameCap);
  r.Format = d.str(FormatCap);
  for (std::int32_t* v :
       {&r.Width, &r.Height, &r.PixelCount, &r.RawMin, &r.RawMax, &r.FirstEmptyBin, &r.ModeBin,
        &r.ModeCount, &r.EmptyBinValue, &r.DisplayHigh, &r.DisplayLow})
    *v = d.i32();
  return r;
}

const std::array<std::string_view, 9> FilterNames = {"B", "V", "R",    "I", "J",
                                                     "H", "K", "NONE", "X"};

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view TrimBlanks(std::string_view text) {
  text = TrimTrailingBlanks(text);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

PassbandCode FilterCode(std::string_view text) {
  const std::string t = UpperAscii(TrimBlanks(text));
  if (t.empty()) return PassbandUnknown;
  for (std::size_t i = 0; i < FilterNames.size(); ++i)
    if (t.starts_with(FilterNames[i])) return static_cast<PassbandCode>(i);
  if (t.starts_with("CLEAR")) return PassbandNone;
  return PassbandUnknown;
}

void BuildGreyPalette(int lo, int hi, std::span<std::uint8_t, 1024> entries) {
  for (int i = 0; i < 256; ++i) {
    int g;
    if (i < lo) {
      g = 0;
    } else if (i > hi) {
      g = 255;
    } else if (hi == lo) {
      g = 255;  // a ramp of one index: at the index itself, white
    } else {
      const long double f = static_cast<long double>(i - lo) / static_cast<long double>(hi - lo);
      g = RoundToInt32(std::sqrt(f) * 255.0L);
    }
    const auto b = static_cast<std::uint8_t>(g);
    entries[4 * i] = b;
    entries[4 * i + 1] = b;
    entries[4 * i + 2] = b;
    entries[4 * i + 3] = 0;
  }
}

long double HeaderTimeOfDay(std::string_view text) {
  const long double t = ParseTimeOfDay(text);
  // Far beyond any date, and the stored date-time is a double.
  if (!(std::fabs(t) <= 1.0e300L))
    throw ConvertError("'" + std::string(text) + "' is not a valid time");
  return t;
}

void ShowNumericError(Platform& platform, std::string_view keyword, std::string_view value) {
  std::string text = "Keyword field contains non-numeric data.\n\nKeyword: ";
  text += keyword;
  text += "\nData: ";
  text += value;
  ShowInfo(platform, "Numeric Conversion Error", text);
}

}  // namespace hv
