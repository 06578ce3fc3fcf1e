#include "images/Display.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "app/Options.h"
#include "images/GraphicsFileRecs.h"
#include "images/ImageWindow.h"
#include "support/Format.h"
#include "support/IntArrayList.h"
#include "support/Rounding.h"

namespace hv {

DisplayRange StatisticalRange(long double mean, long double sd, long double bkgOffset,
                              long double range) {
  DisplayRange r;
  r.Low = RoundToInt32(mean + sd * bkgOffset);
  r.High = RoundToInt32(sd * range + r.Low);
  return r;
}

std::uint8_t MapPixelToIndex(long double v, long double low, long double span, int lo, int hi) {
  const long double d = v - low;
  if (!(span > 0)) return static_cast<std::uint8_t>(d > 0 ? hi : lo);
  if (d < 0) return static_cast<std::uint8_t>(lo);
  if (d > span) return static_cast<std::uint8_t>(hi);
  return static_cast<std::uint8_t>(lo + RoundToInt32(d / span * (hi - lo)));
}

PaletteIndexes PaletteFromBrightness(std::int32_t brightness, std::int32_t contrast) {
  PaletteIndexes p;
  p.Brightness = std::clamp(brightness, -50, 50);
  p.Contrast = std::clamp(contrast, -50, 50);
  p.LowIndex = 64 - p.Brightness;
  p.Factor = std::pow(1.5L, -p.Contrast / 10.0L);
  p.HighIndex = RoundToInt32(p.Factor * 63) + p.LowIndex;
  return p;
}

std::array<std::uint32_t, 256> GreyColours(int lo, int hi) {
  std::array<std::uint8_t, 1024> entries{};
  BuildGreyPalette(lo, hi, std::span<std::uint8_t, 1024>(entries));
  std::array<std::uint32_t, 256> c{};
  for (int i = 0; i < 256; ++i) {
    // The palette entries are blue, green, red, 0.
    const std::uint32_t b = entries[4 * i], g = entries[4 * i + 1], r = entries[4 * i + 2];
    c[i] = 0xFF000000u | (r << 16) | (g << 8) | b;
  }
  return c;
}

std::int32_t DisplayedValue(const IntArrayList& px, int width, int height, int x, int y,
                            std::int32_t displayHigh) {
  const std::int32_t v = px.GetCell(x, y);
  if (displayHigh <= 0 ||
      static_cast<std::int64_t>(v) <= 2 * static_cast<std::int64_t>(displayHigh))
    return v;
  long double sum = 0;
  int count = 0;
  for (int dy = -1; dy <= 1; dy += 2)
    for (int dx = -1; dx <= 1; dx += 2) {
      const int nx = x + dx, ny = y + dy;
      if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
      sum += px.GetCell(nx, ny);
      ++count;
    }
  if (count == 0) return v;  // a one-pixel row or column has no diagonal
  return RoundToInt32(sum / count);
}

void RenderPixels(const IntArrayList& px, int width, int height, const RenderInput& in,
                  DisplayBitmap& bm) {
  // Never read past the table, whatever the image facts claim.
  width = std::min<std::int64_t>(width, px.Columns());
  height = std::min<std::int64_t>(height, px.Rows());
  bm.Width = std::max(width, 0);
  bm.Height = std::max(height, 0);
  bm.RowBytes = PaddedRowBytes(bm.Width);
  bm.Pixels.assign(static_cast<std::size_t>(bm.RowBytes) * bm.Height, 0);
  // Unique across all bitmaps: a view that draws several (the blink
  // window) must not take one's scaled copy for another's.
  static std::uint64_t renders = 0;
  bm.Generation = ++renders;
  if (bm.empty()) return;

  const int lo = DisplayLowIndex, hi = DisplayHighIndex;
  const bool hotCheck = in.DisplayHigh > 0;
  const std::int64_t hotLimit = 2 * static_cast<std::int64_t>(in.DisplayHigh);
  // Pixel values are integers; with an integral range the index of every
  // value comes from a table built with the exact rule: entry 0 for values
  // below the range, entries 1 .. span + 1 inside it, the last above it.
  const bool integral = in.Low == std::floor(in.Low) && in.Span == std::floor(in.Span) &&
                        in.Span > 0 && in.Span <= (1 << 22) && std::fabs(in.Low) < 2e9L;
  if (!integral) {
    // Any other range: the index grows with the value, so the first value of
    // each index (found with the exact rule) sorts every pixel into place.
    std::array<std::int64_t, 256> first{};
    const int steps = hi - lo;
    for (int i = 1; i <= steps; ++i) {
      std::int64_t a = INT32_MIN, b = std::int64_t{INT32_MAX} + 1;
      while (a < b) {
        const std::int64_t m = a + (b - a) / 2;
        if (MapPixelToIndex(static_cast<long double>(m), in.Low, in.Span, lo, hi) >= lo + i)
          b = m;
        else
          a = m + 1;
      }
      first[static_cast<std::size_t>(i - 1)] = a;
    }
    const std::int64_t* begin = first.data();
    const std::int64_t* end = first.data() + steps;
    auto index = [&](std::int32_t v) {
      return static_cast<std::uint8_t>(lo +
                                       (std::upper_bound(begin, end, std::int64_t{v}) - begin));
    };
    for (int dyRow = 0; dyRow < bm.Height; ++dyRow) {
      const int y = in.FlipY ? bm.Height - 1 - dyRow : dyRow;
      const std::int32_t* src = px.Row(static_cast<std::uint32_t>(y)).data();
      std::uint8_t* out = bm.Pixels.data() + static_cast<std::size_t>(dyRow) * bm.RowBytes;
      for (int dx = 0; dx < bm.Width; ++dx) {
        const int x = in.FlipX ? bm.Width - 1 - dx : dx;
        std::int32_t v = src[x];
        if (hotCheck && v > hotLimit) v = DisplayedValue(px, width, height, x, y, in.DisplayHigh);
        out[dx] = index(v);
      }
    }
    return;
  }
  const std::int64_t low = static_cast<std::int64_t>(in.Low);
  const std::int64_t span = static_cast<std::int64_t>(in.Span);
  std::vector<std::uint8_t> table(static_cast<std::size_t>(span) + 3);
  table.front() = static_cast<std::uint8_t>(lo);
  table.back() = static_cast<std::uint8_t>(hi);
  for (std::int64_t d = 0; d <= span; ++d)
    table[static_cast<std::size_t>(d) + 1] =
        MapPixelToIndex(static_cast<long double>(low + d), in.Low, in.Span, lo, hi);
  const std::uint8_t* t = table.data() + 1;
  const std::int64_t top = span + 1;
  auto index = [&](std::int32_t v) {
    std::int64_t d = static_cast<std::int64_t>(v) - low;
    d = d < -1 ? -1 : d;
    d = d > top ? top : d;
    return t[d];
  };

  for (int dyRow = 0; dyRow < bm.Height; ++dyRow) {
    const int y = in.FlipY ? bm.Height - 1 - dyRow : dyRow;
    const std::int32_t* src = px.Row(static_cast<std::uint32_t>(y)).data();
    std::uint8_t* out = bm.Pixels.data() + static_cast<std::size_t>(dyRow) * bm.RowBytes;
    const int w = bm.Width;
    if (!in.FlipX) {
      for (int x = 0; x < w; ++x) out[x] = index(src[x]);
    } else {
      for (int dx = 0; dx < w; ++dx) out[dx] = index(src[w - 1 - dx]);
    }
    if (!hotCheck) continue;
    // Hot pixels are rare: a second look at the row replaces them.
    for (int x = 0; x < w; ++x) {
      if (src[x] <= hotLimit) [[likely]]
        continue;
      const int dx = in.FlipX ? w - 1 - x : x;
      out[dx] = index(DisplayedValue(px, width, height, x, y, in.DisplayHigh));
    }
  }
}

std::vector<std::uint8_t> StretchIndexes(const DisplayBitmap& bm, int srcLeft, int srcTop,
                                         int srcWidth, int srcHeight, int destW, int destH) {
  const int rowBytes = PaddedRowBytes(std::max(destW, 0));
  std::vector<std::uint8_t> out(static_cast<std::size_t>(rowBytes) * std::max(destH, 0), 0);
  if (destW <= 0 || destH <= 0 || srcWidth <= 0 || srcHeight <= 0 || bm.empty()) return out;
  // Source column of each destination column: the centre of the destination
  // pixel mapped back, truncated.
  std::vector<int> cols(static_cast<std::size_t>(destW));
  for (int x = 0; x < destW; ++x) {
    const std::int64_t sx =
        srcLeft + (static_cast<std::int64_t>(2 * x + 1) * srcWidth) / (2 * destW);
    cols[static_cast<std::size_t>(x)] = sx >= 0 && sx < bm.Width ? static_cast<int>(sx) : -1;
  }
  for (int y = 0; y < destH; ++y) {
    const std::int64_t sy =
        srcTop + (static_cast<std::int64_t>(2 * y + 1) * srcHeight) / (2 * destH);
    if (sy < 0 || sy >= bm.Height) continue;
    const std::uint8_t* src = bm.Row(static_cast<int>(sy));
    std::uint8_t* dst = out.data() + static_cast<std::size_t>(y) * rowBytes;
    for (int x = 0; x < destW; ++x) {
      const int c = cols[static_cast<std::size_t>(x)];
      if (c >= 0) dst[x] = src[c];
    }
  }
  return out;
}

DispParmsRec ApplyPaletteIndexes(DispParmsRec r) {
  const PaletteIndexes p = PaletteFromBrightness(r.Brightness, r.Contrast);
  r.Brightness = p.Brightness;
  r.Contrast = p.Contrast;
  r.LowIndex = p.LowIndex;
  r.HighIndex = p.HighIndex;
  r.Factor = p.Factor;
  return r;
}

DispParmsRec NewDispParms(const OptsRec& settings) {
  DispParmsRec r = settings.DisplayDefaults;
  r.FromHeader = settings.ImageFileType == ImageFileTypeCode::SBIG ? 1 : 0;
  return r;
}

DispParmsRec* DispParms = nullptr;
bool DispParmsForImage = false;
std::uint8_t DispImageNo = 0;

void UpdateDispParms(TImageForm1* window) {
  if (!DispParms) return;
  *DispParms = ApplyPaletteIndexes(*DispParms);
  if (DispParmsForImage && window) window->RefreshPalette();
}

// ------------------------------------------------------- adjustment dialog

TImgAdjstDlg::TImgAdjstDlg(OptsRec& settings, TImageForm1* window,
                           std::function<void()> optionsChanged)
    : settings_(settings), window_(window), optionsChanged_(std::move(optionsChanged)) {
  FormCreate();
}

void TImgAdjstDlg::FormCreate() {
  ImageMode = DispParmsForImage && window_ != nullptr;
  if (DispParms) AtOpen = *DispParms;
}

void TImgAdjstDlg::SetReadOuts() {
  BriteRO = FormatFixed(1, BriteBar / 10.0L);
  CntrstRO = FormatFixed(1, CntrstBar / 10.0L);
  BkgrndRO = FormatFixed(2, BkgrndBar * 0.25L);
  ImagRO = FormatFixed(2, ImageBar * 0.25L + 1);
}

void TImgAdjstDlg::ControlsFromRecord(const DispParmsRec& r) {
  BriteBar = std::clamp(r.Brightness * 2, -100, 100);
  CntrstBar = std::clamp(r.Contrast * 2, -100, 100);
  BkgrndBar = std::clamp(RoundToInt32(r.BkgOffset * 4.0L), -10, 10);
  ImageBar = std::clamp(RoundToInt32((r.Range - 1.0L) * 4), 0, 20);
  SetReadOuts();
  LftBtnEnabled = !r.FlipX;
  RgtBtnEnabled = r.FlipX;
  DwnBtnEnabled = !r.FlipY;
  UpBtnEnabled = r.FlipY;
  XChange = r.FlipX;
  YChange = r.FlipY;
  InvrtChk = r.Invert;
  BkgrndGrp = r.FromHeader;
}

void TImgAdjstDlg::FormActivate() {
  if (!DispParms) return;
  const DispParmsRec& r = *DispParms;
  ControlsFromRecord(r);
  LastFlipX = r.FlipX;
  LastFlipY = r.FlipY;
  LastInvert = r.Invert;
  LastFromHeader = r.FromHeader;
  LastBkgOffset = r.BkgOffset;
  LastRange = r.Range;
  OrigLED = r.OrigOn;
  DfltLED = r.DefaultOn;
  BkgrndGrpEnabled = !ImageMode || settings_.ImageFileType == ImageFileTypeCode::SBIG;
  ApplyBtnEnabled = false;
  OrientChanged = RangeChanged = false;
  SaveChkEnabled = ImageMode;
  if (!ImageMode) SaveChk = true;
}

void TImgAdjstDlg::Refresh() {
  if (ImageMode && window_) window_->RefreshPalette();
}

void TImgAdjstDlg::ReadControls() {
  if (!DispParms) return;
  DispParmsRec& r = *DispParms;
  r.Brightness = RoundToInt32(BriteBar * 0.5L);
  r.Contrast = RoundToInt32(CntrstBar * 0.5L);
  r.BkgOffset = static_cast<float>(BkgrndBar * 0.25L);
  r.Range = static_cast<float>(ImageBar * 0.25L + 1);
  r = ApplyPaletteIndexes(r);
  r.FlipX = RgtBtnEnabled;
  r.FlipY = UpBtnEnabled;
  r.OrigOn = OrigLED;
  r.DefaultOn = DfltLED;
  r.Invert = InvrtChk;
  r.FromHeader = static_cast<std::uint8_t>(std::clamp(BkgrndGrp, 0, 1));
  Refresh();
}

bool TImgAdjstDlg::NeedsApply() {
  if (!ImageMode || !DispParms) return false;
  const DispParmsRec& r = *DispParms;
  const bool needs = RgtBtnEnabled != LastFlipX || UpBtnEnabled != LastFlipY ||
                     r.FromHeader != LastFromHeader || InvrtChk != LastInvert ||
                     r.BkgOffset != LastBkgOffset || r.Range != LastRange;
  if (needs) OrigLED = DfltLED = false;
  return needs;
}

void TImgAdjstDlg::UpdateApply() { ApplyBtnEnabled = NeedsApply(); }

void TImgAdjstDlg::BriteScrollChange(int position) {
  BriteBar = std::clamp(position, -100, 100);
  SetReadOuts();
  OrigLED = DfltLED = false;
  ReadControls();
}

void TImgAdjstDlg::CntrstScrollChange(int position) {
  CntrstBar = std::clamp(position, -100, 100);
  SetReadOuts();
  OrigLED = DfltLED = false;
  ReadControls();
}

void TImgAdjstDlg::BkgrndScrollChange(int position) {
  BkgrndBar = std::clamp(position, -10, 10);
  SetReadOuts();
  OrigLED = DfltLED = false;
  ReadControls();
  UpdateApply();
}

void TImgAdjstDlg::ImageScrollChange(int position) {
  ImageBar = std::clamp(position, 0, 20);
  SetReadOuts();
  OrigLED = DfltLED = false;
  ReadControls();
  UpdateApply();
}

void TImgAdjstDlg::LftBtnClick() {
  LftBtnEnabled = false;
  RgtBtnEnabled = true;
  if (DispParms) DispParms->FlipX = true;
  XChange = true;
  UpdateApply();
}

void TImgAdjstDlg::RgtBtnClick() {
  RgtBtnEnabled = false;
  LftBtnEnabled = true;
  if (DispParms) DispParms->FlipX = false;
  XChange = false;
  UpdateApply();
}

void TImgAdjstDlg::DwnBtnClick() {
  DwnBtnEnabled = false;
  UpBtnEnabled = true;
  if (DispParms) DispParms->FlipY = true;
  YChange = true;
  UpdateApply();
}

void TImgAdjstDlg::UpBtnClick() {
  UpBtnEnabled = false;
  DwnBtnEnabled = true;
  if (DispParms) DispParms->FlipY = false;
  YChange = false;
  UpdateApply();
}

void TImgAdjstDlg::InvrtChkClick(bool checked) {
  InvrtChk = checked;
  UpdateApply();
}

void TImgAdjstDlg::OrigBtn1Click() {
  BriteBar = 0;
  CntrstBar = 0;
  BkgrndBar = -1;
  ImageBar = 4;
  SetReadOuts();
  RgtBtnClick();
  UpBtnClick();
  InvrtChk = false;
  BkgrndGrp = settings_.ImageFileType == ImageFileTypeCode::SBIG ? 1 : 0;
  ReadControls();
  UpdateApply();
  OrigLED = true;
  DfltLED = false;
}

void TImgAdjstDlg::DfltBtn1Click() {
  if (!DispParms) return;
  LastFlipX = DispParms->FlipX;
  LastFlipY = DispParms->FlipY;
  LastInvert = DispParms->Invert;
  LastFromHeader = DispParms->FromHeader;
  *DispParms = NewDispParms(settings_);
  ControlsFromRecord(*DispParms);
  ReadControls();
  UpdateApply();
  OrigLED = false;
  DfltLED = true;
}

ModalResult TImgAdjstDlg::ApplyBtnClick() {
  ReadControls();
  if (DispParms) {
    const DispParmsRec& r = *DispParms;
    OrientChanged = r.FlipX != LastFlipX || r.FlipY != LastFlipY;
    RangeChanged =
        r.FromHeader != LastFromHeader || r.BkgOffset != LastBkgOffset || r.Range != LastRange;
    LastFlipX = r.FlipX;
    LastFlipY = r.FlipY;
    LastInvert = r.Invert;
    LastFromHeader = r.FromHeader;
    LastBkgOffset = r.BkgOffset;
    LastRange = r.Range;
  }
  Refresh();
  return ModalResult::Retry;
}

ModalResult TImgAdjstDlg::OkBtn1Click() {
  DfltLED = DfltLED || SaveChk;
  ReadControls();
  if (DispParms) {
    const DispParmsRec& r = *DispParms;
    OrientChanged = r.FlipX != LastFlipX || r.FlipY != LastFlipY;
    RangeChanged =
        r.FromHeader != LastFromHeader || r.BkgOffset != LastBkgOffset || r.Range != LastRange;
    if (SaveChkEnabled && SaveChk) {
      settings_.DisplayDefaults = r;
      if (optionsChanged_) optionsChanged_();
    }
  }
  return ModalResult::OK;
}

ModalResult TImgAdjstDlg::CnclBtn1Click() {
  if (DispParms) {
    const DispParmsRec& r = *DispParms;
    OrientChanged = r.FlipX != AtOpen.FlipX || r.FlipY != AtOpen.FlipY;
    RangeChanged = r.FromHeader != AtOpen.FromHeader || r.BkgOffset != AtOpen.BkgOffset ||
                   r.Range != AtOpen.Range;
    *DispParms = AtOpen;
  }
  Refresh();
  return ModalResult::Cancel;
}

}  // namespace hv
