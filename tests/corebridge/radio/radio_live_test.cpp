// The Radio controller on the real radio engine and the virtual radio of
// three stations (one without RDS), with a recording Radio page and the
// fixture's fixed clock: start, the band scan, RDS, tuning and a recording.
#include <chrono>
#include <filesystem>
#include <thread>

#include "engines/capture/radiodeck/radio_core.h"
#include "tests/corebridge/radio/radio_test_support.h"
#include "tests/engines/capture/radiodeck/radio_fixture.h"

namespace radio_test {
namespace {

class RadioLiveTest : public RadioTest {
 protected:
  void SetUp() override {
    RadioTest::SetUp();
    DeclareVirtualRadio();
    engine_ = MakeComObject<CRadioCore>();
    core_->services = [this](const IID& iid, void** out) -> HRESULT {
      if (iid == IID_IRadioCore) return engine_->QueryInterface(iid, out);
      return E_NOINTERFACE;
    };
  }
  void TearDown() override {
    if (system_ && Config().m_nActiveModule == MODULE_RADIO) Run("Radio Exit");
    if (engine_) engine_->Close();
    engine_.Reset();
    radio_test::Pump();
    RadioTest::TearDown();
  }
  bool PumpUntil(const std::function<bool()>& done, int ms) { return radio_test::PumpUntil(done, ms); }

  ComPtr<CRadioCore> engine_;
};

TEST_F(RadioLiveTest, ScanFindsTheThreeStationsAndTunesTheFirst) {
  Radio().m_nCurFMFrequency = 95500000;
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Radio().m_bRadioText, 1);
  EXPECT_EQ(Radio().m_nFMMin, 76000000);
  EXPECT_EQ(Radio().m_nFMMax, 108000000);
  int frequency = 0;
  engine_->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 95500000);

  Radio().m_nFMAutoScanScale = 50000;
  ASSERT_EQ(Run("Radio AutoScan"), 1);
  ASSERT_TRUE(PumpUntil([this] { return Radio().m_nRecordState == RADIO_SCANNING; }, 5000));
  ASSERT_TRUE(PumpUntil([this] { return Radio().m_nRecordState == RADIO_LISTENING; }, 30000));
  std::vector<int> found;
  for (const RadioStation& s : Radio().m_fmStations) found.push_back(s.nFrequency);
  EXPECT_EQ(found, (std::vector<int>{88000000, 95500000, 104000000}));
  EXPECT_EQ(Radio().m_nCurFMStation, 0);
  engine_->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 88000000);

  // The station's RDS name reaches the section on the main page.
  Radio().SetRadioPage(2);
  // (the programme service name comes padded to its eight characters).
  EXPECT_TRUE(PumpUntil([this] { return Radio().m_strRdsStation.rfind("ALPHA", 0) == 0; }, 8000));
  // Next station, and the signal poll.
  EXPECT_EQ(Run("Radio Next"), 0);  // the station road answers 0 for Next
  engine_->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 95500000);
  EXPECT_EQ(system_->RadioCommand(0, 0), 1);
  EXPECT_EQ(Radio().m_nStoredSignal, 5);
}

TEST_F(RadioLiveTest, SeekAndFineTuneOnTheVirtualBand) {
  Radio().m_nCurFMFrequency = 90000000;
  Radio().m_nFMAutoScanScale = 100000;
  ASSERT_EQ(Enter(), 1);
  EXPECT_EQ(Run("Radio ForwardScan"), 1);
  int frequency = 0;
  engine_->GetFrequency(&frequency);
  // Level 4 from 50 kHz off the station (95.5 MHz) onwards.
  EXPECT_GE(frequency, 95400000);
  EXPECT_LE(frequency, 95500000);

  ASSERT_EQ(Run("Radio Set Frequency Value", 108000000), 1);
  EXPECT_EQ(Run("Radio Finetune Up"), 1);
  engine_->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 108000000);
}

TEST_F(RadioLiveTest, RecordsTheTunedStationIntoANamedFile) {
  Radio().m_nCurFMFrequency = 104000000;
  Radio().m_nRecordFormat = 0;  // WAV
  ASSERT_EQ(Enter(), 1);
  ASSERT_EQ(Run("Radio Record"), 1);
  const std::string file = Radio().m_strRecordFolder + "/FM10400_02032026_1200.wav";
  EXPECT_EQ(Radio().m_strRecordingFile, file);
  EXPECT_EQ(Radio().m_nRecordState, RADIO_RECORDING);
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(800);
  PumpUntil([&] { return std::chrono::steady_clock::now() >= until; }, 2000);
  ASSERT_EQ(Run("Radio Stop"), 1);
  radio_test::Pump();
  EXPECT_EQ(Radio().m_nRecordState, RADIO_LISTENING);
  ASSERT_TRUE(std::filesystem::exists(file));
  // Half a second of 48 kHz stereo 16-bit sound at least.
  EXPECT_GT(std::filesystem::file_size(file), 96000u);
}

}  // namespace
}  // namespace radio_test
