// Scripted input: a plain-text list of steps that drives the program as a
// user would, for demonstrations and end-to-end tests on the headless
// display. One step per line; blank lines and lines starting with '#' are
// skipped:
//   key NAME      press and release a key (Right, Return, Escape, F1, A ...)
//   wait MS       let the program run on for MS milliseconds
//   click X Y     left click at screen point X, Y
//   shot FILE     write the screen as a PNG picture (headless display only)
//   check FILE    write the screen to FILE as shot does, then hold until
//                 FILE.ok exists (go on) or FILE is gone (write it anew): a
//                 test driving the program takes pictures this way until the
//                 screen shows what it must, instead of guessing a wait
//   close         ask the main frame to close (WM_CLOSE)
//   choose PATH...  the answer of the next file dialog: these paths (one
//                 word each); "choose" alone cancels it. A dialog with no
//                 answer waiting is cancelled.
// The runner lives on the UI thread and moves on from timers, so the message
// loop keeps running while it waits.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/types.h"

struct ScriptStep {
  enum class Kind { Key, Wait, Click, Shot, Check, Close, Choose };
  Kind kind = Kind::Wait;
  plat::UINT vk = 0;  // Key
  int ms = 0;         // Wait
  int x = 0, y = 0;   // Click
  std::string path;   // Shot, Check
  std::vector<std::string> paths;  // Choose
  int line = 0;       // where it stands in the script, from 1
};

// The virtual-key code of a key name (case-insensitive), or nothing.
std::optional<plat::UINT> KeyFromName(std::string_view name);

// Reads a script; on the first bad line returns false with `error` as
// "line N: what is wrong".
bool ParseScript(std::string_view text, std::vector<ScriptStep>& steps, std::string& error);
// Reads the script file `path`; errors name the file ("FILE:N: ...").
bool LoadScript(const std::string& path, std::vector<ScriptStep>& steps, std::string& error);

class CScriptRunner {
 public:
  // Called once when the last step has run (ok) or a step failed (message).
  using Done = std::function<void(bool ok, const std::string& error)>;

  // `frame` answers the window "close" is posted to.
  CScriptRunner(std::vector<ScriptStep> steps, std::function<plat::HWND()> frame, Done done);
  ~CScriptRunner();
  CScriptRunner(const CScriptRunner&) = delete;
  CScriptRunner& operator=(const CScriptRunner&) = delete;

  // Begins with the first step once the message loop has gone idle.
  bool Start();
  bool Finished() const { return finished_; }

  // Pause between steps, so that what one step set off is handled before
  // the next (timers come only when the queue is otherwise empty).
  static constexpr unsigned kStepPauseMs = 10;
  // How often a check step looks for its driver's answer.
  static constexpr unsigned kCheckPollMs = 25;
  // A check step with no answer for this long ends the script as failed.
  static constexpr int kCheckMaxMs = 600'000;

 private:
  static plat::LRESULT Proc(plat::HWND window, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void OnTimer();
  void Schedule(unsigned ms);
  // Runs the step; false with `error` when it failed.
  bool Run(const ScriptStep& step, std::string& error);
  void Finish(bool ok, const std::string& error);
  // The check step in progress: false with `error` when it failed; `holding`
  // stays true while its picture waits for an answer.
  bool Check(const ScriptStep& step, std::string& error);


  std::vector<ScriptStep> steps_;
  std::size_t next_ = 0;
  std::function<plat::HWND()> frame_;
  Done done_;
  plat::HWND window_ = nullptr;  // message-only window that owns the step timer
  bool finished_ = false;
  bool holding_ = false;                            // a check step waits for its answer
  std::chrono::steady_clock::time_point heldSince_;  // since its first picture
  // The file dialog's answers the choose steps have queued, shared with the
  // chooser this runner installs while it lives.
  std::shared_ptr<std::vector<std::vector<std::string>>> answers_;
};
