// Debugger output: notices the system writes for whoever watches. They go to
// standard error when MARIVEL_DEBUG_OUTPUT is set, and to an installed
// listener (tests).
#pragma once

#include <functional>
#include <string>

namespace plat {

void OutputDebugStringA(const char* text);
void SetDebugOutputListener(std::function<void(const std::string&)> listener);

}  // namespace plat
