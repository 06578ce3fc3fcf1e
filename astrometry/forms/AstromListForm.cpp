#include "astrometry/forms/AstromListForm.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/qt/QtPlatform.h"

namespace hv {

AstromListForm::AstromListForm(AstromListModel& model, QWidget* parent)
    : TInfoListForm1(model, parent) {
  LoadFromModel();
}

void AstromListForm::LoadFromModel() {
  TInfoListForm1::LoadFromModel();
  const AstromListModel& m = reportModel();
  EditHeaderSep->setVisible(m.EditHeaderVisible);
  EditHeader1->setVisible(m.EditHeaderVisible);
  CommaDelimit->setVisible(m.CommaDelimitVisible);
  ChartMenu->menuAction()->setEnabled(m.ChartEnabled);
}

TEdit80Dlg::TEdit80Dlg(Edit80DlgModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle(ToQ(model_.Caption));
  setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
  // A fixed-pitch font, so that the rulers stand under the edit's columns.
  QFont f("Courier New");
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  f.setPixelSize(14);
  f.setBold(true);
  setFont(f);

  Edit1 = new QLineEdit;
  Edit1->setMaxLength(static_cast<int>(Edit80DlgModel::MaxLength));
  Label1 = new QLabel(ToQ(Edit80DlgModel::RulerDigits()));
  Label2 = new QLabel(ToQ(Edit80DlgModel::RulerTens()));
  // The edit's text starts after its frame and its own margin; the rulers
  // start there too.
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, Edit1);
  const int indent = frame + 2 + Edit1->textMargins().left();
  for (QLabel* l : {Label1, Label2}) {
    l->setContentsMargins(indent, 0, 0, 0);
    l->setTextFormat(Qt::PlainText);
  }
  QFontMetrics fm(f);
  Edit1->setMinimumWidth(fm.horizontalAdvance(QString(Edit80DlgModel::MaxLength + 1, 'M')) +
                         2 * indent);

  OkBtn = new QPushButton("&OK");
  OkBtn->setDefault(true);
  CnclBtn = new QPushButton("&Cancel");

  auto* top = new QVBoxLayout(this);
  top->addWidget(Edit1);
  top->setSpacing(2);
  top->addWidget(Label1);
  top->addWidget(Label2);
  top->addSpacing(10);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkBtn);
  buttons->addWidget(CnclBtn);
  buttons->addStretch();
  top->addLayout(buttons);
  // The captions of the buttons in the system font.
  for (QPushButton* b : {OkBtn, CnclBtn}) b->setFont(QApplication::font());

  connect(OkBtn, &QPushButton::clicked, this, &TEdit80Dlg::OkBtnClick);
  connect(CnclBtn, &QPushButton::clicked, this, &QDialog::reject);

  Edit1->setText(ToQ(model_.Edit1));
  Edit1->setFocus();
  setFixedSize(sizeHint());
}

void TEdit80Dlg::OkBtnClick() {
  model_.Edit1 = FromQ(Edit1->text());
  accept();
}

void RegisterAstromListForms() {
  QtPlatform::registerForm("TEdit80Dlg", [](DialogModel& m, QWidget* parent) {
    TEdit80Dlg dlg(static_cast<Edit80DlgModel&>(m), parent);
    return dlg.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace hv
