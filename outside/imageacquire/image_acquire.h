// CImageAcquire: the image acquisition component. It lists cameras and
// scanners (IImageAcquire), and runs one acquisition at a time on a worker
// thread (IImageAcquireSession): a camera's pictures downloaded to a
// temporary folder, or one scan saved as PNG, each reported to the caller's
// sink. The worker stops between two files or two scan lines when told to.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "interfaces/image_acquire.h"
#include "outside/imageacquire/device_watcher.h"
#include "outside/imageacquire/image_devices.h"
#include "platform/com/object.h"

class CImageAcquire : public IImageAcquire, public IImageAcquireSession {
 public:
  using Interfaces = plat::InterfaceList<IImageAcquire, IImageAcquireSession>;

  // `onDevicesChanged` runs (on a watcher thread) when a camera or scanner
  // comes or goes.
  explicit CImageAcquire(std::function<void()> onDevicesChanged = {});
  ~CImageAcquire();
  CImageAcquire(const CImageAcquire&) = delete;
  CImageAcquire& operator=(const CImageAcquire&) = delete;

  // IImageAcquire
  plat::HRESULT Initialize() override;
  plat::HRESULT ReservedA4() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedA5() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedA6() override { return plat::E_NOTIMPL; }
  plat::HRESULT RefreshDevices(std::int32_t flags) override;
  plat::HRESULT ReservedA8() override { return plat::E_NOTIMPL; }
  plat::HRESULT GetScanners(AcquireDeviceList* devices) override;
  plat::HRESULT GetCameras(AcquireDeviceList* devices) override;

  // IImageAcquireSession
  plat::HRESULT ReservedS3() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedS4() override { return plat::E_NOTIMPL; }
  plat::HRESULT StartAcquire(plat::HANDLE* done) override;
  plat::HRESULT ReservedS6() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedS7() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedS8() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedS9() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedS10() override { return plat::E_NOTIMPL; }
  plat::HRESULT SelectDevice(const char* name) override;
  plat::HRESULT Connect() override;
  plat::HRESULT GetItems(AcquireItemList* items) override;
  plat::HRESULT ReservedS14() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedS15() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedS16() override { return plat::E_NOTIMPL; }
  plat::HRESULT ReservedS17() override { return plat::E_NOTIMPL; }
  plat::HRESULT SetEventSink(IImageAcquireEventSink* sink) override;

 private:
  void Work(imageacquire::ImageDevice device, AcquireItemList items, plat::HANDLE done, std::string folder);
  void AcquireFromCamera(const imageacquire::ImageDevice& device, const AcquireItemList& items,
                         const std::string& folder);
  void AcquireScan(const imageacquire::ImageDevice& device, const AcquireItemRecord& item);
  bool Stopping();
  void JoinWorker();

  std::function<void()> onDevicesChanged_;
  std::unique_ptr<imageacquire::DeviceWatcher> watcher_;
  std::vector<imageacquire::ImageDevice> devices_;
  int selected_ = -1;
  AcquireItemList items_;
  IImageAcquireEventSink* sink_ = nullptr;
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  int sessions_ = 0;
};
