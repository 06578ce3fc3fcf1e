#include "controls/forms/Components.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <exception>
#include <stdexcept>

#include "controls/forms/PropertyFiles.h"
#include "controls/forms/QtCanvas.h"
#include "platform/SystemFacts.h"
#include "support/Files.h"

namespace hv {

TiComponent::TiComponent(QWidget* parent)
    : QWidget(parent),
      repaint_(&SystemFacts::MonotonicMs,
               {[this] { update(); },
                [this](std::int64_t ms) { laterTimer_.start(static_cast<int>(ms)); },
                [this] { laterTimer_.stop(); }}) {
  // Opaque: the face paints every pixel, so nothing is erased first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  laterTimer_.setSingleShot(true);
  connect(&laterTimer_, &QTimer::timeout, this, [this] { repaint_.LaterDue(); });
  errorFont_ = font();
  errorFont_.setBold(true);
}

TiComponent::~TiComponent() { destroying_ = true; }

void TiComponent::SetErrorFont(const QFont& font) {
  errorFont_ = font;
  InvalidateForeGround();
}

void TiComponent::SetCachedBackGround(bool on) {
  cachedBackGround_ = on;
  if (!on) backGroundBitmap_ = QImage();
  InvalidateBackGround();
}

void TiComponent::SetBorderStyle(std::uint8_t style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  InvalidateBackGround();
}

void TiComponent::SetBackGroundColor(TColor color) { SetColorProp(color, backGroundColor_, 1); }

void TiComponent::PaintBackGround(Canvas& canvas, TColor color) {
  canvas.FillRect(Rect{0, 0, width(), height()}, canvas.Resolve(color));
  PaintBorder(canvas);
}

void TiComponent::PaintBorder(Canvas& canvas) {
  if (borderStyle_ == 1)
    canvas.Edge(Rect{0, 0, width(), height()}, true);
  else if (borderStyle_ == 2)
    canvas.Edge(Rect{0, 0, width(), height()}, false);
}

bool TiComponent::SendPropertyData(std::string_view, const OPCValue&) { return false; }

void TiComponent::FocusGained() { update(); }

void TiComponent::FocusLost() {
  try {
    DoMouseUp(Qt::LeftButton, Qt::NoModifier, 0, 0);
    update();
  } catch (...) {
  }
}

void TiComponent::PaintTo(Canvas&) { throw std::runtime_error("Abstract Error"); }

static std::string ClassName(const QObject& o) {
  std::string name = o.metaObject()->className();
  if (auto colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
  return name;
}

void TiComponent::SaveToTextFile(const std::filesystem::path& file) {
  try {
    std::vector<std::string> lines{"File Type = " + ClassName(*this)};
    std::vector<std::string> excluded{"Name"};
    if (!optionSaveAllProperties_)
      excluded.insert(excluded.end(),
                      {"Left", "Top", "Width", "Height", "Align", "Cursor", "ShowHint", "Tag",
                       "Visible", "Enabled", "Hint", "HelpContext"});
    SaveProperties(*this, "", lines, excluded);
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    WriteFileAtomic(file, text);
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("Error Saving Properties - ") + e.what());
  }
}

void TiComponent::LoadFromTextFile(const std::filesystem::path& file) {
  try {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(file);
    std::vector<std::string> lines =
        SplitLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    BeginUpdate();
    try {
      LoadProperties(*this, "", lines);
    } catch (...) {
      // The bracket ends also on failure, so the control keeps repainting.
      EndUpdate();
      throw;
    }
    EndUpdate();
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("Error Loading Properties - ") + e.what());
  }
}

TypeKind TiComponent::PropertyKind(std::string_view dottedName) const {
  return PropertyKindOf(*this, dottedName);
}

void TiComponent::SetBooleanProp(bool value, bool& field, int kind) {
  if (value == field) return;
  field = value;
  kind == 0 ? InvalidateForeGround() : InvalidateBackGround();
}

void TiComponent::SetIntegerProp(std::int32_t value, std::int32_t& field, int kind) {
  if (value == field) return;
  field = value;
  kind == 0 ? InvalidateForeGround() : InvalidateBackGround();
}

void TiComponent::SetColorProp(TColor value, TColor& field, int kind) {
  if (value == field) return;
  field = value;
  kind == 0 ? InvalidateForeGround() : InvalidateBackGround();
}

QImage& TiComponent::GetBackGroundBitmap() {
  if (backGroundBitmap_.isNull())
    backGroundBitmap_ = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
  return backGroundBitmap_;
}

void TiComponent::ResizeBackGroundBitmap() {
  // Made again at the new size when it is next asked for: a control sized
  // over and over (a property file loading) allocates nothing meanwhile.
  if (!backGroundBitmap_.isNull() && backGroundBitmap_.size() != size())
    backGroundBitmap_ = QImage();
}

bool TiComponent::RequestPropertyChange(std::string_view property) {
  bool allowed = true;
  if (OnRequestPropertyChange) OnRequestPropertyChange(*this, property, allowed);
  return allowed;
}

void TiComponent::PropertyChanged(std::string_view property) {
  if (OnPropertyChanged) OnPropertyChanged(*this, property);
}

void TiComponent::paintEvent(QPaintEvent*) {
  try {
    PaintControl();
  } catch (const std::exception&) {
    // Swallowed: the next paint tries again.
  }
}

namespace {
struct UnlockOnExit {
  TiComponent& c;
  ~UnlockOnExit() { c.Unlock(); }
};
}  // namespace

void TiComponent::PaintControl() {
  QPainter screen(this);
  // Rendered into a recording, the widget's painter is redirected: its
  // device still names the widget, only the engine tells.
  if (screen.paintEngine() && screen.paintEngine()->type() == QPaintEngine::Picture) {
    // A recorded drawing: paint directly, without the cached background.
    Lock();
    UnlockOnExit unlock{*this};
    struct Restore {
      bool& field;
      bool saved;
      ~Restore() { field = saved; }
    } restore{cachedBackGround_, cachedBackGround_};
    cachedBackGround_ = false;
    QtCanvas canvas(screen, palette());
    PaintTo(canvas);
    return;
  }

  Lock();
  UnlockOnExit unlock{*this};
  const qreal dpr = devicePixelRatioF();
  QImage buffer((QSizeF(size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
  buffer.setDevicePixelRatio(dpr);
  buffer.fill(Qt::transparent);
  {
    QPainter painter(&buffer);
    painter.setPen(Qt::SolidLine);
    painter.setBrush(Qt::SolidPattern);
    try {
      QtCanvas canvas(painter, palette());
      PaintTo(canvas);
    } catch (const std::exception& e) {
      // The error face: black, the message in white.
      painter.resetTransform();
      painter.setClipping(false);
      painter.fillRect(rect(), Qt::black);
      painter.setPen(Qt::white);
      painter.setFont(font());
      QString text = QString::fromLatin1(e.what());
      QRect box = rect();
      DrawTextRect(painter, text, box, TextFlags::WordBreak);
    }
    if (OnAfterPaint) OnAfterPaint(*this, painter);
  }
  screen.drawImage(0, 0, buffer);
}

void TiComponent::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
    InvalidateBackGround();
}

void TiComponent::keyPressEvent(QKeyEvent* event) {
  QWidget::keyPressEvent(event);
  try {
    int key = event->key();
    DoKeyDown(key, event->modifiers());
    const QString text = event->text();
    if (!text.isEmpty()) {
      QChar ch = text.at(0);
      DoKeyPress(ch);
    }
  } catch (const std::exception&) {
  }
}

void TiComponent::keyReleaseEvent(QKeyEvent* event) {
  QWidget::keyReleaseEvent(event);
  try {
    int key = event->key();
    DoKeyUp(key, event->modifiers());
  } catch (const std::exception&) {
  }
}

void TiComponent::mousePressEvent(QMouseEvent* event) {
  try {
    const QPoint p = event->position().toPoint();
    DoMouseDown(event->button(), event->modifiers(), p.x(), p.y());
    QWidget::mousePressEvent(event);
  } catch (const std::exception&) {
  }
}

void TiComponent::mouseReleaseEvent(QMouseEvent* event) {
  try {
    const QPoint p = event->position().toPoint();
    DoMouseUp(event->button(), event->modifiers(), p.x(), p.y());
    QWidget::mouseReleaseEvent(event);
  } catch (const std::exception&) {
  }
}

void TiComponent::mouseMoveEvent(QMouseEvent* event) {
  try {
    const QPoint p = event->position().toPoint();
    DoMouseMove(event->modifiers(), p.x(), p.y());
    QWidget::mouseMoveEvent(event);
  } catch (const std::exception&) {
  }
}

void TiComponent::mouseDoubleClickEvent(QMouseEvent* event) {
  try {
    DoDblClick();
    QWidget::mouseDoubleClickEvent(event);
  } catch (const std::exception&) {
  }
}

void TiComponent::wheelEvent(QWheelEvent* event) {
  bool handled = false;
  try {
    handled =
        DoMouseWheel(event->angleDelta().y(), event->modifiers(), event->position().toPoint());
  } catch (const std::exception&) {
  }
  event->setAccepted(handled);
}

void TiComponent::focusInEvent(QFocusEvent* event) {
  FocusGained();
  QWidget::focusInEvent(event);
}

void TiComponent::focusOutEvent(QFocusEvent* event) {
  FocusLost();
  QWidget::focusOutEvent(event);
}

// ---------------------------------------------------------------------------

TiVCLComponent::TiVCLComponent(QWidget* parent) : TiComponent(parent) {
  connect(&timer_, &QTimer::timeout, this, &TiVCLComponent::Tick);
  OPCItems.Owner.isDesigning = [this] { return IsDesigning(); };
  OPCItems.Owner.isLoading = [this] { return IsLoading(); };
  OPCItems.Owner.dataArrived = [this](TiOPCItem& item) { ApplyOPCData(item); };
  OPCItems.Owner.propertyKind = [this](std::string_view name) { return PropertyKind(name); };
  OPCItems.Owner.setErrorActive = [this](bool on) { SetErrorActive(on); };
}

TiVCLComponent::~TiVCLComponent() {
  destroying_ = true;
  OPCItems.Clear();
  timer_.stop();
}

void TiVCLComponent::ApplyOPCData(TiOPCItem& item) {
  if (item.PropertyName().empty()) return;
  OPCValue value = item.Value;
  const int index = OPCItems.IndexOf(&item);
  if (OnBeforeNewOPCData) OnBeforeNewOPCData(*this, index, value);
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{ApplyingOPCData};
  ApplyingOPCData = true;
  if (item.QualityGood() && !HandleOPCData(item))
    SetPropertyFromVariant(*this, "", value, item.PropertyName());
  if (OnNewOPCData) OnNewOPCData(*this, index);
}

bool TiVCLComponent::SendPropertyData(std::string_view property, const OPCValue& value) {
  if (ApplyingOPCData) {
    ApplyingOPCData = false;
    return false;
  }
  for (int i = 0; i < OPCItems.Count(); ++i) {
    TiOPCItem* item = OPCItems.GetItem(i);
    if (item->IsConnected() && SameName(item->PropertyName(), property)) {
      item->SendData(value);
      return true;
    }
  }
  return false;
}

void TiVCLComponent::SetPropertyFromVariant(QObject& object, std::string_view prefix,
                                            const OPCValue& value, std::string_view property) {
  SetPropertyFromText(object, prefix, OPCValueText(value), property);
}

void TiVCLComponent::StartTimer(std::uint32_t firstDelayMs, std::uint32_t intervalMs) {
  if (TimerRunning()) return;
  timerInterval_ = intervalMs;
  if (firstDelayMs == 0) {
    if (intervalMs == 0) return;
    timerFirstShot_ = false;
    timer_.start(static_cast<int>(std::min<std::uint32_t>(intervalMs, INT32_MAX)));
  } else {
    timerFirstShot_ = true;
    timer_.start(static_cast<int>(std::min<std::uint32_t>(firstDelayMs, INT32_MAX)));
  }
}

void TiVCLComponent::StopTimer() {
  timer_.stop();
  timerFirstShot_ = false;
}

void TiVCLComponent::Tick() {
  if (timerFirstShot_) {
    timerFirstShot_ = false;
    timer_.stop();
    // An interval of 0 after the first delay: the first tick was the last.
    if (timerInterval_ > 0)
      timer_.start(static_cast<int>(std::min<std::uint32_t>(timerInterval_, INT32_MAX)));
  }
  if (OnTimer) OnTimer(*this);
}

void TiVCLComponent::SetTransparent(bool on) {
  if (on == transparent_) return;
  transparent_ = on;
  setAttribute(Qt::WA_OpaquePaintEvent, !on);
  InvalidateBackGround();
}

void TiVCLComponent::PaintBackGround(Canvas& canvas, TColor color) {
  // Transparent: the buffer starts clear and the parent shows through; the
  // border is not drawn then.
  if (!transparent_) TiComponent::PaintBackGround(canvas, color);
}

void TiVCLComponent::ChangeBounds(int left, int top, int width, int height) {
  // No control is larger than a screen: a size from a damaged property file
  // would otherwise make bitmaps of gigabytes.
  width = std::clamp(width, 0, MaxSide);
  height = std::clamp(height, 0, MaxSide);
  if (left == x() && top == y() && width == this->width() && height == this->height()) return;
  setGeometry(left, top, width, height);
  // A hidden widget gets its resize event only when shown.
  ResizeBackGroundBitmap();
  InvalidateBackGround();
}

void TiVCLComponent::resizeEvent(QResizeEvent* event) {
  TiComponent::resizeEvent(event);
  ResizeBackGroundBitmap();
  InvalidateBackGround();
}

void TiVCLComponent::moveEvent(QMoveEvent* event) {
  TiComponent::moveEvent(event);
  if (transparent_) InvalidateBackGround();
}

}  // namespace hv
