// Audio CDs on a virtual writer: sound files decoded to CD-DA tracks in a
// CUE/BIN image that the music player's CD reader sees as a disc, whose
// track samples are the files' samples, bit for bit.
#include <cdio/cdio.h>

#include <cmath>
#include <filesystem>

#include "engines/playback/wmhost/library/cd_toc.h"
#include "outside/authoring/audio_cd.h"
#include "tests/outside/authoring/engine_harness.h"

namespace authoring_test {
namespace {

namespace fs = std::filesystem;

// 44.1 kHz 16-bit stereo samples of a tone, left and right apart.
std::string TonePcm(double seconds, double hz) {
  const std::size_t frames = static_cast<std::size_t>(std::lround(seconds * 44100));
  std::string pcm;
  pcm.reserve(frames * 4);
  for (std::size_t i = 0; i < frames; ++i) {
    const auto left = static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * M_PI * hz * static_cast<double>(i) / 44100)));
    const auto right = static_cast<std::int16_t>(-left / 2);
    for (std::int16_t v : {left, right}) {
      pcm.push_back(static_cast<char>(v & 0xFF));
      pcm.push_back(static_cast<char>((v >> 8) & 0xFF));
    }
  }
  return pcm;
}

std::string Le32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string Le16(std::uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }

std::string Wav(const std::string& pcm) {
  return "RIFF" + Le32(static_cast<std::uint32_t>(36 + pcm.size())) + "WAVEfmt " + Le32(16) + Le16(1) + Le16(2) +
         Le32(44100) + Le32(44100 * 4) + Le16(4) + Le16(16) + "data" + Le32(static_cast<std::uint32_t>(pcm.size())) + pcm;
}

class AudioCdTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    fs::create_directories(Path("discs"));
    sheet_ = Path("discs/disc.cue");
    DeclareDrive('D', sheet_, "cdrom", true);
  }
  void Elements(const std::vector<std::string>& paths) {
    ASSERT_EQ(engine_->Initialize(), plat::S_OK);
    ASSERT_EQ(engine_->SetDiscType(kAuthoringDiscAudioCd), plat::S_OK);
    for (const auto& p : paths) ASSERT_EQ(engine_->AddElement(p.c_str()), plat::S_OK);
  }
  std::string sheet_;
};

TEST_F(AudioCdTest, ThreeTonesBecomeThreeTracksWithTheirOwnSamples) {
  const std::vector<std::string> pcm = {TonePcm(1.0, 440), TonePcm(2.5, 1000), TonePcm(0.7, 660)};
  std::vector<std::string> files;
  for (std::size_t i = 0; i < pcm.size(); ++i) files.push_back(Write("tones/tone" + std::to_string(i) + ".wav", Wav(pcm[i])));
  Elements(files);

  RecordingSink sink;
  ASSERT_TRUE(Burn(sink, Path("work")));
  ASSERT_EQ(sink.statuses.back().stage, kAuthoringStageDone) << std::hex << sink.statuses.back().result;
  EXPECT_TRUE(fs::is_regular_file(Path("discs/disc.bin")));
  EXPECT_TRUE(fs::is_empty(Path("work")));

  // The player's CD reader: three audio tracks, each the tone padded to
  // whole sectors.
  std::string error;
  const auto toc = wmhost::ReadCdTableOfContents(sheet_, &error);
  ASSERT_TRUE(toc.has_value()) << error;
  ASSERT_EQ(toc->tracks.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(toc->tracks[i].audio);
    const auto sectors = static_cast<unsigned>((pcm[i].size() + 2351) / 2352);
    EXPECT_EQ(toc->tracks[i].sectors, sectors);
  }

  // Track 2 read back through libcdio is the second file's samples.
  CdIo_t* cd = cdio_open(sheet_.c_str(), DRIVER_UNKNOWN);
  ASSERT_NE(cd, nullptr);
  const lsn_t first = cdio_get_track_lsn(cd, 2);
  const unsigned sectors = toc->tracks[1].sectors;
  std::string read(static_cast<std::size_t>(sectors) * 2352, '\0');
  EXPECT_EQ(cdio_read_audio_sectors(cd, read.data(), first, sectors), DRIVER_OP_SUCCESS);
  cdio_destroy(cd);
  EXPECT_TRUE(read.compare(0, pcm[1].size(), pcm[1]) == 0);
  EXPECT_EQ(read.find_first_not_of('\0', pcm[1].size()), std::string::npos);  // silence after
}

TEST_F(AudioCdTest, AFileThatIsNoSoundFailsTheJobAndKeepsThePreviousDisc) {
  test_support::WriteFile(sheet_, "previous sheet");
  test_support::WriteFile(Path("discs/disc.bin"), "previous data");
  const std::string good = Write("tones/good.wav", Wav(TonePcm(0.5, 440)));
  const std::string bad = Write("tones/bad.mp3", std::string(5000, 'x'));
  const std::string cut = Wav(TonePcm(0.5, 440)).substr(0, 30);  // header cut short
  const std::string truncated = Write("tones/cut.wav", cut);
  for (const std::string& broken : {bad, truncated}) {
    SCOPED_TRACE(broken);
    Elements({good, broken});
    RecordingSink sink;
    ASSERT_TRUE(Burn(sink, Path("work")));
    EXPECT_EQ(sink.statuses.back().stage, kAuthoringStageFailed);
    EXPECT_EQ(sink.statuses.back().element, 1);
    EXPECT_EQ(test_support::ReadFile(sheet_), "previous sheet");
    EXPECT_EQ(test_support::ReadFile(Path("discs/disc.bin")), "previous data");
    EXPECT_TRUE(fs::is_empty(Path("work")));
  }
}

TEST(CueSheet, TimesAndTracks) {
  EXPECT_EQ(authoring::CueTime(0), "00:00:00");
  EXPECT_EQ(authoring::CueTime(74), "00:00:74");
  EXPECT_EQ(authoring::CueTime(75 * 61 + 3), "01:01:03");
  authoring::CdLayout layout;
  layout.trackStarts = {0, 188};
  layout.sectors = 300;
  EXPECT_EQ(authoring::AudioCueSheet("a b.bin", layout),
            "FILE \"a b.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 01 00:02:38\n");
}

}  // namespace
}  // namespace authoring_test
