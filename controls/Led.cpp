#include "controls/Led.h"

namespace hv {

void LedModel::SetActive(bool value) {
  if (value == active_) return;
  if (!host_.RequestPropertyChange("Active")) return;
  active_ = value;
  host_.RepaintAll();
  host_.NotifyChange();
}

template <typename T>
void LedModel::Store(T& field, T value) {
  if (field == value) return;
  field = value;
  host_.RepaintAll();
}

void LedModel::SetBevelStyle(TiBevelStyle value) { Store(bevelStyle_, value); }
void LedModel::SetActiveColor(TColor value) { Store(activeColor_, value); }
void LedModel::SetAutoInactiveColor(bool value) { Store(autoInactiveColor_, value); }
void LedModel::SetInactiveColor(TColor value) { Store(inactiveColor_, value); }
void LedModel::SetShowReflection(bool value) { Store(showReflection_, value); }

TColor LedModel::BodyColor(const Canvas& canvas) const {
  if (active_) return canvas.Resolve(activeColor_);
  if (autoInactiveColor_) return DimColor(canvas.Resolve(activeColor_), 3);
  return canvas.Resolve(inactiveColor_);
}

void PaintLedRoundFace(Canvas& canvas, std::int32_t width, std::int32_t height,
                       const LedModel& led) {
  const Rect r{0, 0, width, height};
  const std::int32_t q = width / 4;
  const TColor body = led.BodyColor(canvas);

  switch (led.BevelStyle()) {
    case ibsNone:
      canvas.Ellipse(r, body, body);
      break;
    case ibsRaised:
    case ibsLowered:
      canvas.Ellipse(r.Inset(2), body, body);
      break;
    default:
      break;
  }

  if (led.ShowReflection()) {
    const Point start{r.right / 2, r.top}, end{r.left, r.bottom / 2};
    canvas.Arc(r.Inset(q), start, end, clWhite);
    canvas.Arc(r.Inset(q).Inset(1), start, end, clWhite);
  }

  TColor first, second;
  if (led.BevelStyle() == ibsRaised) {
    first = canvas.Resolve(clBtnHighlight);
    second = canvas.Resolve(clBtnShadow);
  } else if (led.BevelStyle() == ibsLowered) {
    first = canvas.Resolve(clBtnShadow);
    second = canvas.Resolve(clBtnHighlight);
  } else {
    return;
  }
  const Rect s = r.Inset(1);
  canvas.Arc(r, {r.right, r.top}, {r.left, r.bottom}, first);
  canvas.Arc(s, {s.right, s.top}, {s.left, s.bottom}, first);
  canvas.Arc(r, {r.left, r.bottom}, {r.right, r.top}, second);
  canvas.Arc(s, {s.left, s.bottom}, {s.right, s.top}, second);
}

Size LedRoundBounds(bool loading, Size current, Size wanted) {
  if (loading) return wanted;
  if (wanted.width != current.width) return {wanted.width, wanted.width};
  if (wanted.height != current.height) return {wanted.height, wanted.height};
  return wanted;
}

}  // namespace hv
