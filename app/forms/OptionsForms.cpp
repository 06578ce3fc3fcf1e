#include "app/forms/OptionsForms.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProxyStyle>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

namespace {

// An edit that masks its text with the given character.
class MaskStyle : public QProxyStyle {
 public:
  MaskStyle(char mask, QObject* owner) : mask_(mask) { setParent(owner); }
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* ret) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return mask_;
    return QProxyStyle::styleHint(hint, option, widget, ret);
  }

 private:
  char mask_;
};

// Passwords are stored a byte a character (Latin-1): a character that has
// no byte is refused as it is typed, so that what is typed, its length
// limit and what is stored and compared stay the same text.
class Latin1Only : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar c : input)
      if (c.unicode() > 0xFF) return Invalid;
    return Acceptable;
  }
};

QLineEdit* MaskedEdit(char mask, QWidget* owner) {
  auto* e = new QLineEdit;
  e->setEchoMode(QLineEdit::Password);
  e->setStyle(new MaskStyle(mask, owner));
  e->setValidator(new Latin1Only(e));
  return e;
}

// The small password dialogs take their width from the edit; make it wide
// enough that the title bar shows the whole caption.
void FitCaption(QDialog* d, QBoxLayout* top, QWidget* widest) {
  const QMargins m = top->contentsMargins();
  widest->setMinimumWidth(std::max(220, TitleFitWidth(d->windowTitle()) - m.left() - m.right()));
}

void FixedDialog(QDialog* d, const char* caption) {
  d->setWindowTitle(caption);
  d->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                    Qt::WindowCloseButtonHint);
}

QLineEdit* Edit(const std::string& text, int maxLength, const char* hint = nullptr) {
  auto* e = new QLineEdit(ToQ(text));
  if (maxLength > 0) e->setMaxLength(maxLength);
  if (hint) e->setToolTip(hint);
  return e;
}

// OK and Cancel at the right of a row.
void OkCancelRow(QBoxLayout* row, QPushButton*& ok, QPushButton*& cancel) {
  row->addStretch(1);
  ok = new QPushButton("&OK");
  cancel = new QPushButton("&Cancel");
  ok->setDefault(true);
  row->addWidget(ok);
  row->addWidget(cancel);
}

}  // namespace

RadioGroupBox::RadioGroupBox(const char* caption, std::initializer_list<const char*> items,
                             QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  auto* l = new QVBoxLayout(this);
  int i = 0;
  for (const char* t : items) {
    auto* r = new QRadioButton(t);
    group_->addButton(r, i++);
    l->addWidget(r);
  }
}

void RadioGroupBox::SetItemIndex(int index) {
  QSignalBlocker b(group_);
  group_->setExclusive(false);
  for (QAbstractButton* r : group_->buttons()) r->setChecked(group_->id(r) == index);
  group_->setExclusive(true);
}

// --- Software Options ---

TOptionsDlgForm::TOptionsDlgForm(TOptionsDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  FixedDialog(this, "Software Options");
  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);
  auto* g = new QGridLayout;
  top->addLayout(g);

  FlTypeGrp = new RadioGroupBox("File Format", {"FITS", "ST-4", "Other SBIG"});
  TimeTypGrp = new RadioGroupBox("File Header Time is:",
                                 {"Start of Exposure", "Midpoint of Exp.", "End of Exposure"});
  SolutionGrp =
      new RadioGroupBox("Astrometric Solution",
                        {"Linear (6 Constants)", "Add  Cross-Term (8)", "Full Quadratic (12)"});
  CatlgGrp = new RadioGroupBox("Star Catalog", {"Guide Star Catlg", "NOMAD", "USNO-B1.0"});
  GSCGrp =
      new RadioGroupBox("Guide Star Catalog Format",
                        {"Original (Text) Format", "VESK Toolkit Format", "VESK Quillan Format"});

  auto* optsGrp = new QGroupBox("Options");
  auto* ol = new QVBoxLayout(optsGrp);
  RdSkyBox = new QCheckBox("Read Sky for Centroid");
  RdSkyBox->setToolTip("Read sky level sround each star for centroiding.");
  InvertBox = new QCheckBox("Invert Reference Disp");
  InvertBox->setToolTip("Display reference field black on white.");
  TestBox = new QCheckBox("Test Mode");
  TestBox->setToolTip(
      "In Test Mode the login is not required, and preferences are always enabled.");
  for (QCheckBox* c : {RdSkyBox, InvertBox, TestBox}) ol->addWidget(c);

  auto* spclGrp = new QGroupBox("\"Special\"");
  auto* sl = new QVBoxLayout(spclGrp);
  AdminBox = new QCheckBox("\"Administrator\"");
  AdminBox->setToolTip(
      "Ck if you are the administrator of this program in a multi-user environment.");
  sl->addWidget(AdminBox);

  auto* fldGrp = new QGroupBox("Star Field Defaults");
  auto* fl = new QGridLayout(fldGrp);
  SizeEd = Edit({}, 0, "0.00-59.99");
  MagEd = Edit({}, 0, "0.00-59.99");
  fl->addWidget(new QLabel("Size (Arc Mins)"), 0, 0);
  fl->addWidget(SizeEd, 0, 1);
  fl->addWidget(new QLabel("Magnitude Limit"), 1, 0);
  fl->addWidget(MagEd, 1, 1);

  auto* idGrid = new QGridLayout;
  TblNumEd = Edit({}, static_cast<int>(OptsCap::TableNumber), "Alphanumeric, 4 characters max.");
  PWEd = MaskedEdit('#', this);
  PWEd->setMaxLength(static_cast<int>(OptsCap::Code));
  PWEd->setToolTip("Alphanumeric, case sensitive, 16 characters max.");
  idGrid->addWidget(new QLabel("Lab Table Number:"), 0, 0);
  idGrid->addWidget(TblNumEd, 0, 1);
  idGrid->addWidget(new QLabel("Password:"), 1, 0);
  idGrid->addWidget(PWEd, 1, 1);

  g->addWidget(FlTypeGrp, 0, 0);
  g->addWidget(TimeTypGrp, 1, 0);
  g->addWidget(SolutionGrp, 2, 0);
  g->addWidget(CatlgGrp, 0, 1);
  g->addWidget(GSCGrp, 1, 1);
  g->addWidget(fldGrp, 2, 1);
  g->addWidget(optsGrp, 0, 2);
  g->addWidget(spclGrp, 1, 2);
  g->addLayout(idGrid, 2, 2);

  auto* subRow = new QHBoxLayout;
  FilesBtn = new QPushButton("&Files...");
  FilesBtn->setToolTip("Set names and path(s) for data, bitmaps & software.");
  SitePrmBtn = new QPushButton("&Site...");
  SitePrmBtn->setToolTip("Set Lat, Long, etc. of Observatory Site");
  BoxBtn = new QPushButton("\"&Box\"");
  BoxBtn->setToolTip("Set regions for centroiding and sky measurement.");
  ImagBtn = new QPushButton("&Image");
  ImagBtn->setToolTip("Set default image display parameters.");
  for (QPushButton* b : {FilesBtn, SitePrmBtn, BoxBtn, ImagBtn}) subRow->addWidget(b);
  OkCancelRow(subRow, OKBtn, CancelBtn);
  top->addLayout(subRow);

  model_.FormActivate();
  Load();

  connect(FilesBtn, &QPushButton::clicked, this, [this] { model_.FilesBtnClick(); });
  connect(SitePrmBtn, &QPushButton::clicked, this, [this] { model_.SitePrmBtnClick(); });
  connect(BoxBtn, &QPushButton::clicked, this, [this] { model_.BoxBtnClick(); });
  connect(ImagBtn, &QPushButton::clicked, this, [this] { model_.ImagBtnClick(); });
  connect(FlTypeGrp->group(), &QButtonGroup::idClicked, this, [this](int id) {
    Store();
    model_.FlTypeGrpClick(id);
    Load();
  });
  connect(OKBtn, &QPushButton::clicked, this, &TOptionsDlgForm::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TOptionsDlgForm::reject);
}

void TOptionsDlgForm::Load() {
  FlTypeGrp->SetItemIndex(model_.FlTypeGrp);
  FlTypeGrp->setEnabled(model_.FlTypeGrpEnabled);
  TimeTypGrp->SetItemIndex(model_.TimeTypGrp);
  TimeTypGrp->setEnabled(model_.TimeTypGrpEnabled);
  SolutionGrp->SetItemIndex(model_.SolutionGrp);
  CatlgGrp->SetItemIndex(model_.CatlgGrp);
  CatlgGrp->setEnabled(TOptionsDlg::CatlgGrpEnabled);
  GSCGrp->SetItemIndex(model_.GSCGrp);
  RdSkyBox->setChecked(model_.RdSkyBox);
  InvertBox->setChecked(model_.InvertBox);
  TestBox->setChecked(model_.TestBox);
  AdminBox->setChecked(model_.AdminBox);
  SizeEd->setText(ToQ(model_.SizeEd));
  MagEd->setText(ToQ(model_.MagEd));
  TblNumEd->setText(ToQ(model_.TblNumEd));
  PWEd->setText(ToQ(model_.PWEd));
}

void TOptionsDlgForm::Store() {
  model_.FlTypeGrp = FlTypeGrp->ItemIndex();
  model_.TimeTypGrp = TimeTypGrp->ItemIndex();
  model_.SolutionGrp = SolutionGrp->ItemIndex();
  model_.CatlgGrp = CatlgGrp->ItemIndex();
  model_.GSCGrp = GSCGrp->ItemIndex();
  model_.RdSkyBox = RdSkyBox->isChecked();
  model_.InvertBox = InvertBox->isChecked();
  model_.TestBox = TestBox->isChecked();
  model_.AdminBox = AdminBox->isChecked();
  model_.SizeEd = FromQ(SizeEd->text());
  model_.MagEd = FromQ(MagEd->text());
  model_.TblNumEd = FromQ(TblNumEd->text());
  model_.PWEd = FromQ(PWEd->text());
}

void TOptionsDlgForm::OKBtnClick() {
  Store();
  if (model_.OKBtnClick() != ModalResult::None) accept();
}

void TOptionsDlgForm::reject() {
  model_.CancelBtnClick();
  QDialog::reject();
}

// --- File Name Options ---

TFileOptsDlgForm::TFileOptsDlgForm(TFileOptsDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  FixedDialog(this, "File Name Options");
  auto* top = new QVBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);
  PageControl1 = new QTabWidget;
  top->addWidget(PageControl1);
  const int name = static_cast<int>(OptsCap::Name), path = static_cast<int>(OptsCap::Path);

  // A group of labelled edits, one under the other.
  auto group = [](const char* caption,
                  std::initializer_list<std::pair<const char*, QLineEdit*>> rows) {
    auto* box = new QGroupBox(caption);
    auto* l = new QGridLayout(box);
    int r = 0;
    for (auto [label, edit] : rows) {
      l->addWidget(new QLabel(label), r, 0);
      edit->setMinimumWidth(320);
      l->addWidget(edit, r++, 1);
    }
    return box;
  };
  // Labels above their edits, and the browsing note.
  auto stacked = [](std::initializer_list<std::pair<const char*, QLineEdit*>> rows) {
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    for (auto [label, edit] : rows) {
      l->addWidget(new QLabel(label));
      edit->setMinimumWidth(420);
      l->addWidget(edit);
    }
    l->addWidget(new QLabel("{Double-click entry to browse.}"));
    l->addStretch(1);
    return page;
  };

  LogoEd = Edit({}, name);
  TitleEd = Edit({}, name);
  AstrTtlEd = Edit({}, name);
  MnHlpEd = Edit({}, name);
  UsrHlpEd = Edit({}, name);
  RmdrEd = Edit({}, name);
  ToolHlpEd = Edit({}, name);
  LogFlEd = Edit({}, path, "Double-click entry to browse.");
  SpShtEd = Edit({}, path, "Leave blank to access system default processor for .CSV");
  GSCPath1Ed = Edit({}, path, "Default is 1st CDROM Drive Detected");
  GSCPath2Ed = Edit({}, path, "Default is GSC Vol. 1 Path");
  USNOCatURLEd = Edit({}, path);
  AstorbPathEd = Edit({}, path);
  MPCOrbPathEd = Edit({}, path);
  StnsFlEd = Edit({}, path, "Default is Local Directory");
  CamFlEd = Edit({}, path);
  SavOrbitEd = Edit({}, path);
  AstrTtlEd->setEnabled(TFileOptsDlg::AstrTtlEdEnabled);
  ToolHlpEd->setEnabled(TFileOptsDlg::ToolHlpEdEnabled);
  AstorbPathEd->setEnabled(TFileOptsDlg::AstorbPathEdEnabled);
  MPCOrbPathEd->setEnabled(TFileOptsDlg::MPCOrbPathEdEnabled);
  CamFlEd->setEnabled(TFileOptsDlg::CamFlEdEnabled);
  SavOrbitEd->setEnabled(TFileOptsDlg::SavOrbitEdEnabled);

  auto* sys = new QWidget;
  auto* sl = new QVBoxLayout(sys);
  sl->addWidget(
      group("&Bitmap Files (256-Color)",
            {{"Logo:", LogoEd}, {"Exercise Title:", TitleEd}, {"Astrometry Title:", AstrTtlEd}}));
  sl->addWidget(group("&Help Files", {{"Exercise Help List:", MnHlpEd},
                                      {"User Help File:", UsrHlpEd},
                                      {"Reminder File:", RmdrEd},
                                      {"Toolkit Help List:", ToolHlpEd}}));
  sl->addWidget(group("&Other Files", {{"Log File (May Include Path)", LogFlEd},
                                       {"Spreadsheet Program (.EXE).", SpShtEd}}));
  PageControl1->addTab(sys, "System Files");
  PageControl1->addTab(stacked({{"Guide Star Catalog Volume 1 Path", GSCPath1Ed},
                                {"Guide Star Catalog Volume 2 Path", GSCPath2Ed},
                                {"USNO-VO Catalog URL", USNOCatURLEd}}),
                       "Star Catalogs");
  PageControl1->addTab(stacked({{"Lowell Orbit Database (ASTORB.DAT) Path", AstorbPathEd},
                                {"MPC Orbit Database (MPCORBcr.DAT) Path", MPCOrbPathEd},
                                {"Stations File (May Include Path)", StnsFlEd},
                                {"Camera File (May Include Path)", CamFlEd},
                                {"Save Orbits File (May Include Path)", SavOrbitEd}}),
                       "Data Files");
  for (QLineEdit* e : {GSCPath1Ed, GSCPath2Ed, LogFlEd, SpShtEd, StnsFlEd})
    e->installEventFilter(this);

  auto* row = new QHBoxLayout;
  QPushButton *ok, *cancel;
  OkCancelRow(row, ok, cancel);
  top->addLayout(row);

  model_.FormActivate();
  Load();
  PageControl1->setCurrentIndex(model_.ActivePage);
  LogoEd->setFocus();
  LogoEd->selectAll();
  connect(ok, &QPushButton::clicked, this, &TFileOptsDlgForm::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::vector<std::pair<QLineEdit*, std::string*>> TFileOptsDlgForm::Edits() {
  return {{LogoEd, &model_.LogoEd},
          {TitleEd, &model_.TitleEd},
          {AstrTtlEd, &model_.AstrTtlEd},
          {MnHlpEd, &model_.MnHlpEd},
          {UsrHlpEd, &model_.UsrHlpEd},
          {RmdrEd, &model_.RmdrEd},
          {ToolHlpEd, &model_.ToolHlpEd},
          {LogFlEd, &model_.LogFlEd},
          {SpShtEd, &model_.SpShtEd},
          {GSCPath1Ed, &model_.GSCPath1Ed},
          {GSCPath2Ed, &model_.GSCPath2Ed},
          {USNOCatURLEd, &model_.USNOCatURLEd},
          {AstorbPathEd, &model_.AstorbPathEd},
          {MPCOrbPathEd, &model_.MPCOrbPathEd},
          {StnsFlEd, &model_.StnsFlEd},
          {CamFlEd, &model_.CamFlEd},
          {SavOrbitEd, &model_.SavOrbitEd}};
}

void TFileOptsDlgForm::Load() {
  for (auto [edit, text] : Edits()) edit->setText(ToQ(*text));
}

void TFileOptsDlgForm::Store() {
  for (auto [edit, text] : Edits()) *text = FromQ(edit->text());
}

void TFileOptsDlgForm::Browse(QLineEdit* edit) {
  Store();
  if (edit == GSCPath1Ed)
    model_.GSCPath1EdDblClick();
  else if (edit == GSCPath2Ed)
    model_.GSCPath2EdDblClick();
  else if (edit == LogFlEd)
    model_.LogFlEdDblClick();
  else if (edit == SpShtEd)
    model_.SpShtEdDblClick();
  else if (edit == StnsFlEd)
    model_.StnsFlEdDblClick();
  else
    return;
  Load();
}

bool TFileOptsDlgForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick)
    if (auto* e = qobject_cast<QLineEdit*>(watched)) {
      Browse(e);
      return true;
    }
  return QDialog::eventFilter(watched, event);
}

void TFileOptsDlgForm::OKBtnClick() {
  Store();
  model_.OKBtnClick();
  accept();
}

// --- passwords ---

namespace {
// The two password dialogs: a caption, a label, a masked edit (at most
// maxLength characters when above 0) wide enough for the caption, OK and
// Cancel.
QLineEdit* PasswordLayout(QDialog* d, const char* caption, const char* label, char mask,
                          int maxLength, QPushButton*& ok, QPushButton*& cancel) {
  FixedDialog(d, caption);
  auto* top = new QVBoxLayout(d);
  top->setSizeConstraint(QLayout::SetFixedSize);
  top->addWidget(new QLabel(label));
  QLineEdit* edit = MaskedEdit(mask, d);
  if (maxLength > 0) edit->setMaxLength(maxLength);
  FitCaption(d, top, edit);
  top->addWidget(edit);
  auto* row = new QHBoxLayout;
  OkCancelRow(row, ok, cancel);
  top->addLayout(row);
  edit->setFocus();
  return edit;
}
}  // namespace

TPasswordDlgForm::TPasswordDlgForm(TPasswordDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  QPushButton *ok, *cancel;
  Password = PasswordLayout(this, "Password Required", "Enter Password:", '*', 0, ok, cancel);
  Password->setText(ToQ(model.Password));
  connect(ok, &QPushButton::clicked, this, &TPasswordDlgForm::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TPasswordDlgForm::OKBtnClick() {
  model_.Password = FromQ(Password->text());
  Result = model_.OKBtnClick();
  accept();
}

TPasswordDlg1Form::TPasswordDlg1Form(TPasswordDlg1& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  QPushButton *ok, *cancel;
  Password = PasswordLayout(this, "Confirm Password Change", "Re-enter new password:", '#',
                            static_cast<int>(OptsCap::Code), ok, cancel);
  connect(ok, &QPushButton::clicked, this, &TPasswordDlg1Form::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TPasswordDlg1Form::OKBtnClick() {
  model_.Password = FromQ(Password->text());
  model_.OKBtnClick();
  accept();
}

void RegisterOptionsForms() {
  QtPlatform::registerForm("TOptionsDlg", [](DialogModel& m, QWidget* parent) {
    TOptionsDlgForm f(static_cast<TOptionsDlg&>(m), parent);
    return f.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
  QtPlatform::registerForm("TFileOptsDlg", [](DialogModel& m, QWidget* parent) {
    TFileOptsDlgForm f(static_cast<TFileOptsDlg&>(m), parent);
    return f.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
  QtPlatform::registerForm("TPasswordDlg", [](DialogModel& m, QWidget* parent) {
    TPasswordDlgForm f(static_cast<TPasswordDlg&>(m), parent);
    return f.exec() == QDialog::Accepted ? f.Result : ModalResult::Cancel;
  });
  QtPlatform::registerForm("TPasswordDlg1", [](DialogModel& m, QWidget* parent) {
    TPasswordDlg1Form f(static_cast<TPasswordDlg1&>(m), parent);
    return f.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace hv
