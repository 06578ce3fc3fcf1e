#pragma once
// The field-parameter dialog over its model.
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "astrometry/FldParms.h"

namespace hv {

class TFldParmsDlg : public QDialog {
 public:
  TFldParmsDlg(FldParmsDlgModel& model, QWidget* parent = nullptr);

  QGroupBox* RAGrp;
  QLineEdit* RAHr;
  QLineEdit* RAMin;
  QLineEdit* RASec;
  QGroupBox* DecGrp;
  QLineEdit* DecDeg;
  QLineEdit* DecMin;
  QLineEdit* DecSec;
  QLineEdit* SizEd;
  QLineEdit* MagEd;
  QCheckBox* OnLnBox;
  QGroupBox* ColorGrp;
  std::array<QRadioButton*, ColorCodeCount> ColorItems{};
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // Loads the widgets from the model (after its activation).
  void Load();
  void OnLnBoxClick();
  // Stores what was typed and runs the model's OK; closes on success.
  void OKBtnClick();
  // Cancel, Escape and the close box alike give the reference-field
  // window its items back.
  void reject() override;

 private:
  void LoadColor();
  void Store();
  FldParmsDlgModel& model_;
  QButtonGroup* colorButtons_;
};

// Makes the platform show this form for the field-parameter model.
void RegisterFldParmsForm();

}  // namespace hv
