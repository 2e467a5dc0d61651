// CDvGrab: the camcorder engine's object. It lists camcorders through the DV
// component, keeps the tape transport state, names and starts captures,
// drives captures to disc through the burning library, and turns component
// events into calls of the client's IDvGrabEventSink. Component events and
// the watchers' results arrive on other threads and are queued for the
// hidden window "dvgrab" on the engine's thread; the sink is only ever
// called there, as is the 1000 ms tick.
#pragma once

#include <atomic>
#include <ctime>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engines/capture/dvgrab/burner_library.h"
#include "engines/capture/dvgrab/dv_grab_hooks.h"
#include "interfaces/dvdevice.h"
#include "interfaces/dvgrab.h"
#include "interfaces/event_sinks.h"
#include "platform/com/com_ptr.h"
#include "platform/com/object.h"
#include "platform/win/window.h"

namespace dvgrab {

inline constexpr plat::UINT kMsgQueued = plat::WM_USER + 1;
inline constexpr plat::UINT_PTR kTickTimerId = 1;
inline constexpr plat::UINT kTickMs = 1000;

// One device of the list: the component's name and the name shown.
struct DeviceEntry {
  std::string name;
  std::string displayName;
};

// Capture sub-states.
namespace capture {
inline constexpr int kRunning = 1;
inline constexpr int kStreamFile = 2;   // a non-AVI file is being written
inline constexpr int kPaused = 3;
inline constexpr int kEnded = 4;
}  // namespace capture

// Creates every missing folder of the path; false when a part is a file.
bool MakeFolders(const std::string& path);
// "<n>. <maker> DV" or "... MicroMV" for list entry `index`.
std::string DisplayName(int index, const std::string& name);
// The capture name (without folder) for a time, the DV flag and the format.
std::string BaseCaptureName(const std::tm& when, bool isDv);
std::string CaptureExtension(bool isDv, int format);

}  // namespace dvgrab

class CDvGrab : public IDvGrab, private IDvDeviceEventSink {
 public:
  using Interfaces = plat::InterfaceList<IDvGrab>;
  static constexpr const char* kWindowClass = "dvgrab";

  CDvGrab();
  explicit CDvGrab(dvgrab::DvGrabHooks hooks);
  ~CDvGrab();
  CDvGrab(const CDvGrab&) = delete;
  CDvGrab& operator=(const CDvGrab&) = delete;

  // IDvGrab
  plat::HRESULT Open(int ignored, int flags, const char* burnerFolder) override;
  plat::HRESULT Close() override;
  plat::HRESULT SetNotifyTarget(IDvGrabEventSink* sink) override;
  plat::HRESULT SetOutputFolder(const char* folder) override;
  plat::HRESULT GetOutputFolder(char* folder) override;
  plat::HRESULT SetCaptureFormat(int value) override;
  plat::HRESULT SetOutputType(int type) override;
  plat::HRESULT SetEncoderParams(EncoderBlock block) override;
  plat::HRESULT Reserved11() override;
  plat::HRESULT GetFrameRate(float* rate) override;
  plat::HRESULT SetVideoWindow(plat::HWND window, int left, int top, int right, int bottom) override;
  plat::HRESULT SetCaptureFile(const char* path) override;
  plat::HRESULT Capture(int start) override;
  plat::HRESULT Play() override;
  plat::HRESULT Pause() override;
  plat::HRESULT Stop() override;
  plat::HRESULT Rewind() override;
  plat::HRESULT FastForward() override;
  plat::HRESULT GetTimecode(int* hours, int* minutes, int* seconds) override;
  plat::HRESULT GetCaptureTime(int* hours, int* minutes, int* seconds) override;
  plat::HRESULT EnumerateDevices() override;
  plat::HRESULT HasDiscWriter() override;
  plat::HRESULT CheckDeviceReady() override;
  plat::HRESULT GetDeviceKind(int* kind) override;
  plat::HRESULT SelectDevice(int index) override;
  plat::HRESULT GetDeviceName(char* name) override;
  plat::HRESULT GetDeviceNameAt(char* name, int index) override;
  plat::HRESULT SelectDrive(int index) override;
  plat::HRESULT StartCaptureToDisc() override;
  plat::HRESULT StopCaptureToDisc() override;

  // What tests look at.
  int state() const { return m_nState; }
  int transport() const { return m_nTransport.load(); }
  int capture_state() const { return m_nCaptureState.load(); }
  plat::HWND window() const { return m_hWnd; }
  const std::vector<dvgrab::DeviceEntry>& devices() const { return m_devices; }
  const EncoderBlock& encoder_block() const { return m_block; }
  const std::vector<std::string>& drive_names() const { return m_driveNames; }
  bool watchers_running() const { return m_transportWatcher.joinable(); }

  // The capture name for the time and the block's format, unique in the folder.
  std::string CaptureFileName(const std::tm& when) const;
  // Runs the queued event work now (the window does it when messages flow).
  void DrainQueue();
  void OnTick();

 private:
  // IDvDeviceEventSink: any thread.
  int OnDvEvent(int code, const char* text) override;
  void Post(std::function<void()> work);
  void HandleEvent(int code, const std::string& text);

  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void CreateHiddenWindow();
  void DestroyHiddenWindow();

  plat::HRESULT BuildDeviceList();
  void StopWatchers();
  void StartWatchers();
  void TransportWatcher();
  void TimecodeWatcher();
  void HandleTransportCode(int code);
  void ReleaseAll();
  plat::HRESULT SelectNone();
  plat::HRESULT ApplyWindow();
  void Notify(const std::function<void(IDvGrabEventSink&)>& call);
  void BuildMenuTemplate();

  dvgrab::DvGrabHooks m_hooks;
  plat::ComPtr<IDvDevice> m_pDevice;
  plat::ComPtr<IDvDiscCapture> m_pDiscCapture;
  IDvGrabEventSink* m_pSink = nullptr;
  int m_nState = dvstate::kClosed;
  std::string m_engineFolder;
  std::string m_programFolder;
  dvgrab::BurnerLibrary m_burner;
  std::vector<std::string> m_driveNames;
  DvMenuTemplate m_menu{};
  std::vector<DvMenuTitle> m_menuTitles;

  std::string m_outputFolder;
  EncoderBlock m_block{};
  bool m_bBlockSet = false;
  int m_nCaptureFormat = 0;
  int m_nOutputTypeCode = 0;

  std::vector<dvgrab::DeviceEntry> m_devices;
  plat::HWND m_hVideoWindow = nullptr;
  plat::RECT m_videoRect{};
  int m_nOutputType = 0;
  char m_deviceName[kDvNameChars] = {};

  std::atomic<int> m_nTransport{dvtransport::kStopped};
  std::atomic<int> m_nLastCode{dvcode::kNone};
  std::atomic<bool> m_bBusy{false};
  int m_nKind = 0;
  std::atomic<int> m_nCaptureState{0};
  bool m_bIsDv = false;
  bool m_bCaptureActive = false;
  std::atomic<bool> m_bSelected{false};
  std::mutex m_timecodeMutex;
  std::uint8_t m_timecode[4] = {};
  long long m_captureStart = 0;
  long long m_pauseStart = 0;
  long long m_pausedTotal = 0;

  std::thread m_transportWatcher;
  std::thread m_timecodeWatcher;
  std::mutex m_watchMutex;
  std::condition_variable m_watchWake;
  bool m_bStopWatchers = false;
  plat::UINT_PTR m_nTimer = 0;
  plat::HWND m_hWnd = nullptr;

  std::mutex m_queueMutex;
  std::deque<std::function<void()>> m_queue;
};
