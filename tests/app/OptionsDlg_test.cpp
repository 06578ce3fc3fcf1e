#include "app/OptionsDlg.h"

#include <gtest/gtest.h>

#include "app/Password.h"
#include "app/SiteCamDlgs.h"
#include "images/BoxParmsDlg.h"
#include "images/Display.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

class OptionsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    SetOptsDefaults(opts.Settings, 48213);
    opts.Settings.OptsFileName = "ASTXOPTS.INI";
    opts.Settings.ProgramFolder = "/opt/halvardin/";
    EncodePassword("Secret", opts.Settings.Password, opts.Settings.PasswordLen);
    opts.Settings.FieldSize = 12.25f;
    opts.Settings.MagLimit = 16;
    opts.Settings.TableNumber = "7";
    working = opts.Settings;
    working.WorkFolder = "/home/ann/work/";
    OptsToEdit = &opts;
  }
  void TearDown() override {
    OptsToEdit = nullptr;
    NewPasswordText = nullptr;
  }
  std::string Pw() const { return DecodePassword(opts.Settings.Password, opts.Settings.PasswordLen); }

  test::Scripted p;
  OptsObj opts{p};
  OptsRec working;
};

TEST_F(OptionsDialog, WithoutOptionsItSaysSoAndOkChangesNothing) {
  OptsToEdit = nullptr;
  TOptionsDlg d(p);
  p.expectMessage(ModalResult::OK, "Cannot Modify Options!", "No Options Assigned!");
  d.FormActivate();
  EXPECT_EQ(p.messages().at(0).icon, MsgIcon::Warning);
  EXPECT_EQ(d.OKBtnClick(), ModalResult::OK);
  EXPECT_EQ(d.CancelBtnClick(), ModalResult::Cancel);
  TFileOptsDlg f(p);
  p.expectMessage(ModalResult::OK, "Cannot Modify Options!", "No Options Assigned!");
  f.FormActivate();
  EXPECT_EQ(f.OKBtnClick(), ModalResult::OK);
}

TEST_F(OptionsDialog, ActivationShowsTheRecord) {
  opts.Settings.HeaderTime = HeaderTimeCode::End;
  opts.Settings.SolutionOrder = SolutionCode::Quadratic;
  opts.Settings.StarCatalog = CatalogCode::NOMAD;
  opts.Settings.GSCFormat = GSCFormatCode::Quillan;
  opts.Settings.ReadSky = true;
  opts.Settings.AdminMode = true;
  opts.Settings.InvertRefDisplay = false;
  TOptionsDlg d(p);
  d.FormActivate();
  EXPECT_EQ(d.FlTypeGrp, 0);
  EXPECT_FALSE(d.FlTypeGrpEnabled);
  EXPECT_EQ(d.TimeTypGrp, 2);
  EXPECT_TRUE(d.TimeTypGrpEnabled);
  EXPECT_EQ(d.SolutionGrp, 2);
  EXPECT_EQ(d.CatlgGrp, 1);
  EXPECT_EQ(d.GSCGrp, 2);
  EXPECT_TRUE(d.RdSkyBox);
  EXPECT_FALSE(d.InvertBox);
  EXPECT_TRUE(d.AdminBox);
  EXPECT_EQ(d.SizeEd, "12.3");  // one decimal, half away from zero
  EXPECT_EQ(d.MagEd, "16.0");
  EXPECT_EQ(d.TblNumEd, "7");
  EXPECT_EQ(d.PWEd, "Secret");
  EXPECT_EQ(d.SavedSettings, opts.Settings);

  opts.Settings.ImageFileType = ImageFileTypeCode::ST4;
  opts.Settings.HeaderTime = HeaderTimeCode::ST4;
  TOptionsDlg st4(p);
  st4.FormActivate();
  EXPECT_EQ(st4.FlTypeGrp, 1);
  EXPECT_EQ(st4.TimeTypGrp, -1);
  EXPECT_FALSE(st4.TimeTypGrpEnabled);
}

TEST_F(OptionsDialog, OkWritesTheControlsBack) {
  TOptionsDlg d(p);
  d.FormActivate();
  d.RdSkyBox = d.InvertBox = d.TestBox = d.AdminBox = true;
  d.SolutionGrp = 1;
  d.GSCGrp = 1;
  d.TimeTypGrp = 1;
  d.SizeEd = "20.5";
  d.MagEd = " 14 ";
  d.TblNumEd = "12345";
  EXPECT_EQ(d.OKBtnClick(), ModalResult::OK);
  const OptsRec& r = opts.Settings;
  EXPECT_TRUE(r.ReadSky && r.InvertRefDisplay && r.TestMode && r.AdminMode);
  EXPECT_EQ(r.SolutionOrder, SolutionCode::CrossTerm);
  EXPECT_EQ(r.GSCFormat, GSCFormatCode::Converted);
  EXPECT_EQ(r.HeaderTime, HeaderTimeCode::Middle);
  EXPECT_EQ(r.FieldSize, 20.5f);
  EXPECT_EQ(r.MagLimit, 14.0f);
  EXPECT_EQ(r.TableNumber, "1234");
  EXPECT_EQ(r.StarCatalog, CatalogCode::GSC);  // shown, written back unchanged
  EXPECT_EQ(Pw(), "Secret");
  EXPECT_EQ(p.transcript().size(), 0u);  // an unchanged password asks nothing
}

TEST_F(OptionsDialog, NumbersThatAreNoneKeepTheirFields) {
  struct Row {
    const char* text;
    float want;
  } rows[] = {
      {"12,5", 12.25f},  // a comma is no decimal mark
      {"", 12.25f},
      {"abc", 12.25f},
      {"2.5e1", 25.0f},
  };
  for (const Row& r : rows) {
    opts.Settings.FieldSize = 12.25f;
    TOptionsDlg d(p);
    d.FormActivate();
    d.SizeEd = r.text;
    d.OKBtnClick();
    EXPECT_EQ(opts.Settings.FieldSize, r.want) << "text \"" << r.text << "\"";
  }
}

TEST_F(OptionsDialog, NumbersBeyondTheHintsRangeAreRefusedAndTheDialogStaysOpen) {
  struct Row {
    const char* name;
    const char* size;
    const char* mag;
    const char* refusal;  // empty: accepted
    float wantSize = 12.25f, wantMag = 16.0f;
  } rows[] = {
      {"HugeSize", "1e26", "16.0", "Field Size Value is Out of Range"},
      {"ZeroSize", "0", "16.0", "Field Size Value is Out of Range"},
      {"NegativeSize", "-3", "16.0", "Field Size Value is Out of Range"},
      {"SizeJustAbove", "60", "16.0", "Field Size Value is Out of Range"},
      {"BeyondASingleReal", "1e400", "16.0", "Field Size Value is Out of Range"},
      {"HugeMagnitude", "15.0", "1e26", "Magnitude Limit Value is Out of Range"},
      {"NegativeMagnitude", "15.0", "-0.5", "Magnitude Limit Value is Out of Range"},
      {"Limits", "59.99", "0", "", 59.99f, 0.0f},
      {"SmallSize", "0.01", "59.99", "", 0.01f, 59.99f},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    opts.Settings.FieldSize = 12.25f;
    opts.Settings.MagLimit = 16;
    TOptionsDlg d(p);
    d.FormActivate();
    d.SizeEd = r.size;
    d.MagEd = r.mag;
    d.RdSkyBox = !opts.Settings.ReadSky;
    const bool before = opts.Settings.ReadSky;
    if (*r.refusal) {
      p.expectMessage(ModalResult::OK, "Value Out of Range!", r.refusal);
      EXPECT_EQ(d.OKBtnClick(), ModalResult::None);
      EXPECT_EQ(opts.Settings.FieldSize, 12.25f);
      EXPECT_EQ(opts.Settings.MagLimit, 16.0f);
      EXPECT_EQ(opts.Settings.ReadSky, before) << "nothing is stored";
      EXPECT_EQ(p.messages().back().icon, MsgIcon::Warning);
    } else {
      EXPECT_EQ(d.OKBtnClick(), ModalResult::OK);
      EXPECT_EQ(opts.Settings.FieldSize, r.wantSize);
      EXPECT_EQ(opts.Settings.MagLimit, r.wantMag);
    }
  }
}

TEST_F(OptionsDialog, St4StoresHeaderTime3WhateverWasShown) {
  opts.Settings.ImageFileType = ImageFileTypeCode::ST4;
  opts.Settings.HeaderTime = HeaderTimeCode::Start;
  TOptionsDlg d(p);
  d.FormActivate();
  d.TimeTypGrp = 2;
  d.OKBtnClick();
  EXPECT_EQ(opts.Settings.HeaderTime, HeaderTimeCode::ST4);
  EXPECT_EQ(opts.Settings.ImageFileType, ImageFileTypeCode::ST4);
}

TEST_F(OptionsDialog, FileTypeChoiceSetsTheTimeGroup) {
  TOptionsDlg d(p);
  d.FlTypeGrpClick(1);
  EXPECT_EQ(d.TimeTypGrp, -1);
  EXPECT_FALSE(d.TimeTypGrpEnabled);
  d.FlTypeGrpClick(2);
  EXPECT_EQ(d.TimeTypGrp, 0);
  EXPECT_TRUE(d.TimeTypGrpEnabled);
}

ScriptedPlatform::DialogAnswer Reenter(std::string entry, bool ok = true) {
  return [entry, ok](DialogModel& m) {
    auto& c = static_cast<TPasswordDlg1&>(m);
    EXPECT_EQ(c.Confirmed, false);
    if (!ok) return ModalResult::Cancel;
    c.Password = entry;
    return c.OKBtnClick();
  };
}

TEST_F(OptionsDialog, PasswordChangeNeedsItsConfirmation) {
  struct Row {
    const char* name;
    std::string typed, reentered;
    bool press;  // OK in the confirmation, else Cancel
    std::string want;
  } rows[] = {
      {"confirmed", "NewOne", "NewOne", true, "NewOne"},
      {"mismatch", "NewOne", "NewOnf", true, "Secret"},
      {"case differs", "NewOne", "newone", true, "Secret"},
      {"cancelled", "NewOne", "NewOne", false, "Secret"},
      {"emptied", "", "", true, ""},
      // Both cut to the 16 characters the file keeps, and compared so.
      {"longer than kept", "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST", true,
       "ABCDEFGHIJKLMNOP"},
      {"kept part only", "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP", true, "ABCDEFGHIJKLMNOP"},
      {"accented letters", "\xE9\xE8\xEA\xEB\xE9\xE8\xEA\xEB\xE9\xE8",
       "\xE9\xE8\xEA\xEB\xE9\xE8\xEA\xEB\xE9\xE8", true,
       "\xE9\xE8\xEA\xEB\xE9\xE8\xEA\xEB\xE9\xE8"},
      {"same text in another case is a change", "SECRET", "SECRET", true, "SECRET"},
  };
  for (const Row& r : rows) {
    EncodePassword("Secret", opts.Settings.Password, opts.Settings.PasswordLen);
    TOptionsDlg d(p);
    d.FormActivate();
    d.PWEd = r.typed;
    p.expectDialog("TPasswordDlg1", Reenter(r.reentered, r.press));
    const bool confirmed = r.want != "Secret";
    if (confirmed)
      p.expectMessage(ModalResult::OK, "Password Confirmed",
                      "Password Change is Confirmed.\r\n\r\nYou Must Save ASTXOPTS.INI To "
                      "Complete the Change.");
    else
      p.expectMessage(ModalResult::OK, "Password Not Changed!",
                      "Password Change Not Confirmed!\r\n\r\nCurrent Password Will Be Retained.");
    d.OKBtnClick();
    EXPECT_EQ(Pw(), r.want) << r.name;
    EXPECT_EQ(p.messages().back().icon, confirmed ? MsgIcon::Information : MsgIcon::Error)
        << r.name;
    EXPECT_EQ(NewPasswordText, nullptr);
  }
  EXPECT_EQ(opts.Settings.PasswordLen, 6);
}

TEST_F(OptionsDialog, CancelPutsBackWhatTheSubDialogsChanged) {
  TOptionsDlg d(p, &working);
  d.FormActivate();
  OptsRec before = opts.Settings;
  p.expectDialog("TFileOptsDlg", [](DialogModel& m) {
    auto& f = static_cast<TFileOptsDlg&>(m);
    f.FormActivate();
    f.LogFlEd = "OTHER.LOG";
    return f.OKBtnClick();
  });
  d.FilesBtnClick();
  p.expectDialog("TSiteParmsDlg", [this](DialogModel& m) {
    auto& s = static_cast<SiteParmsDlgModel&>(m);
    EXPECT_EQ(SiteToEdit, &opts.Settings.DefaultSite);
    s.FormActivate();
    s.ObsNmText = "Kitt Peak";
    return s.OKBtnClick();
  });
  d.SitePrmBtnClick();
  EXPECT_EQ(SiteToEdit, nullptr);
  p.expectDialog("TBoxDlgForm1", [](DialogModel& m) {
    auto& b = static_cast<TBoxDlgForm1&>(m);
    b.FormActivate();
    b.BoxWdEdChange(10);
    return b.OKBtnClick();
  });
  d.BoxBtnClick();
  EXPECT_EQ(opts.Settings.LogFile, "OTHER.LOG");
  EXPECT_EQ(opts.Settings.DefaultSite.Name, "Kitt Peak");
  EXPECT_EQ(opts.Settings.BoxParms.HalfBox, 5);
  EXPECT_TRUE(d.SiteChanged);
  EXPECT_TRUE(d.BoxChanged);
  d.RdSkyBox = !d.RdSkyBox;
  EXPECT_EQ(d.CancelBtnClick(), ModalResult::Cancel);
  EXPECT_EQ(opts.Settings, before);
}

TEST_F(OptionsDialog, BoxDialogWorksOnTheGlobalBox) {
  opts.Settings.BoxParms.HalfBox = 8;
  BoxParms.HalfBox = 3;
  TOptionsDlg d(p);
  d.FormActivate();
  p.expectDialog("TBoxDlgForm1", [](DialogModel& m) {
    auto& b = static_cast<TBoxDlgForm1&>(m);
    b.FormActivate();
    EXPECT_EQ(b.BoxWd, 16);
    b.BoxWdEdChange(12);
    return ModalResult::Cancel;
  });
  d.BoxBtnClick();
  EXPECT_FALSE(d.BoxChanged);
  EXPECT_EQ(opts.Settings.BoxParms.HalfBox, 8);
  EXPECT_EQ(BoxParms.HalfBox, 8);  // the stored default, for the image windows too
}

TEST_F(OptionsDialog, DisplayDefaultsAreEditedInTheRecord) {
  DispParmsRec windowRecord;
  DispParms = &windowRecord;
  DispParmsForImage = true;
  TOptionsDlg d(p);
  d.FormActivate();
  p.expectDialog("TImgAdjstDlg", [this](DialogModel& m) {
    auto& a = static_cast<TImgAdjstDlg&>(m);
    EXPECT_EQ(a.Caption, "Set Image Display Parameters");
    EXPECT_EQ(DispParms, &opts.Settings.DisplayDefaults);
    EXPECT_FALSE(DispParmsForImage);
    a.FormActivate();
    a.InvrtChkClick(true);
    return a.OkBtn1Click();
  });
  d.ImagBtnClick();
  EXPECT_TRUE(d.DisplayChanged);
  EXPECT_TRUE(opts.Settings.DisplayDefaults.Invert);
  EXPECT_FALSE(windowRecord.Invert);
  EXPECT_EQ(DispParms, &windowRecord);
  EXPECT_TRUE(DispParmsForImage);
  DispParms = nullptr;
  DispParmsForImage = false;
}

TEST_F(OptionsDialog, FileNamesAreCutAndFoldersClosed) {
  TFileOptsDlg f(p, &working);
  f.FormActivate();
  EXPECT_EQ(f.ActivePage, TFileOptsDlg::SysFiles1);
  EXPECT_EQ(f.LogFlEd, "VESKLOG.LOG");
  EXPECT_EQ(f.StnsFlEd, "ASTSITES.DAT");
  struct Row {
    const char* name;
    std::string typed, want;
  } rows[] = {
      {"plain", "/media/gsc1", "/media/gsc1/"},
      {"closed", "/media/gsc1/", "/media/gsc1/"},
      {"drive letter", "E:\\GSC", "E:\\GSC\\"},
      {"empty", "", ""},
      {"full", std::string(300, 'a'), std::string(254, 'a') + "/"},
  };
  for (const Row& r : rows) {
    f.GSCPath1Ed = r.typed;
    f.OKBtnClick();
    EXPECT_EQ(opts.Settings.GSCPath1, r.want) << r.name;
  }
  f.LogoEd = std::string(80, 'L');
  f.SpShtEd = std::string(300, 'S');
  f.OKBtnClick();
  EXPECT_EQ(opts.Settings.LogoBitmap, std::string(71, 'L'));
  EXPECT_EQ(opts.Settings.SpreadsheetProgram, std::string(255, 'S'));
}

TEST_F(OptionsDialog, BrowsingFillsTheEdits) {
  TFileOptsDlg f(p, &working);
  f.FormActivate();
  // A catalog folder starts at its own text, the other volume's, or the program folder.
  p.expectFolder(std::filesystem::path("/media/disc"));
  f.GSCPath1EdDblClick();
  EXPECT_EQ(f.GSCPath1Ed, "/media/disc/");
  p.expectFolder(std::nullopt);
  f.GSCPath2EdDblClick();
  EXPECT_EQ(f.GSCPath2Ed, "");
  f.GSCPath1Ed.clear();
  p.expectFolder(std::nullopt);
  f.GSCPath1EdDblClick();
  ASSERT_EQ(p.transcript().size(), 3u);
  EXPECT_EQ(p.transcript()[0], "folder [] from /opt/halvardin/ -> /media/disc");
  EXPECT_EQ(p.transcript()[1], "folder [] from /media/disc/ -> cancelled");
  EXPECT_EQ(p.transcript()[2], "folder [] from /opt/halvardin/ -> cancelled");

  p.expectOpen(FileChoice{{"/home/ann/work/CLASS.LOG"}});
  f.LogFlEdDblClick();
  EXPECT_EQ(f.LogFlEd, "/home/ann/work/CLASS.LOG");
  p.expectOpen(std::nullopt);
  f.StnsFlEdDblClick();
  EXPECT_EQ(f.StnsFlEd, "ASTSITES.DAT");
  p.expectOpen(std::nullopt);
  f.SpShtEdDblClick();

  const auto& c = p.choosers();
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].caption, "Locate Log File");
  EXPECT_EQ(c[0].filter, "Log Files (*.LOG)|*.LOG");
  EXPECT_EQ(c[0].fileName, "VESKLOG.LOG");
  EXPECT_EQ(c[0].folder, "/home/ann/work/");
  EXPECT_EQ(c[1].caption, "Locate Stations File");
  EXPECT_EQ(c[1].filter, "Data Files (*.DAT)|*.DAT");
  EXPECT_EQ(c[1].folder, "/opt/halvardin/");
  EXPECT_EQ(c[2].caption, "Locate Spreadsheet Program");
  EXPECT_EQ(c[2].filter, "Program Files|*.EXE");
  EXPECT_EQ(c[2].fileName, "EXCEL.EXE");
}

TEST_F(OptionsDialog, RunningTheDialogPutsBackTheRecordUnlessOk) {
  OptsToEdit = nullptr;
  OptsRec before = opts.Settings;
  p.expectDialog("TOptionsDlg", [](DialogModel& m) {
    auto& d = static_cast<TOptionsDlg&>(m);
    d.FormActivate();
    d.TblNumEd = "99";
    d.OKBtnClick();
    return ModalResult::Cancel;  // closed by its close box after all
  });
  OptionsDialogOutcome out = RunOptionsDlg(p, opts, &working);
  EXPECT_EQ(OptsToEdit, &opts);
  EXPECT_EQ(out.result, ModalResult::Cancel);
  EXPECT_EQ(opts.Settings, before);

  p.expectDialog("TOptionsDlg", [](DialogModel& m) {
    auto& d = static_cast<TOptionsDlg&>(m);
    d.FormActivate();
    d.TblNumEd = "99";
    return d.OKBtnClick();
  });
  out = RunOptionsDlg(p, opts, &working);
  EXPECT_EQ(out.result, ModalResult::OK);
  EXPECT_EQ(opts.Settings.TableNumber, "99");
  EXPECT_FALSE(out.siteChanged || out.userChanged || out.cameraChanged);
}

}  // namespace
}  // namespace hv
