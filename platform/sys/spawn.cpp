#include "platform/sys/spawn.h"

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
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
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
