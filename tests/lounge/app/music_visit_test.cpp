// A visit to the Music module end to end on the headless display: the
// library holds three generated tagged MP3s of two albums before the
// program starts; Music opens the device page with its "Media Library" row,
// the library shows the albums, an album its tracks and cover, and a track
// plays with its play mark and running time; Escape goes home and the
// program closes cleanly.
#include <gtest/gtest.h>

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

namespace {

using namespace app_test;

class MusicVisitTest : public app_test::LoungeProgramTest {
 protected:
  // Three tagged tones in the sandbox, added to the library the program
  // opens ($XDG_DATA_HOME/Marivel/MediaLibrary.db), and a white folder
  // picture beside them.
  bool FillLibrary() {
    const std::string folder = dir() + "/home/Music";
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> png = plat::gdi::EncodePng(plat::Surface(64, 64, 0xFFFFFFFFu));
    std::ofstream(folder + "/folder.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    const struct {
      const char* file;
      wmhost_test::TagValues tags;
    } tracks[] = {
        {"a1.mp3", {"First Light", "Marta Vey", "Harbour Songs", "Folk", 2001, 1}},
        {"a2.mp3", {"Low Tide", "Marta Vey", "Harbour Songs", "Folk", 2001, 2}},
        {"b1.mp3", {"Copper Wire", "The Lanterns", "Night Trains and Other Long Journeys", "Rock", 2010, 1}},
    };
    std::string error;
    auto library = wmhost::MediaLibrary::Open(dir() + "/data/Marivel/MediaLibrary.db", &error);
    if (!library) {
      ADD_FAILURE() << error;
      return false;
    }
    for (const auto& t : tracks) {
      const std::string path = folder + "/" + t.file;
      if (!wmhost_test::WriteTone(path, wmhost_test::AudioFormat::Mp3, 4.0) || !wmhost_test::WriteTags(path, t.tags) ||
          !library->addFile(path, &error)) {
        ADD_FAILURE() << path << ": " << error;
        return false;
      }
    }
    return library->mediaCount() == 3;
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
        line = "check " + dir() + "/music-" + name + ".png";
        pictures[line.substr(6)] = name;
      }
      script += line + "\n";
      start = end + 1;
    }
    ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                  "--script", WriteScript(script, "music.txt")});
    return DriveChecks(lounge, pictures, ready, shots);
  }
};

// The home page before any key, the first entry in focus.
bool MusicVisitHomeShown(const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.5; }

// The device page: the default folder and the "Media Library" rows written.
bool MusicDevicesShown(const plat::Surface& s) {
  return BrightShare(s, kMusicEntry) < 0.5 && BrightShare(s, kMusicRow0, 100) > 0.005 &&
         BrightShare(s, kMusicRow1, 100) > 0.005;
}

TEST_F(MusicVisitTest, LibraryAlbumTrackPlaysAndHomeAgain) {
  ASSERT_TRUE(FillLibrary());
  std::map<std::string, plat::Surface> shots;
  // Each step waits until the screen shows its outcome; the later pictures
  // are told from the earlier ones.
  const std::map<std::string, ScreenReady> ready{
      {"home", MusicVisitHomeShown},
      {"devices", MusicDevicesShown},
      {"albums",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["devices"], s, kMusicRow0) > 100 &&
                DifferingPixels(shots["devices"], s, kMusicRow1) > 300 && BrightShare(s, kMusicRow1, 100) > 0.005;
       }},
      {"tracks",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["albums"], s, kMusicRow0) > 100 &&
                DifferingPixels(shots["albums"], s, kMusicRow1) > 100 &&
                BrightShare(s, kMusicFocusedTitle, 100) > 0.01 && BrightShare(s, kMusicCover, 240) > 0.9;
       }},
      {"playing",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["tracks"], s, kMusicRow0) > 100 &&
                DifferingPixels(shots["tracks"], s, kPlaybackBarArea) > 1000 && BrightShare(s, kMusicTime, 100) > 0.01;
       }},
      // The play time moves on.
      {"later", [&](const plat::Surface& s) { return DifferingPixels(shots["playing"], s, kMusicTime) > 20; }},
      {"back", [&](const plat::Surface& s) { return DifferingPixels(shots["home"], s, kCaptionArea) == 0; }},
  };
  const int status =
      Run("check home\nkey Right\nkey Return\ncheck devices\nkey Down\nkey Return\ncheck albums\nkey Return\n"
          "check tracks\nkey Return\ncheck playing\ncheck later\nkey Escape\ncheck back\nclose\n",
          ready, shots);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(shots.size(), 7u);
  const plat::Surface& home = shots["home"];
  const plat::Surface& devices = shots["devices"];
  const plat::Surface& albums = shots["albums"];
  const plat::Surface& tracks = shots["tracks"];
  const plat::Surface& playing = shots["playing"];
  EXPECT_LT(BrightShare(devices, kMusicEntry), 0.5) << "\"Music Entry\" left the home page up";

  // The device page: the default folder and the "Media Library" rows written.
  EXPECT_GT(BrightShare(devices, kMusicRow0, 100), 0.005);
  EXPECT_GT(BrightShare(devices, kMusicRow1, 100), 0.005);
  // The album view: two rows, one per album, each other than the device
  // rows (the second album's long name reaches far past "Media Library").
  EXPECT_GT(DifferingPixels(devices, albums, kMusicRow0), 100);
  EXPECT_GT(DifferingPixels(devices, albums, kMusicRow1), 300);
  EXPECT_GT(BrightShare(albums, kMusicRow1, 100), 0.005);
  EXPECT_LT(BrightShare(albums, kMusicRow2, 100), 0.001);
  // The first album's tracks: its two titles in place of the album names.
  EXPECT_GT(DifferingPixels(albums, tracks, kMusicRow0), 100);
  EXPECT_GT(DifferingPixels(albums, tracks, kMusicRow1), 100);
  EXPECT_GT(BrightShare(tracks, kMusicRow1, 100), 0.005);
  EXPECT_LT(BrightShare(tracks, kMusicRow2, 100), 0.001);
  // The focused first track's title beside the list type, the album's cover
  // the folder's picture.
  EXPECT_GT(BrightShare(tracks, kMusicFocusedTitle, 100), 0.01);
  EXPECT_GT(BrightShare(tracks, kMusicCover, 240), 0.9);
  // The first track plays: its row gets the play mark, the bar its play
  // time, and the time moves on (it had passed a second by the first shot
  // and goes on running).
  EXPECT_GT(DifferingPixels(tracks, playing, kMusicRow0), 100);
  EXPECT_GT(DifferingPixels(tracks, playing, kPlaybackBarArea), 1000);
  EXPECT_GT(BrightShare(playing, kMusicTime, 100), 0.01);
  EXPECT_GT(DifferingPixels(playing, shots["later"], kMusicTime), 20);
  // Escape: the home page again, without the caption bar.
  EXPECT_EQ(DifferingPixels(home, shots["back"], kCaptionArea), 0);
}

// The default folder's row browses the home folder; its "Music" folder
// lists the three files under the up-level row, and one of them plays.
TEST_F(MusicVisitTest, TheFolderRowBrowsesToAFileThatPlays) {
  ASSERT_TRUE(FillLibrary());
  std::map<std::string, plat::Surface> shots;
  const std::map<std::string, ScreenReady> ready{
      {"start", MusicVisitHomeShown},
      {"devices", MusicDevicesShown},
      {"home-folder",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["devices"], s, kMusicRow0) > 100 && BrightShare(s, kMusicRow2, 100) > 0.005;
       }},
      {"music-folder",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["home-folder"], s, kMusicRow0) > 100 && BrightShare(s, kMusicRow1, 100) > 0.005 &&
                BrightShare(s, kMusicRow2, 100) > 0.005;
       }},
      {"playing",
       [&](const plat::Surface& s) {
         return DifferingPixels(shots["music-folder"], s, kMusicRow1) > 50 && BrightShare(s, kMusicTime, 100) > 0.01;
       }},
  };
  const int status =
      Run("check start\nkey Right\nkey Return\ncheck devices\nkey Return\ncheck home-folder\nkey Return\n"
          "check music-folder\nkey Down\nkey Down\nkey Return\ncheck playing\nclose\n",
          ready, shots);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(shots.size(), 5u);
  const plat::Surface& devices = shots["devices"];
  const plat::Surface& home = shots["home-folder"];
  const plat::Surface& music = shots["music-folder"];
  // The home folder's sub-folders ("Music" first) in place of the devices.
  EXPECT_GT(DifferingPixels(devices, home, kMusicRow0), 100);
  EXPECT_GT(BrightShare(home, kMusicRow2, 100), 0.005);
  // "Music": the up-level row, then the three files.
  EXPECT_GT(DifferingPixels(home, music, kMusicRow0), 100);
  EXPECT_GT(BrightShare(music, kMusicRow1, 100), 0.005);
  EXPECT_GT(BrightShare(music, kMusicRow2, 100), 0.005);
  EXPECT_LT(BrightShare(music, kMusicTime, 100), 0.01);
  // The file plays: its row gets the play mark and the time runs.
  EXPECT_GT(DifferingPixels(music, shots["playing"], kMusicRow1), 50);
  EXPECT_GT(BrightShare(shots["playing"], kMusicTime, 100), 0.01);
}

}  // namespace
