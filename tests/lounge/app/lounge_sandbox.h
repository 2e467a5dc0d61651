// The lounge program run in its own home, settings folder, runtime folder and
// registry hives (the machine hive copied from the build, so that the
// component servers are found), with helpers to write scripts, await the
// running copy and read the pictures it takes. The folder goes at the end.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "lounge/shell/single_instance.h"
#include "platform/gdi/png_codec.h"
#include "tests/lounge/app/child_process.h"

extern char** environ;

namespace app_test {

// Under the sanitizers a start takes a few seconds.
constexpr int kStartMs = 90'000;

class LoungeSandbox {
 public:
  // `program` is the lounge program; `binDir` the build's bin folder that
  // holds registry/machine.reg.
  LoungeSandbox(std::string program, const std::string& binDir) : program_(std::move(program)) {
    // Short: the single-instance socket lives below it.
    std::string pattern = "/tmp/mrv-run-XXXXXX";
    if (!::mkdtemp(pattern.data())) return;
    dir_ = pattern;
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const char* sub : {"home", "data", "config", "registry", "runtime"}) {
      fs::create_directories(dir_ + "/" + sub, ec);
    }
    fs::permissions(dir_ + "/runtime", fs::perms::owner_all, ec);
    ok_ = fs::copy_file(binDir + "/registry/machine.reg", dir_ + "/registry/machine.reg", ec) && !ec;
    env_ = {"HOME=" + dir_ + "/home",           "XDG_DATA_HOME=" + dir_ + "/data",
            "XDG_CONFIG_HOME=" + dir_ + "/config", "XDG_RUNTIME_DIR=" + dir_ + "/runtime",
            "MARIVEL_REGISTRY_DIR=" + dir_ + "/registry"};
    // Keep the path, the sanitizers' settings and the tests' shared GStreamer
    // registry; no desktop display.
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      for (const char* keep : {"PATH=", "ASAN_OPTIONS=", "UBSAN_OPTIONS=", "LSAN_OPTIONS=", "LANG=", "GST_REGISTRY="}) {
        if (entry.rfind(keep, 0) == 0) env_.push_back(entry);
      }
    }
  }
  ~LoungeSandbox() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  LoungeSandbox(const LoungeSandbox&) = delete;
  LoungeSandbox& operator=(const LoungeSandbox&) = delete;

  bool ok() const { return ok_; }
  const std::string& dir() const { return dir_; }

  // Starts the program with `args`; `extraEnv` adds variables ("NAME=value").
  ChildProcess Lounge(std::vector<std::string> args, const std::vector<std::string>& extraEnv = {}) const {
    args.insert(args.begin(), program_);
    std::vector<std::string> env = env_;
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    return ChildProcess(args, env);
  }
  std::string ConfigFile() const { return dir_ + "/data/Marivel/Config.xml"; }
  std::string ReadConfig() const {
    std::ifstream in(ConfigFile());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string WriteScript(const std::string& text, const std::string& name = "script.txt") const {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path) << text;
    return path;
  }
  // Whether the running copy listens for second starts within the time.
  bool WaitUntilRunning(ChildProcess& child) const {
    const std::string socket = CSingleInstance(dir_ + "/runtime").SocketPath();
    for (int i = 0; i < kStartMs / 50 && child.Running(); ++i) {
      if (std::filesystem::exists(socket)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  static std::optional<plat::Surface> ReadPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return plat::gdi::DecodePng(bytes);
  }

 protected:
  std::string program_;
  std::string dir_;
  std::vector<std::string> env_;
  bool ok_ = false;
};

}  // namespace app_test
