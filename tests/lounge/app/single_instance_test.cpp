// One copy per user: two real processes (the second asks the first to come
// forward and ends), a stale lock and socket left by a crashed copy, and a
// lock held by another user.
#include "lounge/shell/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/win/message.h"
#include "tests/lounge/app/app_environment.h"
#include "tests/lounge/app/child_process.h"

namespace {

using app_test::ChildProcess;

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Short: socket paths have a length limit.
    char pattern[] = "/tmp/mrv-si-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  ChildProcess Helper(int seconds = 20) { return ChildProcess({SINGLE_INSTANCE_HELPER, dir_, std::to_string(seconds)}); }

  void Pump(int times) {
    for (int i = 0; i < times; ++i) {
      plat::MSG m;
      while (plat::PeekMessage(&m, nullptr, 0, 0, plat::PM_REMOVE)) plat::DispatchMessage(&m);
      ::usleep(5000);
    }
  }

  std::string dir_;
};

TEST_F(SingleInstanceTest, SecondProcessRaisesTheFirstAndEndsAtOnce) {
  ChildProcess first = Helper();
  ASSERT_TRUE(first.Started());
  ASSERT_EQ(first.ReadLine(), "first");

  ChildProcess second = Helper();
  EXPECT_EQ(second.ReadLine(), "another");
  EXPECT_EQ(second.Wait(), 0);

  // The first copy got the request on its message loop and ends on it.
  EXPECT_EQ(first.ReadLine(), "raised");
  EXPECT_EQ(first.Wait(), 0);

  // With the first gone, the next start is the first copy again.
  ChildProcess third = Helper(1);
  EXPECT_EQ(third.ReadLine(), "first");
  EXPECT_EQ(third.Wait(), 3);
}

TEST_F(SingleInstanceTest, LockAndSocketOfACrashedCopyAreTakenOver) {
  {
    ChildProcess crashed = Helper();
    ASSERT_EQ(crashed.ReadLine(), "first");
  }  // killed with SIGKILL: the lock file and the socket file stay behind
  CSingleInstance probe(dir_);
  ASSERT_TRUE(std::filesystem::exists(probe.SocketPath()));

  int raised = 0;
  CSingleInstance instance(dir_);
  ASSERT_EQ(instance.Acquire([&] { ++raised; }), CSingleInstance::Outcome::First);
  // The socket was made anew and answers.
  ChildProcess second = Helper();
  for (int i = 0; i < 400 && second.Running(); ++i) Pump(1);
  EXPECT_EQ(second.ReadLine(), "another");
  EXPECT_EQ(second.Wait(), 0);
  Pump(5);
  EXPECT_EQ(raised, 1);
}

TEST_F(SingleInstanceTest, InThisProcessASecondAcquireSeesTheFirst) {
  CSingleInstance first(dir_);
  int raised = 0;
  ASSERT_EQ(first.Acquire([&] { ++raised; }), CSingleInstance::Outcome::First);
  // The request is answered on the message loop, so ask from another thread.
  bool answered = false;
  std::thread asker([&] { answered = AskRunningCopyToRaise(first.SocketPath()); });
  for (int i = 0; i < 200 && raised == 0; ++i) Pump(1);
  asker.join();
  EXPECT_TRUE(answered);
  EXPECT_EQ(raised, 1);
}

TEST_F(SingleInstanceTest, ALockOfAnotherUserSaysSo) {
  CSingleInstance instance(dir_);
  const std::string lock = instance.LockPath();
  std::ofstream(lock).put('x');
  if (::geteuid() == 0) {
    // Root opens any file: the other user's copy shows as a held lock on a
    // file owned by someone else.
    ASSERT_EQ(::chown(lock.c_str(), 4242, 4242), 0);
    const int held = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(instance.Acquire({}), CSingleInstance::Outcome::OtherUser);
    ::close(held);
  } else {
    // A file we may not open belongs to another user.
    ASSERT_EQ(::chmod(lock.c_str(), 0), 0);
    EXPECT_EQ(instance.Acquire({}), CSingleInstance::Outcome::OtherUser);
  }
}

TEST_F(SingleInstanceTest, NoFolderStillRunsAsTheFirstCopy) {
  CSingleInstance instance(dir_ + "/missing");
  EXPECT_EQ(instance.Acquire({}), CSingleInstance::Outcome::First);
}

TEST(SingleInstanceFolder, RuntimeFolderWhenSetElseSettingsFolder) {
  app_test::TempEnvironment env;
  const char* old = ::getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  ::setenv("XDG_RUNTIME_DIR", "/tmp", 1);
  EXPECT_EQ(CSingleInstance::DefaultFolder(), "/tmp");
  ::setenv("XDG_RUNTIME_DIR", "/nonexistent-runtime-folder", 1);
  EXPECT_NE(CSingleInstance::DefaultFolder(), "/nonexistent-runtime-folder");
  if (old) {
    ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_RUNTIME_DIR");
  }
}

}  // namespace
