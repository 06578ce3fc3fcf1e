#pragma once
// The image-file base shared by the FITS, SBIG and ST-4 readers: one object
// per loaded image, owning its facts, pixels, histogram, display bitmap,
// header listing and the two list windows that show them.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/InfoList.h"
#include "app/Options.h"
#include "app/Records.h"
#include "images/BMPFile.h"
#include "images/GraphicsFileRecs.h"
#include "platform/Platform.h"
#include "support/Histogram.h"
#include "support/IntArrayList.h"

namespace hv {

struct ObsParmsRec;

// How the list windows of an image reach the screen: Show creates or
// raises the form of a model, Forget closes it before the model is freed.
struct ListWindowHooks {
  std::function<void(InfoListModel&)> Show;
  std::function<void(InfoListModel&)> Forget;
};

// What a reader reads and writes besides its file, so that it runs without
// the main window.
struct ReaderContext {
  ReaderContext(Platform& p, const OptsRec& s) : platform(&p), settings(&s) {}
  Platform* platform;
  const OptsRec* settings;            // WorkFolder and HeaderTime
  ObsParmsRec* currentObs = nullptr;  // the header's observation facts go here; null: nowhere
  CamRec* camera = nullptr;           // the report's camera record
  bool* camFromFile = nullptr;        // set when the camera record took a file's facts
  ListHost* listHost = nullptr;       // for the list windows
  ListWindowHooks lists;
  // Images of more pixels are refused as faulty (the pixel table's own
  // limits always hold).
  std::uint64_t maxPixels = MaxImagePixels;
  // The largest image the windows can show and measure: 8192 x 8192, a
  // 256 MB pixel table and its 64 MB display bitmap.
  static constexpr std::uint64_t MaxImagePixels = std::uint64_t{1} << 26;
};

// A read-only binary file (FITS, SBIG and ST-4 data).
class BinaryFile {
 public:
  BinaryFile() = default;
  ~BinaryFile() { Close(); }
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  // Opens read-only; false with the I/O result code in OpenError().
  bool Open(const std::filesystem::path& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int OpenError() const { return openError_; }
  // Reads up to n bytes, fewer only at the end of the file; throws
  // FileError on a failed read.
  std::size_t Read(void* buffer, std::size_t n);
  // Reads exactly n bytes or throws FileError (code 100, end of file).
  void ReadExact(void* buffer, std::size_t n);
  void Seek(std::uint64_t position);
  // The file's length and the read position, in bytes.
  std::uint64_t Size() const;
  std::uint64_t Position() const;
  const std::filesystem::path& Path() const { return path_; }

 private:
  int fd_ = -1;
  int openError_ = 0;
  std::filesystem::path path_;
};

class GraphicsFileObj {
 public:
  static constexpr std::uint8_t KindFITS = 0, KindST4 = 1, KindSBIG = 2, KindNone = 3;

  explicit GraphicsFileObj(const ReaderContext& context);
  virtual ~GraphicsFileObj();
  GraphicsFileObj(const GraphicsFileObj&) = delete;
  GraphicsFileObj& operator=(const GraphicsFileObj&) = delete;

  // Loads the named file; true on success.
  virtual bool LoadFile(const std::filesystem::path& fileName) = 0;
  // After a successful load: the image's facts into the report's camera.
  virtual void UpdateCamRec() = 0;

  std::uint8_t FileKind = KindNone;
  ImageInfoRec ImageInfo;
  bool HasData = false;
  std::string DisplayName;
  std::unique_ptr<IntArrayList> Pixels;
  std::unique_ptr<HistogramObj> Histogram;
  std::unique_ptr<BMPFileObj> BMPFile;
  std::int32_t HeaderLow = 0;
  std::int32_t HeaderHigh = 0;
  std::filesystem::path HdrFileName;  // unique to this object
  std::unique_ptr<InfoListModel> HdrListWin;
  std::unique_ptr<InfoListModel> InfoListWin;
  // How stored values were made from the file's, when not as the format
  // says (a linear map of floating-point data); an image information line.
  std::string ValueNote;

  // One stored value: raw range and histogram.
  void AddPixel(std::int32_t value);
  static PassbandCode FilterCode(std::string_view text) { return hv::FilterCode(text); }
  // True when the user abandons a load after reading errors.
  bool AskAbort();

  // The list windows (created at the first call, shown at every call).
  void ShowHeaderList(std::string_view captionPrefix);
  void ShowImageData(std::string_view captionPrefix);
  // Their contents, as the windows get them.
  std::vector<std::string> HeaderListLines() const;
  std::vector<std::string> ImageDataLines() const;
  // The display name cut before its first ".", for default save names.
  std::string SaveBaseName() const;

  // The base name and display name a file gets (upper-cased, the
  // extension cut to four characters).
  static void NameParts(const std::filesystem::path& file, std::string& baseName,
                        std::string& displayName);

  const ReaderContext& Context() const { return ctx_; }
  ReaderContext& Context() { return ctx_; }

 protected:
  // The common start of every header read: frees the previous image.
  void DiscardImage();
  // Names the image and creates its header listing with its first three
  // lines. Failure: the "Unable to Open Temporary File!" box; false.
  bool BeginListing(const std::filesystem::path& file, std::string_view errorCaption,
                    std::string_view title);
  void ListLine(std::string_view line);
  void ListText(std::string_view text) { listing_ += text; }
  // Writes and closes the listing; throws FileError when that fails.
  void CloseListing();

  // A fresh 256-bin histogram and the raw range reset for the pixel readers.
  void NewHistogram(long double binWidth);
  // The pixel store for ImageInfo's size; false (with nothing made) when the
  // size is outside the table's limits or the context's.
  bool SizeAllowed(std::int64_t width, std::int64_t height) const;
  void CreatePixelStore();
  // Starts the filling of the made table again (a second pass over the
  // data): the raw range is reset, the cells are overwritten.
  void RestartPixels();
  // Cuts the image to the rows its data can hold (one at least) when the
  // header claims much more, so that no header makes a table far larger
  // than its file; a cut image is a damaged one (DataShort), whose readers
  // ask whether to keep the part that is there.
  void LimitRows(std::uint64_t rowsHeld);
  bool DataShort() const { return dataShort_; }
  // Stores values in row order (raw range, pixel store); values past the
  // image's pixel count are dropped.
  void StoreValues(std::span<const std::int32_t> values);
  // Ends the filling: a part-filled row is kept with zeros after it, and
  // the stored values are counted into the histogram.
  void FlushPixels();
  // Pixels stored so far.
  std::int64_t StoredCount() const { return stored_; }

  Platform& platform() { return *ctx_.platform; }
  const OptsRec& settings() const { return *ctx_.settings; }

  ReaderContext ctx_;

 private:
  void FreeListWindows();
  std::string listing_;
  std::vector<std::int32_t> row_;
  std::uint32_t rowIndex_ = 0;
  std::int64_t stored_ = 0;
  bool dataShort_ = false;
};

// The hint that ends the "not this format" messages.
extern const char* const FileTypeHint;

}  // namespace hv
