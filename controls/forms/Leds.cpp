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

TiLedRound::TiLedRound(QWidget* parent) : TiLed(parent), accepted_(size()) {}

void TiLedRound::PaintTo(Canvas& canvas) {
  PaintBackGround(canvas, BackGroundColor());
  PaintLedRoundFace(canvas, width(), height(), led_);
}

void TiLedRound::ChangeBounds(int left, int top, int width, int height) {
  Size s = LedRoundBounds(IsLoading(), {this->width(), this->height()}, {width, height});
  squaring_ = true;
  TiLed::ChangeBounds(left, top, s.width, s.height);
  squaring_ = false;
  accepted_ = size();
}

void TiLedRound::EndLoad() {
  TiLed::EndLoad();
  accepted_ = size();
}

void TiLedRound::resizeEvent(QResizeEvent* event) {
  TiLed::resizeEvent(event);
  // A size set from outside (a layout, resize()) is squared by the same rule.
  if (squaring_ || size() == accepted_) return;
  if (IsLoading() || width() == height()) {
    accepted_ = size();
    return;
  }
  Size s = LedRoundBounds(false, {accepted_.width(), accepted_.height()}, {width(), height()});
  squaring_ = true;
  resize(s.width, s.height);
  squaring_ = false;
  accepted_ = size();
}

}  // namespace hv
