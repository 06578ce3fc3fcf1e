#pragma once
// The main window's measure commands and the measurement guide's bindings:
// the guide sees the measured slot's image window and the reference-field
// window through the small interfaces of astrometry/SlctRef.h.
#include <memory>

#include "astrometry/SlctRef.h"
#include "images/ImageWindow.h"

namespace hv {

class BendulakSession;
class TGSCForm1;

// The measured image window as the guide sees it.
class ImageGuideAdapter : public GuideImageWindow {
 public:
  ImageGuideAdapter(BendulakSession& session, TImageForm1& window) : s_(session), w_(window) {}

  int ImageNumber() const override { return w_.ImageNo + 1; }
  RefStarList& RefList() override { return w_.RefList; }
  const std::array<long double, 406>& RefFitData() const override { return w_.RefFitData; }
  bool& RefsLocated() override { return w_.RefsLocated; }
  bool& RefMarked() override { return w_.RefMarked; }
  bool& TargetLocated() override { return w_.TargetLocated; }
  bool TargetMeasured() const override { return w_.TargetMeasured; }
  RefStarRec& Target() override { return w_.Target; }
  bool& SkyLocated() override { return w_.SkyLocated; }
  RefStarRec& SkyBox() override { return w_.SkyBox; }
  bool& CloseAllowed() override { return w_.CloseAllowed; }
  bool& MeasureMode() override { return w_.MeasureMode; }
  void MarkUnsolved() override;
  bool Solved() const override { return w_.PlateSoln.Solved; }
  void CentroidRefStars() override { w_.CentroidRefStars(); }
  bool RefsNeedMeasuring() const override { return w_.RefsNeedMeasuring(); }
  void ResetTarget() override;
  bool MeasureTarget(bool useSkyBox) override { return w_.MeasureTarget(useSkyBox); }
  bool SolvePlate() override { return w_.SolvePlate(); }
  void EnableReportList() override;
  bool ReportList1Click() override { return w_.ReportList1Click(); }
  void CloseReport() override;
  void ShowReport() override { w_.ShowSolution(w_.CaptionPrefix, false); }
  void Repaint() override { w_.Repaint(); }
  void Show() override;
  void Close() override { w_.Close1Click(); }

 private:
  BendulakSession& s_;
  TImageForm1& w_;
};

// The reference-field window as the guide sees it.
class RefGuideAdapter : public GuideRefWindow {
 public:
  explicit RefGuideAdapter(TGSCForm1& window) : w_(window) {}
  RefStarList& RefStars() override;
  bool& CloseAllowed() override;
  void SetPickMode(bool on) override;
  void EnableAddRemove(bool on) override;
  void ClearReselect1Click() override;
  void AddRemove1Click() override;
  void Close() override;
  const TGSCForm1* Window() const { return &w_; }

 private:
  TGSCForm1& w_;
};

// What the guide asks of the session.
class SessionGuideHost : public GuideHost {
 public:
  explicit SessionGuideHost(BendulakSession& session) : s_(session) {}
  const OptsRec& Settings() const override;
  bool& MoreRefsHintGiven() override;
  GuideImageWindow* MeasuredWindow() override;
  GuideRefWindow* ReferenceWindow() override;
  void ShowMagnifier(bool shown) override;

 private:
  BendulakSession& s_;
  std::unique_ptr<ImageGuideAdapter> image_;
  std::unique_ptr<RefGuideAdapter> field_;
};

}  // namespace hv
