// An in-memory audio service with one device: a speakers line with two
// source lines and two recording lines, each with mute and volume.
#pragma once

#include <string>
#include <vector>

#include "interfaces/core_object.h"
#include "platform/com/object.h"

class CMemoryAudio : public ICoreAudio {
 public:
  using Interfaces = plat::InterfaceList<ICoreAudio>;
  static constexpr const char* kDeviceName = "Marivel Audio";

  plat::HRESULT SetNotifyTarget(ICoreAudioEventSink* sink) override;
  plat::HRESULT GetDeviceName(int index, char** buffer) override;
  plat::HRESULT SelectDeviceByName(const char* name) override;
  plat::HRESULT SetNotifyWindow(plat::HWND window) override;
  plat::HRESULT GetSpeakersLineName(char** buffer) override;
  plat::HRESULT GetSpeakersLineState(int line, int* mute, float* volume, plat::DWORD* type) override;
  plat::HRESULT SetSpeakersVolume(int line, float volume) override;
  plat::HRESULT SetSpeakersMute(int line, int mute) override;
  plat::HRESULT GetSourceLineName(int index, char** buffer) override;
  plat::HRESULT GetSourceLineState(int index, int* mute, float* volume, plat::DWORD* type) override;
  plat::HRESULT SetSourceVolume(int index, float volume) override;
  plat::HRESULT SetSourceMute(int index, int mute) override;
  plat::HRESULT GetRecordingLineName(int index, char** buffer) override;
  plat::HRESULT GetRecordingLineState(int index, int* selected, int* mute, float* volume, plat::DWORD* type) override;
  plat::HRESULT SetRecordingVolume(int index, float volume) override;
  plat::HRESULT SelectRecordingSource(int index) override;
  plat::HRESULT SetRecordingMute(int index, int mute) override;

 private:
  struct Line {
    std::string name;
    plat::DWORD type;
    int mute = 0;
    float volume = 0.5f;
  };
  Line speakers_{"Master Volume", 4};
  std::vector<Line> sources_{{"Wave", 0x1008}, {"CD Audio", 0x1005}};
  std::vector<Line> recording_{{"Line In", 0x1002}, {"Microphone", 0x1003}};
  int selectedRecording_ = 0;
  bool selected_ = false;
  ICoreAudioEventSink* sink_ = nullptr;
};
