#include "lounge/shell/root_layout.h"

#include <gtest/gtest.h>

#include "lounge/shell/app_services.h"

namespace {

using Paths = std::vector<std::string>;

struct Case {
  bool app;
  int vendor;
  int rootFeatures;
  int width, height;
  Paths expected;
};

TEST(RootLayout, ChoosesByVendorScreenAndRadioFeature) {
  const Case cases[] = {
      {false, VENDOR_VADU, -1, 1280, 800, {"Root"}},
      {true, VENDOR_VADU, -1, 1280, 800, {"ROOT1280X800", "Root"}},
      {true, VENDOR_VADU, -1, 1366, 768, {"Root"}},
      {true, VENDOR_VADU, -1, 1280, 1024, {"Root"}},
      {true, VENDOR_RUVE, 0, 1920, 1080, {"Root_4Module"}},
      {true, VENDOR_RUVE, 0, 1024, 768, {"Root_4Module"}},
      {true, VENDOR_RUVE, 2, 1920, 1080, {"ROOT1280X800", "Root"}},
      {true, VENDOR_RUVE, 2, 1024, 768, {"Root"}},
      {true, VENDOR_NONE, -1, 1920, 1080, {"ROOT1280X800", "Root"}},
      {true, VENDOR_NONE, -1, 1024, 768, {"Root"}},
      {true, VENDOR_NONE, -1, 1280, 0, {"Root"}},
      {true, VENDOR_DEZAD, -1, 1920, 1080, {"Root"}},
      {true, VENDOR_RORIDO, -1, 1920, 1080, {"Root"}},
      {true, 9, -1, 1920, 1080, {"Root"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RootLayoutCandidates(c.app, c.vendor, c.rootFeatures, c.width, c.height), c.expected)
        << "vendor " << c.vendor << " features " << c.rootFeatures << " " << c.width << "x" << c.height;
  }
}

}  // namespace
