#pragma once
// The Guide Star Catalog's regions table (the catalog's FITS ASCII table
// "REGIONS.TBL" or the converted "REGIONS.BIN"), the regions that overlap a
// search box, and where the catalog is: the program folder first, then the
// configured location or the optical drive, and only then the student.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "astrometry/FldParms.h"
#include "images/FITSFile.h"
#include "platform/Platform.h"
#include "support/Codec.h"
#include "support/LinkList.h"

namespace hv {

// The catalog's regions are numbered 1 to this.
constexpr std::int32_t GSCRegionCount = 9537;
// At most this many regions take part in one field search.
constexpr std::int32_t GSCMaxRegions = 12;

// One region box; also the record of "REGIONS.BIN".
constexpr std::size_t GSCRgnRecSize = 36;
struct GSCRgnRec {
  double RALow = 0;    // hours
  double RAHigh = 0;   // hours; 24 where the table gives 0
  double DecLow = 0;   // degrees, the smaller edge
  double DecHigh = 0;  // degrees
  std::int32_t Spare = 0;

  bool operator==(const GSCRgnRec&) const = default;
};
void EncodeGSCRgnRec(Encoder& e, const GSCRgnRec& r);
// Reads exactly GSCRgnRecSize bytes; DecodeError when they end early.
GSCRgnRec DecodeGSCRgnRec(Decoder& d);

// Byte width the table rows need: the last field read ends at offset 47.
constexpr std::int32_t GSCRegionRowMinWidth = 48;

// The text of a catalog file error box: what, an empty line, the file's
// name and its I/O result code, on lines ended by CR LF.
std::string CatalogFileErrorText(std::string_view what, const std::filesystem::path& file,
                                 int code);

// The catalog file at location + relative ("TABLES/REGIONS.TBL",
// "GSC/N0000/0001.GSC"; "\" also separates), each part found without regard
// to case. Parts not found are kept as written.
std::filesystem::path FindCatalogFile(const std::filesystem::path& location,
                                      std::string_view relative);

// The location with one trailing folder named like `name` (any case)
// removed: choosing a catalog's TABLES or GSC folder itself means the
// catalog folder. Other folders come back unchanged, with a separator.
std::filesystem::path StripCatalogSubfolder(const std::filesystem::path& folder,
                                            std::string_view name);

// The information box shown while catalogs load (TInfoForm): a caption and
// one centred bold line. The form shows, hides and repaints at once when
// told through Changed.
class TInfoForm {
 public:
  std::string Caption;
  std::string Text;  // Label1
  bool Visible = false;
  std::function<void()> Changed;

  void ShowText(std::string_view caption, std::string_view text);
  void Hide();
};

// Shows the box for one load and hides it again however the load ends.
class InfoShown {
 public:
  InfoShown(std::string_view caption, std::string_view text);
  ~InfoShown();
  InfoShown(const InfoShown&) = delete;
  InfoShown& operator=(const InfoShown&) = delete;
};

// The catalog-path dialog (TCatlgPathDlg) without its widgets. Callers set
// What, PathTried, Drive, NotFound and Caption, show it and read the modal
// result: OK (take Drive), Cancel (give up), Retry (browse). Here a "drive"
// is the mount folder of the optical drive, ending with a separator.
class TCatlgPathDlg : public DialogModel {
 public:
  explicit TCatlgPathDlg(Platform& platform) : platform_(platform) {}
  std::string_view dialogName() const override { return "TCatlgPathDlg"; }

  static constexpr const char* DefaultCaption = "Guide Star Catalog";

  std::string Caption = DefaultCaption;
  std::filesystem::path Drive;  // shown in DrvEd and returned
  std::string What;
  bool NotFound = false;
  std::filesystem::path PathTried;

  // --- what the form shows ---
  std::string DlgText;
  std::string DrvLbl = "CD-ROM Drive";
  std::string DrvEd;  // typed back by the form before OK

  // Runs once when the dialog is shown: the entry and the request text,
  // with the exclamation (not found) or information sound.
  void FormActivate();
  // Drive := the entry as a folder. An empty entry keeps the drive shown
  // when the dialog opened.
  ModalResult OkBtnClick();

 private:
  Platform& platform_;
};

// The folder chooser for a catalog folder, starting at path when it exists,
// else at the program folder. A choice (with a separator) replaces path.
bool BrowseCatlgFolder(Platform& platform, const OptsRec& settings, std::filesystem::path& path);

// True when the location is the mount folder of an optical drive: where the
// catalog asks for its disc to be inserted rather than naming a folder.
bool IsDriveRoot(Platform& platform, const OptsRec& settings, const std::filesystem::path& v);
// The drive the dialog offers for a location that is not a drive root.
std::filesystem::path DriveFor(Platform& platform, const OptsRec& settings);

// The regions table. Built on the FITS reader for its header; only the
// table read is its own, and loading it changes neither the observation
// parameters nor the camera.
class GSCRgnsTblObj : public FITSFileObj {
 public:
  // The context's observation parameters and camera are not used.
  GSCRgnsTblObj(Platform& platform, const OptsRec& settings);
  ~GSCRgnsTblObj() override;

  bool Loaded = false;
  LinkListObj<GSCRgnRec> Regions;  // entry 0 is empty, so region r is entry r
  std::filesystem::path TriedPath;
  std::filesystem::path VolumePath;  // catalog location, ending with a separator
  std::filesystem::path TableFile;

  // Loads the table unless it is loaded; read Loaded afterwards. Without
  // prompting it loads TableFile as the caller set it.
  void LoadTable(bool prompt);
  bool ReadTable() override;
  // "REGIONS.BIN" named by TableFile.
  bool LoadConvertedTable();
  // Throws ConvertError when a field is not a number; row must hold at
  // least GSCRegionRowMinWidth bytes.
  static GSCRgnRec ParseRegionRow(std::string_view row);
  // The regions overlapping the box in ascending order, at most 12 (a box
  // for each further one).
  void FindRegions(const FieldBoxRec& box, std::array<std::int16_t, GSCMaxRegions>& list,
                   std::int16_t& count);
  bool RegionOverlaps(const FieldBoxRec& box, std::int32_t r);
  static bool RegionOverlaps(const FieldBoxRec& box, const GSCRgnRec& region);

  // The regions of a table's data blocks: rows of width bytes, rows per
  // block = 2880 div width, up to rows rows; a cut last block ends them
  // (FileError when throwOnShort). Entry 0 is added in front.
  static LinkListObj<GSCRgnRec> RegionsFromBlocks(std::span<const std::uint8_t> data,
                                                  std::int32_t width, std::int32_t rows,
                                                  bool throwOnShort);
  // The records of "REGIONS.BIN" bytes; a cut last record is left out.
  static LinkListObj<GSCRgnRec> RegionsFromBin(std::span<const std::uint8_t> data);
};

// The run's instances, created at start-up and freed by the main window.
extern std::unique_ptr<GSCRgnsTblObj> GSCRgnsTbl;
extern std::unique_ptr<TCatlgPathDlg> CatlgPathDlg;
extern std::unique_ptr<TInfoForm> InfoForm;

// Makes the regions table, the catalog-path dialog, the information box,
// the field (GSCField) and the progress window (GaugeForm2) for the run;
// settings is the run's working copy and must outlive them.
// FreeCatalogObjects frees them again (the table's header listing with it),
// and the online catalog when a query made it.
void CreateCatalogObjects(Platform& platform, const OptsRec& settings);
void FreeCatalogObjects();

}  // namespace hv
