#include "images/ImgSizeDlg.h"

#include <algorithm>

#include "support/Rounding.h"

namespace hv {

namespace {
std::uint16_t ClampU16(long long v) {
  return static_cast<std::uint16_t>(std::clamp<long long>(v, 0, 65535));
}
std::string IntText(int v) { return std::to_string(v); }  // plain integer, locale-free
}  // namespace

void TImgSizeDlg::FormCreate(int screenWidth) {
  const std::uint16_t w = ClampU16(screenWidth / 2 - 8);
  MaxWidth = DispWidth = DispHeight = DefaultWidth = w;
  Aspect = 1.0L;
  Scale = 1.0L;
}

void TImgSizeDlg::SetImageSize(int width, int height, int screenWidth) {
  if (width <= 0 || height <= 0) return;  // nothing to show; keep the old size
  MaxWidth = ClampU16(width);
  DispWidth = ClampU16(std::min(screenWidth / 2 - 8, width));
  if (DispWidth == 0) DispWidth = 1;
  Aspect = static_cast<long double>(height) / width;
  DispHeight = ClampU16(RoundToInt32(DispWidth * Aspect));
  Scale = static_cast<long double>(DispWidth) / MaxWidth;
  DefaultWidth = DispWidth;
}

void TImgSizeDlg::FormActivate() {
  // An image narrower than 100 pixels would leave the range empty.
  ScrollMax = std::max<int>(MaxWidth, 1);
  ScrollMin = std::min(100, ScrollMax);
  ScrollPos = std::clamp<int>(DispWidth, ScrollMin, ScrollMax);
  WdthRO = IntText(DispWidth);
}

void TImgSizeDlg::WdthScrollChange(int position) {
  ScrollPos = std::clamp(position, ScrollMin, ScrollMax);
  WdthRO = IntText(ScrollPos);
}

void TImgSizeDlg::DfltBtn1Click() { WdthScrollChange(DefaultWidth); }

ModalResult TImgSizeDlg::OkBtn1Click() {
  DispWidth = ClampU16(ScrollPos);
  DispHeight = ClampU16(RoundToInt32(DispWidth * Aspect));
  if (MaxWidth > 0) Scale = static_cast<long double>(DispWidth) / MaxWidth;
  return ModalResult::OK;
}

}  // namespace hv
