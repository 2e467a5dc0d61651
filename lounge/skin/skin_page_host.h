// What a skin page needs from the program around it: the configuration root,
// the system's action execution, the frame's bars and the click sounds. The
// shell hands every page one host; tests give a recording fake. The defaults
// stand for "that service is absent" (no configuration, no bars), except the
// sounds, which go to the window system's sound service.
#pragma once

#include <string>

#include "platform/audio/sound/sound.h"
#include "platform/core/types.h"

class CConfig;

class ISkinPageHost {
 public:
  // The configuration root of the system core; null before it exists.
  virtual CConfig* GetConfig() { return nullptr; }
  // Runs a named action through the UI system; its handler's result.
  virtual int ExecuteAction(const std::string& name, long param1, long param2) {
    (void)name, (void)param1, (void)param2;
    return 0;
  }
  // Plays (or, with a null name, stops) a click sound.
  virtual void PlaySound(const char* file, plat::DWORD flags) { plat::PlaySound(file, nullptr, flags); }
  // A key arrived while the page's bar-hide timer runs: keys take over from
  // the mouse, so the frame hides the visible caption and playback bars.
  virtual void HideBarsOnKey() {}
  // Whether the playback bar exists, and its state query for a button
  // action (out-values preset by the caller).
  virtual bool HasPlaybackBar() { return false; }
  virtual int QueryPlaybackBarButtonState(const std::string& action, int* shown, int* enabled, int* checked) {
    (void)action, (void)shown, (void)enabled, (void)checked;
    return 0;
  }
  // Height of the caption bar's last painted area, and whether the frame is
  // being dragged by it.
  virtual int CaptionBarPaintedHeight() { return 0; }
  virtual bool IsCaptionDragging() { return false; }
  // The main frame window: the parent of the rename key pad's edit box.
  virtual plat::HWND MainFrame() { return nullptr; }

 protected:
  ~ISkinPageHost() = default;
};
