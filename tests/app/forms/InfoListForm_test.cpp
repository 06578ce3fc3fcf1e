#include "app/forms/InfoListForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdlib>

#include "app/forms/SearchStrForm.h"
#include "platform/qt/QtPlatform.h"
#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

class Host : public ListHost {
 public:
  fs::path ReportFolder() const override { return fs::current_path(); }
  PrintHeader ListPrintHeader() const override {
    PrintHeader h;
    h.defaultUserName = "Default User";
    return h;
  }
  bool EditReportHeader(HeaderRecord) override { return false; }
};

TEST(InfoListForm, ShowsTheModelAndMirrorsItsMenu) {
  ResetSearchDialog();
  test::Scripted p;
  Host host;
  TInfoListForm1 form(p, host);
  form.model().Caption = "Astrometric Solution";
  form.model().SetLines({"Plate constants", "  a = 1.0", "  b = 2.0"});
  form.ShowList();
  EXPECT_EQ(form.windowTitle(), "Astrometric Solution");
  EXPECT_EQ(form.ListBox1->count(), 3);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(form.menuBar()->font().family(), QApplication::font().family());
  EXPECT_FALSE(form.menuBar()->font().bold());
  EXPECT_FALSE(form.EditMenu->menuAction()->isVisible());
  EXPECT_FALSE(form.CommaDelimit->isEnabled());
  EXPECT_FALSE(form.UndoEdit->isEnabled());

  // The search runs in the model; the list shows its selection.
  p.expectDialog("TGetSrchStrDlg", [](DialogModel& m) {
    auto& d = static_cast<SearchStrModel&>(m);
    d.EditText = "b =";
    return d.SrchTopBtnClick();
  });
  form.Search1Click();
  EXPECT_EQ(form.ListBox1->currentRow(), 2);

  if (const char* out = std::getenv("HV_GRAB")) form.grab().save(QString(out) + "/infolist.png");
  form.Close1Click();
  EXPECT_FALSE(form.isVisible());
}

TEST(InfoListForm, SearchDialogStoresWhatWasTyped) {
  SearchStrModel m;
  m.SearchText = "old";
  TGetSrchStrDlg dlg(m);
  EXPECT_EQ(dlg.SrchStr1->text(), "old");
  EXPECT_EQ(dlg.SrchStr1->maxLength(), 80);
  dlg.SrchStr1->setText("Sky");
  dlg.CaseCheck->setChecked(true);
  for (QPushButton* b : dlg.findChildren<QPushButton*>())
    if (b->text() == "&From Cursor") b->click();
  EXPECT_EQ(m.SearchMode, 1);
  EXPECT_EQ(m.SearchText, "Sky");
  EXPECT_TRUE(m.CaseSensitive);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST(InfoListForm, AFailedSaveIsShownAsTheApplicationsError) {
  ResetSearchDialog();
  test::Scripted p;
  Host host;
  TInfoListForm1 form(p, host);
  form.model().SetLines({"x"});
  p.expectSave(FileChoice{{fs::current_path() / "missing" / "a.txt"}, 1});
  p.expectMessage(ModalResult::OK, "Halvardin", "");
  form.SaveasText1Click();
  EXPECT_FALSE(form.SaveText1->isChecked());
}

TEST(InfoListForm, PrintsToAPdfFile) {
  QtPlatform qp;
  Host host;
  TInfoListForm1 form(qp, host);
  form.model().Caption = "Baseline";
  form.model().SetLines({"line one", "line two"});
  fs::path pdf = test::FreshFolder("print") / "list.pdf";
  form.model().PrintToPdf = pdf;
  form.Print1Click();
  auto bytes = ReadWholeFile(pdf);
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "%PDF");
  EXPECT_TRUE(form.Print1->isChecked());
}

// Returning from the search dialog keeps its text for the next search;
// activating the list from another window forgets it.
TEST(InfoListForm, OnlyActivationFromAnotherWindowForgetsTheSearch) {
  RegisterSearchForm();
  ResetSearchDialog();
  QtPlatform qp;
  Host host;
  TInfoListForm1 form(qp, host);
  form.model().SetLines({"alpha", "Line two", "gamma"});
  auto settle = [] {
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
  };
  form.ShowList();
  settle();
  ASSERT_TRUE(form.isActiveWindow());
  QTimer::singleShot(0, [] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    d->findChild<QLineEdit*>()->setText("LINE TWO");
    for (QPushButton* b : d->findChildren<QPushButton*>())
      if (b->text() == "From &Top") b->click();
  });
  form.Search1Click();
  form.activateWindow();  // what the window manager does when the dialog closes
  settle();
  ASSERT_TRUE(form.isActiveWindow());
  EXPECT_EQ(form.ListBox1->currentRow(), 1);
  EXPECT_EQ(GetSrchStrDlg.SearchText, "line two");
  EXPECT_EQ(GetSrchStrDlg.SearchMode, 0);

  QWidget other;
  other.show();
  other.activateWindow();
  settle();
  form.activateWindow();
  settle();
  EXPECT_EQ(GetSrchStrDlg.SearchText, "");
  EXPECT_EQ(GetSrchStrDlg.SearchMode, 2);
}

// The list's keyboard cursor on its first line is no selection: "From
// Cursor" with nothing selected starts at line 0.
TEST(InfoListForm, FocusAloneSelectsNoLine) {
  ResetSearchDialog();
  test::Scripted p;
  Host host;
  TInfoListForm1 form(p, host);
  form.model().SetLines({"alpha", "beta"});
  form.ShowList();
  form.ListBox1->setFocus();
  for (int i = 0; i < 10; ++i) QApplication::processEvents();
  EXPECT_EQ(form.model().Selected, -1);
  p.expectDialog("TGetSrchStrDlg", [](DialogModel& m) {
    auto& d = static_cast<SearchStrModel&>(m);
    d.EditText = "alpha";
    return d.SrchNextBtnClick();
  });
  form.Search1Click();
  EXPECT_EQ(form.model().Selected, 0);
  EXPECT_EQ(form.ListBox1->currentRow(), 0);
}

// A list window given new lines opens at their first line, wherever the
// old lines were scrolled: kept on the screen, hidden in between, or given
// the very same text again (a report written anew after a go-back).
TEST(InfoListForm, NewLinesOpenAtTheFirstLine) {
  ResetSearchDialog();
  test::Scripted p;
  Host host;
  TInfoListForm1 form(p, host);
  auto lines = [](const char* tag) {
    std::vector<std::string> l;
    for (int i = 0; i < 200; ++i) l.push_back(std::string(tag) + " line " + std::to_string(i));
    l.push_back("Notes:");
    return l;
  };
  auto settle = [] {
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
  };
  QScrollBar* bar = form.ListBox1->verticalScrollBar();
  struct Row {
    const char* name;
    const char* tag;  // of the new lines
    bool hidden;      // closed before they are set
  } rows[] = {
      {"kept on the screen", "second", false},
      {"hidden in between", "third", true},
      {"the same text again", "third", false},
  };
  form.model().SetLines(lines("first"));
  form.ShowList();
  settle();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    form.ListBox1->scrollToBottom();
    settle();
    ASSERT_GT(bar->value(), 0);
    if (row.hidden) form.Close1Click();
    form.model().SetLines(lines(row.tag));
    form.ShowList();
    settle();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(form.ListBox1->item(0)->text().toStdString(), std::string(row.tag) + " line 0");
    EXPECT_EQ(form.ListBox1->indexAt(QPoint(1, 1)).row(), 0);
  }
  // Lines edited in place are no new text: the window stays where it was.
  form.ListBox1->scrollToBottom();
  settle();
  const int bottom = bar->value();
  form.model().MutableLines().back() = "Notes: edited";
  form.LoadFromModel();
  settle();
  EXPECT_EQ(bar->value(), bottom);
}

}  // namespace
}  // namespace hv
