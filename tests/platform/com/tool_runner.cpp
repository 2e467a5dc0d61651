#include "tests/platform/com/tool_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

ToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments) {
  ToolResult result;
  char outputPath[] = "/tmp/marivel-com-tool-XXXXXX";
  const int outputFd = mkstemp(outputPath);
  if (outputFd < 0) return result;

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(outputFd);
  if (spawned == 0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    pid_t waited = 0;
    while ((waited = waitpid(pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (waited == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    } else if (waited == pid && WIFEXITED(status)) {
      result.exitCode = WEXITSTATUS(status);
    }
  }
  std::ifstream output(outputPath);
  std::stringstream text;
  text << output.rdbuf();
  result.output = text.str();
  std::remove(outputPath);
  return result;
}
