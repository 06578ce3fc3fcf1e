#pragma once
// Synthetic stars for the measuring tests: pixel-integrated circular
// Gaussians (the exact integral of the profile over each pixel, via erf) on a
// flat background, with optional noise from a fixed-seed generator.
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace hv::test {

// Our own normal deviates (Box-Muller on 32-bit draws), so the values are the
// same with every standard library.
class Normal {
 public:
  explicit Normal(std::uint32_t seed) : gen_(seed) {}
  double uniform() { return (static_cast<double>(gen_()) + 0.5) / 4294967296.0; }
  double operator()() {
    if (haveSpare_) {
      haveSpare_ = false;
      return spare_;
    }
    const double u1 = uniform(), u2 = uniform();
    const double r = std::sqrt(-2.0 * std::log(u1));
    const double a = 6.283185307179586 * u2;
    spare_ = r * std::sin(a);
    haveSpare_ = true;
    return r * std::cos(a);
  }

 private:
  std::mt19937 gen_;
  double spare_ = 0;
  bool haveSpare_ = false;
};

// Fraction of a unit Gaussian (centre c, width sigma) that falls in pixel i,
// whose extent is i - 0.5 .. i + 0.5.
inline long double PixelShare(int i, long double c, long double sigma) {
  const long double k = 1.0L / (sigma * std::sqrt(2.0L));
  return 0.5L * (std::erf((i + 0.5L - c) * k) - std::erf((i - 0.5L - c) * k));
}

// Fraction of the Gaussian inside the pixels lo .. hi (inclusive) of one axis.
inline long double AxisShare(int lo, int hi, long double c, long double sigma) {
  const long double k = 1.0L / (sigma * std::sqrt(2.0L));
  return 0.5L * (std::erf((hi + 0.5L - c) * k) - std::erf((lo - 0.5L - c) * k));
}

struct StarGrid {
  int W = 0, H = 0;
  std::vector<std::int32_t> v;
  StarGrid(int w, int h, std::int32_t background) : W(w), H(h), v(std::size_t(w) * h, background) {}
  std::int32_t GetCell(int x, int y) const { return v[std::size_t(y) * W + x]; }
  std::int32_t& at(int x, int y) { return v[std::size_t(y) * W + x]; }

  // Adds a star of total flux f; values are rounded to integers like a
  // camera's counts.
  void addStar(long double cx, long double cy, long double sigma, long double flux,
               Normal* noise = nullptr, double noiseSd = 0) {
    std::vector<long double> sx(W), sy(H);
    for (int x = 0; x < W; ++x) sx[x] = PixelShare(x, cx, sigma);
    for (int y = 0; y < H; ++y) sy[y] = PixelShare(y, cy, sigma);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        long double val = at(x, y) + flux * sx[x] * sy[y];
        if (noise) val += noiseSd * (*noise)();
        at(x, y) = static_cast<std::int32_t>(std::nearbyintl(val));
      }
  }
};

}  // namespace hv::test
