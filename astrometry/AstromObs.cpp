#include "astrometry/AstromObs.h"

#include <cmath>

#include "support/DateTime.h"
#include "support/Files.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {
namespace fs = std::filesystem;

namespace {
// The CSV export's Julian dates are given less this.
constexpr long double kCSVJulianOffset = 2450000.0L;
constexpr std::size_t kWidth = 80;
constexpr const char* kBandLetters = "BVRIJHK";

std::string Pad(std::int64_t v, std::size_t width, char fill = '0') {
  std::string s = std::to_string(v);
  if (s.size() < width) s.insert(0, width - s.size(), fill);
  return s;
}

std::string PadFront(std::string s, std::size_t width, char fill) {
  if (s.size() < width) s.insert(0, width - s.size(), fill);
  return s;
}

// Writes text into line from column col (counted from 1), cut at the line's end.
void Put(std::string& line, std::size_t col, std::string_view text) {
  for (std::size_t i = 0; i < text.size() && col - 1 + i < line.size(); ++i)
    line[col - 1 + i] = text[i];
}


// A right ascension rounded once to 0.01 s of time and wrapped at 24 h.
struct RAParts {
  std::int64_t h, m;
  std::string sec;  // "ss.ss"
};
RAParts SplitRA(long double hours) {
  long double r = std::fmod(hours, 24.0L);
  if (r < 0) r += 24.0L;
  std::int64_t cs = RoundToInt64(r * 360000.0L) % 8640000;
  return {cs / 360000, cs / 6000 % 60, Pad(cs % 6000 / 100, 2) + "." + Pad(cs % 100, 2)};
}

// A declination rounded once to 0.1 arc second; the sign is the value's,
// also when the rounded parts are all zero.
struct DecParts {
  char sign;
  std::int64_t d, m;
  std::string sec;  // "ss.s"
};
DecParts SplitDec(long double deg) {
  const std::int64_t ds = RoundToInt64(std::fabs(deg) * 36000.0L);
  return {deg < 0 ? '-' : '+', ds / 36000, ds / 600 % 60,
          Pad(ds % 600 / 10, 2) + "." + std::to_string(ds % 10)};
}

void PutPosition(std::string& line, const RefStarRec& t, std::size_t raCol, std::size_t decCol) {
  const RAParts ra = SplitRA(t.RA);
  Put(line, raCol, Pad(ra.h, 2));
  Put(line, raCol + 3, Pad(ra.m, 2));
  Put(line, raCol + 6, ra.sec);
  const DecParts dec = SplitDec(t.Dec);
  Put(line, decCol, std::string(1, dec.sign));
  Put(line, decCol + 1, Pad(dec.d, 2));
  Put(line, decCol + 4, Pad(dec.m, 2));
  Put(line, decCol + 7, dec.sec);
}

std::string CSVField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}
}  // namespace

void EncodeObsRec(Encoder& e, const ObsRec& r) {
  EncodeObsParmsRec(e, r.Parms);
  EncodeRefStarRec(e, r.Target);
}

ObsRec DecodeObsRec(Decoder& d) {
  ObsRec r;
  r.Parms = DecodeObsParmsRec(d);
  r.Target = DecodeRefStarRec(d);
  return r;
}

bool ObsTimeGreater(const ObsRec& a, const ObsRec& b) { return a.Parms.ObsTime > b.Parms.ObsTime; }
bool ObsTimeEqual(const ObsRec& a, const ObsRec& b) { return a.Parms.ObsTime == b.Parms.ObsTime; }

// ---- texts ----

std::string FormatNames(std::string_view names) {
  std::string s;
  // Lower case, blank runs made one blank, no blank at either end.
  for (char c : names) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == ' ' && (s.empty() || s.back() == ' ')) continue;
    s += c;
  }
  if (!s.empty() && s.back() == ' ') s.pop_back();
  if (s.empty()) return s;

  // Each word followed by a blank becomes its initial and a point, unless
  // it already ends in "." or ",".
  std::string t;
  std::size_t wordStart = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ' ') {
      const char prev = i > 0 ? s[i - 1] : ' ';
      if (prev != '.' && prev != ',') t.resize(wordStart + 1), t += '.';
      t += ' ';
      wordStart = t.size();
    } else {
      t += s[i];
    }
  }
  // A blank after every inner "." that has none.
  std::string u;
  for (std::size_t i = 0; i < t.size(); ++i) {
    u += t[i];
    if (t[i] == '.' && i + 1 < t.size() && t[i + 1] != ' ') u += ' ';
  }
  for (std::size_t i = 0; i < u.size(); ++i)
    if ((i == 0 || u[i - 1] == ' ') && u[i] >= 'a' && u[i] <= 'z')
      u[i] = static_cast<char>(u[i] - 'a' + 'A');
  return u;
}

std::vector<std::string> BreakHeaderLine(const std::string& line, std::string_view keyword) {
  const std::string prefix = std::string(keyword) + " ";
  std::vector<std::string> out;
  std::string cur = line;
  while (cur.size() > kWidth) {
    std::size_t cut, skip;
    const std::size_t comma = cur.rfind(',', kWidth - 1);
    const std::size_t blank = cur.rfind(' ', kWidth);
    if (comma != std::string::npos && comma >= prefix.size()) {
      cut = comma + 1;
      skip = cur[cut] == ' ' ? 1 : 0;  // only the blank of ", " goes
    } else if (blank != std::string::npos && blank >= prefix.size()) {
      cut = blank;  // one long name: break between words
      skip = 1;
    } else {
      cut = kWidth;  // one word longer than a line
      skip = 0;
    }
    out.push_back(cur.substr(0, cut));
    cur = prefix + cur.substr(cut + skip);
  }
  out.push_back(cur);
  return out;
}

std::vector<std::string> ExerciseTitleLines() {
  std::string one(kWidth, ' '), two(kWidth, ' ');
  Put(one, 22, "Obs Date");
  Put(one, 34, "Obs UT");
  Put(one, 44, "Right Ascn.");
  Put(one, 57, "Declination");
  Put(one, 70, "App.");
  Put(two, 1, "Object Name");
  Put(two, 22, "Yr");
  Put(two, 27, "M");
  Put(two, 30, "D");
  Put(two, 34, "H");
  Put(two, 37, "M");
  Put(two, 40, "S");
  Put(two, 44, "Hr");
  Put(two, 47, "Mn");
  Put(two, 50, "Sec");
  Put(two, 58, "\xB0");
  Put(two, 61, "'");
  Put(two, 64, "\"");
  Put(two, 70, "Mag");
  return {std::string(kWidth, ' '), one, two};
}

std::string ExerciseLine(const ObsRec& r) {
  std::string line(kWidth, ' ');
  // The name may hold 68 characters; the table keeps its first 21.
  Put(line, 1, std::string_view(r.Parms.ObjName).substr(0, 21));
  const CivilSecond c = SplitToSecond(r.Parms.ObsTime);
  Put(line, 22, Pad(c.Year, 4));
  Put(line, 27, Pad(c.Month, 2));
  Put(line, 30, Pad(c.Day, 2));
  Put(line, 34, Pad(c.Hour, 2));
  Put(line, 37, Pad(c.Minute, 2));
  Put(line, 40, Pad(c.Second, 2));
  PutPosition(line, r.Target, 44, 57);
  if (r.Target.Mag != 0) {
    const bool fine = r.Target.MagResid < 0.05L;
    Put(line, 70, PadFront(FormatFixed(fine ? 2 : 1, r.Target.Mag), fine ? 5 : 4, '0'));
  }
  return line;
}

std::string MPCLine(const ObsRec& r, const SiteRec& site) {
  std::string line(kWidth, ' ');
  Put(line, 1, std::string_view(r.Parms.Number).substr(0, 5));
  Put(line, 6, std::string_view(r.Parms.Designation).substr(0, 7));
  if (r.Parms.Discovery) Put(line, 13, "*");
  Put(line, 15, "C");
  // The time rounded once to 0.00001 day (864 ms), then split into date and
  // fraction. Counted from whole milliseconds, so that a half is a true half.
  const std::int64_t ms = RoundToInt64(static_cast<long double>(r.Parms.ObsTime) * 86400000.0L);
  std::int64_t units = ms / 864, rest = ms % 864;
  if (rest < 0) {
    rest += 864;
    --units;
  }
  if (2 * rest > 864 || (2 * rest == 864 && units % 2 != 0)) ++units;
  std::int64_t days = units / 100000, frac = units % 100000;
  if (frac < 0) {
    frac += 100000;
    --days;
  }
  std::int32_t year;
  int month, day;
  DecodeDate(static_cast<double>(days), year, month, day);
  Put(line, 16, Pad(year, 4));
  Put(line, 21, Pad(month, 2));
  Put(line, 24, Pad(day, 2) + "." + Pad(frac, 5));
  PutPosition(line, r.Target, 33, 45);
  if (r.Target.Mag != 0) {
    Put(line, 66, PadFront(FormatFixed(1, r.Target.Mag), 4, '0'));
    if (r.Target.Band < 7) Put(line, 71, std::string(1, kBandLetters[r.Target.Band]));
  }
  Put(line, 78, site.Code.empty() ? std::string("XXX") : PadFront(site.Code.substr(0, 3), 3, '0'));
  return line;
}

std::string CSVLine(const ObsRec& r) {
  // Date and time from the time rounded once to the second; the Julian date
  // from the time as stored.
  DateTimeRec shown, exact;
  shown.SetFromDateTime(RoundDateTime(r.Parms.ObsTime, 0));
  exact.SetFromDateTime(r.Parms.ObsTime);
  std::string s = CSVField(r.Parms.ObjName);
  s += "," + shown.FormatMMDDYYYY();
  s += "," + Pad(shown.LocalTime.Hour, 2, ' ') + ":" + Pad(shown.LocalTime.Minute, 2) + ":" +
       Pad(RoundToInt32(shown.LocalTime.Second), 2) + " ";
  s += "," + FormatFixed(6, exact.JulianDate() - kCSVJulianOffset);
  // Rounded to the field's 6 decimals first, then wrapped at 24 h.
  long double ra = std::fmod(r.Target.RA, 24.0L);
  if (ra < 0) ra += 24.0L;
  std::int64_t micro = RoundToInt64(ra * 1e6L) % 24000000;
  s += "," + FormatFixed(6, static_cast<long double>(micro) / 1e6L);
  s += "," + FormatFixed(5, r.Target.Dec);
  s += ",";
  if (r.Target.Mag != 0) s += FormatFixed(1, r.Target.Mag);
  return s;
}

std::string CSVText(const ObsRecList& list) {
  std::string out = "Astrometric Results\r\n\r\n";
  out += "Object Name,Date,Time,Julian Date*,Right Ascension(hrs),Declination(deg),Magnitude\r\n";
  for (const ObsRec& r : list) out += CSVLine(r) + "\r\n";
  out += "\r\n,,,* minus " + FormatFixed(1, kCSVJulianOffset) + "\r\n";
  return out;
}

std::vector<std::string> MPCHeaderLines(const UserRec& user, const SiteRec& site,
                                        const ClockReading& now) {
  std::vector<std::string> out;
  auto add = [&](const std::vector<std::string>& lines) {
    out.insert(out.end(), lines.begin(), lines.end());
  };
  out.push_back("COD " + (site.Code.empty() ? std::string("XXX") : site.Code));
  if (!site.Telescope.empty()) out.push_back("TEL " + site.Telescope + " + CCD");
  if (!user.ContactName.empty()) {
    std::string con = "CON " + FormatNames(user.ContactName);
    for (const std::string* part :
         {&user.Institution, &user.Street, &user.CityStateZip, &user.Country})
      if (!part->empty()) con += ", " + *part;
    add(BreakHeaderLine(con, "CON"));
  }
  if (!user.EMail.empty()) out.push_back("CON [" + user.EMail + "]");
  if (user.Observers.empty())
    out.push_back("OBS *NO OBSERVERS LISTED - EDIT USER PARAMETERS*");
  else
    add(BreakHeaderLine("OBS " + FormatNames(user.Observers), "OBS"));
  if (!user.Measurers.empty()) add(BreakHeaderLine("MEA " + FormatNames(user.Measurers), "MEA"));
  out.push_back("NET");
  out.push_back("ACK " + ("Report Generated " + PrintDateTime(now)).substr(0, 76));
  return out;
}

std::string DefaultReportFileName(const ClockReading& today) {
  const int m = today.month >= 1 && today.month <= 12 ? today.month : 1;
  return std::string(MonthNames[static_cast<std::size_t>(m)].substr(0, 3)) +
         std::to_string(today.day) + "RPT.TXT";
}

// ---- the report object ----

AstromObsObj::AstromObsObj(Platform& platform, ReportHost& host)
    : ListForm(std::make_unique<AstromListModel>(platform, host, *this)),
      platform_(platform),
      host_(host) {
  ListForm->SavedFileName.clear();
}

void AstromObsObj::SetParms(const UserRec* user, const CamRec* camera, const SiteRec* site,
                            bool clear) {
  if (user) User = *user;
  if (camera) {
    Camera = *camera;
    CamFromFile = 0;
  }
  if (site) Site = *site;
  if (clear) {
    Observations.Clear();
    host_.SetViewPrintSaveEnabled(false);
    host_.SetReportSaved(true);
  }
  if (ListForm->Visible) ShowExerciseReport();
}

void AstromObsObj::AddObservation(const RefStarRec& target, const ObsParmsRec& parms) {
  ObsRec r;
  r.Parms = parms;
  r.Target = target;
  Observations.InsertSorted(r);
  host_.EnableReportMenu();
  host_.SetViewPrintSaveEnabled(true);
  host_.SetReportSaved(false);
}

void AstromObsObj::EnsureDefaultFileName() {
  if (ListForm->SavedFileName.empty())
    ListForm->SavedFileName = DefaultReportFileName(platform_.now());
}

void AstromObsObj::ShowExerciseReport() {
  EnsureDefaultFileName();
  AstromListModel& w = *ListForm;
  w.MPCHeader = false;
  w.EditHeaderVisible = false;
  w.Caption = "Astrometric Results";
  std::vector<std::string> lines = ExerciseTitleLines();
  w.FirstDataLine = static_cast<std::int32_t>(lines.size());
  for (const ObsRec& r : Observations) lines.push_back(ExerciseLine(r));
  w.SetLines(std::move(lines));
  w.Show();
}

void AstromObsObj::AddShortHeader() {
  AstromListModel& w = *ListForm;
  w.Caption = std::string("Formatted Astrometric Results") + " - " +
              (host_.ReportSaved() ? "" : " (Modified)");
  w.MPCHeader = true;
  w.SetLines(MPCHeaderLines(User, Site, platform_.now()));
}

void AstromObsObj::ShowMPCReport() {
  EnsureDefaultFileName();
  AstromListModel& w = *ListForm;
  w.EditHeaderVisible = true;
  AddShortHeader();
  std::vector<std::string> lines = w.Lines();
  lines.push_back(std::string(kWidth, ' '));
  w.FirstDataLine = static_cast<std::int32_t>(lines.size());
  for (const ObsRec& r : Observations) lines.push_back(MPCLine(r, Site));
  w.SetLines(std::move(lines));
  w.Show();
}

bool AstromObsObj::SaveSpreadsheet() {
  EnsureDefaultFileName();
  AstromListModel& w = *ListForm;
  if (w.SavedFolder.empty()) w.SavedFolder = host_.ReportFolder();
  std::string proposed = w.CSVFileName;
  if (proposed.empty()) proposed = w.SavedFileName.substr(0, w.SavedFileName.find('.')) + ".CSV";

  fs::path chosen;
  for (;;) {
    FileChooser request;
    request.caption = "Save Report for Spreadsheet";
    request.folder = w.SavedFolder;
    request.filter = "Comma-Delimited Text  (*.CSV) |*.CSV";
    request.fileName = proposed;
    request.defaultExt = "CSV";
    const std::optional<FileChoice> choice = platform_.saveFile(request);
    if (!choice || choice->files.empty()) return false;
    // Only the file name is upper-cased; the folder is the one chosen.
    const fs::path& picked = choice->files.front();
    chosen = picked.parent_path() / UpperAscii(picked.filename().string());
    std::error_code ec;
    if (!host_.NoConfirm() && fs::exists(chosen, ec)) {
      if (!AskYesNo(
              platform_, "Replace Existing File?",
              chosen.filename().string() + " Already Exists!\n\nDo You Want to Overwrite It?")) {
        proposed = chosen.filename().string();
        continue;
      }
    }
    break;
  }
  w.CSVFileName = chosen.filename().string();
  w.SavedFolder = chosen.parent_path();
  try {
    WriteFileAtomic(chosen, CSVText(Observations));
  } catch (const FileError& e) {
    ShowError(platform_, "File Error!", w.CSVFileName + ": " + IOErrorText(e.code()));
    return false;
  }
  if (!host_.NoConfirm())
    ShowInfo(platform_, "Text File Written",
             "Report Written to " + w.CSVFileName + " for Spreadsheet Input.");
  host_.SpreadsheetWritten(chosen);
  w.Printed = true;
  return true;
}

}  // namespace hv
