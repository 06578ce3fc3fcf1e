// Reading an online catalog reply: the time per line should not grow with
// the reply's length. The baseline splits the same reply into lines only.
//
// A whole online field of 27 000 stars (reply read, field selected, stars
// copied into the field-star list) against a plain parse-and-sort of the
// same lines: each line read into a star, one sort by RA. Goal: the field
// within 3 times the plain parse and sort. The reply comes in RA order, as
// the service sends it (argument 0), or with its lines shuffled (1).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "astrometry/OnlineCatalog.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "tools/ConeSearch.h"

namespace {

// n stars spread over raSpan hours by decSpan degrees around 10.5 h, +12
// degrees, served for a cone of 1 degree: the default spread loses its
// corners to the cone, a field's smaller one keeps every star.
std::string ReplyOf(std::int64_t n, long double raSpan = 0.2L, long double decSpan = 0.4L) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(0, 1);
  std::vector<hv::cone::Star> stars;
  for (std::int64_t i = 0; i < n; ++i) {
    hv::cone::Star s;
    s.id = "S" + std::to_string(i);
    s.ra = 10.5L + raSpan * (u(rng) - 0.5L);
    s.dec = 12.0L + decSpan * (u(rng) - 0.5L);
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

// A NOMAD catalog object that answers its questions silently.
struct Reader {
  Reader() { cat.SetCatalog(settings.StarCatalog); }
  hv::ScriptedPlatform platform{[](const std::string&) {}};
  hv::OptsRec settings = [] {
    hv::OptsRec s;
    s.StarCatalog = hv::CatalogCode::NOMAD;
    return s;
  }();
  hv::B1CatObj cat{platform, settings, std::make_unique<hv::CurlHttpClient>()};
};

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
  Reader r;
  hv::B1CatObj& cat = r.cat;
  for (auto _ : state) {
    cat.Parsed.Clear();
    cat.Reply = reply;
    benchmark::DoNotOptimize(cat.ProcessReply());
  }
  state.SetComplexityN(state.range(0));
}

constexpr std::int64_t kFieldStars = 27000;

// Where the table starts: after the position format line.
std::size_t TableStart(const std::string& reply) {
  return reply.find('\n', reply.find("hh.hhh/dd.ddd")) + 1;
}

const std::string& FieldReply(bool shuffled) {
  static std::string made[2];
  std::string& reply = made[shuffled];
  if (reply.empty()) {
    reply = ReplyOf(kFieldStars, 0.1L, 0.2L);
    if (shuffled) {
      const std::size_t body = TableStart(reply);
      std::vector<std::string> lines;
      for (std::size_t at = body; at < reply.size();) {
        const std::size_t lf = reply.find('\n', at);
        lines.push_back(reply.substr(at, lf + 1 - at));
        at = lf + 1;
      }
      std::shuffle(lines.begin(), lines.end(), std::mt19937(27));
      reply.resize(body);
      for (const std::string& l : lines) reply += l;
    }
  }
  return reply;
}

hv::FieldBoxRec FieldBox() { return {10.45, 10.55, 11.9, 12.1, 30}; }

void BM_OnlineField(benchmark::State& state) {
  const std::string& reply = FieldReply(state.range(0) != 0);
  Reader r;
  hv::B1CatObj& cat = r.cat;
  hv::GSCField = std::make_unique<hv::GSCFieldObj>(r.platform, r.settings);
  for (auto _ : state) {
    hv::GSCField->Stars.Clear();
    cat.Parsed.Clear();
    cat.Reply = reply;
    cat.ProcessReply();
    cat.SelectField(FieldBox());
    cat.CopyToField();
    if (hv::GSCField->Stars.Count() != kFieldStars) state.SkipWithError("stars lost");
  }
  hv::GSCField.reset();
  state.SetItemsProcessed(state.iterations() * kFieldStars);
}
BENCHMARK(BM_OnlineField)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OnlinePlainParseAndSort(benchmark::State& state) {
  const std::string& reply = FieldReply(state.range(0) != 0);
  Reader r;
  hv::B1CatObj& cat = r.cat;
  cat.Reply = reply;
  cat.ProcessReply();  // the columns, once
  const std::size_t body = TableStart(reply);
  const hv::FieldBoxRec box = FieldBox();
  for (auto _ : state) {
    std::vector<hv::CatStarRec> stars;
    for (std::size_t at = body; at < reply.size();) {
      const std::size_t lf = reply.find('\n', at);
      hv::CatStarRec s;
      if (cat.ParseRecord(std::string_view(reply).substr(at, lf - at), s) &&
          hv::B1CatObj::InField(s, box))
        stars.push_back(std::move(s));
      at = lf + 1;
    }
    std::sort(stars.begin(), stars.end(),
              [](const hv::CatStarRec& a, const hv::CatStarRec& b) { return a.RA < b.RA; });
    if (stars.size() != kFieldStars) state.SkipWithError("stars lost");
    benchmark::DoNotOptimize(stars.data());
  }
  state.SetItemsProcessed(state.iterations() * kFieldStars);
}
BENCHMARK(BM_OnlinePlainParseAndSort)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK(BM_SplitLines)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();
BENCHMARK(BM_ReadReply)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();
