#include "corebridge/core/version_text.h"

#include <sys/stat.h>

#include <ctime>

std::string VersionTextOfFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  const std::time_t modified = st.st_mtime;
  std::tm local{};
  if (!localtime_r(&modified, &local)) return {};
  auto twoDigits = [](int v) { return std::string{static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)}; };
  return "3.0." + twoDigits(local.tm_mon + 1) + twoDigits(local.tm_mday);
}

std::string VersionTextOfExecutable() { return VersionTextOfFile("/proc/self/exe"); }
