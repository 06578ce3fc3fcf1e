#include "app/forms/SearchStrForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/QtPlatform.h"

namespace hv {

TGetSrchStrDlg::TGetSrchStrDlg(SearchStrModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(ToQ(model.Caption));
  setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
  auto* top = new QVBoxLayout(this);
  top->addWidget(new QLabel("Search String:"));
  SrchStr1 = new QLineEdit;
  SrchStr1->setMaxLength(static_cast<int>(SearchStrModel::MaxText));
  top->addWidget(SrchStr1);
  CaseCheck = new QCheckBox("Case Dependent");
  top->addWidget(CaseCheck);
  auto* group = new QGroupBox("Begin Search:");
  auto* row = new QHBoxLayout(group);
  auto* srchTop = new QPushButton("From &Top");
  auto* srchNext = new QPushButton("&From Cursor");
  auto* cancel = new QPushButton("&Cancel");
  srchTop->setDefault(true);
  row->addWidget(srchTop);
  row->addWidget(srchNext);
  row->addWidget(cancel);
  top->addWidget(group);
  connect(srchTop, &QPushButton::clicked, this,
          [this] { Finish(&SearchStrModel::SrchTopBtnClick); });
  connect(srchNext, &QPushButton::clicked, this,
          [this] { Finish(&SearchStrModel::SrchNextBtnClick); });
  connect(cancel, &QPushButton::clicked, this,
          [this] { Finish(&SearchStrModel::SrchCancelBtnClick); });

  // Activation: the edit shows the last text, all of it selected.
  model_.FormActivate();
  SrchStr1->setText(ToQ(model_.EditText));
  CaseCheck->setChecked(model_.CaseCheck);
  SrchStr1->selectAll();
  SrchStr1->setFocus();
}

void TGetSrchStrDlg::Finish(ModalResult (SearchStrModel::*button)()) {
  model_.EditText = FromQ(SrchStr1->text());
  model_.CaseCheck = CaseCheck->isChecked();
  ModalResult r = (model_.*button)();
  done(r == ModalResult::OK ? QDialog::Accepted : QDialog::Rejected);
}

void RegisterSearchForm() {
  QtPlatform::registerForm("TGetSrchStrDlg", [](DialogModel& m, QWidget* parent) {
    auto& model = static_cast<SearchStrModel&>(m);
    TGetSrchStrDlg dlg(model, parent);
    // Closing the window by its close box is a cancel.
    model.SearchMode = 2;
    int r = dlg.exec();
    return r == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace hv
