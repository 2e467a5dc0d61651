// Leftovers of killed writers: which names are temporary or partial files
// and whose, and their removal when the writer no longer runs.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/sys/atomic_file.h"

namespace {

namespace fs = std::filesystem;

// The id of a process that has ended.
pid_t EndedProcess() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return pid;
}

class LeftoverFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(::testing::TempDir()) / ("leftovers-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Put(const std::string& name) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path) << "partial";
    return path;
  }
  fs::path folder_;
};

TEST(LeftoverWriter, TellsTemporaryAndPartialNamesFromOthers) {
  struct Case {
    const char* name;
    pid_t writer;
  };
  const Case cases[] = {
      {".Config.xml.4242-0-12345.tmp", 4242},
      {".RadioPresets.txt.17-3-99.tmp", 17},
      {".photo.2024.01.jpg.88-1-2.tmp", 88},  // dots in the target's name
      {".disc.bin.4242.0.part", 4242},
      {".Intro (2).mp3.5.12.part", 5},
      {"Config.xml.4242-0-1.tmp", 0},  // not hidden
      {".Config.xml.4242.tmp", 0},     // no counter
      {".Config.xml.x-0-1.tmp", 0},
      {".Config.xml.4242-0-.tmp", 0},
      {".disc.bin.4242.part", 0},
      {".disc.bin.0.1.part", 0},
      {".disc.bin.-3.1.part", 0},
      {"..4242.0.part", 0},
      {"Intro.mp3", 0},
      {".part", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::LeftoverWriter(c.name), c.writer) << c.name;
}

TEST_F(LeftoverFolder, OnlyFilesOfEndedWritersAreRemoved) {
  const std::string gone = std::to_string(EndedProcess());
  const std::string me = std::to_string(::getpid());
  const std::string staleSave = Put(".Config.xml." + gone + "-0-1.tmp");
  const std::string stalePart = Put(".disc.bin." + gone + ".0.part");
  const std::string mine = Put(".disc.bin." + me + ".1.part");  // a write in progress here
  const std::string parent = Put(".a.txt." + std::to_string(::getppid()) + "-0-1.tmp");
  const std::string user = Put("disc.bin");
  fs::create_directory(folder_ / (".dir.bin." + gone + ".0.part"));
  EXPECT_EQ(plat::RemoveStaleTemporaryFilesIn(folder_.string()), 2);
  EXPECT_FALSE(fs::exists(staleSave));
  EXPECT_FALSE(fs::exists(stalePart));
  for (const std::string& kept : {mine, parent, user}) EXPECT_TRUE(fs::exists(kept)) << kept;
  EXPECT_TRUE(fs::is_directory(folder_ / (".dir.bin." + gone + ".0.part")));
}

TEST_F(LeftoverFolder, TheFirstWriteIntoAFolderClearsItsLeftovers) {
  const std::string gone = std::to_string(EndedProcess());
  const std::string stale = Put(".picture.jpg." + gone + "-4-5.tmp");
  const std::string partial = plat::PartialFileName((folder_ / "track.wav").string());
  EXPECT_EQ(fs::path(partial).parent_path(), folder_);
  EXPECT_EQ(plat::LeftoverWriter(fs::path(partial).filename().string()), ::getpid());
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_NE(plat::PartialFileName((folder_ / "track.wav").string()), partial);
}

TEST(WriteFailure, TheCauseIsNamedInWords) {
  EXPECT_EQ(plat::WriteFailureCause(ENOSPC), "no space left on the disk");
  EXPECT_EQ(plat::WriteFailureCause(EDQUOT), "no space left on the disk");
  EXPECT_EQ(plat::WriteFailureCause(EACCES), "permission denied");
  EXPECT_EQ(plat::WriteFailureCause(EPERM), "permission denied");
  EXPECT_EQ(plat::WriteFailureCause(EROFS), "the disk is read-only");
  EXPECT_FALSE(plat::WriteFailureCause(ENOENT).empty());
  // A failed save says which step on which file, and why.
  const plat::AtomicWriteResult result = plat::WriteFileAtomically("/nonexistent-folder/Config.xml", "x");
  EXPECT_EQ(result.error, ENOENT);
  EXPECT_NE(result.what.find("/nonexistent-folder/Config.xml"), std::string::npos) << result.what;
  EXPECT_NE(result.what.find(plat::WriteFailureCause(ENOENT)), std::string::npos) << result.what;
}

}  // namespace
