#include "platform/qt/WindowPlace.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPointer>
#include <QTimer>

#include "platform/qt/QtPlatform.h"

namespace hv {

namespace {

// A decorated window that is shown and framed is larger than its client
// area; before that Qt reports the client area alone.
bool FrameKnown(const QWidget& w) {
  return w.isVisible() && w.testAttribute(Qt::WA_WState_Created) &&
         w.frameGeometry() != w.geometry();
}

QMargins MarginsOf(const QWidget& w) {
  const QRect f = w.frameGeometry(), g = w.geometry();
  return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
}

// Moves a window once more when the window manager has told its frame, so
// a guessed frame never decides where the window stays.
class FrameFixer : public QObject {
 public:
  static constexpr const char* Name = "hv-frame-fixer";
  FrameFixer(QWidget& w, QPoint wanted) : QObject(&w), window_(&w), wanted_(wanted) {
    setObjectName(Name);
    w.installEventFilter(this);
    // The window manager answers within moments; a window it never frames
    // (no window manager, no decoration) keeps the position it got.
    QTimer::singleShot(3000, this, [this] { deleteLater(); });
  }
  void Retarget(QPoint wanted) { wanted_ = wanted; }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == window_ && window_) {
      switch (e->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Expose:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest:
          Check();
          break;
        default:
          break;
      }
    }
    return false;
  }

 private:
  void Check() {
    if (done_ || !window_ || !FrameKnown(*window_)) return;
    done_ = true;
    if (window_->frameGeometry().topLeft() != wanted_) window_->move(wanted_);
    deleteLater();
  }
  QPointer<QWidget> window_;
  QPoint wanted_;
  bool done_ = false;
};

}  // namespace

QMargins FrameMargins(const QWidget& window) {
  if (FrameKnown(window)) return MarginsOf(window);
  for (QWidget* t : QApplication::topLevelWidgets())
    if (t != &window && FrameKnown(*t)) return MarginsOf(*t);
  return {};
}

QSize FrameSize(const QWidget& window) {
  const QMargins m = FrameMargins(window);
  return window.size() + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void MoveFrame(QWidget& window, QPoint frameTopLeft) {
  if (FrameKnown(window)) {
    window.move(frameTopLeft);  // Qt moves a framed window by its frame
    return;
  }
  // A made window is moved by its client area; one not yet made would be
  // placed by a frame Qt guesses at its first showing. Made now, the window
  // takes the client position that the frame's margins give.
  if (!window.testAttribute(Qt::WA_WState_Created)) window.winId();
  const QMargins m = FrameMargins(window);
  window.move(frameTopLeft + QPoint(m.left(), m.top()));
  if (auto* fixer = window.findChild<FrameFixer*>(FrameFixer::Name, Qt::FindDirectChildrenOnly))
    fixer->Retarget(frameTopLeft);
  else
    new FrameFixer(window, frameTopLeft);
}

int TitleFitWidth(const QString& caption) {
  QFont title = QApplication::font();
  title.setBold(true);
  // The icon and the minimise, maximise and close buttons take about as
  // much as seven lines of text are high; the margins, two more.
  const QFontMetrics fm(title);
  return fm.horizontalAdvance(caption) + 9 * fm.height();
}

std::string WidgetPlacement::caption() const { return FromQ(window_.windowTitle()); }

}  // namespace hv
