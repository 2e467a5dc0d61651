// Fixtures for the Music controller's tests: the real media player and both
// rippers in a core object of their own, a recording Music page whose
// display window is a headless window, generated tagged music, and a
// started UI-system object with a fake frame.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/ui_system_object.h"
#include "engines/playback/wmhost/engine/wm_player.h"
#include "engines/rip/rippers.h"
#include "platform/com/automation.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/corebridge/bridge/bridge_test_support.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"

namespace music_test {

using namespace plat;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A core object with the real player and rippers.
class MusicCoreObject : public bridge_test::TestCoreObject {
 public:
  HRESULT FallbackQueryInterface(const IID& iid, void** out) {
    if (iid == IID_IWMPlayer) {
      if (!player) {
        WMPlayerSetup setup;
        setup.libraryPath = libraryPath;
        player = MakeComObject<CWMPlayer>(std::move(setup));
      }
      return player->QueryInterface(iid, out);
    }
    if (iid == IID_ICdToMp3) {
      if (!mp3) mp3 = MakeComObject<CCdToMp3>();
      return mp3->QueryInterface(iid, out);
    }
    if (iid == IID_ICdToWma) {
      if (!wma) wma = MakeComObject<CCdToWma>();
      return wma->QueryInterface(iid, out);
    }
    return bridge_test::TestCoreObject::FallbackQueryInterface(iid, out);
  }
  ComPtr<ComObject<CWMPlayer>> player;
  ComPtr<ComObject<CCdToMp3>> mp3;
  ComPtr<ComObject<CCdToWma>> wma;
  std::string libraryPath;
};

// The Music page: every call written down; the display window is a
// headless window; the browser folder is what the test chose.
class RecordingMusicPage final : public IMusicPageEvents {
 public:
  RecordingMusicPage() {
    WNDCLASS wc{};
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "MusicTestDisplay";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "MusicTestDisplay", "", WS_POPUP, 0, 0, 160, 120, nullptr, nullptr, nullptr, nullptr);
  }
  ~RecordingMusicPage() { DestroyWindow(window); }

  int EnterModule() override { return Log("EnterModule"); }
  int ShowPage() override { return Log("ShowPage"); }
  int RefreshListPanel() override { return Log("RefreshListPanel"); }
  int OnMouseActivity() override { return Log("OnMouseActivity"); }
  int GetDisplayWindow(HWND* w, RECT* r) override {
    if (w) *w = window;
    if (r) *r = RECT{0, 0, 160, 120};
    return 1;
  }
  int Redraw(int flag) override {
    if (onRedraw) onRedraw();
    return Log("Redraw " + std::to_string(flag));
  }
  int ShowListPanelItem() override { return 1; }
  int OpenBrowserFolder() override { return Log("OpenBrowserFolder"); }
  int SortBrowser() override { return Log("SortBrowser"); }
  int GetBrowserFolder(std::string* folder, int) override {
    if (chosenFolder.empty() || !folder) return 0;
    *folder = chosenFolder;
    return 1;
  }
  int InvalidateFrame() override { return 1; }
  int DrawCurrentTime(double) override { return 1; }
  int PressListActionByName(const char*, const char*) override { return 1; }

  int Log(const std::string& call) {
    calls.push_back(call);
    return 1;
  }
  bool Saw(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }

  HWND window = nullptr;
  std::vector<std::string> calls;
  std::string chosenFolder;
  std::function<void()> onRedraw;
};

// Runs messages until `done` holds or the limit passes.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return false;
}

// A started UI-system object over the Music core object, with the recording
// page and a fixed drive holding the music folder.
class MusicTest : public bridge_test::BridgeTest {
 protected:
  void SetUp() override {
    bridge_test::BridgeTest::SetUp();
    music_ = env_.path("music");
    fs::create_directories(music_);
    VolumeInfo disk;
    disk.letter = 'C';
    disk.type = DRIVE_FIXED;
    disk.root = music_;
    disk.isVirtual = true;
    volumes_->volumes.push_back(disk);
    CUISystemServices services;
    services.createCoreObject = [this](IUnknown** out) {
      auto core = MakeComObject<MusicCoreObject>();
      core->drives = MakeComObject<CDriveEnumerator>();
      core->libraryPath = env_.path("library.db");
      musicCore_ = core.Get();
      *out = core->NonDelegatingUnknown();
      (*out)->AddRef();
      return S_OK;
    };
    services.powerScheme = scheme_;
    services.clock = &clock_;
    services.scheduleTimerPeriodMs = timerPeriodMs_;
    services.desktop = desktop_;
    system_ = MakeComObject<CUISystem>(std::move(services));
    system_->SetUICallback(&frame_);
    system_->SetHomePageCallback(&home_);
    system_->SetMusicPageCallback(&page_);
    system_->m_onControllerStep = [this](const char* step) { steps_.push_back(step); };
    Start();
    Music().m_strDefaultFolder = music_;
  }

  CMusicConfig& Music() { return *Config().m_pMusic; }
  int Page() {
    int page = 0;
    Music().PeekMusicPage(page);
    return page;
  }
  HRESULT Act(const char* name, std::intptr_t a = 0, std::intptr_t b = 0) { return system_->ExecuteAction(name, a, b); }
  IWMPlayer& Player() { return *system_->WMPlayer(); }
  void Enter() {
    ASSERT_EQ(Act("Music Entry"), S_OK);
    page_.calls.clear();
  }
  // A tagged MP3 of `seconds` in the music folder, added to the library.
  std::string AddSong(const std::string& name, const std::string& album, const std::string& artist,
                      double seconds = 3.0) {
    const std::string path = music_ + "/" + name + ".mp3";
    EXPECT_TRUE(wmhost_test::WriteTone(path, wmhost_test::AudioFormat::Mp3, seconds));
    wmhost_test::TagValues tags;
    tags.title = name;
    tags.album = album;
    tags.artist = artist;
    tags.genre = "Jazz";
    EXPECT_TRUE(wmhost_test::WriteTags(path, tags));
    EXPECT_EQ(Player().AddFileToMediaLibrary(Bstr(path).get()), S_OK);
    return path;
  }
  std::vector<std::string> Names(const std::vector<MusicRecord>& list, int text = 0) {
    std::vector<std::string> names;
    for (const auto& r : list) names.push_back(r.strTexts[text]);
    return names;
  }

  RecordingMusicPage page_;
  MusicCoreObject* musicCore_ = nullptr;
  std::string music_;
};

}  // namespace music_test
