// The built library, loaded as the DVD engine loads it, on a generated DVD:
// two titles of two chapters, a menu with two buttons, AC-3 and MPEG audio
// (English, French) and a German subtitle stream.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>
#include <algorithm>
#include <vector>

#include "outside/tovelax/tovelax_api.h"
#include "tests/support/temp_files.h"
#include "tests/outside/tovelax/test_dvd.h"

namespace tovelax {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

HWND const kVideoWindow = reinterpret_cast<HWND>(0x1001);
constexpr std::uint32_t kEventMessage = 0x0400 + 1900;
constexpr auto kWait = 20s;

using tovelax_test::FixtureDir;

// Records the posts the library makes, as the window system would receive them.
class FakePoster final : public INotifyPoster {
 public:
  void Post(HWND window, std::uint32_t message, std::uintptr_t, std::intptr_t) override {
    std::lock_guard lock(mutex_);
    posts_.push_back({window, message});
    changed_.notify_all();
  }
  // Waits until a post arrives or the time is up.
  void WaitForPost(std::size_t seen, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return posts_.size() > seen; });
  }
  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return posts_.size();
  }
  std::size_t CountOf(std::uint32_t message) {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& post : posts_) n += post.message == message;
    return n;
  }

 private:
  struct Posted {
    HWND window;
    std::uint32_t message;
  };
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Posted> posts_;
};

class FakeFrameSink final : public IFrameSink {
 public:
  void OnFrame(const std::shared_ptr<const VideoFrame>& frame, const Rect& destination, const Rect&,
               bool visible) override {
    last = frame;
    lastDestination = destination;
    lastVisible = visible;
    ++count;
  }
  std::shared_ptr<const VideoFrame> last;
  Rect lastDestination;
  bool lastVisible = false;
  int count = 0;
};

struct Event {
  std::int32_t code;
  std::intptr_t value1;
  std::intptr_t value2;
  std::uint32_t time;  // the time value of time events, copied before freeing
};

class Library {
 public:
  Library() {
    const std::string path = std::string(MARIVEL_TEST_BIN_DIR) + "/Movie/libtovelax.so";
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) return;
    version = reinterpret_cast<GetMMAPIVersionFn>(dlsym(handle_, kVersionEntry));
    get = reinterpret_cast<GetMMAPIFn>(dlsym(handle_, kApiEntry));
    release = reinterpret_cast<ReleaseMMAPIFn>(dlsym(handle_, kReleaseEntry));
  }
  ~Library() {
    if (handle_) dlclose(handle_);
  }
  bool loaded() const { return handle_ && version && get && release; }
  GetMMAPIVersionFn version = nullptr;
  GetMMAPIFn get = nullptr;
  ReleaseMMAPIFn release = nullptr;

 private:
  void* handle_ = nullptr;
};

class TovelaxLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.loaded()) << dlerror();
    api_ = library_.get();
    ASSERT_NE(api_, nullptr);
    api_->SetNotifyPoster(&poster_);
    api_->VideoWindow()->SetMessageDrain(kVideoWindow);
    api_->VideoWindow()->SetFrameSink(&sink_);
    std::int32_t discard = 1;
    ASSERT_EQ(api_->Source()->SetProperty(kPropAudioOutput, &discard, 4), kOk);
    dir_ = fs::temp_directory_path() / ("tovelax-lib-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    bookmarks_ = (dir_ / "ar.cbk").string();
    ASSERT_EQ(api_->Source()->SetProperty(kPropBookmarkFile, bookmarks_.c_str(),
                                          static_cast<std::uint32_t>(bookmarks_.size() + 1)),
              kOk);
    api_->Events()->SetNotifyWindow(kVideoWindow, kEventMessage, 0);
  }
  void TearDown() override {
    if (api_) {
      api_->Source()->Close();
      Drain();
      library_.release();
    }
    fs::remove_all(dir_);
  }

  std::string DvdPath() { return (FixtureDir() / "dvd").string(); }

  void OpenDvd() {
    ASSERT_FALSE(FixtureDir().empty()) << "the test DVD could not be generated";
    ASSERT_EQ(api_->Source()->Open(DvdPath().c_str()), kOk);
  }

  // Takes every waiting event, freeing each as the engine does.
  void Drain() {
    std::int32_t code;
    std::intptr_t v1, v2;
    while (api_->Events()->GetEvent(&code, &v1, &v2) == kOk) {
      std::uint32_t time = 0;
      if (code == kEvTimeChange) time = PackTime(*reinterpret_cast<const TimeCode*>(v1));
      events_.push_back({code, v1, v2, time});
      EXPECT_EQ(api_->Events()->FreeEvent(code, v1, v2), kOk);
    }
    while (api_->VideoWindow()->DeliverFrame() == kOk) {
    }
  }

  // Pumps events until one satisfies `match` (searching from `from`), or fails after kWait.
  const Event* WaitFor(const std::function<bool(const Event&)>& match, std::size_t from = 0) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    for (;;) {
      const std::size_t seen = poster_.Count();
      Drain();
      for (std::size_t i = from; i < events_.size(); ++i)
        if (match(events_[i])) return &events_[i];
      if (std::chrono::steady_clock::now() > deadline) return nullptr;
      poster_.WaitForPost(seen, 100ms);
    }
  }
  const Event* WaitFor(std::int32_t code, std::intptr_t value1, std::size_t from = 0) {
    return WaitFor([&](const Event& e) { return e.code == code && e.value1 == value1; }, from);
  }

  // Waits until the disc reports the title and chapter (events may have come earlier).
  bool WaitForChapter(std::int32_t title, std::int32_t chapter) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (std::chrono::steady_clock::now() < deadline) {
      Drain();
      std::int32_t t = 0, c = 0;
      api_->Info()->GetTitleChapter(&t, &c);
      if (t == title && c == chapter) return true;
      poster_.WaitForPost(poster_.Count(), 50ms);
    }
    return false;
  }

  // Starts at the disc menu, with its buttons known.
  void PlayToMenu() {
    OpenDvd();
    ASSERT_EQ(api_->Transport()->Play(), kOk);
    ASSERT_NE(WaitFor(kEvDomainChange, kDomainDiscMenu), nullptr);
    ASSERT_NE(WaitFor(kEvButtonChange, 2), nullptr);
  }

  void PlayTitle(int title) {
    PlayToMenu();
    const std::size_t from = events_.size();
    ASSERT_EQ(api_->Transport()->SelectByNumber(title), kOk);
    ASSERT_NE(WaitFor(kEvTitleChange, title, from), nullptr);
    ASSERT_NE(WaitFor(kEvChapterStart, 1, from), nullptr);
  }

  Library library_;
  IMMAPI* api_ = nullptr;
  FakePoster poster_;
  FakeFrameSink sink_;
  std::vector<Event> events_;
  fs::path dir_;
  std::string bookmarks_;
};

TEST_F(TovelaxLibrary, EntryPointsGiveTheVersionAndOneApiObject) {
  EXPECT_EQ(library_.version(), 0x05061201u);
  EXPECT_EQ(library_.get(), api_);
}

TEST_F(TovelaxLibrary, ClassifiesTheGeneratedDiscAndRefusesMissingPaths) {
  ASSERT_FALSE(FixtureDir().empty());
  std::uint32_t bits = 0;
  ASSERT_EQ(api_->Source()->GetMediaKind(DvdPath().c_str(), &bits), kOk);
  EXPECT_EQ(bits, kMediaDvdFolder);
  ASSERT_EQ(api_->Source()->GetMediaKind((FixtureDir() / "video.mpg").c_str(), &bits), kOk);
  EXPECT_EQ(bits, kMediaVideoFileMpegPs);
  EXPECT_TRUE(Failed(api_->Source()->GetMediaKind((dir_ / "none").c_str(), &bits)));
  EXPECT_TRUE(Failed(api_->Source()->Open((dir_ / "none").c_str())));
  EXPECT_TRUE(Failed(api_->Source()->Open(dir_.c_str())));  // an empty folder holds nothing playable
  EXPECT_EQ(api_->Transport()->Play(), kNotOpen);
}

TEST_F(TovelaxLibrary, OpensWithoutPlayingUntilAskedAndReportsTheDisc) {
  OpenDvd();
  std::int32_t value = 0;
  std::uint32_t size = 4;
  ASSERT_EQ(api_->Source()->GetProperty(kPropTitleCount, &value, &size), kOk);
  EXPECT_EQ(value, 2);
  std::uint32_t regions = 0xff;
  ASSERT_EQ(api_->Info()->GetDiscRegionMask(&regions), kOk);
  EXPECT_EQ(regions, 0u);
  std::uint32_t levels = 0;
  ASSERT_EQ(api_->Transport()->GetTitleParentalLevels(1, &levels), kOk);
  EXPECT_EQ(levels, 0xff00u);  // no parental table: every level
  std::this_thread::sleep_for(300ms);
  Drain();
  EXPECT_TRUE(events_.empty()) << "nothing plays before Play";
}

TEST_F(TovelaxLibrary, ReportsTheVideoOfTheTitle) {
  PlayTitle(1);
  VideoAttributes video;
  ASSERT_EQ(api_->Info()->GetVideoAttributes(&video), kOk);
  EXPECT_EQ(video.width, 720u);
  EXPECT_EQ(video.height, 576u);
  EXPECT_EQ(video.aspectX, 4u);
  EXPECT_EQ(video.aspectY, 3u);
  EXPECT_EQ(video.lineStandard, 2u);
}

TEST_F(TovelaxLibrary, DiscIdIsStableAcrossOpens) {
  OpenDvd();
  std::uint8_t first[16] = {}, second[16] = {};
  std::uint32_t size = 16;
  ASSERT_EQ(api_->Source()->GetProperty(kPropDiscId, first, &size), kOk);
  api_->Source()->Close();
  OpenDvd();
  size = 16;
  ASSERT_EQ(api_->Source()->GetProperty(kPropDiscId, second, &size), kOk);
  EXPECT_EQ(std::memcmp(first, second, 16), 0);
  EXPECT_NE(std::count(first, first + 16, 0), 16);
}

TEST_F(TovelaxLibrary, MenuButtonsMoveAndActivate) {
  PlayToMenu();
  std::int32_t count = 0, selected = 0;
  ASSERT_EQ(api_->Info()->GetButtons(&count, &selected), kOk);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(selected, 1);
  std::int32_t lowest = 0, highest = 0;
  ASSERT_EQ(api_->Transport()->GetNumberRange(&lowest, &highest), kOk);
  EXPECT_EQ(lowest, 1);
  EXPECT_EQ(highest, 2);
  ASSERT_EQ(api_->Transport()->SelectRightButton(), kOk);
  ASSERT_EQ(api_->Info()->GetButtons(&count, &selected), kOk);
  EXPECT_EQ(selected, 2);
  const std::size_t from = events_.size();
  ASSERT_EQ(api_->Transport()->ActivateButton(), kOk);
  ASSERT_NE(WaitFor(kEvTitleChange, 2, from), nullptr);
  ASSERT_NE(WaitFor(kEvDomainChange, kDomainTitle, from), nullptr);
}

// Share of the pixels of the frame in x0..x1, y0..y1 for which `wanted(r, g, b)` holds.
template <typename Predicate>
double FrameShare(const VideoFrame& frame, std::uint32_t x0, std::uint32_t y0, std::uint32_t x1, std::uint32_t y1,
                  Predicate wanted) {
  long hits = 0, total = 0;
  for (std::uint32_t y = y0; y < y1 && y < frame.height; ++y)
    for (std::uint32_t x = x0; x < x1 && x < frame.width; ++x) {
      const std::uint8_t* p = frame.pixels.data() + std::size_t{y} * frame.stride + x * 4;  // BGRA
      hits += wanted(p[2], p[1], p[0]);
      ++total;
    }
  return total ? static_cast<double>(hits) / total : 0.0;
}

bool Outline(int r, int g, int b) { return r > 150 && g > 150 && b < 110; }  // the highlight's yellow

TEST_F(TovelaxLibrary, TheSelectedButtonIsOutlinedOnTheMenu) {
  PlayToMenu();
  // Frames of the menu: the outline of button 1 (x 100..300, y 200..280,
  // four lines thick) and none around button 2 (x 420..620).
  const auto outlined = [&](std::uint32_t left) {
    return sink_.last && FrameShare(*sink_.last, left, 200, left + 200, 204, Outline) > 0.8;
  };
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (!outlined(100) && std::chrono::steady_clock::now() < deadline) {
    poster_.WaitForPost(poster_.Count(), 100ms);
    Drain();
  }
  ASSERT_TRUE(sink_.last);
  EXPECT_TRUE(outlined(100));
  EXPECT_LT(FrameShare(*sink_.last, 420, 200, 620, 204, Outline), 0.1);
  EXPECT_LT(FrameShare(*sink_.last, 120, 220, 280, 260, Outline), 0.1) << "inside the outline is the menu";

  // Moving right outlines button 2 on the still picture.
  ASSERT_EQ(api_->Transport()->SelectRightButton(), kOk);
  const auto moved = std::chrono::steady_clock::now() + kWait;
  while (!outlined(420) && std::chrono::steady_clock::now() < moved) {
    poster_.WaitForPost(poster_.Count(), 100ms);
    Drain();
  }
  EXPECT_TRUE(outlined(420));
  EXPECT_LT(FrameShare(*sink_.last, 100, 200, 300, 204, Outline), 0.1);
}

TEST_F(TovelaxLibrary, ButtonsAnswerPointsThroughTheDestinationRectangle) {
  PlayToMenu();
  // The picture is shown at half size at (10, 20); button 2 covers x 420..620, y 200..280.
  ASSERT_EQ(api_->VideoWindow()->SetDestinationPosition(10, 20, 360, 288), kOk);
  EXPECT_EQ(api_->Transport()->SelectButtonAtPoint(10 + 260, 20 + 120), kOk);
  std::int32_t count = 0, selected = 0;
  api_->Info()->GetButtons(&count, &selected);
  EXPECT_EQ(selected, 2);
  EXPECT_TRUE(Failed(api_->Transport()->SelectButtonAtPoint(5, 5)));  // outside the picture
  const std::size_t from = events_.size();
  ASSERT_EQ(api_->Transport()->ActivateButtonAtPoint(10 + 100, 20 + 120), kOk);  // button 1
  ASSERT_NE(WaitFor(kEvTitleChange, 1, from), nullptr);
}

TEST_F(TovelaxLibrary, PlaysToAChapterAndReportsTime) {
  PlayTitle(1);
  // Paused, the disc stands still while the test looks at it.
  ASSERT_EQ(api_->Transport()->Pause(), kOk);
  TitleTimeRecord total;
  ASSERT_EQ(api_->Info()->GetTotalTitleTime(&total), kOk);
  EXPECT_EQ(total.chapters, 2u);
  const TimeCode length = UnpackTime(total.totalTime);
  EXPECT_EQ(length.minutes, 0);
  EXPECT_GE(length.seconds, 5);
  EXPECT_LE(length.seconds, 6);
  std::int32_t title = 0, chapter = 0;
  ASSERT_EQ(api_->Info()->GetTitleChapter(&title, &chapter), kOk);
  if (chapter != 1) {  // a slow test thread let the disc run on: start the title over
    ASSERT_EQ(api_->Transport()->PlayChapter(1), kOk);
    ASSERT_EQ(api_->Transport()->Resume(), kOk);
    ASSERT_TRUE(WaitForChapter(1, 1));
    ASSERT_EQ(api_->Transport()->Pause(), kOk);
  }
  std::size_t from = events_.size();
  ASSERT_EQ(api_->Transport()->NextChapter(), kOk);
  ASSERT_EQ(api_->Transport()->Resume(), kOk);
  ASSERT_TRUE(WaitForChapter(1, 2));
  ASSERT_NE(WaitFor(kEvChapterStart, 2, from > 0 ? from - 1 : 0), nullptr);
  // Time events carry the position; the second chapter starts at three seconds.
  ASSERT_NE(WaitFor([](const Event& e) { return e.code == kEvTimeChange && UnpackTime(e.time).seconds >= 3; }, from),
            nullptr);
  ASSERT_EQ(api_->Transport()->Pause(), kOk);
  ASSERT_EQ(api_->Info()->GetTitleChapter(&title, &chapter), kOk);
  if (title == 1) {  // still inside the title (a slow machine may have left it)
    EXPECT_EQ(chapter, 2);
    std::uint32_t now = 0;
    ASSERT_EQ(api_->Info()->GetCurrentTime(&now), kOk);
    EXPECT_GE(UnpackTime(now).seconds, 3);
  }
  // Past the last chapter of the title the disc returns to its menu.
  ASSERT_EQ(api_->Transport()->Resume(), kOk);
  ASSERT_NE(WaitFor(kEvDomainChange, kDomainDiscMenu, from), nullptr);
}

bool Magenta(int r, int g, int b) { return r > 180 && b > 180 && g < 90; }

// Whether the frame shows the band titles have from their second chapter on
// (lines 60..119; the test pattern below has a magenta bar of its own).
bool ShowsSecondChapter(const VideoFrame& frame) { return FrameShare(frame, 0, 70, 720, 110, Magenta) > 0.9; }

TEST_F(TovelaxLibrary, TheChapterReportedIsTheOneOnThePicture) {
  PlayTitle(1);
  // The reader runs ahead of the picture: once it is in chapter 2 (its time
  // events say three seconds), the picture is still in chapter 1 for a while.
  std::size_t from = events_.size();
  ASSERT_NE(WaitFor([](const Event& e) { return e.code == kEvTimeChange && UnpackTime(e.time).seconds >= 3; }, from),
            nullptr);
  ASSERT_EQ(api_->Transport()->Pause(), kOk);
  std::this_thread::sleep_for(300ms);
  Drain();
  ASSERT_TRUE(sink_.last);
  std::int32_t title = 0, chapter = 0;
  ASSERT_EQ(api_->Info()->GetTitleChapter(&title, &chapter), kOk);
  EXPECT_EQ(title, 1);
  const bool second = ShowsSecondChapter(*sink_.last);
  EXPECT_EQ(chapter, second ? 2 : 1) << "the chapter reported is the one shown";
  const bool toldSecond = std::any_of(events_.begin() + static_cast<std::ptrdiff_t>(from), events_.end(),
                                      [](const Event& e) { return e.code == kEvChapterStart && e.value1 == 2; });
  EXPECT_EQ(toldSecond, second);

  // The next chapter counts from the one shown.
  from = events_.size();
  if (second) {
    EXPECT_EQ(api_->Transport()->NextChapter(), kTrackAtEnd);
    return;
  }
  ASSERT_EQ(api_->Transport()->NextChapter(), kOk);
  ASSERT_EQ(api_->Info()->GetTitleChapter(&title, &chapter), kOk);
  EXPECT_EQ(chapter, 2) << "a jump on its way counts at once";
  ASSERT_EQ(api_->Transport()->Resume(), kOk);
  ASSERT_NE(WaitFor(kEvChapterStart, 2, from), nullptr);
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (!ShowsSecondChapter(*sink_.last) && std::chrono::steady_clock::now() < deadline) {
    poster_.WaitForPost(poster_.Count(), 100ms);
    Drain();
  }
  EXPECT_TRUE(ShowsSecondChapter(*sink_.last));
}

TEST_F(TovelaxLibrary, ChapterNumbersJumpDirectly) {
  PlayTitle(2);
  ASSERT_EQ(api_->Transport()->Pause(), kOk);
  std::int32_t lowest = 0, highest = 0;
  ASSERT_EQ(api_->Transport()->GetNumberRange(&lowest, &highest), kOk);
  EXPECT_EQ(lowest, 1);
  EXPECT_EQ(highest, 2);
  EXPECT_EQ(api_->Transport()->PlayChapter(3), kInvalidArg);
  ASSERT_EQ(api_->Transport()->SelectByNumber(2), kOk);
  ASSERT_EQ(api_->Transport()->Resume(), kOk);
  EXPECT_TRUE(WaitForChapter(2, 2));
  ASSERT_NE(WaitFor(kEvChapterStart, 2), nullptr);
}

TEST_F(TovelaxLibrary, SwitchesAudioAndSubtitleStreamsItself) {
  PlayTitle(1);
  ASSERT_EQ(api_->Transport()->Pause(), kOk);
  std::int32_t count = 0, current = -1;
  ASSERT_EQ(api_->Info()->GetCurrentAudio(&count, &current), kOk);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(current, 0);
  AudioAttributes audio;
  ASSERT_EQ(api_->Info()->GetAudioAttributes(0, &audio), kOk);
  EXPECT_EQ(audio.format, kAudioAc3);
  EXPECT_EQ(audio.language, 0x409u);  // English
  ASSERT_EQ(api_->Info()->GetAudioAttributes(1, &audio), kOk);
  EXPECT_EQ(audio.language, 0x40cu);  // French
  EXPECT_EQ(audio.decodable, 1u);
  EXPECT_EQ(api_->Info()->GetAudioAttributes(2, &audio), kInvalidArg);

  std::size_t from = events_.size();
  ASSERT_EQ(api_->NavControl()->SelectAudioStream(1, kCmdFlush | kCmdBlock), kOk);
  ASSERT_NE(WaitFor(kEvAudioStreamChange, 1, from), nullptr);
  ASSERT_EQ(api_->Info()->GetCurrentAudio(&count, &current), kOk);
  EXPECT_EQ(current, 1);
  EXPECT_EQ(api_->NavControl()->SelectAudioStream(3, 5), kInvalidArg);

  std::int32_t subtitles = 0, subtitle = -1, disabled = -1;
  ASSERT_EQ(api_->Info()->GetSubtitleState(&subtitles, &subtitle, &disabled), kOk);
  EXPECT_EQ(subtitles, 1);
  EXPECT_EQ(api_->Info()->IsSubtitleStreamEnabled(0), kOk);
  EXPECT_EQ(api_->Info()->IsSubtitleStreamEnabled(1), kFalse);
  SubtitleAttributes sub;
  ASSERT_EQ(api_->Info()->GetSubtitleAttributes(0, &sub), kOk);
  EXPECT_EQ(sub.language, 0x407u);  // German
  ASSERT_EQ(api_->NavControl()->SelectSubtitleStream(0, 5), kOk);
  ASSERT_EQ(api_->NavControl()->SetSubtitleDisplay(1, 5), kOk);
  ASSERT_EQ(api_->Info()->GetSubtitleState(&subtitles, &subtitle, &disabled), kOk);
  EXPECT_EQ(subtitle, 0);
  EXPECT_EQ(disabled, 0);
  ASSERT_EQ(api_->NavControl()->SetSubtitleDisplay(0, 5), kOk);
  ASSERT_EQ(api_->Info()->GetSubtitleState(&subtitles, &subtitle, &disabled), kOk);
  EXPECT_EQ(disabled, 1);
  EXPECT_EQ(api_->NavControl()->SelectSubtitleStream(4, 5), kInvalidArg);
}

TEST_F(TovelaxLibrary, StreamChoicesAreRefusedInMenus) {
  PlayToMenu();
  EXPECT_EQ(api_->NavControl()->SelectAudioStream(1, 5), kProhibited);
  EXPECT_EQ(api_->Transport()->NextChapter(), kProhibited);
  EXPECT_EQ(api_->Transport()->ForwardScan(20000), kProhibited);
}

TEST_F(TovelaxLibrary, ResumeBookmarkSurvivesClosingAndReopening) {
  PlayTitle(2);
  ASSERT_EQ(api_->Transport()->Pause(), kOk);
  ASSERT_EQ(api_->Transport()->PlayChapter(2), kOk);
  ASSERT_EQ(api_->Transport()->Resume(), kOk);
  ASSERT_TRUE(WaitForChapter(2, 2));
  ASSERT_EQ(api_->Transport()->Pause(), kOk);
  std::size_t from = events_.size();
  ASSERT_EQ(api_->NavControl()->SelectAudioStream(1, 5), kOk);
  std::int32_t keep = 1;
  ASSERT_EQ(api_->Source()->SetProperty(kPropSaveResumeAtClose, &keep, 4), kOk);
  ResumeRecord closed;
  ASSERT_EQ(api_->Source()->CloseWithRecord(&closed), kOk);
  EXPECT_EQ(closed.valid, 1u);
  EXPECT_EQ(closed.title, 2u);
  EXPECT_EQ(closed.chapter, 2u);
  ASSERT_TRUE(fs::exists(bookmarks_));
  EXPECT_FALSE(HasTemporaryFileBeside(bookmarks_));

  OpenDvd();
  std::uint32_t available = 0, time = 0;
  ASSERT_EQ(api_->Info()->GetResumeInfo(&available, &time), kOk);
  EXPECT_EQ(available, 1u);
  EXPECT_EQ(time, closed.time);
  from = events_.size();
  ResumeRecord restored;
  ASSERT_EQ(api_->Transport()->RestoreBookmark(&restored), kOk);
  EXPECT_EQ(restored.title, 2u);
  EXPECT_EQ(std::memcmp(restored.discId, closed.discId, 16), 0);
  ASSERT_NE(WaitFor(kEvTitleChange, 2, from), nullptr);
  ASSERT_NE(WaitFor(kEvChapterStart, 2, from), nullptr);
  // Read the stream at once: the restored chapter is short, and on a loaded
  // machine the title may end soon after (pausing would then be refused).
  std::int32_t count = 0, current = 0;
  api_->Info()->GetCurrentAudio(&count, &current);
  EXPECT_EQ(current, 1);
  api_->Transport()->Pause();
}

TEST_F(TovelaxLibrary, FramesReachTheSinkAndCanBeGrabbed) {
  PlayTitle(1);
  ASSERT_EQ(api_->VideoWindow()->SetDestinationPosition(0, 0, 640, 480), kOk);
  ASSERT_EQ(api_->VideoWindow()->SetVisible(-1), kOk);
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (sink_.count < 3 && std::chrono::steady_clock::now() < deadline) {
    poster_.WaitForPost(poster_.Count(), 100ms);
    Drain();
  }
  ASSERT_GE(sink_.count, 3);
  ASSERT_EQ(api_->Transport()->Pause(), kOk);
  EXPECT_GE(poster_.CountOf(kFrameReadyMessage), 1u);
  ASSERT_TRUE(sink_.last);
  EXPECT_EQ(sink_.last->width, 720u);
  EXPECT_EQ(sink_.last->height, 576u);
  EXPECT_EQ(sink_.last->pixels.size(), std::size_t{720} * 4 * 576);
  EXPECT_EQ(sink_.lastDestination.width, 640);
  EXPECT_TRUE(sink_.lastVisible);

  std::int32_t width = 0, height = 0;
  ASSERT_EQ(api_->VideoWindow()->GetNativeVideoSize(&width, &height), kOk);
  EXPECT_EQ(width, 720);
  std::vector<std::uint8_t> dib(FrameDibSize(720, 576));
  ASSERT_EQ(api_->Decoder()->GrabFrame(720, 576, dib.data(), dib.size(), kFrameDib24), kOk);
  std::uint32_t header[3];
  std::memcpy(header, dib.data(), sizeof header);
  EXPECT_EQ(header[0], 40u);
  EXPECT_EQ(header[1], 720u);
  EXPECT_EQ(header[2], 576u);
  // The title clips carry a red band at the top: the last stored row is red.
  const std::uint8_t* top = dib.data() + 40 + std::size_t{720} * 3 * 575 + 360 * 3;
  EXPECT_GT(top[2], 150);
  EXPECT_LT(top[1], 80);
  EXPECT_EQ(api_->Decoder()->GrabFrame(720, 576, dib.data(), dib.size() - 1, kFrameDib24), kInvalidArg);
  EXPECT_EQ(api_->Decoder()->GrabFrame(720, 576, nullptr, 0, kFrameDib24), kPointer);

  std::uint32_t size = 0;
  ASSERT_EQ(api_->Source()->GetProperty(kPropFrameDib, nullptr, &size), kOk);
  EXPECT_EQ(size, FrameDibSize(720, 576));
  std::vector<std::uint8_t> packed(size);
  EXPECT_EQ(api_->Source()->GetProperty(kPropFrameDib, packed.data(), &size), kOk);
}

TEST_F(TovelaxLibrary, PauseResumeScanAndStop) {
  PlayTitle(1);
  EXPECT_EQ(api_->Transport()->Pause(), kOk);
  EXPECT_EQ(api_->Transport()->Pause(), kFail);
  EXPECT_EQ(api_->Transport()->Resume(), kOk);
  std::size_t from = events_.size();
  ASSERT_EQ(api_->Transport()->ForwardScan(20000), kOk);
  std::int32_t speed = 0;
  ASSERT_EQ(api_->Transport()->GetSpeed(&speed), kOk);
  EXPECT_EQ(speed, 20000);
  ASSERT_NE(WaitFor(kEvRateChange, 20000, from), nullptr);
  ASSERT_EQ(api_->Transport()->ForwardScan(kNormalSpeed), kOk);
  ASSERT_EQ(api_->Transport()->GetSpeed(&speed), kOk);
  EXPECT_EQ(speed, kNormalSpeed);
  from = events_.size();
  ASSERT_EQ(api_->Transport()->Stop(), kOk);
  ASSERT_NE(WaitFor(kEvDomainChange, kDomainStopped, from), nullptr);
  std::int32_t domain = 0;
  api_->Info()->GetDomain(&domain);
  EXPECT_EQ(domain, kDomainStopped);
  // Playing again after a stop starts the title over.
  from = events_.size();
  ASSERT_EQ(api_->Transport()->Play(), kOk);
  ASSERT_NE(WaitFor(kEvTitleChange, 1, from), nullptr);
}

TEST_F(TovelaxLibrary, ClosingWithEventsWaitingFreesThem) {
  PlayTitle(1);
  // Let time events pile up without reading them; closing must release them.
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(api_->Source()->Close(), kOk);
  std::int32_t code;
  std::intptr_t v1, v2;
  EXPECT_EQ(api_->Events()->GetEvent(&code, &v1, &v2), kFail) << "the queue starts empty at the next open";
}

TEST_F(TovelaxLibrary, SettingsAreChecked) {
  RegionRecord region{9, 0};
  EXPECT_EQ(api_->Source()->SetProperty(kPropRegion, &region, sizeof region), kInvalidArg);
  region = {2, 0};
  EXPECT_EQ(api_->Source()->SetProperty(kPropRegion, &region, sizeof region), kOk);
  std::int32_t level = 0;
  EXPECT_EQ(api_->Source()->SetProperty(kPropParentalLevel, &level, 4), kInvalidArg);
  EXPECT_EQ(api_->Source()->SetProperty(9999, &level, 4), kInvalidArg);
  ColorControls colour;
  colour.brightness = 20000;
  EXPECT_EQ(api_->Decoder()->SetColorControls(colour, kColorBrightness), kInvalidArg);
  colour.brightness = 5000;
  colour.hue = 400;  // not in the mask: ignored
  EXPECT_EQ(api_->Decoder()->SetColorControls(colour, kColorBrightness), kOk);
  ColorControls now;
  ASSERT_EQ(api_->Decoder()->GetColorControls(&now), kOk);
  EXPECT_EQ(now.brightness, 5000);
  EXPECT_EQ(now.hue, 0);
  // A disc that allows every region opens and plays in region 2.
  OpenDvd();
  EXPECT_EQ(api_->Transport()->Play(), kOk);
  ASSERT_NE(WaitFor(kEvDomainChange, kDomainDiscMenu), nullptr);
}

TEST_F(TovelaxLibrary, PlaysVideoFilesThroughToTheEnd) {
  ASSERT_FALSE(FixtureDir().empty());
  ASSERT_EQ(api_->Source()->Open((FixtureDir() / "video.mpg").c_str()), kOk);
  ASSERT_EQ(api_->Transport()->Play(), kOk);
  ASSERT_NE(WaitFor([](const Event& e) { return e.code == kEvTimeChange && UnpackTime(e.time).seconds >= 1; }), nullptr);
  ASSERT_NE(WaitFor(kEvComplete, 0), nullptr);
  EXPECT_GE(sink_.count, 1);
  TitleTimeRecord total;
  ASSERT_EQ(api_->Info()->GetTotalTitleTime(&total), kOk);
  EXPECT_GE(UnpackTime(total.totalTime).seconds, 5);
  EXPECT_EQ(api_->TrackControl()->PlayTrack(7, 255, 255, 0xFFFF, -1, 0xFFFF), kTrackAtEnd);
}

}  // namespace
}  // namespace tovelax
