#pragma once
// The FITS reader: the primary header, or the first extension's when the
// primary is empty, then an image of BITPIX 8, 16, 32, -32 or -64 (the first
// plane of a cube). The catalog's regions table derives from it and
// overrides ReadTable only; such a table load leaves the observation
// parameters and the camera alone.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "images/FITSHeader.h"
#include "images/GraphicsFile.h"

namespace hv {

class FITSFileObj : public GraphicsFileObj {
 public:
  explicit FITSFileObj(const ReaderContext& context);

  bool LoadFile(const std::filesystem::path& fileName) override;
  void UpdateCamRec() override;

  // The header read: the header record, ImageInfo and the observation time.
  virtual bool ReadHeader(const std::filesystem::path& fileName);
  virtual bool CheckHeader();
  // Called for an ASCII table extension ("TABLE"): DataFile stands at the
  // table's first block, NAxis1 is the row length and NAxis2 the number of
  // rows; CardBlock may be reused. An override reads the table and answers
  // the load's result. Here: the table is refused with a message.
  virtual bool ReadTable();
  // The header's observation facts into the current observation parameters
  // (after a successful image load with DATE-OBS).
  void UpdateObsParms();

  static bool IsValidBitPix(std::int32_t bitPix);

  FITSHeaderRec Header;
  BinaryFile DataFile;
  std::array<std::uint8_t, FITSBlockSize + 1> CardBlock{};

 protected:
  bool IsTable() const;
  bool IsBinaryTable() const;

 private:
  void SetObsTime(const FITSHeaderParser& parser);
  // The pixel readers of BITPIX 8, 16, 32, -32 and -64.
  bool ReadBytes();
  bool ReadShorts();
  bool ReadLongs();
  bool ReadSingles();
  bool ReadDoubles();
  template <typename Float>
  bool ReadFloats();
  // Whether floating-point values of this range are mapped onto 16 bits,
  // and the image information line that says so.
  bool MapsOntoSixteenBits(double lo, double hi) const;
  void SayMapped(double lo, double hi);
  // What they share: the data read in whole blocks, each read's count
  // values of the given size converted by convert (false when a value had
  // no 32-bit integer; it is then stored as 0). ReadPass answers whether
  // all went well; ReadValues asks about errors.
  using ConvertValues = std::function<bool(const std::uint8_t*, std::size_t, std::int32_t*)>;
  // Untallied, the values' range and histogram are left to the caller.
  bool ReadPass(std::size_t size, long double binWidth, const ConvertValues& convert,
                bool tallied = true);
  bool ReadValues(std::size_t size, long double binWidth, const ConvertValues& convert);

  // Floating-point data spanning fewer integer steps are mapped onto 16 bits.
  static constexpr double FloatSteps = 4096;
  std::uint64_t dataStart_ = 0;

  bool hasDateObs_ = false;
  bool goOn_ = false;
  bool endSeen_ = false;
};

}  // namespace hv
