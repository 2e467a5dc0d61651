// The playback bar's routing of button names to the configuration sections,
// its own volume and fast-forward rules, unknown names per active module, and
// the band, frequency and play-time texts.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <functional>
#include <string_view>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/tv_config.h"
#include "corebridge/core/video_config.h"
#include "lounge/shell/action_state_movie.h"
#include "lounge/shell/action_state_music.h"
#include "lounge/shell/action_state_photo.h"
#include "lounge/shell/action_state_radio.h"
#include "lounge/shell/action_state_tv.h"
#include "lounge/shell/action_state_video.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/playback_bar_state.h"
#include "lounge/shell/playback_bar_text.h"
#include "tests/lounge/shell/action_state_cases.h"

namespace {

using action_state_test::kKept;
using action_state_test::Out;

class PlaybackBarState : public ::testing::Test {
 protected:
  Out Ask(std::string_view action, int* result = nullptr, int vendor = VENDOR_NONE) {
    Out out;
    const int r = QueryPlaybackBarActionState(root, vendor, action, out.shown, out.enabled, out.checked);
    if (result) *result = r;
    return out;
  }
  sections_test::TempEnvironment env;
  CConfig root;
};

// Every bar name reaches its own section: the bar answers exactly what that
// section's lookup answers, in states where the sections differ.
TEST_F(PlaybackBarState, EachNameIsAnsweredByItsSection) {
  root.m_pMovie->m_nPlayState = MOVIE_PLAYING;
  root.m_pMovie->m_nDiscType = 4;
  root.m_pMusic->m_nMusicState = MUSIC_PLAYING;
  root.m_pRadio->m_nRecordState = RADIO_OFF;
  using Lookup = std::function<int(std::string_view, int&, int&, int&)>;
  struct Section {
    std::vector<std::string_view> names;
    Lookup lookup;
  };
  const std::vector<Section> sections{
      {{"Movie Play", "Movie Pause", "Movie Stop", "Movie PreChapter", "Movie NextChapter", "Movie FastForeward",
        "Movie Rewind", "Movie FW_MainMenu", "Movie Language", "Movie Subtitle", "Movie Angle", "Movie VideoDesktop"},
       [&](std::string_view a, int& s, int& e, int& c) { return QueryMovieActionState(*root.m_pMovie, a, s, e, c); }},
      {{"Video Play", "Video Pause", "Video Stop", "Video Previous Video", "Video Next Video", "Video FastForeward",
        "Video Rewind", "Video Take Snapshot"},
       [&](std::string_view a, int& s, int& e, int& c) { return QueryVideoActionState(*root.m_pVideo, a, s, e, c); }},
      {{"TV Play", "TV Pause", "TV Stop", "TV Rewind", "TV FastForward", "TV Record", "TV Prev Channel",
        "TV Next Channel"},
       [&](std::string_view a, int& s, int& e, int& c) { return QueryTVActionState(*root.m_pTV, a, s, e, c); }},
      {{"Radio Stop", "Radio Record", "Radio Play", "Radio Pause", "Radio Previous", "Radio Next",
        "Radio Fastforward", "Radio Rewind"},
       [&](std::string_view a, int& s, int& e, int& c) {
         return QueryRadioActionState(*root.m_pRadio, a, s, e, c, RadioStateCaller::kPlaybackBar);
       }},
      {{"Photo Slideshow Play", "Photo Slideshow Stop", "Photo Slideshow Pause", "Photo Slideshow Fastforward",
        "Photo Slideshow Rewind", "Photo Slideshow NextSlide", "Photo Slideshow PreviousSlide",
        "Photo PreviousImage", "Photo NextImage", "Photo Rotate Left", "Photo Rotate Right"},
       [&](std::string_view a, int& s, int& e, int& c) { return QueryPhotoActionState(*root.m_pPhoto, a, s, e, c); }},
      {{"Music Play", "Music Pause", "Music Stop", "Music Next Track", "Music Previous Track", "Music Rewind",
        "Music Fastforward", "Music Visualization", "Music Visualization Focus", "Music Previous Effect",
        "Music Next Effect", "Music Visualization Plus Selection", "Music Repeat All", "Music Repeat All Focus",
        "Music Shuffle", "Music Shuffle Focus"},
       [&](std::string_view a, int& s, int& e, int& c) { return QueryMusicActionState(*root.m_pMusic, a, s, e, c); }},
  };
  for (int module : {MODULE_NONE, MODULE_MOVIE, MODULE_MUSIC}) {
    root.m_nActiveModule = module;
    for (const Section& section : sections) {
      for (std::string_view name : section.names) {
        SCOPED_TRACE(testing::Message() << "module " << module << " \"" << name << "\"");
        Out expected;
        const int expectedResult = section.lookup(name, expected.shown, expected.enabled, expected.checked);
        int result = -1;
        EXPECT_EQ(Ask(name, &result), expected);
        EXPECT_EQ(result, expectedResult);
      }
    }
  }
}

TEST_F(PlaybackBarState, UnknownNamesPerActiveModule) {
  struct Row {
    int module;
    std::string_view name;
    int result;
  };
  // Names the sections know but the bar does not carry count as unknown too.
  const std::vector<Row> rows{
      {MODULE_MOVIE, "Nothing Here", 0},   {MODULE_MOVIE, "Movie MenuUp", 0},  {MODULE_MOVIE, "", 0},
      {MODULE_NONE, "Nothing Here", 1},    {MODULE_MUSIC, "Movie MenuUp", 1},  {MODULE_PHOTO, "", 1},
      {MODULE_RADIO, "Radio Scan", 1},     {MODULE_TV, "TV Move", 1},          {MODULE_VIDEO, "Vol Loud", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "module " << row.module << " \"" << row.name << "\"");
    root.m_nActiveModule = row.module;
    int result = -1;
    EXPECT_EQ(Ask(row.name, &result), Out{});
    EXPECT_EQ(result, row.result);
  }
}

TEST_F(PlaybackBarState, VolumeButtons) {
  struct Row {
    int module, vendor, mute;
    float volume;
    int photoState;
    std::string_view name;
    Out expected;
  };
  const std::vector<Row> rows{
      {MODULE_MUSIC, 0, 0, 0.5f, 0, "Vol Mute", {1, 1, kKept}},
      {MODULE_MUSIC, 0, 1, 0.5f, 0, "Vol Mute", {0, 1, kKept}},
      {MODULE_MUSIC, 0, 0, 0.5f, 0, "Vol Unmute", {0, 1, kKept}},
      {MODULE_MUSIC, 0, 1, 0.5f, 0, "Vol Unmute", {1, 1, kKept}},
      {MODULE_MUSIC, 0, 0, 0.98f, 0, "Vol Up", {1, 1, kKept}},
      {MODULE_MUSIC, 0, 0, 0.99f, 0, "Vol Up", {1, 0, kKept}},
      {MODULE_MUSIC, 0, 0, 0.0f, 0, "Vol Down", {1, 0, kKept}},
      {MODULE_MUSIC, 0, 0, 0.01f, 0, "Vol Down", {1, 1, kKept}},
      // Vendor 1's photo viewer takes the volume only during a slide show.
      {MODULE_PHOTO, VENDOR_VADU, 0, 0.5f, 0, "Vol Up", {1, 0, kKept}},
      {MODULE_PHOTO, VENDOR_VADU, 0, 0.5f, 1, "Vol Up", {1, 1, kKept}},
      {MODULE_PHOTO, VENDOR_VADU, 0, 0.5f, 2, "Vol Mute", {1, 0, kKept}},
      {MODULE_PHOTO, VENDOR_DEZAD, 0, 0.5f, 0, "Vol Up", {1, 1, kKept}},
      {MODULE_MUSIC, VENDOR_VADU, 0, 0.5f, 0, "Vol Up", {1, 1, kKept}},
      // The Movie module answers with its speaker rule, whatever the mute.
      {MODULE_MOVIE, 0, 1, 0.0f, 0, "Vol Mute", {kKept, kKept, kKept}},
      {MODULE_MOVIE, 0, 0, 1.0f, 0, "Vol Up", {kKept, kKept, kKept}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "module " << row.module << " vendor " << row.vendor << " \"" << row.name
                                    << "\" volume " << row.volume);
    root.m_nActiveModule = row.module;
    root.m_bCurMute = row.mute;
    root.m_fCurVolume = row.volume;
    root.m_pPhoto->m_nPhotoState = row.photoState;
    int result = -1;
    EXPECT_EQ(Ask(row.name, &result, row.vendor), row.expected);
    EXPECT_EQ(result, 1);
  }
  // With speaker mode 2 the Movie module hides the volume buttons.
  root.m_nActiveModule = MODULE_MOVIE;
  root.m_pMovie->m_arrSpeakers = {2};
  root.m_pMovie->m_nAudioSpeakerIdx = 0;
  EXPECT_EQ(Ask("Vol Down"), (Out{0, 0, kKept}));
}

TEST_F(PlaybackBarState, Vendor3MusicPage24HasNoFastForward) {
  root.m_nActiveModule = MODULE_MUSIC;
  Out plain;
  QueryMusicActionState(*root.m_pMusic, "Music Fastforward", plain.shown, plain.enabled, plain.checked);
  root.m_pMusic->m_arrPageHistory = {3, 24};
  EXPECT_EQ(Ask("Music Fastforward", nullptr, VENDOR_RUVE), (Out{0, 0, plain.checked}));
  EXPECT_EQ(Ask("Music Fastforward", nullptr, VENDOR_DEZAD), plain);
  EXPECT_EQ(Ask("Music Rewind", nullptr, VENDOR_RUVE).shown, Ask("Music Rewind").shown);
  root.m_pMusic->m_arrPageHistory = {24, 3};
  EXPECT_EQ(Ask("Music Fastforward", nullptr, VENDOR_RUVE), plain);
  root.m_pMusic->m_arrPageHistory.clear();
  EXPECT_EQ(Ask("Music Fastforward", nullptr, VENDOR_RUVE), plain);
}

TEST(PlaybackBarText, BandAndFrequencyUnderBothDecimalPoints) {
  sections_test::TempEnvironment env;
  CConfig root;
  CRadioConfig& radio = *root.m_pRadio;
  EXPECT_EQ(RadioSignalTypeKey(RADIO_BAND_AM), "RADIO_AM");
  EXPECT_EQ(RadioSignalTypeKey(RADIO_BAND_FM), "RADIO_FM");
  EXPECT_EQ(RadioSignalTypeKey(0), "");
  EXPECT_EQ(RadioSignalTypeKey(3), "");

  struct Row {
    int band, fm, am;
    const char* point;
    const char* text;
  };
  const std::vector<Row> rows{
      {RADIO_BAND_FM, 100700000, 0, ".", "100.70"},
      {RADIO_BAND_FM, 100700000, 0, ",", "100,70"},
      {RADIO_BAND_FM, 87550000, 0, ",", "87,55"},
      {RADIO_BAND_FM, 99005000, 0, ".", "99.00"},  // below a hundredth: cut, not rounded
      {RADIO_BAND_AM, 100700000, 1710000000, ",", "1710"},
      {RADIO_BAND_AM, 0, 522000000, ".", "522"},
      {0, 100700000, 522000000, ".", ""},
  };
  for (const Row& row : rows) {
    radio.m_nCurBand = row.band;
    radio.m_nCurFMFrequency = row.fm;
    radio.m_nCurAMFrequency = row.am;
    EXPECT_EQ(FormatRadioFrequency(radio, row.point), row.text) << row.band << " " << row.point;
  }
}

TEST(PlaybackBarText, DecimalPointComesFromALocaleObject) {
  const std::string before = setlocale(LC_NUMERIC, nullptr);
  EXPECT_EQ(DecimalPointOf("C"), ".");
  EXPECT_EQ(DecimalPointOf("xx_NOWHERE.none"), ".");  // unknown: the C point
  EXPECT_FALSE(UserDecimalPoint().empty());
  EXPECT_EQ(setlocale(LC_NUMERIC, nullptr), before);  // the process locale is left alone
}

TEST(PlaybackBarText, PlayTime) {
  EXPECT_EQ(FormatPlayTime(false, 5, 6), "00:00:00 / 00:00:00");
  EXPECT_EQ(FormatPlayTime(true, 0, 3600 + 2 * 60 + 3), "00:00:00 / 01:02:03");
  EXPECT_EQ(FormatPlayTime(true, 59.9, 86399), "00:00:59 / 23:59:59");
  EXPECT_EQ(FormatPlayTime(true, 86400 + 61, -5), "00:01:01 / 00:00:00");
  EXPECT_EQ(FormatPlayTime(true, std::nan(""), 1e300), "00:00:00 / 00:00:00");
}

}  // namespace
