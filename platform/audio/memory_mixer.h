// An in-memory mixer: devices, lines and controls built by hand, values kept
// in memory. Used by tests (with fault injection) and where no sound card is
// present. Every handle opened on a device sees the same values; a change
// through any handle, or from outside through SetValues, becomes a notice on
// every open handle of that device, delivered when its descriptor is handled.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/mixer_backend.h"

namespace plat {

// The calls that a test can make fail.
enum class MixerCall { Open, Caps, ReadControl, WriteControl };

class MemoryMixerBackend final : public MixerBackend {
 public:
  MemoryMixerBackend();
  ~MemoryMixerBackend() override;

  // Building. Devices, lines and controls are numbered in the order added.
  UINT AddDevice(const std::string& name);
  // Returns the destination index.
  DWORD AddDestination(UINT device, DWORD componentType, const std::string& name, DWORD channels = 2);
  // Returns the source's line id.
  DWORD AddSource(UINT device, DWORD destination, DWORD componentType, const std::string& name, DWORD channels = 2);
  // Adds a control to the line; list controls get one item per text. Returns
  // the control id. `fdwControl` may carry MIXERCONTROL_CONTROLF_MULTIPLE.
  DWORD AddControl(UINT device, DWORD lineId, DWORD controlType, const std::string& name, DWORD fdwControl = 0,
                   const std::vector<std::string>& items = {});
  // A device with speakers (volume, mute; sources "Wave", "CD Audio", "Line
  // In", "Microphone", each with volume and mute) and wave input (volume, a
  // "Recording Source" multiplexer over "Microphone", "Line In", "CD Audio"
  // and their source lines with volume).
  UINT AddStandardDevice(const std::string& name);
  // The same with a radio's line: a "Radio" source after the others, on
  // the speakers and on wave input (and in its multiplexer).
  UINT AddRadioDevice(const std::string& name);

  // Values from outside (as another program would change them): stored, and
  // a control-change notice for every open handle.
  void SetValues(UINT device, DWORD controlId, const std::vector<DWORD>& values);
  std::vector<DWORD> Values(UINT device, DWORD controlId) const;
  // A line-change notice for every open handle, as when a jack is plugged in.
  void SignalLineChange(UINT device, DWORD lineId);

  // Makes every later `call` on `device` fail with `error` (0 clears it).
  void FailCall(UINT device, MixerCall call, MMRESULT error);
  // Open handles on `device`.
  int OpenHandles(UINT device) const;

  UINT DeviceCount() override;
  MMRESULT GetCaps(UINT device, MIXERCAPSA* caps) override;
  MMRESULT Open(UINT device, std::unique_ptr<MixerDevice>* out) override;

  struct Device;

 private:
  Device& At(UINT device) const;
  UINT AddCardDevice(const std::string& name, bool radio);

  std::vector<std::shared_ptr<Device>> devices_;
};

// The name of the in-memory device a process starts with: the virtual
// radio's audio input ("<Name> Radio") while one is declared, else
// "Memory Mixer".
std::string MemoryMixerDeviceName();

}  // namespace plat
