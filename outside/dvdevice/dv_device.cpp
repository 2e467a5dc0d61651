#include "outside/dvdevice/dv_device.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "outside/dvdevice/firewire_bus.h"
#include "outside/dvdevice/virtual_deck.h"

using namespace plat;
using namespace dvdev;

CDvDevice::CDvDevice() : disc_(MakeComObject<CDvDiscCapture>()) {}

CDvDevice::~CDvDevice() {
  SetEventSink(nullptr);
  watcher_.reset();
  busWatcher_.reset();
  CloseCamcorder();
}

HRESULT CDvDevice::FallbackQueryInterface(REFIID iid, void** out) {
  if (iid == IID_IDvDiscCapture && disc_) return disc_->QueryInterface(iid, out);
  *out = nullptr;
  return E_NOINTERFACE;
}

// --- Events --------------------------------------------------------------------------

HRESULT CDvDevice::SetEventSink(IDvDeviceEventSink* sink) {
  std::lock_guard lock(sinkMutex_);
  sink_ = sink;
  return S_OK;
}

void CDvDevice::Fire(int code, const char* text) {
  // Held while calling, so a sink being removed is never called afterwards.
  std::lock_guard lock(sinkMutex_);
  if (sink_) sink_->OnDvEvent(code, text);
}

// --- The list ------------------------------------------------------------------------

std::vector<DeviceEntry> CDvDevice::ListDevices() const {
  std::vector<DeviceEntry> list;
  for (const FireWireUnit& unit : ListFireWireUnits()) {
    DeviceEntry e;
    e.name = unit.name;
    e.kind = unit.kind;
    e.firewirePort = unit.port;
    e.firewireNode = unit.node;
    list.push_back(std::move(e));
  }
  for (const VirtualCamcorder& cam : ReadVirtualCamcorders()) {
    DeviceEntry e;
    e.name = cam.name;
    e.kind = cam.kind;
    e.tape = cam.tape;
    list.push_back(std::move(e));
  }
  return list;
}

HRESULT CDvDevice::Initialise() {
  std::vector<DeviceEntry> list = ListDevices();
  std::lock_guard lock(mutex_);
  devices_ = std::move(list);
  present_.clear();
  for (const auto& d : devices_) present_.push_back(d.name);
  if (!watcher_) {
    std::vector<std::string> tapes;
    for (const VirtualCamcorder& cam : ReadVirtualCamcorders(false)) tapes.push_back(cam.tape);
    if (!tapes.empty()) watcher_ = std::make_unique<TapeWatcher>(tapes, [this] { OnTapesChanged(); });
  }
  if (!busWatched_) {
    busWatched_ = true;
    busWatcher_ = BusWatcher::Start([this] { OnTapesChanged(); });
  }
  return S_OK;
}

HRESULT CDvDevice::Uninitialise() {
  std::lock_guard lock(mutex_);
  devices_.clear();
  return S_OK;
}

HRESULT CDvDevice::GetDeviceNameAt(int index, char* name, int size) {
  if (!name || size <= 0) return E_POINTER;
  std::lock_guard lock(mutex_);
  if (index < 0 || index >= static_cast<int>(devices_.size())) return E_FAIL;
  std::snprintf(name, static_cast<std::size_t>(size), "%s", devices_[static_cast<std::size_t>(index)].name.c_str());
  return S_OK;
}

// After a tape file or a FireWire bus changed: the list is compared with the
// last one, and arrivals and removals are told.
void CDvDevice::OnTapesChanged() {
  const std::vector<DeviceEntry> now = ListDevices();
  std::vector<std::string> names;
  for (const auto& d : now) names.push_back(d.name);
  bool openLost = false;
  bool arrived = false;
  bool removed = false;
  {
    std::lock_guard lock(mutex_);
    for (const auto& n : present_) removed |= std::find(names.begin(), names.end(), n) == names.end();
    for (const auto& n : names) arrived |= std::find(present_.begin(), present_.end(), n) == present_.end();
    present_ = names;
    if (camcorder_ && std::find(names.begin(), names.end(), open_.name) == names.end()) {
      openLost = true;
      if (auto* deck = dynamic_cast<VirtualDeck*>(camcorder_.get())) deck->Unplug();
    }
  }
  // A capture from a camcorder that went away is finalised first, so what
  // was captured stays playable, then the removal is told.
  if (openLost && FinishWriter()) Fire(dvevent::kCaptureEnded);
  if (removed) Fire(dvevent::kDeviceRemoved);
  if (arrived) Fire(dvevent::kDeviceArrived);
}

// --- Opening -------------------------------------------------------------------------

void CDvDevice::CloseCamcorder() {
  FinishWriter();
  std::unique_ptr<Camcorder> old;
  {
    std::lock_guard lock(mutex_);
    old = std::move(camcorder_);
    open_ = DeviceEntry{};
  }
  old.reset();  // joins the device's thread; no frames come after this
  preview_.reset();
}

HRESULT CDvDevice::OpenDevice(const char* name) {
  CloseCamcorder();
  if (!name) return S_OK;
  DeviceEntry entry;
  {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(devices_.begin(), devices_.end(), [&](const DeviceEntry& d) { return d.name == name; });
    if (it == devices_.end()) return E_FAIL;
    entry = *it;
  }
  std::unique_ptr<Camcorder> cam;
  if (!entry.tape.empty()) {
    auto tape = ProbeTape(entry.tape, entry.kind);
    if (!tape) return E_FAIL;
    cam = std::make_unique<VirtualDeck>(entry.tape, std::move(*tape));
  } else {
    cam = OpenFireWireCamcorder(entry.firewirePort, entry.firewireNode, entry.kind);
    if (!cam) return E_FAIL;
  }
  preview_ = std::make_unique<Preview>(window_, entry.kind);
  cam->SetFrameSink([this](const std::uint8_t* data, std::size_t size, bool still) { OnFrame(data, size, still); });
  cam->SetTapeEndSink([this] { Fire(dvevent::kTransportStopped); });
  std::lock_guard lock(mutex_);
  camcorder_ = std::move(cam);
  open_ = entry;
  return S_OK;
}

void CDvDevice::OnFrame(const std::uint8_t* data, std::size_t size, bool still) {
  if (!still) {
    std::lock_guard lock(writerMutex_);
    if (writer_) writer_->Push(data, size);
  }
  if (preview_) preview_->Offer(data, size);
}

// --- Transport -----------------------------------------------------------------------

HRESULT CDvDevice::Transport(TransportCommand command) {
  std::lock_guard lock(mutex_);
  if (!camcorder_) return E_FAIL;
  return camcorder_->Command(command) ? S_OK : E_FAIL;
}

HRESULT CDvDevice::Play() { return Transport(TransportCommand::kPlay); }
HRESULT CDvDevice::Pause() { return Transport(TransportCommand::kPause); }
HRESULT CDvDevice::Stop() { return Transport(TransportCommand::kStop); }
HRESULT CDvDevice::FastForward() { return Transport(TransportCommand::kFastForward); }
HRESULT CDvDevice::Rewind() { return Transport(TransportCommand::kRewind); }
HRESULT CDvDevice::ForwardScan() { return Transport(TransportCommand::kForwardScan); }
HRESULT CDvDevice::ReverseScan() { return Transport(TransportCommand::kReverseScan); }

HRESULT CDvDevice::GetDeviceStatus(int* ready, int* detail) {
  if (!ready || !detail) return E_POINTER;
  std::lock_guard lock(mutex_);
  if (!camcorder_) return E_FAIL;
  *ready = camcorder_->Ready() ? 1 : 0;
  *detail = camcorder_->TransportCode();
  return S_OK;
}

HRESULT CDvDevice::GetDeviceKind(int* kind) {
  if (!kind) return E_POINTER;
  std::lock_guard lock(mutex_);
  if (!camcorder_) return E_FAIL;
  *kind = camcorder_->Kind();
  return S_OK;
}

HRESULT CDvDevice::GetTimecode(std::uint8_t timecode[4]) {
  std::lock_guard lock(mutex_);
  if (!camcorder_ || !timecode) return E_FAIL;
  const Timecode tc = camcorder_->CurrentTimecode();
  timecode[0] = static_cast<std::uint8_t>(tc.hours);
  timecode[1] = static_cast<std::uint8_t>(tc.minutes);
  timecode[2] = static_cast<std::uint8_t>(tc.seconds);
  timecode[3] = static_cast<std::uint8_t>(tc.frames);
  return S_OK;
}

HRESULT CDvDevice::GetTransportCode(int* code) {
  if (!code) return E_POINTER;
  std::lock_guard lock(mutex_);
  if (!camcorder_) return E_FAIL;
  *code = camcorder_->TransportCode();
  return S_OK;
}

HRESULT CDvDevice::GetFrameRate(float* rate) {
  if (!rate) return E_POINTER;
  std::lock_guard lock(mutex_);
  if (!camcorder_) return E_FAIL;
  const double r = camcorder_->FrameRate();
  *rate = std::fabs(r - 25.0) < 0.01 ? 25.0f : 29.97f;
  return S_OK;
}

HRESULT CDvDevice::GetDeviceName(char* name, int size) {
  if (!name || size <= 0) return E_POINTER;
  std::lock_guard lock(mutex_);
  std::snprintf(name, static_cast<std::size_t>(size), "%s", open_.name.c_str());
  return camcorder_ ? S_OK : E_FAIL;
}

// --- Settings ------------------------------------------------------------------------

HRESULT CDvDevice::SetCaptureFormat(int value) {
  captureFormat_ = value;
  return S_OK;
}

HRESULT CDvDevice::SetVideoWindow(HWND window, const RECT* rect) {
  window_.SetOwner(window);
  if (rect) window_.Place(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
  window_.Show(window != nullptr);
  return S_OK;
}

HRESULT CDvDevice::SetEncoderBlock(const EncoderBlock* block) {
  if (!block) return E_POINTER;
  block_ = *block;
  return S_OK;
}

HRESULT CDvDevice::SetOutputMode(int mode) {
  outputMode_ = mode;
  return S_OK;
}

HRESULT CDvDevice::SetCaptureFile(const char* path) {
  if (!path) return E_POINTER;
  captureFile_ = path;
  return S_OK;
}

// --- Capture -------------------------------------------------------------------------

HRESULT CDvDevice::StartCapture() {
  int kind = 0;
  {
    std::lock_guard lock(mutex_);
    if (!camcorder_) return E_FAIL;
    kind = camcorder_->Kind();
  }
  FinishWriter();
  // Type-1 AVI is written as type 2: both carry the same DV frames, and
  // every AVI reader here takes type 2.
  WriterSettings settings = SettingsFromBlock(block_, kind, outputMode_ == dvoutput::kRawDv);
  if (settings.path.empty()) settings.path = captureFile_;
  settings.onError = [this] { Fire(dvevent::kCaptureEnded); };
  auto writer = CaptureWriter::Start(settings);
  if (!writer) return E_FAIL;
  {
    std::lock_guard lock(writerMutex_);
    writer_ = std::move(writer);
  }
  Fire(dvevent::kCaptureStarted);
  Fire(dvevent::kCaptureFile, settings.path.c_str());
  return S_OK;
}

bool CDvDevice::FinishWriter() {
  std::unique_ptr<CaptureWriter> writer;
  {
    std::lock_guard lock(writerMutex_);
    writer = std::move(writer_);
  }
  if (!writer) return false;
  const bool failedBefore = writer->failed();
  writer->Finish();
  lastDropped_ = writer->dropped();
  // A writer that failed has told its end already.
  return !failedBefore;
}

HRESULT CDvDevice::StopCapture() {
  std::unique_ptr<CaptureWriter> writer;
  {
    std::lock_guard lock(writerMutex_);
    writer = std::move(writer_);
  }
  if (!writer) return E_FAIL;
  const bool failedBefore = writer->failed();
  const bool ok = writer->Finish();
  lastDropped_ = writer->dropped();
  if (!failedBefore) Fire(dvevent::kCaptureEnded);
  return ok ? S_OK : E_FAIL;
}

HRESULT CDvDevice::FinishStreamCapture() { return StopCapture(); }

int CDvDevice::previews() const { return preview_ ? preview_->decoded() : 0; }

long CDvDevice::dropped_frames() const {
  std::lock_guard lock(writerMutex_);
  return writer_ ? writer_->dropped() : lastDropped_;
}
