#include "astrometry/RefStar.h"

namespace hv {

std::uint8_t StatusFromFlags(bool usePos, bool useMag) {
  if (usePos && useMag) return RefStatus::PosAndMag;
  if (usePos || useMag) return RefStatus::OneOfThem;
  return RefStatus::Neither;
}

void EncodeRefStarRec(Encoder& e, const RefStarRec& r) {
  e.u8(r.Status);
  e.i32(r.Number);
  e.str(r.Name, RefStarCap::Name);
  for (long double v : {r.FieldX, r.FieldY, r.ImageX, r.ImageY, r.CatRA, r.CatDec, r.RA, r.Dec,
                        r.ResidRA, r.ResidDec, r.ResidTotal, r.Flux, r.Mag, r.MagResid})
    e.ext(v);
  e.u8(r.Catalog);
  e.u8(r.Band);
  e.boolean(r.UsePos);
  e.boolean(r.UseMag);
  e.boolean(r.Located);
  e.zeros(8);
}

RefStarRec DecodeRefStarRec(Decoder& d) {
  RefStarRec r;
  r.Status = d.u8();
  r.Number = d.i32();
  r.Name = d.str(RefStarCap::Name);
  for (long double* v :
       {&r.FieldX, &r.FieldY, &r.ImageX, &r.ImageY, &r.CatRA, &r.CatDec, &r.RA, &r.Dec, &r.ResidRA,
        &r.ResidDec, &r.ResidTotal, &r.Flux, &r.Mag, &r.MagResid})
    *v = d.ext();
  r.Catalog = d.u8();
  r.Band = d.u8();
  r.UsePos = d.boolean();
  r.UseMag = d.boolean();
  r.Located = d.boolean();
  d.skip(8);
  return r;
}

RefStarRec* RefStarList::FindByName(const RefStarRec& r) {
  Reset();
  while (RefStarRec* item = Next()) {
    if (item->Name == r.Name) return item;
    if (AtLast()) break;
  }
  GoLast();
  return nullptr;
}

void RefStarList::UpdateFlags(const RefStarRec& r) {
  if (RefStarRec* item = FindByName(r)) {
    item->UsePos = r.UsePos;
    item->UseMag = r.UseMag;
    SetStatusFromFlags(*item);
  }
}

void RefStarList::AddOrUpdate(const RefStarRec& r) {
  if (RefStarRec* item = FindByName(r)) {
    item->UsePos = r.UsePos;
    item->UseMag = r.UseMag;
    SetStatusFromFlags(*item);
    return;
  }
  RefStarRec copy = r;
  SetStatusFromFlags(copy);
  GoLast();
  InsertAfter(copy);
}

bool RefStarResidEqual(const RefStarRec& a, const RefStarRec& b) {
  return a.ResidTotal == b.ResidTotal;
}

bool RefStarResidGreater(const RefStarRec& a, const RefStarRec& b) {
  return a.ResidTotal < b.ResidTotal;
}

}  // namespace hv
