#pragma once
// Bringing the blinked images into register and finding the moving target.
// The student picks the same two stars on every image; each image's offset
// from image 0 is the mean shift of the pair. The tables outlive the blink
// window: an image keeps its alignment until its slot is loaded again or
// cleared, or a new field alignment is asked for.
#include <array>
#include <cstdint>
#include <string>

#include "images/GraphicsFileRecs.h"
#include "platform/Platform.h"

namespace hv {

// MaxImageNo (3) comes with the image records.

// Positions of the two alignment stars, display pixels of the blink window;
// all 0 when not chosen.
struct AlignStarRec {
  long double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};
// Offset of an image from image 0, display pixels.
struct AlignOffsetRec {
  long double DX = 0, DY = 0;
};

extern std::array<AlignStarRec, MaxImageNo + 1> AlignStars;
extern std::array<AlignOffsetRec, MaxImageNo + 1> AlignOffsets;
extern std::array<bool, MaxImageNo + 1> ImageAligned;

// Forgets image n's alignment (its slot was loaded or cleared).
void ClearAlignment(int n);
// Offsets of images 1..lastImageNo from the star tables: the mean of the
// two stars' shifts, so an image drawn at its offset puts the middle of its
// pair where image 0 has the middle of its own. Images 0..lastImageNo
// become aligned, the others not; image 0's offset is left as it is.
void ComputeOffsets(int lastImageNo);

class TBlinkForm1;

// What the alignment dialog asks of its form.
class BlinkInitView {
 public:
  virtual ~BlinkInitView() = default;
  virtual void StateChanged() = 0;  // caption, labels, Cancel, visibility
};

// The modeless "Select Star for Image Positioning" dialog, driven by its
// step and by left clicks on the blink window.
class TBlinkInitForm1 {
 public:
  TBlinkInitForm1(Platform& platform, TBlinkForm1& blink);

  void SetView(BlinkInitView* v) { view_ = v; }
  Platform& platform() { return platform_; }

  // 0 alignment to begin; 1, 2 first and second star on CurImage; 3..6 the
  // target on image Step - 3; 7 idle; 8 target identification to begin.
  std::uint8_t Step = 0;
  std::uint8_t CurImage = 0;
  std::int32_t SeqIndex = 0;
  std::int32_t PredX = 0, PredY = 0;
  std::array<AlignOffsetRec, MaxImageNo + 1> SavedOffsets{};
  std::array<AlignStarRec, MaxImageNo + 1> SavedStars{};
  bool FirstUse = true;

  std::string Caption = "Select Star for Image Positioning";
  std::string MsgLbl1;
  std::string MsgLbl2 = "Press \"Continue\" when ready.";
  bool CnclBtnVisible = true;
  bool Visible = false;

  // Shows the dialog (taking the Cancel copies when it was hidden) and
  // activates it.
  void Show();
  // Hides it without closing (blinking does this).
  void Hide();
  // Closes it; the blink window's menus come back.
  void Close();

  void FormShow();
  void FormActivate();
  void FormClose();
  void ContBtnClick();
  void CnclBtnClick();
  void ComputeOffsets();

 private:
  // The star asked for in step 1 or 2 from the click or the prediction;
  // false when there is neither.
  bool TakeStar(long double& x, long double& y);
  void TakeTarget();
  void RedrawRegion();
  void Changed() {
    if (view_) view_->StateChanged();
  }
  Platform& platform_;
  TBlinkForm1& blink_;
  BlinkInitView* view_ = nullptr;
};

}  // namespace hv
