// Recording kind 1 on the virtual radio: each format for two seconds, read
// back (codec, rate, bit rate, length, the station's tone), two in a row,
// a recording that cannot start, and muting while recording.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "engines/capture/radiodeck/radio_core.h"
#include "platform/com/object.h"
#include "tests/engines/capture/radiodeck/media_probe.h"
#include "tests/engines/capture/radiodeck/radio_fixture.h"

namespace radio_test {
namespace {

class RadioRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeclareVirtualRadio();
    engine = plat::MakeComObject<CRadioCore>();
    ASSERT_EQ(engine->Open(kRadioKindTuner, nullptr), S_OK);
    ASSERT_EQ(engine->SetFrequency(104'000'000), S_OK);  // the 1500 Hz station
  }
  void TearDown() override {
    if (engine) engine->Close();
    engine.Reset();
    Pump();
  }
  void RecordFor(const std::string& file, int format, int ms) {
    ASSERT_EQ(engine->StartRecord(file.c_str(), format, &sink), S_OK) << format;
    int state = 0;
    engine->GetState(&state);
    EXPECT_EQ(state, kRadioRecording);
    PumpUntil([] { return false; }, ms);
    ASSERT_EQ(engine->Stop(), S_OK);
    engine->GetState(&state);
    EXPECT_EQ(state, kRadioPlaying);
  }

  test_support::TempEnvironment env{"radiorec"};
  plat::ComPtr<CRadioCore> engine;
  RecordingSink sink;
};

TEST_F(RadioRecordTest, EachFormatHoldsTwoSecondsOfTheStation) {
  const struct {
    int format;
    const char* name;
    const char* codec;
    int rate;
    unsigned bitrate;  // 0: not checked
  } cases[] = {
      {kRadioRecordMp3, "a.mp3", "audio/mpeg,layer=3", 48000, 128000},
      {kRadioRecordWav, "b.wav", "audio/x-wav", 48000, 0},
      {kRadioRecordWma32, "c.wma", "audio/x-wma,wmaversion=2", 44100, 32040},
      {kRadioRecordWma64, "d.wma", "audio/x-wma,wmaversion=2", 44100, 64080},
      {kRadioRecordWma128, "e.wma", "audio/x-wma,wmaversion=2", 44100, 128040},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = env.path(c.name);
    sink.calls.clear();
    RecordFor(file, c.format, 2000);
    EXPECT_EQ(sink.Slots({3, 4}), (std::vector<int>{3, 4}));
    const FileFacts facts = Discover(file);
    ASSERT_TRUE(facts.ok);
    EXPECT_EQ(facts.codec, c.codec);
    EXPECT_EQ(facts.rate, c.rate);
    EXPECT_EQ(facts.channels, 2);
    if (c.format == kRadioRecordMp3) {
      // Constant 128 kbit/s, behind a Xing header frame.
      const std::string head = test_support::ReadFile(file).substr(0, 512);
      EXPECT_NE(head.find("Xing"), std::string::npos);
      const auto size = static_cast<double>(std::filesystem::file_size(file));
      EXPECT_NEAR(size * 8 / facts.seconds, 128000, 128000 * 0.03);
    } else if (c.bitrate) {
      EXPECT_EQ(facts.bitrate, c.bitrate);
    }
    EXPECT_NEAR(facts.seconds, 2.0, 0.3);
    if (c.format == kRadioRecordWav) {
      // 48 kHz, 16-bit stereo: 192000 bytes a second, and a 44-byte header.
      const auto size = static_cast<double>(std::filesystem::file_size(file));
      EXPECT_NEAR((size - 44) / 192000.0, 2.0, 0.3);
    }
    const auto samples = DecodeSamples(file);
    ASSERT_GT(samples.size(), 48000u);
    EXPECT_EQ(DominantTone(samples, 48000, {600, 1000, 1500}), 1500);
  }
}

TEST_F(RadioRecordTest, TwoInARowAndPlaybackGoesOn) {
  RecordFor(env.path("one.wav"), kRadioRecordWav, 600);
  ASSERT_EQ(engine->SetFrequency(88'000'000), S_OK);  // the 600 Hz station
  RecordFor(env.path("two.wav"), kRadioRecordWav, 600);
  EXPECT_EQ(DominantTone(DecodeSamples(env.path("one.wav")), 48000, {600, 1000, 1500}), 1500);
  EXPECT_EQ(DominantTone(DecodeSamples(env.path("two.wav")), 48000, {600, 1000, 1500}), 600);
  EXPECT_EQ(sink.Slots({3, 4}), (std::vector<int>{3, 4, 3, 4}));
}

TEST_F(RadioRecordTest, AFailedStartLeavesNothing) {
  // A folder that is not there: the file cannot be made.
  const std::string file = env.path("missing") + "/x.mp3";
  EXPECT_EQ(engine->StartRecord(file.c_str(), kRadioRecordMp3, &sink), E_FAIL);
  EXPECT_FALSE(std::filesystem::exists(file));
  int state = 0;
  engine->GetState(&state);
  EXPECT_EQ(state, kRadioPlaying);
  EXPECT_FALSE(engine->pipeline()->Recording());
  EXPECT_EQ(engine->StartRecord(env.path("x.mp3").c_str(), 7, &sink), E_FAIL) << "no such format";
  EXPECT_FALSE(std::filesystem::exists(env.path("x.mp3")));
  EXPECT_TRUE(sink.calls.empty());
  // And the radio still records afterwards.
  RecordFor(env.path("after.wav"), kRadioRecordWav, 400);
  EXPECT_GT(std::filesystem::file_size(env.path("after.wav")), 44u);
}

TEST_F(RadioRecordTest, MuteKeepsTheRecordingGoing) {
  const std::string file = env.path("muted.wav");
  ASSERT_EQ(engine->StartRecord(file.c_str(), kRadioRecordWav, &sink), S_OK);
  PumpUntil([] { return false; }, 300);
  ASSERT_EQ(engine->SetMute(1), S_OK);
  PumpUntil([] { return false; }, 300);
  ASSERT_EQ(engine->SetMute(0), S_OK);
  PumpUntil([] { return false; }, 300);
  ASSERT_EQ(engine->Stop(), S_OK);
  // The live source never stalled: the file covers the whole time.
  EXPECT_NEAR(Discover(file).seconds, 0.9, 0.25);
}

}  // namespace
}  // namespace radio_test
