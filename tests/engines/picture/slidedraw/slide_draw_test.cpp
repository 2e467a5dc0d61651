// The renderer on the real GStreamer pipeline with a headless window: slides
// made from generated pictures, seeking, the end of the show, tearing down
// from inside the sink, and the list counting only what the source took.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "engines/picture/picture_core/picture_file.h"
#include "engines/picture/slidedraw/slide_draw.h"
#include "platform/com/hresult.h"
#include "platform/win/display_link.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

using namespace plat;
namespace fs = std::filesystem;
using namespace std::chrono_literals;
constexpr std::int64_t kShowSecond = 10'000'000;

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 15s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return false;
}

class Slides : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("slidedraw_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    red_ = Write("red.jpg", 0xFFFF0000u);
    green_ = Write("green.jpg", 0xFF00FF00u);
    blue_ = Write("blue.jpg", 0xFF0000FFu);
    // Half a JPEG: it cannot be decoded and shows black.
    std::ifstream in(blue_, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    broken_ = (dir_ / "broken.jpg").string();
    std::ofstream(broken_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));

    WNDCLASS wc{};
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "SlideDrawTestOwner";
    RegisterClass(&wc);
    owner_ = CreateWindowEx(0, "SlideDrawTestOwner", "", WS_POPUP, 0, 0, 160, 120, nullptr, nullptr, nullptr,
                            nullptr);
    ASSERT_TRUE(owner_);
    ShowWindow(owner_, SW_SHOW);
  }
  void TearDown() override {
    DestroyWindow(owner_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::string Write(const char* name, std::uint32_t colour) {
    const plat::Surface pixels(320, 240, colour);
    picture::SaveOptions options;
    options.format = picture::kFormatJpeg;
    const auto bytes = picture::EncodePicture(pixels, options);
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  // The host window's centre pixel as the last frame left it.
  static std::uint32_t Centre(CSlideDraw& show) {
    SurfacePtr surface = GetWindowSurface(show.hostWindow());
    if (!surface || surface->empty()) return 0;
    return surface->pixel(surface->width() / 2, surface->height() / 2) | 0xFF000000u;
  }

  fs::path dir_;
  std::string red_, green_, blue_, broken_;
  HWND owner_ = nullptr;
};

class RecordingSink : public ISlideShowEventSink {
 public:
  int OnTick() override { return ++ticks; }
  int OnShowEnded() override {
    ++ended;
    if (onEnded) onEnded();
    return 0;
  }
  int OnForeground(std::int32_t flag) override { return foreground = flag; }
  int OnWindowFlag(std::int32_t flag) override { return windowFlag = flag; }
  int OnRewindAtStart() override { return ++rewound; }

  int ticks = 0, ended = 0, rewound = 0, foreground = -1, windowFlag = -1;
  std::function<void()> onEnded;
};

bool Near(std::uint32_t pixel, std::uint32_t expected, int tolerance = 24) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((pixel >> shift) & 0xFF);
    const int b = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

TEST_F(Slides, PlaysSeeksAndEndsOnceEvenWhenTheSinkTearsDown) {
  auto show = MakeComObject<CSlideDraw>();
  ASSERT_TRUE(show);
  RecordingSink sink;
  // Without a graph every stream operation refuses.
  std::int64_t value = 0;
  EXPECT_EQ(show->GetDuration(&value), E_FAIL);
  EXPECT_EQ(show->AddSlide(red_.c_str()), E_FAIL);
  ASSERT_EQ(show->BuildGraph(), S_OK);
  EXPECT_EQ(show->BuildGraph(), E_FAIL);
  std::int32_t built = 0;
  show->IsGraphBuilt(&built);
  EXPECT_EQ(built, 1);
  ASSERT_EQ(show->SetOwnerWindow(owner_), S_OK);
  ASSERT_EQ(show->SetNotifyTarget(&sink), S_OK);
  EXPECT_EQ(show->Run(), E_FAIL) << "no slides";
  EXPECT_EQ(show->Pause(), E_FAIL) << "no slides";

  ASSERT_EQ(show->SetSlideDuration(kShowSecond), S_OK);
  ASSERT_EQ(show->SetTransitionDuration(kShowSecond), S_OK);
  for (const std::string* path : {&red_, &green_, &blue_}) ASSERT_EQ(show->AddSlide(path->c_str()), S_OK);
  EXPECT_EQ(show->InsertSlide(7, broken_.c_str()), E_FAIL);
  EXPECT_EQ(show->RemoveSlide(5), E_FAIL);
  EXPECT_EQ(show->slideCount(), 3) << "only slides the source took are counted";
  ASSERT_EQ(show->SetSlideTransition(0, 34), S_OK);
  ASSERT_EQ(show->SetSlideTransition(1, 34), S_OK);
  ASSERT_EQ(show->GetDuration(&value), S_OK);
  EXPECT_EQ(value, 5 * kShowSecond);

  ASSERT_EQ(show->ShowVideo(1), S_OK);
  ASSERT_EQ(show->SeekAndShow(0), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return Near(Centre(*show), 0xFFFF0000u); })) << std::hex << Centre(*show);

  // Halfway through the crossfade from red to green.
  ASSERT_EQ(show->SeekAndShow(kShowSecond * 3 / 2), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return Near(Centre(*show), 0xFF808000u, 40); })) << std::hex << Centre(*show);
  ASSERT_EQ(show->GetCurrentPosition(&value), S_OK);
  EXPECT_NEAR(static_cast<double>(value), 1.5 * kShowSecond, 0.1 * kShowSecond);

  // Play from 3.5 s to the end; the sink tears the show down from inside.
  sink.onEnded = [&] { show->TearDown(); };
  ASSERT_EQ(show->SeekAndShow(kShowSecond * 7 / 2), S_OK);
  ASSERT_EQ(show->Run(), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return sink.ended > 0; }));
  PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(sink.ended, 1);
  EXPECT_GT(sink.ticks, 0);
  show->IsGraphBuilt(&built);
  EXPECT_EQ(built, 0);
  EXPECT_EQ(show->slideCount(), 0);

  // A new graph after the tear-down.
  ASSERT_EQ(show->BuildGraph(), S_OK);
  ASSERT_EQ(show->AddSlide(broken_.c_str()), S_OK);
  ASSERT_EQ(show->AddSlide(green_.c_str()), S_OK);
  ASSERT_EQ(show->ShowVideo(1), S_OK);  // the tear-down hid the video
  ASSERT_EQ(show->SeekAndShow(0), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return Near(Centre(*show), 0xFF000000u, 8); })) << "an unreadable slide is black";
}

TEST_F(Slides, AFailingPipelineEndsTheShow) {
  auto show = MakeComObject<CSlideDraw>();
  RecordingSink sink;
  ASSERT_EQ(show->BuildGraph(), S_OK);
  ASSERT_EQ(show->SetOwnerWindow(owner_), S_OK);
  show->SetNotifyTarget(&sink);
  show->SetSlideDuration(10 * kShowSecond);
  show->SetTransitionDuration(kShowSecond);
  ASSERT_EQ(show->AddSlide(red_.c_str()), S_OK);
  ASSERT_EQ(show->AddSlide(green_.c_str()), S_OK);
  ASSERT_EQ(show->ShowVideo(1), S_OK);
  ASSERT_EQ(show->Run(), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return Near(Centre(*show), 0xFFFF0000u); }));
  show->source()->PostError("injected failure");
  EXPECT_TRUE(PumpUntil([&] { return sink.ended > 0; }));
  EXPECT_EQ(sink.ended, 1);
  EXPECT_EQ(show->Pause(), E_FAIL) << "the show is no longer playing";
}

TEST_F(Slides, ForegroundAndWindowFlagsReachTheSink) {
  auto show = MakeComObject<CSlideDraw>();
  RecordingSink sink;
  EXPECT_EQ(show->SetForeground(1), E_FAIL) << "no host window yet";
  ASSERT_EQ(show->BuildGraph(), S_OK);
  ASSERT_EQ(show->SetOwnerWindow(owner_), S_OK);
  EXPECT_EQ(show->SetForeground(1), E_FAIL) << "no sink yet";
  show->SetNotifyTarget(&sink);
  EXPECT_EQ(show->SetForeground(1), S_OK);
  EXPECT_EQ(show->SetWindowFlag(0), S_OK);
  EXPECT_EQ(sink.foreground, 1);
  EXPECT_EQ(sink.windowFlag, 0);
  float rate = 0;
  ASSERT_EQ(show->FastForward(2.0f), S_OK);
  show->GetRate(&rate);
  EXPECT_EQ(rate, 2.0f);
  show->Stop();
  show->GetRate(&rate);
  EXPECT_EQ(rate, 1.0f) << "stopping ends stepping";
}

TEST_F(Slides, RewindSteppingStopsAtTheStartWithOneCallback) {
  auto show = MakeComObject<CSlideDraw>();
  RecordingSink sink;
  ASSERT_EQ(show->BuildGraph(), S_OK);
  ASSERT_EQ(show->SetOwnerWindow(owner_), S_OK);
  show->SetNotifyTarget(&sink);
  show->SetSlideDuration(2 * kShowSecond);
  show->SetTransitionDuration(kShowSecond);
  for (const std::string* path : {&red_, &green_, &blue_}) ASSERT_EQ(show->AddSlide(path->c_str()), S_OK);
  show->ShowVideo(1);
  ASSERT_EQ(show->SeekAndShow(4 * kShowSecond), S_OK);  // on the second slide
  ASSERT_EQ(show->Rewind(2.0f), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return sink.rewound > 0; }));
  PumpUntil([] { return false; }, 700ms);
  EXPECT_EQ(sink.rewound, 1);
  std::int64_t position = -1;
  show->GetCurrentPosition(&position);
  EXPECT_LT(position, kShowSecond / 2);
  float rate = 0;
  show->GetRate(&rate);
  EXPECT_EQ(rate, 1.0f);
}

}  // namespace
