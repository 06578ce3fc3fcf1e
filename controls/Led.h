#pragma once
// The on/off indicator's properties and rules, and the round LED's face.
#include <cstdint>
#include <string_view>

#include "controls/Canvas.h"
#include "controls/Colors.h"

namespace hv {

enum TiBevelStyle : std::uint8_t { ibsNone = 0, ibsRaised = 1, ibsLowered = 2 };

// What the LED's rules ask of the control that holds them.
class LedHost {
 public:
  virtual ~LedHost() = default;
  // Asked before a published property changes; false vetoes the change.
  virtual bool RequestPropertyChange(std::string_view name) = 0;
  virtual void RepaintAll() = 0;
  // The active state changed.
  virtual void NotifyChange() = 0;
};

class LedModel {
 public:
  explicit LedModel(LedHost& host) : host_(host) {}

  bool Active() const { return active_; }
  TiBevelStyle BevelStyle() const { return bevelStyle_; }
  TColor ActiveColor() const { return activeColor_; }
  bool AutoInactiveColor() const { return autoInactiveColor_; }
  TColor InactiveColor() const { return inactiveColor_; }
  bool ShowReflection() const { return showReflection_; }

  // An equal value does nothing; otherwise the host may veto the change,
  // else it is stored, repainted and told once.
  void SetActive(bool value);
  // Store a changed value and repaint; no event.
  void SetBevelStyle(TiBevelStyle value);
  void SetActiveColor(TColor value);
  void SetAutoInactiveColor(bool value);
  void SetInactiveColor(TColor value);
  void SetShowReflection(bool value);

  // The body's colour as shown: the active colour when lit; unlit, the
  // resolved active colour dimmed to a third (automatic inactive colour) or
  // the inactive colour. Resolved before dimming, so that a system colour
  // dims to a darker shade of itself.
  TColor BodyColor(const Canvas& canvas) const;

 private:
  template <typename T>
  void Store(T& field, T value);

  LedHost& host_;
  bool active_ = false;
  TiBevelStyle bevelStyle_ = ibsLowered;
  TColor activeColor_ = clLime;
  bool autoInactiveColor_ = true;
  TColor inactiveColor_ = 0x005500;
  bool showReflection_ = true;
};

// The round LED's face over an already painted background, in a width by
// height box: the body, the white highlight in its upper-left quarter and the
// two-pixel rim (for a lowered bevel dark at the upper left, light at the
// lower right).
void PaintLedRoundFace(Canvas& canvas, std::int32_t width, std::int32_t height,
                       const LedModel& led);

struct Size {
  std::int32_t width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// The round LED keeps itself square: a new width sets the height to it, else
// a new height sets the width; while its form loads the size is kept as given.
Size LedRoundBounds(bool loading, Size current, Size wanted);

}  // namespace hv
