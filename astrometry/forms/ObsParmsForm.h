#pragma once
// The observation-parameters dialog over its model.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "astrometry/ObsParms.h"

namespace hv {

class TObsParmsDlg : public QDialog {
 public:
  TObsParmsDlg(ObsParmsDlgModel& model, QWidget* parent = nullptr);

  QRadioButton* MinorPlanetBtn;
  QRadioButton* CometBtn;
  QLineEdit* DateEd;
  QLineEdit* TimeEd;
  QLabel* NameLbl;
  QLineEdit* NameEd;
  QLineEdit* NumEd;
  QLineEdit* DesigEd;
  QCheckBox* DiscvBox;
  QLineEdit* ObsrvrEd;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HlpBtn;

  // Loads the widgets from the model (after its activation).
  void Load();
  // Stores what was typed and runs the model's OK; closes on success.
  void OKBtnClick();

 private:
  ObsParmsDlgModel& model_;
  QLabel* numLbl_;
  QLabel* desigLbl_;
  QLabel* obsLbl_;
};

// Makes the platform show this form for the observation-parameters model.
void RegisterObsParmsForm();

}  // namespace hv
