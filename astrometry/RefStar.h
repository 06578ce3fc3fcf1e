#pragma once
// One measured star (reference, target or field centre) and the lists that
// hold such records.
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/Codec.h"
#include "support/LinkList.h"

namespace hv {

// Encoded size of the packed record; the last 8 bytes are reserved zeros.
constexpr std::size_t RefStarRecSize = 177;
namespace RefStarCap {
constexpr std::size_t Name = 18;
}

// Status byte values. References follow their use flags (StatusFromFlags);
// the field centre and the target have fixed values.
namespace RefStatus {
constexpr std::uint8_t PosAndMag = 0, OneOfThem = 1, Neither = 2, FieldCenter = 3, Target = 5;
}
constexpr std::int32_t FieldCenterNumber = 99;

struct RefStarRec {
  std::uint8_t Status = 0;
  std::int32_t Number = 0;  // 1, 2, ... for references; image index for the target; 99 field centre
  std::string Name;         // catalog identifier; "Field Center"; empty for the target
  long double FieldX = 0, FieldY = 0;  // reference-field window pixels
  long double ImageX = 0, ImageY = 0;  // measured, display-oriented image units
  long double CatRA = 0;               // hours
  long double CatDec = 0;              // degrees
  long double RA = 0;                  // computed, hours
  long double Dec = 0;                 // computed, degrees
  long double ResidRA = 0;             // arc seconds (times cos Dec); target: mean |RA residual|
  long double ResidDec = 0;            // arc seconds; target: mean |Dec residual|
  long double ResidTotal = 0;          // arc seconds; target: the solution's sigma
  long double Flux = 0;
  long double Mag = 0;       // reference: catalog; target: computed
  long double MagResid = 0;  // reference: photometric residual; target: standard error
  std::uint8_t Catalog = 0;  // CatalogCode
  std::uint8_t Band = 0;     // PassbandCode
  bool UsePos = false;
  bool UseMag = false;
  bool Located = false;

  bool operator==(const RefStarRec&) const = default;
};

// Both flags 0, exactly one 1, none 2.
std::uint8_t StatusFromFlags(bool usePos, bool useMag);
inline void SetStatusFromFlags(RefStarRec& r) { r.Status = StatusFromFlags(r.UsePos, r.UseMag); }

void EncodeRefStarRec(Encoder& e, const RefStarRec& r);
// Reads exactly RefStarRecSize bytes; DecodeError when they end early.
RefStarRec DecodeRefStarRec(Decoder& d);

// References in insertion order.
class RefStarList : public LinkListObj<RefStarRec> {
 public:
  // An entry with r's name takes r's two use flags and the status they give;
  // without one, r (its status set from its flags) is appended.
  void AddOrUpdate(const RefStarRec& r);
  // The same update of an existing entry; nothing when none has r's name.
  void UpdateFlags(const RefStarRec& r);
  // The first entry whose name equals r's exactly (case-sensitive), with the
  // cursor left on it; nullptr otherwise, with the cursor on the last entry
  // so that InsertAfter appends.
  RefStarRec* FindByName(const RefStarRec& r);
};

// The two total residuals are equal.
bool RefStarResidEqual(const RefStarRec& a, const RefStarRec& b);
// a's total residual is smaller than b's, so sorted insertion keeps the
// worst star first.
bool RefStarResidGreater(const RefStarRec& a, const RefStarRec& b);

// References in descending order of total residual.
class RefStarSortList : public RefStarList {
 public:
  bool SameKey(const RefStarRec& a, const RefStarRec& b) const override {
    return RefStarResidEqual(a, b);
  }
  bool KeyGreater(const RefStarRec& a, const RefStarRec& b) const override {
    return RefStarResidGreater(a, b);
  }
};

}  // namespace hv
