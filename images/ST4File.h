#pragma once
// The ST-4 reader: 165 rows of 192 8-bit pixels, then a 192-byte trailer
// that begins with the letter v and holds the note, exposure and optics.
#include <filesystem>

#include "images/SBIGFile.h"

namespace hv {

class ST4FileObj : public SBIGFileObj {
 public:
  static constexpr int Width = 192;
  static constexpr int Height = 165;
  static constexpr std::size_t TrailerOffset = 31680;
  static constexpr std::size_t TrailerSize = 192;
  static constexpr std::size_t FileSize = TrailerOffset + TrailerSize;

  explicit ST4FileObj(const ReaderContext& context);

  bool ReadHeader(const std::filesystem::path& fileName) override;
  void UpdateObsParms() override {}  // an ST-4 file leaves the observation alone
  bool ReadPixels() override;
};

}  // namespace hv
