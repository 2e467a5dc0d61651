#include "platform/sys/idle_inhibitor.h"

#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <utility>

namespace plat {

namespace {

constexpr const char* kProgram = "Marivel";
constexpr std::uint64_t kCallTimeoutUsec = 2'000'000;

constexpr const char* kScreenSaver = "org.freedesktop.ScreenSaver";
constexpr const char* kScreenSaverPath = "/org/freedesktop/ScreenSaver";
constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";

struct BusDeleter {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using BusPtr = std::unique_ptr<sd_bus, BusDeleter>;

// Opens `address`, or the user's (`user`) or system's bus when it is empty.
BusPtr OpenBus(const std::string& address, bool user) {
  sd_bus* raw = nullptr;
  if (address.empty()) {
    if ((user ? sd_bus_open_user(&raw) : sd_bus_open_system(&raw)) < 0) return nullptr;
    BusPtr bus(raw);
    sd_bus_set_method_call_timeout(bus.get(), kCallTimeoutUsec);
    return bus;
  }
  if (sd_bus_new(&raw) < 0) return nullptr;
  BusPtr bus(raw);
  if (sd_bus_set_address(raw, address.c_str()) < 0 || sd_bus_set_bus_client(raw, 1) < 0 ||
      sd_bus_negotiate_fds(raw, 1) < 0 || sd_bus_start(raw) < 0) {
    return nullptr;
  }
  sd_bus_set_method_call_timeout(bus.get(), kCallTimeoutUsec);
  return bus;
}

// Calls a method and hands its reply to `read`; false when the call fails.
template <typename Read, typename... Args>
bool Call(sd_bus* bus, const char* service, const char* path, const char* interface, const char* method,
          Read&& read, const char* signature, Args... args) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  bool ok = sd_bus_call_method(bus, service, path, interface, method, &error, &reply, signature, args...) >= 0;
  if (ok) ok = read(reply);
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  return ok;
}

}  // namespace

IdleInhibitor::IdleInhibitor(std::unique_ptr<IdleInhibitBackend> backend, std::string why)
    : backend_(std::move(backend)), why_(std::move(why)) {}

IdleInhibitor::~IdleInhibitor() {
  if (holders_ > 0 && backend_) backend_->Release();
}

void IdleInhibitor::Hold() {
  if (holders_++ == 0 && backend_) backend_->Acquire(why_);
}

void IdleInhibitor::Drop() {
  if (holders_ == 0) return;
  if (--holders_ == 0 && backend_) backend_->Release();
}

struct BusIdleInhibitBackend::SessionBus {
  BusPtr bus;
};

BusIdleInhibitBackend::BusIdleInhibitBackend(std::string sessionAddress, std::string systemAddress)
    : sessionAddress_(std::move(sessionAddress)), systemAddress_(std::move(systemAddress)) {}

BusIdleInhibitBackend::~BusIdleInhibitBackend() { Release(); }

bool BusIdleInhibitBackend::Acquire(const std::string& why) {
  if (cookie_ == 0) {
    if (BusPtr bus = OpenBus(sessionAddress_, true)) {
      std::uint32_t cookie = 0;
      const bool ok = Call(
          bus.get(), kScreenSaver, kScreenSaverPath, kScreenSaver, "Inhibit",
          [&](sd_bus_message* reply) { return sd_bus_message_read(reply, "u", &cookie) >= 0; }, "ss", kProgram,
          why.c_str());
      if (ok && cookie != 0) {
        cookie_ = cookie;
        session_ = std::make_unique<SessionBus>(SessionBus{std::move(bus)});
      }
    }
  }
  if (fd_ < 0) {
    if (BusPtr bus = OpenBus(systemAddress_, false)) {
      Call(
          bus.get(), kLogind, kLogindPath, kLogindManager, "Inhibit",
          [&](sd_bus_message* reply) {
            int fd = -1;
            // The reply owns its descriptor; our copy is the hold.
            if (sd_bus_message_read(reply, "h", &fd) < 0 || fd < 0) return false;
            fd_ = fcntl(fd, F_DUPFD_CLOEXEC, 3);
            return fd_ >= 0;
          },
          "ssss", "idle", kProgram, why.c_str(), "block");
    }
  }
  return cookie_ != 0 || fd_ >= 0;
}

void BusIdleInhibitBackend::Release() {
  if (cookie_ != 0 && session_) {
    Call(
        session_->bus.get(), kScreenSaver, kScreenSaverPath, kScreenSaver, "UnInhibit",
        [](sd_bus_message*) { return true; }, "u", cookie_);
  }
  cookie_ = 0;
  session_.reset();
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace plat
