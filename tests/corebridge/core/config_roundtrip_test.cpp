// A full Config.xml written from every section with non-default values:
// it matches the golden file, and loading it into a fresh configuration and
// saving again gives the same bytes.
#include <stdlib.h>

#include <string>

#include <gtest/gtest.h>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/tv_config.h"
#include "corebridge/core/video_config.h"
#include "corebridge/core/xml_settings.h"
#include "sections_test_support.h"

namespace {

using sections_test::ReadFile;
using sections_test::TempEnvironment;
using sections_test::WriteFile;

void FillEverySection(CConfig& c) {
  c.m_nWideScreenMode = 2;
  CMovieConfig& m = *c.m_pMovie;
  m.m_nDriveIndex = 3;
  m.m_bUseDxva = 1;
  m.m_nColorProfile = 4;
  m.m_nAudioSpeakerIdx = 2;
  m.m_nAudioProfileIdx = 1;
  m.m_nAudioChannelExpanderIdx = 0;
  m.m_nSubtitleProfileIdx = 5;
  m.m_bClosedCaptionOn = 0;
  m.m_nLanguageProfileIdx = 6;
  m.m_strParentalPassword = "12<&>\"";
  m.m_nRating = 7;

  CVideoConfig& v = *c.m_pVideo;
  v.m_recentFiles = {"/videos/one.avi", "/videos/z\xC3\xBC.mpg"};
  v.m_strSnapshotFolder = "/snaps";
  v.m_strDefaultFolder = "/videos";
  v.m_strCapturedFolder = "/captured";
  v.m_nSortMode = 1;
  v.m_nScreenMode4x3 = 2;
  v.m_nScreenMode16x9 = 2;
  v.m_strBrowseFolder = "/browse";
  v.m_nDVProfileIndex = 2;

  CPhotoConfig& p = *c.m_pPhoto;
  p.m_nSlideDuration = 9;
  p.m_nTransition = 3;
  p.m_bPlayBgMusic = 0;
  p.m_nBgMusicType = 6;
  p.m_wszBgAlbumName = "Album \xE2\x99\xAB";
  p.m_wszBgAlbumId = "id-7";
  p.m_wszBgArtist = "Artist";
  p.m_wszBgPlaylistName = "List";
  p.m_wszBgPlaylistUrl = "file:///lists/a.m3u";
  p.m_nBgPlaylistOrder = 2;
  p.m_wszBgCdName = "CD";
  p.m_szBgCdDrive = "/dev/sr";
  p.m_wszBgTrackName = "Track";
  p.m_wszBgTrackAlbum = "TAlbum";
  p.m_wszBgTrackArtist = "TArtist";
  p.m_wszBgTrackGenre = "Genre";
  p.m_wszBgTrackPath = "/music/t.mp3";
  p.m_wszBgTrackExt = ".mp3";
  p.m_wszBgTrackCollectionId = "c1";
  p.m_wszBgTrackDurationText = "3:25";
  p.m_dBgTrackDuration = 205.5;
  p.m_szBgMusicPath = "/music";
  p.m_strAcquiredImageFolder = "/acquired";
  p.m_strBrowseFolder = "/";

  CMusicConfig& mu = *c.m_pMusic;
  mu.m_nOrdering = 2;
  mu.m_nRippingFormat = 3;
  mu.m_bWithSongInfo = 0;
  mu.m_bRepeatAll = 1;
  mu.m_bShuffle = 1;
  mu.m_arrVisualEffects = {{1, "bars", "Bars", 4}, {0, "wave", "Wave & more", 0xFFFFFFF0u}};
  mu.m_strBrowseFolder = "/";

  CTVConfig& t = *c.m_pTV;
  t.m_strProfileName = "Default_PAL.prf";
  t.m_strWorkingFolder = "/tv";
  t.m_strSnapshotFolder = "/tv/snaps";
  t.m_strVideoDevice = "/dev/video0";
  t.m_strAudioDevice = "hw:1";
  t.m_nCountryIndex = 44;
  t.m_nVideoSource = 1;
  t.m_nTunerType = 2;
  t.m_nChannel = 21;
  t.m_nSnapshotFormat = 1;
  t.m_signalChannels = {21, 23, 40};
  t.m_channelEnable = {1, 0, 1};

  CRadioConfig& r = *c.m_pRadio;
  r.m_nRecordFormat = 2;
  r.m_nRecordTo = 1;
  r.m_nRecordDiscFormat = 1;
  r.m_nCurArea = 3;
  r.m_nCurBand = 1;
  r.m_nCurFMFrequency = 99500000;
  r.m_nCurAMFrequency = 1008000000;
  r.m_nFMFineTuneScale = 100000;
  r.m_nFMAutoScanScale = 200000;
  r.m_nAMFineTuneScale = 10000000;
  r.m_nAMAutoScanScale = 9000000;
  r.m_nCurFMStation = 1;
  r.m_nCurAMStation = 0;
  r.m_fmStations = {{"Radio One", 88100000, 1, 1}, {"Zwei", 99500000, 1, 0}, {"------", 0, 0, -1}};
  r.m_amStations = {{"AM", 1008000000, 1, -1}};
}

class ConfigRoundTripTest : public ::testing::Test {
 protected:
  std::string Save(CConfig& config, const std::string& name) {
    CXmlSettings xml;
    xml.XmlSettingsOpen();
    EXPECT_EQ(config.ConfigSave(xml), 1);
    const std::string path = env_.path(name);
    EXPECT_EQ(xml.XmlSettingsSave(path), 1) << xml.LastError();
    return path;
  }
  TempEnvironment env_;
};

TEST_F(ConfigRoundTripTest, EverySectionRoundTripsThroughTheGoldenFile) {
  CConfig first;
  FillEverySection(first);
  const std::string written = Save(first, "first.xml");

  const std::string golden = std::string(SECTIONS_GOLDEN_DIR) + "/sections_full.xml";
  if (::getenv("MARIVEL_UPDATE_GOLDEN")) WriteFile(golden, ReadFile(written));
  EXPECT_EQ(ReadFile(written), ReadFile(golden)) << "differs from " << golden;

  CConfig second;
  CXmlSettings xml;
  ASSERT_EQ(xml.XmlSettingsLoadFile(golden), 1) << xml.LastError();
  ASSERT_EQ(second.ConfigLoad(xml), 1);
  EXPECT_EQ(ReadFile(Save(second, "second.xml")), ReadFile(golden));

  // Spot checks of values whose path through the file is least direct.
  EXPECT_EQ(second.m_nWideScreenMode, 2);
  EXPECT_EQ(second.m_pMovie->m_strParentalPassword, "12<&>\"");
  EXPECT_EQ(second.m_pPhoto->m_wszBgAlbumName, "Album \xE2\x99\xAB");
  EXPECT_DOUBLE_EQ(second.m_pPhoto->m_dBgTrackDuration, 205.5);
  EXPECT_EQ(second.m_pMusic->m_arrVisualEffects[1].nId, 0xFFFFFFF0u);
  EXPECT_EQ(second.m_pRadio->m_fmStations[2], (RadioStation{"------", 0, 0, -1}));
  EXPECT_EQ(second.m_pTV->m_channelEnable, (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(second.m_pVideo->m_strCurrentFolder, "/videos");
}

TEST_F(ConfigRoundTripTest, PhotoMusicValuesNestUnderTheirGroups) {
  CConfig config;
  FillEverySection(config);
  CXmlSettings xml;
  xml.XmlSettingsOpen();
  config.ConfigSave(xml);
  const CXmlNode* photo = xml.XmlFindSection("PHOTOCONFIG", false);
  ASSERT_NE(photo, nullptr);
  const CXmlNode* bg = photo->FindFirst("PHOTO_BGMUSIC");
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->m_pParent, photo);
  for (const char* group : {"PHOTO_BGMUSICALBUM", "PHOTO_BGMUSICPLAYLIST", "PHOTO_BGMUSICCD", "PHOTO_BGMUSICTRACK"}) {
    const CXmlNode* node = bg->FindFirst(group);
    ASSERT_NE(node, nullptr) << group;
    EXPECT_EQ(node->m_pParent, bg) << group;
  }
  EXPECT_EQ(bg->FindFirst("PHOTO_BGMUSICALBUMNAME")->m_pParent->m_strName, "PHOTO_BGMUSICALBUM");
  EXPECT_EQ(bg->FindFirst("PHOTO_BGMUSICPATH")->m_pParent, bg);
}

TEST_F(ConfigRoundTripTest, AnEmptyRecentListWritesNoKey) {
  CConfig config;
  CXmlSettings xml;
  xml.XmlSettingsOpen();
  config.m_pVideo->VideoConfigSave(xml);
  const CXmlNode* video = xml.XmlFindSection(CVideoConfig::kSection, false);
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(video->FindFirst("RECENT_FILES"), nullptr);
  EXPECT_NE(video->FindFirst("SORT_MODE"), nullptr);
}

}  // namespace
