// The image window's measuring operations: centroid, sky ring, box flux,
// marking and re-centroiding references with the prediction of the others,
// and the target and sky box.
#include "images/Centroid.h"

#include "app/Options.h"
#include "images/BoxParmsDlg.h"
#include "images/GraphicsFile.h"
#include "images/ImageWindow.h"
#include "support/Histogram.h"
#include "support/IntArrayList.h"

namespace hv {

namespace {
constexpr const char* kMeasureCaption = "Measurement Failed!";
constexpr const char* kNoSkyText =
    "Too few sky pixels around the box to measure here.\n\n"
    "Choose a point inside the image or a smaller box.";
}  // namespace

void TImageForm1::MeasureFailed() { ShowWarning(platform_, kMeasureCaption, kNoSkyText); }

std::optional<long double> TImageForm1::Threshold(int x, int y) const {
  if (host_.Settings().ReadSky) {
    long double sd = 0;
    const std::optional<long double> mean = SkyStats(x, y, sd);
    if (!mean) return std::nullopt;
    return *mean + 3 * sd;
  }
  const HistogramObj* hist = Histogram();
  return (hist ? hist->StdDev() : 0.0L) + DisplayLow;
}

std::optional<long double> TImageForm1::SkyStats(int x, int y, long double& sd) const {
  sd = 0;
  const IntArrayList* px = Pixels();
  if (!px) return std::nullopt;
  const SkyRing ring =
      RingStats(*px, ImageWidth(), ImageHeight(), x, y, BoxParms.HalfBox, BoxParms.SkyBorder);
  if (!ring.ok) return std::nullopt;
  sd = ring.sd;
  return ring.mean;
}

bool TImageForm1::FindCentroid(int X, int Y, const TImgSizeDlg& sizeDlg, long double& CX,
                               long double& CY) {
  CX = X;
  CY = Y;
  const IntArrayList* px = Pixels();
  if (!px) return false;
  const int W = ImageWidth(), H = ImageHeight();
  int x0 = RoundToInt32(sizeDlg.ScreenToImage(X)), y0 = RoundToInt32(sizeDlg.ScreenToImage(Y));
  if (FlipX()) x0 = W - x0;
  if (FlipY()) y0 = H - y0;
  // The half box is given in display pixels.
  const int hb = RoundToInt32(sizeDlg.ScreenToImage(BoxParms.HalfBox));
  const std::optional<long double> t = Threshold(x0, y0);
  if (!t) {
    MeasureFailed();
    return false;
  }
  const CentroidFit fit = CentroidAt(*px, W, H, x0, y0, hb, BoxParms.Radius, *t);
  if (!fit.ok) return false;
  CX = sizeDlg.ImageToScreen(MirrorAxis(fit.cx, W, FlipX()));
  CY = sizeDlg.ImageToScreen(MirrorAxis(fit.cy, H, FlipY()));
  return true;
}

std::optional<long double> TImageForm1::BoxFlux(int X, int Y, const TImgSizeDlg& sizeDlg,
                                                bool subtractSky) const {
  const IntArrayList* px = Pixels();
  if (!px) return std::nullopt;
  const int x = RoundToInt32(sizeDlg.ScreenToImage(X)), y = RoundToInt32(sizeDlg.ScreenToImage(Y));
  const BoxSum b = BoxFluxAt(*px, ImageWidth(), ImageHeight(), x, y, BoxParms.HalfBox,
                             BoxParms.SkyBorder, subtractSky);
  if (!b.ok) return std::nullopt;
  return b.flux;
}

std::optional<long double> TImageForm1::FluxAt(long double ix, long double iy,
                                               bool subtractSky) const {
  return BoxFlux(RoundToInt32(SizeDlg.ImageToScreen(MirrorAxis(ix, ImageWidth(), FlipX()))),
                 RoundToInt32(SizeDlg.ImageToScreen(MirrorAxis(iy, ImageHeight(), FlipY()))),
                 SizeDlg, subtractSky);
}

bool TImageForm1::RefsNeedMeasuring() const { return RefsLocated && RefsBox != BoxParms; }

void TImageForm1::MarkRefStar(int X, int Y) {
  const int n = host_.GuideRefNum();
  if (n < 1 || n > 100) return;
  RefStarRec* r = RefList.Item(n - 1);
  if (!r) return;
  long double cx, cy;
  if (!FindCentroid(X, Y, SizeDlg, cx, cy)) return;
  r->Located = true;
  RefMarked = true;
  r->ImageX = SizeDlg.ScreenToImage(cx);
  r->ImageY = SizeDlg.ScreenToImage(cy);
  MarkColor0 = Inverted() ? MarkColour::Blue : MarkColour::Lime;
  RefFitData[n - 1] = r->FieldX;
  RefFitData[n + 99] = r->FieldY;
  RefFitData[n + 199] = r->ImageX;
  RefFitData[n + 299] = r->ImageY;
  MarkedRef = n - 1;

  if (n >= 3) {
    // The linear prediction of the references not yet located, through the
    // marked ones; collinear stars leave the old predictions alone.
    long double c[6];
    bool solved = true;
    for (int axis = 0; axis < 2 && solved; ++axis) {
      LstSqr.SetSize(n, 3);
      for (int i = 1; i <= n; ++i) {
        LstSqr.At(i, 1) = RefFitData[i - 1];
        LstSqr.At(i, 2) = RefFitData[i + 99];
        LstSqr.At(i, 3) = 1;
        LstSqr.At(i, 4) = RefFitData[(axis == 0 ? 199 : 299) + i];
      }
      solved = LstSqr.Solve();
      for (int k = 0; k < 3; ++k) c[3 * axis + k] = LstSqr.X[k + 1];
    }
    if (solved) {
      for (int k = 0; k < 6; ++k) RefFitData[400 + k] = c[k];
      int i = 0;
      for (RefStarRec& e : RefList) {
        if (i++ < n) continue;
        e.ImageX = c[0] * e.FieldX + c[1] * e.FieldY + c[2];
        e.ImageY = c[3] * e.FieldX + c[4] * e.FieldY + c[5];
      }
    }
  }
  Repaint();
}

void TImageForm1::CentroidRefStars() {
  ClearMark();
  int p = 0;
  while (RefStarRec* r = RefList.Item(p)) {
    long double cx, cy;
    std::optional<long double> flux;
    const bool found =
        FindCentroid(RoundToInt32(SizeDlg.ImageToScreen(r->ImageX)),
                     RoundToInt32(SizeDlg.ImageToScreen(r->ImageY)), SizeDlg, cx, cy);
    if (found) {
      const long double ix = SizeDlg.ScreenToImage(cx), iy = SizeDlg.ScreenToImage(cy);
      flux = FluxAt(ix, iy, true);
      if (flux) {
        r->ImageX = ix;
        r->ImageY = iy;
        r->Flux = *flux;
        r->Located = true;
        ++p;
        continue;
      }
    }
    MessageRequest q;
    q.caption = "Invalid Reference Star";
    q.text = "Unable to Determine Centroid for Reference Star #" + std::to_string(r->Number) +
             "!\n\nRemove Reference?";
    q.icon = MsgIcon::Warning;
    q.buttons = Buttons::YesNo;
    q.sound = Sound::Exclamation;
    if (platform_.message(q) != ModalResult::Yes) {
      RefsLocated = false;
      Repaint();
      return;
    }
    RefList.Item(p);
    RefList.DeleteCurrent();
    host_.RemoveFieldReference(p);
    host_.RepaintReferenceField();
  }
  RefsLocated = true;
  RefsBox = BoxParms;
  Repaint();
}

void TImageForm1::ResetTarget() {
  Target.Status = RefStatus::Target;
  Target.Number = ImageNo;
  Target.Name.clear();
  Target.FieldX = Target.FieldY = Target.ImageX = Target.ImageY = 0;
  Target.CatRA = Target.CatDec = Target.RA = Target.Dec = 0;
  Target.ResidRA = Target.ResidDec = Target.ResidTotal = 0;
  Target.Flux = Target.Mag = 0;
  Target.Band = PassbandUnknown;
  Target.Located = false;
  TargetMeasured = false;
  TargetFlipLR = FlipX();
  TargetFlipUD = FlipY();
  PlateSoln.Solved = false;
  SkyLocated = false;
  SkyBox.ImageX = SkyBox.ImageY = SkyBox.Flux = 0;
  SkyBox.Located = false;
}

void TImageForm1::TargetClick(int X, int Y) {
  long double cx, cy;
  if (!FindCentroid(X, Y, SizeDlg, cx, cy)) return;
  Target.ImageX = SizeDlg.ScreenToImage(cx);
  Target.ImageY = SizeDlg.ScreenToImage(cy);
  TargetFlipLR = FlipX();
  TargetFlipUD = FlipY();
  TargetLocated = true;
  Target.Located = true;
  TargetMeasured = false;
  Repaint();
  host_.ShowGuide();
}

void TImageForm1::SkyClick(int X, int Y) {
  const long double ix = SizeDlg.ScreenToImage(X), iy = SizeDlg.ScreenToImage(Y);
  const std::optional<long double> raw = FluxAt(ix, iy, false);
  if (!raw) {
    MeasureFailed();
    return;
  }
  SkyBox.ImageX = ix;
  SkyBox.ImageY = iy;
  SkyBox.Flux = *raw;
  SkyBox.Located = true;
  SkyLocated = true;
  SkyBoxBox = BoxParms;
  Repaint();
  host_.ShowGuide();
}

bool TImageForm1::MeasureTarget(bool useSkyBox) {
  std::optional<long double> flux;
  if (useSkyBox && SkyLocated) {
    // A sky area read with another box is read again where it lies: its sum
    // is taken from the target's box sum, so both come from one box.
    if (SkyBoxBox != BoxParms) {
      if (const std::optional<long double> sky = FluxAt(SkyBox.ImageX, SkyBox.ImageY, false)) {
        SkyBox.Flux = *sky;
        SkyBoxBox = BoxParms;
      }
    }
    if (SkyBoxBox == BoxParms) flux = FluxAt(Target.ImageX, Target.ImageY, false);
    if (flux) *flux -= SkyBox.Flux;
  } else {
    flux = FluxAt(Target.ImageX, Target.ImageY, true);
  }
  if (!flux) {
    TargetMeasured = false;
    MeasureFailed();
    return false;
  }
  Target.Flux = *flux;
  TargetMeasured = true;
  return Target.Flux >= 0;
}

void TImageForm1::MirrorMeasurements(bool mirrorX, bool mirrorY) {
  const long double W = ImageWidth(), H = ImageHeight();
  for (RefStarRec& r : RefList) {
    if (mirrorX) r.ImageX = W - r.ImageX;
    if (mirrorY) r.ImageY = H - r.ImageY;
  }
  const int count = std::min(RefList.Count(), 100);
  for (int i = 0; i < count; ++i) {
    if (mirrorX) RefFitData[200 + i] = W - RefFitData[200 + i];
    if (mirrorY) RefFitData[300 + i] = H - RefFitData[300 + i];
  }
  // The prediction x = c1 FX + c2 FY + c3 mirrored is -c1 FX - c2 FY + (W - c3).
  if (mirrorX) {
    RefFitData[400] = -RefFitData[400];
    RefFitData[401] = -RefFitData[401];
    RefFitData[402] = W - RefFitData[402];
  }
  if (mirrorY) {
    RefFitData[403] = -RefFitData[403];
    RefFitData[404] = -RefFitData[404];
    RefFitData[405] = H - RefFitData[405];
  }
  if (TargetLocated) {
    if (mirrorX) Target.ImageX = W - Target.ImageX;
    if (mirrorY) Target.ImageY = H - Target.ImageY;
  }
  if (SkyLocated) {
    if (mirrorX) SkyBox.ImageX = W - SkyBox.ImageX;
    if (mirrorY) SkyBox.ImageY = H - SkyBox.ImageY;
  }
  TargetFlipLR = FlipX();
  TargetFlipUD = FlipY();
}

}  // namespace hv
