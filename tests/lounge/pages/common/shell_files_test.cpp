#include "lounge/pages/common/shell_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "file_tree.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

std::vector<std::string> Relative(const FileTree& tree, std::vector<std::string> paths) {
  const std::string canonicalRoot = std::filesystem::canonical(tree.root()).string();
  for (std::string& p : paths) {
    if (p.rfind(tree.root(), 0) == 0)
      p = p.substr(tree.root().size() + 1);
    else if (p.rfind(canonicalRoot, 0) == 0)
      p = p.substr(canonicalRoot.size() + 1);
  }
  return paths;
}

TEST(ShellFilesTest, FilterRule) {
  struct Case {
    const char* filter;
    const char* name;
    bool lowerCase;
    bool passes;
  };
  const Case cases[] = {
      {"|.mp3|.wav|.wma||", "a.mp3", true, true},
      {"|.mp3|.wav|.wma||", "A.MP3", true, true},
      {"|.mp3|.wav|.wma||", "A.MP3", false, false},
      {"|.mp3|.wav|.wma||", "a.mp3.txt", true, false},
      {"|.mp3|.wav|.wma||", "noext", true, false},
      {"|.mp3|.wav|.wma||", "/music.d/noext", true, false},
      {"|.jpg|.jpeg|.bmp|.png||", "x.jpeg", true, true},
      {"", "anything", true, true},
  };
  for (const Case& c : cases) EXPECT_EQ(PassesFilter(c.filter, c.name, c.lowerCase), c.passes) << c.name;
}

TEST(ShellFilesTest, CollectWalksTheTreeButNeverThroughLinks) {
  FileTree tree;
  tree.File("lib/a.mp3");
  tree.File("lib/skip.txt");
  tree.File("lib/.hidden.mp3");
  tree.File("lib/.hidden-folder/b.mp3");
  tree.File("lib/sub/c.MP3");
  tree.File("lib/sub/deeper/d.wav");
  tree.Fifo("lib/sub/pipe.mp3");
  tree.File("outside/e.mp3");
  tree.File("outside/more/f.mp3");
  tree.Link("lib/link-to-outside", "../outside");    // a folder: neither walked nor listed
  tree.Link("lib/sub/linked.mp3", "../../outside/e.mp3");  // a file: listed by its target
  tree.Link("lib/sub/loop", "..");                    // would loop if followed
  tree.Link("lib/dangling.mp3", "nothing.mp3");

  std::vector<std::string> files;
  ASSERT_EQ(CollectFilesRecursive(tree / "lib/", "|.mp3|.wav||", files, 1), 1);
  EXPECT_THAT(Relative(tree, files), UnorderedElementsAre("lib/a.mp3", "lib/sub/c.MP3", "lib/sub/deeper/d.wav",
                                                          "outside/e.mp3"));
  // The target is named by its resolved path.
  EXPECT_EQ(std::count(files.begin(), files.end(), std::filesystem::canonical(tree / "outside/e.mp3").string()), 1);

  files.clear();
  ASSERT_EQ(CollectFilesRecursive(tree / "lib", "|.mp3|.wav||", files, 0), 1);
  EXPECT_THAT(Relative(tree, files), ElementsAre("lib/a.mp3"));

  files.clear();
  EXPECT_EQ(CollectFilesRecursive(tree / "missing", "", files, 1), 0);
  EXPECT_EQ(CollectFilesRecursive("", "", files, 1), 0);
  EXPECT_THAT(files, IsEmpty());
}

TEST(ShellFilesTest, CollectListsTheTopOfEveryVolumeForAnEmptyFolder) {
  FileTree tree;
  tree.File("c/one.mp3");
  tree.File("c/sub/deep.mp3");
  tree.File("d/two.mp3");
  tree.Volumes({Volume('C', tree / "c"), Volume('D', tree / "d"), Volume('E', "")});
  std::vector<std::string> files;
  ASSERT_EQ(CollectFilesRecursive("", "|.mp3||", files, 0), 1);
  EXPECT_THAT(Relative(tree, files), ElementsAre("c/one.mp3", "d/two.mp3"));
  files.clear();
  ASSERT_EQ(CollectFilesRecursive("C:\\sub", "|.mp3||", files, 1), 1);
  EXPECT_THAT(Relative(tree, files), ElementsAre("c/sub/deep.mp3"));
}

TEST(ShellFilesTest, ResolveShortcutRefusesWhatCannotBeOpened) {
  FileTree tree;
  tree.File("t/song.mp3");
  tree.File("t/.secret.mp3");
  tree.File("t/text.txt");
  tree.Folder("t/folder");
  tree.Fifo("t/pipe");
  tree.Link("t/to-song", "song.mp3");
  tree.Link("t/to-folder", "folder");
  tree.Link("t/chain", "to-song");
  tree.Link("t/to-secret", ".secret.mp3");
  tree.Link("t/to-text", "text.txt");
  tree.Link("t/to-pipe", "pipe");
  tree.Link("t/dangling", "gone");
  tree.Link("t/self", "self");
  struct Case {
    const char* link;
    int result;
    int isFolder;
    const char* targetName;
  };
  const Case cases[] = {
      {"t/to-song", 1, 0, "song.mp3"},   {"t/chain", 1, 0, "song.mp3"}, {"t/to-folder", 1, 1, "folder"},
      {"t/to-secret", 0, 0, ""},         {"t/to-text", 0, 0, ""},       {"t/to-pipe", 0, 0, ""},
      {"t/dangling", 0, 0, ""},          {"t/self", 0, 0, ""},          {"t/song.mp3", 0, 0, ""},
  };
  for (const Case& c : cases) {
    ShortcutTarget target;
    ASSERT_EQ(ResolveShortcut(tree / c.link, "|.mp3||", target), c.result) << c.link;
    if (!c.result) continue;
    EXPECT_EQ(target.isFolder, c.isFolder) << c.link;
    EXPECT_EQ(target.name, c.targetName) << c.link;
    EXPECT_EQ(target.path, std::filesystem::canonical(tree / c.link).string()) << c.link;
    EXPECT_NE(plat::FileTimeToTicks(target.lastWriteTime), 0u) << c.link;
  }
}

TEST(ShellFilesTest, DisplayNames) {
  FileTree tree;
  tree.Folder("disc");
  tree.Volumes({Volume('C', "/"), Volume('D', tree / "disc", "HOLIDAY")});
  struct Case {
    std::string path, name;
  };
  const Case cases[] = {
      {"", "Computer"},           {"C:", "C:"},
      {"/", "C:"},                {"D:", "HOLIDAY (D:)"},
      {"D:\\", "HOLIDAY (D:)"},   {tree / "disc/", "HOLIDAY (D:)"},
      {tree / "disc/Movies", "Movies"}, {"/home/user/clip.mpg", "clip.mpg"},
      {"Z:", "Z:"},
  };
  for (const Case& c : cases) {
    std::string name = "?";
    EXPECT_EQ(GetShellDisplayName(c.path, name), 1);
    EXPECT_EQ(name, c.name) << c.path;
  }
}

TEST(ShellFilesTest, FormatDuration) {
  struct Case {
    double seconds;
    const char* text;
  };
  const Case cases[] = {{0, "00:00"},        {59.99, "00:59"},        {61, "01:01"},
                        {3599.9, "59:59"},   {3600, "01:00:00"},      {3723.5, "01:02:03"},
                        {360000, "100:00:00"}, {-5, "00:00"},         {std::nan(""), "00:00"}};
  for (const Case& c : cases) EXPECT_EQ(FormatDuration(c.seconds), c.text) << c.seconds;
}

TEST(ShellFilesTest, ShellIconsByFileType) {
  EXPECT_EQ(ShellIconName("/v/clip.MPG"), "Layout\\Img\\Common\\filetype-video.bmp");
  EXPECT_EQ(ShellIconName("song.wma"), "Layout\\Img\\Common\\filetype-audio.bmp");
  EXPECT_EQ(ShellIconName("photo.jpeg"), "Layout\\Img\\Common\\filetype-picture.bmp");
  EXPECT_EQ(ShellIconName("notes.txt"), "Layout\\Img\\Common\\filetype-file.bmp");
  EXPECT_EQ(ShellIconName("mpg"), "Layout\\Img\\Common\\filetype-file.bmp");
  EXPECT_EQ(DrawShellIcon("clip.mpg", nullptr, 0, 0, 48, 48, 0), 0);
}

}  // namespace
