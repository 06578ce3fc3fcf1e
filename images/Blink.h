#pragma once
// The blink comparator: the loaded images of one field drawn one after
// another in one window, each shifted by its alignment offset, so that the
// stars stay put and a moving object jumps. Whole, or a square region
// enlarged. The window's timer is the form's; Blink1Click starts it and
// each tick calls BlinkTimerTimer.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "images/BlinkAlign.h"
#include "images/ImageWindow.h"

namespace hv {

// Number of the images taking part minus one (1..3 while blinking).
extern std::uint8_t LastImageNo;

// Which image each of the four frames shows (4: none).
class TBlinkOptions : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TBlinkOptions"; }
  static constexpr std::uint8_t None = 4;

  std::array<std::uint8_t, 4> Frames{0, 1, None, None};
  std::int32_t FrameCount = 2;

  // The radio groups' item indexes while the dialog is open.
  std::array<int, 4> Choice{};

  // Every image taking part, in order, one frame each.
  void ResetFrames();
  void FormActivate();
  // An item of frame i was clicked; an image that is not loaded beeps and
  // becomes "None".
  void FrameClick(int frame, int item);
  // OK closes, None keeps the dialog open, Cancel closes it (the frames
  // then stay as they were).
  ModalResult OKBtnClick();
  // Cancel: the frames as they were when the dialog was shown.
  void CancelBtnClick() { Frames = shown_; }

  explicit TBlinkOptions(Platform* p = nullptr) : platform_(p) {}
  void SetPlatform(Platform* p) { platform_ = p; }

 private:
  Platform* platform_;
  std::array<std::uint8_t, 4> shown_{0, 1, None, None};
};

// The blink interval.
class TBlnkTmrDlg : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TBlnkTmrDlg"; }
  static constexpr int Min = 10, Max = 1000, LargeStep = 100, Default = 500;
  std::uint16_t Interval = Default;  // milliseconds
  int Position = Default;
  std::string ScrlRdOut;
  void FormActivate();
  void TimerScrollChange(int position);
  void DfltBtnClick();
  void OkBtnClick();
};

extern TBlinkOptions BlinkOptions;
extern TBlnkTmrDlg BlnkTmrDlg;
// Back to their state at program start (tests).
void ResetBlinkDialogs();

struct IntRectRegion {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const IntRectRegion&) const = default;
};

// The window's menu items the form mirrors.
struct BlinkMenuState {
  bool Adjust1 = true, FieldAlignment1 = true;
  bool Zoom1 = false, Zoom2 = false, UnZoom1 = false;
  bool Blink1 = false, Stop1 = false, Target1 = false;
  std::array<bool, 4> ImageItems{};    // Image11..Image41 and Image12..Image42
  std::array<bool, 4> MainChecked{};   // Image11..Image41
  std::array<bool, 4> PopupChecked{};  // Image12..Image42
};

// A mark drawn on the blink window, client pixels of the view it was drawn in.
struct BlinkMark {
  std::string Label;
  std::uint32_t Colour = 0;
  long double X = 0, Y = 0;
  bool Dotted = false;
};

class TBlinkForm1 : public TImageForm1 {
 public:
  TBlinkForm1(Platform& platform, ImageWindowHost& host);
  ~TBlinkForm1() override;

  std::array<TImageForm1*, 4> ImageForms{};  // the slots' windows, not owned
  std::array<std::uint8_t, 4> FrameSeq{};
  std::int32_t LastFrame = -1;
  std::int32_t FrameIndex = 0;
  std::uint8_t ShownImage = 0;
  bool FramesReady = false;
  std::int32_t FirstUnaligned = -1;
  bool SelectingStar = false;
  bool RegionSet = false, RegionBlinking = false;
  IntRectRegion Region, PrevRegion;
  bool RegionDrag = false;
  long double BaseScale = 1, RegionZoom = 1;
  std::int32_t SavedHeight = 0;
  BlinkMenuState BlinkMenus;
  // The form's timer.
  bool TimerEnabled = false;
  int TimerInterval = 500;
  // Marks drawn since the frame was last shown; the cursor mark's index.
  std::vector<BlinkMark> Marks;
  int CursorMarkIndex = -1;
  // The zoom label of the region square ("" when it has none).
  std::string RegionText;

  std::unique_ptr<TBlinkInitForm1> InitForm;  // made when first needed
  TBlinkInitForm1& BlinkInitForm();
  std::uint8_t InitStep() const { return InitForm ? InitForm->Step : 7; }

  // Takes the windows of images 0..LastImageNo; false without image 0.
  bool SetImages(const std::array<TImageForm1*, 4>& windows);
  void ShowFrame(int image);
  void DrawBlinkRegion(int x, int y);
  void DisableMenus();
  void EnableMenus();
  void BuildFrameSequence();

  // Menus.
  void Initialize1Click();
  void BlinkOptions1Click();
  void BlinkRate1Click();
  void Zoom1Click();
  void UnZoom1Click();
  void ImageParameters1Click();
  void ImageDisplay1Click();
  void AdjustImage(int n);
  void Exit1Click();
  void Blink1Click();
  void Stop1Click();
  void Target1Click();
  void BlinkTimerTimer();

  // The alignment.
  void StartAlignment();

  // Window.
  void FormShow() override;
  void FormClose() override;
  void FormPaint(ImageCanvas& canvas) override;
  void FormMouseDown(MouseButton button, int x, int y) override;
  void FormMouseMove(int x, int y) override;
  void FormMouseUp(MouseButton button, int x, int y) override;
  void RecordCrsr(int x, int y) override;
  void ClearMark() override;
  using TImageForm1::DrawMark;
  void DrawMark(ImageCanvas& canvas, std::string_view label, std::uint32_t colour, long double x,
                long double y, bool dotted, bool info) override;
  // Draws a mark on the window now; one in the cursor colour becomes the
  // cursor mark.
  void DrawMark(std::string_view label, std::uint32_t colour, long double x, long double y,
                bool dotted = false);

  // The main window cleared its images: no region, no windows.
  void ForgetRegion();

 private:
  // The bitmap's source rectangle of image n in the region view; empty
  // when the region is narrower than an image pixel.
  IntRect RegionSource(const TImageForm1& w) const;
  // Factor text and colour of the view of image n.
  void UpdateFactor(const TImageForm1& w);
  void RepaintMarkArea(long double x, long double y);
};

}  // namespace hv
