#include "app/forms/LoginForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "platform/qt/QtPlatform.h"

namespace hv {

TLoginDlg::TLoginDlg(LoginDlgModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle("Student Accounting");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  auto* g = new QGridLayout(this);
  g->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog border
  g->addWidget(new QLabel("Enter Student Name(s)  (Firstname...Lastname)"), 0, 0, 1, 2);
  for (int i = 0; i < 4; ++i) {
    g->addWidget(new QLabel(QString("Student #%1:").arg(i + 1)), i + 1, 0);
    Stud[i] = new QLineEdit(ToQ(model.Stud[i]));
    Stud[i]->setMaxLength(static_cast<int>(LoginCap::Name));
    Stud[i]->setMinimumWidth(300);
    g->addWidget(Stud[i], i + 1, 1);
  }
  g->addWidget(new QLabel("Laboratory Table Number:"), 5, 0);
  LabTbl = new QLineEdit(ToQ(model.LabTbl));
  g->addWidget(LabTbl, 5, 1);
  auto* ok = new QPushButton("&OK");
  ok->setDefault(true);
  g->addWidget(ok, 6, 1, Qt::AlignRight);
  connect(ok, &QPushButton::clicked, this, &TLoginDlg::OKBtnClick);
}

void TLoginDlg::OKBtnClick() {
  for (int i = 0; i < 4; ++i) model_.Stud[i] = FromQ(Stud[i]->text());
  model_.LabTbl = FromQ(LabTbl->text());
  if (model_.OKBtnClick()) accept();
}

void RegisterLoginForm() {
  QtPlatform::registerForm("TLoginDlg", [](DialogModel& m, QWidget* parent) {
    TLoginDlg dlg(static_cast<LoginDlgModel&>(m), parent);
    dlg.adjustSize();
    return dlg.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace hv
