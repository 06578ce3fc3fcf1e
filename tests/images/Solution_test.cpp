// The image window's plate solution and its "Astrometric Solution" report.
#include <gtest/gtest.h>

#include <cmath>

#include "astrometry/AstromObs.h"
#include "astrometry/FldParms.h"
#include "support/DateTime.h"
#include "tests/images/ImageWindowKit.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::StarGrid;

class ReportKit : public ReportHost {
 public:
  fs::path ReportFolder() const override { return fs::current_path(); }
  PrintHeader ListPrintHeader() const override { return {}; }
  bool EditReportHeader(HeaderRecord) override { return false; }
  bool ReportSaved() const override { return true; }
  void SetReportSaved(bool) override {}
  void EnableReportMenu() override {}
  void SetViewPrintSaveEnabled(bool) override {}
  void SpreadsheetWritten(const fs::path&) override {}
  bool NoConfirm() const override { return false; }
};

// The window kit with the main window's report, current observation and
// the solution report's list window.
class Kit : public test::WindowKit {
 public:
  Kit() : report(platform, reportHost) {
    report.Camera.PixelWidth = 9;
    report.Camera.PixelHeight = 9;
    report.Camera.Aperture = 200;
    report.Camera.Filter = 1;
  }
  AstromObsObj* Report() override { return &report; }
  const ObsParmsRec* CurrentObs() const override { return &current; }
  ObsParmsRec* EditableCurrentObs() override { return &current; }
  ListHost* ReportListHost() override { return &reportHost; }
  void ShowSolutionReport(InfoListModel& list, bool onTop, bool beside) override {
    ++shown;
    shownOnTop = onTop;
    shownBeside = beside;
  }
  bool ReferenceFieldVisible() const override { return fieldVisible; }

  ReportKit reportHost;
  AstromObsObj report;
  ObsParmsRec current;
  int shown = 0;
  bool shownOnTop = false, shownBeside = false, fieldVisible = true;
};

constexpr long double kRad = 3.14159265358979323846264338327950288L / 180;

// A plate of 2"/pixel turned by 10 degrees about (10h 30m, +12 deg); each
// reference is placed slightly off its exact position so the residuals
// are not all zero.
struct Plate {
  long double a, b, c, d, e, f;
};
constexpr long double kS = 2.0L / 206264.8L;
const Plate kPlate{kS * 0.98480775L,  kS * 0.17364818L, -kS * 200,
                   -kS * 0.17364818L, kS * 0.98480775L, -kS * 150};

RefStarRec Ref(int number, long double x, long double y, long double dx, long double dy,
               long double mag, long double flux) {
  RefStarRec r;
  r.Number = number;
  r.Name = "HVS" + std::to_string(1000 + number);
  r.UsePos = r.UseMag = true;
  SetStatusFromFlags(r);
  const long double mxi = kPlate.a * x + kPlate.b * y + kPlate.c;
  const long double eta = kPlate.d * x + kPlate.e * y + kPlate.f;
  long double ra, dec;
  const long double d0 = 12 * kRad;
  GnomonicInverse(mxi, eta, 10.5L * 15 * kRad, std::cos(d0), std::sin(d0), ra, dec);
  r.CatRA = ra / kRad / 15;
  r.CatDec = dec / kRad;
  r.ImageX = x + dx;
  r.ImageY = y + dy;
  r.Mag = mag;
  r.Flux = flux;
  r.Located = true;
  return r;
}

// Positions and small offsets for up to eight references.
const RefStarRec kRefs[] = {
    Ref(1, 50, 40, 0.05L, -0.02L, 12.1L, 52000),   Ref(2, 350, 60, -0.04L, 0.03L, 13.4L, 14500),
    Ref(3, 200, 250, 0.01L, 0.06L, 11.8L, 69000),  Ref(4, 80, 270, -0.03L, -0.05L, 14.0L, 9800),
    Ref(5, 330, 280, 0.02L, 0.01L, 12.9L, 25000),  Ref(6, 150, 120, -0.06L, 0.02L, 13.1L, 20500),
    Ref(7, 260, 160, 0.04L, -0.04L, 12.5L, 36000), Ref(8, 30, 180, -0.01L, 0.05L, 13.7L, 11800),
};

void Prepare(Kit& kit, int refs, SolutionCode model) {
  StarGrid g(400, 300, 1000);
  kit.Load(g);
  TImageForm1& w = kit.Window();
  w.AttachImage(0);
  ResetFldParms(kit.settings);
  CurFldParms.RACenter = 10.5L;
  CurFldParms.DecCenter = 12;
  CurFldParms.Color = 1;
  kit.settings.SolutionOrder = model;
  w.RefList.Clear();
  for (int i = 0; i < refs; ++i) w.RefList.InsertAfter(kRefs[i]);
  w.Target.ImageX = 210.25L;
  w.Target.ImageY = 140.5L;
  w.Target.Flux = 6000;
  w.Target.Located = true;
  w.TargetLocated = true;
  w.TargetMeasured = true;
  w.ObsParms.ObjName = "(1998) Sample";
  w.ObsParms.ObsTime = *EncodeDate(2004, 3, 15) + EncodeTime(3, 19, 59.6L);
}

// The report is Latin-1 text; the golden texts here are written in UTF-8.
std::string Latin1(std::string utf8) {
  for (std::size_t at; (at = utf8.find("\xC2\xB0")) != std::string::npos;)
    utf8.replace(at, 2, "\xB0");
  return utf8;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\n";
  return s;
}

TEST(Solution, LinearReportAsLaidOut) {
  Kit kit;
  Prepare(kit, 5, SolutionCode::Linear);
  TImageForm1& w = kit.Window();
  ASSERT_TRUE(w.SolvePlate());
  EXPECT_TRUE(w.Menus.SolutionEnabled);
  EXPECT_EQ(kit.shown, 1);
  EXPECT_FALSE(kit.shownOnTop);
  EXPECT_TRUE(kit.shownBeside);
  EXPECT_EQ(w.ReportWin->Caption, "Image 1 - Astrometric Solution");
  EXPECT_EQ(Joined(w.ReportWin->Lines()), Latin1(R"(Image File Name: M31.FIT
Object: (1998) Sample
Observation Date: 2004 March 15,  UT: 03:20:00

Target Object:
   x = 210.2500,      RA =   10h 29m 55.71s 
   y = 140.5000,      Dec =   11° 58' 23.7" 
   m = 14.45

Mean Residuals (Linear Solution):
   RA: 0.062",   Dec: 0.043"
Estimated Solution Error (Sigma): 0.030"
Estimated Error in Magnitude (Sigma): 0.03(3)

Reference Stars by Position Residual (Descending):

Star 3 - Position Residual (RMS) = 0.113"
   Catalog: STSI Guide Star Catalog, ID: HVS1003
   x = 200.0100,      RA =   10h 29m 54.49s  (0.039")
   y = 250.0600,      Dec =   12° 02' 03.0"  (-0.106")
   Magnitude Residual = 0.00

Star 4 - Position Residual (RMS) = 0.102"
   Catalog: STSI Guide Star Catalog, ID: HVS1004
   x = 79.9700,      RA =   10h 30m 10.14s  (-0.091")
   y = 269.9500,      Dec =   12° 03' 24.0"  (0.046")
   Magnitude Residual = -0.09

Star 5 - Position Residual (RMS) = 0.076"
   Catalog: STSI Guide Star Catalog, ID: HVS1005
   x = 330.0200,      RA =   10h 29m 36.33s  (0.058")
   y = 280.0100,      Dec =   12° 02' 16.8"  (0.049")
   Magnitude Residual = 0.00

Star 2 - Position Residual (RMS) = 0.065"
   Catalog: STSI Guide Star Catalog, ID: HVS1002
   x = 349.9600,      RA =   10h 29m 38.87s  (-0.065")
   y = 60.0300,      Dec =   11° 54' 56.6"  (0.003")
   Magnitude Residual = 0.09

Star 1 - Position Residual (RMS) = 0.059"
   Catalog: STSI Guide Star Catalog, ID: HVS1001
   x = 50.0500,      RA =   10h 30m 19.59s  (0.058")
   y = 39.9800,      Dec =   11° 56' 01.4"  (0.009")
   Magnitude Residual = 0.00

Field Center:
   x = 200.0000,      RA =   10h 29m 56.86s 
   y = 150.0000,      Dec =   11° 58' 46.0" 

Plate Constants for Linear Solution:

  (X = a*x + b*y + c)
  a = 9.5495343E-06,  b = 1.6840596E-06,  c = -1.9394563E-03

  (Y = d*x + e*y + f)
  d = -1.6857566E-06,  e = 9.5491006E-06,  f = -1.4541120E-03

   Scale = 2.0001 "/pixel,  Field Wd. = 13.33',  Ht. = 10.00'
   Effective Focal Length = 928.14mm,  f-Ratio = 4.6

Notes:

  (1) Star not used in astrometric solution.
  (2) Star not used in magnitude solution.
  (3) Magnitudes are unreliable due to errors in reference star
      magnitudes and passband differences.
)"));
  // The plate is solved and the read-out follows the cursor.
  EXPECT_TRUE(w.PlateSoln.Solved);
  w.ShowCursorCoords(200, 150);
  EXPECT_TRUE(w.CursorCoordsShown);
  EXPECT_EQ(w.CursorRAText, "RA:   10h 29m 56.9s ");
  EXPECT_EQ(w.CursorDecText, Latin1("Dec:   11° 58' 46\" "));
  EXPECT_TRUE(w.InfoMask);
}

// The other two models' reports whole: their statistics titles, the
// reference block and their plate-constant blocks.
TEST(Solution, CrossTermAndQuadraticReportsAsLaidOut) {
  struct Row {
    const char* name;
    SolutionCode model;
    int refs;
    const char* golden;
  };
  const Row rows[] = {
      {"cross term", SolutionCode::CrossTerm, 5, R"(Image File Name: M31.FIT
Object: (1998) Sample
Observation Date: 2004 March 15,  UT: 03:20:00

Target Object:
   x = 210.2500,      RA =   10h 29m 55.71s 
   y = 140.5000,      Dec =   11° 58' 23.7" 
   m = 14.45

Mean Residuals (Cross-Term Solution):
   RA: 0.017",   Dec: 0.042"
Estimated Solution Error (Sigma): 0.030"
Estimated Error in Magnitude (Sigma): 0.03(3)

Reference Stars by Position Residual (Descending):

Star 3 - Position Residual (RMS) = 0.114"
   Catalog: STSI Guide Star Catalog, ID: HVS1003
   x = 200.0100,      RA =   10h 29m 54.49s  (0.042")
   y = 250.0600,      Dec =   12° 02' 03.0"  (-0.106")
   Magnitude Residual = 0.00

Star 4 - Position Residual (RMS) = 0.054"
   Catalog: STSI Guide Star Catalog, ID: HVS1004
   x = 79.9700,      RA =   10h 30m 10.14s  (-0.020")
   y = 269.9500,      Dec =   12° 03' 24.0"  (0.050")
   Magnitude Residual = -0.09

Star 5 - Position Residual (RMS) = 0.047"
   Catalog: STSI Guide Star Catalog, ID: HVS1005
   x = 330.0200,      RA =   10h 29m 36.33s  (-0.018")
   y = 280.0100,      Dec =   12° 02' 16.8"  (0.044")
   Magnitude Residual = 0.00

Star 2 - Position Residual (RMS) = 0.008"
   Catalog: STSI Guide Star Catalog, ID: HVS1002
   x = 349.9600,      RA =   10h 29m 38.86s  (-0.003")
   y = 60.0300,      Dec =   11° 54' 56.6"  (0.007")
   Magnitude Residual = 0.09

Star 1 - Position Residual (RMS) = 0.005"
   Catalog: STSI Guide Star Catalog, ID: HVS1001
   x = 50.0500,      RA =   10h 30m 19.60s  (-0.002")
   y = 39.9800,      Dec =   11° 56' 01.4"  (0.005")
   Magnitude Residual = 0.00

Field Center:
   x = 200.0000,      RA =   10h 29m 56.86s 
   y = 150.0000,      Dec =   11° 58' 46.0" 

Plate Constants for Cross-Term Solution:

  (X = a*x + b*y + c*x*y + d)
  a = 9.5525930E-06,  b = 1.6882503E-06
  c = -2.1437864E-11,  d = -1.9400267E-03

  (Y = e*x + f*y + g*x*y + h)
  e = -1.6859525E-06,  f = 9.5488322E-06
  g = 1.3729514E-12,  h = -1.4540755E-03

   Scale = 2.0005 "/pixel,  Field Wd. = 13.34',  Ht. = 10.00'
   Effective Focal Length = 927.97mm,  f-Ratio = 4.6

Notes:

  (1) Star not used in astrometric solution.
  (2) Star not used in magnitude solution.
  (3) Magnitudes are unreliable due to errors in reference star
      magnitudes and passband differences.
)"},
      {"quadratic", SolutionCode::Quadratic, 7, R"(Image File Name: M31.FIT
Object: (1998) Sample
Observation Date: 2004 March 15,  UT: 03:20:00

Target Object:
   x = 210.2500,      RA =   10h 29m 55.71s 
   y = 140.5000,      Dec =   11° 58' 23.7" 
   m = 14.45

Mean Residuals (Full Quadratic Solution):
   RA: 0.041",   Dec: 0.025"
Estimated Solution Error (Sigma): 0.031"
Estimated Error in Magnitude (Sigma): 0.02(3)

Reference Stars by Position Residual (Descending):

Star 6 - Position Residual (RMS) = 0.121"
   Catalog: STSI Guide Star Catalog, ID: HVS1006
   x = 149.9400,      RA =   10h 30m 04.29s  (-0.103")
   y = 120.0200,      Dec =   11° 58' 04.3"  (-0.063")
   Magnitude Residual = 0.01

Star 7 - Position Residual (RMS) = 0.093"
   Catalog: STSI Guide Star Catalog, ID: HVS1007
   x = 260.0400,      RA =   10h 29m 48.57s  (0.080")
   y = 159.9600,      Dec =   11° 58' 44.8"  (0.049")
   Magnitude Residual = 0.00

Star 3 - Position Residual (RMS) = 0.039"
   Catalog: STSI Guide Star Catalog, ID: HVS1003
   x = 200.0100,      RA =   10h 29m 54.49s  (0.033")
   y = 250.0600,      Dec =   12° 02' 02.9"  (0.020")
   Magnitude Residual = -0.01

Star 5 - Position Residual (RMS) = 0.038"
   Catalog: STSI Guide Star Catalog, ID: HVS1005
   x = 330.0200,      RA =   10h 29m 36.33s  (-0.032")
   y = 280.0100,      Dec =   12° 02' 16.8"  (-0.020")
   Magnitude Residual = 0.00

Star 1 - Position Residual (RMS) = 0.037"
   Catalog: STSI Guide Star Catalog, ID: HVS1001
   x = 50.0500,      RA =   10h 30m 19.60s  (0.032")
   y = 39.9800,      Dec =   11° 56' 01.4"  (0.020")
   Magnitude Residual = 0.00

Star 2 - Position Residual (RMS) = 0.009"
   Catalog: STSI Guide Star Catalog, ID: HVS1002
   x = 349.9600,      RA =   10h 29m 38.86s  (-0.008")
   y = 60.0300,      Dec =   11° 54' 56.6"  (-0.005")
   Magnitude Residual = 0.09

Star 4 - Position Residual (RMS) = 0.002"
   Catalog: STSI Guide Star Catalog, ID: HVS1004
   x = 79.9700,      RA =   10h 30m 10.13s  (-0.002")
   y = 269.9500,      Dec =   12° 03' 24.0"  (-0.001")
   Magnitude Residual = -0.09

Field Center:
   x = 200.0000,      RA =   10h 29m 56.86s 
   y = 150.0000,      Dec =   11° 58' 46.0" 

Plate Constants for Quadratic Solution:

  (X = a*x + b*y + c*x*y + d*x*x + e*y*y + f)
  a = 9.5480773E-06,  b = 1.6934499E-06,  c = -2.0128643E-11
  d = 8.9318674E-12,  e = -1.6758268E-11,  f = -1.9398435E-03

  (Y = g*x + h*y + i*x*y + j*x*x + k*y*y + l)
  g = -1.7264286E-06,  h = 9.5966326E-06,  i = 1.1871884E-11
  j = 9.4965241E-11,  k = -1.4079435E-10,  l = -1.4540666E-03

   Scale = 2.0057 "/pixel,  Field Wd. = 13.37',  Ht. = 10.03'
   Effective Focal Length = 925.56mm,  f-Ratio = 4.6

Notes:

  (1) Star not used in astrometric solution.
  (2) Star not used in magnitude solution.
  (3) Magnitudes are unreliable due to errors in reference star
      magnitudes and passband differences.
)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Kit kit;
    Prepare(kit, row.refs, row.model);
    TImageForm1& w = kit.Window();
    ASSERT_TRUE(w.SolvePlate());
    EXPECT_EQ(Joined(w.ReportWin->Lines()), Latin1(row.golden));
  }
}

TEST(Solution, CrossTermAtTheMinimumHasNoErrorsAndNoReferenceBlock) {
  Kit kit;
  Prepare(kit, 4, SolutionCode::CrossTerm);
  TImageForm1& w = kit.Window();
  ASSERT_TRUE(w.SolvePlate());
  const std::string text = Joined(w.ReportWin->Lines());
  EXPECT_NE(text.find("\nEstimated errors cannot be calculated!\n"
                      "N(=4) is minimum for selected solution type.\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("Reference Stars by Position Residual"), std::string::npos);
  EXPECT_NE(text.find("\nField Center:\n"), std::string::npos);
  EXPECT_NE(text.find("\n\nPlate Constants for Cross-Term Solution:\n\n"
                      "  (X = a*x + b*y + c*x*y + d)\n  a = "),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\n\n  (Y = e*x + f*y + g*x*y + h)\n  e = "), std::string::npos);
  EXPECT_NE(text.find("\n  g = "), std::string::npos);
}

TEST(Solution, QuadraticBlockAndTooFewStars) {
  Kit kit;
  Prepare(kit, 5, SolutionCode::Quadratic);
  TImageForm1& w = kit.Window();
  EXPECT_FALSE(w.SolvePlate()) << "six references at least";
  EXPECT_EQ(kit.shown, 0);
  EXPECT_FALSE(w.Menus.SolutionEnabled);

  Prepare(kit, 8, SolutionCode::Quadratic);
  ASSERT_TRUE(w.SolvePlate());
  const std::string text = Joined(w.ReportWin->Lines());
  EXPECT_NE(text.find("Mean Residuals (Full Quadratic Solution):\n"), std::string::npos);
  EXPECT_NE(text.find("\nPlate Constants for Quadratic Solution:\n\n"
                      "  (X = a*x + b*y + c*x*y + d*x*x + e*y*y + f)\n  a = "),
            std::string::npos);
  EXPECT_NE(text.find(",  c = "), std::string::npos);
  EXPECT_NE(text.find("\n  d = "), std::string::npos);
  EXPECT_NE(text.find("\n  (Y = g*x + h*y + i*x*y + j*x*x + k*y*y + l)\n  g = "),
            std::string::npos);
  EXPECT_NE(text.find("\n  j = "), std::string::npos);
  EXPECT_NE(text.find(",  l = "), std::string::npos);
  int stars = 0;
  for (const auto& l : w.ReportWin->Lines()) stars += l.rfind("Star ", 0) == 0;
  EXPECT_EQ(stars, 8);
}

// The lines that depend on the camera, the catalog and the target's error.
TEST(Solution, VariationRows) {
  struct Row {
    const char* name;
    std::function<void(Kit&, TImageForm1&)> change;  // after the solve
    std::vector<std::string> present, absent;
  };
  const std::string name68(68, 'N');
  const Row rows[] = {
      {"non-square pixels",
       [](Kit& k, TImageForm1&) { k.report.Camera.PixelHeight = 11; },
       {" x-Scale = 2.0002 \"/pixel,  Field Wd. = 13.33'",
        " y-Scale = 2.0000 \"/pixel,  Field Ht. = 10.00'",
        "   Effective Focal Length = 1031.27mm,  f-Ratio = 5.2"},
       {"   Scale = "}},
      {"pixel size 0",
       [](Kit& k, TImageForm1&) { k.report.Camera.PixelWidth = k.report.Camera.PixelHeight = 0; },
       {"   Scale = 2.0001 \"/pixel,  Field Wd. = 13.33',  Ht. = 10.00'"},
       {"Effective Focal Length"}},
      {"aperture 0",
       [](Kit& k, TImageForm1&) { k.report.Camera.Aperture = 0; },
       {"   Effective Focal Length = 928.14mm\n"},
       {"f-Ratio"}},
      {"magnitude error 0.05: one decimal",
       [](Kit&, TImageForm1& w) { w.Target.MagResid = 0.05L; },
       {"   m = 14.4\n", "Estimated Error in Magnitude (Sigma): 0.1(3)"},
       {}},
      {"magnitude error 0.049: two decimals",
       [](Kit&, TImageForm1& w) { w.Target.MagResid = 0.049L; },
       {"   m = 14.45\n", "Estimated Error in Magnitude (Sigma): 0.05(3)"},
       {}},
      {"one photometric reference",
       [](Kit&, TImageForm1& w) { w.Target.MagResid = 0; },
       {"   m = 14.4\n", "Estimated Error in Magnitude (Sigma): Unable to Estimate (N=1)."},
       {}},
      {"no magnitude",
       [](Kit&, TImageForm1& w) { w.Target.Mag = 0; },
       {},
       {"   m = ", "Estimated Error in Magnitude"}},
      {"references left out of the solutions",
       [](Kit&, TImageForm1& w) {
         w.RefList.Item(0)->UsePos = false;
         w.RefList.Item(0)->UseMag = false;
         w.RefList.Item(1)->UseMag = false;
         w.RefList.Item(1)->MagResid = 0;
       },
       {"Star 1 - Position Residual (RMS) = 0.059\"(1)", "   Magnitude Residual = 0.00(2)",
        "   Unable to compute magnitude residual.(2)"},
       {}},
      {"online catalog",
       [](Kit& k, TImageForm1& w) {
         k.settings.StarCatalog = CatalogCode::NOMAD;
         for (RefStarRec& r : w.RefList) {
           r.Catalog = 1;
           r.Band = 2;
         }
         w.RefList.Item(1)->Catalog = 2;
         w.RefList.Item(1)->Band = 8;
       },
       {"   m = 14.45 (V Filter)", "   Catalog: NOMAD Catalog, ID: HVS1001",
        "   Magnitude Residual = 0.00, Passband: R", "   Catalog: USNO-B1.0, ID: HVS1002",
        "   Magnitude Residual = 0.09, Passband is Undetermined!"},
       {"STSI"}},
      {"target not located",
       [](Kit&, TImageForm1& w) { w.TargetLocated = false; },
       {"Observation Date: 2004 March 15,  UT: 03:20:00\n\nMean Residuals"},
       {"Target Object:", "Magnitude Residual"}},
      {"a 68-character name fills the object line",
       [&](Kit&, TImageForm1& w) { w.ObsParms.ObjName = name68; },
       {"\nObject: " + name68 + "\n"},
       {}},
      {"no name",
       [](Kit&, TImageForm1& w) { w.ObsParms.ObjName.clear(); },
       {"\nObject: (Unknown)\n"},
       {}},
      {"times rounded once, then split",
       [](Kit&, TImageForm1& w) {
         w.ObsParms.ObsTime = *EncodeDate(2004, 2, 29) + EncodeTime(23, 59, 59.7L);
       },
       {"Observation Date: 2004 March 01,  UT: 00:00:00"},
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Kit kit;
    Prepare(kit, 5, SolutionCode::Linear);
    TImageForm1& w = kit.Window();
    ASSERT_TRUE(w.SolvePlate());
    row.change(kit, w);
    const std::string text = Joined(w.SolutionLines());
    for (const auto& p : row.present)
      EXPECT_NE(text.find(p), std::string::npos) << p << "\n" << text;
    for (const auto& a : row.absent)
      EXPECT_EQ(text.find(a), std::string::npos) << a << "\n" << text;
  }
}

// A plate turned by 90 degrees: the column norms still give the scale and
// the focal length.
TEST(Solution, RotatedPlateScaleFromColumnNorms) {
  Kit kit;
  Prepare(kit, 5, SolutionCode::Linear);
  TImageForm1& w = kit.Window();
  ASSERT_TRUE(w.SolvePlate());
  kit.report.Camera.PixelHeight = 11;
  w.PlateSoln.Work[400] = 0;    // a
  w.PlateSoln.Work[401] = kS;   // b
  w.PlateSoln.Work[403] = -kS;  // d
  w.PlateSoln.Work[404] = 0;    // e
  const std::string text = Joined(w.SolutionLines());
  EXPECT_NE(text.find(" x-Scale = 2.0000 \"/pixel"), std::string::npos) << text;
  EXPECT_NE(text.find(" y-Scale = 2.0000 \"/pixel"), std::string::npos) << text;
  EXPECT_NE(text.find("Effective Focal Length = 1031.32mm"), std::string::npos) << text;
}

TEST(Solution, ViewPrintWritesTheReportAgainOnTop) {
  Kit kit;
  Prepare(kit, 5, SolutionCode::Linear);
  kit.fieldVisible = false;
  TImageForm1& w = kit.Window();
  ASSERT_TRUE(w.SolvePlate());
  EXPECT_FALSE(kit.shownBeside) << "centred without a reference window";
  w.ReportWin->Printed = true;
  w.ObsParms.ObjName = "Renamed";
  w.ViewPrint1Click();
  EXPECT_EQ(kit.shown, 2);
  EXPECT_TRUE(kit.shownOnTop);
  EXPECT_FALSE(w.ReportWin->Printed);
  EXPECT_EQ(w.ReportWin->Lines()[1], "Object: Renamed");
}

TEST(Solution, AddToReportRecordsTheWindowsOwnTimeOnce) {
  Kit kit;
  Prepare(kit, 5, SolutionCode::Linear);
  TImageForm1& w = kit.Window();
  ASSERT_TRUE(w.SolvePlate());
  // Not offered before the guide enables it.
  w.ReportList1Click();
  EXPECT_EQ(kit.report.Observations.Count(), 0);

  w.Menus.ReportListEnabled = true;
  const double own = w.ObsParms.ObsTime;
  kit.current.ObjName = std::string(68, 'Z');
  kit.current.ObsTime = own + 1;  // another image's time, set by a later load
  kit.platform.expectMessage(ModalResult::OK, "Measurement Recorded",
                             "Measured Position of " + std::string(68, 'Z').substr(0, 68));
  w.ReportList1Click();
  ASSERT_EQ(kit.report.Observations.Count(), 1);
  const MessageRequest& m = kit.platform.messages().back();
  EXPECT_EQ(m.text, "Measured Position of " + std::string(68, 'Z') + " Placed in Report List.");
  EXPECT_EQ(m.text.size(), 112u);
  EXPECT_EQ(w.ObsParms.ObsTime, own);
  EXPECT_EQ(w.ObsParms.ObjName, kit.current.ObjName);
  EXPECT_FALSE(w.ReportListAvailable());
  w.ReportList1Click();
  EXPECT_EQ(kit.report.Observations.Count(), 1);

  // Enabled again but the target was reset: nothing to record.
  w.Menus.ReportListEnabled = true;
  w.ResetTarget();
  w.TargetLocated = false;
  EXPECT_FALSE(w.ReportListAvailable());
  w.ReportList1Click();
  EXPECT_EQ(kit.report.Observations.Count(), 1);
}

TEST(Solution, ObservationParametersEditTheCurrentRecordWithTheWindowsTime) {
  Kit kit;
  Prepare(kit, 5, SolutionCode::Linear);
  TImageForm1& w = kit.Window();
  kit.current.ObsTime = 1;
  kit.platform.expectDialog("TObsParmsDlg", [&](DialogModel& m) {
    auto& d = static_cast<ObsParmsDlgModel&>(m);
    EXPECT_EQ(d.CaptionText, "M31.FIT");
    EXPECT_EQ(d.ParmsRec, &kit.current);
    EXPECT_EQ(d.ParmsRec->ObsTime, w.ObsParms.ObsTime);
    d.ParmsRec->ObjName = "Typed";
    return ModalResult::OK;
  });
  w.ObsParms1Click();
  EXPECT_EQ(w.ObsParms.ObjName, "Typed");
  kit.platform.expectDialog("TObsParmsDlg", [&](DialogModel& m) {
    static_cast<ObsParmsDlgModel&>(m).ParmsRec->ObjName = "Dropped";
    return ModalResult::Cancel;
  });
  w.ObsParms1Click();
  EXPECT_EQ(w.ObsParms.ObjName, "Typed");
}

}  // namespace
}  // namespace hv
