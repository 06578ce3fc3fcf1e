#pragma once
// The shipped sample field as a student sees it: the star list the images
// and the catalog come from, where a star of it lies on a sample image, the
// truth file written beside the images, the catalog that ships, and a pick
// of a star on the reference-field window.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Login.h"
#include "astrometry/FldParms.h"
#include "astrometry/GSCField.h"
#include "astrometry/RefField.h"
#include "astrometry/RefFieldDlgs.h"
#include "images/FITSFile.h"
#include "images/ImageWindow.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "support/Format.h"

namespace hv::test {

namespace fs = std::filesystem;

inline fs::path SamplesDir() { return fs::path(HV_SAMPLES_DIR); }

struct SampleStar {
  std::string id;
  long double ra = 0, dec = 0;  // hours, degrees
  long double v = 0;
};

inline std::vector<SampleStar> ReadSampleStars() {
  std::vector<SampleStar> out;
  std::ifstream in(fs::path(HV_SOURCE_DIR) / "data" / "sample_stars.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream f(line);
    std::string id, ra, dec, b, v;
    if (!(f >> id >> ra >> dec >> b >> v)) continue;
    out.push_back({id, StrToFloat(ra), StrToFloat(dec), StrToFloat(v)});
  }
  return out;
}

struct Truth {
  std::string file, midTime;
  long double ra = 0, dec = 0, mag = 0;
};

inline std::vector<Truth> ReadTruth() {
  std::vector<Truth> out;
  std::ifstream in(SamplesDir() / "SAMPLE_TRUTH.TXT");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream f(line);
    Truth t;
    std::string ra, dec, sra, sdec, mag;
    f >> t.file >> t.midTime >> ra >> dec >> sra >> sdec >> mag;
    t.ra = StrToFloat(ra);
    t.dec = StrToFloat(dec);
    t.mag = StrToFloat(mag);
    out.push_back(t);
  }
  return out;
}

// Standard coordinates (arc seconds, xi east, eta north) about (ra0, dec0).
inline void Standard(long double ra, long double dec, long double ra0, long double dec0,
                     long double& xi, long double& eta) {
  constexpr long double k = 3.14159265358979323846264338327950288L / 180;
  const long double a = (ra - ra0) * 15 * k, d = dec * k, d0 = dec0 * k;
  const long double den = std::sin(d) * std::sin(d0) + std::cos(d) * std::cos(d0) * std::cos(a);
  xi = std::cos(d) * std::sin(a) / den / k * 3600;
  eta = (std::sin(d) * std::cos(d0) - std::cos(d) * std::sin(d0) * std::cos(a)) / den / k * 3600;
}

// Where a sky position lies on a sample image (pixel column and row), from
// the header's pointing and the camera's 2 "/pixel, north up, east left.
inline void OnImage(const FITSFileObj& file, long double ra, long double dec, long double& x,
                    long double& y) {
  long double xi, eta;
  Standard(ra, dec, file.Header.RA, file.Header.Dec, xi, eta);
  x = (file.ImageInfo.Width - 1) / 2.0L - xi / 2;
  y = (file.ImageInfo.Height - 1) / 2.0L - eta / 2;
}

// The window's client position of an image pixel, as the display shows it.
inline void ClientOf(const TImageForm1& w, long double x, long double y, int& cx, int& cy) {
  const long double ux = w.FlipX() ? w.ImageWidth() - x : x;
  const long double uy = w.FlipY() ? w.ImageHeight() - y : y;
  cx = static_cast<int>(std::lround(w.SizeDlg.ImageToScreen(ux)));
  cy = static_cast<int>(std::lround(w.SizeDlg.ImageToScreen(uy)));
}

// Stars a student would take as references on a sample image: bright but
// unsaturated, well inside the frame, with no other star near them, spread
// over the field.
inline std::vector<SampleStar> GoodReferences(const std::vector<SampleStar>& stars,
                                              const FITSFileObj& file, std::size_t count) {
  std::vector<SampleStar> picked;
  auto xy = [&](const SampleStar& s, long double& x, long double& y) {
    OnImage(file, s.ra, s.dec, x, y);
  };
  for (const SampleStar& s : stars) {
    if (s.v < 12.8L || s.v > 16.5L) continue;
    long double x, y;
    xy(s, x, y);
    if (x < 40 || y < 40 || x > file.ImageInfo.Width - 40 || y > file.ImageInfo.Height - 40)
      continue;
    bool alone = true;
    for (const SampleStar& o : stars) {
      if (&o == &s) continue;
      long double ox, oy;
      xy(o, ox, oy);
      // Nothing in the box or its sky border, whose corners reach 21 pixels.
      if (std::hypot(ox - x, oy - y) < 23) alone = false;
    }
    for (const SampleStar& p : picked) {
      long double px, py;
      xy(p, px, py);
      if (std::hypot(px - x, py - y) < 60) alone = false;
    }
    if (alone) picked.push_back(s);
    if (picked.size() == count) break;
  }
  return picked;
}

// The program folder gets the catalog that ships beside the program.
inline void ShipCatalog(const fs::path& programFolder) {
  const fs::path bin = SamplesDir().parent_path() / "bin";
  for (const char* d : {"TABLES", "GSC"})
    fs::copy(bin / d, programFolder / d, fs::copy_options::recursive);
}

// Angular distance in arc seconds.
inline long double Separation(long double ra1, long double dec1, long double ra2,
                              long double dec2) {
  constexpr long double k = 3.14159265358979323846264338327950288L / 180;
  const long double dra = (ra1 - ra2) * 15 * 3600 * std::cos(dec2 * k);
  const long double ddec = (dec1 - dec2) * 3600;
  return std::hypot(dra, ddec);
}

// A student's pick of a star on the reference-field window: a click on the
// catalog star drawn there, and OK in the Reference Star dialog.
inline void PickOnField(ScriptedPlatform& p, TGSCForm1& field, const SampleStar& s) {
  ASSERT_TRUE(GSCField);
  const CatStarRec* best = nullptr;
  long double nearest = 1e9L;
  for (const CatStarRec& c : GSCField->Stars) {
    const long double d = Separation(c.RA, c.Dec, s.ra, s.dec);
    if (d < nearest) {
      nearest = d;
      best = &c;
    }
  }
  ASSERT_NE(best, nullptr);
  ASSERT_LT(nearest, 2.0L) << s.id << " is in the catalog";
  p.expectDialog("TRefInfoForm1", [](DialogModel& m) {
    auto& d = static_cast<TRefInfoForm1&>(m);
    d.FormActivate();
    return d.OkBtnClick();
  });
  const int x = static_cast<int>(std::lround(field.SizeDlg.ImageToScreen(best->FieldX)));
  const int y = static_cast<int>(std::lround(field.SizeDlg.ImageToScreen(best->FieldY)));
  field.FormMouseDown(MouseButton::Left, x, y);
  field.FormMouseUp(MouseButton::Left, x, y);
}

// The login dialog filled in for one student (and a table number when one
// is given) and confirmed.
inline void ExpectStudentLogin(ScriptedPlatform& p, const std::string& table = {}) {
  p.expectDialog("TLoginDlg", [table](DialogModel& m) {
    auto& d = static_cast<LoginDlgModel&>(m);
    d.Stud[0] = "Ann B. Cole";
    if (!table.empty()) d.LabTbl = table;
    return d.OKBtnClick() ? ModalResult::OK : ModalResult::Cancel;
  });
  p.expectMessage(ModalResult::Yes, "Login Completed?");
}

// The field dialog accepted as the image header preset it.
inline void ExpectFieldDialog(ScriptedPlatform& p) {
  p.expectDialog("TFldParmsDlg", [](DialogModel& m) {
    auto& d = static_cast<FldParmsDlgModel&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  });
}

// A catalog star lies within d pixels of image pixel (x, y).
inline bool StarNear(const std::vector<SampleStar>& stars, const FITSFileObj& file, long double x,
                     long double y, long double d) {
  for (const SampleStar& o : stars) {
    long double ox, oy;
    OnImage(file, o.ra, o.dec, ox, oy);
    if (std::hypot(ox - x, oy - y) < d) return true;
  }
  return false;
}

}  // namespace hv::test
