// Loads arbitrary bytes as a FITS file: no crash, no read past a buffer,
// no undefined behaviour, whatever the header claims.
#include <cstddef>
#include <cstdint>

#include "images/FITSFile.h"
#include "tests/images/ReaderFuzzKit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::fuzz::LoadBytes<hv::FITSFileObj>(data, size, "input.fit");
  return 0;
}
