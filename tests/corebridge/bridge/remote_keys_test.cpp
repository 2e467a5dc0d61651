#include "corebridge/core/music_config.h"
#include "corebridge/core/registry_key.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace bridge_test {
namespace {

constexpr WPARAM kCtrl = 0x10000000;
constexpr WPARAM kShift = 0x100;

// Key presses posted to the focused window.
std::vector<WPARAM>& Keys() {
  static std::vector<WPARAM> keys;
  return keys;
}

class RemoteKeysTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    Start();
    WNDCLASS wc{};
    wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
      if (msg == WM_KEYDOWN) Keys().push_back(wp);
      return DefWindowProc(h, msg, wp, lp);
    };
    wc.lpszClassName = "KeyTarget";
    RegisterClass(&wc);
    target_ = CreateWindowEx(0, "KeyTarget", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetFocus(target_);
    Keys().clear();
  }
  void TearDown() override {
    DestroyWindow(target_);
    BridgeTest::TearDown();
  }
  void FiveKeys(bool on) {
    CRegistryKey key(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, CConfig::kRegistryKey));
    key.SetDword("Vadu5Keys", on ? 1 : 0);
  }
  // Dispatches a code and returns what was posted.
  std::vector<WPARAM> Press(std::intptr_t code, int* result = nullptr) {
    Keys().clear();
    steps_.clear();
    const int r = system_->HotkeyDispatch(0, code, 0);
    if (result) *result = r;
    Pump();
    return Keys();
  }

  HWND target_ = nullptr;
};

TEST_F(RemoteKeysTest, FixedKeysInBothLayouts) {
  const std::pair<std::intptr_t, WPARAM> table[] = {
      {1, VK_BACK},           {4, 'S'},                   {8, 'Z'},                   {46, kCtrl | 'P'},
      {47, kShift | VK_SPACE}, {48, 'R'},                 {51, kCtrl | VK_ADD},       {52, kCtrl | VK_SUBTRACT},
      {0x10010000, kCtrl | 'T'}, {0x10020000, kCtrl | 'N'}, {0x10030000, kCtrl | 'U'}, {0x10040000, kCtrl | 'M'},
      {0x10050000, kCtrl | 'I'}, {0x10070000, 0x75},        {0x10080000, 0x77},        {0x10090000, 0x72},
      {0x10140000, 0x72},     {0x100A0000, VK_F4},        {0x10120000, 'T'},          {0x10130000, 0x74},
      {0x10150000, 0x76},     {0x10170000, kCtrl | 'S'},  {0x10180000, kCtrl | 'A'},  {0x101A0000, kCtrl | 'X'},
  };
  for (bool five : {false, true}) {
    FiveKeys(five);
    for (const auto& [code, key] : table) {
      int result = -1;
      EXPECT_EQ(Press(code, &result), std::vector<WPARAM>{key}) << std::hex << code;
      EXPECT_EQ(result, code == 8 ? 1 : 0) << std::hex << code;
    }
    for (std::intptr_t unknown : {0, 2, 3, 5, 53, 0x10100000, 0x10190000}) {
      int result = -1;
      EXPECT_TRUE(Press(unknown, &result).empty()) << unknown;
      EXPECT_EQ(result, 0);
    }
  }
}

TEST_F(RemoteKeysTest, HomeKeysQuitAtHomeAndGoHomeElsewhere) {
  int result = 0;
  Press(7, &result);
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(frame_.Saw("QuitApplication"));
  frame_.calls.clear();
  Config().m_nActiveModule = MODULE_PHOTO;
  Press(0x10110000, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_FALSE(frame_.Saw("QuitApplication"));
  Press(0x10060000, &result);  // "Home" even at home
  EXPECT_EQ(home_.shown, 2);
  EXPECT_EQ(result, 0);
}

TEST_F(RemoteKeysTest, DispatchHotkeyAnswersByTheDispatcherResult) {
  EXPECT_EQ(system_->DispatchHotkey(0, 1, 0), E_FAIL);
  EXPECT_EQ(system_->DispatchHotkey(0, 8, 0), S_OK);
  EXPECT_EQ(system_->DispatchHotkey(0, 11, 0), S_OK);
  EXPECT_EQ(system_->KeyDispatchSink()->HotkeyDispatch(0, 8, 0), 1);
}

TEST_F(RemoteKeysTest, PlainLayoutTransportKeys) {
  FiveKeys(false);
  const std::pair<std::intptr_t, WPARAM> table[] = {{9, VK_SUBTRACT}, {10, VK_ADD}, {11, 'N'}, {12, 'P'},
                                                    {13, 'S'},         {14, VK_SPACE}, {49, 'F'}, {50, 'B'}};
  Config().m_nActiveModule = MODULE_MOVIE;
  system_->States().nMoviePlayState = 4;  // playing makes no difference here
  for (const auto& [code, key] : table) {
    int result = 0;
    EXPECT_EQ(Press(code, &result), std::vector<WPARAM>{key}) << code;
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(steps_.empty());
  }
}

TEST_F(RemoteKeysTest, PlainStopKeyOpensOrClosesTheTraysForVendorThree) {
  FiveKeys(false);
  const std::string disc = env_.path("disc");
  std::filesystem::create_directories(disc);
  volumes_->volumes = {{'D', DRIVE_CDROM, disc, {}, {}, {}, true}, {'F', DRIVE_CDROM, disc, {}, {}, {}, true}};
  core_->drives->Refresh();
  core_->drives->MoveDoor(5, kDoorMoveOpen);  // F: open, D: closed
  frame_.vendor = 3;
  Config().m_nGeneralFeatures = 4;
  EXPECT_TRUE(Press(13).empty());
  int d = -1, f = -1;
  core_->drives->GetDoorState(3, &d);
  core_->drives->GetDoorState(5, &f);
  EXPECT_EQ(d, kDoorOpen);
  EXPECT_EQ(f, kDoorClosed);
  // Something playing, another vendor or the option off: the key is 'S'.
  system_->States().nMusicState = 0;
  EXPECT_EQ(Press(13), std::vector<WPARAM>{'S'});
  system_->States().nMusicState = 2;
  frame_.vendor = 2;
  EXPECT_EQ(Press(13), std::vector<WPARAM>{'S'});
}

struct FiveKeyCase {
  int module;
  int state;  // the module's play state (Photo: 1 slide show, 2 single picture)
  std::intptr_t code;
  const char* step;  // the controller step run, or null when a key is posted
  WPARAM key;
};

TEST_F(RemoteKeysTest, FiveKeyLayoutActsOnThePlayingModule) {
  FiveKeys(true);
  const FiveKeyCase cases[] = {
      {MODULE_MOVIE, 4, 11, "OnMovieNextChapter", 0},
      {MODULE_MOVIE, 4, 12, "OnMoviePreChapter", 0},
      {MODULE_MOVIE, 4, 13, "OnMovieStop", 0},
      {MODULE_MOVIE, 4, 14, "OnMoviePause", 0},
      {MODULE_MOVIE, 3, 14, "OnMoviePlay", 0},
      {MODULE_MOVIE, 5, 14, "OnMoviePlay", 0},
      {MODULE_MOVIE, 4, 49, "OnMovieFastForeward", 0},
      {MODULE_MOVIE, 4, 50, "OnMovieRewind", 0},
      {MODULE_MOVIE, 2, 14, nullptr, VK_RETURN},  // stopped: the fallback key
      {MODULE_MOVIE, 2, 11, nullptr, VK_RIGHT},
      {MODULE_MOVIE, 0, 13, nullptr, 0},  // key 13 has no fallback
      {MODULE_MUSIC, 0, 11, "OnMusicNextTrack", 0},
      {MODULE_MUSIC, 0, 12, "OnMusicPreviousTrack", 0},
      {MODULE_MUSIC, 1, 14, "OnMusicPlayPause", 0},
      {MODULE_MUSIC, 0, 13, "OnMusicStop", 0},
      {MODULE_MUSIC, 2, 12, nullptr, VK_LEFT},
      {MODULE_PHOTO, 1, 11, "OnPhotoSlideshowNextSlide", 0},
      {MODULE_PHOTO, 1, 12, "OnPhotoSlideshowPreviousSlide", 0},
      {MODULE_PHOTO, 1, 49, "OnPhotoSlideshowFastforward", 0},
      {MODULE_PHOTO, 1, 50, "OnPhotoSlideshowRewind", 0},
      {MODULE_PHOTO, 1, 14, "OnPhotoSlideshowPlayPause", 0},
      {MODULE_PHOTO, 1, 13, "PhotoStopSlideShow", 0},
      {MODULE_PHOTO, 2, 9, "OnPhotoNextImage", 0},
      {MODULE_PHOTO, 2, 10, "OnPhotoPreviousImage", 0},
      {MODULE_PHOTO, 2, 11, "OnPhotoRotateRight", 0},
      {MODULE_PHOTO, 2, 12, "OnPhotoRotateLeft", 0},
      {MODULE_PHOTO, 2, 49, "OnPhotoRotateRight", 0},
      {MODULE_PHOTO, 0, 9, nullptr, VK_DOWN},
      {MODULE_VIDEO, 2, 14, "VideoPlayPause", 0},
      {MODULE_VIDEO, 3, 14, "VideoPlay", 0},
      {MODULE_VIDEO, 1, 14, nullptr, VK_RETURN},
      {MODULE_VIDEO, 2, 11, "VideoKeyNext", 0},
      {MODULE_VIDEO, 2, 50, "VideoKeyRewind", 0},
      {MODULE_VIDEO, 4, 13, "VideoExitPlayback", 0},
      {MODULE_TV, 4, 10, nullptr, VK_UP},
      {MODULE_NONE, 0, 49, nullptr, VK_RIGHT},
  };
  for (const auto& c : cases) {
    Config().m_nActiveModule = c.module;
    auto& s = system_->States();
    s.nMoviePlayState = 0;
    s.nMusicState = MUSIC_STOPPED;
    s.nPhotoState = 0;
    s.nVideoPlayState = 0;
    switch (c.module) {
      case MODULE_MOVIE: s.nMoviePlayState = c.state; break;
      case MODULE_MUSIC: s.nMusicState = c.state; break;
      case MODULE_PHOTO: s.nPhotoState = c.state; break;
      case MODULE_VIDEO: s.nVideoPlayState = c.state; break;
      default: break;
    }
    int result = 0;
    const auto keys = Press(c.code, &result);
    EXPECT_EQ(result, 1);
    if (c.step) {
      EXPECT_EQ(steps_, std::vector<std::string>{c.step}) << c.module << " " << c.state << " " << c.code;
      EXPECT_TRUE(keys.empty());
    } else {
      EXPECT_TRUE(steps_.empty()) << c.module << " " << c.code;
      EXPECT_EQ(keys, c.key ? std::vector<WPARAM>{c.key} : std::vector<WPARAM>{}) << c.module << " " << c.code;
    }
  }
}

TEST_F(RemoteKeysTest, FiveKeyVolumeKeysWhilePlayingAndActionsTheSkinHides) {
  FiveKeys(true);
  Config().m_nActiveModule = MODULE_MUSIC;
  system_->States().nMusicState = 0;
  Press(10);
  float volume = 0;
  core_->audio->GetSpeakersLineState(0, nullptr, &volume, nullptr);
  EXPECT_FLOAT_EQ(volume, 0.6f);
  // An action the skin does not show falls back to the cursor key.
  system_->m_isActionAvailable = [](const char* name) { return std::string(name) != "Music Next Track"; };
  EXPECT_EQ(Press(11), std::vector<WPARAM>{VK_RIGHT});
  EXPECT_TRUE(steps_.empty());
}

TEST_F(RemoteKeysTest, BrightnessThroughTheRemoteWindow) {
  int level = -1;
  EXPECT_EQ(system_->QueryBrightness(level), 0);  // no window
  EXPECT_EQ(level, 0);
  RemoteWindow remote;
  remote.brightness = 7;
  EXPECT_EQ(system_->QueryBrightness(level), 1);
  EXPECT_EQ(level, 7);
  system_->SetBrightness(3);
  Pump();
  EXPECT_EQ(remote.brightness, 3);
}

TEST_F(RemoteKeysTest, HiddenWindowSaysGoodbyeToTheRemoteOnVendorOne) {
  RemoteWindow remote;
  frame_.vendor = 1;
  system_->HiddenWindowCreate(0);
  Pump();
  ASSERT_EQ(remote.messages.size(), 1u);
  EXPECT_EQ(remote.messages[0].msg, WM_REMOTE_CLOSING);
  EXPECT_EQ(system_->HiddenWindowCreate(0), 1);  // no window: still 1
  EXPECT_EQ(system_->HiddenWindowCreate(1), 1);
  EXPECT_EQ(system_->HiddenWindowCreate(1), 0);  // one exists already
}

}  // namespace
}  // namespace bridge_test
