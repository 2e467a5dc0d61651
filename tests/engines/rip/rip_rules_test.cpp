// The rip engines' rules on their own: progress reports, the Windows Media
// profile builder over an injected codec catalogue, and the MP3 compressor
// choice over an injected compressor catalogue.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engines/rip/mp3_catalogue.h"
#include "engines/rip/rip_engine.h"
#include "engines/rip/rip_source.h"
#include "engines/rip/wma_profile.h"
#include "tests/engines/rip/rip_fixtures.h"

namespace rip {
namespace {

using plat::E_FAIL;
using plat::E_INVALIDARG;
using plat::S_FALSE;
using plat::S_OK;

// ---- progress reports ----

TEST(RipProgressTest, EachStepReportsAsItsVariantDoes) {
  struct Case {
    const char* name;
    Variant variant;
    std::int64_t position, duration;
    int answer;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"wma halfway", Variant::Wma, 5, 10, 1, {"progress"}},
      {"wma answered 0 finishes", Variant::Wma, 5, 10, 0, {"progress", "finished"}},
      {"mp3 halfway", Variant::Mp3, 5, 10, 1, {"progress"}},
      {"mp3 answered 0 aborts", Variant::Mp3, 5, 10, 0, {"progress", "aborted"}},
      {"mp3 exactly at the end finishes only", Variant::Mp3, 10, 10, 0, {"finished"}},
      {"mp3 past the end reports nothing", Variant::Mp3, 11, 10, 0, {}},
      {"mp3 just below the end rounds to 1.0", Variant::Mp3, 999'999'999, 1'000'000'000, 1, {"progress", "finished"}},
      {"unknown duration reports nothing", Variant::Wma, 5, 0, 0, {}},
      {"unknown duration reports nothing (mp3)", Variant::Mp3, 5, 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rip_test::RecordingSink sink;
    sink.answer = c.answer;
    bool finished = false;
    ReportProgress(c.variant, &sink, c.position, c.duration, finished);
    EXPECT_EQ(sink.log, c.expected);
  }
}

TEST(RipProgressTest, TheMp3EndIsReportedOncePerRun) {
  rip_test::RecordingSink sink;
  bool finished = false;
  ReportProgress(Variant::Mp3, &sink, 10, 10, finished);
  ReportProgress(Variant::Mp3, &sink, 10, 10, finished);
  EXPECT_EQ(sink.Count("finished"), 1);
  bool fresh = false;
  ReportProgress(Variant::Mp3, nullptr, 10, 10, fresh);  // no sink: nothing
  EXPECT_FALSE(fresh);
}

// ---- CD track paths ----

TEST(CdTrackPathTest, ADriveRootAndTrackNN) {
  struct Case {
    const char* path;
    bool parsed;
    const char* root;
    int index;
  };
  const Case cases[] = {
      {"D:\\Track03.cda", true, "D:", 3},    {"d:/track12.CDA", true, "d:", 12}, {"R:Track01.cda", true, "R:", 1},
      {"D:\\Track3.cda", false, "", 0},      {"D:\\Track00.cda", false, "", 0}, {"D:\\sub\\Track01.cda", false, "", 0},
      {"1:\\Track01.cda", false, "", 0},     {"D:\\Track01.wav", false, "", 0}, {"/music/Track01.cda", false, "", 0},
      {"", false, "", 0},
  };
  for (const Case& c : cases) {
    std::string root;
    int index = 0;
    EXPECT_EQ(ParseCdTrackPath(c.path, &root, &index), c.parsed) << c.path;
    if (!c.parsed) continue;
    EXPECT_EQ(root, c.root) << c.path;
    EXPECT_EQ(index, c.index) << c.path;
  }
}

// ---- the Windows Media profile ----

CodecFormat Wma(std::uint32_t rate, std::uint16_t channels, std::uint32_t avgBytes, std::uint16_t align,
                const char* encoder = "a") {
  CodecFormat f;
  f.type = FormatType::WaveFormatEx;
  f.wave = {kWaveFormatWma2, channels, rate, avgBytes, align, 16};
  f.encoder = encoder;
  return f;
}

CodecFormat Video(const char (&fourcc)[5]) {
  CodecFormat f;
  f.type = FormatType::VideoInfo;
  f.video.compression = static_cast<std::uint32_t>(fourcc[0]) | static_cast<std::uint32_t>(fourcc[1]) << 8 |
                        static_cast<std::uint32_t>(fourcc[2]) << 16 | static_cast<std::uint32_t>(fourcc[3]) << 24;
  f.encoder = fourcc;
  return f;
}

TEST(WmaProfileTest, TheAudioFormatLiesWithin249BitsPerSecond) {
  // One format of 16005 B/s (128040 bit/s); the requests move around it.
  const CodecCatalogue catalogue{{{Wma(44100, 2, 16005, 743)}}, {}};
  struct Case {
    const char* name;
    std::uint32_t request;
    plat::HRESULT expected;
  };
  const Case cases[] = {
      {"exact", 128040, S_OK},
      {"format 24 below", 128064, S_OK},
      {"format 249 below", 128289, S_OK},
      {"format 250 below", 128290, kNoMatchingAudioFormat},
      {"format 290 below", 128330, kNoMatchingAudioFormat},
      {"format 249 above", 127791, S_OK},
      {"format 250 above", 127790, kNoMatchingAudioFormat},
  };
  for (const Case& c : cases) {
    std::unique_ptr<Profile> profile;
    EXPECT_EQ(CreateWmaProfile(catalogue, c.request, &profile), c.expected) << c.name;
  }
  // Rate, channels and tag must match as well: 249 above at 48 kHz does not.
  for (const CodecFormat& other : {Wma(48000, 2, 16005, 743), Wma(44100, 1, 16005, 743)}) {
    const CodecCatalogue wrong{{{other}}, {}};
    std::unique_ptr<Profile> profile;
    EXPECT_EQ(CreateWmaProfile(wrong, 127791, &profile), kNoMatchingAudioFormat);
  }
}

TEST(WmaProfileTest, TheChosenFormatAndItsStream) {
  // Equal alignments: the later format; a smaller alignment never replaces.
  const CodecCatalogue catalogue{{{Wma(44100, 2, 16005, 743, "first"), Wma(44100, 2, 16000, 743, "later"),
                                   Wma(44100, 2, 16003, 500, "smaller")}},
                                 {}};
  std::unique_ptr<Profile> profile;
  ASSERT_EQ(CreateWmaProfile(catalogue, 128040, &profile), S_OK);
  EXPECT_EQ(profile->name, "Custom Profile");
  EXPECT_EQ(profile->version, kProfileVersion7);
  ASSERT_EQ(profile->streams.size(), 1u);
  const ProfileStream& audio = profile->streams[0];
  EXPECT_EQ(audio.encoder, "later");
  EXPECT_EQ(audio.number, 1);
  EXPECT_EQ(audio.name, "Audio Stream");
  EXPECT_EQ(audio.connection, "Audio");
  EXPECT_EQ(audio.bitRate, 128000u);

  // With video the smallest alignment is preferred.
  const CodecCatalogue withVideo{catalogue.audioCodecs, {{Video("WMV1")}, {Video("WMV2")}}};
  const AudioStreamRequest request{128040, kWaveFormatWma2, 44100, 2};
  const VideoStreamRequest videos[2] = {{Video("WMV2").video.compression, 300000, 240, 320, 25, 80, 8},
                                        {Video("WMV1").video.compression, 100000, 120, 160, 10, 50, 4}};
  const std::uint32_t script = 1000;
  ASSERT_EQ(CreateCustomProfile(withVideo, &request, &script, 2, videos, &profile), S_OK);
  ASSERT_EQ(profile->streams.size(), 4u);
  EXPECT_EQ(profile->streams[0].encoder, "smaller");
  EXPECT_EQ(profile->streams[1].number, 2);
  EXPECT_EQ(profile->streams[1].encoder, "WMV2");
  EXPECT_EQ(profile->streams[1].video.width, 320);
  EXPECT_EQ(profile->streams[1].video.avgTimePerFrame, 400000);
  EXPECT_EQ(profile->streams[1].maxKeyFrameSpacing, 80'000'000);
  EXPECT_EQ(profile->streams[2].encoder, "WMV1");
  EXPECT_EQ(profile->streams[3].kind, StreamKind::Script);
  EXPECT_EQ(profile->streams[3].number, 4);
  EXPECT_EQ(profile->bitrateMutex, (std::vector<std::uint16_t>{2, 3}));
}

TEST(WmaProfileTest, RequestsItCannotMeetAreRefused) {
  const CodecCatalogue catalogue{{{Wma(44100, 2, 16005, 743)}}, {{Video("WMV1")}}};
  const AudioStreamRequest audio{128040, kWaveFormatWma2, 44100, 2};
  VideoStreamRequest videos[13] = {};
  for (VideoStreamRequest& v : videos) v.fourcc = Video("WMV1").video.compression;
  std::unique_ptr<Profile> profile;
  EXPECT_EQ(CreateCustomProfile(catalogue, &audio, nullptr, 13, videos, &profile), E_INVALIDARG);
  EXPECT_EQ(CreateCustomProfile(catalogue, nullptr, nullptr, 0, nullptr, &profile), E_INVALIDARG);
  EXPECT_EQ(CreateCustomProfile(catalogue, &audio, nullptr, 0, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(CreateCustomProfile(catalogue, &audio, nullptr, 1, nullptr, &profile), E_INVALIDARG);
  VideoStreamRequest wmv3{};
  wmv3.fourcc = Video("WMV3").video.compression;
  EXPECT_EQ(CreateCustomProfile(catalogue, &audio, nullptr, 1, &wmv3, &profile), kNoMatchingVideoFormat);
  // A codec format that is no wave format ends the audio search.
  const CodecCatalogue odd{{{Video("WMV1"), Wma(44100, 2, 16005, 743)}}, {}};
  EXPECT_EQ(CreateWmaProfile(odd, 128040, &profile), E_FAIL);
}

TEST(WmaProfileTest, TheInstalledCatalogueMeetsTheRatesTheCoreAsksFor) {
  for (std::uint32_t rate : {32040u, 64080u, 128040u}) {
    std::unique_ptr<Profile> profile;
    EXPECT_EQ(CreateWmaProfile(InstalledCodecs(), rate, &profile), S_OK) << rate;
  }
}

// ---- the MP3 compressor choice ----

TEST(Mp3CatalogueTest, FriendlyNamesAndTheCompressorChoice) {
  const CompressorCatalogue full{{{"PCM", "audioconvert"}, {kMakerMp3Compressor, "lamemp3enc"},
                                  {kSystemMp3Compressor, "lamemp3enc"}},
                                 {"kestrovia mpeg layer-3 encoder"}};
  const Compressor* found = nullptr;
  EXPECT_EQ(FindFilterByFriendlyName(full, "PCM", &found), S_OK);
  EXPECT_EQ(found->element, "audioconvert");
  EXPECT_EQ(FindFilterByFriendlyName(full, "pcm", &found), S_FALSE);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(FindFilterByFriendlyName(full, "", &found), E_FAIL);
  EXPECT_TRUE(FindEncoderDriver(full));  // the long name matches in any case

  struct Case {
    const char* name;
    CompressorCatalogue catalogue;
    bool driver;
    plat::HRESULT expected;
    const char* compressor;
    bool forced;
  };
  const Case cases[] = {
      {"maker's encoder", full, true, S_OK, kMakerMp3Compressor, true},
      {"driver absent", full, false, S_OK, kSystemMp3Compressor, false},
      {"driver without its compressor",
       {{{"PCM", "audioconvert"}, {kSystemMp3Compressor, "lamemp3enc"}}, {kMakerEncoderDriver}},
       true, S_OK, kSystemMp3Compressor, false},
      {"no Layer-3 at all", {{{"PCM", "audioconvert"}}, {}}, true, E_FAIL, nullptr, false},
      {"no PCM converter", {{{kSystemMp3Compressor, "lamemp3enc"}}, {}}, false, E_FAIL, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mp3Chain chain;
    ASSERT_EQ(ChooseMp3Chain(c.catalogue, c.driver, &chain), c.expected);
    if (c.expected != S_OK) continue;
    EXPECT_EQ(chain.compressor->friendlyName, c.compressor);
    EXPECT_EQ(!chain.forcedFormat.empty(), c.forced);
  }
}

TEST(Mp3CatalogueTest, TheForcedFormatAndItsPipeline) {
  const std::vector<std::uint8_t> format = MakerOutputFormat();
  const std::vector<std::uint8_t> expected = {0x55, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3E, 0, 0, 0, 0, 0,
                                              0,    12, 0, 1, 0, 2, 0, 0, 0, 0,    0,    0, 0, 0, 0};
  EXPECT_EQ(format, expected);
  const Compressor pcm{"PCM", "audioconvert"};
  const Compressor lame{kMakerMp3Compressor, "lamemp3enc"};
  EXPECT_EQ(Mp3ChainDescription({&pcm, &lame, format}),
            "audioconvert ! lamemp3enc target=bitrate cbr=true bitrate=128 ! xingmux");
  EXPECT_EQ(Mp3ChainDescription({&pcm, &lame, {}}), "audioconvert ! lamemp3enc ! xingmux");
}

TEST(Mp3CatalogueTest, OnlyAnMp3ExtensionInAnyCaseEncodesMp3) {
  struct Case {
    const char* path;
    bool mp3;
  };
  for (const Case& c : {Case{"/a/b.mp3", true}, Case{"/a/b.MP3", true}, Case{"C:\\x\\y.Mp3", true},
                        Case{"/a/b.wav", false}, Case{"/a.mp3/b", false}, Case{"/a/mp3", false},
                        Case{"/a/b.mp3.wav", false}}) {
    EXPECT_EQ(IsMp3Path(c.path), c.mp3) << c.path;
  }
}

}  // namespace
}  // namespace rip
