#include "astrometry/GSCCnvrt.h"

#include <exception>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

#include "app/Folders.h"
#include "astrometry/GSCField.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {

namespace fs = std::filesystem;

std::unique_ptr<TGSCCnvrtForm1> GSCCnvrtForm1;

namespace {

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

// The input file as it lies now: a disc put in after the name was first
// looked up may spell its folders and files in another case.
fs::path Relocate(const fs::path& input) {
  std::error_code ec;
  if (fs::is_regular_file(input, ec)) return input;
  const fs::path zone = input.parent_path(), gsc = zone.parent_path();
  return FindCatalogFile(
      gsc.parent_path(),
      gsc.filename().string() + "/" + zone.filename().string() + "/" + input.filename().string());
}

// Whether a restart may take an existing output as done. Outputs are
// renamed into place whole, but a power cut can leave a renamed one empty
// or cut short (its bytes never reached the disc): not a whole number of
// records, or empty while its region holds stars, means converting that
// region again. A cut lands on a disc block, which is almost never a whole
// number of 27-byte records.
bool OutputIsWhole(const fs::path& output, const fs::path& input) {
  std::error_code ec;
  if (!fs::is_regular_file(output, ec)) return false;
  const std::uintmax_t size = fs::file_size(output, ec);
  if (ec || size % GSCBinRecSize != 0) return false;
  return size > 0 || !GSCRegionMayHoldStars(Relocate(input));
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

bool TGSCCnvrtForm1::AskForVolume(fs::path& input, int zone) {
  std::error_code ec;
  // Asked again until the file is there or the student gives up.
  while (!fs::is_regular_file(input = Relocate(input), ec)) {
    MessageRequest box;
    box.caption = "Mount GSC Volume";
    box.text = std::string("Please Mount ") +
               (zone > GSCLastZoneOfVol1 ? "GSC Volume 2 " : "GSC Volume 1 ") +
               "In CD-ROM Drive.  Wait until drive has loaded before pressing \"OK\".\r\n\r\n"
               "(If GSC is not on CD-ROM, press \"CANCEL\", restart conversion, and supply "
               "correct paths to GSC Volumes.)";
    box.icon = MsgIcon::Information;
    box.buttons = Buttons::OKCancel;
    box.sound = Sound::Default;
    if (platform_.message(box) != ModalResult::OK) return false;
  }
  return true;
}

GSCRegionOutcome ConvertGSCRegionQuietly(const fs::path& input, const fs::path& output,
                                         GSCMergeBuffers& buffers) {
  GSCRegionOutcome o;
  try {
    ConvertGSCRegionFile(input, output, buffers);
  } catch (const FileError& e) {
    o.kind = e.path() == output ? GSCRegionOutcome::OutputFailed : GSCRegionOutcome::InputFailed;
    o.code = e.code();
  } catch (const ConvertError& e) {
    o.kind = GSCRegionOutcome::RowFailed;
    o.what = e.what();
  }
  return o;
}

bool TGSCCnvrtForm1::Report(const GSCRegionOutcome& o, const fs::path& input,
                            const fs::path& output) {
  switch (o.kind) {
    case GSCRegionOutcome::Done:
      return true;
    case GSCRegionOutcome::OutputFailed:
      ShowError(platform_, "GSC Conversion File Error!",
                CatalogFileErrorText("Unable to Open Output File!", output, o.code));
      break;
    case GSCRegionOutcome::InputFailed:
      ShowError(platform_, "GSC File Error!",
                CatalogFileErrorText("Unable to Open GSC File!", input, o.code));
      break;
    case GSCRegionOutcome::RowFailed:
      ShowError(platform_, "GSC Conversion File Error!",
                "Unable to Convert GSC File!\r\n\r\nFile Name: " + input.string() + "\r\nFaulty " +
                    o.what + ": nothing was written for this region.");
      break;
  }
  return false;
}

bool TGSCCnvrtForm1::ConvertRegion(const fs::path& given, const fs::path& output, int zone) {
  fs::path input = given;
  if (!AskForVolume(input, zone)) return false;
  return Report(ConvertGSCRegionQuietly(input, output, buffers_), input, output);
}

namespace {

// One region of a run, in the order of the catalog.
struct RegionJob {
  std::int32_t r = 0;
  int zone = 0;
  fs::path input, output, outDir;
  enum State { Waiting, Skipped, Queued, Asking } state = Waiting;
  std::future<GSCRegionOutcome> result;
};

}  // namespace

bool TGSCCnvrtForm1::ConvertCatalog(TGaugeForm2& gauge) {
  const std::int32_t first = std::max<std::int32_t>(FirstRegion, 1);
  const std::int32_t last = std::min<std::int32_t>(LastRegion, GSCRegionCount);
  gauge.StartProgress("Converting GSC to VESK Format", "", last - first + 1,
                      "Terminate the GSC File Conversion?\r\n\r\n"
                      "(You can restart later at the current point.)");
  // An error that reaches the application's handler (a regions table whose
  // rows are no numbers) must not leave the window modal over everything.
  struct CloseOnError {
    TGaugeForm2& gauge;
    int errors = std::uncaught_exceptions();
    ~CloseOnError() {
      if (std::uncaught_exceptions() > errors) gauge.Close();
    }
  } closeOnError{gauge};
  std::error_code ec;
  fs::create_directories(ConvOutPath / "GSC", ec);
  fs::create_directories(ConvOutPath / "TABLES", ec);
  // Outputs are renamed into place without a sync each (that would cost
  // several times a plain copy of the tree); one pass at the end puts them
  // all on the disc. Opened now, so the end hears of write-back errors
  // from the whole run.
  FileSystemSync onDisc(ConvOutPath);

  std::vector<RegionJob> jobs;
  for (int k = 1; k <= 24; ++k) {
    const std::int32_t zoneFirst = GSCZoneBounds[static_cast<std::size_t>(k - 1)] + 1;
    const std::int32_t zoneLast = GSCZoneBounds[static_cast<std::size_t>(k)];
    if (zoneLast < first || zoneFirst > last) continue;
    const fs::path outDir = GSCPathUnder(ConvOutPath, ZoneDir(k));
    fs::create_directories(outDir, ec);
    RemoveStrayTemporaries(outDir);
    const fs::path& inRoot = k > GSCLastZoneOfVol1 ? ConvInPath2 : ConvInPath1;
    for (std::int32_t r = std::max(zoneFirst, first); r <= std::min(zoneLast, last); ++r) {
      RegionJob j;
      j.r = r;
      j.zone = k;
      const std::string name = GSCRegionFileName(r, "");
      j.input = FindCatalogFile(inRoot, std::string(ZoneDir(k)) + name + ".GSC");
      j.output = outDir / (name + ".BIN");
      j.outDir = outDir;
      jobs.push_back(std::move(j));
    }
  }

  // Regions are converted ahead on worker threads, a few at a time; this
  // thread asks every question, reports, and shows the progress in the
  // regions' order, so a run looks as if it went one region after another.
  const std::size_t ahead = static_cast<std::size_t>(std::max(Threads, 1));
  std::size_t next = 0;  // the next job to decide
  bool stalled = false;  // a missing input: decide nothing past it yet
  auto decide = [&](std::size_t done) {
    while (!stalled && next < jobs.size() && next < done + ahead) {
      RegionJob& j = jobs[next++];
      if (ConvRestart && OutputIsWhole(j.output, j.input)) {
        j.state = RegionJob::Skipped;
        continue;
      }
      if (ConvRestart) {
        gauge.SetRestartPoint(j.r - first);
        ConvRestart = false;
      }
      j.input = Relocate(j.input);
      if (!fs::is_regular_file(j.input, ec)) {
        j.state = RegionJob::Asking;
        stalled = true;
      } else if (ahead > 1) {
        j.state = RegionJob::Queued;
        j.result = std::async(std::launch::async, [in = j.input, out = j.output] {
          GSCMergeBuffers buffers;
          return ConvertGSCRegionQuietly(in, out, buffers);
        });
      }
    }
  };
  // Work already handed out finishes before the run ends, so that no
  // thread writes after it.
  auto settle = [&](std::size_t from) {
    for (std::size_t i = from; i < next; ++i)
      if (jobs[i].state == RegionJob::Queued && jobs[i].result.valid()) jobs[i].result.wait();
  };
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    decide(i);
    RegionJob& j = jobs[i];
    GSCRegionOutcome outcome;
    if (j.state == RegionJob::Queued) {
      outcome = j.result.get();
    } else if (j.state != RegionJob::Skipped) {
      if (j.state == RegionJob::Asking) {
        stalled = false;
        if (!AskForVolume(j.input, j.zone)) {
          settle(i + 1);
          gauge.Close();
          return false;
        }
      }
      outcome = ConvertGSCRegionQuietly(j.input, j.output, buffers_);
    }
    if (!Report(outcome, j.input, j.output)) {
      settle(i + 1);
      gauge.Close();
      return false;
    }
    gauge.UpdateProgress(j.outDir.string(), GSCRegionFileName(j.r, ".BIN"), j.r - first + 1);
    if (!gauge.Running) {
      settle(i + 1);
      return false;
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
    // The loader said why. The window stays as it is, modal, until its
    // Cancel closes it.
    return false;
  }
  const fs::path regions = ConvOutPath / "TABLES" / "REGIONS.BIN";
  try {
    WriteRegionsBin(regions, table->Regions);
  } catch (const FileError& e) {
    ShowError(platform_, "GSC Table Conversion Error!",
              CatalogFileErrorText("Unable to Open Output Regions File!", regions, e.code()));
    gauge.Close();
    return false;
  }
  // Done only once it is on the disc: the settings may switch to this copy
  // next, and a region file emptied by a power cut would read as a region
  // without stars.
  try {
    BusyCursor busy(platform_);
    onDisc.Sync();
  } catch (const FileError& e) {
    ShowError(platform_, "GSC Conversion File Error!",
              "Unable to Write the Converted GSC to the Disk!\r\n\r\nFolder: " +
                  ConvOutPath.string() + "\r\nIOResult = " + std::to_string(e.code()) +
                  "\r\n\r\nConvert again without \"Restart\": a restart would keep files "
                  "that did not reach the disk.");
    gauge.Close();
    return false;
  }
  gauge.FinishProgress();
  return true;
}

}  // namespace hv
