#pragma once
// The "Student Accounting" dialog over its model.
#include <QDialog>
#include <QLineEdit>

#include "app/Login.h"

namespace hv {

class TLoginDlg : public QDialog {
 public:
  TLoginDlg(LoginDlgModel& model, QWidget* parent = nullptr);
  QLineEdit* Stud[4];
  QLineEdit* LabTbl;
  void OKBtnClick();

 private:
  LoginDlgModel& model_;
};

// Makes the platform show this form for the login dialog model. The model's
// FormCreate has run before the dialog is shown.
void RegisterLoginForm();

}  // namespace hv
