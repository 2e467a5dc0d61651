// Live state of the sections: key-enable answers, page and position stacks,
// counts, the TV channel map and wall, and the audio-profile archive.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <algorithm>

#include "corebridge/core/audio_profile.h"
#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/record_config.h"
#include "corebridge/core/tv_config.h"
#include "corebridge/core/video_config.h"
#include "sections_test_support.h"

namespace {

TEST(MovieKeys, PlayingAndDiscCaps) {
  sections_test::TempEnvironment env;
  CMovieConfig movie(nullptr);
  struct Case {
    int state;
    std::uint32_t caps;
    int playing, prev, next, ff, rew;
  };
  for (const Case& c : {Case{0, 0xFF, 0, 0, 0, 0, 0}, Case{2, 0xFF, 0, 0, 0, 0, 0}, Case{1, 0, 1, 0, 0, 0, 0},
                        Case{4, 0x10 | 0x40, 1, 1, 0, 1, 0}, Case{5, 0x20 | 0x80, 1, 0, 1, 0, 1}}) {
    SCOPED_TRACE(c.state);
    movie.m_nPlayState = c.state;
    movie.m_dwDiscCaps = c.caps;
    int a = -1;
    EXPECT_EQ(movie.MovieKeyPlaying(a), 1);
    EXPECT_EQ(a, c.playing);
    movie.MovieKeyPrevChapter(a);
    EXPECT_EQ(a, c.prev);
    movie.MovieKeyNextChapter(a);
    EXPECT_EQ(a, c.next);
    movie.MovieKeyFastForward(a);
    EXPECT_EQ(a, c.ff);
    movie.MovieKeyRewind(a);
    EXPECT_EQ(a, c.rew);
  }
}

TEST(MusicState, StacksAndQueries) {
  CConfig* noRoot = nullptr;
  CMusicConfig music(noRoot);
  int page = -1;
  EXPECT_EQ(music.PopMusicPage(page), 0);
  EXPECT_EQ(music.PeekMusicPage(page), 0);
  EXPECT_TRUE(music.m_arrPageHistory.empty());
  music.PushMusicPage(6);
  music.PushMusicPage(24);
  EXPECT_EQ(music.PeekMusicPage(page), 1);
  EXPECT_EQ(page, 24);

  MusicListPosition entry;
  EXPECT_EQ(music.PopMusicListPosition(entry), 0);
  music.PushMusicListPosition(1, 2, -1);
  int pos = 5;
  EXPECT_EQ(music.PeekMusicListPosition(pos), 0);  // negative positions do not count
  EXPECT_EQ(pos, -1);
  music.PushMusicListPosition(3, 4, 7);
  EXPECT_EQ(music.PeekMusicListPosition(pos), 1);
  EXPECT_EQ(music.PopMusicListPosition(entry), 1);
  EXPECT_EQ(entry.nFirst, 3);
  EXPECT_EQ(entry.nPosition, 7);

  music.m_arrVisualEffects = {{1, "a", "A", 1}, {0, "b", "B", 2}};
  music.m_nVisualizationSel = 0;
  int answer = -1;
  music.m_nMusicState = MUSIC_STOPPED;
  music.GetVisualizationSelection(answer);
  EXPECT_EQ(answer, 0);
  music.m_nMusicState = MUSIC_PLAYING;
  music.GetVisualizationSelection(answer);
  EXPECT_EQ(answer, 1);
  music.MusicQueryVisualizationPlus(answer);
  EXPECT_EQ(answer, 1);  // page 24 on top
  music.PopMusicPage(page);
  music.MusicQueryVisualizationPlus(answer);
  EXPECT_EQ(answer, 0);

  int first = -1, second = -1;
  music.m_nMusicState = MUSIC_STOPPED;
  music.MusicQueryPlayPause(first, second);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);  // folder page, empty play list
  music.m_vecPlayList.resize(2);
  music.m_vecCurrentList.resize(3);
  music.m_vecCurrentList[1].bChecked = 1;
  music.MusicQueryPlayPause(first, second);
  EXPECT_EQ(second, 1);
  int count = 0;
  music.CountCheckedMusicItems(count);
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(music.MusicTrackIndexValid(1));
  EXPECT_FALSE(music.MusicTrackIndexValid(2));
  EXPECT_FALSE(music.MusicTrackIndexValid(-1));
  music.ClearMusicLists();
  EXPECT_TRUE(music.m_vecPlayList.empty());
  EXPECT_TRUE(music.m_vecCurrentList.empty());

  for (int state = 0; state <= 4; ++state) {
    music.m_nMusicState = state;
    music.IsMusicBrowseState(answer);
    EXPECT_EQ(answer, state >= 1 ? 1 : 0);
  }
}

TEST(PhotoState, CheckedPhotoSteps) {
  CPhotoConfig photo(nullptr);
  photo.m_vecPhotos.resize(5);
  photo.m_vecPhotos[1].bChecked = 1;
  photo.m_vecPhotos[3].bChecked = 1;
  struct Case {
    int current, subState, prev, next, valid;
  };
  for (const Case& c : {Case{2, 0, 1, 1, 1}, Case{1, 0, 0, 1, 1}, Case{3, 0, 1, 0, 1}, Case{2, 3, 0, 0, 0},
                        Case{5, 0, 0, 0, 0}, Case{-1, 0, 0, 0, 0}}) {
    SCOPED_TRACE(c.current);
    photo.m_nCurrentPhoto = c.current;
    photo.m_nPhotoPageState = c.subState;
    int a = -1;
    photo.PhotoCanGoPrevious(a);
    EXPECT_EQ(a, c.prev);
    photo.PhotoCanGoNext(a);
    EXPECT_EQ(a, c.next);
    photo.PhotoCurrentValid(a);
    EXPECT_EQ(a, c.valid);
  }
  photo.m_vecPhotos[3].bChecked = 0;  // one checked photo is not enough to step
  photo.m_nCurrentPhoto = 3;
  photo.m_nPhotoPageState = 0;
  int a = -1;
  photo.PhotoCanGoPrevious(a);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(photo.CountCheckedPhotos(), 1);
  EXPECT_EQ(photo.CountCheckedRecordPhotos(), 0);
}

TEST(VideoState, KeyAnswers) {
  CVideoConfig video(nullptr);
  video.m_folderFiles = {"/a", "/b", "/c"};
  video.m_recentFiles = {"/r"};
  int shown = 0, enabled = -1;

  video.m_nFolderIndex = 1;
  video.VideoKeyPrevious(shown, enabled);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(enabled, 1);
  video.VideoKeyNext(shown, enabled);
  EXPECT_EQ(enabled, 1);
  video.m_nPlaySourceView = VIDEO_VIEW_RECENT;
  video.m_nRecentIndex = 0;
  video.VideoKeyPrevious(shown, enabled);
  EXPECT_EQ(enabled, 0);
  video.VideoKeyNext(shown, enabled);
  EXPECT_EQ(enabled, 0);

  video.m_nTransportState = 1;
  video.VideoKeyPlay(shown, enabled);
  EXPECT_EQ(enabled, 0);
  video.m_nTransportState = 2;
  video.VideoKeyPlay(shown, enabled);
  EXPECT_EQ(enabled, 1);
  video.m_bKeyAnswer4 = 1;
  video.VideoKeyFastForward(shown, enabled);
  EXPECT_EQ(enabled, 1);
  video.VideoKeyRewind(shown, enabled);
  EXPECT_EQ(enabled, 0);

  // The capture view.
  video.m_nView = VIDEO_VIEW_CAPTURE;
  struct Case {
    int source, transport, dvState, capturing, busy;
    int play, ff, rew;
  };
  const std::vector<Case> cases{
      {VIDEO_SOURCE_WEBCAM, 2, 2, 0, 0, 0, 0, 0},  {VIDEO_SOURCE_NONE, 2, 2, 0, 0, 0, 0, 0},
      {VIDEO_SOURCE_DV, 1, 2, 0, 0, 0, 0, 0},      {VIDEO_SOURCE_DV, 2, 2, 0, 0, 1, 1, 1},
      {VIDEO_SOURCE_DV, 5, 2, 0, 0, 1, 0, 1},      {VIDEO_SOURCE_DV, 4, 2, 0, 0, 1, 1, 0},
      {VIDEO_SOURCE_DV, 2, 1, 0, 0, 0, 0, 0},      {VIDEO_SOURCE_DV, 2, 1, 1, 0, 1, 0, 0},
      {VIDEO_SOURCE_DV, 2, 2, 0, 1, 0, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.source << "/" << c.transport << "/" << c.dvState << "/" << c.capturing);
    video.m_nCaptureSource = c.source;
    video.m_nTransportState = c.transport;
    video.m_nDVDeviceState = c.dvState;
    video.m_bCapturing = c.capturing;
    video.m_bCaptureBusy = c.busy;
    video.VideoKeyPlay(shown, enabled);
    EXPECT_EQ(enabled, c.play);
    video.VideoKeyFastForward(shown, enabled);
    EXPECT_EQ(enabled, c.ff);
    video.VideoKeyRewind(shown, enabled);
    EXPECT_EQ(enabled, c.rew);
  }
  video.VideoKeyNext(shown, enabled);
  EXPECT_EQ(enabled, 0);

  video.m_nSortMode = 1;
  video.m_nScreenMode4x3 = 2;
  EXPECT_EQ(video.ResetVideoDefaults(), 1);
  EXPECT_EQ(video.m_nSortMode, 0);
  EXPECT_EQ(video.m_nScreenMode4x3, 1);
}

TEST(TVState, ChannelNamesAndWall) {
  CTVConfig tv(nullptr);
  tv.AddTVChannel(21, "One");
  tv.AddTVChannel(37, "Two");
  tv.AddTVChannel(21, "Renamed");
  EXPECT_EQ(tv.m_channelNames.size(), 2u);
  EXPECT_EQ(tv.m_channelNames.at(21), "Renamed");
  tv.ConstructTVWallCells(3);
  ASSERT_EQ(tv.m_tvWallCells.size(), 3u);
  EXPECT_EQ(tv.m_tvWallCells[2].nChannel, 0u);
  EXPECT_EQ(tv.m_tvWallCells[2].hBitmap, nullptr);
  EXPECT_EQ(tv.m_nCountryIndex, -1);
  EXPECT_EQ(tv.m_nWallColumns, 16);
}

TEST(AudioProfiles, ArchiveRoundTripAndTruncation) {
  CAudioProfileList list;
  SetProfileListSize(list, 2);
  list.m_profiles[0].m_strName = "Hall";
  list.m_profiles[0].m_settings[5] = 9;
  SetProfileArraySize(list.m_profiles[0], 2, 1);
  list.m_profiles[0].m_items[1][75] = 7;
  list.m_profiles[0].m_wideItems[0][79] = 3;
  list.m_profiles[1].m_strName = "Room";
  std::vector<std::uint8_t> archive;
  list.Serialize(archive);

  CAudioProfileList back;
  std::size_t offset = 0;
  ASSERT_EQ(back.Deserialize(archive, offset), 1);
  EXPECT_EQ(offset, archive.size());
  EXPECT_EQ(back.m_profiles, list.m_profiles);
  EXPECT_EQ(GetProfileEntry(back, 1).m_strName, "Room");
  EXPECT_EQ(GetProfileEntry(back, 2), CAudioProfile{});

  for (std::size_t cut : {std::size_t{0}, std::size_t{3}, archive.size() / 2, archive.size() - 1}) {
    SCOPED_TRACE(cut);
    std::vector<std::uint8_t> shortArchive(archive.begin(), archive.begin() + static_cast<long>(cut));
    CAudioProfileList keep;
    keep.m_profiles.resize(1);
    std::size_t at = 0;
    EXPECT_EQ(keep.Deserialize(shortArchive, at), 0);
    EXPECT_EQ(keep.m_profiles.size(), 1u);
    EXPECT_EQ(at, 0u);
  }
  // A count far beyond the data is refused without allocating for it.
  std::vector<std::uint8_t> huge{0xFF, 0xFF, 0xFF, 0x7F};
  std::size_t at = 0;
  EXPECT_EQ(back.Deserialize(huge, at), 0);

  DestroyProfileList(list, 0);
  EXPECT_EQ(list.m_profiles.size(), 1u);
  CAudioProfile copy;
  CopyProfileList(copy, list.m_profiles[0]);
  EXPECT_EQ(copy, list.m_profiles[0]);
}

TEST(AudioProfiles, NoLineInsStoreTwoZeroCountsAndLoadBackEmpty) {
  CAudioProfileList list;
  SetProfileListSize(list, 1);
  list.m_profiles[0].m_strName = "Tuner";
  std::vector<std::uint8_t> archive;
  list.Serialize(archive);
  // count, name length, name, the 76-byte block, then the two zero counts.
  ASSERT_EQ(archive.size(), 4u + 4u + 5u + 76u + 4u + 4u);
  EXPECT_TRUE(std::all_of(archive.end() - 8, archive.end(), [](std::uint8_t b) { return b == 0; }));

  CAudioProfileList back;
  SetProfileListSize(back, 1);
  SetProfileArraySize(back.m_profiles[0], 3, 2);  // loading replaces these
  std::size_t offset = 0;
  ASSERT_EQ(back.Deserialize(archive, offset), 1);
  ASSERT_EQ(back.m_profiles.size(), 1u);
  EXPECT_TRUE(back.m_profiles[0].m_items.empty());
  EXPECT_TRUE(back.m_profiles[0].m_wideItems.empty());
  EXPECT_EQ(back.m_profiles[0].m_strName, "Tuner");
}

TEST(AudioProfiles, LineInTextStopsAtZeroAndNeverPassesTheItem) {
  CAudioProfile profile;
  SetProfileArraySize(profile, 0, 2);
  const std::string line = "Line In 2";
  std::copy(line.begin(), line.end(), profile.m_wideItems[0].begin());
  profile.m_wideItems[0][line.size() + 1] = 'X';  // after the terminator: not shown
  profile.m_wideItems[1].fill('A');               // no terminator at all
  EXPECT_EQ(LineInText(profile, 0), "Line In 2");
  EXPECT_EQ(LineInText(profile, 1), std::string(80, 'A'));
  EXPECT_EQ(LineInText(profile, 2), "");
  EXPECT_EQ(LineInText(profile, -1), "");
}

TEST(MusicState, TrackCountersByState) {
  CMusicConfig music(nullptr);
  EXPECT_EQ(music.CountTracksInState1(), 0);
  EXPECT_EQ(music.CountTracksInState8(), 0);
  for (int state : {1, 8, 0, 1, 9, 8, 8, 2}) {
    MusicRecord track;
    track.bChecked = state;
    music.m_vecLibraryTracks.push_back(track);
  }
  EXPECT_EQ(music.CountTracksInState1(), 2);
  EXPECT_EQ(music.CountTracksInState8(), 3);
}

TEST(RecordSection, StartsEmpty) {
  CRecordConfig record(nullptr);
  EXPECT_EQ(record.m_nState, 0);
  EXPECT_TRUE(record.m_arrFiles.empty());
}

}  // namespace
