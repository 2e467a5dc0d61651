// The recorder's media on the virtual tuner, with real GStreamer and
// libavcodec: recordings that play back at their length with the station's
// tone, snapshots and wall pictures.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

extern "C" {
#include <libavformat/avformat.h>
}

#include "outside/tvrecorder/profile_file.h"
#include "outside/tvrecorder/sys_recorder.h"
#include "outside/tvrecorder/time_shift.h"
#include "outside/tvrecorder/tv_source.h"
#include "platform/gdi/jpeg_codec.h"
#include "platform/media/tv/virtual_tuner.h"
#include "tests/support/temp_environment.h"

// After the platform's headers: GLib defines TRUE and FALSE as macros.
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

namespace {

using namespace plat;

class Events : public ISysRecorderEventSink {
 public:
  int OnRecorderEvent(const char*, int code, std::int32_t, std::int32_t, const TvPicture* picture) override {
    std::lock_guard lock(mutex);
    codes.push_back(code);
    if (picture) {
      pictures.emplace_back(picture->bgr, picture->bgr + static_cast<std::size_t>(picture->stride) * picture->height);
      width = picture->width;
    }
    changed.notify_all();
    return 1;
  }
  bool WaitCount(int code, std::size_t count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(20), [&] {
      return static_cast<std::size_t>(std::count(codes.begin(), codes.end(), code)) >= count;
    });
  }
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> codes;
  std::vector<std::vector<std::uint8_t>> pictures;
  int width = 0;
};

// What decodebin makes of a file: its frames and its sound, mono 48 kHz.
struct Decoded {
  int frames = 0;
  int width = 0;
  int height = 0;
  double lastVideoSeconds = 0;
  std::vector<float> sound;
};

Decoded DecodeThrough(const std::string& path) {
  Decoded out;
  const std::string description = "filesrc location=\"" + path +
                                  "\" ! decodebin name=d d. ! queue ! videoconvert ! video/x-raw,format=I420 ! "
                                  "appsink name=v sync=false d. ! queue ! audioconvert ! audioresample ! "
                                  "audio/x-raw,format=F32LE,channels=1,rate=48000 ! appsink name=a sync=false";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (!pipeline) {
    ADD_FAILURE() << (error ? error->message : "no pipeline");
    if (error) g_error_free(error);
    return out;
  }
  GstElement* v = gst_bin_get_by_name(GST_BIN(pipeline), "v");
  GstElement* a = gst_bin_get_by_name(GST_BIN(pipeline), "a");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  std::thread audio([&] {
    while (GstSample* s = gst_app_sink_pull_sample(GST_APP_SINK(a))) {
      GstMapInfo map;
      GstBuffer* b = gst_sample_get_buffer(s);
      if (gst_buffer_map(b, &map, GST_MAP_READ)) {
        const auto* f = reinterpret_cast<const float*>(map.data);
        out.sound.insert(out.sound.end(), f, f + map.size / sizeof(float));
        gst_buffer_unmap(b, &map);
      }
      gst_sample_unref(s);
    }
  });
  while (GstSample* s = gst_app_sink_pull_sample(GST_APP_SINK(v))) {
    ++out.frames;
    GstStructure* st = gst_caps_get_structure(gst_sample_get_caps(s), 0);
    gst_structure_get_int(st, "width", &out.width);
    gst_structure_get_int(st, "height", &out.height);
    GstBuffer* b = gst_sample_get_buffer(s);
    if (GST_BUFFER_PTS_IS_VALID(b)) out.lastVideoSeconds = static_cast<double>(GST_BUFFER_PTS(b)) / GST_SECOND;
    gst_sample_unref(s);
  }
  audio.join();
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(v);
  gst_object_unref(a);
  gst_object_unref(pipeline);
  return out;
}

// The power of one frequency in a stretch of sound (Goertzel).
double Power(const std::vector<float>& x, std::size_t from, std::size_t count, double hz) {
  const double w = 2 * M_PI * hz / 48000.0;
  const double c = 2 * std::cos(w);
  double s1 = 0, s2 = 0;
  for (std::size_t i = from; i < from + count && i < x.size(); ++i) {
    const double s = x[i] + c * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// Polls `done` until it holds, for at most `seconds`: media made in real
// time comes at the pace the machine allows.
template <class Done>
bool WaitUntil(Done done, int seconds = 60) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

class MediaTest : public ::testing::Test {
 protected:
  ComPtr<ComObject<CSysRecorder>> Make(int standard = 0x10) {
    plat::tv::VirtualTunerConfig config;
    config.stations = {{175250, "One", 0, 440, false}, {471250, "Two", 18, 660, true}};
    std::vector<std::shared_ptr<plat::tv::ITunerDevice>> devices{std::make_shared<plat::tv::VirtualTuner>(config)};
    auto r = MakeComObject<CSysRecorder>(devices);
    EXPECT_EQ(r->SelectDevices("Virtual TV Tuner", "Virtual TV Tuner Audio"), S_OK);
    EXPECT_EQ(r->SetCountryCode(49), S_OK);
    EXPECT_EQ(r->SetVideoStandard(standard), S_OK);
    r->SetEventSink(&events);
    return r;
  }
  EncoderBlock Profile(const char* name) {
    std::ifstream in(std::string(MARIVEL_TEST_SOURCE_DIR) + "/outside/tvrecorder/profiles/Default_PAL.prf");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto entries = tvrec::ParseProfileFile(text);
    for (const auto& e : entries.value()) {
      if (std::string(e.name) == name) return e.block;
    }
    ADD_FAILURE() << name;
    return {};
  }
  test_support::TempEnvironment env{"tvmedia"};
  Events events;
};

TEST_F(MediaTest, FiveSecondsOfDvdSpPlayBackWithTheStationsTone) {
  auto r = Make();
  ASSERT_EQ(r->Tune(21), S_OK);  // "Two": 660 Hz
  const std::string path = env.dir() + "/rec.0000.mpg";
  const EncoderBlock block = Profile("DVD SP");
  ASSERT_EQ(r->SetFrameSize(block.width, block.height), S_OK);
  ASSERT_EQ(r->StartRecording(path.c_str(), 0, &block, 1), S_OK);
  EXPECT_EQ(r->StartRecording(path.c_str(), 0, &block, 1), E_FAIL);  // one at a time
  ASSERT_TRUE(WaitUntil([&] { return r->recorded_seconds() >= 5.0; }));
  std::int64_t kb = 0;
  ASSERT_EQ(r->GetRecordedSize(&kb), S_OK);
  EXPECT_GT(kb, 100);
  const double recorded = r->recorded_seconds();
  ASSERT_EQ(r->StopRecording(0), S_OK);
  EXPECT_TRUE(events.WaitCount(tvevent::kRecordingFinalised, 1));
  EXPECT_EQ(r->StopRecording(0), E_FAIL);

  // The container and codec are what a DVD takes.
  AVFormatContext* format = nullptr;
  ASSERT_EQ(avformat_open_input(&format, path.c_str(), nullptr, nullptr), 0);
  ASSERT_GE(avformat_find_stream_info(format, nullptr), 0);
  bool mpeg2 = false;
  bool mp2 = false;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const AVCodecParameters* p = format->streams[i]->codecpar;
    if (p->codec_id == AV_CODEC_ID_MPEG2VIDEO && p->width == 720 && p->height == 576) mpeg2 = true;
    if (p->codec_id == AV_CODEC_ID_MP2) mp2 = true;
  }
  avformat_close_input(&format);
  EXPECT_TRUE(mpeg2);
  EXPECT_TRUE(mp2);

  const Decoded d = DecodeThrough(path);
  EXPECT_EQ(d.width, 720);
  EXPECT_EQ(d.height, 576);
  // Every frame recorded is in the file (a few more may come while it stops).
  const double seconds = d.frames / 25.0;
  EXPECT_GE(seconds, recorded - 0.05);
  EXPECT_LE(seconds, recorded + 1.0);
  ASSERT_GT(d.sound.size(), 48000u * 3);
  const std::size_t n = 48000;
  const double tone = Power(d.sound, n, n, 660);
  EXPECT_GT(tone, 100 * Power(d.sound, n, n, 440));
  EXPECT_GT(tone, 100 * Power(d.sound, n, n, 880));
}

TEST_F(MediaTest, AviRecordingPlays) {
  auto r = Make();
  ASSERT_EQ(r->Tune(5), S_OK);
  const std::string path = env.dir() + "/rec.0000.avi";
  const EncoderBlock block = Profile("DivX");
  ASSERT_EQ(r->SetFrameSize(block.width, block.height), S_OK);
  ASSERT_EQ(r->StartRecording(path.c_str(), 0, &block, 1), S_OK);
  ASSERT_TRUE(WaitUntil([&] { return r->recorded_seconds() >= 2.0; }));
  const double recorded = r->recorded_seconds();
  ASSERT_EQ(r->StopRecording(0), S_OK);
  const Decoded d = DecodeThrough(path);
  EXPECT_GE(d.frames / 25.0, recorded - 0.05);
  EXPECT_LE(d.frames / 25.0, recorded + 1.0);
  EXPECT_EQ(d.width, block.width);
  ASSERT_GT(d.sound.size(), 48000u);
  EXPECT_GT(Power(d.sound, 0, 48000, 440), 100 * Power(d.sound, 0, 48000, 660));
}

// A device without a tuner is a web camera: counted, found, and recorded
// from through the same pipeline as the tuner.
TEST_F(MediaTest, AWebCameraIsOfferedAndRecords) {
  plat::tv::VirtualTunerConfig tuner;
  tuner.stations = {{175250, "One", 0, 440, false}};
  plat::tv::VirtualTunerConfig camera;
  camera.name = "Desk Camera";
  camera.webcam = true;
  camera.stations = {{0, "Desk Camera", 18, 660, false}};
  auto r = MakeComObject<CSysRecorder>(std::vector<std::shared_ptr<plat::tv::ITunerDevice>>{
      std::make_shared<plat::tv::VirtualTuner>(tuner), std::make_shared<plat::tv::VirtualTuner>(camera)});
  int count = 0, device = -1;
  ASSERT_EQ(r->GetWebCameraCount(&count), S_OK);
  EXPECT_EQ(count, 1);
  ASSERT_EQ(r->GetWebCamera(0, &device), S_OK);
  EXPECT_EQ(device, 1);
  EXPECT_EQ(r->GetWebCamera(1, &device), E_FAIL);
  char name[kTvNameChars] = {};
  ASSERT_EQ(r->GetDeviceName(1, name), S_OK);
  EXPECT_STREQ(name, "Desk Camera");
  ASSERT_EQ(r->SelectDevices(name, ""), S_OK);
  ASSERT_EQ(r->SetVideoStandard(0x10), S_OK);

  const std::string path = env.dir() + "/cam.0000.avi";
  const EncoderBlock block = Profile("DivX");
  ASSERT_EQ(r->SetFrameSize(640, 480), S_OK);
  ASSERT_EQ(r->StartRecording(path.c_str(), 0, &block, 1), S_OK);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  ASSERT_EQ(r->StopRecording(0), S_OK);
  const Decoded d = DecodeThrough(path);
  EXPECT_GT(d.frames, 0);
  EXPECT_EQ(d.width, 640);
  EXPECT_GT(Power(d.sound, 0, 24000, 660), 100 * Power(d.sound, 0, 24000, 440)) << "the camera's own tone";
}

TEST_F(MediaTest, RecordingRefusesAnExistingFile) {
  auto r = Make();
  const std::string path = env.dir() + "/taken.0000.mpg";
  test_support::WriteFile(path, "keep");
  const EncoderBlock block = Profile("DVD SP");
  EXPECT_EQ(r->StartRecording(path.c_str(), 0, &block, 1), E_FAIL);
  EXPECT_EQ(test_support::ReadFile(path), "keep");
}

TEST_F(MediaTest, SnapshotAndWallPictures) {
  auto r = Make();
  ASSERT_EQ(r->Tune(5), S_OK);
  ASSERT_EQ(r->RequestWallPicture(), S_OK);
  ASSERT_TRUE(events.WaitCount(tvevent::kPictureReady, 1));
  ASSERT_EQ(r->Tune(21), S_OK);
  // Two stations, two pictures: the new station's comes with a later frame.
  std::size_t asked = 1;
  bool differs = false;
  for (int i = 0; i < 200 && !differs; ++i) {
    ASSERT_EQ(r->RequestWallPicture(), S_OK);
    ASSERT_TRUE(events.WaitCount(tvevent::kPictureReady, ++asked));
    std::lock_guard lock(events.mutex);
    ASSERT_EQ(events.pictures.size(), asked);
    EXPECT_EQ(events.width, 160);
    EXPECT_EQ(events.pictures[0].size(), 160u * 120u * 3u);
    differs = events.pictures[0] != events.pictures.back();
  }
  EXPECT_TRUE(differs);

  const std::string shot = env.dir() + "/shot.jpg";
  ASSERT_EQ(r->SaveSnapshot(shot.c_str()), S_OK);
  ASSERT_TRUE(events.WaitCount(tvevent::kPictureReady, asked + 1));
  const std::string jpeg = test_support::ReadFile(shot);
  const auto size = plat::gdi::JpegDimensions(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(jpeg.data()), jpeg.size()));
  ASSERT_TRUE(size);
  EXPECT_EQ(size->first, 720);
  EXPECT_EQ(size->second, 576);
  r->SetEventSink(nullptr);
}

}  // namespace

namespace {

TEST_F(MediaTest, TimeShiftPausesLiveAndSeeksWithinTheBuffer) {
  auto r = Make();
  ASSERT_EQ(r->Tune(21), S_OK);
  EXPECT_EQ(r->CanTimeShift(), E_FAIL);  // no folder yet
  ASSERT_EQ(r->SetTimeShiftFolder((env.dir() + "/SBE").c_str()), S_OK);
  ASSERT_EQ(r->CanTimeShift(), S_OK);
  const EncoderBlock block = Profile("DVD EP");
  ASSERT_EQ(r->StartTimeShift(1, &block, 1, 4, 10, 50), S_OK);
  EXPECT_EQ(r->CanTimeShift(), E_FAIL);  // one at a time
  ASSERT_TRUE(WaitUntil([&] { return r->replay_live_ms() >= 1000; }));
  ASSERT_EQ(r->ReplayPause(), S_OK);
  std::int64_t paused = 0;
  ASSERT_EQ(r->GetReplayPosition(&paused), S_OK);
  // Live goes on while the replay stands: four seconds of it.
  ASSERT_TRUE(WaitUntil([&] { return r->replay_live_ms() >= paused + 4000; }));
  ASSERT_EQ(r->ReplayPlay(), S_OK);
  // It plays on from where it stopped.
  std::int64_t playing = paused;
  EXPECT_TRUE(WaitUntil([&] { return r->GetReplayPosition(&playing) == S_OK && playing > paused + 300; }));
  std::int64_t live = 0;
  {
    // Live is what the buffer holds newest: the replay lags it by the pause.
    ASSERT_EQ(r->SetReplayPosition(std::int64_t{1} << 40), S_OK);  // past live: clamps to live
    ASSERT_EQ(r->GetReplayPosition(&live), S_OK);
  }
  EXPECT_GE(live - playing, 2500) << "paused " << paused << " playing " << playing << " live " << live;
  ASSERT_EQ(r->SetReplayPosition(-100000), S_OK);  // before the start: the oldest kept
  std::int64_t oldest = 0;
  ASSERT_EQ(r->GetReplayPosition(&oldest), S_OK);
  EXPECT_GE(oldest, 0);
  EXPECT_LT(oldest, live);
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(env.dir() + "/SBE")) files += e.is_regular_file();
  EXPECT_GE(files, 1);
  EXPECT_LE(files, 4);
  ASSERT_EQ(r->StartTimeShift(0, nullptr, 0, 0, 0, 0), S_OK);
  EXPECT_EQ(r->StartTimeShift(0, nullptr, 0, 0, 0, 0), E_FAIL);
  r->SetEventSink(nullptr);
}

}  // namespace

namespace {

// Scans through the time shift: back at four times normal speed from a
// pause, forward at eight until live; rates slower than normal are refused.
TEST_F(MediaTest, TimeShiftScansBackAndForward) {
  auto r = Make();
  ASSERT_EQ(r->Tune(21), S_OK);
  ASSERT_EQ(r->SetTimeShiftFolder((env.dir() + "/SBE").c_str()), S_OK);
  const EncoderBlock block = Profile("DVD EP");
  ASSERT_EQ(r->StartTimeShift(1, &block, 1, 8, 10, 50), S_OK);
  ASSERT_TRUE(WaitUntil([&] { return r->replay_live_ms() >= 6000; }));
  for (double bad : {0.0, 0.5, -0.5, std::nan("")}) EXPECT_EQ(r->SetReplayRate(0, bad), E_INVALIDARG) << bad;
  ASSERT_EQ(r->ReplayPause(), S_OK);
  std::int64_t start = 0;
  ASSERT_EQ(r->GetReplayPosition(&start), S_OK);
  ASSERT_EQ(r->SetReplayRate(0, -4.0), S_OK);
  std::int64_t back = start;
  EXPECT_TRUE(WaitUntil([&] { return r->GetReplayPosition(&back) == S_OK && back < start - 1500; }))
      << start << " " << back;
  EXPECT_GE(back, 0);
  // Forward: it passes where it was and comes back to live.
  ASSERT_EQ(r->SetSourceRate(0, 8.0), S_OK);
  std::int64_t ahead = back;
  EXPECT_TRUE(WaitUntil([&] { return r->GetReplayPosition(&ahead) == S_OK && ahead > start; }));
  EXPECT_TRUE(WaitUntil([&] { return !r->replaying(); }));
  ASSERT_EQ(r->StartTimeShift(0, nullptr, 0, 0, 0, 0), S_OK);
  r->SetEventSink(nullptr);
}

// A scan shows the picture at each place it jumps to, while the replay
// stands still in between.
TEST_F(MediaTest, AScanShowsPicturesAsItJumps) {
  auto tuner = std::make_shared<plat::tv::VirtualTuner>(
      plat::tv::VirtualTunerConfig{"Virtual TV Tuner", false, plat::tv::DefaultVirtualStations()});
  tuner->SetFrequencyKHz(471250);
  std::atomic<int> shown{0};
  tvrec::TimeShift shift(env.dir() + "/scan", tvrec::EncodeSettings{}, 1, 8,
                         [&](const tvrec::VideoFrameI420&) { ++shown; });
  tvrec::TvSource source(tuner);
  source.AddVideoConsumer([&](const tvrec::VideoFrameI420& f) { shift.AddVideo(f); });
  source.AddAudioConsumer([&](const tvrec::AudioChunk& c) { shift.AddAudio(c); });
  ASSERT_TRUE(source.Start(tvrec::SourceFormat{}));
  ASSERT_TRUE(WaitUntil([&] { return shift.LivePosition() >= 5000; }));
  shift.Pause();
  // The picture a pause settles on may still come; then nothing new.
  const std::int64_t pausedAt = shift.Position();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const int paused = shown;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(shown, paused);  // a pause shows nothing new
  EXPECT_EQ(shift.Position(), pausedAt);
  ASSERT_TRUE(shift.SetRate(-2.0));
  // Each jump goes 400 ms back and shows one picture: a picture a jump, not
  // a replay at speed.
  ASSERT_TRUE(WaitUntil([&] { return shown - paused >= 3 && shift.Position() <= pausedAt - 1200; }));
  const std::int64_t jumps = (pausedAt - shift.Position()) / 400;
  EXPECT_LE(shown - paused, jumps + 3) << jumps << " jumps";
  EXPECT_EQ(shift.rate(), -2.0);
  shift.Play();
  EXPECT_EQ(shift.rate(), 1.0);
  source.Stop();
}

TEST_F(MediaTest, TeletextOfTheTunedStation) {
  auto r = Make();
  ASSERT_EQ(r->Tune(21), S_OK);  // "Two" carries teletext
  ASSERT_EQ(r->Preview(1), S_OK);
  ASSERT_TRUE(WaitUntil([&] { return r->IsTeletextAvailable() == S_OK; }));
  EXPECT_NE(r->teletext().Text(100).find("Two"), std::string::npos);
  ASSERT_EQ(r->SetTeletextPage(101), S_OK);
  EXPECT_EQ(r->SetTeletextPage(900), E_FAIL);
  const std::string text = env.dir() + "/p101.txt";
  const std::string html = env.dir() + "/p101.html";
  const std::string rtf = env.dir() + "/p101.rtf";
  const std::string bmp = env.dir() + "/p101.bmp";
  ASSERT_TRUE(WaitUntil([&] { return r->teletext().Has(101); }));
  ASSERT_EQ(r->SaveTeletextPage(text.c_str(), 0), S_OK);
  ASSERT_EQ(r->SaveTeletextPage(html.c_str(), 1), S_OK);
  ASSERT_EQ(r->SaveTeletextPage(rtf.c_str(), 2), S_OK);
  ASSERT_EQ(r->SaveTeletextPage(bmp.c_str(), 3), S_OK);
  EXPECT_NE(test_support::ReadFile(text).find("News"), std::string::npos);
  EXPECT_NE(test_support::ReadFile(html).find("News"), std::string::npos);
  EXPECT_EQ(test_support::ReadFile(rtf).rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(test_support::ReadFile(bmp).substr(0, 2), "BM");

  // Page 101 has no sub-pages; 103 steps through its three, round and back.
  EXPECT_EQ(r->NextTeletextSubPage(), E_FAIL);
  ASSERT_EQ(r->SetTeletextPage(103), S_OK);
  WaitUntil([&] { return r->teletext().SubPages(103).size() >= 3; });
  ASSERT_EQ(r->teletext().SubPages(103).size(), 3u);
  std::vector<int> shown;
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(r->NextTeletextSubPage(), S_OK);
    shown.push_back(r->teletext_subpage());
  }
  ASSERT_EQ(r->PrevTeletextSubPage(), S_OK);
  shown.push_back(r->teletext_subpage());
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 1, 3}));
  const std::string sub = env.dir() + "/p103.txt";
  ASSERT_EQ(r->SaveTeletextPage(sub.c_str(), 0), S_OK);
  EXPECT_NE(test_support::ReadFile(sub).find("Close down at midnight"), std::string::npos);
  // Another page starts again from its newest sub-page.
  ASSERT_EQ(r->SetTeletextPage(100), S_OK);
  EXPECT_EQ(r->teletext_subpage(), -1);

  // A station without teletext has none, once the old pages are forgotten.
  ASSERT_EQ(r->Tune(5), S_OK);
  EXPECT_TRUE(WaitUntil([&] { return r->IsTeletextAvailable() == E_FAIL; }));
  ASSERT_EQ(r->Preview(0), S_OK);
  r->SetEventSink(nullptr);
}

}  // namespace

namespace {

TEST_F(MediaTest, WatchingARecordingWhileItRecords) {
  auto r = Make();
  ASSERT_EQ(r->Tune(21), S_OK);
  ASSERT_EQ(r->Preview(1), S_OK);
  const std::string path = env.dir() + "/watch.0000.mpg";
  const EncoderBlock block = Profile("DVD EP");
  ASSERT_EQ(r->StartRecording(path.c_str(), 0, &block, 1), S_OK);
  EXPECT_EQ(r->WatchRecording(0), E_FAIL);
  ASSERT_TRUE(WaitUntil([&] { return r->recorded_seconds() >= 1.5; }));
  ASSERT_EQ(r->WatchRecording(1), S_OK);
  std::int64_t position = 0;
  // It plays from the start while the recording goes on ahead of it.
  EXPECT_TRUE(WaitUntil([&] { return r->GetReplayPosition(&position) == S_OK && position >= 500; }));
  EXPECT_LE(position, r->replay_live_ms() + 500);
  ASSERT_EQ(r->WatchRecording(0), S_OK);
  ASSERT_EQ(r->StopRecording(0), S_OK);
  EXPECT_TRUE(std::filesystem::exists(path));
  r->SetEventSink(nullptr);
}

TEST_F(MediaTest, RecordingsFromTheTimeShiftSource) {
  auto r = Make();
  ASSERT_EQ(r->Tune(5), S_OK);
  EXPECT_EQ(r->RecordSource((env.dir() + "/x.mpg").c_str()), E_FAIL);  // no source yet
  ASSERT_EQ(r->OpenTimeShiftSource(1), S_OK);
  EXPECT_EQ(r->OpenTimeShiftSource(1), E_FAIL);
  const std::string path = env.dir() + "/src.0000.mpg";
  ASSERT_EQ(r->RecordSource(path.c_str()), S_OK);
  ASSERT_TRUE(WaitUntil([&] { return r->recorded_seconds() >= 1.0; }));
  ASSERT_EQ(r->PauseSource(1), S_OK);
  EXPECT_EQ(r->PauseSource(1), E_FAIL);
  ASSERT_EQ(r->ResumeSource(), S_OK);  // completes the recording
  EXPECT_TRUE(events.WaitCount(tvevent::kRecordingFinalised, 1));
  const Decoded d = DecodeThrough(path);
  EXPECT_GT(d.frames, 10);
  ASSERT_EQ(r->OpenTimeShiftSource(0), S_OK);
  r->SetEventSink(nullptr);
}

}  // namespace

namespace {

// The mean of a frame's blue-difference plane (high for a blue picture).
double MeanU(const tvrec::VideoFrameI420& f) {
  const std::size_t luma = static_cast<std::size_t>(f.width) * f.height;
  const std::size_t chroma = static_cast<std::size_t>((f.width + 1) / 2) * ((f.height + 1) / 2);
  if (f.data.size() < luma + 2 * chroma || chroma == 0) return 0;
  double sum = 0;
  for (std::size_t i = luma; i < luma + chroma; ++i) sum += f.data[i];
  return sum / static_cast<double>(chroma);
}

// Retuning as fast as the caller can while the picture streams, between two
// stations of still pictures and the snow between them: the source keeps
// making frames, and the last station's picture follows.
TEST(TvSourceRetune, RetuningWhileThePictureStreams) {
  plat::tv::VirtualTunerConfig config;
  config.stations = {{175250, "Red", 4, 440, false}, {471250, "Blue", 6, 660, false}};
  auto tuner = std::make_shared<plat::tv::VirtualTuner>(config);
  tuner->SetFrequencyKHz(175250);
  std::mutex mutex;
  std::condition_variable arrived;
  int frames = 0;
  double lastU = 0;
  tvrec::TvSource source(tuner);
  source.AddVideoConsumer([&](const tvrec::VideoFrameI420& f) {
    const double u = MeanU(f);
    std::lock_guard lock(mutex);
    ++frames;
    lastU = u;
    arrived.notify_all();
  });
  ASSERT_TRUE(source.Start(tvrec::SourceFormat{})) << source.error();
  const int kFrequencies[] = {175250, 471250, 300000};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int retunes = 0;
  for (;; ++retunes) {
    {
      std::lock_guard lock(mutex);
      if (frames >= 100) break;
    }
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << frames << " frames after " << retunes << " retunes";
    tuner->SetFrequencyKHz(kFrequencies[retunes % 3]);
    source.Retune();
  }
  EXPECT_GT(retunes, 100);
  tuner->SetFrequencyKHz(471250);
  source.Retune();
  std::unique_lock lock(mutex);
  const int settled = frames;
  // A frame or two may still be the station before; the picture then turns blue.
  EXPECT_TRUE(arrived.wait_for(lock, std::chrono::seconds(30), [&] { return frames > settled + 3 && lastU > 200; }))
      << "U " << lastU;
  lock.unlock();
  source.Stop();
}

}  // namespace
