#include "app/forms/SiteCamForms.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QVBoxLayout>
#include <exception>

#include "app/Session.h"
#include "platform/qt/QtPlatform.h"

namespace hv {

namespace {

QLineEdit* Edit(int maxLength, const char* hint = nullptr) {
  auto* e = new QLineEdit;
  if (maxLength > 0) e->setMaxLength(maxLength);
  if (hint) e->setToolTip(hint);
  return e;
}

// Runs a handler with the application's error box for what escapes it.
template <class F>
void Guarded(Platform& p, F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    ShowError(p, ApplicationTitle, e.what());
  }
}

// The File button's menu, to the right of the button, 10 pixels out and
// 10 pixels down.
void PopUpBeside(QMenu* menu, QPushButton* button) {
  menu->exec(button->mapToGlobal(QPoint(button->width() + 10, 10)));
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* b : buttons) row->addWidget(b);
  return row;
}

// Enter presses the File button; OK and Cancel are no default buttons.
void NotDefault(std::initializer_list<QPushButton*> buttons) {
  for (QPushButton* b : buttons) b->setAutoDefault(false);
}

}  // namespace

// ---- pick lists --------------------------------------------------------------

PickListForm::PickListForm(InfoListModel& model, QWidget* parent) : TInfoListForm1(model, parent) {
  // The one list window that does not stay on top: it is modal.
  setWindowFlag(Qt::WindowStaysOnTopHint, false);
  setWindowModality(Qt::ApplicationModal);
}

void PickListForm::Exec() {
  ShowList();
  if (!isVisible()) return;
  QEventLoop loop;
  loop_ = &loop;
  loop.exec();
  loop_ = nullptr;
}

void PickListForm::hideEvent(QHideEvent* e) {
  TInfoListForm1::hideEvent(e);
  if (loop_) loop_->quit();
}

// ---- site dialog -------------------------------------------------------------

TSiteParmsDlg::TSiteParmsDlg(SiteParmsDlgModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  using M = SiteParmsDlgModel;
  auto* top = new QVBoxLayout(this);

  auto coordGroup = [](const char* title, QLineEdit*& deg, QLineEdit*& min, QLineEdit*& sec,
                       const char* degHint, QRadioButton*& a, const char* aText, QRadioButton*& b,
                       const char* bText, QWidget* owner) {
    auto* grp = new QGroupBox(title);
    auto* g = new QGridLayout(grp);
    g->addWidget(new QLabel("Deg"), 0, 0);
    g->addWidget(new QLabel("Min"), 0, 1);
    g->addWidget(new QLabel("Sec"), 0, 2);
    deg = Edit(M::CoordMaxLength, degHint);
    min = Edit(M::CoordMaxLength, M::MinHint);
    sec = Edit(M::CoordMaxLength, M::SecHint);
    g->addWidget(deg, 1, 0);
    g->addWidget(min, 1, 1);
    g->addWidget(sec, 1, 2);
    a = new QRadioButton(aText);
    b = new QRadioButton(bText);
    auto* pair = new QButtonGroup(owner);
    pair->addButton(a);
    pair->addButton(b);
    auto* side = new QVBoxLayout;
    side->addWidget(a);
    side->addWidget(b);
    g->addLayout(side, 0, 3, 2, 1);
    return grp;
  };
  LongGrp = coordGroup("Longitude", LngDegEd, LngMinEd, LngSecEd, M::LngDegHint, WestBtn, "West",
                       EastBtn, "East", this);
  LatGrp = coordGroup("Latitude", LatDegEd, LatMinEd, LatSecEd, M::LatDegHint, NorthBtn, "North",
                      SouthBtn, "South", this);
  auto* pos = new QHBoxLayout;
  pos->addWidget(LongGrp);
  pos->addWidget(LatGrp);
  top->addLayout(pos);

  ObsGrp = new QGroupBox("Observatory");
  auto* g = new QGridLayout(ObsGrp);
  ObsNmLbl = new QLabel("Name:");
  ObsNmEd = Edit(static_cast<int>(SiteCap::Name));
  ObsCdLbl = new QLabel("Code:");
  ObsCdEd = Edit(static_cast<int>(SiteCap::Code), M::ObsCdHint);
  ScopeLbl = new QLabel("Telescope:");
  ScopeEd = Edit(static_cast<int>(SiteCap::Telescope));
  Htlbl = new QLabel("Altitude:");
  HtEd = Edit(0, M::HtHint);
  ZnLbl = new QLabel("Time Zone:");
  ZnEd = Edit(0, M::ZnHint);
  g->addWidget(ObsNmLbl, 0, 0);
  g->addWidget(ObsNmEd, 0, 1, 1, 3);
  g->addWidget(ObsCdLbl, 1, 0);
  g->addWidget(ObsCdEd, 1, 1);
  g->addWidget(ScopeLbl, 2, 0);
  g->addWidget(ScopeEd, 2, 1, 1, 3);
  g->addWidget(Htlbl, 3, 0);
  g->addWidget(HtEd, 3, 1);
  g->addWidget(ZnLbl, 3, 2);
  g->addWidget(ZnEd, 3, 3);
  ObsCdEd->setMaximumWidth(60);
  top->addWidget(ObsGrp);

  OKBtn = new QPushButton("&OK");
  CnclBtn = new QPushButton("&Cancel");
  FileBtn = new QPushButton("&File...");
  NotDefault({OKBtn, CnclBtn});
  FileBtn->setDefault(true);
  top->addLayout(ButtonRow({FileBtn, OKBtn, CnclBtn}));

  PopupMenu1 = new QMenu(this);
  FindSite1 = PopupMenu1->addAction("&Find Site...");
  PopupMenu1->addSeparator();
  SaveSite1 = PopupMenu1->addAction("&Save Site Data");

  connect(OKBtn, &QPushButton::clicked, this, &TSiteParmsDlg::OKBtnClick);
  connect(CnclBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(FileBtn, &QPushButton::clicked, this, &TSiteParmsDlg::FileBtnClik);
  connect(FindSite1, &QAction::triggered, this, &TSiteParmsDlg::FindSite1Click);
  connect(SaveSite1, &QAction::triggered, this, &TSiteParmsDlg::SaveSite1Click);

  model_.FormActivate();
  Load();
}

void TSiteParmsDlg::Load() {
  const SiteParmsDlgModel& m = model_;
  setWindowTitle(ToQ(m.Caption));
  LngDegEd->setText(ToQ(m.LngDegText));
  LngMinEd->setText(ToQ(m.LngMinText));
  LngSecEd->setText(ToQ(m.LngSecText));
  (m.WestChecked ? WestBtn : EastBtn)->setChecked(true);
  LatDegEd->setText(ToQ(m.LatDegText));
  LatMinEd->setText(ToQ(m.LatMinText));
  LatSecEd->setText(ToQ(m.LatSecText));
  (m.NorthChecked ? NorthBtn : SouthBtn)->setChecked(true);
  ObsNmEd->setText(ToQ(m.ObsNmText));
  ObsCdEd->setText(ToQ(m.ObsCdText));
  ScopeEd->setText(ToQ(m.ScopeText));
  HtEd->setText(ToQ(m.HtText));
  ZnEd->setText(ToQ(m.ZnText));
  ObsCdLbl->setEnabled(m.ObsCdEnabled);
  ObsCdEd->setEnabled(m.ObsCdEnabled);
  ScopeLbl->setEnabled(m.ScopeEnabled);
  ScopeEd->setEnabled(m.ScopeEnabled);
  Htlbl->setEnabled(m.HtEnabled);
  HtEd->setEnabled(m.HtEnabled);
  ZnLbl->setEnabled(m.ZnEnabled);
  ZnEd->setEnabled(m.ZnEnabled);
  SaveSite1->setEnabled(m.SaveSiteEnabled);
}

void TSiteParmsDlg::Store() {
  SiteParmsDlgModel& m = model_;
  m.LngDegText = FromQ(LngDegEd->text());
  m.LngMinText = FromQ(LngMinEd->text());
  m.LngSecText = FromQ(LngSecEd->text());
  m.WestChecked = WestBtn->isChecked();
  m.LatDegText = FromQ(LatDegEd->text());
  m.LatMinText = FromQ(LatMinEd->text());
  m.LatSecText = FromQ(LatSecEd->text());
  m.NorthChecked = NorthBtn->isChecked();
  m.ObsNmText = FromQ(ObsNmEd->text());
  m.ObsCdText = FromQ(ObsCdEd->text());
  m.ScopeText = FromQ(ScopeEd->text());
  m.HtText = FromQ(HtEd->text());
  m.ZnText = FromQ(ZnEd->text());
}

void TSiteParmsDlg::OKBtnClick() {
  Store();
  ModalResult r = ModalResult::None;
  Guarded(model_.platform(), [&] { r = model_.OKBtnClick(); });
  if (r == ModalResult::OK) accept();
}

void TSiteParmsDlg::FileBtnClik() { PopUpBeside(PopupMenu1, FileBtn); }

void TSiteParmsDlg::FindSite1Click() {
  Store();
  Guarded(model_.platform(), [&] { model_.FindSite1Click(); });
  Load();
}

void TSiteParmsDlg::SaveSite1Click() {
  Store();
  Guarded(model_.platform(), [&] { model_.SaveSite1Click(); });
  Load();
}

// ---- camera dialog -----------------------------------------------------------

TCamParmsDlg::TCamParmsDlg(CamParmsDlgModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  using M = CamParmsDlgModel;
  auto* top = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  top->addLayout(left);

  auto* nameGrp = new QGroupBox("Camera Name/ID");
  auto* nameRow = new QHBoxLayout(nameGrp);
  NameEd = Edit(static_cast<int>(CamCap::Name));
  nameRow->addWidget(NameEd);
  left->addWidget(nameGrp);

  auto pairGroup = [](const char* title, QLineEdit*& a, const char* aHint, QLineEdit*& b,
                      const char* bHint) {
    auto* grp = new QGroupBox(title);
    auto* g = new QGridLayout(grp);
    a = Edit(0, aHint);
    b = Edit(0, bHint);
    g->addWidget(new QLabel("Width:"), 0, 0);
    g->addWidget(a, 0, 1);
    g->addWidget(new QLabel("Height:"), 0, 2);
    g->addWidget(b, 0, 3);
    return grp;
  };
  auto* pxlGrp = pairGroup("Pixel Size", WdthEd, M::WdthHint, HtEd, M::HtHint);
  auto* sizeGrp = pairGroup("Image Size (Pixels)", WdPixEd, M::WdPixHint, HtPixEd, M::HtPixHint);
  left->addWidget(pxlGrp);
  left->addWidget(sizeGrp);

  auto* scope = new QGridLayout;
  AptrEd = Edit(0, M::AptrHint);
  FLEd = Edit(0, M::FLHint);
  scope->addWidget(new QLabel("Aperture:"), 0, 0);
  scope->addWidget(AptrEd, 0, 1);
  scope->addWidget(new QLabel("Focal Length:"), 1, 0);
  scope->addWidget(FLEd, 1, 1);
  InvertBox = new QCheckBox("Image Inverted:");
  InvertBox->setLayoutDirection(Qt::RightToLeft);  // the caption left of the box
  InvertBox->setToolTip(M::InvertHint);
  scope->addWidget(InvertBox, 2, 0, 1, 2, Qt::AlignLeft);
  left->addLayout(scope);

  OKBtn = new QPushButton("&OK");
  CnclBtn = new QPushButton("&Cancel");
  FileBtn = new QPushButton("&File...");
  NotDefault({OKBtn, CnclBtn});
  FileBtn->setDefault(true);
  left->addLayout(ButtonRow({FileBtn, OKBtn, CnclBtn}));

  auto* right = new QVBoxLayout;
  top->addLayout(right);
  MagGrp = new QGroupBox("Filter");
  MagGrp->setToolTip(M::MagHint);
  auto* magCol = new QVBoxLayout(MagGrp);
  MagButtons = new QButtonGroup(this);
  for (int i = 0; i < 9; ++i) {
    auto* b = new QRadioButton(M::MagItems[i]);
    MagButtons->addButton(b, i);
    magCol->addWidget(b);
  }
  right->addWidget(MagGrp);
  ShowGrp = new QGroupBox(" Values");
  auto* showCol = new QVBoxLayout(ShowGrp);
  ShowButtons = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    auto* b = new QRadioButton(M::ShowItems[i]);
    ShowButtons->addButton(b, i);
    showCol->addWidget(b);
  }
  right->addWidget(ShowGrp);
  right->addStretch();

  PopupMenu1 = new QMenu(this);
  FindCam1 = PopupMenu1->addAction("&Find Camera...");
  PopupMenu1->addSeparator();
  SaveCam1 = PopupMenu1->addAction("&Save Camera Data");

  connect(OKBtn, &QPushButton::clicked, this, &TCamParmsDlg::OKBtnClick);
  connect(CnclBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(FileBtn, &QPushButton::clicked, this, &TCamParmsDlg::FileBtnClick);
  connect(FindCam1, &QAction::triggered, this, &TCamParmsDlg::FindCam1Click);
  connect(SaveCam1, &QAction::triggered, this, &TCamParmsDlg::SaveCam1Click);
  connect(ShowButtons, &QButtonGroup::idClicked, this, [this](int) { ShowGrpClick(); });

  model_.FormActivate();
  Load();
}

void TCamParmsDlg::Load() {
  const CamParmsDlgModel& m = model_;
  setWindowTitle(ToQ(m.Caption));
  NameEd->setText(ToQ(m.NameText));
  WdthEd->setText(ToQ(m.WdthText));
  HtEd->setText(ToQ(m.HtText));
  WdPixEd->setText(ToQ(m.WdPixText));
  HtPixEd->setText(ToQ(m.HtPixText));
  AptrEd->setText(ToQ(m.AptrText));
  FLEd->setText(ToQ(m.FLText));
  InvertBox->setChecked(m.InvertChecked);
  if (QAbstractButton* b = MagButtons->button(m.MagIndex)) b->setChecked(true);
  if (QAbstractButton* b = ShowButtons->button(m.ShowIndex)) b->setChecked(true);
}

void TCamParmsDlg::Store() {
  CamParmsDlgModel& m = model_;
  m.NameText = FromQ(NameEd->text());
  m.WdthText = FromQ(WdthEd->text());
  m.HtText = FromQ(HtEd->text());
  m.WdPixText = FromQ(WdPixEd->text());
  m.HtPixText = FromQ(HtPixEd->text());
  m.AptrText = FromQ(AptrEd->text());
  m.FLText = FromQ(FLEd->text());
  m.InvertChecked = InvertBox->isChecked();
  if (MagButtons->checkedId() >= 0) m.MagIndex = MagButtons->checkedId();
  if (ShowButtons->checkedId() >= 0) m.ShowIndex = ShowButtons->checkedId();
}

void TCamParmsDlg::OKBtnClick() {
  Store();
  ModalResult r = ModalResult::None;
  Guarded(model_.platform(), [&] { r = model_.OKBtnClick(); });
  if (r == ModalResult::OK) accept();
}

void TCamParmsDlg::ShowGrpClick() {
  Store();
  model_.ShowGrpClick();
  Load();
}

void TCamParmsDlg::FileBtnClick() { PopUpBeside(PopupMenu1, FileBtn); }

void TCamParmsDlg::FindCam1Click() {
  Store();
  Guarded(model_.platform(), [&] { model_.FindCam1Click(); });
  Load();
}

void TCamParmsDlg::SaveCam1Click() {
  Store();
  Guarded(model_.platform(), [&] { model_.SaveCam1Click(); });
  Load();
}

// ---- user dialog ---------------------------------------------------------------

TUsrParmsDlg::TUsrParmsDlg(UsrParmsDlgModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  auto* top = new QVBoxLayout(this);
  auto* g = new QGridLayout;
  int row = 0;
  auto add = [&](const char* label, QLineEdit*& edit, std::size_t capacity,
                 const char* hint = nullptr) {
    edit = Edit(static_cast<int>(capacity), hint);
    g->addWidget(new QLabel(label), row, 0, Qt::AlignRight);
    g->addWidget(edit, row, 1);
    ++row;
  };
  add("Contact Name:", NameEd, UserCap::ContactName);
  add("Institution:", InstEd, UserCap::Institution);
  add("Street:", StreetEd, UserCap::Street);
  add("City-State-Zip:", CityEd, UserCap::CityStateZip);
  add("Country:", CntryEd, UserCap::Country);
  add("E-Mail:", EMailEd, UserCap::EMail);
  add("Observer(s):", ObsEd, UserCap::Observers, UsrParmsDlgModel::ObsHint);
  add("Measurer(s):", MeasEd, UserCap::Measurers, UsrParmsDlgModel::MeasHint);
  NameEd->setMinimumWidth(340);
  top->addLayout(g);
  OKBtn = new QPushButton("&Ok");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel");
  top->addLayout(ButtonRow({OKBtn, CancelBtn}));
  connect(OKBtn, &QPushButton::clicked, this, &TUsrParmsDlg::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  model_.FormActivate();
  Load();
}

void TUsrParmsDlg::Load() {
  const UsrParmsDlgModel& m = model_;
  setWindowTitle(ToQ(m.Caption));
  NameEd->setText(ToQ(m.NameText));
  InstEd->setText(ToQ(m.InstText));
  StreetEd->setText(ToQ(m.StreetText));
  CityEd->setText(ToQ(m.CityText));
  CntryEd->setText(ToQ(m.CntryText));
  EMailEd->setText(ToQ(m.EMailText));
  ObsEd->setText(ToQ(m.ObsText));
  MeasEd->setText(ToQ(m.MeasText));
}

void TUsrParmsDlg::OKBtnClick() {
  UsrParmsDlgModel& m = model_;
  m.NameText = FromQ(NameEd->text());
  m.InstText = FromQ(InstEd->text());
  m.StreetText = FromQ(StreetEd->text());
  m.CityText = FromQ(CityEd->text());
  m.CntryText = FromQ(CntryEd->text());
  m.EMailText = FromQ(EMailEd->text());
  m.ObsText = FromQ(ObsEd->text());
  m.MeasText = FromQ(MeasEd->text());
  if (m.OKBtnClick() == ModalResult::OK) accept();
}

// ---- registration --------------------------------------------------------------

namespace {
template <class Form, class Model>
void RegisterDialog(const char* name) {
  QtPlatform::registerForm(name, [](DialogModel& m, QWidget* parent) {
    Form dlg(static_cast<Model&>(m), parent);
    return dlg.exec() == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}
template <class Form, class Model>
void RegisterPickList(const char* name) {
  QtPlatform::registerForm(name, [](DialogModel& m, QWidget* parent) {
    Form form(dynamic_cast<Model&>(m), parent);
    form.Exec();
    return ModalResult::OK;
  });
}
}  // namespace

void RegisterSiteCamForms() {
  RegisterDialog<TSiteParmsDlg, SiteParmsDlgModel>("TSiteParmsDlg");
  RegisterDialog<TCamParmsDlg, CamParmsDlgModel>("TCamParmsDlg");
  RegisterDialog<TUsrParmsDlg, UsrParmsDlgModel>("TUsrParmsDlg");
  RegisterPickList<SiteListForm, SiteListModel>("SiteListForm");
  RegisterPickList<CamListForm, CamListModel>("CamListForm");
}

}  // namespace hv
