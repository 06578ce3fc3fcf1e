#include "app/forms/MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "app/forms/HelpForms.h"
#include "app/forms/InfoListForm.h"
#include "app/forms/LoginForm.h"
#include "app/forms/OptionsForms.h"
#include "app/forms/SearchStrForm.h"
#include "app/forms/SiteCamForms.h"
#include "astrometry/OnlineCatalog.h"
#include "astrometry/forms/AstromListForm.h"
#include "astrometry/forms/BaselineForm.h"
#include "astrometry/forms/ConverterForms.h"
#include "astrometry/forms/FldParmsForm.h"
#include "astrometry/forms/ObsParmsForm.h"
#include "astrometry/forms/RefFieldForms.h"
#include "astrometry/forms/SlctRefForm.h"
#include "images/forms/BlinkForms.h"
#include "images/forms/CursorWindowForm.h"
#include "images/forms/ImageDialogForms.h"
#include "images/forms/ImageForm.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"
#include "support/Files.h"

namespace hv {
namespace fs = std::filesystem;

namespace {
QCursor& CrossHair() {
  static QCursor c(Qt::CrossCursor);
  return c;
}
QFont WindowFont() {
  QFont f("MS Sans Serif");
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(13);
  f.setBold(true);
  return f;
}
}  // namespace

QCursor TBendulak::CrossHairCursor() { return CrossHair(); }

TSlctRefForm1* TBendulak::guideForm() const { return guideForm_; }

TBendulak::TBendulak(BendulakSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session) {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setAttribute(Qt::WA_DeleteOnClose, false);
  // The navy and the bold yellow font are the client area's (painted
  // there), not the menu's.
  setFont(WindowFont());
  // Every property set, so none is taken from the window's bold font.
  QFont menuFont = QApplication::font();
  menuFont.setFamily(menuFont.family());
  menuFont.setBold(menuFont.bold());
  if (menuFont.pointSizeF() > 0)
    menuFont.setPointSizeF(menuFont.pointSizeF());
  else
    menuFont.setPixelSize(menuFont.pixelSize());
  menuBar()->setFont(menuFont);
  BuildMenu();
  session_.Services.Repaint = [this] { update(); };
  session_.Services.Quit = [this] { session_.QuitRequested = true; };
  // The report's list window: shown whenever the report shows its text.
  session_.Services.ReportCreated = [this](AstromObsObj& report) {
    AstromListModel* model = report.ListForm.get();
    model->OnShow = [this, model] {
      if (!reportWindow_) reportWindow_ = new AstromListForm(*model, this);
      if (reportWindow_->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != model->StayOnTop)
        reportWindow_->setWindowFlag(Qt::WindowStaysOnTopHint, model->StayOnTop);
      reportWindow_->ShowList();
      // Shown in the normal state (a minimized report could not be read).
      if (reportWindow_->isMinimized()) reportWindow_->showNormal();
    };
    model->OnHide = [this] {
      if (reportWindow_) reportWindow_->hide();
    };
  };
  session_.Services.ImageWindowCreated = [this](int slot, TImageForm1& model) {
    delete imageForms_[static_cast<std::size_t>(slot)];
    imageForms_[static_cast<std::size_t>(slot)] = new TImageForm1Widget(model, this);
  };
  session_.Services.ImageWindowFreed = [this](int slot) {
    delete imageForms_[static_cast<std::size_t>(slot)];
  };
  session_.Services.ShowImageWindow = [this](int slot, int x, int y) {
    TImageForm1Widget* f = imageForms_[static_cast<std::size_t>(slot)];
    if (!f) return;
    PlaceFrame(session_.platform(), *f, QPoint(x, y));
    f->showNormal();
    f->raise();
    f->activateWindow();
  };
  helpWin_ = new THelpWin(session_.HelpWin, this);
  session_.Services.BlinkWindowCreated = [this](TBlinkForm1& model) {
    delete blinkForm_;
    blinkForm_ = new TBlinkForm1Widget(model, this);
  };
  session_.Services.ShowBlinkWindow = [this] {
    if (!blinkForm_) return;
    blinkForm_->CentreOnFirstShowing();
    blinkForm_->showNormal();
    blinkForm_->raise();
    blinkForm_->activateWindow();
  };
  session_.Services.MenuChanged = [this] { Mirror(); };
  // The online catalog lives from the first online query until this window
  // closes; the other catalog objects go with their forms after the loop.
  session_.Services.FreeCatalogs = [] { B1Cat.reset(); };
  session_.Services.RefFieldWindowCreated = [this](TGSCForm1& model) {
    delete refForm_;
    refForm_ = new TGSCForm1Widget(model, this);
  };
  session_.Services.RefFieldWindowFreed = [this] { delete refForm_; };
  session_.Services.ShowRefFieldWindow = [this] {
    if (!refForm_) return;
    PlaceFrame(session_.platform(), *refForm_, QPoint(0, 0));
    refForm_->showNormal();
    refForm_->raise();
  };
  session_.Services.HideRefFieldWindow = [this] {
    if (refForm_) refForm_->hide();
  };
  session_.Services.ShowChartDialog = [this](TChrtCntrlBox& model) {
    if (!chartForm_) chartForm_ = new TChrtCntrlBoxForm(model, this);
    chartForm_->Load();
  };
  session_.Services.ShowList = [this](InfoListModel& model) {
    QPointer<TInfoListForm1>& f = listForms_[&model];
    if (!f) f = new TInfoListForm1(model, this);
    f->ShowList();
    if (f->isMinimized()) f->showNormal();  // in the normal state
  };
  // The measurement guide, below the reference window (its right half over
  // the window's right edge), and the magnifier beside it under the image.
  guideForm_ = new TSlctRefForm1(session_.SlctRefForm1, this);
  guideForm_->PlaceOnShow = [this](QWidget& g) {
    QRect field(0, 0, 0, 300);
    if (PlacedReferenceWindow)
      field = PlacedReferenceWindow();
    else if (refForm_)
      field = refForm_->frameGeometry();
    PlaceFrame(
        session_.platform(), g,
        QPoint(field.x() + field.width() - FrameSize(g).width() / 2, field.y() + field.height()));
  };
  session_.Services.ShowGuide = [this] {
    if (!guideForm_) return;
    guideForm_->Load();
    guideForm_->raise();
  };
  session_.Services.ShowMagnifier = [this](bool shown) {
    if (!CursorWindow) return;
    if (!magnifierForm_)
      magnifierForm_ = new TCursorWindowWidget(*CursorWindow, session_.platform(), this);
    if (!shown) {
      magnifierForm_->hide();
      return;
    }
    const TImageForm1Widget* image = imageForms_[static_cast<std::size_t>(session_.MeasuredSlot)];
    // Its frame may not be known yet when it was shown a moment ago.
    const int top = image ? FrameSize(*image).height() : 0;
    const int left = guideForm_ ? guideForm_->x() + guideForm_->frameGeometry().width() : 0;
    PlaceFrame(session_.platform(), *magnifierForm_, QPoint(left, top));
    magnifierForm_->show();
    magnifierForm_->raise();
  };
  session_.Services.ShowSolutionReport = [this](InfoListModel& model, bool onTop, bool beside) {
    QPointer<TInfoListForm1>& f = listForms_[&model];
    if (!f) f = new TInfoListForm1(model, this);
    f->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Shown in its normal state, also when the student had minimised it.
    f->setWindowState(f->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    f->ShowList();
    if (beside) PlaceFrame(session_.platform(), *f, QPoint(20, 20));
  };
  session_.Services.ForgetList = [this](InfoListModel& model) {
    auto it = listForms_.find(&model);
    if (it == listForms_.end()) return;
    delete it->second;
    listForms_.erase(it);
  };
  Mirror();
}

TBendulak::~TBendulak() {
  // The session outlives this window: its objects no longer call here, and
  // the forms that show its models go first.
  SessionServices& sv = session_.Services;
  sv.Repaint = nullptr;
  sv.Quit = nullptr;
  sv.ReportCreated = nullptr;
  if (session_.Report && session_.Report->ListForm) session_.Report->ListForm->OnShow = nullptr;
  sv.ImageWindowCreated = nullptr;
  sv.ImageWindowFreed = nullptr;
  sv.ShowImageWindow = nullptr;
  sv.BlinkWindowCreated = nullptr;
  sv.ShowBlinkWindow = nullptr;
  sv.MenuChanged = nullptr;
  sv.FreeCatalogs = nullptr;
  sv.ShowList = nullptr;
  sv.ForgetList = nullptr;
  sv.RefFieldWindowCreated = nullptr;
  sv.RefFieldWindowFreed = nullptr;
  sv.ShowRefFieldWindow = nullptr;
  sv.HideRefFieldWindow = nullptr;
  sv.ShowChartDialog = nullptr;
  if (session_.Report && session_.Report->ListForm) session_.Report->ListForm->OnHide = nullptr;
  delete chartForm_;
  delete refForm_;
  sv.ShowSolutionReport = nullptr;
  sv.ShowGuide = nullptr;
  sv.ShowMagnifier = nullptr;
  delete guideForm_;
  delete magnifierForm_;
  delete blinkForm_;
  for (auto& f : imageForms_) delete f;
  for (auto& [model, f] : listForms_) delete f;
  listForms_.clear();
  delete reportWindow_;
  delete helpWin_;
}

THelpWin* TBendulak::helpWindow() const { return helpWin_.data(); }

TImageForm1Widget* TBendulak::imageForm(int slot) const {
  return slot >= 0 && slot <= LastSlot ? imageForms_[static_cast<std::size_t>(slot)].data()
                                       : nullptr;
}

TInfoListForm1* TBendulak::listForm(const InfoListModel& model) const {
  auto it = listForms_.find(&model);
  return it == listForms_.end() ? nullptr : it->second.data();
}

void TBendulak::BuildMenu() {
  const auto& items = session_.Menu.Items();
  std::map<int, QMenu*> menus;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuItem& m = items[i];
    bool isMenu = !session_.Menu.Children(static_cast<int>(i)).empty() || m.parent < 0;
    QAction* a = nullptr;
    if (m.parent < 0) {
      QMenu* menu = menuBar()->addMenu(ToQ(m.caption));
      menus[static_cast<int>(i)] = menu;
      a = menu->menuAction();
    } else {
      QMenu* parent = menus.at(m.parent);
      if (m.separator()) {
        a = parent->addSeparator();
      } else if (isMenu) {
        QMenu* sub = parent->addMenu(ToQ(m.caption));
        menus[static_cast<int>(i)] = sub;
        a = sub->menuAction();
      } else {
        a = parent->addAction(ToQ(m.caption));
        a->setCheckable(m.checkable);
        std::string name = m.name;
        connect(a, &QAction::triggered, this, [this, name] { Command(name); });
      }
    }
    if (!m.shortcut.empty()) a->setShortcut(QKeySequence(ToQ(m.shortcut)));
    actions_[m.name] = a;
  }
}

QAction* TBendulak::action(const std::string& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void TBendulak::Mirror() {
  for (const MenuItem& m : session_.Menu.Items()) {
    QAction* a = actions_.at(m.name);
    a->setEnabled(m.enabled && m.available);
    a->setVisible(m.visible);
    if (a->isCheckable()) a->setChecked(m.checked);
  }
  setWindowTitle(ToQ(session_.Caption));
  update();
}

void TBendulak::Command(const std::string& name) {
  BendulakSession& s = session_;
  if (!s.Menu.Usable(name)) return;
  if (name == "Exit1") {
    close();
    return;
  }
  // A command's failure ends the command, never the program.
  {
    struct Running {
      int& n;
      explicit Running(int& count) : n(count) { ++n; }
      ~Running() { --n; }
    } running(commandsRunning_);
    try {
      Run(name);
    } catch (const std::exception& e) {
      ShowError(s.platform(), ApplicationTitle, e.what());
    }
  }
  Mirror();
  if (s.QuitRequested) {
    s.CloseConfirmed = true;
    QTimer::singleShot(0, this, [this] { close(); });
  }
}

void TBendulak::Run(const std::string& name) {
  BendulakSession& s = session_;
  if (name == "Login1")
    s.Login1Click();
  else if (name == "Options1")
    s.Preferences1Click();
  else if (name == "SaveUpdates1")
    s.SaveUpdates1Click();
  else if (name == "Object1")
    s.Object1Click();
  else if (name == "FieldObservationSet1")
    s.FieldObservationSet1Click();
  else if (name == "SpreadSheet1")
    s.SpreadSheet1Click();
  else if (name == "OnHelp1")
    s.OnHelp1Click();
  else if (name == "Topics1")
    s.Topics1Click();
  else if (name == "User1")
    s.User1Click();
  else if (name == "AboutThisExercise1")
    s.AboutThisExercise1Click();
  else if (name == "Baseline1")
    s.Baseline1Click();
  else if (name == "ConvertGSC1")
    s.ConvertGSC1Click();
  else if (name == "ExerciseFrmt1")
    s.ExerciseFrmt1Click();
  else if (name == "SpreadsheetFormat1")
    s.SpreadsheetFormat1Click();
  else if (name == "ImageFileType1")
    s.ImageFileType1Click();
  else if (name == "MultipleLoad1")
    s.MultipleLoad1Click();
  else if (name == "LoadImg1")
    s.LoadImg1Click();
  else if (name == "LoadImg2")
    s.LoadImg2Click();
  else if (name == "LoadImg3")
    s.LoadImg3Click();
  else if (name == "LoadImg4")
    s.LoadImg4Click();
  else if (name == "ViewAdjust1")
    s.ViewAdjust1Click();
  else if (name == "Blink1")
    s.Blink1Click();
  else if (name == "MeasImg1")
    s.MeasImg1Click();
  else if (name == "MeasImg2")
    s.MeasImg2Click();
  else if (name == "MeasImg3")
    s.MeasImg3Click();
  else if (name == "MeasImg4")
    s.MeasImg4Click();
}

std::optional<std::string> TBendulak::LoadPicture(const fs::path& path) {
  QImage img;
  if (!img.load(QString::fromStdString(path.string()))) {
    titlePicture_ = QImage();
    return "Cannot load the picture " + path.string() +
           (fs::exists(path) ? ": it is not a readable bitmap." : ": File Not Found!");
  }
  titlePicture_ = img;
  return std::nullopt;
}

std::optional<std::string> TBendulak::LoadCursorFile(const fs::path& path) {
  QFile f(QString::fromStdString(path.string()));
  QImage img;
  if (!f.open(QIODevice::ReadOnly))
    return "Cannot load the cursor " + path.string() + ": File Not Found!";
  QByteArray bytes = f.readAll();
  if (!img.loadFromData(bytes, "CUR") && !img.loadFromData(bytes, "ICO") &&
      !img.loadFromData(bytes)) {
    return "Cannot load the cursor " + path.string() + ": it is not a readable cursor file.";
  }
  // The hot spot is in the first directory entry of a cursor file.
  int hx = img.width() / 2, hy = img.height() / 2;
  if (bytes.size() >= 22 && bytes[2] == 2) {
    auto u16 = [&](int at) {
      return static_cast<int>(static_cast<unsigned char>(bytes[at]) |
                              (static_cast<unsigned char>(bytes[at + 1]) << 8));
    };
    hx = u16(10);
    hy = u16(12);
  }
  CrossHair() = QCursor(QPixmap::fromImage(img), hx, hy);
  return std::nullopt;
}

void TBendulak::FormCreate(const StartupFacts& facts) {
  StartupResources res;
  res.LoadTitlePicture = [this](const fs::path& p) { return LoadPicture(p); };
  res.LoadCursor = [this](const fs::path& p) { return LoadCursorFile(p); };
  setFixedSize(634, 436 + menuBar()->sizeHint().height());
  session_.ScreenWidth = facts.screenWidth;
  session_.ScreenHeight = facts.screenHeight;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize frame = FrameSize(*this);
    PlaceFrame(
        session_.platform(), *this,
        screen->availableGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
  }
  hv::FormCreate(session_, facts, res);
  Mirror();
}

void TBendulak::DrawSlotCaption(QPainter& painter, int slot) {
  const auto& file = session_.ImageFiles[static_cast<std::size_t>(slot)];
  if (!file) return;
  QFontMetrics fm(font());
  const int y = 20 + 55 * slot;
  QString head = QString("** Image %1 **").arg(slot + 1);
  painter.drawText(20, y + fm.ascent(), head);
  std::string name = fs::path(file->ImageInfo.FileName).filename().string();
  painter.drawText(20, y + fm.height() + 5 + fm.ascent(), "File Name: " + ToQ(name));
}

void TBendulak::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QColor(255, 255, 0));
  painter.setFont(font());
  const int top = menuBar()->height();
  painter.fillRect(0, top, width(), height() - top, QColor(0, 0, 128));
  painter.translate(0, top);
  switch (session_.PaintMode) {
    case 0:
      if (!titlePicture_.isNull()) painter.drawImage(0, 0, titlePicture_);
      break;
    case 1:
      if (!session_.PictureLoaded && !exercisePictureTried_) {
        // Tried once: a picture that cannot be read is reported once.
        exercisePictureTried_ = true;
        const OptsRec& o = session_.Settings;
        if (auto file = PictureFile(o, o.ExerciseBitmap)) {
          auto error = LoadPicture(*file);
          session_.PictureLoaded = !error;
          if (error)
            QTimer::singleShot(0, this, [this, e = *error] {
              ShowError(session_.platform(), ApplicationTitle, e);
            });
        } else {
          titlePicture_ = QImage();  // no exercise picture named: none shown
        }
      }
      if (!titlePicture_.isNull()) painter.drawImage(0, 0, titlePicture_);
      break;
    default:
      if (!titleFreed_) {
        titlePicture_ = QImage();
        titleFreed_ = true;
      }
      for (int s = 0; s <= LastSlot; ++s) DrawSlotCaption(painter, s);
      break;
  }
}

void TBendulak::closeEvent(QCloseEvent* e) {
  // A modal window of the program (a dialog, or the conversion's progress)
  // may bind what the close frees, and so may a command that lets events
  // through while it works (the catalog's loading box): the close waits.
  if (QApplication::activeModalWidget() || commandsRunning_ > 0 || !session_.FormCloseQuery()) {
    e->ignore();
    Mirror();
    return;
  }
  // The report window shows the report's own list: it goes first.
  delete reportWindow_;
  session_.FormClose();
  e->accept();
  if (Closed) Closed();
}

void RegisterAppForms() {
  RegisterImageForms();
  RegisterBlinkForms();
  RegisterSearchForm();
  RegisterHelpForms();
  RegisterLoginForm();
  RegisterFldParmsForm();
  RegisterSiteCamForms();
  RegisterOptionsForms();
  RegisterBaselineForms();
  RegisterConverterForms();
  RegisterObsParmsForm();
  RegisterRefFieldForms();
  RegisterRefCnclForm();
  RegisterAstromListForms();
}

}  // namespace hv
