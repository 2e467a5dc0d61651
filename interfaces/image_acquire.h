// Image acquisition from cameras and scanners: the device list
// (IImageAcquire) and one acquisition at a time (IImageAcquireSession), both
// on one object the core object hands out. The work runs on a worker thread
// that reaches the caller only through its IImageAcquireEventSink. Names and
// paths are UTF-8; the record widths are those the Photo module keeps.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::IID IID_IImageAcquire = plat::MakeGuid("{4B698777-715E-4B50-8A9D-3A05B1DC344B}");
inline constexpr plat::IID IID_IImageAcquireSession = plat::MakeGuid("{66DE70E7-AAAA-40EB-B651-9C69EDFC6E2D}");

inline constexpr std::int32_t kAcquireScanner = 1;
inline constexpr std::int32_t kAcquireCamera = 2;
inline constexpr std::int32_t kAcquireFolderCamera = 3;

// One device: its display name, how the component finds it again ("disk:<folder>",
// a camera port, a scanner's device name), its type and its place in its list.
struct AcquireDeviceRecord {
  char name[1024] = {};
  char identifier[1024] = {};
  std::int32_t type = 0;
  std::int32_t index = 0;
};
using AcquireDeviceList = std::vector<AcquireDeviceRecord>;

// One thing to acquire: the picture on the device (a camera file's path, or
// "scan"), the folder the result goes to (empty: the component's choice), the
// device type, the item's index, and three values kept for the caller.
struct AcquireItemRecord {
  char source[1024] = {};
  char folder[1024] = {};
  std::int32_t type = 0;
  std::int32_t index = 0;
  std::int32_t values[3] = {};
};
using AcquireItemList = std::vector<AcquireItemRecord>;

// The caller's callbacks. All but the list queries are called on the worker
// thread; the caller carries them to its own thread.
class IImageAcquireEventSink {
 public:
  virtual int GetCurrentDevice(AcquireDeviceRecord* device) = 0;  // 0: false when none is selected
  virtual int GetItems(AcquireItemList* items) = 0;               // 1: what to acquire
  virtual int Reserved2() = 0;                                    // 2
  virtual int OnImage(const char* path, std::int32_t keep) = 0;   // 3: keep 1 = a temporary file
  virtual int Reserved4() = 0;                                    // 4
  virtual int OnFinished() = 0;                                   // 5: the worker is about to end
  virtual int Reserved6() = 0;                                    // 6
  virtual int Reserved7() = 0;                                    // 7
  virtual int OnProgress(std::int32_t percent) = 0;               // 8
  virtual int ShouldStop() = 0;                                   // 9: true ends the work early

 protected:
  ~IImageAcquireEventSink() = default;
};

struct IImageAcquire : plat::IUnknown {
  // Starts watching for cameras and scanners that come and go.
  virtual plat::HRESULT Initialize() = 0;                                  // 3
  virtual plat::HRESULT ReservedA4() = 0;                                  // 4
  virtual plat::HRESULT ReservedA5() = 0;                                  // 5
  virtual plat::HRESULT ReservedA6() = 0;                                  // 6
  // Looks for devices again (flags: 0).
  virtual plat::HRESULT RefreshDevices(std::int32_t flags) = 0;            // 7
  virtual plat::HRESULT ReservedA8() = 0;                                  // 8
  virtual plat::HRESULT GetScanners(AcquireDeviceList* devices) = 0;       // 9
  virtual plat::HRESULT GetCameras(AcquireDeviceList* devices) = 0;        // 10

 protected:
  ~IImageAcquire() = default;
};
PLAT_BIND_IID(IImageAcquire, IID_IImageAcquire);

struct IImageAcquireSession : plat::IUnknown {
  virtual plat::HRESULT ReservedS3() = 0;                                  // 3
  virtual plat::HRESULT ReservedS4() = 0;                                  // 4
  // Starts the worker; `done` receives an event handle signalled when it has
  // ended (wait on it, then close it).
  virtual plat::HRESULT StartAcquire(plat::HANDLE* done) = 0;              // 5
  virtual plat::HRESULT ReservedS6() = 0;                                  // 6
  virtual plat::HRESULT ReservedS7() = 0;                                  // 7
  virtual plat::HRESULT ReservedS8() = 0;                                  // 8
  virtual plat::HRESULT ReservedS9() = 0;                                  // 9
  virtual plat::HRESULT ReservedS10() = 0;                                 // 10
  virtual plat::HRESULT SelectDevice(const char* name) = 0;                // 11
  virtual plat::HRESULT Connect() = 0;                                     // 12
  virtual plat::HRESULT GetItems(AcquireItemList* items) = 0;              // 13
  virtual plat::HRESULT ReservedS14() = 0;                                 // 14
  virtual plat::HRESULT ReservedS15() = 0;                                 // 15
  virtual plat::HRESULT ReservedS16() = 0;                                 // 16
  virtual plat::HRESULT ReservedS17() = 0;                                 // 17
  virtual plat::HRESULT SetEventSink(IImageAcquireEventSink* sink) = 0;    // 18

 protected:
  ~IImageAcquireSession() = default;
};
PLAT_BIND_IID(IImageAcquireSession, IID_IImageAcquireSession);
