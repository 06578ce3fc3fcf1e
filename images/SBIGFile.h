#pragma once
// The SBIG reader (ST-4X to STV cameras): a 2048-byte text header of
// "key = value" lines, then 16-bit little-endian pixels, plain or
// delta-compressed row by row.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "images/GraphicsFile.h"

namespace hv {

struct SBIGHeaderRec {
  std::string Title;  // string[24], the first line
  std::uint8_t CameraIndex = 0;
  bool Compressed = false;
  std::int32_t FileVersion = 0;
  std::int32_t DataVersion = 0;
  std::int32_t Exposure = 0;  // hundredths of a second
  float FocalLength = 0;      // inches
  float Aperture = 0;         // square inches
  float ResponseFactor = 0;
  std::string Note;  // string[78]
  std::int32_t Background = 0;
  std::int32_t Range = 0;
  std::int32_t Height = 0;
  std::int32_t Width = 0;
  std::string Date;    // string[8], month/day/year
  std::string Time;    // string[8]
  double ObsTime = 0;  // middle of the exposure
  std::int32_t ExposureState = 0;
  float Temperature = 0;
  std::int32_t NumberExposures = 0;
  std::int32_t EachExposure = 0;
  std::string History;   // string[64]
  std::string Observer;  // string[64]
  float XPixelSize = 0;  // mm
  float YPixelSize = 0;  // mm
  std::int32_t Pedestal = 0;
  float EGain = 0;
  std::string User1, User2, User3, User4;  // string[64]
  std::string Filter;                      // string[10]
  PassbandCode FilterCode = PassbandUnknown;
  std::int32_t ReadoutMode = 0;
  std::int32_t TrackTime = 0;
  std::int32_t SatLevel = 0;

  static constexpr std::size_t EncodedSize = 618;
  void Encode(Encoder& e) const;
};

extern const std::array<std::string_view, 33> SBIGKeys;
extern const std::array<std::string_view, 10> SBIGCameraNames;

class SBIGFileObj : public GraphicsFileObj {
 public:
  static constexpr std::size_t HeaderBytes = 2048;

  explicit SBIGFileObj(const ReaderContext& context);

  bool LoadFile(const std::filesystem::path& fileName) override;
  void UpdateCamRec() override;

  virtual bool ReadHeader(const std::filesystem::path& fileName);
  virtual void UpdateObsParms();
  virtual bool ReadPixels();
  bool ReadCompressed();

  // The camera index a title line names (1 ST-4X .. 9 STV), 0 for none.
  static std::uint8_t CameraIn(std::string_view line);
  static bool IsSBIGTitle(std::string_view firstLine);
  void ParseLine(std::string_view line);
  // The camera line: camera index, compression and title.
  void ParseTitle(std::string_view line);
  // The value of a header line: what follows the first "=" and the blank
  // after it.
  static std::string_view LineValue(std::string_view line);

  SBIGHeaderRec Header;
  BinaryFile DataFile;

 protected:
  void SetObsTime(long double c);
  // The stored value of a raw one: raw + Pedestal - 100, false when that
  // leaves the 32-bit range.
  bool Stored(std::int64_t raw, std::int32_t& out) const;
  // "Not this format" and "faulty size" messages, with the file-type hint.
  void ShowFormatError(const std::filesystem::path& file, std::string_view firstLine);

 private:
  std::string dateText_, timeText_;  // the header's whole Date and Time values
};

}  // namespace hv
