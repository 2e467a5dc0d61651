// The MP3 ripper "Kestrovia MP3 Ripper": turns one audio source into an MP3
// file (or a WAV file for any other extension) and reports through an
// IRipperEventSink. Its class id equals its interface id. Slots 0-2 are
// IUnknown.
#pragma once

#include <cstdint>

#include "interfaces/event_sinks.h"
#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::IID IID_ICdToMp3 = plat::MakeGuid("{0F76E898-7EA4-4D9C-BCE9-89AEF1561683}");
inline constexpr plat::CLSID CLSID_CdToMp3 = IID_ICdToMp3;

struct ICdToMp3 : plat::IUnknown {
  virtual plat::HRESULT Initialize() = 0;                                               // 3
  virtual plat::HRESULT Uninitialize() = 0;                                             // 4
  virtual plat::HRESULT SetEventSink(IRipperEventSink* sink) = 0;                       // 5
  virtual plat::HRESULT FindCaptureFilter(const char* name) = 0;                        // 6
  virtual plat::HRESULT OpenSourceW(const plat::WCHAR* path) = 0;                       // 7
  virtual plat::HRESULT OpenSource(const char* path) = 0;                               // 8
  // Builds the output branch: ".mp3" (any case) encodes MP3, others WAV.
  virtual plat::HRESULT BuildRipGraph(const char* path, int preview) = 0;               // 9
  virtual plat::HRESULT GetDuration(std::int64_t* duration) = 0;                        // 10
  virtual plat::HRESULT GetPosition(std::int64_t* position) = 0;                        // 11
  virtual plat::HRESULT Run() = 0;                                                      // 12
  virtual plat::HRESULT Pause() = 0;                                                    // 13
  virtual plat::HRESULT Stop() = 0;                                                     // 14
  virtual plat::HRESULT SetVideoOwner(plat::HWND owner) = 0;                            // 15
  virtual plat::HRESULT SetVideoPosition(int left, int top, int width, int height) = 0; // 16
  virtual plat::HRESULT GetVideoPosition(int* left, int* top, int* width, int* height) = 0;  // 17
  virtual plat::HRESULT ShowVideo(int show) = 0;                                        // 18
  // 1 when the maker's Layer-3 encoder can be created, else 0.
  virtual int IsEncoderAvailable() = 0;                                                 // 19

 protected:
  ~ICdToMp3() = default;
};
PLAT_BIND_IID(ICdToMp3, IID_ICdToMp3);
