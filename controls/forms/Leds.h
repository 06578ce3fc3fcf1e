#pragma once
// The on/off LED and the round LED. A TiLedRound sits on a form like any
// fixed-size widget:
//   auto* led = new TiLedRound(this);
//   led->ChangeBounds(x, y, 14, 14);  // or a layout; the size stays square
//   led->SetActiveColor(clRed);       // unlit it shows a third of it
//   ...
//   led->SetActive(true);
#include <QSize>

#include "controls/Led.h"
#include "controls/forms/Components.h"

namespace hv {

class TiLed : public TiCustomComponent, protected LedHost {
  Q_OBJECT
  Q_PROPERTY(bool Active READ Active WRITE SetActive)
  Q_PROPERTY(hv::TiBevelStyle BevelStyle READ BevelStyle WRITE SetBevelStyle)
  Q_PROPERTY(uint ActiveColor READ ActiveColor WRITE SetActiveColor)
  Q_PROPERTY(bool AutoInactiveColor READ AutoInactiveColor WRITE SetAutoInactiveColor)
  Q_PROPERTY(uint InactiveColor READ InactiveColor WRITE SetInactiveColor)
  Q_PROPERTY(int Width READ width WRITE SetWidth)
  Q_PROPERTY(int Height READ height WRITE SetHeight)

 public:
  // 20 x 20, unlit, lime with the automatic inactive colour, lowered bevel.
  explicit TiLed(QWidget* parent = nullptr);

  // Told once after each change of Active.
  std::function<void(TiLed& sender)> OnChange;

  bool Active() const { return led_.Active(); }
  // An equal value does nothing; OnRequestPropertyChange ("Active") may veto
  // the change; otherwise it repaints and tells OnPropertyChanged, then
  // OnChange.
  void SetActive(bool value) { led_.SetActive(value); }
  TiBevelStyle BevelStyle() const { return led_.BevelStyle(); }
  void SetBevelStyle(TiBevelStyle style) { led_.SetBevelStyle(style); }
  TColor ActiveColor() const { return led_.ActiveColor(); }
  void SetActiveColor(TColor color) { led_.SetActiveColor(color); }
  bool AutoInactiveColor() const { return led_.AutoInactiveColor(); }
  void SetAutoInactiveColor(bool on) { led_.SetAutoInactiveColor(on); }
  TColor InactiveColor() const { return led_.InactiveColor(); }
  void SetInactiveColor(TColor color) { led_.SetInactiveColor(color); }

  QSize sizeHint() const override { return size(); }

 protected:
  // The active state changed.
  virtual void NotifyChange() override;
  bool RequestPropertyChange(std::string_view name) override {
    return TiComponent::RequestPropertyChange(name);
  }
  void RepaintAll() override { InvalidateBackGround(); }

  LedModel led_{*this};
};

class TiLedRound : public TiLed {
  Q_OBJECT
  Q_PROPERTY(bool ShowReflection READ ShowReflection WRITE SetShowReflection)
  Q_PROPERTY(uint BackGroundColor READ BackGroundColor WRITE SetBackGroundColor)
  Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

 public:
  explicit TiLedRound(QWidget* parent = nullptr);

  bool ShowReflection() const { return led_.ShowReflection(); }
  void SetShowReflection(bool on) { led_.SetShowReflection(on); }

  // The background, the body, the highlight and the rim.
  void PaintTo(Canvas& canvas) override;
  // Keeps the control square: a new width sets the height, else a new
  // height the width; while the form loads the bounds are taken as given.
  void ChangeBounds(int left, int top, int width, int height) override;
  // The size the form gave stays, also once the LED is shown.
  void EndLoad() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool squaring_ = false;
  // The size last taken by the rule (or as given while loading); a hidden
  // widget's resize event comes only when it is shown and carries no old
  // size, so the rule compares against this.
  QSize accepted_;
};

}  // namespace hv
