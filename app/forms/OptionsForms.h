#pragma once
// The forms of the instructor's dialogs: "Software Options", "File Name
// Options", "Password Required" and "Confirm Password Change".
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/OptionsDlg.h"
#include "app/Password.h"

namespace hv {

// A captioned group of radio buttons whose choice is an index (-1: none).
class RadioGroupBox : public QGroupBox {
 public:
  RadioGroupBox(const char* caption, std::initializer_list<const char*> items,
                QWidget* parent = nullptr);
  int ItemIndex() const { return group_->checkedId(); }
  void SetItemIndex(int index);
  QButtonGroup* group() const { return group_; }

 private:
  QButtonGroup* group_;
};

class TOptionsDlgForm : public QDialog {
 public:
  TOptionsDlgForm(TOptionsDlg& model, QWidget* parent = nullptr);
  RadioGroupBox *FlTypeGrp, *TimeTypGrp, *SolutionGrp, *CatlgGrp, *GSCGrp;
  QCheckBox *RdSkyBox, *InvertBox, *TestBox, *AdminBox;
  QLineEdit *SizeEd, *MagEd, *TblNumEd, *PWEd;
  QPushButton *FilesBtn, *SitePrmBtn, *BoxBtn, *ImagBtn, *OKBtn, *CancelBtn;
  void OKBtnClick();
  void reject() override;  // Cancel, Esc and the close box alike

 private:
  void Load();
  void Store();
  TOptionsDlg& model_;
};

class TFileOptsDlgForm : public QDialog {
 public:
  TFileOptsDlgForm(TFileOptsDlg& model, QWidget* parent = nullptr);
  QTabWidget* PageControl1;
  QLineEdit *LogoEd, *TitleEd, *AstrTtlEd, *MnHlpEd, *UsrHlpEd, *RmdrEd, *ToolHlpEd;
  QLineEdit *LogFlEd, *SpShtEd, *GSCPath1Ed, *GSCPath2Ed, *USNOCatURLEd;
  QLineEdit *AstorbPathEd, *MPCOrbPathEd, *StnsFlEd, *CamFlEd, *SavOrbitEd;
  void OKBtnClick();
  // What a double-click on the edit does (nothing for the others).
  void Browse(QLineEdit* edit);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Each edit with the model's text it shows.
  std::vector<std::pair<QLineEdit*, std::string*>> Edits();
  void Load();
  void Store();
  TFileOptsDlg& model_;
};

class TPasswordDlgForm : public QDialog {
 public:
  TPasswordDlgForm(TPasswordDlg& model, QWidget* parent = nullptr);
  QLineEdit* Password;
  void OKBtnClick();
  ModalResult Result = ModalResult::Cancel;

 private:
  TPasswordDlg& model_;
};

class TPasswordDlg1Form : public QDialog {
 public:
  TPasswordDlg1Form(TPasswordDlg1& model, QWidget* parent = nullptr);
  QLineEdit* Password;
  void OKBtnClick();

 private:
  TPasswordDlg1& model_;
};

// Makes the platform show these forms for their models.
void RegisterOptionsForms();

}  // namespace hv
