// Writes the four sample FITS images the program ships: one sky field
// taken four times, 10 minutes apart, with an asteroid moving across it.
//
//   make_samples <folder> [star list]   the images FIELD1.FIT .. FIELD4.FIT
//                                       and SAMPLE_TRUTH.TXT beside them
//   make_samples --stars <file>         (re)writes the synthetic star list
//
// The star list (data/sample_stars.txt) is found beside the program
// (../share/halvardin or the source tree's data/) unless it is given. Every
// random value comes from fixed seeds through our own deviates, so a build
// writes the same images each time.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "images/FITSWriter.h"
#include "support/Format.h"
#include "support/Rounding.h"
#include "tools/StarList.h"

namespace fs = std::filesystem;

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kDeg = kPi / 180.0L;

// The field: centre, image size and scale.
constexpr long double kFieldRA = 10.5L;   // hours
constexpr long double kFieldDec = 12.0L;  // degrees
constexpr int kWidth = 512, kHeight = 512;
constexpr long double kScale = 2.0L;       // arc seconds per pixel
constexpr long double kListHalfSize = 20;  // arc minutes: the list covers more than an image

// The camera and sky.
constexpr long double kExposure = 60;      // seconds
constexpr long double kGain = 2.0L;        // electrons per ADU
constexpr long double kReadNoise = 10.0L;  // electrons
constexpr long double kSky = 800.0L;       // ADU per pixel
constexpr long double kZeroPoint = 22.0L;  // magnitude giving 1 electron per second
constexpr long double kBias = 100.0L;      // ADU
constexpr long double kFullWell = 65535.0L;

// The asteroid: position at the first exposure's middle, motion, brightness.
constexpr long double kAstRA = 10.4985L;     // hours
constexpr long double kAstDec = 12.0210L;    // degrees
constexpr long double kAstRateRA = 40.0L;    // arc seconds per hour, on the sky, eastward
constexpr long double kAstRateDec = -15.0L;  // arc seconds per hour
constexpr long double kAstMag = 15.6L;
constexpr int kImages = 4;
constexpr int kMinutesApart = 10;

using Star = hv::sample::ListedStar;
using hv::sample::FindStarList;
using hv::sample::ReadStarList;

// Uniform deviates in (0, 1) and normal deviates (Box-Muller), our own, so
// that the values do not depend on the standard library's distributions.
class Deviates {
 public:
  explicit Deviates(std::uint32_t seed) : gen_(seed) {}
  long double Uniform() { return (static_cast<long double>(gen_()) + 0.5L) / 4294967296.0L; }
  long double Normal() {
    if (spare_) {
      spare_ = false;
      return next_;
    }
    const long double u1 = Uniform(), u2 = Uniform();
    const long double r = std::sqrt(-2.0L * std::log(u1));
    next_ = r * std::sin(2.0L * kPi * u2);
    spare_ = true;
    return r * std::cos(2.0L * kPi * u2);
  }

 private:
  std::mt19937 gen_;
  bool spare_ = false;
  long double next_ = 0;
};

std::string Fixed(int decimals, long double v) { return hv::FormatFixed(decimals, v); }

// prefix + the number with leading zeros to the given width.
std::string Padded(int value, std::size_t width, std::string prefix = {}) {
  return prefix + hv::ZeroPadded(value, width);
}

// The synthetic field: positions uniform over the list's square, magnitudes
// from a power law (three times as many stars per magnitude fainter).
std::vector<Star> MakeStars() {
  Deviates d(20040315);
  std::vector<Star> stars;
  const int count = 420;
  const long double halfDeg = kListHalfSize / 60.0L;
  for (int i = 0; i < count; ++i) {
    Star s;
    s.id = Padded(i + 1, 4, "HVS");
    const long double dx = (2 * d.Uniform() - 1) * halfDeg;  // degrees on the sky
    const long double dy = (2 * d.Uniform() - 1) * halfDeg;
    s.dec = kFieldDec + dy;
    s.ra = kFieldRA + dx / std::cos(s.dec * kDeg) / 15.0L;
    // N(<m) ~ 10^(0.45 m) between 9 and 18.
    const long double lo = std::pow(10.0L, 0.45L * 9), hi = std::pow(10.0L, 0.45L * 18);
    s.v = std::log10(lo + d.Uniform() * (hi - lo)) / 0.45L;
    const long double bv = 0.3L + 0.9L * d.Uniform();
    s.b = s.v + bv;
    s.r = s.v - 0.55L * bv;
    stars.push_back(s);
  }
  return stars;
}

bool WriteStarList(const fs::path& file) {
  std::ofstream out(file, std::ios::binary);
  out << "# Sample star field of the shipped images FIELD1.FIT .. FIELD4.FIT.\n"
         "# Synthetic stars written by make_samples --stars (fixed seed).\n"
         "# Columns: identifier, RA (hours, J2000), Dec (degrees, J2000), B, V, R magnitudes.\n";
  for (const Star& s : MakeStars())
    out << s.id << ' ' << Fixed(7, s.ra) << ' ' << (s.dec >= 0 ? "+" : "") << Fixed(6, s.dec) << ' '
        << Fixed(2, s.b) << ' ' << Fixed(2, s.v) << ' ' << Fixed(2, s.r) << '\n';
  return static_cast<bool>(out);
}

// Gnomonic projection of (ra, dec) about the centre: standard coordinates
// in arc seconds, xi eastward and eta northward.
void Project(long double ra, long double dec, long double ra0, long double dec0, long double& xi,
             long double& eta) {
  const long double a = (ra - ra0) * 15 * kDeg, d = dec * kDeg, d0 = dec0 * kDeg;
  const long double den = std::sin(d) * std::sin(d0) + std::cos(d) * std::cos(d0) * std::cos(a);
  xi = std::cos(d) * std::sin(a) / den / kDeg * 3600;
  eta = (std::sin(d) * std::cos(d0) - std::cos(d) * std::sin(d0) * std::cos(a)) / den / kDeg * 3600;
}

// The fraction of a Gaussian of sigma s centred at c that falls in [p-0.5, p+0.5).
long double PixelShare(long double p, long double c, long double s) {
  const long double k = 1.0L / (std::sqrt(2.0L) * s);
  return 0.5L * (std::erf((p + 0.5L - c) * k) - std::erf((p - 0.5L - c) * k));
}

void AddSource(std::vector<long double>& img, long double x, long double y, long double electrons,
               long double sigma) {
  const int r = static_cast<int>(std::ceil(6 * sigma));
  const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
  for (int py = cy - r; py <= cy + r; ++py) {
    if (py < 0 || py >= kHeight) continue;
    const long double fy = PixelShare(py, y, sigma);
    for (int px = cx - r; px <= cx + r; ++px) {
      if (px < 0 || px >= kWidth) continue;
      img[static_cast<std::size_t>(py) * kWidth + px] += electrons * fy * PixelShare(px, x, sigma);
    }
  }
}

std::string Sexagesimal(long double v, bool sign, int decimals) {
  const bool neg = v < 0;
  // Rounded once at the printed resolution, then split.
  const long double unit = std::pow(10.0L, decimals);
  const long double total = hv::RoundHalfEven(std::fabs(v) * 3600 * unit) / unit;
  const long double whole = std::floor(total / 3600);
  const long double minutes = std::floor((total - whole * 3600) / 60);
  const long double seconds = total - whole * 3600 - minutes * 60;
  auto two = [](long double x, int dec) {
    std::string s = hv::FormatFixed(dec, x);
    const std::size_t intLen = s.find('.') == std::string::npos ? s.size() : s.find('.');
    if (intLen < 2) s.insert(0, 2 - intLen, '0');
    return s;
  };
  std::string out = sign ? (neg ? "-" : "+") : "";
  return out + two(whole, 0) + ":" + two(minutes, 0) + ":" + two(seconds, decimals);
}

// What the asteroid really was in one image, for checking measurements.
struct Truth {
  std::string midTime;          // mid-exposure, UT, "YYYY-MM-DDThh:mm:ss"
  long double ra = 0, dec = 0;  // hours, degrees
  long double mag = 0;          // V
};

bool WriteImage(const fs::path& file, int index, const std::vector<Star>& stars, Truth& truth) {
  Deviates d(1000u + static_cast<std::uint32_t>(index));
  // Pointing wanders by a few arc seconds between exposures.
  const long double ra0 =
      kFieldRA + (d.Normal() * 3.0L) / 3600.0L / 15.0L / std::cos(kFieldDec * kDeg);
  const long double dec0 = kFieldDec + (d.Normal() * 3.0L) / 3600.0L;
  const long double seeing = 3.2L + 0.3L * d.Uniform();  // FWHM, arc seconds
  const long double sigma = seeing / kScale / 2.3548L;   // pixels
  const long double hours = index * kMinutesApart / 60.0L;

  std::vector<long double> e(static_cast<std::size_t>(kWidth) * kHeight);
  // Sky with a faint gradient, in electrons.
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      e[static_cast<std::size_t>(y) * kWidth + x] =
          (kSky *
           (1.0L + 0.04L * (x - kWidth / 2) / kWidth + 0.02L * (y - kHeight / 2) / kHeight)) *
          kGain;
  auto place = [&](long double ra, long double dec, long double mag) {
    long double xi, eta;
    Project(ra, dec, ra0, dec0, xi, eta);
    // North up, east left; row 0 is the top row.
    const long double x = (kWidth - 1) / 2.0L - xi / kScale;
    const long double y = (kHeight - 1) / 2.0L - eta / kScale;
    if (x < -20 || y < -20 || x > kWidth + 20 || y > kHeight + 20) return;
    AddSource(e, x, y, std::pow(10.0L, 0.4L * (kZeroPoint - mag)) * kExposure, sigma);
  };
  for (const Star& s : stars) place(s.ra, s.dec, s.v);
  const long double astDec = kAstDec + kAstRateDec * hours / 3600.0L;
  const long double astRA = kAstRA + kAstRateRA * hours / 3600.0L / 15.0L / std::cos(astDec * kDeg);
  const long double astMag = kAstMag + 0.05L * d.Normal();
  place(astRA, astDec, astMag);
  truth.midTime = "2004-03-15T03:" + Padded(20 + index * kMinutesApart, 2) + ":00";
  truth.ra = astRA;
  truth.dec = astDec;
  truth.mag = astMag;

  std::vector<std::int16_t> data(e.size());
  for (std::size_t i = 0; i < e.size(); ++i) {
    // Photon noise (normal approximation) and read noise, then ADU.
    const long double sd = std::sqrt(e[i] + kReadNoise * kReadNoise);
    long double adu = (e[i] + sd * d.Normal()) / kGain + kBias;
    adu = std::clamp(hv::RoundHalfEven(adu), 0.0L, kFullWell);
    data[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(adu) - 32768);
  }
  // A few hot pixels, as real chips have.
  for (int k = 0; k < 6; ++k) {
    const std::size_t at =
        static_cast<std::size_t>(d.Uniform() * static_cast<long double>(e.size()));
    data[std::min(at, e.size() - 1)] = 32767;
  }

  // Mid-exposure at 03:20:00 + index x 10 min; the header gives the start,
  // half the 60 s exposure earlier.
  const std::string date =
      "2004-03-15T03:" + Padded(19 + index * kMinutesApart, 2) + ":" + Padded(30, 2);

  hv::FITSWriter f;
  f.Logical("SIMPLE", true).Int("BITPIX", 16).Int("NAXIS", 2).Int("NAXIS1", kWidth);
  f.Int("NAXIS2", kHeight).Real("BZERO", 32768).Real("BSCALE", 1);
  f.Str("DATE-OBS", date).Real("EXPTIME", static_cast<double>(kExposure));
  f.Str("OBJECT", "Asteroid Field").Str("OBSERVER", "Halvardin Sample Set");
  f.Str("TELESCOP", "0.4 m Cassegrain").Str("INSTRUME", "CCD 512");
  f.Str("RA", Sexagesimal(ra0, false, 2)).Str("DEC", Sexagesimal(dec0, true, 1));
  f.Real("EQUINOX", 2000.0).Str("FILTER", "V");
  f.Real("XPIXSZ", 13.5).Real("YPIXSZ", 13.5).Real("FOCALLEN", 1392.0);
  f.Raw("COMMENT   Synthetic image: stars of sample_stars.txt, seeing, sky and noise.");
  f.End().I16(data).Pad();
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(f.Bytes().data()),
            static_cast<std::streamsize>(f.Bytes().size()));
  return static_cast<bool>(out);
}

// One line per image: file, mid-exposure time, the asteroid's RA (hours),
// Dec (degrees) and V magnitude; '#' starts a comment line.
bool WriteTruth(const fs::path& file, const std::vector<std::string>& names,
                const std::vector<Truth>& truths) {
  std::string text =
      "# The asteroid in the sample images (J2000, where it was drawn).\n"
      "# file  mid-exposure UT  RA (h)  Dec (deg)  RA  Dec  V mag\n";
  for (std::size_t i = 0; i < truths.size(); ++i) {
    const Truth& t = truths[i];
    text += names[i] + " " + t.midTime + " " + Fixed(9, t.ra) + " " + Fixed(8, t.dec) + " " +
            Sexagesimal(t.ra, false, 3) + " " + Sexagesimal(t.dec, true, 2) + " " +
            Fixed(2, t.mag) + "\n";
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--stars") {
    if (!WriteStarList(argv[2])) {
      std::cerr << "make_samples: cannot write " << argv[2] << "\n";
      return 1;
    }
    return 0;
  }
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: make_samples <folder> [star list]\n"
                 "       make_samples --stars <file>\n";
    return 2;
  }
  const fs::path folder = argv[1];
  const fs::path list = argc == 3 ? fs::path(argv[2]) : FindStarList();
  std::vector<Star> stars;
  if (list.empty() || !ReadStarList(list, stars)) {
    std::cerr << "make_samples: no readable star list (data/sample_stars.txt)\n";
    return 1;
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  std::vector<std::string> names;
  std::vector<Truth> truths;
  for (int i = 0; i < kImages; ++i) {
    names.push_back("FIELD" + std::to_string(i + 1) + ".FIT");
    const fs::path file = folder / names.back();
    Truth truth;
    if (!WriteImage(file, i, stars, truth)) {
      std::cerr << "make_samples: cannot write " << file << "\n";
      return 1;
    }
    truths.push_back(truth);
    std::cout << file.string() << "\n";
  }
  const fs::path truthFile = folder / "SAMPLE_TRUTH.TXT";
  if (!WriteTruth(truthFile, names, truths)) {
    std::cerr << "make_samples: cannot write " << truthFile << "\n";
    return 1;
  }
  std::cout << truthFile.string() << "\n";
  return 0;
}
