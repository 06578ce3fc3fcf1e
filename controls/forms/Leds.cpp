#include "controls/forms/Leds.h"

#include <QResizeEvent>

namespace hv {

TiLed::TiLed(QWidget* parent) : TiCustomComponent(parent) {
  resize(20, 20);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TiLed::NotifyChange() {
  PropertyChanged("Active");
  if (OnChange) OnChange(*this);
}

TiLedRound::TiLedRound(QWidget* parent) : TiLed(parent) {}

void TiLedRound::PaintTo(Canvas& canvas) {
  PaintBackGround(canvas, BackGroundColor());
  PaintLedRoundFace(canvas, width(), height(), led_);
}

void TiLedRound::ChangeBounds(int left, int top, int width, int height) {
  Size s = LedRoundBounds(IsLoading(), {this->width(), this->height()}, {width, height});
  squaring_ = true;
  TiLed::ChangeBounds(left, top, s.width, s.height);
  squaring_ = false;
}

void TiLedRound::resizeEvent(QResizeEvent* event) {
  TiLed::resizeEvent(event);
  // A size set from outside (a layout, resize()) is squared by the same rule.
  if (squaring_ || IsLoading() || width() == height()) return;
  QSize old = event->oldSize();
  if (!old.isValid()) old = QSize(-1, -1);
  Size s = LedRoundBounds(false, {old.width(), old.height()}, {width(), height()});
  squaring_ = true;
  resize(s.width, s.height);
  squaring_ = false;
}

}  // namespace hv
