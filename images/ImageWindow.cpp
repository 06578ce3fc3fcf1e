#include "images/ImageWindow.h"

#include <algorithm>
#include <cmath>

#include "app/Options.h"
#include "images/BoxParmsDlg.h"
#include "images/Centroid.h"
#include "images/GraphicsFile.h"
#include "images/ImageDialogs.h"
#include "support/Format.h"
#include "support/Histogram.h"
#include "support/IntArrayList.h"
#include "support/Rounding.h"

namespace hv {

TImageForm1::TImageForm1(Platform& platform, ImageWindowHost& host)
    : SizeDlg(host.ScreenWidth()), platform_(platform), host_(host) {
  ClientWidth = ClientHeight = 512;
  if (ListHost* lh = host.ReportListHost())
    ReportWin = std::make_unique<InfoListModel>(platform, *lh);
  ResetTarget();
}

TImageForm1::~TImageForm1() {
  if (CursorWindow && CursorWindow->Source() == this) CursorWindow->SetSource(nullptr);
  if (hv::DispParms == DispParms.get()) hv::DispParms = nullptr;
  host_.DisableBlink();
}

int TImageForm1::ImageWidth() const { return ImageFile ? ImageFile->ImageInfo.Width : 0; }
int TImageForm1::ImageHeight() const { return ImageFile ? ImageFile->ImageInfo.Height : 0; }

const IntArrayList* TImageForm1::Pixels() const {
  return ImageFile ? ImageFile->Pixels.get() : nullptr;
}
const HistogramObj* TImageForm1::Histogram() const {
  return ImageFile ? ImageFile->Histogram.get() : nullptr;
}

// ---------------------------------------------------------------- rendering

DispParmsRec TImageForm1::NewDispParms() const { return hv::NewDispParms(host_.Settings()); }

void TImageForm1::AttachImage(int n) {
  ImageNo = static_cast<std::uint8_t>(std::clamp(n, 0, 3));
  CaptionPrefix = "Image " + std::to_string(ImageNo + 1) + " - ";
  GraphicsFileObj* file = host_.ImageFile(ImageNo);
  ImageLoaded = file && file->HasData && file->Pixels && file->Histogram && file->BMPFile;
  if (!ImageLoaded) {
    // Never keep pointing at an image the slot no longer holds.
    if (ImageFile != file) {
      ImageFile = file;
      HasBitmap = false;
    }
    Changed();
    return;
  }
  ImageFile = file;
  Caption = CaptionPrefix + file->DisplayName;
  RenderImage(true);
  RefreshPalette();
  TargetLocated = false;
  SkyLocated = false;
  MeasureMode = false;
  ResetTarget();
  if (ReportWin) {
    ReportWin->SavedFolder = host_.Settings().WorkFolder;
    ReportWin->SaveFilterIndex = 4;
    ReportWin->SavedFileName = file->DisplayName.substr(0, file->DisplayName.find('.')) + ".SLN";
  }
  FieldCenter = RefStarRec{};
  FieldCenter.Status = RefStatus::FieldCenter;
  FieldCenter.Number = FieldCenterNumber;
  FieldCenter.Name = "Field Center";
  FieldCenter.ImageX = ImageWidth() / 2.0L;
  FieldCenter.ImageY = ImageHeight() / 2.0L;
  if (const ObsParmsRec* obs = host_.CurrentObs()) ObsParms = *obs;
  Menus.SolutionEnabled = false;
  Menus.ReportListEnabled = false;
  CursorCoordsShown = false;
  Zoomed = false;
  ZoomMode = false;
  Menus.ZoomEnabled = true;
  Menus.UnZoomEnabled = false;
  Changed();
}

void TImageForm1::RenderImage(bool newRecord) {
  if (!ImageFile || !ImageFile->Pixels || !ImageFile->Histogram || !ImageFile->BMPFile) return;
  BusyCursor busy(platform_);
  MarkX = MarkY = -40;
  MarkValid = false;
  if (newRecord || !DispParms) {
    if (hv::DispParms == DispParms.get()) hv::DispParms = nullptr;
    DispParms = std::make_unique<DispParmsRec>(NewDispParms());
  }

  ImageInfoRec& info = ImageFile->ImageInfo;
  const HistogramObj& hist = *ImageFile->Histogram;
  std::int32_t modeCount = 0;
  info.ModeBin = hist.Mode(modeCount);
  info.ModeCount = modeCount;
  info.FirstEmptyBin = hist.FirstEmptyAfterMode();

  DisplayRange range;
  if (DispParms->FromHeader == 0) {
    range = StatisticalRange(hist.Mean(), hist.StdDev(), DispParms->BkgOffset, DispParms->Range);
  } else {
    range.Low = ImageFile->HeaderLow;
    range.High = ImageFile->HeaderHigh;
  }
  info.DisplayLow = range.Low;
  info.DisplayHigh = range.High;
  info.EmptyBinValue = RoundToInt32(info.FirstEmptyBin * hist.BinWidth());
  DisplayLow = range.Low;
  DisplaySpan = static_cast<long double>(range.High) - range.Low;

  InitDisplaySize();
  host_.RepaintMainWindow();

  RenderInput in;
  in.Low = DisplayLow;
  in.Span = DisplaySpan;
  in.DisplayHigh = range.High;
  in.FlipX = DispParms->FlipX;
  in.FlipY = DispParms->FlipY;
  RenderPixels(*ImageFile->Pixels, info.Width, info.Height, in, Bitmap);
  HasBitmap = !Bitmap.empty();

  // The temporary bitmap file: written with the neutral ramp; the palette
  // is rewritten in place by each brightness or contrast change.
  BMPFileObj& bmp = *ImageFile->BMPFile;
  if (bmp.OpenFile(info)) {
    BuildGreyPalette(DisplayLowIndex, DisplayHighIndex, bmp.Palette());
    bmp.WriteInfo();
    const std::size_t rowBytes = static_cast<std::size_t>(bmp.RowBytes);
    // The window's rows are the file's rows: all in one write when they
    // have the file's layout.
    const auto all = static_cast<std::size_t>(Bitmap.Height) * rowBytes;
    if (static_cast<std::size_t>(Bitmap.RowBytes) != rowBytes || Bitmap.Pixels.size() < all ||
        bmp.WriteRows(std::span<const std::uint8_t>(Bitmap.Pixels.data(), all)) != all)
      for (int y = 0; y < Bitmap.Height; ++y)
        bmp.WriteRow(std::span<const std::uint8_t>(
            Bitmap.Row(y), std::min<std::size_t>(rowBytes, Bitmap.RowBytes)));
    bmp.CloseFile();
  }
  RefsLocated = false;
  DispImageNo = ImageNo;
  hv::DispParms = DispParms.get();
  *DispParms = ApplyPaletteIndexes(*DispParms);
  Bitmap.Colours = GreyColours(DispParms->LowIndex, DispParms->HighIndex);
  Repaint();
}

std::uint8_t TImageForm1::PixelToIndex(long double v) const {
  const int lo = DispParms ? DispParms->LowIndex : DisplayLowIndex;
  const int hi = DispParms ? DispParms->HighIndex : DisplayHighIndex;
  return MapPixelToIndex(v, DisplayLow, DisplaySpan, lo, hi);
}

void TImageForm1::RefreshPalette() {
  if (!DispParms) return;
  *DispParms = ApplyPaletteIndexes(*DispParms);
  if (ImageFile && ImageFile->BMPFile) {
    BMPFileObj& bmp = *ImageFile->BMPFile;
    BuildGreyPalette(DispParms->LowIndex, DispParms->HighIndex, bmp.Palette());
    bmp.WritePalette();
  }
  // The shown bitmap only swaps its colour table.
  Bitmap.Colours = GreyColours(DispParms->LowIndex, DispParms->HighIndex);
  Repaint();
  // The blink window draws this bitmap too: a display change shows there
  // at once, also while the adjustment dialog is still open.
  host_.RepaintBlink();
}

void TImageForm1::InitDisplaySize() {
  SizeDlg.SetImageSize(ImageWidth(), ImageHeight(), host_.ScreenWidth());
  SetClientSize(SizeDlg.DispWidth, SizeDlg.DispHeight);
}

void TImageForm1::SetClientSize(int w, int h) {
  ClientWidth = std::max(w, 1);
  ClientHeight = std::max(h, 1);
  Changed();
  Repaint();
}

// ------------------------------------------------------------------- window

void TImageForm1::FormShow() {
  Visible = true;
  ImageShown[ImageNo] = true;
  Changed();
}

bool TImageForm1::FormCloseQuery() {
  if (CloseAllowed) return true;
  platform_.beep(Sound::Exclamation);
  return false;
}

void TImageForm1::FormClose() {
  ImageShown[ImageNo] = false;
  Visible = false;
  host_.SlotBusy(ImageNo, false);
  Changed();
}

void TImageForm1::Close1Click() {
  if (FormCloseQuery()) FormClose();
}

void TImageForm1::ShowMagnifier(const std::string& title, long double x, long double y) {
  if (CursorWindow) CursorWindow->ShowRegion(title, x, y);
}

void TImageForm1::FormPaint(ImageCanvas& canvas) {
  const long double scale = SizeDlg.Scale;
  if (HasBitmap) {
    const bool inverted = Inverted();
    MarkColor0 = inverted ? MarkColour::Blue : MarkColour::Lime;
    const IntRect dest{0, 0, ClientWidth, ClientHeight};
    long double factor = scale;
    bool drawn = false;
    if (Zoomed) {
      const IntRect src{RoundToInt32(SizeDlg.ScreenToImage(ZoomRect.Left - AlignDX)),
                        RoundToInt32(SizeDlg.ScreenToImage(ZoomRect.Top - AlignDY)),
                        RoundToInt32(SizeDlg.ScreenToImage(ZoomRect.Right - AlignDX)),
                        RoundToInt32(SizeDlg.ScreenToImage(ZoomRect.Bottom - AlignDY))};
      if (src.Width() > 0 && src.Height() > 0) {
        canvas.DrawBitmap(Bitmap, src, dest, inverted);
        factor = static_cast<long double>(ClientWidth) / src.Width();
        drawn = true;
      }
    }
    if (!drawn) {
      canvas.DrawBitmap(Bitmap, IntRect{0, 0, Bitmap.Width, Bitmap.Height}, dest, inverted);
      if (ZoomMode && !Zoomed) {
        // An empty rectangle (before the first drag) has no frame.
        const int side = ZoomRect.Width();
        if (side > 0 && ZoomRect.Height() == side) {
          const long double zf = static_cast<long double>(ClientWidth) / side * scale;
          const std::uint32_t c = zf < 1.0L ? MarkColor2 : MarkColor0;
          const std::string t = FormatFixed(2, zf);
          canvas.Text(ZoomRect.Left, ZoomRect.Top - canvas.TextHeight(t), t, c);
          canvas.Frame(ZoomRect, c, false);
        }
      }
    }
    FactorText = FormatFixed(2, factor);
    canvas.Text(0, 0, FactorText, factor < 0.98L ? MarkColor2 : MarkColor0);
  }
  if (Zoomed) return;

  auto at = [&](const RefStarRec& r, std::string_view label, std::uint32_t colour, bool dotted) {
    DrawMark(canvas, label, colour, SizeDlg.ImageToScreen(r.ImageX) + 1,
             SizeDlg.ImageToScreen(r.ImageY), dotted, r.Located);
  };
  const int n = host_.GuideRefNum();
  int index = 0;
  bool markedDrawn = false;
  if (n > 1) {
    for (RefStarRec& r : RefList) {
      if (n <= 3 && index > n - 2) break;
      at(r, std::to_string(r.Number), index < n - 1 ? MarkColor0 : CursorColor, true);
      if (index == MarkedRef) markedDrawn = true;
      ++index;
    }
  }
  if (MarkedRef >= 0 && MarkedRef == n - 1 && !markedDrawn) {
    // Marked just now: shown in the cursor colour until the guide moves on
    // (or starts over, which makes it unlocated again).
    int i = 0;
    for (RefStarRec& r : RefList) {
      if (i++ == MarkedRef && r.Located) at(r, std::to_string(r.Number), CursorColor, true);
    }
  }
  if (TargetLocated) at(Target, "U", MarkColor0, true);
  if (SkyLocated) at(SkyBox, "S", MarkColor0, false);
  if (CrossShown && !ZoomMode) {
    canvas.Line(CrossX - 15, CrossY, CrossX + 15, CrossY, MarkColour::Fuchsia);
    canvas.Line(CrossX, CrossY - 15, CrossX, CrossY + 15, MarkColour::Fuchsia);
  }
  if (CursorCoordsShown && PlateSoln.Solved) {
    // The read-out at the bottom-left corner, Dec below RA.
    CoordsTextHeight = canvas.TextHeight(CursorDecText);
    const int decY = ClientHeight - CoordsTextHeight;
    canvas.Text(0, decY - canvas.TextHeight(CursorRAText), CursorRAText, CursorColor);
    canvas.Text(0, decY, CursorDecText, CursorColor);
  }
}

void TImageForm1::DrawMark(ImageCanvas& canvas, std::string_view label, std::uint32_t colour,
                           long double X, long double Y, bool dotted, bool info) {
  const int h = BoxParms.HalfBox, s = BoxParms.SkyBorder;
  // A prediction far off the image is drawn off the client, without overflow.
  constexpr long double kFar = 1 << 24;
  const int x = RoundToInt32(std::clamp(X, -kFar, kFar));
  const int y = RoundToInt32(std::clamp(Y, -kFar, kFar));
  canvas.Frame(IntRect{x - h, y - h, x + h, y + h}, colour, false);
  if (dotted) canvas.Frame(IntRect{x - h - s, y - h - s, x + h + s, y + h + s}, colour, true);
  const std::string text(label.substr(0, 2));
  if (!text.empty()) {
    int tx = x - h - s - 5 - 5 * static_cast<int>(text.size());
    if (tx < 1) tx = x + h + s + 5;
    canvas.Text(tx, y - h, text, colour);
  }
  if (InfoMask && info)
    ShowMagnifier(!text.empty() && text[0] == 'U' ? "Unknown" : "Reference #" + text, X, Y);
}

void TImageForm1::DrawCross(int x, int y) {
  if (ZoomMode) return;
  CrossShown = true;
  CrossX = x;
  CrossY = y;
  if (view_) view_->RepaintNow(IntRect{x - 16, y - 16, x + 17, y + 17});
}

void TImageForm1::RecordCrsr(int x, int y) {
  MarkX = x;
  MarkY = y;
  MarkValid = x >= 0 && x <= ClientWidth && y >= 0 && y <= ClientHeight;
}

void TImageForm1::ClearMark() {
  TImageForm1* w = host_.ImageWindow(ImageNo);
  if (!w) w = this;
  const IntRect r{w->MarkX - 24, w->MarkY - 24, w->MarkX + 24, w->MarkY + 24};
  w->CrossShown = false;
  if (w->view_) w->view_->RepaintNow(r);
  MarkX = MarkY = -40;
  MarkValid = false;
}

void TImageForm1::FormMouseDown(MouseButton button, int x, int y) {
  if (button == MouseButton::Left) {
    if (ZoomMode) return;  // the left button only serves the double click
    LeftDown = true;
    RightDown = false;
    Cursor = CursorShape::CrossHair;
    ClearMark();
    if (PlateSoln.Solved) ShowCursorCoords(x, y);
    ShowMagnifier("", x, y);
    Changed();
  } else if (button == MouseButton::Right) {
    RightDown = true;
    LeftDown = false;
    if (ZoomMode && !Zoomed) {
      Cursor = CursorShape::SizeNWSE;
      SavedZoomRect = ZoomRect;
      ZoomRect = IntRect{x, y, x, y};
      Changed();
    }
  }
}

void TImageForm1::FormMouseMove(int x, int y) {
  if (LeftDown) {
    ShowMagnifier("", x, y);
    const bool inside = x >= 0 && x <= ClientWidth && y >= 0 && y <= ClientHeight;
    const CursorShape c = inside ? CursorShape::CrossHair : CursorShape::Arrow;
    if (c != Cursor) {
      Cursor = c;
      Changed();
    }
    if (PlateSoln.Solved) ShowCursorCoords(x, y);
  } else if (RightDown && ZoomMode && !Zoomed) {
    const int dx = x - ZoomRect.Left, dy = y - ZoomRect.Top;
    if (dx < 0 || dy < 0) {
      platform_.beep(Sound::Hand);
      ZoomRect.Right = x;
      ZoomRect.Bottom = y;
    } else {
      const int side = std::max(dx, dy);
      ZoomRect.Right = ZoomRect.Left + side;
      ZoomRect.Bottom = ZoomRect.Top + side;
    }
    Repaint();
  }
}

void TImageForm1::FormMouseUp(MouseButton button, int x, int y) {
  LastButton = button;
  if (button == MouseButton::Left && LeftDown) {
    ShowMagnifier("", x, y);
    LeftDown = false;
    Cursor = CursorShape::Arrow;
    RecordCrsr(x, y);
    if (MeasureMode) {
      switch (host_.GuideStep()) {
        case 2:
          MarkRefStar(x, y);
          host_.ShowGuide();
          break;
        case 3:
          TargetClick(x, y);
          break;
        case 4:
          SkyClick(x, y);
          break;
        default:
          break;
      }
    } else {
      DrawCross(x, y);
      if (PlateSoln.Solved) ShowCursorCoords(x, y);
    }
    Changed();
  } else if (button == MouseButton::Right && RightDown) {
    if (!ZoomMode || Zoomed) {
      if (view_) view_->PopupMenu(x, y);
    } else {
      Cursor = CursorShape::Drag;
      if (ZoomRect.Right <= ZoomRect.Left || ZoomRect.Bottom <= ZoomRect.Top)
        ZoomRect = SavedZoomRect;
      Changed();
      Repaint();
    }
    RightDown = false;
  }
}

void TImageForm1::FormDblClick() {
  if (LastButton != MouseButton::Left || !ZoomMode) return;
  if (!Zoomed) {
    // Nothing to zoom into before a rectangle has been dragged.
    if (ZoomRect.Width() <= 0 || ZoomRect.Height() <= 0) {
      platform_.beep(Sound::Hand);
      return;
    }
    Zoomed = true;
    SavedClientHeight = ClientHeight;
    ClientHeight = ClientWidth;
  } else {
    Zoomed = false;
    if (SavedClientHeight > 0) ClientHeight = SavedClientHeight;
  }
  Cursor = CursorShape::Drag;
  Changed();
  Repaint();
}

void TImageForm1::ZoomImage1Click() {
  bool& hintDue = host_.ZoomHintDue();
  if (hintDue && !host_.Settings().NoConfirm) {
    hintDue = false;
    MessageRequest r;
    r.caption = "Zoom Image";
    r.text =
        "Place the Cursor on the upper left corner of the region you want to view.  Hold the "
        "RIGHT button and drag diagonally down to size the region.  Double-click the LEFT "
        "button anywhere on the image to zoom/unzoom.";
    r.icon = MsgIcon::Information;
    r.buttons = Buttons::OKCancel;
    r.sound = Sound::Default;
    ZoomMode = platform_.message(r) == ModalResult::OK;
  } else {
    ZoomMode = true;
  }
  if (ZoomMode) {
    Cursor = CursorShape::Drag;
    Menus.ZoomEnabled = false;
    Menus.UnZoomEnabled = true;
    CrossShown = false;
  }
  Changed();
  Repaint();
}

void TImageForm1::UnZoomImage1Click() {
  Cursor = CursorShape::Arrow;
  ZoomMode = false;
  Zoomed = false;
  Menus.ZoomEnabled = true;
  Menus.UnZoomEnabled = false;
  Changed();
  Repaint();
}

void TImageForm1::ShowZoomMenus(bool visible) {
  Menus.ZoomItemsVisible = visible;
  if (!visible && ZoomMode) UnZoomImage1Click();
  Changed();
}

void TImageForm1::ResizeWindow1Click() {
  SizeDlg.Caption = "Adjust Image " + std::to_string(ImageNo + 1) + " Display Size";
  if (platform_.showDialog(SizeDlg) == ModalResult::OK)
    SetClientSize(SizeDlg.DispWidth, SizeDlg.DispHeight);
}

TImageForm1* TImageForm1::BoxTargetWindow() {
  TImageForm1* w = host_.ImageWindow(ImageNo);
  return w ? w : this;
}

void TImageForm1::BoxParameters1Click() {
  if (!BoxDlgForm1) return;
  const BoxParmsRec before = BoxParms;
  if (platform_.showDialog(*BoxDlgForm1) != ModalResult::OK) return;
  host_.MutableSettings().BoxParms = BoxParms;
  // A target measured with the box it was shown keeps its measurement: only
  // a new box asks for it to be located again.
  if (BoxParms != before) {
    if (TImageForm1* w = BoxTargetWindow()) {
      w->TargetLocated = false;
      w->Repaint();
      host_.TargetCleared(*w);
    }
  }
  host_.RepaintReferenceField();
  host_.OptionsChanged();
}

void TImageForm1::Header1Click() {
  if (ImageFile) ImageFile->ShowHeaderList(CaptionPrefix);
}

void TImageForm1::Image1Click() {
  if (ImageFile) ImageFile->ShowImageData(CaptionPrefix);
}

void TImageForm1::AdjustImage1Click() {
  if (!DispParms) return;
  hv::DispParms = DispParms.get();
  DispImageNo = ImageNo;
  DispParmsForImage = true;
  TImgAdjstDlg dlg(host_.MutableSettings(), this, [this] { host_.OptionsChanged(); });
  dlg.Caption = "Adjust Image " + std::to_string(ImageNo + 1) + " Display Parameters";
  bool shownFlipX = FlipX(), shownFlipY = FlipY();
  for (;;) {
    const ModalResult result = platform_.showDialog(dlg);
    if (dlg.OrientChanged) {
      // Every measured position follows the new orientation, and so does a
      // solved plate: it is fitted again to the mirrored positions, so that
      // the read-out and the report never mix two orientations. The last
      // read-out and cross were of points of the old one.
      const bool mirrorX = FlipX() != shownFlipX, mirrorY = FlipY() != shownFlipY;
      if (mirrorX || mirrorY) {
        MirrorMeasurements(mirrorX, mirrorY);
        ResolvePlate();
        CursorCoordsShown = false;
        CrossShown = false;
      }
      shownFlipX = FlipX();
      shownFlipY = FlipY();
    }
    if (dlg.OrientChanged || dlg.RangeChanged) {
      RenderImage(false);
      RefreshPalette();
    }
    if (result != ModalResult::Retry) break;
  }
  Repaint();
  host_.RepaintBlink();
}

// ----------------------------------------------------------------- printing

std::string TImageForm1::PrintJobTitle() const {
  const hv::PrintHeader h = host_.ImagePrintHeader();
  if (!h.exerciseSession) return "VESK CCD Astrometry Module";
  std::string t = "VESK Halvardin Exercise - " + h.names[0];
  if (t.size() > 80) t.resize(80);
  return t;
}

void TImageForm1::PrintImage1Click() { PrintDocument(); }

bool TImageForm1::PrintDocument(const std::filesystem::path& pdfFile) {
  PrintRequest request;
  request.jobTitle = PrintJobTitle();
  request.pdfFile = pdfFile;
  std::unique_ptr<PrintJob> job = platform_.beginPrint(request);
  if (!job) return false;  // cancelled
  BusyCursor busy(platform_);
  Enabled = false;
  Changed();
  struct Restore {
    TImageForm1* w;
    ~Restore() {
      w->Enabled = true;
      w->Changed();
    }
  } restore{this};
  try {
    PrintHeader(*job);
    PrintInfo(*job);
    PrintBitmap(*job);
  } catch (...) {
    job->finish();  // the document is ended also when a part fails
    throw;
  }
  return job->finish();
}

void TImageForm1::PrintHeader(PrintJob& job) {
  const hv::PrintHeader h = host_.ImagePrintHeader();
  PrintLineHeight = job.textHeight("Text");
  PrintY = 0;
  PrintLeft = job.pageWidth() > job.pageHeight() ? 50 : 0;
  std::string first = PrintDateTime(platform_.now());
  if (h.exerciseSession)
    first += "     Laboratory Table Number " +
             (h.tableNumber.empty() ? std::string("(Not Recorded)") : h.tableNumber);
  job.drawText(PrintLeft, PrintY, first);
  if (h.exerciseSession) {
    PrintY += 2 * PrintLineHeight;
    job.drawText(PrintLeft, PrintY, h.names[0]);
    for (int i = 1; i < 4; ++i) {
      if (h.names[i].empty()) continue;
      PrintY += PrintLineHeight;
      job.drawText(PrintLeft, PrintY, h.names[i]);
    }
  }
}

void TImageForm1::PrintInfo(PrintJob& job) {
  PrintY += 2 * PrintLineHeight;
  job.drawText(PrintLeft + 50, PrintY, Caption);
  PrintY += 2 * PrintLineHeight;
  job.drawText(PrintLeft + 100, PrintY,
               "Image Width: " + std::to_string(ImageWidth()) +
                   " Pixels,  Height: " + std::to_string(ImageHeight()) + " Pixels");
  PrintY += 2 * PrintLineHeight;
  const int left = PrintLeft + 100;
  if (PlateSoln.Solved) {
    job.drawText(left, PrintY,
                 "Field Center  - RA:" + FormatRA(2, "h ", "m ", FieldCenter.RA, "s,   Dec:") +
                     FormatDMS(1, "\xB0 ", "' ", FieldCenter.Dec, "\""));
    PrintY += PrintLineHeight;
    const long double scale = PlateSoln.ScaleArcsecPerPixel();
    job.drawText(left, PrintY,
                 "Field - Scale: " + FormatFixed(4, scale) + " \"/pixel" +
                     ",  Width: " + FormatFixed(2, ImageWidth() * scale / 60) + "'" +
                     ",  Height: " + FormatFixed(2, ImageHeight() * scale / 60) + "'");
    PrintY += 2 * PrintLineHeight;
    if (TargetLocated) {
      job.drawText(left, PrintY,
                   "Target Object - RA:" + FormatRA(2, "h ", "m ", Target.RA, "s  Dec:") +
                       FormatDMS(1, "\xB0 ", "' ", Target.Dec, "\""));
      PrintY += PrintLineHeight;
      if (Target.Mag != 0) {
        const int decimals = Target.MagResid > 0 && Target.MagResid < 0.05L ? 2 : 1;
        job.drawText(left, PrintY, "Target Magnitude: " + FormatFixed(decimals, Target.Mag));
        PrintY += PrintLineHeight;
      }
    }
  } else {
    const auto centre = host_.ApproximateCentre(ImageNo);
    if (centre && (centre->first != 0 || centre->second != 0)) {
      job.drawText(left, PrintY,
                   "Approximate Coordinates - RA:" + FormatDM(0, "h ", "m,   Dec:", centre->first) +
                       FormatDM(0, "\xB0 ", "'", centre->second));
      PrintY += 2 * PrintLineHeight;
    }
  }
}

void TImageForm1::PrintBitmap(PrintJob& job) {
  IndexedImage image;
  if (!view_ || !view_->ClientImage(image)) {
    // Without a form: the display bitmap at the client size.
    image.width = Bitmap.Width;
    image.height = Bitmap.Height;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
      std::copy_n(Bitmap.Row(y), image.width,
                  image.pixels.data() + static_cast<std::size_t>(y) * image.width);
    image.colours = Bitmap.Colours;
    if (Inverted())
      for (auto& c : image.colours) c = 0xFF000000u | (~c & 0xFFFFFFu);
  }
  const int w = view_ ? ClientWidth : image.width, h = view_ ? ClientHeight : image.height;
  const int pw = RoundToInt32(static_cast<long double>(w) * job.dotsPerInchX() / 96);
  const int ph = RoundToInt32(static_cast<long double>(h) * job.dotsPerInchY() / 96);
  PrintRect = {(job.pageWidth() - pw) / 2, PrintY + 5 * PrintLineHeight, pw, ph};
  job.drawImage(image, PrintRect[0], PrintRect[1], pw, ph);
  const int l = PrintRect[0], t = PrintRect[1], r = l + pw, b = t + ph;
  job.drawLine(l, t, r, t);
  job.drawLine(r, t, r, b);
  job.drawLine(r, b, l, b);
  job.drawLine(l, b, l, t);
}

}  // namespace hv
