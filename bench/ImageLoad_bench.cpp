// Loading a 4096 x 4096 FITS image (16-bit integers, floats of a wide
// range, floats normalised to 0..1): the whole load (header, pixels,
// histogram, listing) and its phases, against baselines measured in the
// same run: a plain read() of the same file, a one-pass floor (read, convert
// to integers, range and 256-bin histogram, hand-written), and cfitsio's
// fits_read_img into 32-bit integers plus the same histogram (when cfitsio
// is there; the program never links it). Goals: every load no slower than
// cfitsio and within 1.5 times the floor. The load also reports its peak
// memory over the pixel table's size. The image files live in a private
// folder that goes when the benchmark ends.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/Options.h"
#include "astrometry/ObsParms.h"
#include "images/FITSFile.h"
#include "images/FITSWriter.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "support/Histogram.h"

#ifdef HV_HAVE_CFITSIO
#include <fitsio.h>
#endif

namespace {

namespace fs = std::filesystem;
constexpr int kSide = 4096;

// The private folder, removed with everything in it at the end.
struct Scratch {
  fs::path folder;
  Scratch() {
    std::string t = (fs::temp_directory_path() / "hvbench-XXXXXX").string();
    if (!::mkdtemp(t.data())) std::abort();
    folder = t;
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

const fs::path& Folder() {
  static const Scratch scratch;
  return scratch.folder;
}

enum Kind { kInt16 = 0, kFloatWide = 1, kFloatNormalised = 2 };
const char* const kKindNames[] = {"int16", "float_wide", "float_normalised"};

// A sky-like image written once per kind: 16-bit (unsigned through BZERO),
// or the same counts as floats with a fraction, or divided by 65535.
const fs::path& ImageFile(int kind = kInt16) {
  static fs::path files[3];
  fs::path& file = files[kind];
  if (!file.empty()) return file;
  std::mt19937 gen(4096);
  std::vector<std::int16_t> ints;
  std::vector<float> floats;
  const std::size_t n = static_cast<std::size_t>(kSide) * kSide;
  for (std::size_t i = 0; i < n; ++i) {
    int v = static_cast<int>(1000 + (gen() & 255));
    if (i % 9973 == 0) v = 30000;  // stars, so that the range is wide
    if (kind == kInt16)
      ints.push_back(static_cast<std::int16_t>(v - 32768));
    else if (kind == kFloatWide)
      floats.push_back(static_cast<float>(v + (gen() & 1023) / 1024.0));
    else
      floats.push_back(static_cast<float>(v / 65535.0));
  }
  hv::FITSWriter f;
  f.Logical("SIMPLE", true).Int("BITPIX", kind == kInt16 ? 16 : -32).Int("NAXIS", 2);
  f.Int("NAXIS1", kSide).Int("NAXIS2", kSide);
  if (kind == kInt16) f.Real("BZERO", 32768).Real("BSCALE", 1);
  f.Str("DATE-OBS", "2004-03-15T03:20:00").Str("OBJECT", "Bench").Real("EXPTIME", 60).End();
  if (kind == kInt16)
    f.I16(ints);
  else
    f.F32(floats);
  f.Pad();
  file = Folder() / (std::string(kKindNames[kind]) + ".FIT");
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(f.Bytes().data()),
            static_cast<std::streamsize>(f.Bytes().size()));
  return file;
}

std::int64_t FileBytes(int kind = kInt16) {
  return static_cast<std::int64_t>(fs::file_size(ImageFile(kind)));
}

struct Session {
  hv::ScriptedPlatform platform{[](const std::string&) {}};
  hv::OptsRec settings;
  hv::ObsParmsRec obs;
  hv::CamRec camera;
  bool fromFile = false;
  Session() { settings.WorkFolder = Folder(); }
  hv::ReaderContext Context() {
    hv::ReaderContext c(platform, settings);
    c.currentObs = &obs;
    c.camera = &camera;
    c.camFromFile = &fromFile;
    return c;
  }
};

// Kilobytes of the process's resident set: now, or its peak since the last reset.
long StatusKB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0)
      return std::strtol(line.c_str() + std::string(field).size(), nullptr, 10);
  return -1;
}
bool ResetPeak() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  return static_cast<bool>(out.flush());
}

void BM_PlainRead(benchmark::State& state) {
  std::vector<char> buf(2880 * 32);
  for (auto _ : state) {
    const int fd = ::open(ImageFile().c_str(), O_RDONLY);
    std::int64_t total = 0;
    for (ssize_t r; (r = ::read(fd, buf.data(), buf.size())) > 0;) total += r;
    ::close(fd);
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * FileBytes());
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

// The whole load, as the image-load command runs it.
void BM_LoadFITS(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  state.SetLabel(kKindNames[kind]);
  Session s;
  long peakOver = 0;
  for (auto _ : state) {
    const bool reset = ResetPeak();
    const long before = StatusKB("VmRSS:");
    auto fits = std::make_unique<hv::FITSFileObj>(s.Context());
    if (!fits->LoadFile(ImageFile(kind))) state.SkipWithError("load failed");
    if (reset) peakOver = StatusKB("VmHWM:") - before;
    benchmark::DoNotOptimize(fits->Pixels->Cells().data());
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(kind));
  const double table = 4.0 * kSide * kSide / 1024.0;
  state.counters["peak_KB_over_start"] = static_cast<double>(peakOver);
  state.counters["peak_per_table"] = peakOver / table;
}
BENCHMARK(BM_LoadFITS)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The floor: one pass that reads the data, converts each value to an
// integer (floats rounded, the normalised ones scaled to 16 bits first, as
// if their range were known), keeps the range and counts a 256-bin
// histogram; no header, no listing, no checks.
void BM_OnePassFloor(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  state.SetLabel(kKindNames[kind]);
  const std::size_t n = static_cast<std::size_t>(kSide) * kSide;
  const std::size_t size = kind == kInt16 ? 2 : 4;
  const std::int64_t dataAt =
      FileBytes(kind) - static_cast<std::int64_t>((n * size + 2879) / 2880 * 2880);
  std::vector<std::uint8_t> buf(2880 * 32);
  for (auto _ : state) {
    std::vector<std::int32_t> px(n);
    std::array<std::int64_t, 256> counts{};
    std::int32_t lo = INT32_MAX, hi = 0;
    const int fd = ::open(ImageFile(kind).c_str(), O_RDONLY);
    ::lseek(fd, dataAt, SEEK_SET);
    std::size_t done = 0;
    while (done < n) {
      const std::size_t want = std::min(buf.size(), (n - done) * size);
      const ssize_t r = ::read(fd, buf.data(), want);
      if (r <= 0) break;
      const std::size_t count = static_cast<std::size_t>(r) / size;
      const std::uint8_t* p = buf.data();
      for (std::size_t i = 0; i < count; ++i, p += size) {
        std::int32_t v;
        if (kind == kInt16) {
          v = static_cast<std::int16_t>((p[0] << 8) | p[1]) + 32768;
        } else {
          const std::uint32_t bits = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                     (std::uint32_t{p[2]} << 8) | p[3];
          float f;
          std::memcpy(&f, &bits, 4);
          v = static_cast<std::int32_t>(
              std::nearbyint(kind == kFloatNormalised ? f * 65535.0 : static_cast<double>(f)));
        }
        px[done + i] = v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        const std::uint32_t b = v > 0 ? static_cast<std::uint32_t>(v) >> 8 : 0;
        ++counts[b > 255 ? 255 : b];
      }
      done += count;
    }
    ::close(fd);
    benchmark::DoNotOptimize(px.data());
    benchmark::DoNotOptimize(counts.data());
    benchmark::DoNotOptimize(lo + hi);
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(kind));
}
BENCHMARK(BM_OnePassFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Phase: the header alone (cards, listing file, image facts).
void BM_PhaseHeader(benchmark::State& state) {
  Session s;
  hv::FITSFileObj fits(s.Context());
  for (auto _ : state) {
    if (!fits.ReadHeader(ImageFile())) state.SkipWithError("header failed");
    fits.DataFile.Close();
  }
}
BENCHMARK(BM_PhaseHeader)->Unit(benchmark::kMicrosecond);

// Phase: the histogram of the pixel values alone (one pass over the table,
// as the load makes it).
void BM_PhaseHistogram(benchmark::State& state) {
  std::vector<std::int32_t> values(static_cast<std::size_t>(kSide) * kSide);
  std::mt19937 gen(1);
  for (auto& v : values) v = static_cast<std::int32_t>(1000 + (gen() & 255));
  for (auto _ : state) {
    hv::HistogramObj h(256, 256);
    h.AddValues(values);
    benchmark::DoNotOptimize(h.Count());
  }
}
BENCHMARK(BM_PhaseHistogram)->Unit(benchmark::kMillisecond);

// Phase: the pixel table alone (allocation and zero fill).
void BM_PhaseTable(benchmark::State& state) {
  for (auto _ : state) {
    hv::IntArrayList t(kSide, kSide);
    benchmark::DoNotOptimize(t.Cells().data());
  }
}
BENCHMARK(BM_PhaseTable)->Unit(benchmark::kMillisecond);

#ifdef HV_HAVE_CFITSIO
void BM_CfitsioBaseline(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  state.SetLabel(kKindNames[kind]);
  for (auto _ : state) {
    fitsfile* f = nullptr;
    int status = 0, anynul = 0;
    fits_open_file(&f, ImageFile(kind).c_str(), READONLY, &status);
    std::vector<std::int32_t> px(static_cast<std::size_t>(kSide) * kSide);
    int nul = 0;
    fits_read_img(f, TINT, 1, static_cast<LONGLONG>(px.size()), &nul, px.data(), &anynul, &status);
    fits_close_file(f, &status);
    if (status) state.SkipWithError("cfitsio failed");
    std::vector<std::int32_t> counts(256);
    std::int32_t lo = INT32_MAX, hi = 0;
    for (std::int32_t v : px) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      const std::uint32_t b = v > 0 ? static_cast<std::uint32_t>(v) >> 8 : 0;
      ++counts[b > 255 ? 255 : b];
    }
    benchmark::DoNotOptimize(counts.data());
    benchmark::DoNotOptimize(lo + hi);
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(kind));
}
BENCHMARK(BM_CfitsioBaseline)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
