// The image window's plate solution: the solve, the "Astrometric Solution"
// report, the RA/Dec read-out under the cursor, the observation parameters
// and the hand-over of the measurement to the observation report.
#include <cmath>

#include "app/Options.h"
#include "astrometry/AstromObs.h"
#include "astrometry/FldParms.h"
#include "astrometry/ObsParms.h"
#include "images/GraphicsFile.h"
#include "images/ImageWindow.h"
#include "support/Format.h"

namespace hv {

namespace {

constexpr const char* kDQ = "\"";

std::string RAText(long double hours) { return FormatRA(2, "h ", "m ", hours, "s "); }
std::string DecText(long double degrees) { return FormatDMS(1, "\xB0 ", "' ", degrees, "\" "); }

std::string FilterText(std::uint8_t color) {
  if (color >= ColorCodeCount) return " (No Filter)";
  return " (" + std::string(ColorBands[color]) + " Filter)";
}

const char* CatalogText(std::uint8_t catalog) {
  switch (catalog) {
    case 0:
      return "STSI Guide Star Catalog";
    case 1:
      return "NOMAD Catalog";
    case 2:
      return "USNO-B1.0";
  }
  return "";
}

const char* BandText(std::uint8_t band) {
  switch (band) {
    case 0:
      return ", Passband: B";
    case 1:
      return ", Passband: V";
    case 2:
      return ", Passband: R";
    case 3:
      return ", Passband: I";
    case 4:
      return ", Passband: J";
    case 5:
      return ", Passband: H";
    case 6:
      return ", Passband: K";
    case 7:
      return ", Passband: None";
    case 8:
      return ", Passband is Undetermined!";
  }
  return "";
}

// Magnitudes with 2 decimals only when their error is known to be small.
int MagDecimals(long double error) { return error > 0 && error < 0.05L ? 2 : 1; }

// "  a = v,  b = v, ..." for one line of constants.
std::string ConstLine(std::initializer_list<std::pair<const char*, long double>> consts) {
  std::string line;
  bool first = true;
  for (const auto& [name, value] : consts) {
    line += (first ? "  " : ",  ") + std::string(name) + " = " + FormatExp(8, value);
    first = false;
  }
  return line;
}

}  // namespace

// ---------------------------------------------------------------- solving

bool TImageForm1::FitPlate(long double raHours, long double decDeg, SolutionCode order) {
  PlateSoln.SetCenter(raHours, decDeg);
  for (const RefStarRec& r : RefList) PlateSoln.AddRefStar(r);
  if (!PlateSoln.Solve(order)) return false;
  for (RefStarRec& r : RefList) PlateSoln.CalcPosition(r);
  PlateSoln.CalcPosition(FieldCenter);
  if (TargetLocated) {
    // The guide measures the target before it asks for the solution; the
    // solution never drives the guide (that nested the guide's steps).
    PlateSoln.CalcPosition(Target);
    PlateSoln.GetStatistics(Target.ResidRA, Target.ResidDec, Target.ResidTotal);
    const AstromObsObj* report = host_.Report();
    const std::uint8_t band = report ? report->Camera.Filter : PassbandUnknown;
    MagSoln.CalcMagnitudes(Target, RefList, band);
  }
  return true;
}

bool TImageForm1::SolvePlate() {
  SolvedRA = CurFldParms.RACenter;
  SolvedDec = CurFldParms.DecCenter;
  if (!FitPlate(SolvedRA, SolvedDec, host_.Settings().SolutionOrder)) return false;
  Menus.SolutionEnabled = true;
  ShowSolution(CaptionPrefix, false);
  if (ReportWin) {
    ReportWin->Printed = false;
    ReportWin->Saved = false;
  }
  Changed();
  return true;
}

void TImageForm1::ResolvePlate() {
  if (!PlateSoln.Solved) return;
  // Mirroring is affine, so the same model fits the mirrored positions as
  // well: the sky positions and residuals come out as before, and only the
  // constants follow the orientation on the screen.
  if (!FitPlate(SolvedRA, SolvedDec, PlateSoln.Model)) {
    PlateSoln.Solved = false;
    Changed();
    return;
  }
  if (ReportWin) {
    // A report on the screen is written again where it is; a hidden one
    // gets its new lines for the next time it is shown or saved.
    if (ReportWin->Visible)
      ShowSolution(CaptionPrefix, ReportOnTop);
    else
      ReportWin->SetLines(SolutionLines());
    ReportWin->Saved = false;
  }
  Changed();
}

// ---------------------------------------------------------------- report

std::vector<std::string> TImageForm1::SolutionLines() const {
  std::vector<std::string> L;
  const OptsRec& opts = host_.Settings();
  L.push_back("Image File Name: " + (ImageFile ? ImageFile->DisplayName : std::string()));
  L.push_back(ObsParms.ObjName.empty() ? "Object: (Unknown)"
                                       : ("Object: " + ObsParms.ObjName).substr(0, 76));
  L.push_back("Observation Date: " + DateUTText(ObsParms.ObsTime));
  L.emplace_back();
  if (TargetLocated) {
    L.push_back("Target Object:");
    L.push_back("   x = " + FormatFixed(4, Target.ImageX) + ",      RA = " + RAText(Target.RA));
    L.push_back("   y = " + FormatFixed(4, Target.ImageY) + ",      Dec = " + DecText(Target.Dec));
    if (Target.Mag != 0) {
      std::string m = "   m = " + FormatFixed(MagDecimals(Target.MagResid), Target.Mag);
      if (opts.StarCatalog != CatalogCode::GSC) m += FilterText(CurFldParms.Color);
      L.push_back(m);
    }
    L.emplace_back();
  }
  const int n = PlateSoln.NumStars, p = PlateSoln.ConstsPerAxis();
  if (n <= p) {
    L.push_back("Estimated errors cannot be calculated!");
    L.push_back("N(=" + std::to_string(n) + ") is minimum for selected solution type.");
  } else {
    long double meanRA = 0, meanDec = 0, sigma = 0;
    PlateSoln.GetStatistics(meanRA, meanDec, sigma);
    const char* model = PlateSoln.Model == SolutionCode::Linear      ? "(Linear Solution):"
                        : PlateSoln.Model == SolutionCode::CrossTerm ? "(Cross-Term Solution):"
                                                                     : "(Full Quadratic Solution):";
    L.push_back(std::string("Mean Residuals ") + model);
    L.push_back("   RA: " + FormatFixed(3, meanRA) + kDQ + ",   Dec: " + FormatFixed(3, meanDec) +
                kDQ);
    L.push_back("Estimated Solution Error (Sigma): " + FormatFixed(3, sigma) + kDQ);
  }
  if (TargetLocated && Target.Mag != 0) {
    L.push_back("Estimated Error in Magnitude (Sigma): " +
                (Target.MagResid == 0
                     ? std::string("Unable to Estimate (N=1).")
                     : FormatFixed(MagDecimals(Target.MagResid), Target.MagResid) + "(3)"));
  }
  if (n > p) {
    L.emplace_back();
    L.push_back("Reference Stars by Position Residual (Descending):");
    RefStarSortList sorted;
    for (const RefStarRec& r : RefList) sorted.InsertSorted(r);
    for (const RefStarRec& r : sorted) {
      L.emplace_back();
      L.push_back("Star " + std::to_string(r.Number) + " - Position Residual (RMS) = " +
                  FormatFixed(3, r.ResidTotal) + kDQ + (r.UsePos ? "" : "(1)"));
      L.push_back(std::string("   Catalog: ") + CatalogText(r.Catalog) + ", ID: " + r.Name);
      L.push_back("   x = " + FormatFixed(4, r.ImageX) + ",      RA = " + RAText(r.RA) + " (" +
                  FormatFixed(3, r.ResidRA) + kDQ + ")");
      L.push_back("   y = " + FormatFixed(4, r.ImageY) + ",      Dec = " + DecText(r.Dec) + " (" +
                  FormatFixed(3, r.ResidDec) + kDQ + ")");
      if (TargetLocated) {
        if (r.UseMag || r.MagResid != 0) {
          L.push_back("   Magnitude Residual = " + FormatFixed(2, r.MagResid) +
                      (r.UseMag ? "" : "(2)") + (r.Catalog != 0 ? BandText(r.Band) : ""));
        } else {
          L.push_back("   Unable to compute magnitude residual.(2)");
        }
      }
    }
  }
  L.emplace_back();
  L.push_back("Field Center:");
  L.push_back("   x = " + FormatFixed(4, FieldCenter.ImageX) +
              ",      RA = " + RAText(FieldCenter.RA));
  L.push_back("   y = " + FormatFixed(4, FieldCenter.ImageY) +
              ",      Dec = " + DecText(FieldCenter.Dec));
  switch (PlateSoln.Model) {
    case SolutionCode::Linear:
      ShowLinearConsts(L);
      break;
    case SolutionCode::CrossTerm:
      ShowCrossTermConsts(L);
      break;
    default:
      ShowQuadraticConsts(L);
      break;
  }

  // Scale and focal length from the linear terms. The column norms hold for
  // a rotated plate as well (for an unrotated one they are |a| and |e|).
  L.emplace_back();
  const auto c = PlateSoln.GetLinearConsts();  // a, b, c, d, e, f
  const long double a = c[0], b = c[1], d = c[3], e = c[4];
  const long double normX = std::sqrt(a * a + d * d), normY = std::sqrt(b * b + e * e);
  const long double W = ImageWidth(), H = ImageHeight();
  CamRec camera;
  if (const AstromObsObj* report = host_.Report()) camera = report->Camera;
  if (camera.PixelWidth != camera.PixelHeight) {
    const long double xs = normX * ArcsecPerRadian, ys = normY * ArcsecPerRadian;
    L.push_back(" x-Scale = " + FormatFixed(4, xs) + " " + kDQ + "/pixel" +
                ",  Field Wd. = " + FormatFixed(2, xs * W / 60) + "'");
    L.push_back(" y-Scale = " + FormatFixed(4, ys) + " " + kDQ + "/pixel" +
                ",  Field Ht. = " + FormatFixed(2, ys * H / 60) + "'");
  } else {
    const long double sc = PlateSoln.ScaleArcsecPerPixel();
    L.push_back("   Scale = " + FormatFixed(4, sc) + " " + kDQ + "/pixel" +
                ",  Field Wd. = " + FormatFixed(2, sc * W / 60) + "'" +
                ",  Ht. = " + FormatFixed(2, sc * H / 60) + "'");
  }
  if (camera.PixelWidth > 0 && camera.PixelHeight > 0 && normX > 0 && normY > 0) {
    const long double F =
        (std::fabs(camera.PixelWidth / (2 * normX)) + std::fabs(camera.PixelHeight / (2 * normY))) *
        0.001L;
    std::string line = "   Effective Focal Length = " + FormatFixed(2, F) + "mm";
    if (camera.Aperture > 0) line += ",  f-Ratio = " + FormatFixed(1, F / camera.Aperture);
    L.push_back(line);
  }
  L.emplace_back();
  L.push_back("Notes:");
  L.emplace_back();
  L.push_back("  (1) Star not used in astrometric solution.");
  L.push_back("  (2) Star not used in magnitude solution.");
  L.push_back("  (3) Magnitudes are unreliable due to errors in reference star");
  L.push_back("      magnitudes and passband differences.");
  return L;
}

void TImageForm1::ShowLinearConsts(std::vector<std::string>& L) const {
  const auto k = PlateSoln.GetLinearConsts();
  L.emplace_back();
  L.push_back("Plate Constants for Linear Solution:");
  L.emplace_back();
  L.push_back("  (X = a*x + b*y + c)");
  L.push_back(ConstLine({{"a", k[0]}, {"b", k[1]}, {"c", k[2]}}));
  L.emplace_back();
  L.push_back("  (Y = d*x + e*y + f)");
  L.push_back(ConstLine({{"d", k[3]}, {"e", k[4]}, {"f", k[5]}}));
}

void TImageForm1::ShowCrossTermConsts(std::vector<std::string>& L) const {
  const auto k = PlateSoln.GetCrossTermConsts();
  L.emplace_back();
  L.push_back("Plate Constants for Cross-Term Solution:");
  L.emplace_back();
  L.push_back("  (X = a*x + b*y + c*x*y + d)");
  L.push_back(ConstLine({{"a", k[0]}, {"b", k[1]}}));
  L.push_back(ConstLine({{"c", k[2]}, {"d", k[3]}}));
  L.emplace_back();
  L.push_back("  (Y = e*x + f*y + g*x*y + h)");
  L.push_back(ConstLine({{"e", k[4]}, {"f", k[5]}}));
  L.push_back(ConstLine({{"g", k[6]}, {"h", k[7]}}));
}

void TImageForm1::ShowQuadraticConsts(std::vector<std::string>& L) const {
  const auto k = PlateSoln.GetQuadraticConsts();
  L.emplace_back();
  L.push_back("Plate Constants for Quadratic Solution:");
  L.emplace_back();
  L.push_back("  (X = a*x + b*y + c*x*y + d*x*x + e*y*y + f)");
  L.push_back(ConstLine({{"a", k[0]}, {"b", k[1]}, {"c", k[2]}}));
  L.push_back(ConstLine({{"d", k[3]}, {"e", k[4]}, {"f", k[5]}}));
  L.emplace_back();
  L.push_back("  (Y = g*x + h*y + i*x*y + j*x*x + k*y*y + l)");
  L.push_back(ConstLine({{"g", k[6]}, {"h", k[7]}, {"i", k[8]}}));
  L.push_back(ConstLine({{"j", k[9]}, {"k", k[10]}, {"l", k[11]}}));
}

void TImageForm1::ShowSolution(const std::string& title, bool stayOnTop) {
  if (!ReportWin) return;
  ReportOnTop = stayOnTop;
  ReportWin->Caption = title + "Astrometric Solution";
  ReportWin->SetLines(SolutionLines());
  ReportWin->Printed = false;
  host_.ShowSolutionReport(*ReportWin, stayOnTop, host_.ReferenceFieldVisible());
}

// ---------------------------------------------------------------- cursor

void TImageForm1::ShowCursorCoords(int x, int y) {
  if (!PlateSoln.Solved) return;
  InfoMask = false;
  RefStarRec probe;
  probe.Status = RefStatus::Neither;
  probe.UsePos = probe.UseMag = false;
  probe.ImageX = SizeDlg.ScreenToImage(x);
  probe.ImageY = SizeDlg.ScreenToImage(y);
  PlateSoln.CalcPosition(probe);
  CursorRAText = "RA: " + FormatRA(1, "h ", "m ", probe.RA, "s ");
  CursorDecText = "Dec: " + FormatDMS(0, "\xB0 ", "' ", probe.Dec, "\" ");
  CursorCoordsShown = true;
  // The band of the two lines at the bottom, repainted at once.
  if (view_) {
    TImageForm1* w = host_.ImageWindow(ImageNo);
    if (!w) w = this;
    if (w->view_)
      w->view_->RepaintNow(
          IntRect{0, ClientHeight - 2 * CoordsTextHeight, ClientWidth, ClientHeight});
  }
  InfoMask = true;
}

// ---------------------------------------------------------------- menus

void TImageForm1::ObsParms1Click() {
  ObsParmsRec* current = host_.EditableCurrentObs();
  if (!current) return;
  current->ObsTime = ObsParms.ObsTime;
  ObsParmsDlgModel dlg(platform_);
  dlg.ParmsRec = current;
  dlg.CaptionText = ImageFile ? ImageFile->DisplayName : std::string();
  if (platform_.showDialog(dlg) == ModalResult::OK) ObsParms = *current;
}

bool TImageForm1::ReportList1Click() {
  // Only a solved plate with a measured target has a position to record.
  if (!ReportListAvailable()) return false;
  AstromObsObj* report = host_.Report();
  if (!report) return false;
  // The window's own time: the current record may since have been set for
  // another image.
  const double ownTime = ObsParms.ObsTime;
  if (const ObsParmsRec* current = host_.CurrentObs()) ObsParms = *current;
  ObsParms.ObsTime = ownTime;
  platform_.beep(Sound::Default);
  report->AddObservation(Target, ObsParms);
  if (!host_.Settings().NoConfirm) {
    const std::string text =
        ("Measured Position of " + ObsParms.ObjName).substr(0, 89) + " Placed in Report List.";
    ShowInfo(platform_, "Measurement Recorded", text.substr(0, 112));
  }
  Menus.ReportListEnabled = false;
  Changed();
  return true;
}

}  // namespace hv
