// What the home page needs from the system around it, kept apart so tests
// can fix it: the local time from the platform clock, date and time texts
// from the user's locale (the process locale is never changed), the login
// name, and the starting of outside programs with an argument vector.
#pragma once

#include <ctime>
#include <locale>
#include <string>
#include <vector>

// The platform clock's wall time as local civil time.
std::tm LocalTimeNow();

// The user's default locale from the environment, or the classic one when
// the environment names a locale that is not installed.
std::locale UserDefaultLocale();

// Date ("%x"), time ("%X") or both ("%x %X") in the conventions of `locale`.
enum class ClockPart { Date, Time, DateAndTime };
std::string FormatClockText(const std::tm& time, const std::locale& locale, ClockPart part);

// The login name of the user running the program, at most 1023 bytes (the
// text and its terminator fit 1024); empty when none can be found.
std::string LoginName();

// Splits a parameter text at blanks into separate arguments; nothing in it
// is interpreted (no quoting, no variables).
std::vector<std::string> SplitParameters(const std::string& parameters);

// Starts outside programs. `argv[0]` is the program, searched on PATH when
// it holds no slash. The page owns one; tests install a recording one.
class IProgramLauncher {
 public:
  virtual ~IProgramLauncher() = default;
  // True when the program was started.
  virtual bool Start(const std::vector<std::string>& argv) = 0;
};

// Starts them for real, through the platform's spawner (argument vector, no
// shell, children reaped in the background).
class SpawnLauncher final : public IProgramLauncher {
 public:
  bool Start(const std::vector<std::string>& argv) override;
};
