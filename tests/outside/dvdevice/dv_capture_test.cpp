// Real captures: the camcorder engine over the DV component and a virtual
// camcorder playing a generated tape. Each row captures 3 s and checks what
// the file holds with ffprobe, and its first picture against the tape's
// frame at the capture's start.
#include <filesystem>
#include <thread>

#include "engines/capture/dvgrab/dv_grab.h"
#include "outside/dvdevice/capture_writer.h"
#include "outside/dvdevice/dv_device.h"
#include "outside/dvdevice/virtual_deck.h"
#include "platform/com/visibility.h"
#include "platform/win/message.h"
#include "tests/outside/dvdevice/tapes.h"
#include "tests/support/temp_environment.h"

namespace {

using namespace plat;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

class RecordingSink : public IDvGrabEventSink {
 public:
  std::vector<int> calls;
  int Log(int slot) {
    if (slot != 7) calls.push_back(slot);
    return 1;
  }
  bool Has(int slot) const { return std::find(calls.begin(), calls.end(), slot) != calls.end(); }
  int Notify0(SinkArg, SinkArg) override { return Log(0); }
  int Notify1(SinkArg, SinkArg) override { return Log(1); }
  int Notify2(SinkArg, SinkArg) override { return Log(2); }
  int Notify3(SinkArg, SinkArg) override { return Log(3); }
  int Notify4(SinkArg, SinkArg) override { return Log(4); }
  int Notify5(SinkArg, SinkArg) override { return Log(5); }
  int Notify6(SinkArg, SinkArg) override { return Log(6); }
  int Notify7(SinkArg, SinkArg) override { return Log(7); }
  int Notify8(SinkArg, SinkArg) override { return Log(8); }
  int Notify9(SinkArg, SinkArg) override { return Log(9); }
  int Notify10(SinkArg, SinkArg) override { return Log(10); }
  int Notify11(SinkArg, SinkArg) override { return Log(11); }
  int Notify12(SinkArg, SinkArg) override { return Log(12); }
};

void PumpFor(std::chrono::milliseconds span) {
  const auto end = std::chrono::steady_clock::now() + span;
  while (std::chrono::steady_clock::now() < end) {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    std::this_thread::sleep_for(10ms);
  }
}

// Dispatches this thread's messages until `done` holds or twenty seconds
// have passed.
template <typename F>
void PumpUntil(F done) {
  const auto end = std::chrono::steady_clock::now() + 20s;
  while (!done() && std::chrono::steady_clock::now() < end) PumpFor(20ms);
}

EncoderBlock Preset(int format, int bitRate, int width, int height, float rate, int audioField) {
  EncoderBlock b{};
  b.format = format;
  b.capabilities = 1;
  b.videoBitRate = bitRate;
  b.width = width;
  b.height = height;
  b.frameRate = rate;
  std::snprintf(b.gop, sizeof b.gop, "IBBPBBPBBPBBPBBP");
  b.field364 = 1;
  b.field372 = 2;
  b.field376 = 1;
  b.audioBitRate = 224;
  b.field384 = 1;
  b.field388 = audioField;
  return b;
}

class PLAT_COM_LOCAL DvCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dvtapes::Dir().empty());
    out = env.dir() + "/captured";
  }
  void TearDown() override {
    if (engine) engine->Close();
    engine.Reset();
    device.Reset();
    PumpFor(20ms);
  }
  CDvGrab& Start(const std::string& tape, const std::string& name) {
    dvtapes::Declare("1", tape, name);
    dvgrab::DvGrabHooks hooks = dvgrab::DvGrabHooks::Machine();
    hooks.createDevice = [this](IDvDevice** o) {
      device = MakeComObject<CDvDevice>();
      device->AddRef();
      *o = device.Get();
      return S_OK;
    };
    engine = MakeComObject<CDvGrab>(hooks);
    engine->SetNotifyTarget(&sink);
    EXPECT_EQ(engine->Open(0, 2, nullptr), S_OK);
    EXPECT_EQ(engine->SetOutputFolder(out.c_str()), S_OK);
    EXPECT_EQ(engine->SelectDevice(0), S_OK);
    return *engine;
  }
  long DeckPosition() const {
    auto* deck = dynamic_cast<dvdev::VirtualDeck*>(device->camcorder());
    return deck ? deck->position() : -1;
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(out)) files.push_back(e.path().string());
    return files;
  }

  test_support::TempEnvironment env{"dvc"};
  std::string out;
  ComPtr<ComObject<CDvDevice>> device;
  ComPtr<ComObject<CDvGrab>> engine;
  RecordingSink sink;
};

TEST_F(DvCaptureTest, CapturesEachFormat) {
  struct Row {
    const char* label;
    std::string tape;
    EncoderBlock block;
    const char* extension;
    const char* codec;
    int width, height;
    const char* rate;
    const char* audio;
    double minPsnr;
  };
  const Row rows[] = {
      {"DV AVI", dvtapes::Pal(), EncoderBlock{}, ".0000.avi", "dvvideo", 720, 576, "25/1", "pcm_s16le", 60},
      {"DVD PAL", dvtapes::Pal(), Preset(7, 8000000, 720, 576, 25.0f, 1), ".0000.mpg", "mpeg2video", 720, 576, "25/1",
       "mp2", 30},
      {"DVD NTSC", dvtapes::Ntsc(), Preset(7, 8000000, 720, 480, 29.97f, 1), ".0000.mpg", "mpeg2video", 720, 480,
       "30000/1001", "mp2", 30},
      {"SVCD PAL", dvtapes::Pal(), Preset(6, 2520000, 480, 576, 25.0f, 3), ".0000.mpg", "mpeg2video", 480, 576, "25/1",
       "mp2", 30},
      {"WMV", dvtapes::Pal(), Preset(4, 2000000, 352, 288, 25.0f, 1), ".0000.wmv", "wmv2", 352, 288, "25/1", "wmav2",
       25},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    TearDown();
    fs::remove_all(out);
    CDvGrab& g = Start(r.tape, "Virtual DV (Marivel)");
    g.SetEncoderParams(r.block);
    PumpFor(300ms);
    const long start = DeckPosition();
    ASSERT_EQ(g.Capture(1), S_OK);
    PumpFor(3000ms);
    ASSERT_EQ(g.Capture(0), S_OK);
    PumpFor(50ms);
    EXPECT_TRUE(sink.Has(10));  // the capture ended
    const auto files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].substr(files[0].size() - std::string(r.extension).size()), r.extension);
    const dvtapes::Probe p = dvtapes::ProbeFile(files[0]);
    EXPECT_EQ(p.codec, r.codec);
    EXPECT_EQ(p.width, r.width);
    EXPECT_EQ(p.height, r.height);
    EXPECT_EQ(p.rate, r.rate);
    EXPECT_EQ(p.audio, r.audio);
    EXPECT_NEAR(p.seconds, 3.0, 0.3);
    double best = 0;
    for (long f = start; f <= start + 3; ++f) best = std::max(best, dvtapes::FirstFramePsnr(files[0], r.tape, f, r.width, r.height));
    EXPECT_GT(best, r.minPsnr);
    EXPECT_EQ(device->dropped_frames(), 0);
  }
}

TEST_F(DvCaptureTest, TransportStreamIsWrittenAsReceived) {
  CDvGrab& g = Start(dvtapes::Ts(), "Virtual MPEG2 (Marivel)");
  int kind = 0;
  ASSERT_EQ(g.GetDeviceKind(&kind), S_OK);
  EXPECT_EQ(kind, 2);
  float rate = 0;
  EXPECT_EQ(g.GetFrameRate(&rate), S_OK);
  EXPECT_FLOAT_EQ(rate, 29.97f);
  ASSERT_EQ(g.Play(), S_OK);
  PumpFor(200ms);
  ASSERT_EQ(g.Capture(1), S_OK);
  PumpFor(2000ms);
  EXPECT_TRUE(sink.Has(9));  // not an AVI file
  EXPECT_EQ(g.Capture(0), S_OK);
  const auto files = Files();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_NE(files[0].find("/MV_"), std::string::npos);
  const dvtapes::Probe p = dvtapes::ProbeFile(files[0]);
  EXPECT_EQ(p.codec, "mpeg2video");
  // Pictures before the first GOP start of the received stream do not decode.
  EXPECT_GT(p.seconds, 1.2);
  EXPECT_LT(p.seconds, 2.6);
}

TEST_F(DvCaptureTest, RamFormatIsRefusedAndWritesNothing) {
  CDvGrab& g = Start(dvtapes::Pal(), "Virtual DV (Marivel)");
  EncoderBlock b{};
  b.format = 5;
  g.SetEncoderParams(b);
  EXPECT_EQ(g.Capture(1), E_FAIL);
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(g.transport(), dvtransport::kStopped);
}

TEST_F(DvCaptureTest, FrameRatePerTape) {
  EXPECT_EQ(Start(dvtapes::Ntsc(), "").SelectDevice(0), S_OK);
  float rate = 0;
  EXPECT_EQ(engine->GetFrameRate(&rate), S_OK);
  EXPECT_FLOAT_EQ(rate, 29.97f);
  char name[kDvNameChars] = {};
  EXPECT_EQ(engine->GetDeviceNameAt(name, 0), S_OK);
  EXPECT_STREQ(name, "1. Marivel DV");
  TearDown();
  Start(dvtapes::Pal(), "GR-D23 DV (victor)");
  EXPECT_EQ(engine->GetFrameRate(&rate), S_OK);
  EXPECT_FLOAT_EQ(rate, 25.0f);
  EXPECT_EQ(engine->GetDeviceNameAt(name, 0), S_OK);
  EXPECT_STREQ(name, "1. JVC DV");
  // Selecting none works whether a camcorder is selected or not.
  EXPECT_EQ(engine->SelectDevice(-1), S_OK);
  EXPECT_EQ(engine->SelectDevice(-1), S_OK);
  EXPECT_EQ(engine->GetFrameRate(&rate), E_FAIL);
}

TEST_F(DvCaptureTest, UnpluggingMidCaptureLeavesAPlayableFile) {
  const std::string tape = env.dir() + "/tape.dv";
  fs::copy_file(dvtapes::Ntsc(), tape);
  CDvGrab& g = Start(tape, "");
  PumpFor(200ms);
  ASSERT_EQ(g.Capture(1), S_OK);
  PumpFor(1500ms);
  fs::rename(tape, tape + ".away");
  PumpUntil([&] { return sink.Has(6); });
  ASSERT_TRUE(sink.Has(10));
  ASSERT_TRUE(sink.Has(6));
  // Finalised before the removal was told.
  EXPECT_LT(std::find(sink.calls.begin(), sink.calls.end(), 10), std::find(sink.calls.begin(), sink.calls.end(), 6));
  EXPECT_EQ(g.EnumerateDevices(), E_FAIL);
  const auto files = Files();
  ASSERT_EQ(files.size(), 1u);
  const dvtapes::Probe p = dvtapes::ProbeFile(files[0]);
  EXPECT_EQ(p.codec, "dvvideo");
  EXPECT_NEAR(p.seconds, 1.5, 0.4);

  fs::rename(tape + ".away", tape);
  PumpUntil([&] { return sink.Has(5); });
  EXPECT_TRUE(sink.Has(5));
  EXPECT_EQ(g.EnumerateDevices(), S_OK);
}

LRESULT OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

TEST_F(DvCaptureTest, TheDvPictureIsDrawnIntoTheGivenWindow) {
  WNDCLASS wc;
  wc.lpfnWndProc = &OwnerProc;
  wc.lpszClassName = "DvCaptureOwner";
  RegisterClass(&wc);
  HWND owner = CreateWindowEx(0, "DvCaptureOwner", "owner", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  ShowWindow(owner, SW_SHOW);
  for (const std::string& tape : {dvtapes::Pal(), dvtapes::Ts()}) {
  SCOPED_TRACE(tape);
  dvtapes::Declare("1", tape, "");
  dvgrab::DvGrabHooks hooks = dvgrab::DvGrabHooks::Machine();
  hooks.createDevice = [this](IDvDevice** o) {
    device = MakeComObject<CDvDevice>();
    device->AddRef();
    *o = device.Get();
    return S_OK;
  };
  engine = MakeComObject<CDvGrab>(hooks);
  ASSERT_EQ(engine->Open(0, 2, nullptr), S_OK);
  // The place is kept and applied again when the device is selected.
  EXPECT_EQ(engine->SetVideoWindow(owner, 10, 20, 330, 260), S_OK);
  ASSERT_EQ(engine->SelectDevice(0), S_OK);
  ASSERT_EQ(engine->Play(), S_OK);  // an MPEG-2 camcorder starts paused
  for (int i = 0; i < 100 && device->video_window().painted() == 0; ++i) PumpFor(20ms);
  EXPECT_GT(device->video_window().painted(), 0);
  RECT rect{};
  GetWindowRect(device->video_window().hwnd(), &rect);
  EXPECT_EQ(rect.right - rect.left, 320);
  EXPECT_EQ(rect.bottom - rect.top, 240);
  engine->Close();
  engine.Reset();
  device.Reset();
  }
  DestroyWindow(owner);
}

// A disk that fills up during a capture: the writer stops, closes what it
// wrote and tells the end once.
TEST(DvCaptureWriter, AFullDiskEndsTheCapture) {
  ASSERT_FALSE(dvtapes::Dir().empty());
  auto tape = dvdev::ProbeTape(dvtapes::Pal(), 1);
  ASSERT_TRUE(tape);
  for (int format : {0, 7}) {
    SCOPED_TRACE(format);
    std::atomic<int> errors{0};
    dvdev::WriterSettings settings;
    settings.format = format;
    settings.path = "/dev/full";
    settings.onError = [&] { ++errors; };
    ::testing::internal::CaptureStderr();
    auto writer = dvdev::CaptureWriter::Start(settings);
    ASSERT_TRUE(writer);
    std::vector<std::uint8_t> frame(tape->frameBytes);
    FILE* in = fopen(dvtapes::Pal().c_str(), "rb");
    ASSERT_NE(in, nullptr);
    for (int i = 0; i < 50 && fread(frame.data(), 1, frame.size(), in) == frame.size(); ++i) {
      writer->Push(frame.data(), frame.size());
      std::this_thread::sleep_for(2ms);
    }
    fclose(in);
    EXPECT_FALSE(writer->Finish());
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(writer->failed());
    EXPECT_EQ(errors, 1);
    // The log says what failed and why, once.
    const std::string line = "capture: cannot write \"/dev/full\": no space left on the disk";
    EXPECT_NE(log.find(line), std::string::npos) << log;
    EXPECT_EQ(log.find(line), log.rfind(line)) << log;
  }
}

TEST_F(DvCaptureTest, TapeEndIsTold) {
  CDvGrab& g = Start(dvtapes::Ntsc(), "");
  ASSERT_EQ(g.FastForward(), S_OK);
  for (int i = 0; i < 200 && !sink.Has(8); ++i) PumpFor(20ms);
  EXPECT_TRUE(sink.Has(8));
  EXPECT_EQ(g.transport(), dvtransport::kStopped);
  int h = 0, m = 0, s = 0;
  g.OnTick();
  EXPECT_EQ(g.GetTimecode(&h, &m, &s), S_OK);
  EXPECT_EQ(s, 4);  // the last frame of the 5 s tape
}

}  // namespace
