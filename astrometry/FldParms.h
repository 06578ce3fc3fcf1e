#pragma once
// The catalog request of the run: field centre, size, limiting magnitude,
// colour band and the search box derived from them.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/Options.h"
#include "images/GraphicsFileRecs.h"
#include "platform/Platform.h"

namespace hv {

// Colour band of the field, in the order of the dialog's radio items.
enum class ColorCode : std::uint8_t { Blue = 0, Visual = 1, Red = 2, J = 3, H = 4, K = 5 };
constexpr std::uint8_t ColorCodeCount = 6;
extern const std::array<std::string_view, ColorCodeCount> ColorCaptions;  // "&Blue" ...
// Band letter ("B", "V", "R", "J", "H", "K") and its PassbandCode.
extern const std::array<std::string_view, ColorCodeCount> ColorBands;
extern const std::array<std::uint8_t, ColorCodeCount> ColorPassbands;

struct FldParmsRec {
  double RAMin = 0;  // search box, hours 0..24; RAMin > RAMax when it straddles 0 h
  double RAMax = 0;
  double DecMin = 0;  // degrees
  double DecMax = 0;
  float MagLimit = 0;  // faintest magnitude the field filters accept (copy of FaintMag)
  long double RACenter = 0;   // hours
  long double DecCenter = 0;  // degrees
  float FieldSize = 0;        // side of the square field, arc minutes
  float Spare = 0;
  float FaintMag = 0;      // limiting magnitude as entered
  std::uint8_t Color = 2;  // ColorCode

  bool operator==(const FldParmsRec&) const = default;
};

// The first five fields of FldParmsRec taken together: what the region
// search, the field filters and the online selection receive.
struct FieldBoxRec {
  double RAMin = 0, RAMax = 0, DecMin = 0, DecMax = 0;
  float MagLimit = 0;
  bool operator==(const FieldBoxRec&) const = default;
};
inline FieldBoxRec FieldBoxOf(const FldParmsRec& r) {
  return {r.RAMin, r.RAMax, r.DecMin, r.DecMax, r.MagLimit};
}

// The one request of the run. Tests reset it with ResetFldParms.
extern FldParmsRec CurFldParms;

// Empties rec: box and centre 0, size and limits from the settings, Red.
void ResetFldParms(FldParmsRec& rec, const OptsRec& settings);
inline void ResetFldParms(const OptsRec& settings) { ResetFldParms(CurFldParms, settings); }

// Sets rec's search box (RAMin..DecMax) around the centre ra (hours),
// dec (degrees) from rec.FieldSize (arc minutes); MagLimit is left alone.
// Declination edges are centre -/+ half the side; the RA half width is
// half / (15 cos e) at the edge e nearer the pole. A box reaching past a
// pole becomes a cap: 90 - 3 half .. 90 (or -90 .. 3 half - 90) over all
// 24 h. RA edges are wrapped into 0..24, so a box across 0 h has
// RAMin > RAMax. A half width of 12 h or more (an edge on a pole) also
// covers all 24 h; a field size of 0 or below gives a box of zero size at
// the centre.
void ComputeSearchBox(FldParmsRec& rec, long double ra, long double dec);

// The colour band that suits an image filter: B, V, J, H and K their own
// band; R, I, none and unrecognised filters the red band.
std::uint8_t ColorForPassband(PassbandCode filter);

class GraphicsFileObj;

// The filter of an image as the colour check wants it: a FITS or SBIG
// header's filter code; 8 (unrecognised, no check) for an ST-4 image or
// no image at all.
PassbandCode ImageFilterOf(const GraphicsFileObj* file);

// The measure set-up's start of a stale field: a FITS image gives a field
// that has no centre yet (0, 0) its header's RA and DEC and the colour band
// of its filter. True when it did; anything else leaves rec alone.
bool PresetFieldFromImage(FldParmsRec& rec, const GraphicsFileObj* file);

// The field-parameter dialog (TFldParmsDlg) without its widgets. It edits
// CurFldParms and the catalog choice of the main window's working settings.
// The caller passes those settings, sets OptionsChanged (the main window's
// save-at-once) and MeasuredImage (the file of the measured slot's window,
// or none), shows it through the platform and reads the modal result: OK
// means CurFldParms and Settings.StarCatalog hold the new request; Cancel
// means the request is unchanged (a catalog choice that a refused OK
// already wrote, and saved, stays).
class FldParmsDlgModel : public DialogModel {
 public:
  FldParmsDlgModel(Platform& platform, OptsRec& settings)
      : platform_(platform), settings_(settings) {}
  std::string_view dialogName() const override { return "TFldParmsDlg"; }

  std::function<void()> OptionsChanged;
  const GraphicsFileObj* MeasuredImage = nullptr;

  static constexpr const char* Caption = "Enter/Verify Field Parameters";
  static constexpr const char* InputErrorCaption = "Input Error!";
  static constexpr const char* RAInvalidText = "Right Ascension is Invalid!";
  static constexpr const char* DecInvalidText = "Declination is Invalid!";
  static constexpr const char* NumericInvalidText =
      "Invalid Numeric Value - Check Field, Magnitude Entries!";
  static constexpr const char* MismatchCaption = "Color/Filter Mismatch";

  // The reference-field window's "&Region Parameters..." and
  // "&Add/Remove..." items, set by the caller when that window exists.
  struct RefWindowItems {
    std::function<void(bool)> SetRegionParametersEnabled;
    std::function<bool()> AddRemoveEnabled;
    std::function<void(bool)> SetAddRemoveEnabled;
  };
  std::optional<RefWindowItems> RefWindow;
  // Set by the measure set-up when the field is stale: activation first
  // lets a FITS image supply a missing centre and the colour band.
  bool PresetFromImage = false;

  // --- what the form shows (filled by FormActivate, typed back by the form) ---
  std::string RAHrText, RAMinText, RASecText;
  std::string DecDegText, DecMinText, DecSecText;
  std::string SizText, MagText;
  bool OnLnChecked = false;
  bool ColorEnabled = false;
  int ColorIndex = 2;  // ColorCode

  bool AddRemoveWasEnabled = false;
  PassbandCode ImageFilter = PassbandUnknown;

  // Runs once, when the dialog is shown.
  void FormActivate();
  // The form has set OnLnChecked.
  void OnLnBoxClick();
  // Converts and checks the entries, asks about a colour that does not
  // suit the image filter, stores the request and saves a changed catalog
  // choice, size or limit, with one OptionsChanged for the whole change. A
  // refusal (or Cancel to the colour question) keeps the dialog open:
  // ModalResult::None.
  ModalResult OKBtnClick();
  ModalResult CancelBtnClick();
  bool ColorMatchesFilter() const;

 private:
  void RestoreRefWindowItems();
  Platform& platform_;
  OptsRec& settings_;
};

}  // namespace hv
