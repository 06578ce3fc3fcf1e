#pragma once
// The reference-field window (TGSCForm1, "Catalog Stars") without its
// widgets: the catalog stars of the current field drawn as a synthetic star
// picture, picking references on it, and the finder chart. It is an image
// window whose picture is its own; the Qt form TGSCForm1Widget shows it.
//
// The picture is an 8-bit indexed bitmap: index v is grey v, except index
// 1 (a grey too faint for any stamp to draw) which holds the aqua of the
// chart's crosses. Inverting the picture inverts its colour table, which
// shows exactly what inverting every pixel would.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "astrometry/FldParms.h"
#include "astrometry/GSCField.h"
#include "astrometry/RefFieldDlgs.h"
#include "astrometry/RefStar.h"
#include "images/ImageWindow.h"

namespace hv {

class AstromObsObj;

// ---- star stamps -----------------------------------------------------------

constexpr int StarKernelSize = 21;
using StarKernelTable = std::array<std::array<std::int32_t, StarKernelSize>, StarKernelSize>;
// K(i, j) = round(10000 exp(-(a^2 + b^2) / 2)), a = (i - 11) / 1.7,
// b = (j - 11) / 1.7 for i, j = 1..21 (held 0-based): a Gaussian of sigma
// 1.7 pixels with its peak 10000 at [10][10]. Built once, at program start.
extern const StarKernelTable StarKernel;
StarKernelTable BuildStarKernel();

struct StampRec {
  std::array<std::array<std::uint8_t, StarKernelSize>, StarKernelSize> Grey{};  // [i][j]
  std::uint8_t Half = 11;
};
constexpr int StampLevels = 11;
struct StampSetRec {
  std::array<StampRec, StampLevels> Stamps;
  std::int32_t ZeroPoint = 0;
  bool Truncate = false;
};
// Level L holds min(round(0.6^L K), 255): level 0 is the brightest.
StampSetRec BuildStamps(std::int32_t zeroPoint);
// round(mag) - zero point (truncated when the set says so), within 0..10.
std::int32_t StampLevel(const StampSetRec& set, long double mag);

// The palette index of the chart's crosses (a grey no stamp draws).
constexpr std::uint8_t CrossIndex = 1;
// The picture's colour table: greys, with the cross colour at CrossIndex.
std::array<std::uint32_t, 256> FieldPalette(bool inverted);

// Draws the stamp centred at (x, y): a grey below 30 is left out; a pixel
// takes the stamp's grey when its red component is below it (so overlapping
// stars combine by their maximum). Pixels outside the bitmap are skipped.
void DrawStamp(DisplayBitmap& bmp, const StampRec& stamp, int x, int y);
// A circle in the box (x - 6, y - 6) .. (x + 6, y + 6), white outline,
// filled black.
void DrawObjectCircle(DisplayBitmap& bmp, int x, int y);
// A one-pixel line of palette index v from (x1, y1) up to, not including,
// (x2, y2), as a pen draws it.
void DrawBitmapLine(DisplayBitmap& bmp, int x1, int y1, int x2, int y2, std::uint8_t v);

// ---- projection ------------------------------------------------------------

struct FieldProjRec {
  long double RA0 = 0;     // hours
  long double XScale = 0;  // field pixels per hour of RA at the equator
  long double Dec0 = 0;    // degrees
  long double YScale = 0;  // field pixels per degree
  long double X0 = 0, Y0 = 0;
};
// The field of fieldSize x fieldSize arc minutes over the w x h frame. A
// field size of 0 or below (which the field dialog refuses) gives scales of
// 0, so every star lands on the centre instead of dividing by zero.
FieldProjRec InitProjection(int w, int h, long double raCenter, long double decCenter,
                            long double fieldSize);
// East (larger RA) to the left; the RA difference is taken within -12..12 h
// and shrunk by the cosine of the star's own declination.
long double ProjectX(const FieldProjRec& p, long double ra, long double dec);
long double ProjectY(const FieldProjRec& p, long double dec);

// ---- the window ------------------------------------------------------------

// What the window needs beyond the image window's host.
class RefFieldHost {
 public:
  virtual ~RefFieldHost() = default;
  // The image window being measured (null: none).
  virtual TImageForm1* MeasuredWindow() { return nullptr; }
  // The field-parameter dialog and the catalog query (observation time in
  // days since 1899-12-30).
  virtual bool LoadReferenceField(double obsTime) { return false; }
  // The measurement guide closed, restarted at its selection and shown.
  virtual void RestartGuide() {}
  // The guide restarted at its selection (a new solution order).
  virtual void BeginGuideSelection() {}
  virtual AstromObsObj* Report() { return nullptr; }
  virtual int ScreenHeight() const { return 768; }
  virtual void ShowList(InfoListModel& list) {}
  virtual ListHost* ListWindowHost() { return nullptr; }
};

// The window's own menu items (main menu and popup) that the form mirrors.
struct RefMenuState {
  bool MainRefStarsEnabled = true;   // main "Reference &Stars" submenu
  bool PopupRefStarsEnabled = true;  // popup "Reference &Stars" submenu
  bool PopupAddRemoveEnabled = true;
  bool MainRegionEnabled = true, PopupRegionEnabled = true;  // "&Region Parameters..."
  std::uint8_t SolutionOrder = 0;  // the checked "&Astrometric Solution" item
};

class TGSCForm1 : public TImageForm1 {
 public:
  static constexpr int MaxRefStars = 100;
  static constexpr const char* WindowCaption = "Catalog Stars";
  static constexpr const char* NoStarsText = "No Catalog Stars Found in Region.";
  static constexpr const char* MaxRefCaption = "MaxRef Exceeded!";
  // The list's save name when there is no measured image to name it after.
  static constexpr const char* DefaultInfoListName = "REFFIELD.RFL";

  TGSCForm1(Platform& platform, ImageWindowHost& host, RefFieldHost& refHost);
  ~TGSCForm1() override;

  bool PickDown = false;
  std::unique_ptr<InfoListModel> InfoList;
  FieldProjRec Proj;
  StampSetRec Stamps;
  std::int32_t ZeroPoint = 0;  // 0: from the faintest star
  bool Inverted = false;
  CatStarRec* PickedStar = nullptr;
  std::int32_t PickedIndex = -1;
  RefStarList RefStars;
  std::int32_t AddCount = 0;
  std::uint8_t ChartMode = 0;  // 0 measurement, 1 chart
  RefMenuState RefMenus;
  TRefInfoForm1 RefInfoForm1;
  // The catalog that filled the field shown (the setting may change later).
  std::uint8_t FieldCatalog = 0;
  // The scale the picture was built with (display pixels per field pixel).
  long double BuildScale = 1;
  // The observation time of the chart's field (for its Region Parameters).
  double ChartObsTime = 0;
  // The pick mark shows while the Reference Star dialog is open.
  bool PickMarkShown = false;
  // Caption and menu bar above the client area, for placing the dialog.
  static constexpr int WindowFrameHeight = 46;

  // References in the list; never counted apart from it.
  std::int32_t RefCount() const { return RefStars.Count(); }
  bool PickMode() const { return MeasureMode; }

  void InitField();
  void BuildFieldImage();
  void InvertField();
  void FormShow() override;
  void FormClose() override;
  void FormPaint(ImageCanvas& canvas) override;
  void FormMouseDown(MouseButton button, int x, int y) override;
  void FormMouseUp(MouseButton button, int x, int y) override;
  void FormMouseMove(int x, int y) override {}
  // Its box command serves the measured image (a chart has none).
  TImageForm1* BoxTargetWindow() override;
  // A pick at client (x, y) in pick mode; false when no star was near.
  bool PickAt(int x, int y);

  // Menu handlers.
  void Image21Click();
  void AddRemove1Click();
  void ClearReselect1Click();
  void Parameters1Click();
  void AdjustDisplay2Click();
  // Applies a display adjustment whose OK stored the new values; old ones
  // as found on activation.
  void ApplyDisplayAdjustment(std::int32_t oldZeroPoint, bool oldInverted);
  void ResizeWindow2Click();
  void Linear1Click() { SetSolutionOrder(0); }
  void AddCrossterm1Click() { SetSolutionOrder(1); }
  void FullQuadratic1Click() { SetSolutionOrder(2); }
  void SetSolutionOrder(std::uint8_t order);

  // The information list's lines.
  std::vector<std::string> InfoLines() const;
  std::string ColorSelText() const;
  void PrintInfo(PrintJob& job) override;
  void PrintBitmap(PrintJob& job) override;

  // The picture's pixel at (x, y) as grey (the red component of its colour).
  std::uint8_t PictureRed(int x, int y) const;

 private:
  void StampCaption();
  RefFieldHost& ref_;
  bool pictureInverted_ = false;
};

}  // namespace hv
