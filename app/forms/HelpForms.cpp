#include "app/forms/HelpForms.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/WindowPlace.h"

namespace hv {

namespace {
QFont ListFont() {
  QFont f("Courier New");
  f.setStyleHint(QFont::TypeWriter);
  f.setPixelSize(14);
  return f;
}
TextMeasure MeasureOf(const QWidget* w) {
  QFontMetrics fm(w->font());
  TextMeasure m;
  m.Width = [fm](const std::string& s) { return fm.horizontalAdvance(ToQ(s)); };
  m.Height = [fm](const std::string&) { return fm.height(); };
  return m;
}
int ScreenWidth() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().width() : 1024;
}
// An exception leaving a handler is the application's error box.
template <class F>
void Guarded(Platform& p, F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    ShowError(p, "Halvardin", e.what());
  }
}
}  // namespace

// --- topic dialog ---

THelpLstDlg::THelpLstDlg(HelpLstDlgModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle("Select Help Topic");
  setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* bar = new QMenuBar(this);
  Topics1 = bar->addMenu("&Topics");
  FindTopic1 = Topics1->addAction("Find &Topic...");
  ReadPrintTopic1 = Topics1->addAction("&Read/Print Topic...");
  Topics1->addSeparator();
  CloseHelpTopics1 = Topics1->addAction("&Close Help Topics");
  layout->setMenuBar(bar);
  HlpLstBox = new QListWidget(this);
  HlpLstBox->setFont(ListFont());
  layout->addWidget(HlpLstBox);
  connect(FindTopic1, &QAction::triggered, this, &THelpLstDlg::Search1Click);
  connect(ReadPrintTopic1, &QAction::triggered, this, &THelpLstDlg::Read1Click);
  connect(CloseHelpTopics1, &QAction::triggered, this, &THelpLstDlg::Close1Click);
  // A double-click or Enter on a line.
  connect(HlpLstBox, &QListWidget::itemActivated, this, &THelpLstDlg::Read1Click);
  connect(HlpLstBox, &QListWidget::currentRowChanged, this, [this](int row) {
    model_.Selected = row;
  });
}

void THelpLstDlg::LoadFromModel() {
  const QSignalBlocker block(HlpLstBox);
  if (HlpLstBox->count() != static_cast<int>(model_.Lines.size())) {
    HlpLstBox->clear();
    for (const std::string& l : model_.Lines) HlpLstBox->addItem(ToQ(l));
  }
  HlpLstBox->setCurrentRow(model_.Selected);
  if (model_.TopIndex >= 0 && model_.TopIndex < HlpLstBox->count())
    HlpLstBox->scrollToItem(HlpLstBox->item(model_.TopIndex), QAbstractItemView::PositionAtTop);
}

void THelpLstDlg::FormActivate() {
  model_.Measure = MeasureOf(HlpLstBox);
  model_.ScreenWidth = ScreenWidth();
  HlpLstBox->clear();
  model_.FormActivate();
  LoadFromModel();
  if (!model_.Lines.empty()) {
    int menuH = layout()->menuBar() ? layout()->menuBar()->sizeHint().height() : 0;
    // The frame of the list box comes on top of the text's own size.
    resize(model_.Size.clientWidth + 4, model_.Size.clientHeight + menuH + 4);
  }
}

void THelpLstDlg::Search1Click() {
  model_.Search1Click();
  LoadFromModel();
}

void THelpLstDlg::Read1Click() {
  if (model_.Read1Click() == ModalResult::OK) accept();
}

void THelpLstDlg::Close1Click() {
  model_.Close1Click();
  reject();
}

// --- help window ---

THelpWin::THelpWin(HelpWinModel& model, QWidget* parent) : QMainWindow(parent), model_(model) {
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  setAttribute(Qt::WA_DeleteOnClose, false);
  ListBox1 = new QListWidget(this);
  ListBox1->setFont(ListFont());
  setCentralWidget(ListBox1);
  QMenuBar* bar = menuBar();
  Topic1 = bar->addMenu("&Topic");
  PrintTopic1 = Topic1->addAction("&Print Topic...");
  SearchText1 = Topic1->addAction("&Search Text...");
  ShowHelpTopics1 = Topic1->addAction("Show Help &Topics...");
  Topic1->addSeparator();
  CloseTopicWindow1 = Topic1->addAction("&Close Topic Window");
  Back1 = bar->addAction("&Back");
  Back1->setEnabled(false);
  connect(PrintTopic1, &QAction::triggered, this, [this] { Run([this] { model_.Print1Click(); }); });
  connect(SearchText1, &QAction::triggered, this, [this] { Run([this] { model_.Find1Click(); }); });
  connect(ShowHelpTopics1, &QAction::triggered, this,
          [this] { Run([this] { model_.Topics1Click(); }); });
  connect(CloseTopicWindow1, &QAction::triggered, this,
          [this] { Run([this] { model_.Close1Click(); }); });
  connect(Back1, &QAction::triggered, this, [this] { Run([this] { model_.Back1Click(); }); });
  connect(ListBox1, &QListWidget::itemActivated, this, [this] {
    StoreSelection();
    Run([this] { model_.ListBox1DblClick(); });
  });
  connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] {
    if (!loading_) StoreSelection();
  });
  model_.Measure = MeasureOf(ListBox1);
  model_.ScreenWidth = ScreenWidth();
  model_.FormCreate(logicalDpiX() > 0 ? logicalDpiX() : 96);
  model_.OnChanged = [this] { LoadFromModel(); };
  model_.OnHide = [this] {
    hiding_ = true;
    hide();
    hiding_ = false;
  };
  model_.OnShow = [this] {
    LoadFromModel();
    if (!placed_) {
      // First shown beside the images, at the screen's right edge, so it
      // leaves the main window's menu free.
      placed_ = true;
      if (QScreen* sc = QGuiApplication::primaryScreen()) {
        QRect a = sc->availableGeometry();
        PlaceFrame(
            model_.platform(), *this,
            QPoint(std::max(a.left(), a.right() - FrameSize(*this).width() - 10), a.top() + 10));
      }
    }
    show();
    raise();
    activateWindow();
  };
}

THelpWin::~THelpWin() {
  model_.OnChanged = nullptr;
  model_.OnHide = nullptr;
  model_.OnShow = nullptr;
}

template <class F>
void THelpWin::Run(F&& f) {
  Guarded(model_.platform(), f);
  LoadFromModel();
}

void THelpWin::StoreSelection() {
  const QList<QListWidgetItem*> chosen = ListBox1->selectedItems();
  model_.Selected = chosen.isEmpty() ? -1 : ListBox1->row(chosen.front());
}

void THelpWin::LoadFromModel() {
  loading_ = true;
  setWindowTitle(ToQ(model_.Caption));
  ListBox1->clear();
  for (const std::string& l : model_.Lines) ListBox1->addItem(ToQ(l));
  if (model_.TopicsLoaded != topicShown_) {
    // A refill keeps the scroll position: a new topic would open where the
    // last one was read to.
    topicShown_ = model_.TopicsLoaded;
    ListBox1->scrollToTop();
  }
  if (model_.Selected >= 0 && model_.Selected < ListBox1->count()) {
    ListBox1->setCurrentRow(model_.Selected);
    ListBox1->scrollToItem(ListBox1->item(model_.Selected));
  }
  Back1->setEnabled(model_.BackEnabled);
  ShowHelpTopics1->setEnabled(model_.TopicsEnabled);
  setEnabled(model_.Enabled);
  if (model_.ClientWidth > 0 && model_.ClientHeight > 0) {
    // The list box's frame and scroll bar come on top of the text's size.
    const int frame = 2 * ListBox1->frameWidth() + ListBox1->verticalScrollBar()->sizeHint().width();
    resize(model_.ClientWidth + frame,
           model_.ClientHeight + menuBar()->sizeHint().height() + 2 * ListBox1->frameWidth());
  }
  loading_ = false;
}

void THelpWin::closeEvent(QCloseEvent* e) {
  // Closed by its close box: the model's close (the history goes).
  if (!hiding_ && model_.Visible) model_.FormClose();
  QMainWindow::closeEvent(e);
}

void RegisterHelpForms() {
  QtPlatform::registerForm("THelpLstDlg", [](DialogModel& m, QWidget* parent) {
    auto& model = static_cast<HelpLstDlgModel&>(m);
    THelpLstDlg dlg(model, parent);
    dlg.FormActivate();
    if (!ActiveHelpList) return ModalResult::Cancel;
    int r = dlg.exec();
    return r == QDialog::Accepted ? ModalResult::OK : ModalResult::Cancel;
  });
}

}  // namespace hv
