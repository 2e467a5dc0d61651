// The radio engine "Zidar Eruv": plays FM/AM radio from a tuner (kind 1, a
// tuner device with its RDS data; kind 2, the outside radio component), searches
// the band for stations and records what plays. Frequencies, band edges and
// steps are the displayed value x 10^6: FM in Hz, AM in thousandths of a hertz.
// Every slot returns E_FAIL where the open kind does not support it. Events go
// to the IRadioEventSink given to StartScan, StartRecord or InitTunerCard, on
// the thread that created the engine. Slots 0-2 are IUnknown.
#pragma once

#include "interfaces/event_sinks.h"
#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_RadioCore = plat::MakeGuid("{5AB01899-7106-47BF-AB21-7695B2327E39}");
inline constexpr plat::IID IID_IRadioCore = plat::MakeGuid("{C917FCAC-A37D-4031-BE31-643508DDF671}");
inline constexpr char kRadioCoreName[] = "Zidar Eruv";

// The outside radio component opened by kind 2.
inline constexpr plat::CLSID CLSID_RadioTuner = plat::MakeGuid("{5D5AFAD8-E9D9-444F-9EFC-5FA48BC36657}");
inline constexpr plat::IID IID_IRadioTuner = plat::MakeGuid("{2B74788B-5A1D-43C4-A941-5BB4722D816D}");

// Engine states (GetState).
enum RadioCoreState : int {
  kRadioClosed = 0,
  kRadioPlaying = 1,
  kRadioSearching = 2,
  kRadioRecording = 3,
};

// Open kinds and the device values GetDeviceId reports after them.
inline constexpr int kRadioKindTuner = 1;
inline constexpr int kRadioKindComponent = 2;
inline constexpr int kRadioDeviceTuner = 158;
inline constexpr int kRadioDeviceComponent = 98;

// Recording formats of StartRecord.
enum RadioRecordFormat : int {
  kRadioRecordMp3 = 0,
  kRadioRecordWav = 1,
  kRadioRecordWma32 = 2,
  kRadioRecordWma64 = 3,
  kRadioRecordWma128 = 4,
};

struct IRadioCore : plat::IUnknown {
  // Kind 1 a tuner device (no folder); kind 2 the outside component, opened
  // with `folder` (where it keeps its presets).
  virtual plat::HRESULT Open(int kind, const char* folder) = 0;                 // 3
  virtual plat::HRESULT Close() = 0;                                            // 4
  virtual plat::HRESULT SetMute(int mute) = 0;                                  // 5
  virtual plat::HRESULT GetDeviceId(int* value) = 0;                            // 6
  virtual plat::HRESULT StartScan(int step, IRadioEventSink* sink) = 0;         // 7
  virtual plat::HRESULT GetScanProgress(float* progress) = 0;                   // 8: 0..1, searching only
  virtual plat::HRESULT StartRecord(const char* file, int format, IRadioEventSink* sink) = 0;  // 9
  virtual plat::HRESULT Stop() = 0;                                             // 10
  virtual plat::HRESULT GetState(int* state) = 0;                               // 11
  virtual plat::HRESULT GetSignalStrength(int* level) = 0;                      // 12: 0..5
  virtual plat::HRESULT GetBand(int* band) = 0;                                 // 13: 1 FM, 2 AM
  virtual plat::HRESULT SetBand(int band) = 0;                                  // 14
  virtual plat::HRESULT GetBandLow(int* frequency, int band) = 0;               // 15
  virtual plat::HRESULT GetBandHigh(int* frequency, int band) = 0;              // 16
  virtual plat::HRESULT GetFrequency(int* frequency) = 0;                       // 17
  virtual plat::HRESULT SetFrequency(int frequency) = 0;                        // 18
  // 0 other countries, 1 the country with code 1, 2 the country with code 81.
  virtual plat::HRESULT SetArea(int area) = 0;                                  // 19
  virtual plat::HRESULT GetStereo(int* stereo) = 0;                             // 20
  virtual plat::HRESULT IsSignalStrong(int* strong) = 0;                        // 21
  virtual plat::HRESULT InitTunerCard(int card, IRadioEventSink* sink) = 0;     // 22: E_FAIL without RDS
  virtual plat::HRESULT ReleaseTunerCard() = 0;                                 // 23
  // Passed through to the outside component's slots 15 and 14 (the station
  // presets: 20 doubles, MHz).
  virtual plat::HRESULT SetComponentOption15(double* presets) = 0;              // 24
  virtual plat::HRESULT SetComponentOption14(double* presets) = 0;              // 25

 protected:
  ~IRadioCore() = default;
};
PLAT_BIND_IID(IRadioCore, IID_IRadioCore);
