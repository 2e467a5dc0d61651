// The media search over generated folder trees, and its progress formula.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "engines/playback/wmhost/search/media_file_search.h"
#include "engines/playback/wmhost/search/search_progress.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"

namespace {

namespace fs = std::filesystem;
using wmhost::MediaFileSearch;

struct Notice {
  unsigned code;
  std::size_t index;
  std::string path;
};

// Runs a search to its end and collects the notifications.
std::vector<Notice> RunSearch(MediaFileSearch& search, const std::string& roots) {
  std::mutex mutex;
  std::vector<Notice> notices;
  search.start(roots, MediaFileSearch::kAudioExtensions, MediaFileSearch::kPlaylistExtensions,
               wmhost::kSearchPhaseWalk | wmhost::kSearchPhaseList,
               [&](unsigned code, std::size_t index, const std::string& path) {
                 std::lock_guard lock(mutex);
                 notices.push_back({code, index, path});
               });
  for (int i = 0; i < 2000 && search.running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  search.stop();
  return notices;
}

std::vector<std::string> Sorted(std::vector<std::string> paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}

class SearchTree : public testing::Test {
 protected:
  void SetUp() override {
    const std::string root = folder_.path();
    fs::create_directories(root + "/music/deeper");
    fs::create_directories(root + "/music/.hidden");
    wmhost_test::WriteBytes(root + "/music/below.mp3", 99999);
    wmhost_test::WriteBytes(root + "/music/exact.mp3", 100000);
    wmhost_test::WriteBytes(root + "/music/above.mp3", 100001);
    wmhost_test::WriteBytes(root + "/music/deeper/LOUD.WAV", 150000);
    wmhost_test::WriteBytes(root + "/music/deeper/song.wma", 150000);
    wmhost_test::WriteBytes(root + "/music/.secret.mp3", 150000);
    wmhost_test::WriteBytes(root + "/music/.hidden/inside.mp3", 150000);
    wmhost_test::WriteText(root + "/music/tiny.m3u", "a.mp3\n");
    wmhost_test::WriteText(root + "/music/deeper/list.WPL", "<smil/>");
    wmhost_test::WriteBytes(root + "/music/mp3", 150000);        // no extension
    wmhost_test::WriteBytes(root + "/music/cover.jpg", 150000);  // not media
    // A loop back to the top, and a link to a file.
    fs::create_directory_symlink(root, root + "/music/deeper/loop");
    fs::create_symlink(root + "/music/above.mp3", root + "/music/link.mp3");
  }

  wmhost_test::TempFolder folder_;
};

TEST_F(SearchTree, TakesAudioAboveTheSizeLimitAndPlaylistsOfAnySize) {
  MediaFileSearch search;
  const auto notices = RunSearch(search, folder_.path());
  const std::string music = folder_.path() + "/music";
  EXPECT_EQ(Sorted(search.results()),
            Sorted({music + "/above.mp3", music + "/deeper/LOUD.WAV", music + "/deeper/song.wma",
                    music + "/tiny.m3u", music + "/deeper/list.WPL", music + "/link.mp3"}));
  // Walk: started, folders entered, files found, finished; then the list phase.
  ASSERT_FALSE(notices.empty());
  EXPECT_EQ(notices.front().code, wmhost::kSearchWalkStarted);
  EXPECT_EQ(notices.back().code, wmhost::kSearchListEnded);
  std::vector<std::string> entered, listed;
  std::size_t listStart = 0;
  for (std::size_t i = 0; i < notices.size(); ++i) {
    if (notices[i].code == wmhost::kSearchEnteringFolder) entered.push_back(notices[i].path);
    if (notices[i].code == wmhost::kSearchListedFile) {
      EXPECT_EQ(notices[i].index, listed.size());
      listed.push_back(notices[i].path);
    }
    if (notices[i].code == wmhost::kSearchListStarted) {
      listStart = i;
      EXPECT_EQ(notices[i].index, 6u);
      EXPECT_EQ(notices[i - 1].code, wmhost::kSearchWalkFinished);
    }
  }
  EXPECT_GT(listStart, 0u);
  EXPECT_EQ(listed, search.results());
  // Every folder once: the loop is not followed, hidden folders are skipped.
  EXPECT_EQ(Sorted(entered), Sorted({folder_.path(), music, music + "/deeper"}));
}

TEST_F(SearchTree, RootsAreSplitAtSemicolonsAndLoseTrailingSlashes) {
  MediaFileSearch search;
  const std::string music = folder_.path() + "/music";
  RunSearch(search, music + "/deeper\\;" + music + "/deeper/;;/nonexistent");
  // The second root is the same folder: it is not walked twice.
  EXPECT_EQ(Sorted(search.results()),
            Sorted({music + "/deeper/LOUD.WAV", music + "/deeper/song.wma", music + "/deeper/list.WPL"}));
}

TEST(MediaSearch, SkipsTheKernelFileSystemsAndFindsNothingInAnEmptyFolder) {
  MediaFileSearch search;
  auto notices = RunSearch(search, "/proc;/sys/;/dev");
  EXPECT_TRUE(search.results().empty());
  for (const Notice& notice : notices) EXPECT_NE(notice.code, wmhost::kSearchEnteringFolder) << notice.path;

  wmhost_test::TempFolder empty;
  notices = RunSearch(search, empty.path());
  ASSERT_GE(notices.size(), 4u);
  EXPECT_EQ(notices[notices.size() - 2].code, wmhost::kSearchListStarted);
  EXPECT_EQ(notices[notices.size() - 2].index, 0u);
  EXPECT_EQ(notices.back().code, wmhost::kSearchListEnded);
}

TEST(MediaSearch, TheTemporaryFolderIsNotEnteredFromAboveButSearchedWhenNamed) {
  wmhost_test::TempFolder home;
  const std::string temporary = home.path() + "/scratch";
  fs::create_directories(temporary + "/unpacked");
  fs::create_directories(home.path() + "/Music");
  wmhost_test::WriteBytes(temporary + "/unpacked/decoy.mp3", 150000);
  wmhost_test::WriteBytes(home.path() + "/Music/song.mp3", 150000);
  const char* before = std::getenv("TMPDIR");
  const std::string kept = before ? before : "";
  ::setenv("TMPDIR", (temporary + "/").c_str(), 1);
  MediaFileSearch search;
  RunSearch(search, home.path());
  EXPECT_EQ(search.results(), std::vector<std::string>{home.path() + "/Music/song.mp3"});
  RunSearch(search, temporary);
  EXPECT_EQ(search.results(), std::vector<std::string>{temporary + "/unpacked/decoy.mp3"});
  if (before) ::setenv("TMPDIR", kept.c_str(), 1);
  else ::unsetenv("TMPDIR");
}

TEST(MediaSearch, StopEndsAWalkAndANewStartBeginsAfresh) {
  wmhost_test::TempFolder folder;
  for (int i = 0; i < 50; ++i) {
    const fs::path sub = fs::path(folder.path()) / std::to_string(i);
    fs::create_directories(sub);
    wmhost_test::WriteText((sub / "l.m3u").string(), "");
  }
  MediaFileSearch search;
  std::atomic<int> calls{0};
  search.start(folder.path(), MediaFileSearch::kAudioExtensions, MediaFileSearch::kPlaylistExtensions, 3,
               [&](unsigned, std::size_t, const std::string&) {
                 ++calls;
                 std::this_thread::sleep_for(std::chrono::milliseconds(1));
               });
  search.stop();
  EXPECT_FALSE(search.running());
  RunSearch(search, folder.path());
  EXPECT_EQ(search.results().size(), 50u);
}

TEST(SearchProgress, FollowsTheWalkShareThenTheListedFiles) {
  wmhost::SearchProgress progress;
  progress.start(1000);
  struct Step {
    std::uint64_t now;
    double expected;
  };
  // 5 per million milliseconds, at most one half, while nothing is handled.
  for (const Step& step : {Step{1000, 0.0}, Step{21000, 0.1}, Step{101000, 0.5}, Step{500000, 0.5}}) {
    EXPECT_NEAR(progress.compute(step.now), step.expected, 1e-9) << step.now;
  }
  progress.start(1000);
  progress.compute(41000);  // S = 0.2
  progress.beginList(4);
  EXPECT_NEAR(progress.compute(41000), 0.2, 1e-9);  // nothing handled yet
  progress.fileHandled(true);
  EXPECT_NEAR(progress.compute(90000), 0.2 + 0.25 * 0.8, 1e-9);  // S is held once files are handled
  progress.fileHandled(false);
  progress.fileHandled(true);
  progress.fileHandled(true);
  EXPECT_NEAR(progress.compute(90000), 1.0, 1e-9);
  EXPECT_EQ(progress.handled(), 4u);
  EXPECT_EQ(progress.added(), 3u);
  EXPECT_TRUE(progress.update(90000));
  EXPECT_EQ(progress.percent(), 100);
  EXPECT_FALSE(progress.update(90000));  // unchanged
}

TEST(SearchProgress, TheSearchedCountGrowsWithTheWalkAndEndsAtTheHandledFiles) {
  wmhost::SearchProgress progress;
  progress.start(0);
  EXPECT_EQ(progress.searched(), 0u);
  progress.fileFound();
  progress.fileFound();
  EXPECT_EQ(progress.searched(), 2u);  // still walking: nothing handled yet
  progress.beginList(2);
  progress.fileHandled(true);
  EXPECT_EQ(progress.searched(), 2u);  // it never goes back
  progress.fileHandled(false);
  EXPECT_EQ(progress.searched(), 2u);
  progress.start(0);
  EXPECT_EQ(progress.searched(), 0u);
}

TEST(SearchProgress, TruncatesAndReportsAFinishedEmptySearchAsComplete) {
  wmhost::SearchProgress progress;
  progress.start(0);
  progress.compute(0);
  progress.beginList(3);
  progress.fileHandled(true);
  progress.fileHandled(true);
  progress.update(0);
  EXPECT_EQ(progress.percent(), 66);  // 2/3 truncated

  progress.start(0);
  progress.beginList(0);
  progress.update(1000);
  EXPECT_LT(progress.percent(), 100);
  progress.finish();
  EXPECT_TRUE(progress.update(1000));
  EXPECT_EQ(progress.percent(), 100);
  progress.reset();
  EXPECT_EQ(progress.percent(), 0);
  EXPECT_EQ(progress.total(), 0u);
}

}  // namespace
