// Arbitrary bytes as an options file and as stations and camera files. What
// a decoder accepts must encode to the file's size and decode to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/ListFiles.h"
#include "app/Options.h"

namespace {

template <class Rec, class Encode, class Decode>
void ListRecords(const std::uint8_t* data, std::size_t size, std::size_t recSize, Encode encode,
                 Decode decode) {
  hv::Decoder d({data, size});
  while (d.remaining() >= recSize) {
    Rec r = decode(d);
    hv::Encoder e;
    encode(e, r);
    if (e.size() != recSize) std::abort();
    hv::Decoder again(e.data());
    hv::Encoder e2;
    encode(e2, decode(again));  // bytes, since a NaN single never equals itself
    if (e2.data() != e.data()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    hv::Decoder d({data, size});
    hv::OptsRec r = hv::DecodeOptsFields(d);
    (void)hv::SameVersion("1.711", r.FileVersion);
    (void)hv::DecodePassword(r.Password, r.PasswordLen);
    if (!hv::DispParmsValid(r.DisplayDefaults) || !hv::BoxParmsValid(r.BoxParms)) std::abort();
    hv::Encoder e;
    hv::EncodeOptsFields(e, r);
    if (e.size() != hv::OptsFileSize) std::abort();
    hv::Decoder again(e.data());
    hv::OptsRec back = hv::DecodeOptsFields(again);
    hv::Encoder e2;
    hv::EncodeOptsFields(e2, back);
    if (e2.data() != e.data()) std::abort();
  } catch (const hv::DecodeError&) {
  }
  ListRecords<hv::SiteRec>(data, size, hv::SiteRecSize, hv::EncodeSiteRec, hv::DecodeSiteRec);
  ListRecords<hv::CamRec>(data, size, hv::CamRecSize, hv::EncodeCamRec, hv::DecodeCamRec);
  return 0;
}
