// Loads arbitrary bytes as a ST4 file: no crash, no read past a buffer,
// no undefined behaviour, whatever the header claims.
#include <cstddef>
#include <cstdint>

#include "images/ST4File.h"
#include "tests/images/ReaderFuzzKit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::fuzz::LoadBytes<hv::ST4FileObj>(data, size, "input.st4");
  return 0;
}
