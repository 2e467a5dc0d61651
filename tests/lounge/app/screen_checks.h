// Driving a scripted lounge program by its pictures: the script's
// "check FILE" steps hold the program until the test has seen the screen
// show what it must (or a generous bound has passed), so a visit never
// depends on how fast the machine is. The test answers a picture with
// FILE.ok, or removes it to be shown a newer one.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "platform/gdi/surface.h"
#include "tests/lounge/app/child_process.h"
#include "tests/lounge/app/lounge_sandbox.h"

namespace app_test {

// What a picture must show before the script goes on; a picture that never
// does is kept as it last was, for the test's assertions to report.
using ScreenReady = std::function<bool(const plat::Surface&)>;

// How long one check waits for its picture to be right. The program itself
// may take this long to start under the sanitizers on a loaded machine.
constexpr int kCheckBoundMs = kStartMs;

// Answers the check steps of `child`'s script until it ends. `pictures` maps a
// check's file to its name in `shots`, `ready` the names to their conditions
// (none: the first picture will do). The exit code, or -1 when the program
// made no progress for kStartMs.
inline int DriveChecks(ChildProcess& child, const std::map<std::string, std::string>& pictures,
                       const std::map<std::string, ScreenReady>& ready, std::map<std::string, plat::Surface>& shots) {
  using Clock = std::chrono::steady_clock;
  namespace fs = std::filesystem;
  std::map<std::string, Clock::time_point> firstSeen;
  auto progress = Clock::now();
  while (child.Running()) {
    if (Clock::now() - progress > std::chrono::milliseconds(kStartMs)) return -1;
    for (const auto& [file, name] : pictures) {
      std::error_code ec;
      if (shots.count(name) || !fs::exists(file, ec)) continue;
      progress = Clock::now();
      const auto seen = firstSeen.emplace(name, Clock::now()).first->second;
      auto picture = LoungeSandbox::ReadPng(file);
      const auto condition = ready.find(name);
      const bool right = picture && (condition == ready.end() || condition->second(*picture));
      const bool late = Clock::now() - seen > std::chrono::milliseconds(kCheckBoundMs);
      if (right || (picture && late)) {
        if (!right) std::fprintf(stderr, "the picture \"%s\" never showed what it must\n", name.c_str());
        shots[name] = std::move(*picture);
        // MARIVEL_KEEP_SHOTS names a folder to keep the answered pictures in.
        if (const char* keep = std::getenv("MARIVEL_KEEP_SHOTS"))
          fs::copy_file(file, fs::path(keep) / (name + ".png"), fs::copy_options::overwrite_existing, ec);
        std::ofstream(file + ".ok") << "ok\n";
      } else {
        // Not yet: let the program run on a little, then ask for a newer one.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        fs::remove(file, ec);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return child.Wait(0);
}

}  // namespace app_test
