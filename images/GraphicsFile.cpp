#include "images/GraphicsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <system_error>

#include "support/Files.h"
#include "support/Format.h"

namespace hv {

namespace fs = std::filesystem;

const char* const FileTypeHint = "Change the File Type via \"File\" -> \"Image File Type...\"";

// ---- BinaryFile ------------------------------------------------------------

bool BinaryFile::Open(const fs::path& path) {
  Close();
  path_ = path;
  openError_ = 0;
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    openError_ = IOResultFromErrno(errno);
    return false;
  }
  // A folder opens read-only on POSIX, but it is no image file.
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
    openError_ = 5;
    Close();
    return false;
  }
  return true;
}

void BinaryFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::size_t BinaryFile::Read(void* buffer, std::size_t n) {
  if (fd_ < 0) throw FileError(path_, 103, "File not open: " + path_.string());
  auto* p = static_cast<char*>(buffer);
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::read(fd_, p + got, n - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      const int code = IOResultFromErrno(errno);
      throw FileError(path_, code, IOErrorText(code) + " " + path_.string());
    }
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  return got;
}

void BinaryFile::ReadExact(void* buffer, std::size_t n) {
  if (Read(buffer, n) != n)
    throw FileError(path_, 100, "Read beyond end of file: " + path_.string());
}

void BinaryFile::Seek(std::uint64_t position) {
  if (fd_ < 0 || ::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0) {
    const int code = fd_ < 0 ? 103 : IOResultFromErrno(errno);
    throw FileError(path_, code, IOErrorText(code) + " " + path_.string());
  }
}

std::uint64_t BinaryFile::Size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

std::uint64_t BinaryFile::Position() const {
  const off_t at = fd_ < 0 ? -1 : ::lseek(fd_, 0, SEEK_CUR);
  return at < 0 ? 0 : static_cast<std::uint64_t>(at);
}

// ---- GraphicsFileObj -------------------------------------------------------

GraphicsFileObj::GraphicsFileObj(const ReaderContext& context)
    : BMPFile(std::make_unique<BMPFileObj>(*context.platform, context.settings->WorkFolder)),
      ctx_(context) {}

GraphicsFileObj::~GraphicsFileObj() {
  if (HasData && !HdrFileName.empty()) {
    std::error_code ec;
    fs::remove(HdrFileName, ec);
  }
  FreeListWindows();
}

void GraphicsFileObj::FreeListWindows() {
  for (auto* win : {&HdrListWin, &InfoListWin}) {
    if (*win && ctx_.lists.Forget) ctx_.lists.Forget(**win);
    win->reset();
  }
}

void GraphicsFileObj::DiscardImage() {
  dataShort_ = false;
  ValueNote.clear();
  if (!HasData) return;
  Pixels.reset();
  if (!HdrFileName.empty()) {
    std::error_code ec;
    fs::remove(HdrFileName, ec);
  }
  HdrFileName.clear();
  FreeListWindows();
  HasData = false;
}

void GraphicsFileObj::NameParts(const fs::path& file, std::string& baseName,
                                std::string& displayName) {
  const std::string name = UpperAscii(file.filename().string());
  const std::string ext = UpperAscii(file.extension().string()).substr(0, 4);
  baseName = name;
  if (!ext.empty()) {
    const std::size_t at = baseName.find(ext);
    if (at != std::string::npos) baseName.erase(at, ext.size());
  }
  displayName = baseName + ext;
}

bool GraphicsFileObj::BeginListing(const fs::path& file, std::string_view errorCaption,
                                   std::string_view title) {
  std::string base;
  NameParts(file, base, DisplayName);
  listing_.clear();
  // The listing's own name is unique; the name offered for saving it stays
  // the image's base name.
  int code = 0;
  try {
    HdrFileName = CreateUniqueFile(settings().WorkFolder, base.empty() ? "IMAGE" : base, ".HDR");
  } catch (const FileError& e) {
    code = e.code();
    HdrFileName.clear();
  }
  if (HdrFileName.empty()) {
    ShowError(platform(), errorCaption,
              "Unable to Open Temporary File!\n\nFile Name: " + file.string() +
                  "\nIOResult = " + std::to_string(code));
    return false;
  }
  HasData = true;
  ListLine(file.string());
  ListLine(title);
  ListLine("");
  return true;
}

void GraphicsFileObj::ListLine(std::string_view line) {
  // Control bytes of a damaged header become blanks, so that one header
  // line stays one line of the listing.
  for (char c : line) listing_ += static_cast<unsigned char>(c) < 32 || c == 127 ? ' ' : c;
  listing_ += '\n';
}

void GraphicsFileObj::CloseListing() {
  std::ofstream out(HdrFileName, std::ios::binary | std::ios::trunc);
  out.write(listing_.data(), static_cast<std::streamsize>(listing_.size()));
  out.close();
  const bool ok = !out.fail();
  listing_.clear();
  listing_.shrink_to_fit();
  if (!ok) throw FileError(HdrFileName, 101, "Unable to write " + HdrFileName.string());
}

std::vector<std::string> GraphicsFileObj::HeaderListLines() const {
  std::vector<std::string> lines;
  std::ifstream in(HdrFileName, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string GraphicsFileObj::SaveBaseName() const {
  return DisplayName.substr(0, DisplayName.find('.'));
}

std::vector<std::string> GraphicsFileObj::ImageDataLines() const {
  const ImageInfoRec& i = ImageInfo;
  // No pixel read leaves the minimum at its start value, above the maximum.
  const bool none = i.RawMin > i.RawMax;
  std::vector<std::string> lines = {
      "File Name: " + i.FileName,
      "File Type: " + i.Format,
      "Width: " + std::to_string(i.Width) + " Pixels;  " + "Height: " + std::to_string(i.Height) +
          " Pixels;  " + "Total: " + std::to_string(i.PixelCount) + " Pixels",
      "Raw Pixel Values - Minimum: " + FormatFixed(1, none ? 0 : i.RawMin) +
          ";   Maximum: " + FormatFixed(1, none ? 0 : i.RawMax),
      "Maximum Bin: " + std::to_string(i.ModeBin) + ";  Count: " + std::to_string(i.ModeCount),
      "First Zero Bin: " + std::to_string(i.FirstEmptyBin),
      "Adjusted Image Range - Low: " + FormatFixed(1, i.DisplayLow) +
          ";  High: " + FormatFixed(1, i.DisplayHigh),
  };
  if (!ValueNote.empty()) lines.push_back(ValueNote);
  return lines;
}

void GraphicsFileObj::ShowHeaderList(std::string_view captionPrefix) {
  if (!HasData || !ctx_.listHost) return;
  if (!HdrListWin) {
    HdrListWin = std::make_unique<InfoListModel>(platform(), *ctx_.listHost);
    HdrListWin->SaveFilterIndex = 2;
    HdrListWin->Caption = std::string(captionPrefix) + DisplayName;
    HdrListWin->SetLines(HeaderListLines());
    HdrListWin->SavedFileName = SaveBaseName() + ".HDR";
  }
  HdrListWin->Visible = true;
  if (ctx_.lists.Show) ctx_.lists.Show(*HdrListWin);
}

void GraphicsFileObj::ShowImageData(std::string_view captionPrefix) {
  if (!HasData || !ctx_.listHost) return;
  if (!InfoListWin) {
    InfoListWin = std::make_unique<InfoListModel>(platform(), *ctx_.listHost);
    InfoListWin->SaveFilterIndex = 3;
    InfoListWin->Caption = std::string(captionPrefix) + "Image Data";
    InfoListWin->SetLines(ImageDataLines());
    InfoListWin->SavedFileName = SaveBaseName() + ".IMG";
  }
  InfoListWin->Visible = true;
  if (ctx_.lists.Show) ctx_.lists.Show(*InfoListWin);
}

void GraphicsFileObj::AddPixel(std::int32_t value) {
  if (value > ImageInfo.RawMax) ImageInfo.RawMax = value;
  if (value < ImageInfo.RawMin) ImageInfo.RawMin = value;
  if (Histogram) Histogram->Add(value);
}

bool GraphicsFileObj::AskAbort() {
  MessageRequest r;
  r.caption = "File Errors Detected!";
  r.text = "Errors were detected while loading and processing " + DisplayName + ".  " +
           "The resulting image may or may not be useable.\n\n" +
           "Press \"OK\" to attempt to generate the image, \"Cancel\" to abort.";
  r.icon = MsgIcon::Error;
  r.buttons = Buttons::OKCancel;
  r.sound = Sound::Hand;
  return platform().message(r) == ModalResult::Cancel;
}

void GraphicsFileObj::NewHistogram(long double binWidth) {
  Histogram = std::make_unique<HistogramObj>(256, binWidth);
}

bool GraphicsFileObj::SizeAllowed(std::int64_t width, std::int64_t height) const {
  if (width < 1 || height < 1 || width > IntArrayList::MaxColumns || height > IntArrayList::MaxRows)
    return false;
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= ctx_.maxPixels;
}

void GraphicsFileObj::LimitRows(std::uint64_t rowsHeld) {
  dataShort_ = false;
  const auto rows = std::max<std::uint64_t>(rowsHeld, 1);
  if (ImageInfo.Height <= 0 || rows >= static_cast<std::uint64_t>(ImageInfo.Height)) return;
  // A shortfall of up to 4 MB of table keeps the header's size, the missing
  // pixels 0, as a file cut near its end has always loaded.
  constexpr std::uint64_t kSlackPixels = std::uint64_t{1} << 20;
  if ((static_cast<std::uint64_t>(ImageInfo.Height) - rows) *
          static_cast<std::uint64_t>(ImageInfo.Width) <=
      kSlackPixels)
    return;
  dataShort_ = true;
  ImageInfo.Height = static_cast<std::int32_t>(rows);
  ImageInfo.PixelCount = ImageInfo.Width * ImageInfo.Height;
}

void GraphicsFileObj::CreatePixelStore() {
  Pixels.reset();
  Pixels = std::make_unique<IntArrayList>(static_cast<std::uint32_t>(ImageInfo.Width),
                                          static_cast<std::uint32_t>(ImageInfo.Height));
  Pixels->Rewind();
  row_.assign(Pixels->Columns(), 0);
  rowIndex_ = 0;
  stored_ = 0;
}

void GraphicsFileObj::RestartPixels() {
  if (!Pixels) return;
  row_.assign(Pixels->Columns(), 0);
  rowIndex_ = 0;
  stored_ = 0;
  ImageInfo.RawMin = INT32_MAX;
  ImageInfo.RawMax = 0;
}

void GraphicsFileObj::StoreValues(std::span<const std::int32_t> values) {
  if (!Pixels) return;
  const std::int64_t room = static_cast<std::int64_t>(ImageInfo.PixelCount) - stored_;
  if (room <= 0) return;
  if (static_cast<std::int64_t>(values.size()) > room)
    values = values.first(static_cast<std::size_t>(room));
  std::int32_t lo = ImageInfo.RawMin, hi = ImageInfo.RawMax;
  for (std::int32_t v : values) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  ImageInfo.RawMin = lo;
  ImageInfo.RawMax = hi;
  // Rows are assembled and stored whole, as sequential filling does.
  const std::size_t width = row_.size();
  std::size_t col = static_cast<std::size_t>(stored_ % static_cast<std::int64_t>(width));
  while (!values.empty()) {
    const std::size_t take = std::min(width - col, values.size());
    std::copy_n(values.begin(), take, row_.begin() + static_cast<std::ptrdiff_t>(col));
    values = values.subspan(take);
    col += take;
    stored_ += static_cast<std::int64_t>(take);
    if (col == width) {
      Pixels->PutRow(rowIndex_++, row_);
      col = 0;
    }
  }
}

void GraphicsFileObj::FlushPixels() {
  if (!Pixels || row_.empty()) return;
  const std::size_t col =
      static_cast<std::size_t>(stored_ % static_cast<std::int64_t>(row_.size()));
  if (col != 0 && rowIndex_ <= Pixels->LastRow()) {
    std::fill(row_.begin() + static_cast<std::ptrdiff_t>(col), row_.end(), 0);
    Pixels->PutRow(rowIndex_, row_);
  }
  row_.clear();
  row_.shrink_to_fit();
  // The histogram counts every stored value, in one pass over the table
  // (values never read are not counted).
  if (Histogram) Histogram->AddValues(Pixels->Cells().first(static_cast<std::size_t>(stored_)));
}

}  // namespace hv
