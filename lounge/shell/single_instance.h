// One running copy of the program per user. The first copy holds an
// exclusive lock on a file in the user's runtime folder ($XDG_RUNTIME_DIR, or
// the settings folder when there is none) and listens on a local socket
// beside it. A second start finds the lock taken, asks the first copy through
// the socket to bring its window forward, and ends. A lock file that belongs
// to another user means that user's copy runs.
#pragma once

#include <functional>
#include <string>

#include "platform/core/types.h"
#include "platform/win/message.h"

class CSingleInstance {
 public:
  enum class Outcome {
    First,        // this is the running copy (the lock is held until destruction)
    AnotherRuns,  // a copy of this user runs; it was asked to come forward
    OtherUser,    // another user's copy holds the lock
  };

  // The application identifier the lock and socket are named after.
  static constexpr const char* kAppId = "{6A1F6D16-7994-4c6d-9251-11BFB2A4A958}";

  // `folder` empty: DefaultFolder().
  explicit CSingleInstance(std::string folder = {});
  ~CSingleInstance();
  CSingleInstance(const CSingleInstance&) = delete;
  CSingleInstance& operator=(const CSingleInstance&) = delete;

  // Takes the lock. As the first copy, starts answering second starts on the
  // calling thread's message loop; `onRaise` then runs on this thread, from
  // a posted message, for each second start. When the lock file cannot be
  // made at all (no folder), the program runs as the first copy without it.
  Outcome Acquire(std::function<void()> onRaise);

  std::string LockPath() const;
  std::string SocketPath() const;

  // $XDG_RUNTIME_DIR when it names a folder, else the settings folder.
  static std::string DefaultFolder();

 private:
  void Listen();
  void Answer();
  static plat::LRESULT RelayProc(plat::HWND window, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);

  std::string folder_;
  int lockFd_ = -1;
  int listenFd_ = -1;
  plat::FdWatchId watch_ = 0;
  plat::HWND relay_ = nullptr;  // message-only window the raise request is posted to
  std::function<void()> onRaise_;
};

// Asks the copy listening on `socketPath` to come forward; true when it
// answered within the time-out.
bool AskRunningCopyToRaise(const std::string& socketPath, int timeoutMs = 2000);
