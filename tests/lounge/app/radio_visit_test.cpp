// The Radio module end to end: the lounge program on the headless display
// with the virtual radio of three stations (88.0 MHz without RDS, 98.5 MHz
// "MARIVEL" with a 440 Hz tone, 104.2 MHz) and the in-memory sound card.
// From the home page "Radio Entry" shows the main page on the saved
// 100.70 MHz with no signal; B seeks down to 98.5 MHz, whose RDS name and
// full signal show; R and S record three seconds into "My Radio" of the
// documents folder; the recorded radio page lists the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "lounge/shell/app_services.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/layout_records.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_text.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/xml/document.h"
#include "tests/engines/capture/radiodeck/media_probe.h"
#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_checks.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"
#include "tests/lounge/app/visit_radio.h"

namespace {

namespace fs = std::filesystem;
using namespace app_test;

// A text or action of an installed Radio layout: its rectangle on the
// visit's screen, its normal colour and its alignment.
struct Element {
  Box box{};
  plat::COLORREF colour = 0;
  int align = ALIGN_LEFT;
};

std::optional<plat::xml::Element> FindNamed(const plat::xml::Element& parent, const std::string& name) {
  for (const plat::xml::Element& child : parent.children()) {
    if (child.attribute("value") == name && child.child("position")) return child;
    if (auto found = FindNamed(child, name)) return found;
  }
  return std::nullopt;
}

int Number(const plat::xml::Element& e, const char* attribute) {
  return std::stoi(e.attribute(attribute).value_or("0"));
}

// The element `name` of the installed layout of `page` ("MainPage" ...).
std::optional<Element> LayoutElement(const std::string& page, const std::string& name) {
  plat::xml::Document doc;
  if (!doc.loadFile(std::string(MARIVEL_TEST_BIN_DIR) + "/Layout/XML/Radio/" + page + "/layout.xml")) return std::nullopt;
  const auto found = FindNamed(doc.documentElement(), name);
  if (!found) return std::nullopt;
  const plat::xml::Element position = found->child("position");
  Element out;
  out.box = AtVisit({Number(position, "left"), Number(position, "top"), Number(position, "width"),
                     Number(position, "height")});
  if (const plat::xml::Element colour = found->child("color"))
    out.colour = static_cast<plat::COLORREF>(std::stoul(colour.attribute("normalcolor").value_or("0"), nullptr, 16));
  if (const plat::xml::Element align = found->child("align")) {
    const std::string value = align.attribute("value").value_or("");
    out.align = value == "CENTER" ? ALIGN_CENTER : value == "RIGHT" ? ALIGN_RIGHT : ALIGN_LEFT;
  }
  return out;
}

// How far (0..1) across the box the signal bar is lit: the share of its
// width up to the last column with a bright pixel. The bar's segments have
// gaps between them, so this reads the level where a bright share would not.
double LitExtent(const plat::Surface& s, Box box, int threshold = 90) {
  for (int x = box.left + box.width - 1; x >= box.left; --x) {
    for (int y = box.top; y < box.top + box.height; ++y)
      if (Brightest(s.pixel(x, y)) >= threshold) return static_cast<double>(x - box.left + 1) / box.width;
  }
  return 0.0;
}

// The last column (screen x) with a pixel of `threshold` or brighter in the
// box, -1 none.
int LastBrightColumn(const plat::Surface& s, Box box, int threshold = 140) {
  for (int x = box.left + box.width - 1; x >= box.left; --x) {
    for (int y = box.top; y < box.top + box.height; ++y)
      if (Brightest(s.pixel(x, y)) >= threshold) return x;
  }
  return -1;
}

// Where `text` ends when the skin draws it left-aligned with FONT1 in the
// box (white on black), -1 when it cannot be drawn.
int TextEnd(Box box, const std::string& text) {
  MemoryDC dc;
  const BitmapPtr bitmap(plat::CreateCompatibleBitmap(dc.get(), box.left + box.width, box.top + box.height));
  if (!dc || !bitmap || !dc.SelectBitmap(bitmap.get())) return -1;
  DrawSkinTextDefaultFont(dc.get(), box.left, box.top, box.left + box.width, box.top + box.height, text, ALIGN_LEFT,
                          0xFFFFFF, SKIN_FIT_ELLIPSIS);
  const plat::SurfacePtr drawn = plat::GetBitmapSurface(bitmap.get());
  return drawn ? LastBrightColumn(*drawn, box) : -1;
}

// Whether the bright pixels of `box` in the shot are those of `text` drawn
// by the skin with FONT1 and `align` in the box (white on black): at most
// 3 % of the box differs. The rows' places are scaled from the layout, so
// the text may lie one pixel higher or lower than the box says.
long BrightTextDifference(const plat::Surface& shot, Box box, const std::string& text, int align) {
  MemoryDC dc;
  const BitmapPtr bitmap(plat::CreateCompatibleBitmap(dc.get(), box.left + box.width, box.top + box.height + 1));
  if (!dc || !bitmap || !dc.SelectBitmap(bitmap.get())) return -1;
  DrawSkinTextDefaultFont(dc.get(), box.left, box.top, box.left + box.width, box.top + box.height, text, align,
                          0xFFFFFF, SKIN_FIT_ELLIPSIS);
  const plat::SurfacePtr drawn = plat::GetBitmapSurface(bitmap.get());
  if (!drawn || box.top < 1 || box.left + box.width > shot.width() || box.top + box.height + 1 > shot.height())
    return -1;
  long fewest = -1;
  for (int dy = -1; dy <= 1; ++dy) {
    long differing = 0;
    for (int y = box.top; y < box.top + box.height; ++y)
      for (int x = box.left; x < box.left + box.width; ++x)
        if ((Brightest(shot.pixel(x, y + dy)) >= 140) != (Brightest(drawn->pixel(x, y)) >= 140)) ++differing;
    if (fewest < 0 || differing < fewest) fewest = differing;
  }
  return fewest;
}

bool BrightTextMatches(const plat::Surface& shot, Box box, const std::string& text, int align) {
  const long differing = BrightTextDifference(shot, box, text, align);
  return differing >= 0 && differing <= static_cast<long>(0.03 * box.width * box.height);
}

// The recording time "00:00:0N" the box shows (the closest of the ten, when
// it matches at all); empty when it shows none.
std::string ShownRecordTime(const plat::Surface& shot, Box box) {
  std::string best;
  long fewest = -1;
  for (int n = 0; n <= 9; ++n) {
    const std::string text = "00:00:0" + std::to_string(n);
    const long differing = BrightTextDifference(shot, box, text, ALIGN_CENTER);
    if (differing >= 0 && (fewest < 0 || differing < fewest)) {
      fewest = differing;
      best = text;
    }
  }
  return BrightTextMatches(shot, box, best, ALIGN_CENTER) ? best : std::string();
}

// The box of the list_text `element` in the row `row` (from 0) of the
// recorded radio page's list: its place in the first row, moved down by the
// rows' pitch.
Box RecordedRowPart(const char* element, int row) {
  const auto first = LayoutElement("RecordedRadioPage", element);
  static const int pitch = [] {
    const auto one = LayoutElement("RecordedRadioPage", "Radio Row 1");
    const auto two = LayoutElement("RecordedRadioPage", "Radio Row 2");
    return one && two ? two->box.top - one->box.top : 0;
  }();
  const Box box = first ? first->box : Box{};
  return {box.left, box.top + pitch * row, box.width, box.height};
}

// The title's box in the row `row`.
Box RecordedRow(int row) { return RecordedRowPart("Radio Title Position", row); }

class RadioVisitTest : public LoungeProgramTest {
 protected:
  void SetUp() override {
    LoungeProgramTest::SetUp();
    DeclareVisitRadio(dir_ + "/registry/machine.reg");
    // The documents folder, where "My Radio" is made.
    documents_ = dir_ + "/home/Documents";
    fs::create_directories(documents_);
    std::ofstream(dir_ + "/config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n";
    // Recordings in MP3.
    std::ifstream defaults(std::string(MARIVEL_TEST_SOURCE_DIR) + "/tests/corebridge/core/golden/config_defaults.xml");
    std::stringstream text;
    text << defaults.rdbuf();
    std::string config = text.str();
    const std::string from = "<RADIO_RECORDFORMAT value=\"";
    const auto at = config.find(from);
    ASSERT_NE(at, std::string::npos);
    config.replace(at + from.size(), 1, "1");
    fs::create_directories(dir_ + "/data/Marivel");
    std::ofstream(ConfigFile()) << config;

    // The text checks draw with the skin's FONT1.
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(fs::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
  }
  void TearDown() override {
    SetUIStringTable(nullptr);
    SetSkinBaseFolder({});
  }

  // Runs the steps; "shot NAME" lines become pictures in `shots`, and each
  // "check NAME" holds the program until its picture meets `ready[NAME]`.
  int Run(const std::string& steps, std::map<std::string, plat::Surface>& shots,
          const std::map<std::string, ScreenReady>& ready = {}) {
    std::string script;
    std::vector<std::string> names;
    std::map<std::string, std::string> pictures;
    std::istringstream lines(steps);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("shot ", 0) == 0) {
        names.push_back(line.substr(5));
        line = "shot " + dir_ + "/radio-" + names.back() + ".png";
      } else if (line.rfind("check ", 0) == 0) {
        const std::string name = line.substr(6);
        line = "check " + dir_ + "/radio-" + name + ".png";
        pictures[line.substr(6)] = name;
      }
      script += line + "\n";
    }
    ChildProcess lounge =
        Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH), "--script",
                WriteScript(script, "radio.txt")},
               {"MARIVEL_MIXER=memory"});
    const int status = DriveChecks(lounge, pictures, ready, shots);
    for (const std::string& name : names) {
      const std::string file = dir_ + "/radio-" + name + ".png";
      if (const char* keep = std::getenv("MARIVEL_KEEP_SHOTS"))
        fs::copy_file(file, std::string(keep) + "/radio-" + name + ".png", fs::copy_options::overwrite_existing);
      if (auto picture = ReadPng(file)) shots[name] = std::move(*picture);
    }
    return status;
  }

  std::string documents_;
  std::unique_ptr<CStringTable> strings_;
};

TEST_F(RadioVisitTest, TuneSeekRecordAndListTheRecording) {
  const auto frequency = LayoutElement("MainPage", "Radio Frequency Text");
  const auto station = LayoutElement("MainPage", "RadioTxt TopStationName Text");
  const auto signal = LayoutElement("MainPage", "Radio SignalLevel Position");
  const auto recorded = LayoutElement("MainPage", "Radio RecordedRadio Page");
  ASSERT_TRUE(frequency && station && signal && recorded);
  ASSERT_GT(RecordedRow(1).top, RecordedRow(0).top + RecordedRow(0).height / 2);
  const std::string background = std::string(MARIVEL_TEST_BIN_DIR) + "/Layout/Img/Radio/radio_bg.bmp";
  const int clickX = recorded->box.left + recorded->box.width / 2, clickY = recorded->box.top + recorded->box.height / 2;

  // The bar's volume slider and its "Vol Up" button, where the bar lies at
  // the bottom of the screen.
  const Box slider = AtVisit({1536, 900 + 70, 120, 16});
  const Box up = AtVisit({1666, 900 + 34, 88, 88});
  // Below the bar's frequency, the time the recording has run.
  const Box recordTime = AtVisit({980, 900 + 128, 240, 40});
  const std::string volumeUp =
      "click " + std::to_string(up.left + up.width / 2) + " " + std::to_string(up.top + up.height / 2) + "\n";

  std::map<std::string, plat::Surface> shots;
  // "Radio Entry" lies below the first entry of the home page.
  const std::string steps = "check home\nkey Down\nkey Return\ncheck main\n"
                            "key B\ncheck rds\n" + volumeUp + volumeUp + volumeUp + volumeUp + volumeUp +
                            "check volume\n"
                            "key R\ncheck recording\nkey S\nwait 1000\n"
                            "click " + std::to_string(clickX) + " " + std::to_string(clickY) + "\ncheck list\n"
                            "close\n";
  // The list is ready once the recording's row shows its length.
  const Box length = RecordedRowPart("Radio Duration Position", 1);
  ASSERT_GT(length.width, 0);
  constexpr double kDigit = 0.01;
  const std::map<std::string, ScreenReady> ready = {
      {"home", [](const plat::Surface& s) { return BrightShare(s, kMovieEntry) > 0.3; }},
      {"main",
       [&](const plat::Surface& s) {
         return TextMatches(s, frequency->box, background, "100.70 MHz", frequency->align, frequency->colour, kDigit);
       }},
      {"rds",
       [&](const plat::Surface& s) {
         return TextMatches(s, frequency->box, background, "98.50 MHz", frequency->align, frequency->colour, kDigit) &&
                TextMatches(s, station->box, background, "MARIVEL", station->align, 0xFFFFFF) &&
                LitExtent(s, signal->box) >= 0.9;
       }},
      {"list", [&](const plat::Surface& s) { return BrightShare(s, length, 140) > 0.02; }},
      {"volume", [&](const plat::Surface& s) { return LitExtent(s, slider, 140) > 0.45; }},
      {"recording", [&](const plat::Surface& s) { return ShownRecordTime(s, recordTime) >= "00:00:03"; }}};
  EXPECT_EQ(Run(steps, shots, ready), 0);
  ASSERT_EQ(shots.size(), 6u);

  // 1. The main page on the saved frequency, no station there: an empty bar.
  // The frequency box is wide: one other digit differs in less than 3 % of
  // it, so the frequency is held to 1 %.
  const plat::Surface& main = shots["main"];
  EXPECT_TRUE(TextMatches(main, frequency->box, background, "100.70 MHz", frequency->align, frequency->colour, kDigit));
  EXPECT_EQ(LitExtent(main, signal->box), 0.0);

  // 2. The seek down stops on 98.5 MHz: its RDS name and a full bar.
  const plat::Surface& rds = shots["rds"];
  EXPECT_TRUE(TextMatches(rds, frequency->box, background, "98.50 MHz", frequency->align, frequency->colour, kDigit));
  EXPECT_FALSE(TextMatches(rds, frequency->box, background, "98.55 MHz", frequency->align, frequency->colour, kDigit));
  // (RDS texts are drawn white.)
  EXPECT_TRUE(TextMatches(rds, station->box, background, "MARIVEL", station->align, 0xFFFFFF));
  EXPECT_GE(LitExtent(rds, signal->box), 0.9);

  // Five steps up from silence: the slider is filled to half and its filled
  // part ends rounded, its last column lower than its body.
  const plat::Surface& volume = shots["volume"];
  EXPECT_NEAR(LitExtent(volume, slider, 140), 0.5, 0.06);
  auto litRows = [&](int x) {
    int lit = 0;
    for (int y = slider.top - 1; y <= slider.top + slider.height; ++y) lit += Brightest(volume.pixel(x, y)) >= 140;
    return lit;
  };
  const int fillEnd = slider.left + static_cast<int>(LitExtent(volume, slider, 140) * slider.width) - 1;
  EXPECT_LT(litRows(fillEnd), litRows(slider.left + slider.width / 4)) << "the filled part's right end";
  EXPECT_GT(litRows(slider.left + slider.width / 4), slider.height / 2) << "the filled part's body";

  // No recording time before the recording; while it runs, the bar counts it.
  EXPECT_LT(BrightShare(rds, recordTime, 140), 0.002);
  EXPECT_GE(ShownRecordTime(shots["recording"], recordTime), "00:00:03");

  // 3. One recording of the station, about three seconds of its tone.
  const std::string folder = documents_ + "/My Radio";
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u) << folder;
  const std::string name = files[0].filename().string();
  EXPECT_EQ(name.rfind("FM09850_", 0), 0u) << name;
  EXPECT_TRUE(name.ends_with(".mp3")) << name;
  const radio_test::FileFacts facts = radio_test::Discover(files[0].string());
  ASSERT_TRUE(facts.ok);
  // It ran for about the three seconds the bar counted (the encoder starts a little late).
  EXPECT_GE(facts.seconds, 2.0);
  EXPECT_LT(facts.seconds, 9.5);
  EXPECT_EQ(radio_test::DominantTone(radio_test::DecodeSamples(files[0].string()), 48000, {440, 1000, 1500}), 440);

  // 4. The recorded radio page: the up-level row, the file without its
  // extension, then empty rows.
  const plat::Surface& list = shots["list"];
  EXPECT_GT(BrightShare(list, RecordedRow(0), 140), 0.02) << "the up-level row";
  EXPECT_GT(BrightShare(list, RecordedRow(1), 140), 0.02) << "the recording's row";
  // The recording's row ends where its name without ".mp3" ends.
  const std::string title = name.substr(0, name.size() - 4);
  const int end = LastBrightColumn(list, RecordedRow(1));
  EXPECT_NEAR(end, TextEnd(RecordedRow(1), title), 3) << title;
  EXPECT_GT(TextEnd(RecordedRow(1), name), end + 10);
  for (int row = 2; row < 10; ++row) EXPECT_LT(BrightShare(list, RecordedRow(row), 140), 0.002) << "row " << row;
  // Beside it, its length as the file's header gives it: whole seconds, so
  // one either side of the measured length.
  const auto lengthText = LayoutElement("RecordedRadioPage", "Radio Duration Position");
  bool lengthShown = false;
  for (int seconds = static_cast<int>(facts.seconds) - 1; seconds <= static_cast<int>(facts.seconds) + 1; ++seconds)
    lengthShown = lengthShown || BrightTextMatches(list, length, "00:0" + std::to_string(seconds), lengthText->align);
  // Another length would not match.
  EXPECT_FALSE(BrightTextMatches(list, length, "00:58", lengthText->align));
  EXPECT_TRUE(lengthShown) << "the recording's length, about " << facts.seconds << " s";

  // The station is kept.
  EXPECT_NE(ReadConfig().find("<RADIO_CURFMFREQUENCY value=\"98500000\"/>"), std::string::npos);
}

}  // namespace
