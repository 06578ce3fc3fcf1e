#pragma once
// An image window on a real FITS load: the image is written with the FITS
// writer into a fresh folder, read by the FITS reader and attached to a
// window whose host is this kit.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Options.h"
#include "images/FITSFile.h"
#include "images/FITSWriter.h"
#include "images/ImageDialogs.h"
#include "images/ImageWindow.h"
#include "support/Files.h"
#include "tests/common/TestEnv.h"
#include "tests/images/StarField.h"

namespace hv::test {

class WindowKit : public ImageWindowHost {
 public:
  WindowKit() : folder(FreshFolder("window")) {
    settings.WorkFolder = folder;
    BoxParms = settings.BoxParms;
    CreateImageDialogs();
  }
  ~WindowKit() override {
    for (auto& w : windows) w.reset();
    for (auto& f : files) f.reset();
    FreeImageDialogs();
  }

  // Writes the grid as a 32-bit FITS image and loads it into the slot.
  GraphicsFileObj& Load(const StarGrid& g, int slot = 0, const std::string& name = "m31.fit") {
    FITSWriter w;
    w.Logical("SIMPLE", true)
        .Int("BITPIX", 32)
        .Int("NAXIS", 2)
        .Int("NAXIS1", g.W)
        .Int("NAXIS2", g.H);
    w.End().I32(g.v).Pad();
    const auto path = folder / name;
    WriteFileAtomic(path, w.Bytes());
    auto file = std::make_unique<FITSFileObj>(ReaderContext(platform, settings));
    EXPECT_TRUE(file->LoadFile(path));
    files[slot] = std::move(file);
    return *files[slot];
  }

  TImageForm1& Window(int slot = 0) {
    if (!windows[slot]) windows[slot] = std::make_unique<TImageForm1>(platform, *this);
    return *windows[slot];
  }

  // ImageWindowHost
  const OptsRec& Settings() const override { return settings; }
  OptsRec& MutableSettings() override { return settings; }
  void OptionsChanged() override { ++optionsChanged; }
  GraphicsFileObj* ImageFile(int slot) override { return files[slot].get(); }
  TImageForm1* ImageWindow(int slot) override { return windows[slot].get(); }
  void SlotBusy(int slot, bool busy) override { busySlots.push_back(busy ? slot : -1 - slot); }
  bool& ZoomHintDue() override { return zoomHint; }
  PrintHeader ImagePrintHeader() const override { return printHeader; }
  int ScreenWidth() const override { return screenWidth; }
  int GuideStep() const override { return guideStep; }
  int GuideRefNum() const override { return guideRefNum; }
  void ShowGuide() override { ++guideShown; }
  void RemoveFieldReference(int p) override { removedFieldRefs.push_back(p); }

  Scripted platform;
  std::filesystem::path folder;
  OptsRec settings;
  std::unique_ptr<GraphicsFileObj> files[4];
  std::unique_ptr<TImageForm1> windows[4];
  bool zoomHint = true;
  PrintHeader printHeader;
  int screenWidth = 1040;  // half is 512 wide
  int guideStep = 0, guideRefNum = 0, guideShown = 0, optionsChanged = 0;
  std::vector<int> busySlots, removedFieldRefs;
};

// Records what a paint draws.
class RecordingCanvas : public ImageCanvas {
 public:
  void DrawBitmap(const DisplayBitmap&, const IntRect& s, const IntRect& d, bool invert) override {
    ops.push_back("bitmap " + R(s) + " -> " + R(d) + (invert ? " inverted" : ""));
  }
  void Frame(const IntRect& r, std::uint32_t rgb, bool dotted) override {
    ops.push_back(std::string(dotted ? "dotted " : "frame ") + R(r) + " " + C(rgb));
  }
  void Line(int x1, int y1, int x2, int y2, std::uint32_t rgb) override {
    ops.push_back("line " + std::to_string(x1) + "," + std::to_string(y1) + " " +
                  std::to_string(x2) + "," + std::to_string(y2) + " " + C(rgb));
  }
  void Text(int x, int y, std::string_view t, std::uint32_t rgb) override {
    ops.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " " + std::string(t) +
                  " " + C(rgb));
  }
  int TextHeight(std::string_view) override { return 13; }
  bool Has(const std::string& prefix) const {
    for (const auto& o : ops)
      if (o.rfind(prefix, 0) == 0) return true;
    return false;
  }
  std::vector<std::string> ops;

 private:
  static std::string R(const IntRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
           "," + std::to_string(r.Bottom);
  }
  static std::string C(std::uint32_t rgb) {
    switch (rgb) {
      case MarkColour::Lime:
        return "lime";
      case MarkColour::Blue:
        return "blue";
      case MarkColour::Red:
        return "red";
      case MarkColour::Yellow:
        return "yellow";
      case MarkColour::Fuchsia:
        return "fuchsia";
    }
    return std::to_string(rgb);
  }
};

}  // namespace hv::test
