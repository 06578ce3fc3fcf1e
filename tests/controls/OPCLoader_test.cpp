#include "controls/OPCLoader.h"

#include <gtest/gtest.h>

#include <string>

namespace hv {
namespace {

// Restores the start-up state (no library) after each test.
class OPCLoader : public ::testing::Test {
 protected:
  void TearDown() override { LoadOPCLibrary(); }
};

template <typename F>
std::string MessageOf(F f) {
  try {
    f();
  } catch (const OPCError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST_F(OPCLoader, WithoutTheLibraryEveryWrapperFailsWithItsMessage) {
  EXPECT_TRUE(OPCDLLMissing());
  const std::string want = "Ostrel OPC DLL Not Found.";
  EXPECT_EQ(MessageOf([] { CallSignalAdd("Local", "S", "I", "G", 500, 0, 1, nullptr, nullptr); }),
            want);
  EXPECT_EQ(MessageOf([] { CallSignalRemove(1); }), want);
  EXPECT_EQ(MessageOf([] { CallSignalGetActive(1); }), want);
  EXPECT_EQ(MessageOf([] { CallSignalSendData(1, OPCValue{1.5}); }), want);
}

// A stand-in library with only two of the functions.
struct FakeLib {
  static inline std::string lastArgs;
  static inline int released = 0;
  static std::uint32_t Add(const char* c, const char* s, const char* i, const char* g,
                           std::int32_t rate, std::uint8_t zero, std::uint8_t type, void* item,
                           OPCDataCallback) {
    lastArgs = std::string(c) + "|" + s + "|" + i + "|" + g + "|" + std::to_string(rate) + "|" +
               std::to_string(zero) + "|" + std::to_string(type) + "|" + (item ? "item" : "none");
    return 42;
  }
  static bool GetActive(std::uint32_t h) { return h == 42; }
};

TEST_F(OPCLoader, ABoundLibraryIsCalledInOrderAndAMissingFunctionIsNamed) {
  int item = 0;
  BindOPCLibrary(
      [](std::string_view name) -> OPCEntry {
        if (name == "SignalAdd") return reinterpret_cast<OPCEntry>(&FakeLib::Add);
        if (name == "SignalGetActive") return reinterpret_cast<OPCEntry>(&FakeLib::GetActive);
        return nullptr;
      },
      [] { ++FakeLib::released; });
  EXPECT_FALSE(OPCDLLMissing());
  EXPECT_EQ(CallSignalAdd("Local", "Srv", "Tag", "Grp", 500, 0, 3, &item, nullptr), 42u);
  EXPECT_EQ(FakeLib::lastArgs, "Local|Srv|Tag|Grp|500|0|3|item");
  EXPECT_TRUE(CallSignalGetActive(42));
  EXPECT_EQ(MessageOf([] { CallSignalRemove(42); }),
            "Function \"SignalRemove\" not found in \"iOPC.dll\".");
  EXPECT_EQ(MessageOf([] { CallSignalSendData(42, OPCValue{}); }),
            "Function \"SignalSendData\" not found in \"iOPC.dll\".");

  FreeOPCLibrary();
  EXPECT_EQ(FakeLib::released, 1);
  EXPECT_TRUE(OPCDLLMissing());
  FreeOPCLibrary();
  EXPECT_EQ(FakeLib::released, 1) << "freed only when loaded";
}

}  // namespace
}  // namespace hv
