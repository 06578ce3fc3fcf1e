#pragma once
// The measuring-box dialog and the working copy of the box, BoxParms, that
// the centroid, photometry, alignment and magnifier code read.
#include <string>
#include <string_view>

#include "images/DisplayParms.h"
#include "platform/Platform.h"

namespace hv {

// The working copy of the measuring box; the main window copies the
// settings' box into it at start-up.
extern BoxParmsRec BoxParms;

class TBoxDlgForm1 : public DialogModel {
 public:
  std::string_view dialogName() const override { return "TBoxDlgForm1"; }

  std::string Caption = "\"Box\" Parameters";
  // The three spin edits: box width (2..20, step 2), centroid region
  // (2..20, step 2) and sky border (2..10).
  int BoxWd = 20, ImgWd = 20, SkyWd = 5;
  static constexpr int BoxMin = 2, BoxMax = 20, SkyMin = 2, SkyMax = 10;

  void FormActivate();
  // The centroid region never exceeds the search box.
  void BoxWdEdChange(int value);
  void ImgWdEdChange(int value);
  void SkyWdEdChange(int value);
  void DfltBtnClick();
  ModalResult OKBtnClick();
};

}  // namespace hv
