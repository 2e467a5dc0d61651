// The audio service over the mixer component: every slot goes to IMixHost,
// and the mixer's change notices reach the audio service's sink.
#pragma once

#include "interfaces/core_object.h"
#include "interfaces/mixhost.h"
#include "platform/com/com_ptr.h"
#include "platform/com/object.h"

class CMixHostAudio : public ICoreAudio, private IMixHostEventSink {
 public:
  using Interfaces = plat::InterfaceList<ICoreAudio>;

  explicit CMixHostAudio(plat::ComPtr<IMixHost> mixer) : mixer_(std::move(mixer)) {}
  ~CMixHostAudio() {
    if (sink_) mixer_->SetNotifyTarget(nullptr);
  }
  CMixHostAudio(const CMixHostAudio&) = delete;
  CMixHostAudio& operator=(const CMixHostAudio&) = delete;

  plat::HRESULT SetNotifyTarget(ICoreAudioEventSink* sink) override {
    sink_ = sink;
    return mixer_->SetNotifyTarget(sink ? static_cast<IMixHostEventSink*>(this) : nullptr);
  }
  plat::HRESULT GetDeviceName(int index, char** buffer) override { return mixer_->GetDeviceName(index, buffer); }
  plat::HRESULT SelectDeviceByName(const char* name) override { return mixer_->SelectDeviceByName(name); }
  plat::HRESULT SetNotifyWindow(plat::HWND window) override { return mixer_->SetNotifyWindow(window); }
  plat::HRESULT GetSpeakersLineName(char** buffer) override { return mixer_->GetSpeakersLineName(buffer); }
  plat::HRESULT GetSpeakersLineState(int line, int* mute, float* volume, plat::DWORD* type) override {
    return mixer_->GetSpeakersLineState(line, mute, volume, type);
  }
  plat::HRESULT SetSpeakersVolume(int line, float volume) override { return mixer_->SetSpeakersVolume(line, volume); }
  plat::HRESULT SetSpeakersMute(int line, int mute) override { return mixer_->SetSpeakersMute(line, mute); }
  plat::HRESULT GetSourceLineName(int index, char** buffer) override { return mixer_->GetSourceLineName(index, buffer); }
  plat::HRESULT GetSourceLineState(int index, int* mute, float* volume, plat::DWORD* type) override {
    return mixer_->GetSourceLineState(index, mute, volume, type);
  }
  plat::HRESULT SetSourceVolume(int index, float volume) override { return mixer_->SetSourceVolume(index, volume); }
  plat::HRESULT SetSourceMute(int index, int mute) override { return mixer_->SetSourceMute(index, mute); }
  plat::HRESULT GetRecordingLineName(int index, char** buffer) override {
    return mixer_->GetRecordingLineName(index, buffer);
  }
  plat::HRESULT GetRecordingLineState(int index, int* selected, int* mute, float* volume, plat::DWORD* type) override {
    return mixer_->GetRecordingLineState(index, selected, mute, volume, type);
  }
  plat::HRESULT SetRecordingVolume(int index, float volume) override {
    return mixer_->SetRecordingVolume(index, volume);
  }
  plat::HRESULT SelectRecordingSource(int index) override { return mixer_->SelectRecordingSource(index); }
  plat::HRESULT SetRecordingMute(int index, int mute) override { return mixer_->SetRecordingMute(index, mute); }

 private:
  int OnMixerChange() override { return sink_ ? sink_->OnMixerChange() : 0; }

  plat::ComPtr<IMixHost> mixer_;
  ICoreAudioEventSink* sink_ = nullptr;
};
