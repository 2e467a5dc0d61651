// Choosing and running the display. The thread that calls StartDisplay
// becomes the display thread: its message loop turns the backend's input
// into window messages and, whenever its queue runs empty, composes the
// windows that changed and presents them.
//
// Selecting a backend: the argument --headless or --headless=WxH, or the
// environment variable MARIVEL_DISPLAY=headless (or headless=WxH), selects
// the headless backend; otherwise the default backend ("sdl" once it is
// registered, headless until then).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/backend.h"
#include "platform/display/headless.h"

namespace plat::display {

struct DisplayOptions {
  std::string backend;  // "headless", "sdl", ...; empty: the default
  SIZE size{1920, 1080};  // headless screen size
};

// Reads the options from the arguments (removing --headless[=WxH] from
// them) and the environment; the argument wins over the environment. A
// malformed size is refused: false with `error` set.
bool ParseDisplayOptions(std::vector<std::string>& args, const char* env_value, DisplayOptions* out,
                         std::string* error);
// The same for main's argc/argv, reading MARIVEL_DISPLAY.
bool ParseDisplayOptions(int& argc, char** argv, DisplayOptions* out, std::string* error);

using BackendFactory = std::function<std::unique_ptr<Backend>(const DisplayOptions&, std::string* error)>;
void RegisterBackendFactory(const std::string& name, BackendFactory factory);

// Starts the display on the calling thread; false with `error` when the
// backend cannot start. Stopping detaches it (windows stay).
bool StartDisplay(const DisplayOptions& options, std::string* error);
void StopDisplay();
Backend* CurrentBackend();
// The headless backend when it is the current one, else null.
HeadlessBackend* CurrentHeadless();
// Composes and presents what changed now (on the display thread).
void ComposeNow();
// Called by a backend (on the display thread) when its screen changed size:
// the screen is composed again at the new size and every top-level window
// gets WM_DISPLAYCHANGE (32 bits per pixel, the size in lParam).
void ScreenSizeChanged();
// From another thread (a test or the scripted-input runner): waits until the
// display thread has handled everything submitted before the call and gone
// idle, composed and presented. False on time-out (real milliseconds), when
// no display runs, or when called on the display thread itself.
bool WaitForDisplayIdle(unsigned timeout_ms);

}  // namespace plat::display
