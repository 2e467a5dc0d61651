// What the picture benchmarks share: the generated 12-megapixel photo, and
// timing the command-line tools they are measured against.
#pragma once

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// One finished run of a process: wall time and peak resident memory.
struct ProcessRun {
  double ms = -1;  // -1 when it could not start or failed
  double peak_mb = 0;
};

inline pid_t SpawnTool(std::vector<std::string> args, const std::string& stdout_path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, stdout_path.empty() ? "/dev/null" : stdout_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// Runs a tool with an argument vector (stdout to a file when given). The peak
// memory is read through /usr/bin/time: a child spawned from this large
// process would report this process's size as its own peak.
inline ProcessRun RunProcess(std::vector<std::string> args, const std::string& stdout_path = {}) {
  const std::string peak_file = "/tmp/picture_bench_peak." + std::to_string(getpid());
  args.insert(args.begin(), {"/usr/bin/time", "-f", "%M", "-o", peak_file});
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = SpawnTool(std::move(args), stdout_path);
  if (pid < 0) return {};
  int status = 0;
  waitpid(pid, &status, 0);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  double peak_kb = 0;
  if (FILE* f = std::fopen(peak_file.c_str(), "r")) {
    if (std::fscanf(f, "%lf", &peak_kb) != 1) peak_kb = 0;
    std::fclose(f);
  }
  std::remove(peak_file.c_str());
  return {std::chrono::duration<double, std::milli>(end - start).count(), peak_kb / 1024.0};
}

// Its wall time in milliseconds, -1 when it fails.
inline double RunTool(std::vector<std::string> args, const std::string& stdout_path = {}) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = SpawnTool(std::move(args), stdout_path);
  if (pid < 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double, std::milli>(end - start).count();
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Ours and a peer program as whole processes, in turn (ours, theirs, ours
// ...) so a drift of the machine's speed touches both alike; medians of the
// wall times, of the ratio pair by pair and of the peak memory. `before`
// runs ahead of each run of either (to restore a file both change).
struct PairedFigures {
  double ours_ms = 0, peer_ms = 0, ratio = 0, ours_mb = 0, peer_mb = 0;
};
template <class Before>
PairedFigures RunPaired(const std::vector<std::string>& ours, const std::vector<std::string>& peer, int pairs,
                        Before&& before, const std::string& peer_stdout = {}) {
  std::vector<double> ours_ms, peer_ms, ratios, ours_mb, peer_mb;
  for (int i = -1; i < pairs; ++i) {  // the first pair warms the caches and is not counted
    before();
    const ProcessRun a = RunProcess(ours);
    before();
    const ProcessRun b = RunProcess(peer, peer_stdout);
    if (i < 0 || a.ms < 0 || b.ms < 0) continue;
    ours_ms.push_back(a.ms);
    peer_ms.push_back(b.ms);
    ratios.push_back(a.ms / b.ms);
    ours_mb.push_back(a.peak_mb);
    peer_mb.push_back(b.peak_mb);
  }
  return {Median(ours_ms), Median(peer_ms), Median(ratios), Median(ours_mb), Median(peer_mb)};
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

