#include "lounge/shell/root_page_support.h"

#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <sstream>
#include <stdexcept>

#include "platform/sys/clock.h"

extern char** environ;

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

SpawnLauncher::~SpawnLauncher() { ReapFinished(); }

void SpawnLauncher::ReapFinished() {
  std::erase_if(m_children, [](pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) != 0;  // finished, or not ours any more
  });
}

bool SpawnLauncher::Start(const std::vector<std::string>& argv) {
  ReapFinished();
  if (argv.empty() || argv[0].empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, args[0], nullptr, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return false;
  m_children.push_back(pid);
  return true;
}
