#include "astrometry/forms/SlctRefForm.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <exception>

#include "platform/qt/QtPlatform.h"

namespace hv {

TSlctRefForm1::TSlctRefForm1(SlctRefModel& model, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint),
      model_(model) {
  setObjectName("TSlctRefForm1");
  auto* top = new QVBoxLayout(this);
  Label1 = new QLabel;
  Label1->setWordWrap(true);
  Label1->setMinimumSize(300, 110);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  top->addWidget(Label1);
  auto* row = new QHBoxLayout;
  OKBtn = new QPushButton("&OK");
  OKBtn->setDefault(true);
  AllBtn = new QPushButton("&Accept");
  CnclBtn = new QPushButton("&Cancel");
  row->addWidget(OKBtn);
  row->addWidget(AllBtn);
  row->addWidget(CnclBtn);
  top->addLayout(row);
  CheckBox1 = new QCheckBox("Show Magnification Window");
  top->addWidget(CheckBox1);

  connect(OKBtn, &QPushButton::clicked, this, [this] { Guarded([this] { model_.OkBtnClick(); }); });
  connect(AllBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { model_.AllBtnClick(); }); });
  connect(CnclBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { model_.CnclBtnClick(); }); });
  connect(CheckBox1, &QCheckBox::clicked, this,
          [this](bool on) { Guarded([this, on] { model_.CheckBox1Click(on); }); });
  model_.Changed = [this] { Load(); };
  Load();
}

TSlctRefForm1::~TSlctRefForm1() { model_.Changed = nullptr; }

template <class F>
void TSlctRefForm1::Guarded(F f) {
  try {
    f();
  } catch (const std::exception& e) {
    QtPlatform p;
    p.setParentWindow(this);
    ShowError(p, "Halvardin", e.what());
  }
}

void TSlctRefForm1::Load() {
  setWindowTitle(ToQ(model_.Caption));
  // The label breaks lines at a line feed; the instruction's leading breaks
  // stay, as its spacing below the caption.
  QString text = ToQ(model_.Label1);
  text.replace("\r\n", "\n");
  Label1->setText(text);
  AllBtn->setVisible(model_.AllBtnVisible);
  CheckBox1->setChecked(model_.CheckBox1);
  if (model_.Visible && !isVisible()) {
    adjustSize();
    if (PlaceOnShow) PlaceOnShow(*this);
    show();
    raise();
  } else if (!model_.Visible && isVisible()) {
    hide();
  }
  OKBtn->setFocus();
}

void TSlctRefForm1::closeEvent(QCloseEvent* e) {
  // Closing the guide is the Cancel button's business (the go-back dialog).
  e->ignore();
  Guarded([this] { model_.CnclBtnClick(); });
}

TRefCnclForm1::TRefCnclForm1(RefCnclModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(RefCnclModel::Caption);
  auto* top = new QVBoxLayout(this);
  auto* group = new QGroupBox(RefCnclModel::GroupCaption);
  auto* col = new QVBoxLayout(group);
  for (int b = 0; b < RefCnclModel::Count; ++b) {
    auto* r = new QRadioButton(RefCnclModel::ButtonText[static_cast<std::size_t>(b)]);
    r->setEnabled(model_.Enabled[static_cast<std::size_t>(b)]);
    r->setChecked(model_.Checked == b);
    if (model_.Checked == b) r->setFocus();
    col->addWidget(r);
    Buttons[static_cast<std::size_t>(b)] = r;
  }
  top->addWidget(group);
  auto* row = new QHBoxLayout;
  OKBtn = new QPushButton("&OK");
  OKBtn->setDefault(true);
  CnclBtn = new QPushButton("&Cancel");
  row->addStretch();
  row->addWidget(OKBtn);
  row->addWidget(CnclBtn);
  top->addLayout(row);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(true); });
  connect(CnclBtn, &QPushButton::clicked, this, [this] { OKBtnClick(false); });
}

void TRefCnclForm1::OKBtnClick(bool ok) {
  model_.Checked = -1;
  for (int b = 0; b < RefCnclModel::Count; ++b)
    if (Buttons[static_cast<std::size_t>(b)]->isChecked()) {
      model_.Checked = b;
      break;
    }
  model_.OKBtnClick();
  ok ? accept() : reject();
}

void RegisterRefCnclForm() {
  QtPlatform::registerForm("TRefCnclForm1", [](DialogModel& m, QWidget* parent) {
    TRefCnclForm1 dlg(static_cast<RefCnclModel&>(m), parent);
    return dlg.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace hv
