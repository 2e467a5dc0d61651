// The live notice sources: logind and UPower signals on a private bus with a
// fake logind, the sleep hold, an absent bus, and volume changes from
// synthetic block-device events over a fake drive table.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <linux/input.h>
#include <optional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sys/logind_events.h"
#include "platform/sys/power_events.h"
#include "platform/sys/power_status.h"
#include "platform/sys/remote_keys.h"
#include "platform/sys/volume_events.h"
#include "platform/win/message.h"
#include "platform/win/win_types.h"
#include "platform/win/window.h"
#include "tests/support/private_bus.h"

extern char** environ;

namespace {

using namespace plat;

using test_support::PrivateBus;

constexpr const char* kSession = "/org/freedesktop/login1/session/_31";

// logind and UPower as far as the sources use them, served on their own
// thread: GetSessionByPID, Inhibit, and signals on request.
class FakeLogind {
 public:
  explicit FakeLogind(const std::string& address) {
    sd_bus_new(&bus_);
    sd_bus_set_address(bus_, address.c_str());
    sd_bus_set_bus_client(bus_, 1);
    sd_bus_negotiate_fds(bus_, 1);
    ok_ = sd_bus_start(bus_) >= 0 && sd_bus_request_name(bus_, "org.freedesktop.login1", 0) >= 0 &&
          sd_bus_request_name(bus_, "org.freedesktop.UPower", 0) >= 0 &&
          sd_bus_add_object(bus_, &slot_, "/org/freedesktop/login1", &FakeLogind::OnCall, this) >= 0;
    if (ok_) thread_ = std::thread([this] { Run(); });
  }
  ~FakeLogind() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    sd_bus_slot_unref(slot_);
    sd_bus_flush_close_unref(bus_);
    for (int fd : holds_) close(fd);
  }
  bool Ok() const { return ok_; }

  // Runs `emit` on the fake's thread with its bus.
  void Emit(std::function<void(sd_bus*)> emit) {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(emit));
  }

  std::vector<std::string> Inhibits() {
    std::lock_guard lock(mutex_);
    return inhibits_;
  }
  // The read end of the last hold handed out: it hangs up once every copy
  // of the write end is closed.
  int LastHold() {
    std::lock_guard lock(mutex_);
    return holds_.empty() ? -1 : holds_.back();
  }

 private:
  static int OnCall(sd_bus_message* m, void* self, sd_bus_error*) {
    auto* fake = static_cast<FakeLogind*>(self);
    const char* manager = "org.freedesktop.login1.Manager";
    if (sd_bus_message_is_method_call(m, manager, "GetSessionByPID")) {
      return sd_bus_reply_method_return(m, "o", kSession);
    }
    if (sd_bus_message_is_method_call(m, manager, "Inhibit")) {
      const char *what = nullptr, *who = nullptr, *why = nullptr, *mode = nullptr;
      if (sd_bus_message_read(m, "ssss", &what, &who, &why, &mode) < 0) return -EINVAL;
      int ends[2];
      if (pipe2(ends, O_CLOEXEC) != 0) return -errno;
      {
        std::lock_guard lock(fake->mutex_);
        fake->inhibits_.push_back(std::string(what) + "|" + who + "|" + why + "|" + mode);
        fake->holds_.push_back(ends[0]);
      }
      const int r = sd_bus_reply_method_return(m, "h", ends[1]);
      close(ends[1]);
      return r;
    }
    return 0;
  }

  void Run() {
    while (!stop_) {
      std::vector<std::function<void(sd_bus*)>> work;
      {
        std::lock_guard lock(mutex_);
        work.swap(pending_);
      }
      for (auto& emit : work) emit(bus_);
      while (sd_bus_process(bus_, nullptr) > 0) {
      }
      sd_bus_wait(bus_, 20'000);
    }
  }

  sd_bus* bus_ = nullptr;
  sd_bus_slot* slot_ = nullptr;
  bool ok_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::function<void(sd_bus*)>> pending_;
  std::vector<std::string> inhibits_;
  std::vector<int> holds_;
};

struct Notice {
  UINT msg;
  WPARAM wParam;
  DWORD unitMask;
};
std::vector<Notice> g_notices;

LRESULT NoticeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_POWERBROADCAST || msg == WM_WTSSESSION_CHANGE) g_notices.push_back({msg, wParam, 0});
  if (msg == WM_DEVICECHANGE) {
    g_notices.push_back({msg, wParam, reinterpret_cast<DEV_BROADCAST_VOLUME*>(lParam)->dbcv_unitmask});
    FreeDeviceRecord(lParam);
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// A window subscribed to the notices, and a bounded message pump.
class NoticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_notices.clear();
    WNDCLASS wc{};
    wc.lpfnWndProc = NoticeProc;
    wc.lpszClassName = "SysEventsNoticeTest";
    RegisterClass(&wc);
    window_ = CreateWindowEx(0, "SysEventsNoticeTest", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    SystemEvents().Subscribe(window_);
  }
  void TearDown() override {
    SystemEvents().Unsubscribe(window_);
    DestroyWindow(window_);
  }

  // Pumps until `count` notices arrived or twenty seconds passed.
  void PumpUntil(std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (g_notices.size() < count && std::chrono::steady_clock::now() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      MSG msg;
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    }
  }
  // Gives stray notices a moment to arrive.
  void PumpFor(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG msg;
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    }
  }

  HWND window_ = nullptr;
};

void EmitSleep(FakeLogind& fake, bool starting) {
  fake.Emit([starting](sd_bus* bus) {
    sd_bus_emit_signal(bus, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", "b",
                       starting ? 1 : 0);
  });
}

void EmitSession(FakeLogind& fake, const char* path, const char* member) {
  fake.Emit([path, member](sd_bus* bus) { sd_bus_emit_signal(bus, path, "org.freedesktop.login1.Session", member, ""); });
}

TEST_F(NoticeTest, LogindAndUPowerSignalsBecomeTheSystemMessages) {
  PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "no dbus-daemon";
  FakeLogind fake(bus.Address());
  ASSERT_TRUE(fake.Ok());
  LogindEventSource source(bus.Address());
  source.Start();
  ASSERT_TRUE(source.Connected());
  EXPECT_TRUE(source.UPowerPresent());

  EmitSleep(fake, true);
  EmitSleep(fake, false);
  // Another session's lock is not ours.
  EmitSession(fake, "/org/freedesktop/login1/session/_99", "Lock");
  EmitSession(fake, kSession, "Lock");
  EmitSession(fake, kSession, "Unlock");
  // The lid is not the power source; OnBattery, changed or invalidated, is.
  fake.Emit([](sd_bus* b) {
    const char* props = "org.freedesktop.DBus.Properties";
    sd_bus_emit_signal(b, "/org/freedesktop/UPower", props, "PropertiesChanged", "sa{sv}as", "org.freedesktop.UPower",
                       1, "LidIsClosed", "b", 1, 0);
    sd_bus_emit_signal(b, "/org/freedesktop/UPower", props, "PropertiesChanged", "sa{sv}as", "org.freedesktop.UPower",
                       2, "LidIsClosed", "b", 0, "OnBattery", "b", 1, 0);
    sd_bus_emit_signal(b, "/org/freedesktop/UPower", props, "PropertiesChanged", "sa{sv}as", "org.freedesktop.UPower",
                       0, 1, "OnBattery");
  });
  PumpUntil(6);
  PumpFor(100);

  const std::vector<std::pair<UINT, WPARAM>> expected = {
      {WM_POWERBROADCAST, PBT_APMSUSPEND},       {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
      {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK},  {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK},
      {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE}, {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE},
  };
  ASSERT_EQ(g_notices.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(g_notices[i].msg, expected[i].first) << i;
    EXPECT_EQ(g_notices[i].wParam, expected[i].second) << i;
  }

  // Stopped, the source hears nothing more.
  source.Stop();
  EmitSleep(fake, true);
  PumpFor(150);
  EXPECT_EQ(g_notices.size(), expected.size());
}

TEST(SleepInhibitorTest, HoldsLogindsBlockInhibitorUntilReleased) {
  PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "no dbus-daemon";
  FakeLogind fake(bus.Address());
  ASSERT_TRUE(fake.Ok());
  {
    LogindSleepInhibitor inhibitor(bus.Address());
    ASSERT_TRUE(inhibitor.Acquire("keeps playing"));
    EXPECT_TRUE(inhibitor.Held());
    EXPECT_TRUE(inhibitor.Acquire("again"));  // one hold, not two
    ASSERT_EQ(fake.Inhibits(), std::vector<std::string>{"sleep|Marivel|keeps playing|block"});

    // While held, the hold's far end stays open.
    pollfd p{fake.LastHold(), POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 0), 0);
    inhibitor.Release();
    EXPECT_FALSE(inhibitor.Held());
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
  }
}

TEST_F(NoticeTest, AbsentBusMeansNoEventsAndNoHold) {
  const std::string nowhere = "unix:path=/nonexistent/marivel-test-bus";
  LogindEventSource source(nowhere);
  source.Start();
  EXPECT_FALSE(source.Connected());
  EXPECT_FALSE(source.UPowerPresent());
  source.Stop();
  LogindSleepInhibitor inhibitor(nowhere);
  EXPECT_FALSE(inhibitor.Acquire("no bus"));
  EXPECT_FALSE(inhibitor.Held());
  inhibitor.Release();
  PumpFor(50);
  EXPECT_TRUE(g_notices.empty());
}

VolumeInfo Volume(char letter, UINT type, std::string device, std::string root) {
  VolumeInfo v;
  v.letter = letter;
  v.type = type;
  v.device = std::move(device);
  v.root = std::move(root);
  return v;
}

TEST(VolumeChangeTrackerTest, BlockEventsBecomeChangesOfTheirDrive) {
  auto table = std::make_shared<FakeVolumeSource>();
  table->volumes = {Volume('C', DRIVE_FIXED, "/dev/sda1", "/"), Volume('D', DRIVE_CDROM, "/dev/sr0", "")};
  SetVolumeSource(table);
  VolumeChangeTracker tracker;
  constexpr DWORD D = 1u << 3, E = 1u << 4;
  const VolumeChange arrivalD{DBT_DEVICEARRIVAL, D}, removalD{DBT_DEVICEREMOVECOMPLETE, D};
  const VolumeChange arrivalE{DBT_DEVICEARRIVAL, E}, removalE{DBT_DEVICEREMOVECOMPLETE, E};

  struct Step {
    const char* what;
    std::vector<VolumeInfo> table;  // the drive table after the event
    BlockDeviceEvent event;
    std::vector<VolumeChange> expected;
  };
  const VolumeInfo c = Volume('C', DRIVE_FIXED, "/dev/sda1", "/");
  const VolumeInfo d = Volume('D', DRIVE_CDROM, "/dev/sr0", "");
  const VolumeInfo dMounted = Volume('D', DRIVE_CDROM, "/dev/sr0", "/media/disc");
  const VolumeInfo e = Volume('E', DRIVE_REMOVABLE, "/dev/sdb1", "/media/stick");
  const VolumeInfo eUnmounted = Volume('E', DRIVE_REMOVABLE, "/dev/sdb1", "");
  const VolumeInfo fEmpty = Volume('F', DRIVE_REMOVABLE, "", "");
  const VolumeInfo fCard = Volume('F', DRIVE_REMOVABLE, "", "/home/ann/card");
  constexpr DWORD F = 1u << 5;
  const VolumeChange arrivalF{DBT_DEVICEARRIVAL, F}, removalF{DBT_DEVICEREMOVECOMPLETE, F};
  const std::vector<Step> steps = {
      {"disc inserted", {c, d}, {"change", "/dev/sr0", true}, {arrivalD}},
      {"disc mounted: no second arrival", {c, dMounted}, {}, {}},
      {"disc ejected", {c, d}, {"change", "/dev/sr0", false}, {removalD}},
      {"stick added, not mounted yet", {c, d}, {"add", "/dev/sdb1", false}, {}},
      {"stick mounted", {c, d, e}, {}, {arrivalE}},
      {"unrelated device", {c, d, e}, {"change", "/dev/loop3", false}, {}},
      {"stick unmounted", {c, d, eUnmounted}, {}, {removalE}},
      {"stick pulled with the drive", {c}, {"remove", "/dev/sr0", false}, {removalD, removalE}},
      {"drive back", {c, d}, {"add", "/dev/sr0", false}, {arrivalD}},
      // A declared card slot whose folder comes and goes, with no kernel event.
      {"card slot declared", {c, d, fEmpty}, {}, {arrivalF}},
      {"card folder appears", {c, d, fCard}, {}, {arrivalF}},
      {"card folder goes", {c, d, fEmpty}, {}, {removalF}},
  };
  for (const Step& step : steps) {
    table->volumes = step.table;
    EXPECT_EQ(tracker.OnEvent(step.event), step.expected) << step.what;
  }
  SetVolumeSource(nullptr);
}

TEST_F(NoticeTest, UdevWatcherStartsAndStopsQuietly) {
  auto table = std::make_shared<FakeVolumeSource>();
  SetVolumeSource(table);
  UdevVolumeWatcher watcher;
  watcher.Start();
  watcher.Start();
  PumpFor(50);
  watcher.Stop();
  SetVolumeSource(nullptr);
  EXPECT_TRUE(g_notices.empty());
}

}  // namespace

namespace {

TEST(RemoteKeysTest, KernelKeysMapToTheRemotesCodes) {
  const std::vector<std::pair<unsigned, std::optional<DWORD>>> cases = {
      {KEY_BACK, 1},      {KEY_EXIT, 7},         {KEY_HOMEPAGE, 0x10060000}, {KEY_VOLUMEDOWN, 9},
      {KEY_VOLUMEUP, 10}, {KEY_NEXTSONG, 11},    {KEY_PREVIOUSSONG, 12},     {KEY_STOPCD, 13},
      {KEY_PLAYPAUSE, 14}, {KEY_FASTFORWARD, 49}, {KEY_REWIND, 50},          {KEY_RECORD, 48},
      {KEY_A, std::nullopt}, {KEY_ENTER, std::nullopt},
  };
  for (const auto& [key, code] : cases) EXPECT_EQ(RemoteKeyCode(key), code) << key;

  std::vector<bool> remote(KEY_MAX + 1), keyboard(KEY_MAX + 1), mouse(KEY_MAX + 1);
  remote[KEY_PLAYPAUSE] = remote[KEY_UP] = true;
  keyboard[KEY_PLAYPAUSE] = keyboard[KEY_A] = keyboard[KEY_Z] = true;
  mouse[BTN_LEFT] = true;
  EXPECT_TRUE(IsRemoteKeyDevice(remote));
  EXPECT_FALSE(IsRemoteKeyDevice(keyboard));  // the display backend has it
  EXPECT_FALSE(IsRemoteKeyDevice(mouse));
  EXPECT_FALSE(IsRemoteKeyDevice({}));
}

input_event KeyEvent(unsigned short type, unsigned short code, int value) {
  input_event e{};
  e.type = type;
  e.code = code;
  e.value = value;
  return e;
}

TEST_F(NoticeTest, RemoteKeyPressesReachTheSinkOnThisThread) {
  RemoteKeyReader reader("/nonexistent/input");
  std::vector<DWORD> codes;
  const auto thread = std::this_thread::get_id();
  bool otherThread = false;
  reader.Start([&](DWORD code) {
    codes.push_back(code);
    otherThread = otherThread || std::this_thread::get_id() != thread;
  });
  EXPECT_EQ(reader.DeviceCount(), 0u);  // no devices: idle

  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0);
  reader.Attach(ends[0]);
  const input_event events[] = {
      KeyEvent(EV_KEY, KEY_PLAYPAUSE, 1), KeyEvent(EV_SYN, 0, 0),          KeyEvent(EV_KEY, KEY_PLAYPAUSE, 2),
      KeyEvent(EV_KEY, KEY_PLAYPAUSE, 0), KeyEvent(EV_KEY, KEY_ENTER, 1), KeyEvent(EV_KEY, KEY_STOPCD, 1),
  };
  ASSERT_EQ(write(ends[1], events, sizeof(events)), static_cast<ssize_t>(sizeof(events)));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (codes.size() < 2 && std::chrono::steady_clock::now() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  EXPECT_EQ(codes, (std::vector<DWORD>{14, 13}));  // presses only, mapped keys only
  EXPECT_FALSE(otherThread);

  // The device goes away: it is dropped, not polled forever.
  close(ends[1]);
  const auto gone = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (reader.DeviceCount() != 0 && std::chrono::steady_clock::now() < gone)
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  EXPECT_EQ(reader.DeviceCount(), 0u);
  reader.Stop();
}

}  // namespace

namespace {

TEST_F(NoticeTest, PolledPowerSuppliesPostALineChangeOnce) {
  auto power = std::make_shared<FakePowerSource>();
  power->status_.ACLineStatus = AC_LINE_ONLINE;
  SetPowerSource(power);
  PowerSupplyPoller poller(10);
  poller.Start();
  PumpFor(60);
  EXPECT_TRUE(g_notices.empty());  // no change, no notice
  power->status_.ACLineStatus = AC_LINE_OFFLINE;
  PumpUntil(1);
  PumpFor(60);
  ASSERT_EQ(g_notices.size(), 1u);
  EXPECT_EQ(g_notices[0].msg, WM_POWERBROADCAST);
  EXPECT_EQ(g_notices[0].wParam, PBT_APMPOWERSTATUSCHANGE);
  poller.Stop();
  power->status_.ACLineStatus = AC_LINE_ONLINE;
  PumpFor(60);
  EXPECT_EQ(g_notices.size(), 1u);
  SetPowerSource(nullptr);
}

}  // namespace
