// Arbitrary bytes as a whole options file, stations file and camera file,
// read from disk the way the program reads them: no crash, no read past a
// buffer; what a list file gives is in name order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>

#include "app/ListFiles.h"
#include "app/Options.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "tests/fuzz/FuzzKit.h"

namespace {

template <class List, class Greater>
void CheckOrder(const List& list, Greater greater) {
  const auto* last = static_cast<decltype(&*list.begin())>(nullptr);
  for (const auto& item : list) {
    if (last && greater(*last, item)) std::abort();
    last = &item;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = hv::fuzz::Folder();
  hv::ScriptedPlatform platform([](const std::string&) {});

  const auto opts = hv::fuzz::WriteInput(folder / "ASTXOPTS.INI", data, size);
  hv::OptsObj options(platform);
  try {
    (void)options.ReadOptsFile(opts);
  } catch (const std::exception&) {
  }

  hv::OptsRec settings;
  settings.ProgramFolder = folder.string() + "/";
  settings.StationsFile = "ASTSITES.DAT";
  settings.CameraFile = "ASTCAMS.DAT";
  hv::fuzz::WriteInput(folder / "ASTSITES.DAT", data, size);
  hv::fuzz::WriteInput(folder / "ASTCAMS.DAT", data, size);
  hv::SiteListFile sites(platform);
  try {
    sites.Load(settings);
  } catch (const std::exception&) {
    // A cut last record is reported and passed on by design.
  }
  CheckOrder(sites.Sites, hv::SiteNameGreater);
  (void)sites.Names();
  hv::CamListFile cams(platform);
  try {
    cams.Load(settings);
  } catch (const std::exception&) {
  }
  CheckOrder(cams.Cameras, hv::CamNameGreater);
  (void)cams.Names();
  return 0;
}
