#include "astrometry/GSCCnvrt.h"

#include <gtest/gtest.h>

#include "app/Folders.h"
#include "support/Files.h"
#include "tests/astrometry/GSCFixtures.h"
#include "tests/common/TestEnv.h"
#include "tools/SampleCatalog.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::WriteBytes;

constexpr long double kMsPerHour = 3600000;

TEST(TGaugeForm2, PercentTimesAndEstimate) {
  test::Scripted p;
  TGaugeForm2 g(p);
  int changes = 0, pumps = 0;
  g.Changed = [&] { ++changes; };
  g.PumpEvents = [&] { ++pumps; };
  p.monotonic = 1000;
  g.StartProgress("Converting", "", 9537, "Stop?");
  EXPECT_TRUE(g.Visible && g.Running && g.Modal());
  EXPECT_TRUE(g.CnclBtnVisible);
  EXPECT_FALSE(g.OKBtnVisible);
  EXPECT_EQ(g.PrCntText, "0.000");

  struct Step {
    const char* name;
    long double hours;  // since the start
    long double x;
    std::string percent;
    int gauge;
    std::string elapsed, estimate;
  };
  const Step steps[] = {
      {"100 regions in half an hour", 0.5L, 100, "1.049", 1, "0 Hr 30.00 Min", "47 Hr 11.10 Min"},
      {"one and a half hours", 1.5L, 300, "3.146", 3, "1 Hr 30.00 Min", "46 Hr 11.10 Min"},
      {"region 5000", 2, 5000, "52.427", 52, "2 Hr 0.00 Min", "1 Hr 48.89 Min"},
  };
  for (const Step& s : steps) {
    p.monotonic = 1000 + static_cast<std::int64_t>(s.hours * kMsPerHour);
    g.UpdateProgress("out/N0000", "0001.BIN", s.x);
    EXPECT_EQ(g.PrCntText, s.percent) << s.name;
    EXPECT_EQ(g.Gauge, s.gauge) << s.name;
    EXPECT_EQ(g.ElpsdText, s.elapsed) << s.name;
    EXPECT_EQ(g.EstTmText, s.estimate) << s.name;
  }
  EXPECT_EQ(g.CrntFlText, "0001.BIN");

  struct Hours {
    const char* name;
    long double hours;
    std::string text;
  };
  const Hours hours[] = {
      {"one and a half", 1.5L, "1 Hr 30.00 Min"},
      {"a hair under two: rounded before the split", 2 - 0.1L / 3600, "2 Hr 0.00 Min"},
      {"nothing", 0, "0 Hr 0.00 Min"},
  };
  for (const Hours& h : hours) EXPECT_EQ(TGaugeForm2::HoursText(h.hours), h.text) << h.name;
  EXPECT_EQ(pumps, 3);  // queued events run once per update
  EXPECT_GT(changes, 3);

  // A restart with 200 done: the estimate uses only this run's time, the
  // elapsed time both.
  p.monotonic = 0;
  g.StartProgress("Converting", "", 9537, "Stop?");
  p.monotonic = static_cast<std::int64_t>(0.25L * kMsPerHour);  // skipping 200
  g.SetRestartPoint(200);
  EXPECT_EQ(g.RestartCount, 200);
  g.UpdateProgress("", "", 200);  // nothing converted yet: no estimate
  EXPECT_EQ(g.EstTmText, "");
  p.monotonic = static_cast<std::int64_t>(1.25L * kMsPerHour);
  g.UpdateProgress("", "", 300);
  EXPECT_EQ(g.ElpsdText, "1 Hr 15.00 Min");
  EXPECT_EQ(g.EstTmText, "92 Hr 22.20 Min");  // (9337/100 - 1) x 1 h

  g.FinishProgress();
  EXPECT_TRUE(g.OKBtnVisible);
  EXPECT_FALSE(g.CnclBtnVisible);
  EXPECT_FALSE(g.Modal());  // finished work holds nothing else up
}

TEST(TGaugeForm2, CancelAsksFirst) {
  test::Scripted p;
  TGaugeForm2 g(p);
  g.StartProgress("Converting", "", 10, "Terminate?");
  p.expectMessage(ModalResult::No, "Cancel Current Processing?", "Terminate?");
  g.CnclBtnClick();
  EXPECT_TRUE(g.Running && g.Visible);
  p.expectMessage(ModalResult::Yes, "Cancel Current Processing?");
  g.CnclBtnClick();
  EXPECT_FALSE(g.Running);
  EXPECT_FALSE(g.Visible);
  EXPECT_EQ(p.messages().back().icon, MsgIcon::Question);
}

TEST(TGSCCnvrtForm1, DefaultFoldersAskNothing) {
  test::Scripted p;  // no optical drive: nothing may be asked
  const fs::path work = test::FreshFolder("work") / "";
  struct Case {
    const char* name;
    GSCFormatCode format;
    std::string path1, path2;
    fs::path cdrom;
    fs::path in1, in2, out;
  };
  const Case cases[] = {
      {"own form configured",
       GSCFormatCode::Native,
       "/d/GSC/",
       "/e/GSC2/",
       {},
       "/d/GSC/",
       "/e/GSC2/",
       "/d/GSC_VESK/"},
      {"a root folder as input", GSCFormatCode::Native, "/", "", {}, "/", "/", work / "GSC_VESK/"},
      {"converted form configured", GSCFormatCode::Converted, "/c/VESK/", "", "/media/cd/",
       "/media/cd/", "/media/cd/", "/c/VESK/"},
      {"nothing configured, no drive",
       GSCFormatCode::Native,
       "",
       "",
       {},
       "",
       "",
       work / "GSC_VESK/"},
  };
  for (const Case& c : cases) {
    OptsRec s;
    s.WorkFolder = work;
    s.ProgramFolder = test::FreshFolder("prog") / "";
    s.GSCFormat = c.format;
    s.GSCPath1 = c.path1;
    s.GSCPath2 = c.path2;
    s.CDROMRoot = c.cdrom;
    TGSCCnvrtForm1 f(p, s);
    f.ConvRestart = true;
    f.FormCreate();
    f.FormActivate();
    EXPECT_EQ(f.ConvInPath1, c.in1) << c.name;
    EXPECT_EQ(f.ConvInPath2, c.in2) << c.name;
    EXPECT_EQ(f.ConvOutPath, c.out) << c.name;
    EXPECT_FALSE(f.RstrtCk) << c.name;
    EXPECT_EQ(f.OutPathEd, c.out.string()) << c.name;
  }
  EXPECT_TRUE(p.transcript().empty());
}

TEST(TGSCCnvrtForm1, OKRefusesEmptyAndSameFolders) {
  test::Scripted p;
  OptsRec s;
  TGSCCnvrtForm1 f(p, s);
  f.InPath1Ed = "/a/";
  f.InPath2Ed = "";
  f.OutPathEd = "/c";
  p.expectMessage(ModalResult::OK, "Missing Directory!");
  EXPECT_EQ(f.OKBtnClick(), ModalResult::None);
  f.InPath2Ed = "/b";
  f.OutPathEd = "/b/./";
  p.expectMessage(ModalResult::OK, "Same Directory!", "Input Directory Cannot Be Used for Output");
  EXPECT_EQ(f.OKBtnClick(), ModalResult::None);
  f.OutPathEd = "/c";
  f.RstrtCk = true;
  EXPECT_EQ(f.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(f.ConvOutPath, fs::path("/c/"));
  EXPECT_EQ(f.ConvInPath2, fs::path("/b/"));
  EXPECT_TRUE(f.ConvRestart);

  // Browsing fills an edit; no choice leaves it.
  p.expectFolder(fs::path("/x/out"));
  f.OutPathEdDblClick();
  EXPECT_EQ(f.OutPathEd, "/x/out/");
  p.expectFolder(std::nullopt);
  f.InPath1EdDblClick();
  EXPECT_EQ(f.InPath1Ed, "/a/");
}

// A catalog of the own form in two volumes holding the regions first..last
// (the table holds all regions), as the sample tool makes them.
class Converter : public ::testing::Test {
 protected:
  static constexpr std::int32_t kFirst = 5256, kLast = 5263;  // zones 13 and 14

  void SetUp() override {
    vol1 = test::FreshFolder("vol1") / "";
    vol2 = test::FreshFolder("vol2") / "";
    out = test::FreshFolder("out") / "converted" / "";
    s.WorkFolder = test::FreshFolder("work") / "";
    s.DataFolder = s.WorkFolder;
    s.ProgramFolder = test::FreshFolder("prog") / "";
    const sample::Tiling t = sample::MakeTiling();
    WriteBytes(vol1 / "TABLES" / "REGIONS.TBL", sample::RegionsTableFile(t));
    for (std::int32_t r = kFirst; r <= kLast; ++r) {
      const int k = GSCZoneOf(r);
      const fs::path dir = (k > GSCLastZoneOfVol1 ? vol2 : vol1) / "GSC" /
                           std::string(GSCZoneDirs[static_cast<std::size_t>(k - 1)].substr(4, 5));
      WriteBytes(dir / GSCRegionFileName(r, ".GSC"),
                 sample::RegionFile(r, sample::SyntheticRegion(t.boxes[r], r, 40)));
    }
  }
  void TearDown() override { GSCField.reset(); }

  std::unique_ptr<TGSCCnvrtForm1> Dialog(bool restart = false) {
    auto f = std::make_unique<TGSCCnvrtForm1>(p, s);
    f->ConvInPath1 = vol1;
    f->ConvInPath2 = vol2;
    f->ConvOutPath = out;
    f->ConvRestart = restart;
    f->FirstRegion = kFirst;
    f->LastRegion = kLast;
    return f;
  }
  fs::path Output(std::int32_t r) const {
    const int k = GSCZoneOf(r);
    return out / "GSC" / std::string(GSCZoneDirs[static_cast<std::size_t>(k - 1)].substr(4, 5)) /
           GSCRegionFileName(r, ".BIN");
  }
  std::vector<std::vector<std::uint8_t>> Outputs() const {
    std::vector<std::vector<std::uint8_t>> all;
    for (std::int32_t r = kFirst; r <= kLast; ++r) all.push_back(ReadWholeFile(Output(r)));
    all.push_back(ReadWholeFile(out / "TABLES" / "REGIONS.BIN"));
    return all;
  }

  test::Scripted p;
  OptsRec s;
  fs::path vol1, vol2, out;
};

TEST_F(Converter, ConvertsAcrossTheVolumesAndLeavesTheFieldAlone) {
  // The field of the current measurement.
  GSCField = std::make_unique<GSCFieldObj>(p, s);
  CatStarRec star;
  star.Name = "00001-00001";
  GSCField->Stars.InsertSorted(star);
  GSCField->NumStars = 1;

  TGaugeForm2 g(p);
  std::vector<std::string> files;
  g.PumpEvents = [&] { files.push_back(g.CrntFlText); };
  auto f = Dialog();
  ASSERT_TRUE(f->ConvertCatalog(g));
  EXPECT_EQ(files.size(), 8u);
  EXPECT_EQ(files.front(), "5256.BIN");
  EXPECT_EQ(g.PrCntText, "100.000");
  EXPECT_TRUE(g.OKBtnVisible && g.Visible);
  for (std::int32_t r = kFirst; r <= kLast; ++r) {
    ASSERT_TRUE(fs::exists(Output(r))) << r;
    // 40 objects of one to three entries each: one record per object.
    EXPECT_EQ(fs::file_size(Output(r)), 40 * GSCBinRecSize) << r;
  }
  EXPECT_TRUE(fs::exists(out / "GSC" / "S0000" / "5259.BIN"));  // volume I's last zone
  EXPECT_TRUE(fs::exists(out / "GSC" / "S0730" / "5260.BIN"));  // volume II's first
  EXPECT_EQ(fs::file_size(out / "TABLES" / "REGIONS.BIN"), 343368u);

  ASSERT_EQ(GSCField->Stars.Count(), 1);
  EXPECT_EQ(GSCField->Stars.Item(0)->Name, "00001-00001");
  EXPECT_EQ(GSCField->NumStars, 1);
  EXPECT_TRUE(GSCField->RawRows.IsEmpty());
}

// The run is done only once all of its output is on the disc: one sync,
// after the last file and before the progress shows the end. A failed sync
// is an error and no success.
TEST_F(Converter, SyncsTheWholeOutputOnceBeforeItEnds) {
  int syncs = 0, syncError = 0;
  std::vector<std::string> missingAtSync;
  bool endShownAtSync = false;
  TGaugeForm2 g(p);
  SaveFaultScope watch([&](std::string_view call) {
    if (call != "syncfs") return 0;
    ++syncs;
    for (std::int32_t r = kFirst; r <= kLast; ++r)
      if (!fs::exists(Output(r))) missingAtSync.push_back(Output(r).filename().string());
    if (!fs::exists(out / "TABLES" / "REGIONS.BIN")) missingAtSync.push_back("REGIONS.BIN");
    endShownAtSync = endShownAtSync || g.OKBtnVisible;
    return syncError;
  });
  auto f = Dialog();
  f->Threads = 4;  // regions written on workers are on the disc too
  ASSERT_TRUE(f->ConvertCatalog(g));
  EXPECT_EQ(syncs, 1);
  EXPECT_EQ(missingAtSync, std::vector<std::string>{});
  EXPECT_FALSE(endShownAtSync);
  EXPECT_TRUE(g.OKBtnVisible);

  syncError = EIO;
  p.expectMessage(ModalResult::OK, "GSC Conversion File Error!",
                  "Unable to Write the Converted GSC to the Disk!\r\n\r\nFolder: " + out.string() +
                      "\r\nIOResult = " + std::to_string(1000 + EIO));
  EXPECT_FALSE(f->ConvertCatalog(g));
  EXPECT_EQ(syncs, 2);
  EXPECT_FALSE(g.Visible || g.OKBtnVisible);
}

TEST_F(Converter, RestartsAfterACancelAndAfterAKill) {
  const auto whole = [&] {
    TGaugeForm2 g(p);
    auto f = Dialog();
    EXPECT_TRUE(f->ConvertCatalog(g));
    auto all = Outputs();
    fs::remove_all(out);
    return all;
  }();

  // Cancelled after the third region: three outputs stay, nothing else
  // (one region at a time; converting ahead may leave a few more, which a
  // restart takes as they are).
  TGaugeForm2 g(p);
  int updates = 0;
  g.PumpEvents = [&] {
    if (++updates == 3) g.CnclBtnClick();
  };
  p.expectMessage(ModalResult::Yes, "Cancel Current Processing?");
  auto f = Dialog();
  f->Threads = 1;
  EXPECT_FALSE(f->ConvertCatalog(g));
  EXPECT_FALSE(g.Visible);
  for (std::int32_t r = kFirst; r <= kLast; ++r)
    EXPECT_EQ(fs::exists(Output(r)), r < kFirst + 3) << r;
  EXPECT_FALSE(fs::exists(out / "TABLES" / "REGIONS.BIN"));

  // A run killed while it wrote the fourth left only its temporary file,
  // which is not taken for an output.
  const fs::path stray = Output(kFirst + 3).parent_path() / ".5259.BIN.tmp-4242-1";
  WriteBytes(stray, {1, 2, 3});
  const auto written = fs::last_write_time(Output(kFirst));

  g.PumpEvents = nullptr;
  auto again = Dialog(true);
  ASSERT_TRUE(again->ConvertCatalog(g));
  EXPECT_EQ(g.RestartCount, 3);
  EXPECT_FALSE(again->ConvRestart);
  EXPECT_EQ(fs::last_write_time(Output(kFirst)), written);  // skipped, not rewritten
  EXPECT_FALSE(fs::exists(stray));
  EXPECT_TRUE(Outputs() == whole);
}

// After a power cut an output may carry its name while empty or cut short:
// the restart converts such a region again (and all after it), but keeps an
// empty output whose region has no star.
TEST_F(Converter, RestartConvertsAgainAnEmptiedAndACutRegion) {
  // The first region has no star at all: its output is rightly empty.
  WriteBytes(vol1 / "GSC" / "S0000" / GSCRegionFileName(kFirst, ".GSC"),
             sample::RegionFile(kFirst, {}));
  const auto whole = [&] {
    TGaugeForm2 g(p);
    auto f = Dialog();
    EXPECT_TRUE(f->ConvertCatalog(g));
    return Outputs();
  }();
  ASSERT_TRUE(whole[0].empty());
  const auto cut = [&](std::int32_t r, std::size_t size) {
    std::vector<std::uint8_t> b = ReadWholeFile(Output(r));
    b.resize(size);
    WriteBytes(Output(r), b);
  };
  struct Row {
    const char* name;
    std::vector<std::pair<std::int32_t, std::size_t>> damage;  // region, size left
    std::int32_t restartPoint;
  };
  const Row rows[] = {
      {"emptied and cut", {{kFirst + 2, 0}, {kFirst + 5, 40 * GSCBinRecSize - 10}}, 2},
      {"cut inside a record", {{kFirst + 5, 17 * GSCBinRecSize + 1}}, 5},
      {"emptied last", {{kLast, 0}}, kLast - kFirst},
  };
  for (const Row& row : rows) {
    for (const auto& [r, size] : row.damage) cut(r, size);
    TGaugeForm2 g(p);
    auto again = Dialog(true);
    ASSERT_TRUE(again->ConvertCatalog(g)) << row.name;
    EXPECT_EQ(g.RestartCount, row.restartPoint) << row.name;
    EXPECT_TRUE(Outputs() == whole) << row.name;
  }
}

TEST(GSCRegionMayHoldStars, OnlyAReadableFileWithoutAFirstRowHasNone) {
  const fs::path dir = test::FreshFolder("rows");
  std::vector<std::uint8_t> head(GSCRawHeaderSize, ' ');
  std::vector<std::uint8_t> star = head, filler = head, shortRow = head;
  const std::string row = std::string("00001") + std::string(GSCRawRowSize - 5, '1');
  star.insert(star.end(), row.begin(), row.end());
  filler.insert(filler.end(), 2880, ' ');
  shortRow.insert(shortRow.end(), row.begin(), row.begin() + 44);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool may;
  };
  const Case cases[] = {
      {"header only", head, false},
      {"filler at once", filler, false},
      {"cut first row", shortRow, false},
      {"a star", star, true},
  };
  for (const Case& c : cases) {
    WriteBytes(dir / "r.GSC", c.bytes);
    EXPECT_EQ(GSCRegionMayHoldStars(dir / "r.GSC"), c.may) << c.name;
  }
  EXPECT_TRUE(GSCRegionMayHoldStars(dir / "missing.GSC"));  // cannot tell
}

TEST_F(Converter, ASecondDiscIsFoundAsItSpellsItsNames) {
  // One drive for both volumes; volume II goes in after volume I's last
  // region and spells its folders and files in lower case. Whether or not
  // its regions were looked for before it went in, they are found without
  // a question.
  for (const int threads : {1, 4}) {
    const fs::path drive = test::FreshFolder("drive") / "";
    fs::copy(vol1, drive, fs::copy_options::recursive);
    TGaugeForm2 g(p);
    g.PumpEvents = [&] {
      if (g.CrntFlText != "5259.BIN") return;
      fs::remove_all(drive / "GSC");
      for (std::int32_t r = 5260; r <= kLast; ++r)
        WriteBytes(drive / "gsc" / "s0730" / GSCRegionFileName(r, ".gsc"),
                   ReadWholeFile(vol2 / "GSC" / "S0730" / GSCRegionFileName(r, ".GSC")));
    };
    auto f = Dialog();
    f->ConvInPath1 = f->ConvInPath2 = drive;
    f->Threads = threads;
    ASSERT_TRUE(f->ConvertCatalog(g)) << threads;
    for (std::int32_t r = kFirst; r <= kLast; ++r) EXPECT_TRUE(fs::exists(Output(r))) << r;
    fs::remove_all(out);
  }
}

TEST_F(Converter, AMissingVolumeIsAskedForUntilCancelled) {
  fs::remove(vol2 / "GSC" / "S0730" / "5261.GSC");
  TGaugeForm2 g(p);
  auto f = Dialog();
  // OK without the disc asks again; Cancel ends the conversion.
  p.expectMessage(ModalResult::OK, "Mount GSC Volume", "Please Mount GSC Volume 2 In CD-ROM");
  p.expectMessage(ModalResult::Cancel, "Mount GSC Volume");
  EXPECT_FALSE(f->ConvertCatalog(g));
  EXPECT_FALSE(g.Visible);
  EXPECT_TRUE(fs::exists(Output(5260)));
  EXPECT_FALSE(fs::exists(Output(5261)));
  EXPECT_FALSE(fs::exists(Output(5262)));

  // A row that does not convert: reported, no output for its region.
  std::vector<std::uint8_t> bad = ReadWholeFile(vol2 / "GSC" / "S0730" / "5260.GSC");
  bad[GSCRawHeaderSize + 45 + 7] = 'x';  // the second row's RA
  WriteBytes(vol2 / "GSC" / "S0730" / "5260.GSC", bad);
  fs::remove(Output(5260));
  p.expectMessage(ModalResult::OK, "GSC Conversion File Error!", "Faulty row 2");
  EXPECT_FALSE(f->ConvertCatalog(g));
  EXPECT_FALSE(fs::exists(Output(5260)));

  // A table row that is no number reaches the application's handler; the
  // window does not stay behind.
  auto table = ReadWholeFile(vol1 / "TABLES" / "REGIONS.TBL");
  table[2 * 2880 + 7] = 'x';  // region 1's first RA digit
  WriteBytes(vol1 / "TABLES" / "REGIONS.TBL", table);
  fs::remove(vol2 / "GSC" / "S0730" / "5260.GSC");
  f->LastRegion = 5259;
  EXPECT_THROW(f->ConvertCatalog(g), ConvertError);
  EXPECT_FALSE(g.Visible || g.Running);

  // The table missing at the end: the loader reports it, nothing written.
  fs::remove(vol1 / "TABLES" / "REGIONS.TBL");
  p.expectMessage(ModalResult::OK, "FITS File Error!", "Unable to Open FITS File!");
  p.expectMessage(ModalResult::OK, "File Error!", "Unable to Load GSC Regions File.");
  EXPECT_FALSE(f->ConvertCatalog(g));
  EXPECT_FALSE(fs::exists(out / "TABLES" / "REGIONS.BIN"));
  // The progress window stays, modal, with its Cancel, which closes it.
  EXPECT_TRUE(g.Visible && g.Modal() && g.CnclBtnVisible);
  EXPECT_FALSE(g.OKBtnVisible);
  p.expectMessage(ModalResult::Yes, "Cancel Current Processing?");
  g.CnclBtnClick();
  EXPECT_FALSE(g.Visible || g.Running);
}

}  // namespace
}  // namespace hv
