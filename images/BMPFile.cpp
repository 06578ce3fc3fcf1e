#include "images/BMPFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  pending_.clear();
}

std::string BMPFileObj::BitmapStem(std::string_view imageFileName) {
  std::string name = std::filesystem::path(std::string(imageFileName)).filename().string();
  const std::size_t dot = name.find('.');
  if (dot != std::string::npos) name.erase(dot, 4);
  if (name.empty()) name = "IMAGE";
  return name;
}

bool BMPFileObj::Write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) return false;
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  return true;
}

namespace {

// A 64-bit digest of the bytes, in four lanes of eight bytes: tells
// whether a render gave the file's content again.
std::uint64_t Digest(std::span<const std::uint8_t> bytes, std::uint64_t h) {
  constexpr std::uint64_t k = 0xFF51AFD7ED558CCDull;
  std::uint64_t lane[4] = {h ^ bytes.size(), h + 1, h + 2, h + 3};
  std::size_t i = 0;
  for (; i + 32 <= bytes.size(); i += 32)
    for (int j = 0; j < 4; ++j) {
      std::uint64_t w;
      std::memcpy(&w, bytes.data() + i + 8 * j, 8);
      lane[j] = (lane[j] ^ w) * k;
      lane[j] ^= lane[j] >> 29;
    }
  h = lane[0] ^ (lane[1] * 3) ^ (lane[2] * 5) ^ (lane[3] * 7);
  for (; i < bytes.size(); ++i) h = (h ^ bytes[i]) * 0x100000001B3ull;
  return h;
}

bool WriteAllAt(int fd, std::span<const std::uint8_t> bytes, off_t at) {
  while (!bytes.empty()) {
    const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
    at += n;
  }
  return true;
}

}  // namespace

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
    written_ = false;
    try {
      FileName = CreateUniqueFile(workFolder_, stem, ".BMP");
      stem_ = stem;
    } catch (const FileError& e) {
      code = e.code();
    }
  }
  // The file is opened now, so that a failure is told here; its bytes are
  // gathered and written at the close, in one write, and only when they
  // differ from what it holds.
  if (!FileName.empty()) {
    errno = 0;
    fd_ = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) code = IOResultFromErrno(errno);
  }
  if (fd_ < 0) {
    const std::filesystem::path shown = FileName.empty() ? workFolder_ / (stem + ".BMP") : FileName;
    ShowError(platform_, "BMP File Error!",
              "Unable to Create BMP File!\n\nFile Name: " + shown.string() +
                  "\nIOResult = " + std::to_string(code));
    return false;
  }
  pending_.clear();
  stored_ = false;
  HeaderOK = Write(HeaderBuf);
  return HeaderOK;
}

bool BMPFileObj::WriteInfo() {
  InfoOK = HeaderOK && Write(InfoBuf);
  return InfoOK;
}

std::size_t BMPFileObj::WriteRow(std::span<const std::uint8_t> row) {
  if (!InfoOK || fd_ < 0) return 0;
  Write(row);
  BytesWritten += static_cast<std::int64_t>(row.size());
  return row.size();
}

std::size_t BMPFileObj::WriteRows(std::span<const std::uint8_t> rows) {
  if (!InfoOK || fd_ < 0 || stored_ || pending_.size() != PixelOffset ||
      static_cast<std::int64_t>(rows.size()) != PixelBytes)
    return 0;
  stored_ = Store(rows);
  if (stored_) BytesWritten = PixelBytes;
  return stored_ ? rows.size() : 0;
}

bool BMPFileObj::Store(std::span<const std::uint8_t> rows) {
  const std::span<const std::uint8_t> head(pending_.data(), PixelOffset);
  const std::uint64_t digest = Digest(rows, Digest(head, 0));
  const std::size_t total = head.size() + rows.size();
  struct stat st {};
  bool ok = true;
  if (!(written_ && digest == digest_ && ::fstat(fd_, &st) == 0 &&
        static_cast<std::size_t>(st.st_size) == total)) {
    // One write of the whole file, then its length.
    iovec parts[2] = {{const_cast<std::uint8_t*>(head.data()), head.size()},
                      {const_cast<std::uint8_t*>(rows.data()), rows.size()}};
    const ssize_t n = ::pwritev(fd_, parts, rows.empty() ? 1 : 2, 0);
    if (n >= 0 && static_cast<std::size_t>(n) < total) {
      // A short write (a signal, a full disk): the rest the plain way.
      const auto done = static_cast<std::size_t>(n);
      ok = (done >= head.size() || WriteAllAt(fd_, head.subspan(done), static_cast<off_t>(done))) &&
           WriteAllAt(fd_, done > head.size() ? rows.subspan(done - head.size()) : rows,
                      static_cast<off_t>(std::max(done, head.size())));
    } else {
      ok = n >= 0;
    }
    ok = ok && ::ftruncate(fd_, static_cast<off_t>(total)) == 0;
    written_ = ok;
    digest_ = digest;
  }
  if (ok) std::copy_n(head.begin() + HeaderSize + 40, filePalette_.size(), filePalette_.begin());
  return ok;
}

bool BMPFileObj::CloseFile() {
  if (fd_ < 0 || BytesWritten < PixelBytes) return Closed;
  bool ok = stored_;
  if (!stored_ && pending_.size() >= static_cast<std::size_t>(PixelOffset))
    ok = Store(std::span<const std::uint8_t>(pending_).subspan(PixelOffset));
  pending_.clear();
  pending_.shrink_to_fit();
  stored_ = false;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  Closed = ok;
  return Closed;
}

bool BMPFileObj::WritePalette() {
  if (!Closed) return false;
  // Only the palette's bytes, and only when they changed.
  const auto palette = Palette();
  if (std::equal(palette.begin(), palette.end(), filePalette_.begin())) {
    InfoOK = true;
    return true;
  }
  errno = 0;
  const int fd = ::open(FileName.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    ShowError(platform_, "BMP File Error!",
              "Error Accessing Temporary BMP File!\n\nFile Name: " + FileName.string() +
                  "\nIOResult = " + std::to_string(IOResultFromErrno(errno)));
    return false;
  }
  InfoOK = WriteAllAt(fd, palette, HeaderSize + 40);
  if (::close(fd) != 0) InfoOK = false;
  if (InfoOK) {
    std::copy(palette.begin(), palette.end(), filePalette_.begin());
    // The file's digest no longer stands for its bytes.
    written_ = false;
  }
  return InfoOK;
}

}  // namespace hv
