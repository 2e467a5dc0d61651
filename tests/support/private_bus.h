// A private D-Bus daemon for one test, so services can be faked on a bus of
// the test's own; killed at the end. Address() is empty when dbus-daemon
// could not be started.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <string>

extern char** environ;

namespace test_support {

class PrivateBus {
 public:
  PrivateBus() {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char arg0[] = "dbus-daemon", arg1[] = "--session", arg2[] = "--nofork", arg3[] = "--print-address";
    char* argv[] = {arg0, arg1, arg2, arg3, nullptr};
    if (posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // The daemon prints its address once it listens; wait a bounded time.
    pollfd p{out[0], POLLIN, 0};
    char buffer[512];
    std::size_t used = 0;
    while (pid_ > 0 && address_.empty() && poll(&p, 1, 5000) > 0) {
      const ssize_t n = read(out[0], buffer + used, sizeof(buffer) - 1 - used);
      if (n <= 0) break;
      used += static_cast<std::size_t>(n);
      const std::string text(buffer, used);
      if (auto end = text.find('\n'); end != std::string::npos) address_ = text.substr(0, end);
    }
    close(out[0]);
  }
  ~PrivateBus() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  const std::string& Address() const { return address_; }

 private:
  pid_t pid_ = -1;
  std::string address_;
};

}  // namespace test_support
