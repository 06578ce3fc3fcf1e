#pragma once
// What the reader tests share: a context over a fresh work folder, a
// scripted platform, the current observation parameters and a camera.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/Options.h"
#include "astrometry/ObsParms.h"
#include "images/GraphicsFile.h"
#include "support/DateTime.h"
#include "tests/common/TestEnv.h"

namespace hv::test {

class NoListHost : public ListHost {
 public:
  std::filesystem::path ReportFolder() const override { return {}; }
  PrintHeader ListPrintHeader() const override { return {}; }
  bool EditReportHeader(HeaderRecord) override { return false; }
};

struct ReaderKit {
  Scripted platform;
  OptsRec settings;
  ObsParmsRec obs;
  CamRec camera;
  bool camFromFile = false;
  NoListHost host;
  std::vector<std::string> shown, forgotten;
  std::filesystem::path work = FreshFolder("work");
  std::filesystem::path images = FreshFolder("images");

  ReaderKit() { settings.WorkFolder = work; }

  ReaderContext Context() {
    ReaderContext c(platform, settings);
    c.currentObs = &obs;
    c.camera = &camera;
    c.camFromFile = &camFromFile;
    c.listHost = &host;
    c.lists.Show = [this](InfoListModel& m) { shown.push_back(m.Caption); };
    c.lists.Forget = [this](InfoListModel& m) { forgotten.push_back(m.Caption); };
    return c;
  }

  std::filesystem::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes,
                              const std::filesystem::path& folder = {}) {
    const auto p = (folder.empty() ? images : folder) / name;
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return p;
  }

  // The files in the work folder.
  std::vector<std::string> WorkFiles() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(work))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// A date-time value from its parts.
inline double At(int y, int mo, int d, int h, int mi, long double s) {
  return *EncodeDate(y, mo, d) + EncodeTime(h, mi, s);
}

inline std::vector<std::int32_t> AllPixels(const GraphicsFileObj& f) {
  const auto c = f.Pixels->Cells();
  return {c.begin(), c.end()};
}

}  // namespace hv::test
