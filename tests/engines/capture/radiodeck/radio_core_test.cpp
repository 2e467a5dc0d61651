// The radio engine, kind 1, on the virtual radio: opening, tuning, signal,
// the station search with its events on the engine's thread, RDS through
// the reader, and the calls kind 1 refuses.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engines/capture/radiodeck/radio_core.h"
#include "platform/com/object.h"
#include "platform/media/radio/v4l2_radio.h"
#include "tests/engines/capture/radiodeck/radio_fixture.h"

namespace radio_test {
namespace {

class RadioCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeclareVirtualRadio();
    engine = plat::MakeComObject<CRadioCore>();
  }
  void TearDown() override {
    if (engine) engine->Close();
    engine.Reset();
    Pump();
  }
  int State() {
    int state = -1;
    engine->GetState(&state);
    return state;
  }
  int Level() {
    int level = -1;
    EXPECT_EQ(engine->GetSignalStrength(&level), S_OK);
    return level;
  }

  test_support::TempEnvironment env{"radiodeck"};
  plat::ComPtr<CRadioCore> engine;
  RecordingSink sink;
};

TEST_F(RadioCoreTest, OpensTheTunerAndTunes) {
  EXPECT_EQ(engine->Open(3, nullptr), E_FAIL);
  EXPECT_EQ(State(), kRadioClosed);
  ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
  EXPECT_EQ(State(), kRadioPlaying);
  int value = 0;
  engine->GetDeviceId(&value);
  EXPECT_EQ(value, kRadioDeviceTuner);
  engine->GetBandLow(&value, 1);
  EXPECT_EQ(value, 76'000'000);
  engine->GetBandHigh(&value, 1);
  EXPECT_EQ(value, 108'000'000);

  ASSERT_EQ(engine->SetFrequency(88'000'000), S_OK);
  engine->GetFrequency(&value);
  EXPECT_EQ(value, 88'000'000);
  EXPECT_EQ(Level(), 5);
  int strong = 0;
  ASSERT_EQ(engine->IsSignalStrong(&strong), S_OK);
  EXPECT_EQ(strong, 1);
  ASSERT_EQ(engine->SetFrequency(88'050'000), S_OK);
  EXPECT_EQ(Level(), 3);
  engine->IsSignalStrong(&strong);
  EXPECT_EQ(strong, 0);
  EXPECT_EQ(engine->SetFrequency(120'000'000), E_FAIL);

  // What only the outside component does.
  EXPECT_EQ(engine->GetBand(&value), E_FAIL);
  EXPECT_EQ(engine->SetBand(1), E_FAIL);
  EXPECT_EQ(engine->SetArea(0), E_FAIL);
  EXPECT_EQ(engine->GetStereo(&value), E_FAIL);
  double presets[20] = {};
  EXPECT_EQ(engine->SetComponentOption15(presets), E_FAIL);
  float progress = 0;
  EXPECT_EQ(engine->GetScanProgress(&progress), E_FAIL) << "not searching";

  ASSERT_EQ(engine->SetMute(1), S_OK);
  EXPECT_TRUE(engine->pipeline()->Muted());
  ASSERT_EQ(engine->SetMute(0), S_OK);
  EXPECT_FALSE(engine->pipeline()->Muted());

  ASSERT_EQ(engine->Close(), S_OK);
  EXPECT_EQ(State(), kRadioClosed);
  EXPECT_EQ(engine->SetFrequency(88'000'000), E_FAIL);
}

TEST_F(RadioCoreTest, WithoutARadioOpenFails) {
  test_support::TempEnvironment bare("radiobare");
  if (!plat::radio::FindRadioDevices().empty()) GTEST_SKIP() << "this machine has a radio";
  EXPECT_EQ(engine->Open(kRadioKindTuner, nullptr), E_FAIL);
  EXPECT_EQ(State(), kRadioClosed);
}

TEST_F(RadioCoreTest, SearchReportsEachStationOnceOnTheEngineThread) {
  ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
  ASSERT_EQ(engine->StartScan(50'000, &sink), S_OK);
  EXPECT_EQ(State(), kRadioSearching);
  float progress = -1;
  EXPECT_EQ(engine->GetScanProgress(&progress), S_OK);
  EXPECT_GE(progress, 0.0f);
  ASSERT_TRUE(PumpUntil([&] { return sink.Has(2); }, 20000));
  EXPECT_EQ(State(), kRadioPlaying);
  EXPECT_EQ(sink.Slots({0, 1, 2}), (std::vector<int>{0, 1, 1, 1, 2}));
  EXPECT_EQ(sink.Found(), (std::vector<int>{88'000'000, 95'500'000, 104'000'000}));
  for (const Call& c : sink.calls) EXPECT_EQ(c.thread, std::this_thread::get_id()) << "slot " << c.slot;
}

TEST_F(RadioCoreTest, SearchWithRdsWaitsForTheRadioText) {
  ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
  ASSERT_EQ(engine->InitTunerCard(0, &sink), S_OK);
  ASSERT_EQ(engine->StartScan(50'000, &sink), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return sink.Has(2); }, 30000));
  EXPECT_EQ(sink.Slots({0, 1, 2}), (std::vector<int>{0, 1, 1, 1, 2}));
  EXPECT_EQ(sink.Found(), (std::vector<int>{88'000'000, 95'500'000, 104'000'000}));
  EXPECT_TRUE(sink.Has(6, "Alpha plays it all"));
  EXPECT_TRUE(sink.Has(6, "News on the hour"));
  for (const Call& c : sink.calls) EXPECT_EQ(c.thread, std::this_thread::get_id()) << "slot " << c.slot;
  EXPECT_EQ(engine->ReleaseTunerCard(), S_OK);
}

TEST_F(RadioCoreTest, StopEndsTheSearchAndStillReportsItsEnd) {
  ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
  ASSERT_EQ(engine->InitTunerCard(0, &sink), S_OK);
  // A fine step, so the search is still running when it is stopped.
  ASSERT_EQ(engine->StartScan(500, &sink), S_OK);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(engine->Stop(), S_OK);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(State(), kRadioPlaying);
  ASSERT_TRUE(PumpUntil([&] { return sink.Has(2); }, 2000)) << "slot 2 after a stop";
  EXPECT_EQ(sink.Slots({0, 2}), (std::vector<int>{0, 2}));
}

TEST_F(RadioCoreTest, RdsNamesTheStationAndForgetsItOnRetune) {
  ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
  ASSERT_EQ(engine->InitTunerCard(0, &sink), S_OK);
  ASSERT_EQ(engine->SetFrequency(104'000'000), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return sink.Has(9) && sink.Has(6, "News on the hour") && sink.Has(8); }, 8000));
  EXPECT_TRUE(sink.Has(9, "CHARLIE "));
  EXPECT_TRUE(sink.Has(7, "News"));
  sink.calls.clear();
  ASSERT_EQ(engine->SetFrequency(95'500'000), S_OK);
  // The station there sends no RDS: its radio text, name, programme type
  // and clock are reported empty, nothing of CHARLIE's is left.
  ASSERT_TRUE(PumpUntil([&] { return sink.Has(6) && sink.Has(7) && sink.Has(8) && sink.Has(9); }, 2000));
  EXPECT_EQ(sink.calls.front().slot, 6);
  for (const Call& c : sink.calls) EXPECT_EQ(c.text, "") << "slot " << c.slot << ": no station keeps the previous one's";
  EXPECT_EQ(engine->ReleaseTunerCard(), S_OK);
  for (const Call& c : sink.calls) EXPECT_EQ(c.thread, std::this_thread::get_id());
}

TEST_F(RadioCoreTest, OpenAgainClosesFirst) {
  ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
  ASSERT_EQ(engine->InitTunerCard(0, &sink), S_OK);
  ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
  EXPECT_EQ(State(), kRadioPlaying);
  ASSERT_EQ(engine->SetFrequency(88'000'000), S_OK);
  EXPECT_EQ(Level(), 5);
}

}  // namespace
}  // namespace radio_test

namespace radio_test {
namespace {

// A tuner whose band is a single frequency and whose signal reading waits
// until the test lets it go, so a search can be caught while it runs.
class OneFrequencyTuner final : public plat::radio::IRadioTuner {
 public:
  std::string Name() const override { return "One"; }
  std::vector<plat::radio::RadioBand> Bands() const override {
    return {{plat::radio::Modulation::kFm, 98'000'000, 98'000'000}};
  }
  bool SetFrequency(std::int64_t hz) override { return hz == 98'000'000; }
  std::int64_t Frequency() const override { return 98'000'000; }
  int Signal() const override {
    std::unique_lock lock(mutex_);
    reading_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return released_; });
    return 0;
  }
  bool Stereo() const override { return false; }
  bool SetMute(bool) override { return true; }
  bool Muted() const override { return false; }
  bool HasRds() const override { return false; }
  std::optional<plat::radio::RdsBlock> NextRdsBlock(int) override { return std::nullopt; }
  GstElement* MakeAudioSource() override { return plat::radio::SharedVirtualRadio()->MakeAudioSource(); }

  void WaitReading() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return reading_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable bool reading_ = false;
  bool released_ = false;
};

TEST(RadioCoreEdgesTest, ProgressWithEqualBandEdgesFails) {
  test_support::TempEnvironment env("radioedge");
  DeclareVirtualRadio();  // for the sound alone
  auto tuner = std::make_shared<OneFrequencyTuner>();
  auto engine = plat::MakeComObject<CRadioCore>([tuner] { return tuner; });
  ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
  RecordingSink sink;
  ASSERT_EQ(engine->StartScan(50'000, &sink), S_OK);
  tuner->WaitReading();
  int state = 0;
  engine->GetState(&state);
  EXPECT_EQ(state, kRadioSearching);
  float progress = -1;
  EXPECT_EQ(engine->GetScanProgress(&progress), E_FAIL) << "no division by a zero-wide band";
  tuner->Release();
  ASSERT_TRUE(PumpUntil([&] { return sink.Has(2); }, 2000));
  EXPECT_TRUE(sink.Found().empty());
  engine->Close();
}

}  // namespace
}  // namespace radio_test
