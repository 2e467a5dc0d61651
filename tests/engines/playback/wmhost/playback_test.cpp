// The player on generated tones and a generated CD image, through a fake
// audio output: play states, end of stream, pause, stop, skipping bad media.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "engines/playback/wmhost/player/media_player.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"

namespace {

using wmhost::MediaItem;
using wmhost::MediaPlayer;
using wmhost::PlayState;
using wmhost_test::AudioFormat;

class Recorder final : public wmhost::PlayerEvents {
 public:
  void OnPlayStateChange(PlayState state) override { events.push_back(std::to_string(static_cast<int>(state))); }
  void OnPositionChange(double, double newPosition) override { events.push_back("pos"); }
  void OnMediaChange(const wmhost::MediaItemPtr& item) override { events.push_back("media " + item->name()); }
  void OnMediaError(const std::string&, const std::string&) override { events.push_back("error"); }
  std::vector<std::string> events;
};

class Playback : public testing::Test {
 protected:
  Playback() : player_(thread_, recorder_, Options()) {}

  static wmhost::PlayerOptions Options() {
    wmhost::PlayerOptions options;
    options.audioSink = "fakesink sync=true";
    return options;
  }
  wmhost::PlaylistPtr List(const std::vector<std::pair<std::string, std::string>>& items) {
    auto list = std::make_shared<wmhost::Playlist>();
    for (const auto& [name, url] : items) {
      auto item = std::make_shared<MediaItem>(url);
      item->setItemInfo("Name", name);
      list->appendItem(item);
    }
    return list;
  }
  std::string Tone(const std::string& name, double seconds) {
    const std::string path = folder_ / name;
    EXPECT_TRUE(wmhost_test::WriteTone(path, AudioFormat::Wav, seconds));
    return path;
  }
  // Runs the engine thread until `done` holds or ten seconds passed.
  bool RunUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      thread_.WaitAndRun(20);
    }
    return true;
  }
  bool RunUntilEvent(const std::string& event) {
    return RunUntil([&] { return !recorder_.events.empty() && recorder_.events.back() == event; });
  }

  wmhost_test::TempFolder folder_;
  wmhost::QueuedEngineThread thread_;
  Recorder recorder_;
  MediaPlayer player_;
};

TEST_F(Playback, PlaysAListToItsEndInTheDefinedStateOrder) {
  player_.setCurrentPlaylist(List({{"one", Tone("one.wav", 0.3)}, {"two", Tone("two.wav", 0.3)}}));
  EXPECT_EQ(recorder_.events, (std::vector<std::string>{"media one", "10"}));
  EXPECT_EQ(player_.playState(), PlayState::Ready);
  recorder_.events.clear();
  ASSERT_TRUE(player_.play());
  ASSERT_TRUE(RunUntilEvent("1"));
  // Mid-list end: 8 then 3; end of the list: 8 then 1.
  EXPECT_EQ(recorder_.events, (std::vector<std::string>{"3", "8", "media two", "3", "8", "1"}));
  EXPECT_EQ(player_.currentMedia()->name(), "two");
  EXPECT_DOUBLE_EQ(player_.position(), 0.0);
}

TEST_F(Playback, PausesSeeksAndStops) {
  player_.setCurrentPlaylist(List({{"long", Tone("long.wav", 3.0)}}));
  ASSERT_TRUE(player_.play());
  ASSERT_TRUE(RunUntilEvent("3"));
  EXPECT_TRUE(player_.fastForwardAvailable());
  EXPECT_NEAR(player_.currentMediaDuration(), 3.0, 0.05);
  player_.pause();
  ASSERT_TRUE(RunUntilEvent("2"));
  player_.setPosition(2.0);
  ASSERT_TRUE(RunUntil([&] { return std::abs(player_.position() - 2.0) < 0.05; }));
  player_.stop();
  EXPECT_EQ(recorder_.events.back(), "1");
  EXPECT_EQ(player_.playState(), PlayState::Stopped);
  EXPECT_DOUBLE_EQ(player_.position(), 0.0);
  EXPECT_FALSE(player_.fastForwardAvailable());
}

TEST_F(Playback, SkipsMediaThatCannotBePlayed) {
  wmhost_test::WriteText(folder_ / "broken.wav", "RIFF nonsense");
  player_.setCurrentPlaylist(List({{"broken", folder_ / "broken.wav"}, {"fine", Tone("fine.wav", 0.2)}}));
  recorder_.events.clear();
  player_.play();
  ASSERT_TRUE(RunUntilEvent("1"));
  EXPECT_EQ(recorder_.events, (std::vector<std::string>{"error", "media fine", "3", "8", "1"}));
}

TEST_F(Playback, LoopsAndPlaysAUrlAtOnce) {
  player_.setMode("loop", true);
  EXPECT_TRUE(player_.mode("LOOP"));
  EXPECT_FALSE(player_.setMode("volume", true));
  player_.setUrl(Tone("short.wav", 0.2));
  EXPECT_EQ(recorder_.events, (std::vector<std::string>{"media short", "9"}));
  // A one-item list looping: the item starts again after its end.
  ASSERT_TRUE(RunUntil([&] {
    return std::count(recorder_.events.begin(), recorder_.events.end(), "8") >= 2;
  }));
  player_.stop();
  EXPECT_EQ(recorder_.events.back(), "1");
  EXPECT_EQ(std::count(recorder_.events.begin(), recorder_.events.end(), "1"), 1);
}

TEST(CdPlayback, PlaysTheTracksOfADiscImage) {
  wmhost_test::TempFolder folder;
  const std::string cue = wmhost_test::WriteCdImage(folder.path(), "Disc", "", {{0.4, "", ""}, {0.4, "", ""}});
  wmhost::QueuedEngineThread thread;
  Recorder recorder;
  wmhost::PlayerOptions options;
  options.audioSink = "fakesink sync=true";
  options.cdDevice = [&](int drive) { return drive == 0 ? cue : std::string(); };
  MediaPlayer player(thread, recorder, options);
  auto list = std::make_shared<wmhost::Playlist>();
  for (int track = 0; track < 2; ++track) {
    auto item = std::make_shared<MediaItem>(wmhost::CdTrackUrl(0, track));
    item->setItemInfo("Name", "t" + std::to_string(track));
    list->appendItem(item);
  }
  player.setCurrentPlaylist(list);
  recorder.events.clear();
  ASSERT_TRUE(player.play());
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while ((recorder.events.empty() || recorder.events.back() != "1") && std::chrono::steady_clock::now() < end) {
    thread.WaitAndRun(20);
  }
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"3", "8", "media t1", "3", "8", "1"}));
}

class FrameCounter final : public wmhost::FrameSink {
 public:
  void OnFrame(const wmhost::VideoFrame& frame) override {
    ++frames;
    width = frame.width;
    height = frame.height;
    whole = frame.pixels.size() == static_cast<std::size_t>(frame.stride) * static_cast<std::size_t>(frame.height);
  }
  int frames = 0;
  int width = 0;
  int height = 0;
  bool whole = false;
};

TEST_F(Playback, VisualizationFramesReachTheFrameSink) {
  const auto& installed = wmhost::InstalledVisualizations();
  const auto wave = std::find_if(installed.begin(), installed.end(), [](const auto& v) { return v.id == "wavescope"; });
  ASSERT_NE(wave, installed.end());
  FrameCounter counter;
  player_.setFrameSink(&counter);
  ASSERT_TRUE(player_.setVisualization(static_cast<int>(wave - installed.begin())));
  player_.setCurrentPlaylist(List({{"tone", Tone("tone.wav", 0.5)}}));
  ASSERT_TRUE(player_.play());
  ASSERT_TRUE(RunUntilEvent("1"));
  EXPECT_GT(counter.frames, 0);
  EXPECT_GT(counter.width, 0);
  EXPECT_GT(counter.height, 0);
  EXPECT_TRUE(counter.whole);
  player_.setFrameSink(nullptr);
}

TEST(Visualizations, AreListedWithStableIds) {
  const auto& installed = wmhost::InstalledVisualizations();
  ASSERT_FALSE(installed.empty());
  EXPECT_EQ(installed.front().id, "goom");
  for (const auto& visualization : installed) EXPECT_FALSE(visualization.title.empty());
}

}  // namespace
