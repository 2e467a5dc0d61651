// What the picture benchmarks share: the generated 12-megapixel photo, and
// timing the command-line tools they are measured against.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

inline const std::string& PhotoDir() {
  static const std::string dir = [] {
    const std::string command = std::string(BENCH_PHOTO_SCRIPT) + " " + BENCH_PHOTO_DIR;
    if (std::system(command.c_str()) != 0) return std::string();
    return std::string(BENCH_PHOTO_DIR);
  }();
  return dir;
}
inline std::string Photo() { return PhotoDir() + "/photo_4032x3024.jpg"; }
inline std::string Scratch(const std::string& name) { return PhotoDir() + "/scratch_" + name; }

// Runs a tool with an argument vector (stdout to a file when given) and
// returns its wall time in milliseconds, -1 when it fails.
inline double RunTool(std::vector<std::string> args, const std::string& stdout_path = {}) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, stdout_path.empty() ? "/dev/null" : stdout_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double, std::milli>(end - start).count();
}

// The median of a few runs of a tool.
inline double ToolMs(const std::vector<std::string>& args, const std::string& stdout_path = {}) {
  std::vector<double> runs;
  for (int i = 0; i < 5; ++i) runs.push_back(RunTool(args, stdout_path));
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

inline double MeanMs(const std::vector<double>& runs) {
  double sum = 0;
  for (double r : runs) sum += r;
  return runs.empty() ? 0 : sum / static_cast<double>(runs.size());
}

template <class F>
double TimeMs(F&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

