#include "images/MagnifyDlg.h"

#include <algorithm>

#include "images/BoxParmsDlg.h"
#include "images/ImageWindow.h"
#include "support/Rounding.h"

namespace hv {

std::unique_ptr<TMagnRgnDlg> MagnRgnDlg;
std::unique_ptr<TCursorWindow> CursorWindow;

namespace {
int DefaultRegion() {
  return std::clamp(2 * (BoxParms.HalfBox + BoxParms.SkyBorder), TMagnRgnDlg::EditMin,
                    TMagnRgnDlg::EditMax);
}
}  // namespace

void TMagnRgnDlg::FormCreate() {
  RegionWidth = DefaultRegion();
  Edit = RegionWidth;
}

void TMagnRgnDlg::BoxWdEdChange(int value) { Edit = std::clamp(value, EditMin, EditMax); }

void TMagnRgnDlg::DfltBtnClick() { Edit = DefaultRegion(); }

ModalResult TMagnRgnDlg::OKBtnClick() {
  RegionWidth = std::clamp(Edit, EditMin, EditMax);
  return ModalResult::OK;
}

TCursorWindow::~TCursorWindow() { SetSource(nullptr); }

void TCursorWindow::FormCreate(int clientWidth, int clientHeight) {
  DestRect = {0, 0, clientWidth, clientHeight};
  RightDown = false;
}

void TCursorWindow::SetSource(TImageForm1* window) {
  source_ = window;
  if (Changed) Changed();
}

void TCursorWindow::ShowRegion(const std::string& title, long double x, long double y) {
  CentreX = RoundToInt32(x);
  CentreY = RoundToInt32(y);
  PointX = x;
  PointY = y;
  Title = title;
  const int region = MagnRgnDlg ? std::max(MagnRgnDlg->RegionWidth, 1) : 30;
  const int h = region / 2;
  SourceRect = {CentreX - h, CentreY - h, CentreX + h, CentreY + h};
  long double fx = x - (CentreX - h), fy = y - (CentreY - h);
  // The flips are those of the window whose surface is shown.
  if (source_ && source_->DispParms) {
    if (source_->DispParms->FlipX) fx -= 0.5L;
    if (source_->DispParms->FlipY) fy -= 0.5L;
  }
  Caption = title.empty() ? "Cursor Region" : title;
  CrossX = RoundToInt32(DestRect.Width() * fx / region);
  CrossY = RoundToInt32(DestRect.Height() * fy / region);
  // The form copies the measured window afresh, so what it shows stays
  // current; its grab paints without the magnifier's marks (no loop).
  if (Changed) Changed();
}

void TCursorWindow::FormMouseDown(bool rightButton) {
  if (rightButton) RightDown = true;
}

bool TCursorWindow::FormMouseUp(bool rightButton) {
  if (!rightButton || !RightDown) return false;
  RightDown = false;
  return true;
}

void TCursorWindow::SetRegionSize1Click(Platform& platform) {
  if (!MagnRgnDlg) return;
  if (platform.showDialog(*MagnRgnDlg) == ModalResult::OK) ShowRegion(Title, PointX, PointY);
}

}  // namespace hv
