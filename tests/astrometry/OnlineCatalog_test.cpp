#include "astrometry/OnlineCatalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <random>

#include "astrometry/GSCRegions.h"
#include "tests/common/TestEnv.h"
#include "tools/ConeSearch.h"
#include "tools/ConeServe.h"
#include "tools/LoopbackServer.h"

namespace hv {
namespace {

using namespace std::chrono_literals;
using loopback::Response;
using loopback::Server;

const std::string SampleStars = std::string(HV_SOURCE_DIR) + "/data/sample_stars.txt";

// J2010.0 as the program's date-time: exactly ten Julian years after J2000.0.
constexpr double T2010 = 2455197.5 - 2415018.5;

// A client that answers from the test and keeps the addresses it was asked.
class CannedHttp : public HttpClient {
 public:
  bool Get(const std::string& url, std::string& body) override {
    urls.push_back(url);
    const bool usno = url.find("CAT=USNO") != std::string::npos;
    body = ok ? (usno ? usnoReply : reply) : std::string();
    return ok;
  }
  const std::string& StatusLine() const override { return status; }
  std::vector<std::string> urls;
  std::string reply;
  std::string usnoReply;
  bool ok = true;
  std::string status;
};

// A reply in the service's layout: cells of 12 characters each closed by a
// bar (or a blank), under a header of the given column names.
std::string Table(const std::vector<std::string>& names,
                  const std::vector<std::vector<std::string>>& rows,
                  std::string_view format = "hh.hhh/dd.ddd", std::string_view eol = "\n",
                  char bar = '|', std::string_view afterFormat = {}) {
  const auto cell = [](std::string_view s) {
    return std::string(11 - std::min<std::size_t>(11, s.size()), ' ') + std::string(s);
  };
  std::string out = "# loopback\n#END" + std::string(eol);
  for (const auto& n : names) out += cell(" " + n) + "|";
  out += std::string(eol) + std::string(format) + std::string(eol) + std::string(afterFormat);
  for (const auto& r : rows) {
    for (const auto& c : r) out += cell(c) + bar;
    out += std::string(eol);
  }
  return out;
}

const std::vector<std::string> NomadNames = {"id", "RA", "DEC", "MuRA", "MuDEC", "B",
                                             "V",  "R",  "J",   "H",    "K"};
const std::vector<std::string> UsnoNames = {"id", "RA", "DEC", "MuRA", "MuDEC", "B2", "R2", "I2"};

std::vector<std::string> NomadRow(std::string id, std::string ra, std::string dec, std::string r,
                                  std::string muRA = "0", std::string muDec = "0") {
  return {std::move(id),
          std::move(ra),
          std::move(dec),
          std::move(muRA),
          std::move(muDec),
          "15.1",
          "14.9",
          std::move(r),
          "",
          "",
          ""};
}

class OnlineCatalog : public ::testing::Test {
 protected:
  OnlineCatalog() {
    settings.StarCatalog = CatalogCode::NOMAD;
    settings.CatalogURL = "P";
    ResetFldParms(settings);
    auto h = std::make_unique<CannedHttp>();
    http = h.get();
    cat = std::make_unique<B1CatObj>(p, settings, std::move(h));
  }
  ~OnlineCatalog() override {
    B1Cat.reset();
    GSCField.reset();
    ResetFldParms(OptsRec{});
  }

  // CurFldParms for a field centred at ra (hours), dec (degrees).
  static void Field(long double ra, long double dec, float size, float faint, ColorCode color) {
    CurFldParms.RACenter = ra;
    CurFldParms.DecCenter = dec;
    CurFldParms.FieldSize = size;
    CurFldParms.FaintMag = faint;
    CurFldParms.MagLimit = faint;
    CurFldParms.Color = static_cast<std::uint8_t>(color);
    ComputeSearchBox(CurFldParms, ra, dec);
  }

  // The reply read as if just fetched for CurFldParms.
  bool Read(const std::string& reply) {
    cat->CachedParms = CurFldParms;
    cat->SetCatalog(settings.StarCatalog);
    cat->Parsed.Clear();
    cat->Reply = reply;
    return cat->ProcessReply();
  }

  test::Scripted p;
  OptsRec settings;
  CannedHttp* http = nullptr;
  std::unique_ptr<B1CatObj> cat;
};

TEST_F(OnlineCatalog, RequestAddresses) {
  struct Row {
    const char* name;
    CatalogCode catalog;
    long double ra, dec;
    float size, faint;
    ColorCode color;
    std::string want;
  };
  const std::string tail = "&bri=1.0&fai=";
  const Row rows[] = {
      {"worked example, NOMAD", CatalogCode::NOMAD, 12.5L, -5.5L, 16, 18.5f, ColorCode::Red,
       "PCAT=NOMAD&RA=187.500000&DEC=-5.500000&SR=0.40&VERB=1&clr=R&bri=1.0&fai=18.5&cftype=ASCII&"
       "skey=RA&slf=hh.hhh/dd.ddd"},
      {"worked example, USNO-B1.0", CatalogCode::USNOB1, 12.5L, -5.5L, 16, 18.5f, ColorCode::Red,
       "PCAT=USNO-B1&RA=187.500000&DEC=-5.500000&SR=0.40&VERB=1&clr=R2&bri=1.0&fai=18.5&cftype="
       "ASCII&skey=RA&slf=hh.hhh/dd.ddd"},
      {"sample field, NOMAD blue", CatalogCode::NOMAD, 10.5L, 12.0L, 15, 20.0f, ColorCode::Blue,
       "PCAT=NOMAD&RA=157.500000&DEC=12.000000&SR=0.38&VERB=1&clr=B&bri=1.0&fai=20.0&cftype=ASCII&"
       "skey=RA&slf=hh.hhh/dd.ddd"},
      {"sample field, USNO-B1.0 red", CatalogCode::USNOB1, 10.5L, 12.0L, 15, 17.3f, ColorCode::Red,
       "PCAT=USNO-B1&RA=157.500000&DEC=12.000000&SR=0.38&VERB=1&clr=R2&bri=1.0&fai=17.3&cftype="
       "ASCII&skey=RA&slf=hh.hhh/dd.ddd"},
      {"south of the equator, near 0 h", CatalogCode::NOMAD, 0.0123456789L, -0.25L, 7.5f, 16.04f,
       ColorCode::K,
       "PCAT=NOMAD&RA=0.185185&DEC=-0.250000&SR=0.19&VERB=1&clr=K&bri=1.0&fai=16.0&cftype=ASCII&"
       "skey=RA&slf=hh.hhh/dd.ddd"},
  };
  for (const Row& r : rows) {
    settings.StarCatalog = r.catalog;
    Field(r.ra, r.dec, r.size, r.faint, r.color);
    cat->SetCatalog(r.catalog);
    EXPECT_EQ(cat->BuildURL(), r.want) << r.name;
  }
  // USNO-B1.0 has no V: a fresh object asks with an empty band, and after
  // a NOMAD request the band NOMAD left.
  B1CatObj fresh(p, settings, std::make_unique<CannedHttp>());
  Field(10.5L, 12.0L, 15, 20, ColorCode::Visual);
  fresh.SetCatalog(CatalogCode::USNOB1);
  EXPECT_NE(fresh.BuildURL().find("&clr=&bri"), std::string::npos);
  fresh.SetCatalog(CatalogCode::NOMAD);
  fresh.SetCatalog(CatalogCode::USNOB1);
  EXPECT_NE(fresh.BuildURL().find("&clr=V&bri"), std::string::npos);
}

TEST_F(OnlineCatalog, ColumnHeaderGivesColumnsThroughTheirBars) {
  cat->SetCatalog(CatalogCode::NOMAD);
  ASSERT_TRUE(cat->BuildParmTbl(" id| RA| DEC| MuRA| MuDEC| B| V| R| J| H| K|"));
  using C = OnlineColumn;
  EXPECT_EQ(cat->Columns[OnlineParm::Id], (C{1, 4}));
  EXPECT_EQ(cat->Columns[OnlineParm::RA], (C{5, 4}));
  EXPECT_EQ(cat->Columns[OnlineParm::Dec], (C{9, 5}));
  EXPECT_EQ(cat->Columns[OnlineParm::MuDec], (C{20, 6}));  // through the C: the bar is not searched
  EXPECT_EQ(cat->Columns[5], (C{27, 3}));                  // B
  EXPECT_EQ(cat->Columns[8], (C{0, 0}));                   // NOMAD has no I
  cat->SetCatalog(CatalogCode::USNOB1);
  ASSERT_TRUE(cat->BuildParmTbl("    id|  RA| DEC| MuRA| MuDEC| B2| R2| I2|"));
  EXPECT_EQ(cat->Columns[OnlineParm::Id], (C{1, 7}));
  EXPECT_EQ(cat->Columns[6], (C{0, 0}));  // no V
  EXPECT_EQ(cat->Columns[8], (C{39, 4}));
}

TEST_F(OnlineCatalog, DamagedHeadersFailWithTheirBoxes) {
  const std::string good = Table(NomadNames, {NomadRow("a", "10.5", "+12.0", "15.0")});
  std::string noEnd = good;
  noEnd.replace(noEnd.find("#END"), 4, "#NED");
  std::string noRA = good;
  noRA.replace(noRA.find(" RA|"), 4, " Ra|");
  noRA.replace(noRA.find(" MuRA|"), 6, " MuRa|");
  std::string noMuDec = good;
  noMuDec.replace(noMuDec.find(" MuDEC"), 6, " MuDEc");
  std::string badFormat = good;
  badFormat.replace(badFormat.find("hh.hhh"), 6, "hh:hhh");
  struct Box {
    std::string caption, text;
  };
  struct Row {
    const char* name;
    std::string reply;
    std::vector<Box> boxes;
  };
  const Box format{"USNO File Error!",
                   "RA, Dec not in required format.\r\n\r\nRead HELP before downloading!"};
  const Row rows[] = {
      {"header without its END line",
       noEnd,
       {{"USNO File Error!", "Error in USNO File Header - \"END\" statement missing!"}}},
      {"empty reply", "", {{"USNO File Error!", "\"END\" statement missing!"}}},
      {"column header without RA",
       noRA,
       {{"Catalog Data File Processing Error!",
         "Incorrect column header passed to BuildParmTbl!\r\n\"RA\" not found in header."},
        format}},
      {"a column missing",
       noMuDec,
       {{"Catalog Data File Processing Error!",
         "Required parameter missing in catalog data.\r\n\r\nMissing Parameter:  MuDEC"},
        format}},
      {"END as the last line",
       "#END\n",
       {{"Catalog Data File Processing Error!", "not found in header"}, format}},
      {"unknown position format", badFormat, {format}},
  };
  Field(10.5L, 12.0L, 15, 20, ColorCode::Red);
  for (const Row& r : rows) {
    for (const Box& b : r.boxes) p.expectMessage(ModalResult::OK, b.caption, b.text);
    EXPECT_FALSE(Read(r.reply)) << r.name;
    EXPECT_EQ(cat->Parsed.Count(), 0) << r.name;
    EXPECT_TRUE(p.allAnswered()) << r.name;
  }
  EXPECT_TRUE(Read(good));
  EXPECT_EQ(cat->Parsed.Count(), 1);
}

// The sample star list served in every layout reads back to the same stars.
TEST_F(OnlineCatalog, ServedSampleRepliesReadBack) {
  const auto stars = cone::ReadStars(SampleStars);
  ASSERT_GT(stars.size(), 100u);
  struct Row {
    const char* name;
    CatalogCode catalog;
    cone::Layout layout;
    long double tolRA, tolDec;  // hours, degrees
  };
  const Row rows[] = {
      {"NOMAD decimal", CatalogCode::NOMAD, {}, 1e-7L, 1e-6L},
      {"NOMAD sexagesimal", CatalogCode::NOMAD, {true, true, false}, 2e-7L, 3e-6L},
      {"NOMAD CR LF, blanks under the bars",
       CatalogCode::NOMAD,
       {false, false, true},
       1e-7L,
       1e-6L},
      {"USNO-B1.0 decimal", CatalogCode::USNOB1, {}, 1e-7L, 1e-6L},
      {"USNO-B1.0 sexagesimal, CR LF", CatalogCode::USNOB1, {true, true, true}, 2e-7L, 3e-6L},
  };
  for (const Row& r : rows) {
    settings.StarCatalog = r.catalog;
    Field(10.5L, 12.0L, 30, 17.5f, ColorCode::Red);
    cone::Query q;
    q.cat = r.catalog == CatalogCode::NOMAD ? "NOMAD" : "USNO-B1";
    q.ra = 157.5L;
    q.dec = 12;
    q.radius = 0.3L;
    q.band = r.catalog == CatalogCode::NOMAD ? "R" : "R2";
    q.faint = 17.5L;
    const auto want = cone::Select(stars, q);
    ASSERT_TRUE(Read(cone::Reply(stars, q, r.layout))) << r.name;
    EXPECT_EQ(cat->Sexagesimal, r.layout.sexagesimal) << r.name;
    ASSERT_EQ(cat->Parsed.Count(), static_cast<std::int32_t>(want.size())) << r.name;
    std::size_t i = 0;
    for (const CatStarRec& s : cat->Parsed) {
      const cone::Star& w = want[i++];
      EXPECT_EQ(s.Name, w.id) << r.name;
      EXPECT_NEAR(static_cast<double>(s.RA), static_cast<double>(w.ra),
                  static_cast<double>(r.tolRA))
          << r.name << " " << w.id;
      EXPECT_NEAR(static_cast<double>(s.Dec), static_cast<double>(w.dec),
                  static_cast<double>(r.tolDec))
          << r.name << " " << w.id;
      EXPECT_EQ(s.Mag, *w.r) << r.name << " " << w.id;
      EXPECT_EQ(s.Band, 2) << r.name;
      EXPECT_EQ(s.Catalog, static_cast<std::uint8_t>(r.catalog)) << r.name;
    }
  }
}

TEST_F(OnlineCatalog, TableLinesEdgeCases) {
  Field(10.5L, 12.0L, 15, 20, ColorCode::Red);
  const auto reply =
      Table(NomadNames,
            {NomadRow("blankR", "10.1", "+12.0", ""),  // chosen band blank: dropped, no box
             {"blankB", "10.2", "+12.0", "0", "0", "", "", "14.2", "", "",
              ""},                                         // other bands blank: kept
             NomadRow("zero", "10.3", "+12.0", "0.0"),     // unusable
             NomadRow("thirty", "10.4", "+12.0", "30.0"),  // unusable
             NomadRow("faint", "10.5", "+12.0", "29.99"),  // usable
             NomadRow("bad1", "10.6", "+12.O", "15.0"),    // not a number
             NomadRow("", "10.7", "-0.5", "15.5"),         // named from its position
             NomadRow("noPos", "", "+12.0", "15.0"),       // no position: not a star
             NomadRow("tabbed", "\t10.8\t", "+12.0", "15.6")},
            "hh.hhh/dd.ddd", "\r\n", '|', "#  a comment after the format line\r\n\r\n   \r\n");
  p.expectMessage(ModalResult::OK, "B1 Data Conversion Error!",
                  "Record contains non-numeric data, B1 entry skipped!\r\n\r\n");
  ASSERT_TRUE(Read(reply));
  ASSERT_EQ(p.messages().size(), 1u);
  const std::string& box = p.messages()[0].text;
  EXPECT_NE(box.find("bad1"), std::string::npos) << box;
  EXPECT_EQ(box.find("noPos"), std::string::npos) << box;  // only the first bad line is shown
  EXPECT_NE(box.find("Entries skipped: 2"), std::string::npos) << box;
  EXPECT_EQ(cat->BadLines, 2);

  std::vector<std::string> names;
  for (const CatStarRec& s : cat->Parsed) names.push_back(s.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"blankB", "faint", "104200.00-003000.0", "tabbed"}));
  const CatStarRec* blankB = cat->Parsed.Item(0);
  EXPECT_FLOAT_EQ(blankB->Mag, 14.2f);
  EXPECT_TRUE(blankB->UseMag);
  EXPECT_EQ(blankB->MagErr, 0.2f);
  EXPECT_EQ(blankB->Entries, 1);
}

// The reply, the selection and the field list keep ascending RA with stars
// of equal RA in the order they came, whether the service sends its lines
// in RA order or not; the field's own stars stay ahead of equal new ones,
// and a star whose motion carries it past others moves in the selection.
TEST_F(OnlineCatalog, FieldKeepsRAOrderEqualRAsAsTheyCame) {
  Field(10.5L, 12.0L, 30, 20, ColorCode::Red);
  GSCField = std::make_unique<GSCFieldObj>(p, settings);
  const auto names = [](const CatStarList& l) {
    std::vector<std::string> out;
    for (const CatStarRec& s : l) out.push_back(s.Name);
    return out;
  };
  // Names in ascending RA (the RA texts compare as the numbers do here),
  // equal RAs in the order given.
  using Keyed = std::vector<std::pair<std::string, std::string>>;  // RA text, name
  const auto ordered = [](Keyed k) {
    std::stable_sort(k.begin(), k.end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (const auto& [ra, name] : k) out.push_back(name);
    return out;
  };
  std::mt19937 gen(1315);
  for (int trial = 0; trial < 10; ++trial) {
    // Few distinct RAs, so that equal ones meet; and a star whose 1056
    // mas/yr carry it from 0.0001 h before the 10.50 stars to 0.0001 h
    // after them by J2010.0.
    Keyed came;
    for (int i = 0; i < 30; ++i)
      came.emplace_back(std::array{"10.49", "10.50", "10.51"}[gen() % 3], "s" + std::to_string(i));
    came.emplace_back("10.4999", "mover");
    std::shuffle(came.begin(), came.end(), gen);
    if (trial % 2)  // the service's own order
      std::stable_sort(came.begin(), came.end(),
                       [](auto& a, auto& b) { return a.first < b.first; });
    std::vector<std::vector<std::string>> table;
    for (const auto& [ra, name] : came)
      table.push_back(NomadRow(name, ra, "+12.0", "15.0", name == "mover" ? "1056" : "0"));
    ASSERT_TRUE(Read(Table(NomadNames, table))) << "trial " << trial;
    EXPECT_EQ(names(cat->Parsed), ordered(came)) << "trial " << trial;

    Keyed moved = came;
    for (auto& [ra, name] : moved)
      if (name == "mover") ra = "10.5001";
    cat->Years = B1CatObj::YearsSinceJ2000(T2010);
    ASSERT_TRUE(cat->SelectField(FieldBoxOf(CurFldParms)));
    EXPECT_EQ(names(cat->Selected), ordered(moved)) << "trial " << trial;

    GSCField->Stars.Clear();
    CatStarRec listed;
    listed.Name = "listed";
    listed.RA = 10.5L;
    GSCField->Stars.InsertSorted(listed);
    cat->CopyToField();
    moved.insert(moved.begin(), {"10.50", "listed"});
    EXPECT_EQ(names(GSCField->Stars), ordered(moved)) << "trial " << trial;
  }
}

TEST_F(OnlineCatalog, UsnoWithVisualColourKeepsNoStar) {
  settings.StarCatalog = CatalogCode::USNOB1;
  Field(10.5L, 12.0L, 15, 20, ColorCode::Visual);
  ASSERT_TRUE(Read(Table(UsnoNames, {{"u1", "10.5", "+12.0", "0", "0", "15.0", "14.5", ""}})));
  EXPECT_EQ(cat->Parsed.Count(), 0);
}

TEST(OnlineProperMotion, MovedOnTheSkyWrappedAndClamped) {
  EXPECT_EQ(B1CatObj::YearsSinceJ2000(0), 0);  // no date: no motion
  EXPECT_NEAR(static_cast<double>(B1CatObj::YearsSinceJ2000(T2010)), 10.0, 1e-12);
  struct Row {
    const char* name;
    long double ra, dec;
    float muRA, muDec;  // arc seconds per year, mu-alpha cos(delta)
    long double years;
    long double wantRA, wantDec;
    long double tol;
  };
  const Row rows[] = {
      {"on the equator", 6, 0, 1, 0, 10, 6 + 10.0L / 54000, 0, 1e-12L},
      {"at Dec 60 the RA moves twice as fast", 6, 60, 1, 0, 10, 6 + 20.0L / 54000, 60, 1e-12L},
      {"north in Dec", 6, 10, 0, 3.6f, 10, 6, 10.01L, 1e-12L},
      {"across 24 h", 23.9999L, 0, 54, 0, 10, 0.0099L, 0, 1e-12L},
      {"back across 0 h", 0.0001L, 0, -54, 0, 10, 23.9901L, 0, 1e-12L},
      {"on the pole no RA shift", 5, 90, 100, 0, 10, 5, 90, 0},
      {"past the pole clamped", 5, 89.999L, 0, 3.6f, 10, 5, 90, 0},
      {"past the south pole clamped", 5, -89.999L, 0, -3.6f, 10, 5, -90, 0},
      // Barnard's star, J2000.0 to J2010.0 (Hipparcos motion -798.58 and
      // +10328.12 mas/yr): +103.28" in Dec, -0.53418 s of time in RA.
      {"Barnard's star", 17.963471L, 4.693391L, -0.79858f, 10.32812f, 10,
       17.963471L - 0.534178L / 3600, 4.693391L + 103.2812L / 3600, 2e-9L},
  };
  for (const Row& r : rows) {
    CatStarRec s;
    s.RA = r.ra;
    s.Dec = r.dec;
    s.PMRA = r.muRA;
    s.PMDec = r.muDec;
    B1CatObj::ApplyProperMotion(s, r.years);
    EXPECT_NEAR(static_cast<double>(s.RA), static_cast<double>(r.wantRA),
                static_cast<double>(r.tol) + 1e-7)
        << r.name;
    EXPECT_NEAR(static_cast<double>(s.Dec), static_cast<double>(r.wantDec),
                static_cast<double>(r.tol) + 1e-6)
        << r.name;
    EXPECT_GE(s.RA, 0) << r.name;
    EXPECT_LT(s.RA, 24) << r.name;
  }
}

TEST_F(OnlineCatalog, CacheKeepsCatalogPositionsAndTakesEachRequestsEpoch) {
  Field(10.5L, 12.0L, 15, 18, ColorCode::Red);
  // 36000 mas/yr north: one arc minute in ten years.
  http->reply = Table(NomadNames, {NomadRow("mover", "10.5", "+12.0", "15.0", "0", "6000"),
                                   NomadRow("still", "10.501", "+12.01", "15.5")});
  const FieldBoxRec box = FieldBoxOf(CurFldParms);
  ASSERT_TRUE(cat->RequestData(T2010));
  ASSERT_TRUE(cat->SelectField(box));
  EXPECT_NEAR(static_cast<double>(cat->Selected.Item(0)->Dec), 12.0 + 60.0 / 3600, 1e-9);
  EXPECT_EQ(cat->MinMag, 15.0f);
  EXPECT_EQ(cat->MaxMag, 15.5f);

  // Narrower, fainter-limited, the centre moved by less than 0.0028 degrees,
  // and no date: the cache answers, at the new epoch.
  Field(10.5L + 0.002L / 15, 12.0L, 10, 17, ColorCode::Red);
  ASSERT_TRUE(cat->RequestData(0));
  EXPECT_EQ(http->urls.size(), 1u);
  ASSERT_TRUE(cat->SelectField(FieldBoxOf(CurFldParms)));
  EXPECT_NEAR(static_cast<double>(cat->Selected.Item(0)->Dec), 12.0, 1e-12);

  struct Change {
    const char* name;
    std::function<void()> apply;
  };
  const Change changes[] = {
      {"colour", [] { CurFldParms.Color = 0; }},
      {"catalog", [&] { settings.StarCatalog = CatalogCode::USNOB1; }},
      {"larger field", [] { CurFldParms.FieldSize = 16; }},
      {"fainter limit", [] { CurFldParms.FaintMag = 18.5f; }},
      {"centre moved", [] { CurFldParms.DecCenter += 0.003L; }},
  };
  http->usnoReply = Table(UsnoNames, {{"u1", "10.5", "+12.0", "0", "0", "15.0", "14.5", ""}});
  for (const Change& c : changes) {
    Field(10.5L, 12.0L, 15, 18, ColorCode::Red);
    settings.StarCatalog = CatalogCode::NOMAD;
    ASSERT_TRUE(cat->RequestData(T2010)) << c.name;
    const std::size_t asked = http->urls.size();
    c.apply();
    ASSERT_TRUE(cat->RequestData(T2010)) << c.name;
    EXPECT_EQ(http->urls.size(), asked + 1) << c.name;
  }
}

TEST_F(OnlineCatalog, FailedRequestLeavesNoCacheAndSaysWhy) {
  Field(10.5L, 12.0L, 15, 18, ColorCode::Red);
  http->ok = false;
  http->status = "HTTP/1.1 503 Service Unavailable";
  p.expectMessage(
      ModalResult::OK, "Cannot Access Online Catalog!",
      "USNO-VO \"Get\" request failed!\r\n\r\nResponse Code = HTTP/1.1 503 Service Unavailable");
  EXPECT_FALSE(cat->RequestData(T2010));
  http->status.clear();
  p.expectMessage(ModalResult::OK, "Cannot Access Online Catalog!",
                  "USNO-VO \"Get\" request failed!\r\n\r\nServer is not responding!");
  EXPECT_FALSE(cat->RequestData(T2010));  // sent again: nothing was cached
  EXPECT_EQ(http->urls.size(), 2u);
  EXPECT_EQ(cat->Parsed.Count(), 0);
}

// The libcurl client against a server of our own on the loopback interface.
TEST(CurlHttpClient, StatusesRedirectsAndSilentServers) {
  const std::string body = "#END\nline two\n" + std::string(300, 'x') + "\n";
  struct Row {
    const char* name;
    loopback::Reply reply;
    bool ok;
    std::string status;
  };
  const Row rows[] = {
      {"200 with a length", Response(200, "OK", body), true, "HTTP/1.1 200 OK"},
      {"200 chunked", Response(200, "OK", body, true), true, "HTTP/1.1 200 OK"},
      {"404", Response(404, "Not Found", "nothing here"), false, "HTTP/1.1 404 Not Found"},
      {"500", Response(500, "Internal Server Error", ""), false,
       "HTTP/1.1 500 Internal Server Error"},
      {"302 is not followed", Response(302, "Found", "", false, "Location: /elsewhere\r\n"), false,
       "HTTP/1.1 302 Found"},
      {"accepted and closed", loopback::Reply::Close(), false, ""},
      {"never answers", loopback::Reply::Hold(), false, ""},
      // Ended by the time-out, or cut, after a 2xx status line: no answer.
      {"stalls after 200", loopback::Reply::Stall("HTTP/1.1 200 OK\r\n"), false, ""},
      {"stalls in the body",
       loopback::Reply::Stall("HTTP/1.1 200 OK\r\nContent-Length: 400\r\n\r\n#END\n"), false, ""},
      {"stalls after 500", loopback::Reply::Stall("HTTP/1.1 500 Internal Server Error\r\n"), false,
       ""},
      {"cut in the body",
       loopback::Reply{loopback::Reply::Kind::Send,
                       "HTTP/1.1 200 OK\r\nContent-Length: 400\r\n\r\n#END\n"},
       false, ""},
  };
  for (const Row& r : rows) {
    Server server([&](const std::string&) { return r.reply; }, 2, 10s);
    CurlHttpClient client(2000ms, 1500ms);
    std::string got = "stale";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.Get(server.Url("/cone?CAT=NOMAD"), got), r.ok) << r.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << r.name;
    EXPECT_EQ(client.StatusLine(), r.status) << r.name;
    EXPECT_EQ(got, r.ok ? body : "") << r.name;
    server.Stop();
    EXPECT_EQ(server.RequestLines(), std::vector<std::string>{"GET /cone?CAT=NOMAD HTTP/1.1"})
        << r.name;
  }
  CurlHttpClient client(2000ms, 2000ms);
  std::string got;
  EXPECT_FALSE(client.Get("http://127.0.0.1:" + std::to_string(Server::ClosedPort()) + "/", got));
  EXPECT_EQ(client.StatusLine(), "");
  EXPECT_FALSE(client.Get("file:///etc/hostname", got));  // only web addresses are asked
  EXPECT_EQ(CurlHttpClient().ConnectTimeout, 15s);
  EXPECT_EQ(CurlHttpClient().TotalTimeout, 60s);
}

// The whole online path: the sample star list served on the loopback
// interface fills the field-star list with the stars of the field.
TEST_F(OnlineCatalog, LoadOnlineFieldFromTheServedSample) {
  const auto stars = cone::ReadStars(SampleStars);
  Server server(cone::ServeStars(stars), 1, 10s);
  settings.CatalogURL = server.Url("/cgi-bin/vo_cone.cgi?");
  GSCField = std::make_unique<GSCFieldObj>(p, settings);
  InfoForm = std::make_unique<TInfoForm>();
  std::vector<std::string> shown;
  InfoForm->Changed = [&] {
    if (InfoForm->Visible) shown.push_back(InfoForm->Caption + ": " + InfoForm->Text);
  };
  Field(10.5L, 12.0L, 15, 16.5f, ColorCode::Visual);

  EXPECT_TRUE(LoadOnlineField(p, settings, T2010));
  server.Stop();
  ASSERT_EQ(server.RequestLines().size(), 1u);
  EXPECT_EQ(
      server.RequestLines()[0],
      "GET /cgi-bin/vo_cone.cgi?CAT=NOMAD&RA=157.500000&DEC=12.000000&SR=0.38&VERB=1&clr=V&bri=1.0"
      "&fai=16.5&cftype=ASCII&skey=RA&slf=hh.hhh/dd.ddd HTTP/1.1");
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "USNO-NVO Web Service: Requesting NOMAD Data",
                       "USNO-NVO Web Service: NOMAD Data Received.\r\nProcessing Catalog Data",
                       "NOMAD Catalog: Searching NOMAD Catalog Data"}));
  EXPECT_FALSE(InfoForm->Visible);

  const FieldBoxRec box = FieldBoxOf(CurFldParms);
  std::vector<std::string> want;
  float minMag = 25, maxMag = -2;
  for (const auto& s : stars) {
    CatStarRec c;
    c.RA = s.ra;
    c.Dec = s.dec;
    c.Mag = *s.v;
    if (!GSCFieldObj::InField(c, box)) continue;
    want.push_back(s.id);
    minMag = std::min(minMag, c.Mag);
    maxMag = std::max(maxMag, c.Mag);
  }
  std::sort(want.begin(), want.end());
  std::vector<std::string> got;
  for (const CatStarRec& s : GSCField->Stars) got.push_back(s.Name);
  std::sort(got.begin(), got.end());
  EXPECT_GT(want.size(), 10u);
  EXPECT_EQ(got, want);
  EXPECT_EQ(GSCField->NumStars, static_cast<std::int32_t>(want.size()));
  EXPECT_EQ(GSCField->MinMag, minMag);
  EXPECT_EQ(GSCField->MaxMag, maxMag);
  EXPECT_EQ(GSCField->Title, "NOMAD");
  InfoForm.reset();
}

// Every failure of the service is told within the time-outs and leaves an
// empty field; the next query asks again.
TEST_F(OnlineCatalog, ServiceFailuresLeaveAnEmptyFieldWithinTheTimeouts) {
  GSCField = std::make_unique<GSCFieldObj>(p, settings);
  InfoForm = std::make_unique<TInfoForm>();
  B1Cat = std::make_unique<B1CatObj>(p, settings, std::make_unique<CurlHttpClient>(1000ms, 1000ms));
  Field(10.5L, 12.0L, 15, 16.5f, ColorCode::Red);
  struct Row {
    const char* name;
    loopback::Reply reply;
    std::string text;
  };
  const Row rows[] = {
      {"404", Response(404, "Not Found", ""), "Response Code = HTTP/1.1 404 Not Found"},
      {"500", Response(500, "Internal Server Error", ""),
       "Response Code = HTTP/1.1 500 Internal Server Error"},
      {"redirected", Response(302, "Found", "", false, "Location: /x\r\n"),
       "Response Code = HTTP/1.1 302 Found"},
      {"closed at once", loopback::Reply::Close(), "Server is not responding!"},
      {"silent", loopback::Reply::Hold(), "Server is not responding!"},
      {"stalled after its status line", loopback::Reply::Stall("HTTP/1.1 200 OK\r\n"),
       "Server is not responding!"},
  };
  for (const Row& r : rows) {
    Server server([&](const std::string&) { return r.reply; }, 1, 10s);
    settings.CatalogURL = server.Url("/cone?");
    p.expectMessage(ModalResult::OK, "Cannot Access Online Catalog!",
                    "USNO-VO \"Get\" request failed!\r\n\r\n" + r.text);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(LoadOnlineField(p, settings, T2010)) << r.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << r.name;
    EXPECT_EQ(GSCField->Stars.Count(), 0) << r.name;
    EXPECT_EQ(B1Cat->Parsed.Count(), 0) << r.name;
    EXPECT_FALSE(InfoForm->Visible) << r.name;
    EXPECT_TRUE(p.allAnswered()) << r.name;
  }
  p.expectMessage(ModalResult::OK, "Cannot Access Online Catalog!", "Server is not responding!");
  settings.CatalogURL = "http://127.0.0.1:" + std::to_string(Server::ClosedPort()) + "/cone?";
  EXPECT_TRUE(LoadOnlineField(p, settings, T2010));
  InfoForm.reset();
}

// With the sample star list served and the visual band chosen, the online
// field holds the stars of the shipped sample catalog's field: the same
// positions and magnitudes, without the catalog's non-stellar objects.
TEST_F(OnlineCatalog, ServedSampleGivesTheShippedCatalogsField) {
  InfoForm = std::make_unique<TInfoForm>();
  settings.ProgramFolder = std::string(HV_BINARY_DIR) + "/bin/";
  settings.GSCFormat = GSCFormatCode::Native;
  settings.StarCatalog = CatalogCode::GSC;
  GSCRgnsTbl = std::make_unique<GSCRgnsTblObj>(p, settings);
  GSCField = std::make_unique<GSCFieldObj>(p, settings);
  Field(10.5L, 12.0L, 20, 17.5f, ColorCode::Visual);
  const FieldBoxRec box = FieldBoxOf(CurFldParms);
  GSCRgnsTbl->LoadTable(true);
  ASSERT_TRUE(GSCRgnsTbl->Loaded);
  std::array<std::int16_t, GSCMaxRegions> list{};
  std::int16_t count = 0;
  GSCRgnsTbl->FindRegions(box, list, count);
  GSCField->InitSearch();
  ASSERT_TRUE(GSCField->SearchRegions(box, list, count));
  std::vector<CatStarRec> shipped;
  for (const CatStarRec& s : GSCField->Stars)
    if (s.Class == 0) shipped.push_back(s);
  ASSERT_GT(shipped.size(), 20u);

  const auto stars = cone::ReadStars(SampleStars);
  Server server(cone::ServeStars(stars), 1, 10s);
  settings.CatalogURL = server.Url("/cgi-bin/vo_cone.cgi?");
  settings.StarCatalog = CatalogCode::NOMAD;
  ASSERT_TRUE(LoadOnlineField(p, settings, T2010));
  std::vector<CatStarRec> online(GSCField->Stars.begin(), GSCField->Stars.end());
  ASSERT_EQ(online.size(), shipped.size());
  EXPECT_EQ(GSCField->NumStars, static_cast<std::int32_t>(shipped.size()));
  for (std::size_t i = 0; i < online.size(); ++i) {
    const CatStarRec &a = shipped[i], &b = online[i];
    EXPECT_NEAR(double(a.RA), double(b.RA), 1e-6) << b.Name;  // the catalog's 0.00001 degree
    EXPECT_NEAR(double(a.Dec), double(b.Dec), 1e-5) << b.Name;
    EXPECT_NEAR(a.Mag, b.Mag, 0.006) << b.Name;
  }
  GSCRgnsTbl.reset();
  InfoForm.reset();
}

}  // namespace
}  // namespace hv
