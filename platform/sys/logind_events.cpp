#include "platform/sys/logind_events.h"

#include <fcntl.h>
#include <poll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/win/message.h"

namespace plat {

namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";
constexpr const char* kLogindSession = "org.freedesktop.login1.Session";
constexpr const char* kUPower = "org.freedesktop.UPower";
constexpr const char* kUPowerPath = "/org/freedesktop/UPower";
// Method calls are answered at once by a live service; a stuck one must not
// hold the UI thread for the bus's default 25 s.
constexpr std::uint64_t kCallTimeoutUsec = 2'000'000;

struct BusDeleter {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using BusPtr = std::unique_ptr<sd_bus, BusDeleter>;

BusPtr OpenBus(const std::string& address) {
  sd_bus* raw = nullptr;
  if (address.empty()) {
    if (sd_bus_open_system(&raw) < 0) return nullptr;
    BusPtr bus(raw);
    sd_bus_set_method_call_timeout(bus.get(), kCallTimeoutUsec);
    return bus;
  }
  if (sd_bus_new(&raw) < 0) return nullptr;
  BusPtr bus(raw);
  if (sd_bus_set_address(bus.get(), address.c_str()) < 0 || sd_bus_set_bus_client(bus.get(), 1) < 0 ||
      sd_bus_negotiate_fds(bus.get(), 1) < 0 || sd_bus_start(bus.get()) < 0) {
    return nullptr;
  }
  sd_bus_set_method_call_timeout(bus.get(), kCallTimeoutUsec);
  return bus;
}

// The object path of the session this process runs in, or empty.
std::string OwnSessionPath(sd_bus* bus) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  std::string path;
  if (sd_bus_call_method(bus, kLogind, kLogindPath, kLogindManager, "GetSessionByPID", &error, &reply, "u",
                         static_cast<std::uint32_t>(getpid())) >= 0) {
    const char* text = nullptr;
    if (sd_bus_message_read(reply, "o", &text) >= 0 && text) path = text;
  }
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  return path;
}

bool NameHasOwner(sd_bus* bus, const char* name) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  int owned = 0;
  if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                         &error, &reply, "s", name) >= 0) {
    if (sd_bus_message_read(reply, "b", &owned) < 0) owned = 0;
  }
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  return owned != 0;
}

int OnPrepareForSleep(sd_bus_message* m, void*, sd_bus_error*) {
  int starting = 0;
  if (sd_bus_message_read(m, "b", &starting) < 0) return 0;
  SystemEvents().PostPower(starting ? PBT_APMSUSPEND : PBT_APMRESUMEAUTOMATIC);
  return 0;
}

int OnLock(sd_bus_message*, void*, sd_bus_error*) {
  SystemEvents().PostSession(WTS_SESSION_LOCK);
  return 0;
}

int OnUnlock(sd_bus_message*, void*, sd_bus_error*) {
  SystemEvents().PostSession(WTS_SESSION_UNLOCK);
  return 0;
}

// Whether a PropertiesChanged message names `property` as changed or
// invalidated.
bool NamesProperty(sd_bus_message* m, const char* property) {
  const char* interface = nullptr;
  if (sd_bus_message_read(m, "s", &interface) < 0) return false;
  bool found = false;
  if (sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "{sv}") < 0) return false;
  while (sd_bus_message_enter_container(m, SD_BUS_TYPE_DICT_ENTRY, "sv") > 0) {
    const char* name = nullptr;
    if (sd_bus_message_read(m, "s", &name) < 0 || sd_bus_message_skip(m, "v") < 0) return found;
    found = found || (name && std::strcmp(name, property) == 0);
    if (sd_bus_message_exit_container(m) < 0) return found;
  }
  if (sd_bus_message_exit_container(m) < 0) return found;
  if (sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "s") < 0) return found;
  const char* name = nullptr;
  while (sd_bus_message_read(m, "s", &name) > 0) found = found || (name && std::strcmp(name, property) == 0);
  sd_bus_message_exit_container(m);
  return found;
}

// UPower's OnBattery changed: the machine went to mains or to battery.
int OnUPowerChanged(sd_bus_message* m, void*, sd_bus_error*) {
  if (NamesProperty(m, "OnBattery")) SystemEvents().PostPower(PBT_APMPOWERSTATUSCHANGE);
  return 0;
}

}  // namespace

// One bus connection with its signal matches and its watch on the loop.
class BusConnection {
 public:
  explicit BusConnection(BusPtr bus) : bus_(std::move(bus)) {}
  ~BusConnection() {
    if (watch_) UnwatchFd(watch_);
    for (sd_bus_slot* slot : slots_) sd_bus_slot_unref(slot);
  }

  void Match(const char* sender, const char* path, const char* interface, const char* member,
             sd_bus_message_handler_t handler) {
    sd_bus_slot* slot = nullptr;
    if (sd_bus_match_signal(bus_.get(), &slot, sender, path, interface, member, handler, nullptr) >= 0) {
      slots_.push_back(slot);
    }
  }

  void Watch() {
    sd_bus_flush(bus_.get());
    watch_ = WatchFd(sd_bus_get_fd(bus_.get()), POLLIN, [this](int, short) { Process(); });
    // Signals read in while the matches were set up are already queued.
    Process();
  }

  sd_bus* Get() const { return bus_.get(); }
  bool Alive() const { return bus_ != nullptr; }

 private:
  void Process() {
    if (!bus_) return;
    int r = 0;
    while ((r = sd_bus_process(bus_.get(), nullptr)) > 0) {
    }
    // The bus went away: stop watching a descriptor that would only hang up.
    if (r < 0) {
      UnwatchFd(watch_);
      watch_ = 0;
      bus_.reset();
    }
  }

  BusPtr bus_;
  std::vector<sd_bus_slot*> slots_;
  FdWatchId watch_ = 0;
};

LogindEventSource::LogindEventSource(std::string busAddress) : address_(std::move(busAddress)) {}
LogindEventSource::~LogindEventSource() = default;

void LogindEventSource::Start() {
  if (bus_) return;
  BusPtr bus = OpenBus(address_);
  if (!bus) return;
  auto connection = std::make_unique<BusConnection>(std::move(bus));
  connection->Match(kLogind, kLogindPath, kLogindManager, "PrepareForSleep", &OnPrepareForSleep);
  const std::string session = OwnSessionPath(connection->Get());
  if (!session.empty()) {
    connection->Match(kLogind, session.c_str(), kLogindSession, "Lock", &OnLock);
    connection->Match(kLogind, session.c_str(), kLogindSession, "Unlock", &OnUnlock);
  }
  connection->Match(kUPower, kUPowerPath, "org.freedesktop.DBus.Properties", "PropertiesChanged", &OnUPowerChanged);
  upower_ = NameHasOwner(connection->Get(), kUPower);
  connection->Watch();
  bus_ = std::move(connection);
}

void LogindEventSource::Stop() {
  bus_.reset();
  upower_ = false;
}

bool LogindEventSource::Connected() const { return bus_ && bus_->Alive(); }

LogindSleepInhibitor::LogindSleepInhibitor(std::string busAddress) : address_(std::move(busAddress)) {}
LogindSleepInhibitor::~LogindSleepInhibitor() { Release(); }

bool LogindSleepInhibitor::Acquire(const char* why) {
  if (fd_ >= 0) return true;
  BusPtr bus = OpenBus(address_);
  if (!bus) return false;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  if (sd_bus_call_method(bus.get(), kLogind, kLogindPath, kLogindManager, "Inhibit", &error, &reply, "ssss", "sleep",
                         "Marivel", why ? why : "", "block") >= 0) {
    int fd = -1;
    // The reply owns its descriptor; our copy is the hold.
    if (sd_bus_message_read(reply, "h", &fd) >= 0 && fd >= 0) fd_ = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  }
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  return fd_ >= 0;
}

void LogindSleepInhibitor::Release() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace plat
