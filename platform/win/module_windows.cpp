// Windows and classes of a library that is about to be unloaded.
//
// A class belongs to the module holding its window procedure, a window to
// the module of its class and to the module of its current procedure (a
// subclassed window). Before the module goes, its windows are destroyed
// while their procedures still exist, and its classes are unregistered, so
// that a class name registered again after a reload names the new code.
#include <vector>

#include "platform/sys/module_release.h"
#include "platform/win/internal.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace plat::win {
namespace {

struct WindowOfModule {
  HWND handle = nullptr;
  WNDPROC proc = nullptr;
  ModuleId classModule = nullptr;
  DWORD thread = 0;
};

bool ReleaseModuleWindows(ModuleId module) {
  std::vector<WindowOfModule> windows;
  {
    WindowGuard guard(WindowLock());
    ForEachWindowLocked([&](WindowObject& w) {
      if (w.destroying) return;
      windows.push_back({w.handle, w.proc, w.cls ? w.cls->module : nullptr, w.queue ? w.queue->thread_id : 0});
    });
  }
  // Outside the window lock: the loader takes locks of its own.
  std::vector<HWND> doomed;
  const DWORD self = GetCurrentThreadId();
  for (const WindowOfModule& w : windows) {
    if (w.classModule != module && ModuleOfAddress(reinterpret_cast<const void*>(w.proc)) != module) continue;
    // Only its own thread destroys a window: while another thread's window
    // runs the library's code, the library stays.
    if (w.thread != self) return false;
    doomed.push_back(w.handle);
  }
  for (HWND hwnd : doomed)
    if (IsWindow(hwnd)) DestroyWindow(hwnd);

  bool released = true;
  WindowGuard guard(WindowLock());
  for (const auto& cls : ClassesLocked())
    if (cls->module == module && !UnregisterClassLocked(cls)) released = false;
  return released;
}

// Registered for as long as the window system is loaded.
struct Registration {
  Registration() {
    // The window table is built first so that it outlives this registration.
    {
      WindowGuard guard(WindowLock());
      ClassesLocked();
    }
    id = AddModuleReleaser(&ReleaseModuleWindows);
  }
  ~Registration() { RemoveModuleReleaser(id); }
  ModuleReleaserId id = 0;
};

const Registration registration;

}  // namespace
}  // namespace plat::win
