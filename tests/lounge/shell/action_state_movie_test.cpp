// Movie rows: transport buttons by play state and disc capabilities, the
// settings arrows by speaker and profile, the vendor-1 setting tabs.
#include <gtest/gtest.h>

#include "corebridge/core/movie_config.h"
#include "lounge/shell/action_state_movie.h"
#include "tests/lounge/shell/action_state_cases.h"

// Named, not anonymous: the module tables share one compilation in batch builds.
namespace movie_state_test {

using namespace action_state_test;
using C = Case<CMovieConfig>;
using M = CMovieConfig;

void Check(const std::vector<C>& cases) { RunCases<CMovieConfig>(cases, QueryMovieActionState); }

auto Playing(int state, std::uint32_t caps, int discType = 4) {
  return [=](CConfig&, M& m) {
    m.m_nPlayState = state;
    m.m_dwDiscCaps = caps;
    m.m_nDiscType = discType;
  };
}

TEST(MovieActionState, TransportButtons) {
  Check({
      // Without a disc "Movie Play" is shown but cannot run.
      {"Movie Play", nullptr, {1, 0, kKept}},
      {"Movie Play", [](CConfig&, M& m) { m.m_nDiscType = 4; m.m_nPlayState = 2; }, {1, 1, kKept}},
      {"Movie Play", [](CConfig&, M& m) { m.m_nDiscType = 4; m.m_nPlayState = 3; m.m_nMoviePageState = 4; },
       {1, 1, kKept}},
      {"Movie Play", [](CConfig&, M& m) { m.m_nDiscType = 4; m.m_nPlayState = 2; m.m_nMoviePageState = 6; },
       {1, 0, kKept}},
      {"Movie Play", Playing(4, 0), {0, 0, kKept}},
      {"Movie Pause", Playing(4, 0), {1, 1, kKept}},
      {"Movie Pause", Playing(5, 0), {0, 1, kKept}},
      {"Movie Pause", Playing(3, 0), {0, 0, kKept}},
      {"Movie Stop", Playing(2, 0xFFFF), {kKept, 0, kKept}},
      {"Movie Stop", Playing(1, 0), {kKept, 1, kKept}},
      {"Movie PreChapter", Playing(4, 0x10), {kKept, 1, kKept}},
      {"Movie PreChapter", Playing(4, 0x20), {kKept, 0, kKept}},
      {"Movie NextChapter", Playing(3, 0x20), {kKept, 1, kKept}},
      {"Movie NextChapter", Playing(2, 0xFFFF), {kKept, 0, kKept}},
      {"Movie FastForeward", Playing(4, 0x40), {kKept, 1, kKept}},
      {"Movie FastForeward", Playing(4, 0x80), {kKept, 0, kKept}},
      {"Movie Rewind", Playing(5, 0x80), {kKept, 1, kKept}},
      {"Movie Rewind", Playing(0, 0x80), {kKept, 0, kKept}},
      // The disc menu bit depends on the disc type.
      {"Movie FW_MainMenu", Playing(4, 0x08, 4), {kKept, 1, kKept}},
      {"Movie FW_MainMenu", Playing(4, 0x400, 4), {kKept, 0, kKept}},
      {"Movie FW_MainMenu", Playing(4, 0x400, 1), {kKept, 1, kKept}},
      {"Movie FW_MainMenu", Playing(4, 0x08, 1), {kKept, 0, kKept}},
      {"Movie MenuEnter", Playing(4, 0x100), {kKept, 1, kKept}},
      {"Movie MenuUp", Playing(2, 0x100), {kKept, 0, kKept}},
      {"Movie Key_5", Playing(3, 0), {kKept, 1, kKept}},
      {"Movie GoUp", Playing(0, 0), {kKept, 0, kKept}},
  });
}

TEST(MovieActionState, StreamsAnglesAndDesktop) {
  auto streams = [](int audio, int subtitles, int angles) {
    return [=](CConfig&, M& m) {
      m.m_nPlayState = 4;
      m.m_dwDiscCaps = 0x07;
      m.m_nAudioStreams = audio;
      m.m_nSubtitleStreams = subtitles;
      m.m_nAngles = angles;
    };
  };
  Check({
      {"Movie Language", streams(2, 0, 0), {kKept, 1, kKept}},
      {"Movie Language", streams(1, 0, 0), {kKept, 0, kKept}},
      {"Movie Subtitle", streams(0, 1, 0), {kKept, 1, kKept}},
      {"Movie Subtitle", streams(0, 0, 0), {kKept, 0, kKept}},
      {"Movie Angle", streams(0, 0, 2), {kKept, 1, kKept}},
      {"Movie Angle", streams(0, 0, 1), {kKept, 0, kKept}},
      {"Movie Angle", [](CConfig&, M& m) { m.m_nPlayState = 4; m.m_nAngles = 3; }, {kKept, 0, kKept}},
      {"Movie VideoDesktop", [](CConfig&, M& m) { m.m_nDiscType = 4; m.m_nMoviePageState = 6; m.m_nPlayState = 2; },
       {kKept, 1, kKept}},
      {"Movie VideoDesktop", [](CConfig&, M& m) { m.m_nDiscType = 4; m.m_nMoviePageState = 6; }, {kKept, 0, kKept}},
      {"Movie VideoDesktop", [](CConfig&, M& m) { m.m_nDiscType = 1; m.m_nMoviePageState = 6; m.m_nPlayState = 4; },
       {kKept, 0, kKept}},
      {"Movie VideoDesktop", [](CConfig&, M& m) { m.m_nDiscType = 4; m.m_nPlayState = 4; }, {kKept, 0, kKept}},
  });
}

TEST(MovieActionState, SpeakersProfilesAndVolume) {
  auto speakers = [](std::vector<std::uint32_t> list, int index, std::vector<std::uint32_t> profiles = {},
                     int profileIndex = 0, int vendor = 0) {
    return [=](CConfig& root, M& m) {
      root.m_nVendorId = vendor;
      m.m_arrSpeakers = list;
      m.m_nAudioSpeakerIdx = index;
      m.m_arrAudioProfiles = profiles;
      m.m_nAudioProfileIdx = profileIndex;
    };
  };
  Check({
      {"Vol Mute", speakers({1, 2}, 1), {0, 0, kKept}},
      {"Vol Down", speakers({1, 2}, 0), {kKept, kKept, kKept}},
      {"Vol Up", speakers({}, 0), {kKept, kKept, kKept}},
      // A stale index past the list answers as if nothing were selected.
      {"Vol Unmute", speakers({2}, 3), {kKept, kKept, kKept}},
      {"Movie AudioProfile Left", speakers({1}, 0), {kKept, 1, kKept}},
      {"Movie AudioProfile Right", speakers({1, 3}, 1), {kKept, 0, kKept}},
      {"Movie AudioProfile Left", speakers({1}, 0, {}, 0, 4), {kKept, 0, kKept}},
      {"Movie AudioProfile Right", speakers({}, 0), {kKept, 1, kKept}},
      {"Movie AudioChannelExpander Left", speakers({4}, 0), {kKept, 1, kKept}},
      {"Movie AudioChannelExpander Right", speakers({1}, 0, {3, 2}, 1), {kKept, 0, kKept}},
      {"Movie AudioChannelExpander Left", speakers({5}, 0, {3, 2}, 0), {kKept, 1, kKept}},
      {"Movie AudioChannelExpander Left", speakers({1}, 0, {1}, 7), {kKept, 1, kKept}},
      {"Movie AudioChannelExpander Right", speakers({2}, 0), {kKept, 0, kKept}},
      {"Movie AudioChannelExpander Right", speakers({}, 0), {kKept, 0, kKept}},
  });
}

TEST(MovieActionState, MenuEntriesAndSettingTabs) {
  auto disc = [](int type, int rootMenu = 0, int titleMenu = 0) {
    return [=](CConfig&, M& m) {
      m.m_nDiscType = type;
      m.m_bHasRootMenu = rootMenu;
      m.m_bHasTitleMenu = titleMenu;
    };
  };
  auto page = [](int vendor, int pageState) {
    return [=](CConfig& root, M& m) {
      root.m_nVendorId = vendor;
      m.m_nMoviePageState = pageState;
    };
  };
  Check({
      {"Movie SelectPLCLevel Left", [](CConfig&, M& m) { m.m_strParentalPassword = "1234"; }, {1, 1, kKept}},
      {"Movie RemovePINNumber Enter", nullptr, {0, 0, kKept}},
      {"Movie ChangePINNumber Enter", nullptr, {0, 0, kKept}},
      {"Movie Resume", disc(4), {kKept, 1, kKept}},
      {"Movie Resume", disc(2), {kKept, 0, kKept}},
      {"Movie ParentalControl Setting", disc(0), {kKept, 0, kKept}},
      {"Movie Restart", disc(1), {kKept, 1, kKept}},
      {"Movie Restart", disc(0), {kKept, 0, kKept}},
      {"Movie RootMenu", disc(4, 1, 0), {kKept, 1, kKept}},
      {"Movie RootMenu", disc(3, 1, 1), {kKept, 0, kKept}},
      {"Movie MainMenu", disc(4, 1, 0), {kKept, 0, kKept}},
      {"Movie MainMenu", disc(4, 0, 1), {kKept, 1, kKept}},
      {"Movie Video Setting", page(1, 7), {0, kKept, kKept}},
      {"Movie Video Setting", page(1, 9), {1, kKept, kKept}},
      {"Movie Video Setting", page(2, 7), {kKept, kKept, kKept}},
      {"Movie Video Setting Pressed", page(1, 7), {1, kKept, kKept}},
      {"Movie Language Setting", page(1, 9), {0, kKept, kKept}},
      {"Movie Language Setting Pressed", page(1, 7), {0, kKept, kKept}},
      {"Movie Language Setting Pressed", page(0, 9), {kKept, kKept, kKept}},
      {"Movie Eject", Playing(4, 0xFFFF), {kKept, 0, kKept}},
  });
}

TEST(MovieActionState, UnknownNamesKeepThePresets) {
  Check({
      {"Movie Nonsense", Playing(4, 0xFFFF), {kKept, kKept, kKept}, 0},
      {"movie play", nullptr, {kKept, kKept, kKept}, 0},  // names are exact
      {"Movie ScreenRatio Left", nullptr, {kKept, kKept, kKept}, 0},
      {"", nullptr, {kKept, kKept, kKept}, 0},
      {"Music Play", nullptr, {kKept, kKept, kKept}, 0},
  });
}

}  // namespace movie_state_test
