// Arbitrary bytes as a converted catalog's region file and as its regions
// table "REGIONS.BIN", each read whole from disk by the query that uses it:
// no crash, no read past a buffer; every star kept lies in the field.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>

#include "astrometry/GSCField.h"
#include "astrometry/GSCRegions.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "tests/fuzz/FuzzKit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = hv::fuzz::Folder();
  hv::ScriptedPlatform platform([](const std::string&) {});
  hv::OptsRec settings;
  settings.WorkFolder = folder;
  settings.GSCPath1 = folder.string() + "/";
  settings.GSCFormat = size % 2 == 0 ? hv::GSCFormatCode::Converted : hv::GSCFormatCode::Quillan;
  // Region 1 lies in the first zone; the first bytes choose the box.
  hv::FieldBoxRec box;
  box.RAMin = size > 0 ? data[0] % 24 : 0;
  box.RAMax = size > 1 ? data[1] % 25 : 24;
  box.DecMin = -90;
  box.DecMax = 90;
  box.MagLimit = size > 2 ? data[2] % 30 : 30;
  const std::int16_t region = 1;
  hv::fuzz::WriteInput(
      folder / std::string(hv::GSCZoneDirs[0]) / hv::GSCRegionFileName(region, ".BIN"), data, size);
  hv::GSCFieldObj field(platform, settings);
  try {
    const std::array<std::int16_t, 1> list{region};
    (void)field.SearchRegions(box, list, 1);
    for (const hv::CatStarRec& star : field.Stars)
      if (!hv::GSCFieldObj::InField(star, box)) std::abort();
    hv::CatStarRec* star = nullptr;
    (void)field.NearestStar(10, 10, star);
  } catch (const std::exception&) {
  }

  hv::GSCRgnsTblObj table(platform, settings);
  table.TableFile = hv::fuzz::WriteInput(folder / "REGIONS.BIN", data, size);
  try {
    if (table.LoadConvertedTable()) {
      std::array<std::int16_t, hv::GSCMaxRegions> list{};
      std::int16_t count = 0;
      table.FindRegions(box, list, count);
      if (count < 0 || count > hv::GSCMaxRegions) std::abort();
    }
  } catch (const std::exception&) {
  }
  return 0;
}
