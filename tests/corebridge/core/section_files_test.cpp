// The sections' work on files: the Photo module's clean-up of temporary
// files when disk space runs low, and the Video module's list sorting and
// snapshot names. Times are set by the tests; symbolic links are never
// followed.
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corebridge/core/config.h"
#include "corebridge/core/photo_config.h"
#include "corebridge/core/video_config.h"
#include "sections_test_support.h"

namespace {

using sections_test::SetMtime;
using sections_test::TempEnvironment;
using sections_test::WriteFile;

namespace fs = std::filesystem;

class SectionFilesTest : public ::testing::Test {
 protected:
  std::string MakeFile(const std::string& name, long mtime = 1'000'000) {
    const std::string path = env_.path(name);
    WriteFile(path, name);
    SetMtime(path, mtime);
    return path;
  }
  TempEnvironment env_;
};

TEST_F(SectionFilesTest, PhotoTempFilesGoOnlyWhenSpaceIsLow) {
  CConfig root;
  std::string askedPath;
  struct Case {
    std::uint64_t freeBytes;
    bool deleted;
  };
  for (const Case& c : {Case{60ull << 20, false}, Case{(50ull << 20) + 1, false}, Case{50ull << 20, true},
                        Case{0, true}}) {
    SCOPED_TRACE(c.freeBytes);
    CPhotoConfig photo(&root);
    const std::string a = MakeFile("edit-a.jpg");
    const std::string b = MakeFile("edit-b.jpg");
    photo.m_mapTempFiles = {{"a", a}, {"b", b}, {"gone", env_.path("never-made.jpg")}};
    photo.CheckPhotoDiskSpace([&](const std::string& path) -> std::optional<std::uint64_t> {
      askedPath = path;
      return c.freeBytes;
    });
    EXPECT_EQ(askedPath, root.m_strSettingsFolder);
    EXPECT_EQ(fs::exists(a), !c.deleted);
    EXPECT_EQ(fs::exists(b), !c.deleted);
    EXPECT_EQ(photo.m_mapTempFiles.empty(), c.deleted);
  }
}

TEST_F(SectionFilesTest, PhotoCleanUpKeepsFilesWhenSpaceIsUnknownAndNeverFollowsLinks) {
  CConfig root;
  CPhotoConfig photo(&root);
  const std::string target = MakeFile("original.jpg");
  const std::string link = env_.path("temp-link.jpg");
  fs::create_symlink(target, link);
  photo.m_mapTempFiles = {{"link", link}};
  photo.CheckPhotoDiskSpace([](const std::string&) { return std::optional<std::uint64_t>{}; });
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(photo.m_mapTempFiles.size(), 1u);

  photo.CheckPhotoDiskSpace([](const std::string&) { return std::optional<std::uint64_t>{1024}; });
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_TRUE(fs::exists(target));  // the link went, not what it pointed to
}

TEST_F(SectionFilesTest, PhotoRealFreeSpaceQueryAnswers) {
  EXPECT_TRUE(CPhotoConfig::SystemFreeSpace(env_.path("")).has_value());
  EXPECT_FALSE(CPhotoConfig::SystemFreeSpace(env_.path("missing/deeper")).has_value());
}

TEST_F(SectionFilesTest, VideoSortByNameIgnoresFoldersAndCase) {
  CVideoConfig video(nullptr);
  video.m_nView = VIDEO_VIEW_FOLDER;
  video.m_folderFiles = {"/z/b.avi", "/a/C.avi", "/m/a.AVI", "/gone/B0.avi"};
  video.m_recentValues = {1, 2};  // shorter than the list: the rest count as 0
  video.SortVideoFiles();
  EXPECT_EQ(video.m_folderFiles, (std::vector<std::string>{"/m/a.AVI", "/z/b.avi", "/gone/B0.avi", "/a/C.avi"}));
  EXPECT_EQ(video.m_recentValues, (std::vector<int>{0, 1, 0, 2}));
}

TEST_F(SectionFilesTest, VideoSortByDateDropsVanishedFilesAndUsesLinksOwnTime) {
  CVideoConfig video(nullptr);
  const std::string newest = MakeFile("newest.mpg", 3'000'000);
  const std::string oldest = MakeFile("oldest.mpg", 1'000'000);
  const std::string middle = MakeFile("middle.mpg", 2'000'000);
  const std::string deleted = MakeFile("deleted.mpg", 500);
  ASSERT_TRUE(fs::remove(deleted));
  // A link dated between the oldest and the middle file, to the newest one.
  const std::string link = env_.path("link.mpg");
  fs::create_symlink(newest, link);
  SetMtime(link, 1'500'000);

  video.m_nView = VIDEO_VIEW_RECENT;
  video.m_recentFiles = {newest, deleted, oldest, link, middle};
  video.m_recentValues = {5, 4, 3, 2, 1};
  video.m_folderFiles = {"/untouched/b", "/untouched/a"};
  video.SetVideoSortMode(VIDEO_SORT_BY_DATE);
  EXPECT_EQ(video.m_bListDirty, 1);
  video.SortVideoFiles();
  EXPECT_EQ(video.m_recentFiles, (std::vector<std::string>{oldest, link, middle, newest}));
  EXPECT_EQ(video.m_recentValues, (std::vector<int>{3, 2, 1, 5}));
  EXPECT_EQ(video.m_folderFiles, (std::vector<std::string>{"/untouched/b", "/untouched/a"}));

  // The same list sorted by name keeps a vanished file.
  video.m_recentFiles.push_back(deleted);
  video.SetVideoSortMode(VIDEO_SORT_BY_NAME);
  video.SortVideoFiles();
  EXPECT_EQ(video.m_recentFiles.size(), 5u);
  EXPECT_EQ(video.m_recentFiles.front(), deleted);

  video.SetVideoSortMode(4);
  const auto before = video.m_recentFiles;
  video.SortVideoFiles();
  EXPECT_EQ(video.m_recentFiles, before);
}

TEST(VideoSnapshotName, IsAPatternThatKeepsPercentSignsOfNames) {
  CVideoConfig video(nullptr);
  video.m_strSnapshotFolder = "/snap%s";
  video.m_folderFiles = {"/v/100%n holiday.final.avi"};
  video.m_nFolderIndex = 0;
  const std::string pattern = video.MakeVideoSnapshotName();
  EXPECT_EQ(pattern, "/snap%%s/100%%n holiday.final(%d)%s");
  char filled[256];
  std::snprintf(filled, sizeof filled, pattern.c_str(), 3, ".bmp");
  EXPECT_STREQ(filled, "/snap%s/100%n holiday.final(3).bmp");

  video.m_nPlaySourceView = VIDEO_VIEW_RECENT;  // the recent list has no current file
  EXPECT_EQ(video.MakeVideoSnapshotName(), "");
  video.m_recentFiles = {"/r/clip"};
  video.m_nRecentIndex = 0;
  EXPECT_EQ(video.MakeVideoSnapshotName(), "/snap%%s/clip(%d)%s");
}

}  // namespace
