// CRadioCore: the radio engine's object. Kind 1 plays a radio tuner (a
// Video4Linux2 radio or the virtual radio) through a GStreamer pipeline,
// searches its FM band on a worker thread, records by a branch off the
// pipeline's tee and reads RDS on a second worker; kind 2 passes the calls
// on to the outside radio component. Workers never call the sink: their
// events are queued for the hidden window "radiodeck" and delivered on the
// thread that made the engine.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engines/capture/radiodeck/radio_pipeline.h"
#include "interfaces/radiodeck.h"
#include "interfaces/radiotuner.h"
#include "platform/com/com_ptr.h"
#include "platform/com/object.h"
#include "platform/media/radio/radio_tuner.h"
#include "platform/win/window.h"

namespace radiodeck {

inline constexpr plat::UINT kMsgDeliver = plat::WM_USER + 1;
inline constexpr int kDefaultScanStep = 5000;
// A found station waits this many times this long for its radio text.
inline constexpr int kRdsWaitRounds = 3;
inline constexpr int kRdsWaitMs = 1000;
// Readings within this distance above a candidate belong to the same station.
inline constexpr int kStationSpanHz = 400000;
inline constexpr int kStopWaitMs = 2000;

}  // namespace radiodeck

class CRadioCore : public IRadioCore {
 public:
  using Interfaces = plat::InterfaceList<IRadioCore>;
  static constexpr const char* kWindowClass = "radiodeck";

  using TunerOpener = std::function<std::shared_ptr<plat::radio::IRadioTuner>()>;

  CRadioCore();
  // Kind 1 opens its tuner through `openTuner` (the machine's by default).
  explicit CRadioCore(TunerOpener openTuner);
  ~CRadioCore();
  CRadioCore(const CRadioCore&) = delete;
  CRadioCore& operator=(const CRadioCore&) = delete;

  plat::HRESULT Open(int kind, const char* folder) override;
  plat::HRESULT Close() override;
  plat::HRESULT SetMute(int mute) override;
  plat::HRESULT GetDeviceId(int* value) override;
  plat::HRESULT StartScan(int step, IRadioEventSink* sink) override;
  plat::HRESULT GetScanProgress(float* progress) override;
  plat::HRESULT StartRecord(const char* file, int format, IRadioEventSink* sink) override;
  plat::HRESULT Stop() override;
  plat::HRESULT GetState(int* state) override;
  plat::HRESULT GetSignalStrength(int* level) override;
  plat::HRESULT GetBand(int* band) override;
  plat::HRESULT SetBand(int band) override;
  plat::HRESULT GetBandLow(int* frequency, int band) override;
  plat::HRESULT GetBandHigh(int* frequency, int band) override;
  plat::HRESULT GetFrequency(int* frequency) override;
  plat::HRESULT SetFrequency(int frequency) override;
  plat::HRESULT SetArea(int area) override;
  plat::HRESULT GetStereo(int* stereo) override;
  plat::HRESULT IsSignalStrong(int* strong) override;
  plat::HRESULT InitTunerCard(int card, IRadioEventSink* sink) override;
  plat::HRESULT ReleaseTunerCard() override;
  plat::HRESULT SetComponentOption15(double* presets) override;
  plat::HRESULT SetComponentOption14(double* presets) override;

  // What tests look at.
  plat::HWND window() const { return m_hWnd; }
  radiodeck::RadioPipeline* pipeline() const { return m_pipeline.get(); }
  // Runs the queued sink calls (the hidden window does this).
  void DeliverQueued();

 private:
  // Kind 1 pieces.
  plat::HRESULT OpenTuner();
  plat::HRESULT OpenComponent(const char* folder);
  plat::HRESULT ComponentRange(int band, bool high, int* frequency);
  void SearchThread();
  void ReportStation(int frequency);
  void RdsThread();
  void StopRds();
  // Queues a sink call for the engine's thread.
  void Post(std::function<void(IRadioEventSink&)> call);

  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void CreateHiddenWindow();
  void DestroyHiddenWindow();

  TunerOpener m_openTuner;
  int m_nKind = 0;
  int m_nDevice = 0;
  std::atomic<int> m_nState{kRadioClosed};
  IRadioEventSink* m_pSink = nullptr;
  int m_nBandHigh = 0;
  int m_nBandLow = 0;

  std::shared_ptr<plat::radio::IRadioTuner> m_tuner;
  std::unique_ptr<radiodeck::RadioPipeline> m_pipeline;
  plat::ComPtr<IRadioTunerComponent> m_pComponent;

  // Search.
  std::thread m_scanThread;
  std::atomic<bool> m_bStopScan{false};
  std::atomic<int> m_nScanFrequency{0};
  int m_nScanStep = radiodeck::kDefaultScanStep;
  std::mutex m_waitMutex;
  std::condition_variable m_wake;
  bool m_bRadioTextReceived = false;  // under m_waitMutex

  // Recording.
  int m_nRecordFormat = 0;
  std::string m_recordFile;

  // RDS.
  std::atomic<bool> m_bRdsAvailable{false};
  std::thread m_rdsThread;
  std::atomic<bool> m_bStopRds{false};
  std::atomic<long> m_nTuneGeneration{0};

  plat::HWND m_hWnd = nullptr;
  std::mutex m_queueMutex;
  std::deque<std::function<void(IRadioEventSink&)>> m_queue;
};
