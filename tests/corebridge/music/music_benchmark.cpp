// Figures of the Music controller on a library of 2,000 tracks: an album
// click (the album loaded, sorted and its track records read), with albums
// of 100 and of 1,000 tracks, and "Music Entry" up to the device page.
// The page's drawing is not part of these figures.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/ui_system_object.h"
#include "engines/playback/wmhost/engine/wm_player.h"
#include "interfaces/core_object.h"
#include "platform/com/automation.h"
#include "platform/com/object.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"

namespace {

namespace fs = std::filesystem;

class PlayerCore : public ICoreObject {
 public:
  using Interfaces = plat::InterfaceList<ICoreObject>;
  plat::HRESULT FallbackQueryInterface(const plat::IID& iid, void** out) {
    if (iid != IID_IWMPlayer) return plat::E_NOINTERFACE;
    if (!player) {
      WMPlayerSetup setup;
      setup.libraryPath = libraryPath;
      player = plat::MakeComObject<CWMPlayer>(std::move(setup));
    }
    return player->QueryInterface(iid, out);
  }
  plat::ComPtr<plat::ComObject<CWMPlayer>> player;
  std::string libraryPath;
};

// A started system core with the library filled once: album "Big" of 1,000
// tracks and ten albums of 100.
struct Bench {
  Bench() {
    std::string pattern = (fs::temp_directory_path() / "music-bench-XXXXXX").string();
    dir = ::mkdtemp(pattern.data()) ? pattern : std::string();
    for (const char* sub : {"home", "registry", "config", "data", "music"}) fs::create_directories(dir + "/" + sub);
    ::setenv("HOME", (dir + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    ::setenv("MARIVEL_REGISTRY_DIR", (dir + "/registry").c_str(), 1);
    CUISystemServices services;
    const std::string library = dir + "/library.db";
    services.createCoreObject = [library](plat::IUnknown** out) {
      auto core = plat::MakeComObject<PlayerCore>();
      core->libraryPath = library;
      *out = core->NonDelegatingUnknown();
      (*out)->AddRef();
      return plat::S_OK;
    };
    system = plat::MakeComObject<CUISystem>(std::move(services));
    system->Start();
    system->ExecuteAction("Music Entry", 0, 0);
    IWMPlayer* player = system->WMPlayer();
    const std::string tone = dir + "/tone.mp3";
    ok = player && wmhost_test::WriteTone(tone, wmhost_test::AudioFormat::Mp3, 0.2);
    for (int i = 0; ok && i < 2000; ++i) {
      const std::string path = dir + "/music/t" + std::to_string(i) + ".mp3";
      fs::copy_file(tone, path);
      wmhost_test::TagValues tags;
      tags.title = "Track " + std::to_string(i);
      tags.album = i < 1000 ? "Big" : "Album " + std::to_string(i / 100);
      tags.artist = "Artist " + std::to_string(i % 7);
      ok = wmhost_test::WriteTags(path, tags) && plat::SUCCEEDED(player->AddFileToMediaLibrary(plat::Bstr(path).get()));
    }
    ok = ok && system->ExecuteAction("Music Media Library", 0, 0) == plat::S_OK;
  }
  ~Bench() {
    system->Stop();
    system.Reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  int AlbumIndex(const std::string& name) {
    const auto& albums = system->Config()->m_pMusic->m_vecAlbums;
    for (std::size_t i = 0; i < albums.size(); ++i) {
      if (albums[i].strTexts[0] == name) return static_cast<int>(i);
    }
    return -1;
  }
  std::string dir;
  bool ok = false;
  plat::ComPtr<plat::ComObject<CUISystem>> system;
};

Bench& Shared() {
  static Bench bench;
  return bench;
}

void AlbumClick(benchmark::State& state, const std::string& album, std::size_t tracks) {
  Bench& bench = Shared();
  if (!bench.ok) return state.SkipWithError("the library was not filled");
  const int index = bench.AlbumIndex(album);
  if (index < 0) return state.SkipWithError("no such album");
  CMusicConfig& music = *bench.system->Config()->m_pMusic;
  for (auto _ : state) {
    if (bench.system->ExecuteAction("Music ClickList", index, 0) != plat::S_OK) {
      return state.SkipWithError("the album did not open");
    }
    state.PauseTiming();
    if (music.m_vecLibraryTracks.size() != tracks) return state.SkipWithError("wrong track count");
    int page = 0;
    music.PopMusicPage(page);
    state.ResumeTiming();
  }
  state.counters["goal_ms_with_drawing"] = 30;
}

void BM_AlbumClick100(benchmark::State& state) { AlbumClick(state, "Album 15", 100); }
void BM_AlbumClick1000(benchmark::State& state) { AlbumClick(state, "Big", 1000); }

void BM_MusicEntry(benchmark::State& state) {
  Bench& bench = Shared();
  if (!bench.ok) return state.SkipWithError("the library was not filled");
  for (auto _ : state) {
    state.PauseTiming();
    bench.system->ExecuteAction("Home", 0, 0);
    if (bench.system->Config()->m_nActiveModule != MODULE_NONE) return state.SkipWithError("still in Music");
    state.ResumeTiming();
    if (bench.system->ExecuteAction("Music Entry", 0, 0) != plat::S_OK) return state.SkipWithError("no entry");
    state.PauseTiming();
    if (bench.system->Config()->m_nActiveModule != MODULE_MUSIC) return state.SkipWithError("not in Music");
    state.ResumeTiming();
  }
  state.counters["goal_ms_with_first_frame"] = 50;
}

BENCHMARK(BM_AlbumClick100)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_AlbumClick1000)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_MusicEntry)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
