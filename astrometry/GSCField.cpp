#include "astrometry/GSCField.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <system_error>
#include <vector>

#include "app/Folders.h"
#include "astrometry/GSCRegions.h"
#include "support/Format.h"
#include "support/Rounding.h"

namespace hv {

namespace fs = std::filesystem;

std::unique_ptr<GSCFieldObj> GSCField;

// ---- CatStarRec --------------------------------------------------------------

void EncodeCatStarRec(Encoder& e, const CatStarRec& r) {
  e.u8(r.Catalog);
  e.str(r.Name, CatStarCap::Name);
  e.ext(r.RA);
  e.ext(r.Dec);
  e.f32(r.PMRA);
  e.f32(r.PMDec);
  e.f32(r.PosErr);
  e.boolean(r.UsePos);
  e.f32(r.Mag);
  e.f32(r.MagErr);
  e.boolean(r.UseMag);
  e.u8(r.Band);
  e.u8(r.Class);
  e.u8(r.Entries);
  e.ext(r.FieldX);
  e.ext(r.FieldY);
  e.i32(r.ScreenX);
  e.i32(r.ScreenY);
  e.i32(r.StampLevel);
}

CatStarRec DecodeCatStarRec(Decoder& d) {
  CatStarRec r;
  r.Catalog = d.u8();
  r.Name = d.str(CatStarCap::Name);
  r.RA = d.ext();
  r.Dec = d.ext();
  r.PMRA = d.f32();
  r.PMDec = d.f32();
  r.PosErr = d.f32();
  r.UsePos = d.boolean();
  r.Mag = d.f32();
  r.MagErr = d.f32();
  r.UseMag = d.boolean();
  r.Band = d.u8();
  r.Class = d.u8();
  r.Entries = d.u8();
  r.FieldX = d.ext();
  r.FieldY = d.ext();
  r.ScreenX = d.i32();
  r.ScreenY = d.i32();
  r.StampLevel = d.i32();
  return r;
}

bool CatStarRAGreater(const CatStarRec& a, const CatStarRec& b) { return a.RA > b.RA; }

// ---- layout ------------------------------------------------------------------

const std::array<std::int32_t, 25> GSCZoneBounds = {
    0,    593,  1177, 1728, 2258, 2780, 3245, 3651, 4013, 4293, 4491, 4614, 4662,
    5259, 5837, 6411, 6988, 7522, 8021, 8463, 8839, 9133, 9345, 9489, 9537};

const std::array<std::string_view, 24> GSCZoneDirs = {
    "GSC\\N0000\\", "GSC\\N0730\\", "GSC\\N1500\\", "GSC\\N2230\\", "GSC\\N3000\\", "GSC\\N3730\\",
    "GSC\\N4500\\", "GSC\\N5230\\", "GSC\\N6000\\", "GSC\\N6730\\", "GSC\\N7500\\", "GSC\\N8230\\",
    "GSC\\S0000\\", "GSC\\S0730\\", "GSC\\S1500\\", "GSC\\S2230\\", "GSC\\S3000\\", "GSC\\S3730\\",
    "GSC\\S4500\\", "GSC\\S5230\\", "GSC\\S6000\\", "GSC\\S6730\\", "GSC\\S7500\\", "GSC\\S8230\\"};

int GSCZoneOf(std::int32_t r) {
  if (r < 1 || r > GSCZoneBounds.back()) return 0;
  for (int k = 1; k < static_cast<int>(GSCZoneBounds.size()); ++k)
    if (GSCZoneBounds[static_cast<std::size_t>(k)] >= r) return k;
  return 0;
}

namespace {

std::string_view ZoneDir(int k) { return GSCZoneDirs[static_cast<std::size_t>(k - 1)]; }

}  // namespace

std::string GSCRegionFileName(std::int32_t r, std::string_view ext) {
  return ZeroPadded(r, 4) + std::string(ext);
}

std::string GSCRegionText(std::int32_t r) { return ZeroPadded(r, 5); }

// ---- GSCBinRec -----------------------------------------------------------------

void EncodeGSCBinRec(Encoder& e, const GSCBinRec& r) {
  e.i32(r.RA);
  e.i32(r.Dec);
  e.i32(r.Reserved);
  e.i16(r.Mag);
  e.i16(r.PosErr);
  e.i16(r.MagErr);
  e.u8(r.Entries);
  e.u8(r.Zero);
  e.u8(r.Class);
  e.str(r.ID, GSCBinCap::ID);
}

GSCBinRec DecodeGSCBinRec(Decoder& d) {
  GSCBinRec r;
  r.RA = d.i32();
  r.Dec = d.i32();
  r.Reserved = d.i32();
  r.Mag = d.i16();
  r.PosErr = d.i16();
  r.MagErr = d.i16();
  r.Entries = d.u8();
  r.Zero = d.u8();
  r.Class = d.u8();
  r.ID = d.str(GSCBinCap::ID);
  return r;
}

namespace {

std::int16_t RoundToInt16(long double x) {
  const std::int32_t v = RoundToInt32(x);
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, INT16_MIN, INT16_MAX));
}

}  // namespace

GSCBinRec GSCBinRecOf(const CatStarRec& s) {
  GSCBinRec b;
  b.RA = RoundToInt32(s.RA * 1.0e7L);
  // A star a hair short of 24 h rounds to 24 h, a value no reader expects
  // (a box from 0 h misses it); one step short of it keeps the star in
  // range and in its place at the end of the region's RA order.
  if (b.RA >= 240000000) b.RA = 239999999;
  b.Dec = RoundToInt32(s.Dec * 1.0e5L);
  b.Mag = RoundToInt16(s.Mag * 1000.0L);
  b.PosErr = RoundToInt16(s.PosErr * 10.0L);
  b.MagErr = RoundToInt16(s.MagErr * 100.0L);
  b.Entries = s.Entries;
  b.Class = s.Class;
  const std::size_t dash = s.Name.find('-');
  b.ID = dash == std::string::npos ? s.Name : s.Name.substr(dash + 1);
  if (b.ID.size() > GSCBinCap::ID) b.ID.resize(GSCBinCap::ID);
  return b;
}

// ---- GSCFieldObj ------------------------------------------------------------------

GSCFieldObj::GSCFieldObj(Platform& platform, const OptsRec& settings)
    : platform_(platform), settings_(settings) {}

void GSCFieldObj::InitSearch() {
  if (Vol1Path.empty() && GSCRgnsTbl) Vol1Path = GSCRgnsTbl->VolumePath;
  if (Vol2Path.empty()) {
    if (settings_.StarCatalog != CatalogCode::GSC && !settings_.GSCPath2.empty())
      Vol2Path = WithSeparator(fs::path(settings_.GSCPath2));
    else
      Vol2Path = Vol1Path;
  }
  switch (settings_.StarCatalog) {
    case CatalogCode::NOMAD:
      Title = "NOMAD";
      break;
    case CatalogCode::USNOB1:
      Title = "USNO-B1.0";
      break;
    default:
      Title = "STScI Guide Star Catalog";
      break;
  }
  Stars.Clear();
  NumStars = 0;
}

namespace {

std::string_view Cols(std::string_view row, std::size_t offset, std::size_t width) {
  if (offset >= row.size()) return {};
  return row.substr(offset, width);
}

bool AllBlanks(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

std::string Trimmed(std::string_view s) {
  const std::size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  const std::size_t b = s.find_last_not_of(' ');
  return std::string(s.substr(a, b - a + 1));
}

bool RAInBox(long double ra, const FieldBoxRec& box) {
  if (box.RAMin < box.RAMax) return box.RAMin <= ra && ra <= box.RAMax;
  return ra >= box.RAMin || ra <= box.RAMax;
}
bool DecInBox(long double dec, const FieldBoxRec& box) {
  return box.DecMin <= dec && dec <= box.DecMax;
}
bool MagInBox(long double mag, const FieldBoxRec& box) { return mag <= box.MagLimit; }

// A merge weight: the inverse of the error, 10 where no error is given. A
// negative or missing error (damaged row) weighs like none, so that the
// weights can never add up to zero.
long double Weight(float err) { return err > 0 ? 1.0L / err : 10.0L; }

}  // namespace

namespace {

// A column of plain decimal digits ("  -12.34567"): the mantissa as an
// integer divided once by a power of ten, both exact in long double, so the
// quotient is the correctly rounded value StrToFloat gives too, at a
// fraction of its cost (a region holds thousands of rows). Anything else
// (exponents, odd characters, blanks) goes to StrToFloat, which also
// reports the errors.
long double ColumnValue(std::string_view text) {
  std::size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  while (n > i && text[n - 1] == ' ') --n;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = -1;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (++digits > 18) return StrToFloat(text);
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      if (decimals >= 0) ++decimals;
    } else if (c == '.' && decimals < 0) {
      decimals = 0;
    } else {
      return StrToFloat(text);
    }
  }
  if (digits == 0) return StrToFloat(text);
  static constexpr long double kTens[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                          1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                          1e14L, 1e15L, 1e16L, 1e17L, 1e18L};
  long double v = static_cast<long double>(mantissa);
  if (decimals > 0) v /= kTens[decimals];
  return negative ? -v : v;
}

}  // namespace

long double GSCFieldObj::RowRA(std::string_view row) { return ColumnValue(Cols(row, 5, 9)); }
long double GSCFieldObj::RowDec(std::string_view row) { return ColumnValue(Cols(row, 14, 9)); }
long double GSCFieldObj::RowMag(std::string_view row) { return ColumnValue(Cols(row, 28, 5)); }

bool GSCFieldObj::RowInField(std::string_view row, const FieldBoxRec& box) {
  if (row.size() < GSCRawRowSize || AllBlanks(row.substr(0, 5))) return false;
  // Cheapest test first: most rows of a region lie outside the box in RA.
  if (!RAInBox(RowRA(row) / 15.0L, box)) return false;
  if (!DecInBox(RowDec(row), box)) return false;
  // Compared as the single the star keeps, so a limit equal to it admits it.
  return MagInBox(static_cast<float>(RowMag(row)), box);
}

void GSCFieldObj::ParseGSCRow(std::string_view row, CatStarRec& star) {
  if (row.size() < GSCRawRowSize) throw ConvertError("catalog row too short");
  star = CatStarRec{};
  star.Catalog = 0;
  std::string name = Trimmed(row.substr(0, 5));
  if (name.size() < 5) name.insert(0, 5 - name.size(), '0');
  star.Name = name;
  star.RA = RowRA(row);
  star.Dec = RowDec(row);
  star.Entries = 1;
  star.PMRA = star.PMDec = 0;
  star.PosErr = static_cast<float>(ColumnValue(row.substr(23, 5)));
  star.UsePos = true;
  star.Mag = static_cast<float>(RowMag(row));
  star.UseMag = true;
  star.MagErr = static_cast<float>(ColumnValue(row.substr(33, 4)));
  star.Class = static_cast<std::uint8_t>(row[39] - '0');
  star.Band = 8;
}

void GSCFieldObj::TakeRawRows(std::span<const std::uint8_t> rows, std::int32_t r,
                              const FieldBoxRec& box) {
  const std::string prefix = GSCRegionText(r) + "-";
  RawRows.GoLast();
  for (std::size_t at = 0; rows.size() - at >= GSCRawRowSize; at += GSCRawRowSize) {
    const std::string_view row(reinterpret_cast<const char*>(rows.data() + at), GSCRawRowSize);
    if (!RowInField(row, box)) continue;
    CatStarRec star;
    ParseGSCRow(row, star);
    star.Name = prefix + star.Name;
    RawRows.GoLast();
    RawRows.InsertAfter(star);
    if (star.Class == 0) {
      MinMag = std::min(MinMag, star.Mag);
      MaxMag = std::max(MaxMag, star.Mag);
    }
  }
}

void CatStarList::AddSorted(std::vector<CatStarRec>& batch) {
  const auto less = [](const CatStarRec& a, const CatStarRec& b) { return CatStarRAGreater(b, a); };
  // The online service sends its stars in RA order already.
  if (!std::is_sorted(batch.begin(), batch.end(), less))
    std::stable_sort(batch.begin(), batch.end(), less);
  // Each star goes after the last listed star whose RA is not greater (no
  // cursor: in front of the first).
  Reset();
  for (CatStarRec& star : batch) {
    for (;;) {
      const CatStarRec* next = Next();
      if (next == nullptr) {
        GoLast();
        break;
      }
      if (CatStarRAGreater(*next, star)) {
        Prev();
        break;
      }
    }
    if (CurrentItem() == nullptr)
      InsertFirst(std::move(star));
    else
      InsertAfter(std::move(star));
  }
  batch.clear();
}

// ---- GSCEntryMerge -----------------------------------------------------------------

void GSCEntryMerge::Add(const CatStarRec& row) {
  if (n_ == 0) refRA_ = row.RA;
  // The difference from the first entry, taken the short way round.
  long double d = row.RA - refRA_;
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  const long double wi = Weight(row.PosErr);
  const long double vi = Weight(row.MagErr);
  w_ += wi;
  wdRA_ += wi * d;
  wDec_ += wi * row.Dec;
  v_ += vi;
  vMag_ += vi * row.Mag;
  class_ = std::max(class_, row.Class);
  // The group shares its name; the flags come from its last row.
  if (n_ == 0) last_.Name = row.Name;
  last_.Catalog = row.Catalog;
  last_.Band = row.Band;
  last_.UsePos = row.UsePos;
  last_.UseMag = row.UseMag;
  ++n_;
}

CatStarRec GSCEntryMerge::Star() const {
  CatStarRec star;
  if (n_ == 0) return star;
  star.Name = last_.Name;
  star.Catalog = last_.Catalog;
  star.Band = last_.Band;
  star.UsePos = last_.UsePos;
  star.UseMag = last_.UseMag;
  long double ra = refRA_ + wdRA_ / w_;
  if (ra < 0) ra += 360;
  if (ra >= 360) ra -= 360;
  star.RA = ra / 15.0L;
  star.Dec = wDec_ / w_;
  star.Mag = static_cast<float>(vMag_ / v_);
  const long double root = std::sqrt(static_cast<long double>(n_));
  star.PosErr = static_cast<float>(root / w_);
  star.MagErr = static_cast<float>(root / v_);
  star.PMRA = star.PMDec = 0;
  star.Class = class_;
  star.Entries = static_cast<std::uint8_t>(std::min<std::int32_t>(n_, 255));
  return star;
}

void GSCFieldObj::MergeEntries() {
  NumStars = 0;
  std::vector<CatStarRec> merged;
  auto it = RawRows.begin();
  while (it != RawRows.end()) {
    const std::string name = it->Name;
    GSCEntryMerge merge;
    for (; it != RawRows.end() && it->Name == name; ++it) merge.Add(*it);
    CatStarRec star = merge.Star();
    if (star.Class == 0) ++NumStars;
    merged.push_back(std::move(star));
  }
  Stars.AddSorted(merged);
}

bool GSCFieldObj::InField(const CatStarRec& star, const FieldBoxRec& box) {
  return RAInBox(star.RA, box) && DecInBox(star.Dec, box) && MagInBox(star.Mag, box);
}

std::int32_t GSCFieldObj::NearestStar(std::int32_t x, std::int32_t y, CatStarRec*& star) {
  long double best = 100;
  std::int32_t index = -1, i = 0;
  for (const CatStarRec& s : Stars) {
    const long double dx = x - s.FieldX, dy = y - s.FieldY;
    const long double d = std::sqrt(dx * dx + dy * dy);
    if (d < best) {
      best = d;
      index = i;
    }
    ++i;
  }
  if (index >= 0) star = Stars.Item(index);
  return index;
}

bool GSCFieldObj::OpenRegionFile(std::int16_t r) {
  RegionFile.Close();
  const int k = GSCZoneOf(r);
  if (k == 0) return false;
  const std::string name = GSCRegionFileName(r, ".GSC");
  const std::string rel = std::string(ZoneDir(k)) + name;
  const bool vol2 = k > GSCLastZoneOfVol1;
  fs::path v = vol2 ? Vol2Path : Vol1Path;
  std::error_code ec;
  fs::path file = FindCatalogFile(settings_.ProgramFolder, rel);
  if (!fs::is_regular_file(file, ec)) file = FindCatalogFile(v, rel);
  while (!fs::is_regular_file(file, ec)) {
    TCatlgPathDlg local(platform_);
    TCatlgPathDlg& dlg = CatlgPathDlg ? *CatlgPathDlg : local;
    dlg.What = vol2 ? "Guide Star Catalog Volume II" : "Guide Star Catalog Volume I";
    if (IsDriveRoot(platform_, settings_, v)) {
      dlg.Drive = v;
      dlg.Caption = "Change GSC Volume";
      dlg.NotFound = false;
    } else {
      dlg.PathTried = v;
      dlg.Drive = DriveFor(platform_, settings_);
      dlg.Caption = "GSC File Error!";
      dlg.NotFound = true;
    }
    const ModalResult answer = platform_.showDialog(dlg);
    if (answer == ModalResult::OK) {
      v = dlg.Drive;
    } else if (answer == ModalResult::Retry) {
      if (!BrowseCatlgFolder(platform_, settings_, v)) return false;
      v = StripCatalogSubfolder(v, "GSC");
    } else {
      return false;
    }
    file = FindCatalogFile(v, rel);
  }
  (vol2 ? Vol2Path : Vol1Path) = v;
  if (!RegionFile.Open(file)) {
    ShowError(platform_, "GSC File Error!",
              CatalogFileErrorText("Unable to Open GSC File!", file, RegionFile.OpenError()));
    return false;
  }
  RegionFile.Seek(GSCRawHeaderSize);
  return true;
}

namespace {

std::vector<std::uint8_t> ReadRest(BinaryFile& file) {
  std::vector<std::uint8_t> data;
  std::vector<std::uint8_t> chunk(GSCRawRowSize * 1024);
  for (;;) {
    const std::size_t n = file.Read(chunk.data(), chunk.size());
    data.insert(data.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
    if (n < chunk.size()) break;
  }
  return data;
}

}  // namespace

bool GSCFieldObj::SearchRegions(const FieldBoxRec& box, std::span<const std::int16_t> list,
                                std::int16_t count) {
  InfoShown info("Guide Star Catalog", "Searching Selected GSC Regions.");
  BusyCursor busy(platform_);
  RawRows.Clear();
  Stars.Clear();
  MinMag = 25;
  MaxMag = -2;
  NumStars = 0;  // counts only this search's stars
  const std::size_t n = std::min<std::size_t>(count > 0 ? count : 0, list.size());
  switch (settings_.GSCFormat) {
    case GSCFormatCode::Converted:
      ReadToolkitRegion(box, list, static_cast<std::int16_t>(n));
      break;
    case GSCFormatCode::Quillan:
      ReadQuillanRegion(box, list, static_cast<std::int16_t>(n));
      break;
    default: {
      for (std::size_t i = 0; i < n; ++i) {
        if (!OpenRegionFile(list[i])) return false;
        std::vector<std::uint8_t> rows;
        try {
          rows = ReadRest(RegionFile);
        } catch (...) {
          RegionFile.Close();
          throw;
        }
        RegionFile.Close();
        TakeRawRows(rows, list[i], box);
      }
      if (!RawRows.IsEmpty()) MergeEntries();
      break;
    }
  }
  return !Stars.IsEmpty();
}

void GSCFieldObj::CountStar(const CatStarRec& star) {
  if (star.Class != 0) return;
  MinMag = std::min(MinMag, star.Mag);
  MaxMag = std::max(MaxMag, star.Mag);
  ++NumStars;
}

void GSCFieldObj::TakeBinRecords(std::span<const std::uint8_t> data, std::int32_t r,
                                 const FieldBoxRec& box, bool quillan) {
  const std::string prefix = GSCRegionText(r) + "-";
  CatStarRec tmpl;
  tmpl.Catalog = 0;
  tmpl.Band = 8;
  tmpl.Entries = 1;
  tmpl.UsePos = tmpl.UseMag = true;
  std::vector<CatStarRec> taken;
  Decoder d(data);
  while (d.remaining() >= GSCBinRecSize) {
    const GSCBinRec b = DecodeGSCBinRec(d);
    CatStarRec star = tmpl;
    star.Name = b.ID;
    star.RA = b.RA / 1.0e7L;
    star.Dec = b.Dec / 1.0e5L;
    star.Mag = static_cast<float>(b.Mag / 1000.0L);
    if (!quillan) {
      star.PosErr = static_cast<float>(b.PosErr / 10.0L);
      star.MagErr = static_cast<float>(b.MagErr / 100.0L);
      star.Class = b.Class;
      star.Entries = b.Entries;
    }
    if (!InField(star, box)) continue;
    star.Name = prefix + b.ID;
    CountStar(star);
    taken.push_back(std::move(star));
  }
  Stars.AddSorted(taken);
}

void GSCFieldObj::ReadConverted(const FieldBoxRec& box, std::span<const std::int16_t> list,
                                std::int16_t count, bool quillan) {
  const std::size_t n = std::min<std::size_t>(count > 0 ? count : 0, list.size());
  for (std::size_t i = 0; i < n; ++i) {
    const std::int32_t r = list[i];
    const int k = GSCZoneOf(r);
    if (k == 0) continue;
    // One folder holds a whole converted catalog: without a second
    // location, volume II's zones are under the first.
    std::string location = k > GSCLastZoneOfVol1 ? settings_.GSCPath2 : settings_.GSCPath1;
    if (location.empty()) location = settings_.GSCPath1;
    const fs::path file = FindCatalogFile(WithSeparator(fs::path(location)),
                                          std::string(ZoneDir(k)) + GSCRegionFileName(r, ".BIN"));
    BinaryFile f;
    if (!f.Open(file)) {
      if (quillan)
        ShowError(platform_, "Quillan GSC File Error!",
                  CatalogFileErrorText("Unable to Open Quillan GSC File!", file, f.OpenError()));
      else
        ShowError(platform_, "Converted GSC File Error!",
                  CatalogFileErrorText("Unable to Open Converted GSC File!", file, f.OpenError()));
      return;
    }
    const std::vector<std::uint8_t> data = ReadRest(f);
    f.Close();
    TakeBinRecords(data, r, box, quillan);
  }
}

void GSCFieldObj::ReadToolkitRegion(const FieldBoxRec& box, std::span<const std::int16_t> list,
                                    std::int16_t count) {
  ReadConverted(box, list, count, false);
}

void GSCFieldObj::ReadQuillanRegion(const FieldBoxRec& box, std::span<const std::int16_t> list,
                                    std::int16_t count) {
  ReadConverted(box, list, count, true);
}

}  // namespace hv
