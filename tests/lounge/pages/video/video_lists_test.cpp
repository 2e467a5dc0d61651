// The Video page's lists: sorting with thumbnails (through the Video
// section), the selection, the folder previews and the path texts.
#include "lounge/pages/video/video_lists.h"

#include "corebridge/core/config.h"
#include "lounge/pages/video/video_devices.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <locale>
#include <string>
#include <vector>

#include "corebridge/core/video_config.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/objects.h"
#include "tests/lounge/pages/common/file_tree.h"

using namespace video_lists;

namespace {

plat::HBITMAP Bitmap() { return plat::CreateBitmap(1, 1, 1, 32, nullptr); }
bool Alive(plat::HBITMAP bitmap) { return plat::GetObjectType(bitmap) != 0; }

}  // namespace

TEST(VideoSort, ByNameIsCaseInsensitiveAndCarriesThumbnails) {
  CVideoConfig video(nullptr);
  const plat::HBITMAP b = Bitmap(), a = Bitmap(), extra = Bitmap();
  video.m_nView = VIDEO_VIEW_FOLDER;
  video.m_folderFiles = {"/v/b.avi", "/v/A.mpg", "/v/c.wmv"};
  // Shorter than the list would be fine too; here one more than the list.
  video.m_videoThumbnails = {b, a, nullptr, extra};
  video.SortVideoFiles();
  EXPECT_EQ(video.m_folderFiles, (std::vector<std::string>{"/v/A.mpg", "/v/b.avi", "/v/c.wmv"}));
  EXPECT_EQ(video.m_videoThumbnails, (std::vector<plat::HBITMAP>{a, b, nullptr}));
  EXPECT_FALSE(Alive(extra)) << "a bitmap with no file is freed";
  plat::DeleteObject(a);
  plat::DeleteObject(b);
}

TEST(VideoSort, ShortThumbnailArrayGivesNullsPastItsEnd) {
  CVideoConfig video(nullptr);
  const plat::HBITMAP z = Bitmap();
  video.m_nView = VIDEO_VIEW_RECENT;
  video.m_recentFiles = {"/v/z.avi", "/v/y.avi", "/v/x.avi"};
  video.m_videoThumbnails = {z};
  video.SortVideoFiles();
  EXPECT_EQ(video.m_recentFiles, (std::vector<std::string>{"/v/x.avi", "/v/y.avi", "/v/z.avi"}));
  EXPECT_EQ(video.m_videoThumbnails, (std::vector<plat::HBITMAP>{nullptr, nullptr, z}));
  plat::DeleteObject(z);
}

TEST(VideoSort, ByDateDropsVanishedFilesWithTheirThumbnails) {
  FileTree tree;
  const std::string late = tree.File("late.avi"), early = tree.File("early.avi"), gone = tree.File("gone.avi");
  tree.Touch("late.avi", 3'000'000);
  tree.Touch("early.avi", 1'000'000);
  std::filesystem::remove(gone);
  const plat::HBITMAP tl = Bitmap(), te = Bitmap(), tg = Bitmap();

  CVideoConfig video(nullptr);
  video.m_nView = VIDEO_VIEW_FOLDER;
  video.m_folderFiles = {late, gone, early};
  video.m_videoThumbnails = {tl, tg, te};
  video.SetVideoSortMode(VIDEO_SORT_BY_DATE);
  video.SortVideoFiles();
  EXPECT_EQ(video.m_folderFiles, (std::vector<std::string>{early, late}));
  EXPECT_EQ(video.m_videoThumbnails, (std::vector<plat::HBITMAP>{te, tl}));
  EXPECT_FALSE(Alive(tg));
  EXPECT_TRUE(Alive(te) && Alive(tl));

  // By name a vanished file stays.
  video.m_folderFiles.push_back(gone);
  video.SetVideoSortMode(VIDEO_SORT_BY_NAME);
  video.SortVideoFiles();
  EXPECT_EQ(video.m_folderFiles, (std::vector<std::string>{early, gone, late}));
  EXPECT_EQ(video.m_videoThumbnails, (std::vector<plat::HBITMAP>{te, nullptr, tl}));
  plat::DeleteObject(te);
  plat::DeleteObject(tl);
}

TEST(VideoSelection, ToggleTwiceRestoresAndFindsExactPaths) {
  std::vector<std::string> selected{"/v/a.avi", "/v/b.avi"};
  const auto before = selected;
  EXPECT_TRUE(ToggleSelectedVideo(selected, "/v/c.avi"));
  EXPECT_TRUE(IsSelectedVideo(selected, "/v/c.avi"));
  EXPECT_FALSE(IsSelectedVideo(selected, "/v/C.avi"));
  EXPECT_FALSE(ToggleSelectedVideo(selected, "/v/c.avi"));
  EXPECT_EQ(selected, before);
  EXPECT_FALSE(ToggleSelectedVideo(selected, "/v/a.avi"));
  EXPECT_EQ(selected, (std::vector<std::string>{"/v/b.avi"}));
}

TEST(VideoFolderPreview, TakesTheFirstNineVideosInFolderOrder) {
  FileTree tree;
  for (int i = 0; i < 12; ++i) tree.File("clips/clip" + std::to_string(i) + ".AVI");
  tree.File("clips/other.MP");
  tree.File("clips/.hidden.avi");
  tree.File("clips/notes.txt");
  tree.Folder("clips/folder.avi");
  tree.Link("clips/link.avi", "clip0.AVI");
  tree.Fifo("clips/pipe.mpg");

  // The folder's own order, as readdir gives it, of the names that qualify.
  std::vector<std::string> expected;
  DIR* dir = opendir((tree / "clips").c_str());
  ASSERT_NE(dir, nullptr);
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name.rfind("clip", 0) == 0 && expected.size() < 9) expected.push_back(name);
  }
  closedir(dir);

  EXPECT_EQ(CollectFolderVideos(tree / "clips"), expected);
  EXPECT_TRUE(CollectFolderVideos(tree / "missing").empty());
}

TEST(VideoFolderPreview, ExtensionsMatchExactlyWithoutCase) {
  const struct {
    const char* name;
    bool video;
  } cases[] = {{"a.mpg", true}, {"a.MPEG", true}, {"a.DivX", true}, {"a.wm", true}, {"a.vro", true},
               {"a.MP", false}, {"a.mp4", false}, {"a.mpgx", false}, {"avi", false}, {"a.", false},
               {"a.avi.txt", false}};
  for (const auto& c : cases) EXPECT_EQ(HasVideoExtension(c.name), c.video) << c.name;
}

TEST(VideoPaths, FolderNameAndTitle) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
    const char* title;
  } cases[] = {
      {"/a/b/c.avi", "/a/b", "c.avi", "c"},
      {"/c.avi", "/", "c.avi", "c"},
      {"D:\\c.avi", "D:\\", "c.avi", "c"},
      {"D:\\x\\c.d.avi", "D:\\x", "c.d.avi", "c.d"},
      {"c.avi", "", "c.avi", "c"},
      {"/a/100% b/noext", "/a/100% b", "noext", "noext"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetFolderOfPath(c.path), c.folder) << c.path;
    EXPECT_EQ(GetFileNameOfPath(c.path), c.name) << c.path;
    EXPECT_EQ(GetFileTitleOfPath(c.path), c.title) << c.path;
  }
}

TEST(VideoPaths, DateTextUsesTheGivenLocaleAndIsEmptyForMissingFiles) {
  FileTree tree;
  tree.File("d.avi");
  tree.Touch("d.avi", 1'000'000'000 + 12 * 3600);  // 9 September 2001, midday UTC
  const std::string text = GetFileDateText(tree / "d.avi", std::locale::classic());
  EXPECT_TRUE(text == "09/09/01" || text == "09/08/01" || text == "09/10/01") << text;
  EXPECT_EQ(GetFileDateText(tree / "none.avi", std::locale::classic()), "");
}

namespace {

plat::VolumeInfo DriveOf(char letter, plat::UINT type, std::string root, std::string label = {}) {
  plat::VolumeInfo v;
  v.letter = letter;
  v.type = type;
  v.root = std::move(root);
  v.label = std::move(label);
  return v;
}

}  // namespace

TEST(VideoDevices, CapturedFolderHardDisksDataDiscsRemovableThenNetworkDrives) {
  const std::vector<CDriveEntry> optical = {
      {"/media/dvd", "Film", 6}, {"/media/data", "Data", 8}, {"/media/cd", "Audio", 1}, {"/media/stick/", "Stick", 8}};
  const std::vector<plat::VolumeInfo> volumes = {
      DriveOf('C', plat::DRIVE_FIXED, "/"),
      DriveOf('D', plat::DRIVE_CDROM, "/media/data"),
      DriveOf('E', plat::DRIVE_REMOVABLE, "/media/stick", "STICK"),
      DriveOf('F', plat::DRIVE_REMOTE, "/mnt/films", "films"),
      DriveOf('G', plat::DRIVE_FIXED, "/media/big", "Big"),
      DriveOf('H', plat::DRIVE_REMOVABLE, ""),  // a card slot without a card
      DriveOf('I', plat::DRIVE_FIXED, "/home/u/My Videos"),  // the captured folder again
  };
  const struct {
    int vendor;
    std::vector<std::string> folders;
    std::vector<std::string> icons;
  } cases[] = {
      {0,
       {"/home/u/My Videos", "/home/u/Videos", "/", "/media/big", "/media/data", "/media/stick/", "/mnt/films"},
       {"sub-files.bmp", "sub-files.bmp", "hard_disk.bmp", "hard_disk.bmp", "sub-cdromdata.BMP", "sub-cdromdata.BMP", "remote_drive.bmp"}},
      {2,
       {"/home/u/My Videos", "/home/u/Videos", "/", "/media/big", "/media/data", "/media/stick/", "/mnt/films"},
       {"sub-film-nofiles.bmp", "sub-film-nofiles.bmp", "sub-film-nofiles1.bmp", "sub-film-nofiles1.bmp", "sub-cdromdata.BMP",
        "sub-cdromdata.BMP", "sub-film-nofiles1.bmp"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.vendor);
    // The user's own videos folder follows the captured folder.
    const std::vector<VideoDevice> devices =
        VideoDeviceList("/home/u/My Videos", true, "/home/u/Videos", optical, volumes, c.vendor);
    std::vector<std::string> folders, icons;
    for (const VideoDevice& d : devices) {
      folders.push_back(d.folder);
      icons.push_back(d.icon.substr(d.icon.rfind('\\') + 1));
    }
    EXPECT_EQ(folders, c.folders);
    EXPECT_EQ(icons, c.icons);
    ASSERT_EQ(devices.size(), 7u);
    EXPECT_EQ(devices[0].label, "My Videos");
    EXPECT_EQ(devices[1].label, "Videos");
    EXPECT_EQ(devices[2].label, "C:");
    EXPECT_EQ(devices[3].label, "Big (G:)");
    EXPECT_EQ(devices[6].label, "films (F:)");
  }
  // A removable drive that is not a data disc's drive gets the card reader's
  // picture; no captured folder, none listed.
  const std::vector<VideoDevice> plain =
      VideoDeviceList("/gone", false, "", {}, {DriveOf('E', plat::DRIVE_REMOVABLE, "/media/card", "CARD")}, 0);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].folder, "/media/card");
  EXPECT_EQ(plain[0].icon, "Layout\\Img\\Common\\sub-cardreader.BMP");
}
