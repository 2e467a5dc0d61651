// The TV controller on the real TV engine, recorder and virtual tuner of
// three stations (registered from the build's hive): entry, the scan, a
// recording, the time shift, both snapshots and the channel wall.
#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/corebridge/tv/tv_live_support.h"

namespace tv_test {
namespace {

TEST_F(TvLiveTest, EntryScanRecordAndTimeShift) {
  EnterAndScan();
  EXPECT_EQ(TV().m_nTVMode, 2);
  std::set<std::string> names;
  for (const auto& [number, name] : TV().m_channelNames) names.insert(name);
  EXPECT_EQ(names, (std::set<std::string>{"Alpha", "Bravo", "Charlie"}));

  // A recording of the second station, stopped once its file has grown.
  ASSERT_EQ(Run("TV Set Channel", static_cast<std::intptr_t>(TV().m_arrEnabledChannels[1])), 1);
  ASSERT_TRUE(PumpUntil([&] { return TV().m_strChannelName == "Bravo"; }));
  ASSERT_EQ(Run("TV Record"), 1);
  EXPECT_EQ(TV().m_nTVMode, 3);
  auto recorded = [&] {
    std::uintmax_t size = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(TV().m_strWorkingFolder, error))
      if (entry.path().string().ends_with(".0000.mpg")) size = std::max(size, entry.file_size(error));
    return size;
  };
  ASSERT_TRUE(PumpUntil([&] { return recorded() > 200000u; }, 60000)) << recorded();
  ASSERT_EQ(Run("TV Stop"), 1);
  ASSERT_TRUE(PumpUntil([&] { return TV().m_nTVMode == 2 && frame_.Saw("ShowOsdText STOPRECORD @2000"); }));
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(TV().m_strWorkingFolder))
    if (entry.path().string().ends_with(".0000.mpg")) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_GT(fs::file_size(files[0]), 100000u);

  // Time shift: pause, play, stop returns to the live preview.
  ASSERT_EQ(Run("TV Pause"), 1);
  EXPECT_EQ(TV().m_nTVMode, 4);
  PumpFor(1500);
  ASSERT_EQ(Run("TV Play"), 1);
  EXPECT_EQ(TV().m_nReplayState, 1);
  PumpFor(500);
  ASSERT_EQ(Run("TV Stop"), 1);
  EXPECT_EQ(TV().m_nTVMode, 2);
  EXPECT_EQ(Run("TV Play"), 0);
}

TEST_F(TvLiveTest, SnapshotsAndTheWall) {
  EnterAndScan();
  ASSERT_EQ(Run("TV Set Channel", static_cast<std::intptr_t>(TV().m_arrEnabledChannels[1])), 1);
  ASSERT_TRUE(PumpUntil([&] { return TV().m_strChannelName == "Bravo"; }));
  PumpFor(500);

  ASSERT_EQ(Run("TV Snapshot"), 1);
  ASSERT_TRUE(PumpUntil([&] { return TV().m_bSnapshotPending == 0; }));
  const fs::path folder = TV().m_strSnapshotFolder;
  EXPECT_GT(fs::file_size(folder / "TV Snapshot.jpg"), 1000u);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);  // the temporary file is gone

  // The teletext page as text holds the station's name.
  ASSERT_TRUE(PumpUntil([&] { return grabber_->GetTeletextAvailable() == S_OK; }));
  TV().m_bTeletext = 1;
  TV().m_nTeletextSaveFormat = 1;
  ASSERT_EQ(Run("TV Teletext Snapshot"), 1);
  std::ifstream text(folder / "TTX Snapshot.txt");
  std::stringstream content;
  content << text.rdbuf();
  EXPECT_NE(content.str().find("Bravo"), std::string::npos) << content.str();

  // The wall: one cell per channel, each with its station's picture.
  ASSERT_EQ(Run("TV TVWall Page"), 1);
  auto filled = [&] {
    int n = 0;
    for (const auto& cell : TV().m_tvWallCells) n += cell.nChannel != 0 && cell.hBitmap != nullptr;
    return n;
  };
  ASSERT_TRUE(PumpUntil([&] { return filled() >= 3; }, 30000)) << filled();
  std::set<std::array<int, 3>> colours;
  std::string seen;
  for (const auto& cell : TV().m_tvWallCells) {
    if (!cell.hBitmap) continue;
    const auto mean = MeanColour(cell.hBitmap);
    colours.insert(mean);
    seen += " " + std::to_string(cell.nChannel) + " " + cell.strName + " " + std::to_string(mean[0]) + "/" +
            std::to_string(mean[1]) + "/" + std::to_string(mean[2]);
  }
  EXPECT_EQ(colours.size(), 3u) << seen;
  ASSERT_EQ(Run("TV Stop TVWall"), 1);
  EXPECT_EQ(TV().m_nPageType, 2);
}

}  // namespace
}  // namespace tv_test
