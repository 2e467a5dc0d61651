// Helpers for tests on a real X server: finding a program on the path, a
// child process started from an argument vector, and Xvfb started on a
// display number the server picks itself (-displayfd).
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace sdltest {

using Clock = std::chrono::steady_clock;

inline std::optional<std::string> FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return std::nullopt;
}

// A child process started from an argument vector (never a shell); its
// standard output can be read; it is killed if still running at the end.
class Child {
 public:
  Child(const std::vector<std::string>& args, int keep_fd = -1) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    (void)keep_fd;  // inherited: it is not close-on-exec
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    out_ = out[0];
  }
  ~Child() {
    stop();
    if (out_ >= 0) close(out_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  // Keeps `idle` running (our message loop) until the child ended or the
  // time is up; the exit status, or nullopt on time-out.
  std::optional<int> wait(std::chrono::milliseconds limit, const std::function<void()>& idle = {}) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      drain();
      int status = 0;
      const pid_t r = waitpid(pid_, &status, WNOHANG);
      if (r == pid_) {
        pid_ = -1;
        drain();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (idle) idle();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
  }
  const std::string& output() const { return output_; }
  void stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 500; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  void drain() {
    pollfd p{out_, POLLIN, 0};
    char buf[256];
    while (out_ >= 0 && poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
      const ssize_t n = read(out_, buf, sizeof buf);
      if (n <= 0) break;
      output_.append(buf, static_cast<std::size_t>(n));
    }
  }
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

// Starts Xvfb and learns its display number through -displayfd.
class Xvfb {
 public:
  // `screen` is the size and depth of screen 0, as Xvfb takes it.
  bool start(std::string* error, const std::string& screen = "1024x768x24") {
    int fds[2];
    if (pipe(fds) != 0) return false;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    server_.emplace(std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                             screen, "-nolisten", "tcp", "-noreset"});
    close(fds[1]);
    std::string number;
    const auto end = Clock::now() + std::chrono::seconds(15);
    pollfd p{fds[0], POLLIN, 0};
    while (Clock::now() < end && number.find('\n') == std::string::npos) {
      if (poll(&p, 1, 100) > 0) {
        char buf[32];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, static_cast<std::size_t>(n));
      }
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
      *error = "Xvfb did not report its display within 15 s";
      return false;
    }
    display_ = ":" + number.substr(0, number.find('\n'));
    return true;
  }
  const std::string& display() const { return display_; }

 private:
  std::optional<Child> server_;
  std::string display_;
};

}  // namespace sdltest
