#include "astrometry/forms/CatalogForms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWindow>
#include <memory>

#include "platform/qt/QtPlatform.h"

namespace hv {

namespace {
std::unique_ptr<TInfoBox> infoBox;
// How long the information box waits for the window system to map it.
constexpr qint64 MapWaitMs = 500;
}  // namespace

TCatlgPathForm::TCatlgPathForm(TCatlgPathDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  auto* top = new QVBoxLayout(this);
  DlgText = new QLabel;
  DlgText->setWordWrap(true);
  DlgText->setMinimumWidth(360);
  top->addWidget(DlgText);
  auto* drive = new QHBoxLayout;
  DrvLbl = new QLabel;
  DrvEd = new QLineEdit;
  DrvLbl->setBuddy(DrvEd);
  drive->addWidget(DrvLbl);
  drive->addWidget(DrvEd, 1);
  top->addLayout(drive);
  auto* buttons = new QHBoxLayout;
  OkBtn = new QPushButton("&OK");
  OkBtn->setDefault(true);
  CnclBtn = new QPushButton("&Cancel");
  BrwsBtn = new QPushButton("&Browse");
  buttons->addStretch();
  buttons->addWidget(OkBtn);
  buttons->addWidget(CnclBtn);
  buttons->addWidget(BrwsBtn);
  top->addLayout(buttons);

  connect(OkBtn, &QPushButton::clicked, this, &TCatlgPathForm::OkBtnClick);
  connect(CnclBtn, &QPushButton::clicked, this, &QDialog::reject);
  // Browse closes with Retry: the caller opens the folder chooser.
  connect(BrwsBtn, &QPushButton::clicked, this, [this] { done(2); });

  model_.FormActivate();
  setWindowTitle(ToQ(model_.Caption));
  DlgText->setText(ToQ(model_.DlgText));
  DrvLbl->setText(ToQ(model_.DrvLbl));
  DrvEd->setText(ToQ(model_.DrvEd));
}

void TCatlgPathForm::OkBtnClick() {
  model_.DrvEd = FromQ(DrvEd->text());
  if (model_.OkBtnClick() == ModalResult::OK) accept();
}

TInfoBox::TInfoBox(TInfoForm& model)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowStaysOnTopHint),
      model_(model) {
  auto* top = new QVBoxLayout(this);
  Label1 = new QLabel;
  Label1->setAlignment(Qt::AlignCenter);
  QFont f = Label1->font();
  f.setBold(true);
  Label1->setFont(f);
  Label1->setMinimumWidth(260);
  top->addWidget(Label1);
}

void TInfoBox::Follow() {
  if (model_.Visible) {
    setWindowTitle(ToQ(model_.Caption));
    Label1->setText(ToQ(model_.Text));
    show();
    raise();
    // No messages are handled while a catalog loads, so the box must be
    // painted before the caller blocks. A window just shown is mapped by the
    // window system a moment later and a paint before that is lost: wait
    // (briefly) until it is on the screen.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < MapWaitMs)
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  } else {
    hide();
  }
}

void RegisterCatalogForms() {
  QtPlatform::registerForm("TCatlgPathDlg", [](DialogModel& m, QWidget* parent) {
    auto& model = static_cast<TCatlgPathDlg&>(m);
    TCatlgPathForm dlg(model, parent);
    const int r = dlg.exec();
    if (r == QDialog::Accepted) return ModalResult::OK;
    return r == 2 ? ModalResult::Retry : ModalResult::Cancel;
  });
}

void CreateCatalogForms() {
  if (!InfoForm) return;
  infoBox = std::make_unique<TInfoBox>(*InfoForm);
  InfoForm->Changed = [] {
    if (infoBox) infoBox->Follow();
  };
}

void FreeCatalogForms() {
  if (InfoForm) InfoForm->Changed = nullptr;
  infoBox.reset();
}

}  // namespace hv
