// Runs one of the built tools as a child process with a bounded wait.
#pragma once

#include <string>
#include <vector>

struct ToolResult {
  int exitCode = -1;   // -1 when it did not finish in time or was killed
  std::string output;  // stdout and stderr together
};

ToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments);
