// A burning visit end to end on the headless display: a sandbox with a
// virtual writer D:, a virtual removable drive E: and two generated MP3s in
// the music library. Home -> Burning -> "Record Audio" -> "Record USB" opens
// Music to pick files; the album's tracks go back with "Music Copy"; the
// Record page copies and burns them as a data disc and returns to its
// device list; after the program closes the writer's image holds both MP3s,
// byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <chrono>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "engines/playback/wmhost/library/media_library.h"
#include "platform/gdi/png_codec.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"
#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_checks.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"
#include "tests/outside/authoring/iso_reader.h"

namespace {

using namespace app_test;
namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Centre of a layout rectangle on the visit's screen, as a click step.
std::string ClickAt(Box layout) {
  const Box box = AtVisit(layout);
  return "click " + std::to_string(box.left + box.width / 2) + " " + std::to_string(box.top + box.height / 2) + "\n";
}

class BurningVisitTest : public LoungeProgramTest {
 protected:
  void SetUp() override {
    LoungeProgramTest::SetUp();
    image_ = dir() + "/writer/disc.iso";
    fs::create_directories(dir() + "/writer");
    fs::create_directories(dir() + "/stick");
    // The writer and the stick, declared in the sandbox's machine hive.
    std::ofstream reg(dir() + "/registry/machine.reg", std::ios::app);
    reg << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\D]\n"
        << "\"Path\"=\"" << image_ << "\"\n\"Type\"=\"cdrom\"\n\"Writer\"=dword:00000001\n"
        << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\E]\n"
        << "\"Path\"=\"" << dir() << "/stick\"\n\"Type\"=\"removable\"\n";
  }

  // Two tagged tones of one album in the library the program opens.
  bool FillLibrary() {
    const std::string folder = dir() + "/home/Music";
    fs::create_directories(folder);
    std::string error;
    auto library = wmhost::MediaLibrary::Open(dir() + "/data/Marivel/MediaLibrary.db", &error);
    if (!library) {
      ADD_FAILURE() << error;
      return false;
    }
    const struct {
      const char* file;
      wmhost_test::TagValues tags;
    } tracks[] = {{"Één.mp3", {"First", "Marta Vey", "Harbour Songs", "Folk", 2001, 1}},
                  {"two.mp3", {"Second", "Marta Vey", "Harbour Songs", "Folk", 2001, 2}}};
    for (const auto& t : tracks) {
      const std::string path = folder + "/" + t.file;
      if (!wmhost_test::WriteTone(path, wmhost_test::AudioFormat::Mp3, 2.0) || !wmhost_test::WriteTags(path, t.tags) ||
          !library->addFile(path, &error)) {
        ADD_FAILURE() << path << ": " << error;
        return false;
      }
      mp3s_.push_back(path);
    }
    return true;
  }

  // Runs the steps; each "check NAME" is answered once its picture meets
  // `ready[NAME]` and kept in `shots`.
  int Run(const std::string& steps, const std::map<std::string, ScreenReady>& ready,
          std::map<std::string, plat::Surface>& shots) {
    std::string script;
    std::map<std::string, std::string> pictures;
    std::size_t start = 0;
    while (start < steps.size()) {
      std::size_t end = steps.find('\n', start);
      if (end == std::string::npos) end = steps.size();
      std::string line = steps.substr(start, end - start);
      if (line.rfind("check ", 0) == 0) {
        const std::string name = line.substr(6);
        line = "check " + dir() + "/burn-" + name + ".png";
        pictures[line.substr(6)] = name;
      }
      script += line + "\n";
      start = end + 1;
    }
    ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                  "--script", WriteScript(script, "burn.txt")},
                                 {"XDG_CACHE_HOME=" + dir() + "/cache"});
    return DriveChecks(lounge, pictures, ready, shots);
  }

  // Runs the steps, keeping each "shot NAME" picture in `shots`.
  int Run(const std::string& steps, std::map<std::string, plat::Surface>& shots) {
    std::string script;
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < steps.size()) {
      std::size_t end = steps.find('\n', start);
      if (end == std::string::npos) end = steps.size();
      std::string line = steps.substr(start, end - start);
      if (line.rfind("shot ", 0) == 0) {
        names.push_back(line.substr(5));
        line = "shot " + dir() + "/burn-" + names.back() + ".png";
      }
      script += line + "\n";
      start = end + 1;
    }
    ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                  "--script", WriteScript(script, "burn.txt")},
                                 {"XDG_CACHE_HOME=" + dir() + "/cache"});
    const int status = lounge.Wait(kStartMs);
    for (const std::string& name : names) {
      auto picture = ReadPng(dir() + "/burn-" + name + ".png");
      if (picture) shots[name] = std::move(*picture);
    }
    return status;
  }

  std::string image_;
  std::vector<std::string> mp3s_;
};

TEST_F(BurningVisitTest, MusicChosenThroughTheBurningHubEndsOnTheWritersDisc) {
  ASSERT_TRUE(FillLibrary());
  std::map<std::string, plat::Surface> shots;
  // Each step waits until the screen shows its outcome; the later pictures
  // are told from the earlier ones.
  const std::map<std::string, ScreenReady> ready{
      {"home", [](const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.3; }},
      {"hub",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["home"], s, AtVisit({120, 124, 96, 96})) > 500;
       }},
      {"devices",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["hub"], s, AtVisit({740, 260, 440, 240})) > 1000;
       }},
      {"music", [&](const plat::Surface& s) { return DifferingPixels(shots["devices"], s, kMusicRow0) > 100; }},
      // The library's albums, then the first album's tracks.
      {"albums", [&](const plat::Surface& s) { return DifferingPixels(shots["music"], s, kMusicRow0) > 100; }},
      {"tracks",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["albums"], s, kMusicRow0) > 100 &&
                DifferingPixels(shots["music"], s, kMusicRow0) > 100;
       }},
      {"burning",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["tracks"], s, AtVisit({240, 360, 1440, 200})) > 1000;
       }},
      {"finished",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["devices"], s, AtVisit({160, 240, 1600, 560})) < 200;
       }},
  };
  const std::string steps = "check home\n" + ClickAt({886, 516, 216, 250}) + "check hub\n" +
                            ClickAt({760, 300, 400, 400}) + "check devices\n" + ClickAt({740, 260, 440, 240}) +
                            "check music\nkey Down\nkey Return\ncheck albums\nkey Return\ncheck tracks\n" +
                            ClickAt({1360, 816, 440, 84}) + "check burning\ncheck finished\nclose\n";
  const int status = Run(steps, ready, shots);
  EXPECT_EQ(status, 0);
  for (const char* name : {"home", "hub", "devices", "music", "albums", "tracks", "burning", "finished"})
    EXPECT_TRUE(shots.count(name)) << name;
  if (shots.size() == 8) {
    // Each step changed the screen: the hub with its title over the home
    // page, the devices, Music, its tracks, the progress, the device list.
    EXPECT_GT(DifferingPixels(shots["home"], shots["hub"], AtVisit({120, 124, 96, 96})), 500) << "no burn title";
    EXPECT_GT(DifferingPixels(shots["hub"], shots["devices"], AtVisit({740, 260, 440, 240})), 1000);
    EXPECT_GT(DifferingPixels(shots["devices"], shots["music"], kMusicRow0), 100);
    EXPECT_GT(DifferingPixels(shots["music"], shots["tracks"], kMusicRow0), 100);
    // "Music Copy" leaves Music for the Record page: its progress while the
    // files are copied and burnt (two short tones often finish before the
    // shot, which then shows the device list of the end).
    EXPECT_GT(DifferingPixels(shots["tracks"], shots["burning"], AtVisit({240, 360, 1440, 200})), 1000);
    // Done: back on the device list the visit chose from.
    EXPECT_LT(DifferingPixels(shots["devices"], shots["finished"], AtVisit({160, 240, 1600, 560})), 200);
  }

  const authoring_test::IsoContents disc = authoring_test::ReadIso(image_);
  ASSERT_TRUE(disc.ok) << "no disc image at " << image_;
  ASSERT_EQ(disc.files.size(), 2u);
  for (const std::string& mp3 : mp3s_) {
    bool found = false;
    for (const auto& [name, bytes] : disc.files)
      if (fs::path(name).filename() == fs::path(mp3).filename()) found = bytes == ReadAll(mp3);
    EXPECT_TRUE(found) << mp3;
  }
}

// Photos from a card: the burning hub's photo choice opens the stick's
// pictures unmarked; Enter marks two of them, "Burn" burns just those.
class PhotoBurningVisitTest : public BurningVisitTest {
 protected:
  // Time for the page a click opened to settle before the next click.
  static constexpr const char* kSettle = "wait 800\n";
  // Three small pictures in the stick's camera folder, by name a, b, c.
  void PutPictures() {
    fs::create_directories(dir() + "/stick/DCIM");
    for (const auto& [name, colour] : {std::pair{"a.png", 0xFFFF0000u}, {"b.png", 0xFF00FF00u}, {"c.png", 0xFF0000FFu}}) {
      const std::vector<std::uint8_t> png = plat::gdi::EncodePng(plat::Surface(64, 48, colour));
      const std::string path = dir() + "/stick/DCIM/" + name;
      std::ofstream(path, std::ios::binary)
          .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
      pictures_.push_back(path);
    }
  }
  // Home -> Burning -> "Record Photo" -> "Record USB": the stick's pictures.
  std::string ToTheStick() const {
    return std::string(kSettle) + ClickAt({886, 516, 216, 250}) + kSettle + ClickAt({1280, 300, 400, 400}) + kSettle +
           ClickAt({740, 260, 440, 240}) + "wait 2500\n";
  }
  std::vector<std::string> pictures_;
};

TEST_F(PhotoBurningVisitTest, TwoMarkedPicturesAreBurntAndNothingElse) {
  PutPictures();
  std::map<std::string, plat::Surface> shots;
  // Into DCIM; the focus on the way up, then a, b, c: a and c are marked.
  const std::string steps = ToTheStick() + "key Return\nwait 2500\nshot folder\nkey Right\nkey Return\n" + kSettle +
                            "key Right\nkey Right\nkey Return\n" + kSettle + "shot marked\n" +
                            ClickAt({120, 220, 420, 84}) + "wait 10000\nshot finished\nclose\n";
  EXPECT_EQ(Run(steps, shots), 0);
  ASSERT_EQ(shots.size(), 3u);
  // The marks show on the pictures.
  EXPECT_GT(DifferingPixels(shots["folder"], shots["marked"], AtVisit({640, 220, 1200, 220})), 200);

  const authoring_test::IsoContents disc = authoring_test::ReadIso(image_);
  ASSERT_TRUE(disc.ok) << "no disc image at " << image_;
  std::vector<std::string> names;
  for (const auto& [name, bytes] : disc.files) {
    names.push_back(fs::path(name).filename().string());
    const std::string source = dir() + "/stick/DCIM/" + names.back();
    EXPECT_EQ(bytes, ReadAll(source)) << name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a.png", "c.png"}));
}

TEST_F(PhotoBurningVisitTest, BurnWithNothingMarkedSaysSoAndBurnsNothing) {
  PutPictures();
  std::map<std::string, plat::Surface> shots;
  const std::string steps = ToTheStick() + "key Return\nwait 2500\nshot folder\n" + ClickAt({120, 220, 420, 84}) +
                            "wait 300\nshot told\nclose\n";
  EXPECT_EQ(Run(steps, shots), 0);
  ASSERT_EQ(shots.size(), 2u);
  // The notice over the top of the page.
  EXPECT_GT(DifferingPixels(shots["folder"], shots["told"], AtVisit({600, 96, 1230, 56})), 500);
  EXPECT_FALSE(fs::exists(image_));
}

// A card declared as drive F: whose folder appears while the program is on
// the home page: the record hub opens by itself, and its photo choice shows
// the card on the device page.
TEST_F(PhotoBurningVisitTest, ACardThatArrivesOpensTheRecordHub) {
  const std::string card = dir() + "/card";
  {
    std::ofstream reg(dir() + "/registry/machine.reg", std::ios::app);
    reg << "\n[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel\\VirtualDrives\\F]\n"
        << "\"Path\"=\"" << card << "\"\n\"Type\"=\"removable\"\n\"Label\"=\"CARD\"\n";
  }
  constexpr int kPolls = 40;
  std::string steps = std::string(kSettle) + "shot home\n";
  for (int i = 0; i < kPolls; ++i) steps += "shot poll" + std::to_string(i) + "\nwait 250\n";
  steps += ClickAt({1280, 300, 400, 400}) + kSettle + "shot devices\nclose\n";
  std::string script;
  std::vector<std::string> names;
  for (std::size_t start = 0; start < steps.size();) {
    std::size_t end = steps.find('\n', start);
    std::string line = steps.substr(start, end - start);
    if (line.rfind("shot ", 0) == 0) {
      names.push_back(line.substr(5));
      line = "shot " + dir() + "/card-" + names.back() + ".png";
    }
    script += line + "\n";
    start = end + 1;
  }
  ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                "--script", WriteScript(script, "card.txt")},
                               {"XDG_CACHE_HOME=" + dir() + "/cache"});
  // The card arrives once the home page is up.
  for (int i = 0; i < kStartMs / 50 && lounge.Running() && !fs::exists(dir() + "/card-home.png"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  fs::create_directories(card + "/DCIM");
  EXPECT_EQ(lounge.Wait(kStartMs), 0);
  std::map<std::string, plat::Surface> shots;
  for (const std::string& name : names) {
    if (auto picture = ReadPng(dir() + "/card-" + name + ".png")) shots[name] = std::move(*picture);
  }
  ASSERT_EQ(shots.size(), names.size());
  // The hub's title over the home page, in one of the polls.
  bool hub = false;
  for (int i = 0; i < kPolls; ++i)
    hub = hub || DifferingPixels(shots["home"], shots["poll" + std::to_string(i)], AtVisit({120, 124, 96, 96})) > 500;
  EXPECT_TRUE(hub) << "the record hub did not open when the card arrived";
  // Photos: the USB cell names the card instead of "No media"; the other
  // reader cells stay as they are.
  const Box usb = AtVisit({740, 400, 440, 80});
  const Box smartMedia = AtVisit({1240, 400, 440, 80});
  const long usbVersusEmpty = [&] {
    long differing = 0;
    for (int y = 0; y < usb.height; ++y)
      for (int x = 0; x < usb.width; ++x)
        if (shots["devices"].pixel(usb.left + x, usb.top + y) !=
            shots["devices"].pixel(smartMedia.left + x, smartMedia.top + y))
          ++differing;
    return differing;
  }();
  EXPECT_GT(usbVersusEmpty, 300) << "the USB cell reads like an empty slot";
}

}  // namespace
