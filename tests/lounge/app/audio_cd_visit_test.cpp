// A visit to an audio CD end to end on the headless display: E: is a virtual
// CD drive whose disc is a CUE/BIN image with CD-TEXT. Music's audio-CD row
// opens the disc's three tracks, the second plays, and "Rip CD" then "Rip now"
// copy the disc to MP3 files in a folder named after it. "CD E" on the
// command line starts on the disc's tracks, playing.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "engines/playback/wmhost/library/tag_reader.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"
#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"

namespace {

using namespace app_test;
namespace fs = std::filesystem;
constexpr const char* kCdSettle = "wait 1200\n";
// Playback is looked for in this many pictures, 200 ms apart.
constexpr int kCdPolls = 25;

std::string CdPolls(const std::string& prefix) {
  std::string steps;
  for (int i = 0; i < kCdPolls; ++i) steps += "shot " + prefix + std::to_string(i) + "\nwait 200\n";
  return steps;
}
constexpr double kCdTrackSeconds = 2.0;

std::string CdClickAt(Box layout) {
  const Box box = AtVisit(layout);
  return "click " + std::to_string(box.left + box.width / 2) + " " + std::to_string(box.top + box.height / 2) + "\n";
}

class AudioCdVisitTest : public LoungeProgramTest {
 protected:
  void SetUp() override {
    LoungeProgramTest::SetUp();
    fs::create_directories(dir() + "/disc");
    const std::string cue = wmhost_test::WriteCdImage(dir() + "/disc", "SAMPLE_CD", "Sample Band",
                                                      {{kCdTrackSeconds, "First Song", ""},
                                                       {kCdTrackSeconds, "Second Song", ""},
                                                       {kCdTrackSeconds, "Third Song", ""}});
    std::ofstream reg(dir() + "/registry/machine.reg", std::ios::app);
    reg << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\E]\n"
        << "\"Path\"=\"" << cue << "\"\n\"Type\"=\"cdrom\"\n\"Label\"=\"SAMPLE_CD\"\n";
  }

  // Turns "shot NAME" lines into paths in the sandbox.
  std::string Script(const std::string& steps, std::vector<std::string>& names) const {
    std::string script;
    std::size_t start = 0;
    while (start < steps.size()) {
      std::size_t end = steps.find('\n', start);
      if (end == std::string::npos) end = steps.size();
      std::string line = steps.substr(start, end - start);
      if (line.rfind("shot ", 0) == 0) {
        names.push_back(line.substr(5));
        line = "shot " + dir() + "/cd-" + names.back() + ".png";
      }
      script += line + "\n";
      start = end + 1;
    }
    return script;
  }
  std::map<std::string, plat::Surface> Shots(const std::vector<std::string>& names) const {
    std::map<std::string, plat::Surface> shots;
    for (const std::string& name : names) {
      if (auto picture = ReadPng(dir() + "/cd-" + name + ".png")) shots[name] = std::move(*picture);
    }
    return shots;
  }
  std::vector<std::string> Headless() const {
    return {"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH)};
  }
};

// Whether every file is an MP3 of a whole track (a file still being written
// reads shorter).
bool AllRipped(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    const auto tags = wmhost::ReadAudioTags(file);
    if (!tags || tags->duration < kCdTrackSeconds - 0.2) return false;
  }
  return true;
}

TEST_F(AudioCdVisitTest, TheCdRowOpensTheTracksOneOfThemPlaysAndTheDiscRipsToMp3) {
  std::vector<std::string> names;
  // Rows: the default folder, the media library, the optical drive's entry
  // of the fourth list, the audio-CD drive. The last wait only keeps the
  // program up while the rip runs; the test closes it when the files are
  // whole.
  const std::string script =
      Script(std::string(kCdSettle) + "key Right\nkey Return\n" + kCdSettle + "shot devices\nkey Down\nkey Down\nkey Down\n" +
                 "key Return\n" + kCdSettle + "shot tracks\nkey Down\nkey Return\n" + CdPolls("playing") +
                 CdClickAt({1368, 248, 420, 70}) + kCdSettle + "shot select\n" + CdClickAt({1368, 248, 420, 70}) +
                 kCdSettle + "shot ripping\nwait 600000\nclose\n",
             names);
  ChildProcess lounge = Lounge({Headless()[0], "--script", WriteScript(script, "cd.txt")});
  const std::string folder = dir() + "/home/SAMPLE_CD";
  const std::vector<std::string> files = {folder + "/First Song.mp3", folder + "/Second Song.mp3",
                                          folder + "/Third Song.mp3"};
  bool ripped = false;
  for (int i = 0; i < kStartMs / 100 && lounge.Running() && !ripped; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ripped = fs::exists(dir() + "/cd-ripping.png") && AllRipped(files);
  }
  EXPECT_TRUE(ripped) << "the disc was not ripped to " << folder;
  ::kill(lounge.Pid(), SIGTERM);
  EXPECT_EQ(lounge.Wait(kStartMs), 0);

  std::map<std::string, plat::Surface> shots = Shots(names);
  ASSERT_EQ(shots.size(), names.size());
  // The disc's three track titles in place of the device rows.
  EXPECT_GT(DifferingPixels(shots["devices"], shots["tracks"], kMusicRow0), 100);
  EXPECT_GT(BrightShare(shots["tracks"], kMusicRow2, 100), 0.005);
  // The second track plays: its row is marked and the play time runs.
  bool played = false;
  for (int i = 0; i < kCdPolls; ++i) {
    const plat::Surface& poll = shots["playing" + std::to_string(i)];
    played = played || (DifferingPixels(shots["tracks"], poll, kMusicRow1) > 100 && BrightShare(poll, kMusicTime, 100) > 0.01);
  }
  EXPECT_TRUE(played) << "the second track did not play";
}

TEST_F(AudioCdVisitTest, CdOnTheCommandLineStartsOnTheDiscPlaying) {
  std::vector<std::string> names;
  const std::string script = Script(std::string(kCdSettle) + CdPolls("start") + "close\n", names);
  ChildProcess lounge = Lounge({Headless()[0], "--script", WriteScript(script, "cd-start.txt"), "CD", "E"});
  EXPECT_EQ(lounge.Wait(kStartMs), 0);
  std::map<std::string, plat::Surface> shots = Shots(names);
  ASSERT_EQ(shots.size(), names.size());
  // Three track rows, no fourth (the device page has five), and the time runs.
  bool playing = false;
  for (int i = 0; i < kCdPolls; ++i) {
    const plat::Surface& poll = shots["start" + std::to_string(i)];
    playing = playing || (BrightShare(poll, kMusicRow2, 100) > 0.005 &&
                          BrightShare(poll, AtVisit({120, 492, 780, 76}), 100) < 0.001 &&
                          BrightShare(poll, kMusicTime, 100) > 0.01);
  }
  EXPECT_TRUE(playing) << "the disc's tracks did not come up playing";
}

}  // namespace
