#include "app/forms/InfoListForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

TInfoListForm1::TInfoListForm1(std::unique_ptr<InfoListModel> model, QWidget* parent)
    : QMainWindow(parent), owned_(std::move(model)), model_(owned_.get()) {
  Build();
}

TInfoListForm1::TInfoListForm1(InfoListModel& model, QWidget* parent)
    : QMainWindow(parent), model_(&model) {
  Build();
}

TInfoListForm1::TInfoListForm1(Platform& platform, ListHost& host, QWidget* parent)
    : TInfoListForm1(std::make_unique<InfoListModel>(platform, host), parent) {}

namespace {
// The last two windows that had the focus, and whether each was modal
// (a dialog or a message box). A window's activation event may come just
// before or just after the focus change is announced.
struct FocusTrail {
  QWindow* current = nullptr;  // compared only, never used
  bool currentModal = false;
  bool previousModal = false;
};
FocusTrail& Trail() {
  static FocusTrail t;
  static bool connected = false;
  if (!connected && qApp) {
    connected = true;
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp, [](QWindow* w) {
      FocusTrail& f = Trail();
      if (!w || w == f.current) return;  // focus left the program, or no change
      f.previousModal = f.currentModal;
      f.current = w;
      f.currentModal = w->modality() != Qt::NonModal;
    });
  }
  return t;
}
}  // namespace

void TInfoListForm1::Build() {
  Trail();  // follows the focus from the first list window on
  setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
  setAttribute(Qt::WA_DeleteOnClose, false);
  // The Courier is the list's; the menus keep the system font.
  QFont f("Courier New");
  f.setStyleHint(QFont::TypeWriter);
  f.setPixelSize(14);
  f.setBold(true);
  ListBox1 = new QListWidget(this);
  ListBox1->setFont(f);
  ListBox1->setUniformItemSizes(true);
  ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  ListBox1->setStyleSheet("QListWidget::item { height: 21px; }");
  setCentralWidget(ListBox1);

  QMenuBar* bar = menuBar();
  ListMenu = bar->addMenu("&List");
  Search1 = ListMenu->addAction("&Search...");
  Print1 = ListMenu->addAction("&Print...");
  Print1->setCheckable(true);
  QMenu* save = ListMenu->addMenu("Save &Text");
  SaveasText1 = save->addAction("As &Displayed...");
  CommaDelimit = save->addAction("&Comma Delimit (for Spreadsheet)...");
  SaveText1 = save->menuAction();
  SaveText1->setCheckable(true);
  Close1 = ListMenu->addAction("&Close");

  EditMenu = bar->addMenu("&Edit");
  UndoEdit = EditMenu->addAction("&Undo Text Edit/Delete");
  QMenu* edit = EditMenu->addMenu("&Edit Selected Text Line");
  EditSelectedText1 = edit->addAction("Edit as &Text...");
  EditObservationParameters1 = edit->addAction("Edit Observation Parameters...");
  DeleteSelectedItem1 = EditMenu->addAction("&Delete Selected Text Line...");
  EditHeaderSep = EditMenu->addSeparator();
  QMenu* head = EditMenu->addMenu("Edit Header &Information");
  EditHeader1 = head->menuAction();
  UsrPop1 = head->addAction("&User Information...");
  CamPop1 = head->addAction("&Camera Parameters...");
  SitePop1 = head->addAction("&Site Information...");

  ActionMenu = bar->addMenu("&Action");
  AccessSelectedRecord1 = ActionMenu->addAction("&Access Selected Record");
  DeleteSelectedRecord1 = ActionMenu->addAction("&Delete Selected Record");
  ChartMenu = bar->addMenu("&Chart");
  Plot1 = ChartMenu->menuAction();

  connect(Search1, &QAction::triggered, this, [this] { Search1Click(); });
  connect(Print1, &QAction::triggered, this, [this] { Print1Click(); });
  connect(SaveasText1, &QAction::triggered, this, [this] { SaveasText1Click(); });
  connect(CommaDelimit, &QAction::triggered, this, [this] { CommaDelimitClick(); });
  connect(Close1, &QAction::triggered, this, [this] { Close1Click(); });
  connect(UndoEdit, &QAction::triggered, this, [this] { UndoEditClick(); });
  connect(EditSelectedText1, &QAction::triggered, this, [this] { EditSelectedText1Click(); });
  connect(EditObservationParameters1, &QAction::triggered, this,
          [this] { EditObservationParameters1Click(); });
  connect(DeleteSelectedItem1, &QAction::triggered, this, [this] { DeleteSelectedItem1Click(); });
  connect(UsrPop1, &QAction::triggered, this, [this] { UsrPop1Click(); });
  connect(CamPop1, &QAction::triggered, this, [this] { CamPop1Click(); });
  connect(SitePop1, &QAction::triggered, this, [this] { SitePop1Click(); });
  connect(AccessSelectedRecord1, &QAction::triggered, this,
          [this] { AccessSelectedRecord1Click(); });
  connect(DeleteSelectedRecord1, &QAction::triggered, this,
          [this] { DeleteSelectedRecord1Click(); });
  // The Chart menu has no items: a click on its title is the command. Its
  // empty popup is closed first, or it would take the next click (the
  // chart dialog's OK) just to close itself.
  connect(ChartMenu, &QMenu::aboutToShow, this, [this] {
    QTimer::singleShot(0, this, [this] {
      ChartMenu->close();
      Plot1Click();
    });
  });
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { FormDblClick(); });
  connect(ListBox1, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
  // The selected line, not the keyboard cursor that focus alone puts on
  // the first line.
  connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] {
    if (!loading_) StoreSelection();
  });
  LoadFromModel();
}

void TInfoListForm1::ShowFailure(const char* what) {
  ShowError(model_->platform(), "Halvardin", what);
}

void TInfoListForm1::StoreSelection() {
  const QList<QListWidgetItem*> chosen = ListBox1->selectedItems();
  model_->Selected = chosen.isEmpty() ? -1 : ListBox1->row(chosen.front());
}

void TInfoListForm1::LoadFromModel() {
  loading_ = true;
  InfoListModel& m = *model_;
  setWindowTitle(ToQ(m.Caption));
  const auto& lines = m.Lines();
  const bool setAnew = m.LinesSet() != linesShown_;
  bool same = !setAnew && ListBox1->count() == static_cast<int>(lines.size());
  for (int i = 0; same && i < ListBox1->count(); ++i)
    same = FromQ(ListBox1->item(i)->text()) == lines[static_cast<std::size_t>(i)];
  if (!same) {
    ListBox1->clear();
    for (const std::string& l : lines) ListBox1->addItem(ToQ(l));
  }
  if (setAnew) {
    // New text is read from its first line; the list would otherwise keep
    // the old scroll position (a report's notes at the bottom).
    linesShown_ = m.LinesSet();
    ListBox1->scrollToTop();
    ListBox1->horizontalScrollBar()->setValue(0);
  }
  ListBox1->setCurrentRow(m.Selected);
  if (m.Selected >= 0 && m.Selected < ListBox1->count())
    ListBox1->scrollToItem(ListBox1->item(m.Selected));
  Print1->setChecked(m.Printed);
  SaveText1->setChecked(m.Saved);
  UndoEdit->setEnabled(m.UndoEnabled);
  CommaDelimit->setEnabled(m.CommaDelimitEnabled);
  EditMenu->menuAction()->setVisible(m.EditMenuVisible);
  ActionMenu->menuAction()->setVisible(m.ActionMenuVisible);
  ChartMenu->menuAction()->setVisible(m.ChartMenuVisible);
  setEnabled(m.Enabled);
  if (!m.Visible && isVisible()) hide();
  loading_ = false;
}

void TInfoListForm1::ShowList() {
  model_->FormShow();
  LoadFromModel();
  QFontMetrics fm(ListBox1->font());
  auto width = [&](const std::string& s) { return fm.horizontalAdvance(ToQ(s)); };
  auto height = [&](const std::string&) { return 21; };
  QScreen* screen = QGuiApplication::primaryScreen();
  int sw = screen ? screen->geometry().width() : 1024;
  ListSize sz = SizeForLines(model_->Lines(), width, height, sw);
  int menuH = menuBar()->sizeHint().height();
  resize(sz.clientWidth, sz.clientHeight + menuH);
  if (screen) {
    const QSize frame = FrameSize(*this);
    const QPoint at = screen->geometry().center() - QPoint(frame.width() / 2, frame.height() / 2);
    PlaceFrame(model_->platform(), *this, at);
    model_->Top = at.y();
  }
  show();
  raise();
  activateWindow();
}

bool TInfoListForm1::event(QEvent* e) {
  // Coming back from a dialog or message box (the search dialog, the save
  // question) is no activation from another window: the search text stays
  // for the next "From Cursor".
  if (e->type() == QEvent::WindowActivate) {
    const FocusTrail& f = Trail();
    bool fromModal = f.current == windowHandle() ? f.previousModal : f.currentModal;
    if (!fromModal) {
      model_->FormActivate();
      LoadFromModel();
    }
  }
  return QMainWindow::event(e);
}

void TInfoListForm1::closeEvent(QCloseEvent* e) {
  model_->FormClose();
  model_->Visible = false;
  QMainWindow::closeEvent(e);
}

void TInfoListForm1::Search1Click() {
  Run([this] { model_->Search1Click(); });
}
void TInfoListForm1::Print1Click() {
  Run([this] { model_->Print1Click(); });
}
void TInfoListForm1::SaveasText1Click() {
  Run([this] { model_->SaveasText1Click(); });
}
void TInfoListForm1::CommaDelimitClick() {
  Run([this] { model_->CommaDelimitClick(); });
}
void TInfoListForm1::Close1Click() {
  Run([this] { model_->Close1Click(); });
}
void TInfoListForm1::UndoEditClick() {
  Run([this] { model_->UndoEditClick(); });
}
void TInfoListForm1::EditSelectedText1Click() {
  Run([this] { model_->EditSelectedText1Click(); });
}
void TInfoListForm1::EditObservationParameters1Click() {
  Run([this] { model_->EditObservationParameters1Click(); });
}
void TInfoListForm1::DeleteSelectedItem1Click() {
  Run([this] { model_->DeleteSelectedItem1Click(); });
}
void TInfoListForm1::UsrPop1Click() {
  Run([this] { model_->UsrPop1Click(); });
}
void TInfoListForm1::CamPop1Click() {
  Run([this] { model_->CamPop1Click(); });
}
void TInfoListForm1::SitePop1Click() {
  Run([this] { model_->SitePop1Click(); });
}
void TInfoListForm1::AccessSelectedRecord1Click() {
  Run([this] { model_->AccessSelectedRecord1Click(); });
}
void TInfoListForm1::DeleteSelectedRecord1Click() {
  Run([this] { model_->DeleteSelectedRecord1Click(); });
}
void TInfoListForm1::FormDblClick() {
  Run([this] { model_->FormDblClick(); });
}
void TInfoListForm1::ListBox1Click() {
  Run([this] { model_->ListBox1Click(); });
}
void TInfoListForm1::Plot1Click() {
  Run([this] { model_->Plot1Click(); });
}

}  // namespace hv
