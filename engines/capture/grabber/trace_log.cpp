#include "engines/capture/grabber/trace_log.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>

#include "platform/registry/registry.h"
#include "platform/sys/clock.h"

namespace grabber {

namespace {

std::string DataHome() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share";
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool ReadTraceSwitch() {
  plat::HKEY key = nullptr;
  if (plat::RegOpenKeyExA(plat::HKEY_CURRENT_USER, "SOFTWARE\\Kestrovia\\Common", 0, plat::KEY_READ, &key) !=
      plat::ERROR_SUCCESS) {
    return false;
  }
  plat::DWORD value = 0;
  plat::DWORD type = 0;
  plat::DWORD size = sizeof value;
  const bool read = plat::RegQueryValueExA(key, "rekko_dump", nullptr, &type, reinterpret_cast<plat::BYTE*>(&value),
                                           &size) == plat::ERROR_SUCCESS;
  plat::RegCloseKey(key);
  return read && type == plat::REG_DWORD && size == sizeof value && value == 1;
}

std::string TraceFilePath() { return DataHome() + "/Marivel/RekkoDump.txt"; }

std::string TraceLinePrefix(std::chrono::system_clock::time_point utc) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(utc.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm tm{};
  ::gmtime_r(&seconds, &tm);
  char text[40];
  std::snprintf(text, sizeof text, "Time=%.2d:%.2d:%.2d(%.3d), ", (tm.tm_hour + 8) % 24, tm.tm_min, tm.tm_sec,
                static_cast<int>(ms % 1000));
  return text;
}

void TraceLog::Write(const char* text) const {
  if (!on_ || !text) return;
  const std::string line = TraceLinePrefix(plat::GetClock().wall_now()) + text;
  const std::string folder = path_.substr(0, path_.find_last_of('/'));
  std::error_code ec;
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path_.c_str(), "a+"));
  if (!file) return;
  std::fputs(line.c_str(), file.get());
}

const TraceLog& GrabberTrace() {
  static const TraceLog log(ReadTraceSwitch(), TraceFilePath());
  return log;
}

}  // namespace grabber
