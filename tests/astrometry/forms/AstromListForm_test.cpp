#include "astrometry/forms/AstromListForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "platform/qt/QtPlatform.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

class Host : public ReportHost {
 public:
  bool saved = true;
  std::filesystem::path ReportFolder() const override { return std::filesystem::current_path(); }
  PrintHeader ListPrintHeader() const override { return {}; }
  bool EditReportHeader(HeaderRecord) override { return false; }
  bool ReportSaved() const override { return saved; }
  void SetReportSaved(bool s) override { saved = s; }
  void EnableReportMenu() override {}
  void SetViewPrintSaveEnabled(bool) override {}
  void SpreadsheetWritten(const std::filesystem::path&) override {}
  bool NoConfirm() const override { return true; }
};

void AddObservation(AstromObsObj& obs, const char* name, double time, long double ra) {
  ObsParmsRec p;
  p.ObjName = name;
  p.Number = "00433";
  p.Designation = "A898 PA";
  p.ObsTime = time;
  RefStarRec t;
  t.Status = RefStatus::Target;
  t.RA = ra;
  t.Dec = 12.25L;
  t.Mag = 11.43L;
  t.Band = 2;
  obs.AddObservation(t, p);
}

TEST(AstromListForm, ShowsTheReportAndItsEditCommands) {
  ResetSearchDialog();
  test::Scripted p;
  p.clock.year = 2005;
  p.clock.month = 3;
  p.clock.day = 5;
  Host host;
  AstromObsObj obs(p, host);
  obs.Site.Code = "645";
  obs.User.Observers = "Ann Lee, Bo Chen";
  AddObservation(obs, "(433) Eros", 38416.10, 13.25678L);
  AddObservation(obs, "(433) Eros", 38416.15, 13.25701L);
  AddObservation(obs, "(433) Eros", 38416.20, 13.25724L);
  AstromListForm form(*obs.ListForm);
  obs.ListForm->OnShow = [&] { form.ShowList(); };
  obs.ShowExerciseReport();
  form.model().FormActivate();
  form.LoadFromModel();

  EXPECT_EQ(form.windowTitle(), "Astrometric Results");
  EXPECT_EQ(form.ListBox1->count(), 6);
  EXPECT_TRUE(form.EditMenu->menuAction()->isVisible());
  EXPECT_TRUE(form.ChartMenu->menuAction()->isVisible());
  EXPECT_FALSE(form.ChartMenu->menuAction()->isEnabled()) << "no reference-field window yet";
  EXPECT_FALSE(form.CommaDelimit->isVisible());
  EXPECT_FALSE(form.EditHeader1->isVisible()) << "the table has no header records to edit";
  EXPECT_FALSE(form.UndoEdit->isEnabled());

  // Delete the second observation's line through the menu, and undo it.
  form.ListBox1->setCurrentRow(4);
  form.DeleteSelectedItem1->trigger();
  EXPECT_EQ(form.ListBox1->count(), 5);
  EXPECT_EQ(obs.Observations.Count(), 2);
  EXPECT_EQ(form.windowTitle(), "Astrometric Results (Edited)");
  EXPECT_TRUE(form.UndoEdit->isEnabled());
  form.UndoEdit->trigger();
  EXPECT_EQ(form.ListBox1->count(), 6);
  EXPECT_EQ(obs.Observations.Count(), 3);
  EXPECT_FALSE(form.UndoEdit->isEnabled());

  obs.ShowMPCReport();
  EXPECT_TRUE(form.EditHeader1->isVisible());
  form.ListBox1->setCurrentRow(obs.ListForm->FirstDataLine + 1);
  if (const char* out = std::getenv("HV_GRAB")) form.grab().save(QString(out) + "/report.png");
}

TEST(AstromListForm, LineEditorShowsTheLineWithItsRulers) {
  Edit80DlgModel m;
  m.Edit1 = "1234567890123456789012345678901234567890123456789012345678901234567890123456789X";
  TEdit80Dlg dlg(m);
  EXPECT_EQ(dlg.windowTitle(), "Edit Text Line");
  EXPECT_TRUE(dlg.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(dlg.Edit1->text(), QString::fromLatin1(m.Edit1.c_str()));
  EXPECT_EQ(dlg.Edit1->maxLength(), 80);
  EXPECT_EQ(dlg.Label1->text().size(), 80);
  EXPECT_EQ(dlg.Label2->text().right(2), "80");
  EXPECT_EQ(dlg.OkBtn->text(), "&OK");
  EXPECT_EQ(dlg.CnclBtn->text(), "&Cancel");
  // The editor is at least as wide as 80 characters of its font.
  EXPECT_GE(dlg.Edit1->width(),
            QFontMetrics(dlg.Edit1->font()).horizontalAdvance(dlg.Label1->text()));
  if (const char* out = std::getenv("HV_GRAB")) dlg.grab().save(QString(out) + "/edit80.png");

  dlg.Edit1->setText("typed over");
  dlg.OkBtn->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(m.Edit1, "typed over");
}

TEST(AstromListForm, LineEditorRegisteredWithThePlatform) {
  RegisterAstromListForms();
  QtPlatform qt;
  Edit80DlgModel m;
  m.Edit1 = "kept";
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
  });
  EXPECT_EQ(qt.showDialog(m), ModalResult::Cancel);
  EXPECT_EQ(m.Edit1, "kept");
}

}  // namespace
}  // namespace hv
