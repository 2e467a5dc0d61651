// Kills a writing process at random moments, round after round: each round
// forks a child that writes until killed, waits until the child says it is
// under way, lets it run a random while longer, kills it with SIGKILL and
// hands the round to a check.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <random>

#include <gtest/gtest.h>

namespace test_support {

// Tells the test that the child is under way.
inline void SignalReady(int readyFd) {
  const char byte = 1;
  (void)!::write(readyFd, &byte, 1);
}

// `child` runs in the forked process (it may exec; the descriptor stays
// open) and calls SignalReady on `readyFd` once it writes; it never returns.
// `check` runs in the test after each kill. The child is killed within
// `maxDelayUs` after it signalled.
inline void KillWhileWriting(int rounds, unsigned maxDelayUs, const std::function<void(int readyFd)>& child,
                             const std::function<void(int round)>& check, unsigned seed = 2026) {
  std::mt19937 random(seed);
  for (int round = 0; round < rounds; ++round) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(pipeFds[0]);
      child(pipeFds[1]);
      ::_exit(0);
    }
    ::close(pipeFds[1]);
    pollfd wait{pipeFds[0], POLLIN, 0};
    char byte = 0;
    const bool started = ::poll(&wait, 1, 60000) == 1 && ::read(pipeFds[0], &byte, 1) == 1;
    ::close(pipeFds[0]);
    if (started) ::usleep(static_cast<useconds_t>(random() % (maxDelayUs + 1)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(started) << "round " << round << ": the writer did not start";
    check(round);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace test_support
