#pragma once
// The display-size dialog of an image, reference-field or blink window. It
// also holds the window's display scale; ImageToScreen and ScreenToImage are
// the only conversions between image pixels and display pixels.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace hv {

class TImgSizeDlg : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TImgSizeDlg"; }

  // Screen width in pixels; the initial display is half of it.
  explicit TImgSizeDlg(int screenWidth = 1024) { FormCreate(screenWidth); }

  std::uint16_t MaxWidth = 0;      // image width in pixels
  std::uint16_t DispWidth = 0;     // client width in screen pixels
  std::uint16_t DefaultWidth = 0;  // what Default restores
  std::uint16_t DispHeight = 0;    // round(DispWidth x Aspect)
  long double Aspect = 1.0L;       // image height / width
  long double Scale = 1.0L;        // display pixels per image pixel

  // The form's state, loaded by the widget.
  std::string Caption = "Adjust Image Display Size";
  int ScrollMin = 256, ScrollMax = 512, ScrollPos = 256;
  static constexpr int ScrollLargeChange = 10;
  std::string WdthRO;

  void FormCreate(int screenWidth);
  // Sets the fields for an image of the given size (the window's display
  // size rule: half the screen, or the image width when that is smaller).
  void SetImageSize(int width, int height, int screenWidth);
  void FormActivate();
  void WdthScrollChange(int position);
  void DfltBtn1Click();
  ModalResult OkBtn1Click();

  long double ImageToScreen(long double value) const { return value * Scale; }
  long double ScreenToImage(long double value) const { return value / Scale; }
};

// Display-oriented image units to image pixels and back: a flipped axis maps
// u to extent - u (not extent - 1 - u); the mapping is its own inverse.
inline long double MirrorAxis(long double u, long double extent, bool flipped) {
  return flipped ? extent - u : u;
}

}  // namespace hv
