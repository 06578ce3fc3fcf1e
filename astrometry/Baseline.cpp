#include "astrometry/Baseline.h"

#include <cmath>

#include "app/SiteCamDlgs.h"
#include "astrometry/ObsParms.h"
#include "support/Format.h"
#include "support/MathStd.h"

namespace hv {

namespace {
constexpr long double DegToRad = 0.017453292519943295769L;
constexpr long double TwoPi = 6.283185307179586476925L;
constexpr const char* DegreeSign = "\xB0";

// The date-time values the calendar can show: years 1 to 9999.
constexpr double FirstDateTime = -693593.0;  // 0001-01-01
constexpr double EndDateTime = 2958466.0;    // 10000-01-01

Vector3 SiteVector(long double lonDeg, long double latDeg) {
  const long double lam = lonDeg * DegToRad, phi = latDeg * DegToRad;
  return {std::cos(phi) * std::cos(lam), std::cos(phi) * std::sin(lam), std::sin(phi)};
}

SiteRec EmptySite() {
  SiteRec s;
  s.North = true;
  s.West = true;
  return s;
}

DateTimeRec UtNow(Platform& p) {
  // The clock gives local time; the dialog asks for UT.
  const ClockReading c = p.now();
  const double local = EncodeDate(c.year, c.month, c.day).value_or(0.0) +
                       EncodeTime(c.hour, c.minute, c.second + c.millisecond / 1000.0L);
  DateTimeRec t;
  t.SetFromDateTime(local - c.utcOffsetMinutes / 1440.0);
  return t;
}

std::string SiteCoordLine(std::string head, const std::string& deg, const std::string& min,
                          const std::string& sec, const char* hemisphere) {
  head += deg + DegreeSign + " ";
  if (!min.empty()) head += min + "' ";
  if (!sec.empty()) head += sec + "\"";
  return head + hemisphere;
}

void AddSiteLines(std::vector<std::string>& lines, int n, const SiteRec& s) {
  lines.push_back("  Site " + std::to_string(n) + ": " + s.Name);
  lines.push_back(
      SiteCoordLine("    Longitude: ", s.LonDeg, s.LonMin, s.LonSec, s.West ? " W" : " E"));
  lines.push_back(
      SiteCoordLine("    Latitude:  ", s.LatDeg, s.LatMin, s.LatSec, s.North ? " N" : " S"));
  lines.push_back(" ");
}

// The application's error box for a text that does not convert.
ModalResult ConversionFailure(Platform& p, const std::string& what) {
  ShowError(p, "Halvardin", what);
  return ModalResult::None;
}
}  // namespace

BaselinePair ComputeBaselines(long double lon1, long double lat1, long double lon2,
                              long double lat2, long double raHours, long double decDegrees,
                              long double gstRadians) {
  BaselinePair r;
  if (lon1 == lon2 && lat1 == lat2) return r;
  const Vector3 p1 = SiteVector(lon1, lat1), p2 = SiteVector(lon2, lat2);
  const Vector3 d = {p1[0] - p2[0], p1[1] - p2[1], p1[2] - p2[2]};
  const long double len = VectorLength(d);
  r.Maximum = len * BaselineEarthRadius;
  if (len == 0) return r;  // distinct coordinates of one place (the poles)
  const long double alpha = raHours * 15 * DegToRad, delta = decDegrees * DegToRad;
  const long double h = alpha + TwoPi - gstRadians;
  const Vector3 s = {std::cos(delta) * std::cos(h), std::cos(delta) * std::sin(h), std::sin(delta)};
  const long double c = DotProduct(s, d) / len;
  // Along the chord rounding can push c^2 past 1.
  const long double across = 1 - c * c;
  r.Projected = across > 0 ? r.Maximum * std::sqrt(across) : 0;
  return r;
}

// ---- state ----

std::uint8_t BaselineDateFormat = 0;
DateTimeRec BaselineTime;
SiteRec BaselineSite1;
SiteRec BaselineSite2 = EmptySite();
long double BaselineRA = 0;
long double BaselineDec = 0;
long double ProjectedBaseline = 0;
long double MaximumBaseline = 0;
bool BaselineSite1Set = false;
bool BaselineSite2Set = false;
std::int32_t ObsSlctIndex = 0;
std::unique_ptr<BaselineDlgModel> BaselineDlg;
std::unique_ptr<InfoListModel> BaselineRptForm;

void ResetBaselineState() {
  BaselineDlg.reset();
  BaselineRptForm.reset();
  BaselineDateFormat = 0;
  BaselineTime = DateTimeRec{};
  BaselineSite1 = SiteRec{};
  BaselineSite2 = EmptySite();
  BaselineRA = BaselineDec = 0;
  ProjectedBaseline = MaximumBaseline = 0;
  BaselineSite1Set = BaselineSite2Set = false;
  ObsSlctIndex = 0;
}

std::vector<std::string> BaselineReportLines() {
  std::vector<std::string> lines;
  AddSiteLines(lines, 1, BaselineSite1);
  AddSiteLines(lines, 2, BaselineSite2);
  lines.push_back("  Target Coordinates:");
  lines.push_back("    RA:" + FormatRA(2, "h ", "m ", BaselineRA, "s "));
  lines.push_back("   Dec:" +
                  FormatDMS(1, std::string(DegreeSign) + " ", "' ", BaselineDec, "\" "));
  lines.push_back(" ");
  lines.push_back("  Date: " + DateUTText(BaselineTime.Local));
  auto km = [](long double v) {
    return FormatFixed(2, v) + "km,  " + FormatFixed(2, v / KmPerMile) + "mi";
  };
  lines.push_back("    Projected Baseline: " + km(ProjectedBaseline));
  lines.push_back("      Maximum Baseline: " + km(MaximumBaseline));
  return lines;
}

// ---- picker ----

void ObsSlctModel::FormShow() {
  platform_.beep(Sound::Question);
  AstromListModel& w = *report_.ListForm;
  RestoreReportWindow = w.Visible;
  if (!w.Visible) report_.ShowExerciseReport();
  const std::int32_t last = report_.Observations.Count() - 1;
  std::int32_t pos = ObsSlctIndex >= 0 ? ObsSlctIndex : 0;
  if (pos > last) pos = last < 0 ? 0 : last;
  w.Selected = w.FirstDataLine + pos;
  MsgLbl = "Select an Observation Record for baseline calculation.  Press \"OK\" when ready.";
  Caption = "Select Observation Record";
  if (RestoreReportWindow) w.Show();
}

ModalResult ObsSlctModel::OKBtnClick() {
  AstromListModel& w = *report_.ListForm;
  // Lines past the table (none today) are no measurement either.
  if (w.Selected < w.FirstDataLine ||
      w.Selected - w.FirstDataLine >= report_.Observations.Count()) {
    platform_.beep(Sound::Exclamation);
    MsgLbl = "Select an Observation Record and Press \"OK\"!";
    Caption = "Not an Observation Record!";
    return ModalResult::None;
  }
  ObsSlctIndex = w.Selected - w.FirstDataLine;
  w.Visible = false;
  return ModalResult::OK;
}

ModalResult ObsSlctModel::CnclBtnClick() {
  report_.ListForm->Visible = false;
  return ModalResult::Cancel;
}

// ---- dialog ----

BaselineDlgModel::BaselineDlgModel(Platform& platform, ListHost& host, const OptsRec& settings,
                                   AstromObsObj* report, BaselineServices services)
    : Services(std::move(services)),
      Report(report),
      platform_(platform),
      host_(host),
      settings_(settings) {
  BaselineDateFormat = 0;
  BaselineTime = UtNow(platform_);
  BaselineSite1 = settings.DefaultSite;
  BaselineSite2 = EmptySite();
  BaselineRA = BaselineDec = 0;
  ProjectedBaseline = MaximumBaseline = 0;
  BaselineSite1Set = BaselineSite2Set = false;
}

void BaselineDlgModel::FormActivate() {
  DateFrmtGrp = BaselineDateFormat == 1 ? 1 : 0;
  DateFrmtGrpClick();
  YMDInEd1 = ObsDateText(BaselineTime.Local);
  HMSInEd1 = ObsTimeText(BaselineTime.Local);
  JDEd1 = BaselineTime.FormatJD(5);
  DMSRec ra;
  ToDMSRounded(ra, 2, BaselineRA);
  RAHr1 = std::to_string(ra.Deg);
  RAMin1 = std::to_string(ra.Min);
  RASec1 = FormatFixed(2, ra.Sec);
  DMSRec dec;
  ToDMSRounded(dec, 1, BaselineDec);
  DecDeg1 = (BaselineDec < 0 ? "-" : "") + std::to_string(dec.Deg);
  DecMin1 = std::to_string(dec.Min);
  DecSec1 = FormatFixed(1, dec.Sec);
  OkEnabled = BaselineSite1Set && BaselineSite2Set;
  ObsEnabled = Report != nullptr && !Report->Observations.IsEmpty();
}

void BaselineDlgModel::DateFrmtGrpClick() {
  YMDEnabled = DateFrmtGrp == 0;
  JDEnabled = !YMDEnabled;
}

void BaselineDlgModel::Site1BtnClick() {
  SiteToEdit = &BaselineSite1;
  BaselineSite1Set = EditSite(1);
  OkEnabled = OkEnabled || (BaselineSite1Set && BaselineSite2Set);
}

void BaselineDlgModel::Site2BtnClick() {
  SiteToEdit = &BaselineSite2;
  BaselineSite2Set = EditSite(2);
  OkEnabled = OkEnabled || (BaselineSite1Set && BaselineSite2Set);
}

bool BaselineDlgModel::EditSite(int n) {
  if (SiteToEdit == nullptr) return false;
  SiteParmsDlgModel dlg(platform_, settings_, &host_);
  for (;;) {
    dlg.SetBaselineUse(n);
    if (platform_.showDialog(dlg) != ModalResult::OK) return false;
    if (SiteToEdit->Longitude != 0 || SiteToEdit->Latitude != 0) return true;
    if (AskYesNo(platform_, "Are You Sure?", "Longitude and Latitude are Zero!\r\n\r\nContinue?"))
      return true;
  }
}

void BaselineDlgModel::ObsBtnClick() {
  if (Report == nullptr || Report->Observations.IsEmpty()) return;
  ObsSlctModel picker(platform_, *Report);
  if (platform_.showDialog(picker) == ModalResult::OK && ObsSlctIndex >= 0) {
    std::int32_t i = 0;
    for (const ObsRec& r : Report->Observations) {
      if (i++ != ObsSlctIndex) continue;
      BaselineTime.ZoneOffset = 0;
      BaselineTime.SetFromDateTime(r.Parms.ObsTime);
      BaselineRA = r.Target.RA;
      BaselineDec = r.Target.Dec;
      break;
    }
  }
  FormActivate();
}

ModalResult BaselineDlgModel::OkBtnClick() {
  const std::uint8_t format = DateFrmtGrp == 1 ? 1 : 0;
  DateTimeRec time;
  long double ra = 0, dec = 0;
  try {
    if (format == 0) {
      const std::optional<std::int64_t> days = ParseObsDate(YMDInEd1);
      if (!days) return ConversionFailure(platform_, "'" + YMDInEd1 + "' is not a valid date");
      long double fraction = 0;
      if (!HMSInEd1.empty()) {
        fraction = ParseTimeOfDay(HMSInEd1);
        // A UT of 24 h or more would move the date silently.
        if (!(fraction >= 0 && fraction < 1))
          return ConversionFailure(platform_, "'" + HMSInEd1 + "' is not a valid time");
      }
      time.SetFromDateTime(static_cast<double>(static_cast<long double>(*days) + fraction));
    } else {
      const long double jd = StrToFloat(JDEd1);
      const long double value = jd - JulianDateEpoch;
      // Beyond the calendar's years the date cannot be shown or reported.
      if (!(value >= FirstDateTime && value < EndDateTime))
        return ConversionFailure(platform_, "'" + JDEd1 + "' is not a valid Julian date");
      time.SetFromJD(jd);
    }
    ra = StrToFloat(RAHr1) + StrToFloat(RAMin1) / 60 + StrToFloat(RASec1) / 3600;
    const long double d = StrToFloat(DecDeg1);
    long double sign = d < 0 ? -1 : 1;
    if (d == 0) {
      const std::size_t first = DecDeg1.find_first_not_of(' ');
      sign = first != std::string::npos && DecDeg1[first] == '-' ? -1 : 1;
    }
    dec = d + sign * StrToFloat(DecMin1) / 60 + sign * StrToFloat(DecSec1) / 3600;
  } catch (const ConvertError& e) {
    return ConversionFailure(platform_, e.what());
  }
  if (!(ra >= 0 && ra <= 24)) {
    ShowWarning(platform_, "Input Error!", "Error in Right Ascension Value");
    return ModalResult::None;
  }
  if (!(dec >= -90 && dec <= 90)) {
    ShowWarning(platform_, "Input Error!", "Error in Declination Value");
    return ModalResult::None;
  }
  BaselineDateFormat = format;
  BaselineTime = time;
  BaselineRA = ra;
  BaselineDec = dec;
  ComputeBaseline();
  ShowBaselineReport();
  return ModalResult::OK;
}

void BaselineDlgModel::ComputeBaseline() {
  const long double gst = SiderealTime(1, BaselineTime.JulianDate());
  const BaselinePair r =
      ComputeBaselines(BaselineSite1.Longitude, BaselineSite1.Latitude, BaselineSite2.Longitude,
                       BaselineSite2.Latitude, BaselineRA, BaselineDec, gst);
  MaximumBaseline = r.Maximum;
  ProjectedBaseline = r.Projected;
}

void BaselineDlgModel::ShowBaselineReport() {
  if (!BaselineRptForm) {
    // A plain list window: no default save name.
    BaselineRptForm = std::make_unique<InfoListModel>(platform_, host_);
  }
  BaselineRptForm->Caption = "VESK Astrometric Baseline Report";
  BaselineRptForm->SetLines(BaselineReportLines());
  BaselineRptForm->Visible = true;
  if (Services.ShowList) Services.ShowList(*BaselineRptForm);
}

}  // namespace hv
