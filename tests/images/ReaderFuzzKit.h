#pragma once
// Shared by the image-reader fuzz targets: each input becomes a file in a
// private, memory-backed work folder and is loaded by a reader whose every question is
// answered "Cancel" (unexpected prompts are no failure here).
#include <stdlib.h>
#include <unistd.h>

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
#include "tests/fuzz/FuzzKit.h"

namespace hv::fuzz {

template <typename Reader>
void LoadBytes(const std::uint8_t* data, std::size_t size, const char* name) {
  const auto path = WriteInput(Folder() / name, data, size);
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
  // No cap of our own on the image size: a header may claim any size, and
  // the reader must keep its table to what the input can hold (libFuzzer's
  // memory limit catches a reader that does not).
  try {
    auto reader = std::make_unique<Reader>(ctx);
    if (reader->LoadFile(path) && reader->Pixels) {
      // The table must be the size the image says: touch its ends.
      const auto cells = reader->Pixels->Cells();
      if (cells.size() != static_cast<std::size_t>(reader->ImageInfo.Width) *
                              static_cast<std::size_t>(reader->ImageInfo.Height))
        std::abort();
      volatile std::int64_t sum =
          reader->Histogram->Count() + std::int64_t{cells.front()} + cells.back();
      (void)sum;
      (void)reader->ImageDataLines();
      (void)reader->HeaderListLines();
    }
  } catch (const std::exception&) {
    // Conversion and I/O errors leave the load by design.
  }
}

}  // namespace hv::fuzz
