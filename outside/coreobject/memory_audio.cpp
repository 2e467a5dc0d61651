#include "outside/coreobject/memory_audio.h"

#include <algorithm>
#include <cstring>

using plat::E_FAIL;
using plat::HRESULT;
using plat::S_OK;

namespace {

HRESULT CopyName(const std::string& name, char** buffer) {
  if (buffer && *buffer) {
    const size_t n = std::min<size_t>(name.size(), kServiceNameBytes - 1);
    std::memcpy(*buffer, name.data(), n);
    (*buffer)[n] = 0;
  }
  return S_OK;
}

bool ValidVolume(float volume) { return volume >= 0.0f && volume <= 1.0f; }

}  // namespace

HRESULT CMemoryAudio::SetNotifyTarget(ICoreAudioEventSink* sink) {
  sink_ = sink;
  return S_OK;
}

HRESULT CMemoryAudio::GetDeviceName(int index, char** buffer) {
  if (index != 0) return E_FAIL;
  return CopyName(kDeviceName, buffer);
}

HRESULT CMemoryAudio::SelectDeviceByName(const char* name) {
  if (!name || std::strcmp(name, kDeviceName) != 0) return E_FAIL;
  selected_ = true;
  return S_OK;
}

HRESULT CMemoryAudio::SetNotifyWindow(plat::HWND) { return S_OK; }

HRESULT CMemoryAudio::GetSpeakersLineName(char** buffer) { return CopyName(speakers_.name, buffer); }

HRESULT CMemoryAudio::GetSpeakersLineState(int, int* mute, float* volume, plat::DWORD* type) {
  if (mute) *mute = speakers_.mute;
  if (volume) *volume = speakers_.volume;
  if (type) *type = speakers_.type;
  return S_OK;
}

HRESULT CMemoryAudio::SetSpeakersVolume(int, float volume) {
  if (!ValidVolume(volume)) return E_FAIL;
  speakers_.volume = volume;
  return S_OK;
}

HRESULT CMemoryAudio::SetSpeakersMute(int, int mute) {
  speakers_.mute = mute ? 1 : 0;
  return S_OK;
}

HRESULT CMemoryAudio::GetSourceLineName(int index, char** buffer) {
  if (index < 0 || index >= static_cast<int>(sources_.size())) return E_FAIL;
  return CopyName(sources_[index].name, buffer);
}

HRESULT CMemoryAudio::GetSourceLineState(int index, int* mute, float* volume, plat::DWORD* type) {
  if (index < 0 || index >= static_cast<int>(sources_.size())) return E_FAIL;
  const Line& line = sources_[index];
  if (mute) *mute = line.mute;
  if (volume) *volume = line.volume;
  if (type) *type = line.type;
  return S_OK;
}

HRESULT CMemoryAudio::SetSourceVolume(int index, float volume) {
  if (index < 0 || index >= static_cast<int>(sources_.size()) || !ValidVolume(volume)) return E_FAIL;
  sources_[index].volume = volume;
  return S_OK;
}

HRESULT CMemoryAudio::SetSourceMute(int index, int mute) {
  if (index < 0 || index >= static_cast<int>(sources_.size())) return E_FAIL;
  sources_[index].mute = mute ? 1 : 0;
  return S_OK;
}

HRESULT CMemoryAudio::GetRecordingLineName(int index, char** buffer) {
  if (index < 0 || index >= static_cast<int>(recording_.size())) return E_FAIL;
  return CopyName(recording_[index].name, buffer);
}

HRESULT CMemoryAudio::GetRecordingLineState(int index, int* selected, int* mute, float* volume, plat::DWORD* type) {
  if (index < 0 || index >= static_cast<int>(recording_.size())) return E_FAIL;
  const Line& line = recording_[index];
  if (selected) *selected = index == selectedRecording_ ? 1 : 0;
  if (mute) *mute = line.mute;
  if (volume) *volume = line.volume;
  if (type) *type = line.type;
  return S_OK;
}

HRESULT CMemoryAudio::SetRecordingVolume(int index, float volume) {
  if (index < 0 || index >= static_cast<int>(recording_.size()) || !ValidVolume(volume)) return E_FAIL;
  recording_[index].volume = volume;
  return S_OK;
}

HRESULT CMemoryAudio::SelectRecordingSource(int index) {
  if (index < 0 || index >= static_cast<int>(recording_.size())) return E_FAIL;
  selectedRecording_ = index;
  return S_OK;
}

HRESULT CMemoryAudio::SetRecordingMute(int index, int mute) {
  if (index < 0 || index >= static_cast<int>(recording_.size())) return E_FAIL;
  recording_[index].mute = mute ? 1 : 0;
  return S_OK;
}
