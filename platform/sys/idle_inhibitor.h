// Keeping the screen awake while something is watched: one reference-counted
// hold on the desktop's idle handling. The first holder makes the backend
// take the hold, the last one to let go gives it back. The bus backend asks
// the session's screen saver (org.freedesktop.ScreenSaver Inhibit) and
// logind (an "idle" inhibitor); a bus or service that is absent means that
// part simply does nothing. UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace plat {

// One way of holding the idle handling off.
class IdleInhibitBackend {
 public:
  virtual ~IdleInhibitBackend() = default;
  // Takes the hold; false when nothing would take it.
  virtual bool Acquire(const std::string& why) = 0;
  // Gives back whatever Acquire took (nothing when it took nothing).
  virtual void Release() = 0;
};

class IdleInhibitor {
 public:
  explicit IdleInhibitor(std::unique_ptr<IdleInhibitBackend> backend, std::string why = "Playing media");
  ~IdleInhibitor();
  IdleInhibitor(const IdleInhibitor&) = delete;
  IdleInhibitor& operator=(const IdleInhibitor&) = delete;

  void Hold();
  // Ignored without a matching Hold.
  void Drop();
  int Holders() const { return holders_; }

 private:
  std::unique_ptr<IdleInhibitBackend> backend_;
  std::string why_;
  int holders_ = 0;
};

// The desktop's screen saver on the session bus and logind's idle inhibitor
// on the system bus. Empty addresses mean the user's and the system's bus.
// Method calls wait at most two seconds.
class BusIdleInhibitBackend final : public IdleInhibitBackend {
 public:
  explicit BusIdleInhibitBackend(std::string sessionAddress = {}, std::string systemAddress = {});
  ~BusIdleInhibitBackend() override;
  bool Acquire(const std::string& why) override;
  void Release() override;

  bool ScreenSaverHeld() const { return cookie_ != 0; }
  bool LogindHeld() const { return fd_ >= 0; }

 private:
  struct SessionBus;
  std::string sessionAddress_, systemAddress_;
  std::unique_ptr<SessionBus> session_;  // kept open: the screen saver drops a hold when its caller leaves
  std::uint32_t cookie_ = 0;
  int fd_ = -1;
};

}  // namespace plat
