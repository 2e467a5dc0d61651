// The Radio controller's recordings on a scripted radio engine: file names,
// the free-space rule, the recording monitor (free space and the size
// limit), and the recorded files played through the held player.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "corebridge/modules/radio_controller_internal.h"
#include "platform/com/automation.h"
#include "tests/corebridge/core/stub_wm_player.h"
#include "tests/corebridge/radio/fake_line_rippers.h"
#include "tests/corebridge/radio/radio_test_support.h"

namespace radio_test {
namespace {

namespace fs = std::filesystem;

// A player that plays whatever it is given and logs what it was told.
class LoggingPlayer : public sinks_test::StubWMPlayer {
 public:
  HRESULT Initialize() override { return S_OK; }
  HRESULT LoadFile(plat::BSTR file) override {
    calls.push_back("LoadFile " + plat::BstrToUtf8(file));
    return failLoad ? E_FAIL : S_OK;
  }
  HRESULT Run() override { return Log("Run"); }
  HRESULT Pause() override { return Log("Pause"); }
  HRESULT Stop() override { return Log("Stop"); }
  HRESULT FastForward() override { return Log("FastForward"); }
  HRESULT BackwardScan() override { return Log("BackwardScan"); }
  HRESULT Log(const std::string& call) {
    calls.push_back(call);
    return S_OK;
  }
  bool failLoad = false;
  std::vector<std::string> calls;
};

class RadioRecordingTest : public RadioTest {
 protected:
  std::string Folder() { return Radio().m_strRecordFolder; }
  // Makes `path` `size` bytes long without using the disk.
  static void MakeSparse(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
  }
  UINT_PTR MonitorTimer() { return system_->HiddenWindow()->m_nRecordTimer; }
};

TEST_F(RadioRecordingTest, FileNamesCarryBandFrequencyAndTime) {
  // 2026-03-02 12:00 by the fixture's clock.
  struct Case {
    int format, frequency, band;
    const char* name;
  } cases[] = {{1, 98500000, RADIO_BAND_FM, "FM09850_02032026_1200.mp3"},
               {0, 87500000, RADIO_BAND_FM, "FM08750_02032026_1200.wav"},
               {3, 107900000, RADIO_BAND_FM, "FM10790_02032026_1200.wma"},
               {1, 1602000000, RADIO_BAND_AM, "AM160200_02032026_1200.mp3"},
               {4, 531000000, RADIO_BAND_AM, "AM53100_02032026_1200.wma"}};
  for (const auto& c : cases) {
    Radio().m_nRecordFormat = c.format;
    EXPECT_EQ(radio_controller::RecordingFileName(*system_, Radio(), c.frequency, c.band), Folder() + "/" + c.name);
  }
}

TEST_F(RadioRecordingTest, ATakenNameGetsTheFirstFreeCounter) {
  const std::string base = Folder() + "/FM09850_02032026_1200.mp3";
  std::ofstream(base) << "x";
  std::ofstream(Folder() + "/FM09850_02032026_1200(1).mp3") << "x";
  Radio().m_nRecordFormat = 1;
  EXPECT_EQ(radio_controller::RecordingFileName(*system_, Radio(), 98500000, RADIO_BAND_FM),
            Folder() + "/FM09850_02032026_1200(2).mp3");
  EXPECT_EQ(radio_controller::UniqueFileName(Folder() + "/free.wav"), Folder() + "/free.wav");
}

TEST_F(RadioRecordingTest, ManualRecordingThroughTheEngine) {
  Radio().m_nCurFMFrequency = 98500000;
  Radio().m_nRecordFormat = 1;
  ASSERT_EQ(Enter(), 1);
  page_.calls.clear();
  EXPECT_EQ(Run("Radio Record"), 1);
  const std::string first = Folder() + "/FM09850_02032026_1200.mp3";
  EXPECT_TRUE(Engine().Saw("9 " + first + " 0"));  // MP3 is the engine's format 0
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDING);
  EXPECT_EQ(Radio().m_strRecordingFile, first);
  EXPECT_EQ(system_->States().strRadioRecordFile, first);
  EXPECT_NE(MonitorTimer(), 0u);
  EXPECT_TRUE(page_.Saw("Redraw 0"));
  EXPECT_EQ(freeQueries_.back(), Folder());

  // A second recording while one runs is refused.
  EXPECT_EQ(Run("Radio Record"), 0);

  EXPECT_EQ(Run("Radio Stop"), 1);
  EXPECT_TRUE(Engine().Saw("10"));
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
  EXPECT_EQ(MonitorTimer(), 0u);

  // The same minute again: "(1)" before the extension.
  Radio().m_nRecordFormat = 0;
  std::ofstream(Folder() + "/FM09850_02032026_1200.wav") << "x";
  EXPECT_EQ(Run("Radio Record"), 1);
  EXPECT_TRUE(Engine().Saw("9 " + Folder() + "/FM09850_02032026_1200(1).wav 1"));
}

TEST_F(RadioRecordingTest, FreeSpaceOfTwoHundredMebibytesRefuses) {
  ASSERT_EQ(Enter(), 1);
  struct Case {
    bool known;
    std::uint64_t bytes;
    int answer;
  } cases[] = {{true, 209715200, 0}, {true, 209715199, 0}, {true, 209715201, 1}, {false, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    freeKnown_ = c.known;
    freeBytes_ = c.bytes;
    Engine().calls.clear();
    EXPECT_EQ(Run("Radio Record"), c.answer);
    EXPECT_EQ(Engine().SawSlot(9), c.answer == 1);
    Run("Radio Stop");
  }
}

TEST_F(RadioRecordingTest, FailedStartChangesNothing) {
  frame_.vendor = 4;
  ASSERT_EQ(Enter(), 1);
  Radio().SetRadioPage(3);
  Engine().failing.insert(9);
  EXPECT_EQ(Run("Radio Record"), 0);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
  EXPECT_EQ(Radio().m_nPage, 3);
  EXPECT_EQ(MonitorTimer(), 0u);
  // On the vendor's tuner a recording shows the main station page.
  Engine().failing.clear();
  EXPECT_EQ(Run("Radio Record"), 1);
  EXPECT_EQ(Radio().m_nPage, 17);
}

TEST_F(RadioRecordingTest, ComponentRecordsTheLineAndNeedsASourceDevice) {
  ASSERT_EQ(EnterComponent(), 1);
  Radio().m_nSourceDevice = -1;
  EXPECT_EQ(Run("Radio Record"), 0);
  EXPECT_FALSE(Engine().SawSlot(9));  // the component never records itself
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
}

TEST_F(RadioRecordingTest, ComponentRecordsTheLineWithTheRipperOfTheFormat) {
  auto mp3 = MakeComObject<FakeMp3LineRipper>();
  auto wma = MakeComObject<FakeWmaLineRipper>();
  auto drives = MakeComObject<NamedCaptureEnumerator>();
  core_->drives.Reset();
  core_->services = [&](const IID& iid, void** out) -> HRESULT {
    if (iid == IID_IRadioCore) return fake_->QueryInterface(iid, out);
    if (iid == IID_ICdToMp3) return mp3->QueryInterface(iid, out);
    if (iid == IID_ICdToWma) return wma->QueryInterface(iid, out);
    if (iid == IID_IDriveEnumerator) return drives->QueryInterface(iid, out);
    return E_NOINTERFACE;
  };
  Radio().m_nCurFMFrequency = 98500000;
  ASSERT_EQ(EnterComponent(), 1);
  ASSERT_EQ(Radio().m_nSourceDevice, 0);

  Radio().m_nRecordFormat = 1;
  ASSERT_EQ(Run("Radio Record"), 1);
  const std::string mp3File = Folder() + "/FM09850_02032026_1200.mp3";
  EXPECT_EQ(mp3->calls, (std::vector<std::string>{"3", "6 Test Radio", "9 " + mp3File + " 0", "12"}));
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDING);
  EXPECT_EQ(Radio().m_strRecordingFile, mp3File);
  EXPECT_FALSE(Engine().SawSlot(9));
  mp3->calls.clear();
  ASSERT_EQ(Run("Radio Stop"), 1);
  EXPECT_EQ(mp3->calls, (std::vector<std::string>{"18 0", "14", "4"}));
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);

  // WMA at the middle quality.
  Radio().m_nRecordFormat = 3;
  ASSERT_EQ(Run("Radio Record"), 1);
  EXPECT_EQ(wma->calls[2], "9 " + Folder() + "/FM09850_02032026_1200.wma 64080 0");
  Run("Radio Stop");

  // A ripper that cannot run is let go; nothing records.
  wma->calls.clear();
  wma->failing.insert(12);
  EXPECT_EQ(Run("Radio Record"), 0);
  EXPECT_EQ(wma->calls.back(), "4");
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
  EXPECT_EQ(MonitorTimer(), 0u);
}

TEST_F(RadioRecordingTest, MonitorContinuesInANewFileAtTheSizeLimit) {
  Radio().m_nCurFMFrequency = 98500000;
  Radio().m_nRecordFormat = 1;
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("Radio Record"), 1);
  const std::string first = Radio().m_strRecordingFile;

  MakeSparse(first, 4'141'875'199);
  system_->OnRecordMonitorTimer();
  EXPECT_EQ(Radio().m_strRecordingFile, first);

  MakeSparse(first, 4'141'875'200);
  system_->OnRecordMonitorTimer();
  EXPECT_EQ(Radio().m_strRecordingFile, Folder() + "/FM09850_02032026_1200(1).mp3");
  EXPECT_EQ(Engine().recording, Radio().m_strRecordingFile);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDING);
  EXPECT_NE(MonitorTimer(), 0u);
}

TEST_F(RadioRecordingTest, MonitorStopsWhenTheDiskFills) {
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("Radio Record"), 1);
  freeBytes_ = 209715200;  // exactly the limit: goes on
  system_->OnRecordMonitorTimer();
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDING);
  freeBytes_ = 209715199;
  system_->OnRecordMonitorTimer();
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
  EXPECT_TRUE(Engine().Saw("10"));
  EXPECT_EQ(MonitorTimer(), 0u);
}

TEST_F(RadioRecordingTest, RecordedFilesPlayThroughTheHeldPlayer) {
  auto player = MakeComObject<LoggingPlayer>();
  system_->SetWMPlayer(ComPtr<IWMPlayer>(player.Get()));
  std::ofstream(Folder() + "/b.mp3") << "x";
  std::ofstream(Folder() + "/a.wav") << "x";
  std::ofstream(Folder() + "/notes.txt") << "x";
  ASSERT_EQ(Enter(), 1);
  page_.calls.clear();
  EXPECT_EQ(Run("Radio RecordedRadio Page"), 1);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDED_LIST);
  EXPECT_EQ(Radio().m_nPage, 4);
  // The Radio page shows the recordings: the radio stays the active module
  // and the page goes to its recorded radio page with the list refreshed.
  EXPECT_EQ(Config().m_nActiveModule, MODULE_RADIO);
  EXPECT_TRUE(page_.Saw("ShowCurrentPage 4"));
  EXPECT_GT(page_.IndexOf("RefreshStationList"), page_.IndexOf("ShowCurrentPage 4"));
  EXPECT_EQ(Engine().mute, 1);
  ASSERT_EQ(Radio().m_recordedFiles.size(), 2u);
  EXPECT_EQ(Radio().m_recordedFiles[0].strName, "a.wav");

  EXPECT_EQ(Run("Radio Play"), 1);
  EXPECT_EQ(player->calls.back(), "LoadFile " + Folder() + "/a.wav");
  EXPECT_EQ(Radio().m_nRecordState, RADIO_PLAYING_RECORDING);
  EXPECT_EQ(Run("Radio Pause"), 1);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDING_PAUSED);
  EXPECT_EQ(Run("Radio Play"), 1);
  EXPECT_EQ(player->calls.back(), "Run");
  EXPECT_EQ(Run("Radio Fastforward"), 1);
  EXPECT_DOUBLE_EQ(Radio().m_dPlaybackRate, 2.0);
  // Next and Previous wrap around the list.
  Run("Radio Next");
  EXPECT_EQ(player->calls.back(), "LoadFile " + Folder() + "/b.mp3");
  Run("Radio Next");
  EXPECT_EQ(player->calls.back(), "LoadFile " + Folder() + "/a.wav");
  Run("Radio Previous");
  EXPECT_EQ(player->calls.back(), "LoadFile " + Folder() + "/b.mp3");
  // While paused, Next plays the file it names instead of resuming the old one.
  EXPECT_EQ(Run("Radio Pause"), 1);
  Run("Radio Next");
  EXPECT_EQ(player->calls.back(), "LoadFile " + Folder() + "/a.wav");
  EXPECT_EQ(Radio().m_nCurRecorded, 0);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_PLAYING_RECORDING);

  EXPECT_EQ(Run("Radio Stop"), 1);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDED_LIST);
  EXPECT_EQ(Radio().m_nCurRecorded, -1);
  EXPECT_DOUBLE_EQ(Radio().m_dPlaybackRate, 1.0);

  // A file the player cannot load is no current file.
  player->failLoad = true;
  EXPECT_EQ(Run("Radio Play"), 0);
  EXPECT_EQ(Radio().m_nCurRecorded, -1);

  // Back from the list returns to the radio's main page.
  Run("Radio Back");
  EXPECT_EQ(Config().m_nActiveModule, MODULE_RADIO);
  EXPECT_EQ(Radio().m_nPage, 2);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
  EXPECT_EQ(Engine().mute, 0);
}

TEST_F(RadioRecordingTest, RecordedNavigationOnAnEmptyListDoesNothing) {
  ASSERT_EQ(Enter(), 1);
  Radio().m_recordedFiles.clear();
  Radio().m_nRecordState = RADIO_PLAYING_RECORDING;
  EXPECT_EQ(Run("Radio Next"), 0);
  EXPECT_EQ(Run("Radio Previous"), 0);
}

TEST_F(RadioRecordingTest, VendorFourRefusesTheRecordedPageBeforeMuting) {
  frame_.vendor = 4;
  ASSERT_EQ(Enter(), 1);
  Engine().calls.clear();
  EXPECT_EQ(Run("Radio RecordedRadio Page"), 0);
  EXPECT_FALSE(Engine().SawSlot(5));
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
  EXPECT_EQ(Radio().m_nPage, 17);
}

}  // namespace
}  // namespace radio_test
