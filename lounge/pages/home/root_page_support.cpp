#include "lounge/pages/home/root_page_support.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <sstream>
#include <stdexcept>

#include "platform/sys/clock.h"
#include "platform/sys/spawn.h"

namespace {

constexpr std::size_t kMaxLoginName = 1023;

// Cuts a text to `limit` bytes without splitting a UTF-8 sequence.
std::string CutUtf8(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

}  // namespace

std::tm LocalTimeNow() {
  const auto wall = plat::GetClock().wall_now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(wall);
  std::tm local{};
  if (!localtime_r(&seconds, &local)) gmtime_r(&seconds, &local);
  return local;
}

std::locale UserDefaultLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    return std::locale::classic();
  }
}

std::string FormatClockText(const std::tm& time, const std::locale& locale, ClockPart part) {
  const char* format = part == ClockPart::Date ? "%x" : part == ClockPart::Time ? "%X" : "%x %X";
  std::ostringstream out;
  out.imbue(locale);
  out << std::put_time(&time, format);
  return out.str();
}

std::string LoginName() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name &&
      found->pw_name[0])
    return CutUtf8(found->pw_name, kMaxLoginName);
  char name[kMaxLoginName + 1] = {};
  if (getlogin_r(name, sizeof name) == 0) return CutUtf8(name, kMaxLoginName);
  return {};
}

std::vector<std::string> SplitParameters(const std::string& parameters) {
  std::vector<std::string> out;
  std::istringstream in(parameters);
  std::string word;
  while (in >> word) out.push_back(word);
  return out;
}

bool SpawnLauncher::Start(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return false;
  return plat::SpawnDetached(argv);
}
