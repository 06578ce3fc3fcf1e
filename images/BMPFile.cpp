#include "images/BMPFile.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "support/Files.h"

namespace hv {

namespace {
void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
}  // namespace

BMPFileObj::BMPFileObj(Platform& platform, std::filesystem::path workFolder)
    : platform_(platform), workFolder_(std::move(workFolder)) {}

BMPFileObj::~BMPFileObj() {
  CloseHandle();
  if (!FileName.empty()) {
    std::error_code ec;
    std::filesystem::remove(FileName, ec);
  }
}

void BMPFileObj::CloseHandle() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

std::string BMPFileObj::BitmapStem(std::string_view imageFileName) {
  std::string name = std::filesystem::path(std::string(imageFileName)).filename().string();
  const std::size_t dot = name.find('.');
  if (dot != std::string::npos) name.erase(dot, 4);
  if (name.empty()) name = "IMAGE";
  return name;
}

bool BMPFileObj::Write(std::span<const std::uint8_t> bytes) {
  if (!file_) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool BMPFileObj::OpenFile(const ImageInfoRec& info) {
  CloseHandle();
  Info = info;
  HeaderOK = InfoOK = Closed = false;
  const std::int64_t width = info.Width > 0 ? info.Width : 0;
  const std::int64_t height = info.Height > 0 ? info.Height : 0;
  RowBytes = static_cast<std::int32_t>((width + 3) / 4 * 4);
  PixelBytes = height * RowBytes;
  BytesWritten = 0;

  HeaderBuf.fill(0);
  HeaderBuf[0] = 'B';
  HeaderBuf[1] = 'M';
  Put32(&HeaderBuf[10], PixelOffset);
  std::uint8_t* h = InfoBuf.data();
  std::fill(h, h + 40, std::uint8_t{0});
  Put32(h, 40);
  Put32(h + 4, static_cast<std::uint32_t>(width));
  Put32(h + 8, static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)));
  Put16(h + 12, 1);
  Put16(h + 14, 8);
  Put32(h + 32, 256);

  // One name per object, made at the first open and kept for later renders;
  // another image file loaded into the same object gets a name of its own.
  const std::string stem = BitmapStem(info.FileName);
  int code = 0;
  if (FileName.empty() || stem != stem_) {
    std::error_code ec;
    if (!FileName.empty()) std::filesystem::remove(FileName, ec);
    FileName.clear();
    try {
      FileName = CreateUniqueFile(workFolder_, stem, ".BMP");
      stem_ = stem;
    } catch (const FileError& e) {
      code = e.code();
    }
  }
  if (!FileName.empty()) {
    errno = 0;
    file_ = std::fopen(FileName.c_str(), "w+b");
    if (!file_) code = IOResultFromErrno(errno);
  }
  if (!file_) {
    const std::filesystem::path shown = FileName.empty() ? workFolder_ / (stem + ".BMP") : FileName;
    ShowError(platform_, "BMP File Error!",
              "Unable to Create BMP File!\n\nFile Name: " + shown.string() +
                  "\nIOResult = " + std::to_string(code));
    return false;
  }
  HeaderOK = Write(HeaderBuf);
  return HeaderOK;
}

bool BMPFileObj::WriteInfo() {
  InfoOK = HeaderOK && Write(InfoBuf);
  return InfoOK;
}

std::size_t BMPFileObj::WriteRow(std::span<const std::uint8_t> row) {
  if (!InfoOK || !file_) return 0;
  const std::size_t n = std::fwrite(row.data(), 1, row.size(), file_);
  BytesWritten += static_cast<std::int64_t>(n);
  return n;
}

bool BMPFileObj::CloseFile() {
  if (file_ && BytesWritten >= PixelBytes) {
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    Closed = ok;
  }
  return Closed;
}

bool BMPFileObj::WritePalette() {
  if (!Closed) return false;
  errno = 0;
  file_ = std::fopen(FileName.c_str(), "r+b");
  if (!file_) {
    ShowError(platform_, "BMP File Error!",
              "Error Accessing Temporary BMP File!\n\nFile Name: " + FileName.string() +
                  "\nIOResult = " + std::to_string(IOResultFromErrno(errno)));
    return false;
  }
  const bool sought = std::fseek(file_, HeaderSize, SEEK_SET) == 0;
  InfoOK = sought && Write(InfoBuf);
  if (std::fclose(file_) != 0) InfoOK = false;
  file_ = nullptr;
  return InfoOK;
}

}  // namespace hv
