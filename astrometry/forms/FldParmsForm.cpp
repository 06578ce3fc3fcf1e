#include "astrometry/forms/FldParmsForm.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

namespace {
QLineEdit* Edit(const char* hint, int width) {
  auto* e = new QLineEdit;
  e->setToolTip(hint);
  e->setFixedWidth(width);
  return e;
}

// Three edits with their labels underneath.
void Triple(QGroupBox* box, std::array<QLineEdit*, 3> edits, std::array<const char*, 3> labels) {
  auto* g = new QGridLayout(box);
  for (int i = 0; i < 3; ++i) {
    g->addWidget(edits[static_cast<std::size_t>(i)], 0, i);
    auto* l = new QLabel(labels[static_cast<std::size_t>(i)]);
    l->setAlignment(Qt::AlignHCenter);
    g->addWidget(l, 1, i);
  }
}
}  // namespace

TFldParmsDlg::TFldParmsDlg(FldParmsDlgModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(FldParmsDlgModel::Caption);
  auto* top = new QVBoxLayout(this);

  RAGrp = new QGroupBox("Right Ascension");
  RAGrp->setToolTip("RA of Field Center");
  RAHr = Edit("0-23", 40);
  RAMin = Edit("0-59", 40);
  RASec = Edit("0.00-59.99", 60);
  Triple(RAGrp, {RAHr, RAMin, RASec}, {"Hours", "Mins", "Secs"});
  DecGrp = new QGroupBox("Declination");
  DecGrp->setToolTip("Dec of Field Center");
  DecDeg = Edit("89 - -89", 40);
  DecMin = Edit("0-59", 40);
  DecSec = Edit("0.00-59.99", 60);
  Triple(DecGrp, {DecDeg, DecMin, DecSec}, {"Degs", "'", "\""});
  auto* centre = new QHBoxLayout;
  centre->addWidget(RAGrp);
  centre->addWidget(DecGrp);
  top->addLayout(centre);

  auto* row = new QHBoxLayout;
  auto* sizLbl = new QLabel("Field Size:");
  SizEd = Edit("Field Size in Arc Minutes (')", 50);
  sizLbl->setBuddy(SizEd);
  auto* magLbl = new QLabel("Mag Limit:");
  MagEd = Edit("Limiting Magnitude for Catalog Stars..", 50);
  magLbl->setBuddy(MagEd);
  row->addWidget(sizLbl);
  row->addWidget(SizEd);
  row->addSpacing(16);
  row->addWidget(magLbl);
  row->addWidget(MagEd);
  row->addStretch();
  top->addLayout(row);

  auto* catRow = new QHBoxLayout;
  OnLnBox = new QCheckBox("Use On-Line Catalog");
  catRow->addWidget(OnLnBox, 0, Qt::AlignTop);
  ColorGrp = new QGroupBox("Color");
  ColorGrp->setToolTip("NA for GSC");
  auto* cg = new QGridLayout(ColorGrp);
  colorButtons_ = new QButtonGroup(this);
  for (int i = 0; i < ColorCodeCount; ++i) {
    auto* b = new QRadioButton(ToQ(ColorCaptions[static_cast<std::size_t>(i)]));
    ColorItems[static_cast<std::size_t>(i)] = b;
    colorButtons_->addButton(b, i);
    // Two columns, filled down first.
    cg->addWidget(b, i % 3, i / 3);
  }
  catRow->addWidget(ColorGrp);
  top->addLayout(catRow);

  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("&OK");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel");
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  top->addLayout(buttons);

  connect(OKBtn, &QPushButton::clicked, this, &TFldParmsDlg::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TFldParmsDlg::reject);
  connect(OnLnBox, &QCheckBox::clicked, this, &TFldParmsDlg::OnLnBoxClick);

  model_.FormActivate();
  Load();
  // A fixed dialog in the middle of the screen.
  top->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize frame = FrameSize(*this);
    MoveFrame(*this,
              screen->availableGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
  }
  RAHr->setFocus();
  RAHr->selectAll();
}

void TFldParmsDlg::Load() {
  RAHr->setText(ToQ(model_.RAHrText));
  RAMin->setText(ToQ(model_.RAMinText));
  RASec->setText(ToQ(model_.RASecText));
  DecDeg->setText(ToQ(model_.DecDegText));
  DecMin->setText(ToQ(model_.DecMinText));
  DecSec->setText(ToQ(model_.DecSecText));
  SizEd->setText(ToQ(model_.SizText));
  MagEd->setText(ToQ(model_.MagText));
  OnLnBox->setChecked(model_.OnLnChecked);
  LoadColor();
}

void TFldParmsDlg::LoadColor() {
  ColorGrp->setEnabled(model_.ColorEnabled);
  if (QAbstractButton* b = colorButtons_->button(model_.ColorIndex)) b->setChecked(true);
}

void TFldParmsDlg::OnLnBoxClick() {
  model_.OnLnChecked = OnLnBox->isChecked();
  model_.OnLnBoxClick();
  LoadColor();
}

void TFldParmsDlg::Store() {
  model_.RAHrText = FromQ(RAHr->text());
  model_.RAMinText = FromQ(RAMin->text());
  model_.RASecText = FromQ(RASec->text());
  model_.DecDegText = FromQ(DecDeg->text());
  model_.DecMinText = FromQ(DecMin->text());
  model_.DecSecText = FromQ(DecSec->text());
  model_.SizText = FromQ(SizEd->text());
  model_.MagText = FromQ(MagEd->text());
  model_.OnLnChecked = OnLnBox->isChecked();
  model_.ColorIndex = colorButtons_->checkedId();
}

void TFldParmsDlg::OKBtnClick() {
  Store();
  if (model_.OKBtnClick() == ModalResult::OK) accept();
}

void TFldParmsDlg::reject() {
  model_.CancelBtnClick();
  QDialog::reject();
}

void RegisterFldParmsForm() {
  QtPlatform::registerForm("TFldParmsDlg", [](DialogModel& m, QWidget* parent) {
    auto& model = static_cast<FldParmsDlgModel&>(m);
    TFldParmsDlg dlg(model, parent);
    return dlg.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace hv
