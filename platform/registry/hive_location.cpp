#include "platform/registry/hive_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace plat::reg {
namespace {

std::string ExecutableDir() {
  static const std::string dir = [] {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
  }();
  return dir;
}

std::string HomeDir() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return ".";
}

std::string ConfigDir() {
  // The XDG rules ignore a relative XDG_CONFIG_HOME.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return xdg;
  return HomeDir() + "/.config";
}

}  // namespace

std::string HivePath(HiveKind kind) {
  const char* fileName = kind == HiveKind::Machine ? "machine.reg" : "user.reg";
  if (const char* dir = std::getenv(kRegistryDirVariable); dir && *dir) return std::string(dir) + "/" + fileName;
  if (kind == HiveKind::Machine) return ExecutableDir() + "/registry/" + fileName;
  return ConfigDir() + "/marivel/" + fileName;
}

}  // namespace plat::reg
