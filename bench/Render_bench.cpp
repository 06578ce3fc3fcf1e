// The display pipeline on a 4096 x 4096 image: a full render (range,
// mapping, palette, buffer), a brightness change with its repaint, and the
// first paint at the window's display size, each beside a plain summing pass
// over the same pixels measured in the same run. Goals: the full render
// within 5 times the summing pass; a brightness change with repaint within
// 20 ms. Then an image window's own render (with its temporary bitmap file)
// and the adjustment dialog's Apply (a render and the palette updates):
// goal, the Apply within 1.5 times the full render.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "app/Options.h"
#include "images/Display.h"
#include "images/FITSFile.h"
#include "images/FITSWriter.h"
#include "images/ImageDialogs.h"
#include "images/ImageWindow.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "support/Files.h"
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

// A window on the same image, loaded from a FITS file in a private folder
// that goes when the benchmark ends.
class WindowBench : public ImageWindowHost {
 public:
  WindowBench() {
    std::string t = (std::filesystem::temp_directory_path() / "hvrender-XXXXXX").string();
    if (!::mkdtemp(t.data())) std::abort();
    folder_ = t;
    settings_.WorkFolder = folder_;
    CreateImageDialogs();
    FITSWriter w;
    w.Logical("SIMPLE", true).Int("BITPIX", 32).Int("NAXIS", 2).Int("NAXIS1", kSide);
    w.Int("NAXIS2", kSide).End();
    const auto cells = TheImage().pixels.Cells();
    w.I32(std::span<const std::int32_t>(cells.data(), cells.size())).Pad();
    WriteFileAtomic(folder_ / "BENCH.FIT", w.Bytes());
    file_ = std::make_unique<FITSFileObj>(ReaderContext(platform_, settings_));
    if (!file_->LoadFile(folder_ / "BENCH.FIT")) std::abort();
    window_ = std::make_unique<TImageForm1>(platform_, *this);
    window_->AttachImage(0);
  }
  ~WindowBench() override {
    window_.reset();
    file_.reset();
    FreeImageDialogs();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  TImageForm1& Window() { return *window_; }

  const OptsRec& Settings() const override { return settings_; }
  OptsRec& MutableSettings() override { return settings_; }
  void OptionsChanged() override {}
  GraphicsFileObj* ImageFile(int slot) override { return slot == 0 ? file_.get() : nullptr; }
  TImageForm1* ImageWindow(int slot) override { return slot == 0 ? window_.get() : nullptr; }
  bool& ZoomHintDue() override { return zoomHint_; }

 private:
  ScriptedPlatform platform_{[](const std::string&) {}};
  std::filesystem::path folder_;
  OptsRec settings_;
  std::unique_ptr<GraphicsFileObj> file_;
  std::unique_ptr<TImageForm1> window_;
  bool zoomHint_ = false;
};

WindowBench& TheWindow() {
  static WindowBench bench;
  return bench;
}

// The window's render: range, mapping and the temporary bitmap file.
void BM_WindowRender(benchmark::State& state) {
  TImageForm1& w = TheWindow().Window();
  for (auto _ : state) w.RenderImage(false);
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_WindowRender)->Unit(benchmark::kMillisecond);

// The Apply of a new background level: the dialog's control read refreshes
// the palette, Apply refreshes it again, and the window renders and
// refreshes it once more.
void BM_ApplyBackgroundChange(benchmark::State& state) {
  TImageForm1& w = TheWindow().Window();
  int step = 0;
  for (auto _ : state) {
    w.DispParms->BkgOffset = -0.25L + 0.25L * (step++ % 4);
    w.RefreshPalette();
    w.RefreshPalette();
    w.RenderImage(false);
    w.RefreshPalette();
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_ApplyBackgroundChange)->Unit(benchmark::kMillisecond);

// An Apply whose render comes out as the last one did (an orientation
// flipped and restored between two Applies).
void BM_ApplyUnchangedRender(benchmark::State& state) {
  TImageForm1& w = TheWindow().Window();
  for (auto _ : state) {
    w.RefreshPalette();
    w.RefreshPalette();
    w.RenderImage(false);
    w.RefreshPalette();
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_ApplyUnchangedRender)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hv
