#pragma once
// The temporary 8-bit display bitmap of one image: a 14-byte file header,
// a 40-byte info header and 256 palette entries, then the rows top first.
// The file's name is unique to this object, so two images of the same name
// never share a bitmap.
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>

#include "images/GraphicsFileRecs.h"
#include "platform/Platform.h"

namespace hv {

class BMPFileObj {
 public:
  BMPFileObj(Platform& platform, std::filesystem::path workFolder);
  ~BMPFileObj();
  BMPFileObj(const BMPFileObj&) = delete;
  BMPFileObj& operator=(const BMPFileObj&) = delete;

  static constexpr std::int32_t HeaderSize = 14;
  static constexpr std::int32_t InfoSize = 1064;
  static constexpr std::int32_t PixelOffset = HeaderSize + InfoSize;

  // Creates (overwrites) the bitmap for the image and writes its file
  // header. Failure: "Unable to Create BMP File!" box; false.
  bool OpenFile(const ImageInfoRec& info);
  // Writes the info header and palette (InfoBuf) once the header is written.
  bool WriteInfo();
  // Writes one row's bytes once the info is written; the bytes written.
  std::size_t WriteRow(std::span<const std::uint8_t> row);
  // Closes the file once all rows are written; true when closed.
  bool CloseFile();
  // Rewrites info header and palette of the complete, closed file.
  bool WritePalette();

  // The palette part of InfoBuf, for BuildGreyPalette.
  std::span<std::uint8_t, 1024> Palette() {
    return std::span<std::uint8_t, 1024>(InfoBuf.data() + 40, 1024);
  }

  // The stem of the bitmap's name: the image file's name without folder,
  // without its first "." and the three characters after it (case kept).
  static std::string BitmapStem(std::string_view imageFileName);

  std::array<std::uint8_t, InfoSize> InfoBuf{};
  std::filesystem::path FileName;  // unique per object, empty before the first open
  std::int32_t RowBytes = 0;
  ImageInfoRec Info;
  std::array<std::uint8_t, HeaderSize> HeaderBuf{};
  bool HeaderOK = false;
  bool InfoOK = false;
  std::int64_t PixelBytes = 0;
  std::int64_t BytesWritten = 0;
  bool Closed = false;

 private:
  bool Write(std::span<const std::uint8_t> bytes);
  void CloseHandle();

  Platform& platform_;
  std::filesystem::path workFolder_;
  std::string stem_;
  std::FILE* file_ = nullptr;
};

}  // namespace hv
