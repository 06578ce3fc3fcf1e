#pragma once
// Shared by the image-reader fuzz targets: each input becomes a file in a
// private work folder and is loaded by a reader whose every question is
// answered "Cancel" (unexpected prompts are no failure here).
#include <stdlib.h>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/Options.h"
#include "astrometry/ObsParms.h"
#include "images/GraphicsFile.h"
#include "platform/scripted/ScriptedPlatform.h"

namespace hv::fuzz {

inline const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::string t = (std::filesystem::temp_directory_path() / "hvfuzz-XXXXXX").string();
    if (!::mkdtemp(t.data())) std::abort();
    return std::filesystem::path(t);
  }();
  return folder;
}

template <typename Reader>
void LoadBytes(const std::uint8_t* data, std::size_t size, const char* name) {
  const auto path = Folder() / name;
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  ScriptedPlatform platform([](const std::string&) {});
  OptsRec settings;
  settings.WorkFolder = Folder();
  settings.HeaderTime = static_cast<HeaderTimeCode>(size % 4);
  ObsParmsRec obs;
  CamRec camera;
  bool fromFile = false;
  ReaderContext ctx(platform, settings);
  ctx.currentObs = &obs;
  ctx.camera = &camera;
  ctx.camFromFile = &fromFile;
  // Inputs are small; a header may still claim a huge image.
  ctx.maxPixels = std::uint64_t{1} << 22;
  try {
    auto reader = std::make_unique<Reader>(ctx);
    if (reader->LoadFile(path) && reader->Pixels) {
      // Touch what the display reads.
      volatile std::int64_t sum = reader->Histogram->Count();
      for (std::int32_t v : reader->Pixels->Cells()) sum = sum + v;
      (void)reader->ImageDataLines();
      (void)reader->HeaderListLines();
    }
  } catch (const std::exception&) {
    // Conversion and I/O errors leave the load by design.
  }
}

}  // namespace hv::fuzz
