// The command-line table: which words and drive letters start which entry
// action with which arguments, and that the start drive is set only for the
// action and cleared afterwards.
#include "lounge/shell/command_line.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/lounge/app/app_environment.h"
#include "tests/lounge/app/fake_ui_system.h"

namespace {

struct Case {
  std::vector<std::string> args;
  const char* action;  // "" for none
  std::intptr_t first, second;
  int driveDuringAction;
  int cdDuringAction;
};

TEST(CommandLineTest, WordsAndDriveLettersStartTheirEntries) {
  app_test::TempEnvironment env;
  CConfig config;
  const Case cases[] = {
      {{"MOVIE", "D"}, "Movie Entry", 3, 1, 3, 0},
      {{"MOVIE", "d:\\"}, "Movie Entry", 3, 1, 3, 0},
      {{"MOVIE", "Z"}, "Movie Entry", 25, 1, 25, 0},
      {{"MOVIE"}, "Movie Entry", 0, 0, 0, 0},
      {{"MOVIE", "1"}, "Movie Entry", 0, 0, 0, 0},   // not a drive letter: ignored
      {{"MOVIE", ""}, "Movie Entry", 0, 0, 0, 0},
      {{"CD", "E"}, "Music Entry", 0, 0, 4, 1},
      {{"CD", "a"}, "Music Entry", 0, 0, 0, 1},
      {{"CD"}, "Music Entry", 0, 0, 0, 0},
      {{"CD", "["}, "Music Entry", 0, 0, 0, 0},
      {{"VIDEO", "D"}, "", 0, 0, 0, 0},
      {{"movie", "D"}, "", 0, 0, 0, 0},  // the words are upper case
      {{"PHOTO"}, "", 0, 0, 0, 0},
      {{"--anything"}, "", 0, 0, 0, 0},
      {{}, "", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
    app_test::FakeUISystem bridge;
    bridge.config = &config;
    config.m_nStartDriveIndex = 0;
    config.m_bStartFromCd = 0;
    const CommandLineStart start = ReadCommandLine(c.args);
    EXPECT_EQ(start.action, c.action);
    const int ran = RunCommandLineStart(start, &bridge, &config);
    if (*c.action) {
      EXPECT_EQ(ran, 1);
      ASSERT_EQ(bridge.executed.size(), 1u);
      EXPECT_EQ(bridge.executed[0].name, c.action);
      EXPECT_EQ(bridge.executed[0].first, c.first);
      EXPECT_EQ(bridge.executed[0].second, c.second);
      EXPECT_EQ(bridge.executed[0].driveIndex, c.driveDuringAction);
      EXPECT_EQ(bridge.executed[0].startFromCd, c.cdDuringAction);
    } else {
      EXPECT_EQ(ran, 0);
      EXPECT_TRUE(bridge.executed.empty());
    }
    EXPECT_EQ(config.m_nStartDriveIndex, 0);
    EXPECT_EQ(config.m_bStartFromCd, 0);
  }
}

TEST(CommandLineTest, WithoutBridgeOrRootNothingBreaks) {
  EXPECT_EQ(RunCommandLineStart(ReadCommandLine({"MOVIE", "D"}), nullptr, nullptr), 0);
  app_test::FakeUISystem bridge;
  EXPECT_EQ(RunCommandLineStart(ReadCommandLine({"CD", "E"}), &bridge, nullptr), 1);
  ASSERT_EQ(bridge.executed.size(), 1u);
  EXPECT_EQ(bridge.executed[0].name, "Music Entry");
}

}  // namespace
