// The idle hold: the backend is asked once for any number of holders, and
// the bus backend takes and gives back the screen saver's cookie and logind's
// idle inhibitor on a private bus; an absent bus holds nothing.
#include "platform/sys/idle_inhibitor.h"
#include "tests/support/private_bus.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace plat;

class CountingBackend final : public IdleInhibitBackend {
 public:
  explicit CountingBackend(std::vector<std::string>& log) : log_(log) {}
  bool Acquire(const std::string& why) override {
    log_.push_back("acquire " + why);
    return true;
  }
  void Release() override { log_.push_back("release"); }

 private:
  std::vector<std::string>& log_;
};

TEST(IdleInhibitorTest, FirstHolderTakesAndLastGivesBack) {
  std::vector<std::string> log;
  {
    IdleInhibitor inhibitor(std::make_unique<CountingBackend>(log), "watching");
    inhibitor.Drop();  // nothing held: ignored
    inhibitor.Hold();
    inhibitor.Hold();
    inhibitor.Drop();
    EXPECT_EQ(log, std::vector<std::string>{"acquire watching"});
    inhibitor.Drop();
    inhibitor.Drop();
    EXPECT_EQ(inhibitor.Holders(), 0);
    inhibitor.Hold();  // held again at the end: given back by the destructor
  }
  EXPECT_EQ(log, (std::vector<std::string>{"acquire watching", "release", "acquire watching", "release"}));
}

using test_support::PrivateBus;

// The screen saver and logind as far as the backend uses them, served on
// their own thread.
class FakeServices {
 public:
  explicit FakeServices(const std::string& address) {
    sd_bus_new(&bus_);
    sd_bus_set_address(bus_, address.c_str());
    sd_bus_set_bus_client(bus_, 1);
    sd_bus_negotiate_fds(bus_, 1);
    ok_ = sd_bus_start(bus_) >= 0 && sd_bus_request_name(bus_, "org.freedesktop.login1", 0) >= 0 &&
          sd_bus_request_name(bus_, "org.freedesktop.ScreenSaver", 0) >= 0 &&
          sd_bus_add_object(bus_, &logind_, "/org/freedesktop/login1", &FakeServices::OnCall, this) >= 0 &&
          sd_bus_add_object(bus_, &saver_, "/org/freedesktop/ScreenSaver", &FakeServices::OnCall, this) >= 0;
    if (ok_) thread_ = std::thread([this] { Run(); });
  }
  ~FakeServices() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    sd_bus_slot_unref(logind_);
    sd_bus_slot_unref(saver_);
    sd_bus_flush_close_unref(bus_);
    for (int fd : holds_) close(fd);
  }
  bool Ok() const { return ok_; }
  std::vector<std::string> Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  int LastHold() {
    std::lock_guard lock(mutex_);
    return holds_.empty() ? -1 : holds_.back();
  }

 private:
  static int OnCall(sd_bus_message* m, void* self, sd_bus_error*) {
    auto* fake = static_cast<FakeServices*>(self);
    if (sd_bus_message_is_method_call(m, "org.freedesktop.login1.Manager", "Inhibit")) {
      const char *what = nullptr, *who = nullptr, *why = nullptr, *mode = nullptr;
      if (sd_bus_message_read(m, "ssss", &what, &who, &why, &mode) < 0) return -EINVAL;
      int ends[2];
      if (pipe2(ends, O_CLOEXEC) != 0) return -errno;
      {
        std::lock_guard lock(fake->mutex_);
        fake->calls_.push_back(std::string("logind ") + what + "|" + who + "|" + why + "|" + mode);
        fake->holds_.push_back(ends[0]);
      }
      const int r = sd_bus_reply_method_return(m, "h", ends[1]);
      close(ends[1]);
      return r;
    }
    if (sd_bus_message_is_method_call(m, "org.freedesktop.ScreenSaver", "Inhibit")) {
      const char *who = nullptr, *why = nullptr;
      if (sd_bus_message_read(m, "ss", &who, &why) < 0) return -EINVAL;
      std::lock_guard lock(fake->mutex_);
      fake->calls_.push_back(std::string("saver inhibit ") + who + "|" + why);
      return sd_bus_reply_method_return(m, "u", 7u);
    }
    if (sd_bus_message_is_method_call(m, "org.freedesktop.ScreenSaver", "UnInhibit")) {
      std::uint32_t cookie = 0;
      if (sd_bus_message_read(m, "u", &cookie) < 0) return -EINVAL;
      std::lock_guard lock(fake->mutex_);
      fake->calls_.push_back("saver uninhibit " + std::to_string(cookie));
      return sd_bus_reply_method_return(m, "");
    }
    return 0;
  }

  void Run() {
    while (!stop_) {
      while (sd_bus_process(bus_, nullptr) > 0) {
      }
      sd_bus_wait(bus_, 20'000);
    }
  }

  sd_bus* bus_ = nullptr;
  sd_bus_slot* logind_ = nullptr;
  sd_bus_slot* saver_ = nullptr;
  bool ok_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> calls_;
  std::vector<int> holds_;
};

TEST(BusIdleInhibitTest, TakesAndGivesBackBothHolds) {
  PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "no dbus-daemon";
  FakeServices fake(bus.Address());
  ASSERT_TRUE(fake.Ok());
  BusIdleInhibitBackend backend(bus.Address(), bus.Address());
  ASSERT_TRUE(backend.Acquire("watching a film"));
  EXPECT_TRUE(backend.ScreenSaverHeld());
  EXPECT_TRUE(backend.LogindHeld());
  EXPECT_EQ(fake.Calls(), (std::vector<std::string>{"saver inhibit Marivel|watching a film",
                                                    "logind idle|Marivel|watching a film|block"}));
  pollfd p{fake.LastHold(), POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 0), 0);

  backend.Release();
  EXPECT_FALSE(backend.ScreenSaverHeld());
  EXPECT_FALSE(backend.LogindHeld());
  EXPECT_EQ(fake.Calls().back(), "saver uninhibit 7");
  ASSERT_EQ(poll(&p, 1, 2000), 1);
  EXPECT_TRUE(p.revents & POLLHUP);
}

TEST(BusIdleInhibitTest, AbsentBusesHoldNothing) {
  const std::string nowhere = "unix:path=/nonexistent/marivel-idle-test-bus";
  BusIdleInhibitBackend backend(nowhere, nowhere);
  EXPECT_FALSE(backend.Acquire("nothing"));
  EXPECT_FALSE(backend.ScreenSaverHeld());
  EXPECT_FALSE(backend.LogindHeld());
  backend.Release();
}

TEST(BusIdleInhibitTest, BusWithoutTheServicesHoldsNothing) {
  PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "no dbus-daemon";
  BusIdleInhibitBackend backend(bus.Address(), bus.Address());
  EXPECT_FALSE(backend.Acquire("nothing"));
  backend.Release();
}

}  // namespace
