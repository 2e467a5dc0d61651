// The Movie controller over the real DVD engine and playback library, on
// the generated test DVD declared as virtual drive D:: entering plays the
// disc, chapters come from the engine's events, the next chapter past the
// title's last one stops, a disc left with its resume point opens there
// again, and a disc of another region plays once its region is applied.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "corebridge/core/movie_config.h"
#include "engines/playback/discrunner/disc_runner.h"
#include "engines/playback/discrunner/library_binding.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace bridge_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kDriveKey = "SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\D";

const fs::path& FixtureDir() {
  static const fs::path dir = [] {
    const std::string command = std::string(TOVELAX_FIXTURE_SCRIPT) + " " + TOVELAX_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return fs::path();
    return fs::path(TOVELAX_FIXTURE_DIR);
  }();
  return dir;
}

void SetDriveValue(const char* name, const std::string& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDriveKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

void SetDriveDword(const char* name, DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDriveKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

DWORD DriveDword(const char* name) {
  HKEY key = nullptr;
  DWORD value = 0xFFFF, size = sizeof value, type = 0;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDriveKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return value;
}

// Runs the thread's messages until `done` holds or 20 seconds have passed.
// `done` is checked after every message: a state the events pass through
// counts even when more messages wait behind them (frames keep coming).
bool PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessage(&msg);
      if (done()) return true;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return done();
}

class NullMoviePage final : public IMoviePageEvents {
 public:
  explicit NullMoviePage(CMovieConfig*& movie) : movie_(movie) {}
  int EnterModule() override { return 1; }
  int OnRedraw(int) override { return 1; }
  int ShowPage() override {
    if (movie_) shown.push_back(movie_->m_nMoviePageState);
    return 1;
  }
  int LoadPage(const char*) override { return 1; }
  int GetVideoWindow(HWND* owner, RECT* rect) override {
    *owner = nullptr;
    *rect = {0, 0, 720, 576};
    return 1;
  }
  int RefreshDriveList() override { return 1; }
  int ShowPinEntry() override { return 1; }
  int IsFrameMaximized() override { return 0; }
  int SetScreenSaverActive(int) override { return 1; }
  std::vector<int> shown;

 private:
  CMovieConfig*& movie_;
};

class MovieEngineTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    ASSERT_FALSE(FixtureDir().empty()) << "the test DVD could not be generated";
    discrunner::SetLibraryFolder(std::string(MARIVEL_TEST_BIN_DIR) + "/Movie");
    UseDisc(FixtureDir() / "dvd");
    Start();
    engine_ = MakeComObject<CDiscRunner>();
    ASSERT_EQ(engine_->bind_result(), S_OK);
    int discard = 1;  // no sound card needed
    ASSERT_EQ(engine_->DvdOp90(20, &discard), S_OK);
    ASSERT_EQ(engine_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(core_->engine.ReleaseAndGetAddressOf())),
              S_OK);
    movie_ = Config().m_pMovie.get();
    system_->SetMoviePageCallback(&page_);
  }
  void TearDown() override {
    if (system_ && system_->IsStarted()) system_->Stop();
    system_.Reset();
    engine_.Reset();
    discrunner::SetLibraryFolder({});
    BridgeTest::TearDown();
  }

  void UseDisc(const fs::path& folder) {
    SetDriveValue("Path", folder.string());
    SetDriveValue("Type", "cdrom");
    volumes_->volumes = {{'D', DRIVE_CDROM, folder.string(), "DVD", "", "", true}};
  }

  HRESULT Act(const char* name, std::intptr_t a = 0, std::intptr_t b = 0) { return system_->ExecuteAction(name, a, b); }

  ComPtr<ComObject<CDiscRunner>> engine_;
  CMovieConfig* movie_ = nullptr;
  NullMoviePage page_{movie_};
};

TEST_F(MovieEngineTest, EntryPlaysChaptersFollowAndPastTheLastOneStops) {
  ASSERT_EQ(Act("Movie Entry"), S_OK);
  EXPECT_EQ(movie_->m_nDiscType, 4);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
  // The disc starts in its menu; its first button plays title 1.
  ASSERT_TRUE(PumpUntil([&] { return (movie_->m_dwDiscCaps & MOVIE_CAP_MENU_NAVIGATION) != 0; }));
  ASSERT_EQ(Act("Movie MenuEnter"), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return movie_->m_nTitleState == 1 && movie_->m_nChapterNumber == 1; }))
      << movie_->m_nTitleState << " " << movie_->m_nChapterNumber;
  EXPECT_EQ(movie_->m_nAudioStreams, 2);

  ASSERT_EQ(Act("Movie NextChapter"), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return movie_->m_nChapterNumber == 2; })) << movie_->m_nChapterNumber << " " << movie_->m_nPlayState;
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
  ASSERT_EQ(Act("Movie NextChapter"), S_OK);  // title 1 has two chapters
  EXPECT_EQ(movie_->m_nMoviePageState, 4);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_NO_DISC);
  int state = 0;
  engine_->GetPlayState(&state);
  EXPECT_EQ(state, kDiscClosed);

  // Left with its resume point, the disc opens there on the next entry.
  EXPECT_EQ(system_->HasDvdResumeState(3), 1);
  system_->OnHome(0, 0);
  ASSERT_EQ(Act("Movie Entry"), S_OK);
  EXPECT_EQ(engine_->GetResumeApplied(), S_OK);
  // It continues in the chapter it was left in, not at the disc's menu.
  ASSERT_TRUE(PumpUntil([&] { return movie_->m_nChapterNumber == 2; }))
      << movie_->m_nNavigationState << " " << movie_->m_nTitleState << " " << movie_->m_nChapterNumber;
  system_->OnHome(0, 0);
}

TEST_F(MovieEngineTest, ADiscOfAnotherRegionPlaysOnceTheRegionIsApplied) {
  // A copy of the disc that plays in region 2 only.
  const fs::path copy = env_.path("region2");
  fs::copy(FixtureDir() / "dvd", copy, fs::copy_options::recursive);
  for (const char* name : {"VIDEO_TS/VIDEO_TS.IFO", "VIDEO_TS/VIDEO_TS.BUP"}) {
    std::fstream file(copy / name, std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(file);
    file.seekp(0x23);
    file.put(static_cast<char>(0xFD));
  }
  UseDisc(copy);
  SetDriveDword("Region", 1);

  ASSERT_EQ(Act("Movie Entry"), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return movie_->m_nMoviePageState == 19; })) << movie_->m_nMoviePageState;
  EXPECT_EQ(movie_->m_nDiscRegion, 2);
  EXPECT_EQ(movie_->m_nSystemRegion, 1);
  EXPECT_EQ(movie_->m_nRegionChangesLeft, 5);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_STOPPED);

  ASSERT_EQ(Act("Movie Apply RegionCode"), S_OK);
  EXPECT_EQ(movie_->m_nPlayState, MOVIE_PLAYING);
  EXPECT_EQ(DriveDword("Region"), 2u);
  EXPECT_EQ(DriveDword("RegionChanges"), 4u);
  // The disc now plays: its menu or a title comes up.
  ASSERT_TRUE(PumpUntil([&] {
    return (movie_->m_dwDiscCaps & MOVIE_CAP_MENU_NAVIGATION) != 0 || movie_->m_nTitleState != 0;
  }));
  system_->OnHome(0, 0);
}

}  // namespace
}  // namespace bridge_test
