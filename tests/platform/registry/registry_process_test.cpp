// Several processes sharing one hive file: concurrent writers and a writer
// killed in the middle of saving.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "tests/platform/registry/registry_helpers.h"
#include "tests/platform/registry/temp_registry.h"

namespace marivel_test {
namespace {

class RegistryProcesses : public ::testing::Test {
 protected:
  TempRegistry hives_;
};

// Runs `body` in a child process; the child's exit status is body's result.
template <typename Body>
pid_t Spawn(Body body) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  EXPECT_GT(pid, 0);
  return pid;
}

int ExitCode(pid_t pid) {
  int status = 0;
  EXPECT_EQ(::waitpid(pid, &status, 0), pid);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RegistryProcesses, WritersAtTheSameTimeLoseNothing) {
  constexpr int kWriters = 3;
  constexpr int kValues = 60;
  RegCloseKey(CreateKey(HKEY_CURRENT_USER, "Software\\Shared"));
  int start[2];
  ASSERT_EQ(::pipe(start), 0);
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(Spawn([&, w] {
      char go;
      if (::read(start[0], &go, 1) != 1) return 10;
      HKEY key = nullptr;
      if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, KEY_ALL_ACCESS, &key)) return 11;
      for (int i = 0; i < kValues; ++i) {
        std::string name = "w" + std::to_string(w) + "_" + std::to_string(i);
        if (SetDword(key, name.c_str(), static_cast<DWORD>(w * 1000 + i))) return 12;
      }
      return 0;
    }));
  }
  // Release all writers at once.
  ASSERT_EQ(::write(start[1], "go!", kWriters), kWriters);
  for (pid_t pid : writers) EXPECT_EQ(ExitCode(pid), 0);
  ::close(start[0]);
  ::close(start[1]);

  HKEY key = OpenKey(HKEY_CURRENT_USER, "Software\\Shared", KEY_READ);
  EXPECT_EQ(ValueNames(key).size(), static_cast<std::size_t>(kWriters * kValues));
  for (int w = 0; w < kWriters; ++w)
    for (int i = 0; i < kValues; ++i) {
      std::string name = "w" + std::to_string(w) + "_" + std::to_string(i);
      EXPECT_EQ(Query(key, name.c_str()), Dword(static_cast<DWORD>(w * 1000 + i))) << name;
    }
  RegCloseKey(key);
}

// Every save writes one whole blob derived from a counter, so a hive holding
// a mixed blob, or no longer parsing, would show a torn save.
std::vector<BYTE> Blob(DWORD counter) {
  std::vector<BYTE> blob(2000);
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<BYTE>(counter * 31 + i);
  std::memcpy(blob.data(), &counter, sizeof counter);
  return blob;
}

TEST_F(RegistryProcesses, AWriterKilledWhileSavingLeavesTheOldOrTheNewHive) {
  constexpr int kSeedKeys = 100;
  constexpr int kRounds = 100;
  HKEY seed = CreateKey(HKEY_LOCAL_MACHINE, "Software\\Seed");
  for (int i = 0; i < kSeedKeys; ++i) {
    HKEY k = CreateKey(seed, ("Key" + std::to_string(i)).c_str());
    ASSERT_EQ(SetString(k, "Name", "seed value " + std::to_string(i)), ERROR_SUCCESS);
    RegCloseKey(k);
  }
  HKEY churn = CreateKey(HKEY_LOCAL_MACHINE, "Software\\Churn");

  std::mt19937 random(20261210);
  DWORD last = 0;
  for (int round = 0; round < kRounds; ++round) {
    // The child finishes one save, says so through the pipe, then saves
    // without end; every call past the first is a whole read-modify-write of
    // the hive, so the kill lands inside one or between two. Waiting for the
    // first save keeps the test meaningful on a slow or loaded machine.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t writer = Spawn([churn, last, &ready] {
      ::close(ready[0]);
      for (DWORD n = last + 1;; ++n) {
        if (SetBinary(churn, "Blob", Blob(n))) return 2;
        if (n == last + 1 && ::write(ready[1], "s", 1) != 1) return 3;
      }
    });
    ::close(ready[1]);
    char saved = 0;
    const bool firstSaveDone = ::read(ready[0], &saved, 1) == 1;
    ::close(ready[0]);
    ::usleep(std::uniform_int_distribution<useconds_t>(0, 20000)(random));
    ::kill(writer, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(firstSaveDone) << "round " << round << ": the writer never finished a save";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself with " << WEXITSTATUS(status);

    // Reading reloads the hive; a file that failed to parse would be moved
    // aside to ".bad".
    auto blob = Query(churn, "Blob");
    ASSERT_FALSE(std::filesystem::exists(hives_.machine() + ".bad")) << "round " << round;
    ASSERT_EQ(SubKeyNames(seed).size(), static_cast<std::size_t>(kSeedKeys)) << "round " << round;
    ASSERT_TRUE(blob) << "round " << round << ": the blob vanished";
    DWORD counter = 0;
    ASSERT_EQ(blob->bytes.size(), 2000u);
    std::memcpy(&counter, blob->bytes.data(), sizeof counter);
    ASSERT_EQ(blob->bytes, Blob(counter)) << "round " << round << ": a torn blob";
    ASSERT_GT(counter, last) << "round " << round << ": a finished save was lost";
    last = counter;
  }

  // The lock of a killed writer is gone and its temporary file is no obstacle.
  ASSERT_EQ(SetDword(HKEY_LOCAL_MACHINE, "After", 1), ERROR_SUCCESS);
  EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "After"), Dword(1));
  RegCloseKey(churn);
  RegCloseKey(seed);
}

}  // namespace
}  // namespace marivel_test
