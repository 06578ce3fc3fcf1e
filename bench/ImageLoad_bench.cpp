// Loading a 4096 x 4096 16-bit FITS image: the whole load (header, pixels,
// histogram, listing) and its phases, against two baselines measured in the
// same run: a plain read() of the same file, and cfitsio's fits_read_img
// into 32-bit integers plus a 256-bin histogram (when cfitsio is there; the
// program never links it). The load also reports its peak memory over the
// pixel table's size.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
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

const fs::path& Folder() {
  static const fs::path folder = [] {
    std::string t = (fs::temp_directory_path() / "hvbench-XXXXXX").string();
    if (!::mkdtemp(t.data())) std::abort();
    return fs::path(t);
  }();
  return folder;
}

// A sky-like 16-bit image (unsigned through BZERO), written once.
const fs::path& ImageFile() {
  static const fs::path file = [] {
    std::mt19937 gen(4096);
    std::vector<std::int16_t> data(static_cast<std::size_t>(kSide) * kSide);
    for (auto& v : data)
      v = static_cast<std::int16_t>(static_cast<int>(1000 + (gen() & 255)) - 32768);
    hv::FITSWriter f;
    f.Logical("SIMPLE", true).Int("BITPIX", 16).Int("NAXIS", 2).Int("NAXIS1", kSide);
    f.Int("NAXIS2", kSide)
        .Real("BZERO", 32768)
        .Real("BSCALE", 1)
        .Str("DATE-OBS", "2004-03-15T03:20:00");
    f.Str("OBJECT", "Bench").Real("EXPTIME", 60).End().I16(data).Pad();
    const fs::path p = Folder() / "BENCH.FIT";
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(f.Bytes().data()),
              static_cast<std::streamsize>(f.Bytes().size()));
    return p;
  }();
  return file;
}

std::int64_t FileBytes() { return static_cast<std::int64_t>(fs::file_size(ImageFile())); }

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
  Session s;
  long peakOver = 0;
  for (auto _ : state) {
    const bool reset = ResetPeak();
    const long before = StatusKB("VmRSS:");
    auto fits = std::make_unique<hv::FITSFileObj>(s.Context());
    if (!fits->LoadFile(ImageFile())) state.SkipWithError("load failed");
    if (reset) peakOver = StatusKB("VmHWM:") - before;
    benchmark::DoNotOptimize(fits->Pixels->Cells().data());
  }
  state.SetBytesProcessed(state.iterations() * FileBytes());
  const double table = 4.0 * kSide * kSide / 1024.0;
  state.counters["peak_KB_over_start"] = static_cast<double>(peakOver);
  state.counters["peak_per_table"] = peakOver / table;
}
BENCHMARK(BM_LoadFITS)->Unit(benchmark::kMillisecond);

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
  for (auto _ : state) {
    fitsfile* f = nullptr;
    int status = 0, anynul = 0;
    fits_open_file(&f, ImageFile().c_str(), READONLY, &status);
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
  state.SetBytesProcessed(state.iterations() * FileBytes());
}
BENCHMARK(BM_CfitsioBaseline)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
