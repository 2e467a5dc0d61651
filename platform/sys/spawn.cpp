#include "platform/sys/spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace plat {

bool SpawnDetached(const std::vector<std::string>& argv, std::string* error) {
  if (argv.empty() || argv.front().empty()) {
    if (error) *error = "no program to start";
    return false;
  }
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // The program keeps its close signals blocked on most threads; a child
  // starts with none blocked, as if started from a shell.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, args[0], nullptr, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    if (error) *error = argv.front() + ": " + std::strerror(rc);
    return false;
  }
  // The child is not waited for by the caller; someone must collect its exit
  // status or it stays behind as a zombie.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

int RunAndWait(const std::vector<std::string>& argv, std::string* output, const std::atomic<bool>* cancel) {
  if (argv.empty() || argv.front().empty()) return -1;
  int pipeFds[2] = {-1, -1};
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (rc != 0) {
    ::close(pipeFds[0]);
    if (output) *output = argv.front() + ": " + std::strerror(rc);
    return -1;
  }
  // Read the child's output until it closes it, looking at the cancel flag
  // between reads so that a cancel ends a long run promptly.
  bool killed = false;
  char buffer[4096];
  for (;;) {
    if (cancel && cancel->load() && !killed) {
      ::kill(pid, SIGKILL);
      killed = true;
    }
    pollfd fd{pipeFds[0], POLLIN, 0};
    const int ready = ::poll(&fd, 1, 100);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    // Keep the last 64 KiB: enough to tell why a tool failed.
    if (output) {
      output->append(buffer, static_cast<std::size_t>(n));
      if (output->size() > 65536) output->erase(0, output->size() - 65536);
    }
  }
  ::close(pipeFds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (killed || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool OpenWithDesktop(const std::string& target, std::string* error) {
  return SpawnDetached({"xdg-open", target}, error);
}

}  // namespace plat
