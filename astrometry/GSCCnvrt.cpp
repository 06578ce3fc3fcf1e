#include "astrometry/GSCCnvrt.h"

#include <system_error>

#include "app/Folders.h"
#include "astrometry/GSCField.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {

namespace fs = std::filesystem;

std::unique_ptr<TGSCCnvrtForm1> GSCCnvrtForm1;

namespace {

fs::path Under(const fs::path& folder, std::string_view relative) {
  std::string rel(relative);
  for (char& c : rel)
    if (c == '\\') c = '/';
  return folder / rel;
}

std::string_view ZoneDir(int k) { return GSCZoneDirs[static_cast<std::size_t>(k - 1)]; }

fs::path FolderOf(const std::string& text) {
  return text.empty() ? fs::path() : WithSeparator(fs::path(text));
}

// Temporary files a killed run left beside the outputs of a folder.
void RemoveStrayTemporaries(const fs::path& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > 1 && name[0] == '.' && name.find(".tmp-") != std::string::npos)
      fs::remove(it->path(), ec);
  }
}

}  // namespace

TGSCCnvrtForm1::TGSCCnvrtForm1(Platform& platform, const OptsRec& settings)
    : platform_(platform), settings_(settings) {}

void TGSCCnvrtForm1::FormCreate() {
  fs::path work = settings_.WorkFolder.empty() ? settings_.DataFolder : settings_.WorkFolder;
  const fs::path defaultOut = WithSeparator(work / "GSC_VESK");
  // The drive or catalog folder found at start-up, else a disc in a drive
  // now; never a question.
  fs::path drive = settings_.CDROMRoot.empty()
                       ? FindCDROMDrive(platform_, {settings_.ProgramFolder}, false)
                       : WithSeparator(settings_.CDROMRoot);
  if (settings_.GSCFormat != GSCFormatCode::Native) {
    ConvInPath1 = ConvInPath2 = drive;
    ConvOutPath = settings_.GSCPath1.empty() ? defaultOut : FolderOf(settings_.GSCPath1);
  } else if (!settings_.GSCPath1.empty()) {
    ConvInPath1 = FolderOf(settings_.GSCPath1);
    ConvInPath2 = settings_.GSCPath2.empty() ? ConvInPath1 : FolderOf(settings_.GSCPath2);
    // The catalog's folder with "_VESK" added to its name; a root folder
    // has no name to add to, so the work folder takes the copy.
    const fs::path named = ConvInPath1.parent_path();
    if (named.has_filename() && named != named.root_path())
      ConvOutPath = WithSeparator(named.parent_path() / (named.filename().string() + "_VESK"));
    else
      ConvOutPath = defaultOut;
  } else {
    ConvInPath1 = ConvInPath2 = drive;
    ConvOutPath = defaultOut;
  }
  ConvRestart = false;
}

void TGSCCnvrtForm1::FormActivate() {
  InPath1Ed = ConvInPath1.string();
  InPath2Ed = ConvInPath2.string();
  OutPathEd = ConvOutPath.string();
  RstrtCk = ConvRestart;
}

ModalResult TGSCCnvrtForm1::OKBtnClick() {
  if (InPath1Ed.empty() || InPath2Ed.empty() || OutPathEd.empty()) {
    ShowError(platform_, "Missing Directory!",
              "Please Supply All Three Directories: Both GSC Volumes and the Output.");
    return ModalResult::None;
  }
  const fs::path out = FolderOf(OutPathEd), in1 = FolderOf(InPath1Ed), in2 = FolderOf(InPath2Ed);
  // The same folder written two ways is still the same folder.
  auto same = [](const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (a.lexically_normal() == b.lexically_normal()) return true;
    return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
  };
  ConvOutPath = out;
  ConvInPath1 = in1;
  ConvInPath2 = in2;
  if (same(out, in1) || same(out, in2)) {
    ShowError(platform_, "Same Directory!", "Input Directory Cannot Be Used for Output");
    return ModalResult::None;
  }
  ConvRestart = RstrtCk;
  return ModalResult::OK;
}

void TGSCCnvrtForm1::Browse(std::string& edit, const fs::path& fallback, bool output) {
  FolderChooser chooser;
  chooser.caption = "Select Folder";
  chooser.start = edit.empty() ? fallback : fs::path(edit);
  chooser.allowCreate = output;
  const auto chosen = platform_.chooseFolder(chooser);
  if (chosen && !chosen->empty()) edit = WithSeparator(*chosen).string();
}

void TGSCCnvrtForm1::InPath1EdDblClick() { Browse(InPath1Ed, settings_.ProgramFolder, false); }
void TGSCCnvrtForm1::InPath2EdDblClick() { Browse(InPath2Ed, settings_.ProgramFolder, false); }
void TGSCCnvrtForm1::OutPathEdDblClick() {
  Browse(OutPathEd, settings_.WorkFolder.empty() ? settings_.DataFolder : settings_.WorkFolder,
         true);
}

bool TGSCCnvrtForm1::ConvertRegion(const fs::path& input, const fs::path& output, int zone) {
  std::error_code ec;
  // Asked again until the file is there or the student gives up.
  while (!fs::is_regular_file(input, ec)) {
    MessageRequest box;
    box.caption = "Mount GSC Volume";
    box.text = std::string("Please Mount ") +
               (zone > GSCLastZoneOfVol1 ? "GSC Volume 2 " : "GSC Volume 1 ") +
               "In CD-ROM Drive.  Wait until drive has loaded before pressing \"OK\".\n\n"
               "(If GSC is not on CD-ROM, press \"CANCEL\", restart conversion, and supply "
               "correct paths to GSC Volumes.)";
    box.icon = MsgIcon::Information;
    box.buttons = Buttons::OKCancel;
    box.sound = Sound::Default;
    if (platform_.message(box) != ModalResult::OK) return false;
  }
  try {
    ConvertGSCRegionFile(input, output, buffers_);
  } catch (const FileError& e) {
    if (e.path() == output)
      ShowError(platform_, "GSC Conversion File Error!",
                "Unable to Open Output File!\n\nFile Name: " + output.string() +
                    "\nIOResult = " + std::to_string(e.code()));
    else
      ShowError(platform_, "GSC File Error!",
                "Unable to Open GSC File!\n\nFile Name: " + input.string() +
                    "\nIOResult = " + std::to_string(e.code()));
    return false;
  } catch (const ConvertError& e) {
    ShowError(platform_, "GSC Conversion File Error!",
              "Unable to Convert GSC File!\n\nFile Name: " + input.string() + "\n" + "Faulty " +
                  std::string(e.what()) + ": nothing was written for this region.");
    return false;
  }
  return true;
}

bool TGSCCnvrtForm1::ConvertCatalog(TGaugeForm2& gauge) {
  const std::int32_t first = std::max<std::int32_t>(FirstRegion, 1);
  const std::int32_t last = std::min<std::int32_t>(LastRegion, GSCRegionCount);
  gauge.StartProgress("Converting GSC to VESK Format", "", last - first + 1,
                      "Terminate the GSC File Conversion?\n\n"
                      "(You can restart later at the current point.)");
  std::error_code ec;
  fs::create_directories(ConvOutPath / "GSC", ec);
  fs::create_directories(ConvOutPath / "TABLES", ec);

  for (int k = 1; k <= 24; ++k) {
    const std::int32_t zoneFirst = GSCZoneBounds[static_cast<std::size_t>(k - 1)] + 1;
    const std::int32_t zoneLast = GSCZoneBounds[static_cast<std::size_t>(k)];
    if (zoneLast < first || zoneFirst > last) continue;
    const fs::path outDir = Under(ConvOutPath, ZoneDir(k));
    fs::create_directories(outDir, ec);
    RemoveStrayTemporaries(outDir);
    const fs::path& inRoot = k > GSCLastZoneOfVol1 ? ConvInPath2 : ConvInPath1;
    for (std::int32_t r = std::max(zoneFirst, first); r <= std::min(zoneLast, last); ++r) {
      const std::string name = GSCRegionFileName(r, "");
      const fs::path input = FindCatalogFile(inRoot, std::string(ZoneDir(k)) + name + ".GSC");
      const fs::path output = outDir / (name + ".BIN");
      // Outputs are renamed into place whole, so one that exists is done.
      const bool done = ConvRestart && fs::is_regular_file(output, ec);
      if (!done) {
        if (ConvRestart) {
          gauge.SetRestartPoint(r - first);
          ConvRestart = false;
        }
        if (!ConvertRegion(input, output, k)) {
          gauge.Close();
          return false;
        }
      }
      gauge.UpdateProgress(outDir.string(), name + ".BIN", r - first + 1);
      if (!gauge.Running) return false;
    }
  }

  // The regions table: the one in memory when an earlier query loaded it.
  std::unique_ptr<GSCRgnsTblObj> local;
  GSCRgnsTblObj* table = GSCRgnsTbl.get();
  if (table == nullptr) {
    local = std::make_unique<GSCRgnsTblObj>(platform_, settings_);
    table = local.get();
  }
  if (!table->Loaded) {
    table->TableFile = FindCatalogFile(ConvInPath1, "TABLES/REGIONS.TBL");
    table->LoadTable(false);
  }
  if (!table->Loaded) {
    // The loader said why; the window goes, as after every other failure.
    gauge.Close();
    return false;
  }
  const fs::path regions = ConvOutPath / "TABLES" / "REGIONS.BIN";
  try {
    WriteRegionsBin(regions, table->Regions);
  } catch (const FileError& e) {
    ShowError(platform_, "GSC Table Conversion Error!",
              "Unable to Open Output Regions File!\n\nFile Name: " + regions.string() +
                  "\nIOResult = " + std::to_string(e.code()));
    gauge.Close();
    return false;
  }
  gauge.FinishProgress();
  return true;
}

}  // namespace hv
