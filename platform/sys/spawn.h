// Starting outside programs: always with an argument vector, never through a
// shell, so no text ever becomes a command line.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace plat {

// Starts `argv[0]` (searched in PATH when it has no slash) with `argv` and
// does not wait for it; the child is reaped in the background when it ends.
// False, with the reason in `error` when given, when it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv, std::string* error = nullptr);

// Runs `argv` and waits for it to end. Its standard output and error go to
// `output` when given (else nowhere); its standard input is empty. When
// `cancel` becomes true the child is killed. Returns the exit status, or -1
// when it could not be started, was killed or ended by a signal.
int RunAndWait(const std::vector<std::string>& argv, std::string* output = nullptr,
               const std::atomic<bool>* cancel = nullptr);

// Opens a file or URL with the desktop's handler ("xdg-open target").
bool OpenWithDesktop(const std::string& target, std::string* error = nullptr);

}  // namespace plat
