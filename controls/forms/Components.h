#pragma once
// The indicator controls' bases: painting through a control-sized buffer with
// an error face, repaint requests deferred by an update bracket and
// optionally throttled to a frame rate, a timer and transparency.
#include <QFont>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "controls/Canvas.h"
#include "controls/Colors.h"
#include "controls/OPCItem.h"
#include "controls/OPCLoader.h"
#include "controls/PropertyText.h"
#include "controls/RepaintControl.h"

class QPainter;

namespace hv {

class TiComponent : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int Left READ x WRITE SetLeft)
  Q_PROPERTY(int Top READ y WRITE SetTop)
  Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
  Q_PROPERTY(bool Visible READ VisibleProp WRITE setVisible)
  Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)
  Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
  Q_PROPERTY(int Tag READ Tag WRITE SetTag)
  Q_PROPERTY(bool AutoFrameRate READ AutoFrameRate WRITE SetAutoFrameRate)
  Q_PROPERTY(int UpdateFrameRate READ UpdateFrameRate WRITE SetUpdateFrameRate)
  Q_PROPERTY(
      bool OptionSaveAllProperties READ OptionSaveAllProperties WRITE SetOptionSaveAllProperties)

 public:
  explicit TiComponent(QWidget* parent = nullptr);
  ~TiComponent() override;

  // --- events ---
  // After the face is painted into the buffer, before it reaches the screen.
  std::function<void(TiComponent& sender, QPainter& canvas)> OnAfterPaint;
  std::function<void(TiComponent& sender, std::string_view property)> OnPropertyChanged;
  // Asked before a published property changes; setting allowed false vetoes.
  std::function<void(TiComponent& sender, std::string_view property, bool& allowed)>
      OnRequestPropertyChange;

  // --- properties ---
  bool AutoFrameRate() const { return repaint_.AutoFrameRate; }
  void SetAutoFrameRate(bool on) { repaint_.SetAutoFrameRate(on); }
  int UpdateFrameRate() const { return repaint_.UpdateFrameRate; }
  void SetUpdateFrameRate(int rate) { repaint_.SetUpdateFrameRate(rate); }
  bool Updating() const { return repaint_.Updating; }
  bool FacePending() const { return repaint_.FacePending; }
  bool BackPending() const { return repaint_.BackPending; }
  std::int64_t LastRepaint() const { return repaint_.LastRepaint; }
  TColor BackGroundColor() const { return backGroundColor_; }
  std::uint8_t BorderStyle() const { return borderStyle_; }
  bool CachedBackGround() const { return cachedBackGround_; }
  bool OptionSaveAllProperties() const { return optionSaveAllProperties_; }
  void SetOptionSaveAllProperties(bool on) { optionSaveAllProperties_ = on; }
  bool ErrorActive() const { return errorActive_; }
  void SetErrorActive(bool on) { SetBooleanProp(on, errorActive_, 1); }
  const QFont& ErrorFont() const { return errorFont_; }
  void SetErrorFont(const QFont& font);
  TColor ErrorFontColor() const { return errorFontColor_; }

  void SetLeft(int left) { move(left, y()); }
  void SetTop(int top) { move(x(), top); }
  bool VisibleProp() const { return !isHidden(); }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool on) { showHint_ = on; }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  // The clock the throttle reads (milliseconds, must not jump); the default
  // is the system's monotonic clock.
  void SetClock(RepaintControl::Clock clock) { repaint_.SetClock(std::move(clock)); }
  // The single-shot timer that shows a change the throttle held back.
  bool ThrottleTimerActive() const { return laterTimer_.isActive(); }

  // --- virtual operations ---
  virtual QPoint CenterPoint() const { return QPoint(width() / 2, height() / 2); }
  virtual void SetCachedBackGround(bool on);
  virtual void SetBorderStyle(std::uint8_t style);
  virtual void SetBackGroundColor(TColor color);
  // Fills the control with the colour, then the border.
  virtual void PaintBackGround(Canvas& canvas, TColor color);
  // 1 raised edge, 2 sunken edge, 0 nothing.
  virtual void PaintBorder(Canvas& canvas);
  virtual bool TimerRunning() const = 0;
  virtual void StartTimer(std::uint32_t firstDelayMs, std::uint32_t intervalMs) = 0;
  virtual void StopTimer() = 0;
  virtual bool SendPropertyData(std::string_view property, const OPCValue& value);
  virtual void FocusGained();
  virtual void FocusLost();
  virtual void DoWantSpecialKey(int& key, bool& result) {}
  virtual void DoKeyUp(int& key, Qt::KeyboardModifiers shift) {}
  virtual void DoKeyDown(int& key, Qt::KeyboardModifiers shift) {}
  virtual void DoKeyPress(QChar& key) {}
  virtual void DoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {}
  virtual void DoMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {}
  virtual void DoMouseMove(Qt::KeyboardModifiers shift, int x, int y) {}
  virtual void DoDblClick() {}
  virtual bool DoMouseWheel(int wheelDelta, Qt::KeyboardModifiers shift, QPoint position) {
    return false;
  }
  // Paints the whole face. Controls without a face of their own raise
  // "Abstract Error", which shows as the error face.
  virtual void PaintTo(Canvas& canvas);
  virtual void UpdateBackGround() { InvalidateBackGround(); }
  virtual void BeginUpdate() { repaint_.BeginUpdate(); }
  virtual void EndUpdate() { repaint_.EndUpdate(); }
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
  // "File Type = " and the class name, then the published properties
  // (position, size and the other common ones only with
  // OptionSaveAllProperties). Failures raise "Error Saving Properties - "
  // with the failure's message.
  virtual void SaveToTextFile(const std::filesystem::path& file);
  // Applies the file's properties inside an update bracket; failures raise
  // "Error Loading Properties - " with the failure's message.
  virtual void LoadFromTextFile(const std::filesystem::path& file);

  // The kind of a published property by its case-insensitive dotted name.
  TypeKind PropertyKind(std::string_view dottedName) const;

  // --- repaint requests ---
  // Background and face; every property setter of the library calls it.
  void InvalidateBackGround() { repaint_.InvalidateBackGround(); }
  void InvalidateForeGround() { repaint_.InvalidateForeGround(); }
  // Store a changed value and request a repaint: kind 0 face, 1 background.
  void SetBooleanProp(bool value, bool& field, int kind);
  void SetIntegerProp(std::int32_t value, std::int32_t& field, int kind);
  void SetColorProp(TColor value, TColor& field, int kind);

  // While a form sets the control's properties at load time.
  void BeginLoad() { loading_ = true; }
  virtual void EndLoad() { loading_ = false; }
  bool IsLoading() const { return loading_; }
  // There is no form designer at run time.
  bool IsDesigning() const { return false; }

  // The cached background bitmap, made at the control's size when missing.
  QImage& GetBackGroundBitmap();
  bool HasBackGroundBitmap() const { return !backGroundBitmap_.isNull(); }

  // Asks OnRequestPropertyChange; true when the change may go ahead.
  bool RequestPropertyChange(std::string_view property);
  void PropertyChanged(std::string_view property);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Paints the face through a control-sized buffer, or directly when the
  // target records drawing (a picture).
  virtual void PaintControl();
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  // A size change drops a bitmap of the old size; GetBackGroundBitmap
  // makes it again.
  void ResizeBackGroundBitmap();

  bool destroying_ = false;

 private:
  RepaintControl repaint_;
  QTimer laterTimer_;
  QImage backGroundBitmap_;
  TColor backGroundColor_ = clBtnFace;
  std::uint8_t borderStyle_ = 0;
  bool cachedBackGround_ = true;
  bool optionSaveAllProperties_ = false;
  bool errorActive_ = false;
  bool loading_ = false;
  bool showHint_ = false;
  int tag_ = 0;
  QFont errorFont_;
  TColor errorFontColor_ = clRed;
};

class TiVCLComponent : public TiComponent {
  Q_OBJECT

 public:
  explicit TiVCLComponent(QWidget* parent = nullptr);
  ~TiVCLComponent() override;

  // Called at each timer tick.
  std::function<void(TiVCLComponent& sender)> OnTimer;
  // Received process data: may change the value before it is applied.
  std::function<void(TiVCLComponent& sender, int itemIndex, OPCValue& value)> OnBeforeNewOPCData;
  std::function<void(TiVCLComponent& sender, int itemIndex)> OnNewOPCData;

  // The control's bindings of published properties to process data.
  TiOPCItemManager OPCItems;
  // Set while received data is applied to a property.
  bool ApplyingOPCData = false;

  // Applies an item's received value to its bound property (good quality
  // only, unless HandleOPCData takes it), then tells OnNewOPCData.
  void ApplyOPCData(TiOPCItem& item);
  // False: let the library apply the data.
  virtual bool HandleOPCData(TiOPCItem& item) { return false; }
  // A change caused by received data is not sent back; otherwise the first
  // connected item bound to the property sends the value.
  bool SendPropertyData(std::string_view property, const OPCValue& value) override;
  static void SetPropertyFromVariant(QObject& object, std::string_view prefix,
                                     const OPCValue& value, std::string_view property);

  bool TimerRunning() const override { return timer_.isActive(); }
  // Nothing while a timer runs. A first delay of 0 starts the repeating
  // interval at once (nothing when that is 0 too); otherwise the first tick
  // comes after the first delay and the interval follows.
  void StartTimer(std::uint32_t firstDelayMs, std::uint32_t intervalMs) override;
  void StopTimer() override;
  std::uint32_t TimerInterval() const { return timerInterval_; }
  bool TimerFirstShot() const { return timerFirstShot_; }

  // Everything here runs on the window thread, which alone paints, so the
  // per-control lock around painting needs no critical section.
  void Lock() override {}
  void Unlock() override {}

  bool Transparent() const { return transparent_; }
  // Transparent controls let their parent show through where the face does
  // not paint; the window system composes what lies under the control, so no
  // image of it is captured.
  virtual void SetTransparent(bool on);
  void PaintBackGround(Canvas& canvas, TColor color) override;

  // Moves and sizes the control (each side held to 0..MaxSide); nothing
  // when all four are unchanged.
  static constexpr int MaxSide = 4096;
  virtual void ChangeBounds(int left, int top, int width, int height);
  void SetWidth(int width) { ChangeBounds(x(), y(), width, height()); }
  void SetHeight(int height) { ChangeBounds(x(), y(), width(), height); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void Tick();

  QTimer timer_;
  std::uint32_t timerInterval_ = 0;
  bool timerFirstShot_ = false;
  bool transparent_ = false;
};

// No behaviour of its own.
class TiCustomComponent : public TiVCLComponent {
  Q_OBJECT

 public:
  using TiVCLComponent::TiVCLComponent;
};

}  // namespace hv
