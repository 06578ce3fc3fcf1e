#pragma once
// The catalog converter: the dialog that collects the two input volumes and
// the output folder (TGSCCnvrtForm1, without its widgets) and the driver
// that converts every region of the catalog's own form into the converted
// form, with progress, cancel and restart.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/Options.h"
#include "astrometry/GSCRegions.h"
#include "astrometry/GSCWrite.h"
#include "astrometry/Progress.h"
#include "platform/Platform.h"

namespace hv {

// How the conversion of one region ended, for the thread that reports it.
struct GSCRegionOutcome {
  enum Kind { Done, InputFailed, OutputFailed, RowFailed } kind = Done;
  int code = 0;      // the I/O result of a file that failed
  std::string what;  // the faulty row
};
// ConvertGSCRegionFile without throwing and without any question, so it
// can run on a worker thread.
GSCRegionOutcome ConvertGSCRegionQuietly(const std::filesystem::path& input,
                                         const std::filesystem::path& output,
                                         GSCMergeBuffers& buffers);

class TGSCCnvrtForm1 : public DialogModel {
 public:
  // settings: the run's working copy.
  TGSCCnvrtForm1(Platform& platform, const OptsRec& settings);
  std::string_view dialogName() const override { return "TGSCCnvrtForm1"; }

  static constexpr const char* Caption = "Convert GSC to VESK Format";
  static constexpr const char* PathHint = "Double-click to browse.";
  static constexpr const char* RestartHint = "Restart unfinished conversion?";

  // Folders, each ending with a separator.
  std::filesystem::path ConvInPath1;  // volume I (holds GSC/ and TABLES/)
  std::filesystem::path ConvInPath2;  // volume II
  std::filesystem::path ConvOutPath;  // the converted catalog
  bool ConvRestart = false;  // skip regions whose output is whole, to the first that is not

  // The regions converted; all of them unless a caller narrows the range.
  std::int32_t FirstRegion = 1;
  std::int32_t LastRegion = GSCRegionCount;
  // Regions converted at a time (1: one after the other on this thread).
  int Threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));

  // --- what the form shows and types back ---
  std::string InPath1Ed, InPath2Ed, OutPathEd;
  bool RstrtCk = false;

  // The default folders. Looks for a catalog on an optical drive (or the
  // one found at start-up) and asks nothing: without one the input edits
  // stay empty, to be typed or browsed.
  void FormCreate();
  void FormActivate();
  // Takes the edits; refuses an empty one and an output folder that is an
  // input folder (the dialog stays open).
  ModalResult OKBtnClick();
  void InPath1EdDblClick();
  void InPath2EdDblClick();
  void OutPathEdDblClick();

  // Converts the regions and then the regions table; true only once all of
  // it is on the disc, false when cancelled or failed. The outputs already
  // written stay, so a restarted run goes on from the first missing or
  // damaged one.
  bool ConvertCatalog(TGaugeForm2& gauge);
  // One region; asks for the volume while its input is missing. False after
  // Cancel or an error (reported); no output is left then.
  bool ConvertRegion(const std::filesystem::path& input, const std::filesystem::path& output,
                     int zone);

 private:
  // The "Mount GSC Volume" question, until the input is there; false after
  // Cancel. input becomes the file as the mounted volume spells it.
  bool AskForVolume(std::filesystem::path& input, int zone);
  // Shows the error of a failed region; true when it was converted.
  bool Report(const GSCRegionOutcome& outcome, const std::filesystem::path& input,
              const std::filesystem::path& output);
  void Browse(std::string& edit, const std::filesystem::path& fallback, bool output);

  Platform& platform_;
  const OptsRec& settings_;
  GSCMergeBuffers buffers_;  // the converter's own; the field list is not touched
};

// The dialog of the current conversion, made by the command and freed after.
extern std::unique_ptr<TGSCCnvrtForm1> GSCCnvrtForm1;

}  // namespace hv
