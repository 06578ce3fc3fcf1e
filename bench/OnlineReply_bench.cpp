// Reading an online catalog reply: the time per line should not grow with
// the reply's length. The baseline splits the same reply into lines only.
#include <benchmark/benchmark.h>

#include <random>

#include "astrometry/OnlineCatalog.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "tools/ConeSearch.h"

namespace {

std::string ReplyOf(std::int64_t n) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(0, 1);
  std::vector<hv::cone::Star> stars;
  for (std::int64_t i = 0; i < n; ++i) {
    hv::cone::Star s;
    s.id = "S" + std::to_string(i);
    s.ra = 10.4L + 0.2L * u(rng);
    s.dec = 11.8L + 0.4L * u(rng);
    s.b = static_cast<float>(14 + 6 * u(rng));
    s.v = *s.b - 0.5f;
    s.r = *s.b - 0.9f;
    stars.push_back(s);
  }
  hv::cone::Query q;
  q.ra = 157.5L;
  q.dec = 12;
  q.radius = 1;
  q.band = "R";
  return hv::cone::Reply(stars, q);
}

void BM_SplitLines(benchmark::State& state) {
  const std::string reply = ReplyOf(state.range(0));
  for (auto _ : state) {
    std::size_t lines = 0;
    for (std::size_t at = 0; at < reply.size();) {
      const std::size_t lf = reply.find('\n', at);
      ++lines;
      at = lf == std::string::npos ? reply.size() : lf + 1;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetComplexityN(state.range(0));
}

void BM_ReadReply(benchmark::State& state) {
  const std::string reply = ReplyOf(state.range(0));
  hv::ScriptedPlatform platform([](const std::string&) {});
  hv::OptsRec settings;
  settings.StarCatalog = hv::CatalogCode::NOMAD;
  hv::B1CatObj cat(platform, settings, std::make_unique<hv::CurlHttpClient>());
  cat.SetCatalog(settings.StarCatalog);
  for (auto _ : state) {
    cat.Parsed.Clear();
    cat.Reply = reply;
    benchmark::DoNotOptimize(cat.ProcessReply());
  }
  state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_SplitLines)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();
BENCHMARK(BM_ReadReply)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();
