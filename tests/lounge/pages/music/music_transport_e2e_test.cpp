// The Music library pages as a person uses them from the sofa: one album of
// three tracks whose titles sort against their track numbers. The album's
// page is titled with its name and lists the tracks in track order; while a
// track plays, Space pauses it (and says so), N goes to the next track and
// the volume keys change the volume, which the screen shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engines/playback/wmhost/library/media_library.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"
#include "tests/lounge/app/visit_script.h"

namespace {

using namespace app_test;

constexpr const char* kTracks = "Music/Tracks";
constexpr const char* kMusicBackground = "/Layout/Img/Music/music_bg.bmp";
constexpr const char* kAlbum = "Harbour Songs";
// By track number; by title they would come the other way round.
const char* const kTitles[] = {"Zephyr", "Mooring", "Anchor"};

class MusicTransportVisit : public ScriptedVisit {
 protected:
  bool FillLibrary() {
    const std::string folder = dir() + "/home/Music";
    std::filesystem::create_directories(folder);
    std::string error;
    auto library = wmhost::MediaLibrary::Open(dir() + "/data/Marivel/MediaLibrary.db", &error);
    if (!library) {
      ADD_FAILURE() << error;
      return false;
    }
    for (unsigned i = 0; i < 3; ++i) {
      const std::string path = folder + "/t" + std::to_string(i) + ".mp3";
      const wmhost_test::TagValues tags{kTitles[i], "Marta Vey", kAlbum, "Folk", 2001, i + 1};
      if (!wmhost_test::WriteTone(path, wmhost_test::AudioFormat::Mp3, 20.0) || !wmhost_test::WriteTags(path, tags) ||
          !library->addFile(path, &error)) {
        ADD_FAILURE() << path << ": " << error;
        return false;
      }
    }
    return library->mediaCount() == 3;
  }
};

// The on-screen notice is drawn in green at the top right; the first column
// that holds its green, -1 when none shows.
int FirstNoticeColumn(const plat::Surface& s) {
  const Box row{640, 60, 600, 40};
  for (int x = row.left; x < row.left + row.width; ++x)
    for (int y = row.top; y < row.top + row.height; ++y) {
      const std::uint32_t p = s.pixel(x, y);
      const int r = static_cast<int>((p >> 16) & 0xFF), g = static_cast<int>((p >> 8) & 0xFF), b = static_cast<int>(p & 0xFF);
      if (g > 200 && r < 90 && b < 90) return x;
    }
  return -1;
}

TEST_F(MusicTransportVisit, AlbumInTrackOrderAndTheTransportKeys) {
  ASSERT_TRUE(FillLibrary());
  const auto listType = LayoutElementOf(kTracks, "Music List Type");
  const auto focused = LayoutElementOf(kTracks, "Music Current Activated Track");
  ASSERT_TRUE(listType && focused);
  const std::string background = std::string(MARIVEL_TEST_BIN_DIR) + kMusicBackground;
  const auto shows = [&](const VisitElement& e, const std::string& text) {
    return [&, text](const plat::Surface& s) { return TextMatches(s, e.box, background, text, e.align, e.colour); };
  };
  // Music, its media library, the album list, the first album; Return plays
  // its first track.
  const std::string steps =
      "wait 1000\nkey Right\nkey Return\nwait 1500\nkey Down\nkey Return\nwait 1500\nkey Return\npoll tracks\n"
      "key Return\nwait 2500\nkey Space\npoll paused\nkey Space\nwait 1000\nkey N\npoll next\n"
      "key volumeup\npoll louder\nclose\n";
  EXPECT_EQ(RunVisit("music-transport", steps, {"MARIVEL_MIXER=memory"}), 0);

  // The album's page is titled with its name; its first track by number
  // comes first and has the focus.
  EXPECT_NE(Polled("tracks", [&](const plat::Surface& s) {
              return shows(*listType, kAlbum)(s) && shows(*focused, kTitles[0])(s);
            }),
            nullptr);
  // Space pauses, and the screen says so.
  EXPECT_NE(Polled("paused", [](const plat::Surface& s) { return FirstNoticeColumn(s) >= 0; }), nullptr);
  // N plays the next track of the album, which takes the focus.
  EXPECT_NE(Polled("next", shows(*focused, kTitles[1])), nullptr);
  // The volume key: its notice, the volume in words, is far wider than the
  // pause notice.
  EXPECT_NE(Polled("louder", [](const plat::Surface& s) {
              const int first = FirstNoticeColumn(s);
              return first >= 0 && first < 1050;
            }),
            nullptr);
}

}  // namespace
