#include "platform/sys/kept_aside.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>

namespace plat {
namespace {

// More numbered copies than this means something keeps producing broken
// files; give up rather than scan on.
constexpr int kMaxCopies = 1000;

// Renames without replacing an existing target. File systems without
// RENAME_NOREPLACE fall back to a check before the rename.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

KeptAside KeepAside(const std::string& path) {
  for (int n = 0; n <= kMaxCopies; ++n) {
    std::string aside = path + ".bad";
    if (n > 0) aside += "." + std::to_string(n);
    const int error = RenameNoReplace(path, aside);
    if (error == 0) return KeptAside{aside, 0};
    if (error != EEXIST) return KeptAside{{}, error};
  }
  return KeptAside{{}, EEXIST};
}

}  // namespace plat
