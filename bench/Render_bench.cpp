// The display pipeline on a 4096 x 4096 image: a full render (range,
// mapping, palette, buffer), a brightness change with its repaint, and the
// first paint at the window's display size, each beside a plain summing pass
// over the same pixels measured in the same run. Goals: the full render
// within 5 times the summing pass; a brightness change with repaint within
// 20 ms.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "images/Display.h"
#include "support/Histogram.h"
#include "support/IntArrayList.h"

namespace hv {
namespace {

constexpr int kSide = 4096;
constexpr int kDisplay = 504;  // half a 1024-pixel screen, less 8

struct Image {
  IntArrayList pixels{kSide, kSide};
  HistogramObj histogram{256, 256};
  Image() {
    std::mt19937 gen(1234);
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        // Sky with a little structure and a few hot pixels.
        std::int32_t v = 1000 + static_cast<std::int32_t>(gen() % 64);
        if (gen() % 100000 == 0) v = 60000;
        pixels.SetCell(x, y, v);
        histogram.Add(v);
      }
  }
};

const Image& TheImage() {
  static const Image image;
  return image;
}

// The screen copy of the stretched bitmap through its colour table: what a
// repaint converts.
std::uint64_t Paint(const std::vector<std::uint8_t>& indexes, const DisplayBitmap& bm,
                    std::vector<std::uint32_t>& screen) {
  const int rowBytes = PaddedRowBytes(kDisplay);
  std::uint64_t check = 0;
  for (int y = 0; y < kDisplay; ++y) {
    const std::uint8_t* src = indexes.data() + static_cast<std::size_t>(y) * rowBytes;
    std::uint32_t* dst = screen.data() + static_cast<std::size_t>(y) * kDisplay;
    for (int x = 0; x < kDisplay; ++x) dst[x] = bm.Colours[src[x]];
    check += dst[y % kDisplay];
  }
  return check;
}

void BM_SummingPass(benchmark::State& state) {
  const Image& im = TheImage();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::int32_t v : im.pixels.Cells()) sum += v;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_SummingPass)->Unit(benchmark::kMillisecond);

void BM_FullRender(benchmark::State& state) {
  const Image& im = TheImage();
  DisplayBitmap bm;
  for (auto _ : state) {
    std::int32_t top = 0;
    benchmark::DoNotOptimize(im.histogram.Mode(top));
    benchmark::DoNotOptimize(im.histogram.FirstEmptyAfterMode());
    const DisplayRange r =
        StatisticalRange(im.histogram.Mean(), im.histogram.StdDev(), -0.25L, 2.0L);
    RenderInput in;
    in.Low = r.Low;
    in.Span = static_cast<long double>(r.High) - r.Low;
    in.DisplayHigh = r.High;
    RenderPixels(im.pixels, kSide, kSide, in, bm);
    bm.Colours = GreyColours(64, 127);
    benchmark::DoNotOptimize(bm.Pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_FullRender)->Unit(benchmark::kMillisecond);

void BM_BrightnessChangeWithRepaint(benchmark::State& state) {
  const Image& im = TheImage();
  DisplayBitmap bm;
  RenderInput in;
  in.Low = 1000;
  in.Span = 64;
  RenderPixels(im.pixels, kSide, kSide, in, bm);
  // The window keeps its stretched copy between palette changes.
  const auto indexes = StretchIndexes(bm, 0, 0, kSide, kSide, kDisplay, kDisplay);
  std::vector<std::uint32_t> screen(static_cast<std::size_t>(kDisplay) * kDisplay);
  int brightness = 0;
  for (auto _ : state) {
    brightness = (brightness + 7) % 100 - 50;
    const PaletteIndexes p = PaletteFromBrightness(brightness, 0);
    bm.Colours = GreyColours(p.LowIndex, p.HighIndex);
    benchmark::DoNotOptimize(Paint(indexes, bm, screen));
  }
}
BENCHMARK(BM_BrightnessChangeWithRepaint)->Unit(benchmark::kMillisecond);

void BM_FirstPaintAtDisplaySize(benchmark::State& state) {
  const Image& im = TheImage();
  DisplayBitmap bm;
  RenderInput in;
  in.Low = 1000;
  in.Span = 64;
  RenderPixels(im.pixels, kSide, kSide, in, bm);
  bm.Colours = GreyColours(64, 127);
  std::vector<std::uint32_t> screen(static_cast<std::size_t>(kDisplay) * kDisplay);
  for (auto _ : state) {
    const auto indexes = StretchIndexes(bm, 0, 0, kSide, kSide, kDisplay, kDisplay);
    benchmark::DoNotOptimize(Paint(indexes, bm, screen));
  }
}
BENCHMARK(BM_FirstPaintAtDisplaySize)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hv
