#include "support/LinkList.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace hv {
namespace {

struct Rec {
  int Key = 0;
  char Tag = ' ';  // tells apart items of equal key
};

// Ascending by key.
class AscList : public LinkListObj<Rec> {
 public:
  bool SameKey(const Rec& a, const Rec& b) const override { return a.Key == b.Key; }
  bool KeyGreater(const Rec& a, const Rec& b) const override { return a.Key > b.Key; }
};

// "1a 2b 2c 3d": keys and tags in list order, read without moving the cursor.
std::string Dump(const LinkListObj<Rec>& l) {
  std::string s;
  for (const Rec& r : l) {
    if (!s.empty()) s += ' ';
    s += std::to_string(r.Key) + r.Tag;
  }
  return s;
}

// Builds a list in the given order with InsertAfter.
template <class L>
void Fill(L& l, std::vector<Rec> recs) {
  for (const Rec& r : recs) l.InsertAfter(r);
}

TEST(LinkList, NewListIsEmpty) {
  LinkListObj<Rec> l;
  EXPECT_TRUE(l.IsEmpty());
  EXPECT_TRUE(l.AtFirst());
  EXPECT_TRUE(l.AtLast());
  EXPECT_EQ(l.LastIndex(), -1);
  EXPECT_EQ(l.CurIndex(), -1);
  EXPECT_EQ(l.Next(), nullptr);
  EXPECT_EQ(l.Prev(), nullptr);
  EXPECT_EQ(l.Item(0), nullptr);
  l.DeleteCurrent();  // nothing without a cursor
  l.GoLast();
  EXPECT_EQ(l.CurIndex(), -1);
  EXPECT_EQ(l.CurrentItem(), nullptr);
}

TEST(LinkList, InsertionOrderCursorAndDeletion) {
  LinkListObj<Rec> l;
  l.InsertFirst(Rec{1, 'A'});
  l.InsertAfter(Rec{2, 'B'});
  l.InsertAfter(Rec{3, 'C'});
  EXPECT_EQ(Dump(l), "1A 2B 3C");
  EXPECT_EQ(l.CurIndex(), 2);
  EXPECT_TRUE(l.AtLast());
  EXPECT_EQ(l.LastIndex(), 2);

  l.DeleteCurrent();
  EXPECT_EQ(l.CurIndex(), 1);
  EXPECT_EQ(l.CurrentItem()->Tag, 'B');
  EXPECT_TRUE(l.AtLast());  // the tail moved back with it
  l.InsertAfter(Rec{3, 'C'});

  l.Reset();
  EXPECT_FALSE(l.AtFirst());  // a non-empty list without cursor
  std::string seen;
  for (int i = 0; i < 3; ++i) {
    Rec* r = l.Next();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(l.CurIndex(), i);
    seen += r->Tag;
  }
  EXPECT_EQ(seen, "ABC");
  EXPECT_EQ(l.Next(), nullptr);
  EXPECT_EQ(l.CurIndex(), -1);
  EXPECT_EQ(l.Next()->Tag, 'A');  // starts again

  // Prev from the first item leaves no cursor; without one it stays so.
  EXPECT_EQ(l.Prev(), nullptr);
  EXPECT_EQ(l.CurIndex(), -1);
  EXPECT_EQ(l.Prev(), nullptr);
  EXPECT_EQ(l.CurIndex(), -1);

  // InsertAfter without a cursor inserts first; InsertFirst also moves the cursor.
  l.InsertAfter(Rec{0, 'Z'});
  EXPECT_EQ(Dump(l), "0Z 1A 2B 3C");
  EXPECT_EQ(l.CurIndex(), 0);
  l.Item(2);
  l.InsertFirst(Rec{-1, 'Y'});
  EXPECT_EQ(Dump(l), "-1Y 0Z 1A 2B 3C");
  EXPECT_EQ(l.CurIndex(), 0);
  EXPECT_TRUE(l.AtFirst());
}

TEST(LinkList, DeletingTheFirstItemLeavesNoCursor) {
  LinkListObj<Rec> l;
  Fill(l, {{1, 'A'}, {2, 'B'}});
  l.Item(0);
  l.DeleteCurrent();
  EXPECT_EQ(l.CurIndex(), -1);
  EXPECT_EQ(l.CurrentItem(), nullptr);
  EXPECT_EQ(l.LastIndex(), 0);
  EXPECT_EQ(l.Next()->Tag, 'B');
  l.DeleteCurrent();
  EXPECT_TRUE(l.IsEmpty());
  EXPECT_EQ(l.LastIndex(), -1);
  EXPECT_TRUE(l.AtFirst());
  EXPECT_TRUE(l.AtLast());
}

TEST(LinkList, ItemOutsideTheListKeepsTheCursor) {
  LinkListObj<Rec> l;
  Fill(l, {{1, 'A'}, {2, 'B'}, {3, 'C'}, {4, 'D'}, {5, 'E'}});
  l.Item(1);
  EXPECT_EQ(l.Item(l.LastIndex() + 1), nullptr);
  EXPECT_EQ(l.Item(-1), nullptr);
  EXPECT_EQ(l.CurIndex(), 1);
  // Every index reached from every cursor position, and from none.
  for (int from = -1; from <= 4; ++from) {
    for (int to = 0; to <= 4; ++to) {
      if (from < 0)
        l.Reset();
      else
        l.Item(from);
      Rec* r = l.Item(to);
      ASSERT_NE(r, nullptr);
      EXPECT_EQ(r->Key, to + 1) << "from " << from << " to " << to;
      EXPECT_EQ(l.CurIndex(), to);
      EXPECT_EQ(l.CurrentItem(), r);
    }
  }
}

TEST(LinkList, ItemAddressesStayStable) {
  LinkListObj<Rec> l;
  Rec* a = l.InsertAfter(Rec{1, 'A'});
  Rec* c = l.InsertAfter(Rec{3, 'C'});
  l.Item(0);
  Rec* b = l.InsertAfter(Rec{2, 'B'});
  for (int i = 0; i < 100; ++i) {  // plenty of growth around them
    l.GoLast();
    l.InsertAfter(Rec{10 + i, 'x'});
    l.InsertFirst(Rec{-i, 'y'});
  }
  l.Reset();
  while (Rec* r = l.Next())
    if (r->Tag == 'x' || r->Tag == 'y') l.DeleteCurrent();
  EXPECT_EQ(Dump(l), "1A 2B 3C");
  EXPECT_EQ(l.Item(0), a);
  EXPECT_EQ(l.Item(1), b);
  EXPECT_EQ(l.Item(2), c);

  // The list holds its own copies, changeable in place.
  Rec mine{7, 'M'};
  Rec* stored = l.InsertAfter(mine);
  EXPECT_NE(stored, &mine);
  mine.Tag = 'N';
  EXPECT_EQ(stored->Tag, 'M');
  stored->Tag = 'Q';
  EXPECT_EQ(l.Item(3)->Tag, 'Q');

  // Moving the list keeps the nodes.
  LinkListObj<Rec> moved(std::move(l));
  EXPECT_EQ(moved.Item(1), b);
  EXPECT_TRUE(l.IsEmpty());
}

TEST(LinkList, CopyIsDeepAndKeepsTheCursorIndex) {
  AscList l;
  Fill(l, {{1, 'A'}, {2, 'B'}, {3, 'C'}});
  l.Item(1);
  AscList copy(l);
  EXPECT_EQ(Dump(copy), "1A 2B 3C");
  EXPECT_EQ(copy.CurIndex(), 1);
  copy.InsertSorted(Rec{2, 'X'});  // still an ordered kind, walking from 2B
  EXPECT_EQ(Dump(copy), "1A 2X 2B 3C");
  EXPECT_NE(copy.Item(0), l.Item(0));
  EXPECT_EQ(Dump(l), "1A 2B 3C");
  l = copy;
  EXPECT_EQ(Dump(l), "1A 2X 2B 3C");
}

TEST(LinkList, NullItemsAreIgnored) {
  AscList l;
  const Rec* none = nullptr;
  EXPECT_EQ(l.InsertFirst(none), nullptr);
  EXPECT_EQ(l.InsertAfter(none), nullptr);
  EXPECT_EQ(l.InsertSorted(none), nullptr);
  EXPECT_EQ(l.Replace(none), nullptr);
  EXPECT_TRUE(l.IsEmpty());
}

TEST(LinkList, ClearEmptiesAndTheListIsReusable) {
  LinkListObj<std::string> l;  // items need not be trivially copyable
  l.InsertAfter(std::string(100, 'a'));
  l.InsertAfter(std::string("b"));
  l.Clear();
  EXPECT_TRUE(l.IsEmpty());
  EXPECT_EQ(l.CurIndex(), -1);
  EXPECT_EQ(l.LastIndex(), -1);
  l.InsertAfter(std::string("c"));
  EXPECT_EQ(*l.Item(0), "c");
}

TEST(LinkList, PlainListRefusesOrderedOperations) {
  LinkListObj<Rec> l;
  Fill(l, {{1, 'A'}});
  EXPECT_THROW(l.InsertSorted(Rec{2, 'B'}), std::logic_error);
  EXPECT_THROW(l.Replace(Rec{1, 'B'}), std::logic_error);
  EXPECT_EQ(Dump(l), "1A");
}

// Where a new item of key 2 lands depends on where the walk starts.
TEST(LinkList, InsertSortedEqualKeysFollowTheCursor) {
  struct Case {
    const char* name;
    std::vector<Rec> list;
    int cursor;  // -1: no cursor
    Rec item;
    const char* want;
    int wantIndex;
  } cases[] = {
      {"forward from 1: after the run of 2s",
       {{1, 'a'}, {2, 'b'}, {2, 'c'}, {3, 'd'}},
       0,
       {2, 'N'},
       "1a 2b 2c 2N 3d",
       3},
      {"backward from 3: before the run of 2s",
       {{1, 'a'}, {2, 'b'}, {2, 'c'}, {3, 'd'}},
       3,
       {2, 'N'},
       "1a 2N 2b 2c 3d",
       1},
      {"backward, run starts the list: after the first",
       {{2, 'b'}, {2, 'c'}, {3, 'd'}},
       2,
       {2, 'N'},
       "2b 2N 2c 3d",
       1},
      {"cursor inside the run walks backward",
       {{1, 'a'}, {2, 'b'}, {2, 'c'}, {3, 'd'}},
       2,
       {2, 'N'},
       "1a 2N 2b 2c 3d",
       1},
      {"no cursor starts at the first item",
       {{1, 'a'}, {2, 'b'}, {2, 'c'}, {3, 'd'}},
       -1,
       {2, 'N'},
       "1a 2b 2c 2N 3d",
       3},
      {"greater than all goes last", {{1, 'a'}, {2, 'b'}}, 0, {5, 'N'}, "1a 2b 5N", 2},
      {"greater than all from the last", {{1, 'a'}, {2, 'b'}}, 1, {5, 'N'}, "1a 2b 5N", 2},
      {"smaller than the first from the last",
       {{1, 'a'}, {2, 'b'}, {3, 'c'}},
       2,
       {0, 'N'},
       "0N 1a 2b 3c",
       0},
      {"smaller than the first from the first",
       {{1, 'a'}, {2, 'b'}, {3, 'c'}},
       0,
       {0, 'N'},
       "0N 1a 2b 3c",
       0},
      {"smaller than the first without cursor",
       {{1, 'a'}, {2, 'b'}, {3, 'c'}},
       -1,
       {0, 'N'},
       "0N 1a 2b 3c",
       0},
      {"forward stops before the first greater",
       {{1, 'a'}, {3, 'b'}, {5, 'c'}},
       0,
       {4, 'N'},
       "1a 3b 4N 5c",
       2},
      {"backward stops after the last smaller",
       {{1, 'a'}, {3, 'b'}, {5, 'c'}},
       2,
       {2, 'N'},
       "1a 2N 3b 5c",
       1},
      {"equal to a single item", {{2, 'a'}}, 0, {2, 'N'}, "2a 2N", 1},
      {"into an empty list", {}, -1, {2, 'N'}, "2N", 0},
  };
  for (const auto& c : cases) {
    AscList l;
    Fill(l, c.list);
    if (c.cursor < 0)
      l.Reset();
    else
      l.Item(c.cursor);
    Rec* r = l.InsertSorted(c.item);
    EXPECT_EQ(Dump(l), c.want) << c.name;
    EXPECT_EQ(l.CurIndex(), c.wantIndex) << c.name;
    EXPECT_EQ(l.CurrentItem(), r) << c.name;
    EXPECT_EQ(r->Tag, 'N') << c.name;
    EXPECT_EQ(l.LastIndex() + 1, static_cast<int>(c.list.size()) + 1) << c.name;
  }
}

TEST(LinkList, InsertSortedKeepsARandomSeriesInOrder) {
  AscList l;
  unsigned x = 12345;
  for (int i = 0; i < 300; ++i) {
    x = x * 1103515245u + 12345u;
    l.InsertSorted(Rec{static_cast<int>((x >> 16) % 50), 'r'});
  }
  EXPECT_EQ(l.LastIndex(), 299);
  int prev = -1, n = 0;
  for (const Rec& r : l) {
    EXPECT_GE(r.Key, prev);
    prev = r.Key;
    ++n;
  }
  EXPECT_EQ(n, 300);
}

TEST(LinkList, ReplaceOverwritesOrMoves) {
  AscList l;
  Fill(l, {{1, 'a'}, {3, 'b'}, {5, 'c'}});
  Rec* mid = l.Item(1);
  Rec* r = l.Replace(Rec{3, 'X'});  // same key: in place
  EXPECT_EQ(r, mid);
  EXPECT_EQ(Dump(l), "1a 3X 5c");
  EXPECT_EQ(l.CurIndex(), 1);

  l.Item(0);
  r = l.Replace(Rec{4, 'Y'});  // new key: moves to its place
  EXPECT_EQ(Dump(l), "3X 4Y 5c");
  EXPECT_EQ(l.CurrentItem(), r);
  EXPECT_EQ(l.CurIndex(), 1);
  EXPECT_EQ(l.LastIndex(), 2);

  l.Reset();
  r = l.Replace(Rec{0, 'Z'});  // no cursor: simply inserted
  EXPECT_EQ(Dump(l), "0Z 3X 4Y 5c");
  EXPECT_EQ(l.CurIndex(), 0);

  // An edited copy with a new key moves; the record handed back in place
  // keeps its address.
  Rec edited = *l.Item(1);
  edited.Key = 9;
  r = l.Replace(edited);
  EXPECT_EQ(Dump(l), "0Z 4Y 5c 9X");
  EXPECT_EQ(r->Tag, 'X');
  EXPECT_EQ(l.CurIndex(), 3);
}

// Ordered by key, but no two items count as the same.
class NoMatchList : public AscList {
 public:
  bool SameKey(const Rec& a, const Rec& b) const override { return NoKeyMatch(a, b); }
};

TEST(LinkList, ReplaceWithTheCursorsOwnItemIsSafe) {
  NoMatchList l;
  Fill(l, {{1, 'a'}, {3, 'b'}, {5, 'c'}});
  Rec* own = l.Item(1);
  own->Key = 6;
  // Deleted before it is inserted again: the list copies it first.
  Rec* r = l.Replace(*own);
  EXPECT_EQ(Dump(l), "1a 5c 6b");
  EXPECT_EQ(r, l.CurrentItem());
}

}  // namespace
}  // namespace hv
