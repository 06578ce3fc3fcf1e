#include "controls/forms/PropertyFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "controls/forms/Leds.h"
#include "support/Files.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {

std::string ReadText(const std::filesystem::path& p) {
  auto bytes = ReadWholeFile(p);
  return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::filesystem::path& p, const std::string& text) {
  WriteFileAtomic(p, text);
}

std::string LoadError(TiComponent& c, const std::filesystem::path& p) {
  try {
    c.LoadFromTextFile(p);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(PropertyFiles, SavesThePublishedPropertiesWithoutPositionAndSize) {
  auto dir = test::FreshFolder("props");
  TiLedRound led;
  led.SetActiveColor(clRed);
  led.SetActive(true);
  led.SaveToTextFile(dir / "led.txt");
  EXPECT_EQ(ReadText(dir / "led.txt"),
            "File Type = TiLedRound\r\n"
            "AutoFrameRate = 0\r\n"
            "UpdateFrameRate = 60\r\n"
            "OptionSaveAllProperties = 0\r\n"
            "Active = 1\r\n"
            "BevelStyle = 2\r\n"
            "ActiveColor = 255\r\n"
            "AutoInactiveColor = 1\r\n"
            "InactiveColor = 21760\r\n"
            "ShowReflection = 1\r\n"
            "BackGroundColor = -16777201\r\n"
            "Transparent = 0\r\n");

  led.SetOptionSaveAllProperties(true);
  led.SaveToTextFile(dir / "all.txt");
  const std::string all = ReadText(dir / "all.txt");
  EXPECT_NE(all.find("\r\nLeft = 0\r\n"), std::string::npos) << all;
  EXPECT_NE(all.find("\r\nWidth = 20\r\n"), std::string::npos) << all;
}

TEST(PropertyFiles, LoadsByNameWithoutRegardToCaseInOneRepaint) {
  auto dir = test::FreshFolder("load");
  WriteText(dir / "led.txt",
            "File Type = Anything\r\n"
            "activecolor = 255\r\n"
            "Active = 1\r\n"
            "BevelStyle=0\n"
            "BackGroundColor = -16777201\r\n"
            "Unknown = 5\r\n");
  TiLedRound led;
  int changes = 0;
  led.OnChange = [&](TiLed&) { ++changes; };
  led.LoadFromTextFile(dir / "led.txt");
  EXPECT_EQ(led.ActiveColor(), clRed);
  EXPECT_TRUE(led.Active());
  EXPECT_EQ(led.BevelStyle(), ibsNone);
  EXPECT_EQ(led.BackGroundColor(), clBtnFace);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(led.Updating());
}

TEST(PropertyFiles, ABadValueStopsTheLoadWithItsMessageAndEndsTheBracket) {
  auto dir = test::FreshFolder("bad");
  WriteText(dir / "led.txt", "Active = 1\r\nActiveColor = 12x\r\nShowReflection = 0\r\n");
  TiLedRound led;
  EXPECT_EQ(LoadError(led, dir / "led.txt"),
            "Error Loading Properties - '12x' is not a valid integer value");
  EXPECT_TRUE(led.Active()) << "properties before the bad one keep their values";
  EXPECT_TRUE(led.ShowReflection()) << "properties after it are not reached";
  EXPECT_FALSE(led.Updating());

  EXPECT_EQ(LoadError(led, dir / "missing.txt").rfind("Error Loading Properties - ", 0), 0u);
}

// A damaged file's size is held to what a screen shows, so that a
// transparent control's background bitmap stays small.
TEST(PropertyFiles, SizesBeyondAScreenAreHeld) {
  auto dir = test::FreshFolder("huge");
  WriteText(dir / "led.txt", "Transparent = 1\r\nWidth = 40\r\nHeight = 77215\r\n");
  TiLedRound led;
  led.LoadFromTextFile(dir / "led.txt");
  EXPECT_LE(led.width(), TiVCLComponent::MaxSide);
  EXPECT_LE(led.height(), TiVCLComponent::MaxSide);
  led.SetWidth(-5);
  EXPECT_GE(led.width(), 0);
}

TEST(PropertyFiles, KindsOfPublishedProperties) {
  TiLedRound led;
  EXPECT_EQ(led.PropertyKind("active"), tkEnumeration);
  EXPECT_EQ(led.PropertyKind("BevelStyle"), tkEnumeration);
  EXPECT_EQ(led.PropertyKind("UpdateFrameRate"), tkInteger);
  EXPECT_EQ(led.PropertyKind("ActiveColor"), tkInteger);
  EXPECT_EQ(led.PropertyKind("Hint"), tkString);
  EXPECT_EQ(led.PropertyKind("Nothing"), tkUnknown);
  EXPECT_EQ(led.PropertyKind("objectName"), tkUnknown) << "toolkit properties are not published";
}

}  // namespace
}  // namespace hv

namespace hv {
namespace {

TEST(OPCData, ReceivedValuesSetTheBoundPropertyWithGoodQualityOnly) {
  TiLedRound led;
  TiOPCItem& item = led.OPCItems.Add();
  item.SetPropertyName("active");
  EXPECT_EQ(item.DataType, tkEnumeration);
  std::vector<int> told;
  led.OnNewOPCData = [&](TiVCLComponent&, int index) { told.push_back(index); };

  item.DataArrived(OPCValue{std::string("True")}, 0xC0, {});
  EXPECT_TRUE(led.Active());
  item.DataArrived(OPCValue{std::int64_t{0}}, 0x00, {});  // bad quality: not applied
  EXPECT_TRUE(led.Active());
  item.DataArrived(OPCValue{std::string("0")}, 0xC0, {});
  EXPECT_FALSE(led.Active());
  item.DataArrived(OPCValue{std::string("yes")}, 0xC0, {});  // two-valued: not "0" is 1
  EXPECT_TRUE(led.Active());
  EXPECT_EQ(told, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_FALSE(led.ApplyingOPCData);

  // The value may be changed before it is applied.
  led.OnBeforeNewOPCData = [](TiVCLComponent&, int, OPCValue& v) { v = OPCValue{false}; };
  item.DataArrived(OPCValue{true}, 0xC0, {});
  EXPECT_FALSE(led.Active());

  TiOPCItem& colour = led.OPCItems.Add();
  colour.SetPropertyName("ActiveColor");
  led.OnBeforeNewOPCData = nullptr;
  colour.DataArrived(OPCValue{std::int64_t{255}}, 0xC0, {});
  EXPECT_EQ(led.ActiveColor(), clRed);
  EXPECT_EQ(told.back(), 1);

  // The bevel style is an enumeration of three values: "True" is 1, raised.
  TiOPCItem& bevel = led.OPCItems.Add();
  bevel.SetPropertyName("BevelStyle");
  EXPECT_EQ(bevel.DataType, tkEnumeration);
  bevel.DataArrived(OPCValue{std::string("true")}, 0xC0, {});
  EXPECT_EQ(led.BevelStyle(), ibsRaised);
  bevel.DataArrived(OPCValue{std::string("0")}, 0xC0, {});
  EXPECT_EQ(led.BevelStyle(), ibsNone);

  // Without the library no item is connected, so nothing is sent.
  EXPECT_FALSE(led.SendPropertyData("Active", OPCValue{true}));
}

}  // namespace
}  // namespace hv
