// The Music controller over the real media player: entry, the library's
// album, artist and track lists, playback and the transport, the modes, the
// media search, sorting of a folder, and the refusals of bad input.
#include "tests/corebridge/music/music_test_support.h"

#include "corebridge/modules/music_search_roots.h"

#include <map>

#include "tests/corebridge/core/stub_wm_player.h"

namespace music_test {
namespace {

TEST_F(MusicTest, EntryShowsTheDevicePage) {
  ASSERT_EQ(Act("Music Entry"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_MUSIC);
  EXPECT_EQ(Page(), 4);
  EXPECT_EQ(page_.calls, (std::vector<std::string>{"EnterModule", "ShowPage", "RefreshListPanel"}));
  EXPECT_TRUE(frame_.Saw("NotifyCaptionBar 1"));
  // A second entry while in the module changes nothing.
  page_.calls.clear();
  EXPECT_EQ(Act("Music Entry"), S_OK);
  EXPECT_TRUE(page_.calls.empty());
  // Back from the device page leaves the module.
  EXPECT_EQ(Act("Music Back"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_GE(home_.shown, 1);
}

TEST_F(MusicTest, EmptyLibrarySearchesAndShowsTheAlbumsWhenStopped) {
  Enter();
  ASSERT_EQ(Act("Music Media Library"), S_OK);
  EXPECT_EQ(Music().m_bLibraryEmpty, 1);
  EXPECT_EQ(Music().m_bMediaSearchActive, 1);
  EXPECT_EQ(Page(), 21);
  ASSERT_EQ(Act("Music stop Media Search"), S_OK);
  EXPECT_EQ(Music().m_bMediaSearchActive, 0);
  EXPECT_EQ(Page(), 9);
  // The search page is gone from the history: back leads to the device page.
  ASSERT_EQ(Act("Music Back"), S_OK);
  EXPECT_EQ(Page(), 4);
}

TEST(MusicSearchRoots, TheSystemRootGivesWayToTheMusicFolderAndOnlyMediaAndDeclaredDrivesStay) {
  const auto volume = [](char letter, UINT type, const char* root, bool isVirtual = false) {
    VolumeInfo v;
    v.letter = letter;
    v.type = type;
    v.root = root;
    v.isVirtual = isVirtual;
    return v;
  };
  const struct {
    std::vector<VolumeInfo> volumes;
    const char* expected;
  } cases[] = {
      {{volume('C', DRIVE_FIXED, "/")}, "/home/ann/Music"},
      {{volume('C', DRIVE_FIXED, "/"), volume('D', DRIVE_FIXED, "/media/ann/Archive"),
        volume('E', DRIVE_FIXED, "/boot/efi"), volume('F', DRIVE_FIXED, "/mnt/nas"),
        volume('G', DRIVE_FIXED, "/run/media/ann/disk"), volume('H', DRIVE_FIXED, "/srv/songs", true)},
       "/home/ann/Music;/media/ann/Archive;/mnt/nas;/run/media/ann/disk;/srv/songs"},
      // Removable, optical and empty drives are not searched; a root counts once.
      {{volume('D', DRIVE_REMOVABLE, "/media/ann/STICK"), volume('E', DRIVE_CDROM, "/media/cdrom"),
        volume('F', DRIVE_FIXED, ""), volume('G', DRIVE_FIXED, "/"), volume('H', DRIVE_FIXED, "/home/ann/Music", true)},
       "/home/ann/Music"},
      {{volume('D', DRIVE_FIXED, "/media")}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(MediaSearchRoots(c.volumes, "/home/ann/Music"), c.expected);
}

TEST_F(MusicTest, AlbumsTracksAndPlayback) {
  Enter();
  AddSong("Morning", "Blue Hours", "Ana Lind");
  AddSong("Evening", "Blue Hours", "Ana Lind");
  AddSong("Storm", "Red Sky", "Ola Berg");
  ASSERT_EQ(Act("Music Media Library"), S_OK);
  ASSERT_EQ(Page(), 9);
  std::vector<std::string> albums = Names(Music().m_vecAlbums);
  std::sort(albums.begin(), albums.end());
  EXPECT_EQ(albums, (std::vector<std::string>{"Blue Hours", "Red Sky"}));

  int blueIndex = -1;
  for (std::size_t i = 0; i < Music().m_vecAlbums.size(); ++i) {
    if (Music().m_vecAlbums[i].strTexts[0] == "Blue Hours") blueIndex = static_cast<int>(i);
  }
  ASSERT_GE(blueIndex, 0);
  ASSERT_EQ(Act("Music ClickList", blueIndex), S_OK);
  EXPECT_EQ(Page(), 15);
  std::vector<std::string> tracks = Names(Music().m_vecLibraryTracks);
  std::sort(tracks.begin(), tracks.end());
  EXPECT_EQ(tracks, (std::vector<std::string>{"Evening", "Morning"}));
  for (const auto& track : Music().m_vecLibraryTracks) {
    EXPECT_EQ(track.strTexts[2], "Blue Hours");
    EXPECT_EQ(fs::path(track.strTexts[3]).parent_path().string(), music_);
  }

  // Next track while stopped is refused and shows nothing.
  frame_.calls.clear();
  EXPECT_EQ(Act("Music Next Track"), E_FAIL);
  EXPECT_TRUE(frame_.calls.empty());

  ASSERT_EQ(Act("Music Play"), S_OK);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_PLAYING);
  // The sound runs through the clock-paced sink: the position moves.
  double position = 0;
  EXPECT_TRUE(PumpUntil([&] { return SUCCEEDED(Player().GetCurrentPos(&position)) && position >= 0.5; }, 15s));
  ASSERT_EQ(Act("Music Pause"), S_OK);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_PAUSED);
  ASSERT_EQ(Act("Music Play Pause"), S_OK);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_PLAYING);
  EXPECT_EQ(Act("Music Next Track"), S_OK);
  ASSERT_EQ(Act("Music Stop"), S_OK);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_STOPPED);
  EXPECT_EQ(Act("Music Previous Track"), E_FAIL);
  EXPECT_EQ(Act("Music Rewind"), E_FAIL);

  // Back to the albums: the list is rebuilt.
  ASSERT_EQ(Act("Music Back"), S_OK);
  EXPECT_EQ(Page(), 9);
  EXPECT_EQ(Music().m_vecAlbums.size(), 2u);
}

TEST_F(MusicTest, TheVisualizationViewShowsTheSongAndBackKeepsPlaying) {
  Enter();
  AddSong("Morning", "Blue Hours", "Ana Lind");
  ASSERT_EQ(Act("Music Media Library"), S_OK);
  ASSERT_EQ(Act("Music ClickList", 0), S_OK);
  ASSERT_EQ(Act("Music Play"), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return !Music().m_wstrMediaName.empty(); }, 10s));
  frame_.calls.clear();
  ASSERT_EQ(Act("Music Visualization"), S_OK);
  EXPECT_EQ(Page(), 24);
  EXPECT_TRUE(frame_.Saw("NotifyPlaybackBar 0"));
  bool songShown = false;
  for (const auto& call : frame_.calls) songShown |= call.find("ShowOsdTextW") == 0 && call.find("Morning") != std::string::npos;
  EXPECT_TRUE(songShown);
  ASSERT_EQ(Act("Music Back"), S_OK);
  EXPECT_EQ(Page(), 15);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_PLAYING);  // leaving the view does not stop the music
  ASSERT_EQ(Act("Music Stop"), S_OK);
}

TEST_F(MusicTest, ShuffleAndRepeatReachThePlayer) {
  Enter();
  struct Case {
    const char* action;
    const char* mode;
    int CMusicConfig::*flag;
  } cases[] = {
      {"Music Shuffle", "shuffle", &CMusicConfig::m_bShuffle},
      {"Music Shuffle Focus", "shuffle", &CMusicConfig::m_bShuffle},
      {"Music Repeat All", "loop", &CMusicConfig::m_bRepeatAll},
      {"Music Repeat All Focus", "loop", &CMusicConfig::m_bRepeatAll},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.action);
    const int before = Music().*c.flag;
    ASSERT_EQ(Act(c.action), S_OK);
    EXPECT_EQ(Music().*c.flag, before ? 0 : 1);
    VARIANT_BOOL state = VARIANT_FALSE;
    ASSERT_EQ(Player().GetMode(Bstr(c.mode).get(), &state), S_OK);
    EXPECT_EQ(state == VARIANT_TRUE, Music().*c.flag == 1);
  }
}

// A player whose collections are given: album names and identifiers.
class CollectionPlayer : public sinks_test::StubWMPlayer {
 public:
  HRESULT GetMusicCollection(BSTR type, IUnknown** collection, UINT* count) override {
    current = BstrToUtf8(type);
    *collection = nullptr;
    *count = static_cast<UINT>(collections[current].size());
    return S_OK;
  }
  HRESULT GetMusicCollectionItem(IUnknown*, long index, BSTR* value) override {
    *value = SysAllocStringUtf8(collections[current].at(static_cast<std::size_t>(index)));
    return S_OK;
  }
  std::map<std::string, std::vector<std::string>> collections;
  std::string current;
};

TEST_F(MusicTest, AlbumWithALongerIdentifierShowsTheRestInBrackets) {
  auto player = MakeComObject<CollectionPlayer>();
  player->collections["Album"] = {"Live", "Blue", "Mix"};
  player->collections["AlbumID"] = {"Live 2019", "Blue", "Mi"};
  system_->SetWMPlayer(ComPtr<IWMPlayer>(player.Get()));
  ASSERT_EQ(Act("Music Album"), S_OK);
  EXPECT_EQ(Names(Music().m_vecAlbums), (std::vector<std::string>{"Live ( 2019)", "Blue", "Mix"}));
  EXPECT_EQ(Names(Music().m_vecAlbums, 1), (std::vector<std::string>{"Live 2019", "Blue", "Mi"}));
  EXPECT_EQ(Page(), 9);
  system_->SetWMPlayer(nullptr);
}

TEST_F(MusicTest, SortingAFolderMovesWholeRecords) {
  Enter();
  Music().PushMusicPage(6);
  auto entry = [](const char* name, std::uint64_t time) {
    MusicItem e;
    e.strName = name;
    e.strPath = std::string("/m/") + name;
    e.ftLastWrite = time;
    e.nValue = static_cast<int>(time);
    return e;
  };
  Music().m_vecPlayList = {entry("b.mp3", 30), entry("C.mp3", 10), entry("a.mp3", 20)};
  Music().m_vecCurrentList = {entry("zeta", 5), entry("Alpha", 7)};
  ASSERT_EQ(Act("Music Sort By Date"), S_OK);
  EXPECT_EQ(Music().m_nSortMode, 2);
  std::vector<std::string> order;
  for (const auto& e : Music().m_vecPlayList) {
    order.push_back(e.strName);
    EXPECT_EQ(e.strPath, "/m/" + e.strName);
    EXPECT_EQ(static_cast<std::uint64_t>(e.nValue), e.ftLastWrite);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"C.mp3", "a.mp3", "b.mp3"}));
  EXPECT_EQ(Music().m_vecCurrentList[0].strName, "zeta");
  EXPECT_TRUE(page_.Saw("SortBrowser"));
  ASSERT_EQ(Act("Music Sort By Name Focus"), S_OK);
  order.clear();
  for (const auto& e : Music().m_vecPlayList) order.push_back(e.strName);
  EXPECT_EQ(order, (std::vector<std::string>{"a.mp3", "b.mp3", "C.mp3"}));
  EXPECT_EQ(Music().m_vecCurrentList[0].strName, "Alpha");
}

TEST_F(MusicTest, PlayableMediaFiles) {
  Enter();
  struct Case {
    const char* url;
    int playable;
  } cases[] = {
      {"/music/a.mp3", 1},   {"/music/a.WMA", 1},        {"/music/a.Wav", 1},  {"/music/a.ogg", 0},
      {"/videos/clip.avi", 0}, {"wmpcd://0/1", 1},       {"wmpdvd://0/1", 0},  {"/music.d/noext", 1},
      {"WMPDVD://0", 0},
  };
  for (const auto& c : cases) {
    steps_.clear();
    EXPECT_EQ(system_->IsPlayableMediaFile(c.url), c.playable) << c.url;
    EXPECT_EQ(Stepped("OnMusicStop"), c.playable == 0) << c.url;
  }
}

TEST_F(MusicTest, BadIndicesAndEmptyListsAreRefused) {
  Enter();
  // No visualization enabled: the effect step gives up after one turn.
  Music().PushMusicPage(24);
  Music().m_arrVisualEffects.assign(3, MusicVisualEffect{});
  EXPECT_EQ(Act("Music Next Effect"), E_FAIL);
  EXPECT_EQ(Act("Music Previous Effect"), E_FAIL);
  Music().m_arrVisualEffects[2].bSelected = 1;
  Music().m_nVisualizationSel = 0;
  EXPECT_EQ(Act("Music Next Effect"), S_OK);
  EXPECT_EQ(Music().m_nVisualizationSel, 2);
  EXPECT_EQ(Act("Music Next Effect"), S_OK);  // cyclic: back to the only enabled one
  EXPECT_EQ(Music().m_nVisualizationSel, 2);
  int page = 0;
  Music().PopMusicPage(page);

  // Mixer steps on empty lists do nothing.
  Music().m_arrMixerDevices.clear();
  Music().m_arrMixerSources.clear();
  EXPECT_EQ(Act("Music Mixer Device Right", 1), E_FAIL);
  EXPECT_EQ(Act("Music Mixer Source Left", -1), E_FAIL);
  Music().m_arrMixerSources = {"Line", "Mic"};
  Music().m_nMixerSourceIndex = 0;
  EXPECT_EQ(Act("Music Mixer Source Left", -1), S_OK);
  EXPECT_EQ(Music().m_nMixerSourceIndex, 1);

  // Item indices out of the lists.
  Music().PushMusicPage(9);
  Music().m_vecAlbums.clear();
  EXPECT_EQ(Act("Music ClickList", 3), E_FAIL);
  EXPECT_EQ(Page(), 9);
  Music().PushMusicPage(15);
  EXPECT_EQ(Act("Music ClickList", -1), E_FAIL);
  EXPECT_EQ(Act("Music ClickList", 99), E_FAIL);
  Music().PushMusicPage(6);
  EXPECT_EQ(Act("Music TagFiles", 5), E_FAIL);
  EXPECT_EQ(Act("Music Album Art Path", 7), E_FAIL);
}

TEST_F(MusicTest, OpenedFromAnotherModuleGoesBackThroughItsAction) {
  const std::string folder = music_;
  ASSERT_EQ(system_->MusicOpenFromOtherModule(folder, "Home"), 1);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_MUSIC);
  EXPECT_EQ(Page(), 6);
  EXPECT_EQ(Music().m_strBrowseFolder, folder);
  EXPECT_EQ(Music().m_strCurrentDrive, folder);
  EXPECT_TRUE(page_.Saw("OpenBrowserFolder"));
  const int shown = home_.shown;
  ASSERT_EQ(Act("Music Back"), S_OK);
  EXPECT_EQ(Music().m_bFromOtherModule, 0);
  EXPECT_EQ(home_.shown, shown + 1);  // the stored back action ran
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
}

TEST_F(MusicTest, AFolderPlaysThroughTheBrowsingPlaylist) {
  Enter();
  std::vector<MusicItem> files;
  for (const char* name : {"one", "two"}) {
    MusicItem entry;
    entry.strPath = music_ + "/" + name + ".mp3";
    entry.strName = std::string(name) + ".mp3";
    ASSERT_TRUE(wmhost_test::WriteTone(entry.strPath, wmhost_test::AudioFormat::Mp3, 2.0));
    files.push_back(entry);
  }
  ASSERT_EQ(system_->MusicOpenFromOtherModule(music_, "Home"), 1);
  Music().m_vecPlayList = files;
  ASSERT_EQ(Act("Music ClickList", 1), S_OK);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_PLAYING);
  Bstr url;
  ASSERT_EQ(Player().GetCurListItemURL(1, url.out()), S_OK);
  EXPECT_EQ(url.utf8(), files[1].strPath);
  int count = 0;
  ASSERT_EQ(Player().GetCurListItemCount(&count), S_OK);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(Act("Music Stop"), S_OK);
  // With nothing in the folder, play is refused.
  Music().m_vecPlayList.clear();
  EXPECT_EQ(Act("Music Play"), E_FAIL);
}

// The record hub's page records the files it is handed.
TEST_F(MusicTest, CopyHandsTheChosenFilesToTheModuleThatAsked) {
  ASSERT_EQ(system_->MusicEnterCopyToFolder("Home"), 1);
  EXPECT_EQ(Music().m_bCopyToFolderMode, 1);
  EXPECT_EQ(Page(), 4);
  Music().PushMusicPage(6);
  Music().m_strBrowseFolder = music_;
  MusicItem chosen;
  chosen.strPath = music_ + "/a.mp3";
  chosen.bChecked = 1;
  MusicItem left = chosen;
  left.strPath = music_ + "/b.mp3";
  left.bChecked = 0;
  Music().m_vecPlayList = {chosen, left};
  const int shown = home_.shown;
  ASSERT_EQ(Act("Music Copy"), S_OK);
  EXPECT_EQ(home_.shown, shown + 1);  // the stored back action ran
  EXPECT_EQ(Music().m_bCopyToFolderMode, 0);
  EXPECT_EQ(Music().m_bFromOtherModule, 0);
  // The record hub opens Music on a drive: its folder is browsed in copy mode.
  ASSERT_EQ(system_->MusicEnterCopyToDrive("C:\\", "Home"), 1);
  EXPECT_EQ(Music().m_bCopyToDriveMode, 1);
  EXPECT_EQ(Page(), 6);
  EXPECT_EQ(Music().m_strBrowseFolder, music_);
  EXPECT_TRUE(Stepped("MusicEnterCopyToDrive C:\\ Home"));
  // Without a selection or a module to hand it to, nothing happens.
  Music().m_vecPlayList[0].bChecked = 0;
  Music().m_strBackAction = "Home";
  EXPECT_EQ(Act("Music Copy"), E_FAIL);
  Music().m_strBackAction.clear();
  EXPECT_EQ(Act("Music Copy"), E_FAIL);
}

}  // namespace
}  // namespace music_test
