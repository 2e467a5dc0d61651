// The WMA ripper's interface as the system core uses it: reading the rip
// graph's position and the track's duration, stopping the graph and
// releasing the ripper's window and graph. Slots 0-2 are IUnknown; the
// operations the ripper alone uses keep their places as reserved slots.
#pragma once

#include <cstdint>

#include "platform/com/unknown.h"

inline constexpr plat::IID IID_ICdToWma = plat::MakeGuid("{E3917FFC-665A-4FB8-9481-C0124794E6FA}");

struct ICdToWma : plat::IUnknown {
  virtual plat::HRESULT Reserved3() = 0;                           // 3
  // Destroys the ripper's event window and releases its graph.
  virtual plat::HRESULT Uninitialize() = 0;                        // 4
  virtual plat::HRESULT Reserved5() = 0;                           // 5
  virtual plat::HRESULT Reserved6() = 0;                           // 6
  virtual plat::HRESULT Reserved7() = 0;                           // 7
  virtual plat::HRESULT Reserved8() = 0;                           // 8
  virtual plat::HRESULT Reserved9() = 0;                           // 9
  // The duration of the opened track in 100 ns units; always S_OK.
  virtual plat::HRESULT GetDuration(std::int64_t* duration) = 0;   // 10
  // The rip graph's current position in 100 ns units (media time); E_FAIL
  // without a graph or when media time is not supported.
  virtual plat::HRESULT QueryDuration(std::int64_t* position) = 0; // 11
  virtual plat::HRESULT Reserved12() = 0;                          // 12
  virtual plat::HRESULT Reserved13() = 0;                          // 13
  // Stops the progress timer and the graph.
  virtual plat::HRESULT Stop() = 0;                                // 14

 protected:
  ~ICdToWma() = default;
};
PLAT_BIND_IID(ICdToWma, IID_ICdToWma);
