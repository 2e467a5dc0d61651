#include "lounge/shell/app_services.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/lounge/skin/vendor_registry.h"

namespace {

TEST(VendorTest, NamesMapToIdsExactly) {
  VendorRegistry registry;
  struct Case {
    const char* name;
    int id;
  };
  const Case cases[] = {
      {"Vadu", 1},
      {"DEZAD", 2},
      {"RuvE", 3},
      {"Rorido", 4},
      // Only the exact spelling counts.
      {"vadu", 0},
      {"VADU", 0},
      {"Dezad", 0},
      {"Vadu ", 0},
      {"", 0},
      {"Other", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registry.Set(c.name), c.id) << c.name;
    EXPECT_EQ(GetVendorId(), c.id) << c.name;
  }
  // A missing value and a missing key both give 0.
  registry.Set("Vadu");
  EXPECT_EQ(registry.Clear(), 0);
  EXPECT_EQ(plat::RegDeleteKeyA(plat::HKEY_LOCAL_MACHINE, "SoftWare\\Kestrovia\\Marivel"), plat::ERROR_SUCCESS);
  EXPECT_EQ(DetectVendor(), 0);
}

TEST(VendorTest, SchemeColoursByVendorAndState) {
  VendorRegistry registry;
  // Rows: vendor 0..4; columns: state codes 0..3.
  const std::array<std::array<plat::COLORREF, 4>, 5> expected{{
      {0xFFFFFF, 0xA03D1F, 0xFFFFFF, 0xFF8635},
      {0x585C1C, 0x585C1C, 0x585C1C, 0xB6B66C},
      {0xFFFFFF, 0x902878, 0x770005, 0xC384B6},
      {0xFFFFFF, 0xA03D1F, 0xFFFFFF, 0x5A1637},
      {0x333333, 0x993333, 0x993333, 0x999999},
  }};
  const char* names[] = {"", "Vadu", "DEZAD", "RuvE", "Rorido"};
  for (int vendor = 0; vendor <= 4; ++vendor) {
    ASSERT_EQ(registry.Set(names[vendor]), vendor);
    for (int kind = 0; kind < 4; ++kind) {
      EXPECT_EQ(GetSchemeColor(kind), expected[vendor][kind]) << "vendor " << vendor << " kind " << kind;
    }
    // Any other kind is white.
    EXPECT_EQ(GetSchemeColor(4), 0xFFFFFFu);
    EXPECT_EQ(GetSchemeColor(-1), 0xFFFFFFu);
  }
}

class FixedStrings : public IUIStringLookup {
 public:
  int Lookup(const std::string& key, std::string& text) const override {
    if (key != "HELLO") return 0;
    text = "Hi";
    return 1;
  }
};

TEST(UIStringTest, LookupNeedsARegisteredTable) {
  std::string text = "default";
  SetUIStringTable(nullptr);
  EXPECT_FALSE(LookupUIString("HELLO", text));
  EXPECT_EQ(text, "default");
  FixedStrings strings;
  SetUIStringTable(&strings);
  EXPECT_FALSE(LookupUIString("OTHER", text));
  EXPECT_EQ(text, "default");
  EXPECT_TRUE(LookupUIString("HELLO", text));
  EXPECT_EQ(text, "Hi");
  SetUIStringTable(nullptr);
}

}  // namespace
