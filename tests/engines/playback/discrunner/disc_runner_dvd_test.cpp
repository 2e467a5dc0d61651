// The DVD engine over the real playback library on the generated DVD (two
// titles, a disc menu with two buttons, two audio streams, one subtitle
// stream): open, play to the menu, choose a title by number, read the time,
// with the events reaching a recording sink through the video window.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "engines/playback/discrunner/disc_runner.h"
#include "platform/com/hresult.h"
#include "platform/win/message.h"

namespace {

using namespace plat;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path& FixtureDir() {
  static const fs::path dir = [] {
    const std::string command = std::string(TOVELAX_FIXTURE_SCRIPT) + " " + TOVELAX_FIXTURE_DIR;
    if (std::system(command.c_str()) != 0) return fs::path();
    return fs::path(TOVELAX_FIXTURE_DIR);
  }();
  return dir;
}

class LogSink : public IDvdEventSink {
 public:
  void OnDomainChange(std::int32_t v) override { Add("Domain", v); }
  void OnTitleChange(std::int32_t v) override { Add("Title", v); }
  void OnChapterStart(std::int32_t v) override { Add("Chapter", v); }
  void OnAudioChange(std::int32_t v) override { Add("Audio", v); }
  void OnSubtitleChange(std::int32_t v) override { Add("Subtitle", v); }
  void OnAngleChange(std::int32_t v) override { Add("Angle", v); }
  void OnButtonChange(std::int32_t v) override { Add("Button", v); }
  void OnTimeChange(const std::uint32_t*, const std::uint32_t*) override { ++times; }
  void OnValidOperationsChange(std::uint32_t) override {}
  void OnInvalidRegion(std::int32_t v) override { Add("InvalidRegion", v); }
  void Reserved10() override {}
  void OnParentalLevelChange(std::int32_t v) override { Add("ParentalChange", v); }
  void OnParentalLevelTooLow() override { log.push_back("ParentalTooLow"); }
  void OnDiscEjected() override {}
  void OnDiscInserted() override {}
  void OnComplete() override { log.push_back("Complete"); }
  void OnStopped() override { log.push_back("Stopped"); }
  void OnLibraryNotice() override { log.push_back("Notice"); }
  void OnRateChange(std::int32_t v) override { Add("Rate", v); }

  bool Has(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
  std::vector<std::string> log;
  int times = 0;

 private:
  void Add(const char* name, std::int64_t v) { log.push_back(std::string(name) + "(" + std::to_string(v) + ")"); }
};

// Runs the thread's messages (where the library's posts arrive) until
// `done` holds or 20 seconds have passed.
bool PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (std::chrono::steady_clock::now() < deadline) {
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return false;
}

TEST(DiscRunnerDvd, OpensPlaysTheMenuAndATitle) {
  ASSERT_FALSE(FixtureDir().empty()) << "the test DVD could not be generated";
  const fs::path data = fs::temp_directory_path() / ("discrunner_dvd_" + std::to_string(::getpid()));
  fs::create_directories(data);
  ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  discrunner::SetLibraryFolder(std::string(MARIVEL_TEST_BIN_DIR) + "/Movie");
  {
    auto engine = MakeComObject<CDiscRunner>();
    ASSERT_TRUE(engine);
    ASSERT_EQ(engine->bind_result(), S_OK);
    int discard = 1;  // no sound card needed
    ASSERT_EQ(engine->DvdOp90(20, &discard), S_OK);
    LogSink sink;
    ASSERT_EQ(engine->SetNotifyTarget(&sink), S_OK);

    const std::string dvd = (FixtureDir() / "dvd").string();
    std::uint32_t bits = 0;
    ASSERT_EQ(engine->GetMediaKind(dvd.c_str(), &bits), S_OK);
    EXPECT_TRUE(bits & 512u);  // a VIDEO_TS folder
    ASSERT_TRUE(SUCCEEDED(engine->Open(dvd.c_str())));
    EXPECT_EQ(engine->disc_kind(), 18);
    int state = 0;
    engine->GetPlayState(&state);
    EXPECT_EQ(state, 2);

    ASSERT_EQ(engine->Play(), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return sink.Has("Domain(2)") && sink.Has("Button(2)"); }))
        << ::testing::PrintToString(sink.log);
    EXPECT_EQ(engine->domain(), 2);

    // In the menu a number picks a button; the menu's buttons number 1..2,
    // so one digit commits at once.
    ASSERT_EQ(engine->EnterDigit(1), S_OK);
    EXPECT_EQ(engine->digit_timer(), 0u);
    ASSERT_TRUE(PumpUntil([&] { return sink.Has("Title(1)") && sink.Has("Chapter(1)"); }))
        << ::testing::PrintToString(sink.log);
    EXPECT_EQ(engine->title(), 1);
    ASSERT_TRUE(PumpUntil([&] { return sink.times > 0; }));
    int audio = 0;
    engine->GetAudioCount(&audio);
    EXPECT_EQ(audio, 2);
    std::uint32_t now = 0;
    EXPECT_EQ(engine->GetCurrentTime(&now), S_OK);
    char language[kDiscRunnerTextChars] = {};
    EXPECT_EQ(engine->GetAudioStreamLanguageText(0, language), S_OK);
    EXPECT_STREQ(language, "English");

    EXPECT_EQ(engine->Close(), S_OK);
    engine->GetPlayState(&state);
    EXPECT_EQ(state, 1);
  }
  discrunner::SetLibraryFolder({});
  std::error_code ec;
  fs::remove_all(data, ec);
}

}  // namespace
