// CMixerEngine: the audio-mixer core of the mixer component. It opens one
// mixer device, caches its destination lines, their source lines and the
// controls of each, reads and sets volume, mute and list selection, and
// passes the device's change notices on to a notify window as message 976.
//
// Results are the mixer's error codes (0 for success) unless an operation
// says 1/0. Without an open device every operation gives 6 (or 0).
#pragma once

#include <string>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/core/types.h"

class CMixerEngine {
 public:
  static constexpr const char* kCallbackWindowClass = "Dummy Mixer CallBack Window";
  static constexpr plat::DWORD kCallbackWindowStyle = 0x80880000;
  static constexpr plat::DWORD kLineTypeNameChars = 32;

  // Creates the callback window, then opens device 0.
  CMixerEngine();
  ~CMixerEngine();
  CMixerEngine(const CMixerEngine&) = delete;
  CMixerEngine& operator=(const CMixerEngine&) = delete;

  // Opens `device` and reads its lines and controls; on success the device
  // open before is closed and `notifyWindow` receives the notices. On failure
  // nothing changes.
  plat::MMRESULT Open(plat::UINT device, plat::HWND notifyWindow);
  // 1/0.
  int SelectDevice(plat::UINT index);
  // Reopens the current device with `window` as notify window (1/0).
  int SetNotifyWindow(plat::HWND window);
  void Close();

  // Copies the device's name (up to 32 bytes) into `buffer` when one is given
  // (1/0). Fails for a device without destinations.
  int GetDeviceName(plat::UINT index, char* buffer);
  // Destination `index`, or source `index` of destination `destination` (1/0).
  int GetDestination(plat::DWORD index, plat::MIXERLINEA* line);
  int GetSource(plat::DWORD destination, plat::DWORD index, plat::MIXERLINEA* line);

  // Volume 0..1 through the line's first volume control.
  plat::MMRESULT GetVolume(plat::DWORD lineId, float* volume);
  plat::MMRESULT SetVolume(plat::DWORD lineId, float volume);
  // Mute through the line's first mute control.
  plat::MMRESULT GetMute(plat::DWORD lineId, int* mute);
  plat::MMRESULT SetMute(plat::DWORD lineId, int mute);

  // The id of the line's first control of `controlClass` (the type's top four bits).
  plat::MMRESULT FindControlOfClass(plat::DWORD lineId, plat::DWORD controlClass, plat::DWORD* controlId);
  // A single-select list chooses item `index` (or, deselecting, the next
  // one); a multi-select list sets item `index` to `select`.
  plat::MMRESULT SelectListItem(plat::DWORD controlId, plat::DWORD index, int select);
  // The same for the item whose text equals `name`, ignoring case.
  plat::MMRESULT SelectListItemByName(plat::DWORD controlId, const char* name, int select);
  // Makes `lineId` a recording source of the wave-input destination (or not).
  plat::MMRESULT SelectRecordingSource(plat::DWORD lineId, int select);
  // Source lines of the wave-input destination that are chosen: named by a
  // set item of its list controls, or with their mute control off.
  plat::MMRESULT GetSelectedRecordingLines(std::vector<plat::DWORD>* lines);
  // The same over the speakers destination.
  plat::MMRESULT GetSelectedSpeakerLines(std::vector<plat::DWORD>* lines);
  // 1 when `lineId` is a chosen recording line, else 0.
  int IsLineSelected(plat::DWORD lineId);

  // The name of a line's component type ("NOT VALID" for unknown codes).
  static const char* LineTypeName(plat::DWORD componentType);
  // Copies it into `buffer`; 11 when the buffer cannot take 32 bytes.
  static plat::MMRESULT CopyLineTypeName(plat::DWORD componentType, char* buffer, std::size_t size);

  plat::UINT DeviceIndex() const { return m_uDevice; }
  plat::HMIXER Handle() const { return m_hMixer; }
  plat::DWORD DestinationCount() const { return static_cast<plat::DWORD>(m_destinations.size()); }
  plat::HWND CallbackWindow() const { return m_hCallbackWnd; }
  plat::HWND NotifyWindow() const { return m_hNotifyWnd; }

 private:
  struct SourceRecord {
    plat::MIXERLINEA line;
    std::string typeName;
    std::vector<plat::MIXERCONTROLA> controls;
  };
  struct DestinationRecord {
    plat::MIXERLINEA line;
    std::string typeName;
    std::vector<plat::MIXERCONTROLA> controls;
    std::vector<SourceRecord> sources;
  };

  static plat::LRESULT CallbackWndProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void CreateCallbackWindow();
  plat::MMRESULT ReadDevice(plat::HMIXER mixer, plat::UINT device, std::vector<DestinationRecord>* out);
  // The cached controls of a line, or null.
  const std::vector<plat::MIXERCONTROLA>* LineControls(plat::DWORD lineId, plat::DWORD* channels) const;
  const plat::MIXERCONTROLA* Control(plat::DWORD controlId) const;
  plat::MMRESULT FindControlOfType(plat::DWORD lineId, plat::DWORD type, const plat::MIXERCONTROLA** control,
                                   plat::DWORD* channels) const;
  plat::MMRESULT ReadFirstItem(plat::DWORD lineId, plat::DWORD type, plat::DWORD* value);
  plat::MMRESULT WriteEveryItem(plat::DWORD lineId, plat::DWORD type, plat::DWORD value);
  const DestinationRecord* DestinationOfType(plat::DWORD componentType) const;
  plat::MMRESULT SelectedLinesOf(plat::DWORD componentType, std::vector<plat::DWORD>* lines);

  plat::UINT m_uDevice = 0;
  plat::HMIXER m_hMixer = nullptr;
  std::vector<DestinationRecord> m_destinations;
  plat::HWND m_hCallbackWnd = nullptr;
  plat::HWND m_hNotifyWnd = nullptr;
};
