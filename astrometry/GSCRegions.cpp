#include "astrometry/GSCRegions.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "app/Folders.h"
#include "astrometry/GSCField.h"
#include "astrometry/OnlineCatalog.h"
#include "astrometry/Progress.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {

std::string CatalogFileErrorText(std::string_view what, const std::filesystem::path& file,
                                 int code) {
  return std::string(what) + "\r\n\r\nFile Name: " + file.string() +
         "\r\nIOResult = " + std::to_string(code);
}

namespace fs = std::filesystem;

std::unique_ptr<GSCRgnsTblObj> GSCRgnsTbl;
std::unique_ptr<TCatlgPathDlg> CatlgPathDlg;
std::unique_ptr<TInfoForm> InfoForm;

// ---- GSCRgnRec ------------------------------------------------------------

void EncodeGSCRgnRec(Encoder& e, const GSCRgnRec& r) {
  e.f64(r.RALow);
  e.f64(r.RAHigh);
  e.f64(r.DecLow);
  e.f64(r.DecHigh);
  e.i32(r.Spare);
}

GSCRgnRec DecodeGSCRgnRec(Decoder& d) {
  GSCRgnRec r;
  r.RALow = d.f64();
  r.RAHigh = d.f64();
  r.DecLow = d.f64();
  r.DecHigh = d.f64();
  r.Spare = d.i32();
  return r;
}

// ---- catalog files ----------------------------------------------------------

namespace {}  // namespace

fs::path FindCatalogFile(const fs::path& location, std::string_view relative) {
  fs::path at = location;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = relative.size();
    if (end > start) {
      const std::string_view part = relative.substr(start, end - start);
      at = at.empty() ? fs::path(std::string(part)) : FindCaseInsensitive(at, part);
    }
    start = end + 1;
  }
  return at;
}

fs::path StripCatalogSubfolder(const fs::path& folder, std::string_view name) {
  fs::path f = folder;
  if (!f.has_filename()) f = f.parent_path();  // drop the trailing separator
  if (!f.empty() && LowerAscii(f.filename().string()) == LowerAscii(std::string(name)) &&
      f.has_parent_path() && f.parent_path() != f)
    return WithSeparator(f.parent_path());
  return WithSeparator(folder);
}

// ---- information box ----------------------------------------------------------

void TInfoForm::ShowText(std::string_view caption, std::string_view text) {
  Caption = std::string(caption);
  Text = std::string(text);
  Visible = true;
  if (Changed) Changed();
}

void TInfoForm::Hide() {
  Visible = false;
  if (Changed) Changed();
}

InfoShown::InfoShown(std::string_view caption, std::string_view text) {
  if (InfoForm) InfoForm->ShowText(caption, text);
}

InfoShown::~InfoShown() {
  if (InfoForm) InfoForm->Hide();
}

// ---- catalog-path dialog --------------------------------------------------------

void TCatlgPathDlg::FormActivate() {
  // Folders keep their case here: only file names are upper-cased.
  DrvEd = Drive.string();
  if (NotFound) {
    DlgText = "Unable to access " + What + " at location \"" + PathTried.string() +
              "\".\r\n\r\nChange drive letter if incorrect, or Press \"Browse\" to locate on "
              "Fixed Disk.";
    platform_.beep(Sound::Exclamation);
  } else {
    DlgText = "Please insert " + What +
              " in CDROM drive shown.  (Change drive letter if incorrect, or Press \"Browse\" "
              "to locate on Fixed Disk.)\r\n\r\n*** Allow CD Drive to Finish Loading Before "
              "Pressing \"OK\". ***";
    platform_.beep(Sound::Default);
  }
}

ModalResult TCatlgPathDlg::OkBtnClick() {
  if (!DrvEd.empty()) Drive = WithSeparator(fs::path(DrvEd));
  return ModalResult::OK;
}

bool BrowseCatlgFolder(Platform& platform, const OptsRec& settings, fs::path& path) {
  std::error_code ec;
  FolderChooser chooser;
  chooser.caption = "Select Folder";
  chooser.start = (!path.empty() && fs::is_directory(path, ec)) ? path : settings.ProgramFolder;
  chooser.allowCreate = true;
  auto chosen = platform.chooseFolder(chooser);
  if (!chosen || chosen->empty()) return false;
  path = WithSeparator(*chosen);
  return true;
}

bool IsDriveRoot(Platform& platform, const OptsRec& settings, const fs::path& v) {
  if (v.empty()) return false;
  const fs::path want = WithSeparator(v);
  if (!settings.CDROMRoot.empty() && WithSeparator(settings.CDROMRoot) == want) return true;
  for (const fs::path& root : platform.opticalDriveRoots())
    if (!root.empty() && WithSeparator(root) == want) return true;
  return false;
}

fs::path DriveFor(Platform& platform, const OptsRec& settings) {
  if (!settings.CDROMRoot.empty()) return WithSeparator(settings.CDROMRoot);
  for (const fs::path& root : platform.opticalDriveRoots())
    if (!root.empty()) return WithSeparator(root);
  return {};
}

// ---- GSCRgnsTblObj ------------------------------------------------------------------

namespace {

ReaderContext TableContext(Platform& platform, const OptsRec& settings) {
  ReaderContext ctx(platform, settings);
  ctx.currentObs = nullptr;  // a table load touches no observation
  ctx.camera = nullptr;
  ctx.camFromFile = nullptr;
  return ctx;
}

long double Piece(std::string_view row, std::size_t offset, std::size_t width) {
  return StrToFloat(row.substr(offset, width));
}

}  // namespace

GSCRgnsTblObj::GSCRgnsTblObj(Platform& platform, const OptsRec& settings)
    : FITSFileObj(TableContext(platform, settings)) {}

GSCRgnsTblObj::~GSCRgnsTblObj() {
  // The header listing of a table load lives until the table is freed.
  if (!HdrFileName.empty()) {
    std::error_code ec;
    fs::remove(HdrFileName, ec);
  }
}

GSCRgnRec GSCRgnsTblObj::ParseRegionRow(std::string_view row) {
  if (row.size() < GSCRegionRowMinWidth) throw ConvertError("regions table row too short");
  GSCRgnRec r;
  r.RALow = static_cast<double>(Piece(row, 7, 2) + Piece(row, 10, 2) / 60.0L +
                                Piece(row, 13, 5) / 3600.0L);
  r.RAHigh = static_cast<double>(Piece(row, 19, 2) + Piece(row, 22, 2) / 60.0L +
                                 Piece(row, 25, 5) / 3600.0L);
  if (r.RAHigh == 0) r.RAHigh = 24;
  long double d1 = Piece(row, 32, 2) + Piece(row, 35, 4) / 60.0L;
  if (row[31] == '-') d1 = -d1;
  long double d2 = Piece(row, 41, 2) + Piece(row, 44, 4) / 60.0L;
  if (row[40] == '-') d2 = -d2;
  r.DecLow = static_cast<double>(std::min(d1, d2));
  r.DecHigh = static_cast<double>(std::max(d1, d2));
  return r;
}

LinkListObj<GSCRgnRec> GSCRgnsTblObj::RegionsFromBlocks(std::span<const std::uint8_t> data,
                                                        std::int32_t width, std::int32_t rows,
                                                        bool throwOnShort) {
  LinkListObj<GSCRgnRec> out;
  out.InsertAfter(GSCRgnRec{});
  if (width < GSCRegionRowMinWidth || width > static_cast<std::int32_t>(FITSBlockSize))
    throw ConvertError("regions table rows of " + std::to_string(width) + " bytes");
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t perBlock = FITSBlockSize / w;
  std::int32_t taken = 0;
  for (std::size_t at = 0; taken < rows && at < data.size(); at += FITSBlockSize) {
    if (data.size() - at < FITSBlockSize) {
      if (throwOnShort) throw FileError({}, 100, "Read beyond end of file");
      break;
    }
    const auto* block = data.data() + at;
    for (std::size_t i = 0; i < perBlock && taken < rows; ++i, ++taken) {
      const std::string_view row(reinterpret_cast<const char*>(block + i * w), w);
      out.InsertAfter(ParseRegionRow(row));
    }
  }
  return out;
}

LinkListObj<GSCRgnRec> GSCRgnsTblObj::RegionsFromBin(std::span<const std::uint8_t> data) {
  LinkListObj<GSCRgnRec> out;
  Decoder d(data);
  while (d.remaining() >= GSCRgnRecSize) out.InsertAfter(DecodeGSCRgnRec(d));
  return out;
}

bool GSCRgnsTblObj::ReadTable() {
  InfoShown info("Guide Star Catalog", "Loading GSC Regions File.");
  BusyCursor busy(platform());
  const std::int32_t w = Header.NAxis1;
  if (w < GSCRegionRowMinWidth || w > static_cast<std::int32_t>(FITSBlockSize)) {
    ShowError(platform(), "FITS File Error!", "Required FITS Keyword Data is Missing or Faulty!");
    return false;
  }
  // Only the blocks that hold the rows are read; the file may end sooner.
  const std::int64_t perBlock = static_cast<std::int64_t>(FITSBlockSize) / w;
  const std::int64_t rows = std::max<std::int32_t>(Header.NAxis2, 0);
  const std::int64_t blocks = (rows + perBlock - 1) / perBlock;
  std::vector<std::uint8_t> data;
  for (std::int64_t b = 0; b < blocks; ++b) {
    const std::size_t n = DataFile.Read(CardBlock.data(), FITSBlockSize);
    data.insert(data.end(), CardBlock.begin(), CardBlock.begin() + static_cast<std::ptrdiff_t>(n));
    if (n < FITSBlockSize) break;
  }
  const fs::path file = DataFile.Path();
  DataFile.Close();
  // Committed only when every row converted.
  try {
    Regions = RegionsFromBlocks(data, w, Header.NAxis2, true);
  } catch (const FileError& e) {
    throw FileError(file, e.code(), "Read beyond end of file: " + file.string());
  }
  return true;
}

bool GSCRgnsTblObj::LoadConvertedTable() {
  Regions.Clear();
  BinaryFile file;
  if (!file.Open(TableFile)) {
    ShowError(platform(), "Converted GSC Regions Error!",
              CatalogFileErrorText("Unable to Open Converted GSC Regions Table!", TableFile,
                                   file.OpenError()));
    return false;
  }
  InfoShown info("Converted Guide Star Catalog", "Loading GSC Regions Data.");
  BusyCursor busy(platform());
  std::vector<std::uint8_t> data;
  std::array<std::uint8_t, 36 * 256> chunk{};
  for (;;) {
    const std::size_t n = file.Read(chunk.data(), chunk.size());
    data.insert(data.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
    if (n < chunk.size()) break;
  }
  file.Close();
  Regions = RegionsFromBin(data);
  return true;
}

void GSCRgnsTblObj::LoadTable(bool prompt) {
  if (Loaded) return;
  const OptsRec& s = settings();
  if (prompt) {
    if (s.GSCFormat != GSCFormatCode::Native) {
      TableFile = FindCatalogFile(fs::path(s.GSCPath1), "TABLES/REGIONS.BIN");
      Loaded = LoadConvertedTable();
      return;
    }
    if (!s.GSCPath1.empty())
      VolumePath = WithSeparator(fs::path(s.GSCPath1));
    else
      // The drive found (or given) at start-up; looked for again without
      // asking, since the question comes at most once per run.
      VolumePath = !s.CDROMRoot.empty() ? WithSeparator(s.CDROMRoot)
                                        : FindCDROMDrive(platform(), {s.ProgramFolder}, false);
    if (VolumePath.empty()) VolumePath = s.ProgramFolder;

    TriedPath = s.ProgramFolder;
    TableFile = FindCatalogFile(s.ProgramFolder, "TABLES/REGIONS.TBL");
    std::error_code ec;
    while (!fs::is_regular_file(TableFile, ec)) {
      Loaded = false;
      if (TriedPath == s.ProgramFolder && VolumePath != s.ProgramFolder) {
        TriedPath = VolumePath;
      } else {
        TCatlgPathDlg local(platform());
        TCatlgPathDlg& dlg = CatlgPathDlg ? *CatlgPathDlg : local;
        if (IsDriveRoot(platform(), s, TriedPath)) {
          dlg.What = "Guide Star Catalog Volume I or II";
          dlg.Drive = TriedPath;
          dlg.Caption = "GSC Regions Table";
          dlg.NotFound = false;
        } else {
          dlg.What = "Guide Star Catalog Regions Table";
          dlg.PathTried = TriedPath;
          dlg.Drive = DriveFor(platform(), s);
          dlg.Caption = "GSC Regions Table Not Found";
          dlg.NotFound = true;
        }
        const ModalResult answer = platform().showDialog(dlg);
        if (answer == ModalResult::OK) {
          VolumePath = dlg.Drive;
        } else if (answer == ModalResult::Retry) {
          if (!BrowseCatlgFolder(platform(), s, VolumePath)) return;
          VolumePath = StripCatalogSubfolder(VolumePath, "TABLES");
        } else {
          return;
        }
      }
      TableFile = FindCatalogFile(VolumePath, "TABLES/REGIONS.TBL");
    }
  }
  // A listing left by an earlier, failed load goes before the next one.
  if (!HdrFileName.empty()) {
    std::error_code ec;
    fs::remove(HdrFileName, ec);
    HdrFileName.clear();
  }
  Loaded = LoadFile(TableFile);
  if (!Loaded)
    ShowError(platform(), "File Error!",
              "Unable to Load GSC Regions File.\r\n\r\nFile Name: " + TableFile.string());
}

bool GSCRgnsTblObj::RegionOverlaps(const FieldBoxRec& box, const GSCRgnRec& g) {
  bool ra = false;
  if (box.RAMax > box.RAMin)
    ra = box.RAMin < g.RAHigh && box.RAMax > g.RALow;
  else if (g.RALow < 12)
    ra = box.RAMax > g.RALow;
  else
    ra = box.RAMin < g.RAHigh;
  const bool dec = box.DecMin < g.DecHigh && box.DecMax > g.DecLow;
  return ra && dec;
}

bool GSCRgnsTblObj::RegionOverlaps(const FieldBoxRec& box, std::int32_t r) {
  const GSCRgnRec* g = Regions.Item(r);
  return g != nullptr && RegionOverlaps(box, *g);
}

void GSCRgnsTblObj::FindRegions(const FieldBoxRec& box,
                                std::array<std::int16_t, GSCMaxRegions>& list,
                                std::int16_t& count) {
  count = 0;
  // A table shorter than the catalog's (a damaged file) ends the scan early.
  const std::int32_t last = std::min(GSCRegionCount, Regions.LastIndex());
  Regions.Reset();
  Regions.Next();  // entry 0
  for (std::int32_t r = 1; r <= last; ++r) {
    const GSCRgnRec* g = Regions.Next();
    if (g == nullptr || !RegionOverlaps(box, *g)) continue;
    if (count < GSCMaxRegions)
      list[static_cast<std::size_t>(count++)] = static_cast<std::int16_t>(r);
    else
      ShowError(platform(), "Region Table Full!", "Field Contains Too Many Regions!");
  }
}

void CreateCatalogObjects(Platform& platform, const OptsRec& settings) {
  GSCRgnsTbl = std::make_unique<GSCRgnsTblObj>(platform, settings);
  CatlgPathDlg = std::make_unique<TCatlgPathDlg>(platform);
  if (!InfoForm) InfoForm = std::make_unique<TInfoForm>();
  GSCField = std::make_unique<GSCFieldObj>(platform, settings);
  GaugeForm2 = std::make_unique<TGaugeForm2>(platform);
  // An online catalog of an earlier run's settings must not outlive them.
  B1Cat.reset();
}

void FreeCatalogObjects() {
  B1Cat.reset();
  GaugeForm2.reset();
  GSCField.reset();
  GSCRgnsTbl.reset();
  CatlgPathDlg.reset();
  InfoForm.reset();
}

}  // namespace hv
