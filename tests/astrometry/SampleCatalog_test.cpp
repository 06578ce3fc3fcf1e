// The Guide Star Catalog the build writes for the sample images: found in
// the program folder, holding the sample field, and read alike in its own
// and its converted form.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "astrometry/GSCCnvrt.h"
#include "astrometry/GSCField.h"
#include "astrometry/GSCRegions.h"
#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

const fs::path kBin = fs::path(HV_BINARY_DIR) / "bin" / "";
const fs::path kSamples = fs::path(HV_BINARY_DIR) / "samples" / "";

struct ListStar {
  std::string id;
  double ra = 0, dec = 0, v = 0;
};

std::vector<ListStar> ReadList() {
  std::ifstream in(fs::path(HV_SOURCE_DIR) / "data" / "sample_stars.txt");
  std::vector<ListStar> out;
  std::string id, ra, dec, b, v, r;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream ls(line);
    ls >> id >> ra >> dec >> b >> v >> r;
    ListStar s;
    s.id = id;
    std::from_chars(ra.data(), ra.data() + ra.size(), s.ra);
    std::from_chars(dec.data() + (dec[0] == '+'), dec.data() + dec.size(), s.dec);
    std::from_chars(v.data(), v.data() + v.size(), s.v);
    out.push_back(s);
  }
  return out;
}

class SampleCatalog : public ::testing::Test {
 protected:
  void SetUp() override {
    InfoForm = std::make_unique<TInfoForm>();
    s.ProgramFolder = kBin;
    s.MagLimit = 20;  // the default limit
    box.RAMin = 10.47;
    box.RAMax = 10.53;
    box.DecMin = 11.6;
    box.DecMax = 12.4;
    box.MagLimit = s.MagLimit;
  }
  void TearDown() override { InfoForm.reset(); }

  // The field through the regions table of the program folder, in the
  // given form.
  std::vector<CatStarRec> Field(GSCFormatCode format) {
    s.GSCFormat = format;
    s.GSCPath1 = s.GSCPath2 = format == GSCFormatCode::Native ? "" : kSamples.string();
    GSCRgnsTblObj table(p, s);
    table.LoadTable(true);
    EXPECT_TRUE(table.Loaded);
    std::array<std::int16_t, GSCMaxRegions> list{};
    std::int16_t count = 0;
    table.FindRegions(box, list, count);
    EXPECT_GE(count, 2);  // the field spans two regions
    GSCFieldObj f(p, s);
    f.InitSearch();
    EXPECT_TRUE(f.SearchRegions(box, list, count));
    numStars = f.NumStars;
    return {f.Stars.begin(), f.Stars.end()};
  }

  test::Scripted p;
  OptsRec s;
  FieldBoxRec box;
  std::int32_t numStars = 0;
};

TEST_F(SampleCatalog, HoldsEverySampleStarOnceWithRepeatsAndNonStellarObjects) {
  const std::vector<CatStarRec> stars = Field(GSCFormatCode::Native);
  const std::vector<ListStar> list = ReadList();
  ASSERT_EQ(list.size(), 420u);
  for (const ListStar& l : list) {
    if (l.v > s.MagLimit) continue;
    int found = 0;
    for (const CatStarRec& c : stars) {
      const double dra =
          (static_cast<double>(c.RA) - l.ra) * 15 * 3600 * std::cos(l.dec * M_PI / 180);
      const double ddec = (static_cast<double>(c.Dec) - l.dec) * 3600;
      if (std::hypot(dra, ddec) < 0.1 && std::fabs(c.Mag - l.v) < 0.006) ++found;
    }
    EXPECT_EQ(found, 1) << l.id;
  }
  int repeated = 0, nonStellar = 0;
  for (const CatStarRec& c : stars) {
    repeated += c.Entries > 1;
    nonStellar += c.Class != 0;
  }
  EXPECT_EQ(repeated, 5);
  EXPECT_EQ(nonStellar, 3);
  EXPECT_EQ(numStars, static_cast<std::int32_t>(stars.size()) - 3);
  EXPECT_TRUE(p.transcript().empty()) << p.transcript().front();  // nothing asked
}

TEST_F(SampleCatalog, OwnAndConvertedFormsGiveTheSameField) {
  const std::vector<CatStarRec> raw = Field(GSCFormatCode::Native);
  struct Form {
    const char* name;
    GSCFormatCode format;
  };
  for (const Form& form : {Form{"converted", GSCFormatCode::Converted},
                           Form{"position, magnitude and ID", GSCFormatCode::Quillan}}) {
    const std::vector<CatStarRec> conv = Field(form.format);
    ASSERT_EQ(conv.size(), raw.size()) << form.name;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      const CatStarRec &a = raw[i], &b = conv[i];
      EXPECT_EQ(a.Name, b.Name) << form.name << " " << i;
      EXPECT_NEAR(double(a.RA), double(b.RA), 0.51e-7) << form.name << " " << a.Name;
      EXPECT_NEAR(double(a.Dec), double(b.Dec), 0.51e-5) << form.name << " " << a.Name;
      EXPECT_NEAR(a.Mag, b.Mag, 0.51e-3) << form.name << " " << a.Name;
      if (form.format == GSCFormatCode::Converted) {
        EXPECT_EQ(a.Class, b.Class) << a.Name;
        EXPECT_EQ(a.Entries, b.Entries) << a.Name;
        EXPECT_NEAR(a.PosErr, b.PosErr, 0.051) << a.Name;
        EXPECT_NEAR(a.MagErr, b.MagErr, 0.0051) << a.Name;
      }
    }
  }
}

std::vector<std::pair<fs::path, std::vector<std::uint8_t>>> Tree(const fs::path& root) {
  std::vector<std::pair<fs::path, std::vector<std::uint8_t>>> out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (!e.is_regular_file()) continue;
    const fs::path rel = fs::relative(e.path(), root);
    const std::string top = rel.begin()->string();
    if (top != "TABLES" && top != "GSC") continue;
    out.emplace_back(rel, ReadWholeFile(e.path()));
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(SampleCatalogTool, WritesTheSameBytesEachTime) {
  const fs::path raw = test::FreshFolder("raw"), conv = test::FreshFolder("conv");
  const std::string cmd = std::string("\"") + HV_MAKE_GSC + "\" \"" + raw.string() + "\" \"" +
                          conv.string() + "\" \"" + HV_SOURCE_DIR + "/data/sample_stars.txt\"";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  const auto a = Tree(raw), b = Tree(kBin);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_TRUE(a == b);
  const auto c = Tree(conv), d = Tree(kSamples);
  ASSERT_EQ(c.size(), d.size());
  EXPECT_TRUE(c == d);
  EXPECT_EQ(fs::file_size(conv / "TABLES" / "REGIONS.BIN"), 343368u);
}

TEST(SampleCatalogTool, TheConverterReproducesTheShippedConvertedForm) {
  // The regions that ship, one band of one zone.
  std::int32_t first = GSCRegionCount, last = 0;
  for (const auto& e : fs::recursive_directory_iterator(kBin / "GSC")) {
    if (!e.is_regular_file()) continue;
    const std::string stem = e.path().stem().string();
    std::int32_t r = 0;
    std::from_chars(stem.data(), stem.data() + stem.size(), r);
    first = std::min(first, r);
    last = std::max(last, r);
  }
  ASSERT_LT(first, last);
  test::Scripted p;
  OptsRec s;
  s.ProgramFolder = kBin;
  s.WorkFolder = test::FreshFolder("work") / "";
  TGaugeForm2 g(p);
  TGSCCnvrtForm1 f(p, s);
  f.ConvInPath1 = f.ConvInPath2 = kBin;
  f.ConvOutPath = test::FreshFolder("converted") / "";
  f.FirstRegion = first;
  f.LastRegion = last;
  ASSERT_TRUE(f.ConvertCatalog(g));
  EXPECT_TRUE(Tree(f.ConvOutPath) == Tree(kSamples));
}

}  // namespace
}  // namespace hv
