#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QCollator>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/SystemFacts.h"
#include "platform/qt/WindowPlace.h"

namespace hv {
namespace fs = std::filesystem;

QStringList QtFilters(const std::string& filter) {
  QStringList parts = ToQ(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    // Blanks around a "|" belong to neither side: "(*.TXT) | *.TXT".
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    patterns = patterns.simplified();
    if (patterns == "*.*") patterns = "*";
    QString desc = parts[i];
    int paren = desc.indexOf('(');
    if (paren >= 0) desc = desc.left(paren).trimmed();
    out << desc + " (" + patterns + ")";
  }
  return out;
}

std::vector<fs::path> LastListedFirst(const QStringList& files) {
  // Configured as the file dialog's own listing compares names.
  QCollator listing;
  listing.setNumericMode(true);
  listing.setCaseSensitivity(Qt::CaseInsensitive);
  QStringList sorted = files;
  std::stable_sort(sorted.begin(), sorted.end(), [&](const QString& a, const QString& b) {
    return listing.compare(QFileInfo(a).fileName(), QFileInfo(b).fileName()) < 0;
  });
  std::vector<fs::path> out;
  for (auto it = sorted.crbegin(); it != sorted.crend(); ++it) out.emplace_back(it->toStdString());
  return out;
}

std::map<std::string, QtPlatform::FormFactory>& QtPlatform::registry() {
  static std::map<std::string, FormFactory> forms;
  return forms;
}

void QtPlatform::registerForm(const std::string& name, FormFactory factory) {
  registry()[name] = std::move(factory);
}

QtPlatform::QtPlatform() : tracker_(std::make_unique<QObject>()) {
  if (!qApp) return;
  QObject::connect(qApp, &QGuiApplication::focusWindowChanged, tracker_.get(), [this](QWindow*) {
    QWidget* w = QApplication::activeWindow();
    if (!w) return;
    std::erase_if(recent_, [w](const QPointer<QWidget>& p) { return !p || p == w; });
    recent_.emplace_back(w);
    if (recent_.size() > 16) recent_.erase(recent_.begin());
  });
}

QtPlatform::~QtPlatform() = default;

QWidget* QtPlatform::owner() const {
  // A box asked while a modal window shows belongs over that window, even
  // before the window manager has made it the active one (a progress window
  // that stays on top would hide it otherwise).
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  for (auto it = recent_.rbegin(); it != recent_.rend(); ++it)
    if (*it && (*it)->isVisible()) return *it;
  return parent_;
}

namespace {
// A modal window whose owner is not on top would open under any visible
// stay-on-top window of the program (the report list, a guide): it then
// stays on top itself, so the student sees what is asked.
bool StayOnTopShown(const QWidget* except) {
  const QWidgetList tops = QApplication::topLevelWidgets();
  return std::any_of(tops.begin(), tops.end(), [except](QWidget* w) {
    return w != except && w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  });
}

void AboveStayOnTop(QWidget& modal) {
  if (StayOnTopShown(&modal)) modal.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

// When a question closes and the dialog that asked it closes right after,
// the window manager may hand the focus to neither, and the student's next
// keys go nowhere. Once the boxes are gone, the window they belonged to
// takes the focus back when nothing of the program has it.
class RefocusOwner {
 public:
  explicit RefocusOwner(QWidget* owner) : owner_(owner) {}
  ~RefocusOwner() {
    QTimer::singleShot(150, qApp, [owner = owner_] {
      if (QApplication::activeWindow()) return;
      QWidget* target = QApplication::activeModalWidget();
      if (!target && owner && owner->isVisible()) target = owner->window();
      if (target) target->activateWindow();
    });
  }
  RefocusOwner(const RefocusOwner&) = delete;
  RefocusOwner& operator=(const RefocusOwner&) = delete;

 private:
  QPointer<QWidget> owner_;
};
}  // namespace

ModalResult QtPlatform::message(const MessageRequest& r) {
  ModalScope shown(*this);
  beep(r.sound);
  QMessageBox box(owner());
  RefocusOwner refocus(box.parentWidget());
  box.setWindowTitle(ToQ(r.caption));
  box.setText(ToQ(r.text));
  switch (r.icon) {
    case MsgIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MsgIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MsgIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MsgIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgIcon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  QMessageBox::StandardButtons b;
  if (r.buttons & Buttons::OK) b |= QMessageBox::Ok;
  if (r.buttons & Buttons::Cancel) b |= QMessageBox::Cancel;
  if (r.buttons & Buttons::Yes) b |= QMessageBox::Yes;
  if (r.buttons & Buttons::No) b |= QMessageBox::No;
  if (r.buttons & Buttons::Retry) b |= QMessageBox::Retry;
  if (r.buttons & Buttons::Abort) b |= QMessageBox::Abort;
  if (r.buttons & Buttons::Ignore) b |= QMessageBox::Ignore;
  box.setStandardButtons(b);
  // A caption longer than the text would be cut off in the title bar; the
  // box sizes itself, so widen it through its own layout.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    const QMargins m = grid->contentsMargins();
    grid->addItem(new QSpacerItem(TitleFitWidth(box.windowTitle()) - m.left() - m.right(), 0,
                                  QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  AboveStayOnTop(box);
  switch (box.exec()) {
    case QMessageBox::Ok:
      return ModalResult::OK;
    case QMessageBox::Yes:
      return ModalResult::Yes;
    case QMessageBox::No:
      return ModalResult::No;
    case QMessageBox::Retry:
      return ModalResult::Retry;
    case QMessageBox::Abort:
      return ModalResult::Abort;
    case QMessageBox::Ignore:
      return ModalResult::Ignore;
    default:
      return ModalResult::Cancel;
  }
}

namespace {
QFileDialog* MakeChooser(QWidget* parent, const FileChooser& r, QFileDialog::AcceptMode mode) {
  auto* d = new QFileDialog(parent, ToQ(r.caption), QString::fromStdString(r.folder.string()));
  d->setAcceptMode(mode);
  d->setOption(QFileDialog::DontUseNativeDialog, false);
  QStringList filters = QtFilters(r.filter);
  if (!filters.isEmpty()) {
    d->setNameFilters(filters);
    int idx = r.filterIndex - 1;
    if (idx >= 0 && idx < filters.size()) d->selectNameFilter(filters[idx]);
  }
  if (!r.fileName.empty()) d->selectFile(ToQ(r.fileName));
  if (!r.defaultExt.empty()) d->setDefaultSuffix(ToQ(r.defaultExt));
  AboveStayOnTop(*d);
  return d;
}

std::optional<FileChoice> RunChooser(QFileDialog* d) {
  std::unique_ptr<QFileDialog> owner(d);
  if (d->exec() != QDialog::Accepted) return std::nullopt;
  FileChoice c;
  c.files = LastListedFirst(d->selectedFiles());
  QStringList filters = d->nameFilters();
  c.filterIndex = static_cast<int>(filters.indexOf(d->selectedNameFilter())) + 1;
  if (c.filterIndex < 1) c.filterIndex = 1;
  if (c.files.empty()) return std::nullopt;
  return c;
}
}  // namespace

std::optional<FileChoice> QtPlatform::openFiles(const FileChooser& r) {
  ModalScope shown(*this);
  QFileDialog* d = MakeChooser(owner(), r, QFileDialog::AcceptOpen);
  d->setFileMode(r.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  return RunChooser(d);
}

std::optional<FileChoice> QtPlatform::saveFile(const FileChooser& r) {
  ModalScope shown(*this);
  QFileDialog* d = MakeChooser(owner(), r, QFileDialog::AcceptSave);
  d->setFileMode(QFileDialog::AnyFile);
  // The callers ask their own overwrite question, on the name as they will
  // write it (upper-cased), so the dialog asks none.
  d->setOption(QFileDialog::DontConfirmOverwrite, true);
  return RunChooser(d);
}

std::optional<fs::path> QtPlatform::chooseFolder(const FolderChooser& r) {
  ModalScope shown(*this);
  QFileDialog d(owner(), ToQ(r.caption), QString::fromStdString(r.start.string()));
  d.setFileMode(QFileDialog::Directory);
  d.setOption(QFileDialog::ShowDirsOnly, true);
  d.setOption(QFileDialog::ReadOnly, !r.allowCreate);
  AboveStayOnTop(d);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  return fs::path(d.selectedFiles().front().toStdString());
}

std::optional<std::string> QtPlatform::inputLine(const InputRequest& r) {
  ModalScope shown(*this);
  bool ok = false;
  QString s = QInputDialog::getText(owner(), ToQ(r.caption), ToQ(r.prompt), QLineEdit::Normal,
                                    ToQ(r.initial), &ok);
  if (!ok) return std::nullopt;
  return FromQ(s);
}

namespace {
// A dialog, or a window it opens, shown while a window that stays on top is
// visible (the chart's centre question, the progress window) would open
// behind that window; it stays on top as well, through its native window so
// that the running modal loop is not disturbed.
class OnTopFollower : public QObject {
 public:
  OnTopFollower() { qApp->installEventFilter(this); }
  ~OnTopFollower() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() != QEvent::Show) return false;
    auto* d = qobject_cast<QWidget*>(o);
    if (!d || !d->isWindow() || (d->windowFlags() & Qt::WindowStaysOnTopHint)) return false;
    // Windows and dialogs only (a pick list is a window); menus and tips
    // lie above everything anyway.
    const Qt::WindowType type = d->windowType();
    if (type != Qt::Window && type != Qt::Dialog) return false;
    if (StayOnTopShown(d))
      if (QWindow* h = d->windowHandle()) h->setFlags(h->flags() | Qt::WindowStaysOnTopHint);
    return false;
  }
};
}  // namespace

ModalResult QtPlatform::showDialog(DialogModel& model) {
  ModalScope shown(*this);
  auto it = registry().find(std::string(model.dialogName()));
  if (it == registry().end()) {
    MessageRequest r;
    r.caption = "Halvardin";
    r.text = "No form for dialog " + std::string(model.dialogName());
    r.icon = MsgIcon::Error;
    r.sound = Sound::Hand;
    message(r);
    return ModalResult::Cancel;
  }
  OnTopFollower follower;
  QWidget* parent = owner();
  RefocusOwner refocus(parent);
  return it->second(model, parent);
}

void QtPlatform::placeWindow(PlacedWindow& window, int left, int top) {
  window.moveFrame(left, top);
}

void QtPlatform::beep(Sound sound) {
  if (sound != Sound::None) QApplication::beep();
}

void QtPlatform::setBusy(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

ClockReading QtPlatform::now() { return SystemFacts::Now(); }
std::int64_t QtPlatform::monotonicMs() { return SystemFacts::MonotonicMs(); }
std::string QtPlatform::userName() { return SystemFacts::UserName(); }
OsFacts QtPlatform::osFacts() { return SystemFacts::Os(); }
std::vector<fs::path> QtPlatform::opticalDriveRoots() { return SystemFacts::OpticalDriveRoots(); }
fs::path QtPlatform::programFile() { return SystemFacts::ProgramFile(); }
std::optional<std::string> QtPlatform::findExecutableFor(const fs::path& file) {
  return SystemFacts::FindExecutableFor(file);
}
ProcessStart QtPlatform::startProcess(const std::string& program, const fs::path& file,
                                      const fs::path& workingFolder) {
  return SystemFacts::StartProcess(program, file, workingFolder);
}
ProcessState QtPlatform::processState(ProcessHandle handle) { return SystemFacts::State(handle); }

namespace {
class QtPrintJob : public PrintJob {
 public:
  explicit QtPrintJob(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
    ok_ = painter_.begin(printer_.get());
    QFont f("Courier", 10);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    painter_.setFont(f);
  }
  bool started() const { return ok_; }
  int pageWidth() const override { return printer_->width(); }
  int pageHeight() const override { return printer_->height(); }
  int dotsPerInchX() const override { return printer_->logicalDpiX(); }
  int dotsPerInchY() const override { return printer_->logicalDpiY(); }
  int textHeight(std::string_view) override { return painter_.fontMetrics().height(); }
  int textWidth(std::string_view t) override {
    return painter_.fontMetrics().horizontalAdvance(ToQ(t));
  }
  void drawText(int x, int y, std::string_view text) override {
    // The program positions text by its top edge.
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), ToQ(text));
  }
  void drawLine(int x1, int y1, int x2, int y2) override { painter_.drawLine(x1, y1, x2, y2); }
  void drawEllipse(int l, int t, int r, int b) override {
    painter_.drawEllipse(l, t, r - l, b - t);
  }
  void drawImage(const IndexedImage& im, int left, int top, int w, int h) override {
    QImage q(im.pixels.data(), im.width, im.height, im.width, QImage::Format_Indexed8);
    QList<QRgb> table(im.colours.begin(), im.colours.end());
    q.setColorTable(table);
    painter_.drawImage(QRect(left, top, w, h), q);
  }
  void newPage() override { printer_->newPage(); }
  void setFont(const PrintFont& pf) override {
    QFont f(ToQ(pf.family), pf.pointSize);
    f.setBold(pf.bold);
    f.setFixedPitch(pf.fixedPitch);
    if (pf.fixedPitch) f.setStyleHint(QFont::TypeWriter);
    painter_.setFont(f);
  }
  void setPenWidth(int width) override {
    // Screen pixels to device pixels.
    QPen pen(Qt::black);
    pen.setWidth(width * printer_->logicalDpiX() / 96);
    painter_.setPen(pen);
  }
  bool finish() override { return painter_.end() && ok_; }

 private:
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  bool ok_ = false;
};
}  // namespace

std::unique_ptr<PrintJob> QtPlatform::beginPrint(const PrintRequest& r) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setDocName(ToQ(r.jobTitle));
  printer->setPageOrientation(r.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  if (!r.pdfFile.empty()) {
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(r.pdfFile.string()));
  } else {
    ModalScope shown(*this);
    QPrintDialog dlg(printer.get(), owner());
    if (dlg.exec() != QDialog::Accepted) return nullptr;
  }
  auto job = std::make_unique<QtPrintJob>(std::move(printer));
  if (!job->started()) return nullptr;
  return job;
}

}  // namespace hv
