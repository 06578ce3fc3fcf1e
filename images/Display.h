#pragma once
// The display pipeline's arithmetic: the display range from the image
// statistics, the mapping of pixel values into the 64 display levels
// (palette indexes 64 to 127), the palette indexes from brightness and
// contrast, and the render of a pixel table into an 8-bit display bitmap
// with its colour table. Brightness and contrast only change the colour
// table; the range, the flips and the source of the range need a render.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "images/DisplayParms.h"
#include "platform/Platform.h"

namespace hv {

class IntArrayList;
class TImageForm1;
struct OptsRec;

inline constexpr int DisplayLowIndex = 64;    // darkest level the bitmap holds
inline constexpr int DisplayHighIndex = 127;  // brightest level

// An 8-bit display bitmap: Height rows of RowBytes bytes (Width palette
// indexes, then fill up to a multiple of 4), top display row first, and the
// colour table (0xAARRGGBB) that maps the indexes to grey levels.
struct DisplayBitmap {
  int Width = 0;
  int Height = 0;
  int RowBytes = 0;
  std::vector<std::uint8_t> Pixels;
  std::array<std::uint32_t, 256> Colours{};
  // Numbers the renders of all bitmaps, so that views can keep scaled
  // copies of the pixels.
  std::uint64_t Generation = 0;

  bool empty() const { return Width <= 0 || Height <= 0; }
  const std::uint8_t* Row(int y) const {
    return Pixels.data() + static_cast<std::size_t>(y) * RowBytes;
  }
  std::uint8_t At(int x, int y) const { return Row(y)[x]; }
};

// Width rounded up to a multiple of 4.
inline int PaddedRowBytes(int width) { return (width + 3) / 4 * 4; }

struct DisplayRange {
  std::int32_t Low = 0;
  std::int32_t High = 0;
};

// Statistical display range: Low = round(mean + sd x bkgOffset), High =
// round(sd x range + Low) with Low already rounded (pixel values).
DisplayRange StatisticalRange(long double mean, long double sd, long double bkgOffset,
                              long double range);

// Palette index of pixel value v for the display range low .. low + span and
// the ramp lo .. hi: lo below the range, hi above it, else lo + round(d /
// span x (hi - lo)). A span of 0 or below (all pixels equal, a header range
// of 0) maps the range's bottom and everything under it to lo, the rest to hi.
std::uint8_t MapPixelToIndex(long double v, long double low, long double span, int lo, int hi);

// The palette indexes from brightness and contrast: lo = 64 - brightness,
// hi = lo + round(63 x 1.5^(-contrast / 10)). Both are held to -50 .. 50, so
// that the ramp has 8 to 478 indexes and never divides by zero.
struct PaletteIndexes {
  std::int32_t Brightness = 0;
  std::int32_t Contrast = 0;
  std::int32_t LowIndex = DisplayLowIndex;
  std::int32_t HighIndex = DisplayHighIndex;
  long double Factor = 1.0L;
};
PaletteIndexes PaletteFromBrightness(std::int32_t brightness, std::int32_t contrast);

// The grey colour table for the ramp lo .. hi (as the bitmap file's palette,
// in 0xAARRGGBB).
std::array<std::uint32_t, 256> GreyColours(int lo, int hi);

struct RenderInput {
  long double Low = 0;   // pixel value shown at index 64
  long double Span = 0;  // high - low
  // Pixels above 2 x DisplayHigh are hot and shown as the mean of their
  // diagonal neighbours; no replacement when DisplayHigh is 0 or below.
  std::int32_t DisplayHigh = 0;
  bool FlipX = false;
  bool FlipY = false;
};

// Renders the pixel table (width x height) into bitmap (pixels only; the
// colour table is left alone). Display row 0 is image row 0, or the last row
// when FlipY; display column 0 likewise with FlipX. The pixel table is read
// only: hot pixels are replaced in the display alone.
void RenderPixels(const IntArrayList& pixels, int width, int height, const RenderInput& in,
                  DisplayBitmap& bitmap);

// Nearest-neighbour stretch of the bitmap's source rectangle (bitmap
// pixels; the parts outside the bitmap show index 0) to destW x destH
// indexes, rows of destW bytes padded to a multiple of 4 (as the screen copy
// of a stretched 8-bit bitmap does).
std::vector<std::uint8_t> StretchIndexes(const DisplayBitmap& bitmap, int srcLeft, int srcTop,
                                         int srcWidth, int srcHeight, int destW, int destH);

// The value shown for pixel (x, y): the pixel itself, or for a hot pixel the
// rounded mean of its diagonal neighbours inside the image (a neighbour
// column or row outside the image stands for x or y itself and so drops out).
std::int32_t DisplayedValue(const IntArrayList& pixels, int width, int height, int x, int y,
                            std::int32_t displayHigh);

// The record with LowIndex, HighIndex and Factor rebuilt from its
// brightness and contrast (held to +-50).
DispParmsRec ApplyPaletteIndexes(DispParmsRec r);

// A new window's display record: the settings' defaults, with the range
// taken from the header for SBIG files.
DispParmsRec NewDispParms(const OptsRec& settings);

// The record being edited or last rendered, whether it belongs to an image
// window (whose palette then follows every change) and that window's number.
extern DispParmsRec* DispParms;
extern bool DispParmsForImage;
extern std::uint8_t DispImageNo;

// Rebuilds the palette indexes of the record at DispParms; in image mode the
// window's palette follows.
void UpdateDispParms(TImageForm1* window);

// The display-adjustment dialog. It edits the record at DispParms: one
// image window's (image mode) or the settings' defaults.
class TImgAdjstDlg : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TImgAdjstDlg"; }

  // settings: the main window's working copy (defaults, file type, save);
  // window: the image window in image mode (null for the defaults).
  TImgAdjstDlg(OptsRec& settings, TImageForm1* window, std::function<void()> optionsChanged);

  std::string Caption = "Adjust Image Display Parameters";
  bool ImageMode = false;
  DispParmsRec AtOpen;

  // Controls.
  int BriteBar = 0, CntrstBar = 0;  // -100..100
  int BkgrndBar = -1;               // -10..10
  int ImageBar = 4;                 // 0..20
  std::string BriteRO, CntrstRO, BkgrndRO, ImagRO;
  bool LftBtnEnabled = true, RgtBtnEnabled = false;
  bool DwnBtnEnabled = true, UpBtnEnabled = false;
  bool XChange = false, YChange = false, OrigLED = true, DfltLED = true;  // LEDs
  bool InvrtChk = false;
  bool SaveChk = false, SaveChkEnabled = true;
  int BkgrndGrp = 0;
  bool BkgrndGrpEnabled = false;
  bool ApplyBtnEnabled = false;

  // Values found at activation and after Apply.
  bool LastFlipX = false, LastFlipY = false, LastInvert = false;
  std::uint8_t LastFromHeader = 0;
  float LastBkgOffset = 0, LastRange = 0;
  bool OrientChanged = false, RangeChanged = false;

  void FormCreate();
  void FormActivate();
  void ReadControls();
  bool NeedsApply();
  void BriteScrollChange(int position);
  void CntrstScrollChange(int position);
  void BkgrndScrollChange(int position);
  void ImageScrollChange(int position);
  void LftBtnClick();
  void RgtBtnClick();
  void DwnBtnClick();
  void UpBtnClick();
  void InvrtChkClick(bool checked);
  void BkgrndGrpClick(int index) { BkgrndGrp = index; }
  void SaveChkClick(bool checked) { SaveChk = checked; }
  void OrigBtn1Click();
  void DfltBtn1Click();
  ModalResult ApplyBtnClick();
  ModalResult OkBtn1Click();
  ModalResult CnclBtn1Click();

 private:
  void SetReadOuts();
  void ControlsFromRecord(const DispParmsRec& r);
  void UpdateApply();
  void Refresh();
  OptsRec& settings_;
  TImageForm1* window_;
  std::function<void()> optionsChanged_;
};

}  // namespace hv
