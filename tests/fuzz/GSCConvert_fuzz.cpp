// Converts arbitrary bytes as a region file of the catalog's own form: the
// rows read, merged, sorted and encoded as converted records. No crash, no
// read past a buffer, no undefined behaviour, whatever the bytes say; a row
// that is no number is the one error allowed.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "astrometry/GSCWrite.h"
#include "support/Format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Short inputs are mostly header: put the bytes where the rows begin.
  std::vector<std::uint8_t> file(hv::GSCRawHeaderSize, ' ');
  file.insert(file.end(), data, data + size);
  hv::GSCMergeBuffers buffers;
  try {
    hv::ReadGSCRegionRows(file, buffers.rows);
  } catch (const hv::ConvertError&) {
    return 0;
  }
  hv::MergeGSCRows(buffers.rows, buffers.stars);
  const std::vector<std::uint8_t> out = hv::EncodeGSCBinFile(buffers.stars);
  if (out.size() != buffers.stars.size() * hv::GSCBinRecSize) __builtin_trap();
  return 0;
}
