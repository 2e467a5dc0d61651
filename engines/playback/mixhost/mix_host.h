// CMixHost: the mixer component's COM object. It owns one mixer engine and
// a hidden window that receives the engine's change notices and passes each
// on to the client's sink.
#pragma once

#include <memory>

#include "engines/playback/mixhost/mixer_engine.h"
#include "interfaces/mixhost.h"
#include "platform/com/object.h"

class CMixHost : public IMixHost {
 public:
  using Interfaces = plat::InterfaceList<IMixHost>;
  static constexpr const char* kProcWindowClass = "mixhost Proc Window";

  CMixHost();
  ~CMixHost();
  CMixHost(const CMixHost&) = delete;
  CMixHost& operator=(const CMixHost&) = delete;

  plat::HRESULT SetNotifyTarget(IMixHostEventSink* sink) override;
  plat::HRESULT GetDeviceName(int index, char** buffer) override;
  plat::HRESULT SelectDeviceByName(const char* name) override;
  plat::HRESULT SetNotifyWindow(plat::HWND window) override;
  plat::HRESULT GetSpeakersLineName(char** buffer) override;
  plat::HRESULT GetSpeakersLineState(int ignored, int* mute, float* volume, plat::DWORD* componentType) override;
  plat::HRESULT SetSpeakersVolume(int ignored, float volume) override;
  plat::HRESULT SetSpeakersMute(int ignored, int mute) override;
  plat::HRESULT GetSourceLineName(int index, char** buffer) override;
  plat::HRESULT GetSourceLineState(int index, int* mute, float* volume, plat::DWORD* componentType) override;
  plat::HRESULT SetSourceVolume(int index, float volume) override;
  plat::HRESULT SetSourceMute(int index, int mute) override;
  plat::HRESULT GetRecordingLineName(int index, char** buffer) override;
  plat::HRESULT GetRecordingLineState(int index, int* selected, int* mute, float* volume,
                                      plat::DWORD* componentType) override;
  plat::HRESULT SetRecordingVolume(int index, float volume) override;
  plat::HRESULT SelectRecordingSource(int index) override;
  plat::HRESULT SetRecordingMute(int index, int mute) override;

  CMixerEngine& Engine() { return *m_pEngine; }
  plat::HWND ProcWindow() const { return m_hProcWnd; }
  int SelectedDevice() const { return m_nDevice; }

 private:
  static plat::LRESULT ProcWndProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  // The first destination of `componentType`, enumerated from index 0.
  bool FindDestination(plat::DWORD componentType, plat::MIXERLINEA* line);
  bool SourceLine(int index, plat::MIXERLINEA* line);
  bool RecordingLine(int index, plat::MIXERLINEA* line);
  plat::HRESULT ReadState(plat::DWORD lineId, int* mute, float* volume);

  IMixHostEventSink* m_pSink = nullptr;
  std::unique_ptr<CMixerEngine> m_pEngine;
  int m_nDevice = -1;
  plat::HWND m_hProcWnd = nullptr;
};
