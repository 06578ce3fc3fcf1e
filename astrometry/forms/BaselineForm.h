#pragma once
// The baseline dialog and the observation picker over their models.
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "astrometry/Baseline.h"

namespace hv {

class TBaselineDlg : public QDialog {
 public:
  TBaselineDlg(BaselineDlgModel& model, QWidget* parent = nullptr);

  QGroupBox* Pos1Box;
  QLabel *Dat1Lbl, *YMDFrmtLbl, *HMSFrmtLbl, *JD1Lbl;
  QLineEdit *YMDInEd1, *HMSInEd1, *JDEd1;
  QLineEdit *RAHr1, *RAMin1, *RASec1;
  QLineEdit *DecDeg1, *DecMin1, *DecSec1;
  QGroupBox* DateFrmtGrp;
  QRadioButton *CalendarBtn, *JulianBtn;
  QPushButton *Site1Btn, *Site2Btn, *ObsBtn, *OkBtn, *CancelBtn;

  // Loads the widgets from the model.
  void Load();
  // Stores what was typed into the model.
  void Store();
  void DateFrmtGrpClick();
  void Site1BtnClick();
  void Site2BtnClick();
  void ObsBtnClick();
  // Closes when the model accepts.
  void OkBtnClick();

 private:
  // Runs a model handler with the typed texts stored first; a failure is
  // the application's error box.
  template <class F>
  void Run(F&& f);
  BaselineDlgModel& model_;
};

// The picker: a small stay-on-top window over the report window, in which
// the student selects a line while it waits.
class TObsSlctForm : public QDialog {
 public:
  // listWindow: the report window whose selection OK reads (may be null).
  TObsSlctForm(ObsSlctModel& model, class TInfoListForm1* listWindow, QWidget* parent = nullptr);

  QLabel* MsgLbl;
  QPushButton* OKBtn;
  QPushButton* CnclBtn;

  void Load();
  void OKBtnClick();
  void CnclBtnClick();
  void reject() override { CnclBtnClick(); }

 private:
  ObsSlctModel& model_;
  class TInfoListForm1* list_;
};

// Makes the platform show these forms for the baseline and picker models.
void RegisterBaselineForms();

}  // namespace hv
