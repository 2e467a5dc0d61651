// CDvDevice: the DV component. It lists the FireWire camcorders and the
// virtual ones, opens one, forwards the tape transport, shows the DV picture
// in the client's window and writes captures (capture_writer.h). Events go
// to one IDvDeviceEventSink from the component's threads: the deck (tape
// end), the tape watcher (arrival, removal) and the writer (failure).
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "interfaces/dvdevice.h"
#include "outside/dvdevice/camcorder.h"
#include "outside/dvdevice/capture_writer.h"
#include "outside/dvdevice/firewire_bus.h"
#include "outside/dvdevice/preview.h"
#include "outside/dvdevice/virtual_camcorders.h"
#include "outside/tvrecorder/video_window.h"
#include "platform/com/com_ptr.h"
#include "platform/com/object.h"
#include "platform/com/visibility.h"

namespace dvdev {

// A listed camcorder and how to reach it.
struct DeviceEntry {
  std::string name;
  int kind = 1;
  std::string tape;        // virtual: the tape file
  int firewirePort = -1;   // FireWire: port and node
  int firewireNode = -1;
};

// The disc-capture side: captures straight to disc are not made by this
// component, so starting one fails.
class CDvDiscCapture : public IDvDiscCapture {
 public:
  using Interfaces = plat::InterfaceList<IDvDiscCapture>;
  plat::HRESULT Initialise() override { return plat::S_OK; }
  plat::HRESULT Uninitialise() override { return plat::S_OK; }
  plat::HRESULT SetProgramFolder(const char*) override { return plat::S_OK; }
  plat::HRESULT SetChapterMode(int) override { return plat::S_OK; }
  plat::HRESULT SetMenuTemplate(const DvMenuTemplate*) override { return plat::S_OK; }
  plat::HRESULT SetDiscTitle(const char*) override { return plat::S_OK; }
  plat::HRESULT SetFinalise(int) override { return plat::S_OK; }
  plat::HRESULT SetWriter(std::intptr_t) override { return plat::S_OK; }
  plat::HRESULT SetEventSink(IDvDeviceEventSink*) override { return plat::S_OK; }
  plat::HRESULT Start() override { return plat::E_NOTIMPL; }
  plat::HRESULT Stop() override { return plat::S_OK; }
};

}  // namespace dvdev

class PLAT_COM_LOCAL CDvDevice : public IDvDevice {
 public:
  using Interfaces = plat::InterfaceList<IDvDevice>;
  static constexpr const char* kVideoClass = "DvDevice Video";

  CDvDevice();
  ~CDvDevice();
  CDvDevice(const CDvDevice&) = delete;
  CDvDevice& operator=(const CDvDevice&) = delete;

  plat::HRESULT FallbackQueryInterface(plat::REFIID iid, void** out);

  plat::HRESULT Initialise() override;
  plat::HRESULT Uninitialise() override;
  plat::HRESULT GetDeviceNameAt(int index, char* name, int size) override;
  plat::HRESULT OpenDevice(const char* name) override;
  plat::HRESULT Play() override;
  plat::HRESULT Pause() override;
  plat::HRESULT Stop() override;
  plat::HRESULT StartCapture() override;
  plat::HRESULT StopCapture() override;
  plat::HRESULT FastForward() override;
  plat::HRESULT Rewind() override;
  plat::HRESULT ForwardScan() override;
  plat::HRESULT ReverseScan() override;
  plat::HRESULT GetDeviceStatus(int* ready, int* detail) override;
  plat::HRESULT FinishStreamCapture() override;
  plat::HRESULT GetDeviceKind(int* kind) override;
  plat::HRESULT GetTimecode(std::uint8_t timecode[4]) override;
  plat::HRESULT SetCaptureFormat(int value) override;
  plat::HRESULT SetVideoWindow(plat::HWND window, const plat::RECT* rect) override;
  plat::HRESULT SetEncoderBlock(const EncoderBlock* block) override;
  plat::HRESULT SetEventSink(IDvDeviceEventSink* sink) override;
  plat::HRESULT GetTransportCode(int* code) override;
  plat::HRESULT GetFrameRate(float* rate) override;
  plat::HRESULT GetDeviceName(char* name, int size) override;
  plat::HRESULT SetOutputMode(int mode) override;
  plat::HRESULT SetCaptureFile(const char* path) override;

  // For tests and the benchmark.
  tvrec::VideoWindow& video_window() { return window_; }
  int previews() const;
  long dropped_frames() const;
  dvdev::Camcorder* camcorder() const { return camcorder_.get(); }

 private:
  plat::HRESULT Transport(dvdev::TransportCommand command);
  void Fire(int code, const char* text = nullptr);
  void OnFrame(const std::uint8_t* data, std::size_t size, bool still);
  void OnTapesChanged();
  bool FinishWriter();
  void CloseCamcorder();
  std::vector<dvdev::DeviceEntry> ListDevices() const;

  mutable std::mutex mutex_;              // the list and the open camcorder
  std::vector<dvdev::DeviceEntry> devices_;
  std::vector<std::string> present_;      // names present at the last look
  std::unique_ptr<dvdev::Camcorder> camcorder_;
  dvdev::DeviceEntry open_;
  EncoderBlock block_{};
  int outputMode_ = dvoutput::kPreview;
  int captureFormat_ = 0;
  std::string captureFile_;

  std::mutex sinkMutex_;
  IDvDeviceEventSink* sink_ = nullptr;

  mutable std::mutex writerMutex_;        // taken by the device's thread for every frame
  std::unique_ptr<dvdev::CaptureWriter> writer_;
  long lastDropped_ = 0;

  tvrec::VideoWindow window_{kVideoClass};
  std::unique_ptr<dvdev::Preview> preview_;
  std::unique_ptr<dvdev::TapeWatcher> watcher_;
  std::unique_ptr<dvdev::BusWatcher> busWatcher_;
  bool busWatched_ = false;
  plat::ComPtr<plat::ComObject<dvdev::CDvDiscCapture>> disc_;
};
