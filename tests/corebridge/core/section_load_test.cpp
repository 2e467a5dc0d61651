// Load rules of the module sections: each key missing, in range and out of
// range, as tables; plus the rules that go beyond one key (arrays of unequal
// length, folder fall-backs, registry defaults).
#include <filesystem>
#include <string>
#include <vector>

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

using sections_test::MakeDocument;
using sections_test::TempEnvironment;

// One key of one section: the field holds `before`, the document holds the
// key with `text` (or not at all when null); after loading the field must
// hold `expected`.
template <typename Section>
struct IntCase {
  const char* section;
  const char* key;
  const char* text;
  int Section::*field;
  int before;
  int expected;
};

template <typename Section, typename Load>
void RunIntCases(CConfig& root, const std::vector<IntCase<Section>>& cases, Load load) {
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " = " + (c.text ? c.text : "(missing)"));
    Section section(&root);
    section.*c.field = c.before;
    CXmlSettings xml;
    MakeDocument(xml, c.section, c.key, c.text);
    EXPECT_EQ((section.*load)(xml), 1);
    EXPECT_EQ(section.*c.field, c.expected);
  }
}

class SectionLoadTest : public ::testing::Test {
 protected:
  TempEnvironment env_;
};

TEST_F(SectionLoadTest, MovieKeys) {
  CConfig root;
  using M = CMovieConfig;
  const char* s = M::kSection;
  RunIntCases<M>(root,
                 {
                     {s, "MOVIE_DRIVEIDX", nullptr, &M::m_nDriveIndex, 2, 2},
                     {s, "MOVIE_DRIVEIDX", "4", &M::m_nDriveIndex, 2, 4},
                     // No number, or an index no caller can mean: the field stays.
                     {s, "MOVIE_DRIVEIDX", "abc", &M::m_nDriveIndex, 2, 2},
                     {s, "MOVIE_DRIVEIDX", "-2147483648", &M::m_nDriveIndex, 2, 2},
                     {s, "MOVIE_ISUSEDXVA", "abc", &M::m_bUseDxva, 1, 1},  // not read as a missing 0
                     {s, "MOVIE_COLORPROFILE", "4294967295", &M::m_nColorProfile, 3, 3},
                     {s, "MOVIE_COLORPROFILE", "", &M::m_nColorProfile, 3, 3},
                     {s, "MOVIE_AUDIOPROFILEIDX", "-1", &M::m_nAudioProfileIdx, 1, 1},
                     {s, "MOVIE_CLOSEDCAPTIONON", "on", &M::m_bClosedCaptionOn, 1, 1},
                     {s, "MOVIE_ISUSEDXVA", nullptr, &M::m_bUseDxva, 1, 0},  // missing reads 0
                     {s, "MOVIE_ISUSEDXVA", "1", &M::m_bUseDxva, 0, 1},
                     {s, "MOVIE_ISUSEDXVA", "2", &M::m_bUseDxva, 1, 1},
                     {s, "MOVIE_COLORPROFILE", nullptr, &M::m_nColorProfile, 3, 0},
                     {s, "MOVIE_COLORPROFILE", "5", &M::m_nColorProfile, 3, 5},
                     {s, "MOVIE_AUDIOSPEAKERIDX", nullptr, &M::m_nAudioSpeakerIdx, 1, 1},
                     {s, "MOVIE_AUDIOSPEAKERIDX", "2", &M::m_nAudioSpeakerIdx, 1, 2},
                     {s, "MOVIE_AUDIOPROFILEIDX", "3", &M::m_nAudioProfileIdx, 0, 3},
                     {s, "MOVIE_AUDIOCHANNELEXPANDERIDX", nullptr, &M::m_nAudioChannelExpanderIdx, 2, 2},
                     {s, "MOVIE_AUDIOCHANNELEXPANDERIDX", "0", &M::m_nAudioChannelExpanderIdx, 2, 0},
                     {s, "MOVIE_SUBTITLEPROFILEIDX", "1", &M::m_nSubtitleProfileIdx, 0, 1},
                     {s, "MOVIE_CLOSEDCAPTIONON", nullptr, &M::m_bClosedCaptionOn, 1, 0},  // captions off
                     {s, "MOVIE_CLOSEDCAPTIONON", "1", &M::m_bClosedCaptionOn, 0, 1},
                     {s, "MOVIE_LANGUAGEPROFILEIDX", "2", &M::m_nLanguageProfileIdx, 0, 2},
                     {s, "MOVIE_RATING", nullptr, &M::m_nRating, 15, 15},
                     {s, "MOVIE_RATING", "2", &M::m_nRating, 15, 15},
                     {s, "MOVIE_RATING", "7", &M::m_nRating, 15, 7},
                     {s, "MOVIE_RATING", "1", &M::m_nRating, 15, 1},
                     {s, "MOVIE_RATING", "16", &M::m_nRating, 4, 4},
                 },
                 &M::MovieConfigLoad);
}

TEST_F(SectionLoadTest, MovieWideScreenModeAndPasswordGoWhereTheyBelong) {
  CConfig root;
  CMovieConfig movie(&root);
  CXmlSettings xml;
  MakeDocument(xml, CMovieConfig::kSection, "MOVIE_WIDESCREENMODE", "3");
  xml.XmlSetString("MOVIE_PCPASSWORD", "0815", CMovieConfig::kSection);
  ASSERT_EQ(movie.MovieConfigLoad(xml), 1);
  EXPECT_EQ(root.m_nWideScreenMode, 3);
  EXPECT_EQ(movie.m_strParentalPassword, "0815");

  CXmlSettings empty;
  MakeDocument(empty, CMovieConfig::kSection, "", nullptr);
  ASSERT_EQ(movie.MovieConfigLoad(empty), 1);
  EXPECT_EQ(root.m_nWideScreenMode, 0);  // a missing key reads as 0
  EXPECT_EQ(movie.m_strParentalPassword, "0815");

  CXmlSettings noDocument;
  EXPECT_EQ(movie.MovieConfigLoad(noDocument), 0);
}

TEST_F(SectionLoadTest, MovieRegistryDefaults) {
  {
    CConfig root;
    EXPECT_EQ(root.m_pMovie->m_nColorProfile, 3);
    EXPECT_EQ(root.m_pMovie->m_nAudioSpeakerIdx, 0);
    EXPECT_EQ(root.m_pMovie->m_bUseDxva, 0);
    EXPECT_EQ(root.m_pMovie->m_arrSpeedList1, (std::vector<std::string>{"1.5", "2", "3", "4", "8", "16", "32", "1"}));
    EXPECT_EQ(root.m_pMovie->m_arrSpeedList2.size(), 9u);
    EXPECT_EQ(root.m_pMovie->m_arrChannelExpanders, (std::vector<std::uint32_t>{1, 2, 3}));
  }
  sections_test::SetMachineString("Vendor", "Vadu");
  sections_test::SetMachineDword("DefaultDXVA", 7);
  sections_test::SetMachineDword("DefaultColorProfile", 5);
  {
    CConfig root;
    EXPECT_EQ(root.m_pMovie->m_nAudioSpeakerIdx, 1);
    EXPECT_EQ(root.m_pMovie->m_bUseDxva, 1);
    EXPECT_EQ(root.m_pMovie->m_nColorProfile, 5);
  }
  sections_test::SetMachineDword("DefaultColorProfile", 6);
  sections_test::SetMachineString("Vendor", "Vadux");
  CConfig root;
  root.m_pMovie->m_nColorProfile = 1;
  EXPECT_EQ(root.m_pMovie->ReadDefaultColorProfile(), 1);
  EXPECT_EQ(root.m_pMovie->m_nColorProfile, 3);  // out of range: 3
  EXPECT_EQ(root.m_pMovie->m_nAudioSpeakerIdx, 0);
}

TEST_F(SectionLoadTest, MusicKeys) {
  CConfig root;
  using M = CMusicConfig;
  const char* s = M::kSection;
  RunIntCases<M>(root,
                 {
                     {s, "MUSIC_ORDERING", nullptr, &M::m_nOrdering, 1, 1},
                     {s, "MUSIC_ORDERING", "3", &M::m_nOrdering, 1, 3},
                     {s, "MUSIC_RIPPING_FORMAT", "2", &M::m_nRippingFormat, 1, 2},
                     {s, "MUSIC_WITH_SONG_INFO", nullptr, &M::m_bWithSongInfo, 1, 1},
                     {s, "MUSIC_WITH_SONG_INFO", "0", &M::m_bWithSongInfo, 1, 0},
                     {s, "MUSIC_REPEAT_ALL", "1", &M::m_bRepeatAll, 0, 1},
                     {s, "MUSIC_SHUFFLE", "1", &M::m_bShuffle, 0, 1},
                     {s, "MUSIC_SHUFFLE", nullptr, &M::m_bShuffle, 1, 1},
                 },
                 &M::MusicConfigLoad);
}

TEST_F(SectionLoadTest, MusicVisualEffectsReadOnlyWholeEntries) {
  CConfig root;
  CMusicConfig music(&root);
  music.m_arrVisualEffects.push_back({1, "old", "Old", 9});
  CXmlSettings xml;
  xml.XmlSettingsOpen();
  const char* s = CMusicConfig::kSection;
  xml.XmlSetStringArray("MUSIC_VISUAL_EFFECT_STRID", {"a", "b", "c"}, s);
  xml.XmlSetStringArray("MUSIC_VISUAL_EFFECT_LNAME", {"Alpha", "Beta"}, s);  // one short
  xml.XmlSetBooleanArray("MUSIC_VISUAL_EFFECT_SELECT", {0, 1, 1}, s);
  xml.XmlSetUIntArray("MUSIC_VISUAL_EFFECT_UINTID", {10, 20, 30}, s);
  ASSERT_EQ(music.MusicConfigLoad(xml), 1);
  ASSERT_EQ(music.m_arrVisualEffects.size(), 2u);
  EXPECT_EQ(music.m_arrVisualEffects[1].strId, "b");
  EXPECT_EQ(music.m_arrVisualEffects[1].strLongName, "Beta");
  EXPECT_EQ(music.m_arrVisualEffects[1].bSelected, 1);
  EXPECT_EQ(music.m_arrVisualEffects[1].nId, 20u);
}

TEST_F(SectionLoadTest, BrowseFoldersFallBackToTheUserFolders) {
  CConfig root;
  const std::string kept = env_.path("kept");
  std::filesystem::create_directories(kept);
  struct Case {
    const char* text;
    bool keeps;
  };
  for (const Case& c : {Case{nullptr, false}, Case{"/no/such/folder", false}, Case{kept.c_str(), true}}) {
    SCOPED_TRACE(c.text ? c.text : "(missing)");
    CMusicConfig music(&root);
    CXmlSettings musicXml;
    MakeDocument(musicXml, CMusicConfig::kSection, "MUSIC_BROWSEFOLDER", c.text);
    music.MusicConfigLoad(musicXml);
    EXPECT_EQ(music.m_strBrowseFolder, c.keeps ? kept : root.m_strMusicFolder);

    CPhotoConfig photo(&root);
    CXmlSettings photoXml;
    MakeDocument(photoXml, CPhotoConfig::kSection, "PHOTO_BROWSEFOLDER", c.text);
    photo.PhotoConfigLoad(photoXml);
    EXPECT_EQ(photo.m_strBrowseFolder, c.keeps ? kept : root.m_strPicturesFolder);
  }
}

TEST_F(SectionLoadTest, PhotoKeys) {
  CConfig root;
  using P = CPhotoConfig;
  const char* s = P::kSection;
  RunIntCases<P>(root,
                 {
                     {s, "PHOTO_DURATION", nullptr, &P::m_nSlideDuration, 3, 3},
                     {s, "PHOTO_DURATION", "7", &P::m_nSlideDuration, 3, 7},
                     {s, "PHOTO_DURATION", "0", &P::m_nSlideDuration, 3, 3},
                     {s, "PHOTO_DURATION", "-4", &P::m_nSlideDuration, 3, 3},
                     {s, "PHOTO_DURATION", "2147483647", &P::m_nSlideDuration, 3, 3},
                     {s, "PHOTO_DURATION", "86400", &P::m_nSlideDuration, 3, 86400},
                     {s, "PHOTO_DURATION", "five", &P::m_nSlideDuration, 3, 3},
                     {s, "PHOTO_TRANSITION", "6", &P::m_nTransition, 5, 5},
                     {s, "PHOTO_TRANSITION", "0", &P::m_nTransition, 5, 0},
                     {s, "PHOTO_TRANSITION", "-1", &P::m_nTransition, 5, 5},
                     {s, "PHOTO_ISPLAYBGMUSIC", "0", &P::m_bPlayBgMusic, 1, 0},
                     {s, "PHOTO_ISPLAYBGMUSIC", "2", &P::m_bPlayBgMusic, 1, 1},
                     {"PHOTO_BGMUSIC", "PHOTO_BGMUSICTYPE", nullptr, &P::m_nBgMusicType, 3, 0},
                     {"PHOTO_BGMUSIC", "PHOTO_BGMUSICTYPE", "7", &P::m_nBgMusicType, 3, 7},
                     {"PHOTO_BGMUSIC", "PHOTO_BGMUSICTYPE", "8", &P::m_nBgMusicType, 3, 3},
                     {"PHOTO_BGMUSIC", "PHOTO_BGMUSICTYPE", "x", &P::m_nBgMusicType, 3, 3},
                     {"PHOTO_BGMUSICPLAYLIST", "PHOTO_BGMUSICPLAYLISTORDER", nullptr, &P::m_nBgPlaylistOrder, 5, 0},
                     {"PHOTO_BGMUSICPLAYLIST", "PHOTO_BGMUSICPLAYLISTORDER", "-2", &P::m_nBgPlaylistOrder, 5, -2},
                 },
                 &P::PhotoConfigLoad);
}

TEST_F(SectionLoadTest, PhotoMusicTextsAndDefaultsOfMissingKeys) {
  CConfig root;
  CPhotoConfig photo(&root);
  photo.m_dBgTrackDuration = 12.5;
  photo.m_szBgMusicPath = "/old";
  photo.m_wszBgArtist = "kept";
  CXmlSettings xml;
  MakeDocument(xml, "PHOTO_BGMUSICCD", "PHOTO_BGMUSICCDDRIVE", "/media/cdrom0");
  xml.XmlSetWString("PHOTO_BGMUSICTRACKNAME", "Tr\xC3\xA4umerei", "PHOTO_BGMUSICTRACK");
  ASSERT_EQ(photo.PhotoConfigLoad(xml), 1);
  EXPECT_EQ(photo.m_szBgCdDrive, "/media/");  // seven characters at most
  EXPECT_EQ(photo.m_wszBgTrackName, "Tr\xC3\xA4umerei");
  EXPECT_EQ(photo.m_dBgTrackDuration, -1.0);
  EXPECT_EQ(photo.m_szBgMusicPath, "");
  EXPECT_EQ(photo.m_wszBgArtist, "kept");
}

TEST_F(SectionLoadTest, PhotoTrackDurationTakesOnlyFiniteLengths) {
  CConfig root;
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"215.5", 215.5}, {"0", 0.0},        {"-1.000000", -1.0}, {"-3", 12.5},
      {"nan", 12.5},    {"inf", 12.5},     {"-1e999", 12.5},    {"long", 12.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    CPhotoConfig photo(&root);
    photo.m_dBgTrackDuration = 12.5;
    CXmlSettings xml;
    MakeDocument(xml, "PHOTO_BGMUSIC", "PHOTO_BGMUSICTRACKDDURA", c.text);
    ASSERT_EQ(photo.PhotoConfigLoad(xml), 1);
    EXPECT_EQ(photo.m_dBgTrackDuration, c.expected);
  }
}

TEST_F(SectionLoadTest, TVKeys) {
  CConfig root;
  using T = CTVConfig;
  const char* s = T::kSection;
  RunIntCases<T>(root,
                 {
                     {s, "COUNTRY_INDEX", nullptr, &T::m_nCountryIndex, -1, -1},
                     {s, "COUNTRY_INDEX", "12", &T::m_nCountryIndex, -1, 12},
                     {s, "COUNTRY_INDEX", "-2", &T::m_nCountryIndex, -1, -1},
                     {s, "COUNTRY_INDEX", "none", &T::m_nCountryIndex, -1, -1},
                     {s, "CHANNEL", "-3", &T::m_nChannel, 9, 9},
                     {s, "VIDEO_SOURCE", "2", &T::m_nVideoSource, 0, 2},
                     {s, "TUNER_TYPE", "1", &T::m_nTunerType, 0, 1},
                     {s, "CHANNEL", nullptr, &T::m_nChannel, 9, 9},
                     {s, "CHANNEL", "33", &T::m_nChannel, 0, 33},
                     {s, "SNAPSHOT_FORMAT", "1", &T::m_nSnapshotFormat, 0, 1},
                 },
                 &T::TVConfigLoad);
}

TEST_F(SectionLoadTest, TVWithoutItsSectionKeepsDefaultsAndEmptiesItsArrays) {
  CConfig root;
  CTVConfig tv(&root);
  tv.m_signalChannels = {5, 6};
  tv.m_channelEnable = {1, 1};
  CXmlSettings xml;
  MakeDocument(xml, "OTHER", "", nullptr);
  ASSERT_EQ(tv.TVConfigLoad(xml), 1);
  EXPECT_EQ(tv.m_nCountryIndex, -1);
  EXPECT_EQ(tv.m_strWorkingFolder, "");
  EXPECT_EQ(tv.m_strVideoDevice, "");
  EXPECT_TRUE(tv.m_signalChannels.empty());
  EXPECT_TRUE(tv.m_channelEnable.empty());
}

TEST_F(SectionLoadTest, RadioKeys) {
  CConfig root;
  using R = CRadioConfig;
  const char* s = R::kSection;
  RunIntCases<R>(root,
                 {
                     {s, "RADIO_CURBAND", nullptr, &R::m_nCurBand, 2, 2},
                     {s, "RADIO_CURBAND", "1", &R::m_nCurBand, 2, 1},
                     {s, "RADIO_CURBAND", "3", &R::m_nCurBand, 2, 2},
                     {s, "RADIO_RECORDFORMAT", "9", &R::m_nRecordFormat, 0, 0},
                     {s, "RADIO_RECORDFORMAT", "4", &R::m_nRecordFormat, 0, 4},
                     {s, "RADIO_RECORDTO", "1", &R::m_nRecordTo, 0, 1},
                     {s, "RADIO_RECORDDISCFORMAT", "1", &R::m_nRecordDiscFormat, 0, 1},
                     {s, "RADIO_CURAREA", "3", &R::m_nCurArea, 0, 3},
                     {s, "RADIO_CURFMFREQUENCY", nullptr, &R::m_nCurFMFrequency, 100700000, 100700000},
                     {s, "RADIO_CURFMFREQUENCY", "99100000", &R::m_nCurFMFrequency, 100700000, 99100000},
                     {s, "RADIO_CURFMFREQUENCY", "76000000", &R::m_nCurFMFrequency, 100700000, 76000000},
                     // Outside any FM band, or no number at all (once read as 0 Hz).
                     {s, "RADIO_CURFMFREQUENCY", "4294967295", &R::m_nCurFMFrequency, 100700000, 100700000},
                     {s, "RADIO_CURFMFREQUENCY", "0", &R::m_nCurFMFrequency, 100700000, 100700000},
                     {s, "RADIO_CURFMFREQUENCY", "108000001", &R::m_nCurFMFrequency, 100700000, 100700000},
                     {s, "RADIO_CURFMFREQUENCY", "abc", &R::m_nCurFMFrequency, 100700000, 100700000},
                     {s, "RADIO_CURAMFREQUENCY", "1710000001", &R::m_nCurAMFrequency, 522000000, 522000000},
                     {s, "RADIO_CURAMFREQUENCY", "99100000", &R::m_nCurAMFrequency, 522000000, 522000000},
                     {s, "RADIO_CURFMSTATION", "-7", &R::m_nCurFMStation, 3, 3},
                     {s, "RADIO_FMFINETUNESCALE", "0", &R::m_nFMFineTuneScale, 50000, 50000},
                     {s, "RADIO_AMAUTOSCANSCALE", "4294967295", &R::m_nAMAutoScanScale, 9000000, 9000000},
                     {s, "RADIO_CURAMFREQUENCY", "1008000000", &R::m_nCurAMFrequency, 522000000, 1008000000},
                     {s, "RADIO_CURFMSTATION", "-1", &R::m_nCurFMStation, 3, -1},
                     {s, "RADIO_CURAMSTATION", "2", &R::m_nCurAMStation, -1, 2},
                     {s, "RADIO_FMFINETUNESCALE", "100000", &R::m_nFMFineTuneScale, 50000, 100000},
                     {s, "RADIO_AMFINETUNESCALE", nullptr, &R::m_nAMFineTuneScale, 9000000, 9000000},
                     {s, "RADIO_FMAUTOSCANSCALE", "200000", &R::m_nFMAutoScanScale, 50000, 200000},
                     {s, "RADIO_AMAUTOSCANSCALE", "10000000", &R::m_nAMAutoScanScale, 9000000, 10000000},
                 },
                 &R::RadioConfigLoad);
}

TEST_F(SectionLoadTest, RadioStationArraysOfUnequalLengthGiveWholeStationsOnly) {
  CConfig root;
  CRadioConfig radio(&root);
  radio.AddRadioStation(1, "stale", 1, RADIO_BAND_AM);
  CXmlSettings xml;
  xml.XmlSettingsOpen();
  const char* s = CRadioConfig::kSection;
  const std::string longName(80, 'x');
  xml.XmlSetStringArray("RADIO_FMSTATIONNAME", {"One", "Two", longName}, s);
  xml.XmlSetUIntArray("RADIO_FMSTATIONFREQ", {88000000, 99000000, 101000000}, s);
  xml.XmlSetBooleanArray("RADIO_FMSTATIONSELECT", {1, 0, 1}, s);
  xml.XmlSetUIntArray("RADIO_FMSTATIONPRESETID", {0xFFFFFFFFu, 0}, s);  // one short
  ASSERT_EQ(radio.RadioConfigLoad(xml), 1);
  ASSERT_EQ(radio.m_fmStations.size(), 2u);
  EXPECT_EQ(radio.m_fmStations[0], (RadioStation{"One", 88000000, 1, -1}));
  EXPECT_EQ(radio.m_fmStations[1], (RadioStation{"Two", 99000000, 0, 0}));
  EXPECT_TRUE(radio.m_amStations.empty());  // the band's list is rebuilt from the file

  CXmlSettings full;
  full.XmlSettingsOpen();
  full.XmlSetStringArray("RADIO_FMSTATIONNAME", {longName}, s);
  full.XmlSetUIntArray("RADIO_FMSTATIONFREQ", {88000000}, s);
  full.XmlSetBooleanArray("RADIO_FMSTATIONSELECT", {1}, s);
  full.XmlSetUIntArray("RADIO_FMSTATIONPRESETID", {1}, s);
  ASSERT_EQ(radio.RadioConfigLoad(full), 1);
  ASSERT_EQ(radio.m_fmStations.size(), 1u);
  EXPECT_EQ(radio.m_fmStations[0].strName, std::string(63, 'x'));
}

TEST_F(SectionLoadTest, VideoKeys) {
  CConfig root;
  using V = CVideoConfig;
  const char* s = V::kSection;
  RunIntCases<V>(root,
                 {
                     {s, "SORT_MODE", nullptr, &V::m_nSortMode, 1, 0},
                     {s, "SORT_MODE", "0", &V::m_nSortMode, 1, 0},
                     {s, "SORT_MODE", "1", &V::m_nSortMode, 0, 1},
                     {s, "SORT_MODE", "5", &V::m_nSortMode, 0, 1},
                     {s, "SCREEN_MODE_4X3", nullptr, &V::m_nScreenMode4x3, 2, 1},
                     {s, "SCREEN_MODE_4X3", "1", &V::m_nScreenMode4x3, 2, 1},
                     {s, "SCREEN_MODE_4X3", "0", &V::m_nScreenMode4x3, 1, 2},
                     {s, "SCREEN_MODE_16X9", "2", &V::m_nScreenMode16x9, 1, 2},
                     {s, "SCREEN_MODE_16X9", "9", &V::m_nScreenMode16x9, 1, 2},
                     {s, "DVPROFILEINDEX", nullptr, &V::m_nDVProfileIndex, -1, -1},
                     {s, "DVPROFILEINDEX", "3", &V::m_nDVProfileIndex, -1, 3},
                     {s, "DVPROFILEINDEX", "-9", &V::m_nDVProfileIndex, -1, -1},
                 },
                 &V::VideoConfigLoad);
}

TEST_F(SectionLoadTest, VideoFoldersAndRecentFiles) {
  CConfig root;
  CVideoConfig video(&root);
  video.m_recentFiles = {"/old.mpg"};
  video.m_strCurrentFolder = "/current";
  CXmlSettings xml;
  MakeDocument(xml, CVideoConfig::kSection, "SNAPSHOT_FOLDER", "/snaps");
  ASSERT_EQ(video.VideoConfigLoad(xml), 1);
  EXPECT_TRUE(video.m_recentFiles.empty());  // a missing list empties the recent files
  EXPECT_EQ(video.m_strSnapshotFolder, "/snaps");
  EXPECT_EQ(video.m_strCurrentFolder, "/current");

  xml.XmlSetString("DEFAULT_FOLDER", "/videos", CVideoConfig::kSection);
  xml.XmlSetStringArray("RECENT_FILES", {"/a.avi", "/b.avi"}, CVideoConfig::kSection);
  ASSERT_EQ(video.VideoConfigLoad(xml), 1);
  EXPECT_EQ(video.m_strDefaultFolder, "/videos");
  EXPECT_EQ(video.m_strCurrentFolder, "/videos");
  EXPECT_EQ(video.m_recentFiles, (std::vector<std::string>{"/a.avi", "/b.avi"}));
}

TEST_F(SectionLoadTest, WithoutADocumentEverySectionRefuses) {
  CConfig root;
  CXmlSettings none;
  EXPECT_EQ(root.m_pMusic->MusicConfigLoad(none), 0);
  EXPECT_EQ(root.m_pPhoto->PhotoConfigLoad(none), 0);
  EXPECT_EQ(root.m_pTV->TVConfigLoad(none), 0);
  EXPECT_EQ(root.m_pRadio->RadioConfigLoad(none), 0);
}

}  // namespace
