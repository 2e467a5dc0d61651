// The video capture end to end: the lounge program on the headless display
// with a virtual camcorder in its hive, driven by a script from the home page
// to the capture page, the camcorder's tape shown in the video region, pause
// and play with their notices, and a capture of about three seconds that
// lands in the captured folder as a DV AVI. A second visit records from the
// virtual web camera declared in the hive, through the TV recorder.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"

namespace {

namespace fs = std::filesystem;
using namespace app_test;

// Video\SelectDevice and Video\CaptureVideos layouts: where the script clicks
// (the centre of a pill or button) and where the shots are looked at.
constexpr Box kCaptureVideoPill{120, 316, 420, 84};
constexpr Box kCaptureDvPill{120, 220, 420, 84};
constexpr Box kCaptureWebcamPill{120, 316, 420, 84};
constexpr Box kStartCapturingPill{120, 604, 420, 84};
constexpr Box kStopCapturingPill{120, 604, 420, 84};  // where Start was: they take turns
constexpr Box kPlayButton{1000, 900, 88, 88};
constexpr Box kPauseButton{1096, 900, 88, 88};
inline const Box kVideoRegion = AtVisit({640, 220, 960, 540});
inline const Box kCaptureToHD = AtVisit({640, 780, 960, 44});
inline const Box kControlButtons = AtVisit({1000, 900, 480, 88});
// The notice sits at the top right of the picture, below the caption bar:
// its text on a black plate, which the tape's bars never show there.
inline const Box kNoticeBand = AtVisit({1120, 220, 480, 300});

std::string Click(Box layout) {
  const Box b = AtVisit(layout);
  return "click " + std::to_string(b.left + b.width / 2) + " " + std::to_string(b.top + b.height / 2) + "\n";
}

// The tapes of the DV component's tests, built once (cached by the script's hash).
std::string Tapes() {
  static const std::string dir = [] {
    const std::string command = std::string(DV_TAPES_SCRIPT) + " " + DV_TAPES_DIR;
    return std::system(command.c_str()) == 0 ? std::string(DV_TAPES_DIR) : std::string();
  }();
  return dir;
}

// The mean of each colour channel (blue, green, red) and how far the box is
// from one flat colour.
struct Colours {
  std::array<double, 3> mean{};
  double spread = 0;
};
Colours Measure(const plat::Surface& s, Box box) {
  Colours c;
  long n = 0;
  for (int y = box.top; y < box.top + box.height; ++y)
    for (int x = box.left; x < box.left + box.width; ++x, ++n)
      for (int k = 0; k < 3; ++k) c.mean[static_cast<std::size_t>(k)] += (s.pixel(x, y) >> (8 * k)) & 0xFF;
  for (double& v : c.mean) v /= n ? static_cast<double>(n) : 1.0;
  for (int y = box.top; y < box.top + box.height; ++y)
    for (int x = box.left; x < box.left + box.width; ++x)
      for (int k = 0; k < 3; ++k) {
        const double d = ((s.pixel(x, y) >> (8 * k)) & 0xFF) - c.mean[static_cast<std::size_t>(k)];
        c.spread += d * d;
      }
  c.spread = std::sqrt(c.spread / (n ? static_cast<double>(n) * 3 : 1.0));
  return c;
}

// Pixels of the notice's plate: near black.
long DarkPixels(const plat::Surface& s, Box box) {
  long n = 0;
  for (int y = box.top; y < box.top + box.height; ++y)
    for (int x = box.left; x < box.left + box.width; ++x) n += Brightest(s.pixel(x, y)) < 40 ? 1 : 0;
  return n;
}

std::string Probe(const std::string& file, const std::string& entries) {
  const std::string command = "ffprobe -v error -select_streams v:0 -show_entries " + entries +
                              " -of default=noprint_wrappers=1:nokey=1 '" + file + "'";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ::pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

class CaptureVisitTest : public LoungeProgramTest {
 protected:
  void SetUp() override {
    LoungeProgramTest::SetUp();
    ASSERT_FALSE(Tapes().empty()) << "the tapes could not be made";
    // A copy of the tape: the camcorder is the sandbox's own.
    tape_ = dir_ + "/tape.dv";
    fs::copy_file(Tapes() + "/pal.dv", tape_);
    std::ofstream reg(dir_ + "/registry/machine.reg", std::ios::app);
    reg << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualCamcorders\\0]\n"
        << "\"Tape\"=\"" << tape_ << "\"\n\"Name\"=\"Sandbox DV (Marivel)\"\n";
    captured_ = dir_ + "/captured";
    videos_ = dir_ + "/videos";
    fs::create_directories(videos_);
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
    set("DEFAULT_FOLDER", videos_);
    set("CAPTURED_FOLDER", captured_);
    fs::create_directories(dir_ + "/data/Marivel");
    std::ofstream(ConfigFile()) << config;
  }
  std::string tape_, captured_, videos_;
};

TEST_F(CaptureVisitTest, DvTapeShownPausedPlayedAndCapturedToAFile) {
  const std::string live = dir_ + "/dv-live.png", paused = dir_ + "/dv-paused.png", played = dir_ + "/dv-played.png",
                    capturing = dir_ + "/dv-capturing.png";
  // Home: "Video Entry" is the fourth tile of the first row.
  const std::string script = "wait 1000\nkey Right\nkey Right\nkey Right\nkey Return\nwait 1000\n" +
                             Click(kCaptureVideoPill) + "wait 1500\n" + Click(kCaptureDvPill) + "wait 2500\nshot " +
                             live + "\n" + Click(kPauseButton) + "wait 500\nshot " + paused + "\n" +
                             Click(kPlayButton) + "wait 500\nshot " + played + "\n" +
                             Click(kStartCapturingPill) + "wait 3000\nshot " + capturing + "\n" +
                             Click(kStopCapturingPill) + "wait 1500\nclose\n";
  ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                "--script", WriteScript(script, "capture.txt")});
  EXPECT_EQ(lounge.Wait(kStartMs), 0);

  auto liveShot = ReadPng(live);
  auto pausedShot = ReadPng(paused);
  auto playedShot = ReadPng(played);
  auto capturingShot = ReadPng(capturing);
  ASSERT_TRUE(liveShot && pausedShot && playedShot && capturingShot);
  // The tape's colour bars fill the video region: bright and far from flat.
  const Colours bars = Measure(*liveShot, kVideoRegion);
  EXPECT_GT(bars.mean[0] + bars.mean[1] + bars.mean[2], 200.0);
  EXPECT_GT(bars.spread, 40.0);
  // The camcorder plays: its transport buttons are drawn under the picture.
  EXPECT_GT(BrightShare(*liveShot, kControlButtons, 120), 0.02);
  // Pause and play each show their notice over the picture.
  EXPECT_LT(DarkPixels(*liveShot, kNoticeBand), 20);
  EXPECT_GT(DarkPixels(*pausedShot, kNoticeBand), 400);
  EXPECT_GT(DarkPixels(*playedShot, kNoticeBand), 400);
  // Capturing: the notice with its running time under the picture.
  EXPECT_GT(BrightShare(*capturingShot, kCaptureToHD, 120), 0.01);
  EXPECT_LT(BrightShare(*liveShot, kCaptureToHD, 120), 0.001);

  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(captured_))
    if (entry.path().filename().string().rfind("DV_", 0) == 0 && entry.path().string().ends_with(".0000.avi"))
      files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(Probe(files[0].string(), "stream=codec_name"), "dvvideo");
  const double seconds = std::atof(Probe(files[0].string(), "format=duration").c_str());
  EXPECT_GT(seconds, 2.0) << files[0];
  EXPECT_LT(seconds, 5.0) << files[0];
}

// The machine's web camera (a virtual one declared in the hive) is offered
// on the capture page; its picture shows in the video region and a capture
// lands in the captured folder.
TEST_F(CaptureVisitTest, WebCameraShownAndCapturedToAFile) {
  {
    std::ofstream reg(dir_ + "/registry/machine.reg", std::ios::app);
    reg << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualWebcam]\n"
        << "\"Name\"=\"Sandbox Webcam\"\n\"Pattern\"=dword:00000000\n";
    ASSERT_TRUE(reg);
  }
  const std::string live = dir_ + "/cam-live.png", capturing = dir_ + "/cam-capturing.png";
  const std::string script = "wait 1000\nkey Right\nkey Right\nkey Right\nkey Return\nwait 1000\n" +
                             Click(kCaptureVideoPill) + "wait 1500\n" + Click(kCaptureWebcamPill) + "wait 2500\nshot " +
                             live + "\n" + Click(kStartCapturingPill) + "wait 3000\nshot " + capturing + "\n" +
                             Click(kStopCapturingPill) + "wait 2000\nclose\n";
  ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                "--script", WriteScript(script, "webcam.txt")});
  EXPECT_EQ(lounge.Wait(kStartMs), 0);

  auto liveShot = ReadPng(live);
  auto capturingShot = ReadPng(capturing);
  ASSERT_TRUE(liveShot && capturingShot);
  // The camera's test picture fills the video region: bright and far from flat.
  const Colours picture = Measure(*liveShot, kVideoRegion);
  EXPECT_GT(picture.mean[0] + picture.mean[1] + picture.mean[2], 200.0);
  EXPECT_GT(picture.spread, 40.0);

  std::vector<fs::path> files;
  if (fs::exists(captured_))
    for (const auto& entry : fs::recursive_directory_iterator(captured_))
      if (entry.is_regular_file() && entry.file_size() > 0) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u) << "no capture in " << captured_;
  // Recorded by the TV recorder from the camera, not from the camcorder.
  const std::string codec = Probe(files[0].string(), "stream=codec_name");
  EXPECT_FALSE(codec.empty()) << files[0];
  EXPECT_NE(codec, "dvvideo") << files[0];
  EXPECT_NE(files[0].filename().string().rfind("DV_", 0), 0u) << files[0];
}

}  // namespace
