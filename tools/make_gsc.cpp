// Writes the Guide Star Catalog the program ships, made from the star list
// of the sample images, in both forms:
//
//   make_gsc <catalog folder> <converted folder> [star list]
//       the catalog's own form (TABLES/REGIONS.TBL and the region files of
//       the sample field's declination band) under the first folder, and the
//       converted form (TABLES/REGIONS.BIN and the .BIN region files), made
//       by converting the first, under the second;
//   make_gsc --synthetic <folder> [stars per region] [first] [last]
//       a whole synthetic catalog tree of the catalog's own form, for the
//       converter's benchmark (written on demand only, never shipped);
//   make_gsc --whole-sky <folder> [stars per region] [star list]
//       the same tree of all regions with the sample field's band from the
//       list in place of its synthetic regions: a whole catalog to try the
//       converter on, whose converted copy still gives the sample images
//       their reference field (on demand only, never shipped).
//
// Everything comes from the list and fixed seeds: a build writes the same
// bytes each time.
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "astrometry/GSCWrite.h"
#include "support/Files.h"
#include "tools/SampleCatalog.h"
#include "tools/StarList.h"

namespace fs = std::filesystem;
using namespace hv;
using hv::sample::Entry;

namespace {

// Stars entered more than once (list index, entries) and the non-stellar
// objects added to the field: enough for the merge and the circles to show.
struct Repeat {
  std::size_t index;
  int entries;
};
constexpr Repeat kRepeats[] = {{23, 3}, {16, 2}, {33, 2}, {4, 3}};
// Offsets between entries: a whole number of the rows' last RA and Dec
// decimals (0.00001 degree), so the rounded entries still average to the
// star's own rounded position.
constexpr long double kStep = 0.00014L;

struct Extra {
  const char* tag;
  long double ra, dec, mag;  // hours, degrees
  int classes[2];            // a second class of 0 or more adds a second entry
};
constexpr Extra kExtras[] = {{"galaxy", 10.49600L, 12.05000L, 14.5L, {3, -1}},
                             {"cluster", 10.50400L, 11.96000L, 15.2L, {3, -1}},
                             {"blended", 10.50100L, 12.08500L, 16.0L, {0, 3}}};

// The sample field's entries by region, and the band of regions that holds
// them (the whole band ships, so that any field of its declinations finds
// its files). False, with the reason told, when the list cannot be used.
bool SampleRegions(const sample::Tiling& tiling, const fs::path& listFile,
                   std::map<std::int32_t, std::vector<Entry>>& regions, std::int32_t& first,
                   std::int32_t& last) {
  std::vector<sample::ListedStar> list;
  if (listFile.empty() || !sample::ReadStarList(listFile, list)) {
    std::cerr << "make_gsc: cannot read the star list " << listFile << "\n";
    return false;
  }
  // Every entry goes to its region, in the order of the list.
  regions.clear();
  auto add = [&](long double raH, long double dec, long double mag, int cls, int entries) {
    const std::int32_t r = tiling.RegionOf(raH, dec);
    if (r == 0) return false;
    auto& rows = regions[r];
    // IDs count objects, not entries.
    std::int64_t n = 0;
    if (!rows.empty()) std::from_chars(rows.back().id.data(), rows.back().id.data() + 5, n);
    Entry e;
    e.id = ZeroPadded(n + 1, 5);
    e.raDeg = raH * 15;
    e.dec = dec;
    e.mag = mag;
    e.posErr = 0.2L + 0.03L * std::max<long double>(mag - 9, 0);
    e.magErr = 0.10L + 0.02L * std::max<long double>(mag - 9, 0);
    e.cls = cls;
    for (int c = 0; c < entries; ++c) {
      Entry x = e;
      const long double off = (c - (entries - 1) / 2.0L) * kStep;
      x.raDeg += off;
      x.dec -= off;
      rows.push_back(x);
    }
    return true;
  };
  for (std::size_t i = 0; i < list.size(); ++i) {
    int entries = 1;
    for (const Repeat& rep : kRepeats)
      if (rep.index == i) entries = rep.entries;
    if (!add(list[i].ra, list[i].dec, list[i].v, 0, entries)) {
      std::cerr << "make_gsc: no region holds " << list[i].id << "\n";
      return false;
    }
  }
  for (const Extra& x : kExtras) {
    add(x.ra, x.dec, x.mag, x.classes[0], 1);
    if (x.classes[1] >= 0) {
      // A second entry of the same object, seen as another class.
      const std::int32_t r = tiling.RegionOf(x.ra, x.dec);
      Entry e = regions[r].back();
      e.cls = x.classes[1];
      e.raDeg += kStep;
      regions[r].back().raDeg -= kStep;
      regions[r].push_back(e);
    }
  }

  const std::int32_t some = regions.begin()->first;
  first = 0;
  last = -1;
  for (const auto& b : tiling.bands)
    if (b.first <= some && some <= b.last) first = b.first, last = b.last;
  for (const auto& [r, rows] : regions)
    if (r < first || r > last) {
      std::cerr << "make_gsc: the star list spans more than one band\n";
      return false;
    }
  return true;
}

int WriteSample(const fs::path& rawFolder, const fs::path& convFolder, const fs::path& listFile) {
  const sample::Tiling tiling = sample::MakeTiling();
  std::map<std::int32_t, std::vector<Entry>> regions;
  std::int32_t first = 0, last = -1;
  if (!SampleRegions(tiling, listFile, regions, first, last)) return 1;

  try {
    fs::create_directories(GSCPathUnder(rawFolder, "TABLES"));
    WriteFileAtomic(GSCPathUnder(rawFolder, "TABLES/REGIONS.TBL"),
                    sample::RegionsTableFile(tiling));
    const int zone = GSCZoneOf(first);
    const std::string dir(GSCZoneDirs[static_cast<std::size_t>(zone - 1)]);
    fs::create_directories(GSCPathUnder(rawFolder, dir));
    fs::create_directories(GSCPathUnder(convFolder, dir));
    fs::create_directories(GSCPathUnder(convFolder, "TABLES"));
    static const std::vector<Entry> kNone;
    GSCMergeBuffers buffers;
    for (std::int32_t r = first; r <= last; ++r) {
      const auto it = regions.find(r);
      const fs::path raw = GSCPathUnder(rawFolder, dir + GSCRegionFileName(r, ".GSC"));
      WriteFileAtomic(raw, sample::RegionFile(r, it == regions.end() ? kNone : it->second));
      ConvertGSCRegionFile(raw, GSCPathUnder(convFolder, dir + GSCRegionFileName(r, ".BIN")),
                           buffers);
    }
    // The converted table holds the boxes the reader makes of the rows.
    LinkListObj<GSCRgnRec> boxes;
    for (const GSCRgnRec& g : tiling.boxes) boxes.InsertAfter(g);
    WriteRegionsBin(GSCPathUnder(convFolder, "TABLES/REGIONS.BIN"), boxes);
  } catch (const std::exception& e) {
    std::cerr << "make_gsc: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

int WriteSynthetic(const fs::path& folder, int stars, std::int32_t first, std::int32_t last) {
  const sample::Tiling tiling = sample::MakeTiling();
  try {
    fs::create_directories(GSCPathUnder(folder, "TABLES"));
    WriteFileAtomic(GSCPathUnder(folder, "TABLES/REGIONS.TBL"), sample::RegionsTableFile(tiling));
    for (std::int32_t r = first; r <= last; ++r) {
      const std::string dir(GSCZoneDirs[static_cast<std::size_t>(GSCZoneOf(r) - 1)]);
      if (r == first || GSCZoneOf(r) != GSCZoneOf(r - 1))
        fs::create_directories(GSCPathUnder(folder, dir));
      const auto rows =
          sample::SyntheticRegion(tiling.boxes[static_cast<std::size_t>(r)], r, stars);
      WriteFileAtomic(GSCPathUnder(folder, dir + GSCRegionFileName(r, ".GSC")),
                      sample::RegionFile(r, rows));
    }
  } catch (const std::exception& e) {
    std::cerr << "make_gsc: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

// The synthetic tree of every region with the sample field's band in place
// of its synthetic regions, so that a converted copy of the whole catalog
// gives the sample images their reference field.
int WriteWholeSky(const fs::path& folder, int stars, const fs::path& listFile) {
  const sample::Tiling tiling = sample::MakeTiling();
  std::map<std::int32_t, std::vector<Entry>> regions;
  std::int32_t first = 0, last = -1;
  if (!SampleRegions(tiling, listFile, regions, first, last)) return 1;
  if (const int rc = WriteSynthetic(folder, stars, 1, GSCRegionCount); rc != 0) return rc;
  try {
    static const std::vector<Entry> kNone;
    const std::string dir(GSCZoneDirs[static_cast<std::size_t>(GSCZoneOf(first) - 1)]);
    for (std::int32_t r = first; r <= last; ++r) {
      const auto it = regions.find(r);
      WriteFileAtomic(GSCPathUnder(folder, dir + GSCRegionFileName(r, ".GSC")),
                      sample::RegionFile(r, it == regions.end() ? kNone : it->second));
    }
  } catch (const std::exception& e) {
    std::cerr << "make_gsc: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

int IntArg(const char* s, int fallback) {
  int v = fallback;
  const std::string t(s);
  std::from_chars(t.data(), t.data() + t.size(), v);
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--synthetic") {
    const int stars = argc > 3 ? IntArg(argv[3], 2000) : 2000;
    const int first = argc > 4 ? IntArg(argv[4], 1) : 1;
    const int last = argc > 5 ? IntArg(argv[5], GSCRegionCount) : GSCRegionCount;
    if (first < 1 || last > GSCRegionCount || first > last) {
      std::cerr << "make_gsc: regions 1 to " << GSCRegionCount << "\n";
      return 2;
    }
    return WriteSynthetic(argv[2], stars, first, last);
  }
  if (argc >= 3 && std::string(argv[1]) == "--whole-sky") {
    const int stars = argc > 3 ? IntArg(argv[3], 2000) : 2000;
    return WriteWholeSky(argv[2], stars, argc > 4 ? fs::path(argv[4]) : sample::FindStarList());
  }
  if (argc < 3 || argc > 4) {
    std::cerr << "usage: make_gsc <catalog folder> <converted folder> [star list]\n"
                 "       make_gsc --synthetic <folder> [stars per region] [first] [last]\n"
                 "       make_gsc --whole-sky <folder> [stars per region] [star list]\n";
    return 2;
  }
  return WriteSample(argv[1], argv[2], argc == 4 ? fs::path(argv[3]) : sample::FindStarList());
}
