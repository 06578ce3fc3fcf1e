#include "images/ST4File.h"

#include <array>
#include <cfloat>
#include <cmath>

#include "images/FITSHeader.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {

namespace fs = std::filesystem;

ST4FileObj::ST4FileObj(const ReaderContext& context) : SBIGFileObj(context) { FileKind = KindST4; }

namespace {

std::string_view Field(const std::array<std::uint8_t, ST4FileObj::TrailerSize>& t, std::size_t from,
                       std::size_t to) {
  std::string_view f(reinterpret_cast<const char*>(t.data()) + from, to - from + 1);
  while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
  return f;
}

float Single(std::string_view text) {
  const long double v = StrToFloat(text);
  if (std::fabs(v) > FLT_MAX)
    throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return static_cast<float>(v);
}

}  // namespace

bool ST4FileObj::ReadHeader(const fs::path& fileName) {
  DiscardImage();
  if (!DataFile.Open(fileName)) {
    ShowError(platform(), "ST-4 File Error",
              "Unable to Open ST-4 File!\n\nFile Name: " + fileName.string() +
                  "\nIOResult = " + std::to_string(DataFile.OpenError()));
    return false;
  }
  if (!BeginListing(fileName, "File Error", "** ST-4 Header Information **")) {
    DataFile.Close();
    return false;
  }
  const double keptTime = Header.ObsTime;
  Header = SBIGHeaderRec{};
  Header.ObsTime = keptTime;

  std::array<std::uint8_t, TrailerSize> t{};
  try {
    DataFile.Seek(TrailerOffset);
    DataFile.ReadExact(t.data(), t.size());
  } catch (...) {
    CloseListing();
    DataFile.Close();
    throw;
  }
  if (t[0] != 'v') {
    CloseListing();
    DataFile.Close();
    ShowError(
        platform(), "ST-4 File Error",
        "File is Not in ST-4 Format!\nFile Name: " + fileName.string() + "\n\n" + FileTypeHint);
    return false;
  }
  try {
    std::string note(
        TrimTrailingBlanks(std::string_view(reinterpret_cast<const char*>(t.data()) + 1, 78)));
    for (char& c : note)
      if (static_cast<unsigned char>(c) < 32) c = ' ';
    Header.Note = note;
    ListLine("Note = " + Header.Note);
    const std::string_view exposure = Field(t, 79, 88), focal = Field(t, 89, 98),
                           aperture = Field(t, 99, 108), response = Field(t, 109, 118);
    ListLine("Exposure = " + std::string(exposure));
    ListLine("Focal_length = " + std::string(focal));
    ListLine("Aperture = " + std::string(aperture));
    ListLine("Response_factor = " + std::string(response));
    Header.Exposure = StrToInt(exposure);
    Header.FocalLength = Single(focal);
    Header.Aperture = Single(aperture);
    Header.ResponseFactor = Single(response);
  } catch (...) {
    CloseListing();
    DataFile.Close();
    throw;
  }
  Header.Height = Height;
  Header.Width = Width;
  Header.XPixelSize = 0.0138f;
  Header.YPixelSize = 0.016f;
  ListLine("Height = " + std::to_string(Height));
  ListLine("Width = " + std::to_string(Width));
  ListLine("X_pixel_size = " + FormatFixed(4, 0.0138L));
  ListLine("Y_pixel_size = " + FormatFixed(4, 0.016L));
  CloseListing();
  DataFile.Seek(0);

  ImageInfo = ImageInfoRec{};
  ImageInfo.FileName = fileName.string().substr(0, ImageInfoRec::FileNameCap);
  ImageInfo.Format = "SBIG - ST-4";
  ImageInfo.Width = Width;
  ImageInfo.Height = Height;
  ImageInfo.PixelCount = Width * Height;
  ImageInfo.RawMin = INT32_MAX;
  ImageInfo.RawMax = 0;
  return true;
}

bool ST4FileObj::ReadPixels() {
  NewHistogram(1);
  std::array<std::uint8_t, Width> bytes{};
  std::array<std::int32_t, Width> values{};
  bool errors = false;
  try {
    for (int row = 0; row < Height; ++row) {
      DataFile.ReadExact(bytes.data(), bytes.size());
      for (int i = 0; i < Width; ++i) values[i] = bytes[i];
      StoreValues(values);
    }
  } catch (const FileError&) {
    errors = true;
  }
  FlushPixels();
  return errors ? !AskAbort() : true;
}

}  // namespace hv
