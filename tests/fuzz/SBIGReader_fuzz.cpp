// Loads arbitrary bytes as a SBIG file: no crash, no read past a buffer,
// no undefined behaviour, whatever the header claims.
#include <cstddef>
#include <cstdint>

#include "images/SBIGFile.h"
#include "tests/images/ReaderFuzzKit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::fuzz::LoadBytes<hv::SBIGFileObj>(data, size, "input.st7");
  return 0;
}
