#include "images/forms/BlinkForms.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <exception>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

namespace {
// An exception from a command is shown, never passed into the event loop.
template <class F>
void Guarded(QWidget* w, F f) {
  try {
    f();
  } catch (const std::exception& e) {
    QtPlatform p;
    p.setParentWindow(w);
    ShowError(p, "Halvardin", e.what());
  }
}
ModalResult FromCode(int code) {
  return code == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
}
}  // namespace

// ------------------------------------------------------------ window

TBlinkForm1Widget::TBlinkForm1Widget(TBlinkForm1& model, QWidget* parent)
    : TImageForm1Widget(model, parent, false), model_(model) {
  setWindowFlag(Qt::WindowCloseButtonHint, true);
  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this,
          [this] { Guarded(this, [this] { model_.BlinkTimerTimer(); }); });
  BuildBlinkMenus();
  init_ = new TBlinkInitForm1Widget(model_.BlinkInitForm(), this);
  StateChanged();
}

void TBlinkForm1Widget::CentreOnFirstShowing() {
  if (centred_) return;
  centred_ = true;
  // Centred at the size the images gave it, so that it lies on the screen.
  adjustSize();
  if (QScreen* sc = screen()) {
    const QRect g = sc->availableGeometry();
    const QSize frame = FrameSize(*this);
    PlaceFrame(model_.platform(), *this,
               g.center() - QPoint(frame.width() / 2, frame.height() / 2));
  }
}

TBlinkForm1Widget::~TBlinkForm1Widget() = default;

void TBlinkForm1Widget::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!e->spontaneous()) Guarded(this, [this] { model_.FormShow(); });
}

QAction* TBlinkForm1Widget::Action(const char* name) const {
  for (QAction* a : findChildren<QAction*>())
    if (a->objectName() == name) return a;
  return nullptr;
}

void TBlinkForm1Widget::BuildBlinkMenus() {
  auto on = [this](QAction* a, const char* name, auto f) {
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, f] { Guarded(this, [this, f] { f(); }); });
    return a;
  };
  QMenuBar* bar = MenuBar();
  QMenu* adjust = bar->addMenu("&Adjust");
  adjust1_ = adjust->menuAction();
  adjust1_->setObjectName("Adjust1");
  fieldAlignment1_ = on(adjust->addAction("Field &Alignment..."), "FieldAlignment1",
                        [this] { model_.Initialize1Click(); });
  adjust->addSeparator();
  blinkOptions1_ = on(adjust->addAction("Blink &Options..."), "BlinkOptions1",
                      [this] { model_.BlinkOptions1Click(); });
  blinkRate1_ =
      on(adjust->addAction("Blink &Rate..."), "BlinkRate1", [this] { model_.BlinkRate1Click(); });
  adjust->addSeparator();
  zoom1_ = on(adjust->addAction("Set Blink &Region (Zoom)..."), "Zoom1",
              [this] { model_.Zoom1Click(); });
  unZoom1_ = on(adjust->addAction("Blink &Full Image (UnZoom)"), "UnZoom1",
                [this] { model_.UnZoom1Click(); });
  adjust->addSeparator();
  QMenu* images = adjust->addMenu("&Image Display");
  imageParameters1_ = images->menuAction();
  connect(images, &QMenu::aboutToShow, this, [this] { model_.ImageParameters1Click(); });
  for (int n = 0; n < 4; ++n) {
    if (n > 0) images->addSeparator();
    const std::string caption = "Image &" + std::to_string(n + 1) + "...";
    static const char* names[] = {"Image11", "Image21", "Image31", "Image41"};
    mainImages_[n] =
        on(images->addAction(ToQ(caption)), names[n], [this, n] { model_.AdjustImage(n); });
    mainImages_[n]->setCheckable(true);
  }
  adjust->addSeparator();
  on(adjust->addAction("&Exit"), "Exit1", [this] { model_.Exit1Click(); });
  blink1_ = on(bar->addAction("&Blink"), "Blink1", [this] { model_.Blink1Click(); });
  stop1_ = on(bar->addAction("&Stop"), "Stop1", [this] { model_.Stop1Click(); });
  target1_ = on(bar->addAction("Identify &Target"), "Target1", [this] { model_.Target1Click(); });

  QMenu& pop = Popup();
  fieldAlignment2_ = on(pop.addAction("Field &Alignment..."), "FieldAlignment2",
                        [this] { model_.Initialize1Click(); });
  pop.addSeparator();
  on(pop.addAction("Blink &Options..."), "BlinkOptions2", [this] { model_.BlinkOptions1Click(); });
  on(pop.addAction("Blink &Rate..."), "BlinkRate2", [this] { model_.BlinkRate1Click(); });
  zoom2_ =
      on(pop.addAction("Set Blink &Region (Zoom)..."), "Zoom2", [this] { model_.Zoom1Click(); });
  pop.addSeparator();
  QMenu* display = pop.addMenu("Image &Display...");
  imageDisplay1_ = display->menuAction();
  connect(display, &QMenu::aboutToShow, this, [this] { model_.ImageDisplay1Click(); });
  for (int n = 0; n < 4; ++n) {
    if (n > 0) display->addSeparator();
    const std::string caption = "Image &" + std::to_string(n + 1) + "...";
    static const char* names[] = {"Image12", "Image22", "Image32", "Image42"};
    popupImages_[n] =
        on(display->addAction(ToQ(caption)), names[n], [this, n] { model_.AdjustImage(n); });
    popupImages_[n]->setCheckable(true);
  }
}

void TBlinkForm1Widget::StateChanged() {
  TImageForm1Widget::StateChanged();
  if (!blink1_) return;  // still being made
  const BlinkMenuState& m = model_.BlinkMenus;
  adjust1_->setEnabled(m.Adjust1);
  fieldAlignment1_->setEnabled(m.FieldAlignment1);
  zoom1_->setEnabled(m.Zoom1);
  zoom2_->setEnabled(m.Zoom2);
  unZoom1_->setEnabled(m.UnZoom1);
  blink1_->setEnabled(m.Blink1);
  stop1_->setEnabled(m.Stop1);
  target1_->setEnabled(m.Target1);
  for (int n = 0; n < 4; ++n) {
    mainImages_[n]->setEnabled(m.ImageItems[n]);
    popupImages_[n]->setEnabled(m.ImageItems[n]);
    mainImages_[n]->setChecked(m.MainChecked[n]);
    popupImages_[n]->setChecked(m.PopupChecked[n]);
  }
  if (model_.TimerEnabled) {
    if (timer_.interval() != model_.TimerInterval) timer_.setInterval(model_.TimerInterval);
    if (!timer_.isActive()) timer_.start();
  } else if (timer_.isActive()) {
    timer_.stop();
  }
}

// ----------------------------------------------------- alignment dialog

TBlinkInitForm1Widget::TBlinkInitForm1Widget(TBlinkInitForm1& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_(model) {
  setModal(false);
  auto* top = new QVBoxLayout(this);
  msg1_ = new QLabel;
  msg1_->setWordWrap(true);
  msg1_->setMinimumWidth(260);
  msg2_ = new QLabel;
  top->addWidget(msg1_);
  top->addWidget(msg2_);
  auto* row = new QHBoxLayout;
  cont_ = new QPushButton("C&ontinue...");
  cancel_ = new QPushButton("&Cancel");
  cont_->setDefault(true);
  row->addWidget(cont_);
  row->addWidget(cancel_);
  top->addLayout(row);
  connect(cont_, &QPushButton::clicked, this,
          [this] { Guarded(this, [this] { m_.ContBtnClick(); }); });
  connect(cancel_, &QPushButton::clicked, this,
          [this] { Guarded(this, [this] { m_.CnclBtnClick(); }); });
  m_.SetView(this);
  StateChanged();
}

TBlinkInitForm1Widget::~TBlinkInitForm1Widget() { m_.SetView(nullptr); }

void TBlinkInitForm1Widget::StateChanged() {
  setWindowTitle(ToQ(m_.Caption));
  // Wide enough that the title bar shows the whole caption.
  setMinimumWidth(TitleFitWidth(windowTitle()));
  msg1_->setText(ToQ(m_.MsgLbl1));
  msg2_->setText(ToQ(m_.MsgLbl2));
  cancel_->setVisible(m_.CnclBtnVisible);
  if (m_.Visible && !isVisible()) {
    adjustSize();
    if (QScreen* sc = screen()) {
      const QRect g = sc->geometry();
      const QSize frame = FrameSize(*this);
      PlaceFrame(m_.platform(), *this,
                 QPoint(g.width() - frame.width() - 10, g.height() - frame.height() - 30));
    }
    show();
    cont_->setFocus();
  } else if (!m_.Visible && isVisible()) {
    hide();
  }
}

void TBlinkInitForm1Widget::closeEvent(QCloseEvent* e) {
  e->ignore();
  if (m_.Visible) m_.Close();
}

void TBlinkInitForm1Widget::reject() {
  if (m_.Visible) m_.Close();
}

// ------------------------------------------------------ small dialogs

namespace {

class BlinkOptionsForm : public QDialog {
 public:
  BlinkOptionsForm(TBlinkOptions& m, QWidget* parent)
      : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_(m) {
    setWindowTitle("Blink Options");
    auto* top = new QVBoxLayout(this);
    auto* label =
        new QLabel("Specify Image Number for each frame.  Frames with no image do not appear.");
    label->setWordWrap(true);
    top->addWidget(label);
    auto* frames = new QHBoxLayout;
    static const char* items[] = {"1", "2", "3", "4", "None"};
    for (int i = 0; i < 4; ++i) {
      auto* box = new QGroupBox(ToQ("Frame " + std::to_string(i + 1)));
      box->setObjectName(ToQ("Frame" + std::to_string(i + 1)));
      auto* col = new QVBoxLayout(box);
      groups_[i] = new QButtonGroup(this);
      for (int k = 0; k < 5; ++k) {
        auto* r = new QRadioButton(items[k]);
        col->addWidget(r);
        groups_[i]->addButton(r, k);
      }
      connect(groups_[i], &QButtonGroup::idClicked, this, [this, i](int k) {
        m_.FrameClick(i, k);
        Load();
      });
      frames->addWidget(box);
    }
    top->addLayout(frames);
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton("&OK");
    auto* cancel = new QPushButton("&Cancel");
    ok->setDefault(true);
    row->addWidget(ok);
    row->addWidget(cancel);
    top->addLayout(row);
    connect(ok, &QPushButton::clicked, this, [this] {
      const ModalResult r = m_.OKBtnClick();
      if (r == ModalResult::OK)
        accept();
      else if (r == ModalResult::Cancel)
        QDialog::reject();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_.FormActivate();
    Load();
  }

 private:
  void reject() override {
    m_.CancelBtnClick();
    QDialog::reject();
  }
  void Load() {
    for (int i = 0; i < 4; ++i)
      if (QAbstractButton* b = groups_[i]->button(m_.Choice[i])) b->setChecked(true);
  }
  TBlinkOptions& m_;
  std::array<QButtonGroup*, 4> groups_{};
};

class BlnkTmrForm : public QDialog {
 public:
  BlnkTmrForm(TBlnkTmrDlg& m, QWidget* parent) : QDialog(parent), m_(m) {
    setWindowTitle("Set Blink Interval");
    auto* top = new QVBoxLayout(this);
    auto* line = new QHBoxLayout;
    line->addWidget(new QLabel("Set Blink Milliseconds:"));
    ro_ = new QLabel;
    ro_->setObjectName("ScrlRdOut");
    line->addWidget(ro_);
    top->addLayout(line);
    bar_ = new QScrollBar(Qt::Horizontal);
    bar_->setObjectName("TimerScroll");
    bar_->setRange(TBlnkTmrDlg::Min, TBlnkTmrDlg::Max);
    bar_->setPageStep(TBlnkTmrDlg::LargeStep);
    bar_->setMinimumWidth(240);
    top->addWidget(bar_);
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton("&OK");
    auto* cancel = new QPushButton("&Cancel");
    auto* dflt = new QPushButton("&Default");
    ok->setDefault(true);
    row->addWidget(ok);
    row->addWidget(cancel);
    row->addWidget(dflt);
    top->addLayout(row);
    m_.FormActivate();
    Load();
    connect(bar_, &QScrollBar::valueChanged, this, [this](int v) {
      m_.TimerScrollChange(v);
      Load();
    });
    connect(dflt, &QPushButton::clicked, this, [this] {
      m_.DfltBtnClick();
      Load();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
      m_.OkBtnClick();
      accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

 private:
  void Load() {
    QSignalBlocker b(bar_);
    bar_->setValue(m_.Position);
    ro_->setText(ToQ(m_.ScrlRdOut));
  }
  TBlnkTmrDlg& m_;
  QScrollBar* bar_;
  QLabel* ro_;
};

template <class Form, class Model>
void Register(const char* name) {
  QtPlatform::registerForm(name, [](DialogModel& m, QWidget* parent) {
    Form f(static_cast<Model&>(m), parent);
    return FromCode(f.exec());
  });
}

}  // namespace

void RegisterBlinkForms() {
  Register<BlinkOptionsForm, TBlinkOptions>("TBlinkOptions");
  Register<BlnkTmrForm, TBlnkTmrDlg>("TBlnkTmrDlg");
}

}  // namespace hv
