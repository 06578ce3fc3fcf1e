#include "astrometry/forms/ObsParmsForm.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/qt/QtPlatform.h"

namespace hv {

TObsParmsDlg::TObsParmsDlg(ObsParmsDlgModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  auto* top = new QVBoxLayout(this);
  auto* objGrp = new QGroupBox("Object Type");
  auto* objRow = new QHBoxLayout(objGrp);
  MinorPlanetBtn = new QRadioButton("Minor Planet");
  CometBtn = new QRadioButton("Comet");
  auto* group = new QButtonGroup(this);
  group->addButton(MinorPlanetBtn, 0);
  group->addButton(CometBtn, 1);
  objRow->addWidget(MinorPlanetBtn);
  objRow->addWidget(CometBtn);
  top->addWidget(objGrp);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Observation Date/Time:"), 0, 0);
  DateEd = new QLineEdit;
  DateEd->setMaxLength(ObsParmsDlgModel::DateMaxLength);
  DateEd->setToolTip(ObsParmsDlgModel::DateHint);
  grid->addWidget(DateEd, 0, 1);
  grid->addWidget(new QLabel("UT:"), 0, 2);
  TimeEd = new QLineEdit;
  TimeEd->setMaxLength(ObsParmsDlgModel::TimeMaxLength);
  TimeEd->setToolTip(ObsParmsDlgModel::TimeHint);
  grid->addWidget(TimeEd, 0, 3);
  grid->addWidget(new QLabel("YYYY-MM-DD"), 1, 1);
  grid->addWidget(new QLabel("HH:MM:SS"), 1, 3);

  NameLbl = new QLabel;
  grid->addWidget(NameLbl, 2, 0);
  NameEd = new QLineEdit;
  NameEd->setMaxLength(static_cast<int>(ObsParmsCap::ObjName));
  grid->addWidget(NameEd, 2, 1, 1, 3);
  auto* numLbl = new QLabel("Number:");
  grid->addWidget(numLbl, 3, 0);
  NumEd = new QLineEdit;
  NumEd->setMaxLength(static_cast<int>(ObsParmsCap::Number));
  grid->addWidget(NumEd, 3, 1);
  auto* desigLbl = new QLabel("Designation:");
  grid->addWidget(desigLbl, 3, 2);
  DesigEd = new QLineEdit;
  DesigEd->setMaxLength(static_cast<int>(ObsParmsCap::Designation));
  grid->addWidget(DesigEd, 3, 3);
  DiscvBox = new QCheckBox("Discovery");
  grid->addWidget(DiscvBox, 4, 1);
  auto* obsLbl = new QLabel("Observer:");
  grid->addWidget(obsLbl, 5, 0);
  ObsrvrEd = new QLineEdit;
  ObsrvrEd->setMaxLength(static_cast<int>(ObsParmsCap::Observer));
  grid->addWidget(ObsrvrEd, 5, 1, 1, 3);
  top->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("&Ok");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel");
  HlpBtn = new QPushButton("&Help");
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(HlpBtn);
  top->addLayout(buttons);

  connect(OKBtn, &QPushButton::clicked, this, &TObsParmsDlg::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  // The labels follow their edits' enable state.
  for (auto [label, edit] :
       {std::pair<QLabel*, QWidget*>{numLbl, NumEd}, {desigLbl, DesigEd}, {obsLbl, ObsrvrEd}})
    label->setBuddy(edit);
  numLbl_ = numLbl;
  desigLbl_ = desigLbl;
  obsLbl_ = obsLbl;

  model_.FormActivate();
  Load();
}

void TObsParmsDlg::Load() {
  setWindowTitle(ToQ(model_.Caption));
  (model_.ObjTypeIndex == 1 ? CometBtn : MinorPlanetBtn)->setChecked(true);
  DateEd->setText(ToQ(model_.DateText));
  TimeEd->setText(ToQ(model_.TimeText));
  NameLbl->setText(ToQ(model_.NameLabel));
  NameEd->setText(ToQ(model_.NameText));
  NumEd->setText(ToQ(model_.NumText));
  DesigEd->setText(ToQ(model_.DesigText));
  ObsrvrEd->setText(ToQ(model_.ObserverText));
  DiscvBox->setChecked(model_.DiscoveryChecked);
  NumEd->setEnabled(model_.NumEnabled);
  numLbl_->setEnabled(model_.NumEnabled);
  DesigEd->setEnabled(model_.DesigEnabled);
  desigLbl_->setEnabled(model_.DesigEnabled);
  ObsrvrEd->setEnabled(model_.ObserverEnabled);
  obsLbl_->setEnabled(model_.ObserverEnabled);
  DiscvBox->setEnabled(model_.DiscoveryEnabled);
  HlpBtn->setVisible(model_.HelpVisible);
}

void TObsParmsDlg::OKBtnClick() {
  model_.ObjTypeIndex = CometBtn->isChecked() ? 1 : 0;
  model_.DateText = FromQ(DateEd->text());
  model_.TimeText = FromQ(TimeEd->text());
  model_.NameText = FromQ(NameEd->text());
  model_.NumText = FromQ(NumEd->text());
  model_.DesigText = FromQ(DesigEd->text());
  model_.ObserverText = FromQ(ObsrvrEd->text());
  model_.DiscoveryChecked = DiscvBox->isChecked();
  if (model_.OKBtnClick() == ModalResult::OK) accept();
}

void RegisterObsParmsForm() {
  QtPlatform::registerForm("TObsParmsDlg", [](DialogModel& m, QWidget* parent) {
    auto& model = static_cast<ObsParmsDlgModel&>(m);
    TObsParmsDlg dlg(model, parent);
    return dlg.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace hv
