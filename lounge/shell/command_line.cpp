#include "lounge/shell/command_line.h"

#include <array>
#include <string_view>

#include "corebridge/core/config.h"
#include "interfaces/ui_system.h"

namespace {

// The entry actions a command line may start.
constexpr std::array<std::string_view, 4> kEntryActions{"Photo Entry", "Movie Entry", "Video Entry", "Music Entry"};

bool IsEntryAction(std::string_view name) {
  for (std::string_view entry : kEntryActions) {
    if (name == entry) return true;
  }
  return false;
}

// 0 for A: (or a:) up to 25 for Z:; -1 for anything else.
int DriveIndexOf(const std::string& text) {
  if (text.empty()) return -1;
  const char c = text.front();
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a';
  return -1;
}

}  // namespace

CommandLineStart ReadCommandLine(const std::vector<std::string>& args) {
  CommandLineStart start;
  if (args.empty()) return start;
  const std::string& word = args[0];
  const int drive = args.size() > 1 ? DriveIndexOf(args[1]) : -1;
  if (word == "MOVIE") {
    start.action = "Movie Entry";
    if (drive >= 0) {
      start.hasDrive = true;
      start.driveIndex = drive;
      start.first = drive;
      start.second = 1;
    }
  } else if (word == "CD") {
    start.action = "Music Entry";
    if (drive >= 0) {
      start.hasDrive = true;
      start.driveIndex = drive;
      start.startFromCd = true;
    }
  }
  // "VIDEO" is a known word that starts nothing; so is any other.
  return start;
}

int RunCommandLineStart(const CommandLineStart& start, IUISystem* bridge, CConfig* config) {
  if (config && start.hasDrive) {
    config->m_nStartDriveIndex = start.driveIndex;
    if (start.startFromCd) config->m_bStartFromCd = 1;
  }
  int ran = 0;
  if (bridge && IsEntryAction(start.action)) {
    bridge->ExecuteAction(start.action.c_str(), start.first, start.second);
    ran = 1;
  }
  // The start drive means something only for the start-up action.
  if (config) {
    config->m_nStartDriveIndex = 0;
    config->m_bStartFromCd = 0;
  }
  return ran;
}
