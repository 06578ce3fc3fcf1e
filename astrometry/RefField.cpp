#include "astrometry/RefField.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/Options.h"
#include "astrometry/AstromObs.h"
#include "images/BoxParmsDlg.h"
#include "images/GraphicsFile.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {

// ---------------------------------------------------------------- stamps

StarKernelTable BuildStarKernel() {
  StarKernelTable k{};
  for (int i = 0; i < StarKernelSize; ++i)
    for (int j = 0; j < StarKernelSize; ++j) {
      const long double a = (i - 10) / 1.7L, b = (j - 10) / 1.7L;
      k[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
          RoundToInt32(10000 * std::exp(-(a * a + b * b) / 2));
    }
  return k;
}

const StarKernelTable StarKernel = BuildStarKernel();

StampSetRec BuildStamps(std::int32_t zeroPoint) {
  StampSetRec set;
  long double factor = 1;
  for (int level = 0; level < StampLevels; ++level) {
    StampRec& s = set.Stamps[static_cast<std::size_t>(level)];
    for (std::size_t i = 0; i < StarKernelSize; ++i)
      for (std::size_t j = 0; j < StarKernelSize; ++j)
        s.Grey[i][j] = static_cast<std::uint8_t>(
            std::min<std::int64_t>(RoundToInt64(factor * StarKernel[i][j]), 255));
    s.Half = 11;
    factor *= 0.6L;
  }
  set.ZeroPoint = zeroPoint;
  set.Truncate = false;
  return set;
}

std::int32_t StampLevel(const StampSetRec& set, long double mag) {
  const long double m = set.Truncate ? std::trunc(mag) : RoundHalfEven(mag);
  const long double level = m - set.ZeroPoint;
  return static_cast<std::int32_t>(std::clamp<long double>(level, 0, StampLevels - 1));
}

std::array<std::uint32_t, 256> FieldPalette(bool inverted) {
  std::array<std::uint32_t, 256> c{};
  for (std::uint32_t v = 0; v < 256; ++v) c[v] = 0xFF000000u | (v << 16) | (v << 8) | v;
  c[CrossIndex] = 0xFF000000u | MarkColour::Aqua;
  if (inverted)
    for (auto& x : c) x = 0xFF000000u | (~x & 0xFFFFFFu);
  return c;
}

namespace {
std::uint8_t* PixelAt(DisplayBitmap& bmp, int x, int y) {
  if (x < 0 || y < 0 || x >= bmp.Width || y >= bmp.Height) return nullptr;
  return bmp.Pixels.data() + static_cast<std::size_t>(y) * bmp.RowBytes + x;
}
std::uint8_t RedOf(const DisplayBitmap& bmp, std::uint8_t index) {
  return static_cast<std::uint8_t>((bmp.Colours[index] >> 16) & 0xFF);
}
}  // namespace

void DrawStamp(DisplayBitmap& bmp, const StampRec& stamp, int x, int y) {
  for (int i = 0; i < StarKernelSize; ++i)
    for (int j = 0; j < StarKernelSize; ++j) {
      const std::uint8_t v = stamp.Grey[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
      if (v < 30) continue;
      std::uint8_t* p = PixelAt(bmp, x + i - 10, y + j - 10);
      if (p && RedOf(bmp, *p) < v) *p = v;
    }
}

void DrawBitmapLine(DisplayBitmap& bmp, int x1, int y1, int x2, int y2, std::uint8_t v) {
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  // As a pen line: the end point itself is not drawn.
  while (x1 != x2 || y1 != y2) {
    if (std::uint8_t* p = PixelAt(bmp, x1, y1)) *p = v;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x1 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y1 += sy;
    }
  }
}

void DrawObjectCircle(DisplayBitmap& bmp, int x, int y) {
  // The ellipse of the box (x - 6, y - 6) .. (x + 6, y + 6): a radius of 6
  // about the centre; its one-pixel rim is white, the inside black.
  for (int dy = -6; dy <= 6; ++dy)
    for (int dx = -6; dx <= 6; ++dx) {
      const int r2 = dx * dx + dy * dy;
      if (r2 > 42) continue;  // 6.5^2: the rim's outer edge
      if (std::uint8_t* p = PixelAt(bmp, x + dx, y + dy)) *p = r2 >= 30 ? 255 : 0;  // 5.5^2
    }
}

// ---------------------------------------------------------------- projection

FieldProjRec InitProjection(int w, int h, long double raCenter, long double decCenter,
                            long double fieldSize) {
  FieldProjRec p;
  p.RA0 = raCenter;
  p.Dec0 = decCenter;
  if (fieldSize > 0) {
    p.XScale = w * 900.0L / fieldSize;
    p.YScale = h * 60.0L / fieldSize;
  }
  p.X0 = w / 2.0L;
  p.Y0 = h / 2.0L;
  return p;
}

long double ProjectX(const FieldProjRec& p, long double ra, long double dec) {
  long double d = p.RA0 - ra;
  if (d < -12) d += 24;
  if (d > 12) d -= 24;
  return std::cos(dec * 3.14159265358979323846264338327950288L / 180) * p.XScale * d + p.X0;
}

long double ProjectY(const FieldProjRec& p, long double dec) {
  return (p.Dec0 - dec) * p.YScale + p.Y0;
}

// ---------------------------------------------------------------- window

CatStarRec* RefInfoStar = nullptr;

TGSCForm1::TGSCForm1(Platform& platform, ImageWindowHost& host, RefFieldHost& refHost)
    : TImageForm1(platform, host), RefInfoForm1(platform), ref_(refHost) {
  Caption = WindowCaption;
  Inverted = false;
  RefMenus.SolutionOrder = static_cast<std::uint8_t>(host.Settings().SolutionOrder);
}

TGSCForm1::~TGSCForm1() {
  // The dialog's star belongs to the field this window showed.
  RefInfoStar = nullptr;
}

std::uint8_t TGSCForm1::PictureRed(int x, int y) const {
  if (x < 0 || y < 0 || x >= Bitmap.Width || y >= Bitmap.Height) return 0;
  return static_cast<std::uint8_t>((Bitmap.Colours[Bitmap.At(x, y)] >> 16) & 0xFF);
}

void TGSCForm1::InitField() {
  ZeroPoint = 0;
  // The last pick belonged to the list a new query has replaced.
  PickedStar = nullptr;
  PickedIndex = -1;
  if (ChartMode == 1) {
    Inverted = true;
    RefMenus.PopupRefStarsEnabled = false;
    RefMenus.MainRefStarsEnabled = false;
  } else {
    Inverted = host_.Settings().InvertRefDisplay;
    RefMenus.PopupRefStarsEnabled = true;
    RefMenus.MainRefStarsEnabled = true;
  }
  FieldCatalog = static_cast<std::uint8_t>(host_.Settings().StarCatalog);
  BuildFieldImage();
  MeasureMode = false;
  RefStars.Clear();
  AddCount = 0;
  RefMenus.SolutionOrder = static_cast<std::uint8_t>(host_.Settings().SolutionOrder);
  StampCaption();
  Changed();
}

void TGSCForm1::BuildFieldImage() {
  Bitmap = DisplayBitmap{};
  HasBitmap = false;
  pictureInverted_ = false;

  const int half = host_.ScreenWidth() / 2;
  TImageForm1* measured = ChartMode == 0 ? ref_.MeasuredWindow() : nullptr;
  if (measured) {
    const TImgSizeDlg& s = measured->SizeDlg;
    SizeDlg.MaxWidth = s.MaxWidth;
    SizeDlg.DispWidth = s.DispWidth;
    SizeDlg.DefaultWidth = s.DefaultWidth;
    SizeDlg.DispHeight = s.DispHeight;
    SizeDlg.Aspect = s.Aspect;
    SizeDlg.Scale = s.Scale;
    ClientWidth = std::max<int>(SizeDlg.DispWidth, 1);
    ClientHeight = std::max<int>(SizeDlg.DispHeight, 1);
    SizeDlg.Scale = static_cast<long double>(SizeDlg.DispWidth) / std::max(half, 1);
  } else {
    // A chart, or a measurement without its image window: a square of half
    // the screen at scale 1.
    SizeDlg.MaxWidth = SizeDlg.DispWidth = SizeDlg.DispHeight = static_cast<std::uint16_t>(half);
    SizeDlg.Aspect = 1.0L;
    SizeDlg.Scale = 1.0L;
    ClientHeight = std::max<int>(SizeDlg.DispWidth, 1);
    ClientWidth = ClientHeight;
    SizeDlg.DefaultWidth = SizeDlg.DispWidth;
  }
  if (SizeDlg.Scale <= 0) SizeDlg.Scale = 1.0L;
  BuildScale = SizeDlg.Scale;

  Bitmap.Width = ClientWidth;
  Bitmap.Height = ClientHeight;
  Bitmap.RowBytes = PaddedRowBytes(ClientWidth);
  Bitmap.Pixels.assign(static_cast<std::size_t>(Bitmap.RowBytes) * Bitmap.Height, 0);
  Bitmap.Colours = FieldPalette(false);
  static std::uint64_t generation = 0;
  Bitmap.Generation = (std::uint64_t{1} << 62) + ++generation;
  HasBitmap = true;
  Changed();

  if (!GSCField || GSCField->Stars.IsEmpty()) {
    ShowWarning(platform_, "Warning", NoStarsText);
    // The projection, zero point and stamps are still made, so that the
    // information list and a later field agree with what is shown.
  }

  const int w = RoundToInt32(ClientWidth / SizeDlg.Scale);
  const int h = RoundToInt32(ClientHeight / SizeDlg.Scale);
  Proj = InitProjection(w, h, CurFldParms.RACenter, CurFldParms.DecCenter, CurFldParms.FieldSize);
  if (ZeroPoint == 0 && GSCField) ZeroPoint = RoundToInt32(GSCField->MaxMag - 9.0L);
  Stamps = BuildStamps(ZeroPoint);

  if (ChartMode == 1 && ChartPlotPos) {
    if (AstromObsObj* report = ref_.Report()) {
      for (const ObsRec& obs : report->Observations) {
        const int p =
            RoundToInt32(SizeDlg.ImageToScreen(ProjectX(Proj, obs.Target.RA, obs.Target.Dec)));
        const int q = RoundToInt32(SizeDlg.ImageToScreen(ProjectY(Proj, obs.Target.Dec)));
        if (0 < p && p < Bitmap.Width && 0 < q && q < Bitmap.Height) {
          DrawBitmapLine(Bitmap, p - 5, q - 5, p + 6, q + 6, CrossIndex);
          DrawBitmapLine(Bitmap, p - 5, q + 5, p + 6, q - 6, CrossIndex);
        }
      }
    }
  }

  if (GSCField) {
    for (CatStarRec& star : GSCField->Stars) {
      star.FieldX = ProjectX(Proj, star.RA, star.Dec);
      star.FieldY = ProjectY(Proj, star.Dec);
      star.ScreenX = RoundToInt32(SizeDlg.ImageToScreen(star.FieldX));
      star.ScreenY = RoundToInt32(SizeDlg.ImageToScreen(star.FieldY));
      if (star.Class == 0) {
        star.StampLevel = StampLevel(Stamps, star.Mag);
        DrawStamp(Bitmap, Stamps.Stamps[static_cast<std::size_t>(star.StampLevel)], star.ScreenX,
                  star.ScreenY);
      } else {
        star.StampLevel = 99;
        DrawObjectCircle(Bitmap, star.ScreenX, star.ScreenY);
      }
    }
  }
  if (Inverted) InvertField();
  Repaint();
}

void TGSCForm1::InvertField() {
  pictureInverted_ = !pictureInverted_;
  for (auto& c : Bitmap.Colours) c = 0xFF000000u | (~c & 0xFFFFFFu);
}

void TGSCForm1::FormShow() {
  // Not the image window's show: this window holds no image slot.
  Visible = true;
  RefMenus.PopupAddRemoveEnabled = !MeasureMode;
  Changed();
}

void TGSCForm1::FormClose() {
  // Not the image window's close, which frees the slot it shows.
  Visible = false;
  Changed();
}

TImageForm1* TGSCForm1::BoxTargetWindow() {
  return ChartMode == 0 ? ref_.MeasuredWindow() : nullptr;
}

void TGSCForm1::StampCaption() {
  if (ChartMode == 0)
    Caption =
        "Reference Stars  -  RA: " + FormatRA(1, ":", ":", CurFldParms.RACenter, ",   Dec: ") +
        FormatDMS(0, ":", ":", CurFldParms.DecCenter, "");
  else
    Caption.clear();
}

void TGSCForm1::FormPaint(ImageCanvas& canvas) {
  StampCaption();
  TImageForm1::FormPaint(canvas);
  const std::uint32_t grey = 0x808080;
  if (Inverted) {
    MarkColor0 = MarkColour::Blue;
    MarkColor1 = MarkColour::Aqua;
  } else {
    MarkColor0 = MarkColour::Lime;
    MarkColor1 = MarkColour::Aqua;
    const int w = ClientWidth, h = ClientHeight;
    canvas.Line(4, 4, w - 4, 4, MarkColour::Red);
    canvas.Line(w - 4, 4, w - 4, h - 4, MarkColour::Red);
    canvas.Line(w - 4, h - 4, 4, h - 4, MarkColour::Red);
    canvas.Line(4, h - 4, 4, 4, MarkColour::Red);
  }
  const int cx = RoundToInt32(ClientWidth / 2.0L), cy = RoundToInt32(ClientHeight / 2.0L);
  canvas.Line(cx, cy - 17, cx, cy + 17, grey);
  canvas.Line(cx - 17, cy, cx + 17, cy, grey);
  if (ChartMode == 0) {
    for (const RefStarRec& r : RefStars) {
      const std::uint32_t colour = r.Status == 0   ? MarkColor0
                                   : r.Status == 1 ? MarkColor1
                                                   : MarkColor2;
      DrawMark(canvas, std::to_string(r.Number), colour,
               RoundHalfEven(SizeDlg.ImageToScreen(r.FieldX)),
               RoundHalfEven(SizeDlg.ImageToScreen(r.FieldY)), true, false);
    }
  }
  if (PickedStar && PickMarkShown)
    DrawMark(canvas, "", PickColor, PickedStar->ScreenX, PickedStar->ScreenY, true, false);
}

void TGSCForm1::FormMouseDown(MouseButton button, int x, int y) {
  if (button == MouseButton::Left) PickDown = true;
  if (button == MouseButton::Right) RightDown = true;
}

void TGSCForm1::FormMouseUp(MouseButton button, int x, int y) {
  if (button == MouseButton::Right && RightDown) {
    RightDown = false;
    if (view_) view_->PopupMenu(x, y);
    return;
  }
  if (button != MouseButton::Left || !PickDown) return;
  PickDown = false;
  Cursor = CursorShape::Arrow;
  Changed();
  if (!MeasureMode) return;
  PickAt(x, y);
}

bool TGSCForm1::PickAt(int x, int y) {
  if (!GSCField) return false;
  const int fx = RoundToInt32(SizeDlg.ScreenToImage(x));
  const int fy = RoundToInt32(SizeDlg.ScreenToImage(y));
  CatStarRec* star = nullptr;
  const std::int32_t index = GSCField->NearestStar(fx, fy, star);
  if (index < 0 || !star) return false;

  PickedStar = star;
  PickedIndex = index;
  RefInfoStar = star;
  PickMarkShown = true;
  // The mark's box, its dotted sky border and a label's room.
  const int r = BoxParms.HalfBox + BoxParms.SkyBorder + 24;
  if (view_)
    view_->RepaintNow(
        IntRect{star->ScreenX - r, star->ScreenY - r, star->ScreenX + r, star->ScreenY + r});

  RefStarRec rec;
  rec.Number = AddCount + 1;
  rec.Name = star->Name.substr(0, RefStarCap::Name);
  rec.FieldX = star->FieldX;
  rec.FieldY = star->FieldY;
  rec.CatRA = star->RA;
  rec.CatDec = star->Dec;
  rec.Mag = star->Mag;
  rec.Catalog = star->Catalog;
  rec.UsePos = star->UsePos;
  rec.UseMag = star->UseMag;
  if (star->Catalog != 0)
    rec.Band = CurFldParms.Color < ColorCodeCount ? ColorPassbands[CurFldParms.Color] : 8;

  // The dialog goes below the window, or as low as the screen allows.
  const int windowHeight = ClientHeight + WindowFrameHeight;
  int top = windowHeight + 10;
  const int screenHeight = ref_.ScreenHeight();
  if (screenHeight - 28 < TRefInfoForm1::Height + top)
    top = screenHeight - 28 - TRefInfoForm1::Height;
  if (top < y + 38) top = windowHeight - ClientHeight;
  RefInfoForm1.Top = top;
  RefInfoForm1.Left = 30;
  RefInfoForm1.ChartMode = ChartMode == 1;

  const bool found = RefStars.FindByName(rec) != nullptr;
  RefInfoForm1.RmvEnabled = found;
  const ModalResult result = platform_.showDialog(RefInfoForm1);
  if (result == ModalResult::OK) {
    // Whatever its class: the dialog shows what the object is and the
    // student's use choices decide.
    rec.UsePos = star->UsePos;
    rec.UseMag = star->UseMag;
    if (!found) {
      if (RefCount() + 1 > MaxRefStars) {
        ShowWarning(
            platform_, MaxRefCaption,
            "A maximum of " + std::to_string(MaxRefStars) + " active Reference Stars are allowed!");
      } else {
        ++AddCount;
        RefStars.AddOrUpdate(rec);
      }
    } else {
      RefStars.UpdateFlags(rec);
    }
  } else if (result == ModalResult::No) {
    if (RefStars.FindByName(rec)) RefStars.DeleteCurrent();
  }
  PickMarkShown = false;
  Repaint();
  return true;
}

// ---------------------------------------------------------------- commands

std::string TGSCForm1::ColorSelText() const {
  const std::uint8_t c = CurFldParms.Color;
  switch (FieldCatalog) {
    case 1:
      return c < ColorCodeCount ? "Color Selection: " + std::string(ColorBands[c]) : std::string();
    case 2:
      if (c == static_cast<std::uint8_t>(ColorCode::Blue)) return "Color Selection: B2";
      if (c == static_cast<std::uint8_t>(ColorCode::Red)) return "Color Selection: R2";
      return {};
    default:
      return {};
  }
}

std::vector<std::string> TGSCForm1::InfoLines() const {
  std::vector<std::string> l;
  l.push_back("Catalog - " + std::string(CatalogName(FieldCatalog)));
  l.push_back("Field Center - RA: " + FormatRA(2, ":", ":", CurFldParms.RACenter, ",    Dec: ") +
              FormatDMS(1, ":", ":", CurFldParms.DecCenter, ""));
  l.push_back("Field Size: " + FormatFixed(1, CurFldParms.FieldSize) + " Arc Minutes");
  const std::int32_t stars = GSCField ? GSCField->NumStars : 0;
  const std::int32_t entries = GSCField ? GSCField->Stars.Count() : 0;
  l.push_back("Stars Found: " + std::to_string(stars));
  l.push_back("Magnitude of Brightest: " + FormatFixed(2, GSCField ? GSCField->MinMag : 0) +
              ",  Faintest: " + FormatFixed(2, GSCField ? GSCField->MaxMag : 0));
  if (FieldCatalog != 0) {
    const std::uint8_t c = CurFldParms.Color;
    l.push_back("Color Selection: " + std::string(c < ColorCodeCount ? ColorBands[c] : ""));
  } else {
    l.push_back("Non-Stellar Objects: " + std::to_string(entries - stars));
  }
  l.push_back("Star Image Zero Point (Magnitude): " + std::to_string(ZeroPoint));
  return l;
}

void TGSCForm1::Image21Click() {
  ListHost* lh = ref_.ListWindowHost();
  if (!lh) return;
  if (!InfoList) {
    InfoList = std::make_unique<InfoListModel>(platform_, *lh);
    InfoList->Caption = "Reference Field Image Data";
    InfoList->SaveFilterIndex = 5;
    std::string name = DefaultInfoListName;
    TImageForm1* measured = ref_.MeasuredWindow();
    if (ChartMode == 0 && measured && measured->ImageFile &&
        !measured->ImageFile->DisplayName.empty()) {
      const std::string& d = measured->ImageFile->DisplayName;
      name = d.substr(0, d.find('.')) + ".RFL";
    }
    InfoList->SavedFileName = name;
    InfoList->SavedFolder = host_.Settings().WorkFolder;
  }
  InfoList->SetLines(InfoLines());
  InfoList->Visible = true;
  ref_.ShowList(*InfoList);
}

void TGSCForm1::AddRemove1Click() {
  MeasureMode = true;
  RefMenus.PopupAddRemoveEnabled = false;
  Changed();
  ref_.RestartGuide();
}

void TGSCForm1::ClearReselect1Click() {
  RefStars.Clear();
  AddCount = 0;
  // A chart has no measured image behind it.
  if (TImageForm1* m = ChartMode == 0 ? ref_.MeasuredWindow() : nullptr) m->RefList.Clear();
  Repaint();
  AddRemove1Click();
}

void TGSCForm1::Parameters1Click() {
  if (ChartMode == 1) {
    // A chart only asks again and draws again: there is no measurement,
    // image window or guide behind it.
    if (ref_.LoadReferenceField(ChartObsTime)) {
      InitField();
      MeasureMode = true;
      Changed();
    }
    return;
  }
  TImageForm1* measured = ref_.MeasuredWindow();
  const double t = measured ? measured->ObsParms.ObsTime : 0.0;
  if (!ref_.LoadReferenceField(t)) return;
  InitField();
  if (measured) measured->RefsLocated = false;
  ClearReselect1Click();
}

void TGSCForm1::AdjustDisplay2Click() {
  TGSCAdjstForm1 dlg(platform_, *this);
  if (platform_.showDialog(dlg) == ModalResult::OK)
    ApplyDisplayAdjustment(dlg.OldZeroPoint, dlg.OldInverted);
}

void TGSCForm1::ApplyDisplayAdjustment(std::int32_t oldZeroPoint, bool oldInverted) {
  if (ZeroPoint != oldZeroPoint) {
    BuildFieldImage();
  } else if (Inverted != oldInverted) {
    InvertField();
    Repaint();
  }
}

// Resize rule: the picture is not rebuilt but stretched onto the new client
// area, so the scale follows the stretch: display pixels per field pixel
// become the build scale times new client width / picture width. Marks
// (ImageToScreen of field positions) and picks (ScreenToImage of clicks)
// then land where the stretched stars are, whatever image width the size
// dialog was given.
void TGSCForm1::ResizeWindow2Click() {
  SizeDlg.Caption = "Adjust Reference Display Size";
  if (platform_.showDialog(SizeDlg) != ModalResult::OK) return;
  if (Bitmap.Width > 0)
    SizeDlg.Scale = BuildScale * SizeDlg.DispWidth / static_cast<long double>(Bitmap.Width);
  if (GSCField)
    for (CatStarRec& s : GSCField->Stars) {
      s.ScreenX = RoundToInt32(SizeDlg.ImageToScreen(s.FieldX));
      s.ScreenY = RoundToInt32(SizeDlg.ImageToScreen(s.FieldY));
    }
  SetClientSize(SizeDlg.DispWidth, SizeDlg.DispHeight);
}

void TGSCForm1::SetSolutionOrder(std::uint8_t order) {
  host_.MutableSettings().SolutionOrder = static_cast<SolutionCode>(order);
  RefMenus.SolutionOrder = order;
  Changed();
  ref_.BeginGuideSelection();
}

// ---------------------------------------------------------------- printing

void TGSCForm1::PrintInfo(PrintJob& job) {
  const int h = PrintLineHeight, x = PrintLeft + 100;
  PrintY += 2 * h;
  job.drawText(PrintLeft + 50, PrintY, "Reference Stars");
  PrintY += 2 * h;
  job.drawText(x, PrintY,
               "Field Center - RA:" + FormatRA(2, "h ", "m ", CurFldParms.RACenter, "s,   Dec:") +
                   FormatDMS(1, "\xB0 ", "' ", CurFldParms.DecCenter, "\""));
  PrintY += h;
  job.drawText(x, PrintY, "Field Size: " + FormatFixed(1, CurFldParms.FieldSize) + " Arc Minutes");
  PrintY += 2 * h;
  job.drawText(x, PrintY, "Data Source: " + (GSCField ? GSCField->Title : std::string()));
  PrintY += h;
  job.drawText(x, PrintY, ColorSelText());
  PrintY += 2 * h;
  job.drawText(x, PrintY,
               "Magnitude of Brightest Star: " + FormatFixed(1, GSCField ? GSCField->MinMag : 0));
  PrintY += h;
  job.drawText(x, PrintY,
               "Magnitude of Faintest Star:  " + FormatFixed(1, GSCField ? GSCField->MaxMag : 0));
  PrintY += 2 * h;
}

void TGSCForm1::PrintBitmap(PrintJob& job) {
  TImageForm1::PrintBitmap(job);
  const int l = PrintRect[0], t = PrintRect[1], w = PrintRect[2], hp = PrintRect[3];
  job.setFont(PrintFont{"MS Sans Serif", 14, true, true});
  const int nw = job.textWidth("N"), nh = job.textHeight("N");
  job.drawText(l + (w - nw) / 2, t - nh - 10, "N");
  const int ew = job.textWidth("E"), eh = job.textHeight("E");
  job.drawText(l - ew - 10, t + (hp - eh) / 2, "E");
  job.setPenWidth(2);
  job.drawLine(l, t, l + w, t);
  job.drawLine(l + w, t, l + w, t + hp);
  job.drawLine(l + w, t + hp, l, t + hp);
  job.drawLine(l, t + hp, l, t);
  job.setFont(PrintFont{});
}

}  // namespace hv
