// The WMA ripper "Kestrovia WMA Ripper": turns one audio source (a CD track,
// a media file or an audio input) into a Windows Media Audio file and reports
// through an IRipperEventSink. Slots 0-2 are IUnknown.
#pragma once

#include <cstdint>

#include "interfaces/event_sinks.h"
#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_CdToWma = plat::MakeGuid("{D005BC4F-44B1-4A5A-BAF6-57AD7F156427}");
inline constexpr plat::IID IID_ICdToWma = plat::MakeGuid("{E3917FFC-665A-4FB8-9481-C0124794E6FA}");

struct ICdToWma : plat::IUnknown {
  // Creates the event window and the graph.
  virtual plat::HRESULT Initialize() = 0;                                               // 3
  // Destroys the event window and releases the graph; S_OK.
  virtual plat::HRESULT Uninitialize() = 0;                                             // 4
  // Where reports go; not reference-counted, null for none.
  virtual plat::HRESULT SetEventSink(IRipperEventSink* sink) = 0;                       // 5
  // Opens the audio input whose description or friendly name is `name`.
  virtual plat::HRESULT FindCaptureFilter(const char* name) = 0;                        // 6
  // Opens a media file or a CD track ("D:\Track03.cda") as the source.
  virtual plat::HRESULT OpenSourceW(const plat::WCHAR* path) = 0;                       // 7
  virtual plat::HRESULT OpenSource(const char* path) = 0;                               // 8
  // Builds the output branch writing `path` at about `bitRate` bit/s.
  virtual plat::HRESULT BuildRipGraph(const char* path, int bitRate, int preview) = 0;  // 9
  // The source's duration in 100 ns units, stored by BuildRipGraph.
  virtual plat::HRESULT GetDuration(std::int64_t* duration) = 0;                        // 10
  // The rip's current position in 100 ns units.
  virtual plat::HRESULT GetPosition(std::int64_t* position) = 0;                        // 11
  virtual plat::HRESULT Run() = 0;                                                      // 12
  virtual plat::HRESULT Pause() = 0;                                                    // 13
  // Stops the progress timer and the graph.
  virtual plat::HRESULT Stop() = 0;                                                     // 14
  virtual plat::HRESULT SetVideoOwner(plat::HWND owner) = 0;                            // 15
  virtual plat::HRESULT SetVideoPosition(int left, int top, int width, int height) = 0; // 16
  virtual plat::HRESULT GetVideoPosition(int* left, int* top, int* width, int* height) = 0;  // 17
  virtual plat::HRESULT ShowVideo(int show) = 0;                                        // 18

 protected:
  ~ICdToWma() = default;
};
PLAT_BIND_IID(ICdToWma, IID_ICdToWma);
