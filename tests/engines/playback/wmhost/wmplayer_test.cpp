// The engine object through IWMPlayer: lists from the library, the
// file-browsing playlist, playback events, search, CD playlists, services.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "engines/playback/wmhost/engine/container_window.h"
#include "engines/playback/wmhost/engine/wm_player.h"
#include "platform/gdi/gdi.h"
#include "platform/win/window.h"
#include "engines/playback/wmhost/library/media_library.h"
#include "platform/com/com.h"
#include "platform/win/message.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"
#include "tests/engines/playback/wmhost/recording_callback.h"
#include "tests/platform/com/tool_runner.h"

namespace {

namespace fs = std::filesystem;
using plat::Bstr;
using plat::E_FAIL;
using plat::S_OK;
using wmhost_test::AudioFormat;
using wmhost_test::RecordingCallback;

class Engine : public testing::Test {
 protected:
  void SetUp() override {
    thread_ = std::make_shared<wmhost::QueuedEngineThread>();
    WMPlayerSetup setup;
    setup.thread = thread_;
    setup.player.audioSink = "fakesink sync=true";
    setup.libraryPath = folder_ / "settings/MediaLibrary.db";
    setup.cdDevice = [this](const std::string& drive) { return drive == "D:" ? cue_ : std::string(); };
    object_ = plat::MakeComObject<CWMPlayer>(std::move(setup));
    ASSERT_TRUE(object_);
    player_ = object_.Get();
    player_->SetCallback(&callback_);
  }
  void TearDown() override {
    if (player_) player_->Uninitialize();
  }

  std::string Song(const std::string& name, const wmhost_test::TagValues& tags, double seconds = 1.0) {
    const std::string path = folder_ / name;
    fs::create_directories(fs::path(path).parent_path());
    const AudioFormat format = name.ends_with(".wav") ? AudioFormat::Wav : AudioFormat::Mp3;
    EXPECT_TRUE(wmhost_test::WriteTone(path, format, seconds)) << path;
    EXPECT_TRUE(wmhost_test::WriteTags(path, tags)) << path;
    return path;
  }
  // Two albums: Alpha (two tracks) and Beta (one).
  void AddAlbums() {
    a1_ = Song("alpha/a1.mp3", {"Apple", "Ann", "Alpha", "Pop", 2001, 1});
    a2_ = Song("alpha/a2.mp3", {"Cherry", "Ann", "Alpha", "Pop", 2001, 2});
    b1_ = Song("beta/b1.wav", {"Banana", "Bob", "Beta", "Rock", 2002, 1});
    for (const auto& path : {a1_, a2_, b1_}) ASSERT_EQ(player_->AddFileToMediaLibrary(Bstr(path).get()), S_OK);
  }
  bool RunUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      thread_->WaitAndRun(20);
    }
    return true;
  }
  std::string TrackInfo(int item, const char* attribute) {
    Bstr value;
    EXPECT_EQ(player_->GetTrackInfo(item, Bstr(attribute).get(), value.out()), S_OK) << attribute;
    return value.utf8();
  }
  int ListCount() {
    int count = -1;
    EXPECT_EQ(player_->GetCurListItemCount(&count), S_OK);
    return count;
  }

  wmhost_test::TempFolder folder_;
  std::shared_ptr<wmhost::QueuedEngineThread> thread_;
  plat::ComPtr<plat::ComObject<CWMPlayer>> object_;
  CWMPlayer* player_ = nullptr;
  RecordingCallback callback_;
  std::string cue_;
  std::string a1_, a2_, b1_;
};

TEST_F(Engine, RefusesWorkBeforeInitializeAndStartsOnce) {
  int count = 0;
  double seconds = 0;
  Bstr text;
  EXPECT_EQ(player_->GetPlaylistCount(&count), E_FAIL);
  EXPECT_EQ(player_->Run(), E_FAIL);
  EXPECT_EQ(player_->LoadAlbum(Bstr("x").get()), E_FAIL);
  EXPECT_EQ(player_->GetCurrentPos(&seconds), E_FAIL);
  EXPECT_EQ(player_->GetCDPlaylistName(Bstr("D:").get(), text.out()), E_FAIL);
  EXPECT_EQ(player_->StartSearch("/tmp"), E_FAIL);
  EXPECT_EQ(player_->SetCallback(&callback_), S_OK);
  EXPECT_EQ(player_->Rewind(), plat::E_NOTIMPL);
  EXPECT_EQ(player_->get_SkinFunctionPointers(nullptr), S_OK);

  ASSERT_EQ(player_->Initialize(), S_OK);
  EXPECT_EQ(player_->Initialize(), S_OK);
  EXPECT_TRUE(fs::exists(folder_ / "settings/MediaLibrary.db"));
  EXPECT_EQ(player_->GetPlaylistCount(&count), S_OK);
  EXPECT_EQ(count, 0);
  // The file-browsing playlist is empty at start and not yet the list.
  EXPECT_EQ(player_->GetCurListItemCount(&count), E_FAIL);
  EXPECT_EQ(player_->Run(), E_FAIL);
  EXPECT_EQ(player_->Rewind(), plat::E_NOTIMPL);
  EXPECT_EQ(player_->Uninitialize(), S_OK);
  EXPECT_EQ(player_->GetPlaylistCount(&count), E_FAIL);
}

TEST_F(Engine, ListsFromTheMediaCollectionAreCleaned) {
  ASSERT_EQ(player_->Initialize(), S_OK);
  AddAlbums();
  int count = 0;
  ASSERT_EQ(player_->GetAllAudioFileCount(&count), S_OK);
  EXPECT_EQ(count, 3);
  // A file gone from the disk drops out of the lists.
  fs::remove(a2_);
  ASSERT_EQ(player_->GetAllAudioFileCount(&count), S_OK);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(player_->LoadAlbum(Bstr("Alpha").get()), S_OK);
  EXPECT_EQ(ListCount(), 1);
  EXPECT_EQ(TrackInfo(0, "Name"), "Apple");
  EXPECT_EQ(TrackInfo(0, "Duration"), "00:01");
  EXPECT_EQ(TrackInfo(0, "Artist"), "Ann");
  EXPECT_EQ(TrackInfo(0, "SourceURL"), a1_);
  Bstr value;
  EXPECT_EQ(player_->GetTrackInfo(1, Bstr("Name").get(), value.out()), E_FAIL);
  double seconds = 0;
  ASSERT_EQ(player_->GetDuration(0, &seconds), S_OK);
  EXPECT_NEAR(seconds, 1.0, 0.1);
  ASSERT_EQ(player_->LoadArtist(Bstr("Bob").get()), S_OK);
  EXPECT_EQ(ListCount(), 1);
  ASSERT_EQ(player_->LoadGenre(Bstr("Nothing").get()), S_OK);
  EXPECT_EQ(ListCount(), 0);
  ASSERT_EQ(player_->LoadGenre(Bstr("Pop").get()), S_OK);
  EXPECT_EQ(ListCount(), 2);  // a genre list is not checked against the disk

  long sources = 0;
  ASSERT_EQ(player_->GetMusicSourceCount(Bstr("AlbumID").get(), &sources), S_OK);
  EXPECT_EQ(sources, 2);
  ASSERT_EQ(player_->GetMusicSource(Bstr("AlbumID").get(), 1, value.out()), S_OK);
  EXPECT_EQ(value.utf8(), "Beta");
  EXPECT_EQ(player_->GetMusicSource(Bstr("AlbumID").get(), 2, value.out()), E_FAIL);
  plat::ComPtr<plat::IUnknown> collection;
  plat::UINT size = 0;
  ASSERT_EQ(player_->GetMusicCollection(Bstr("Artist").get(), &collection, &size), S_OK);
  EXPECT_EQ(size, 2u);
  ASSERT_EQ(player_->GetMusicCollectionItem(collection.Get(), 0, value.out()), S_OK);
  EXPECT_EQ(value.utf8(), "Ann");
}

TEST_F(Engine, AlbumArtPathIsBesideTheAlbumsFirstTrack) {
  ASSERT_EQ(player_->Initialize(), S_OK);
  AddAlbums();
  Bstr path;
  ASSERT_EQ(player_->GetAlbumArtPath(Bstr("Alpha").get(), path.out()), S_OK);
  EXPECT_EQ(path.utf8(), folder_ / ("alpha/AlbumArt_" + wmhost::CollectionIdFor("Alpha", "Ann") + "_Large.jpg"));
  EXPECT_EQ(player_->GetAlbumArtPath(Bstr("No such album").get(), path.out()), E_FAIL);
  // Text from tags is never used as a format.
  Song("odd/x.mp3", {"X", "%s%n", "100%s %d", "", 0, 1});
  ASSERT_EQ(player_->AddFileToMediaLibrary(Bstr(folder_ / "odd/x.mp3").get()), S_OK);
  ASSERT_EQ(player_->GetAlbumArtPath(Bstr("100%s %d").get(), path.out()), S_OK);
  EXPECT_EQ(path.utf8(), folder_ / ("odd/AlbumArt_" + wmhost::CollectionIdFor("100%s %d", "%s%n") + "_Large.jpg"));
}

TEST_F(Engine, PlaylistCompareMatchesTheListsSourcesExactly) {
  ASSERT_EQ(player_->Initialize(), S_OK);
  AddAlbums();
  ASSERT_EQ(player_->LoadAlbum(Bstr("Alpha").get()), S_OK);
  ASSERT_EQ(ListCount(), 2);
  std::string upper = a2_;
  upper.back() = '3';
  upper[upper.size() - 2] = 'P';
  struct Case {
    std::vector<std::string> files;
    int count;
    plat::HRESULT expected;
  };
  const Case cases[] = {
      {{a1_, a2_}, 2, S_OK},          {{a1_}, 1, S_OK},         {{}, 0, S_OK},
      {{}, -3, S_OK},                 {{a2_, a1_}, 2, E_FAIL},  {{a1_, upper}, 2, E_FAIL},
      {{a1_, a2_, b1_}, 3, E_FAIL},
  };
  for (const Case& c : cases) {
    std::vector<Bstr> owned;
    std::vector<plat::BSTR> files;
    for (const auto& file : c.files) {
      owned.emplace_back(file);
      files.push_back(owned.back().get());
    }
    EXPECT_EQ(player_->PlaylistCompare(files.empty() ? nullptr : files.data(), c.count), c.expected) << c.count;
  }
}

TEST_F(Engine, FileBrowsingPlaylist) {
  ASSERT_EQ(player_->Initialize(), S_OK);
  const std::string one = Song("one.mp3", {"One", "", "", "", 0, 0});
  const std::string two = Song("two.wav", {"", "", "", "", 0, 0});
  ASSERT_EQ(player_->CleanFileBrowsingPlaylist(), S_OK);
  ASSERT_EQ(player_->AddFileToFileBrowsingPlaylist(0, Bstr(two).get()), S_OK);
  ASSERT_EQ(player_->AddFileToFileBrowsingPlaylist(0, Bstr(one).get()), S_OK);
  ASSERT_EQ(player_->AppendFileToFileBrowsingPlaylist(Bstr(one).get()), S_OK);
  int count = 0;
  ASSERT_EQ(player_->GetCurFileListItemCount(&count), S_OK);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(ListCount(), 3);  // it is the list
  Bstr value;
  ASSERT_EQ(player_->GetCurFileListItemURL(1, value.out()), S_OK);
  EXPECT_EQ(value.utf8(), two);
  ASSERT_EQ(player_->GetCurFileListItemInfo(0, Bstr("Name").get(), value.out()), S_OK);
  EXPECT_EQ(value.utf8(), "One");
  ASSERT_EQ(player_->GetCurFileListItemInfo(1, Bstr("Name").get(), value.out()), S_OK);
  EXPECT_EQ(value.utf8(), "two");  // named after the file without a title tag

  EXPECT_EQ(player_->RemoveFileFromFileBrowsingPlaylist(3), E_FAIL);
  EXPECT_EQ(player_->RemoveFileFromFileBrowsingPlaylist(2), S_OK);
  EXPECT_EQ(player_->CleanFileBrowsingPrevPlaylist(5), S_OK);  // more than there are: nothing removed
  ASSERT_EQ(player_->GetCurFileListItemCount(&count), S_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(player_->CleanFileBrowsingPrevPlaylist(0), S_OK);
  ASSERT_EQ(player_->GetCurFileListItemCount(&count), S_OK);
  EXPECT_EQ(count, 0);
}

TEST_F(Engine, PlaylistNamesTellAutoPlaylistsApart) {
  {
    std::string error;
    auto library = wmhost::MediaLibrary::Open(folder_ / "settings/MediaLibrary.db", &error);
    ASSERT_TRUE(library) << error;
    ASSERT_NE(library->createAutoPlaylist("All Pop", "Genre", "Pop"), 0);
  }
  ASSERT_EQ(player_->Initialize(), S_OK);
  AddAlbums();
  int count = 0;
  ASSERT_EQ(player_->GetPlaylistCount(&count), S_OK);
  EXPECT_EQ(count, 1);
  wmhost_test::WriteText(folder_ / "Mine.m3u", "beta/b1.wav\nalpha/a2.mp3\n");
  ASSERT_EQ(player_->AddFileToMediaLibrary(Bstr(folder_ / "Mine.m3u").get()), S_OK);
  ASSERT_EQ(player_->GetPlaylistCount(&count), S_OK);
  EXPECT_EQ(count, 1);  // the array is read once, until updated
  ASSERT_EQ(player_->UpdatePlaylistArray(), S_OK);
  ASSERT_EQ(player_->GetPlaylistCount(&count), S_OK);
  ASSERT_EQ(count, 2);
  Bstr name;
  EXPECT_EQ(player_->GetPlaylistName(0, name.out()), plat::S_FALSE);
  EXPECT_EQ(name.utf8(), "All Pop");
  EXPECT_EQ(player_->GetPlaylistName(1, name.out()), S_OK);
  EXPECT_EQ(name.utf8(), "Mine");
  EXPECT_EQ(player_->GetPlaylistName(2, name.out()), E_FAIL);
  long items = 0;
  ASSERT_EQ(player_->GetPlaylistItemCount(1, &items), S_OK);
  EXPECT_EQ(items, 2);
  ASSERT_EQ(player_->GetPlaylistItemName(99, 0, name.out()), S_OK);  // the list index is not used
  EXPECT_EQ(name.utf8(), "Banana");
  long attributes = 0;
  ASSERT_EQ(player_->GetPlaylistItemAttributesCount(0, 1, &attributes), S_OK);
  Bstr value;
  EXPECT_EQ(player_->GetPlaylistItemAttribute(0, 1, static_cast<int>(attributes), name.out(), value.out()), E_FAIL);
  ASSERT_EQ(player_->GetPlaylistItemAttribute(0, 1, 0, name.out(), value.out()), S_OK);
  EXPECT_EQ(name.utf8(), "SourceURL");
  EXPECT_EQ(value.utf8(), a2_);
  // Items counted across the playlists in order: 2 in "All Pop", then 2 in "Mine".
  ASSERT_EQ(player_->GetTrackPlaylistName(2, name.out()), S_OK);
  EXPECT_EQ(name.utf8(), "Mine");
  EXPECT_EQ(player_->GetTrackPlaylistName(4, name.out()), E_FAIL);
  ASSERT_EQ(player_->LoadPlaylist(Bstr("All Pop").get()), S_OK);
  EXPECT_EQ(ListCount(), 2);
  EXPECT_EQ(player_->LoadPlaylist(Bstr("all pop").get()), E_FAIL);
  ASSERT_EQ(player_->SortByName(), S_OK);
  EXPECT_EQ(TrackInfo(0, "Name"), "Apple");
}

TEST_F(Engine, RunItemReportsTheNewMediumButNotTheSwitch) {
  ASSERT_EQ(player_->Initialize(), S_OK);
  AddAlbums();
  ASSERT_EQ(player_->LoadAlbum(Bstr("Alpha").get()), S_OK);
  callback_.calls.clear();
  ASSERT_EQ(player_->RunItem(0), S_OK);
  ASSERT_TRUE(RunUntil([&] { return !callback_.calls.empty() && callback_.calls.back() == "Stopped"; }));
  EXPECT_EQ(callback_.WithoutPositions(), (std::vector<std::string>{"MediaChange", "Playing", "MediaEnded",
                                                                     "MediaChange", "Playing", "MediaEnded",
                                                                     "Stopped"}));
  long index = -1;
  ASSERT_EQ(player_->GetPlaylistCurItemIndex(&index), S_OK);
  EXPECT_EQ(index, 1);
  Bstr value;
  ASSERT_EQ(player_->GetCurPlayingTrackInfo(Bstr("Name").get(), value.out()), S_OK);
  EXPECT_EQ(value.utf8(), "Cherry");
  ASSERT_EQ(player_->GetCurPlayingTrackInfo(Bstr("Duration").get(), value.out()), S_OK);
  EXPECT_EQ(value.utf8(), "00:01");
}

TEST_F(Engine, BackwardScanStopsAtTheStart) {
  ASSERT_EQ(player_->Initialize(), S_OK);
  const std::string song = Song("long.wav", {"Long", "", "", "", 0, 0}, 6.0);
  ASSERT_EQ(player_->CleanFileBrowsingPlaylist(), S_OK);
  ASSERT_EQ(player_->AddFileToFileBrowsingPlaylist(0, Bstr(song).get()), S_OK);
  ASSERT_EQ(player_->RunItem(0), S_OK);
  ASSERT_TRUE(RunUntil([&] { return !callback_.calls.empty() && callback_.calls.back() == "Playing"; }));
  EXPECT_EQ(player_->IsFFAvailable(), S_OK);
  ASSERT_EQ(player_->Pause(), S_OK);
  ASSERT_TRUE(RunUntil([&] { return callback_.calls.back() == "Paused"; }));
  double position = -1;
  ASSERT_EQ(player_->Put_CurrentPosition(3.0), S_OK);
  ASSERT_TRUE(RunUntil([&] { return player_->GetCurrentPos(&position) == S_OK && std::abs(position - 3.0) < 0.05; }));
  ASSERT_EQ(player_->BackwardScan(), S_OK);
  ASSERT_TRUE(RunUntil([&] { return player_->GetCurrentPos(&position) == S_OK && position < 0.05; }));
  EXPECT_GE(position, 0.0);
  ASSERT_EQ(player_->ForwardScan(), S_OK);
  ASSERT_TRUE(RunUntil([&] { return player_->GetCurrentPos(&position) == S_OK && std::abs(position - 5.0) < 0.05; }));
  ASSERT_EQ(player_->Stop(), S_OK);
  EXPECT_EQ(callback_.calls.back(), "Stopped");
}

TEST_F(Engine, SearchFillsTheLibraryAndAlwaysEndsAtOneHundredPercent) {
  ASSERT_EQ(player_->Initialize(), S_OK);
  const std::string tree = folder_ / "tree";
  Song("tree/a.wav", {"A", "", "", "", 0, 0});
  Song("tree/sub/b.wav", {"B", "", "", "", 0, 0});
  wmhost_test::WriteText(tree + "/sub/list.m3u", "b.wav\n");
  ASSERT_EQ(player_->AddFolderToMediaLibrary(Bstr(tree + "/").get()), S_OK);
  int percent = -1;
  plat::DWORD searched = 0;
  ASSERT_TRUE(RunUntil([&] {
    EXPECT_EQ(player_->GetSearchProgress(&percent, &searched), E_FAIL);  // the values are valid nonetheless
    return percent == 100 && !callback_.calls.empty() && callback_.calls.back() == "SearchProgress";
  }));
  EXPECT_EQ(searched, 3u);
  int count = 0;
  ASSERT_EQ(player_->GetAllAudioFileCount(&count), S_OK);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(player_->UpdatePlaylistArray(), S_OK);
  ASSERT_EQ(player_->GetPlaylistCount(&count), S_OK);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(player_->GetSearchProgress(nullptr, nullptr), E_FAIL);

  // Nothing to find: still complete, and reported.
  callback_.calls.clear();
  fs::create_directories(folder_ / "empty");
  ASSERT_EQ(player_->StartSearch((folder_ / "empty").c_str()), S_OK);
  ASSERT_TRUE(RunUntil([&] {
    player_->GetSearchProgress(&percent, &searched);
    return percent == 100 && !callback_.calls.empty();
  }));
  EXPECT_EQ(searched, 0u);
  ASSERT_EQ(player_->StopSearch(), S_OK);
  player_->GetSearchProgress(&percent, &searched);
  EXPECT_EQ(percent, 0);
}

TEST_F(Engine, CdPlaylistsComeFromTheDiscOfTheDrive) {
  cue_ = wmhost_test::WriteCdImage(folder_.path(), "Live", "Band", {{2.0, "Intro", ""}, {3.0, "", ""}});
  ASSERT_EQ(player_->Initialize(), S_OK);
  Bstr name;
  ASSERT_EQ(player_->GetCDPlaylistName(Bstr("D:").get(), name.out()), S_OK);
  EXPECT_EQ(name.utf8(), "Live");
  EXPECT_EQ(player_->GetCDPlaylistName(Bstr("E:").get(), name.out()), E_FAIL);
  long count = 0;
  ASSERT_EQ(player_->GetCDPlaylistItemCount(Bstr("D:").get(), &count), S_OK);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(player_->GetCDPlaylistItemName(Bstr("D:").get(), 0, name.out()), S_OK);
  EXPECT_EQ(name.utf8(), "Intro");
  ASSERT_EQ(player_->GetCDPlaylistItemName(Bstr("D:").get(), 1, name.out()), S_OK);
  EXPECT_EQ(name.utf8(), "Track 2");
  EXPECT_EQ(player_->GetCDPlaylistItemName(Bstr("D:").get(), 2, name.out()), E_FAIL);
  Bstr value;
  ASSERT_EQ(player_->GetCDPlaylistItemAttribute(Bstr("D:").get(), 1, 0, name.out(), value.out()), S_OK);
  EXPECT_EQ(value.utf8(), "wmpcd://0/1");
  long attributes = 0;
  ASSERT_EQ(player_->GetCDPlaylistItemAttributesCount(Bstr("D:").get(), 1, &attributes), S_OK);
  EXPECT_EQ(player_->GetCDPlaylistItemAttribute(Bstr("D:").get(), 1, static_cast<int>(attributes), name.out(),
                                               value.out()),
            E_FAIL);
  // The CD playlist is the list now.
  EXPECT_EQ(ListCount(), 2);
  double seconds = 0;
  ASSERT_EQ(player_->GetDuration(1, &seconds), S_OK);
  EXPECT_NEAR(seconds, 3.0, 0.02);
  EXPECT_EQ(TrackInfo(0, "Author"), "Band");
}

TEST_F(Engine, VisualizationsAndModes) {
  ASSERT_EQ(player_->Initialize(), S_OK);
  plat::UINT count = 0, index = 99;
  ASSERT_EQ(player_->GetVisualizationCount(&count), S_OK);
  ASSERT_GE(count, 2u);
  Bstr name, id;
  ASSERT_EQ(player_->GetVisualizationName(0, name.out(), id.out()), S_OK);
  EXPECT_EQ(id.utf8(), "goom");
  EXPECT_EQ(player_->GetVisualizationName(static_cast<int>(count), name.out(), id.out()), E_FAIL);
  ASSERT_EQ(player_->GetCurVisualizationIndex(&index), S_OK);
  EXPECT_EQ(index, 0u);
  ASSERT_EQ(player_->PreviousVisualization(), S_OK);
  ASSERT_EQ(player_->GetCurVisualizationIndex(&index), S_OK);
  EXPECT_EQ(index, count - 1);
  ASSERT_EQ(player_->NextVisualization(), S_OK);
  ASSERT_EQ(player_->SetCurVisualizationIndex(1), S_OK);
  ASSERT_EQ(player_->GetCurVisualizationIndex(&index), S_OK);
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(player_->SetCurVisualizationIndex(count), E_FAIL);

  plat::VARIANT_BOOL state = plat::VARIANT_TRUE;
  ASSERT_EQ(player_->GetMode(Bstr("shuffle").get(), &state), S_OK);
  EXPECT_EQ(state, plat::VARIANT_FALSE);
  ASSERT_EQ(player_->SetMode(Bstr("loop").get(), plat::VARIANT_TRUE), S_OK);
  ASSERT_EQ(player_->GetMode(Bstr("loop").get(), &state), S_OK);
  EXPECT_EQ(state, plat::VARIANT_TRUE);
}

TEST_F(Engine, ServicesAndNames) {
  EXPECT_EQ(player_->QueryService(plat::IID_IUnknown, IID_IWMPlayer, nullptr), plat::E_POINTER);
  plat::ComPtr<IWMPRemoteMediaServices> remote;
  ASSERT_EQ(player_->QueryService(IID_IServiceProvider, IID_IWMPRemoteMediaServices,
                                  reinterpret_cast<void**>(&remote)),
            S_OK);
  Bstr text;
  ASSERT_EQ(remote->GetServiceType(text.out()), S_OK);
  EXPECT_EQ(text.utf8(), "WMPHelper");
  ASSERT_EQ(remote->GetApplicationName(text.out()), S_OK);
  EXPECT_EQ(text.utf8(), "MRV2");
  ASSERT_EQ(remote->GetCustomUIMode(text.out()), S_OK);
  EXPECT_TRUE(text.utf8().starts_with("file:///"));
  EXPECT_TRUE(text.utf8().ends_with("/MRVSkin.wms"));
  EXPECT_EQ(remote->GetCustomUIMode(nullptr), plat::E_POINTER);
  plat::ComPtr<plat::IDispatch> script;
  ASSERT_EQ(remote->GetScriptableObject(text.out(), &script), S_OK);
  EXPECT_EQ(text.utf8(), "WMPHelper");
  EXPECT_EQ(remote->GetScriptableObject(nullptr, nullptr), S_OK);

  const std::pair<const char*, plat::DISPID> names[] = {
      {"Initialize", 1}, {"SetCallback", 31}, {"Debug", 35}, {"GetSearchProgress", 56}, {"Put_CurrentPosition", 80}};
  for (const auto& [method, expected] : names) {
    Bstr wide(method);
    plat::OLECHAR* list[] = {wide.get()};
    plat::DISPID dispid = 0;
    ASSERT_EQ(script->GetIDsOfNames(plat::IID_IUnknown, list, 1, plat::LOCALE_SYSTEM_DEFAULT, &dispid), S_OK);
    EXPECT_EQ(dispid, expected) << method;
  }
}

TEST(WMPlayerServer, IsCreatedByClassIdFromItsRegistration) {
  wmhost_test::TempFolder folder;
  ::setenv("MARIVEL_REGISTRY_DIR", folder.path().c_str(), 1);
  ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
  ASSERT_EQ(RunTool(WMHOST_TEST_REGSVR, {WMHOST_TEST_SERVER}).exitCode, 0);
  ASSERT_EQ(plat::CoInitializeEx(nullptr, plat::COINIT_APARTMENTTHREADED), S_OK);
  {
    plat::ComPtr<IWMPlayer> player;
    ASSERT_EQ(plat::CoCreateInstance(CLSID_WMPlayer, nullptr, plat::CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&player)), S_OK);
    ASSERT_EQ(player->Initialize(), S_OK);
    EXPECT_TRUE(fs::exists(folder / "data/Marivel/MediaLibrary.db"));
    EXPECT_EQ(player->Uninitialize(), S_OK);
    plat::ComPtr<IServiceProvider> provider;
    EXPECT_EQ(player->QueryInterface(IID_PPV_ARGS(&provider)), S_OK);
  }
  plat::CoUninitialize();
  ::unsetenv("MARIVEL_REGISTRY_DIR");
  ::unsetenv("XDG_DATA_HOME");
}

}  // namespace

namespace {

// The engine made without a thread of its own reports through a hidden
// window: its events arrive in the creating thread's message loop.
TEST(EngineWindow, EventsArriveThroughTheThreadsMessageLoop) {
  wmhost_test::TempFolder folder;
  const std::string tone = folder / "tone.wav";
  ASSERT_TRUE(wmhost_test::WriteTone(tone, AudioFormat::Wav, 0.3));
  WMPlayerSetup setup;
  setup.player.audioSink = "fakesink sync=true";
  setup.libraryPath = folder / "MediaLibrary.db";
  auto player = plat::MakeComObject<CWMPlayer>(std::move(setup));
  ASSERT_TRUE(player);
  RecordingCallback callback;
  player->SetCallback(&callback);
  ASSERT_EQ(player->Initialize(), S_OK);
  ASSERT_EQ(player->LoadFile(Bstr(tone).get()), S_OK);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while ((callback.calls.empty() || callback.calls.back() != "Stopped") && std::chrono::steady_clock::now() < end) {
    plat::MSG message;
    while (plat::PeekMessage(&message, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&message);
    plat::MsgWaitForMultipleObjects(0, nullptr, plat::FALSE, 20, plat::QS_ALLINPUT);
  }
  EXPECT_EQ(callback.WithoutPositions(), (std::vector<std::string>{"MediaChange", "Playing", "MediaEnded", "Stopped"}));
  EXPECT_EQ(player->Uninitialize(), S_OK);
}

}  // namespace

namespace {

plat::HWND MakePageWindow() {
  static const bool registered = [] {
    plat::WNDCLASS page;
    page.lpfnWndProc = &plat::DefWindowProc;
    page.lpszClassName = "Test Music Page";
    return plat::RegisterClass(&page) != 0;
  }();
  if (!registered) return nullptr;
  return plat::CreateWindowEx(0, "Test Music Page", "page", 0, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
}

TEST_F(Engine, TheContainerWindowFollowsItsParentAndPlace) {
  ASSERT_EQ(player_->Initialize(), S_OK);
  plat::HWND container = plat::FindWindow("WMP Host Container", nullptr);
  ASSERT_NE(container, nullptr);
  EXPECT_NE(plat::FindWindowEx(container, nullptr, "Visualization Dummy window", nullptr), nullptr);
  plat::HWND page = MakePageWindow();
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(player_->SetParent(page), S_OK);
  EXPECT_EQ(plat::GetParent(container), page);
  ASSERT_EQ(player_->SetWindowPos(10, 20, 320, 200), S_OK);
  plat::RECT client;
  ASSERT_TRUE(plat::GetClientRect(container, &client));
  EXPECT_EQ(client.right - client.left, 320);
  EXPECT_EQ(client.bottom - client.top, 200);
  // Input on the container reaches the callback as the player's events.
  callback_.calls.clear();
  plat::SendMessage(container, plat::WM_MOUSEMOVE, 0, plat::MAKELPARAM(5, 6));
  plat::SendMessage(container, plat::WM_LBUTTONUP, 0, plat::MAKELPARAM(5, 6));
  plat::SendMessage(container, plat::WM_KEYDOWN, 38, 0);
  EXPECT_EQ(callback_.calls, (std::vector<std::string>{"MouseMove", "Click", "KeyDown 38 0"}));
  ASSERT_EQ(player_->SetParent(nullptr), S_OK);
  EXPECT_NE(plat::GetParent(container), page);
  ASSERT_EQ(player_->Uninitialize(), S_OK);
  EXPECT_EQ(plat::FindWindow("WMP Host Container", nullptr), nullptr);
  plat::DestroyWindow(page);
}

TEST(ContainerWindow, DrawsTheLatestFrameStretchedOrBlack) {
  auto window = CWMPContainerWindow::Create();
  ASSERT_TRUE(window);
  plat::BITMAPINFO info{};
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = -4;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  plat::HDC dc = plat::CreateCompatibleDC(nullptr);
  plat::HBITMAP target = plat::CreateDIBSection(dc, &info, plat::DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(target, nullptr);
  plat::HGDIOBJ old = plat::SelectObject(dc, target);
  const plat::RECT area{0, 0, 4, 4};
  plat::FillRect(dc, &area, static_cast<plat::HBRUSH>(plat::GetStockObject(plat::WHITE_BRUSH)));
  window->Draw(dc, area);
  EXPECT_EQ(plat::GetPixel(dc, 2, 2), plat::RGB(0, 0, 0));

  wmhost::VideoFrame frame;
  frame.width = 2;
  frame.height = 2;
  frame.stride = 12;  // rows may be padded
  frame.pixels.assign(24, 0);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) frame.pixels[static_cast<std::size_t>(y * 12 + x * 4 + 2)] = 255;  // red
  }
  window->OnFrame(frame);
  window->Draw(dc, area);
  EXPECT_EQ(plat::GetPixel(dc, 0, 0), plat::RGB(255, 0, 0));
  EXPECT_EQ(plat::GetPixel(dc, 3, 3), plat::RGB(255, 0, 0));
  plat::SelectObject(dc, old);
  plat::DeleteObject(target);
  plat::DeleteDC(dc);
}

}  // namespace
