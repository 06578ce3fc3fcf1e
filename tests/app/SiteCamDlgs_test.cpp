#include "app/SiteCamDlgs.h"

#include <gtest/gtest.h>

#include <string>

#include "app/Folders.h"
#include "support/Files.h"
#include "support/Format.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

SiteRec Site(const std::string& name, const std::string& code = "999") {
  SiteRec s = DefaultSite();
  s.Name = name;
  s.Code = code;
  return s;
}

CamRec Cam(const std::string& name, std::int32_t width = 512) {
  CamRec c;
  c.Name = name;
  c.ImageWidth = width;
  c.ImageHeight = 256;
  c.PixelWidth = 9;
  c.PixelHeight = 9;
  c.Aperture = 200;
  c.FocalLength = 1000;
  c.Filter = 1;
  return c;
}

std::vector<std::uint8_t> SiteFile(const std::vector<SiteRec>& sites) {
  Encoder e;
  for (const auto& s : sites) EncodeSiteRec(e, s);
  return e.take();
}
std::vector<std::uint8_t> CamFile(const std::vector<CamRec>& cams) {
  Encoder e;
  for (const auto& c : cams) EncodeCamRec(e, c);
  return e.take();
}

std::vector<SiteRec> ReadSites(const fs::path& file) {
  const auto bytes = ReadWholeFile(file);
  Decoder d(bytes);
  std::vector<SiteRec> out;
  while (d.remaining() >= SiteRecSize) out.push_back(DecodeSiteRec(d));
  EXPECT_EQ(d.remaining(), 0u);
  return out;
}
std::vector<CamRec> ReadCams(const fs::path& file) {
  const auto bytes = ReadWholeFile(file);
  Decoder d(bytes);
  std::vector<CamRec> out;
  while (d.remaining() >= CamRecSize) out.push_back(DecodeCamRec(d));
  return out;
}

struct Fixture : ::testing::Test {
  test::Scripted p;
  fs::path program = test::FreshFolder("program");
  OptsRec settings;
  SiteRec site = Site("Home", "123");
  CamRec cam = Cam("ST-7");
  UserRec user;
  Fixture() {
    SetOptsDefaults(settings, 1);
    settings.ProgramFolder = WithSeparator(program);
    SiteToEdit = &site;
    CameraToEdit = &cam;
    UserToEdit = &user;
  }
  ~Fixture() override { ResetRecordsToEdit(); }
  fs::path Stations() const { return program / "ASTSITES.DAT"; }
  fs::path Cameras() const { return program / "ASTCAMS.DAT"; }
  void ExpectNumericError() {
    p.expectMessage(ModalResult::OK, NumericErrorCaption, NumericErrorText);
  }
};

using SiteDialog = Fixture;
using CamDialog = Fixture;
using UserDialog = Fixture;

TEST_F(SiteDialog, OKChecksThePositionAndStoresOnlyAWholeEntry) {
  struct Case {
    const char* name;
    const char *deg, *min, *sec;
    bool west;
    const char *latDeg, *zone;
    const char* refusal;  // text of the message, or null when accepted
    float longitude;      // when accepted
  } cases[] = {
      {"west", "75", "30", "0", true, "40", "5", nullptr, -75.5f},
      {"east", "75", "30", "0", false, "40", "5", nullptr, 75.5f},
      {"all empty", "", "", "", false, "40", "5", nullptr, 0.0f},
      {"sum in range", "10", "75", "", false, "40", "5", nullptr, 11.25f},
      {"past 180", "180", "1", "", false, "40", "5", "Longitude Value is Out of Range (0-180)!", 0},
      {"negative latitude", "75", "", "", false, "-10", "5",
       "Latitude Value is Out of Range (0-90)!", 0},
      {"letters", "75", "3O", "", false, "40", "5", NumericErrorText, 0},
      {"empty zone", "75", "", "", false, "40", "", NumericErrorText, 0},
      {"zone beyond a single", "75", "", "", false, "40", "1e39", NumericErrorText, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    site = Site("Home", "123");
    const SiteRec before = site;
    SiteParmsDlgModel dlg(p, settings);
    dlg.FormActivate();
    dlg.LngDegText = c.deg;
    dlg.LngMinText = c.min;
    dlg.LngSecText = c.sec;
    dlg.WestChecked = c.west;
    dlg.LatDegText = c.latDeg;
    dlg.LatMinText = "";
    dlg.LatSecText = "";
    dlg.NorthChecked = false;
    dlg.ZnText = c.zone;
    if (c.refusal) {
      p.expectMessage(
          ModalResult::OK,
          c.refusal == std::string(NumericErrorText) ? NumericErrorCaption : "Value Out of Range!",
          c.refusal);
      EXPECT_EQ(dlg.OKBtnClick(), ModalResult::None);
      EXPECT_EQ(site, before) << "a refused entry writes nothing";
      EXPECT_EQ(p.beeps().back(), Sound::Exclamation);
    } else {
      ASSERT_EQ(dlg.OKBtnClick(), ModalResult::OK);
      EXPECT_EQ(site.Longitude, c.longitude);
      EXPECT_EQ(site.LonDeg, c.deg);
      EXPECT_EQ(site.LonMin, c.min);
      EXPECT_EQ(site.LonSec, c.sec);
      EXPECT_EQ(site.West, c.west);
      EXPECT_EQ(site.Latitude, -40.0f);  // South
      EXPECT_FALSE(site.North);
      EXPECT_TRUE(SiteNumbersAgree(site));
    }
  }
}

TEST_F(SiteDialog, ConfirmingUnchangedRoundsToOneDecimalAndCutsTexts) {
  site.Altitude = 1234.56f;
  site.TimeZone = -5.25f;
  SiteParmsDlgModel dlg(p, settings);
  dlg.FormActivate();
  EXPECT_EQ(dlg.HtText, "1234.6");
  EXPECT_EQ(dlg.ObsCdText, "123");
  dlg.ObsNmText = std::string(45, 'N');
  dlg.LngSecText = "12.345678901234";
  ASSERT_EQ(dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(site.Altitude, 1234.6f);
  EXPECT_EQ(site.TimeZone, -5.3f);  // FormatFixed rounds half away from zero
  EXPECT_EQ(site.Name, std::string(40, 'N'));
  EXPECT_EQ(site.LonSec, "12.3456789");
  EXPECT_TRUE(SiteNumbersAgree(site)) << "the number is that of the cut text";
}

TEST_F(SiteDialog, SaveNewSitesInNameOrderAndAnswerDuplicates) {
  WriteFileAtomic(Stations(), SiteFile({Site("Alpha", "A01"), Site("Zulu", "Z01")}));
  SiteParmsDlgModel dlg(p, settings);
  dlg.FormActivate();

  // No to the confirmation: nothing at all.
  p.expectMessage(ModalResult::No, "Confirm", "Write Current Site Data to File?");
  dlg.ObsNmText = "Middle";
  dlg.SaveSite1Click();
  EXPECT_EQ(site.Name, "Home");

  p.expectMessage(ModalResult::Yes, "Confirm");
  dlg.SaveSite1Click();
  EXPECT_EQ(site.Name, "Middle") << "Save stores the dialog's record first";
  auto names = [&] {
    std::vector<std::string> out;
    for (const auto& s : ReadSites(Stations())) out.push_back(s.Name + "/" + s.Code);
    return out;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"Alpha/A01", "Middle/123", "Zulu/Z01"}));

  const std::string dup = "A Record for \"Middle\" Already Exists.\r\n\r\nReplace It?";
  dlg.ObsCdText = "456";
  p.expectMessage(ModalResult::Yes, "Confirm");
  p.expectMessage(ModalResult::Cancel, "Duplicate Record Found", dup);
  dlg.SaveSite1Click();
  EXPECT_EQ(names(), (std::vector<std::string>{"Alpha/A01", "Middle/123", "Zulu/Z01"}));

  p.expectMessage(ModalResult::Yes, "Confirm");
  p.expectMessage(ModalResult::Yes, "Duplicate Record Found", dup);
  dlg.SaveSite1Click();
  EXPECT_EQ(names(), (std::vector<std::string>{"Alpha/A01", "Middle/456", "Zulu/Z01"}));

  dlg.ObsCdText = "789";
  p.expectMessage(ModalResult::Yes, "Confirm");
  p.expectMessage(ModalResult::No, "Duplicate Record Found", dup);
  dlg.SaveSite1Click();
  const auto both = names();
  ASSERT_EQ(both.size(), 4u);
  EXPECT_EQ(both.front(), "Alpha/A01");
  EXPECT_EQ(both.back(), "Zulu/Z01");
  EXPECT_TRUE((both[1] == "Middle/456" && both[2] == "Middle/789") ||
              (both[1] == "Middle/789" && both[2] == "Middle/456"));
}

TEST_F(SiteDialog, SaveWithARefusedEntryWritesNothing) {
  SiteParmsDlgModel dlg(p, settings);
  dlg.FormActivate();
  dlg.LatDegText = "91";
  p.expectMessage(ModalResult::Yes, "Confirm");
  p.expectMessage(ModalResult::OK, "Value Out of Range!", "Latitude Value is Out of Range (0-90)!");
  dlg.SaveSite1Click();
  EXPECT_FALSE(fs::exists(Stations()));
}

TEST_F(SiteDialog, FindShowsThePickedSiteWithoutStoringIt) {
  SiteRec far = Site("Far", "F01");
  far.LonDeg = "12";
  far.LonMin = "30";
  far.LonSec = "";
  far.West = true;
  far.Altitude = 99.94f;
  ASSERT_TRUE(SiteNumbersFromTexts(far));
  WriteFileAtomic(Stations(), SiteFile({Site("Near", "N01"), far}));
  SiteParmsDlgModel dlg(p, settings);
  dlg.FormActivate();
  p.expectDialog("SiteListForm", [&](DialogModel& m) {
    auto& list = dynamic_cast<SiteListModel&>(m);
    EXPECT_EQ(list.Caption, "Select a Site");
    EXPECT_TRUE(list.ActionMenuVisible);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"Far", "Near"}));
    p.expectMessage(ModalResult::OK, "No Selection!", "Select a Record to Access!");
    list.AccessSelectedRecord1Click();
    EXPECT_EQ(dlg.ObsNmText, "Home");
    list.Selected = 0;
    list.FormDblClick();
    EXPECT_FALSE(list.Visible);
    return ModalResult::OK;
  });
  dlg.FindSite1Click();
  EXPECT_EQ(dlg.ObsNmText, "Far");
  EXPECT_EQ(dlg.ObsCdText, "F01");
  EXPECT_EQ(dlg.LngMinText, "30");
  EXPECT_TRUE(dlg.WestChecked);
  EXPECT_EQ(dlg.HtText, "99.9");
  EXPECT_EQ(site.Name, "Home") << "nothing is stored before OK";
  ASSERT_EQ(dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(site.Name, "Far");
  EXPECT_EQ(site.Longitude, -12.5f);
}

TEST_F(SiteDialog, DeleteAsksAndRewritesTheFileAtOnce) {
  WriteFileAtomic(Stations(), SiteFile({Site("Only")}));
  SiteParmsDlgModel dlg(p, settings);
  p.expectDialog("SiteListForm", [&](DialogModel& m) {
    auto& list = dynamic_cast<SiteListModel&>(m);
    p.expectMessage(ModalResult::OK, "No Selection!", "Select a Record to Delete!");
    list.DeleteSelectedRecord1Click();
    list.Selected = 0;
    p.expectMessage(ModalResult::No, "Are You Sure?", "Delete Record for Site \"Only\"?");
    list.DeleteSelectedRecord1Click();
    EXPECT_EQ(fs::file_size(Stations()), SiteRecSize);
    p.expectMessage(ModalResult::Yes, "Are You Sure?");
    list.Selected = 0;
    list.DeleteSelectedRecord1Click();
    EXPECT_TRUE(list.Lines().empty());
    EXPECT_EQ(list.Sites().Count(), 0);
    list.Close1Click();
    return ModalResult::Cancel;
  });
  dlg.FindSite1Click();
  EXPECT_EQ(fs::file_size(Stations()), 0u);
}

TEST_F(SiteDialog, AnUnreadableFileIsReportedTwiceListedEmptyAndNotRewritten) {
  auto bytes = SiteFile({Site("Alpha"), Site("Beta")});
  bytes.push_back(0);  // a record cut short
  WriteFileAtomic(Stations(), bytes);
  SiteParmsDlgModel dlg(p, settings);
  dlg.FormActivate();
  p.expectMessage(ModalResult::Yes, "Confirm");
  p.expectMessage(ModalResult::OK, "Station File Error", "Error Occurred Reading Station File!");
  p.expectMessage(ModalResult::OK, "Halvardin");
  p.expectMessage(ModalResult::OK, "Station File Error", "not rewritten");
  dlg.SaveSite1Click();
  EXPECT_EQ(ReadWholeFile(Stations()), bytes);
}

TEST_F(SiteDialog, BaselineUseDisablesSaveButFindStillFills) {
  WriteFileAtomic(Stations(), SiteFile({Site("Other", "O01")}));
  SiteParmsDlgModel dlg(p, settings);
  dlg.SetBaselineUse(2);
  dlg.FormActivate();
  EXPECT_EQ(dlg.Caption, "Baseline Parameters - Site2");
  EXPECT_FALSE(dlg.SaveSiteEnabled || dlg.ObsCdEnabled || dlg.ScopeEnabled || dlg.HtEnabled ||
               dlg.ZnEnabled);
  dlg.SaveSite1Click();  // no question at all
  p.expectDialog("SiteListForm", [&](DialogModel& m) {
    auto& list = dynamic_cast<SiteListModel&>(m);
    list.Selected = 0;
    list.AccessSelectedRecord1Click();
    return ModalResult::OK;
  });
  dlg.FindSite1Click();
  ASSERT_EQ(dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(site.Name, "Other");
  EXPECT_EQ(site.Code, "O01") << "the disabled fields store what they show";
}

TEST_F(CamDialog, ShowsTheDefaultWithoutAReport) {
  // Without a report: the default.
  {
    CamParmsDlgModel dlg(p, settings, nullptr);
    dlg.FormActivate();
    EXPECT_EQ(dlg.ShowIndex, 0);
    EXPECT_EQ(dlg.NameText, "ST-7");
    EXPECT_EQ(dlg.WdPixText, "512");
    EXPECT_EQ(dlg.WdthText, "9.0");
    EXPECT_EQ(dlg.MagIndex, 1);
    dlg.ShowIndex = 1;  // "C&urrent" without a report falls back
    dlg.ShowGrpClick();
    EXPECT_EQ(dlg.ShowIndex, 0);
  }
}

TEST_F(CamDialog, OKRules) {
  CamParmsDlgModel dlg(p, settings, nullptr);
  dlg.FormActivate();
  const CamRec before = cam;

  dlg.HtPixText = "";  // an empty text is not a number here
  ExpectNumericError();
  EXPECT_EQ(dlg.OKBtnClick(), ModalResult::None);
  dlg.HtPixText = "2.5";  // nor a whole number
  ExpectNumericError();
  EXPECT_EQ(dlg.OKBtnClick(), ModalResult::None);
  EXPECT_EQ(cam, before);

  dlg.HtPixText = "1024";
  dlg.ShowIndex = 1;
  p.expectMessage(ModalResult::No, "Verify Default Change",
                  "Are You Sure You Want to Replace the Default Camera Parameters with These?");
  EXPECT_EQ(dlg.OKBtnClick(), ModalResult::None);
  EXPECT_EQ(cam, before);
  EXPECT_EQ(p.beeps().back(), Sound::Hand);
  EXPECT_EQ(p.messages().back().icon, MsgIcon::Error);

  p.expectMessage(ModalResult::Yes, "Verify Default Change");
  dlg.FLText = "1234.56";
  dlg.MagIndex = 7;
  dlg.InvertChecked = true;
  ASSERT_EQ(dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(cam.ImageHeight, 1024);
  EXPECT_EQ(cam.FocalLength, 1234.56f);
  EXPECT_EQ(cam.Filter, 7);
  EXPECT_TRUE(cam.Inverted);
}

TEST_F(CamDialog, ConfirmingUnchangedRoundsToOneDecimal) {
  cam.PixelWidth = 6.84f;
  cam.Aperture = 203.25f;
  cam.Filter = 200;  // a code the group has no item for
  CamParmsDlgModel dlg(p, settings, nullptr);
  dlg.FormActivate();
  EXPECT_EQ(dlg.MagIndex, 8);
  ASSERT_EQ(dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(cam.PixelWidth, 6.8f);
  EXPECT_EQ(cam.Aperture, 203.3f);
  EXPECT_EQ(cam.Filter, 8);
}

TEST_F(CamDialog, SaveFindAndDelete) {
  WriteFileAtomic(Cameras(), CamFile({Cam("Alpha"), Cam("Zeta")}));
  CamParmsDlgModel dlg(p, settings, nullptr);
  dlg.FormActivate();
  dlg.ShowIndex = 1;  // Save asks no default question

  dlg.AptrText = "x";
  p.expectMessage(ModalResult::Yes, "Confirm", "Write Current Camera Data to File?");
  EXPECT_THROW(dlg.SaveCam1Click(), ConvertError);
  EXPECT_EQ(ReadCams(Cameras()).size(), 2u);
  EXPECT_EQ(cam.Name, "ST-7");

  dlg.AptrText = "250";
  p.expectMessage(ModalResult::Yes, "Confirm");
  dlg.SaveCam1Click();
  EXPECT_EQ(cam.Aperture, 250.0f);
  auto cams = ReadCams(Cameras());
  ASSERT_EQ(cams.size(), 3u);
  EXPECT_EQ(cams[1].Name, "ST-7");
  EXPECT_EQ(cams[1].Aperture, 250.0f);

  p.expectDialog("CamListForm", [&](DialogModel& m) {
    auto& list = dynamic_cast<CamListModel&>(m);
    EXPECT_EQ(list.Caption, "Select a Camera");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"Alpha", "ST-7", "Zeta"}));
    list.Selected = 2;
    p.expectMessage(ModalResult::Yes, "Are You Sure?", "Delete Camera Record \"Zeta\"?");
    list.DeleteSelectedRecord1Click();
    list.Selected = 0;
    list.AccessSelectedRecord1Click();
    return ModalResult::OK;
  });
  dlg.FindCam1Click();
  EXPECT_EQ(dlg.NameText, "Alpha");
  cams = ReadCams(Cameras());
  ASSERT_EQ(cams.size(), 2u);
  EXPECT_EQ(cams[1].Name, "ST-7");
}

TEST_F(UserDialog, TextsBackCutToTheirFields) {
  user.ContactName = "A. Student";
  user.Observers = "A. Student, B. Helper";
  UsrParmsDlgModel dlg;
  dlg.FormActivate();
  EXPECT_EQ(dlg.NameText, "A. Student");
  EXPECT_EQ(dlg.ObsText, "A. Student, B. Helper");
  dlg.CntryText = std::string(25, 'C');
  dlg.MeasText = std::string(300, 'M');
  EXPECT_EQ(dlg.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(user.Country, std::string(20, 'C'));
  EXPECT_EQ(user.Measurers, std::string(255, 'M'));
  EXPECT_EQ(user.ContactName, "A. Student");
}

}  // namespace
}  // namespace hv
