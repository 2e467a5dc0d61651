// CD tracks as rip sources: "X:\TrackNN.cda" on a virtual drive holding a
// CUE/BIN image (read through libcdio), and the refusals when the drive has
// no readable audio disc.
#include <gtest/gtest.h>

#include <memory>

#include "platform/sys/drive_table.h"
#include "tests/engines/rip/ripper_client.h"

namespace rip_test {
namespace {

using plat::S_OK;

constexpr double kTrackSeconds = 2.0;
const std::vector<double> kTrackTones = {440, 660, 990};

class RipCdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cue_ = WriteCdImage(dir_.path(), kTrackTones, kTrackSeconds, &pcm_);
    auto volumes = std::make_shared<plat::FakeVolumeSource>();
    plat::VolumeInfo disc;
    disc.letter = 'R';
    disc.type = plat::DRIVE_CDROM;
    disc.isVirtual = true;
    disc.image = cue_;
    volumes->volumes.push_back(disc);
    plat::VolumeInfo drive;  // a real drive whose device is gone
    drive.letter = 'S';
    drive.type = plat::DRIVE_CDROM;
    drive.device = dir_ / "no-such-device";
    volumes->volumes.push_back(drive);
    plat::VolumeInfo dataDisc;  // a Video CD: data tracks only
    dataDisc.letter = 'V';
    dataDisc.type = plat::DRIVE_CDROM;
    dataDisc.isVirtual = true;
    dataDisc.image = MediaFixture("vcd.cue");
    volumes->volumes.push_back(dataDisc);
    plat::SetVolumeSource(volumes);
  }
  void TearDown() override { plat::SetVolumeSource(nullptr); }

  ServerEnvironment environment_;
  TempDir dir_;
  std::string cue_;
  std::vector<std::vector<std::uint8_t>> pcm_;
};

TEST_F(RipCdTest, TrackTwoOfAnImageRipsToEachFormat) {
  struct Case {
    Kind kind;
    const char* output;
  };
  for (const Case& c : {Case{Kind::Mp3, "track.wav"}, Case{Kind::Mp3, "track.mp3"}, Case{Kind::Wma, "track.wma"}}) {
    SCOPED_TRACE(c.output);
    RipperClient ripper(c.kind);
    RecordingSink sink;
    const std::string output = dir_ / c.output;
    const RipOutcome outcome = RipToEnd(ripper, sink, "R:\\Track02.cda", output);
    ASSERT_EQ(outcome.open, S_OK);
    ASSERT_EQ(outcome.build, S_OK);
    ASSERT_TRUE(outcome.ended);
    EXPECT_EQ(sink.Count("finished"), 1);
    EXPECT_NEAR(static_cast<double>(outcome.duration) / 1e7, kTrackSeconds, 0.014);
    const Decoded decoded = Decode(output);
    ASSERT_TRUE(decoded.ok);
    EXPECT_NEAR(decoded.seconds(), kTrackSeconds, 0.08);
    EXPECT_TRUE(ToneDominant(decoded.samples, kTrackTones[1]));
  }
  // The WAV holds the track's own samples, bit for bit.
  EXPECT_TRUE(WavData(dir_ / "track.wav") == pcm_[1]);
}

TEST_F(RipCdTest, TrackPathsWithoutAReadableTrackAreRefused) {
  struct Case {
    const char* path;
    plat::HRESULT expected;
  };
  const Case cases[] = {
      {"R:\\Track04.cda", static_cast<plat::HRESULT>(0x80070002)},  // the disc has three
      {"S:\\Track01.cda", static_cast<plat::HRESULT>(0x80070015)},  // device missing
      {"T:\\Track01.cda", static_cast<plat::HRESULT>(0x80070015)},  // no such drive
      {"V:\\Track01.cda", static_cast<plat::HRESULT>(0x80070015)},  // no audio on the disc
      {"R:\\Track00.cda", static_cast<plat::HRESULT>(0x80070002)},  // not a track path at all
  };
  for (Kind kind : {Kind::Wma, Kind::Mp3}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(KindName(kind)) + " " + c.path);
      RipperClient ripper(kind);
      ASSERT_EQ(ripper.Initialize(), S_OK);
      EXPECT_EQ(ripper.OpenSource(c.path), c.expected);
      EXPECT_EQ(ripper.BuildRipGraph(dir_ / "x.wav"), plat::E_FAIL);
      ripper.Uninitialize();
    }
  }
}

}  // namespace
}  // namespace rip_test
