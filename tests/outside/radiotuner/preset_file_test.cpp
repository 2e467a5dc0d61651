// The presets file: a round trip, a missing file, and a corrupt file that
// is kept aside rather than lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "outside/radiotuner/preset_file.h"
#include "tests/support/kill_loop.h"
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

// Presets whose every value is the generation, so a torn file shows.
Presets Generation(int generation) {
  Presets p{};
  for (double& value : p) value = 87.5 + generation % 200 * 0.05;
  return p;
}

TEST(PresetFileTest, SavesKilledAtRandomMomentsLeaveWholePresetsAndNoTemporaryFiles) {
  test_support::TempEnvironment env("presets");
  const std::string folder = env.dir();
  ASSERT_TRUE(StorePresetFile(folder, Generation(0)));
  test_support::KillWhileWriting(
      60, 3000,
      [&](int readyFd) {
        for (int generation = 1;; ++generation) {
          StorePresetFile(folder, Generation(generation));
          if (generation == 1) test_support::SignalReady(readyFd);
        }
      },
      [&](int round) {
        // Opening the radio reads the presets: the file is one whole
        // generation and the killed save's temporary file is gone.
        const Presets loaded = LoadPresetFile(folder);
        EXPECT_NE(loaded, Presets{}) << "round " << round;
        for (double value : loaded) ASSERT_EQ(value, loaded[0]) << "round " << round << ": a torn file";
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
          const std::string name = entry.path().filename().string();
          ASSERT_FALSE(name.starts_with(std::string(".") + kPresetFileName)) << "round " << round << ": " << name;
        }
      });
}

}  // namespace
}  // namespace radiotuner
