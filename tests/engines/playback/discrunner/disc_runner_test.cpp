// The DVD engine against the scripted library (fake_tovelax.h), loaded from
// a folder with a "Movie" library the way the engine finds the real one.
#include "engines/playback/discrunner/disc_runner.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "tests/engines/playback/discrunner/golden_files.h"
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/com/hresult.h"
#include "platform/registry/registry.h"
#include "platform/sys/drive_table.h"
#include "platform/sys/clock.h"
#include "platform/win/display_link.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
#include "tests/engines/playback/discrunner/fake_tovelax.h"
#include "tests/support/temp_environment.h"

namespace {

using namespace plat;
namespace fs = std::filesystem;

std::string MovieDir(const std::string& variant) { return std::string(FAKE_TOVELAX_DIR) + "/fake_" + variant + "/Movie"; }

using discrunner_test::kGolden;
using discrunner_test::ReadFile;

class RecordingSink : public IDvdEventSink {
 public:
  void OnDomainChange(std::int32_t v) override { Add("Domain", v); }
  void OnTitleChange(std::int32_t v) override { Add("Title", v); }
  void OnChapterStart(std::int32_t v) override { Add("Chapter", v); }
  void OnAudioChange(std::int32_t v) override { Add("Audio", v); }
  void OnSubtitleChange(std::int32_t v) override { Add("Subtitle", v); }
  void OnAngleChange(std::int32_t v) override { Add("Angle", v); }
  void OnButtonChange(std::int32_t v) override { Add("Button", v); }
  void OnTimeChange(const std::uint32_t* event, const std::uint32_t* current) override {
    log.push_back("Time(" + std::to_string(*event) + "," + std::to_string(*current) + ")");
  }
  void OnValidOperationsChange(std::uint32_t v) override { Add("ValidOps", static_cast<std::int64_t>(v)); }
  void OnInvalidRegion(std::int32_t v) override { Add("InvalidRegion", v); }
  void Reserved10() override { log.push_back("Reserved10"); }
  void OnParentalLevelChange(std::int32_t v) override { Add("ParentalChange", v); }
  void OnParentalLevelTooLow() override { log.push_back("ParentalTooLow"); }
  void OnDiscEjected() override { log.push_back("Ejected"); }
  void OnDiscInserted() override { log.push_back("Inserted"); }
  void OnComplete() override { log.push_back("Complete"); }
  void OnStopped() override { log.push_back("Stopped"); }
  void OnLibraryNotice() override { log.push_back("Notice"); }
  void OnRateChange(std::int32_t v) override { Add("Rate", v); }

  std::vector<std::string> log;

 private:
  void Add(const char* name, std::int64_t v) { log.push_back(std::string(name) + "(" + std::to_string(v) + ")"); }
};

class DiscRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = fs::temp_directory_path() / ("discrunner_test_" + std::to_string(::getpid()));
    fs::create_directories(data_);
    ::setenv("XDG_DATA_HOME", data_.c_str(), 1);
    discrunner::SetLibraryFolder(MovieDir("ok"));
    discrunner::SetMessageReporter([this](const std::string& text) { messages.push_back(text); });
  }
  void TearDown() override {
    engine.Reset();
    discrunner::SetLibraryFolder({});
    discrunner::SetMessageReporter(nullptr);
    plat::SetClock(nullptr);
    std::error_code ec;
    fs::remove_all(data_, ec);
  }

  // Creates the engine; its library's script is reset by the fresh load.
  CDiscRunner& Make() {
    engine = MakeComObject<CDiscRunner>();
    EXPECT_TRUE(engine);
    void* module = dlopen((MovieDir("ok") + "/libtovelax.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (module) {
      script = reinterpret_cast<faketov::ScriptFn>(dlsym(module, faketov::kScriptEntry))();
      dlclose(module);  // the engine keeps its own reference
    }
    EXPECT_NE(script, nullptr);
    return *engine;
  }
  CDiscRunner& Opened(const char* path = "/media/disc") {
    CDiscRunner& r = Make();
    EXPECT_EQ(r.SetNotifyTarget(&sink), S_OK);
    EXPECT_EQ(r.Open(path), S_OK);
    return r;
  }
  int State() {
    int state = -1;
    engine->GetPlayState(&state);
    return state;
  }
  void Deliver() { SendMessage(engine->video_window(), CDiscRunner::kEventMessage, 0, 0); }
  static void PumpMessages() {
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  }

  fs::path data_;
  ComPtr<ComObject<CDiscRunner>> engine;
  faketov::Script* script = nullptr;
  RecordingSink sink;
  std::vector<std::string> messages;
};

TEST_F(DiscRunnerTest, BindingFailuresLeaveTheEngineUnbound) {
  struct Case {
    std::string folder;
    bool versionMessage;
  };
  const Case cases[] = {
      {data_.string() + "/nowhere/Movie", false},  // no library
      {MovieDir("norelease"), false},              // an entry point missing
      {MovieDir("badversion"), true},              // the wrong version
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    messages.clear();
    discrunner::SetLibraryFolder(c.folder);
    auto r = MakeComObject<CDiscRunner>();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->bind_result(), E_FAIL);
    EXPECT_EQ(r->Open("/media/disc"), E_FAIL);
    int state = -1;
    EXPECT_EQ(r->GetPlayState(&state), S_OK);
    EXPECT_EQ(state, 0);
    // Forwarding slots fail, or report "not implemented" where that is their answer.
    EXPECT_EQ(r->Play(), E_FAIL);
    EXPECT_EQ(r->Close(), E_FAIL);
    EXPECT_EQ(r->EnterDigit(1), E_FAIL);
    EXPECT_EQ(r->CaptureFrame("x.bmp"), E_FAIL);
    EXPECT_EQ(r->DvdOp93(1), E_NOTIMPL);
    EXPECT_EQ(r->DvdOp102(), E_NOTIMPL);
    EXPECT_EQ(r->NotImplemented16(0), E_NOTIMPL);
    if (c.versionMessage) {
      ASSERT_EQ(messages.size(), 2u);  // construction and Open each try once
      EXPECT_EQ(messages[0], "GetMMAPIVersion() = 0x05061100, but it should be 0x05061201 !!!");
    } else {
      EXPECT_TRUE(messages.empty());
    }
  }
}

TEST_F(DiscRunnerTest, BindingHandsTheBookmarkFileAndRegistryPathOver) {
  CDiscRunner& r = Make();
  EXPECT_EQ(r.bind_result(), S_OK);
  EXPECT_EQ(State(), 1);
  const fs::path bookmark = data_ / "Marivel" / "ar.cbk";
  EXPECT_EQ(script->bookmarkFile, bookmark.string());
  EXPECT_TRUE(fs::is_directory(bookmark.parent_path()));
  EXPECT_EQ(script->registryPath, "SOFTWARE\\Kestrovia\\Marivel\\MyMovie");
}

TEST_F(DiscRunnerTest, OpenPreparesTheLibraryAndItsWindows) {
  CDiscRunner& r = Opened();
  EXPECT_EQ(State(), 2);
  ASSERT_NE(r.video_window(), nullptr);
  ASSERT_NE(r.desktop_window(), nullptr);
  char cls[64] = {};
  GetClassName(r.video_window(), cls, sizeof cls);
  EXPECT_STREQ(cls, "discrunner Video Window");
  EXPECT_FALSE(IsWindowVisible(r.video_window()));
  EXPECT_TRUE(script->Called("Open(/media/disc)"));
  EXPECT_TRUE(script->Called("SetWindowStyle(1174405120)"));  // 0x46000000
  EXPECT_TRUE(script->Called("SetProperty(19,0)"));
  EXPECT_EQ(script->owner, r.video_window());
  EXPECT_EQ(script->notifyWindow, r.video_window());
  EXPECT_EQ(script->notifyMessage, 2924u);
  HWND video = nullptr;
  EXPECT_EQ(r.GetVideoWindow(&video), E_FAIL);  // the handle is written all the same
  EXPECT_EQ(video, r.video_window());

  EXPECT_EQ(r.Close(), S_OK);
  EXPECT_EQ(State(), 1);
  EXPECT_TRUE(script->Called("SetProperty(4,1)"));
  EXPECT_EQ(r.video_window(), nullptr);
  EXPECT_EQ(script->notifyWindow, nullptr);

  // A failed open leaves the state where it was.
  script->openResult = tovelax::kUnplayable;
  EXPECT_EQ(r.Open("/media/bad"), tovelax::kUnplayable);
  EXPECT_EQ(State(), 1);
}

TEST_F(DiscRunnerTest, SourcesAreClassifiedByTheFirstBitInOrder) {
  CDiscRunner& r = Make();
  struct Case {
    std::uint32_t bits;
    int kind, subKind;
  };
  const Case cases[] = {
      {1 | 2, 1, 0}, {4 | 1024, 3, 0}, {4096 | 512, 18, 4}, {2048, 18, 3}, {1024, 18, 2}, {512, 18, 1},
      {8 | 2, 17, 0}, {2 | 16, 2, 0},  {16, 4, 0},          {32, 33, 17},  {64, 33, 18},  {128, 33, 19},
      {256, 33, 20},  {0, 34, 20},  // none: kind 34, sub-kind left as it was
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    script->mediaBits = c.bits;
    ASSERT_EQ(r.DvdOp51("/media/x"), S_OK);
    EXPECT_TRUE(script->Called("OpenEx(/media/x,0)"));
    EXPECT_EQ(r.disc_kind(), c.kind);
    EXPECT_EQ(r.disc_sub_kind(), c.subKind);
  }
  // A failing query leaves both as they were.
  script->mediaBits = 1;
  script->mediaResult = tovelax::kFail;
  ASSERT_EQ(r.DvdOp51("/media/x"), S_OK);
  EXPECT_EQ(r.disc_kind(), 34);
}

TEST_F(DiscRunnerTest, PlayStateMachine) {
  CDiscRunner& r = Opened();
  struct Step {
    const char* what;
    HRESULT (*op)(CDiscRunner&);
    HRESULT result;
    int state;
    const char* call;  // the library call that must have been made, or ""
  };
  const Step steps[] = {
      {"play opened", [](CDiscRunner& e) { return e.Play(); }, S_OK, 3, "Play"},
      {"play while playing", [](CDiscRunner& e) { return e.Play(); }, E_FAIL, 3, ""},
      {"pause", [](CDiscRunner& e) { return e.Pause(); }, S_OK, 4, "Pause"},
      {"pause again resumes", [](CDiscRunner& e) { return e.Pause(); }, S_OK, 3, "Resume"},
      {"fast forward", [](CDiscRunner& e) { return e.FastForward(40000); }, S_OK, 6, "ForwardScan(40000)"},
      {"pause while scanning", [](CDiscRunner& e) { return e.Pause(); }, S_OK, 4, "Pause"},
      {"resume goes back to scanning", [](CDiscRunner& e) { return e.Pause(); }, S_OK, 6, "Resume"},
      {"play while scanning", [](CDiscRunner& e) { return e.Play(); }, S_OK, 3, "ForwardScan(10000)"},
      {"rewind", [](CDiscRunner& e) { return e.Rewind(20000); }, S_OK, 6, "BackwardScan(20000)"},
      {"normal speed", [](CDiscRunner& e) { return e.FastForward(10000); }, S_OK, 3, "ForwardScan(10000)"},
      {"stop", [](CDiscRunner& e) { return e.Stop(); }, S_OK, 5, "Stop"},
      {"pause while stopped", [](CDiscRunner& e) { return e.Pause(); }, E_FAIL, 5, ""},
      {"play stopped", [](CDiscRunner& e) { return e.Play(); }, S_OK, 3, "Play"},
      {"close", [](CDiscRunner& e) { return e.Close(); }, S_OK, 1, "Close"},
      {"play closed", [](CDiscRunner& e) { return e.Play(); }, E_FAIL, 1, ""},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    script->calls.clear();
    EXPECT_EQ(step.op(r), step.result);
    EXPECT_EQ(State(), step.state);
    if (*step.call) {
      EXPECT_TRUE(script->Called(step.call));
    } else {
      EXPECT_TRUE(script->calls.empty());
    }
  }
}

TEST_F(DiscRunnerTest, EveryEventCodeReachesTheSink) {
  CDiscRunner& r = Opened();
  script->audioCount = 3;
  script->subtitleCount = 4;
  script->enabledSubtitles = {0, 2};
  script->currentTime = 0x00010203;
  const tovelax::TimeCode at{1, 2, 3, 4};
  struct Case {
    faketov::Event event;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {{257, 4, 0}, {"Domain(4)"}},
      {{257, 9, 0}, {"Domain(9)"}},
      {{258, 2, 0}, {"Title(2)"}},
      {{259, 5, 0}, {"Chapter(5)", "Audio(3)"}},
      {{260, 1, 0}, {"Audio(3)"}},
      {{261, 0, 0}, {"Subtitle(2)"}},
      {{262, 3, 2}, {"Angle(3)"}},
      {{263, 6, 1}, {"Button(6)"}},
      {{264, 0x80, 0}, {"ValidOps(128)"}},
      {{272, 20000, 0}, {"Rate(20000)"}},
      {{273, 5, 0}, {"ParentalChange(5)"}},
      {{280, 0, 0}, {"Ejected"}},
      {{281, 0, 0}, {"Inserted"}},
      {{282, reinterpret_cast<std::intptr_t>(&at), 0},
       {"Time(" + std::to_string(tovelax::PackTime(at)) + "," + std::to_string(0x00010203) + ")"}},
      {{0x8001, 0, 0}, {}},
      {{0x800A, 1, 0}, {"Notice"}},
      {{0x800B, 1, 0}, {"Notice"}},
      {{999, 0, 0}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event.code);
    sink.log.clear();
    script->events.push_back(c.event);
    Deliver();
    EXPECT_EQ(sink.log, c.expected);
  }
  EXPECT_EQ(r.domain(), 4);
  EXPECT_EQ(r.title(), 2);
  int value = 0;
  r.GetAngleCount(&value);
  EXPECT_EQ(value, 3);
  r.GetAngle(&value);
  EXPECT_EQ(value, 2);
  r.GetSubtitleCount(&value);
  EXPECT_EQ(value, 2);
  EXPECT_TRUE(script->Called("DomainHint(1,4)"));
  EXPECT_EQ(script->eventsFreed, script->eventsTaken);

  // The events that end reading: each one freed, the rest left queued.
  struct Ending {
    faketov::Event event;
    std::vector<std::string> expected;
  };
  const Ending endings[] = {
      {{1, 0, 0}, {"Complete"}},
      {{268, tovelax::kErrWrongRegion, 0x7E}, {"InvalidRegion(126)"}},
      {{268, tovelax::kErrParentalLevelTooLow, 0}, {"ParentalTooLow"}},
      {{268, tovelax::kErrInvalidDisc, 0}, {}},
      {{274, 0, 0}, {"Stopped"}},
  };
  script->mediaBits = 2;  // a video file: its stopped event ends reading too
  for (const auto& e : endings) {
    SCOPED_TRACE(e.event.code);
    ASSERT_EQ(r.DvdOp51("/media/disc"), S_OK);  // clears the end
    script->events.clear();
    sink.log.clear();
    script->events.push_back(e.event);
    script->events.push_back({280, 0, 0});
    const int taken = script->eventsTaken;
    Deliver();
    EXPECT_EQ(sink.log, e.expected);
    EXPECT_EQ(r.ended(), 1);
    EXPECT_EQ(script->eventsTaken, taken + 1);
    EXPECT_EQ(script->eventsFreed, script->eventsTaken);
    EXPECT_EQ(script->events.size(), 1u);
    Deliver();  // still ended: the ejection stays in the queue
    EXPECT_EQ(script->events.size(), 1u);
  }
}

TEST_F(DiscRunnerTest, StoppedIsIgnoredForDiscsAndRateChangeEndsScanning) {
  CDiscRunner& r = Opened();  // kind 1, a DVD disc
  ASSERT_EQ(r.disc_kind(), 1);
  script->events.push_back({274, 0, 0});
  Deliver();
  EXPECT_TRUE(sink.log.empty());
  EXPECT_EQ(r.ended(), 0);

  r.Play();
  r.FastForward(20000);
  ASSERT_EQ(State(), 6);
  script->events.push_back({272, 10000, 0});
  Deliver();
  EXPECT_EQ(State(), 3);
}

TEST_F(DiscRunnerTest, SubtitleChoiceSearchesEnabledStreamsOnce) {
  CDiscRunner& r = Opened();
  struct Case {
    int count;
    std::set<std::int32_t> enabled;
    int index;
    int selected;
    int asked;  // streams asked whether enabled
  };
  const Case cases[] = {
      {4, {2}, 1, 2, 2},
      {4, {2}, 7, 2, 3},   // past the count: from 0
      {4, {2}, -1, 2, 3},  // negative counts as past the count
      {4, {0}, 3, 0, 2},   // wraps round
      {4, {}, 1, 1, 4},    // none enabled: each asked once, the start kept
      {0, {}, 9, 9, 0},    // no streams reported: the index as given
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.count << " streams, index " << c.index);
    script->subtitleCount = c.count;
    script->enabledSubtitles = c.enabled;
    script->calls.clear();
    EXPECT_EQ(r.SelectSubtitleStream(c.index), S_OK);
    int asked = 0;
    for (const auto& call : script->calls) asked += call.rfind("IsSubtitleStreamEnabled", 0) == 0;
    EXPECT_EQ(asked, c.asked);
    EXPECT_TRUE(script->Called("SelectSubtitleStream(" + std::to_string(c.selected) + ",5)"));
    EXPECT_TRUE(script->Called("SetSubtitleDisplay(1,5)"));
  }
}

TEST_F(DiscRunnerTest, DigitEntryCommitsAtOnceOrAfterTwoSeconds) {
  auto clock = std::make_shared<ManualClock>();
  SetClock(clock);
  CDiscRunner& r = Opened();

  // A range of 1..9: one digit is the whole number.
  script->numberLowest = 1;
  script->numberHighest = 9;
  EXPECT_EQ(r.EnterDigit(5), S_OK);
  EXPECT_TRUE(script->Called("SelectByNumber(5)"));
  EXPECT_EQ(r.digit_timer(), 0u);

  // 1..99: the engine waits for a second digit, restarting its wait.
  script->numberHighest = 99;
  script->calls.clear();
  EXPECT_EQ(r.EnterDigit(1), S_OK);
  EXPECT_NE(r.digit_timer(), 0u);
  clock->advance(1500);
  PumpMessages();
  EXPECT_EQ(r.EnterDigit(2), S_OK);
  clock->advance(1999);
  PumpMessages();
  EXPECT_TRUE(script->calls.empty());
  clock->advance(1);
  PumpMessages();
  EXPECT_EQ(script->calls, std::vector<std::string>{"SelectByNumber(12)"});
  EXPECT_EQ(r.digit_timer(), 0u);
  EXPECT_EQ(r.digit_value(), 0);

  // Only digits are taken: anything else would overflow the number.
  EXPECT_EQ(r.EnterDigit(10), E_INVALIDARG);
  EXPECT_EQ(r.EnterDigit(-1), E_INVALIDARG);
  EXPECT_EQ(r.EnterDigit(2147483647), E_INVALIDARG);
  EXPECT_EQ(r.digit_value(), 0);
}

TEST_F(DiscRunnerTest, PicturePlacementInTheVideoWindow) {
  CDiscRunner& r = Opened();
  r.SetVideoMode(0, 1);
  script->nativeWidth = 1024;
  script->nativeHeight = 432;
  EXPECT_EQ(r.UpdateVideoPosition(0, 0, 800, 600, 1.0f), S_OK);
  EXPECT_TRUE(script->Called("SetDestination(0,131,800,338)"));
  RECT window{};
  GetWindowRect(r.video_window(), &window);
  EXPECT_EQ(window.right - window.left, 800);

  // A DVD while playing: the height follows the picture's aspect ratio; the
  // zoom scales the width; when the decoder cannot scale, the whole native
  // picture becomes the source.
  r.Play();
  script->videoAttributes.aspectX = 16;
  script->videoAttributes.aspectY = 9;
  script->nativeWidth = 720;
  script->nativeHeight = 576;
  script->scalingResult = tovelax::kNotImplemented;
  EXPECT_EQ(r.UpdateVideoPosition(0, 0, 800, 600, 2.0f), S_OK);
  // 720 × 2 wide, 405 high: letterboxed in 800 × 600.
  EXPECT_TRUE(script->Called("SetDestination(0,187,800,226)"));
  EXPECT_EQ(script->src[2], 720);
  EXPECT_EQ(script->src[3], 576);
  // The all-zero rectangle keeps the stored zoom and takes the parent's client area (the screen here).
  script->calls.clear();
  EXPECT_EQ(r.UpdateVideoPosition(0, 0, 0, 0, 1.0f), S_OK);
  EXPECT_TRUE(script->Called("SetDestination(0,270,1920,540)"));
}

TEST_F(DiscRunnerTest, FullScreenAndBack) {
  CDiscRunner& r = Opened();
  script->videoAttributes.aspectX = 4;
  script->videoAttributes.aspectY = 3;
  EXPECT_EQ(r.SetFullScreen(), S_OK);
  EXPECT_TRUE(script->Called("SetDestination(1,1,0,0)"));
  EXPECT_TRUE(script->Called("SetDestination(240,0,1440,1080)"));
  EXPECT_EQ(script->owner, r.desktop_window());
  EXPECT_FALSE(IsWindowVisible(r.desktop_window()));
  EXPECT_EQ(r.full_screen(), 1);

  EXPECT_EQ(r.RestoreWindow(), S_OK);
  EXPECT_EQ(script->owner, r.video_window());
  EXPECT_EQ(r.full_screen(), 0);

  // Mode 2 needs the picture's ratio.
  r.SetVideoMode(0, 2);
  script->videoAttributesResult = tovelax::kFail;
  EXPECT_EQ(r.SetFullScreen(), E_FAIL);
  r.SetVideoMode(0, 3);
  script->calls.clear();
  EXPECT_EQ(r.SetFullScreen(), S_OK);
  EXPECT_TRUE(script->Called("SetDestination(0,0,1920,1080)"));
}

TEST_F(DiscRunnerTest, CaptureWritesTheGoldenBitmap) {
  CDiscRunner& r = Opened();
  script->frameDib = ReadFile(kGolden + "frame_3x2.dib");
  script->videoAttributes.width = 3;
  script->videoAttributes.height = 2;
  const std::string out = (data_ / "frame.bmp").string();
  ASSERT_EQ(r.CaptureFrame(out.c_str()), S_OK);
  // The grab buffer holds padded rows: 40 + 12 × 2 bytes, not 40 + 3 × 2 × 3.
  EXPECT_TRUE(script->Called("GrabFrame(3,2,64,6)"));
  EXPECT_EQ(ReadFile(out), ReadFile(kGolden + "frame_3x2.bmp"));
  EXPECT_EQ(r.CanCaptureFrame(), 1);

  // Without video attributes the frame comes through property 2.
  script->videoAttributesResult = tovelax::kFail;
  fs::remove(out);
  ASSERT_EQ(r.CaptureFrame(out.c_str()), S_OK);
  EXPECT_TRUE(script->Called("GetProperty(2)"));
  EXPECT_EQ(ReadFile(out), ReadFile(kGolden + "frame_3x2.bmp"));

  // Nothing to grab: failure, and no capture possible.
  script->frameDib.clear();
  EXPECT_EQ(r.CaptureFrame(out.c_str()), E_FAIL);
  EXPECT_EQ(r.CanCaptureFrame(), 0);
  // A frame shorter than its header says is refused.
  script->frameDib = ReadFile(kGolden + "frame_3x2.dib");
  script->frameDib.resize(50);
  EXPECT_EQ(r.CaptureFrame(out.c_str()), E_FAIL);
}

TEST_F(DiscRunnerTest, ChapterStepsByDiscKind) {
  CDiscRunner& r = Make();
  r.SetNotifyTarget(&sink);
  script->mediaBits = 4;  // video CD: tracks
  ASSERT_EQ(r.Open("/media/vcd"), S_OK);
  script->trackResult = tovelax::kTrackAtEnd;
  EXPECT_EQ(r.NextChapter(), 1);
  EXPECT_TRUE(script->Called("PlayTrack(7)"));
  EXPECT_EQ(r.PrevChapter(), 1);
  EXPECT_TRUE(script->Called("PlayTrack(6)"));

  script->mediaBits = 512;  // a VIDEO_TS folder
  ASSERT_EQ(r.Open("/media/folder"), S_OK);
  EXPECT_EQ(r.NextChapter(), 1);
  script->chapterResult = tovelax::kProhibited;
  EXPECT_EQ(r.NextChapter(), tovelax::kProhibited);

  // A step while scanning returns to normal speed.
  script->mediaBits = 1;
  script->chapterResult = tovelax::kOk;
  ASSERT_EQ(r.Open("/media/disc"), S_OK);
  r.Play();
  r.FastForward(40000);
  EXPECT_EQ(r.PrevChapter(), S_OK);
  EXPECT_EQ(State(), 3);
  EXPECT_TRUE(script->Called("ForwardScan(10000)"));
}

TEST_F(DiscRunnerTest, MenusMouseAndSmallQueries) {
  CDiscRunner& r = Opened();
  EXPECT_EQ(r.ShowMenu(3), S_OK);
  EXPECT_EQ(r.ShowMenu(8), E_FAIL);
  EXPECT_EQ(r.MenuNavigate(5), S_OK);
  EXPECT_EQ(r.MenuNavigate(0), E_FAIL);
  EXPECT_TRUE(script->Called("ShowMenu(3)"));
  EXPECT_TRUE(script->Called("Activate"));

  SendMessage(r.video_window(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 50));
  SendMessage(r.video_window(), WM_LBUTTONUP, 0, MAKELPARAM(101, 51));
  EXPECT_TRUE(script->Called("SelectButtonAtPoint(100,50)"));
  EXPECT_TRUE(script->Called("ActivateButtonAtPoint(101,51)"));

  script->events.push_back({258, 3, 0});
  Deliver();
  int level = -1;
  script->parentalMask = 0x0C00;  // levels 3 and 4
  EXPECT_EQ(r.GetTitleParentalLevel(&level), S_OK);
  EXPECT_EQ(level, 3);
  EXPECT_TRUE(script->Called("GetTitleParentalLevels(3)"));
  level = -1;
  script->parentalMask = 0;
  EXPECT_EQ(r.GetTitleParentalLevel(&level), S_OK);
  EXPECT_EQ(level, -1);

  char text[kDiscRunnerTextChars] = {};
  EXPECT_EQ(r.GetDefaultLanguageName(text), S_OK);
  EXPECT_STREQ(text, "English");
  EXPECT_EQ(r.GetSubtitleLanguageText(0, text), S_OK);
  EXPECT_STREQ(text, "Chinese");
  script->defaultAudioLanguage = 0x3FE;
  EXPECT_EQ(r.GetDefaultLanguageName(text), E_FAIL);

  EXPECT_EQ(r.SelectAudioStream(1), S_OK);
  int stream = -1;
  r.GetCurrentAudioStream(&stream);
  EXPECT_EQ(stream, 1);
  EXPECT_EQ(r.SetAngle(2), S_OK);
  r.GetAngle(&stream);
  EXPECT_EQ(stream, 2);
  int total = 0;
  EXPECT_EQ(r.GetTotalTime(&total), S_OK);
  EXPECT_EQ(total, 0x00203001);

  const std::uint8_t region[2] = {2, 0xFD};
  EXPECT_EQ(r.SetRegionCode(region), S_OK);
  EXPECT_TRUE(script->Called("SetProperty(14,2)"));
  EXPECT_EQ(r.Reserved9(0, 0, 0, 0), E_FAIL);
  EXPECT_EQ(r.Reserved54(), S_OK);
  EXPECT_EQ(r.SetNotifyTarget(nullptr), E_FAIL);
  EXPECT_EQ(r.DvdOp63(1, 2, 3, 4, 5), S_OK);
  EXPECT_TRUE(script->Called("SetColorControls(31)"));
  // Slot 69 switches the colour enhancement over slot 63's controls.
  EXPECT_EQ(r.DvdOp69(1, 0), S_OK);
  EXPECT_EQ(r.DvdOp69(1, 1), S_OK);

  // Slot 58 answers speaker set-ups: the library's stereo output (its bit 1)
  // serves two speakers (8) and headphones (0x20000); without multichannel
  // output (its bit 2) no four or six speakers, and never S/PDIF (4).
  std::uint32_t speakers = 0;
  ASSERT_EQ(r.GetAudioOutputCaps(&speakers), S_OK);
  EXPECT_EQ(speakers, 8u | 0x20000u);
}

TEST_F(DiscRunnerTest, ShowVideoNeedsAnOpenSource) {
  CDiscRunner& r = Make();
  EXPECT_EQ(r.ShowVideo(TRUE), E_FAIL);
  ASSERT_EQ(r.Open("/media/disc"), S_OK);
  EXPECT_EQ(r.ShowVideo(TRUE), S_OK);
  EXPECT_TRUE(IsWindowVisible(r.video_window()));
  EXPECT_TRUE(script->Called("SetVisible(-1)"));
  EXPECT_EQ(r.ShowVideo(FALSE), S_OK);
  EXPECT_FALSE(IsWindowVisible(r.video_window()));
  EXPECT_EQ(r.SetOwnerWindow(nullptr), E_FAIL);
}

TEST_F(DiscRunnerTest, FramesAreDrawnIntoTheVideoWindow) {
  CDiscRunner& r = Opened();
  ASSERT_NE(script->frameSink, nullptr);
  // A 2×2 frame: left column red, right column blue (BGRA bytes).
  auto frame = std::make_shared<tovelax::VideoFrame>();
  frame->width = 2;
  frame->height = 2;
  frame->stride = 8;
  frame->pixels = {0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0, 255};
  script->frameSink->OnFrame(frame, {10, 20, 4, 4}, {0, 0, 2, 2}, true);
  SurfacePtr surface = GetWindowSurface(r.video_window());
  ASSERT_TRUE(surface);
  EXPECT_EQ(surface->pixel(11, 21), 0xFFFF0000u);  // red as BGRA in a 32-bit word
  EXPECT_EQ(surface->pixel(13, 23), 0xFF0000FFu);  // blue
  EXPECT_NE(surface->pixel(14, 21), 0xFF0000FFu);  // outside the destination
  // Hidden video draws nothing.
  frame = std::make_shared<tovelax::VideoFrame>(*frame);
  std::fill(frame->pixels.begin(), frame->pixels.end(), 0x80);
  script->frameSink->OnFrame(frame, {10, 20, 4, 4}, {0, 0, 2, 2}, false);
  EXPECT_EQ(surface->pixel(11, 21), 0xFFFF0000u);
}

// A drive's letter root opens what its volume holds, with the drive's
// region given to the library first; a DVD image behind a virtual optical
// drive counts as a disc, whose chapter steps answer 1 only past the end.
TEST_F(DiscRunnerTest, LetterRootsOpenTheirVolumeWithTheDrivesRegion) {
  test_support::TempEnvironment env("letters");
  auto volumes = std::make_shared<FakeVolumeSource>();
  volumes->volumes = {{'D', DRIVE_CDROM, "", "DVD", "", "/img/disc.iso", true}};
  SetVolumeSource(volumes);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\D", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const DWORD region = 2;
  RegSetValueExA(key, "Region", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&region), sizeof region);
  RegCloseKey(key);

  CDiscRunner& r = Make();
  script->mediaBits = tovelax::kMediaDvdImage;
  ASSERT_EQ(r.SetNotifyTarget(&sink), S_OK);
  ASSERT_EQ(r.Open("D:\\"), S_OK);
  EXPECT_TRUE(script->Called("Open(/img/disc.iso)"));
  EXPECT_TRUE(script->Called("SetProperty(14,2)"));
  EXPECT_EQ(r.disc_kind(), 1);
  EXPECT_EQ(r.NextChapter(), S_OK);
  script->chapterResult = tovelax::kTrackAtEnd;
  EXPECT_EQ(r.NextChapter(), 1);  // no further chapter
  EXPECT_EQ(r.GetResumeApplied(), S_FALSE);

  // Opened at the resume point, the first Play continues there.
  ASSERT_EQ(r.Close(), S_OK);
  ASSERT_EQ(r.DvdOp51("D:\\"), S_OK);
  EXPECT_TRUE(script->Called("OpenEx(/img/disc.iso,0)"));
  script->calls.clear();
  ASSERT_EQ(r.Play(), S_OK);
  EXPECT_TRUE(script->Called("RestoreBookmark"));
  EXPECT_FALSE(script->Called("Play"));
  EXPECT_EQ(r.GetResumeApplied(), S_OK);

  // A letter without a volume opens nothing.
  EXPECT_TRUE(FAILED(r.Open("Q:\\")));
  SetVolumeSource(nullptr);
}

}  // namespace
