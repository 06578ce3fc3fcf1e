// Reads arbitrary bytes as each Guide Star Catalog file: the rows of a
// catalog region file, a converted region file, the regions table's data
// blocks, "REGIONS.BIN" and a whole "REGIONS.TBL". No crash, no read past a
// buffer, no undefined behaviour, whatever the bytes say.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <fstream>
#include <span>

#include "astrometry/GSCField.h"
#include "astrometry/GSCRegions.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "tests/images/ReaderFuzzKit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  hv::ScriptedPlatform platform([](const std::string&) {});
  hv::OptsRec settings;
  settings.WorkFolder = hv::fuzz::Folder();
  hv::FieldBoxRec box;
  // The first bytes choose the box, so that rows pass its filters too.
  box.RAMin = size > 0 ? data[0] % 24 : 0;
  box.RAMax = size > 1 ? data[1] % 25 : 24;
  box.DecMin = -90;
  box.DecMax = 90;
  box.MagLimit = 30;

  hv::GSCFieldObj field(platform, settings);
  try {
    field.TakeRawRows(bytes, 1, box);
  } catch (const std::exception&) {
    // A row field that is no number ends the query by design.
  }
  field.MergeEntries();
  field.TakeBinRecords(bytes, 9537, box, size % 2 == 0);
  hv::CatStarRec* star = nullptr;
  (void)field.NearestStar(0, 0, star);

  const std::int32_t width = size > 2 ? 40 + data[2] : 48;
  try {
    auto regions = hv::GSCRgnsTblObj::RegionsFromBlocks(bytes, width, 9537, size % 3 == 0);
    (void)regions.Count();
  } catch (const std::exception&) {
  }
  auto bin = hv::GSCRgnsTblObj::RegionsFromBin(bytes);
  (void)bin.Count();

  const auto path = hv::fuzz::Folder() / "REGIONS.TBL";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    hv::GSCRgnsTblObj table(platform, settings);
    table.TableFile = path;
    table.LoadTable(false);
    if (table.Loaded) {
      std::array<std::int16_t, hv::GSCMaxRegions> list{};
      std::int16_t count = 0;
      table.FindRegions(box, list, count);
    }
  } catch (const std::exception&) {
  }
  return 0;
}
