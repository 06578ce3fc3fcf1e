#include "astrometry/FldParms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "images/FITSFile.h"
#include "images/SBIGFile.h"
#include "images/ST4File.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

TEST(FldParmsRec, ResetTakesSizeAndLimitFromTheSettings) {
  OptsRec o;
  o.MagLimit = 16.5f;
  o.FieldSize = 12.0f;
  FldParmsRec r;
  r.RAMin = 1, r.RAMax = 2, r.DecMin = 3, r.DecMax = 4, r.MagLimit = 5;
  r.RACenter = 6, r.DecCenter = 7, r.FieldSize = 8, r.Spare = 9, r.FaintMag = 10, r.Color = 0;
  ResetFldParms(r, o);
  FldParmsRec want;
  want.MagLimit = want.FaintMag = 16.5f;
  want.FieldSize = 12.0f;
  want.Color = 2;
  EXPECT_EQ(r, want);

  CurFldParms.RACenter = 3;
  ResetFldParms(o);
  EXPECT_EQ(CurFldParms, want);
}

TEST(FldParmsRec, ColorTableMatchesPassbands) {
  EXPECT_EQ(ColorCaptions[3], "&J (IR)");
  EXPECT_EQ(ColorBands[5], "K");
  EXPECT_EQ(ColorPassbands[static_cast<int>(ColorCode::J)], 4);
  EXPECT_EQ(ColorPassbands[static_cast<int>(ColorCode::Red)], 2);
}

TEST(SearchBox, Cases) {
  const long double deg = std::numbers::pi_v<long double> / 180.0L;
  struct Row {
    const char* name;
    float size;
    long double ra, dec;
    double raMin, raMax, decMin, decMax;
  };
  const double w60 = static_cast<double>(0.125L / (15.0L * std::cos(60.125L * deg)));
  const double wS = static_cast<double>(0.125L / (15.0L * std::cos(-30.125L * deg)));
  // A 0.3-arc-minute field at the equator: half 0.0025 degrees, 0.000166.. h.
  const double wEq = static_cast<double>(0.0025L / (15.0L * std::cos(-0.0025L * deg)));
  const Row rows[] = {
      {"north, edge nearer the pole", 15, 10, 60, 10 - w60, 10 + w60, 59.875, 60.125},
      {"south, edge nearer the pole", 15, 5, -30, 5 - wS, 5 + wS, -30.125, -29.875},
      {"across 0 h from below", 0.3f, 0.0001L, 0, 0.0001 - wEq + 24, 0.0001 + wEq, -0.0025, 0.0025},
      {"across 0 h from above", 0.3f, 23.9999L, 0, 23.9999 - wEq, 23.9999 + wEq - 24, -0.0025,
       0.0025},
      {"north cap", 15, 0, 89.95L, 0, 24, 89.625, 90},
      {"south cap", 15, 7, -89.95L, 0, 24, -90, -89.625},
      {"edge exactly on the pole", 15, 3, 89.875L, 0, 24, 89.75, 90},
      {"zero size", 0, 6, 10, 6, 6, 10, 10},
      {"negative size", -5, 6, 10, 6, 6, 10, 10},
  };
  for (const Row& row : rows) {
    FldParmsRec r;
    r.FieldSize = row.size;
    r.MagLimit = 14.5f;
    ComputeSearchBox(r, row.ra, row.dec);
    SCOPED_TRACE(row.name);
    EXPECT_NEAR(r.RAMin, row.raMin, 1e-9);
    EXPECT_NEAR(r.RAMax, row.raMax, 1e-9);
    EXPECT_NEAR(r.DecMin, row.decMin, 1e-9);
    EXPECT_NEAR(r.DecMax, row.decMax, 1e-9);
    EXPECT_EQ(r.MagLimit, 14.5f);
  }
  // The worked figure: 15' at +60 is about 0.01673 h either side.
  EXPECT_NEAR(w60, 0.01673, 5e-6);
}

TEST(SearchBox, WrapsAHalfWidthOfAHundredthHour) {
  // Centre 0.005 h with a half width of 0.01 h: the field size that gives
  // w = 0.01 h at the equator's edge declination.
  FldParmsRec r;
  const long double deg = std::numbers::pi_v<long double> / 180.0L;
  // half = 0.15 cos(half) degrees; two fixed-point steps are plenty.
  long double half = 0.15L;
  for (int i = 0; i < 5; ++i) half = 0.15L * std::cos(-half * deg);
  r.FieldSize = static_cast<float>(half * 120);
  ComputeSearchBox(r, 0.005L, 0);
  EXPECT_NEAR(r.RAMin, 23.995, 1e-6);
  EXPECT_NEAR(r.RAMax, 0.015, 1e-6);
  EXPECT_GT(r.RAMin, r.RAMax);
}

TEST(FldParmsImage, FilterAndPresetFromTheMeasuredImage) {
  test::Scripted p;
  OptsRec o;
  ReaderContext ctx(p, o);
  FITSFileObj fits(ctx);
  fits.Header.RA = 5.5L;
  fits.Header.Dec = -12.25L;
  SBIGFileObj sbig(ctx);
  sbig.Header.FilterCode = 1;
  ST4FileObj st4(ctx);
  st4.Header.FilterCode = 1;  // an ST-4 header names no filter: ignored
  fits.Header.Filter = 3;
  EXPECT_EQ(ImageFilterOf(&fits), 3);
  EXPECT_EQ(ImageFilterOf(&sbig), 1);
  EXPECT_EQ(ImageFilterOf(&st4), PassbandUnknown);
  EXPECT_EQ(ImageFilterOf(nullptr), PassbandUnknown);

  // Filter -> colour band: I, none and unrecognised take red.
  const std::uint8_t want[9] = {0, 1, 2, 2, 3, 4, 5, 2, 2};
  for (PassbandCode f = 0; f < 9; ++f) EXPECT_EQ(ColorForPassband(f), want[f]) << int(f);

  FldParmsRec r;
  ResetFldParms(r, o);
  fits.Header.Filter = 6;
  EXPECT_TRUE(PresetFieldFromImage(r, &fits));
  EXPECT_EQ(r.RACenter, 5.5L);
  EXPECT_EQ(r.DecCenter, -12.25L);
  EXPECT_EQ(r.Color, 5);
  // A centre already there stays; an SBIG image gives none.
  fits.Header.RA = 7;
  EXPECT_FALSE(PresetFieldFromImage(r, &fits));
  EXPECT_EQ(r.RACenter, 5.5L);
  ResetFldParms(r, o);
  EXPECT_FALSE(PresetFieldFromImage(r, &sbig));
  EXPECT_EQ(r.RACenter, 0);
}

// The dialog over a working copy whose saves are counted.
class FldParmsDlgTest : public ::testing::Test {
 protected:
  FldParmsDlgTest() {
    settings.MagLimit = 16.0f;
    settings.FieldSize = 15.0f;
    ResetFldParms(settings);
    CurFldParms.RACenter = 10.5L;
    CurFldParms.DecCenter = 20.25L;
    model.OptionsChanged = [this] {
      ++saves;
      savedCatalog = settings.StarCatalog;
      savedSize = settings.FieldSize;
      questionsBeforeSave = p.messages().size();
    };
  }
  ~FldParmsDlgTest() override { ResetFldParms(OptsRec{}); }

  void Entries(const char* h, const char* m, const char* s, const char* d, const char* dm,
               const char* ds) {
    model.RAHrText = h, model.RAMinText = m, model.RASecText = s;
    model.DecDegText = d, model.DecMinText = dm, model.DecSecText = ds;
  }

  test::Scripted p;
  OptsRec settings;
  FldParmsDlgModel model{p, settings};
  int saves = 0;
  CatalogCode savedCatalog = CatalogCode::GSC;
  float savedSize = 0;
  std::size_t questionsBeforeSave = 0;
};

TEST_F(FldParmsDlgTest, ActivationShowsTheRequest) {
  CurFldParms.RACenter = 23.999999L;  // rounds up to 24 00 00.00
  CurFldParms.DecCenter = -0.25L;
  CurFldParms.FaintMag = 14.25f;
  CurFldParms.Color = 4;
  model.FormActivate();
  EXPECT_EQ(model.RAHrText, "24");
  EXPECT_EQ(model.RAMinText, "0");
  EXPECT_EQ(model.RASecText, "0.00");
  EXPECT_EQ(model.DecDegText, "-0");
  EXPECT_EQ(model.DecMinText, "15");
  EXPECT_EQ(model.DecSecText, "0.0");
  EXPECT_EQ(model.SizText, "15.0");
  EXPECT_EQ(model.MagText, "14.3");
  EXPECT_EQ(model.ImageFilter, PassbandUnknown);
  // Guide Star Catalog: the colour group shows red, disabled.
  EXPECT_FALSE(model.OnLnChecked);
  EXPECT_FALSE(model.ColorEnabled);
  EXPECT_EQ(model.ColorIndex, 2);
  model.OnLnChecked = true;
  model.OnLnBoxClick();
  EXPECT_TRUE(model.ColorEnabled);
  EXPECT_EQ(model.ColorIndex, 4);

  settings.StarCatalog = CatalogCode::USNOB1;
  FldParmsDlgModel online(p, settings);
  online.FormActivate();
  EXPECT_TRUE(online.OnLnChecked);
  EXPECT_TRUE(online.ColorEnabled);
  EXPECT_EQ(online.ColorIndex, 4);
}

TEST_F(FldParmsDlgTest, ActivationTakesAFITSCentreWhenAsked) {
  ReaderContext ctx(p, settings);
  FITSFileObj fits(ctx);
  fits.Header.RA = 1.5L;
  fits.Header.Dec = 45.5L;
  fits.Header.Filter = 0;
  ResetFldParms(settings);
  model.MeasuredImage = &fits;
  model.PresetFromImage = true;
  model.FormActivate();
  EXPECT_EQ(model.RAHrText, "1");
  EXPECT_EQ(model.RAMinText, "30");
  EXPECT_EQ(model.DecDegText, "45");
  EXPECT_EQ(model.DecMinText, "30");
  EXPECT_EQ(model.ImageFilter, 0);
  EXPECT_EQ(CurFldParms.Color, 0);
}

TEST_F(FldParmsDlgTest, RefusalsKeepTheDialogOpenAndTheRequest) {
  model.FormActivate();
  const FldParmsRec before = CurFldParms;
  struct Row {
    const char* name;
    const char* e[6];
    const char* size;
    const char* text;
  };
  const Row rows[] = {
      {"RA 24.25 h", {"23", "75", "0", "10", "0", "0"}, "15", "Right Ascension is Invalid!"},
      {"RA below 0", {"-1", "0", "0", "10", "0", "0"}, "15", "Right Ascension is Invalid!"},
      {"RA not a number", {"1", "x", "0", "10", "0", "0"}, "15", "Right Ascension is Invalid!"},
      {"RA empty seconds", {"1", "0", "", "10", "0", "0"}, "15", "Right Ascension is Invalid!"},
      {"Dec beyond the pole", {"1", "0", "0", "89", "75", "0"}, "15", "Declination is Invalid!"},
      {"Dec -90.5", {"1", "0", "0", "-90", "30", "0"}, "15", "Declination is Invalid!"},
      {"Dec not a number", {"1", "0", "0", "1O", "0", "0"}, "15", "Declination is Invalid!"},
      {"size not a number", {"1", "0", "0", "10", "0", "0"}, "15'",
       "Invalid Numeric Value - Check Field, Magnitude Entries!"},
      {"size beyond a single", {"1", "0", "0", "10", "0", "0"}, "1e39",
       "Invalid Numeric Value - Check Field, Magnitude Entries!"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Entries(row.e[0], row.e[1], row.e[2], row.e[3], row.e[4], row.e[5]);
    model.SizText = row.size;
    p.expectMessage(ModalResult::OK, "Input Error!", row.text);
    EXPECT_EQ(model.OKBtnClick(), ModalResult::None);
    ASSERT_EQ(p.messages().size(), 1u + (&row - rows));
    EXPECT_EQ(p.messages().back().text, row.text);
    EXPECT_EQ(p.messages().back().icon, MsgIcon::Error);
    EXPECT_EQ(CurFldParms, before);
  }
  EXPECT_EQ(saves, 0);
}

TEST_F(FldParmsDlgTest, EntriesThatAreAccepted) {
  struct Row {
    const char* name;
    const char* e[6];
    long double ra, dec;
  };
  const Row rows[] = {
      {"RA 2.25 h", {"1", "75", "0", "10", "0", "0"}, 2.25L, 10},
      {"RA 24 h exactly", {"24", "0", "0", "10", "0", "0"}, 24, 10},
      {"Dec -0 30", {"0", "0", "0", "-0", "30", "0"}, 0, -0.5L},
      {"Dec blank -0 30", {"0", "0", "0", " -0", "30", "0"}, 0, 0.5L},
      {"Dec -5 30", {"0", "0", "0", "-5", "30", "0"}, 0, -5.5L},
      {"Dec -90", {"0", "0", "0", "-90", "0", "0"}, 0, -90},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    model.FormActivate();
    Entries(row.e[0], row.e[1], row.e[2], row.e[3], row.e[4], row.e[5]);
    EXPECT_EQ(model.OKBtnClick(), ModalResult::OK);
    EXPECT_NEAR(static_cast<double>(CurFldParms.RACenter), static_cast<double>(row.ra), 1e-12);
    EXPECT_NEAR(static_cast<double>(CurFldParms.DecCenter), static_cast<double>(row.dec), 1e-12);
  }
  EXPECT_EQ(saves, 0);  // same size and limit as the settings
}

TEST_F(FldParmsDlgTest, OKStoresTheRequestAndSavesAChangedLimit) {
  model.FormActivate();
  Entries("0", "0", "18", "60", "0", "0");  // RA 0.005 h
  model.SizText = "15";
  model.MagText = "17.5";
  EXPECT_EQ(model.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(settings.MagLimit, 17.5f);
  EXPECT_EQ(settings.FieldSize, 15.0f);
  const FldParmsRec& r = CurFldParms;
  EXPECT_EQ(r.FaintMag, 17.5f);
  EXPECT_EQ(r.MagLimit, 17.5f);
  EXPECT_EQ(r.FieldSize, 15.0f);
  EXPECT_NEAR(r.DecMin, 59.875, 1e-12);
  EXPECT_NEAR(r.DecMax, 60.125, 1e-12);
  EXPECT_NEAR(r.RAMin, 24 + 0.005 - 0.0167307, 1e-6);  // across 0 h
  EXPECT_NEAR(r.RAMax, 0.005 + 0.0167307, 1e-6);
  EXPECT_EQ(r.Color, 2);
  EXPECT_EQ(settings.StarCatalog, CatalogCode::GSC);
}

TEST_F(FldParmsDlgTest, OnlineChoiceAndTheColourQuestion) {
  ReaderContext ctx(p, settings);
  FITSFileObj fits(ctx);
  fits.Header.Filter = 1;  // V
  model.MeasuredImage = &fits;
  CurFldParms.Color = 2;
  model.FormActivate();
  EXPECT_EQ(model.ImageFilter, 1);
  model.OnLnChecked = true;
  model.OnLnBoxClick();
  EXPECT_EQ(model.ColorIndex, 2);

  // Cancel to the question: the dialog stays, NOMAD is already written and
  // saved, before the question came.
  p.expectMessage(ModalResult::Cancel, "Color/Filter Mismatch");
  EXPECT_EQ(model.OKBtnClick(), ModalResult::None);
  EXPECT_EQ(settings.StarCatalog, CatalogCode::NOMAD);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(savedCatalog, CatalogCode::NOMAD);
  EXPECT_EQ(questionsBeforeSave, 0u);
  const MessageRequest& q = p.messages().back();
  EXPECT_EQ(q.text,
            "Selected color does not match filter in image header.\r\nImage Filter = \"V\"\r\n\r\n"
            "Press \"OK\" to accept, \"Cancel\" to change color selection.");
  EXPECT_EQ(q.buttons, Buttons::OKCancel);
  EXPECT_EQ(q.icon, MsgIcon::Information);
  // Cancel of the dialog keeps that choice and the old request.
  const FldParmsRec before = CurFldParms;
  EXPECT_EQ(model.CancelBtnClick(), ModalResult::Cancel);
  EXPECT_EQ(settings.StarCatalog, CatalogCode::NOMAD);
  EXPECT_EQ(CurFldParms, before);

  // A matching colour asks nothing; the colour is stored. The choice is
  // the same as before: nothing more to save.
  model.ColorIndex = 1;
  EXPECT_EQ(model.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(CurFldParms.Color, 1);
  EXPECT_EQ(saves, 1);

  // USNO-B1.0 never matches: the question every time; OK goes on.
  settings.StarCatalog = CatalogCode::USNOB1;
  p.expectMessage(ModalResult::OK, "Color/Filter Mismatch");
  EXPECT_EQ(model.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(settings.StarCatalog, CatalogCode::USNOB1);
  // ... but no question for an unrecognised filter.
  fits.Header.Filter = PassbandUnknown;
  FldParmsDlgModel plain(p, settings);
  plain.MeasuredImage = &fits;
  plain.FormActivate();
  EXPECT_EQ(plain.OKBtnClick(), ModalResult::OK);
  // Unticking goes back to the Guide Star Catalog with red.
  plain.OnLnChecked = false;
  plain.OnLnBoxClick();
  plain.ColorIndex = 2;
  EXPECT_EQ(plain.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(settings.StarCatalog, CatalogCode::GSC);
  EXPECT_EQ(CurFldParms.Color, 2);
}

TEST_F(FldParmsDlgTest, ABadSizeWritesOnlyTheCatalogChoice) {
  model.FormActivate();
  const FldParmsRec before = CurFldParms;
  model.OnLnChecked = true;
  model.OnLnBoxClick();
  model.MagText = "";
  p.expectMessage(ModalResult::OK, "Input Error!",
                  "Invalid Numeric Value - Check Field, Magnitude Entries!");
  EXPECT_EQ(model.OKBtnClick(), ModalResult::None);
  EXPECT_EQ(settings.StarCatalog, CatalogCode::NOMAD);
  EXPECT_EQ(CurFldParms, before);
  EXPECT_EQ(saves, 1);  // the choice alone
  EXPECT_EQ(savedCatalog, CatalogCode::NOMAD);
}

// A new catalog and a new size in one OK: one save, made once the working
// copy holds both (each save may ask the administrator about the all-users
// copy). A refused OK still saves the choice it wrote, and only that.
TEST_F(FldParmsDlgTest, CatalogAndSizeTogetherAreSavedOnce) {
  ReaderContext ctx(p, settings);
  FITSFileObj fits(ctx);
  fits.Header.Filter = 1;  // V: red does not match on NOMAD
  model.MeasuredImage = &fits;
  model.FormActivate();
  model.OnLnChecked = true;
  model.OnLnBoxClick();
  model.SizText = "20";

  p.expectMessage(ModalResult::Cancel, "Color/Filter Mismatch");
  EXPECT_EQ(model.OKBtnClick(), ModalResult::None);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(savedCatalog, CatalogCode::NOMAD);
  EXPECT_EQ(savedSize, 15.0f);
  EXPECT_EQ(settings.FieldSize, 15.0f);

  settings.StarCatalog = CatalogCode::GSC;  // as if the dialog opened anew
  saves = 0;
  p.expectMessage(ModalResult::OK, "Color/Filter Mismatch");
  EXPECT_EQ(model.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(savedCatalog, CatalogCode::NOMAD);
  EXPECT_EQ(savedSize, 20.0f);
  EXPECT_EQ(CurFldParms.FieldSize, 20.0f);
}

TEST_F(FldParmsDlgTest, ColorMatchesFilterTable) {
  struct Row {
    CatalogCode cat;
    int color;
    PassbandCode filter;
    bool match;
  };
  const Row rows[] = {
      {CatalogCode::GSC, 0, 6, true},     {CatalogCode::USNOB1, 2, 2, false},
      {CatalogCode::NOMAD, 0, 0, true},   {CatalogCode::NOMAD, 0, 1, false},
      {CatalogCode::NOMAD, 1, 1, true},   {CatalogCode::NOMAD, 2, 2, true},
      {CatalogCode::NOMAD, 2, 3, true},   {CatalogCode::NOMAD, 2, 7, true},
      {CatalogCode::NOMAD, 2, 4, false},  {CatalogCode::NOMAD, 3, 4, true},
      {CatalogCode::NOMAD, 4, 5, true},   {CatalogCode::NOMAD, 5, 6, true},
      {CatalogCode::NOMAD, 5, 5, false},  {CatalogCode::NOMAD, 6, 6, false},
  };
  for (const Row& row : rows) {
    settings.StarCatalog = row.cat;
    model.ColorIndex = row.color;
    model.ImageFilter = row.filter;
    EXPECT_EQ(model.ColorMatchesFilter(), row.match)
        << "catalog " << int(row.cat) << " colour " << row.color << " filter " << int(row.filter);
  }
}

TEST_F(FldParmsDlgTest, ReferenceWindowItemsAreHeldWhileItIsOpen) {
  bool region = true, addRemove = true;
  FldParmsDlgModel::RefWindowItems items;
  items.SetRegionParametersEnabled = [&](bool e) { region = e; };
  items.AddRemoveEnabled = [&] { return addRemove; };
  items.SetAddRemoveEnabled = [&](bool e) { addRemove = e; };
  model.RefWindow = items;
  model.FormActivate();
  EXPECT_FALSE(region);
  EXPECT_FALSE(addRemove);
  EXPECT_EQ(model.CancelBtnClick(), ModalResult::Cancel);
  EXPECT_TRUE(region);
  EXPECT_TRUE(addRemove);

  addRemove = false;
  FldParmsDlgModel again(p, settings);
  again.RefWindow = items;
  again.FormActivate();
  EXPECT_EQ(again.OKBtnClick(), ModalResult::OK);
  EXPECT_TRUE(region);
  EXPECT_FALSE(addRemove);
}

}  // namespace
}  // namespace hv
