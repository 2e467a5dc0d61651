#include "lounge/pages/common/file_list_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "file_tree.h"
#include "lounge/shell/module_page.h"
#include "tests/lounge/shell/fake_shell_frame.h"
#include "recording_sink.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kMusicFilter = "|.mp3|.wav|.wma||";
constexpr int kId = 5;

// The smallest page a source can belong to.
class BrowsingPage : public CShellPage {
 public:
  using CShellPage::CShellPage;
  int OnAction(const std::string&) override { return 0; }
};

// A folder with one of everything a listing meets.
struct MixedFolder {
  FileTree tree;
  MixedFolder() {
    tree.File("music/b.mp3");
    tree.File("music/A.MP3");
    tree.File("music/notes.txt");
    tree.File("music/noext");
    tree.File("music/.hidden.mp3");
    tree.Folder("music/.cache");
    tree.Folder("music/Rock");
    tree.Folder("music/jazz");
    tree.Fifo("music/pipe.mp3");
    tree.File("elsewhere/linked.wav");
    tree.File("elsewhere/linked.txt");
    tree.File("elsewhere/.secret.mp3");
    tree.Folder("elsewhere/Albums");
    tree.Link("music/to-albums", "../elsewhere/Albums");
    tree.Link("music/song-link.mp3", tree / "elsewhere/linked.wav");
    tree.Link("music/text-link.mp3", "../elsewhere/linked.txt");  // target outside the filter
    tree.Link("music/dangling.mp3", "../elsewhere/missing.mp3");
    tree.Link("music/to-secret", "../elsewhere/.secret.mp3");      // hidden target
    tree.Link("music/to-pipe", "pipe.mp3");                         // neither file nor folder
    tree.Link("music/loop-a", "loop-b");
    tree.Link("music/loop-b", "loop-a");
  }
};

TEST(FileListSourceTest, RescanKeepsFoldersFilesAndResolvableLinks) {
  MixedFolder f;
  RecordingSink sink;
  CFileListSource source(kMusicFilter, nullptr, &sink, kId);
  ASSERT_EQ(source.OpenFolder(f.tree / "music"), 1);

  // Hidden names, the fifo, dangling and looping links, links to hidden or
  // special targets and to files outside the filter are left out; the
  // extension test is case-blind; folders come first, each list by name.
  EXPECT_THAT(sink.FolderNames(), ElementsAre("jazz", "Rock", "to-albums"));
  EXPECT_THAT(sink.FileNames(), ElementsAre("A.MP3", "b.mp3", "song-link.mp3"));
  EXPECT_THAT(sink.calls, ElementsAre("reset", "changed 0 0"));
  ASSERT_EQ(source.GetFolderCount(), 3);
  ASSERT_EQ(source.GetFileCount(), 3);

  const FileListEntry& folderLink = *source.GetFolderEntry(2);
  EXPECT_EQ(folderLink.isShortcut, 1);
  EXPECT_EQ(folderLink.path, f.tree / "music/to-albums");
  EXPECT_EQ(folderLink.targetPath, std::filesystem::canonical(f.tree / "elsewhere/Albums").string());
  EXPECT_EQ(folderLink.targetName, "Albums");

  const FileListEntry& fileLink = *source.GetFileEntry(2);
  EXPECT_EQ(fileLink.isShortcut, 1);
  EXPECT_EQ(fileLink.targetName, "linked.wav");
  EXPECT_NE(plat::FileTimeToTicks(fileLink.targetLastWriteTime), 0u);

  const FileListEntry& plain = *source.GetFileEntry(0);
  EXPECT_EQ(plain.isShortcut, 0);
  EXPECT_EQ(plain.path, f.tree / "music/A.MP3");
  EXPECT_TRUE(plain.targetPath.empty());
  EXPECT_NE(plat::FileTimeToTicks(plain.lastWriteTime), 0u);
}

TEST(FileListSourceTest, EmptyFilterPassesEveryFileAndUnreadableFolderGivesEmptyLists) {
  MixedFolder f;
  RecordingSink sink;
  CFileListSource source("", nullptr, &sink, kId);
  source.OpenFolder(f.tree / "music");
  EXPECT_THAT(sink.FileNames(), ElementsAre("A.MP3", "b.mp3", "noext", "notes.txt", "song-link.mp3", "text-link.mp3"));

  CFileListSource missing(f.tree / "nowhere", "", nullptr, &sink, kId);
  EXPECT_EQ(missing.Rescan(), 0);
  EXPECT_EQ(missing.GetEntryCount(), 1);  // the up-level entry only
  EXPECT_EQ(missing.GetFolderCount() + missing.GetFileCount(), 0);
}

TEST(FileListSourceTest, AddFileComparesTheExtensionAsWrittenAndLoadFileListDoesNotFilter) {
  MixedFolder f;
  RecordingSink sink;
  CFileListSource source(kMusicFilter, nullptr, &sink, kId);
  EXPECT_EQ(source.AddFile(f.tree / "music/A.MP3"), 0);
  EXPECT_EQ(source.AddFile(f.tree / "music/b.mp3"), 1);
  EXPECT_EQ(source.AddFile(f.tree / "music/missing.mp3"), 0);
  EXPECT_EQ(source.AddFile(f.tree / "music/pipe.mp3"), 0);
  EXPECT_EQ(source.AddFile(f.tree / "music/text-link.mp3"), 0);
  EXPECT_EQ(source.AddFile(f.tree / "music/to-albums"), 0);  // a folder is no file
  // A linked file keeps only its target.
  ASSERT_EQ(source.AddFile(f.tree / "music/song-link.mp3"), 1);
  ASSERT_EQ(source.GetFileCount(), 2);
  const FileListEntry& linked = *source.GetFileEntry(1);
  EXPECT_EQ(linked.isShortcut, 1);
  EXPECT_TRUE(linked.path.empty());
  EXPECT_EQ(linked.targetName, "linked.wav");
  EXPECT_THAT(sink.FileNames(), ElementsAre("b.mp3", ""));

  source.LoadFileList({f.tree / "music/notes.txt", f.tree / "music/gone.mp3", f.tree / "music/song-link.mp3",
                       f.tree / "music/text-link.mp3", f.tree / "music/jazz"});
  EXPECT_THAT(sink.FileNames(), ElementsAre("notes.txt", "song-link.mp3"));
  EXPECT_EQ(source.GetFileEntry(1)->targetName, "linked.wav");
  EXPECT_EQ(source.GetFolderCount(), 0);
}

TEST(FileListSourceTest, DisplayIndicesPutTheUpLevelEntryFirst) {
  MixedFolder f;
  RecordingSink sink;
  CFileListSource source(kMusicFilter, nullptr, &sink, kId);
  source.OpenFolder(f.tree / "music");
  ASSERT_EQ(source.GetEntryCount(), 7);
  struct Case {
    int display, kind, index;
  };
  for (Case c : {Case{0, FILE_LIST_UP_LEVEL, 0}, Case{1, FILE_LIST_FOLDER, 0}, Case{3, FILE_LIST_FOLDER, 2},
                 Case{4, FILE_LIST_FILE, 0}, Case{6, FILE_LIST_FILE, 2}}) {
    int kind = -1, index = -1;
    ASSERT_EQ(source.GetEntryByIndex(c.display, kind, index), 1) << c.display;
    EXPECT_EQ(kind, c.kind) << c.display;
    EXPECT_EQ(index, c.index) << c.display;
  }
  int kind = 0, index = 0;
  EXPECT_EQ(source.GetEntryByIndex(7, kind, index), 0);
  EXPECT_EQ(source.GetEntryByIndex(-1, kind, index), 0);

  source.SetShowUpLevel(0);
  EXPECT_EQ(source.GetEntryCount(), 6);
  ASSERT_EQ(source.GetEntryByIndex(0, kind, index), 1);
  EXPECT_EQ(kind, FILE_LIST_FOLDER);

  source.ActivateEntry(4);  // the second file
  EXPECT_TRUE(sink.Called("activated 1"));
  EXPECT_EQ(source.SetPosition(-1), 0);
  EXPECT_EQ(source.SetPosition(9), 1);
  EXPECT_EQ(source.GetPosition(), 9);
  source.Clear();
  EXPECT_EQ(source.GetPosition(), 0);
  EXPECT_TRUE(source.GetCurrentFolder().empty());
}

TEST(FileListSourceTest, LinkedFolderIsEnteredAtItsTargetAndGoingUpReturnsToTheLink) {
  MixedFolder f;
  f.tree.File("elsewhere/Albums/one.mp3");
  RecordingSink sink;
  CFileListSource source(kMusicFilter, nullptr, &sink, kId);
  source.OpenFolder(f.tree / "music");
  sink.calls.clear();
  sink.listTop = 2;
  ASSERT_EQ(source.EnterFolder(2), 1);  // "to-albums"
  EXPECT_EQ(source.GetCurrentFolder(), std::filesystem::canonical(f.tree / "elsewhere/Albums").string());
  EXPECT_THAT(sink.FileNames(), ElementsAre("one.mp3"));
  EXPECT_THAT(sink.calls, ElementsAre("reset", "changed 2 0", "selected -1"));
  EXPECT_EQ(source.GetSelectedIndex(), -1);

  sink.calls.clear();
  ASSERT_EQ(source.GoUp(), 1);
  EXPECT_EQ(source.GetCurrentFolder(), f.tree / "music");
  // The link is focused again: display index 3 behind the up-level entry.
  EXPECT_THAT(sink.calls, ElementsAre("reset", "changed 7 2", "selected 3"));
  EXPECT_EQ(source.GetSelectedIndex(), 3);
  EXPECT_EQ(source.EnterFolder(3), 0);
  EXPECT_EQ(source.EnterFolder(-1), 0);
}

TEST(FileListSourceTest, HistoryRestoresEachFoldersListTop) {
  FileTree tree;
  tree.File("top/a/b/c.mp3");
  RecordingSink sink;
  CFileListSource source(kMusicFilter, nullptr, &sink, kId);
  source.OpenFolder(tree / "top");
  sink.listTop = 7;
  source.ActivateEntry(1);  // "a" behind the up-level entry
  sink.listTop = 3;
  source.ActivateEntry(1);  // "b"
  ASSERT_EQ(source.GetHistory().size(), 2u);
  EXPECT_EQ(source.GetHistory()[0].listTop, 7);
  sink.calls.clear();

  source.ActivateEntry(0);  // up to "a": its top row 3
  source.GoUp();            // up to "top": its top row 7
  source.GoUp();            // history empty: the parent, top row 0
  EXPECT_THAT(sink.calls, ElementsAre("reset", "changed 2 3", "selected 1", "reset", "changed 2 7", "selected 1",
                                      "reset", "changed 2 0", "selected 1"));
  EXPECT_EQ(source.GetCurrentFolder(), tree.root());
  EXPECT_TRUE(source.GetHistory().empty());
}

TEST(FileListSourceTest, RootIsComparedAsAFolder) {
  FileTree tree;
  tree.File("media/x/sub/a.mp3");
  struct Case {
    std::string root, current;
  };
  const Case cases[] = {
      {tree / "media/x/", tree / "media/x"},
      {tree / "media/x", tree / "media/x//"},
      {tree / "media/x", tree / "media/x/sub/.."},
      {tree / "media/./x", tree / "media/x"},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    CFileListSource source(kMusicFilter, nullptr, &sink, kId);
    source.SetRootFolder(c.root);
    source.OpenFolder(c.current);
    EXPECT_FALSE(source.CanGoUp()) << c.root << " / " << c.current;
    EXPECT_EQ(source.GoUp(), 0) << c.root << " / " << c.current;
    EXPECT_EQ(source.GetEntryCount(), 1) << "no up-level entry";
    // Below the root the way up stops at the root.
    source.EnterFolder(0);
    EXPECT_TRUE(source.CanGoUp());
    source.GoUp();
    EXPECT_FALSE(source.CanGoUp()) << c.root << " / " << c.current;
  }
}

TEST(FileListSourceTest, GoingUpFromAVolumeRootGivesTheDriveList) {
  FileTree tree;
  tree.File("cdrom/VIDEO_TS/VIDEO_TS.IFO");
  tree.File("usb/clips/a.mp3");
  tree.Volumes({Volume('C', "/"), Volume('D', tree / "cdrom", "FILMS"), Volume('E', tree / "usb/"),
                Volume('F', "")});
  RecordingSink sink;
  CFileListSource source("", nullptr, &sink, kId);

  // "D:\" and "E:\clips" name the volumes' roots and what lies below.
  source.OpenFolder("D:\\");
  EXPECT_EQ(source.GetCurrentFolder(), tree / "cdrom");
  EXPECT_THAT(sink.FolderNames(), ElementsAre("VIDEO_TS"));
  sink.calls.clear();
  ASSERT_EQ(source.GoUp(), 1);
  EXPECT_TRUE(source.GetCurrentFolder().empty());
  EXPECT_THAT(sink.FolderNames(), ElementsAre("C:", "D:", "E:", "F:"));
  EXPECT_THAT(sink.calls, ElementsAre("reset", "changed 4 0", "selected 1"));
  EXPECT_FALSE(source.CanGoUp());
  EXPECT_EQ(source.GoUp(), 0);

  // Entering a drive opens its root; a drive without medium lists nothing
  // and leads back to the drive list.
  source.EnterFolder(2);
  EXPECT_EQ(source.GetCurrentFolder(), tree / "usb");
  EXPECT_THAT(sink.FolderNames(), ElementsAre("clips"));
  source.GoUp();
  source.EnterFolder(3);
  EXPECT_EQ(source.GetCurrentFolder(), "F:");
  EXPECT_EQ(source.GetFolderCount() + source.GetFileCount(), 0);
  source.GoUp();
  EXPECT_TRUE(source.GetCurrentFolder().empty());

  // Without history: the parent below a root, the drive list above it.
  source.OpenFolder("E:\\clips");
  EXPECT_EQ(source.GetCurrentFolder(), tree / "usb/clips");
  source.GoUp();
  EXPECT_EQ(source.GetCurrentFolder(), tree / "usb");
  source.GoUp();
  EXPECT_TRUE(source.GetCurrentFolder().empty());
  source.OpenFolder("/");
  source.GoUp();
  EXPECT_TRUE(source.GetCurrentFolder().empty());
}

TEST(FileListSourceTest, SortsByLastWriteTimeOrKeepsEnumerationOrder) {
  FileTree tree;
  tree.File("t/new.mp3");
  tree.File("t/old.mp3");
  tree.File("t/mid.mp3");
  tree.Touch("t/new.mp3", 3000000);
  tree.Touch("t/old.mp3", 1000000);
  tree.Touch("t/mid.mp3", 2000000);
  RecordingSink sink;
  CFileListSource source(tree / "t", kMusicFilter, nullptr, &sink, kId);
  source.SetSortMode(FILE_LIST_SORT_TIME);
  source.Rescan();
  EXPECT_THAT(sink.FileNames(), ElementsAre("old.mp3", "mid.mp3", "new.mp3"));
  EXPECT_EQ(plat::CompareFileTime(source.GetFileEntry(0)->lastWriteTime, plat::FileTimeFromUnix(1000000, 0)), 0);
  source.SortByName();
  EXPECT_EQ(source.GetFileEntry(0)->name, "mid.mp3");
  source.SetSortMode(7);
  source.Rescan();
  EXPECT_EQ(sink.files.size(), 3u);
}

TEST(FileListSourceTest, OpenFolderUpperboundLeavesBrowsingUnbounded) {
  pages::FakeShellFrame frame;
  BrowsingPage page(frame);
  CFileListSource source("", &page, nullptr, kId);
  source.SetRootFolder("/srv/");
  EXPECT_EQ(source.GetRootFolder(), "/srv/");
  frame.options.openFolderUpperbound = true;
  source.SetRootFolder("/srv");
  EXPECT_TRUE(source.GetRootFolder().empty());
  // Without a sink every callback is skipped.
  source.OpenFolder("/srv");
  EXPECT_TRUE(source.CanGoUp());
  source.Clear();
}

}  // namespace
