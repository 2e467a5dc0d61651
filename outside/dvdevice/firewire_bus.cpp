// FireWire camcorders through libraw1394, librom1394, libavc1394 and
// libiec61883: AV/C tape units listed on every port, their transport driven
// with AV/C commands, their stream received after a CMP connection (DV
// frames through the frame buffer, MPEG-2 TS packets as they come).
#include "outside/dvdevice/firewire_bus.h"

#include <libavc1394/avc1394.h>
#include <libavc1394/avc1394_vcr.h>
#include <libavc1394/rom1394.h>
#include <libiec61883/iec61883.h>
#include <libraw1394/raw1394.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "interfaces/dvdevice.h"
#include "outside/dvdevice/firewire_codes.h"

namespace dvdev {

namespace {

constexpr int kRetries = 2;
constexpr nodeid_t kLocalBus = 0xFFC0;

struct Handle {
  raw1394handle_t h = nullptr;
  explicit Handle(int port) {
    h = raw1394_new_handle();
    if (h && port >= 0 && raw1394_set_port(h, port) < 0) {
      raw1394_destroy_handle(h);
      h = nullptr;
    }
  }
  ~Handle() {
    if (h) raw1394_destroy_handle(h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
};

std::uint8_t SignalMode(raw1394handle_t h, nodeid_t node) {
  const quadlet_t request = AVC1394_CTYPE_STATUS | AVC1394_SUBUNIT_TYPE_VCR | AVC1394_SUBUNIT_ID_0 |
                            AVC1394_VCR_COMMAND_OUTPUT_SIGNAL_MODE | 0xFF;
  const quadlet_t response = avc1394_transaction(h, node, request, kRetries);
  return static_cast<std::uint8_t>(response & 0xFF);
}

int PortCount(raw1394handle_t h) { return h ? raw1394_get_port_info(h, nullptr, 0) : 0; }

class FireWireCamcorder final : public Camcorder {
 public:
  FireWireCamcorder(int port, int node, int kind, double rate)
      : port_(port), node_(static_cast<nodeid_t>(kLocalBus | node)), kind_(kind), rate_(rate), command_(port) {
    stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  }
  ~FireWireCamcorder() override {
    StopReceiving();
    if (stopFd_ >= 0) close(stopFd_);
  }
  bool Open() { return command_.h != nullptr && StartReceiving(); }

  int Kind() const override { return kind_; }
  double FrameRate() const override { return rate_; }
  bool Ready() const override {
    std::lock_guard lock(mutex_);
    return avc1394_vcr_status(command_.h, node_) != 0;
  }
  bool Command(TransportCommand command) override {
    std::lock_guard lock(mutex_);
    switch (command) {
      case TransportCommand::kPlay:
        avc1394_vcr_play(command_.h, node_);
        break;
      case TransportCommand::kPause:
        avc1394_vcr_pause(command_.h, node_);
        break;
      case TransportCommand::kStop:
        avc1394_vcr_stop(command_.h, node_);
        break;
      case TransportCommand::kFastForward:
        avc1394_vcr_forward(command_.h, node_);
        break;
      case TransportCommand::kRewind:
        avc1394_vcr_rewind(command_.h, node_);
        break;
      case TransportCommand::kForwardScan:
        avc1394_vcr_trick_play(command_.h, node_, 7);
        break;
      case TransportCommand::kReverseScan:
        avc1394_vcr_trick_play(command_.h, node_, -7);
        break;
    }
    // The commands give no result: the unit answering its status afterwards is.
    return avc1394_vcr_status(command_.h, node_) != 0;
  }
  int TransportCode() const override {
    std::lock_guard lock(mutex_);
    return TransportCodeFromStatus(avc1394_vcr_status(command_.h, node_));
  }
  Timecode CurrentTimecode() const override {
    char text[16] = {};
    std::lock_guard lock(mutex_);
    if (avc1394_vcr_get_timecode2(command_.h, node_, text) < 0) return {};
    return TimecodeFromText(text).value_or(Timecode{});
  }
  void SetFrameSink(FrameSink sink) override {
    std::lock_guard lock(sinkMutex_);
    sink_ = std::move(sink);
  }
  void SetTapeEndSink(std::function<void()>) override {}  // a real tape reports stop through its status

 private:
  static int OnDvFrame(unsigned char* data, int length, int complete, void* self) {
    if (complete) static_cast<FireWireCamcorder*>(self)->Deliver(data, static_cast<std::size_t>(length));
    return 0;
  }
  static int OnTsPacket(unsigned char* data, int length, unsigned int, void* self) {
    static_cast<FireWireCamcorder*>(self)->Deliver(data, static_cast<std::size_t>(length));
    return 0;
  }
  void Deliver(const std::uint8_t* data, std::size_t size) {
    std::lock_guard lock(sinkMutex_);
    if (sink_) sink_(data, size, false);
  }

  bool StartReceiving() {
    receive_ = raw1394_new_handle_on_port(port_);
    if (!receive_) return false;
    int oplug = -1;
    int iplug = -1;
    int bandwidth = 0;
    channel_ = iec61883_cmp_connect(receive_, node_, &oplug, raw1394_get_local_id(receive_), &iplug, &bandwidth);
    if (channel_ < 0) channel_ = 63;  // broadcast: a unit that transmits without a connection
    oplug_ = oplug;
    iplug_ = iplug;
    bandwidth_ = bandwidth;
    if (kind_ == 2) {
      mpeg_ = iec61883_mpeg2_recv_init(receive_, &FireWireCamcorder::OnTsPacket, this);
      if (!mpeg_ || iec61883_mpeg2_recv_start(mpeg_, channel_) < 0) return false;
    } else {
      dv_ = iec61883_dv_fb_init(receive_, &FireWireCamcorder::OnDvFrame, this);
      if (!dv_ || iec61883_dv_fb_start(dv_, channel_) < 0) return false;
    }
    thread_ = std::thread([this] { Receive(); });
    return true;
  }

  void Receive() {
    const int fd = raw1394_get_fd(receive_);
    for (;;) {
      pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
      if (poll(fds, 2, 500) < 0) continue;
      if (fds[1].revents) return;
      if ((fds[0].revents & POLLIN) && raw1394_loop_iterate(receive_) < 0) return;
    }
  }

  void StopReceiving() {
    if (stopFd_ >= 0) {
      const std::uint64_t one = 1;
      [[maybe_unused]] const ssize_t n = write(stopFd_, &one, sizeof one);
    }
    if (thread_.joinable()) thread_.join();
    if (dv_) iec61883_dv_fb_close(dv_);
    if (mpeg_) iec61883_mpeg2_close(mpeg_);
    dv_ = nullptr;
    mpeg_ = nullptr;
    if (receive_) {
      if (oplug_ >= 0 && iplug_ >= 0) {
        iec61883_cmp_disconnect(receive_, node_, oplug_, raw1394_get_local_id(receive_), iplug_, channel_, bandwidth_);
      }
      raw1394_destroy_handle(receive_);
      receive_ = nullptr;
    }
  }

  int port_;
  nodeid_t node_;
  int kind_;
  double rate_;
  mutable std::mutex mutex_;  // one AV/C transaction at a time
  Handle command_;
  std::mutex sinkMutex_;
  FrameSink sink_;
  raw1394handle_t receive_ = nullptr;
  iec61883_dv_fb_t dv_ = nullptr;
  iec61883_mpeg2_t mpeg_ = nullptr;
  int channel_ = -1, oplug_ = -1, iplug_ = -1, bandwidth_ = 0;
  int stopFd_ = -1;
  std::thread thread_;
};

}  // namespace

std::vector<FireWireUnit> ListFireWireUnits() {
  std::vector<FireWireUnit> units;
  Handle probe(-1);
  const int ports = PortCount(probe.h);
  for (int port = 0; port < ports; ++port) {
    Handle h(port);
    if (!h.h) continue;
    const int nodes = raw1394_get_nodecount(h.h);
    const nodeid_t local = raw1394_get_local_id(h.h);
    for (int n = 0; n < nodes; ++n) {
      const nodeid_t node = static_cast<nodeid_t>(kLocalBus | n);
      if (node == local) continue;
      rom1394_directory dir{};
      if (rom1394_get_directory(h.h, node, &dir) < 0) continue;
      const bool tape = rom1394_get_node_type(&dir) == ROM1394_NODE_TYPE_AVC &&
                        avc1394_check_subunit_type(h.h, node, AVC1394_SUBUNIT_TYPE_VCR);
      if (tape) {
        std::vector<std::string> leaves;
        for (int i = 0; i < dir.nr_textual_leafs; ++i) leaves.emplace_back(dir.textual_leafs[i] ? dir.textual_leafs[i] : "");
        std::string vendor, model;
        VendorAndModel(leaves, dir.label ? dir.label : "", &vendor, &model);
        const int kind = KindFromSignalMode(SignalMode(h.h, node));
        units.push_back(FireWireUnit{UnitName(model, vendor, kind), kind, port, n});
      }
      rom1394_free_directory(&dir);
    }
  }
  return units;
}

std::unique_ptr<Camcorder> OpenFireWireCamcorder(int port, int node, int kind) {
  Handle h(port);
  if (!h.h) return nullptr;
  const double rate = FrameRateFromSignalMode(SignalMode(h.h, static_cast<nodeid_t>(kLocalBus | node)));
  auto cam = std::make_unique<FireWireCamcorder>(port, node, kind, rate);
  if (!cam->Open()) return nullptr;
  return cam;
}

// --- Bus resets ------------------------------------------------------------------------

struct BusWatcher::State {
  std::vector<raw1394handle_t> handles;
  std::function<void()> changed;
  int stopFd = -1;
  std::thread thread;
};

namespace {
std::atomic<BusWatcher::State*> g_watching{nullptr};

int OnBusReset(raw1394handle_t h, unsigned int generation) {
  raw1394_update_generation(h, generation);
  if (BusWatcher::State* s = g_watching.load(); s && s->changed) s->changed();
  return 0;
}
}  // namespace

std::unique_ptr<BusWatcher> BusWatcher::Start(std::function<void()> changed) {
  Handle probe(-1);
  const int ports = PortCount(probe.h);
  if (ports <= 0) return nullptr;
  std::unique_ptr<BusWatcher> watcher(new BusWatcher);
  watcher->state_ = std::make_unique<State>();
  State& s = *watcher->state_;
  s.changed = std::move(changed);
  s.stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  for (int port = 0; port < ports; ++port) {
    raw1394handle_t h = raw1394_new_handle_on_port(port);
    if (!h) continue;
    raw1394_set_bus_reset_handler(h, &OnBusReset);
    s.handles.push_back(h);
  }
  if (s.handles.empty() || s.stopFd < 0) return nullptr;
  State* expected = nullptr;
  // One watcher per process: the reset handler has no user pointer of its own.
  if (!g_watching.compare_exchange_strong(expected, &s)) return nullptr;
  s.thread = std::thread([&s] {
    for (;;) {
      std::vector<pollfd> fds;
      for (raw1394handle_t h : s.handles) fds.push_back(pollfd{raw1394_get_fd(h), POLLIN, 0});
      fds.push_back(pollfd{s.stopFd, POLLIN, 0});
      if (poll(fds.data(), fds.size(), -1) < 0) continue;
      if (fds.back().revents) return;
      for (std::size_t i = 0; i < s.handles.size(); ++i) {
        if (fds[i].revents & POLLIN) raw1394_loop_iterate(s.handles[i]);
      }
    }
  });
  return watcher;
}

BusWatcher::~BusWatcher() {
  if (!state_) return;
  if (state_->stopFd >= 0) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(state_->stopFd, &one, sizeof one);
  }
  if (state_->thread.joinable()) state_->thread.join();
  State* self = state_.get();
  g_watching.compare_exchange_strong(self, nullptr);
  for (raw1394handle_t h : state_->handles) raw1394_destroy_handle(h);
  if (state_->stopFd >= 0) close(state_->stopFd);
}

}  // namespace dvdev
