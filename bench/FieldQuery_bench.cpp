// A field query of 27 000 stars from converted region files: the query's
// own reading of the records into the field-star list, against a plain
// parse-and-sort of the same records (decode each, keep those in the box,
// one sort by RA) measured in the same run. Goal: the query within 3 times
// the plain parse and sort. The stars come as four neighbouring regions
// over the same stretch of RA give them: in the catalog's order (by star
// number, so RA at random; argument 0) or each region in RA order (1).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "app/Options.h"
#include "astrometry/GSCField.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "support/Codec.h"

namespace {

constexpr int kStars = 27000;
constexpr int kRegions = 4;

const std::vector<std::vector<std::uint8_t>>& Regions(bool raOrder) {
  static std::vector<std::vector<std::uint8_t>> made[2];
  auto& regions = made[raOrder];
  if (regions.empty())
    regions = [raOrder] {
      std::mt19937 gen(27000);
      std::vector<std::vector<std::uint8_t>> out;
      for (int r = 0; r < kRegions; ++r) {
        std::vector<std::int32_t> ras;
        for (int i = 0; i < kStars / kRegions; ++i)
          ras.push_back(static_cast<std::int32_t>(100000000 + gen() % 10000000));  // 10h to 11h
        if (raOrder) std::sort(ras.begin(), ras.end());
        hv::Encoder e;
        for (std::int32_t ra : ras) {
          hv::GSCBinRec b;
          b.RA = ra;
          b.Dec = static_cast<std::int32_t>(1000000 + gen() % 500000);  // 10 to 15 degrees
          b.Mag = static_cast<std::int16_t>(8000 + gen() % 8000);
          b.PosErr = 3;
          b.MagErr = 20;
          b.Entries = 1;
          b.ID = std::to_string(10000 + gen() % 90000);
          hv::EncodeGSCBinRec(e, b);
        }
        out.push_back(e.take());
      }
      return out;
    }();
  return regions;
}

hv::FieldBoxRec Box() {
  hv::FieldBoxRec box;
  box.RAMin = 10;
  box.RAMax = 11;
  box.DecMin = 10;
  box.DecMax = 15;
  box.MagLimit = 20;
  return box;
}

void BM_FieldQuery(benchmark::State& state) {
  const bool raOrder = state.range(0) != 0;
  hv::ScriptedPlatform platform([](const std::string&) {});
  hv::OptsRec settings;
  hv::GSCFieldObj field(platform, settings);
  for (auto _ : state) {
    field.Stars.Clear();
    for (int r = 0; r < kRegions; ++r)
      field.TakeBinRecords(Regions(raOrder)[r], 100 + r, Box(), false);
    if (field.Stars.Count() != kStars) state.SkipWithError("stars lost");
  }
  state.SetItemsProcessed(state.iterations() * kStars);
}
BENCHMARK(BM_FieldQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PlainParseAndSort(benchmark::State& state) {
  const bool raOrder = state.range(0) != 0;
  const hv::FieldBoxRec box = Box();
  for (auto _ : state) {
    std::vector<hv::CatStarRec> stars;
    for (int r = 0; r < kRegions; ++r) {
      hv::Decoder d(Regions(raOrder)[r]);
      while (d.remaining() >= hv::GSCBinRecSize) {
        const hv::GSCBinRec b = hv::DecodeGSCBinRec(d);
        hv::CatStarRec s;
        s.Name = std::to_string(100 + r) + "-" + b.ID;
        s.RA = b.RA / 1.0e7L;
        s.Dec = b.Dec / 1.0e5L;
        s.Mag = static_cast<float>(b.Mag / 1000.0L);
        if (hv::GSCFieldObj::InField(s, box)) stars.push_back(std::move(s));
      }
    }
    std::sort(stars.begin(), stars.end(),
              [](const hv::CatStarRec& a, const hv::CatStarRec& b) { return a.RA < b.RA; });
    benchmark::DoNotOptimize(stars.data());
  }
  state.SetItemsProcessed(state.iterations() * kStars);
}
BENCHMARK(BM_PlainParseAndSort)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
