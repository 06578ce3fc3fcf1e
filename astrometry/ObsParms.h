#pragma once
// What identifies one observation apart from the measured position, and the
// observation-parameters dialog's rules.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "support/Codec.h"

namespace hv {

constexpr std::size_t ObsParmsRecSize = 162;
namespace ObsParmsCap {
constexpr std::size_t ObjName = 68, Designation = 7, Number = 5, Observer = 68;
}

struct ObsParmsRec {
  std::string ObjName;      // object name or observation name/identifier
  std::string Designation;  // provisional designation, columns 6-12 of the MPC line
  std::string Number;       // minor-planet number, columns 1-5
  std::string Observer;
  double ObsTime = 0.0;  // UT, days since 1899-12-30 0 h
  std::uint8_t Discovery = 0;
  std::uint8_t ObjType = 0;  // 0 minor planet, 1 comet

  bool operator==(const ObsParmsRec&) const = default;
};

// Four empty texts, time 0, no discovery, minor planet.
void ClearObsParms(ObsParmsRec& rec);

void EncodeObsParmsRec(Encoder& e, const ObsParmsRec& r);
// Reads exactly ObsParmsRecSize bytes; DecodeError when they end early.
ObsParmsRec DecodeObsParmsRec(Decoder& d);

// A date-time value (days since 1899-12-30) split into a calendar date and
// a time of day, rounded to whole seconds first so that 23:59:59.7 becomes
// 00:00:00 of the next day.
struct CivilSecond {
  std::int32_t Year = 1899, Month = 12, Day = 30;
  std::int32_t Hour = 0, Minute = 0, Second = 0;
};
CivilSecond SplitToSecond(double value);

// "YYYY-MM-DD" and "hh:mm:ss" as the dialog shows them.
std::string ObsDateText(double value);
std::string ObsTimeText(double value);
// "yyyy mmmm dd,  UT: hh:mm:ss" (the month's full name) as the reports
// show a date-time.
std::string DateUTText(double value);
// A date typed as year, month and day separated by "-" (blanks around the
// parts allowed, a four-digit year wanted): the days since 1899-12-30, or
// nothing when it is not a valid date.
std::optional<std::int64_t> ParseObsDate(std::string_view text);

// The observation-parameters dialog (TObsParmsDlg) without its widgets.
// The caller sets ParmsRec and CaptionText, shows it through the platform
// and reads the modal result: OK means the record was rewritten, Cancel
// that it is untouched.
class ObsParmsDlgModel : public DialogModel {
 public:
  explicit ObsParmsDlgModel(Platform& platform) : platform_(platform) {}
  std::string_view dialogName() const override { return "TObsParmsDlg"; }

  ObsParmsRec* ParmsRec = nullptr;
  std::string CaptionText;

  // --- what the form shows (loaded by FormActivate, typed back by the form) ---
  std::string Caption = "Observation Parameters";
  std::string NameLabel = "Object Name:";
  int ObjTypeIndex = 0;  // "Minor Planet", "Comet"
  std::string DateText, TimeText, NameText, NumText, DesigText, ObserverText;
  bool DiscoveryChecked = false;
  // Disabled fields still show the record and are read back by OK.
  bool NumEnabled = true, DesigEnabled = true, ObserverEnabled = true, DiscoveryEnabled = true;
  bool HelpVisible = true;

  static constexpr int DateMaxLength = 10, TimeMaxLength = 8;
  static constexpr const char* DateHint = "Use Full (4 digit) Year";
  static constexpr const char* TimeHint = "Use 24 hr format.";

  void FormCreate() { Activating = false; }
  // Runs once when the dialog is shown.
  void FormActivate();
  // Converts the date and time first and writes the record only when both
  // convert; a bad one is shown as an error and keeps the dialog open
  // (ModalResult::None) with the record untouched. Unchanged date and time
  // texts keep the stored time, fractions of a second included.
  ModalResult OKBtnClick();
  ModalResult CancelBtnClick() { return ModalResult::Cancel; }

  bool Activating = false;

 private:
  Platform& platform_;
  std::string shownDate_, shownTime_;
};

}  // namespace hv
