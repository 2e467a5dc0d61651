// The mixer component: class "Kestrovia Mixer Wrapper" and its interface
// IMixHost (mixer devices, the speakers line and its sources, the recording
// lines, volume, mute and the recording-source choice), with the table its
// clients receive change notices on.
#pragma once

#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_MixHost = plat::MakeGuid("{B3D4546B-8BC7-4F2B-AA17-397F9B125963}");
inline constexpr plat::IID IID_IMixHost = plat::MakeGuid("{F963B478-5C79-4F5F-B012-91CE1EAE5C32}");

// Name buffers handed to the Get...Name slots must hold this many bytes.
inline constexpr int kMixHostNameChars = 64;

// A client's change notice table (no IUnknown; nobody deletes through it).
// OnMixerChange is called on the thread that created the mixer object, once
// for every change of a mixer line or control of the selected device.
class IMixHostEventSink {
 public:
  virtual int OnMixerChange() = 0;

 protected:
  ~IMixHostEventSink() = default;
};

// Results: S_OK, or E_FAIL on any failure. Volumes are 0..1. A name buffer
// argument points to the caller's buffer pointer; a null buffer (or buffer
// pointer) only tests that the named thing exists.
struct IMixHost : plat::IUnknown {
  // 3: the sink for change notices (not owned; null takes it back).
  virtual plat::HRESULT SetNotifyTarget(IMixHostEventSink* sink) = 0;
  // 4: the name of mixer device `index`.
  virtual plat::HRESULT GetDeviceName(int index, char** buffer) = 0;
  // 5: opens the device of that name unless it is the selected one.
  virtual plat::HRESULT SelectDeviceByName(const char* name) = 0;
  // 6: reopens the current device with `window` receiving its notices.
  virtual plat::HRESULT SetNotifyWindow(plat::HWND window) = 0;
  // 7-10: the speakers line (the first destination of component type 4).
  virtual plat::HRESULT GetSpeakersLineName(char** buffer) = 0;
  virtual plat::HRESULT GetSpeakersLineState(int ignored, int* mute, float* volume, plat::DWORD* componentType) = 0;
  virtual plat::HRESULT SetSpeakersVolume(int ignored, float volume) = 0;
  virtual plat::HRESULT SetSpeakersMute(int ignored, int mute) = 0;
  // 11-14: the speakers' source line `index`.
  virtual plat::HRESULT GetSourceLineName(int index, char** buffer) = 0;
  virtual plat::HRESULT GetSourceLineState(int index, int* mute, float* volume, plat::DWORD* componentType) = 0;
  virtual plat::HRESULT SetSourceVolume(int index, float volume) = 0;
  virtual plat::HRESULT SetSourceMute(int index, int mute) = 0;
  // 15-19: recording source `index` of the wave-input destination (the
  // destination itself when it has a single connection).
  virtual plat::HRESULT GetRecordingLineName(int index, char** buffer) = 0;
  virtual plat::HRESULT GetRecordingLineState(int index, int* selected, int* mute, float* volume,
                                              plat::DWORD* componentType) = 0;
  virtual plat::HRESULT SetRecordingVolume(int index, float volume) = 0;
  virtual plat::HRESULT SelectRecordingSource(int index) = 0;
  virtual plat::HRESULT SetRecordingMute(int index, int mute) = 0;

 protected:
  ~IMixHost() = default;
};
PLAT_BIND_IID(IMixHost, IID_IMixHost);
