#include "images/FITSFile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "astrometry/ObsParms.h"
#include "support/DateTime.h"
#include "support/Files.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {

namespace fs = std::filesystem;

FITSFileObj::FITSFileObj(const ReaderContext& context) : GraphicsFileObj(context) {
  FileKind = KindFITS;
}

bool FITSFileObj::IsValidBitPix(std::int32_t b) {
  return b == 8 || b == 16 || b == 32 || b == -32 || b == -64;
}

bool FITSFileObj::IsTable() const { return TrimTrailingBlanks(Header.XTension) == "TABLE"; }

// A binary table (a tile-compressed image is one too); A3DTABLE is its
// name before the standard fixed it.
bool FITSFileObj::IsBinaryTable() const {
  const std::string_view x = TrimTrailingBlanks(Header.XTension);
  return x == "BINTABLE" || x == "A3DTABLE";
}

bool FITSFileObj::CheckHeader() {
  const FITSHeaderRec& h = Header;
  if (!h.Simple || !IsValidBitPix(h.BitPix) || !endSeen_ || goOn_) return false;
  // Two axes at least (and FITS's 999 at most), each of them set.
  if (h.NAxis < 2 || h.NAxis > 999 || h.NAxis1 <= 0 || h.NAxis2 <= 0) return false;
  if (h.NAxis > 2 && h.NAxis3 <= 0) return false;
  // A table's rows are not pixels; an image must fit the pixel table.
  if (IsTable() || IsBinaryTable()) return true;
  return SizeAllowed(h.NAxis1, h.NAxis2);
}

void FITSFileObj::SetObsTime(const FITSHeaderParser& parser) {
  long double c = 0;
  switch (settings().HeaderTime) {
    case HeaderTimeCode::Start:
      c = Header.ExpTime;
      break;
    case HeaderTimeCode::End:
      c = -Header.ExpTime;
      break;
    default:
      c = 0;
      break;  // the middle; the ST-4 convention does not apply to FITS
  }
  std::string time = parser.TimeText();
  long double date = 0;
  const std::string dateText(TrimTrailingBlanks(parser.DateText()));
  const auto d = ParseFITSDate(dateText, time);
  const auto encoded = d ? EncodeDate(d->Year, d->Month, d->Day) : std::nullopt;
  if (encoded)
    date = *encoded;
  else
    ShowNumericError(platform(), "DATE-OBS", dateText);
  long double tod = 0;
  if (time.empty()) {
    tod = parser.TimeObsSeconds() / 86400.0L;
  } else {
    try {
      tod = HeaderTimeOfDay(time);
    } catch (const ConvertError&) {
      ShowNumericError(platform(), "UT", time);
      tod = 0;
    }
  }
  Header.ObsTime = static_cast<double>(date + tod + c / 172800.0L);
}

bool FITSFileObj::ReadHeader(const fs::path& fileName) {
  DiscardImage();
  Header = FITSHeaderRec{};
  hasDateObs_ = goOn_ = endSeen_ = false;
  if (!DataFile.Open(fileName)) {
    ShowError(platform(), "FITS File Error!",
              "Unable to Open FITS File!\n\nFile Name: " + fileName.string() +
                  "\nIOResult = " + std::to_string(DataFile.OpenError()));
    return false;
  }
  if (!BeginListing(fileName, "File Error!", "** FITS Header Information **")) {
    DataFile.Close();
    return false;
  }
  FITSHeaderParser parser([this](std::string_view key, std::string_view value) {
    ShowNumericError(platform(), key, value);
  });
  parser.Reset();
  std::string listing;
  const auto notFITS = [&](const std::string& shown) {
    ListText(shown);
    CloseListing();
    DataFile.Close();
    ShowError(platform(), "FITS File Error!",
              "File is Not FITS Format!\nFile Name: " + fileName.string() + "\n\n" + FileTypeHint);
    return false;
  };
  for (bool first = true;; first = false) {
    const std::size_t n = DataFile.Read(CardBlock.data(), FITSBlockSize);
    // The end of the file ends the header, but only after a first block:
    // an empty file is a short block like any other.
    if (n == 0 && !first) break;
    if (n < FITSBlockSize && first) {
      // Too short for a header: whether it is a FITS file cut short or no
      // FITS file at all is told by its first card, as for a whole block.
      std::fill(CardBlock.begin() + static_cast<std::ptrdiff_t>(n),
                CardBlock.begin() + FITSBlockSize, ' ');
      FITSHeaderParser probe({});
      probe.Reset();
      std::string probeListing;
      if (probe.ParseBlock(
              std::span<const std::uint8_t, FITSBlockSize>(CardBlock.data(), FITSBlockSize),
              probeListing) == FITSHeaderParser::BlockResult::NotFITS)
        return notFITS(probeListing);
    }
    if (n < FITSBlockSize) {
      ListText(listing);
      DataFile.Close();
      CloseListing();
      throw FileError(fileName, 100, "Read beyond end of file: " + fileName.string());
    }
    const auto result = parser.ParseBlock(
        std::span<const std::uint8_t, FITSBlockSize>(CardBlock.data(), FITSBlockSize), listing);
    if (result == FITSHeaderParser::BlockResult::NotFITS) return notFITS(listing);
    if (result == FITSHeaderParser::BlockResult::Done) break;
  }
  ListText(listing);
  CloseListing();
  Header = parser.Header();
  hasDateObs_ = parser.HasDateObs();
  goOn_ = parser.GoOn();
  endSeen_ = parser.EndSeen();
  if (hasDateObs_) SetObsTime(parser);
  if (!goOn_) {
    ImageInfo = ImageInfoRec{};
    ImageInfo.FileName = fileName.string().substr(0, ImageInfoRec::FileNameCap);
    ImageInfo.Format = ("FITS (BITPIX = " + std::to_string(Header.BitPix) + ")")
                           .substr(0, ImageInfoRec::FormatCap);
    ImageInfo.Width = Header.NAxis1;
    ImageInfo.Height = Header.NAxis2;
    ImageInfo.PixelCount = 0;
    ImageInfo.RawMin = INT32_MAX;
    ImageInfo.RawMax = 0;
  }
  if (!CheckHeader()) {
    DataFile.Close();
    ShowError(platform(), "FITS File Error!", "Required FITS Keyword Data is Missing or Faulty!");
    return false;
  }
  if (!IsTable() && !IsBinaryTable()) ImageInfo.PixelCount = Header.NAxis1 * Header.NAxis2;
  return true;
}

bool FITSFileObj::ReadTable() {
  ShowError(platform(), "FITS File Error!",
            "File Holds an ASCII Table, Not an Image!\nFile Name: " + DataFile.Path().string());
  return false;
}

namespace {

// The conversions of the five pixel formats. Each gives false for a value
// that has no 32-bit integer (NaN, infinite, out of range): the pixel is
// then stored as 0 and the load asks about the errors at the end.
bool FitsInt32(long double r, std::int32_t& out) {
  if (!(r >= -2147483648.0L && r <= 2147483647.0L)) return false;
  out = static_cast<std::int32_t>(r);
  return true;
}

struct Scaling {
  long double scale = 1, zero = 0;
  // BSCALE 1 with an integral BZERO: exact integer arithmetic.
  bool integral = false;
  std::int64_t izero = 0;
  explicit Scaling(const FITSHeaderRec& h, bool apply) {
    if (!apply) return;
    scale = h.BScale;
    zero = h.BZero;
    if (scale == 1.0L && zero == std::nearbyintl(zero) && std::fabs(zero) < 4.0e18L) {
      integral = true;
      izero = static_cast<std::int64_t>(zero);
    }
  }
  bool Convert(std::int64_t v, std::int32_t& out) const {
    if (integral) {
      const std::int64_t r = v + izero;
      if (r < INT32_MIN || r > INT32_MAX) return false;
      out = static_cast<std::int32_t>(r);
      return true;
    }
    return FitsInt32(RoundHalfEven(static_cast<long double>(v) * scale + zero), out);
  }
};

inline std::uint16_t Big16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t Big32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}
inline std::uint64_t Big64(const std::uint8_t* p) {
  return (std::uint64_t{Big32(p)} << 32) | Big32(p + 4);
}

}  // namespace

bool FITSFileObj::ReadPass(std::size_t size, long double binWidth, const ConvertValues& convert,
                           bool tallied) {
  NewHistogram(binWidth);
  RestartPixels();
  const auto wanted = static_cast<std::size_t>(std::max<std::int64_t>(ImageInfo.PixelCount, 0));
  const std::span<std::int32_t> cells = Pixels->MutableCells().first(wanted);

  // Whole blocks at a time, converted straight into the table while they
  // are in the cache, with their range and histogram. A small image needs
  // no more buffer than its data.
  const std::size_t chunk =
      std::min<std::size_t>(FITSBlockSize * 32, std::max<std::size_t>(wanted, 1) * size);
  std::vector<std::uint8_t> bytes(chunk);
  bool errors = false;
  std::size_t done = 0;
  std::size_t carry = 0;  // bytes of a value cut by a short read
  std::int32_t lo = ImageInfo.RawMin, hi = ImageInfo.RawMax;
  HistogramObj::Tally counted(*Histogram);
  try {
    while (done < wanted) {
      const std::size_t want = std::min(chunk - carry, (wanted - done) * size - carry);
      const std::size_t got = DataFile.Read(bytes.data() + carry, want);
      const std::size_t have = carry + got;
      const std::size_t count = have / size;
      const std::span<std::int32_t> out = cells.subspan(done, count);
      if (!convert(bytes.data(), count, out.data())) errors = true;
      if (tallied) {
        for (std::int32_t v : out) {
          lo = std::min(lo, v);
          hi = std::max(hi, v);
        }
        counted.Add(out);
      }
      done += count;
      carry = have - count * size;
      if (carry) std::memmove(bytes.data(), bytes.data() + count * size, carry);
      if (got < want) break;  // the end of the file
    }
  } catch (const FileError&) {
    errors = true;
  }
  if (tallied) counted.Finish();
  ImageInfo.RawMin = lo;
  ImageInfo.RawMax = hi;
  // Values never read stay 0 and are not counted.
  std::fill(cells.begin() + static_cast<std::ptrdiff_t>(done), cells.end(), 0);
  // A file that ends before its last pixel is an error too.
  return !errors && done >= wanted && !DataShort();
}

bool FITSFileObj::ReadValues(std::size_t size, long double binWidth, const ConvertValues& convert) {
  return ReadPass(size, binWidth, convert) || !AskAbort();
}

bool FITSFileObj::ReadBytes() {
  const Scaling scaling(Header, true);
  return ReadValues(1, 1.0L, [&](const std::uint8_t* p, std::size_t count, std::int32_t* out) {
    bool ok = true;
    for (std::size_t i = 0; i < count; ++i)
      if (!scaling.Convert(p[i], out[i])) out[i] = 0, ok = false;
    return ok;
  });
}

bool FITSFileObj::ReadShorts() {
  const Scaling scaling(Header, true);
  return ReadValues(2, 256.0L, [&](const std::uint8_t* p, std::size_t count, std::int32_t* out) {
    if (scaling.integral && scaling.izero >= INT32_MIN + 32768LL &&
        scaling.izero <= INT32_MAX - 32767LL) {
      // Every 16-bit value plus such an offset fits: no checks needed.
      const auto zero = static_cast<std::int32_t>(scaling.izero);
      for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<std::int16_t>(Big16(p + 2 * i)) + zero;
      return true;
    }
    bool ok = true;
    for (std::size_t i = 0; i < count; ++i)
      if (!scaling.Convert(static_cast<std::int16_t>(Big16(p + 2 * i)), out[i]))
        out[i] = 0, ok = false;
    return ok;
  });
}

bool FITSFileObj::ReadLongs() {
  const Scaling scaling(Header, true);
  return ReadValues(4, 256.0L, [&](const std::uint8_t* p, std::size_t count, std::int32_t* out) {
    bool ok = true;
    for (std::size_t i = 0; i < count; ++i)
      if (!scaling.Convert(static_cast<std::int32_t>(Big32(p + 4 * i)), out[i]))
        out[i] = 0, ok = false;
    return ok;
  });
}

namespace {

template <typename Float>
Float BigFloat(const std::uint8_t* p) {
  if constexpr (sizeof(Float) == 4)
    return std::bit_cast<float>(Big32(p));
  else
    return std::bit_cast<double>(Big64(p));
}

}  // namespace

namespace {

// The linear map of a range onto 0..65535; halves keep the span finite for
// doubles at the ends of their range.
struct OntoSixteenBits {
  double low, span;
  OntoSixteenBits(double lo, double hi) : low(lo * 0.5), span(hi * 0.5 - lo * 0.5) {}
  std::int32_t operator()(double v) const {
    const double t = RoundDouble((v * 0.5 - low) / span * 65535.0);
    return static_cast<std::int32_t>(t > 0 ? std::min(t, 65535.0) : 0.0);
  }
};

}  // namespace

// Floating-point data get BSCALE and BZERO like integers, in double
// precision (the values are singles or doubles already). When integers
// cannot hold the result well (a range of fewer than FloatSteps integer
// steps, or one beyond the 32-bit range) it is mapped linearly onto 0..65535
// before rounding: centroids and magnitude differences do not change under
// such a map. The range is known only after the last value: doubles are
// read twice when they are mapped; singles are read once, straight into the
// pixel table, and converted there.
template <typename Float>
bool FITSFileObj::ReadFloats() {
  constexpr std::size_t size = sizeof(Float);
  const double scale = static_cast<double>(Header.BScale);
  const double zero = static_cast<double>(Header.BZero);
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  bool outOfRange = false;
  const bool ok =
      ReadPass(size, 256.0L, [&](const std::uint8_t* p, std::size_t count, std::int32_t* out) {
        bool good = true;
        for (std::size_t i = 0; i < count; ++i) {
          const double v = static_cast<double>(BigFloat<Float>(p + size * i)) * scale + zero;
          if (!std::isfinite(v)) {
            out[i] = 0, good = false;
            continue;
          }
          lo = std::min(lo, v);
          hi = std::max(hi, v);
          const double r = RoundDouble(v);
          if (r >= -2147483648.0 && r <= 2147483647.0)
            out[i] = static_cast<std::int32_t>(r);
          else
            out[i] = 0, outOfRange = true;
        }
        return good;
      });
  if (!MapsOntoSixteenBits(lo, hi)) return (ok && !outOfRange) || !AskAbort();

  const OntoSixteenBits map(lo, hi);
  DataFile.Seek(dataStart_);
  const bool mapped =
      ReadPass(size, 256.0L, [&](const std::uint8_t* p, std::size_t count, std::int32_t* out) {
        bool good = true;
        for (std::size_t i = 0; i < count; ++i) {
          const double v = static_cast<double>(BigFloat<Float>(p + size * i)) * scale + zero;
          if (!std::isfinite(v))
            out[i] = 0, good = false;
          else
            out[i] = map(v);
        }
        return good;
      });
  SayMapped(lo, hi);
  return mapped || !AskAbort();
}

bool FITSFileObj::MapsOntoSixteenBits(double lo, double hi) const {
  const bool narrow = hi - lo < FloatSteps;
  const bool wide = lo < -2147483648.0 || hi > 2147483647.0;
  return lo < hi && hi * 0.5 - lo * 0.5 > 0 && (narrow || wide);
}

void FITSFileObj::SayMapped(double lo, double hi) {
  ValueNote = "Floating-Point Values " + FormatExp(6, lo) + " to " + FormatExp(6, hi) +
              " Mapped Linearly onto 0 to 65535";
}

namespace {

// Big-endian singles to the machine's order (as cell bits), with the
// smallest and largest of them (NaN left out) and the count of values that
// are no finite numbers.
void SinglesInMachineOrder(const std::uint8_t* p, std::size_t count, std::int32_t* out, float& lo,
                           float& hi, std::size_t& nonFinite) {
  std::size_t i = 0;
  float l = lo, h = hi;
  std::size_t odd = 0;
#if defined(__SSE2__)
  __m128 vl = _mm_set1_ps(l), vh = _mm_set1_ps(h);
  const __m128i exponent = _mm_set1_epi32(0x7F800000);
  __m128i vodd = _mm_setzero_si128();
  for (; i + 4 <= count; i += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * i));
    v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
    v = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xB1), 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
    const __m128 f = _mm_castsi128_ps(v);
    vl = _mm_min_ps(f, vl);  // a NaN in f gives the second operand
    vh = _mm_max_ps(f, vh);
    vodd = _mm_sub_epi32(vodd, _mm_cmpeq_epi32(_mm_and_si128(v, exponent), exponent));
  }
  alignas(16) float ls[4], hs[4];
  alignas(16) std::int32_t odds[4];
  _mm_store_ps(ls, vl);
  _mm_store_ps(hs, vh);
  _mm_store_si128(reinterpret_cast<__m128i*>(odds), vodd);
  for (int j = 0; j < 4; ++j) {
    l = std::min(l, ls[j]);
    h = std::max(h, hs[j]);
    odd += static_cast<std::size_t>(odds[j]);
  }
#endif
  for (; i < count; ++i) {
    const std::uint32_t bits = Big32(p + 4 * i);
    out[i] = static_cast<std::int32_t>(bits);
    const float f = std::bit_cast<float>(bits);
    // NaN compares false both ways; infinities are counted apart.
    l = f < l ? f : l;
    h = f > h ? f : h;
    odd += (bits & 0x7F800000u) == 0x7F800000u;
  }
  lo = l, hi = h, nonFinite += odd;
}

// Finite singles (cell bits) to integers in place: round(clamp(f k + c,
// bottom, top)), with the smallest and largest result.
void SinglesToIntegers(std::span<std::int32_t> cells, double k, double c, double bottom, double top,
                       std::int32_t& lo, std::int32_t& hi) {
  std::size_t i = 0;
  const std::size_t n = cells.size();
  std::int32_t* const out = cells.data();
#if defined(__SSE2__)
  if (n >= 4) {
    const __m128d vk = _mm_set1_pd(k), vc = _mm_set1_pd(c);
    const __m128d vb = _mm_set1_pd(bottom), vt = _mm_set1_pd(top);
    __m128d mn = vt, mx = vb;
    for (; i + 4 <= n; i += 4) {
      const __m128 f = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i)));
      __m128d v0 = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(f), vk), vc);
      __m128d v1 = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(f, f)), vk), vc);
      v0 = _mm_max_pd(_mm_min_pd(v0, vt), vb);
      v1 = _mm_max_pd(_mm_min_pd(v1, vt), vb);
      mn = _mm_min_pd(mn, _mm_min_pd(v0, v1));
      mx = _mm_max_pd(mx, _mm_max_pd(v0, v1));
      // Rounded in the default mode: to the nearest, halves to even.
      const __m128i r = _mm_unpacklo_epi64(_mm_cvtpd_epi32(v0), _mm_cvtpd_epi32(v1));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), r);
    }
    alignas(16) double mns[2], mxs[2];
    _mm_store_pd(mns, mn);
    _mm_store_pd(mxs, mx);
    lo = std::min(lo, RoundDoubleToInt32(std::min(mns[0], mns[1])));
    hi = std::max(hi, RoundDoubleToInt32(std::max(mxs[0], mxs[1])));
  }
#endif
  for (; i < n; ++i) {
    const double v = static_cast<double>(std::bit_cast<float>(out[i])) * k + c;
    const std::int32_t r = RoundDoubleToInt32(std::clamp(v, bottom, top));
    out[i] = r;
    lo = std::min(lo, r);
    hi = std::max(hi, r);
  }
}

}  // namespace

// Singles are read once: their bits go into the table in the machine's byte
// order, with their range; then each cell is converted in place (mapped
// when the range asks for it), a cache-sized stretch at a time with its
// histogram.
bool FITSFileObj::ReadSingles() {
  const double scale = static_cast<double>(Header.BScale);
  const double zero = static_cast<double>(Header.BZero);
  float flo = std::numeric_limits<float>::infinity(), fhi = -flo;
  std::size_t nonFinite = 0;
  bool ok = ReadPass(
      4, 256.0L,
      [&](const std::uint8_t* p, std::size_t count, std::int32_t* out) {
        SinglesInMachineOrder(p, count, out, flo, fhi, nonFinite);
        return true;
      },
      false);
  if (nonFinite > 0) {
    // Infinities took part in the range: it is taken again without them.
    flo = std::numeric_limits<float>::infinity(), fhi = -flo;
    for (std::int32_t cell : Pixels->MutableCells().first(
             static_cast<std::size_t>(std::max<std::int64_t>(ImageInfo.PixelCount, 0)))) {
      const float f = std::bit_cast<float>(cell);
      if (std::isfinite(f)) flo = std::min(flo, f), fhi = std::max(fhi, f);
    }
  }
  double lo = static_cast<double>(flo) * scale + zero, hi = static_cast<double>(fhi) * scale + zero;
  if (lo > hi) std::swap(lo, hi);
  if (!(flo <= fhi)) lo = std::numeric_limits<double>::infinity(), hi = -lo;  // no finite value
  const bool map = MapsOntoSixteenBits(lo, hi);
  // The map folded into one multiply and add; otherwise BSCALE and BZERO.
  double a = scale, b = zero;
  if (map) {
    const OntoSixteenBits onto(lo, hi);
    a = scale * 0.5 / onto.span * 65535.0;
    b = (zero * 0.5 - onto.low) / onto.span * 65535.0;
  }
  const bool direct = std::isfinite(a) && std::isfinite(b);
  const OntoSixteenBits onto(lo, hi);

  // Without a map the range lies within 32 bits, so every finite value has
  // its integer; with one, each lands in 0..65535.
  const auto n = static_cast<std::size_t>(std::max<std::int64_t>(ImageInfo.PixelCount, 0));
  const std::span<std::int32_t> cells = Pixels->MutableCells().first(n);
  std::int32_t rawLo = INT32_MAX, rawHi = 0;
  bool bad = false;
  HistogramObj::Tally counted(*Histogram);
  constexpr std::size_t kStretch = 65536;
  for (std::size_t from = 0; from < n; from += kStretch) {
    const std::span<std::int32_t> part = cells.subspan(from, std::min(kStretch, n - from));
    std::int32_t l = rawLo, h = rawHi;
    if (nonFinite == 0 && (!map || direct)) {
      // All numbers: a straight pass.
      const double k = map ? a : scale, c = map ? b : zero;
      const double bottom = map ? 0.0 : -2147483648.0, top = map ? 65535.0 : 2147483647.0;
      SinglesToIntegers(part, k, c, bottom, top, l, h);
    } else {
      for (std::int32_t& cell : part) {
        const float f = std::bit_cast<float>(cell);
        const double v = static_cast<double>(f) * scale + zero;
        std::int32_t out = 0;
        if (!std::isfinite(v))
          bad = true;
        else
          out = map ? onto(v) : RoundDoubleToInt32(v);
        cell = out;
        l = std::min(l, out);
        h = std::max(h, out);
      }
    }
    rawLo = l, rawHi = h;
    counted.Add(part);
  }
  counted.Finish();
  if (map) SayMapped(lo, hi);
  ImageInfo.RawMin = std::min(ImageInfo.RawMin, rawLo);
  ImageInfo.RawMax = std::max(ImageInfo.RawMax, rawHi);
  ok = ok && !bad;
  return ok || !AskAbort();
}

bool FITSFileObj::ReadDoubles() { return ReadFloats<double>(); }

bool FITSFileObj::LoadFile(const fs::path& fileName) {
  if (!ReadHeader(fileName)) return false;
  if (IsTable()) {
    const bool ok = ReadTable();
    DataFile.Close();
    return ok;
  }
  if (IsBinaryTable()) {
    DataFile.Close();
    ShowError(platform(), "FITS File Error!",
              "File Holds a Binary Table, Not an Image (Compressed Images are Not Read)!\n"
              "File Name: " +
                  fileName.string());
    return false;
  }
  // The header's claim is held against the bytes that follow it: a file
  // much too short for it gets a table no larger than its data.
  const auto valueBytes = static_cast<std::uint64_t>(std::abs(Header.BitPix) / 8);
  const std::uint64_t size = DataFile.Size(), at = DataFile.Position();
  const std::uint64_t values = (size > at ? size - at : 0) / valueBytes;
  const auto width = static_cast<std::uint64_t>(ImageInfo.Width);
  LimitRows((values + width - 1) / width);
  dataStart_ = at;
  CreatePixelStore();
  bool ok = false;
  switch (Header.BitPix) {
    case 8:
      ok = ReadBytes();
      break;
    case 16:
      ok = ReadShorts();
      break;
    case 32:
      ok = ReadLongs();
      break;
    case -32:
      ok = ReadSingles();
      break;
    case -64:
      ok = ReadDoubles();
      break;
  }
  DataFile.Close();
  if (ok) {
    UpdateCamRec();
    if (hasDateObs_) UpdateObsParms();
  }
  return ok;
}

void FITSFileObj::UpdateCamRec() {
  if (ctx_.camera) {
    if (Header.Filter != PassbandUnknown) ctx_.camera->Filter = Header.Filter;
    ctx_.camera->ImageWidth = Header.NAxis1;
    ctx_.camera->ImageHeight = Header.NAxis2;
  }
  if (ctx_.camFromFile) *ctx_.camFromFile = true;
}

void FITSFileObj::UpdateObsParms() {
  ObsParmsRec* obs = ctx_.currentObs;
  if (!obs || IsTable()) return;
  if (obs->ObjName.empty()) obs->ObjName = Header.ObjName;
  if (obs->Observer.empty()) obs->Observer = Header.Observer;
  obs->ObsTime = Header.ObsTime;
}

}  // namespace hv
