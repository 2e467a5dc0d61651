// The engine's trace log: off unless the user's registry value
// "SOFTWARE\Kestrovia\Common" "rekko_dump" is the DWORD 1. Each line is
// appended to "RekkoDump.txt" in the settings folder, opened and closed again
// for every line so nothing is lost when the process dies.
#pragma once

#include <chrono>
#include <string>

namespace grabber {

// The switch, read from the registry now.
bool ReadTraceSwitch();

// "<settings folder>/RekkoDump.txt"; the settings folder is
// "$XDG_DATA_HOME/Marivel" (default "~/.local/share/Marivel").
std::string TraceFilePath();

// "Time=hh:mm:ss(mmm), " from `utc` with the hour advanced by 8 (mod 24).
std::string TraceLinePrefix(std::chrono::system_clock::time_point utc);

class TraceLog {
 public:
  TraceLog(bool on, std::string path) : on_(on), path_(std::move(path)) {}
  bool on() const { return on_; }
  // Appends the prefix and `text`; the text is written as it is.
  void Write(const char* text) const;

 private:
  bool on_;
  std::string path_;
};

// The process's trace log; the switch is read on first use.
const TraceLog& GrabberTrace();

}  // namespace grabber
