#pragma once
// The image window without a widget: the state of one image slot's window
// (display bitmap and range, zoom, cursor mark, measurement records) and the
// rules of its mouse, menu, paint and print handlers. The Qt form
// TImageForm1Widget shows it and forwards its events; the blink and
// reference-field windows derive from this class and replace the virtual
// operations they need.
//
// Coordinates: display (client) pixels; image pixels (column and row of the
// pixel table); display-oriented image units (display pixels / scale), in
// which RefStarRec.ImageX and ImageY are held. A flipped axis maps such a
// value u to the image column W - u.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/InfoList.h"
#include "astrometry/AstromMag.h"
#include "astrometry/LstSqr.h"
#include "astrometry/ObsParms.h"
#include "astrometry/PlateSoln.h"
#include "astrometry/RefStar.h"
#include "images/Display.h"
#include "images/DisplayParms.h"
#include "images/ImgSizeDlg.h"
#include "images/MagnifyDlg.h"
#include "platform/Platform.h"

namespace hv {

class AstromObsObj;
class GraphicsFileObj;
class HistogramObj;
struct OptsRec;

// Colours as the program names them, in 0xRRGGBB. The original values are
// Windows $00BBGGRR colours; RgbFromBgr converts them.
constexpr std::uint32_t RgbFromBgr(std::uint32_t bgr) {
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
namespace MarkColour {
constexpr std::uint32_t Yellow = RgbFromBgr(0x00FFFF);
constexpr std::uint32_t Fuchsia = RgbFromBgr(0xFF00FF);
constexpr std::uint32_t Lime = RgbFromBgr(0x00FF00);
constexpr std::uint32_t Aqua = RgbFromBgr(0xFFFF00);
constexpr std::uint32_t Red = RgbFromBgr(0x0000FF);
constexpr std::uint32_t Blue = RgbFromBgr(0xFF0000);
constexpr std::uint32_t Black = 0x000000;
}  // namespace MarkColour

enum class CursorShape { Arrow, CrossHair, SizeNWSE, Drag, Hourglass };
enum class MouseButton { Left, Right, Middle };

// Where the window paints: the Qt form implements it with a painter, tests
// record what is drawn.
class ImageCanvas {
 public:
  virtual ~ImageCanvas() = default;
  // Stretches the source rectangle of the bitmap (bitmap pixels) onto the
  // destination (client pixels); invert paints the negative.
  virtual void DrawBitmap(const DisplayBitmap& bitmap, const IntRect& source, const IntRect& dest,
                          bool invert) = 0;
  // Outline of the rectangle (transparent brush), solid or dotted pen.
  virtual void Frame(const IntRect& r, std::uint32_t rgb, bool dotted) = 0;
  virtual void Line(int x1, int y1, int x2, int y2, std::uint32_t rgb) = 0;
  // Text with its top-left corner at (x, y), transparent background.
  virtual void Text(int x, int y, std::string_view text, std::uint32_t rgb) = 0;
  virtual int TextHeight(std::string_view text) = 0;
};

// What the window asks of its form.
class ImageWindowView {
 public:
  virtual ~ImageWindowView() = default;
  virtual void Repaint() = 0;                     // the whole client area, soon
  virtual void RepaintNow(const IntRect& r) = 0;  // this part, before returning
  virtual void StateChanged() = 0;                // caption, menus, cursor, client size, visibility
  virtual void PopupMenu(int clientX, int clientY) = 0;
  // The client area as painted (marks included), for printing; false when
  // the form cannot give it.
  virtual bool ClientImage(IndexedImage& out) { return false; }
};

// What the window needs from the session that owns it.
class ImageWindowHost {
 public:
  virtual ~ImageWindowHost() = default;
  virtual const OptsRec& Settings() const = 0;
  // Saves the settings at once after a change of the working copy.
  virtual OptsRec& MutableSettings() = 0;
  virtual void OptionsChanged() = 0;
  virtual GraphicsFileObj* ImageFile(int slot) = 0;
  // The main window's current observation parameters (null: none yet).
  virtual const ObsParmsRec* CurrentObs() const { return nullptr; }
  virtual TImageForm1* ImageWindow(int slot) { return nullptr; }
  virtual void SlotBusy(int slot, bool busy) {}
  virtual bool& ZoomHintDue() = 0;
  virtual hv::PrintHeader ImagePrintHeader() const { return {}; }
  virtual int ScreenWidth() const { return 1024; }
  virtual void RepaintMainWindow() {}
  virtual void DisableBlink() {}
  virtual void RepaintBlink() {}
  // The blink window's one-time region hint (null: never given).
  virtual bool* BlinkHintDue() { return nullptr; }
  // The blink window closed: the main window's clear and load commands
  // come back.
  virtual void BlinkWindowClosed() {}
  virtual void RepaintReferenceField() {}
  // The measurement guide: its step and the 1-based number of the
  // reference to locate; ShowGuide brings it back after a click.
  virtual int GuideStep() const { return 0; }
  virtual int GuideRefNum() const { return 0; }
  virtual void ShowGuide() {}
  // Drops the entry at position p of the reference-field window's list.
  virtual void RemoveFieldReference(int p) {}
  // The field centre for the print's approximate coordinates (hours,
  // degrees); nullopt when neither the field parameters nor the header
  // give one.
  virtual std::optional<std::pair<long double, long double>> ApproximateCentre(int slot) const {
    return std::nullopt;
  }
  // The host of the solution report's list window (null: no such window).
  virtual ListHost* ReportListHost() { return nullptr; }
  // The main window's report (null: none yet).
  virtual AstromObsObj* Report() { return nullptr; }
  // The main window's current observation parameters, for the dialog to
  // edit (null: none).
  virtual ObsParmsRec* EditableCurrentObs() { return nullptr; }
  // Shows the solution report's list window, on top of the others or not,
  // at (20, 20) when besideField, else centred on the screen.
  virtual void ShowSolutionReport(InfoListModel& list, bool stayOnTop, bool besideField) {}
  // The reference-field window exists and is visible.
  virtual bool ReferenceFieldVisible() const { return false; }
  // The box dialog took the window's located target away.
  virtual void TargetCleared(TImageForm1& window) {}
};

// The window's menu items the form mirrors.
struct ImageMenuState {
  bool ZoomEnabled = true;     // "&Zoom Image..."
  bool UnZoomEnabled = false;  // "C&Lear Zoom"
  bool ZoomItemsVisible = true;
  bool SolutionEnabled = false;  // "&Solution Results..."
  // "&Add to Report List...", as the guide left it; the item also needs a
  // solved plate and a measured target (ReportListAvailable).
  bool ReportListEnabled = false;
};

class TImageForm1 {
 public:
  TImageForm1(Platform& platform, ImageWindowHost& host);
  virtual ~TImageForm1();
  TImageForm1(const TImageForm1&) = delete;
  TImageForm1& operator=(const TImageForm1&) = delete;

  void SetView(ImageWindowView* view) { view_ = view; }
  Platform& platform() { return platform_; }
  ImageWindowView* View() const { return view_; }

  // ---- fields ----
  std::uint8_t ImageNo = 0;
  long double DisplayLow = 0, DisplaySpan = 0;
  bool TargetFlipLR = false, TargetFlipUD = false;
  std::string CaptionPrefix;
  std::string Caption;
  bool LeftDown = false, RightDown = false;
  LstSqrObj LstSqr;
  int PrintLineHeight = 0, PrintY = 0, PrintLeft = 0;
  std::array<int, 4> PrintRect{};  // left, top, width, height
  MouseButton LastButton = MouseButton::Left;
  IntRect SavedZoomRect;
  int SavedClientHeight = 0;
  bool ImageLoaded = false;
  bool CloseAllowed = true;
  bool MarkValid = false;
  bool MeasureMode = false;
  bool RefMarked = false;
  GraphicsFileObj* ImageFile = nullptr;  // not owned
  int MarkX = -40, MarkY = -40;
  DisplayBitmap Bitmap;  // the rendered display, owned
  bool HasBitmap = false;
  long double AlignDX = 0, AlignDY = 0;
  std::array<long double, 406> RefFitData{};
  bool RefsLocated = false;
  TImgSizeDlg SizeDlg;
  ObsParmsRec ObsParms;
  RefStarRec Target;
  RefStarRec FieldCenter;
  RefStarRec SkyBox;
  bool TargetLocated = false, SkyLocated = false;
  // The target's flux was measured (a flux of 0 is a real value).
  bool TargetMeasured = false;
  // The measuring box the references were last centroided and measured
  // with, and the one the sky box was read with: a magnitude takes every
  // flux from one box.
  BoxParmsRec RefsBox, SkyBoxBox;
  RefStarList RefList;
  bool InfoMask = true;
  bool ZoomMode = false, Zoomed = false;
  IntRect ZoomRect;
  std::uint32_t CursorColor = MarkColour::Yellow;
  std::uint32_t PickColor = MarkColour::Fuchsia;
  std::uint32_t MarkColor0 = MarkColour::Lime;
  std::uint32_t MarkColor1 = MarkColour::Aqua;
  std::uint32_t MarkColor2 = MarkColour::Red;
  std::unique_ptr<DispParmsRec> DispParms;  // owned
  PlateSolnObj PlateSoln;
  AstromMagObj MagSoln;
  std::unique_ptr<InfoListModel> ReportWin;  // the solution report, owned

  // The client area and the window's visible state, mirrored by the form.
  int ClientWidth = 512, ClientHeight = 512;
  bool Visible = false;
  bool Minimized = false, Maximized = false;
  bool Enabled = true;
  CursorShape Cursor = CursorShape::Arrow;
  ImageMenuState Menus;
  // The cursor cross of the last plain click, painted from here.
  bool CrossShown = false;
  int CrossX = 0, CrossY = 0;
  // The reference just marked, drawn in the cursor colour until the guide
  // moves on (-1: none).
  int MarkedRef = -1;

  // ---- rendering ----
  void AttachImage(int n);
  void RenderImage(bool newRecord);
  void InitDisplaySize();
  std::uint8_t PixelToIndex(long double v) const;
  void RefreshPalette();
  // A copy of the display defaults with the range source for the file type.
  DispParmsRec NewDispParms() const;

  // ---- window ----
  virtual void FormShow();
  bool FormCloseQuery();
  virtual void FormClose();
  void Close1Click();
  virtual void FormPaint(ImageCanvas& canvas);
  virtual void DrawMark(ImageCanvas& canvas, std::string_view label, std::uint32_t colour,
                        long double x, long double y, bool dotted, bool info);
  void DrawCross(int x, int y);
  // The RA/Dec read-out of a solved plate at client (x, y).
  virtual void ShowCursorCoords(int x, int y);
  virtual void RecordCrsr(int x, int y);
  virtual void ClearMark();
  virtual void FormMouseDown(MouseButton button, int x, int y);
  virtual void FormMouseMove(int x, int y);
  virtual void FormMouseUp(MouseButton button, int x, int y);
  void FormDblClick();
  void ZoomImage1Click();
  void UnZoomImage1Click();
  void ShowZoomMenus(bool visible);
  void AdjustImage1Click();
  void ResizeWindow1Click();
  void Header1Click();
  void Image1Click();
  void BoxParameters1Click();
  // The window whose located target a new box clears (null: none).
  virtual TImageForm1* BoxTargetWindow();
  void SetClientSize(int w, int h);
  // The zoom factor text of the last paint ("" before the first).
  std::string FactorText;

  // ---- printing ----
  void PrintImage1Click();
  // Prints to a PDF file without a dialog when pdfFile is given.
  virtual bool PrintDocument(const std::filesystem::path& pdfFile = {});
  virtual void PrintHeader(PrintJob& job);
  virtual void PrintInfo(PrintJob& job);
  virtual void PrintBitmap(PrintJob& job);
  std::string PrintJobTitle() const;

  // ---- measuring ----
  bool FindCentroid(int x, int y, const TImgSizeDlg& sizeDlg, long double& cx, long double& cy);
  // Mean of the sky ring at image pixel (x, y), its SD in sd; nullopt when
  // the ring holds fewer than two pixels.
  std::optional<long double> SkyStats(int x, int y, long double& sd) const;
  // Flux at display-scaled image-oriented (X, Y); nullopt when the sky
  // cannot be taken (no ring pixel).
  std::optional<long double> BoxFlux(int x, int y, const TImgSizeDlg& sizeDlg,
                                     bool subtractSky) const;
  // BoxFlux at a position in display-oriented image units (the records'
  // ImageX and ImageY), the flips removed.
  std::optional<long double> FluxAt(long double ix, long double iy, bool subtractSky) const;
  void MarkRefStar(int x, int y);
  void CentroidRefStars();
  // The references were measured with another box than the one in force:
  // they are to be centroided and measured again before the next solve.
  bool RefsNeedMeasuring() const;
  void ResetTarget();
  bool MeasureTarget(bool useSkyBox);
  void TargetClick(int x, int y);
  void SkyClick(int x, int y);
  // ---- plate solution and its report ----
  // Fits the plate to the references about the field centre of the field
  // parameters; on success every reference, the field centre and a located
  // target get positions and residuals, the target its magnitude, and the
  // report is shown. False, with nothing else changed, when the fit fails.
  bool SolvePlate();
  // Fits the plate again to the references as they stand now (after a
  // flip mirrored them), with the references, order and tangent point of
  // the solution; the report is written again (and shown again where it is
  // on the screen). An unsolved plate is left alone.
  void ResolvePlate();
  // Writes the report into ReportWin and shows it.
  void ShowSolution(const std::string& title, bool stayOnTop);
  // The report's lines from the window's current records.
  std::vector<std::string> SolutionLines() const;
  void ShowLinearConsts(std::vector<std::string>& lines) const;
  void ShowCrossTermConsts(std::vector<std::string>& lines) const;
  void ShowQuadraticConsts(std::vector<std::string>& lines) const;
  // Shown only while the plate is solved: once a go-back has discarded
  // the solution, its constants no longer belong with the window's lists.
  void ViewPrint1Click() {
    if (SolutionAvailable()) ShowSolution(CaptionPrefix, true);
  }
  void ObsParms1Click();
  // True when the measurement went into the report.
  bool ReportList1Click();
  // "&Solution Results..." can be used now: a solution was made and still
  // stands (a go-back that discards it disables the item until the next).
  bool SolutionAvailable() const { return Menus.SolutionEnabled && PlateSoln.Solved; }
  // "&Add to Report List..." can be used now.
  bool ReportListAvailable() const {
    return Menus.ReportListEnabled && PlateSoln.Solved && TargetLocated && TargetMeasured;
  }
  // The cursor read-out as last written (shown while the plate is solved).
  bool CursorCoordsShown = false;
  std::string CursorRAText, CursorDecText;
  int CoordsTextHeight = 13;  // of the read-out's font, from the last paint
  // The list window's style as the last report set it.
  bool ReportOnTop = false;

  // Mirrors every measured position (references, fit data, target, sky
  // box) from one orientation to the other after a flip change.
  void MirrorMeasurements(bool flipX, bool flipY);

  bool FlipX() const { return DispParms && DispParms->FlipX; }
  bool FlipY() const { return DispParms && DispParms->FlipY; }
  bool Inverted() const { return DispParms && DispParms->Invert; }
  int ImageWidth() const;
  int ImageHeight() const;

  // Asks the form to show the state again, or to repaint.
  void Changed() {
    if (view_) view_->StateChanged();
  }
  void Repaint() {
    if (view_) view_->Repaint();
  }

 protected:
  // The magnifier, when this window is the one it shows.
  void ShowMagnifier(const std::string& title, long double x, long double y);
  const HistogramObj* Histogram() const;
  const IntArrayList* Pixels() const;
  // Detection threshold at image pixel (x, y); nullopt: no sky ring.
  std::optional<long double> Threshold(int x, int y) const;
  void MeasureFailed();
  // The fit of SolvePlate without its menus and report.
  bool FitPlate(long double raHours, long double decDeg, SolutionCode order);
  // The tangent point of the last solution (hours, degrees).
  long double SolvedRA = 0, SolvedDec = 0;

  Platform& platform_;
  ImageWindowHost& host_;
  ImageWindowView* view_ = nullptr;
};

}  // namespace hv
