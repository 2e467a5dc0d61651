#include "platform/sys/spawn.h"

#include <signal.h>
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

bool OpenWithDesktop(const std::string& target, std::string* error) {
  return SpawnDetached({"xdg-open", target}, error);
}

}  // namespace plat
