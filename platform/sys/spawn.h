// Starting outside programs: always with an argument vector, never through a
// shell, so no text ever becomes a command line.
#pragma once

#include <string>
#include <vector>

namespace plat {

// Starts `argv[0]` (searched in PATH when it has no slash) with `argv` and
// does not wait for it; the child is reaped in the background when it ends.
// False, with the reason in `error` when given, when it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv, std::string* error = nullptr);

// Opens a file or URL with the desktop's handler ("xdg-open target").
bool OpenWithDesktop(const std::string& target, std::string* error = nullptr);

}  // namespace plat
