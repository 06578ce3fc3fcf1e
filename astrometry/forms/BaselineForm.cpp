#include "astrometry/forms/BaselineForm.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <memory>

#include "app/forms/InfoListForm.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

namespace {
QLineEdit* Edit(int maxLength, const char* hint, int width) {
  auto* e = new QLineEdit;
  if (maxLength > 0) e->setMaxLength(maxLength);
  if (hint) e->setToolTip(hint);
  e->setFixedWidth(width);
  return e;
}

// The list window that shows the model, if any.
TInfoListForm1* FindListWindow(InfoListModel& model) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* f = dynamic_cast<TInfoListForm1*>(w); f && &f->model() == &model) return f;
  return nullptr;
}
}  // namespace

TBaselineDlg::TBaselineDlg(BaselineDlgModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  auto* top = new QVBoxLayout(this);

  Pos1Box = new QGroupBox("Position of Target Object");
  auto* grid = new QGridLayout(Pos1Box);
  Dat1Lbl = new QLabel("Date (UT):");
  YMDInEd1 = Edit(BaselineDlgModel::DateMaxLength, "Use Full (4 digit) Year", 90);
  HMSInEd1 = Edit(BaselineDlgModel::TimeMaxLength, nullptr, 70);
  YMDFrmtLbl = new QLabel("YYYY-MM-DD");
  HMSFrmtLbl = new QLabel("HH:MM:SS");
  grid->addWidget(Dat1Lbl, 0, 0);
  grid->addWidget(YMDInEd1, 0, 1, 1, 3);
  grid->addWidget(HMSInEd1, 0, 4, 1, 3);
  grid->addWidget(YMDFrmtLbl, 1, 1, 1, 3);
  grid->addWidget(HMSFrmtLbl, 1, 4, 1, 3);
  JD1Lbl = new QLabel("JD:");
  JDEd1 = Edit(BaselineDlgModel::JDMaxLength, nullptr, 120);
  grid->addWidget(JD1Lbl, 2, 0);
  grid->addWidget(JDEd1, 2, 1, 1, 5);

  RAHr1 = Edit(0, "0-23", 36);
  RAMin1 = Edit(0, "0-59", 36);
  RASec1 = Edit(0, "0.00-59.99", 52);
  DecDeg1 = Edit(0, "89 - -89", 36);
  DecMin1 = Edit(0, "0-59", 36);
  DecSec1 = Edit(0, "0.00-59.99", 52);
  grid->addWidget(new QLabel("RA:"), 3, 0);
  grid->addWidget(RAHr1, 3, 1);
  grid->addWidget(new QLabel("H"), 3, 2);
  grid->addWidget(RAMin1, 3, 3);
  grid->addWidget(new QLabel("M"), 3, 4);
  grid->addWidget(RASec1, 3, 5);
  grid->addWidget(new QLabel("S"), 3, 6);
  grid->addWidget(new QLabel("Dec:"), 4, 0);
  grid->addWidget(DecDeg1, 4, 1);
  grid->addWidget(new QLabel("D"), 4, 2);
  grid->addWidget(DecMin1, 4, 3);
  grid->addWidget(new QLabel("'"), 4, 4);
  grid->addWidget(DecSec1, 4, 5);
  grid->addWidget(new QLabel("\""), 4, 6);

  DateFrmtGrp = new QGroupBox("Date/Time Format");
  auto* fmt = new QVBoxLayout(DateFrmtGrp);
  CalendarBtn = new QRadioButton("Calendar (&YMD-HMS)");
  JulianBtn = new QRadioButton("&Julian Date ");
  auto* group = new QButtonGroup(this);
  group->addButton(CalendarBtn, 0);
  group->addButton(JulianBtn, 1);
  fmt->addWidget(CalendarBtn);
  fmt->addWidget(JulianBtn);

  Site1Btn = new QPushButton("Site &1");
  Site2Btn = new QPushButton("Site &2");
  ObsBtn = new QPushButton("Obs. &Data");
  auto* right = new QVBoxLayout;
  right->addWidget(DateFrmtGrp);
  right->addWidget(Site1Btn);
  right->addWidget(Site2Btn);
  right->addWidget(ObsBtn);
  right->addStretch();
  auto* middle = new QHBoxLayout;
  middle->addWidget(Pos1Box);
  middle->addLayout(right);
  top->addLayout(middle);

  OkBtn = new QPushButton("&OK");
  OkBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkBtn);
  buttons->addWidget(CancelBtn);
  top->addLayout(buttons);

  connect(CalendarBtn, &QRadioButton::clicked, this, &TBaselineDlg::DateFrmtGrpClick);
  connect(JulianBtn, &QRadioButton::clicked, this, &TBaselineDlg::DateFrmtGrpClick);
  connect(Site1Btn, &QPushButton::clicked, this, &TBaselineDlg::Site1BtnClick);
  connect(Site2Btn, &QPushButton::clicked, this, &TBaselineDlg::Site2BtnClick);
  connect(ObsBtn, &QPushButton::clicked, this, &TBaselineDlg::ObsBtnClick);
  connect(OkBtn, &QPushButton::clicked, this, &TBaselineDlg::OkBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  model_.FormActivate();
  Load();
  setFixedSize(sizeHint());
}

void TBaselineDlg::Load() {
  const BaselineDlgModel& m = model_;
  setWindowTitle(ToQ(m.Caption));
  (m.DateFrmtGrp == 1 ? JulianBtn : CalendarBtn)->setChecked(true);
  YMDInEd1->setText(ToQ(m.YMDInEd1));
  HMSInEd1->setText(ToQ(m.HMSInEd1));
  JDEd1->setText(ToQ(m.JDEd1));
  RAHr1->setText(ToQ(m.RAHr1));
  RAMin1->setText(ToQ(m.RAMin1));
  RASec1->setText(ToQ(m.RASec1));
  DecDeg1->setText(ToQ(m.DecDeg1));
  DecMin1->setText(ToQ(m.DecMin1));
  DecSec1->setText(ToQ(m.DecSec1));
  for (QWidget* w : {static_cast<QWidget*>(Dat1Lbl), static_cast<QWidget*>(YMDInEd1),
                     static_cast<QWidget*>(HMSInEd1)})
    w->setEnabled(m.YMDEnabled);
  JD1Lbl->setEnabled(m.JDEnabled);
  JDEd1->setEnabled(m.JDEnabled);
  OkBtn->setEnabled(m.OkEnabled);
  ObsBtn->setEnabled(m.ObsEnabled);
}

void TBaselineDlg::Store() {
  BaselineDlgModel& m = model_;
  m.DateFrmtGrp = JulianBtn->isChecked() ? 1 : 0;
  m.YMDInEd1 = FromQ(YMDInEd1->text());
  m.HMSInEd1 = FromQ(HMSInEd1->text());
  m.JDEd1 = FromQ(JDEd1->text());
  m.RAHr1 = FromQ(RAHr1->text());
  m.RAMin1 = FromQ(RAMin1->text());
  m.RASec1 = FromQ(RASec1->text());
  m.DecDeg1 = FromQ(DecDeg1->text());
  m.DecMin1 = FromQ(DecMin1->text());
  m.DecSec1 = FromQ(DecSec1->text());
}

template <class F>
void TBaselineDlg::Run(F&& f) {
  Store();
  try {
    f();
  } catch (const std::exception& e) {
    ShowError(model_.platform(), "Halvardin", e.what());
  }
  Load();
}

void TBaselineDlg::DateFrmtGrpClick() {
  Run([this] { model_.DateFrmtGrpClick(); });
}
void TBaselineDlg::Site1BtnClick() {
  Run([this] { model_.Site1BtnClick(); });
}
void TBaselineDlg::Site2BtnClick() {
  Run([this] { model_.Site2BtnClick(); });
}
void TBaselineDlg::ObsBtnClick() {
  Run([this] { model_.ObsBtnClick(); });
}

void TBaselineDlg::OkBtnClick() {
  Store();
  ModalResult r = ModalResult::None;
  try {
    r = model_.OkBtnClick();
  } catch (const std::exception& e) {
    ShowError(model_.platform(), "Halvardin", e.what());
  }
  if (r == ModalResult::OK)
    accept();
  else
    Load();
}

// ---- picker ----

TObsSlctForm::TObsSlctForm(ObsSlctModel& model, TInfoListForm1* listWindow, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), model_(model), list_(listWindow) {
  auto* top = new QVBoxLayout(this);
  MsgLbl = new QLabel;
  QFont bold = MsgLbl->font();
  bold.setBold(true);
  MsgLbl->setFont(bold);
  MsgLbl->setWordWrap(true);
  MsgLbl->setMinimumWidth(440);
  top->addWidget(MsgLbl);
  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("&OK");
  OKBtn->setDefault(true);
  CnclBtn = new QPushButton("&Cancel");
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CnclBtn);
  buttons->addStretch();
  top->addLayout(buttons);
  connect(OKBtn, &QPushButton::clicked, this, &TObsSlctForm::OKBtnClick);
  connect(CnclBtn, &QPushButton::clicked, this, &TObsSlctForm::CnclBtnClick);
  Load();
}

void TObsSlctForm::Load() {
  setWindowTitle(ToQ(model_.Caption));
  MsgLbl->setText(ToQ(model_.MsgLbl));
}

void TObsSlctForm::OKBtnClick() {
  AstromListModel& list = *model_.report().ListForm;
  if (list_) {
    const QList<QListWidgetItem*> chosen = list_->ListBox1->selectedItems();
    list.Selected = chosen.isEmpty() ? -1 : list_->ListBox1->row(chosen.front());
  }
  if (model_.OKBtnClick() == ModalResult::OK) {
    accept();
    if (list_) list_->hide();
  } else {
    Load();
  }
}

void TObsSlctForm::CnclBtnClick() {
  model_.CnclBtnClick();
  QDialog::reject();
  if (list_) list_->hide();
}

namespace {
// Closing the report window while the picker waits is a cancel, so the
// picker never waits for a selection that can no longer be made.
class ListHiddenFilter : public QObject {
 public:
  explicit ListHiddenFilter(TObsSlctForm& picker) : picker_(picker) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Hide && picker_.result() != QDialog::Accepted && !finished_) {
      finished_ = true;
      picker_.CnclBtnClick();
    }
    return false;
  }
  bool finished_ = false;

 private:
  TObsSlctForm& picker_;
};

ModalResult ShowPicker(ObsSlctModel& model, QWidget* parent) {
  model.FormShow();
  InfoListModel& listModel = *model.report().ListForm;
  // The main window makes the report window when the report shows; without
  // one (a test) the picker makes its own.
  std::unique_ptr<TInfoListForm1> own;
  QPointer<TInfoListForm1> list = FindListWindow(listModel);
  if (!list) {
    own = std::make_unique<TInfoListForm1>(listModel, parent);
    own->ShowList();
    list = own.get();
  } else {
    list->LoadFromModel();
    if (model.RestoreReportWindow) list->showNormal();
  }
  // The baseline dialog blocks every other window; shown as the modal
  // window above it, the report window takes the student's selection while
  // the picker, its child, waits beside it.
  list->hide();
  list->setWindowModality(Qt::ApplicationModal);
  list->show();
  list->raise();

  TObsSlctForm picker(model, list, list);
  picker.adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->availableGeometry();
    const QSize frame = FrameSize(picker);
    int y = list->frameGeometry().top() - frame.height();
    if (y < s.top()) y = s.top();
    MoveFrame(picker, QPoint(s.left() + (s.width() - frame.width()) / 2, y));
  }
  QEventLoop loop;
  ListHiddenFilter filter(picker);
  QObject::connect(&picker, &QDialog::finished, &loop, [&] {
    filter.finished_ = true;
    loop.quit();
  });
  list->installEventFilter(&filter);
  picker.show();
  loop.exec();
  if (list) {
    list->removeEventFilter(&filter);
    list->hide();
    list->setWindowModality(Qt::NonModal);
  }
  return picker.result() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
}
}  // namespace

void RegisterBaselineForms() {
  QtPlatform::registerForm("TBaselineDlg", [](DialogModel& m, QWidget* parent) {
    TBaselineDlg dlg(static_cast<BaselineDlgModel&>(m), parent);
    return dlg.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
  QtPlatform::registerForm("TObsSlctForm", [](DialogModel& m, QWidget* parent) {
    return ShowPicker(static_cast<ObsSlctModel&>(m), parent);
  });
}

}  // namespace hv
