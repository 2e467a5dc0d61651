// lounge: the program. Options:
//   --headless[=WxH]  run on the in-memory display (also MARIVEL_DISPLAY=headless)
//   --script FILE     drive the program with the scripted input in FILE
//   --help            show the options
// Any other arguments name the start-up module: "MOVIE D" or "CD E".
//
// The screen is an SDL window; without a display (no $DISPLAY or
// $WAYLAND_DISPLAY, or SDL cannot start) the program runs on the headless
// display and, without a script, writes a picture of the home page, says
// where, and ends.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "lounge/shell/close_signals.h"
#include "lounge/shell/main_app.h"
#include "lounge/shell/script_runner.h"
#include "lounge/shell/shell_pages_factory.h"
#include "platform/display/display.h"
#include "platform/display/sdl/sdl_backend.h"
#include "platform/gdi/font.h"
#include "platform/win/message.h"

namespace {

constexpr const char* kUsage =
    "usage: lounge [--headless[=WxH]] [--script FILE] [MOVIE|CD DRIVE]\n"
    "  --headless[=WxH]  run on the in-memory display (also MARIVEL_DISPLAY=headless)\n"
    "  --script FILE     drive the program with the scripted input in FILE\n"
    "  MOVIE D, CD E     start in the Movie module on drive D:, or Music from the CD in E:\n";

// Time the home page is given to settle before its picture is taken.
constexpr int kHomeSettleMs = 500;

struct Arguments {
  std::string script;
  std::vector<std::string> words;  // the start-up module
  bool help = false;
};

bool ReadArguments(int argc, char** argv, Arguments& out, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--script") {
      if (i + 1 >= argc) {
        error = "--script needs a file";
        return false;
      }
      out.script = argv[++i];
    } else if (arg.rfind("--script=", 0) == 0) {
      out.script = arg.substr(9);
    } else if (arg == "--help" || arg == "-h") {
      out.help = true;
    } else if (arg.rfind("--", 0) == 0) {
      error = "unknown option " + arg;
      return false;
    } else {
      out.words.push_back(arg);
    }
  }
  return true;
}

bool HasDesktopDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

// SDL falls back to drawing nowhere when it finds no screen; that counts as
// no display unless SDL_VIDEODRIVER asked for it.
bool ShowsNowhere() {
  if (plat::display::CurrentHeadless()) return false;
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked && *asked) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool StartScreen(plat::display::DisplayOptions options) {
  std::string error;
  if (options.backend.empty() && !HasDesktopDisplay()) options.backend = "headless";
  if (plat::display::StartDisplay(options, &error)) {
    if (!ShowsNowhere()) return true;
    plat::display::StopDisplay();
    error = "no screen to show on";
  }
  if (options.backend == "headless") {
    std::fprintf(stderr, "lounge: the display cannot start: %s\n", error.c_str());
    return false;
  }
  std::fprintf(stderr, "lounge: %s; running on the headless display\n", error.c_str());
  options.backend = "headless";
  if (plat::display::StartDisplay(options, &error)) return true;
  std::fprintf(stderr, "lounge: the display cannot start: %s\n", error.c_str());
  return false;
}

std::string HomePicturePath() {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  if (ec) folder = "/tmp";
  return (folder / ("marivel-home-" + std::to_string(::getpid()) + ".png")).string();
}

// The shared libraries' initialisers take milliseconds before main runs; a
// close signal in that time must wait too. The executable's pre-initialisers
// run first, right after the libraries are loaded.
void BlockCloseSignalsBeforeLibraries(int, char**, char**) { BlockCloseSignals(); }
[[gnu::section(".preinit_array"), gnu::used]] void (*const kBlockCloseSignalsFirst)(int, char**, char**) =
    &BlockCloseSignalsBeforeLibraries;

}  // namespace

int main(int argc, char** argv) {
  // A close signal that comes while starting waits for the loop (or ends
  // the start-up cleanly) instead of killing the program half-way.
  BlockCloseSignals();
  plat::display::RegisterSdlBackend();
  plat::display::DisplayOptions displayOptions;
  std::string error;
  if (!plat::display::ParseDisplayOptions(argc, argv, &displayOptions, &error)) {
    std::fprintf(stderr, "lounge: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  Arguments args;
  if (!ReadArguments(argc, argv, args, error)) {
    std::fprintf(stderr, "lounge: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (args.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  // Font set-up takes a while and is needed only by the first paint: it
  // runs beside the registry, system core and layout loads.
  const std::jthread fontSetUp = plat::StartFontSetUp();
  std::vector<ScriptStep> steps;
  if (!args.script.empty() && !LoadScript(args.script, steps, error)) {
    std::fprintf(stderr, "lounge: %s\n", error.c_str());
    return 2;
  }
  if (!StartScreen(displayOptions)) return 1;
  const bool headless = plat::display::CurrentHeadless() != nullptr;

  int exitCode = 0;
  {
    CMainApp app(&MakeShellPages);
    if (!app.InitInstance(args.words)) {
      exitCode = app.ExitInstance(app.FailureExitCode());
    } else {
      // Without a script the headless program has nobody to drive it: it
      // pictures the home page and ends.
      std::string homePicture;
      if (args.script.empty() && headless) {
        homePicture = HomePicturePath();
        ScriptStep settle;
        settle.kind = ScriptStep::Kind::Wait;
        settle.ms = kHomeSettleMs;
        ScriptStep shot;
        shot.kind = ScriptStep::Kind::Shot;
        shot.path = homePicture;
        steps = {settle, shot};
      }
      int scriptExit = 0;
      std::unique_ptr<CScriptRunner> runner;
      if (!steps.empty() || !args.script.empty()) {
        runner = std::make_unique<CScriptRunner>(
            steps, [&app] { return app.FrameWindow(); },
            [&](bool ok, const std::string& message) {
              if (!ok) {
                std::fprintf(stderr, "lounge: %s%s%s\n", args.script.c_str(), args.script.empty() ? "" : ": ",
                             message.c_str());
                scriptExit = 1;
              } else if (!homePicture.empty()) {
                std::printf("home page written to %s\n", homePicture.c_str());
                std::fflush(stdout);
              }
              // On the headless display the program ends with its script.
              if (headless || !ok) app.RequestClose();
            });
        runner->Start();
      }
      const int loopExit = app.Run();
      runner.reset();
      exitCode = app.ExitInstance(scriptExit != 0 ? scriptExit : loopExit);
    }
  }
  plat::display::StopDisplay();
  return exitCode;
}
