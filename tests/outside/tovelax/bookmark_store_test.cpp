#include "outside/tovelax/bookmark_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/temp_files.h"

namespace tovelax {
namespace {

namespace fs = std::filesystem;

Bookmark Mark(std::uint8_t idByte, std::uint32_t title, std::uint32_t chapter) {
  Bookmark m;
  m.disc.fill(idByte);
  m.title = title;
  m.chapter = chapter;
  m.time = PackTime({0, 1, 2, 3});
  m.sector = 1234;
  m.audioStream = 1;
  m.subtitleStream = 0;
  m.subtitleOn = 1;
  m.angle = 1;
  return m;
}

class BookmarkStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tovelax-bm-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "ar.cbk").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  fs::path dir_;
  std::string path_;
};

TEST_F(BookmarkStoreTest, RoundTripKeepsNewestFirstAndReplacesADiscsEntry) {
  BookmarkStore store(path_);
  ASSERT_TRUE(store.Put(Mark(1, 1, 2)));
  ASSERT_TRUE(store.Put(Mark(2, 2, 1)));
  ASSERT_TRUE(store.Put(Mark(1, 2, 2)));  // replaces disc 1's entry and moves it first
  std::vector<Bookmark> entries;
  ASSERT_EQ(store.Load(&entries), BookmarkStore::LoadResult::kOk);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], Mark(1, 2, 2));
  EXPECT_EQ(entries[1], Mark(2, 2, 1));
  EXPECT_FALSE(HasTemporaryFileBeside(path_));
  EXPECT_EQ(Read(path_).rfind("tovelax-bookmarks 1\n", 0), 0u);
}

TEST_F(BookmarkStoreTest, KeepsAtMostTheNewestEntries) {
  BookmarkStore store(path_);
  for (int i = 0; i < static_cast<int>(BookmarkStore::kMaxEntries) + 3; ++i)
    ASSERT_TRUE(store.Put(Mark(static_cast<std::uint8_t>(i), 1, 1)));
  std::vector<Bookmark> entries;
  ASSERT_EQ(store.Load(&entries), BookmarkStore::LoadResult::kOk);
  ASSERT_EQ(entries.size(), BookmarkStore::kMaxEntries);
  EXPECT_EQ(entries.front().disc[0], BookmarkStore::kMaxEntries + 2);
}

TEST(BookmarkFormat, RefusesEveryMalformedFile) {
  const std::string good = BookmarkStore::Format({Mark(0xab, 1, 2)});
  ASSERT_TRUE(BookmarkStore::Parse(good).has_value());
  const std::string line = good.substr(good.find('\n') + 1, good.find("end") - good.find('\n') - 1);
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"other header", "something 1\nend 0\n"},
      {"newer version", "tovelax-bookmarks 2\nend 0\n"},
      {"cut off before end", "tovelax-bookmarks 1\n" + line},
      {"count mismatch", "tovelax-bookmarks 1\n" + line + "end 2\n"},
      {"text after end", good + "junk\n"},
      {"short id", "tovelax-bookmarks 1\nabcd 1 2 3 4 0 0 0 1\nend 1\n"},
      {"non-hex id", "tovelax-bookmarks 1\n" + std::string(32, 'g') + " 1 2 3 4 0 0 0 1\nend 1\n"},
      {"missing field", "tovelax-bookmarks 1\n" + std::string(32, 'a') + " 1 2 3 4 0 0 0\nend 1\n"},
      {"title out of range", "tovelax-bookmarks 1\n" + std::string(32, 'a') + " 100 2 3 4 0 0 0 1\nend 1\n"},
      {"negative number", "tovelax-bookmarks 1\n" + std::string(32, 'a') + " 1 -2 3 4 0 0 0 1\nend 1\n"},
      {"audio out of range", "tovelax-bookmarks 1\n" + std::string(32, 'a') + " 1 2 3 4 8 0 0 1\nend 1\n"},
      {"angle zero", "tovelax-bookmarks 1\n" + std::string(32, 'a') + " 1 2 3 4 0 0 0 0\nend 1\n"},
  };
  for (const auto& c : cases) EXPECT_FALSE(BookmarkStore::Parse(c.text).has_value()) << c.name;
}

TEST_F(BookmarkStoreTest, ARefusedFileIsSetAsideNotOverwritten) {
  {
    std::ofstream out(path_);
    out << "tovelax-bookmarks 1\ngarbage\n";
  }
  BookmarkStore store(path_);
  std::vector<Bookmark> entries;
  EXPECT_EQ(store.Load(&entries), BookmarkStore::LoadResult::kRefused);
  EXPECT_FALSE(store.Find(Mark(1, 1, 1).disc).has_value());
  ASSERT_TRUE(store.Put(Mark(1, 1, 1)));
  EXPECT_EQ(Read(path_ + ".bad"), "tovelax-bookmarks 1\ngarbage\n");
  EXPECT_EQ(store.Find(Mark(1, 1, 1).disc), Mark(1, 1, 1));

  // A second refused file goes beside the first, never over it.
  {
    std::ofstream out(path_);
    out << "second garbage\n";
  }
  ASSERT_TRUE(store.Put(Mark(2, 1, 1)));
  EXPECT_EQ(Read(path_ + ".bad"), "tovelax-bookmarks 1\ngarbage\n");
  EXPECT_EQ(Read(path_ + ".bad.1"), "second garbage\n");
}

TEST_F(BookmarkStoreTest, MissingFileReadsAsNoBookmarks) {
  BookmarkStore store(path_);
  std::vector<Bookmark> entries;
  EXPECT_EQ(store.Load(&entries), BookmarkStore::LoadResult::kMissing);
  EXPECT_FALSE(store.Find(Mark(1, 1, 1).disc).has_value());
  EXPECT_FALSE(BookmarkStore((dir_ / "no" / "such" / "ar.cbk").string()).Put(Mark(1, 1, 1)));
}

TEST(BookmarkRecord, ConvertsBothWays) {
  const Bookmark mark = Mark(7, 2, 3);
  const ResumeRecord record = ToRecord(mark);
  EXPECT_EQ(record.valid, 1u);
  EXPECT_EQ(ToBookmark(record), mark);
}

}  // namespace
}  // namespace tovelax
