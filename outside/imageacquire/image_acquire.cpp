#include "outside/imageacquire/image_acquire.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "outside/imageacquire/camera_reader.h"
#include "outside/imageacquire/scanner_reader.h"
#include "platform/sys/event.h"
#include "platform/sys/handles.h"

using plat::E_FAIL;
using plat::HRESULT;
using plat::S_OK;

namespace {

namespace fs = std::filesystem;

template <std::size_t N>
void CopyText(char (&out)[N], const std::string& text) {
  const std::size_t n = std::min(text.size(), N - 1);
  std::memcpy(out, text.data(), n);
  out[n] = 0;
}

fs::path HomeFolder(const char* variable, const char* fallback) {
  if (const char* value = std::getenv(variable); value && *value == '/') return value;
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/tmp") / fallback;
}

// The first "<stem><n>.<ext>" (n empty, then 1, 2, ...) that did not exist;
// created here so no other writer can take it.
std::string ClaimName(const fs::path& folder, const std::string& stem, const std::string& ext) {
  for (int n = 0; n < 10000; ++n) {
    const fs::path candidate = folder / (stem + (n ? " (" + std::to_string(n) + ")" : "") + ext);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return candidate.string();
    }
    if (errno != EEXIST) return {};
  }
  return {};
}

}  // namespace

CImageAcquire::CImageAcquire(std::function<void()> onDevicesChanged)
    : onDevicesChanged_(std::move(onDevicesChanged)) {}

CImageAcquire::~CImageAcquire() {
  stop_ = true;
  JoinWorker();
}

void CImageAcquire::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

HRESULT CImageAcquire::Initialize() {
  if (!watcher_ && onDevicesChanged_) {
    watcher_ = std::make_unique<imageacquire::DeviceWatcher>(onDevicesChanged_);
    watcher_->Start();  // without udev, devices are found when the list is refreshed
  }
  return RefreshDevices(0);
}

HRESULT CImageAcquire::RefreshDevices(std::int32_t) {
  const std::string remembered =
      selected_ >= 0 && selected_ < static_cast<int>(devices_.size()) ? devices_[selected_].name : std::string();
  devices_ = imageacquire::ReadVirtualImageDevices();
  for (auto& camera : imageacquire::DetectCameras()) devices_.push_back(std::move(camera));
  for (auto& scanner : imageacquire::DetectScanners()) devices_.push_back(std::move(scanner));
  selected_ = -1;
  for (std::size_t i = 0; i < devices_.size(); ++i)
    if (!remembered.empty() && devices_[i].name == remembered) selected_ = static_cast<int>(i);
  return S_OK;
}

HRESULT CImageAcquire::GetScanners(AcquireDeviceList* devices) {
  if (!devices) return plat::E_POINTER;
  for (const auto& d : devices_) {
    if (d.type != kAcquireScanner) continue;
    AcquireDeviceRecord r;
    CopyText(r.name, d.name);
    CopyText(r.identifier, d.identifier);
    r.type = d.type;
    r.index = static_cast<std::int32_t>(devices->size());
    devices->push_back(r);
  }
  return S_OK;
}

HRESULT CImageAcquire::GetCameras(AcquireDeviceList* devices) {
  if (!devices) return plat::E_POINTER;
  for (const auto& d : devices_) {
    if (d.type != kAcquireCamera && d.type != kAcquireFolderCamera) continue;
    AcquireDeviceRecord r;
    CopyText(r.name, d.name);
    CopyText(r.identifier, d.identifier);
    r.type = d.type;
    r.index = static_cast<std::int32_t>(devices->size());
    devices->push_back(r);
  }
  return S_OK;
}

HRESULT CImageAcquire::SelectDevice(const char* name) {
  if (!name) return plat::E_POINTER;
  const auto it = std::find_if(devices_.begin(), devices_.end(), [&](const auto& d) { return d.name == name; });
  if (it == devices_.end()) return E_FAIL;
  selected_ = static_cast<int>(it - devices_.begin());
  items_.clear();
  return S_OK;
}

HRESULT CImageAcquire::Connect() {
  if (selected_ < 0 || selected_ >= static_cast<int>(devices_.size())) return E_FAIL;
  const auto& device = devices_[selected_];
  items_.clear();
  if (device.type == kAcquireScanner) {
    AcquireItemRecord scan;
    CopyText(scan.source, "scan");
    scan.type = device.type;
    items_.push_back(scan);
    return S_OK;
  }
  imageacquire::CameraReader camera;
  if (!camera.Open(device.model, device.identifier, nullptr)) return E_FAIL;
  for (const auto& file : camera.ListPictures()) {
    AcquireItemRecord item;
    CopyText(item.source, file);
    item.type = device.type;
    item.index = static_cast<std::int32_t>(items_.size());
    items_.push_back(item);
  }
  return S_OK;
}

HRESULT CImageAcquire::GetItems(AcquireItemList* items) {
  if (!items) return plat::E_POINTER;
  items->insert(items->end(), items_.begin(), items_.end());
  return S_OK;
}

HRESULT CImageAcquire::SetEventSink(IImageAcquireEventSink* sink) {
  sink_ = sink;
  return S_OK;
}

HRESULT CImageAcquire::StartAcquire(plat::HANDLE* done) {
  if (!done) return plat::E_POINTER;
  *done = nullptr;
  if (running_) return E_FAIL;
  JoinWorker();
  if (!sink_ || selected_ < 0 || selected_ >= static_cast<int>(devices_.size())) return E_FAIL;
  AcquireItemList items;
  if (!sink_->GetItems(&items) || items.empty()) items = items_;
  plat::HANDLE event = plat::CreateEvent(nullptr, 1, 0, nullptr);
  if (!event) return E_FAIL;
  const fs::path folder = HomeFolder("XDG_CACHE_HOME", ".cache") / "marivel" / "acquire" /
                          (std::to_string(::getpid()) + "-" + std::to_string(++sessions_));
  stop_ = false;
  running_ = true;
  worker_ = std::thread(&CImageAcquire::Work, this, devices_[selected_], std::move(items), event, folder.string());
  *done = event;
  return S_OK;
}

bool CImageAcquire::Stopping() { return stop_ || (sink_ && sink_->ShouldStop()); }

void CImageAcquire::Work(imageacquire::ImageDevice device, AcquireItemList items, plat::HANDLE done,
                         std::string folder) {
  if (device.type == kAcquireScanner) {
    if (!items.empty() && !Stopping()) AcquireScan(device, items.front());
  } else {
    AcquireFromCamera(device, items, folder);
  }
  running_ = false;
  if (sink_) sink_->OnFinished();
  plat::SetEvent(done);
}

void CImageAcquire::AcquireFromCamera(const imageacquire::ImageDevice& device, const AcquireItemList& items,
                                      const std::string& folder) {
  imageacquire::CameraReader camera;
  if (!camera.Open(device.model, device.identifier, nullptr)) return;
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::size_t total = items.size();
  for (std::size_t i = 0; i < total; ++i) {
    if (Stopping()) return;
    const std::string source = items[i].source;
    const fs::path name = fs::path(source).filename();
    const fs::path target_folder = items[i].folder[0] ? fs::path(items[i].folder) : fs::path(folder);
    const std::string target = ClaimName(target_folder, name.stem().string(), name.extension().string());
    if (target.empty()) continue;
    fs::remove(target, ec);  // claimed: the download creates it anew
    if (camera.Download(source, target)) {
      // Pictures in the temporary folder are the caller's to delete.
      sink_->OnImage(target.c_str(), items[i].folder[0] ? 0 : 1);
    }
    sink_->OnProgress(static_cast<std::int32_t>((i + 1) * 100 / total));
  }
}

void CImageAcquire::AcquireScan(const imageacquire::ImageDevice& device, const AcquireItemRecord& item) {
  const fs::path folder = item.folder[0] ? fs::path(item.folder) : HomeFolder("XDG_PICTURES_DIR", "Pictures");
  std::error_code ec;
  fs::create_directories(folder, ec);
  char stamp[32] = {};
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof(stamp), "Scan %Y-%m-%d %H%M%S", &local);
  const std::string target = ClaimName(folder, stamp, ".png");
  if (target.empty()) return;
  fs::remove(target, ec);
  imageacquire::ScanCallbacks callbacks;
  callbacks.shouldStop = [this] { return Stopping(); };
  callbacks.progress = [this](int percent) { sink_->OnProgress(percent); };
  if (imageacquire::ScanToPng(device.identifier, target, callbacks, nullptr)) sink_->OnImage(target.c_str(), 0);
}
