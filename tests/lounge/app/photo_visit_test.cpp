// A visit to the Photo module end to end on the headless display. The
// pictures folder holds five solid-colour photos, one stored sideways with
// Exif orientation 6 (upright: red above blue) that sorts first, a large
// noisy photo, a PNG and a folder of four pictures. Photos opens the drive
// selector; the browser shows thumbnails and a folder mosaic; a photo opens
// full screen upright, turns right and keeps the turn when left; a slide
// show plays, pauses and steps; Escape goes home and the program closes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "lounge/shell/app_services.h"
#include "lounge/skin/layout_records.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/jpeg_codec.h"
#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_checks.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"

namespace {

using namespace app_test;
namespace fs = std::filesystem;

struct Rgb {
  int r, g, b;
};

// The mean colour of a box.
Rgb Mean(const plat::Surface& s, Box box) {
  long r = 0, g = 0, b = 0, n = 0;
  for (int y = box.top; y < box.top + box.height; ++y) {
    for (int x = box.left; x < box.left + box.width; ++x) {
      const std::uint32_t p = s.pixel(x, y);
      b += p & 0xFF, g += (p >> 8) & 0xFF, r += (p >> 16) & 0xFF, ++n;
    }
  }
  if (n == 0) return {0, 0, 0};
  return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}

bool Near(Rgb a, Rgb b, int tolerance = 48) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string Text(Rgb c) {
  return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// A small box around a screen point.
Box Around(int x, int y, int half = 6) { return {x - half, y - half, 2 * half, 2 * half}; }

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0}, kYellow{255, 255, 0}, kCyan{0, 255, 255},
    kMagenta{255, 0, 255}, kOrange{255, 128, 0}, kPink{255, 128, 192};

// The browser's grid cell `i` (4 x 3 cells of 280 x 220 from 640, 220, a
// step of 300 x 240): the centre of its picture area, above the name.
Box CellPicture(int i) {
  const int x = 640 + (i % 4) * 300, y = 220 + (i / 4) * 240;
  const Box picture = AtVisit({x + 12, y + 10, 256, 160});
  return picture;
}

// The quantisation tables of a JPEG file (the bytes of its DQT segments).
std::vector<std::uint8_t> QuantTables(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::uint8_t> tables;
  std::size_t i = 2;
  while (i + 4 <= bytes.size() && bytes[i] == 0xFF) {
    const std::uint8_t marker = bytes[i + 1];
    const std::size_t length = static_cast<std::size_t>(bytes[i + 2]) << 8 | bytes[i + 3];
    if (marker == 0xDB) tables.insert(tables.end(), bytes.begin() + i + 4, bytes.begin() + i + 2 + length);
    if (marker == 0xDA) break;
    i += 2 + length;
  }
  return tables;
}

// The Exif orientation of a file as exiftool reads it, "" without one.
std::string ExifOrientation(const std::string& path) {
  const std::string command = "exiftool -s3 -Orientation# '" + path + "'";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return "?";
  char line[64] = {};
  std::string text = std::fgets(line, sizeof line, pipe) ? line : "";
  ::pclose(pipe);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// The home page, with "Movie Entry" in focus: the program is ready for keys.
bool PhotoVisitHomeShown(const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.3; }

class PhotoVisitTest : public app_test::LoungeProgramTest {
 protected:
  void SetUp() override {
    LoungeProgramTest::SetUp();
    const std::string fixtures = MARIVEL_PHOTO_VISIT_DIR;
    ASSERT_EQ(std::system((std::string(MARIVEL_PHOTO_VISIT_SCRIPT) + " " + fixtures).c_str()), 0);
    pictures_ = dir() + "/home/Pictures";
    fs::create_directories(pictures_);
    fs::copy(fixtures, pictures_, fs::copy_options::recursive);
    fs::remove(pictures_ + "/stamp");
    fs::create_directories(dir() + "/config");
    std::ofstream(dir() + "/config/user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n";
    // Two-second slides with a fade and no music.
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
    set("PHOTO_DURATION", "2");
    set("PHOTO_TRANSITION", "3");
    set("PHOTO_ISPLAYBGMUSIC", "0");
    fs::create_directories(dir() + "/data/Marivel");
    std::ofstream(ConfigFile()) << config;
  }

  // Runs the steps; each "check NAME" is answered once its picture meets
  // `ready[NAME]` and kept in `shots`.
  int Run(const std::string& steps, const std::map<std::string, ScreenReady>& ready,
          std::map<std::string, plat::Surface>& shots) {
    std::string script;
    std::map<std::string, std::string> pictures;
    std::vector<std::string> samples;  // "shot NAME": the screen as it was, unchecked
    std::size_t start = 0;
    while (start < steps.size()) {
      std::size_t end = steps.find('\n', start);
      if (end == std::string::npos) end = steps.size();
      std::string line = steps.substr(start, end - start);
      if (line.rfind("check ", 0) == 0) {
        const std::string name = line.substr(6);
        line = "check " + dir() + "/photo-" + name + ".png";
        pictures[line.substr(6)] = name;
      } else if (line.rfind("shot ", 0) == 0) {
        samples.push_back(line.substr(5));
        line = "shot " + dir() + "/photo-" + samples.back() + ".png";
      }
      script += line + "\n";
      start = end + 1;
    }
    ChildProcess lounge = Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH),
                                  "--script", WriteScript(script, "photo.txt")});
    const int status = DriveChecks(lounge, pictures, ready, shots);
    for (const std::string& name : samples)
      if (auto picture = ReadPng(dir() + "/photo-" + name + ".png")) shots[name] = std::move(*picture);
    return status;
  }

  // Steps that take a picture of the screen every `everyMs` until `count`
  // pictures named "<name>-0" ... are taken; Settled picks from them.
  static std::string Poll(const std::string& name, int count = 24, int everyMs = 250) {
    std::string steps;
    for (int i = 0; i < count; ++i)
      steps += "shot " + name + "-" + std::to_string(i) + "\nwait " + std::to_string(everyMs) + "\n";
    return steps;
  }
  // The first of the polled pictures that shows the awaited state and
  // stands still over `region` (the next picture the same there), or null
  // when the state never came.
  template <typename Awaited>
  static const plat::Surface* Settled(const std::map<std::string, plat::Surface>& shots, const std::string& name,
                                      Box region, Awaited awaited) {
    for (int i = 0;; ++i) {
      const auto now = shots.find(name + "-" + std::to_string(i));
      const auto next = shots.find(name + "-" + std::to_string(i + 1));
      if (now == shots.end() || next == shots.end()) return nullptr;
      if (DifferingPixels(now->second, next->second, region) == 0 && awaited(now->second)) return &now->second;
    }
  }
  // The skin's strings, for drawing the texts a picture should show.
  void LoadStrings() {
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(fs::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
  }
  void TearDown() override {
    if (strings_) {
      SetUIStringTable(nullptr);
      SetSkinBaseFolder({});
    }
  }

  std::string pictures_;
  std::unique_ptr<CStringTable> strings_;
};

// The browser's mosaic: the colours at the centres of its four quarters.
std::vector<Rgb> MosaicQuarters(const plat::Surface& browser) {
  const Box mosaic = CellPicture(0);
  std::vector<Rgb> quarters;
  for (int q = 0; q < 4; ++q) {
    // The mosaic sits in the lower part of the folder picture, 2 x 2.
    const int cx = mosaic.left + mosaic.width * (q % 2 == 0 ? 38 : 62) / 100;
    const int cy = mosaic.top + mosaic.height * (q / 2 == 0 ? 52 : 78) / 100;
    quarters.push_back(Mean(browser, Around(cx, cy, 3)));
  }
  return quarters;
}

// The mean colour at the centre of the browser's cell `i`.
Rgb CellCentre(const plat::Surface& s, int i, int half = 6) {
  const Box cell = CellPicture(i);
  return Mean(s, Around(cell.left + cell.width / 2, cell.top + cell.height / 2, half));
}

// Whether the browser shows every thumbnail: the mosaic's four colours, the
// sideways photo upright and the photos' own colours.
bool ThumbnailsShown(const plat::Surface& s) {
  const std::vector<Rgb> quarters = MosaicQuarters(s);
  for (Rgb expected : {kRed, kGreen, kBlue, kYellow}) {
    bool found = false;
    for (Rgb q : quarters) found = found || Near(q, expected, 64);
    if (!found) return false;
  }
  const Box sideways = CellPicture(2);
  const int x = sideways.left + sideways.width / 2;
  if (!Near(Mean(s, Around(x, sideways.top + sideways.height * 35 / 100)), kRed) ||
      !Near(Mean(s, Around(x, sideways.top + sideways.height * 65 / 100)), kBlue))
    return false;
  const Rgb colours[] = {kGreen, kYellow, kCyan, kMagenta, kOrange};
  for (int i = 0; i < 5; ++i)
    if (!Near(CellCentre(s, 3 + i), colours[i])) return false;
  return Near(CellCentre(s, 8, 12), {128, 128, 128}, 40) && Near(CellCentre(s, 9), kPink);
}

TEST_F(PhotoVisitTest, BrowseOpenTurnAndShowPhotos) {
  const std::vector<std::uint8_t> tablesBefore = QuantTables(pictures_ + "/a_sideways.jpg");
  const int w = kVisitScreenW, h = kVisitScreenH;
  const Box browserPanel = AtVisit({0, 0, 500, 1080});
  // Each step waits until the screen shows its outcome before the next key.
  const auto home = [](const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.3; };
  const std::map<std::string, ScreenReady> ready{
      {"start", home},
      {"selector", [](const plat::Surface& s) { return BrightShare(s, CellPicture(0), 100) > 0.05; }},
      {"browser", ThumbnailsShown},
      {"full",
       [&](const plat::Surface& s) {
         return Near(Mean(s, Around(w / 2, h / 4)), kRed) && Near(Mean(s, Around(w / 2, h * 3 / 4)), kBlue);
       }},
      {"turned",
       [&](const plat::Surface& s) {
         return Near(Mean(s, Around(w / 2 + h / 4, h / 2)), kRed) && Near(Mean(s, Around(w / 2 - h / 4, h / 2)), kBlue);
       }},
      // PageDown: the next photo, green, on the whole screen.
      {"paged", [&](const plat::Surface& s) { return Near(Mean(s, Around(w / 2, h / 2)), kGreen); }},
      // Escape: the browser again, on the green photo.
      {"left",
       [&](const plat::Surface& s) {
         return BrightShare(s, browserPanel, 60) > 0.01 && Near(CellCentre(s, 3), kGreen);
       }},
      {"slide",
       [&](const plat::Surface& s) {
         return BrightShare(s, browserPanel, 60) < 0.01 && Near(Mean(s, Around(w / 2 + h / 4, h / 2)), kRed);
       }},
      {"next", [&](const plat::Surface& s) { return Near(Mean(s, Around(w / 2, h / 2)), kGreen); }},
      {"after",
       [&](const plat::Surface& s) {
         const Box again = CellPicture(2);
         return BrightShare(s, browserPanel, 60) > 0.01 && Near(CellCentre(s, 3), kGreen) &&
                Near(Mean(s, Around(again.left + again.width * 65 / 100, again.top + again.height / 2)), kRed) &&
                BrightShare(s, AtVisit({1560, 180, 260, 40}), 140) > 0.05;
       }},
      {"selector-again",
       [](const plat::Surface& s) {
         return BrightShare(s, CellPicture(0), 100) > 0.05 && !Near(CellCentre(s, 3), kGreen);
       }},
      {"home", home},
  };
  std::map<std::string, plat::Surface> shots;
  const std::string steps = std::string("check start\n") +
                            // "Photo Entry" is the third tile of the home page's first row.
                            "key Right\nkey Right\nkey Return\ncheck selector\n" + "key Return\ncheck browser\n" +
                            // The folders come first (the program's own "Snapshot" folder
                            // among them), then the sideways photo.
                            "key Right\nkey Right\nkey Return\ncheck full\n" + "key R\ncheck turned\n" +
                            "key PageDown\ncheck paged\nkey Escape\ncheck left\n" + "key Space\ncheck slide\n" +
                            "key P\nkey N\ncheck next\n" + "key Escape\ncheck after\n" +
                            // Escape to the drive selector, then home.
                            "key Escape\ncheck selector-again\nkey Escape\ncheck home\nclose\n";
  EXPECT_EQ(Run(steps, ready, shots), 0);
  ASSERT_EQ(shots.size(), 12u);

  // 1. The drive selector: "Pictures" first, with its folder picture.
  const plat::Surface& selector = shots["selector"];
  EXPECT_GT(BrightShare(selector, CellPicture(0), 100), 0.05) << "the folder picture";

  // 2. The browser: the folder mosaic first, then the photos in name order,
  // each cell showing its picture's colour at its centre.
  const plat::Surface& browser = shots["browser"];
  const std::vector<Rgb> quarters = MosaicQuarters(browser);
  for (Rgb expected : {kRed, kGreen, kBlue, kYellow}) {
    bool found = false;
    for (Rgb q : quarters) found = found || Near(q, expected, 64);
    EXPECT_TRUE(found) << "the mosaic lacks " << Text(expected) << ": " << Text(quarters[0]) << Text(quarters[1])
                       << Text(quarters[2]) << Text(quarters[3]);
  }
  // The sideways photo is upright: red above blue.
  const Box sideways = CellPicture(2);
  EXPECT_TRUE(
      Near(Mean(browser, Around(sideways.left + sideways.width / 2, sideways.top + sideways.height * 35 / 100)), kRed));
  EXPECT_TRUE(Near(Mean(browser, Around(sideways.left + sideways.width / 2, sideways.top + sideways.height * 65 / 100)),
                   kBlue));
  const Rgb colours[] = {kGreen, kYellow, kCyan, kMagenta, kOrange};
  for (int i = 0; i < 5; ++i) {
    const Box cell = CellPicture(3 + i);
    const Rgb seen = Mean(browser, Around(cell.left + cell.width / 2, cell.top + cell.height / 2));
    EXPECT_TRUE(Near(seen, colours[i])) << "cell " << 3 + i << ": " << Text(seen);
  }
  // The noisy photo is grey on average (not the stand-in), the PNG pink.
  const Box noisy = CellPicture(8);
  const Rgb grey = Mean(browser, Around(noisy.left + noisy.width / 2, noisy.top + noisy.height / 2, 12));
  EXPECT_TRUE(Near(grey, {128, 128, 128}, 40)) << Text(grey);
  const Box png = CellPicture(9);
  EXPECT_TRUE(Near(Mean(browser, Around(png.left + png.width / 2, png.top + png.height / 2)), kPink));

  // 3. Full screen: upright, in its own proportions.
  const plat::Surface& full = shots["full"];
  EXPECT_TRUE(Near(Mean(full, Around(w / 2, h / 4)), kRed)) << Text(Mean(full, Around(w / 2, h / 4)));
  EXPECT_TRUE(Near(Mean(full, Around(w / 2, h * 3 / 4)), kBlue));

  // 4. Turned right: red on the right, blue on the left, black beside the
  // now upright-standing picture.
  const plat::Surface& turned = shots["turned"];
  const Rgb right = Mean(turned, Around(w / 2 + h / 4, h / 2));
  EXPECT_TRUE(Near(right, kRed)) << Text(right);
  EXPECT_TRUE(Near(Mean(turned, Around(w / 2 - h / 4, h / 2)), kBlue));
  EXPECT_TRUE(Near(Mean(turned, Around(20, h / 2)), {0, 0, 0}, 24));
  EXPECT_TRUE(Near(Mean(turned, Around(w - 20, h / 2)), {0, 0, 0}, 24));

  // Leaving the photo wrote the turn into the file without re-encoding:
  // orientation 1, the stored pixels turned (red on the right), the same
  // quantisation tables.
  const std::string edited = pictures_ + "/a_sideways.jpg";
  std::ifstream in(edited, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string error;
  const auto decoded = plat::gdi::DecodeJpeg(bytes, {}, &error);
  ASSERT_TRUE(decoded) << error;
  EXPECT_EQ(decoded->width(), 768);
  EXPECT_EQ(decoded->height(), 1024);
  const auto at = [&](int x, int y) {
    const std::uint32_t p = decoded->pixel(x, y);
    return Rgb{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
  };
  EXPECT_TRUE(Near(at(600, 512), kRed)) << Text(at(600, 512));
  EXPECT_TRUE(Near(at(160, 512), kBlue)) << Text(at(160, 512));
  EXPECT_EQ(QuantTables(edited), tablesBefore);
  EXPECT_EQ(ExifOrientation(edited), "1");

  // 5. The slide show: the photo it starts at on the whole screen (turned,
  // red on the right), no browser around it.
  const plat::Surface& slide = shots["slide"];
  EXPECT_LT(BrightShare(slide, AtVisit({0, 0, 500, 1080}), 60), 0.01);
  EXPECT_TRUE(Near(Mean(slide, Around(w / 2 + h / 4, h / 2)), kRed));
  // 6. Paused and one step on: the next photo of the list.
  const plat::Surface& next = shots["next"];
  EXPECT_TRUE(Near(Mean(next, Around(w / 2, h / 2)), kGreen)) << Text(Mean(next, Around(w / 2, h / 2)));
  // 7. The browser again, the turned photo's thumbnail made anew, and the
  // count of its ten entries (two folders, eight pictures) written.
  const plat::Surface& after = shots["after"];
  const Box green = CellPicture(3);
  EXPECT_TRUE(Near(Mean(after, Around(green.left + green.width / 2, green.top + green.height / 2)), kGreen));
  const Box again = CellPicture(2);
  EXPECT_TRUE(Near(Mean(after, Around(again.left + again.width * 65 / 100, again.top + again.height / 2)), kRed));
  EXPECT_GT(BrightShare(after, AtVisit({1560, 180, 260, 40}), 140), 0.05) << "the item count";

  // Home again, and the settings kept.
  EXPECT_GT(BrightShare(shots["home"], kMovieEntry), 0.3);
  EXPECT_NE(ReadConfig().find("<PHOTO_DURATION value=\"2\"/>"), std::string::npos);
}

}  // namespace

namespace {

const std::string kPhotoBackground = std::string(MARIVEL_TEST_BIN_DIR) + "/Layout/Img/Photo/photo_bg.bmp";
// The position text of the drive selector and of the browser, right-aligned.
const Box kPositionText = AtVisit({1560, 180, 260, 40});
// The caption of the first tile, and the first tile's picture.
const Box kFirstCaption = AtVisit({652, 396, 256, 34});

// Whether the box shows one "n / count" text, for some n (or the n given),
// held to 1 % of its pixels so that one digit tells.
bool ShowsPosition(const plat::Surface& shot, int count, int n = 0) {
  for (int i = n ? n : 1; i <= (n ? n : count); ++i)
    if (TextMatches(shot, kPositionText, kPhotoBackground, std::to_string(i) + " / " + std::to_string(count),
                    ALIGN_RIGHT, 0xFFFFFF, 0.01))
      return true;
  return false;
}

// Share of the box that is dark (mean of the channels under 150): text
// drawn dark on the light focus plate.
double DarkShare(const plat::Surface& s, Box box) {
  long dark = 0;
  for (int y = box.top; y < box.top + box.height; ++y)
    for (int x = box.left; x < box.left + box.width; ++x) {
      const std::uint32_t p = s.pixel(x, y);
      dark += ((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)) / 3 < 150;
    }
  return static_cast<double>(dark) / (box.width * box.height);
}

// Width over height of the bright part of the box (0 when nothing is).
double BrightAspect(const plat::Surface& s, Box box) {
  int left = box.left + box.width, right = -1, top = box.top + box.height, bottom = -1;
  for (int y = box.top; y < box.top + box.height; ++y)
    for (int x = box.left; x < box.left + box.width; ++x)
      if (Brightest(s.pixel(x, y)) >= 140)
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
  return right < 0 ? 0.0 : static_cast<double>(right - left + 1) / (bottom - top + 1);
}

}  // namespace

// What the drive selector and the browser draw as the focus moves: one
// position text in its place, holding exactly the new position; a focused
// tile's caption dark on its light plate.
TEST_F(PhotoVisitTest, PositionTextsAndFocusedCaptionsAreDrawnCleanly) {
  LoadStrings();
  std::map<std::string, plat::Surface> shots;
  const std::string steps = std::string("check start\nkey Right\nkey Right\nkey Return\n") + Poll("selector") +
                            "key Return\n" + Poll("browser") + "key Right\n" + Poll("second") + "key Right\nkey Right\n" +
                            Poll("fourth") + "key Left\n" + Poll("third") + "key Right\nkey Return\n" + Poll("full") +
                            "close\n";
  EXPECT_EQ(Run(steps, {{"start", PhotoVisitHomeShown}}, shots), 0);

  // The drive selector: its position once, right-aligned in its place.
  int drives = 0;
  const plat::Surface* selector = Settled(shots, "selector", kPositionText, [&](const plat::Surface& shot) {
    for (int count = 1; count <= 12 && !drives; ++count)
      if (ShowsPosition(shot, count, 1)) drives = count;
    return drives > 0;
  });
  ASSERT_NE(selector, nullptr) << "the drive selector never showed one position text";
  // "Pictures", focused: its caption is drawn dark on the light plate.
  EXPECT_GT(DarkShare(*selector, kFirstCaption), 0.08);
  EXPECT_LT(DarkShare(*selector, kFirstCaption), 0.7);
  // The system's root file system comes next, drawn as a drive's box (wide),
  // not as a disc (round).
  if (drives == 2) {
    EXPECT_GT(BrightAspect(*selector, AtVisit({950, 230, 260, 154})), 1.4) << "the second drive is drawn as a disc";
  }

  // The browser: ten entries; each focus move leaves exactly its position.
  const struct {
    const char* name;
    int position;
  } moves[] = {{"browser", 1}, {"second", 2}, {"fourth", 4}, {"third", 3}};
  for (const auto& move : moves) {
    const plat::Surface* shot = Settled(shots, move.name, kPositionText, [&](const plat::Surface& s) {
      return ShowsPosition(s, 10, move.position);
    });
    EXPECT_NE(shot, nullptr) << move.name << ": the position " << move.position << " / 10 never stood alone";
  }

  // The 4:3 green photo on the 16:9 screen keeps its shape: black bars left
  // and right; its date, on the picture, is outlined dark.
  const int w = kVisitScreenW, h = kVisitScreenH;
  const plat::Surface* full = Settled(shots, "full", Box{0, 0, w, h}, [&](const plat::Surface& s) {
    return Near(Mean(s, Around(w / 2, h / 2)), kGreen);
  });
  ASSERT_NE(full, nullptr) << "the green photo never showed full screen";
  EXPECT_TRUE(Near(Mean(*full, Around(60, h / 2)), {0, 0, 0}, 24)) << Text(Mean(*full, Around(60, h / 2)));
  EXPECT_TRUE(Near(Mean(*full, Around(w - 60, h / 2)), {0, 0, 0}, 24));
  EXPECT_TRUE(Near(Mean(*full, Around(w / 2 - h * 2 / 3 + 30, h / 2)), kGreen)) << "the photo's left edge";
  const Box date = AtVisit({960, 1000, 500, 48});
  EXPECT_GT(DarkShare(*full, date), 0.03) << "the date has no outline";
  EXPECT_GT(BrightShare(*full, date, 250), 0.01) << "no date";
}

// Edit in the browser: the focus goes onto the first photo and Edit shows
// checked; Return opens that photo in the editing view. The slide show's
// settings and its music picker.
TEST_F(PhotoVisitTest, EditOpensAPhotoAndTheMusicPickerShowsMusic) {
  LoadStrings();
  std::map<std::string, plat::Surface> shots;
  // The Edit entry of the browser, and the Settings entry of the drive
  // selector; the music choice of the settings page.
  const Box edit = AtVisit({120, 508, 420, 84});
  const Box settings = AtVisit({120, 604, 420, 84});
  const Box music = AtVisit({640, 540, 420, 84});
  const auto click = [](Box b) {
    return "click " + std::to_string(b.left + b.width / 2) + " " + std::to_string(b.top + b.height / 2) + "\n";
  };
  const std::string steps = std::string("check start\nkey Right\nkey Right\nkey Return\n") + Poll("selector", 12) +
                            "key Return\n" + Poll("browser", 12) + click(edit) + Poll("edit") + "key Return\n" +
                            Poll("editing") + "key Escape\n" + Poll("back", 12) + click(settings) + Poll("settings") +
                            click(music) + Poll("music") + "close\n";
  EXPECT_EQ(Run(steps, {{"start", PhotoVisitHomeShown}}, shots), 0);

  // Edit: the first photo (the sideways one, third entry) takes the focus.
  const plat::Surface* edited = Settled(shots, "edit", kPositionText, [&](const plat::Surface& s) {
    return ShowsPosition(s, 10, 3);
  });
  ASSERT_NE(edited, nullptr) << "Edit did not move to a photo";
  // Return: the editing view with the photo upright, red above blue.
  const Box area = AtVisit({640, 220, 1200, 675});
  const plat::Surface* editing = Settled(shots, "editing", area, [&](const plat::Surface& s) {
    return Near(Mean(s, Around(area.left + area.width / 2, area.top + area.height * 3 / 10)), kRed);
  });
  ASSERT_NE(editing, nullptr) << "the editing view never showed the photo";
  EXPECT_TRUE(Near(Mean(*editing, Around(area.left + area.width / 2, area.top + area.height * 7 / 10)), kBlue));

  // The settings' labels are whole, shrunk to their place if need be.
  const Box duration = AtVisit({640, 240, 340, 44});
  const plat::Surface* settingsShot = Settled(shots, "settings", duration, [&](const plat::Surface& s) {
    return BrightShare(s, duration, 100) > 0.02;
  });
  ASSERT_NE(settingsShot, nullptr) << "the settings page never showed";
  EXPECT_TRUE(TextMatches(*settingsShot, duration, kPhotoBackground, UIStringOrEmpty("PHOTO_DURATION"), ALIGN_LEFT,
                          0xBFA38F, 0.03, 3))
      << "the picture duration's label is cut";
}
