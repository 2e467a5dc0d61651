// A process killed while it saves leaves the old settings or the new ones,
// never a file that fails to load or mixes the two.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "corebridge/core/xml_settings.h"
#include "settings_test_support.h"

namespace {

constexpr int kKeys = 60;
constexpr const char* kSection = "SECTION";

// Every key holds the generation, so a file either is one whole generation
// or is torn.
int SaveGeneration(const std::string& path, int generation) {
  CXmlSettings xml;
  xml.XmlSettingsOpen();
  for (int k = 0; k < kKeys; ++k) xml.XmlSetInt("KEY" + std::to_string(k), generation, kSection);
  xml.XmlSetString("PADDING", std::string(static_cast<std::size_t>(generation % 5000), 'x'), kSection);
  return xml.XmlSettingsSave(path);
}

// The generation the file holds; -1 when it does not load or is mixed.
int LoadedGeneration(const std::string& path) {
  CXmlSettings xml;
  if (!xml.XmlSettingsLoadFile(path)) return -1;
  int first = -1;
  for (int k = 0; k < kKeys; ++k) {
    int value = -1;
    if (!xml.XmlGetInt("KEY" + std::to_string(k), value, kSection)) return -1;
    if (k == 0) first = value;
    if (value != first) return -1;
  }
  std::string padding;
  if (!xml.XmlGetString("PADDING", padding, kSection) || padding.size() != static_cast<std::size_t>(first % 5000))
    return -1;
  return first;
}

TEST(SettingsCrash, SaveKilledAtRandomMomentsLeavesOldOrNewSettings) {
  settings_test::TempEnvironment env;
  const std::string path = env.path("Config.xml");
  ASSERT_EQ(SaveGeneration(path, 1), 1);
  int last = 1;
  std::mt19937 random(2026);
  int saves = 0;
  for (int round = 0; round < 200; ++round) {
    const int start = last + 1;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // One whole save first, so that every round moves on; then save
      // until killed.
      ::close(ready[0]);
      SaveGeneration(path, start);
      const char byte = 1;
      (void)!::write(ready[1], &byte, 1);
      for (int generation = start + 1;; ++generation) SaveGeneration(path, generation);
    }
    ::close(ready[1]);
    pollfd wait{ready[0], POLLIN, 0};
    const bool started = ::poll(&wait, 1, 10000) == 1;
    ::close(ready[0]);
    // Kill somewhere in the next few saves: writing, syncing or renaming.
    if (started) ::usleep(static_cast<useconds_t>(random() % 4000));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(started) << "round " << round << ": the saving process did not start";
    ASSERT_TRUE(WIFSIGNALED(status));
    const int now = LoadedGeneration(path);
    ASSERT_NE(now, -1) << "round " << round << ": the file does not load whole";
    ASSERT_GE(now, start) << "round " << round << ": an older generation came back";
    saves += now - last;
    last = now;
  }
  GTEST_LOG_(INFO) << saves << " saves completed across the kills";
}

}  // namespace
