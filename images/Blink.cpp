#include "images/Blink.h"

#include <algorithm>
#include <set>

#include "app/Options.h"
#include "images/GraphicsFile.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {

std::uint8_t LastImageNo = 1;
TBlinkOptions BlinkOptions;
TBlnkTmrDlg BlnkTmrDlg;

void ResetBlinkDialogs() {
  BlinkOptions = TBlinkOptions();
  BlnkTmrDlg = TBlnkTmrDlg();
  LastImageNo = 1;
}

namespace {
std::size_t At(int n) { return static_cast<std::size_t>(std::clamp(n, 0, MaxImageNo)); }
}  // namespace

// ------------------------------------------------------------ options

void TBlinkOptions::ResetFrames() {
  for (int i = 0; i <= 3; ++i)
    Frames[At(i)] = i <= LastImageNo ? static_cast<std::uint8_t>(i) : None;
  FrameCount = LastImageNo + 1;
}

void TBlinkOptions::FormActivate() {
  shown_ = Frames;
  for (int i = 0; i <= 3; ++i) Choice[At(i)] = std::min<int>(Frames[At(i)], None);
}

void TBlinkOptions::FrameClick(int frame, int item) {
  if (frame < 0 || frame > 3) return;
  Choice[At(frame)] = std::clamp(item, 0, static_cast<int>(None));
  if (item < None && item > LastImageNo) {
    if (platform_) platform_->beep(Sound::Exclamation);
    Choice[At(frame)] = None;
  }
}

ModalResult TBlinkOptions::OKBtnClick() {
  std::set<int> images;
  for (int i = 0; i <= 3; ++i) {
    Frames[At(i)] = static_cast<std::uint8_t>(Choice[At(i)]);
    if (Choice[At(i)] != None) images.insert(Choice[At(i)]);
  }
  if (images.size() >= 2) return ModalResult::OK;
  MessageRequest q;
  q.caption = "Need 2 Images";
  q.text = "Not Enough Images to Blink!\r\n\r\nSpecify at Least 2 Images.";
  q.icon = MsgIcon::Warning;
  q.buttons = Buttons::OKCancel;
  q.sound = Sound::Exclamation;
  if (platform_ && platform_->message(q) == ModalResult::OK) return ModalResult::None;
  // The sequence is not rebuilt, so the frames it was built from stay.
  CancelBtnClick();
  return ModalResult::Cancel;
}

// ----------------------------------------------------------- interval

void TBlnkTmrDlg::FormActivate() {
  Position = std::clamp<int>(Interval, Min, Max);
  ScrlRdOut = std::to_string(Position);
}

void TBlnkTmrDlg::TimerScrollChange(int position) {
  Position = std::clamp(position, Min, Max);
  ScrlRdOut = std::to_string(Position);
}

void TBlnkTmrDlg::DfltBtnClick() { TimerScrollChange(Default); }

void TBlnkTmrDlg::OkBtnClick() { Interval = static_cast<std::uint16_t>(Position); }

// ------------------------------------------------------------- window

TBlinkForm1::TBlinkForm1(Platform& platform, ImageWindowHost& host) : TImageForm1(platform, host) {
  Caption = "Blinking Images";
  CloseAllowed = true;
  InfoMask = false;  // the blink marks never move the magnifier
  BlinkOptions.SetPlatform(&platform);
}

TBlinkForm1::~TBlinkForm1() = default;

TBlinkInitForm1& TBlinkForm1::BlinkInitForm() {
  if (!InitForm) InitForm = std::make_unique<TBlinkInitForm1>(platform_, *this);
  return *InitForm;
}

void TBlinkForm1::BuildFrameSequence() {
  LastFrame = -1;
  for (int i = 0; i <= 3; ++i)
    if (BlinkOptions.Frames[At(i)] != TBlinkOptions::None)
      FrameSeq[At(++LastFrame)] = std::min<std::uint8_t>(BlinkOptions.Frames[At(i)], MaxImageNo);
  if (LastFrame < 0) FrameSeq[0] = 0;
}

bool TBlinkForm1::SetImages(const std::array<TImageForm1*, 4>& windows) {
  ImageForms = {};
  for (int n = 0; n <= std::min<int>(LastImageNo, MaxImageNo); ++n) {
    TImageForm1* w = windows[At(n)];
    ImageForms[At(n)] = w;
    if (!w) continue;
    w->Visible = false;
    w->Changed();
    w->AlignDX = w->AlignDY = 0;
  }
  for (int n = 0; n <= 3; ++n) BlinkMenus.ImageItems[At(n)] = n == 0 || LastImageNo >= n;
  TImageForm1* w0 = ImageForms[0];
  if (!w0 || w0->ImageWidth() <= 0 || w0->ImageHeight() <= 0) return false;

  // One display size for every frame, from image 0.
  const int W = w0->ImageWidth(), H = w0->ImageHeight();
  const long double aspect = static_cast<long double>(H) / W;
  int dw, dh;
  if (aspect > 1.0L) {
    dh = std::min(H, 512);
    dw = RoundToInt32(dh / aspect);
  } else {
    dw = std::min(W, 512);
    dh = RoundToInt32(dw * aspect);
  }
  dw = std::max(dw, 1);
  dh = std::max(dh, 1);
  SizeDlg.MaxWidth = static_cast<std::uint16_t>(std::min(W, 65535));
  SizeDlg.DispWidth = static_cast<std::uint16_t>(dw);
  SizeDlg.DispHeight = static_cast<std::uint16_t>(dh);
  SizeDlg.Aspect = aspect;
  SizeDlg.Scale = static_cast<long double>(dw) / W;
  BlinkMenus.Zoom1 = BlinkMenus.Zoom2 = !RegionSet;
  BlinkMenus.UnZoom1 = RegionSet;
  ClientWidth = dw;
  ClientHeight = dh;
  BuildFrameSequence();
  FrameIndex = 0;
  FramesReady = true;
  RegionBlinking = false;
  ShowFrame(FrameSeq[0]);
  if (RegionSet) DrawBlinkRegion(Region.right, Region.bottom);
  return true;
}

IntRect TBlinkForm1::RegionSource(const TImageForm1& w) const {
  return IntRect{RoundToInt32(SizeDlg.ScreenToImage(Region.left - w.AlignDX)),
                 RoundToInt32(SizeDlg.ScreenToImage(Region.top - w.AlignDY)),
                 RoundToInt32(SizeDlg.ScreenToImage(Region.right - w.AlignDX)),
                 RoundToInt32(SizeDlg.ScreenToImage(Region.bottom - w.AlignDY))};
}

void TBlinkForm1::UpdateFactor(const TImageForm1& w) {
  if (!RegionBlinking) {
    BaseScale = SizeDlg.Scale;
    FactorText = FormatFixed(2, BaseScale);
    return;
  }
  const IntRect src = RegionSource(w);
  // A region narrower than one image pixel has no zoom factor.
  if (src.Width() <= 0 || src.Height() <= 0) {
    FactorText.clear();
    return;
  }
  RegionZoom = static_cast<long double>(ClientWidth) / src.Width();
  FactorText = FormatFixed(2, RegionZoom);
}

void TBlinkForm1::ShowFrame(int n) {
  if (!FramesReady || n < 0 || n > MaxImageNo) return;
  TImageForm1* w = ImageForms[At(n)];
  if (!w || !w->HasBitmap) return;
  MarkColor0 = w->Inverted() ? MarkColour::Blue : MarkColour::Lime;
  UpdateFactor(*w);
  std::string name;
  if (w->ImageFile) name = w->ImageFile->DisplayName;
  Caption = "Blinking Images: Image " + std::to_string(n + 1) + " - " + name;
  ShownImage = static_cast<std::uint8_t>(n);
  Cursor = RegionSet && !RegionBlinking && CloseAllowed ? CursorShape::Drag : CursorShape::Arrow;
  // The frame is painted over whatever was drawn.
  Marks.clear();
  CursorMarkIndex = -1;
  CrossShown = false;
  RegionText.clear();
  Changed();
  Repaint();
}

void TBlinkForm1::FormPaint(ImageCanvas& canvas) {
  if (!FramesReady) return;
  TImageForm1* w = ImageForms[At(ShownImage)];
  if (!w || !w->HasBitmap) return;
  const bool inverted = w->Inverted();
  bool drawn = true;
  if (!RegionBlinking) {
    const int dx = RoundToInt32(w->AlignDX), dy = RoundToInt32(w->AlignDY);
    canvas.DrawBitmap(w->Bitmap, IntRect{0, 0, w->Bitmap.Width, w->Bitmap.Height},
                      IntRect{dx, dy, ClientWidth + dx, ClientHeight + dy}, inverted);
  } else {
    const IntRect src = RegionSource(*w);
    drawn = src.Width() > 0 && src.Height() > 0;
    if (drawn)
      canvas.DrawBitmap(w->Bitmap, src, IntRect{0, 0, ClientWidth, ClientHeight}, inverted);
  }
  if (drawn && !FactorText.empty()) {
    const long double f = RegionBlinking ? RegionZoom : BaseScale;
    canvas.Text(0, 0, FactorText, f >= 1.0L ? MarkColor0 : MarkColor2);
  }
  if (RegionSet && !RegionBlinking && !RegionText.empty()) {
    const int side = Region.right - Region.left;
    const long double zoom = static_cast<long double>(ClientWidth) / side * SizeDlg.Scale;
    const std::uint32_t c = zoom >= 1.0L ? MarkColor0 : MarkColor2;
    canvas.Frame(IntRect{Region.left, Region.top, Region.right, Region.bottom}, c, false);
    canvas.Text(Region.left, Region.top - canvas.TextHeight(RegionText), RegionText, c);
  }
  for (const BlinkMark& m : Marks) DrawMark(canvas, m.Label, m.Colour, m.X, m.Y, m.Dotted, false);
  if (CrossShown) {
    canvas.Line(CrossX - 15, CrossY, CrossX + 15, CrossY, MarkColour::Fuchsia);
    canvas.Line(CrossX, CrossY - 15, CrossX, CrossY + 15, MarkColour::Fuchsia);
  }
}

void TBlinkForm1::DrawBlinkRegion(int x, int y) {
  const int w = x - Region.left;
  if (w < 0) {
    platform_.beep(Sound::Hand);
    return;
  }
  const int h = y - Region.top;
  if (h < 0) {
    platform_.beep(Sound::Hand);
    return;
  }
  const int side = std::max(w, h);
  Region.right = Region.left + side;
  Region.bottom = Region.top + side;
  ShowFrame(ShownImage);
  // A region of side 0 has no zoom: nothing is drawn for it.
  if (side > 0) {
    RegionZoom = static_cast<long double>(ClientWidth) / side * SizeDlg.Scale;
    RegionText = FormatFixed(2, RegionZoom);
  }
  Repaint();
}

void TBlinkForm1::DisableMenus() {
  BlinkMenus.Blink1 = BlinkMenus.Adjust1 = BlinkMenus.FieldAlignment1 = false;
  BlinkMenus.Zoom1 = BlinkMenus.Zoom2 = BlinkMenus.UnZoom1 = false;
  BlinkMenus.Stop1 = BlinkMenus.Target1 = false;
  CloseAllowed = false;
  Changed();
}

void TBlinkForm1::EnableMenus() {
  BlinkMenus.Blink1 = BlinkMenus.Adjust1 = BlinkMenus.FieldAlignment1 = true;
  BlinkMenus.Zoom1 = BlinkMenus.Zoom2 = !RegionSet;
  BlinkMenus.UnZoom1 = RegionSet;
  BlinkMenus.Stop1 = false;
  BlinkMenus.Target1 = true;
  CloseAllowed = true;
  Changed();
}

void TBlinkForm1::BlinkOptions1Click() {
  if (platform_.showDialog(BlinkOptions) != ModalResult::OK) return;
  BuildFrameSequence();
  FrameIndex = 0;
  FramesReady = true;
  RegionBlinking = false;
  ShowFrame(FrameSeq[0]);
  if (RegionSet) DrawBlinkRegion(Region.right, Region.bottom);
}

void TBlinkForm1::BlinkRate1Click() {
  platform_.showDialog(BlnkTmrDlg);  // its OK stores the interval
}

void TBlinkForm1::Zoom1Click() {
  bool* due = host_.BlinkHintDue();
  if (due && *due && !host_.Settings().NoConfirm) {
    *due = false;
    MessageRequest q;
    q.caption = "Information";
    q.text =
        "Place the cursor on the upper left corner of the region you want to blink.  Hold the "
        "right button and drag diagonally down to size the region.";
    q.icon = MsgIcon::Information;
    q.buttons = Buttons::OKCancel;
    q.sound = Sound::Default;
    if (platform_.message(q) != ModalResult::OK) return;
  }
  RegionSet = true;
  BlinkMenus.Zoom1 = BlinkMenus.Zoom2 = false;
  BlinkMenus.UnZoom1 = true;
  BlinkInitForm().Step = 7;  // left clicks are ignored while the region is set
  Cursor = CursorShape::Drag;
  Changed();
}

void TBlinkForm1::UnZoom1Click() {
  RegionSet = false;
  BlinkMenus.Zoom1 = BlinkMenus.Zoom2 = true;
  BlinkMenus.UnZoom1 = false;
  RegionBlinking = false;
  Cursor = CursorShape::Arrow;
  ShowFrame(ShownImage);
  Changed();
}

void TBlinkForm1::ImageParameters1Click() {
  for (int n = 0; n <= 3; ++n) BlinkMenus.MainChecked[At(n)] = n == ShownImage;
  Changed();
}

void TBlinkForm1::ImageDisplay1Click() {
  for (int n = 0; n <= 3; ++n) BlinkMenus.PopupChecked[At(n)] = n == ShownImage;
  Changed();
}

void TBlinkForm1::AdjustImage(int n) {
  TImageForm1* w = host_.ImageWindow(n);
  if (!w || !w->ImageLoaded) return;
  // The slot window's own dialog; the window is not shown and closed
  // around it, since closing it would free its slot while it is blinked.
  w->AdjustImage1Click();
  Repaint();
}

void TBlinkForm1::Exit1Click() {
  if (FormCloseQuery()) FormClose();
}

void TBlinkForm1::Blink1Click() {
  if (InitForm) InitForm->Hide();
  DisableMenus();
  BlinkMenus.Stop1 = true;
  TimerInterval = BlnkTmrDlg.Interval;
  FrameIndex = 0;
  ShownImage = FrameSeq[0];
  RegionBlinking = RegionSet;
  SavedHeight = ClientHeight;
  if (RegionSet && ClientHeight != ClientWidth) ClientHeight = ClientWidth;
  TimerEnabled = true;
  ShowFrame(ShownImage);
  Changed();
}

void TBlinkForm1::BlinkTimerTimer() {
  if (!TimerEnabled || LastFrame < 0) return;
  FrameIndex = FrameIndex + 1 > LastFrame ? 0 : FrameIndex + 1;
  ShowFrame(FrameSeq[At(FrameIndex)]);
}

void TBlinkForm1::Stop1Click() {
  TimerEnabled = false;
  RegionBlinking = false;
  if (SavedHeight > 0) ClientHeight = SavedHeight;
  EnableMenus();
  ShowFrame(ShownImage);
  if (RegionSet) DrawBlinkRegion(Region.right, Region.bottom);
}

void TBlinkForm1::ForgetRegion() {
  RegionSet = RegionBlinking = false;
  BlinkMenus.Zoom1 = BlinkMenus.Zoom2 = true;
  BlinkMenus.UnZoom1 = false;
  // The slots' windows are freed: none is kept.
  ImageForms = {};
  FramesReady = false;
  Changed();
}

// ---------------------------------------------------------- alignment

void TBlinkForm1::StartAlignment() {
  FirstUnaligned = -1;
  for (int k = 0; k <= LastFrame; ++k) {
    const int img = FrameSeq[At(k)];
    if (ImageAligned[At(img)]) {
      if (TImageForm1* w = ImageForms[At(img)]) {
        w->AlignDX = AlignOffsets[At(img)].DX;
        w->AlignDY = AlignOffsets[At(img)].DY;
      }
    } else if (FirstUnaligned < 0) {
      FirstUnaligned = k;
    }
  }
  FrameIndex = 0;
  ShownImage = FrameSeq[0];
  RegionBlinking = false;
  ShowFrame(FrameSeq[0]);
  if (RegionSet) DrawBlinkRegion(Region.right, Region.bottom);
  TBlinkInitForm1& dlg = BlinkInitForm();
  if (LastFrame > 0 && FirstUnaligned < 0) {
    SelectingStar = true;
    // Aligned earlier: ready to blink at once.
    EnableMenus();
    if (BlinkOptions.FrameCount != 2) BlinkOptions1Click();
  } else {
    dlg.Step = 0;
    dlg.Show();
  }
}

void TBlinkForm1::Initialize1Click() {
  const auto frames = BlinkOptions.Frames;
  for (int n = 0; n <= MaxImageNo; ++n) ClearAlignment(n);
  BlinkOptions.ResetFrames();
  std::array<TImageForm1*, 4> windows{};
  for (int n = 0; n <= MaxImageNo; ++n) windows[At(n)] = host_.ImageWindow(n);
  SetImages(windows);
  StartAlignment();
  BlinkOptions.Frames = frames;
}

void TBlinkForm1::Target1Click() {
  if (FirstUnaligned >= 0)
    for (int k = FirstUnaligned; k <= LastFrame; ++k)
      if (TImageForm1* w = ImageForms[At(FrameSeq[At(k)])]) w->TargetLocated = false;
  FirstUnaligned = 0;
  FrameIndex = 0;
  TBlinkInitForm1& dlg = BlinkInitForm();
  dlg.Step = 8;
  dlg.Show();
}

// ------------------------------------------------------------- window

void TBlinkForm1::FormShow() {
  Visible = true;
  Changed();
  StartAlignment();
}

void TBlinkForm1::FormClose() {
  TimerEnabled = false;
  if (InitForm && InitForm->Visible) InitForm->Close();
  Visible = false;
  host_.BlinkWindowClosed();
  for (int i = 0; i <= LastImageNo; ++i) host_.SlotBusy(i, false);
  Changed();
}

void TBlinkForm1::FormMouseDown(MouseButton button, int x, int y) {
  if (button == MouseButton::Left) {
    if (InitStep() == 7) return;
    LeftDown = true;
    Cursor = CursorShape::CrossHair;
    ClearMark();
    Changed();
  } else if (button == MouseButton::Right) {
    if (!BlinkMenus.Adjust1) return;
    RegionDrag = true;
    if (RegionSet && !RegionBlinking) {
      Cursor = CursorShape::SizeNWSE;
      PrevRegion = Region;
      Region = {x, y, x, y};
      Changed();
    }
  }
}

void TBlinkForm1::FormMouseMove(int x, int y) {
  if (RegionDrag && RegionSet && !RegionBlinking) DrawBlinkRegion(x, y);
}

void TBlinkForm1::FormMouseUp(MouseButton button, int x, int y) {
  if (button == MouseButton::Left) {
    if (!LeftDown) return;
    LeftDown = false;
    Cursor = CursorShape::Arrow;
    Changed();
    if (!SelectingStar) {
      DrawCross(x, y);
      return;
    }
    RecordCrsr(x, y);
    BlinkInitForm().Show();
    TImageForm1* w = ImageForms[At(ShownImage)];
    if (!w) return;
    const bool target = InitStep() > 3 && InitStep() <= 6;
    const int sx = target ? MarkX - RoundToInt32(w->AlignDX) : MarkX;
    const int sy = target ? MarkY - RoundToInt32(w->AlignDY) : MarkY;
    long double cx, cy;
    if (!w->FindCentroid(sx, sy, SizeDlg, cx, cy)) return;
    if (target) {
      cx += w->AlignDX;
      cy += w->AlignDY;
    }
    if (RegionBlinking && BaseScale > 0) {
      cx = (cx - Region.left) * RegionZoom / BaseScale;
      cy = (cy - Region.top) * RegionZoom / BaseScale;
    }
    DrawMark("", CursorColor, cx, cy);
  } else if (button == MouseButton::Right) {
    if (!RegionDrag) return;
    if (!RegionSet || RegionBlinking) {
      if (view_) view_->PopupMenu(x, y);
    } else {
      Cursor = CursorShape::Drag;
      if (Region.left >= Region.right || Region.top >= Region.bottom) {
        Region = PrevRegion;
        DrawBlinkRegion(Region.right, Region.bottom);
      }
      Changed();
    }
    RegionDrag = false;
  }
}

void TBlinkForm1::RecordCrsr(int x, int y) {
  MarkValid = x >= 0 && x <= ClientWidth && y >= 0 && y <= ClientHeight;
  if (RegionBlinking && RegionZoom > 0) {
    const long double f = BaseScale / RegionZoom;
    MarkX = RoundToInt32(f * x) + Region.left;
    MarkY = RoundToInt32(f * y) + Region.top;
  } else {
    MarkX = x;
    MarkY = y;
  }
}

void TBlinkForm1::RepaintMarkArea(long double x, long double y) {
  const int ix = RoundToInt32(std::clamp<long double>(x, -1e6L, 1e6L));
  const int iy = RoundToInt32(std::clamp<long double>(y, -1e6L, 1e6L));
  if (view_) view_->RepaintNow(IntRect{ix - 24, iy - 24, ix + 24, iy + 24});
}

void TBlinkForm1::ClearMark() {
  // The cursor mark and the cross go; the other marks stay.
  if (CursorMarkIndex >= 0 && CursorMarkIndex < static_cast<int>(Marks.size())) {
    const BlinkMark m = Marks[static_cast<std::size_t>(CursorMarkIndex)];
    Marks.erase(Marks.begin() + CursorMarkIndex);
    RepaintMarkArea(m.X, m.Y);
  }
  CursorMarkIndex = -1;
  if (CrossShown) {
    CrossShown = false;
    RepaintMarkArea(CrossX, CrossY);
  }
  MarkX = MarkY = -40;
  MarkValid = false;
}

void TBlinkForm1::DrawMark(ImageCanvas& canvas, std::string_view label, std::uint32_t colour,
                           long double x, long double y, bool dotted, bool) {
  TImageForm1::DrawMark(canvas, label.substr(0, 2), colour, x, y, dotted, false);
}

void TBlinkForm1::DrawMark(std::string_view label, std::uint32_t colour, long double x,
                           long double y, bool dotted) {
  Marks.push_back(BlinkMark{std::string(label.substr(0, 2)), colour, x, y, dotted});
  if (colour == CursorColor) {
    CursorMarkIndex = static_cast<int>(Marks.size()) - 1;
    if (RegionBlinking && RegionZoom > 0) {
      const long double f = BaseScale / RegionZoom;
      MarkX = RoundToInt32(x * f) + Region.left;
      MarkY = RoundToInt32(y * f) + Region.top;
    } else {
      MarkX = RoundToInt32(x);
      MarkY = RoundToInt32(y);
    }
  } else {
    MarkX = MarkY = -40;
  }
  RepaintMarkArea(x, y);
}

}  // namespace hv
