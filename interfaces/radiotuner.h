// The outside radio component that the radio engine opens as its kind 2:
// a radio tuner with FM and AM, the area's band plan, stereo, mute, a signal
// level and twenty station presets kept in a file of the folder it is
// opened with. Frequencies are doubles in the displayed unit: MHz on FM, kHz
// on AM. Slots 0-2 are IUnknown; every slot returns an HRESULT.
#pragma once

#include "interfaces/radiodeck.h"

// Bands of the component.
inline constexpr int kRadioTunerAm = 0;
inline constexpr int kRadioTunerFm = 1;
// Areas of the component: the band plans of most countries, of the country
// with code 81, of the country with code 1.
inline constexpr int kRadioTunerAreaOther = 0;
inline constexpr int kRadioTunerArea81 = 1;
inline constexpr int kRadioTunerArea1 = 2;
inline constexpr int kRadioTunerPresetCount = 20;

struct IRadioTunerComponent : plat::IUnknown {
  // Opens the radio; `folder` holds the presets file (none: no presets).
  virtual plat::HRESULT Open(const char* folder) = 0;                          // 3
  virtual plat::HRESULT Close() = 0;                                           // 4
  virtual plat::HRESULT SetBand(int band) = 0;                                 // 5: kRadioTunerAm/Fm
  virtual plat::HRESULT GetBand(int* band) = 0;                                // 6
  // Clamped to the band plan and put on its grid.
  virtual plat::HRESULT SetFrequency(double frequency) = 0;                    // 7
  virtual plat::HRESULT GetFrequency(double* frequency) = 0;                   // 8
  virtual plat::HRESULT SetMute(int mute) = 0;                                 // 9
  virtual plat::HRESULT SetArea(int area) = 0;                                 // 10
  // 0 mono, 1 stereo.
  virtual plat::HRESULT GetStereo(int* stereo) = 0;                            // 11
  // The band plan's edges of band 0 (AM) or 1 (FM); -1 the current band.
  virtual plat::HRESULT GetBandRange(double* low, double* high, int band) = 0;  // 12
  // 0.0 .. 5.0: the bar level with its fraction.
  virtual plat::HRESULT GetSignal(float* level) = 0;                           // 13
  // Stores the 20 presets (0-5 FM in MHz, 10-15 AM in kHz) into the file.
  virtual plat::HRESULT StorePresets(const double* presets) = 0;               // 14
  // Fills the 20 presets from the file (zeros where it has none).
  virtual plat::HRESULT LoadPresets(double* presets) = 0;                      // 15

 protected:
  ~IRadioTunerComponent() = default;
};
PLAT_BIND_IID(IRadioTunerComponent, IID_IRadioTuner);
