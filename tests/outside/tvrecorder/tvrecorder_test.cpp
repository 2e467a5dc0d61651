// The recorder on the virtual tuner (tuning, channel tables, search) and the
// profile store over the user's registry and the shipped profile files.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <linux/videodev2.h>
#include <fstream>
#include <mutex>
#include <thread>

#include "outside/tvrecorder/profile_file.h"
#include "outside/tvrecorder/profile_store.h"
#include "outside/tvrecorder/sys_recorder.h"
#include "outside/tvrecorder/teletext.h"
#include "outside/tvrecorder/vbi_reader.h"
#include "outside/tvrecorder/video_window.h"
#include "platform/gdi/dc.h"
#include "platform/media/tv/virtual_tuner.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/support/temp_environment.h"

// After the platform's headers: it defines TRUE and FALSE as macros.
#include <libzvbi.h>

namespace {

using namespace plat;

// Collects events from whatever thread sends them.
class EventLog : public ISysRecorderEventSink {
 public:
  int OnRecorderEvent(const char* source, int code, std::int32_t a, std::int32_t b, const TvPicture*) override {
    std::lock_guard lock(mutex);
    EXPECT_STREQ(source, kSysRecorderSource);
    events.push_back({code, a, b});
    done.notify_all();
    return 1;
  }
  bool WaitFor(int code) {
    std::unique_lock lock(mutex);
    return done.wait_for(lock, std::chrono::seconds(20), [&] {
      for (const auto& e : events) {
        if (e[0] == code) return true;
      }
      return false;
    });
  }
  std::vector<std::array<int, 3>> Of(int code) {
    std::lock_guard lock(mutex);
    std::vector<std::array<int, 3>> out;
    for (const auto& e : events) {
      if (e[0] == code) out.push_back(e);
    }
    return out;
  }
  std::mutex mutex;
  std::condition_variable done;
  std::vector<std::array<int, 3>> events;
};

class RecorderTest : public ::testing::Test {
 protected:
  ComPtr<ComObject<CSysRecorder>> Make() {
    plat::tv::VirtualTunerConfig config;
    config.stations = {{175250, "One", 0, 440, false}, {471250, "Two", 1, 660, true}, {543250, "Three", 2, 880, false}};
    std::vector<std::shared_ptr<plat::tv::ITunerDevice>> devices{std::make_shared<plat::tv::VirtualTuner>(config)};
    auto r = MakeComObject<CSysRecorder>(devices);
    EXPECT_EQ(r->SelectDevices("Virtual TV Tuner", "Virtual TV Tuner Audio"), S_OK);
    EXPECT_EQ(r->SetCableKey("Software\\Test\\TV\\Cable"), S_OK);
    EXPECT_EQ(r->SetAntennaKey("Software\\Test\\TV\\Antenna"), S_OK);
    EXPECT_EQ(r->SetCountryCode(49), S_OK);
    EXPECT_EQ(r->SetVideoStandard(0x10), S_OK);
    r->SetEventSink(&log);
    return r;
  }
  test_support::TempEnvironment env{"tvrec"};
  EventLog log;
};

TEST_F(RecorderTest, TuningAndChannelQueries) {
  auto r = Make();
  ASSERT_EQ(r->Tune(21), S_OK);  // E21: station "Two"
  int channel = 0;
  r->GetTunedChannel(&channel);
  EXPECT_EQ(channel, 21);
  ASSERT_EQ(log.Of(tvevent::kChannelTuned).size(), 1u);
  EXPECT_EQ(log.Of(tvevent::kChannelTuned)[0][2], 100);
  TvChannelInfo info{};
  ASSERT_EQ(r->QueryAntennaChannel(21, &info), S_OK);
  EXPECT_STREQ(info.name, "Two");
  EXPECT_EQ(info.value, 100);
  EXPECT_EQ(info.status, 1);
  EXPECT_EQ(info.stored, 0);
  ASSERT_EQ(r->QueryAntennaChannel(22, &info), S_OK);
  EXPECT_STREQ(info.name, "22");
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(r->QueryAntennaChannel(500, &info), E_FAIL);
  EXPECT_EQ(r->Tune(13), E_FAIL);  // no E13
  char name[kTvNameChars] = {};
  ASSERT_EQ(r->GetFoundChannelName(21, name), S_OK);
  EXPECT_STREQ(name, "Two");
  EXPECT_EQ(r->GetFoundChannelName(22, name), E_FAIL);
  int first = 0, last = 0;
  ASSERT_EQ(r->GetChannelRange(&first, &last), S_OK);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(last, 69);
}

TEST_F(RecorderTest, SearchFindsExactlyTheStationsAndKeepsThem) {
  {
    auto r = Make();
    ASSERT_EQ(r->StartSearch(), S_OK);
    ASSERT_TRUE(log.WaitFor(tvevent::kSearchFinished));
    std::vector<int> found;
    for (const auto& e : log.Of(tvevent::kChannelTuned)) found.push_back(e[1]);
    EXPECT_EQ(found, (std::vector<int>{5, 21, 30}));
    const auto percents = log.Of(tvevent::kSearchPercent);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back()[1], 100);
    r->SetEventSink(nullptr);
  }
  // The channel table outlives the recorder: a new one reads it back.
  auto again = Make();
  TvChannelInfo info{};
  ASSERT_EQ(again->QueryAntennaChannel(30, &info), S_OK);
  EXPECT_EQ(info.stored, 1);
  EXPECT_STREQ(info.name, "Three");
  EXPECT_EQ(info.value, 100);
  ASSERT_EQ(again->QueryAntennaChannel(29, &info), S_OK);
  EXPECT_EQ(info.stored, 0);
  // Stepping goes over the stored channels, wrapping.
  ASSERT_EQ(again->Tune(30), S_OK);
  ASSERT_EQ(again->ChannelUp(), S_OK);
  int channel = 0;
  again->GetTunedChannel(&channel);
  EXPECT_EQ(channel, 5);
  ASSERT_EQ(again->ChannelDown(), S_OK);
  again->GetTunedChannel(&channel);
  EXPECT_EQ(channel, 30);
  ASSERT_EQ(again->ChannelPrevious(), S_OK);
  again->GetTunedChannel(&channel);
  EXPECT_EQ(channel, 5);
  ASSERT_EQ(again->SetChannelStored(1, 30, 0), S_OK);
  ASSERT_EQ(again->QueryAntennaChannel(30, &info), S_OK);
  EXPECT_EQ(info.stored, 0);
  again->SetEventSink(nullptr);
}

TEST_F(RecorderTest, SearchStopsWhenAsked) {
  auto r = Make();
  ASSERT_EQ(r->StartSearch(), S_OK);
  ASSERT_EQ(r->StopSearch(), S_OK);
  EXPECT_TRUE(log.WaitFor(tvevent::kSearchFinished));
  r->SetEventSink(nullptr);
}

TEST_F(RecorderTest, PictureControlsAndSound) {
  auto r = Make();
  int mn = 0, mx = 0, def = 0, v = 0;
  ASSERT_EQ(r->GetHueRange(&mn, &mx, &def), S_OK);
  EXPECT_EQ(mx, 255);
  ASSERT_EQ(r->SetHue(200), S_OK);
  ASSERT_EQ(r->GetHue(&v), S_OK);
  EXPECT_EQ(v, 200);
  EXPECT_EQ(r->SetHue(300), E_FAIL);
  EXPECT_EQ(r->SetTvAudio(0), S_OK);
  EXPECT_EQ(r->SetTvAudio(4), E_FAIL);
  // Operations no caller uses answer E_NOTIMPL.
  EXPECT_EQ(static_cast<ISysRecorder*>(r.Get())->Unused7(), E_NOTIMPL);
  r->SetEventSink(nullptr);
}

TEST(Teletext, EncodedPagesDecode) {
  // Address bytes are Hamming 8/4, text bytes odd parity.
  const tvrec::TeletextPacket header = tvrec::TeletextHeader(100, "Marivel");
  ASSERT_EQ(header.size(), 42u);
  EXPECT_EQ(vbi_unham8(header[0]), 1);        // magazine 1, packet 0
  EXPECT_EQ(vbi_unham8(header[1]), 0);
  EXPECT_EQ(vbi_unham8(header[2]), 0);        // page units
  const tvrec::TeletextPacket sub = tvrec::TeletextHeader(103, "Marivel", 12);
  EXPECT_EQ(vbi_unham8(sub[4]), 2);           // sub-code units
  EXPECT_EQ(vbi_unham8(sub[5]), 1 | 8);       // sub-code tens, erase page
  const tvrec::TeletextPacket row = tvrec::TeletextRow(102, 5, "Abc");
  EXPECT_EQ(vbi_unham8(row[0]), 1 | 8);       // odd packet number in the first byte
  EXPECT_EQ(vbi_unham8(row[1]), 2);
  for (std::size_t i = 2; i < row.size(); ++i) EXPECT_EQ(__builtin_popcount(row[i]) % 2, 1);
  EXPECT_EQ(row[2] & 0x7f, 'A');

  tvrec::TeletextDecoder decoder;
  EXPECT_FALSE(decoder.Has(100));
  // Four cycles: a page is complete when the next header arrives, and page
  // 103's three sub-pages take turns.
  double t = 0;
  for (int cycle = 0; cycle < 4; ++cycle) {
    const auto pages = tvrec::StationPages("Station Two", "03.05.2026", "21:07:00", cycle);
    for (std::size_t i = 0; i < pages.size(); i += 16) {
      decoder.Feed(std::vector<tvrec::TeletextPacket>(pages.begin() + i, pages.begin() + std::min(i + 16, pages.size())),
                   t += 0.04);
    }
  }
  EXPECT_GE(decoder.pagesReceived(), 4);  // the page handler saw them: without one nothing is cached
  ASSERT_TRUE(decoder.Has(100));
  ASSERT_TRUE(decoder.Has(103));
  EXPECT_FALSE(decoder.Has(104));
  const std::string text = decoder.Text(100);
  EXPECT_NE(text.find("Station Two"), std::string::npos);
  EXPECT_NE(text.find("21:07:00"), std::string::npos);
  EXPECT_NE(decoder.Text(102).find("Weather"), std::string::npos);
  // Page 103 comes in three sub-pages, each kept; the others have none.
  EXPECT_EQ(decoder.SubPages(103), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(decoder.SubPages(100), std::vector<int>{0});
  EXPECT_TRUE(decoder.SubPages(104).empty());
  EXPECT_NE(decoder.Text(103, 1).find("Test picture all day"), std::string::npos);
  EXPECT_NE(decoder.Text(103, 2).find("Test tone on the hour"), std::string::npos);
  EXPECT_NE(decoder.Text(103, 3).find("Two Programmes 3/3"), std::string::npos);
  EXPECT_TRUE(decoder.Text(103, 4).empty());
  // The colour keys follow the pages' links.
  EXPECT_EQ(decoder.Link(101, 0), 100);
  EXPECT_EQ(decoder.Link(101, 1), 102);
  EXPECT_EQ(decoder.Link(100, 0), 103);
  EXPECT_EQ(decoder.Link(102, 3), 100);
  decoder.Reset();
  EXPECT_FALSE(decoder.Has(100));
  EXPECT_TRUE(decoder.SubPages(103).empty());
}

TEST(ProfileFile, ParsesEntriesAndRefusesMalformedText) {
  const auto entries = tvrec::ParseProfileFile(
      "# comment\n[Record]\nName=DVD SP\nFormat=2\nVideoBitRate=6000000\nWidth=720\nHeight=576\n"
      "FrameRate=25\r\nAudioBitRate=224\n\n[Replay]\nName=9999902000\nFrameRate=29.97\n");
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  EXPECT_STREQ((*entries)[0].kind, "Record");
  EXPECT_STREQ((*entries)[0].name, "DVD SP");
  EXPECT_EQ((*entries)[0].block.videoBitRate, 6000000);
  EXPECT_EQ((*entries)[0].block.width, 720);
  EXPECT_STREQ((*entries)[0].block.gop, "IBBPBBPBBPBBPBBP");  // the default where none is given
  EXPECT_EQ((*entries)[0].block.field372, 2);
  EXPECT_FLOAT_EQ((*entries)[1].block.frameRate, 29.97f);
  EXPECT_STREQ((*entries)[1].kind, "Replay");

  const char* bad[] = {
      "Name=x\n",                              // a key outside a section
      "[Burn]\nName=x\n",                      // an unknown kind
      "[Record]\nWidth=720\n",                 // no name
      "[Record]\nName=x\nWidth=7a\n",          // a bad number
      "[Record]\nName=x\nWidth=-5\n",
      "[Record]\nName=x\nColour=1\n",          // an unknown key
      "[Record]\nName=x\nFrameRate=0\n",
  };
  for (const char* text : bad) EXPECT_FALSE(tvrec::ParseProfileFile(text)) << text;
  const std::string longName = "[Record]\nName=" + std::string(200, 'n') + "\n";
  EXPECT_FALSE(tvrec::ParseProfileFile(longName));
}

TEST(ProfileFile, ShippedFilesParse) {
  for (const char* name : {"Default_PAL.prf", "Default_NTSC.prf"}) {
    std::ifstream in(std::string(MARIVEL_TEST_SOURCE_DIR) + "/outside/tvrecorder/profiles/" + name);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto entries = tvrec::ParseProfileFile(text);
    ASSERT_TRUE(entries) << name;
    std::vector<std::string> records;
    int replays = 0;
    for (const auto& e : *entries) {
      if (std::string(e.kind) == "Record") records.push_back(e.name);
      if (std::string(e.kind) == "Replay") ++replays;
    }
    EXPECT_EQ(records, (std::vector<std::string>{"DVD HQ", "DVD SP", "DVD LP", "DVD EP", "VCD", "DivX"})) << name;
    EXPECT_EQ(replays, 3) << name;
  }
}

TEST(ProfileStore, EntriesPersistInTheUserRegistry) {
  test_support::TempEnvironment env("store");
  const std::string file = env.dir() + "/p.prf";
  test_support::WriteFile(file, "[Record]\nName=A\nVideoBitRate=1000\n[Record]\nName=B\n[Replay]\nName=5\n");
  const char* key = "Software\\Kestrovia\\Marivel\\TV\\Profile";
  {
    auto store = MakeComObject<CProfileStore>();
    int count = -1;
    EXPECT_EQ(store->GetCount(&count), E_FAIL);  // not open
    ASSERT_EQ(store->Open(key), S_OK);
    ASSERT_EQ(store->GetCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(store->LoadFile(file.c_str()), S_OK);
    EXPECT_EQ(store->LoadFile((env.dir() + "/missing.prf").c_str()), E_FAIL);
    test_support::WriteFile(env.dir() + "/bad.prf", "[Record]\nWidth=1\n");
    EXPECT_EQ(store->LoadFile((env.dir() + "/bad.prf").c_str()), E_FAIL);
    ASSERT_EQ(store->GetCount(&count), S_OK);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(store->DeleteEntry("Record", "B"), S_OK);
    EXPECT_EQ(store->DeleteEntry("Record", "B"), E_FAIL);
  }
  auto store = MakeComObject<CProfileStore>();
  ASSERT_EQ(store->Open(key), S_OK);
  int count = 0;
  store->GetCount(&count);
  ASSERT_EQ(count, 2);
  ProfileEntry e{};
  ASSERT_EQ(store->GetEntry(1, &e), S_OK);
  EXPECT_STREQ(e.kind, "Replay");
  EncoderBlock block{};
  ASSERT_EQ(store->ReadBlock("Record", "A", &block), S_OK);
  EXPECT_EQ(block.videoBitRate, 1000);
  EXPECT_EQ(store->ReadBlock("Replay", "A", &block), E_FAIL);
  EXPECT_EQ(store->GetSelected(&e), E_FAIL);
  ASSERT_EQ(store->Select("Record", "A"), S_OK);
  ASSERT_EQ(store->GetSelected(&e), S_OK);
  EXPECT_STREQ(e.name, "A");
}

// Dispatches the thread's messages until `done` holds, or for at most 30 s.
template <class Done>
bool PumpVideoUntil(Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  MSG m;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    else std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

HWND MakeVideoOwner(int width, int height) {
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "VideoWindowOwner";
  RegisterClass(&wc);
  return CreateWindowEx(0, "VideoWindowOwner", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                        nullptr, nullptr);
}

// A grey frame of `luma`.
tvrec::VideoFrameI420 GreyFrame(int width, int height, std::uint8_t luma) {
  tvrec::VideoFrameI420 frame;
  frame.width = width;
  frame.height = height;
  frame.data.assign(static_cast<std::size_t>(width) * height * 3 / 2, 128);
  std::fill_n(frame.data.begin(), static_cast<std::size_t>(width) * height, luma);
  return frame;
}

// A frame left while the window was being replaced: the picture goes on
// after the owner is set again, and an owner set twice keeps its window.
TEST(VideoWindow, PicturesGoOnAfterTheOwnerIsSetAgain) {
  HWND owners[2];
  for (HWND& owner : owners) owner = MakeVideoOwner(320, 240);
  const tvrec::VideoFrameI420 frame = GreyFrame(16, 16, 128);
  {
    tvrec::VideoWindow video;
    video.SetOwner(owners[0]);
    video.Place(0, 0, 64, 48);
    video.Show(true);
    const HWND first = video.hwnd();
    ASSERT_TRUE(first);
    video.SetOwner(owners[0]);
    EXPECT_EQ(video.hwnd(), first);

    for (HWND owner : {owners[1], owners[0]}) {
      video.Present(frame);  // its notice goes to the window about to go
      video.SetOwner(owner);
      const int before = video.painted();
      video.Present(frame);
      EXPECT_TRUE(PumpVideoUntil([&] { return video.painted() > before; }));
    }
  }
  for (HWND owner : owners) DestroyWindow(owner);
  PumpVideoUntil([] { return true; });
}

// Frames handed over far faster than the screen takes them, at full HD:
// they replace each other (no queue), the converter never works ahead of the
// paints, messages posted meanwhile are served between two paints, and the
// newest frame is the one left on the screen.
TEST(VideoWindow, AFloodOfFramesKeepsOnlyTheNewest) {
  constexpr int kWidth = 1920, kHeight = 1080, kFrames = 3000;
  const HWND owner = MakeVideoOwner(kWidth, kHeight);
  ASSERT_TRUE(owner);
  {
    tvrec::VideoWindow video;
    video.SetOwner(owner);
    video.Place(0, 0, kWidth, kHeight);
    video.Show(true);
    std::vector<tvrec::VideoFrameI420> frames;
    for (std::uint8_t luma : {40, 120, 200}) frames.push_back(GreyFrame(720, 576, luma));
    const tvrec::VideoFrameI420 last = GreyFrame(720, 576, 235);
    std::atomic<int> presented{0};
    std::thread streaming([&] {
      for (int i = 0; i < kFrames; ++i, ++presented) video.Present(frames[static_cast<std::size_t>(i) % 3]);
      video.Present(last);
      ++presented;
    });
    // A descriptor that becomes ready while frames pour in (as a close
    // request does) is served before the paint after next.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    int served = 0;
    const FdWatchId watch = WatchFd(pipeEnds[0], POLLIN, [&](int fd, short) {
      char byte;
      if (read(fd, &byte, 1) == 1) ++served;
    });
    for (int round = 0; round < 5; ++round) {
      const int paintedBefore = video.painted();
      ASSERT_EQ(write(pipeEnds[1], "x", 1), 1);
      ASSERT_TRUE(PumpVideoUntil([&] { return served > round; }));
      EXPECT_LE(video.painted() - paintedBefore, 1) << "round " << round;
    }
    UnwatchFd(watch);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    ASSERT_TRUE(PumpVideoUntil([&] { return presented.load() == kFrames + 1; }));
    streaming.join();
    // The newest frame reaches the screen.
    const HDC dc = GetDC(video.hwnd());
    ASSERT_TRUE(dc);
    const plat::SurfacePtr screen = plat::GetDCSurface(dc);
    ASSERT_TRUE(screen);
    EXPECT_TRUE(PumpVideoUntil([&] { return (screen->pixel(kWidth / 2, kHeight / 2) & 0xFF) > 225; }))
        << std::hex << screen->pixel(kWidth / 2, kHeight / 2);
    ReleaseDC(video.hwnd(), dc);
    // Dropped, not queued: far fewer pictures than frames, each one painted.
    EXPECT_LT(video.converted(), kFrames / 2);
    EXPECT_LE(video.converted(), video.painted() + 1);
    EXPECT_GE(video.painted(), 1);
  }
  DestroyWindow(owner);
  PumpVideoUntil([] { return true; });
}

// A card's VBI device that gives sliced teletext: a station's pages, a
// picture's lines a read, then a failure that ends the reader.
class SlicedVbi final : public plat::tv::IV4l2Io {
 public:
  std::deque<std::vector<tvrec::TeletextPacket>> reads;
  int Ioctl(unsigned long request, void* arg) override {
    if (request == VIDIOC_QUERYCAP) {
      static_cast<v4l2_capability*>(arg)->capabilities = V4L2_CAP_SLICED_VBI_CAPTURE;
      return 0;
    }
    if (request == VIDIOC_S_FMT) {
      static_cast<v4l2_format*>(arg)->fmt.sliced.io_size = 16 * sizeof(v4l2_sliced_vbi_data);
      return 0;
    }
    errno = ENOTTY;
    return -1;
  }
  long Read(void* buffer, unsigned long size) override {
    if (reads.empty()) {
      errno = EIO;
      return -1;
    }
    std::vector<v4l2_sliced_vbi_data> records;
    for (const auto& line : reads.front()) {
      v4l2_sliced_vbi_data r{};
      r.id = V4L2_SLICED_TELETEXT_B;
      std::memcpy(r.data, line.data(), line.size());
      records.push_back(r);
    }
    reads.pop_front();
    const std::size_t n = std::min<std::size_t>(size, records.size() * sizeof(v4l2_sliced_vbi_data));
    std::memcpy(buffer, records.data(), n);
    return static_cast<long>(n);
  }
  int WaitReadable(int) override { return 1; }
};

TEST(VbiReader, TeletextOfACardReachesTheDecoder) {
  auto io = std::make_unique<SlicedVbi>();
  for (int cycle = 0; cycle < 2; ++cycle) {
    const auto pages = tvrec::StationPages("Card Station", "03.05.2026", "21:07:00", cycle);
    for (std::size_t i = 0; i < pages.size(); i += 16)
      io->reads.emplace_back(pages.begin() + i, pages.begin() + std::min(i + 16, pages.size()));
  }
  auto vbi = std::make_unique<plat::tv::V4l2Vbi>(std::move(io));
  ASSERT_TRUE(vbi->ok());
  auto decoder = std::make_shared<tvrec::TeletextDecoder>();
  std::atomic<int> refreshed{0};
  {
    tvrec::VbiReader reader(std::move(vbi), decoder, [&] { ++refreshed; });
    for (int i = 0; i < 200 && reader.running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(reader.running());  // the device's failure ended it
  }
  EXPECT_NE(decoder->Text(100).find("Card Station"), std::string::npos);
  EXPECT_TRUE(decoder->Has(102));
  EXPECT_GT(refreshed, 0);
}

}  // namespace
