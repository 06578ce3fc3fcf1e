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
#include <vector>

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

  // Opens (creates) the bitmap file for the image and takes its file
  // header. Failure: "Unable to Create BMP File!" box; false.
  bool OpenFile(const ImageInfoRec& info);
  // Takes the info header and palette (InfoBuf) once the header is taken.
  bool WriteInfo();
  // Takes one row's bytes once the info is taken; the bytes taken.
  std::size_t WriteRow(std::span<const std::uint8_t> row);
  // All rows at once (Height x RowBytes bytes), written with the headers
  // in one write unless the file holds those bytes already; the bytes
  // taken (0 when not all rows, or rows were taken before).
  std::size_t WriteRows(std::span<const std::uint8_t> rows);
  // Once all rows are taken: writes the whole file in one write (unless it
  // holds those bytes already, or WriteRows wrote it) and closes it; true
  // when closed.
  bool CloseFile();
  // Rewrites the palette bytes of the complete, closed file when they
  // differ from the file's.
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
  // Headers (pending_) and rows into the file unless it holds them.
  bool Store(std::span<const std::uint8_t> rows);
  void CloseHandle();

  Platform& platform_;
  std::filesystem::path workFolder_;
  std::string stem_;
  int fd_ = -1;
  std::vector<std::uint8_t> pending_;  // the file's bytes, gathered until the close
  bool stored_ = false;                // WriteRows wrote this render's file
  bool written_ = false;               // the file holds the bytes digest_ stands for
  std::uint64_t digest_ = 0;
  std::array<std::uint8_t, 1024> filePalette_{};  // the palette the file holds
};

}  // namespace hv
