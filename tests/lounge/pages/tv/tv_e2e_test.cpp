// The TV module end to end: the lounge program on the headless display with
// the virtual tuner of three stations, driven by a script from the home page:
// TV Entry shows the first station live, the settings' auto-scan (reached by
// clicks through the main menu) lists the three stations, the digit 7 tunes
// the second, R and S record it, and the recording is a program stream of a
// few seconds. At full HD on a machine whose processors are all busy, the
// picture still comes, keys are still answered, and the program closes.
#include <gtest/gtest.h>
#include <sched.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_regions.h"

namespace {

namespace fs = std::filesystem;
constexpr int kW = 1280, kH = 720;

// The mean blue, green and red of a box of a picture.
std::array<double, 3> Mean(const plat::Surface& s, int left, int top, int right, int bottom) {
  std::array<double, 3> sum{};
  long n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x, ++n)
      for (int c = 0; c < 3; ++c) sum[static_cast<std::size_t>(c)] += (s.pixel(x, y) >> (8 * c)) & 0xFF;
  for (double& v : sum) v /= n ? static_cast<double>(n) : 1.0;
  return sum;
}

// The white pixels of a box of a picture (channel names are drawn white).
int White(const plat::Surface& s, int left, int top, int right, int bottom) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) n += (s.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
  return n;
}

// A point of the 1920x1080 skin on the 1280x720 screen.
std::string At(int x, int y) { return std::to_string(x * kW / 1920) + " " + std::to_string(y * kH / 1080); }

class TvVisitTest : public app_test::LoungeProgramTest {
 protected:
  void SetUp() override {
    app_test::LoungeProgramTest::SetUp();
    // TV offered, the virtual tuner preferred, stations on E5 (bars), E7
    // (red) and E21 (blue).
    std::ofstream reg(dir_ + "/registry/machine.reg", std::ios::app);
    reg << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel]\n"
           "\"RootFeatureset\"=dword:00000007\n\"TVFeatureset\"=dword:00000002\n"
           "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualTuner]\n\"Prefer\"=dword:00000001\n";
    const struct {
      const char* key;
      int kHz, pattern, tone;
      const char* name;
    } stations[] = {{"A", 175250, 0, 440, "Alpha"}, {"B", 189250, 4, 880, "Bravo"}, {"C", 471250, 6, 660, "Charlie"}};
    for (const auto& s : stations) {
      char hex[3][16];
      std::snprintf(hex[0], sizeof hex[0], "%08x", s.kHz);
      std::snprintf(hex[1], sizeof hex[1], "%08x", s.pattern);
      std::snprintf(hex[2], sizeof hex[2], "%08x", s.tone);
      reg << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualTuner\\Stations\\" << s.key << "]\n"
          << "\"Frequency\"=dword:" << hex[0] << "\n\"Pattern\"=dword:" << hex[1] << "\n\"Tone\"=dword:" << hex[2]
          << "\n\"Name\"=\"" << s.name << "\"\n";
    }
    // Germany (129), the antenna band, recordings in a folder of the test.
    recordings_ = dir_ + "/recordings";
    fs::create_directories(recordings_);
    std::ifstream defaults(std::string(MARIVEL_TEST_SOURCE_DIR) + "/tests/corebridge/core/golden/config_defaults.xml");
    std::stringstream text;
    text << defaults.rdbuf();
    std::string config = text.str();
    auto set = [&](const std::string& key, const std::string& value) {
      const std::string from = "<" + key + " value=\"";
      const auto at = config.find(from);
      ASSERT_NE(at, std::string::npos) << key;
      const auto end = config.find('"', at + from.size());
      config.replace(at + from.size(), end - at - from.size(), value);
    };
    set("COUNTRY_INDEX", "129");
    set("VIDEO_SOURCE", "1");
    set("WORKING_FOLDER", recordings_);
    set("CHANNEL", "5");
    fs::create_directories(dir_ + "/data/Marivel");
    std::ofstream(ConfigFile()) << config;
  }
  std::string recordings_;
};

TEST_F(TvVisitTest, LiveScanChannelDigitAndRecording) {
  const std::string live = dir_ + "/tv-live.png", scan = dir_ + "/tv-scan.png", ch = dir_ + "/tv-ch.png";
  // From the first home entry, four to the right is "TV Entry". Return over
  // the picture opens the main menu; its "TV SignalSetting Page" link and
  // then the "TV AutoScan Page" link start the scan, which ends on the
  // channel list. Three times Back returns to the picture.
  const std::string script = "wait 1000\nkey Right\nkey Right\nkey Right\nkey Right\nkey Return\nwait 4000\nshot " +
                             live + "\nkey Return\nwait 1000\nclick " + At(330, 678) + "\nwait 1000\nclick " +
                             At(790, 802) + "\nwait 8000\nshot " + scan +
                             "\nkey Escape\nwait 500\nkey Escape\nwait 500\nkey Escape\nwait 2000\n"
                             "key 7\nwait 2500\nshot " + ch + "\nkey R\nwait 4000\nkey S\nwait 2000\nclose\n";
  app_test::ChildProcess lounge = Lounge({"--headless=" + std::to_string(kW) + "x" + std::to_string(kH), "--script",
                                WriteScript(script, "tv.txt")});
  EXPECT_EQ(lounge.Wait(app_test::kStartMs), 0);

  auto first = ReadPng(live);
  auto scanned = ReadPng(scan);
  auto second = ReadPng(ch);
  ASSERT_TRUE(first && scanned && second);
  // The channel list: a name in each of the first three rows, the fourth empty.
  const int rowTop[] = {300, 380, 460, 540};
  for (int row = 0; row < 4; ++row) {
    const int top = rowTop[row] * kH / 1080, bottom = (rowTop[row] + 72) * kH / 1080;
    const int white = White(*scanned, 120 * kW / 1920, top, 900 * kW / 1920, bottom);
    if (row < 3) EXPECT_GT(white, 30) << "row " << row;
    else EXPECT_EQ(white, 0) << "row " << row;
  }
  // The live picture fills the page: the first station's colour bars, then
  // the second station's red.
  const auto bars = Mean(*first, 200, 300, 1080, 600);
  const auto red = Mean(*second, 200, 300, 1080, 600);
  EXPECT_GT(bars[0] + bars[1] + bars[2], 200.0) << bars[0] << " " << bars[1] << " " << bars[2];
  EXPECT_GT(red[2], 150.0) << red[0] << " " << red[1] << " " << red[2];
  EXPECT_LT(red[0], 80.0);

  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(recordings_))
    if (entry.path().string().ends_with(".0000.mpg")) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_GT(fs::file_size(files[0]), 100000u);
  EXPECT_EQ(files[0].filename().string().rfind("Bravo", 0), 0u) << files[0];
}

// Busy loops on every processor this process may run on, for as long as the
// object lives: a program started meanwhile competes for each of them.
class BusyProcessors {
 public:
  BusyProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    const int count = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 2;
    for (int i = 0; i < count; ++i)
      threads_.emplace_back([this] {
        volatile unsigned spin = 0;
        while (!stop_.load(std::memory_order_relaxed)) spin = spin + 1;
      });
  }
  ~BusyProcessors() {
    stop_ = true;
    for (std::thread& t : threads_) t.join();
  }
  BusyProcessors(const BusyProcessors&) = delete;
  BusyProcessors& operator=(const BusyProcessors&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

// The live picture at 1920 x 1080 while every processor is busy: TV Entry
// shows the first station's bars, the digit 7 is answered with the second
// station's red, and the program closes when asked. Shots are taken every
// second and a half, so a slow machine only shows the picture in a later one.
TEST_F(TvVisitTest, FullHdOnABusyMachineShowsThePictureAnswersKeysAndCloses) {
  constexpr int kFullW = 1920, kFullH = 1080, kShots = 12;
  std::string script = "wait 1000\nkey Right\nkey Right\nkey Right\nkey Right\nkey Return\n";
  auto shots = [&](const std::string& name) {
    std::vector<std::string> paths;
    for (int i = 0; i < kShots; ++i) {
      paths.push_back(dir_ + "/" + name + std::to_string(i) + ".png");
      script += "wait 1500\nshot " + paths.back() + "\n";
    }
    return paths;
  };
  const std::vector<std::string> live = shots("live");
  script += "key 7\n";
  const std::vector<std::string> tuned = shots("tuned");
  script += "close\n";
  int status = -1;
  {
    BusyProcessors busy;
    app_test::ChildProcess lounge = Lounge({"--headless=" + std::to_string(kFullW) + "x" + std::to_string(kFullH),
                                            "--script", WriteScript(script, "tv-full-hd.txt")});
    status = lounge.Wait(2 * app_test::kStartMs);
  }
  EXPECT_EQ(status, 0) << "the program did not close by itself";
  // Some shot after TV Entry shows the bars; some shot after the digit the red.
  auto anyShows = [&](const std::vector<std::string>& paths, auto shows) {
    for (const std::string& path : paths) {
      const auto picture = ReadPng(path);
      if (picture && picture->width() == kFullW && shows(Mean(*picture, 300, 450, 1620, 900))) return true;
    }
    return false;
  };
  EXPECT_TRUE(anyShows(live, [](const std::array<double, 3>& m) { return m[0] + m[1] + m[2] > 200.0; }))
      << "no live picture";
  EXPECT_TRUE(anyShows(tuned, [](const std::array<double, 3>& m) { return m[2] > 150.0 && m[0] < 80.0; }))
      << "the digit was not answered with the second station";
}

}  // namespace
