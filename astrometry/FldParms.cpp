#include "astrometry/FldParms.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

#include "images/FITSFile.h"
#include "images/SBIGFile.h"
#include "support/Format.h"

namespace hv {

const std::array<std::string_view, ColorCodeCount> ColorCaptions = {
    "&Blue", "&Visual", "&Red", "&J (IR)", "&H (IR)", "&K (IR)"};
const std::array<std::string_view, ColorCodeCount> ColorBands = {"B", "V", "R", "J", "H", "K"};
const std::array<std::uint8_t, ColorCodeCount> ColorPassbands = {0, 1, 2, 4, 5, 6};

FldParmsRec CurFldParms;

void ResetFldParms(FldParmsRec& rec, const OptsRec& settings) {
  rec.RAMin = rec.RAMax = rec.DecMin = rec.DecMax = 0;
  rec.MagLimit = settings.MagLimit;
  rec.RACenter = rec.DecCenter = 0;
  rec.FieldSize = settings.FieldSize;
  rec.Spare = 0;
  rec.FaintMag = settings.MagLimit;
  rec.Color = static_cast<std::uint8_t>(ColorCode::Red);
}

void ComputeSearchBox(FldParmsRec& rec, long double ra, long double dec) {
  long double half = static_cast<long double>(rec.FieldSize) / 120.0L;
  // A non-positive size would turn the box inside out.
  if (!(half > 0)) half = 0;
  const long double decMin = dec - half, decMax = dec + half;
  rec.DecMin = static_cast<double>(decMin);
  rec.DecMax = static_cast<double>(decMax);
  const long double e = rec.DecMin > 0 ? decMax : decMin;
  const long double c = std::cos(e * std::numbers::pi_v<long double> / 180.0L);
  const long double w = half == 0 ? 0.0L : half / (15.0L * c);
  if (rec.DecMax > 90) {
    rec.DecMax = 90;
    rec.DecMin = static_cast<double>(90.0L - 3.0L * half);
    rec.RAMin = 0;
    rec.RAMax = 24;
  } else if (rec.DecMin < -90) {
    rec.DecMin = -90;
    rec.DecMax = static_cast<double>(3.0L * half - 90.0L);
    rec.RAMin = 0;
    rec.RAMax = 24;
  } else if (!(w >= 0 && w < 12)) {
    // An edge on (or rounding onto) a pole: cos e is 0 or nearly so and
    // the half width reaches round the whole circle.
    rec.RAMin = 0;
    rec.RAMax = 24;
  } else {
    long double lo = ra - w, hi = ra + w;
    if (lo < 0) lo += 24;
    if (hi > 24) hi -= 24;
    rec.RAMin = static_cast<double>(lo);
    rec.RAMax = static_cast<double>(hi);
  }
}

}  // namespace hv

// ------------------------------------------------------------------ dialog

namespace hv {

std::uint8_t ColorForPassband(PassbandCode filter) {
  switch (filter) {
    case 0: return static_cast<std::uint8_t>(ColorCode::Blue);
    case 1: return static_cast<std::uint8_t>(ColorCode::Visual);
    case 4: return static_cast<std::uint8_t>(ColorCode::J);
    case 5: return static_cast<std::uint8_t>(ColorCode::H);
    case 6: return static_cast<std::uint8_t>(ColorCode::K);
    default: return static_cast<std::uint8_t>(ColorCode::Red);
  }
}

PassbandCode ImageFilterOf(const GraphicsFileObj* file) {
  if (file == nullptr) return PassbandUnknown;
  // Each reader sets its kind when it is made. An ST-4 file is an SBIG
  // reader too, but its header holds no filter.
  if (file->FileKind == GraphicsFileObj::KindFITS)
    return static_cast<const FITSFileObj*>(file)->Header.Filter;
  if (file->FileKind == GraphicsFileObj::KindSBIG)
    return static_cast<const SBIGFileObj*>(file)->Header.FilterCode;
  return PassbandUnknown;
}

bool PresetFieldFromImage(FldParmsRec& rec, const GraphicsFileObj* file) {
  if (file == nullptr || file->FileKind != GraphicsFileObj::KindFITS) return false;
  auto* fits = static_cast<const FITSFileObj*>(file);
  if (rec.RACenter != 0 || rec.DecCenter != 0) return false;
  rec.RACenter = fits->Header.RA;
  rec.DecCenter = fits->Header.Dec;
  rec.Color = ColorForPassband(fits->Header.Filter);
  return true;
}

namespace {
bool IsOnline(CatalogCode c) { return c == CatalogCode::NOMAD || c == CatalogCode::USNOB1; }
}  // namespace

void FldParmsDlgModel::FormActivate() {
  FldParmsRec& r = CurFldParms;
  if (PresetFromImage) PresetFieldFromImage(r, MeasuredImage);
  if (RefWindow) {
    if (RefWindow->SetRegionParametersEnabled) RefWindow->SetRegionParametersEnabled(false);
    AddRemoveWasEnabled = RefWindow->AddRemoveEnabled && RefWindow->AddRemoveEnabled();
    if (RefWindow->SetAddRemoveEnabled) RefWindow->SetAddRemoveEnabled(false);
  }
  DMSRec d;
  ToDMSRounded(d, 2, r.RACenter);
  RAHrText = std::to_string(d.Deg);
  RAMinText = std::to_string(d.Min);
  RASecText = FormatFixed(2, d.Sec);
  ToDMSRounded(d, 1, r.DecCenter);
  // A centre between 0 and -1 degree shows "-0".
  DecDegText = (d.Sign < 0 ? "-" : "") + std::to_string(d.Deg);
  DecMinText = std::to_string(d.Min);
  DecSecText = FormatFixed(1, d.Sec);
  ImageFilter = ImageFilterOf(MeasuredImage);
  SizText = FormatFixed(1, r.FieldSize);
  MagText = FormatFixed(1, r.FaintMag);
  OnLnChecked = IsOnline(settings_.StarCatalog);
  OnLnBoxClick();
}

void FldParmsDlgModel::OnLnBoxClick() {
  ColorEnabled = OnLnChecked;
  ColorIndex = OnLnChecked && CurFldParms.Color < ColorCodeCount
                   ? CurFldParms.Color
                   : static_cast<int>(ColorCode::Red);
}

bool FldParmsDlgModel::ColorMatchesFilter() const {
  const PassbandCode f = ImageFilter;
  switch (settings_.StarCatalog) {
    case CatalogCode::GSC: return true;
    case CatalogCode::NOMAD: break;
    default: return false;  // USNO-B1.0 has no band to match
  }
  switch (ColorIndex) {
    case 0: return f == 0;
    case 1: return f == 1;
    case 2: return f == 2 || f == 3 || f == PassbandNone;
    case 3: return f == 4;
    case 4: return f == 5;
    case 5: return f == 6;
    default: return false;
  }
}

ModalResult FldParmsDlgModel::OKBtnClick() {
  Platform& p = platform_;
  long double ra;
  try {
    ra = StrToFloat(RAHrText) + StrToFloat(RAMinText) / 60.0L + StrToFloat(RASecText) / 3600.0L;
  } catch (const ConvertError&) {
    ra = -1;
  }
  if (!(ra >= 0 && ra <= 24)) {
    ShowError(p, InputErrorCaption, RAInvalidText);
    return ModalResult::None;
  }

  long double dec;
  try {
    const long double deg = StrToFloat(DecDegText);
    long double s = deg < 0 ? -1 : 1;
    // "-0" carries its sign only in the text; the first character decides.
    if (deg == 0) s = !DecDegText.empty() && DecDegText.front() == '-' ? -1 : 1;
    dec = deg + s * StrToFloat(DecMinText) / 60.0L + s * StrToFloat(DecSecText) / 3600.0L;
  } catch (const ConvertError&) {
    dec = 1000;
  }
  if (!(dec >= -90 && dec <= 90)) {
    ShowError(p, InputErrorCaption, DecInvalidText);
    return ModalResult::None;
  }

  // Size and limit as typed; the colour question below leaves the texts
  // alone, so this is what the store step gets.
  std::optional<std::pair<float, float>> entered;
  {
    long double s, m;
    bool read = true;
    try {
      s = StrToFloat(SizText);
      m = StrToFloat(MagText);
    } catch (const ConvertError&) {
      read = false;
    }
    if (read) {
      const float size = static_cast<float>(s), limit = static_cast<float>(m);
      // A value beyond a single's range is no number for these fields; a
      // field without size has nothing to project.
      if (std::isfinite(size) && std::isfinite(limit) && size > 0) entered.emplace(size, limit);
    }
  }
  OptsRec& opts = settings_;
  const bool sizeChanges =
      entered && (entered->first != opts.FieldSize || entered->second != opts.MagLimit);

  // The catalog choice goes into the working copy before anything else can
  // refuse; an online catalog already chosen stays. A changed choice must
  // be saved: left only in the working copy, the next options dialog or the
  // exit would drop it. Each save may ask the administrator about the
  // all-users copy, so one OK saves once: a choice that comes with a new
  // size or limit waits for them, a choice alone is saved at once.
  const CatalogCode oldCatalog = opts.StarCatalog;
  if (!OnLnChecked)
    opts.StarCatalog = CatalogCode::GSC;
  else if (!IsOnline(opts.StarCatalog))
    opts.StarCatalog = CatalogCode::NOMAD;
  bool savePending = opts.StarCatalog != oldCatalog;
  auto save = [&] {
    if (savePending && OptionsChanged) OptionsChanged();
    savePending = false;
  };
  if (!sizeChanges) save();

  if (ImageFilter != PassbandUnknown && !ColorMatchesFilter()) {
    const std::string_view name =
        ImageFilter < FilterNames.size() ? FilterNames[ImageFilter] : std::string_view("X");
    MessageRequest q;
    q.caption = MismatchCaption;
    q.text = "Selected color does not match filter in image header.\r\nImage Filter = \"" +
             std::string(name) +
             "\"\r\n\r\nPress \"OK\" to accept, \"Cancel\" to change color selection.";
    q.icon = MsgIcon::Information;
    q.buttons = Buttons::OKCancel;
    q.sound = Sound::Question;
    if (p.message(q) != ModalResult::OK) {
      save();  // the choice stays written, so it is saved without the size
      return ModalResult::None;
    }
  }

  if (!entered) {
    ShowError(p, InputErrorCaption, NumericInvalidText);
    return ModalResult::None;
  }
  const auto [size, limit] = *entered;

  FldParmsRec& r = CurFldParms;
  r.RACenter = ra;
  r.DecCenter = dec;
  r.FieldSize = size;
  r.FaintMag = limit;
  if (sizeChanges) {
    opts.FieldSize = size;
    opts.MagLimit = limit;
    savePending = true;
  }
  save();
  ComputeSearchBox(r, ra, dec);
  r.MagLimit = r.FaintMag;
  r.Color = ColorIndex >= 0 && ColorIndex < ColorCodeCount ? static_cast<std::uint8_t>(ColorIndex)
                                                           : static_cast<std::uint8_t>(ColorCode::Red);
  RestoreRefWindowItems();
  return ModalResult::OK;
}

ModalResult FldParmsDlgModel::CancelBtnClick() {
  RestoreRefWindowItems();
  return ModalResult::Cancel;
}

void FldParmsDlgModel::RestoreRefWindowItems() {
  if (!RefWindow) return;
  if (RefWindow->SetRegionParametersEnabled) RefWindow->SetRegionParametersEnabled(true);
  if (RefWindow->SetAddRemoveEnabled) RefWindow->SetAddRemoveEnabled(AddRemoveWasEnabled);
}

}  // namespace hv
