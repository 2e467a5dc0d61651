// The default skin as installed beside the program: every layout loads, every
// image it names exists with the size it is drawn at, every element name and
// string key the program uses is there, and the bitmaps are drawn the same
// way every time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "lounge/skin/app_icon.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/key_codes.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_regions.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/region_object.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = fs::path(MARIVEL_TEST_SOURCE_DIR) / "skin";
const fs::path kBin = MARIVEL_TEST_BIN_DIR;

// The pages the program loads by name.
const std::vector<std::string> kRequiredPages = {
    "Root", "ROOT1280X800", "Root_4Module", "Setting\\SettingMain", "Record\\RecordMain", "Record\\RecordDevice",
    "Record\\Recording", "Authoring\\Preview", "FloatingBar\\CaptionBar",
    "FloatingBar\\PlaybackBar\\MoviePlaybackBar", "FloatingBar\\PlaybackBar\\MusicPlaybackBar",
    "FloatingBar\\PlaybackBar\\PhotoPlaybackBar", "FloatingBar\\PlaybackBar\\VideoPlaybackBar",
    "FloatingBar\\PlaybackBar\\TVPlaybackBar", "FloatingBar\\PlaybackBar\\RadioPlaybackBar", "Common\\Rename",
    "Movie\\MAIN",
    // The Movie module's pages, by the page ids the system core selects.
    "Movie\\DEVICESELECTION", "Movie\\NoDisc", "Movie\\POPUP", "Movie\\NOTSUPPORTDTS", "Movie\\SETTING",
    "Movie\\SETTING\\VIDEOSETTING", "Movie\\SETTING\\AUDIOSETTING", "Movie\\SETTING\\LANGUAGESETTING",
    "Movie\\SETTING\\PLCSETTING\\PLCEnterPIN", "Movie\\SETTING\\PLCSETTING\\PLCSelLevel",
    "Movie\\SETTING\\PLCSETTING\\PLCEnterConfirmPIN", "Movie\\SETTING\\PLCSETTING\\PLCProgConfirmPIN",
    "Movie\\SETTING\\PLCSETTING\\PLCErrorPINMsg", "Movie\\SETTING\\PLCSETTING\\PLCRemovePINYNMsg",
    "Movie\\SETTING\\PLCSETTING\\PLCRemovePINOKMsg", "Movie\\SETTING\\PLCSETTING\\PLCAllowPlayMsg",
    "Movie\\REGION\\LimitedMsg", "Movie\\REGION\\AdministratorMsg", "Movie\\REGION\\SelRegion",
    "Movie\\REGION\\SelConfirm",
    // The Video pages, one per state of the module.
    "Video\\VideoApplication", "Video\\SelectDevice", "Video\\MyVideos", "Video\\RecentVideos", "Video\\PlayVideo",
    "Video\\CaptureVideos", "Video\\BurnVideos\\SelectVideos", "Video\\Setting\\GeneralSetting",
    "Video\\Setting\\CaptureSetting", "Video\\Setting\\SelectFolder", "Video\\Archive\\Browse", "Video\\CDDVD",
    "Video\\DV", "Video\\CompositeIn", "Video\\SVideoIn", "Video\\Archive\\Edit", "Video\\Archive\\Mark",
    "Video\\NoCaptureDevice"};


// The Music page's layouts, by the page ids' table.
const std::vector<std::string> kMusicPages = {
    "Music\\Tracks", "Music\\MusicAudioCD", "Music\\MusicRecordList", "Music\\AudioCD\\Tracks",
    "Music\\MusicFileEditing", "Music\\MusicDevice", "Music\\MusicCapture", "Music\\SourceType",
    "Music\\Settings\\MusicSetting", "Music\\Settings\\VisualizationSetting", "Music\\MediaSearch",
    "Music\\MusicFolderSelector", "Music\\MusicRipping", "Music\\AudioCD\\RipCDTrackSel",
    "Music\\VisualizationDisplay", "Music\\AudioCD\\RipCDNow", "Music\\Burnning\\SelectSourceType",
    "Music\\Burnning\\SelectTracks", "Music\\Burnning\\Preview"};

// The Radio page's 19 layouts, by the page ids of the Radio section.
const std::vector<std::string> kRadioPages = {
    "Radio\\RadioMsgPage",         "Radio\\ProcessingPage",       "Radio\\MainPage",
    "Radio\\RadioTextPage",        "Radio\\RecordedRadioPage",    "Radio\\BurnMaterialPage",
    "Radio\\SchedulePage",         "Radio\\SchedulePriorityPage", "Radio\\SetSchedulePage",
    "Radio\\ScheduleHistoryPage",  "Radio\\AddStationPage",       "Radio\\SettingPage",
    "Radio\\RadioSettingPage",     "Radio\\FrequencySettingPage", "Radio\\RecordSettingPage",
    "Radio\\ConflictSchedulePage", "Radio\\MainStationPage",      "Radio\\GeneralStationPage",
    "Radio\\FavoriteStationPage"};

// Every page shipped in the source tree, as page paths with backslashes.
std::vector<std::string> ShippedPages() {
  std::vector<std::string> pages;
  const fs::path root = kSource / "layouts";
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.path().filename() != "layout.xml") continue;
    std::string page = fs::relative(entry.path().parent_path(), root).generic_string();
    std::replace(page.begin(), page.end(), '/', '\\');
    pages.push_back(page);
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct ManifestLine {
  std::string page, kind, name, extra;
};

std::vector<ManifestLine> ReadManifest() {
  std::vector<ManifestLine> lines;
  std::ifstream in(kSource / "manifest" / "elements.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) fields.push_back(field);
    fields.resize(4);
    lines.push_back({fields[0], fields[1], fields[2], fields[3]});
  }
  return lines;
}

struct ImageSize {
  int width = 0;
  int height = 0;
};

// The size of a bitmap file; nullopt when it does not load.
std::optional<ImageSize> SizeOf(const std::string& path) {
  BitmapPtr bitmap(LoadDibSectionFile(path));
  ImageSize size;
  if (!bitmap || !GetBitmapSize(bitmap.get(), size.width, size.height)) return std::nullopt;
  return size;
}

int Width(const plat::RECT& r) { return r.right - r.left; }
int Height(const plat::RECT& r) { return r.bottom - r.top; }

// One image a layout names and how it is drawn.
struct NamedImage {
  std::string what;
  std::string path;
  plat::RECT rect;
  int frames;  // 4 for state strips, 2 for progress bars, 1 for plain pictures
};

std::vector<NamedImage> ImagesOf(const CLayoutReader& reader) {
  std::vector<NamedImage> images;
  for (const auto& b : reader.Buttons()) images.push_back({"button " + b.action, b.image, b.rect, 4});
  for (const auto& l : reader.Links()) images.push_back({"link " + l.name, l.image, l.rect, 4});
  for (const auto& s : reader.StillImages()) images.push_back({"still image " + s.name, s.image, s.rect, 1});
  for (const auto& p : reader.ProgressBars()) images.push_back({"progress " + p.name, p.image, p.rect, 2});
  for (const auto& i : reader.Indicators()) images.push_back({"indicator " + i.name, i.image, i.rect, 1});
  for (const auto& list : reader.Lists()) {
    if (!list.image.empty()) images.push_back({"list " + list.name, list.image, list.rect, 1});
    for (const auto& item : list.items) {
      images.push_back({"list item " + item.name, item.image, item.rect, 4});
      if (!item.iconImage.empty()) images.push_back({"icon of " + item.name, item.iconImage, item.iconRect, 1});
    }
    for (const auto& a : list.actions) images.push_back({"list action " + a.name, a.image, a.rect, 4});
    for (const auto& l : list.links) images.push_back({"list link " + l.name, l.image, l.rect, 4});
    for (const auto& i : list.images) images.push_back({"list image " + i.name, i.image, i.rect, 1});
  }
  return images;
}

class SkinCheck : public ::testing::Test {
 protected:
  void SetUp() override { SetSkinBaseFolder(kBin); }
  void TearDown() override { SetSkinBaseFolder({}); }
};

TEST_F(SkinCheck, EveryRequiredPageIsShipped) {
  const std::vector<std::string> shipped = ShippedPages();
  for (const std::string& page : kRequiredPages) {
    EXPECT_TRUE(std::find(shipped.begin(), shipped.end(), page) != shipped.end()) << page;
  }
  for (const std::string& page : kMusicPages) {
    EXPECT_TRUE(std::find(shipped.begin(), shipped.end(), page) != shipped.end()) << page;
  }
  for (const std::string& page : kRadioPages) {
    EXPECT_TRUE(std::find(shipped.begin(), shipped.end(), page) != shipped.end()) << page;
  }
}

TEST_F(SkinCheck, EveryShippedLayoutIsInstalledAndLoads) {
  for (const std::string& page : ShippedPages()) {
    SCOPED_TRACE(page);
    const fs::path installed = fs::path(LayoutFolderOf(kBin, page)) / "layout.xml";
    std::string relative = page;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    EXPECT_EQ(ReadFile(installed), ReadFile(kSource / "layouts" / relative / "layout.xml")) << "stale copy";
    CLayoutReader reader(page);
    EXPECT_EQ(reader.LoadAll(), 1);
  }
}

TEST_F(SkinCheck, EveryNamedImageExistsWithItsFramesAtDrawingSize) {
  for (const std::string& page : ShippedPages()) {
    SCOPED_TRACE(page);
    CLayoutReader reader(page);
    ASSERT_EQ(reader.LoadAll(), 1);
    int pageWidth = 0;
    int pageHeight = 0;
    reader.GetPageSize(pageWidth, pageHeight);
    std::string background;
    reader.GetBackgroundImage(background);
    std::vector<NamedImage> images = ImagesOf(reader);
    images.push_back({"background", background, plat::RECT{0, 0, pageWidth, pageHeight}, 1});
    // The layouts of the full-HD pages are drawn one to one on a 1920 pixel
    // wide screen; their images are made at exactly that size.
    const bool fullSize = pageWidth == 1920;
    for (const NamedImage& image : images) {
      std::optional<ImageSize> size = SizeOf(image.path);
      ASSERT_TRUE(size) << image.what << ": " << image.path << " missing or unreadable";
      EXPECT_EQ(size->width % image.frames, 0) << image.what << " is not a strip of " << image.frames;
      if (fullSize) {
        EXPECT_EQ(size->width / image.frames, Width(image.rect)) << image.what;
        EXPECT_EQ(size->height, Height(image.rect)) << image.what;
      }
    }
  }
}

TEST_F(SkinCheck, ImagesTheProgramLoadsByNameExist) {
  // The home page shows the highlighted entry's picture from the folder of
  // its background image.
  for (const char* page : {"Root", "ROOT1280X800", "Root_4Module"}) {
    CLayoutReader reader(page);
    ASSERT_EQ(reader.LoadAll(), 1) << page;
    std::string background;
    reader.GetBackgroundImage(background);
    const fs::path folder = fs::path(background).parent_path();
    for (const char* file : {"root_topc.bmp", "root_movie.bmp", "root_photo.bmp", "root_video.bmp",
                             "root_music.bmp", "root_settings.bmp", "root_help.bmp", "root_tv.bmp",
                             "root_radio.bmp", "root_burning.bmp", "root_web.bmp", "root_checkweb.bmp"}) {
      EXPECT_TRUE(SizeOf(ResolveSkinPath((folder / file).string()))) << page << ": " << file;
    }
  }
  for (const char* file : {"Layout\\Img\\Common\\Title_Record.BMP", "Layout\\Img\\Common\\Title_Burn.BMP",
                           "Layout\\Img\\Common\\sub-files.bmp",
                           // The Video page's folder frames, device, disc and file pictures.
                           "Layout\\Img\\Common\\sub-film.bmp", "Layout\\Img\\Common\\sub-film-up.bmp",
                           "Layout\\Img\\Common\\sub-film-nofiles.bmp", "Layout\\Img\\Common\\sub-film-nofiles1.bmp",
                           "Layout\\Img\\Common\\hard_disk.bmp", "Layout\\Img\\Common\\sub-cdromaudio.BMP",
                           "Layout\\Img\\Common\\sub-cdromdvd.BMP", "Layout\\Img\\Common\\sub-cdromdata.BMP",
                           "Layout\\Img\\Common\\sub-cdromempty.BMP", "Layout\\Img\\Common\\sub-cdromvcd.BMP",
                           "Layout\\Img\\Common\\sub-cardreader.BMP", "Layout\\Img\\Common\\remote_drive.bmp",
                           "Layout\\Img\\Common\\bt-burncheckbox.BMP", "Layout\\Img\\Common\\bt-burncheckbox-n.BMP",
                           "Layout\\Img\\Common\\display_M.BMP", "Layout\\Img\\Common\\Image icon.BMP",
                           "Layout\\Img\\Common\\video_file.bmp", "Layout\\Img\\Video\\MRV.bmp",
                           "Layout\\Img\\Video\\QXE.bmp"}) {
    EXPECT_TRUE(SizeOf(ResolveSkinPath(JoinSkinFile(kBin.string(), file)))) << file;
  }
  // The Photo page's browse folder, the stand-in for an unreadable picture
  // and the music rows of its background-music browser.
  for (const char* file : {"Layout\\Img\\Common\\sub-files-1.bmp", "Layout\\Img\\Common\\photo-unreadable.bmp",
                           "Layout\\Img\\Common\\sub-files-music.bmp", "Layout\\Img\\Common\\sub-files-music-up.bmp",
                           "Layout\\Img\\Common\\music-s.BMP", "Layout\\Img\\Common\\sub-folder.bmp"}) {
    EXPECT_TRUE(SizeOf(ResolveSkinPath(JoinSkinFile(kBin.string(), file)))) << file;
  }
  // The Music page's row and device icons.
  for (const char* file :
       {"Layout\\Img\\Music\\st_play.BMP", "Layout\\Img\\Music\\st_pause.BMP", "Layout\\Img\\Music\\st_FF.BMP",
        "Layout\\Img\\Music\\st_check.BMP", "Layout\\Img\\Music\\st_uncheck.BMP", "Layout\\Img\\Music\\folder.bmp",
        "Layout\\Img\\Common\\music-s.BMP", "Layout\\Img\\Common\\sub-files-music.bmp",
        "Layout\\Img\\Common\\sub-files-music-up.bmp", "Layout\\Img\\Common\\hard_disk.bmp",
        "Layout\\Img\\Common\\sub-cdromaudio.BMP", "Layout\\Img\\Common\\sub-cdromdata.BMP",
        "Layout\\Img\\Common\\sub-cardreader.BMP", "Layout\\Img\\Common\\remote_drive.bmp"}) {
    EXPECT_TRUE(SizeOf(ResolveSkinPath(JoinSkinFile(kBin.string(), file)))) << file;
  }
  // The Radio page's signal bar.
  EXPECT_TRUE(SizeOf(ResolveSkinPath(JoinSkinFile(kBin.string(), "Layout\\Img\\Radio\\aerial.bmp"))));
}

TEST_F(SkinCheck, TheProgramIconsLoad) {
  // The frame's class icon: 130 for vendor 1, 129 otherwise.
  for (int id : {129, 130}) {
    plat::HICON icon = nullptr;
    ASSERT_EQ(LoadAppIcon(nullptr, id, icon), 1) << id;
    EXPECT_FALSE(plat::GetIconPicture(icon).empty()) << id;
    plat::DestroyIcon(icon);
  }
}

TEST_F(SkinCheck, BarBackgroundsAreShapedByTheKeyColour) {
  for (const char* page : {"FloatingBar\\CaptionBar", "FloatingBar\\PlaybackBar\\MoviePlaybackBar"}) {
    SCOPED_TRACE(page);
    CLayoutReader reader(page);
    ASSERT_EQ(reader.LoadAll(), 1);
    std::string background;
    reader.GetBackgroundImage(background);
    RegionPtr region(LoadRegionFromBitmapFile(background, 0xFF00FF, 0x101010));
    ASSERT_TRUE(region);
    int width = 0;
    int height = 0;
    reader.GetPageSize(width, height);
    // Something is cut away (the corners) and most of the bar stays.
    EXPECT_FALSE(plat::PtInRegion(region.get(), 0, height - 1));
    EXPECT_TRUE(plat::PtInRegion(region.get(), width / 2, height / 2));
  }
}

// Whether `name` exists on the page as an element of `kind` (in list `list`
// for list entries).
bool HasElement(const CLayoutReader& reader, const std::string& kind, const std::string& name,
                const std::string& list) {
  int index = 0;
  if (kind == "button") return reader.FindButton(name, index);
  if (kind == "text") return reader.FindText(name, index);
  if (kind == "still_image") return reader.FindStillImage(name, index);
  if (kind == "progress") return reader.FindProgress(name, index);
  if (kind == "list") return reader.FindList(name, index);
  int l = 0;
  if (!reader.FindList(list, l)) return false;
  if (kind == "list_action") return reader.FindListAction(name, index, l);
  if (kind == "list_link") return reader.FindListLink(name, index, l);
  if (kind == "list_text") return reader.FindListText(name, index, l);
  if (kind == "list_image") {
    int count = 0;
    reader.GetListImageCount(count, l);
    for (int j = 0; j < count; ++j) {
      std::string found;
      if (reader.GetListImageName(found, j, l) && found == name) return true;
    }
    return false;
  }
  ADD_FAILURE() << "unknown kind " << kind;
  return false;
}

TEST_F(SkinCheck, EveryElementOfTheManifestIsOnItsPage) {
  CStringTable strings(kBin);
  std::map<std::string, std::unique_ptr<CLayoutReader>> readers;
  const std::vector<ManifestLine> manifest = ReadManifest();
  ASSERT_FALSE(manifest.empty());
  for (const ManifestLine& line : manifest) {
    SCOPED_TRACE(line.page + ": " + line.kind + " " + line.name);
    auto& reader = readers[line.page];
    if (!reader) {
      reader = std::make_unique<CLayoutReader>(line.page);
      ASSERT_EQ(reader->LoadAll(), 1);
    }
    if (line.kind == "hotkey") {
      const KeyCode code = ParseHotkeyName(line.name);
      EXPECT_NE(code & 0xFF, 0u) << "names no key";
      std::string action;
      ASSERT_TRUE(reader->GetHotkeyAction(code, action));
      EXPECT_EQ(action, line.extra);
      continue;
    }
    if (line.kind == "list_item_count") {
      int l = 0;
      int count = 0;
      ASSERT_TRUE(reader->FindList(line.name, l));
      reader->GetListItemCount(count, l);
      EXPECT_EQ(count, std::stoi(line.extra));
      continue;
    }
    const std::string list = line.extra.substr(0, line.extra.find('|'));
    EXPECT_TRUE(HasElement(*reader, line.kind, line.name, line.kind.rfind("list_", 0) == 0 ? list : ""));
    // Texts drawn as they stand show the string-table text of their name.
    if (line.extra.find("string") != std::string::npos) {
      std::string text;
      EXPECT_TRUE(strings.Lookup(line.name, text)) << "no string for the label";
    }
  }
}

TEST_F(SkinCheck, StringTableHoldsEveryKeyAndFontTheProgramAndLayoutsUse) {
  CStringTable strings(kBin);
  std::ifstream in(kSource / "manifest" / "strings.txt");
  std::string key;
  int keys = 0;
  while (std::getline(in, key)) {
    if (key.empty() || key[0] == '#') continue;
    std::string text;
    EXPECT_TRUE(strings.Lookup(key, text)) << key;
    ++keys;
  }
  EXPECT_GT(keys, 50);
  std::string charset;
  ASSERT_TRUE(strings.Lookup("CHARSET", charset));
  EXPECT_EQ(charset.find_first_not_of("0123456789"), std::string::npos);
  // Every font a text names is a face in the table.
  for (const std::string& page : ShippedPages()) {
    CLayoutReader reader(page);
    ASSERT_EQ(reader.LoadAll(), 1) << page;
    std::vector<LayoutText> texts = reader.Texts();
    for (const auto& list : reader.Lists()) texts.insert(texts.end(), list.texts.begin(), list.texts.end());
    for (const LayoutText& text : texts) {
      std::string face;
      EXPECT_TRUE(strings.Lookup(text.font, face) && !face.empty()) << page << ": " << text.name << " " << text.font;
    }
  }
}

// Runs the generator into a fresh folder; the exit status.
int RunGenerator(const fs::path& output) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    execl(SKIN_GENERATOR_PATH, SKIN_GENERATOR_PATH, output.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SkinCheck, GeneratorDrawsTheSameBytesAgain) {
  char pattern[] = "/tmp/marivel-skin-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path fresh = pattern;
  ASSERT_EQ(RunGenerator(fresh), 0);
  const fs::path installed = kBin / "Layout" / "Img";
  std::set<std::string> freshFiles;
  for (const auto& entry : fs::recursive_directory_iterator(fresh / "Layout" / "Img")) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), fresh / "Layout" / "Img");
    freshFiles.insert(relative.generic_string());
    EXPECT_EQ(ReadFile(entry.path()), ReadFile(installed / relative)) << relative;
  }
  std::set<std::string> installedFiles;
  for (const auto& entry : fs::recursive_directory_iterator(installed)) {
    if (entry.is_regular_file()) installedFiles.insert(fs::relative(entry.path(), installed).generic_string());
  }
  EXPECT_EQ(freshFiles, installedFiles);
  fs::remove_all(fresh);
}

}  // namespace
