#include "controls/OPCItem.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace hv {
namespace {

// A stand-in library that records its calls.
struct Lib {
  static inline std::vector<std::string> calls;
  static inline std::set<std::uint32_t> active;
  static inline std::uint32_t next = 1;
  static inline OPCDataCallback callback = nullptr;
  static inline void* lastItem = nullptr;

  static std::uint32_t Add(const char* c, const char* s, const char* i, const char* g,
                           std::int32_t rate, std::uint8_t, std::uint8_t type, void* item,
                           OPCDataCallback cb) {
    calls.push_back(std::string("add ") + c + " " + s + " " + i + " " + g + " " +
                    std::to_string(rate) + " " + std::to_string(type));
    callback = cb;
    lastItem = item;
    active.insert(next);
    return next++;
  }
  static void Remove(std::uint32_t h) {
    calls.push_back("remove " + std::to_string(h));
    active.erase(h);
  }
  static bool GetActive(std::uint32_t h) { return active.count(h) > 0; }
  static void Send(std::uint32_t h, const OPCValue* v) {
    calls.push_back("send " + std::to_string(h) + " " + OPCValueText(*v));
  }
  static void Bind() {
    calls.clear();
    active.clear();
    next = 1;
    BindOPCLibrary([](std::string_view n) -> OPCEntry {
      if (n == "SignalAdd") return reinterpret_cast<OPCEntry>(&Add);
      if (n == "SignalRemove") return reinterpret_cast<OPCEntry>(&Remove);
      if (n == "SignalGetActive") return reinterpret_cast<OPCEntry>(&GetActive);
      if (n == "SignalSendData") return reinterpret_cast<OPCEntry>(&Send);
      return nullptr;
    });
  }
};

struct Owner {
  std::vector<std::string> arrived;
  std::vector<bool> errors;
  TiOPCItemManager manager{TiOPCItemManager::OwnerHooks{
      [] { return false; }, [] { return false; },
      [this](TiOPCItem& i) { arrived.push_back(OPCValueText(i.Value)); },
      [](std::string_view n) { return n == "Active" ? tkEnumeration : tkUnknown; },
      [this](bool on) { errors.push_back(on); }}};
};

class OPCItem : public ::testing::Test {
 protected:
  void TearDown() override { LoadOPCLibrary(); }
};

TEST_F(OPCItem, WithoutTheLibraryNothingConnectsAndNothingFails) {
  Owner o;
  TiOPCItem& item = o.manager.Add();
  item.SetPropertyName("Active");
  item.SetServerName("Srv");
  item.SetItemName("Tag");
  item.SetAutoConnect(true);
  item.Connect();
  EXPECT_FALSE(item.IsConnected());
  EXPECT_EQ(item.Handle, 0u);
  item.SendData(OPCValue{true});
  item.Disconnect();
  EXPECT_EQ(item.DataType, tkEnumeration);
}

TEST_F(OPCItem, ConnectsWithItsNamesOnlyWhenTheyAreGiven) {
  Lib::Bind();
  Owner o;
  TiOPCItem& item = o.manager.Add();
  EXPECT_EQ(item.ComputerName(), "Local");
  EXPECT_EQ(item.UpdateRate(), 500);
  item.SetAutoConnect(false);
  item.SetItemName("Tag");
  item.Connect();  // no property name
  item.SetPropertyName("Active");
  item.Connect();  // neither group nor server
  EXPECT_TRUE(Lib::calls.empty());
  item.SetGroupName("  ");
  item.SetServerName("Srv");
  item.Connect();
  ASSERT_EQ(Lib::calls.size(), 1u);
  EXPECT_EQ(Lib::calls[0], "add Local Srv Tag    500 3");
  EXPECT_TRUE(item.IsConnected());

  item.SetItemName("Other");  // connected: connects again
  ASSERT_EQ(Lib::calls.size(), 3u);
  EXPECT_EQ(Lib::calls[1], "remove 1");
  EXPECT_EQ(Lib::calls[2], "add Local Srv Other    500 3");

  item.SendData(OPCValue{std::int64_t{7}});
  EXPECT_EQ(Lib::calls.back(), "send 2 7");

  // The library's callback reaches the owner; quality 0xC0 is good.
  ASSERT_EQ(Lib::lastItem, &item);
  OPCValue v{true};
  item.SetAutoError(true);
  Lib::callback(Lib::lastItem, &v, 0xC0, {});
  Lib::callback(Lib::lastItem, &v, 0x40, {});
  EXPECT_EQ(o.arrived, (std::vector<std::string>{"True", "True"}));
  // No data yet: not good; then good; then bad.
  EXPECT_EQ(o.errors, (std::vector<bool>{true, false, true}));

  o.manager.Clear();  // destroying the item disconnects it
  EXPECT_EQ(Lib::calls.back(), "remove 2");
}

TEST_F(OPCItem, ManagerListsItsItems) {
  TiOPCItemManager m;
  EXPECT_FALSE(m.HasItems());
  TiOPCItem& a = m.Add();
  TiOPCItem& b = m.Add();
  EXPECT_EQ(m.Count(), 2);
  EXPECT_EQ(m.IndexOf(&b), 1);
  EXPECT_EQ(m.GetItem(0), &a);
  EXPECT_EQ(m.GetItem(2), nullptr);
  EXPECT_EQ(m.IndexOf(nullptr), -1);
  m.Clear();
  EXPECT_EQ(m.Count(), 0);
}

TEST(OPCValueText, Table) {
  EXPECT_EQ(OPCValueText(OPCValue{}), "");
  EXPECT_EQ(OPCValueText(OPCValue{false}), "False");
  EXPECT_EQ(OPCValueText(OPCValue{std::int64_t{-12}}), "-12");
  EXPECT_EQ(OPCValueText(OPCValue{2.5}), "2.5");
  EXPECT_EQ(OPCValueText(OPCValue{std::string("x")}), "x");
}

}  // namespace
}  // namespace hv
