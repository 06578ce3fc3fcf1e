#include "astrometry/forms/RefFieldForms.h"

#include <QActionGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QVBoxLayout>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

// ---------------------------------------------------------------- window

TGSCForm1Widget::TGSCForm1Widget(TGSCForm1& model, QWidget* parent)
    : TImageForm1Widget(model, parent, false), model_(model) {
  auto on = [this](QAction* a, auto f) { connect(a, &QAction::triggered, this, f); };
  QMenu* image = MenuBar()->addMenu("&Image");
  QMenu* info = image->addMenu("&Information");
  on(info->addAction("&Image..."), [this] { model_.Image21Click(); });
  QMenu* adjust = image->addMenu("&Adjust Ref. Field");
  ReferenceStars2 = adjust->addMenu("Reference &Stars");
  AddRemove2 = ReferenceStars2->addAction("&Add/Remove...");
  on(AddRemove2, [this] { model_.AddRemove1Click(); });
  on(ReferenceStars2->addAction("&Clear/Reselect"), [this] { model_.ClearReselect1Click(); });
  ReferenceStars2->addSeparator();
  ReferenceStars2->addAction("&Restore");  // no action
  Parameters1 = adjust->addAction("&Region Parameters...");
  on(Parameters1, [this] { model_.Parameters1Click(); });
  image->addSeparator();
  on(image->addAction("&Display Parameters..."), [this] { model_.AdjustDisplay2Click(); });
  on(image->addAction("&Resize Image..."), [this] { model_.ResizeWindow2Click(); });
  image->addSeparator();
  on(image->addAction("&Box Parameters..."), [this] { model_.BoxParameters1Click(); });
  image->addSeparator();
  on(image->addAction("&Print Image..."), [this] { model_.PrintImage1Click(); });
  image->addSeparator();
  on(image->addAction("&Close"), [this] { close(); });

  QMenu* solution = MenuBar()->addMenu("&Astrometric Solution");
  auto* group = new QActionGroup(this);
  Linear1 = solution->addAction("&Linear");
  AddCrossterm1 = solution->addAction("Add &Cross-term");
  FullQuadratic1 = solution->addAction("Full &Quadratic");
  for (QAction* a : {Linear1, AddCrossterm1, FullQuadratic1}) {
    a->setCheckable(true);
    group->addAction(a);
  }
  on(Linear1, [this] { model_.Linear1Click(); });
  on(AddCrossterm1, [this] { model_.AddCrossterm1Click(); });
  on(FullQuadratic1, [this] { model_.FullQuadratic1Click(); });

  QMenu* pAdjust = Popup().addMenu("&Adjust Ref. Field");
  ReferenceStars1 = pAdjust->addMenu("Reference &Stars");
  AddRemove1 = ReferenceStars1->addAction("&Add/Remove...");
  on(AddRemove1, [this] { model_.AddRemove1Click(); });
  on(ReferenceStars1->addAction("&Clear/Reselect"), [this] { model_.ClearReselect1Click(); });
  Parameters2 = pAdjust->addAction("&Region Parameters...");
  on(Parameters2, [this] { model_.Parameters1Click(); });
  Popup().addSeparator();
  on(Popup().addAction("&Display Parameters..."), [this] { model_.AdjustDisplay2Click(); });
  on(Popup().addAction("&Resize Image..."), [this] { model_.ResizeWindow2Click(); });
  Popup().addSeparator();
  on(Popup().addAction("\"&Box\" Parameters..."), [this] { model_.BoxParameters1Click(); });
  // At the top left of the screen.
  MoveFrame(*this, QPoint(0, 0));
  StateChanged();
}

void TGSCForm1Widget::StateChanged() {
  TImageForm1Widget::StateChanged();
  if (!ReferenceStars2) return;  // still building
  const RefMenuState& m = model_.RefMenus;
  ReferenceStars2->menuAction()->setEnabled(m.MainRefStarsEnabled);
  ReferenceStars1->menuAction()->setEnabled(m.PopupRefStarsEnabled);
  AddRemove1->setEnabled(m.PopupAddRemoveEnabled);
  Parameters1->setEnabled(m.MainRegionEnabled);
  Parameters2->setEnabled(m.PopupRegionEnabled);
  Linear1->setChecked(m.SolutionOrder == 0);
  AddCrossterm1->setChecked(m.SolutionOrder == 1);
  FullQuadratic1->setChecked(m.SolutionOrder == 2);
  QPalette pal = Client()->palette();
  pal.setColor(QPalette::Window, model_.Inverted ? Qt::white : Qt::black);
  Client()->setPalette(pal);
  setWindowTitle(ToQ(model_.Caption.empty() && model_.ChartMode == 0 ? TGSCForm1::WindowCaption
                                                                     : model_.Caption));
}

// ---------------------------------------------------------------- Reference Star

namespace {
QLineEdit* ReadOnly() {
  auto* e = new QLineEdit;
  e->setReadOnly(true);
  e->setMinimumWidth(170);
  return e;
}
}  // namespace

TRefInfoForm1Dlg::TRefInfoForm1Dlg(TRefInfoForm1& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), model_(model) {
  auto* top = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  CatEd = ReadOnly();
  IdEd = ReadOnly();
  EntryEd = ReadOnly();
  RAEd = ReadOnly();
  DecEd = ReadOnly();
  PErEd = ReadOnly();
  MagErEd = ReadOnly();
  MagEd = ReadOnly();
  ClrBndEd = ReadOnly();
  form->addRow("Catalog:", CatEd);
  form->addRow("ID #:", IdEd);
  form->addRow("Entries:", EntryEd);
  form->addRow("RA:", RAEd);
  form->addRow("Dec:", DecEd);
  form->addRow("Position Error:", PErEd);
  form->addRow("Magnitude:", MagEd);
  form->addRow("Magnitude Error:", MagErEd);
  form->addRow("Band:", ClrBndEd);
  top->addLayout(form);
  UsePosChk = new QCheckBox("Use &Position");
  UsePosChk->setToolTip("If checked, use this star as a position reference.");
  UseMagChk = new QCheckBox("Use &Magnitude");
  UseMagChk->setToolTip("If checked, use this star as a magnitude reference.");
  top->addWidget(UsePosChk);
  top->addWidget(UseMagChk);
  auto* buttons = new QHBoxLayout;
  OkBtn = new QPushButton("&OK");
  CnclBtn = new QPushButton("&Cancel");
  RmvBtn = new QPushButton("&Remove");
  buttons->addWidget(OkBtn);
  buttons->addWidget(CnclBtn);
  buttons->addWidget(RmvBtn);
  top->addLayout(buttons);
  connect(UsePosChk, &QCheckBox::clicked, this, [this](bool on) {
    model_.UsePosChk = on;
    model_.UsePosChkClick();
    Colour(UsePosChk, model_.UsePosGreen);
  });
  connect(UseMagChk, &QCheckBox::clicked, this, [this](bool on) {
    model_.UseMagChk = on;
    model_.UseMagChkClick();
    Colour(UseMagChk, model_.UseMagGreen);
  });
  connect(OkBtn, &QPushButton::clicked, this, [this] {
    model_.OkBtnClick();
    done(QDialog::Accepted);
  });
  connect(CnclBtn, &QPushButton::clicked, this, [this] {
    model_.CnclBtnClick();
    done(QDialog::Rejected);
  });
  connect(RmvBtn, &QPushButton::clicked, this, [this] {
    model_.RmvBtnClick();
    done(2);
  });
  model_.FormActivate();
  Load();
  MoveFrame(*this, QPoint(model_.Left, model_.Top));
  OkBtn->setDefault(true);
  OkBtn->setFocus();
}

void TRefInfoForm1Dlg::Colour(QCheckBox* box, bool green) {
  box->setStyleSheet(green ? "color: green" : "color: red");
}

void TRefInfoForm1Dlg::Load() {
  setWindowTitle(ToQ(model_.Caption));
  CatEd->setText(ToQ(model_.CatEd));
  IdEd->setText(ToQ(model_.IdEd));
  IdEd->setStyleSheet(model_.IdFuchsia ? "color: magenta" : "");
  EntryEd->setText(ToQ(model_.EntryEd));
  RAEd->setText(ToQ(model_.RAEd));
  DecEd->setText(ToQ(model_.DecEd));
  PErEd->setText(ToQ(model_.PErEd));
  MagErEd->setText(ToQ(model_.MagErEd));
  MagEd->setText(ToQ(model_.MagEd));
  ClrBndEd->setText(ToQ(model_.ClrBndEd));
  for (QLineEdit* e : {CatEd, IdEd, EntryEd, RAEd, DecEd, PErEd, MagErEd, MagEd, ClrBndEd})
    e->setCursorPosition(0);  // read from the start
  UsePosChk->setChecked(model_.UsePosChk);
  UseMagChk->setChecked(model_.UseMagChk);
  Colour(UsePosChk, model_.UsePosGreen);
  Colour(UseMagChk, model_.UseMagGreen);
  UsePosChk->setVisible(model_.ChecksVisible);
  UseMagChk->setVisible(model_.ChecksVisible);
  CnclBtn->setEnabled(model_.CnclEnabled);
  RmvBtn->setEnabled(model_.RmvEnabled);
}

// ---------------------------------------------------------------- display adjustment

TGSCAdjstForm1Dlg::TGSCAdjstForm1Dlg(TGSCAdjstForm1& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), model_(model) {
  setWindowTitle(TGSCAdjstForm1::Caption);
  auto* top = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* lbl = new QLabel("Zero Point for Star Images:");
  ZeroEdit = new QLineEdit;
  ZeroEdit->setToolTip("Magnitude of Brightest Star Image (Integer)");
  ZeroEdit->setFixedWidth(50);
  lbl->setBuddy(ZeroEdit);
  row->addWidget(lbl);
  row->addWidget(ZeroEdit);
  top->addLayout(row);
  InvrtCkBox = new QCheckBox("Invert Reference Display");
  InvrtCkBox->setToolTip("When  checked, Catalog stars are displayed black on white.");
  top->addWidget(InvrtCkBox);
  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("&OK");
  CnclBtn = new QPushButton("&Cancel");
  OKBtn->setDefault(true);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CnclBtn);
  top->addLayout(buttons);
  model_.FormActivate();
  ZeroEdit->setText(ToQ(model_.ZeroEdit));
  InvrtCkBox->setChecked(model_.InvrtCkBox);
  connect(OKBtn, &QPushButton::clicked, this, [this] {
    model_.ZeroEdit = FromQ(ZeroEdit->text());
    model_.InvrtCkBox = InvrtCkBox->isChecked();
    if (model_.OKBtnClick() == ModalResult::OK) accept();
  });
  connect(CnclBtn, &QPushButton::clicked, this, &QDialog::reject);
}

// ---------------------------------------------------------------- chart dialog

TChrtCntrlBoxForm::TChrtCntrlBoxForm(TChrtCntrlBox& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), model_(model) {
  setModal(false);
  auto* top = new QVBoxLayout(this);
  MsgLbl = new QLabel;
  MsgLbl->setWordWrap(true);
  top->addWidget(MsgLbl);
  PlotEphBox = new QCheckBox("Plot Generated Ephemeris");
  PlotPosBox = new QCheckBox("Plot Measured Positions ");
  top->addWidget(PlotEphBox);
  top->addWidget(PlotPosBox);
  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("&OK");
  CnclBtn = new QPushButton("&Cancel");
  OKBtn->setDefault(true);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CnclBtn);
  top->addLayout(buttons);
  setFixedWidth(TChrtCntrlBox::Width);
  connect(OKBtn, &QPushButton::clicked, this, [this] {
    Store();
    model_.OKBtnClick();
  });
  connect(CnclBtn, &QPushButton::clicked, this, [this] { model_.CnclBtnClick(); });
  model_.Changed = [this] { Load(); };
  Load();
}

TChrtCntrlBoxForm::~TChrtCntrlBoxForm() { model_.Changed = nullptr; }

void TChrtCntrlBoxForm::Store() {
  model_.PlotEphBox = PlotEphBox->isChecked();
  model_.PlotPosBox = PlotPosBox->isChecked();
}

void TChrtCntrlBoxForm::reject() {
  // Escape and the close box are the Cancel button.
  model_.CnclBtnClick();
}

void TChrtCntrlBoxForm::Load() {
  if (loading_) return;
  loading_ = true;
  setWindowTitle(ToQ(model_.Caption));
  MsgLbl->setText(ToQ(model_.MsgLbl));
  PlotEphBox->setChecked(model_.PlotEphBox);
  PlotPosBox->setChecked(model_.PlotPosBox);
  PlotEphBox->setEnabled(model_.PlotEphEnabled);
  PlotPosBox->setEnabled(model_.PlotPosEnabled);
  if (model_.Stage == 2) MoveFrame(*this, QPoint(model_.Left, model_.Top));
  if (model_.Visible && !isVisible()) {
    show();
    raise();
  } else if (!model_.Visible && isVisible()) {
    hide();
  }
  loading_ = false;
}

// ---------------------------------------------------------------- registration

void RegisterRefFieldForms() {
  QtPlatform::registerForm("TRefInfoForm1", [](DialogModel& m, QWidget* parent) {
    TRefInfoForm1Dlg dlg(static_cast<TRefInfoForm1&>(m), parent);
    const int r = dlg.exec();
    return r == QDialog::Accepted ? ModalResult::OK
           : r == 2               ? ModalResult::No
                                  : ModalResult::Cancel;
  });
  QtPlatform::registerForm("TGSCAdjstForm1", [](DialogModel& m, QWidget* parent) {
    TGSCAdjstForm1Dlg dlg(static_cast<TGSCAdjstForm1&>(m), parent);
    return dlg.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace hv
