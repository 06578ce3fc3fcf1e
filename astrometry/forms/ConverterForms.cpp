#include "astrometry/forms/ConverterForms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

namespace {
std::unique_ptr<TGaugeWindow> gaugeWindow;

// A blue bar with its percentage centred: white over the filled part, black
// over the rest, so the figure stays readable all the way.
class BlueGauge : public QProgressBar {
 public:
  BlueGauge() {
    setRange(0, 100);
    setTextVisible(false);
    setStyleSheet("QProgressBar::chunk { background-color: blue; }");
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QProgressBar::paintEvent(e);
    QPainter p(this);
    const QRect r = rect();
    const int span = maximum() - minimum();
    const int filled = span > 0 ? r.width() * (value() - minimum()) / span : 0;
    const QString text = QString::number(value()) + "%";
    p.setClipRect(QRect(r.left(), r.top(), filled, r.height()));
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, text);
    p.setClipRect(QRect(r.left() + filled, r.top(), r.width() - filled, r.height()));
    p.setPen(Qt::black);
    p.drawText(r, Qt::AlignCenter, text);
  }
};
}  // namespace

void TBrowseEdit::mouseDoubleClickEvent(QMouseEvent* e) {
  QLineEdit::mouseDoubleClickEvent(e);
  if (DoubleClicked) DoubleClicked();
}

TGSCCnvrtDlg::TGSCCnvrtDlg(TGSCCnvrtForm1& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  setWindowTitle(ToQ(TGSCCnvrtForm1::Caption));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto row = [&](int r, const char* caption, TBrowseEdit*& edit) {
    auto* label = new QLabel(caption);
    edit = new TBrowseEdit;
    edit->setToolTip(ToQ(TGSCCnvrtForm1::PathHint));
    edit->setMinimumWidth(320);
    label->setBuddy(edit);
    grid->addWidget(label, r, 0);
    grid->addWidget(edit, r, 1);
    return label;
  };
  InPath1Lbl = row(0, "Input Path - Volume 1", InPath1Ed);
  InPath2Lbl = row(1, "Input Path - Volume 2", InPath2Ed);
  OutPathLbl = row(2, "Output Path:", OutPathEd);
  top->addLayout(grid);
  RstrtCk = new QCheckBox("Restart");
  RstrtCk->setToolTip(ToQ(TGSCCnvrtForm1::RestartHint));
  top->addWidget(RstrtCk);
  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("OK");
  OKBtn->setDefault(true);
  CnclBtn = new QPushButton("Cancel");
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CnclBtn);
  top->addLayout(buttons);

  connect(OKBtn, &QPushButton::clicked, this, &TGSCCnvrtDlg::OKBtnClick);
  connect(CnclBtn, &QPushButton::clicked, this, &QDialog::reject);
  // Each field is bound plainly to its own handler.
  InPath1Ed->DoubleClicked = [this] { Browse(&TGSCCnvrtForm1::InPath1EdDblClick); };
  InPath2Ed->DoubleClicked = [this] { Browse(&TGSCCnvrtForm1::InPath2EdDblClick); };
  OutPathEd->DoubleClicked = [this] { Browse(&TGSCCnvrtForm1::OutPathEdDblClick); };

  model_.FormActivate();
  Load();
}

void TGSCCnvrtDlg::Load() {
  InPath1Ed->setText(ToQ(model_.InPath1Ed));
  InPath2Ed->setText(ToQ(model_.InPath2Ed));
  OutPathEd->setText(ToQ(model_.OutPathEd));
  RstrtCk->setChecked(model_.RstrtCk);
}

void TGSCCnvrtDlg::Store() {
  model_.InPath1Ed = FromQ(InPath1Ed->text());
  model_.InPath2Ed = FromQ(InPath2Ed->text());
  model_.OutPathEd = FromQ(OutPathEd->text());
  model_.RstrtCk = RstrtCk->isChecked();
}

void TGSCCnvrtDlg::Browse(void (TGSCCnvrtForm1::*handler)()) {
  Store();
  (model_.*handler)();
  Load();
}

void TGSCCnvrtDlg::OKBtnClick() {
  Store();
  if (model_.OKBtnClick() == ModalResult::OK) accept();
}

TGaugeWindow::TGaugeWindow(TGaugeForm2& model)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint), model_(model) {
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto pair = [&](int r, const char* caption, QLabel*& label, QLabel*& text) {
    label = new QLabel(caption);
    text = new QLabel;
    text->setWordWrap(true);
    grid->addWidget(label, r, 0, Qt::AlignTop);
    grid->addWidget(text, r, 1);
  };
  pair(0, "Dir:", Label1, DirName);
  pair(1, "Percent Complete:", PrCntLbl, PrCntText);
  pair(2, "Elapsed Time:", ElpsdLbl, ElpsdText);
  pair(3, "Est. Time to Complete:", EstTmLbl, EstTmText);
  pair(4, "Currrent File:", CrntFlLbl, CrntFlText);
  DirName->setMinimumWidth(300);
  top->addLayout(grid);
  auto* panel = new QFrame;
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  auto* inPanel = new QVBoxLayout(panel);
  Gauge = new BlueGauge;
  inPanel->addWidget(Gauge);
  top->addWidget(panel);
  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("OK");
  CnclBtn = new QPushButton("Cancel");
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CnclBtn);
  buttons->addStretch();
  top->addLayout(buttons);
  connect(OKBtn, &QPushButton::clicked, this, [this] { model_.OKBtnClick(); });
  connect(CnclBtn, &QPushButton::clicked, this, [this] { model_.CnclBtnClick(); });
}

void TGaugeWindow::Follow() {
  if (!model_.Visible) {
    hide();
    return;
  }
  setWindowTitle(ToQ(model_.Caption));
  DirName->setText(ToQ(model_.DirName));
  // A long folder wraps: the label (and with it the window) grows to show
  // every line rather than clipping them.
  const int lines = DirName->heightForWidth(std::max(DirName->width(), DirName->minimumWidth()));
  if (lines > DirName->minimumHeight()) DirName->setMinimumHeight(lines);
  PrCntText->setText(ToQ(model_.PrCntText));
  ElpsdText->setText(ToQ(model_.ElpsdText));
  EstTmText->setText(ToQ(model_.EstTmText));
  CrntFlText->setText(ToQ(model_.CrntFlText));
  Gauge->setValue(model_.Gauge);
  OKBtn->setVisible(model_.OKBtnVisible);
  CnclBtn->setVisible(model_.CnclBtnVisible);
  // Modality takes effect when the window is shown.
  const Qt::WindowModality want = model_.Modal() ? Qt::ApplicationModal : Qt::NonModal;
  if (windowModality() != want) {
    const bool wasShown = isVisible();
    if (wasShown) hide();
    setWindowModality(want);
  }
  if (!isVisible()) {
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      const QSize frame = FrameSize(*this);
      MoveFrame(*this, screen->availableGeometry().center() -
                           QPoint(frame.width() / 2, frame.height() / 2));
    }
    show();
  }
  (model_.CnclBtnVisible ? CnclBtn : OKBtn)->setFocus();
  raise();
  repaint();
}

void TGaugeWindow::closeEvent(QCloseEvent* e) {
  if (model_.Running) {
    // Closing while the work runs means cancelling it: asked first.
    e->ignore();
    model_.CnclBtnClick();
    return;
  }
  e->accept();
  model_.Close();
}

void RegisterConverterForms() {
  QtPlatform::registerForm("TGSCCnvrtForm1", [](DialogModel& m, QWidget* parent) {
    TGSCCnvrtDlg dlg(static_cast<TGSCCnvrtForm1&>(m), parent);
    return dlg.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

void CreateConverterForms() {
  if (!GaugeForm2) return;
  gaugeWindow = std::make_unique<TGaugeWindow>(*GaugeForm2);
  GaugeForm2->Changed = [] {
    if (gaugeWindow) gaugeWindow->Follow();
  };
  // Once per region: repaints, and the Cancel button (the window is modal,
  // so nothing else can be used meanwhile).
  GaugeForm2->PumpEvents = [] { QApplication::processEvents(QEventLoop::AllEvents); };
}

void FreeConverterForms() {
  if (GaugeForm2) {
    GaugeForm2->Changed = nullptr;
    GaugeForm2->PumpEvents = nullptr;
  }
  gaugeWindow.reset();
}

TGaugeWindow* GaugeWindow() { return gaugeWindow.get(); }

}  // namespace hv
