#include "images/SBIGFile.h"

#include <cfloat>
#include <cmath>
#include <numbers>
#include <vector>

#include "astrometry/ObsParms.h"
#include "images/FITSHeader.h"
#include "images/SBIGRows.h"
#include "support/Codec.h"
#include "support/DateTime.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {

namespace fs = std::filesystem;

const std::array<std::string_view, 33> SBIGKeys = {"ST-",
                                                   "File_version",
                                                   "Data_version",
                                                   "Exposure ",
                                                   "Focal_length",
                                                   "Aperture",
                                                   "Response_factor",
                                                   "Note",
                                                   "Background",
                                                   "Range",
                                                   "Height",
                                                   "Width",
                                                   "Date",
                                                   "Time",
                                                   "Exposure_state",
                                                   "Temperature",
                                                   "Number_exposures",
                                                   "Each_exposure",
                                                   "History",
                                                   "Observer",
                                                   "X_pixel_size",
                                                   "Y_pixel_size",
                                                   "Pedestal",
                                                   "E_gain",
                                                   "User_1",
                                                   "User_2",
                                                   "User_3",
                                                   "User_4",
                                                   "Filter",
                                                   "Readout_mode",
                                                   "Track_time",
                                                   "Sat_level",
                                                   "End"};

const std::array<std::string_view, 10> SBIGCameraNames = {
    "ST-4", "ST-4X", "ST-5", "ST-6", "ST-7", "ST-8", "PixCel255", "PixCel237", "ST-9", "STV"};

void SBIGHeaderRec::Encode(Encoder& e) const {
  e.str(Title, 24);
  e.u8(CameraIndex);
  e.boolean(Compressed);
  e.i32(FileVersion);
  e.i32(DataVersion);
  e.i32(Exposure);
  e.f32(FocalLength);
  e.f32(Aperture);
  e.f32(ResponseFactor);
  e.str(Note, 78);
  e.i32(Background);
  e.i32(Range);
  e.i32(Height);
  e.i32(Width);
  e.str(Date, 8);
  e.str(Time, 8);
  e.f64(ObsTime);
  e.i32(ExposureState);
  e.f32(Temperature);
  e.i32(NumberExposures);
  e.i32(EachExposure);
  e.str(History, 64);
  e.str(Observer, 64);
  e.f32(XPixelSize);
  e.f32(YPixelSize);
  e.i32(Pedestal);
  e.f32(EGain);
  for (const std::string* u : {&User1, &User2, &User3, &User4}) e.str(*u, 64);
  e.str(Filter, 10);
  e.u8(FilterCode);
  e.i32(ReadoutMode);
  e.i32(TrackTime);
  e.i32(SatLevel);
}

SBIGFileObj::SBIGFileObj(const ReaderContext& context) : GraphicsFileObj(context) {
  FileKind = KindSBIG;
}

std::uint8_t SBIGFileObj::CameraIn(std::string_view line) {
  for (std::size_t i = 1; i < SBIGCameraNames.size(); ++i)
    if (line.find(SBIGCameraNames[i]) != std::string_view::npos)
      return static_cast<std::uint8_t>(i);
  return 0;
}

bool SBIGFileObj::IsSBIGTitle(std::string_view firstLine) {
  return firstLine.find("Image") != std::string_view::npos && CameraIn(firstLine) != 0;
}

namespace {

std::string Cut(std::string_view text, std::size_t n) { return std::string(text.substr(0, n)); }

// A single from a header value; values beyond a single's range are not
// numbers this header can hold.
float SingleOf(std::string_view text) {
  const long double v = StrToFloat(text);
  if (std::fabs(v) > FLT_MAX)
    throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return static_cast<float>(v);
}

}  // namespace

std::string_view SBIGFileObj::LineValue(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos || eq + 2 > line.size()) return {};
  return line.substr(eq + 2);
}

void SBIGFileObj::ParseTitle(std::string_view line) {
  Header.CameraIndex = CameraIn(line);
  Header.Compressed = line.find("Compressed") != std::string_view::npos;
  Header.Title = Cut(line, 24);
}

void SBIGFileObj::ParseLine(std::string_view line) {
  std::size_t key = SBIGKeys.size();
  for (std::size_t i = 0; i < SBIGKeys.size(); ++i)
    if (line.starts_with(SBIGKeys[i])) {
      key = i;
      break;
    }
  if (key == SBIGKeys.size()) return;
  const std::string_view value = LineValue(line);
  SBIGHeaderRec& h = Header;
  switch (key) {
    case 0:
      ParseTitle(line);
      break;
    case 1:
      h.FileVersion = StrToInt(value);
      break;
    case 2:
      h.DataVersion = StrToInt(value);
      break;
    case 3:
      h.Exposure = StrToInt(value);
      break;
    case 4:
      h.FocalLength = SingleOf(value);
      break;
    case 5:
      h.Aperture = SingleOf(value);
      break;
    case 6:
      h.ResponseFactor = SingleOf(value);
      break;
    case 7:
      h.Note = Cut(value, 78);
      break;
    case 8:
      h.Background = StrToInt(value);
      break;
    case 9:
      h.Range = StrToInt(value);
      break;
    case 10:
      h.Height = StrToInt(value);
      break;
    case 11:
      h.Width = StrToInt(value);
      break;
    case 12:
      h.Date = Cut(value, 8);
      dateText_ = value;  // whole: "03/15/2004" does not fit the record's 8
      break;
    case 13:
      h.Time = Cut(value, 8);
      timeText_ = value;
      break;
    case 14:
      h.ExposureState = StrToInt(value);
      break;
    case 15:
      h.Temperature = SingleOf(value);
      break;
    case 16:
      h.NumberExposures = StrToInt(value);
      break;
    case 17:
      h.EachExposure = StrToInt(value);
      break;
    case 18:
      h.History = Cut(value, 64);
      break;
    case 19:
      h.Observer = Cut(value, 64);
      break;
    case 20:
      h.XPixelSize = SingleOf(value);
      break;
    case 21:
      h.YPixelSize = SingleOf(value);
      break;
    case 22:
      h.Pedestal = StrToInt(value);
      break;
    case 23:
      h.EGain = SingleOf(value);
      break;
    case 24:
      h.User1 = Cut(value, 64);
      break;
    case 25:
      h.User2 = Cut(value, 64);
      break;
    case 26:
      h.User3 = Cut(value, 64);
      break;
    case 27:
      h.User4 = Cut(value, 64);
      break;
    case 28:
      h.Filter = Cut(value, 10);
      h.FilterCode = FilterCode(h.Filter);
      break;
    case 29:
      h.ReadoutMode = StrToInt(value);
      break;
    case 30:
      h.TrackTime = StrToInt(value);
      break;
    case 31:
      h.SatLevel = StrToInt(value);
      break;
    default:
      break;  // End
  }
}

void SBIGFileObj::ShowFormatError(const fs::path& file, std::string_view firstLine) {
  ShowError(platform(), "SBIG File Error",
            "File is Not a Valid SBIG Format (ST-4X thru STV)!\nFile Name: " + file.string() +
                "\nFirst Hdr Line: " + std::string(firstLine) + "\n\n" + FileTypeHint);
}

void SBIGFileObj::SetObsTime(long double c) {
  long double date = 0;
  const auto d = ParseSBIGDate(dateText_);
  const auto encoded = d ? EncodeDate(d->Year, d->Month, d->Day) : std::nullopt;
  if (encoded)
    date = *encoded;
  else
    ShowNumericError(platform(), "DATE-OBS", dateText_);
  long double tod = 0;
  if (!TrimBlanks(timeText_).empty()) {
    try {
      tod = HeaderTimeOfDay(timeText_);
    } catch (const ConvertError&) {
      ShowNumericError(platform(), "UT", timeText_);
      tod = 0;
    }
  }
  Header.ObsTime = static_cast<double>(date + tod + c / 172800.0L);
}

bool SBIGFileObj::ReadHeader(const fs::path& fileName) {
  DiscardImage();
  if (!DataFile.Open(fileName)) {
    ShowError(platform(), "SBIG File Error",
              "Unable to Open SBIG File!\n\nFile Name: " + fileName.string() +
                  "\nIOResult = " + std::to_string(DataFile.OpenError()));
    return false;
  }
  if (!BeginListing(fileName, "File Error", "** SBIG Header Information **")) {
    DataFile.Close();
    return false;
  }
  const double keptTime = Header.ObsTime;
  Header = SBIGHeaderRec{};
  Header.ObsTime = keptTime;
  dateText_.clear();
  timeText_.clear();

  std::vector<std::uint8_t> buf(HeaderBytes);
  try {
    DataFile.ReadExact(buf.data(), HeaderBytes);
  } catch (...) {
    CloseListing();
    DataFile.Close();
    throw;
  }
  const std::string_view text(reinterpret_cast<const char*>(buf.data()), HeaderBytes);
  const std::string_view firstLine = text.substr(0, std::min<std::size_t>(text.find('\n'), 30));
  if (!IsSBIGTitle(firstLine)) {
    CloseListing();
    DataFile.Close();
    ShowFormatError(fileName, firstLine);
    return false;
  }
  bool endMark = false;
  std::size_t pos = 0;
  try {
    while (pos < HeaderBytes) {
      const std::size_t lf = text.find('\n', pos);
      const std::string_view line =
          text.substr(pos, std::min<std::size_t>((lf == text.npos ? HeaderBytes : lf) - pos, 80));
      ListLine(line);
      // The first line names the camera even when it does not begin with
      // "ST-" (PixCel255, PixCel237, STV): its compression counts too.
      if (pos == 0)
        ParseTitle(line);
      else
        ParseLine(line);
      if (lf == text.npos) break;
      pos = lf + 2;  // the carriage return after the line feed
      if (pos < HeaderBytes && buf[pos] == 26) {
        endMark = true;
        break;
      }
    }
  } catch (...) {
    CloseListing();
    DataFile.Close();
    throw;
  }
  CloseListing();
  if (!endMark) {
    // A header that never ends is no SBIG header.
    DataFile.Close();
    ShowFormatError(fileName, firstLine);
    return false;
  }
  long double c = 0;
  switch (settings().HeaderTime) {
    case HeaderTimeCode::Start:
      c = Header.Exposure / 100.0L;
      break;
    case HeaderTimeCode::End:
      c = -Header.Exposure / 100.0L;
      break;
    default:
      c = 0;
      break;
  }
  SetObsTime(c);
  if (!SizeAllowed(Header.Width, Header.Height)) {
    DataFile.Close();
    ShowError(platform(), "SBIG File Error",
              "Image Size in SBIG Header is Missing or Faulty!\nFile Name: " + fileName.string() +
                  "\nWidth = " + std::to_string(Header.Width) +
                  ", Height = " + std::to_string(Header.Height));
    return false;
  }
  ImageInfo = ImageInfoRec{};
  ImageInfo.FileName = Cut(fileName.string(), ImageInfoRec::FileNameCap);
  ImageInfo.Format = Cut("SBIG - " + Header.Title, ImageInfoRec::FormatCap);
  ImageInfo.Width = Header.Width;
  ImageInfo.Height = Header.Height;
  ImageInfo.PixelCount = Header.Width * Header.Height;
  ImageInfo.RawMin = INT32_MAX;
  ImageInfo.RawMax = 0;
  return true;
}

void SBIGFileObj::UpdateObsParms() {
  ObsParmsRec* obs = ctx_.currentObs;
  if (!obs) return;
  if (obs->Observer.empty()) obs->Observer = Header.Observer;
  obs->ObsTime = Header.ObsTime;
}

bool SBIGFileObj::Stored(std::int64_t raw, std::int32_t& out) const {
  const std::int64_t v = raw + Header.Pedestal - 100;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

bool SBIGFileObj::ReadPixels() {
  NewHistogram(256);
  const std::size_t width = static_cast<std::size_t>(ImageInfo.Width);
  std::vector<std::uint8_t> bytes(2 * width);
  std::vector<std::int32_t> values(width);
  bool errors = false;
  try {
    for (std::int32_t row = 0; row < ImageInfo.Height; ++row) {
      DataFile.ReadExact(bytes.data(), bytes.size());
      for (std::size_t i = 0; i < width; ++i)
        if (!Stored(bytes[2 * i] | (bytes[2 * i + 1] << 8), values[i]))
          values[i] = 0, errors = true;
      StoreValues(values);
    }
  } catch (const FileError&) {
    errors = true;
  }
  FlushPixels();
  return errors || DataShort() ? !AskAbort() : true;
}

bool SBIGFileObj::ReadCompressed() {
  NewHistogram(256);
  const std::size_t width = static_cast<std::size_t>(ImageInfo.Width);
  std::vector<std::uint8_t> bytes(2 * width);
  std::vector<std::int32_t> raw, values;
  raw.reserve(width);
  values.reserve(width);
  bool errors = false;
  try {
    // The header's rows, whatever the table holds: a row's values are not
    // tied to the width, and the file's end stops a claim it cannot keep.
    for (std::int32_t row = 0; row < Header.Height && !errors; ++row) {
      std::uint8_t count[2];
      DataFile.ReadExact(count, 2);
      const std::size_t n = count[0] | (count[1] << 8);
      // A row longer than its buffer cannot be stored: a reading error.
      if (n > bytes.size() || n < 2) {
        errors = true;
        break;
      }
      DataFile.ReadExact(bytes.data(), n);
      raw.clear();
      if (!DecodeSBIGRow(std::span<const std::uint8_t>(bytes.data(), n), ImageInfo.Width, raw))
        errors = true;
      values.clear();
      for (std::int32_t r : raw) {
        std::int32_t v = 0;
        if (!Stored(r, v)) errors = true;
        values.push_back(v);
      }
      // A row of more or fewer values than the width shifts the rows after
      // it; values past the last row are dropped. A faulty row is kept as
      // far as it decoded, then reading stops.
      StoreValues(values);
    }
  } catch (const FileError&) {
    errors = true;
  }
  FlushPixels();
  return errors || DataShort() ? !AskAbort() : true;
}

bool SBIGFileObj::LoadFile(const fs::path& fileName) {
  if (!ReadHeader(fileName)) return false;
  // The header's claim is held against the bytes after the header: plain
  // rows take 2 bytes a value; a compressed row at least its length word
  // and two bytes, and never more values than bytes. (An ST-4 file has
  // its fixed size, which its trailer read has proved.)
  if (FileKind == KindSBIG) {
    const std::uint64_t size = DataFile.Size(), at = DataFile.Position();
    const std::uint64_t data = size > at ? size - at : 0;
    const auto width = static_cast<std::uint64_t>(ImageInfo.Width);
    if (Header.Compressed)
      LimitRows(std::min(data / 4, (data + width - 1) / width));
    else
      LimitRows((data / 2 + width - 1) / width);
  }
  CreatePixelStore();
  const bool ok = Header.Compressed ? ReadCompressed() : ReadPixels();
  DataFile.Close();
  if (ok) {
    const auto clamp = [](std::int64_t v) {
      return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    HeaderLow = clamp(std::int64_t{Header.Background} + Header.Pedestal - 100);
    HeaderHigh = clamp(std::int64_t{HeaderLow} + Header.Range);
    UpdateCamRec();
    UpdateObsParms();
  }
  return ok;
}

void SBIGFileObj::UpdateCamRec() {
  if (CamRec* cam = ctx_.camera) {
    cam->Name = "SBIG " + std::string(SBIGCameraNames[Header.CameraIndex % SBIGCameraNames.size()]);
    auto finite = [](long double v) { return std::isfinite(v) && std::fabs(v) <= FLT_MAX; };
    if (Header.XPixelSize != 0 && finite(Header.XPixelSize * 1000.0L))
      cam->PixelWidth = static_cast<float>(Header.XPixelSize * 1000.0L);
    if (Header.YPixelSize != 0 && finite(Header.YPixelSize * 1000.0L))
      cam->PixelHeight = static_cast<float>(Header.YPixelSize * 1000.0L);
    // The diameter of a circle of the aperture's area, inches to mm; a
    // negative area has none.
    if (Header.Aperture > 0)
      cam->Aperture =
          static_cast<float>(std::sqrt(Header.Aperture / std::numbers::pi_v<long double>) * 50.8L);
    if (Header.FocalLength != 0 && finite(Header.FocalLength * 25.4L))
      cam->FocalLength = static_cast<float>(Header.FocalLength * 25.4L);
    if (Header.FilterCode != PassbandUnknown) cam->Filter = Header.FilterCode;
    cam->ImageWidth = Header.Width;
    cam->ImageHeight = Header.Height;
  }
  if (ctx_.camFromFile) *ctx_.camFromFile = true;
}

}  // namespace hv
