// Audio inputs as rip sources, found by name among the inputs GStreamer's
// device monitor lists and the virtual inputs declared in the registry.
#include <gtest/gtest.h>

#include "platform/media/audio_inputs.h"
#include "platform/registry/registry.h"
#include "platform/sys/clock.h"
#include "tests/engines/rip/ripper_client.h"

namespace rip_test {
namespace {

using plat::S_OK;

class RipCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HKEY key = nullptr;
    const std::string path = std::string(plat::media::kVirtualAudioInputsKey) + "\\Test Tone";
    ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, plat::KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
              plat::ERROR_SUCCESS);
    const plat::DWORD hertz = 1000;
    plat::RegSetValueExA(key, "Tone", 0, plat::REG_DWORD, reinterpret_cast<const plat::BYTE*>(&hertz), sizeof hertz);
    plat::RegCloseKey(key);
    // A one-second file that loops for as long as the input is read.
    WriteWav(dir_ / "loop.wav", StereoTone(1.0, 700));
    const std::string loop = std::string(plat::media::kVirtualAudioInputsKey) + "\\Looped File";
    ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, loop.c_str(), 0, nullptr, 0, plat::KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
              plat::ERROR_SUCCESS);
    const std::string file = dir_ / "loop.wav";
    plat::RegSetValueExA(key, "File", 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(file.c_str()),
                         static_cast<plat::DWORD>(file.size() + 1));
    plat::RegCloseKey(key);
  }

  void TearDown() override { plat::SetClock(nullptr); }

  ServerEnvironment environment_;
  TempDir dir_;
  // Progress timers run on this clock; the inputs keep GStreamer's.
  std::shared_ptr<plat::ManualClock> clock_ = [] {
    auto clock = std::make_shared<plat::ManualClock>();
    plat::SetClock(clock);
    return clock;
  }();
};

TEST_F(RipCaptureTest, AVirtualToneInputRecordsUntilStopped) {
  for (Kind kind : {Kind::Mp3, Kind::Wma}) {
    SCOPED_TRACE(KindName(kind));
    RipperClient ripper(kind);
    RecordingSink sink;
    ASSERT_EQ(ripper.Initialize(), S_OK);
    ripper.SetEventSink(&sink);
    ASSERT_EQ(ripper.FindCaptureFilter("Test Tone"), S_OK);
    const std::string output = dir_ / (kind == Kind::Mp3 ? "line-in.mp3" : "line-in.wma");
    ASSERT_EQ(ripper.BuildRipGraph(output), S_OK);
    std::int64_t duration = -1;
    ASSERT_EQ(ripper.GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 0);  // a live input has no length
    ASSERT_EQ(ripper.Run(), S_OK);
    PumpFor(1000);
    // A progress period passes: with no length there is nothing to report.
    clock_->advance(3000);
    PumpFor(1000);
    ASSERT_EQ(ripper.Stop(), S_OK);
    std::int64_t position = 0;
    ASSERT_EQ(ripper.GetPosition(&position), S_OK);
    ripper.Uninitialize();
    EXPECT_TRUE(sink.log.empty());
    const Decoded decoded = Decode(output);
    ASSERT_TRUE(decoded.ok);
    EXPECT_NEAR(decoded.seconds(), 2.0, 0.4);
    EXPECT_NEAR(decoded.seconds(), static_cast<double>(position) / 1e7, 0.08);
    EXPECT_TRUE(ToneDominant(decoded.samples, 1000));
  }
}

TEST_F(RipCaptureTest, AVirtualFileInputLoopsAtTheClocksPace) {
  RipperClient ripper(Kind::Wma);
  RecordingSink sink;
  ASSERT_EQ(ripper.Initialize(), S_OK);
  ripper.SetEventSink(&sink);
  ASSERT_EQ(ripper.FindCaptureFilter("Looped File"), S_OK);
  const std::string output = dir_ / "looped.wma";
  ASSERT_EQ(ripper.BuildRipGraph(output), S_OK);
  ASSERT_EQ(ripper.Run(), S_OK);
  PumpFor(2500);
  ASSERT_EQ(ripper.Stop(), S_OK);
  ripper.Uninitialize();
  EXPECT_TRUE(sink.log.empty());
  const Decoded decoded = Decode(output);
  ASSERT_TRUE(decoded.ok);
  // Read past the file's own second, at the clock's pace.
  EXPECT_NEAR(decoded.seconds(), 2.5, 0.3);
  EXPECT_TRUE(ToneDominant(decoded.samples, 700));
}

TEST_F(RipCaptureTest, AnUnknownInputIsNotFoundAndHoldsNoSource) {
  for (Kind kind : {Kind::Wma, Kind::Mp3}) {
    SCOPED_TRACE(KindName(kind));
    RipperClient ripper(kind);
    ASSERT_EQ(ripper.Initialize(), S_OK);
    ASSERT_EQ(ripper.OpenSource(MediaFixture("av.mkv")), S_OK);
    EXPECT_EQ(ripper.FindCaptureFilter("No Such Input"), static_cast<plat::HRESULT>(0x80040216));
    EXPECT_EQ(ripper.FindCaptureFilter("test tone"), static_cast<plat::HRESULT>(0x80040216));  // exact case
    EXPECT_EQ(ripper.BuildRipGraph(dir_ / "x.wav"), plat::E_FAIL);
    ripper.Uninitialize();
  }
}

TEST_F(RipCaptureTest, TheInputListNamesVirtualInputsByTheirKey) {
  int found = 0;
  for (const plat::media::AudioInput& input : plat::media::ListAudioInputs()) {
    for (const char* name : {"Test Tone", "Looped File"}) found += input.description == name && input.friendlyName == name;
  }
  EXPECT_EQ(found, 2);
}

}  // namespace
}  // namespace rip_test
