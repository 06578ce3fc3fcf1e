#include "images/Blink.h"

#include <gtest/gtest.h>

#include "tests/images/BlinkKit.h"

namespace hv {
namespace {

using test::BlinkKit;
using test::RecordingCanvas;
using test::StarGrid;

// Aligned two (or more) images, so that the window opens ready to blink.
void AlignAll(int images) {
  for (int n = 0; n < images; ++n) AlignStars[static_cast<std::size_t>(n)] = {10, 10, 20, 20};
  ComputeOffsets(images - 1);
}

TEST(Blink, DisplaySizeComesFromImage0) {
  struct Row {
    const char* name;
    int w, h, clientW, clientH;
    const char* factor;
    std::uint32_t colour;
  };
  const Row rows[] = {
      {"wide, shrunk", 765, 510, 512, 341, "0.67", MarkColour::Red},
      {"small, as is", 400, 300, 400, 300, "1.00", MarkColour::Lime},
      {"tall", 300, 800, 192, 512, "0.64", MarkColour::Red},
  };
  for (const Row& r : rows) {
    BlinkKit kit;
    kit.Attach(StarGrid(r.w, r.h, 1000), 0);
    kit.Attach(StarGrid(r.w, r.h, 1200), 1);
    AlignAll(2);
    TBlinkForm1& b = kit.Open(2);
    EXPECT_EQ(b.ClientWidth, r.clientW) << r.name;
    EXPECT_EQ(b.ClientHeight, r.clientH) << r.name;
    EXPECT_EQ(b.SizeDlg.DispWidth, r.clientW) << r.name;
    EXPECT_EQ(b.FactorText, r.factor) << r.name;
    RecordingCanvas c;
    b.FormPaint(c);
    EXPECT_TRUE(c.Has("text 0,0 " + std::string(r.factor) + " " +
                      (r.colour == MarkColour::Red ? "red" : "lime")))
        << r.name << ": " << (c.ops.empty() ? "" : c.ops.back());
  }
}

// Frames "3", "None", "1", "None" of three aligned images: the window
// shows the choice at once, and the ticks alternate image 3 and image 1,
// each drawn at its offset.
TEST(Blink, ChosenFramesBlinkInTurnOnTheTimer) {
  BlinkKit kit;
  kit.AttachField(3);
  AlignAll(3);
  AlignOffsets[2] = {-12, 8};
  kit.platform.expectDialog("TBlinkOptions", [](DialogModel& m) {
    auto& o = static_cast<TBlinkOptions&>(m);
    o.FormActivate();
    o.FrameClick(0, 2);
    o.FrameClick(1, TBlinkOptions::None);
    o.FrameClick(2, 0);
    o.FrameClick(3, TBlinkOptions::None);
    return o.OKBtnClick();
  });
  TBlinkForm1& b = kit.Open(3);
  ASSERT_EQ(b.LastFrame, 1);
  EXPECT_EQ(b.FrameSeq[0], 2);
  EXPECT_EQ(b.FrameSeq[1], 0);
  EXPECT_EQ(b.Caption, "Blinking Images: Image 3 - " + kit.files[2]->DisplayName);

  BlnkTmrDlg.Interval = 250;
  b.Blink1Click();
  EXPECT_TRUE(b.TimerEnabled);
  EXPECT_EQ(b.TimerInterval, 250);
  EXPECT_FALSE(b.CloseAllowed);
  EXPECT_TRUE(b.BlinkMenus.Stop1);
  EXPECT_FALSE(b.BlinkMenus.Adjust1 || b.BlinkMenus.Blink1 || b.BlinkMenus.Target1);
  EXPECT_FALSE(b.FormCloseQuery()) << "closing while blinking is refused";
  const char* want[] = {"Blinking Images: Image 1", "Blinking Images: Image 3",
                        "Blinking Images: Image 1"};
  for (const char* w : want) {
    b.BlinkTimerTimer();
    EXPECT_EQ(b.Caption.substr(0, std::string(w).size()), w);
  }
  RecordingCanvas c;
  b.FormPaint(c);
  EXPECT_EQ(c.ops.front(), "bitmap 0,0,400,300 -> 0,0,400,300");
  b.BlinkTimerTimer();
  c.ops.clear();
  b.FormPaint(c);
  EXPECT_EQ(c.ops.front(), "bitmap 0,0,400,300 -> -12,8,388,308") << "image 3 at its offset";
  b.Stop1Click();
  EXPECT_FALSE(b.TimerEnabled);
  EXPECT_TRUE(b.CloseAllowed && b.BlinkMenus.Blink1 && b.BlinkMenus.Target1);
  EXPECT_FALSE(b.BlinkMenus.Stop1);
}

TEST(Blink, OptionsNeedTwoDistinctImages) {
  BlinkKit kit;
  LastImageNo = 1;
  BlinkOptions.ResetFrames();
  EXPECT_EQ(BlinkOptions.FrameCount, 2);
  BlinkOptions.SetPlatform(&kit.platform);
  BlinkOptions.FormActivate();
  BlinkOptions.FrameClick(2, 3);  // image 4 is not loaded
  EXPECT_EQ(BlinkOptions.Choice[2], TBlinkOptions::None);
  EXPECT_EQ(kit.platform.beeps().back(), Sound::Exclamation);
  BlinkOptions.FrameClick(1, 0);
  kit.platform.expectMessage(ModalResult::OK, "Need 2 Images", "Not Enough Images to Blink!");
  EXPECT_EQ(BlinkOptions.OKBtnClick(), ModalResult::None) << "OK keeps the dialog open";
  kit.platform.expectMessage(ModalResult::Cancel, "Need 2 Images");
  EXPECT_EQ(BlinkOptions.OKBtnClick(), ModalResult::Cancel);
  EXPECT_EQ(BlinkOptions.Frames[1], 1) << "the frames the sequence was built from stay";
  BlinkOptions.FormActivate();
  BlinkOptions.FrameClick(1, 0);
  kit.platform.expectMessage(ModalResult::OK, "Need 2 Images");
  BlinkOptions.OKBtnClick();
  BlinkOptions.CancelBtnClick();
  EXPECT_EQ(BlinkOptions.Frames[1], 1) << "and so after the dialog's own Cancel";
}

TEST(Blink, IntervalDialog) {
  TBlnkTmrDlg d;
  d.Interval = 120;
  d.FormActivate();
  EXPECT_EQ(d.ScrlRdOut, "120");
  d.TimerScrollChange(2000);
  EXPECT_EQ(d.Position, 1000);
  d.DfltBtnClick();
  EXPECT_EQ(d.ScrlRdOut, "500");
  EXPECT_EQ(d.Interval, 120) << "only OK stores";
  d.OkBtnClick();
  EXPECT_EQ(d.Interval, 500);
}

// A 64-pixel region on a 512-wide view at scale 1 is labelled 8.00 and
// blinks in a square window; Stop gives back the height.
TEST(Blink, RegionIsChosenByRightDragAndBlinkedEnlarged) {
  BlinkKit kit;
  kit.Attach(StarGrid(512, 400, 1000), 0);
  kit.Attach(StarGrid(512, 400, 1100), 1);
  AlignAll(2);
  AlignOffsets[1] = {-4, 2};
  TBlinkForm1& b = kit.Open(2);
  kit.platform.expectMessage(ModalResult::Cancel, "", "Place the cursor on the upper left corner");
  b.Zoom1Click();
  EXPECT_FALSE(b.RegionSet) << "Cancel leaves all as it was";
  b.Zoom1Click();  // the hint is given once
  ASSERT_TRUE(b.RegionSet);
  EXPECT_FALSE(b.BlinkMenus.Zoom1);
  EXPECT_TRUE(b.BlinkMenus.UnZoom1);
  EXPECT_EQ(b.Cursor, CursorShape::Drag);

  b.FormMouseDown(MouseButton::Right, 100, 100);
  b.FormMouseMove(140, 164);
  b.FormMouseMove(90, 120);  // up-left of the corner: refused
  EXPECT_EQ(kit.platform.beeps().back(), Sound::Hand);
  b.FormMouseUp(MouseButton::Right, 140, 164);
  EXPECT_EQ(b.Region, (IntRectRegion{100, 100, 164, 164}));
  EXPECT_EQ(b.RegionText, "8.00");
  RecordingCanvas c;
  b.FormPaint(c);
  EXPECT_TRUE(c.Has("frame 100,100,164,164 lime"));
  EXPECT_TRUE(c.Has("text 100,87 8.00 lime"));

  // A right click without a drag keeps the region.
  b.FormMouseDown(MouseButton::Right, 300, 300);
  b.FormMouseUp(MouseButton::Right, 300, 300);
  EXPECT_EQ(b.Region, (IntRectRegion{100, 100, 164, 164}));

  b.Blink1Click();
  EXPECT_EQ(b.ClientHeight, 512);
  EXPECT_TRUE(b.RegionBlinking);
  b.BlinkTimerTimer();
  c.ops.clear();
  b.FormPaint(c);
  EXPECT_EQ(c.ops.front(), "bitmap 104,98,168,162 -> 0,0,512,512") << "cut at image 2's offset";
  EXPECT_EQ(b.FactorText, "8.00");
  // A click in the region view is kept in full-view pixels.
  b.RecordCrsr(256, 256);
  EXPECT_EQ(b.MarkX, 132);
  EXPECT_EQ(b.MarkY, 132);
  b.Stop1Click();
  EXPECT_EQ(b.ClientHeight, 400);
  EXPECT_FALSE(b.RegionBlinking);
  b.UnZoom1Click();
  EXPECT_FALSE(b.RegionSet);
  EXPECT_TRUE(b.BlinkMenus.Zoom1 && b.BlinkMenus.Zoom2);
}

TEST(Blink, EmptyRegionNeitherPaintsNorTicksIntoADivision) {
  BlinkKit kit;
  kit.Attach(StarGrid(400, 300, 1000), 0);
  kit.Attach(StarGrid(400, 300, 1000), 1);
  AlignAll(2);
  TBlinkForm1& b = kit.Open(2);
  kit.blinkHint = false;
  b.Zoom1Click();
  b.Blink1Click();  // region (0, 0, 0, 0)
  b.BlinkTimerTimer();
  RecordingCanvas c;
  b.FormPaint(c);
  EXPECT_FALSE(c.Has("bitmap"));
  b.Stop1Click();
}

TEST(Blink, ClicksAndImageMenus) {
  BlinkKit kit;
  kit.AttachField(2);
  AlignAll(2);
  TBlinkForm1& b = kit.Open(2);
  // Not selecting a star: only the cross.
  b.SelectingStar = false;
  b.BlinkInitForm().Step = 1;
  kit.Click(50, 60);
  EXPECT_TRUE(b.CrossShown);
  EXPECT_TRUE(b.Marks.empty());
  // Selecting: a cursor box at the star found near the click.
  b.SelectingStar = true;
  kit.Click(101, 82);
  ASSERT_EQ(b.Marks.size(), 1u);
  EXPECT_EQ(b.Marks[0].Colour, b.CursorColor);
  EXPECT_NEAR(b.Marks[0].X, 100.3L, 0.6L);
  EXPECT_FALSE(b.CrossShown);
  // The next click's button-down erases it.
  b.FormMouseDown(MouseButton::Left, 5, 5);
  EXPECT_TRUE(b.Marks.empty());
  EXPECT_FALSE(b.MarkValid);
  b.FormMouseUp(MouseButton::Left, 5, 5);

  b.ShowFrame(1);
  b.ImageDisplay1Click();
  EXPECT_EQ(b.BlinkMenus.PopupChecked, (std::array<bool, 4>{false, true, false, false}));
  EXPECT_EQ(b.BlinkMenus.ImageItems, (std::array<bool, 4>{true, true, false, false}));
  b.Exit1Click();
  EXPECT_FALSE(b.Visible);
  EXPECT_EQ(kit.busySlots, (std::vector<int>{-1, -2}));
}

}  // namespace
}  // namespace hv
