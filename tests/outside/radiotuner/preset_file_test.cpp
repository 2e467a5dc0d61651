// The presets file: a round trip, a missing file, and a corrupt file that
// is kept aside rather than lost.
#include <gtest/gtest.h>

#include <filesystem>

#include "outside/radiotuner/preset_file.h"
#include "tests/support/temp_environment.h"

namespace radiotuner {
namespace {

Presets Sample() {
  Presets p{};
  p[0] = 98.5;
  p[1] = 104.05;
  p[5] = 87.5;
  p[10] = 999;
  p[15] = 1602;
  return p;
}

TEST(PresetFileTest, RoundTrip) {
  test_support::TempEnvironment env("presets");
  const std::string folder = env.path("Radio");  // made on the first save
  EXPECT_EQ(LoadPresetFile(folder), Presets{}) << "no file yet";
  ASSERT_TRUE(StorePresetFile(folder, Sample()));
  EXPECT_EQ(LoadPresetFile(folder), Sample());
  EXPECT_FALSE(StorePresetFile("", Sample())) << "opened without a folder";
}

TEST(PresetFileTest, ACorruptFileIsKeptAside) {
  test_support::TempEnvironment env("presets");
  const std::string folder = env.dir();
  const std::string path = folder + "/" + kPresetFileName;
  const std::string broken = "Marivel radio presets 1\n98.5\nnot a number\n";
  test_support::WriteFile(path, broken);
  EXPECT_EQ(LoadPresetFile(folder), Presets{});
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(test_support::ReadFile(path + ".bad"), broken);
  ASSERT_TRUE(StorePresetFile(folder, Sample()));
  EXPECT_EQ(test_support::ReadFile(path + ".bad"), broken) << "a later save leaves it alone";
}

TEST(PresetFileTest, ParseRefusesWhatIsNotAPresetsFile) {
  const std::string good = FormatPresets(Sample());
  ASSERT_TRUE(ParsePresets(good));
  const std::string bad[] = {
      "",
      "Other header\n" + good.substr(good.find('\n') + 1),
      good.substr(0, good.rfind('\n', good.size() - 2) + 1),  // a value short
      good + "5\n",                                            // a value too many
      "Marivel radio presets 1\n-1\n" + good.substr(good.find('\n', good.find('\n') + 1) + 1),
      "Marivel radio presets 1\ninf\n" + good.substr(good.find('\n', good.find('\n') + 1) + 1),
  };
  for (const std::string& text : bad) EXPECT_FALSE(ParsePresets(text)) << text;
}

}  // namespace
}  // namespace radiotuner
