// The rippers through the real servers, message loop and event window: media
// files and CD image tracks ripped to WAV, MP3 and WMA, checked by decoding
// what was written.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

#include "interfaces/core_object.h"
#include "interfaces/engines.h"
#include "tests/engines/rip/ripper_client.h"

namespace rip_test {
namespace {

using plat::S_OK;

class RipServerTest : public ::testing::Test {
 protected:
  const std::string& registry() const { return environment_.registryDir(); }
  ServerEnvironment environment_;
  TempDir dir_;
};

struct OutputCase {
  Kind kind;
  const char* output;
};

constexpr OutputCase kOutputs[] = {{Kind::Mp3, "out.wav"}, {Kind::Mp3, "out.mp3"}, {Kind::Wma, "out.wma"}};

// A decoded rip lasts as long as its source (within 80 ms) and carries its tone.
void ExpectTone(const std::string& path, double seconds, double hertz) {
  const Decoded decoded = Decode(path);
  ASSERT_TRUE(decoded.ok) << path;
  EXPECT_NEAR(decoded.seconds(), seconds, 0.08) << path;
  EXPECT_TRUE(ToneDominant(decoded.samples, hertz)) << path;
}

TEST_F(RipServerTest, AToneFileRipsToEachFormatAndEndsOnce) {
  const std::vector<std::int16_t> tone = StereoTone(2.0, 440);
  WriteWav(dir_ / "tone.wav", tone);
  for (const OutputCase& c : kOutputs) {
    SCOPED_TRACE(c.output);
    RipperClient ripper(c.kind);
    ASSERT_EQ(ripper.created(), S_OK);
    RecordingSink sink;
    const std::string output = dir_ / c.output;
    const RipOutcome outcome = RipToEnd(ripper, sink, dir_ / "tone.wav", output);
    ASSERT_EQ(outcome.open, S_OK);
    ASSERT_EQ(outcome.build, S_OK);
    ASSERT_EQ(outcome.run, S_OK);
    ASSERT_TRUE(outcome.ended);
    EXPECT_EQ(sink.Count("finished"), 1);
    EXPECT_EQ(sink.Count("aborted"), 0);
    EXPECT_EQ(outcome.duration, 20'000'000);
    // The end is kept: a complete rip never looks cut short.
    EXPECT_EQ(outcome.position, outcome.duration);
    ExpectTone(output, 2.0, 440);
  }
  // WAV keeps the PCM as it was.
  std::vector<std::uint8_t> source = WavData(dir_ / "tone.wav");
  EXPECT_EQ(WavData(dir_ / "out.wav"), source);
}

TEST_F(RipServerTest, FileNamesWithUnusualCharactersWork) {
  const std::string name = dir_ / "a #1 %20 \xC3\xBC ton.wav";
  WriteWav(name, StereoTone(1.0, 880));
  RipperClient ripper(Kind::Mp3);
  RecordingSink sink;
  const std::string output = dir_ / "\xC3\xB6 #2 %d % out.mp3";
  const RipOutcome outcome = RipToEnd(ripper, sink, name, output);
  ASSERT_EQ(outcome.open, S_OK);
  ASSERT_EQ(outcome.build, S_OK);
  ASSERT_TRUE(outcome.ended);
  ExpectTone(output, 1.0, 880);

  // The same through the UTF-16 entry.
  RipperClient wide(Kind::Wma);
  ASSERT_EQ(wide.Initialize(), S_OK);
  EXPECT_EQ(wide.OpenSourceW(u"" + plat::Utf8ToUtf16(name)), S_OK);
  wide.Uninitialize();
}

TEST_F(RipServerTest, AMissingFileIsRefusedAndBuildNeedsASource) {
  for (Kind kind : {Kind::Wma, Kind::Mp3}) {
    SCOPED_TRACE(KindName(kind));
    RipperClient ripper(kind);
    ASSERT_EQ(ripper.Initialize(), S_OK);
    EXPECT_EQ(ripper.OpenSource(dir_ / "missing.wav"), static_cast<plat::HRESULT>(0x80070002));
    std::ofstream(dir_ / "notes.txt") << "not a media file\n";
    EXPECT_EQ(ripper.OpenSource(dir_ / "notes.txt"), plat::E_FAIL);
    EXPECT_EQ(ripper.BuildRipGraph(dir_ / "out.wav"), plat::E_FAIL);
    EXPECT_EQ(ripper.Run(), plat::E_FAIL);
    ripper.Uninitialize();
  }
}

TEST_F(RipServerTest, ANoticeArrivingAfterUninitializeReachesNothing) {
  WriteWav(dir_ / "short.wav", StereoTone(0.3, 440));
  for (Kind kind : {Kind::Wma, Kind::Mp3}) {
    SCOPED_TRACE(KindName(kind));
    RipperClient ripper(kind);
    RecordingSink sink;
    ASSERT_EQ(ripper.Initialize(), S_OK);
    ripper.SetEventSink(&sink);
    ASSERT_EQ(ripper.OpenSource(dir_ / "short.wav"), S_OK);
    ASSERT_EQ(ripper.BuildRipGraph(dir_ / (kind == Kind::Wma ? "short.wma" : "short.mp3")), S_OK);
    ASSERT_EQ(ripper.Run(), S_OK);
    // The end is queued and its notice posted while nobody pumps.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(ripper.Uninitialize(), S_OK);
    PumpFor(200);
    EXPECT_TRUE(sink.log.empty());
  }
}

TEST_F(RipServerTest, ReleasingAnOlderWmaRipperLeavesTheNewerOneReporting) {
  WriteWav(dir_ / "tone.wav", StereoTone(0.5, 440));
  auto older = std::make_unique<RipperClient>(Kind::Wma);
  RipperClient newer(Kind::Wma);
  older.reset();
  RecordingSink sink;
  const RipOutcome outcome = RipToEnd(newer, sink, dir_ / "tone.wav", dir_ / "newer.wma");
  ASSERT_EQ(outcome.build, S_OK);
  EXPECT_TRUE(outcome.ended);
  EXPECT_EQ(sink.log, std::vector<std::string>{"finished"});
}

TEST_F(RipServerTest, APreviewRipPlaysWhileItWritesAndShowsNoVideo) {
  WriteWav(dir_ / "tone.wav", StereoTone(1.0, 440));
  for (Kind kind : {Kind::Wma, Kind::Mp3}) {
    SCOPED_TRACE(KindName(kind));
    RipperClient ripper(kind);
    RecordingSink sink;
    ASSERT_EQ(ripper.Initialize(), S_OK);
    ripper.SetEventSink(&sink);
    ASSERT_EQ(ripper.OpenSource(dir_ / "tone.wav"), S_OK);
    const std::string output = dir_ / (kind == Kind::Wma ? "preview.wma" : "preview.mp3");
    ASSERT_EQ(ripper.BuildRipGraph(output, 1), S_OK);
    // The graph renders no video: the video slots answer so.
    EXPECT_EQ(ripper.ShowVideo(1), plat::E_NOINTERFACE);
    EXPECT_EQ(ripper.SetVideoOwner(nullptr), plat::E_NOINTERFACE);
    ASSERT_EQ(ripper.Run(), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return sink.Ended(); }, 20000));
    EXPECT_EQ(sink.log, std::vector<std::string>{"finished"});
    ripper.Uninitialize();
    ExpectTone(output, 1.0, 440);
  }
}

TEST_F(RipServerTest, TheCoreObjectHandsOutBothRippers) {
  plat::ComPtr<plat::IUnknown> core;
  ASSERT_EQ(plat::CoCreateInstance(CLSID_CoreObject, nullptr, plat::CLSCTX_INPROC_SERVER, plat::IID_IUnknown,
                                   reinterpret_cast<void**>(&core)),
            S_OK);
  plat::ComPtr<ICdToWma> wma;
  plat::ComPtr<ICdToMp3> mp3;
  ASSERT_EQ(core->QueryInterface(IID_ICdToWma, reinterpret_cast<void**>(&wma)), S_OK);
  ASSERT_EQ(core->QueryInterface(IID_ICdToMp3, reinterpret_cast<void**>(&mp3)), S_OK);
  EXPECT_EQ(wma->Initialize(), S_OK);
  EXPECT_EQ(mp3->Initialize(), S_OK);
  EXPECT_EQ(mp3->IsEncoderAvailable(), 1);
  // Before a preview build the video slots answer as without a video window.
  EXPECT_EQ(wma->ShowVideo(1), S_OK);
  EXPECT_EQ(wma->SetVideoOwner(nullptr), plat::E_FAIL);
  EXPECT_EQ(wma->Uninitialize(), S_OK);
  EXPECT_EQ(mp3->Uninitialize(), S_OK);
}

TEST_F(RipServerTest, SelfcheckCreatesBothClasses) {
  const std::string command = std::string("MARIVEL_REGISTRY_DIR=") + registry() + " " + RIP_SELFCHECK + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) output += line;
  ::pclose(pipe);
  EXPECT_NE(output.find("Kestrovia WMA Ripper: ok"), std::string::npos) << output;
  EXPECT_NE(output.find("Kestrovia MP3 Ripper: ok"), std::string::npos) << output;
}

}  // namespace
}  // namespace rip_test
