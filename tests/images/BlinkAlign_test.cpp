#include "images/BlinkAlign.h"

#include <gtest/gtest.h>

#include <cmath>

#include "images/Blink.h"
#include "tests/images/BlinkKit.h"

namespace hv {
namespace {

using test::BlinkKit;

bool HasMark(const TBlinkForm1& b, const std::string& label, std::uint32_t colour, long double x,
             long double y, long double tol) {
  for (const BlinkMark& m : b.Marks)
    if (m.Label == label && m.Colour == colour && std::fabs(m.X - x) <= tol &&
        std::fabs(m.Y - y) <= tol)
      return true;
  return false;
}

TEST(BlinkAlign, OffsetIsTheMeanShiftOfTheTwoStars) {
  for (int n = 0; n <= MaxImageNo; ++n) ClearAlignment(n);
  AlignStars[0] = {100, 100, 300, 200};
  AlignStars[1] = {104, 97, 304, 199};
  AlignOffsets[0] = {0, 0};
  ComputeOffsets(1);
  EXPECT_EQ(AlignOffsets[1].DX, -4);
  EXPECT_EQ(AlignOffsets[1].DY, 2);
  EXPECT_EQ(AlignOffsets[0].DX, 0);
  EXPECT_TRUE(ImageAligned[0] && ImageAligned[1]);
  EXPECT_FALSE(ImageAligned[2] || ImageAligned[3]);
  ClearAlignment(1);
  EXPECT_FALSE(ImageAligned[1]);
  EXPECT_EQ(AlignStars[1].X2, 0);
  EXPECT_EQ(AlignOffsets[1].DX, 0);
  ClearAlignment(7);  // out of range: nothing
}

// Two images never aligned: the student's whole path, clicks and Continue,
// recovers the shift made in the test; then the target on both.
TEST(BlinkAlign, TwoImagesAlignedByClicksThenTargetIdentified) {
  BlinkKit kit;
  kit.AttachField(2);
  TBlinkForm1& b = kit.Open(2);
  TBlinkInitForm1& d = kit.Dialog();
  EXPECT_TRUE(d.Visible);
  EXPECT_EQ(d.Step, 1);
  EXPECT_EQ(d.MsgLbl1, "Select a star for field alignment.");
  EXPECT_FALSE(b.CloseAllowed) << "aligning: the window cannot close";
  EXPECT_FALSE(b.BlinkMenus.Adjust1);

  kit.Click(101, 82);  // near star 1 of image 0
  ASSERT_TRUE(b.MarkValid);
  d.ContBtnClick();
  EXPECT_EQ(d.MsgLbl1, "Select another star for field alignment.");
  EXPECT_NEAR(AlignStars[0].X1, 100.3L, 0.6L);
  kit.Click(299, 199);
  d.ContBtnClick();
  EXPECT_EQ(d.MsgLbl1, "Select the 1st alignment star on Image 2.");
  EXPECT_EQ(d.CurImage, 1);
  EXPECT_EQ(b.ShownImage, 1);
  // Predicted where star 1 stands on image 0 (image 1 is drawn unshifted).
  EXPECT_TRUE(HasMark(b, "1", b.CursorColor, AlignStars[0].X1, AlignStars[0].Y1, 0.5L));

  kit.Click(107, 77);  // star 1 on image 1, moved by (6, -4)
  d.ContBtnClick();
  EXPECT_EQ(d.MsgLbl1, "Select the 2nd alignment star.");
  const long double px = AlignStars[0].X2 - AlignStars[0].X1 + AlignStars[1].X1;
  const long double py = AlignStars[0].Y2 - AlignStars[0].Y1 + AlignStars[1].Y1;
  EXPECT_TRUE(HasMark(b, "2", b.CursorColor, px, py, 0.5L));
  // Continue without a click takes the prediction.
  d.ContBtnClick();

  EXPECT_NEAR(AlignOffsets[1].DX, -6.0L, 0.1L);
  EXPECT_NEAR(AlignOffsets[1].DY, 4.0L, 0.1L);
  EXPECT_EQ(kit.windows[1]->AlignDX, AlignOffsets[1].DX);
  EXPECT_TRUE(ImageAligned[0] && ImageAligned[1]);
  EXPECT_FALSE(d.Visible);
  EXPECT_EQ(d.Step, 7);
  EXPECT_EQ(b.ShownImage, 0);
  EXPECT_TRUE(b.BlinkMenus.Blink1);
  EXPECT_TRUE(b.CloseAllowed);
  EXPECT_TRUE(HasMark(b, "1", b.MarkColor0, AlignStars[0].X1, AlignStars[0].Y1, 0.5L));
  EXPECT_TRUE(HasMark(b, "2", b.MarkColor0, AlignStars[0].X2, AlignStars[0].Y2, 0.5L));

  // The target, clicked where it shows on the aligned frames.
  b.Target1Click();
  EXPECT_EQ(d.MsgLbl1, "Identify the Target Object on Image 1.");
  EXPECT_EQ(d.Caption, "Identify Target Object for Measurements");
  EXPECT_EQ(d.Step, 3);
  kit.Click(151, 221);
  d.ContBtnClick();
  EXPECT_EQ(d.MsgLbl1, "Identify the Target Object on Image 2.");
  EXPECT_EQ(d.Step, 4);
  EXPECT_EQ(b.ShownImage, 1);
  kit.Click(159, 223);  // the target moved by (8, 3) on the sky
  d.ContBtnClick();

  const TImageForm1& w0 = *kit.windows[0];
  const TImageForm1& w1 = *kit.windows[1];
  ASSERT_TRUE(w0.TargetLocated && w1.TargetLocated);
  // Image pixels of each image itself (scale 1): image 1's target stands
  // at its own shift.
  EXPECT_NEAR(w1.Target.ImageX - w0.Target.ImageX, 14.0L, 0.15L);
  EXPECT_NEAR(w1.Target.ImageY - w0.Target.ImageY, -1.0L, 0.15L);
  EXPECT_EQ(w1.Target.Flux, 0);
  EXPECT_EQ(BoxParms.HalfBox, kit.settings.BoxParms.HalfBox) << "the search box comes back";
  EXPECT_FALSE(b.Visible) << "the end of the identification closes the blink window";
  EXPECT_EQ(kit.blinkClosed, 1);
  EXPECT_EQ(kit.busySlots, (std::vector<int>{-1, -2}));
}

TEST(BlinkAlign, ContinueWithNothingChosenAsksForASelection) {
  BlinkKit kit;
  kit.AttachField(2);
  kit.Open(2);
  kit.platform.expectMessage(ModalResult::OK, "No Selection Made!",
                             "Please Make a Valid Selection!");
  kit.Dialog().ContBtnClick();
  EXPECT_EQ(kit.Dialog().Step, 1);
  EXPECT_EQ(AlignStars[0].X1, 0);
}

TEST(BlinkAlign, CancelBringsBackTheOffsetsOfWhenTheDialogWasShown) {
  BlinkKit kit;
  kit.AttachField(2);
  AlignStars[1] = {1, 2, 3, 4};
  AlignOffsets[1] = {-5, 3};
  TBlinkForm1& b = kit.Open(2);
  kit.Dialog().FirstUse = false;
  kit.Click(101, 82);
  kit.Dialog().ContBtnClick();
  AlignOffsets[1] = {9, 9};
  kit.Dialog().CnclBtnClick();
  EXPECT_EQ(AlignOffsets[1].DX, -5);
  EXPECT_EQ(AlignStars[0].X1, 0) << "the star just taken is dropped";
  EXPECT_EQ(AlignStars[1].X2, 3);
  EXPECT_EQ(kit.windows[1]->AlignDX, -5);
  EXPECT_EQ(kit.Dialog().Step, 7);
  EXPECT_FALSE(kit.Dialog().Visible);
  EXPECT_TRUE(b.CloseAllowed);
  b.FormMouseDown(MouseButton::Left, 10, 10);
  EXPECT_FALSE(b.LeftDown) << "idle: left clicks are ignored";
}

// Image 3 of three aligned images was loaded again: only it is asked for,
// and the offsets come again from the stored star pairs.
TEST(BlinkAlign, ReloadedImageIsTheOnlyOneAskedFor) {
  BlinkKit kit;
  kit.AttachField(3);
  // Where the centroid finds the stars of images 1 and 2.
  AlignStars[0] = {100.3L, 80.6L, 300.2L, 200.4L};
  AlignStars[1] = {106.3L, 76.6L, 306.2L, 196.4L};
  AlignStars[2] = {1, 1, 1, 1};
  ComputeOffsets(2);
  ClearAlignment(2);
  TBlinkForm1& b = kit.Prepare(3);
  kit.Dialog().FirstUse = false;
  b.FormShow();
  EXPECT_EQ(b.FirstUnaligned, 2);
  EXPECT_EQ(kit.Dialog().MsgLbl1, "Select the 1st alignment star on Image 3.");
  EXPECT_EQ(kit.windows[1]->AlignDX, -6) << "the aligned image gets its stored offset";
  EXPECT_TRUE(b.Marks.empty()) << "its old stars are gone: nothing to predict from";
  kit.Click(113, 73);
  kit.Dialog().ContBtnClick();
  // Three images: the frame choice follows.
  kit.platform.expectDialog("TBlinkOptions", [](DialogModel&) { return ModalResult::Cancel; });
  kit.Dialog().ContBtnClick();
  EXPECT_NEAR(AlignOffsets[2].DX, -12.0L, 0.15L);
  EXPECT_NEAR(AlignOffsets[2].DY, 8.0L, 0.15L);
  EXPECT_EQ(AlignOffsets[1].DX, -6);
}

// All aligned before: no target is cleared, located ones are skipped, and
// with all located the dialog says so and Continue closes the window.
TEST(BlinkAlign, IdentifyAgainSkipsLocatedTargets) {
  BlinkKit kit;
  kit.AttachField(2);
  AlignStars[0] = {100, 100, 300, 200};
  AlignStars[1] = {106, 96, 306, 196};
  ComputeOffsets(1);
  kit.windows[0]->TargetLocated = kit.windows[1]->TargetLocated = true;
  kit.windows[0]->Target.ImageX = 42;
  TBlinkForm1& b = kit.Open(2);
  EXPECT_EQ(b.FirstUnaligned, -1);
  EXPECT_FALSE(kit.Dialog().Visible) << "aligned: no dialog";
  EXPECT_TRUE(b.BlinkMenus.Blink1);
  b.Target1Click();
  EXPECT_EQ(kit.Dialog().MsgLbl1,
            "Target is identified on all images.  Identification can be changed during "
            "measurement.");
  EXPECT_EQ(kit.Dialog().Caption, "Target Identified");
  EXPECT_FALSE(kit.Dialog().CnclBtnVisible);
  kit.Dialog().ContBtnClick();
  EXPECT_EQ(kit.windows[0]->Target.ImageX, 42);
  EXPECT_FALSE(b.Visible);
}

}  // namespace
}  // namespace hv
