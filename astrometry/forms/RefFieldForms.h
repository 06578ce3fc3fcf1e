#pragma once
// The reference-field window's form and the forms of its dialogs: the
// Reference Star dialog, the display adjustment and the chart dialog.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "astrometry/RefField.h"
#include "images/forms/ImageForm.h"

namespace hv {

class TGSCForm1Widget : public TImageForm1Widget {
 public:
  explicit TGSCForm1Widget(TGSCForm1& model, QWidget* parent = nullptr);

  void StateChanged() override;

  // Main menu RefMenu1 and popup PopupMenu2, by the names the window uses.
  QMenu *ReferenceStars2 = nullptr, *ReferenceStars1 = nullptr;
  QAction *AddRemove2 = nullptr, *AddRemove1 = nullptr;
  QAction *Parameters1 = nullptr, *Parameters2 = nullptr;
  QAction *Linear1 = nullptr, *AddCrossterm1 = nullptr, *FullQuadratic1 = nullptr;

 private:
  TGSCForm1& model_;
};

class TRefInfoForm1Dlg : public QDialog {
 public:
  TRefInfoForm1Dlg(TRefInfoForm1& model, QWidget* parent = nullptr);
  QLineEdit *CatEd, *IdEd, *EntryEd, *RAEd, *DecEd, *PErEd, *MagErEd, *MagEd, *ClrBndEd;
  QCheckBox *UsePosChk, *UseMagChk;
  QPushButton *OkBtn, *CnclBtn, *RmvBtn;
  void Load();

 private:
  void Colour(QCheckBox* box, bool green);
  TRefInfoForm1& model_;
};

class TGSCAdjstForm1Dlg : public QDialog {
 public:
  TGSCAdjstForm1Dlg(TGSCAdjstForm1& model, QWidget* parent = nullptr);
  QLineEdit* ZeroEdit;
  QCheckBox* InvrtCkBox;
  QPushButton *OKBtn, *CnclBtn;

 private:
  TGSCAdjstForm1& model_;
};

// Modeless, over its model; the model's Changed shows it again.
class TChrtCntrlBoxForm : public QDialog {
 public:
  TChrtCntrlBoxForm(TChrtCntrlBox& model, QWidget* parent = nullptr);
  ~TChrtCntrlBoxForm() override;
  QLabel* MsgLbl;
  QCheckBox *PlotEphBox, *PlotPosBox;
  QPushButton *OKBtn, *CnclBtn;
  void Load();

 protected:
  void reject() override;

 private:
  void Store();
  TChrtCntrlBox& model_;
  bool loading_ = false;
};

// Makes the platform show the two modal dialogs' forms.
void RegisterRefFieldForms();

}  // namespace hv
