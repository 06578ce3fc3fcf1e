#pragma once
// What the image windows of the four slots ask of the main window's
// session. The session's own fields share names with this interface's
// operations (Settings, CurrentObs, ZoomHintDue), so the session answers
// through this small adapter that it owns.
#include <memory>

#include "images/GraphicsFile.h"
#include "images/ImageWindow.h"

namespace hv {

class BendulakSession;

class SlotWindowHost : public ImageWindowHost {
 public:
  explicit SlotWindowHost(BendulakSession& session) : s_(session) {}

  const OptsRec& Settings() const override;
  OptsRec& MutableSettings() override;
  void OptionsChanged() override;
  GraphicsFileObj* ImageFile(int slot) override;
  const ObsParmsRec* CurrentObs() const override;
  TImageForm1* ImageWindow(int slot) override;
  void SlotBusy(int slot, bool busy) override;
  void TargetCleared(TImageForm1& window) override;
  bool& ZoomHintDue() override;
  hv::PrintHeader ImagePrintHeader() const override;
  int ScreenWidth() const override;
  void RepaintMainWindow() override;
  void RepaintBlink() override;
  void DisableBlink() override;
  bool* BlinkHintDue() override;
  void BlinkWindowClosed() override;
  ListHost* ReportListHost() override;
  AstromObsObj* Report() override;
  ObsParmsRec* EditableCurrentObs() override;
  void ShowSolutionReport(InfoListModel& list, bool stayOnTop, bool besideField) override;
  bool ReferenceFieldVisible() const override;
  int GuideStep() const override;
  int GuideRefNum() const override;
  void ShowGuide() override;
  void RepaintReferenceField() override;
  void RemoveFieldReference(int p) override;
  std::optional<std::pair<long double, long double>> ApproximateCentre(int slot) const override;

 private:
  BendulakSession& s_;
};

// The reader that the image-file-type setting names (0 FITS, 1 ST-4,
// 2 SBIG); none for any other value.
std::unique_ptr<GraphicsFileObj> MakeImageReader(int fileType, const ReaderContext& context);

// The open dialog's filter index for the image-file-type setting: 1 FITS,
// 2 ST-4, 3 SBIG, 4 all files for a value outside 0 to 2.
int FilterIndexForFileType(int fileType);

}  // namespace hv
