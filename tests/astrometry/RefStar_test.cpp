#include "astrometry/RefStar.h"

#include <gtest/gtest.h>

#include <vector>

namespace hv {
namespace {

RefStarRec Named(const char* name, bool pos = true, bool mag = true) {
  RefStarRec r;
  r.Name = name;
  r.UsePos = pos;
  r.UseMag = mag;
  return r;
}

TEST(RefStarRec, EncodesToItsSizeAndBack) {
  RefStarRec r = Named("GSC 1234-567", true, false);
  r.Status = 1;
  r.Number = -7;
  r.FieldX = 12.5L;
  r.ImageY = 1.0L / 3;
  r.CatRA = 23.999999999L;
  r.CatDec = -89.5L;
  r.MagResid = 0.031L;
  r.Catalog = 2;
  r.Band = 6;
  r.Located = true;
  Encoder e;
  EncodeRefStarRec(e, r);
  ASSERT_EQ(e.size(), RefStarRecSize);
  Decoder d(e.data());
  EXPECT_EQ(DecodeRefStarRec(d), r);
  EXPECT_EQ(d.remaining(), 0u);

  Decoder shortRead(std::span(e.data()).first(RefStarRecSize - 1));
  EXPECT_THROW(DecodeRefStarRec(shortRead), DecodeError);
}

TEST(RefStarRec, StatusFollowsTheFlags) {
  EXPECT_EQ(StatusFromFlags(true, true), 0);
  EXPECT_EQ(StatusFromFlags(true, false), 1);
  EXPECT_EQ(StatusFromFlags(false, true), 1);
  EXPECT_EQ(StatusFromFlags(false, false), 2);
}

std::vector<std::string> Names(RefStarList& l) {
  std::vector<std::string> out;
  for (const auto& r : l) out.push_back(r.Name);
  return out;
}

TEST(RefStarList, FindByNameIsExact) {
  RefStarList l;
  EXPECT_EQ(l.FindByName(Named("")), nullptr);
  l.AddOrUpdate(Named("ABCD"));
  l.AddOrUpdate(Named("abc"));
  l.AddOrUpdate(Named("XYZ"));
  EXPECT_EQ(l.FindByName(Named("ABC")), nullptr);
  EXPECT_EQ(l.CurIndex(), 2) << "a miss leaves the cursor on the last entry";
  EXPECT_EQ(l.FindByName(Named("")), nullptr) << "an empty name matches only an empty name";
  RefStarRec* found = l.FindByName(Named("abc"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->Name, "abc");
  EXPECT_EQ(l.CurIndex(), 1);
  l.AddOrUpdate(Named(""));
  ASSERT_NE(l.FindByName(Named("")), nullptr);
  EXPECT_EQ(l.CurIndex(), 3);
}

TEST(RefStarList, AddOrUpdateChangesOnlyFlagsAndStatus) {
  RefStarList l;
  RefStarRec a = Named("A", true, true);
  a.Status = 2;  // wrong on purpose: the list sets it from the flags
  a.ImageX = 10;
  a.Flux = 500;
  l.AddOrUpdate(a);
  l.AddOrUpdate(Named("B", false, false));
  EXPECT_EQ(l.Item(0)->Status, 0);
  EXPECT_EQ(l.Item(1)->Status, 2);

  RefStarRec again = Named("A", false, true);
  again.ImageX = 99;
  again.Flux = 1;
  l.AddOrUpdate(again);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"A", "B"}));
  const RefStarRec& stored = *l.Item(0);
  EXPECT_FALSE(stored.UsePos);
  EXPECT_TRUE(stored.UseMag);
  EXPECT_EQ(stored.Status, 1);
  EXPECT_EQ(stored.ImageX, 10);
  EXPECT_EQ(stored.Flux, 500);

  l.UpdateFlags(Named("B", true, true));
  EXPECT_EQ(l.Item(1)->Status, 0);
  l.UpdateFlags(Named("C"));
  EXPECT_EQ(l.Count(), 2) << "UpdateFlags never adds";
}

TEST(RefStarSortList, WorstResidualFirst) {
  RefStarSortList l;
  const double resid[] = {0.4, 1.7, 0.1, 1.7, 0.9};
  for (int i = 0; i < 5; ++i) {
    RefStarRec r = Named("S");
    r.Number = i + 1;
    r.ResidTotal = resid[i];
    l.InsertSorted(r);
  }
  std::vector<double> got;
  for (const auto& r : l) got.push_back(static_cast<double>(r.ResidTotal));
  EXPECT_EQ(got, (std::vector<double>{1.7, 1.7, 0.9, 0.4, 0.1}));
  RefStarRec a, b;
  a.ResidTotal = b.ResidTotal = 2;
  EXPECT_TRUE(RefStarResidEqual(a, b));
  b.ResidTotal = 3;
  EXPECT_TRUE(RefStarResidGreater(a, b));
  EXPECT_FALSE(RefStarResidGreater(b, a));
}

}  // namespace
}  // namespace hv
