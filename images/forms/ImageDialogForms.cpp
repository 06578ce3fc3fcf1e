#include "images/forms/ImageDialogForms.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <type_traits>

#include "controls/forms/Leds.h"
#include "images/Display.h"
#include "images/ImageDialogs.h"
#include "images/ImgSizeDlg.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

namespace {

constexpr int kRetry = 3;

ModalResult FromCode(int code) {
  return code == QDialog::Accepted ? ModalResult::OK
         : code == kRetry          ? ModalResult::Retry
                                   : ModalResult::Cancel;
}

QPushButton* Button(const char* text, QBoxLayout* row) {
  auto* b = new QPushButton(text);
  row->addWidget(b);
  return b;
}

QSpinBox* Spin(int lo, int hi, int step) {
  auto* s = new QSpinBox;
  s->setRange(lo, hi);
  s->setSingleStep(step);
  return s;
}

// ------------------------------------------------------------ size dialog

class ImgSizeForm : public QDialog {
 public:
  ImgSizeForm(TImgSizeDlg& m, QWidget* parent) : QDialog(parent), m_(m) {
    setWindowTitle(ToQ(m.Caption));
    auto* top = new QVBoxLayout(this);
    auto* group = new QGroupBox("Image Width");
    auto* g = new QHBoxLayout(group);
    bar_ = new QScrollBar(Qt::Horizontal);
    bar_->setPageStep(TImgSizeDlg::ScrollLargeChange);
    bar_->setMinimumWidth(200);
    ro_ = new QLabel;
    g->addWidget(bar_);
    g->addWidget(ro_);
    top->addWidget(group);
    auto* row = new QHBoxLayout;
    auto* ok = Button("&OK", row);
    auto* cancel = Button("&Cancel", row);
    auto* dflt = Button("&Default", row);
    top->addLayout(row);
    ok->setDefault(true);
    m_.FormActivate();
    Load();
    connect(bar_, &QScrollBar::valueChanged, this, [this](int v) {
      m_.WdthScrollChange(v);
      Load();
    });
    connect(dflt, &QPushButton::clicked, this, [this] {
      m_.DfltBtn1Click();
      Load();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
      m_.OkBtn1Click();
      accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

 private:
  void Load() {
    QSignalBlocker b(bar_);
    bar_->setRange(m_.ScrollMin, m_.ScrollMax);
    bar_->setValue(m_.ScrollPos);
    ro_->setText(ToQ(m_.WdthRO));
  }
  TImgSizeDlg& m_;
  QScrollBar* bar_;
  QLabel* ro_;
};

// ------------------------------------------------------------- box dialog

class BoxForm : public QDialog {
 public:
  BoxForm(TBoxDlgForm1& m, QWidget* parent) : QDialog(parent), m_(m) {
    setWindowTitle(ToQ(m.Caption));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel("All Values in Pixels:"));
    auto* grid = new QGridLayout;
    box_ = Spin(TBoxDlgForm1::BoxMin, TBoxDlgForm1::BoxMax, 2);
    img_ = Spin(TBoxDlgForm1::BoxMin, TBoxDlgForm1::BoxMax, 2);
    sky_ = Spin(TBoxDlgForm1::SkyMin, TBoxDlgForm1::SkyMax, 1);
    grid->addWidget(new QLabel("Box Width for Peak Search"), 0, 0);
    grid->addWidget(box_, 0, 1);
    grid->addWidget(new QLabel("Region Diameter for Centroid"), 1, 0);
    grid->addWidget(img_, 1, 1);
    grid->addWidget(new QLabel("Width of Sky \"Border\""), 2, 0);
    grid->addWidget(sky_, 2, 1);
    top->addLayout(grid);
    auto* row = new QHBoxLayout;
    auto* ok = Button("OK", row);
    auto* cancel = Button("Cancel", row);
    auto* dflt = Button("&Defaults", row);
    dflt->setToolTip("Restore internal default values.");
    dflt->setDefault(true);
    top->addLayout(row);
    m_.FormActivate();
    Load();
    connect(box_, &QSpinBox::valueChanged, this, [this](int v) {
      m_.BoxWdEdChange(v);
      Load();
    });
    connect(img_, &QSpinBox::valueChanged, this, [this](int v) {
      m_.ImgWdEdChange(v);
      Load();
    });
    connect(sky_, &QSpinBox::valueChanged, this, [this](int v) { m_.SkyWdEdChange(v); });
    connect(dflt, &QPushButton::clicked, this, [this] {
      m_.DfltBtnClick();
      Load();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
      m_.OKBtnClick();
      accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

 private:
  void Load() {
    QSignalBlocker a(box_), b(img_), c(sky_);
    box_->setValue(m_.BoxWd);
    img_->setValue(m_.ImgWd);
    sky_->setValue(m_.SkyWd);
  }
  TBoxDlgForm1& m_;
  QSpinBox *box_, *img_, *sky_;
};

// ------------------------------------------------------- magnify region

class MagnRgnForm : public QDialog {
 public:
  MagnRgnForm(TMagnRgnDlg& m, QWidget* parent) : QDialog(parent), m_(m) {
    setWindowTitle(ToQ(m.Caption));
    auto* top = new QVBoxLayout(this);
    top->addWidget(
        new QLabel("Enter region width in pixels.  Default is \"box\" size plus sky border."));
    edit_ = Spin(TMagnRgnDlg::EditMin, TMagnRgnDlg::EditMax, 2);
    top->addWidget(edit_);
    auto* row = new QHBoxLayout;
    auto* ok = Button("OK", row);
    auto* cancel = Button("Cancel", row);
    auto* dflt = Button("&Default", row);
    dflt->setToolTip("Restore internal default values.");
    dflt->setDefault(true);
    top->addLayout(row);
    m_.FormActivate();
    edit_->setValue(m_.Edit);
    connect(edit_, &QSpinBox::valueChanged, this, [this](int v) { m_.BoxWdEdChange(v); });
    connect(dflt, &QPushButton::clicked, this, [this] {
      m_.DfltBtnClick();
      QSignalBlocker b(edit_);
      edit_->setValue(m_.Edit);
    });
    connect(ok, &QPushButton::clicked, this, [this] {
      m_.OKBtnClick();
      accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

 private:
  TMagnRgnDlg& m_;
  QSpinBox* edit_;
};

// ------------------------------------------------------------ radio groups

struct RadioGroup {
  QGroupBox* box = nullptr;
  QButtonGroup* group = nullptr;
  RadioGroup(const char* caption, std::initializer_list<const char*> items, QWidget* owner) {
    box = new QGroupBox(caption);
    group = new QButtonGroup(owner);
    group->setExclusive(true);
    auto* l = new QVBoxLayout(box);
    int i = 0;
    for (const char* t : items) {
      auto* r = new QRadioButton(t);
      group->addButton(r, i++);
      l->addWidget(r);
    }
  }
  // -1 shows no choice.
  void Set(int index, bool enabled) {
    QSignalBlocker b(group);
    group->setExclusive(false);
    for (QAbstractButton* r : group->buttons()) r->setChecked(group->id(r) == index);
    group->setExclusive(true);
    box->setEnabled(enabled);
  }
};

class ImgFileTypeForm : public QDialog {
 public:
  ImgFileTypeForm(TImgFileTypeDlg& m, QWidget* parent)
      : QDialog(parent),
        m_(m),
        type_("File Format", {"&FITS", "ST-&4", "Other S&BIG"}, this),
        time_("File Header Time is:",
              {"&Start of Exposure", "&Midpoint of Exp.", "&End of Exposure"}, this) {
    setWindowTitle(ToQ(m.Caption));
    auto* top = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    groups->addWidget(type_.box);
    groups->addWidget(time_.box);
    top->addLayout(groups);
    auto* row = new QHBoxLayout;
    auto* ok = Button("OK", row);
    auto* cancel = Button("Cancel", row);
    ok->setDefault(true);
    top->addLayout(row);
    m_.FormActivate();
    Load();
    connect(type_.group, &QButtonGroup::idClicked, this, [this](int id) {
      m_.FlTypeGrpClick(id);
      Load();
    });
    connect(time_.group, &QButtonGroup::idClicked, this,
            [this](int id) { m_.TimeTypGrpClick(id); });
    connect(ok, &QPushButton::clicked, this, [this] {
      done(m_.OKBtnClick() == ModalResult::OK ? QDialog::Accepted : QDialog::Rejected);
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

 private:
  void Load() {
    type_.Set(m_.FlTypeGrp, m_.FlTypeGrpEnabled);
    time_.Set(m_.TimeTypGrp, m_.TimeTypGrpEnabled);
  }
  TImgFileTypeDlg& m_;
  RadioGroup type_, time_;
};

class ImgSlctForm : public QDialog {
 public:
  ImgSlctForm(TImgSlctForm1& m, QWidget* parent) : QDialog(parent), m_(m) {
    m_.FormActivate();
    setWindowTitle(ToQ(m.Caption));
    auto* top = new QVBoxLayout(this);
    for (int n = 0; n < 4; ++n) {
      boxes_[n] = new QCheckBox(QString("Image %1").arg(n + 1));
      boxes_[n]->setEnabled(m_.BoxEnabled[n]);
      boxes_[n]->setChecked(m_.BoxChecked[n]);
      top->addWidget(boxes_[n]);
    }
    auto* row = new QHBoxLayout;
    auto* ok = Button("OK", row);
    auto* cancel = Button("Cancel", row);
    ok->setDefault(true);
    top->addLayout(row);
    connect(ok, &QPushButton::clicked, this, [this] {
      for (int n = 0; n < 4; ++n) m_.BoxChecked[n] = boxes_[n]->isChecked();
      m_.OKBtnClick();
      accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

 private:
  TImgSlctForm1& m_;
  std::array<QCheckBox*, 4> boxes_{};
};

// ------------------------------------------------------- adjustment dialog

class ImgAdjstForm : public QDialog {
 public:
  ImgAdjstForm(TImgAdjstDlg& m, QWidget* parent) : QDialog(parent), m_(m) {
    setWindowTitle(ToQ(m.Caption));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    auto* top = new QVBoxLayout(this);
    auto bar = [](int lo, int hi, int page) {
      auto* b = new QScrollBar(Qt::Horizontal);
      b->setRange(lo, hi);
      b->setPageStep(page);
      b->setMinimumWidth(180);
      return b;
    };
    auto* bc = new QHBoxLayout;
    auto* briteGrp = new QGroupBox("Brightness");
    auto* bl = new QHBoxLayout(briteGrp);
    brite_ = bar(-100, 100, 10);
    briteRO_ = new QLabel;
    bl->addWidget(brite_);
    bl->addWidget(briteRO_);
    auto* cntrstGrp = new QGroupBox("Contrast");
    auto* cl = new QHBoxLayout(cntrstGrp);
    cntrst_ = bar(-100, 100, 10);
    cntrstRO_ = new QLabel;
    cl->addWidget(cntrst_);
    cl->addWidget(cntrstRO_);
    bc->addWidget(briteGrp);
    bc->addWidget(cntrstGrp);
    top->addLayout(bc);

    auto* adj = new QGroupBox("Adjust Background, Range");
    auto* al = new QGridLayout(adj);
    bkgrnd_ = bar(-10, 10, 4);
    image_ = bar(0, 20, 4);
    bkgrndRO_ = new QLabel;
    imagRO_ = new QLabel;
    al->addWidget(new QLabel("Background Level"), 0, 0);
    al->addWidget(bkgrnd_, 0, 1);
    al->addWidget(bkgrndRO_, 0, 2);
    al->addWidget(new QLabel("Image Range"), 1, 0);
    al->addWidget(image_, 1, 1);
    al->addWidget(imagRO_, 1, 2);
    top->addWidget(adj);

    // The form's load-time sizes: 14 x 14 for the left-right and original
    // indicators, 15 x 15 for the up-down and default ones.
    auto led = [](bool red, int size) {
      auto* l = new TiLedRound;
      l->SetWidth(size);
      l->SetHeight(size);
      l->setFixedSize(size, size);
      if (red) l->SetActiveColor(clRed);
      return l;
    };
    auto* orient = new QGroupBox("Reverse Image Orientation");
    auto* ol = new QGridLayout(orient);
    lft_ = new QPushButton("<->");
    rgt_ = new QPushButton("->|<-");
    dwn_ = new QPushButton("Down");
    up_ = new QPushButton("Up");
    lft_->setToolTip("Reverse image file left-right orientation.");
    rgt_->setToolTip("Restore image file left-right orientation.");
    dwn_->setToolTip("Reverse image file up-down orientation.");
    up_->setToolTip("Restore image file up-down orientation.");
    xChange_ = led(true, 14);
    yChange_ = led(true, 15);
    ol->addWidget(lft_, 0, 0);
    ol->addWidget(rgt_, 0, 1);
    ol->addWidget(xChange_, 0, 2);
    ol->addWidget(dwn_, 1, 0);
    ol->addWidget(up_, 1, 1);
    ol->addWidget(yChange_, 1, 2);
    auto* orig = new QGroupBox("Original Display");
    auto* gl = new QHBoxLayout(orig);
    auto* origBtn = new QPushButton("Original");
    origBtn->setToolTip("Restore image file orientation, zero brightness & contrast settings.");
    origLED_ = led(false, 14);
    gl->addWidget(origBtn);
    gl->addWidget(origLED_);
    auto* dflt = new QGroupBox("Default Settings");
    auto* dl = new QHBoxLayout(dflt);
    auto* dfltBtn = new QPushButton("Default");
    dfltBtn->setToolTip("Restore default orientation, brightness and contrast.");
    dfltLED_ = led(false, 15);
    dl->addWidget(dfltBtn);
    dl->addWidget(dfltLED_);
    auto* mid = new QHBoxLayout;
    mid->addWidget(orient);
    mid->addWidget(orig);
    mid->addWidget(dflt);
    top->addLayout(mid);

    invrt_ = new QCheckBox("&Invert Display");
    invrt_->setToolTip("Switch black/white values");
    save_ = new QCheckBox("&Use Settings as Defaults");
    save_->setToolTip("Apply current settings to all images when loaded.");
    bkgrndGrp_ =
        new RadioGroup("Initial Bkgrnd, Range", {"Statistical &Estimate", "&Header Values"}, this);
    auto* low = new QHBoxLayout;
    auto* checks = new QVBoxLayout;
    checks->addWidget(invrt_);
    checks->addWidget(save_);
    low->addLayout(checks);
    low->addWidget(bkgrndGrp_->box);
    top->addLayout(low);

    auto* row = new QHBoxLayout;
    apply_ = Button("&Apply Changes", row);
    apply_->setToolTip("Regenerate image using current settings.");
    auto* ok = Button("&OK", row);
    auto* cancel = Button("&Cancel", row);
    ok->setDefault(true);
    top->addLayout(row);

    m_.FormActivate();
    Load();
    auto run = [this](auto f) {
      return [this, f](auto... args) {
        if constexpr (std::is_invocable_v<decltype(f), decltype(args)...>)
          f(args...);
        else
          f();
        Load();
      };
    };
    connect(brite_, &QScrollBar::valueChanged, this,
            run([this](int v) { m_.BriteScrollChange(v); }));
    connect(cntrst_, &QScrollBar::valueChanged, this,
            run([this](int v) { m_.CntrstScrollChange(v); }));
    connect(bkgrnd_, &QScrollBar::valueChanged, this,
            run([this](int v) { m_.BkgrndScrollChange(v); }));
    connect(image_, &QScrollBar::valueChanged, this,
            run([this](int v) { m_.ImageScrollChange(v); }));
    connect(lft_, &QPushButton::clicked, this, run([this] { m_.LftBtnClick(); }));
    connect(rgt_, &QPushButton::clicked, this, run([this] { m_.RgtBtnClick(); }));
    connect(dwn_, &QPushButton::clicked, this, run([this] { m_.DwnBtnClick(); }));
    connect(up_, &QPushButton::clicked, this, run([this] { m_.UpBtnClick(); }));
    connect(invrt_, &QCheckBox::clicked, this, run([this](bool c) { m_.InvrtChkClick(c); }));
    connect(save_, &QCheckBox::clicked, this, [this](bool c) { m_.SaveChkClick(c); });
    connect(bkgrndGrp_->group, &QButtonGroup::idClicked, this,
            [this](int id) { m_.BkgrndGrpClick(id); });
    connect(origBtn, &QPushButton::clicked, this, run([this] { m_.OrigBtn1Click(); }));
    connect(dfltBtn, &QPushButton::clicked, this, run([this] { m_.DfltBtn1Click(); }));
    connect(apply_, &QPushButton::clicked, this, [this] {
      m_.ApplyBtnClick();
      done(kRetry);
    });
    connect(ok, &QPushButton::clicked, this, [this] {
      m_.OkBtn1Click();
      accept();
    });
    // Cancel runs once, through reject (the close box and Escape end there too).
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    adjustSize();
    if (QScreen* s = screen()) {
      const QRect g = s->availableGeometry();
      const int x = g.left() + (g.width() - width()) / 2;
      const QSize frame = FrameSize(*this);
      const int y = m_.ImageMode ? g.bottom() - 30 - frame.height()
                                 : g.top() + (g.height() - frame.height()) / 2;
      MoveFrame(*this, QPoint(x, y));
    }
  }
  ~ImgAdjstForm() override { delete bkgrndGrp_; }

 protected:
  void reject() override {
    // The close box counts as Cancel.
    if (!cancelled_) {
      cancelled_ = true;
      m_.CnclBtn1Click();
    }
    QDialog::reject();
  }

 private:
  void Load() {
    QSignalBlocker a(brite_), b(cntrst_), c(bkgrnd_), d(image_);
    brite_->setValue(m_.BriteBar);
    cntrst_->setValue(m_.CntrstBar);
    bkgrnd_->setValue(m_.BkgrndBar);
    image_->setValue(m_.ImageBar);
    briteRO_->setText(ToQ(m_.BriteRO));
    cntrstRO_->setText(ToQ(m_.CntrstRO));
    bkgrndRO_->setText(ToQ(m_.BkgrndRO));
    imagRO_->setText(ToQ(m_.ImagRO));
    lft_->setEnabled(m_.LftBtnEnabled);
    rgt_->setEnabled(m_.RgtBtnEnabled);
    dwn_->setEnabled(m_.DwnBtnEnabled);
    up_->setEnabled(m_.UpBtnEnabled);
    xChange_->SetActive(m_.XChange);
    yChange_->SetActive(m_.YChange);
    origLED_->SetActive(m_.OrigLED);
    dfltLED_->SetActive(m_.DfltLED);
    QSignalBlocker e(invrt_), f(save_);
    invrt_->setChecked(m_.InvrtChk);
    save_->setChecked(m_.SaveChk);
    save_->setEnabled(m_.SaveChkEnabled);
    bkgrndGrp_->Set(m_.BkgrndGrp, m_.BkgrndGrpEnabled);
    apply_->setEnabled(m_.ApplyBtnEnabled);
  }
  TImgAdjstDlg& m_;
  QScrollBar *brite_, *cntrst_, *bkgrnd_, *image_;
  QLabel *briteRO_, *cntrstRO_, *bkgrndRO_, *imagRO_;
  QPushButton *lft_, *rgt_, *dwn_, *up_, *apply_;
  TiLedRound *xChange_, *yChange_, *origLED_, *dfltLED_;
  QCheckBox *invrt_, *save_;
  RadioGroup* bkgrndGrp_;
  bool cancelled_ = false;
};

template <class Form, class Model>
void Register(const char* name) {
  QtPlatform::registerForm(name, [](DialogModel& m, QWidget* parent) {
    Form f(static_cast<Model&>(m), parent);
    // A narrow dialog would cut its caption short in the title bar.
    f.setMinimumWidth(std::max(f.minimumSizeHint().width(), TitleFitWidth(f.windowTitle())));
    return FromCode(f.exec());
  });
}

}  // namespace

void RegisterImageForms() {
  Register<ImgSizeForm, TImgSizeDlg>("TImgSizeDlg");
  Register<BoxForm, TBoxDlgForm1>("TBoxDlgForm1");
  Register<MagnRgnForm, TMagnRgnDlg>("TMagnRgnDlg");
  Register<ImgFileTypeForm, TImgFileTypeDlg>("TImgFileTypeDlg");
  Register<ImgSlctForm, TImgSlctForm1>("TImgSlctForm1");
  Register<ImgAdjstForm, TImgAdjstDlg>("TImgAdjstDlg");
}

}  // namespace hv
