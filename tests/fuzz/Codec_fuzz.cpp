// Decodes arbitrary bytes as records of every field type.
#include <cstddef>
#include <cstdint>

#include "support/Codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::Decoder d({data, size});
  try {
    while (d.remaining() > 0) {
      switch (d.u8() % 6) {
        case 0:
          (void)d.str(d.remaining() > 0 ? d.u8() : 0);
          break;
        case 1:
          (void)d.ext();
          break;
        case 2:
          (void)d.f64();
          break;
        case 3:
          (void)d.f32();
          break;
        case 4:
          (void)d.i32();
          break;
        default:
          (void)d.i16();
          break;
      }
    }
  } catch (const hv::DecodeError&) {
  }
  return 0;
}
