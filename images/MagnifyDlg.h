#pragma once
// The magnify-region dialog and the magnifier: a small always-on-top window
// that shows the measured image window's surface around a point, enlarged,
// with an inverting cross hair.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace hv {

class TImageForm1;

class TMagnRgnDlg : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TMagnRgnDlg"; }
  // Reads BoxParms: create it after the settings' box has been copied there.
  TMagnRgnDlg() { FormCreate(); }

  std::string Caption = "Set Magnify Region";
  std::int32_t RegionWidth = 30;  // side of the magnified square, display pixels
  int Edit = 30;                  // spin edit, 2..100
  static constexpr int EditMin = 2, EditMax = 100;

  void FormCreate();
  void FormActivate() { Edit = RegionWidth; }
  void BoxWdEdChange(int value);
  void DfltBtnClick();
  ModalResult OKBtnClick();
};

struct IntRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const IntRect&) const = default;
};

class TCursorWindow {
 public:
  explicit TCursorWindow(int clientWidth = 151, int clientHeight = 151) {
    FormCreate(clientWidth, clientHeight);
  }
  ~TCursorWindow();

  bool RightDown = false;
  IntRect DestRect;    // the client area
  IntRect SourceRect;  // square of the measured window's client area
  std::int32_t CrossX = 0, CrossY = 0;
  std::int32_t CentreX = 0, CentreY = 0;
  long double PointX = 0, PointY = 0;  // the shown point, source client coordinates
  std::string Title;
  std::string Caption = "Cursor Region";
  bool Visible = false;

  // The measured image window: what is shown is copied from its surface and
  // the flips are its own display record's. Null shows nothing.
  void SetSource(TImageForm1* window);
  TImageForm1* Source() const { return source_; }

  void FormCreate(int clientWidth, int clientHeight);
  void ShowRegion(const std::string& title, long double x, long double y);
  // Whether the paint has a region to show (else the window stays black).
  bool HasRegion() const { return CentreX > 0 || CentreY > 0 || !Title.empty(); }
  void FormMouseDown(bool rightButton);
  // True when the popup menu should open.
  bool FormMouseUp(bool rightButton);
  // The popup's "Set Region &Size..." command: the region dialog, then the
  // region again with the new width.
  void SetRegionSize1Click(Platform& platform);

  // The form repaints when told.
  std::function<void()> Changed;

 private:
  TImageForm1* source_ = nullptr;
};

// The global instances that live for the whole run, created at start-up
// (after BoxParms holds the settings' box) and reset between tests.
extern std::unique_ptr<TMagnRgnDlg> MagnRgnDlg;
extern std::unique_ptr<TCursorWindow> CursorWindow;

}  // namespace hv
