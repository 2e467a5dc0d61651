// The start-up module named on the command line: "lounge MOVIE D" starts the
// Movie module on drive D:, "lounge CD E" the Music module from the CD in
// drive E:. The first argument is the word, the first character of the
// second the drive letter (A to Z in either case); anything else is ignored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CConfig;
struct IUISystem;

struct CommandLineStart {
  std::string action;  // "Movie Entry", "Music Entry" or empty for none
  std::intptr_t first = 0, second = 0;  // the action's two arguments
  bool hasDrive = false;
  int driveIndex = 0;  // 0 = A:
  bool startFromCd = false;  // the Music module starts from the CD in that drive
};

// Reads the arguments after the program path.
CommandLineStart ReadCommandLine(const std::vector<std::string>& args);

// Executes the start-up action through the UI system: sets the configuration
// root's start drive (and the CD start) for the action to read, runs it and
// clears both again. Returns 1 when an entry action ran, else 0. Either
// pointer may be null; without the bridge nothing runs.
int RunCommandLineStart(const CommandLineStart& start, IUISystem* bridge, CConfig* config);
