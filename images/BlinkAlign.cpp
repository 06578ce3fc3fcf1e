#include "images/BlinkAlign.h"

#include <algorithm>

#include "images/Blink.h"
#include "images/BoxParmsDlg.h"
#include "support/Rounding.h"

namespace hv {

std::array<AlignStarRec, MaxImageNo + 1> AlignStars{};
std::array<AlignOffsetRec, MaxImageNo + 1> AlignOffsets{};
std::array<bool, MaxImageNo + 1> ImageAligned{};

void ClearAlignment(int n) {
  if (n < 0 || n > MaxImageNo) return;
  const auto i = static_cast<std::size_t>(n);
  ImageAligned[i] = false;
  AlignStars[i] = {};
  AlignOffsets[i] = {};
}

void ComputeOffsets(int lastImageNo) {
  const AlignStarRec& s0 = AlignStars[0];
  for (int n = 1; n <= std::min(lastImageNo, MaxImageNo); ++n) {
    const AlignStarRec& s = AlignStars[static_cast<std::size_t>(n)];
    AlignOffsets[static_cast<std::size_t>(n)].DX = ((s0.X1 - s.X1) + (s0.X2 - s.X2)) / 2;
    AlignOffsets[static_cast<std::size_t>(n)].DY = ((s0.Y1 - s.Y1) + (s0.Y2 - s.Y2)) / 2;
  }
  for (int n = 0; n <= MaxImageNo; ++n)
    ImageAligned[static_cast<std::size_t>(n)] = n <= lastImageNo;
}

namespace {
std::string ImageText(int n) { return " Image " + std::to_string(n + 1) + "."; }
std::string TargetText(int n) {
  return "Identify the Target Object on Image " + std::to_string(n + 1) + ".";
}
std::size_t At(int n) { return static_cast<std::size_t>(std::clamp(n, 0, MaxImageNo)); }
}  // namespace

TBlinkInitForm1::TBlinkInitForm1(Platform& platform, TBlinkForm1& blink)
    : platform_(platform), blink_(blink) {}

void TBlinkInitForm1::Show() {
  if (!Visible) {
    Visible = true;
    FormShow();
  }
  FormActivate();
  Changed();
}

void TBlinkInitForm1::Hide() {
  Visible = false;
  Changed();
}

void TBlinkInitForm1::Close() {
  Visible = false;
  FormClose();
  Changed();
}

void TBlinkInitForm1::FormShow() {
  SavedOffsets = AlignOffsets;
  SavedStars = AlignStars;
}

void TBlinkInitForm1::FormClose() { blink_.EnableMenus(); }

void TBlinkInitForm1::RedrawRegion() {
  if (blink_.RegionSet) blink_.DrawBlinkRegion(blink_.Region.right, blink_.Region.bottom);
}

void TBlinkInitForm1::FormActivate() {
  if (Step == 0) {
    CnclBtnVisible = true;
    blink_.DisableMenus();
    // A window of one aligned frame has no unaligned one: start at it.
    SeqIndex = std::max(blink_.FirstUnaligned, 0);
    CurImage = blink_.FrameSeq[At(SeqIndex)];
    Step = 1;
    Caption = "Select Star for Image Positioning";
    if (FirstUse) {
      MsgLbl1 = "Select a star for field alignment.";
      FirstUse = false;
    } else {
      MsgLbl1 = "Select the 1st alignment star on" + ImageText(CurImage);
    }
    blink_.ShowFrame(CurImage);
    RedrawRegion();
    blink_.SelectingStar = true;
    blink_.MarkValid = false;
    const AlignStarRec& old = AlignStars[At(CurImage)];
    PredX = RoundToInt32(old.X1);
    PredY = RoundToInt32(old.Y1);
    if (old.X1 > 0 && old.Y1 > 0) blink_.DrawMark("1", blink_.CursorColor, PredX, PredY);
  } else if (Step == 8) {
    CnclBtnVisible = true;
    SeqIndex = std::max(blink_.FirstUnaligned, 0);
    auto located = [&](int k) {
      const TImageForm1* w = blink_.ImageForms[At(blink_.FrameSeq[At(k)])];
      return !w || w->TargetLocated;
    };
    while (SeqIndex <= blink_.LastFrame && located(SeqIndex)) ++SeqIndex;
    if (SeqIndex <= blink_.LastFrame) {
      CurImage = blink_.FrameSeq[At(SeqIndex)];
      MsgLbl1 = TargetText(CurImage);
      Caption = "Identify Target Object for Measurements";
    } else {
      SeqIndex = 0;
      CurImage = blink_.FrameSeq[0];
      blink_.SelectingStar = false;
      MsgLbl1 =
          "Target is identified on all images.  Identification can be changed during "
          "measurement.";
      Caption = "Target Identified";
      CnclBtnVisible = false;
    }
    Step = static_cast<std::uint8_t>(3 + CurImage);
    blink_.ShowFrame(CurImage);
    // A mark left from before is no target click.
    blink_.MarkValid = false;
  }
}

bool TBlinkInitForm1::TakeStar(long double& x, long double& y) {
  int sx, sy;
  if (blink_.MarkValid) {
    sx = blink_.MarkX;
    sy = blink_.MarkY;
  } else if (PredX == 0 && PredY == 0) {
    platform_.beep(Sound::Hand);
    MessageRequest q;
    q.caption = "No Selection Made!";
    q.text = "Please Make a Valid Selection!";
    q.icon = MsgIcon::Warning;
    q.sound = Sound::None;
    platform_.message(q);
    return false;
  } else {
    sx = PredX;
    sy = PredY;
  }
  x = sx;
  y = sy;
  // Without a centroid the point itself is taken.
  if (TImageForm1* w = blink_.ImageForms[At(CurImage)])
    w->FindCentroid(sx, sy, blink_.SizeDlg, x, y);
  return true;
}

void TBlinkInitForm1::ContBtnClick() {
  if (Step == 1 || Step == 2) {
    long double x, y;
    if (!TakeStar(x, y)) return;
    AlignStarRec& s = AlignStars[At(CurImage)];
    if (Step == 1) {
      s.X1 = x;
      s.Y1 = y;
    } else {
      s.X2 = x;
      s.Y2 = y;
    }
    platform_.beep(Sound::Default);
    if (Step == 1) {
      MsgLbl1 = CurImage == 0 ? "Select another star for field alignment."
                              : "Select the 2nd alignment star.";
      Step = 2;
      blink_.ShowFrame(CurImage);
      RedrawRegion();
      blink_.MarkValid = false;
      const AlignOffsetRec& o = AlignOffsets[At(CurImage)];
      blink_.DrawMark("1", blink_.MarkColor0, RoundToInt32(s.X1 + o.DX), RoundToInt32(s.Y1 + o.DY));
      if (CurImage == 0) {
        PredX = RoundToInt32(s.X2);
        PredY = RoundToInt32(s.Y2);
        if (s.X2 > 0 && s.Y2 > 0) blink_.DrawMark("2", blink_.CursorColor, PredX, PredY);
      } else {
        const AlignStarRec& p = AlignStars[At(CurImage - 1)];
        PredX = RoundToInt32(p.X2 - p.X1 + s.X1);
        PredY = RoundToInt32(p.Y2 - p.Y1 + s.Y1);
        blink_.DrawMark("2", blink_.CursorColor, PredX, PredY);
      }
    } else {
      ++SeqIndex;
      while (SeqIndex <= blink_.LastFrame && ImageAligned[At(blink_.FrameSeq[At(SeqIndex)])])
        ++SeqIndex;
      if (SeqIndex <= blink_.LastFrame) {
        CurImage = blink_.FrameSeq[At(SeqIndex)];
        MsgLbl1 = "Select the 1st alignment star on" + ImageText(CurImage);
        Step = 1;
        blink_.ShowFrame(CurImage);
        RedrawRegion();
        blink_.MarkValid = false;
        const int n = CurImage;
        const AlignStarRec& p = AlignStars[At(n - 1)];
        const AlignOffsetRec& o = AlignOffsets[At(n - 1)];
        PredX = RoundToInt32(p.X1 + o.DX);
        PredY = RoundToInt32(p.Y1 + o.DY);
        blink_.DrawMark("1", blink_.CursorColor, PredX, PredY);
      } else {
        ComputeOffsets();
        for (int n = 0; n <= LastImageNo; ++n)
          if (TImageForm1* w = blink_.ImageForms[At(n)]) {
            w->AlignDX = AlignOffsets[At(n)].DX;
            w->AlignDY = AlignOffsets[At(n)].DY;
          }
        Close();
        blink_.ShowFrame(0);
        RedrawRegion();
        blink_.MarkValid = false;
        const AlignStarRec& s0 = AlignStars[0];
        blink_.DrawMark("1", blink_.MarkColor0, RoundToInt32(s0.X1), RoundToInt32(s0.Y1));
        blink_.DrawMark("2", blink_.MarkColor0, RoundToInt32(s0.X2), RoundToInt32(s0.Y2));
        blink_.BlinkMenus.Blink1 = true;
        blink_.BlinkMenus.Zoom1 = blink_.BlinkMenus.Zoom2 = !blink_.RegionSet;
        blink_.Changed();
        Step = 7;
        if (BlinkOptions.FrameCount != 2) blink_.BlinkOptions1Click();
      }
    }
    Changed();
    return;
  }
  if (Step >= 3 && Step <= 6) {
    TakeTarget();
    platform_.beep(Sound::Default);
    ++SeqIndex;
    auto located = [&](int k) {
      const TImageForm1* w = blink_.ImageForms[At(blink_.FrameSeq[At(k)])];
      return !w || w->TargetLocated;
    };
    while (SeqIndex <= blink_.LastFrame && located(SeqIndex)) ++SeqIndex;
    if (SeqIndex <= blink_.LastFrame) {
      CurImage = blink_.FrameSeq[At(SeqIndex)];
      MsgLbl1 = TargetText(CurImage);
      Step = static_cast<std::uint8_t>(3 + CurImage);
      blink_.ShowFrame(CurImage);
      blink_.MarkValid = false;
      Changed();
    } else {
      Close();
      blink_.SelectingStar = false;
      blink_.Exit1Click();
    }
  }
}

void TBlinkInitForm1::TakeTarget() {
  TImageForm1* w = blink_.ImageForms[At(CurImage)];
  if (!blink_.MarkValid || !w) return;
  // A small search box, so that a neighbouring star does not pull the
  // target away; the student's box comes back afterwards.
  struct HalfBoxLimit {
    std::int8_t saved = BoxParms.HalfBox;
    HalfBoxLimit() { BoxParms.HalfBox = std::min<std::int8_t>(BoxParms.HalfBox, 4); }
    ~HalfBoxLimit() { BoxParms.HalfBox = saved; }
  };
  const AlignOffsetRec& o = AlignOffsets[At(CurImage)];
  long double x, y;
  {
    HalfBoxLimit limit;
    w->FindCentroid(blink_.MarkX - RoundToInt32(o.DX), blink_.MarkY - RoundToInt32(o.DY),
                    blink_.SizeDlg, x, y);
  }
  w->Target.ImageX = blink_.SizeDlg.ScreenToImage(x);
  w->Target.ImageY = blink_.SizeDlg.ScreenToImage(y);
  w->Target.Flux = 0;
  w->TargetLocated = true;
  // The flux of the new position is still to be measured.
  w->TargetMeasured = false;
}

void TBlinkInitForm1::CnclBtnClick() {
  for (int n = 0; n <= LastImageNo; ++n) {
    AlignStars[At(n)] = SavedStars[At(n)];
    AlignOffsets[At(n)] = SavedOffsets[At(n)];
    if (TImageForm1* w = blink_.ImageForms[At(n)]) {
      w->AlignDX = AlignOffsets[At(n)].DX;
      w->AlignDY = AlignOffsets[At(n)].DY;
    }
  }
  Step = 7;
  Close();
}

void TBlinkInitForm1::ComputeOffsets() { hv::ComputeOffsets(LastImageNo); }

}  // namespace hv
