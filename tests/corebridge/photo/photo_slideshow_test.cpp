// The slide show through the controller: entering the module, the picture
// duration and transition settings, starting on the real renderer with the
// configured effects, stepping, the play states with their remote-control
// notices, and background music through the real media player.
#include "tests/corebridge/photo/photo_test_support.h"
#include "tests/corebridge/core/stub_wm_player.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"

namespace photo_test {
namespace {

TEST_F(PhotoTest, EntryOpensTheDriveSelectorAndSendsTheAlbumMode) {
  ASSERT_EQ(Act("Photo Entry"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_PHOTO);
  EXPECT_EQ(Photo().m_nPhotoState, 20);
  EXPECT_EQ(Photo().m_bEnginesReady, 1);
  EXPECT_TRUE(page_.Saw("EnterModule null"));
  EXPECT_TRUE(page_.Saw("RefreshBrowserList 2 1"));
  EXPECT_TRUE(system_->WMPlayer()) << "the player is held for the background music";
  EXPECT_EQ(Modes(), std::vector<WPARAM>{0});
  // Entering again changes nothing.
  page_.calls.clear();
  EXPECT_EQ(Act("Photo Entry"), S_OK);
  EXPECT_TRUE(page_.calls.empty());
  // "Photo Exit" leaves the module.
  EXPECT_EQ(Act("Photo Exit"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_TRUE(page_.Saw("NoOperation"));
}

TEST_F(PhotoTest, PictureDurationStepsThroughEitherListAndWraps) {
  struct Case {
    int vendor;
    int from;
    const char* action;
    int to;
  } cases[] = {
      {1, 2, "Photo PictureDurationLeft", 60},  {1, 60, "Photo PictureDurationRight", 2},
      {1, 10, "Photo PictureDurationRight", 15}, {1, 45, "Photo PictureDurationLeft", 30},
      {0, 10, "Photo PictureDurationRight", 12}, {0, 25, "Photo PictureDurationLeft", 20},
      {0, 2, "Photo PictureDurationLeft", 60},  {0, 60, "Photo PictureDurationRight", 2},
      {0, 11, "Photo PictureDurationRight", 3},  {1, 12, "Photo PictureDurationLeft", 3},
      {0, 0, "Photo PictureDurationLeft", 3},   {0, 61, "Photo PictureDurationRight", 3},
  };
  for (const auto& c : cases) {
    frame_.vendor = c.vendor;
    Photo().m_nSlideDuration = c.from;
    page_.calls.clear();
    EXPECT_EQ(Act(c.action), S_OK);
    EXPECT_EQ(Photo().m_nSlideDuration, c.to) << c.vendor << " " << c.from << " " << c.action;
    EXPECT_TRUE(page_.Saw("Redraw 1"));
  }
  Photo().m_nTransition = 0;
  Act("Photo Transition Effect Left");
  EXPECT_EQ(Photo().m_nTransition, 5);
  Act("Photo Transition Effect Right");
  EXPECT_EQ(Photo().m_nTransition, 0);
}

TEST_F(PhotoTest, WipeModeGivesTheWipeRowInTurnAndTransitionTimeFollowsTheDuration) {
  Enter();
  FillPhotos(7);
  Photo().m_nTransition = 0;
  const struct {
    int duration;
    int transition;
  } times[] = {{10, 3}, {2, 1}, {4, 1}, {6, 2}};
  for (const auto& t : times) {
    Photo().m_nSlideDuration = t.duration;
    Photo().m_nPhotoState = 0;
    ASSERT_EQ(Act("Photo Slideshow Play"), S_OK) << t.duration;
    EXPECT_EQ(Show().slideDuration, t.duration * 10'000'000LL);
    EXPECT_EQ(Show().transitionDuration, t.transition * 10'000'000LL) << t.duration;
    EXPECT_EQ(Show().effects, (std::vector<int>{88, 79, 96, 81, 78, 88, 79}));
    EXPECT_EQ(Show().slides.size(), 7u);
    EXPECT_EQ(Photo().m_nPhotoState, 1);
    ASSERT_EQ(Act("Photo Slideshow Stop"), S_OK);
    EXPECT_EQ(system_->SlideShowState(), 0);
  }
  // Crossfade and none take one effect for every slide.
  for (const auto& [mode, effect] : {std::pair{3, 34}, std::pair{5, 0}}) {
    Photo().m_nTransition = mode;
    ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
    EXPECT_EQ(Show().effects, std::vector<int>(7, effect));
    Act("Photo Slideshow Stop");
  }
}

TEST_F(PhotoTest, AShowStartsAtTheStartIndexAndUsesWorkingCopies) {
  Enter();
  FillPhotos(4);
  Photo().m_vecPhotos[1].bChecked = 0;
  Photo().m_nSlideStart = 2;
  const std::string copy = WriteJpeg(dir_ + "/copy.jpg", 0xFF00FF00u);
  Photo().m_mapEditedCopies[Photo().m_vecPhotos[3].strPath] = copy;
  ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
  EXPECT_EQ(Show().slides, (std::vector<std::string>{Photo().m_vecPhotos[2].strPath, copy,
                                                     Photo().m_vecPhotos[0].strPath}));
  Act("Photo Slideshow Stop");
}

// "Photo Slideshow Resize" fits the running show to its window; without a
// show it is refused.
TEST_F(PhotoTest, ResizeFitsARunningShowToItsWindow) {
  Enter();
  FillPhotos(2);
  Show().calls.clear();
  EXPECT_EQ(Act("Photo Slideshow Resize"), E_FAIL);
  EXPECT_FALSE(Show().Called("FitToWindow"));
  ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
  EXPECT_EQ(Act("Photo Slideshow Resize"), S_OK);
  EXPECT_TRUE(Show().Called("FitToWindow"));
  Act("Photo Slideshow Stop");
}

// "Photo LoadDefaultSetting" restores the slide-show settings.
TEST_F(PhotoTest, DefaultSettingsRestoreTheShow) {
  Enter();
  Photo().m_nSlideDuration = 9;
  Photo().m_nTransition = 1;
  Photo().m_bPlayBgMusic = 0;
  Photo().m_nBgMusicType = 7;
  Photo().m_strBrowseFolder = "/elsewhere";
  ASSERT_EQ(Act("Photo LoadDefaultSetting"), S_OK);
  EXPECT_EQ(Photo().m_nSlideDuration, 3);
  EXPECT_EQ(Photo().m_nTransition, 5);
  EXPECT_EQ(Photo().m_bPlayBgMusic, 1);
  EXPECT_EQ(Photo().m_nBgMusicType, 0);
  EXPECT_EQ(Photo().m_strBrowseFolder, Config().m_strPicturesFolder);
}

// A player that writes down what the background music asks of it.
class BgMusicPlayer : public sinks_test::StubWMPlayer {
 public:
  HRESULT Initialize() override { return S_OK; }
  HRESULT SetMode(BSTR mode, VARIANT_BOOL on) override { return Log("SetMode " + BstrToUtf8(mode) + (on ? " 1" : " 0")); }
  HRESULT LoadAlbum(BSTR name) override { return Log("LoadAlbum " + BstrToUtf8(name)); }
  HRESULT LoadArtist(BSTR name) override { return Log("LoadArtist " + BstrToUtf8(name)); }
  HRESULT LoadPlaylist(BSTR name) override { return Log("LoadPlaylist " + BstrToUtf8(name)); }
  HRESULT GetCDPlaylistItemCount(BSTR drive, long* count) override {
    *count = 3;
    return Log("GetCDPlaylistItemCount " + BstrToUtf8(drive));
  }
  HRESULT GetAllAudioFileCount(int* count) override {
    *count = 5;
    return Log("GetAllAudioFileCount");
  }
  HRESULT LoadFile(BSTR file) override { return Log("LoadFile " + BstrToUtf8(file)); }
  HRESULT RunItem(long item) override { return Log("RunItem " + std::to_string(item)); }
  HRESULT Log(const std::string& call) {
    calls.push_back(call);
    return S_OK;
  }
  std::vector<std::string> calls;
};

// Each background-music type loads its own source in a loop and plays it;
// a single file (type 6) plays once without RunItem.
TEST_F(PhotoTest, BackgroundMusicTypesLoadTheirSource) {
  Enter();
  auto player = MakeComObject<BgMusicPlayer>();
  system_->SetWMPlayer(ComPtr<IWMPlayer>(player.Get()));
  Photo().m_wszBgAlbumName = "Harbour Songs";
  Photo().m_wszBgArtist = "Marta Vey";
  Photo().m_wszBgPlaylistName = "Evening";
  Photo().m_szBgCdDrive = "E:";
  Photo().m_wszBgTrackPath = "/music/one.mp3";
  using Calls = std::vector<std::string>;
  const struct {
    int type;
    Calls calls;
  } kTypes[] = {
      {1, {"SetMode loop 1", "LoadAlbum Harbour Songs", "RunItem 0"}},
      {2, {"SetMode loop 1", "LoadArtist Marta Vey", "RunItem 0"}},
      {3, {"SetMode loop 1", "LoadPlaylist Evening", "RunItem 0"}},
      {4, {"SetMode loop 1", "GetCDPlaylistItemCount E:", "RunItem 0"}},
      {5, {"SetMode loop 1", "GetAllAudioFileCount", "RunItem 0"}},
      {6, {"SetMode loop 1", "GetAllAudioFileCount", "SetMode loop 0", "LoadFile /music/one.mp3"}},
  };
  for (const auto& t : kTypes) {
    Photo().m_nBgMusicType = t.type;
    Photo().m_nMusicState = 0;
    player->calls.clear();
    EXPECT_EQ(system_->StartBackgroundMusic(), 1) << t.type;
    EXPECT_EQ(player->calls, t.calls) << t.type;
    EXPECT_EQ(Photo().m_nMusicState, 1) << t.type;  // playing
  }
  Photo().m_nMusicState = 0;
}

TEST_F(PhotoTest, NoCheckedPhotoTearsTheGraphDownAndStaysStopped) {
  Enter();
  FillPhotos(3);
  for (auto& r : Photo().m_vecPhotos) r.bChecked = 0;
  Photo().m_nPhotoState = 0;
  Show().calls.clear();
  EXPECT_EQ(Act("Photo Slideshow Play"), E_FAIL);
  EXPECT_TRUE(Show().Called("TearDown"));
  EXPECT_FALSE(Show().Called("Run"));
  EXPECT_EQ(system_->SlideShowState(), 0);
  EXPECT_EQ(Photo().m_nPhotoState, 0) << "nothing plays, so the view stays";
  EXPECT_TRUE(Modes().empty());
}

TEST_F(PhotoTest, PlayStatesAndTheirModeNotices) {
  Enter();
  FillPhotos(3);
  Photo().m_nSlideDuration = 2;
  Photo().m_bPlayBgMusic = 0;
  ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
  EXPECT_EQ(system_->SlideShowState(), 1);
  EXPECT_EQ(Act("Photo Slideshow Play"), E_FAIL) << "already playing";
  ASSERT_EQ(Act("Photo Slideshow Pause"), S_OK);
  EXPECT_EQ(system_->SlideShowState(), 2);
  EXPECT_EQ(Act("Photo Slideshow Pause"), E_FAIL) << "already paused";
  ASSERT_EQ(Act("Photo Slideshow Fastforward"), S_OK);
  EXPECT_EQ(system_->SlideShowState(), 3);
  ASSERT_EQ(Act("Photo Slideshow Rewind"), S_OK);
  EXPECT_EQ(system_->SlideShowState(), 4);
  ASSERT_EQ(Act("Photo Slideshow Play Pause"), S_OK);  // states 2..4 play
  EXPECT_EQ(system_->SlideShowState(), 1);
  ASSERT_EQ(Act("Photo Slideshow Pause Play"), S_OK);  // state 1 pauses
  EXPECT_EQ(system_->SlideShowState(), 2);
  ASSERT_EQ(Act("Photo Slideshow Pause Play"), S_OK);
  EXPECT_EQ(system_->SlideShowState(), 1);
  EXPECT_EQ(Modes(), (std::vector<WPARAM>{1, 2, 4, 5, 1, 2, 1}));
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId PAUSE @2000"));
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId FASTFORWARD @2000"));
  // Kept on screen when the configuration asks for it.
  Config().m_bKeepScanOsd = 1;
  ASSERT_EQ(Act("Photo Slideshow Fastforward"), S_OK);
  EXPECT_TRUE(frame_.Saw("ShowOsdStringId FASTFORWARD @0"));
  ASSERT_EQ(Act("Photo Slideshow Pause"), S_OK);
  ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
  EXPECT_EQ(Modes(), (std::vector<WPARAM>{4, 2, 1}));
  ASSERT_EQ(Act("Photo Slideshow Stop"), S_OK);
  EXPECT_EQ(system_->SlideShowState(), 0);
  EXPECT_EQ(Modes(), std::vector<WPARAM>{3});
  EXPECT_TRUE(Show().Called("ShowVideo 0"));
  // Without a show nothing scans.
  EXPECT_EQ(Act("Photo Slideshow Fastforward"), E_FAIL);
  EXPECT_EQ(Act("Photo Slideshow Pause Play"), E_FAIL);
}

TEST_F(PhotoTest, RewindingToTheStartPlaysOn) {
  Enter();
  FillPhotos(3);
  Photo().m_nSlideDuration = 2;
  Photo().m_bPlayBgMusic = 0;
  ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
  ASSERT_EQ(Act("Photo Slideshow Rewind"), S_OK);
  EXPECT_EQ(system_->SlideShowState(), 4);
  ASSERT_TRUE(PumpUntil([&] { return system_->SlideShowState() == 1; }, 10s)) << "the renderer's start notice plays";
  EXPECT_EQ(Modes(), (std::vector<WPARAM>{1, 5, 1}));
  Act("Photo Slideshow Stop");
}

TEST_F(PhotoTest, SteppingSeeksToSlideStartsAndNotPastTheEnd) {
  Enter();
  FillPhotos(3);
  Photo().m_nSlideDuration = 2;  // transition 1 s: slides start at 0, 3, 6; the show lasts 8 s
  Photo().m_bPlayBgMusic = 0;
  ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
  ASSERT_EQ(Act("Photo Slideshow Pause"), S_OK);
  Show().calls.clear();
  ASSERT_EQ(Act("Photo Slideshow NextSlide"), S_OK);
  EXPECT_TRUE(Show().Called("SetCurrentPosition 3"));
  EXPECT_EQ(system_->SlideShowState(), 2) << "a paused show stays paused";
  ASSERT_EQ(Act("Photo Slideshow NextSlide"), S_OK);
  EXPECT_TRUE(Show().Called("SetCurrentPosition 6"));
  Show().calls.clear();
  EXPECT_EQ(Act("Photo Slideshow NextSlide"), E_FAIL) << "the last slide has no next";
  EXPECT_TRUE(Show().calls.empty());
  // Early in a slide, previous goes to the one before.
  ASSERT_EQ(Act("Photo Slideshow PreviousSlide"), S_OK);
  EXPECT_TRUE(Show().Called("SetCurrentPosition 3"));
  EXPECT_EQ(Modes(), (std::vector<WPARAM>{1, 2, 7, 7, 6}));
  // Without a slide period there is nothing to step to.
  Photo().m_nSlideDuration = 0;
  Photo().m_nTransitionSeconds = 0;
  Show().calls.clear();
  EXPECT_EQ(Act("Photo Slideshow NextSlide"), E_FAIL);
  EXPECT_EQ(Act("Photo Slideshow PreviousSlide"), E_FAIL);
  EXPECT_TRUE(Show().calls.empty());
  Act("Photo Slideshow Stop");
}

TEST_F(PhotoTest, TheShowsEndStopsItAndGoesBack) {
  Enter();
  FillPhotos(2);
  Photo().m_nSlideDuration = 2;
  Photo().m_bPlayBgMusic = 0;
  Photo().m_nPhotoState = 0;
  Photo().m_strCurrentFolder = dir_;
  ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
  // Run to the end: 2 + 1 + 2 s.
  ASSERT_TRUE(PumpUntil([&] { return system_->SlideShowState() == 0; }, 30s));
  EXPECT_EQ(Photo().m_nPhotoState, 0) << "back to the view the show started from";
  EXPECT_TRUE(Show().Called("TearDown"));
}

TEST_F(PhotoTest, FolderMusicPlaysThroughThePlayerAndStopsWithTheShow) {
  const std::string music = env_.path("music");
  fs::create_directories(music);
  ASSERT_TRUE(wmhost_test::WriteTone(music + "/a.wav", wmhost_test::AudioFormat::Wav, 3.0));
  ASSERT_TRUE(wmhost_test::WriteTone(music + "/b.wav", wmhost_test::AudioFormat::Wav, 3.0, 660));
  Enter();
  FillPhotos(2);
  Photo().m_nSlideDuration = 10;
  Photo().m_bPlayBgMusic = 1;
  Photo().m_nBgMusicType = 7;
  Photo().m_szBgMusicPath = music;
  ASSERT_EQ(Act("Photo Slideshow Play"), S_OK);
  EXPECT_EQ(Photo().m_nMusicState, 1);
  IWMPlayer* player = system_->WMPlayer();
  ASSERT_TRUE(player);
  double position = 0;
  ASSERT_TRUE(PumpUntil([&] { return SUCCEEDED(player->GetCurrentPos(&position)) && position > 0.2; }))
      << "the music plays";
  Bstr url;
  ASSERT_EQ(player->GetCurPlayingTrackInfo(Bstr("SourceURL").get(), url.out()), S_OK);
  EXPECT_EQ(fs::path(url.utf8()).parent_path(), fs::path(music));

  // Pausing the show pauses the music; stopping stops both.
  ASSERT_EQ(Act("Photo Slideshow Pause"), S_OK);
  EXPECT_EQ(Photo().m_nMusicState, 2);
  ASSERT_EQ(Act("Photo Slideshow Stop"), S_OK);
  EXPECT_EQ(Photo().m_nMusicState, 0);
  PumpUntil([] { return false; }, 300ms);
  double stopped = -1, later = -1;
  player->GetCurrentPos(&stopped);
  PumpUntil([] { return false; }, 400ms);
  player->GetCurrentPos(&later);
  EXPECT_DOUBLE_EQ(stopped, later) << "nothing plays after the show";
}

TEST_F(PhotoTest, TheMusicListReadsEachFilesTagsAndLength) {
  const std::string music = env_.path("tagged");
  fs::create_directories(music);
  ASSERT_TRUE(wmhost_test::WriteTone(music + "/a.mp3", wmhost_test::AudioFormat::Mp3, 2.0));
  wmhost_test::TagValues tags;
  tags.title = "Morning Tone";
  tags.artist = "Ada Sine";
  tags.album = "Test Signals";
  tags.genre = "Ambient";
  ASSERT_TRUE(wmhost_test::WriteTags(music + "/a.mp3", tags));
  ASSERT_TRUE(wmhost_test::WriteTone(music + "/b.wav", wmhost_test::AudioFormat::Wav, 1.0, 660));
  Enter();
  Photo().m_vecMusic = {PhotoMusicRecord(Record(music + "/a.mp3")), PhotoMusicRecord(Record(music + "/b.wav"))};
  ASSERT_EQ(Act("Photo Update BGMusic Explore Item"), S_OK);
  EXPECT_TRUE(page_.Saw("RefreshBrowserList 1 1"));
  ASSERT_EQ(Photo().m_vecMusic.size(), 2u);
  const PhotoMusicRecord& tagged = Photo().m_vecMusic[0];
  EXPECT_EQ(tagged.strTrackName, "Morning Tone");
  EXPECT_EQ(tagged.strArtist, "Ada Sine");
  EXPECT_EQ(tagged.strAlbum, "Test Signals");
  EXPECT_EQ(tagged.strGenre, "Ambient");
  EXPECT_NEAR(tagged.dDuration, 2.0, 0.3);
  EXPECT_FALSE(tagged.strDurationText.empty());
  EXPECT_EQ(fs::path(tagged.strSourceUrl), fs::path(music + "/a.mp3"));
  // A file without tags: its name, no artist or album, still its length.
  const PhotoMusicRecord& plain = Photo().m_vecMusic[1];
  EXPECT_EQ(plain.strTrackName, "b");
  EXPECT_EQ(plain.strArtist, "");
  EXPECT_EQ(plain.strAlbum, "");
  EXPECT_NEAR(plain.dDuration, 1.0, 0.3);
  // The priming sound is gone again: the player's list holds the two files.
  int items = 0;
  ASSERT_EQ(system_->WMPlayer()->GetCurFileListItemCount(&items), S_OK);
  EXPECT_EQ(items, 2);
}

TEST_F(PhotoTest, AFolderWithoutMusicLeavesTheShowSilent) {
  Enter();
  FillPhotos(1);
  Photo().m_bPlayBgMusic = 1;
  Photo().m_nBgMusicType = 7;
  Photo().m_szBgMusicPath = env_.path("empty");
  fs::create_directories(Photo().m_szBgMusicPath);
  ASSERT_EQ(Act("Photo Slideshow Play"), S_OK) << "the show plays without music";
  EXPECT_EQ(Photo().m_nMusicState, 0);
  EXPECT_EQ(Act("Photo Slideshow Pause"), E_FAIL) << "music on with a type but stopped refuses the pause";
  Act("Photo Slideshow Stop");
}

}  // namespace
}  // namespace photo_test
