// The catalog converter over a whole synthetic catalog tree of the own form
// (all 9537 regions, about 2000 objects each; written on the first run into
// a temporary folder and kept there, never shipped), against a raw copy of
// the same bytes measured in the same run; and one dense region of about
// 30 000 rows, sorted and shuffled, merged by the converter and by the field
// list's ordered insertion.
//
//   HV_BENCH_GSC=<folder>   where the tree is (made when missing)
//   HV_BENCH_GSC_STARS=n    objects per region (2000)
//   HV_BENCH_GSC_LAST=r     the last region of the tree (9537)
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "astrometry/GSCCnvrt.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "support/Files.h"
#include "tools/SampleCatalog.h"

namespace {

namespace fs = std::filesystem;
using namespace hv;

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  if (v == nullptr) return fallback;
  int out = fallback;
  std::from_chars(v, v + std::char_traits<char>::length(v), out);
  return out;
}

const int kStars = EnvInt("HV_BENCH_GSC_STARS", 2000);
const std::int32_t kLast =
    std::clamp(EnvInt("HV_BENCH_GSC_LAST", GSCRegionCount), 1, GSCRegionCount);

fs::path ZoneFolder(const fs::path& root, std::int32_t r) {
  return root / "GSC" /
         std::string(GSCZoneDirs[static_cast<std::size_t>(GSCZoneOf(r) - 1)].substr(4, 5));
}

const fs::path& Tree() {
  static const fs::path root = [] {
    const char* given = std::getenv("HV_BENCH_GSC");
    const fs::path p =
        given ? fs::path(given)
              : fs::temp_directory_path() /
                    ("hvbench-gsc-" + std::to_string(kStars) + "-" + std::to_string(kLast));
    if (fs::exists(ZoneFolder(p, kLast) / GSCRegionFileName(kLast, ".GSC"))) return p;
    const sample::Tiling t = sample::MakeTiling();
    fs::create_directories(p / "TABLES");
    WriteFileAtomic(p / "TABLES" / "REGIONS.TBL", sample::RegionsTableFile(t));
    for (std::int32_t r = 1; r <= kLast; ++r) {
      fs::create_directories(ZoneFolder(p, r));
      const auto rows = sample::SyntheticRegion(t.boxes[static_cast<std::size_t>(r)], r, kStars);
      WriteFileAtomic(ZoneFolder(p, r) / GSCRegionFileName(r, ".GSC"), sample::RegionFile(r, rows));
    }
    return p;
  }();
  return root;
}

fs::path Fresh(const char* name) {
  const fs::path p = fs::temp_directory_path() /
                     ("hvbench-" + std::string(name) + "-" + std::to_string(::getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  return p;
}

// The baseline: every file of the tree read and written again, byte for
// byte, through plain read() and write(); with the argument 1 the copy ends
// with the one sync of its file system that the conversion ends with.
void BM_RawCopy(benchmark::State& state) {
  const fs::path src = Tree();
  std::int64_t bytes = 0;
  std::vector<char> buf(1 << 16);
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dst = Fresh("copy");
    state.ResumeTiming();
    FileSystemSync onDisc(dst);
    for (std::int32_t r = 1; r <= kLast; ++r) {
      const std::string name = GSCRegionFileName(r, ".GSC");
      fs::create_directories(ZoneFolder(dst, r));
      const int in = ::open((ZoneFolder(src, r) / name).c_str(), O_RDONLY);
      const int out =
          ::open((ZoneFolder(dst, r) / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      for (ssize_t n; (n = ::read(in, buf.data(), buf.size())) > 0;) {
        if (::write(out, buf.data(), static_cast<std::size_t>(n)) != n) std::abort();
        bytes += n;
      }
      ::close(in);
      ::close(out);
    }
    if (state.range(0) != 0) onDisc.Sync();
    state.PauseTiming();
    fs::remove_all(dst);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(bytes);
  state.SetLabel(state.range(0) ? "synced" : "not synced");
}
BENCHMARK(BM_RawCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

// The whole conversion: every region and the regions table, ending with
// the sync of the output; the argument is the number of regions converted
// at a time (0: the converter's own choice), so the gain of converting
// ahead shows beside one at a time.
void BM_WholeConversion(benchmark::State& state) {
  const fs::path src = Tree();
  ScriptedPlatform p;
  OptsRec s;
  s.WorkFolder = fs::temp_directory_path();
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dst = Fresh("conv");
    TGaugeForm2 gauge(p);
    TGSCCnvrtForm1 f(p, s);
    f.ConvInPath1 = f.ConvInPath2 = src / "";
    f.ConvOutPath = dst / "";
    f.LastRegion = kLast;
    if (state.range(0) > 0) f.Threads = static_cast<int>(state.range(0));
    state.ResumeTiming();
    if (!f.ConvertCatalog(gauge)) state.SkipWithError("conversion failed");
    state.PauseTiming();
    fs::remove_all(dst);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WholeConversion)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

// About 30 000 rows of one region, the objects in RA order or shuffled; the
// entries of one object stay together, as in a region file.
std::vector<sample::Entry> DenseEntries(bool shuffled) {
  const GSCRgnRec box{10, 10.5, 0, 7.5, 0};
  const auto entries = sample::SyntheticRegion(box, 1, 26000);
  std::vector<std::vector<sample::Entry>> groups;
  for (const auto& e : entries) {
    if (groups.empty() || groups.back().front().id != e.id) groups.emplace_back();
    groups.back().push_back(e);
  }
  if (shuffled)
    std::shuffle(groups.begin(), groups.end(), std::mt19937(7));
  else
    std::stable_sort(groups.begin(), groups.end(),
                     [](const auto& a, const auto& b) { return a[0].raDeg < b[0].raDeg; });
  std::vector<sample::Entry> out;
  for (const auto& g : groups) out.insert(out.end(), g.begin(), g.end());
  return out;
}

std::vector<CatStarRec> DenseRows(bool shuffled) {
  const std::vector<std::uint8_t> file = sample::RegionFile(1, DenseEntries(shuffled));
  std::vector<CatStarRec> rows;
  ReadGSCRegionRows(file, rows);
  return rows;
}

void BM_DenseRegionMerge(benchmark::State& state) {
  const auto rows = DenseRows(state.range(0) != 0);
  std::vector<CatStarRec> stars;
  for (auto _ : state) {
    MergeGSCRows(rows, stars);
    benchmark::DoNotOptimize(stars.data());
  }
  state.counters["rows"] = static_cast<double>(rows.size());
  state.SetLabel(state.range(0) ? "shuffled" : "sorted");
}
BENCHMARK(BM_DenseRegionMerge)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The field list's merge: ordered insertion into the linked list, for
// comparison (the converter no longer uses it).
void BM_DenseRegionFieldListMerge(benchmark::State& state) {
  const auto rows = DenseRows(state.range(0) != 0);
  ScriptedPlatform p;
  OptsRec s;
  for (auto _ : state) {
    GSCFieldObj f(p, s);
    for (const CatStarRec& r : rows) {
      f.RawRows.GoLast();
      f.RawRows.InsertAfter(r);
    }
    f.MergeEntries();
    benchmark::DoNotOptimize(f.Stars.Count());
  }
  state.SetLabel(state.range(0) ? "shuffled" : "sorted");
}
BENCHMARK(BM_DenseRegionFieldListMerge)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// One dense region through the whole region conversion (read, parse,
// merge, write).
void BM_DenseRegionFile(benchmark::State& state) {
  const auto entries = DenseEntries(state.range(0) != 0);
  const fs::path dir = Fresh("dense");
  WriteFileAtomic(dir / "0001.GSC", sample::RegionFile(1, entries));
  GSCMergeBuffers buffers;
  for (auto _ : state) ConvertGSCRegionFile(dir / "0001.GSC", dir / "0001.BIN", buffers);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(fs::file_size(dir / "0001.GSC")));
  state.SetLabel(state.range(0) ? "shuffled" : "sorted");
  fs::remove_all(dir);
}
BENCHMARK(BM_DenseRegionFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
