#include "images/BoxParmsDlg.h"

#include <algorithm>

namespace hv {

BoxParmsRec BoxParms = DefaultBoxParms();

void TBoxDlgForm1::FormActivate() {
  BoxWd = std::clamp(2 * BoxParms.HalfBox, BoxMin, BoxMax);
  ImgWd = std::clamp(2 * BoxParms.Radius, BoxMin, BoxMax);
  SkyWd = std::clamp<int>(BoxParms.SkyBorder, SkyMin, SkyMax);
}

void TBoxDlgForm1::BoxWdEdChange(int value) {
  BoxWd = std::clamp(value, BoxMin, BoxMax);
  if (BoxWd < ImgWd) ImgWd = BoxWd;
}

void TBoxDlgForm1::ImgWdEdChange(int value) {
  ImgWd = std::clamp(value, BoxMin, BoxMax);
  if (ImgWd > BoxWd) BoxWd = ImgWd;
}

void TBoxDlgForm1::SkyWdEdChange(int value) { SkyWd = std::clamp(value, SkyMin, SkyMax); }

void TBoxDlgForm1::DfltBtnClick() {
  BoxWd = 16;
  ImgWd = 2;
  SkyWd = 4;
}

ModalResult TBoxDlgForm1::OKBtnClick() {
  // An odd width typed in is halved downward.
  BoxParms.HalfBox = static_cast<std::int8_t>(BoxWd / 2);
  BoxParms.Radius = static_cast<std::int8_t>(ImgWd / 2);
  BoxParms.SkyBorder = static_cast<std::int8_t>(SkyWd);
  return ModalResult::OK;
}

}  // namespace hv
