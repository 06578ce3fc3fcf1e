#pragma once
// The parallax baseline between two observing sites as seen from a target,
// the dialog that collects the sites, the target and the time, the picker
// that takes them from a measurement of the report, and the baseline
// report.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/InfoList.h"
#include "app/Options.h"
#include "app/Records.h"
#include "astrometry/AstromObs.h"
#include "platform/Platform.h"
#include "support/DateTime.h"

namespace hv {

// The Earth's equatorial radius, km, and kilometres per statute mile.
inline constexpr long double BaselineEarthRadius = 6378.16L;
inline constexpr long double KmPerMile = 1.609344L;

struct BaselinePair {
  long double Maximum = 0;    // km, the chord through the Earth
  long double Projected = 0;  // km, the chord's part across the line of sight
};

// Both baselines of two sites on a sphere of radius BaselineEarthRadius.
// Longitudes and latitudes in degrees (east and north positive); the target
// at raHours, decDegrees; gstRadians the Greenwich sidereal time, which
// turns the target's direction into the Earth-fixed frame of the sites
// (hour angle at Greenwich = gst - ra). Two sites at the same coordinates
// give 0 and 0. A target almost exactly along the chord, where rounding
// makes the cosine's square exceed 1, gives a projected baseline of 0.
BaselinePair ComputeBaselines(long double lon1, long double lat1, long double lon2,
                              long double lat2, long double raHours, long double decDegrees,
                              long double gstRadians);

// ---- the dialog's state, kept for the whole run ------------------------------

extern std::uint8_t BaselineDateFormat;  // 0 calendar date and time, 1 Julian date
extern DateTimeRec BaselineTime;         // UT, zone offset 0
extern SiteRec BaselineSite1;
extern SiteRec BaselineSite2;
extern long double BaselineRA;         // hours
extern long double BaselineDec;        // degrees
extern long double ProjectedBaseline;  // km
extern long double MaximumBaseline;    // km
extern bool BaselineSite1Set;
extern bool BaselineSite2Set;
// Position in the report of the measurement last chosen in the picker; -1 none.
extern std::int32_t ObsSlctIndex;

class BaselineDlgModel;
// The dialog, made at the first baseline command and kept for the run.
extern std::unique_ptr<BaselineDlgModel> BaselineDlg;
// The report window's model, made at the first report.
extern std::unique_ptr<InfoListModel> BaselineRptForm;

// Puts every variable above back to its program-start value (tests, exit).
void ResetBaselineState();

// The lines of the baseline report from the variables above.
std::vector<std::string> BaselineReportLines();

// What the baseline dialog needs from the windows around it. Each is
// optional; an empty one is skipped.
struct BaselineServices {
  // Shows the report window for the model (made and sized by the window).
  std::function<void(InfoListModel&)> ShowList;
};

// The observation picker (TObsSlctForm): the student selects a measurement
// line in the report window while it waits.
class ObsSlctModel : public DialogModel {
 public:
  ObsSlctModel(Platform& platform, AstromObsObj& report) : platform_(platform), report_(report) {}
  std::string_view dialogName() const override { return "TObsSlctForm"; }

  std::string Caption = "Select Observation Record";
  std::string MsgLbl;
  // Set by FormShow when the report window was already shown: the form
  // brings it back to its normal size.
  bool RestoreReportWindow = false;
  AstromObsObj& report() { return report_; }
  Platform& platform() { return platform_; }

  // Fills and shows the report window when hidden, selects the last chosen
  // measurement (the first when none).
  void FormShow();
  // Reads the report window's selection (AstromListModel::Selected); a line
  // that is no measurement keeps the picker open (ModalResult::None).
  ModalResult OKBtnClick();
  ModalResult CnclBtnClick();

 private:
  Platform& platform_;
  AstromObsObj& report_;
};

// The baseline dialog (TBaselineDlg) without its widgets.
class BaselineDlgModel : public DialogModel {
 public:
  // Sets the variables' creation values (FormCreate), site 1 from the
  // settings' default site; report may be null (no measurement to take
  // then). The host serves the report window and the site pick list; the
  // settings (kept by reference) name the stations file.
  BaselineDlgModel(Platform& platform, ListHost& host, const OptsRec& settings,
                   AstromObsObj* report, BaselineServices services = {});
  std::string_view dialogName() const override { return "TBaselineDlg"; }
  Platform& platform() { return platform_; }

  BaselineServices Services;
  AstromObsObj* Report = nullptr;

  // --- what the form shows (loaded by FormActivate, typed back by the form) ---
  std::string Caption = "Compute Baseline Between Two Sites";
  int DateFrmtGrp = 0;
  std::string YMDInEd1, HMSInEd1, JDEd1;
  std::string RAHr1, RAMin1, RASec1;
  std::string DecDeg1, DecMin1, DecSec1;
  bool YMDEnabled = true, JDEnabled = false;  // the fields (and labels) of each mode
  bool OkEnabled = false;
  bool ObsEnabled = false;

  static constexpr int DateMaxLength = 10, TimeMaxLength = 8, JDMaxLength = 15;

  // The fields from the variables; also the refresh after the picker.
  void FormActivate();
  void DateFrmtGrpClick();
  void Site1BtnClick();
  void Site2BtnClick();
  // Shows the picker through the platform, then refreshes the fields.
  void ObsBtnClick();
  // Reads every field into a working copy and stores it only when all are
  // valid; then computes and shows the report. A field that does not
  // convert or is out of range keeps the dialog open (ModalResult::None)
  // with nothing stored.
  ModalResult OkBtnClick();
  ModalResult CancelBtnClick() { return ModalResult::Cancel; }

  // Site n (1 or 2) in the site dialog (over SiteToEdit); true when
  // confirmed.
  bool EditSite(int n);
  void ComputeBaseline();
  void ShowBaselineReport();

 private:
  Platform& platform_;
  ListHost& host_;
  const OptsRec& settings_;
};

}  // namespace hv
