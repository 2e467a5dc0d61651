// The DV component the camcorder engine drives (outside/dvdevice): it lists
// FireWire DV and MPEG-2 TS camcorders and the virtual camcorders declared in
// the registry, drives a tape's transport, shows its picture in a window and
// captures it to a file. Slot N of IDvDevice is the component's operation N;
// the slots between the used ones are reserved and answer E_NOTIMPL. Events
// go to one IDvDeviceEventSink, on the component's own threads.
#pragma once

#include <cstdint>

#include "interfaces/encoder_block.h"
#include "platform/com/hresult.h"
#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_DvDevice = plat::MakeGuid("{74CAFF6C-8CAB-4413-AE35-17B56FDE8AA6}");
inline constexpr plat::IID IID_IDvDevice = plat::MakeGuid("{2E5F17D7-BC93-4E02-B50D-F841A17FEAE2}");
inline constexpr plat::IID IID_IDvDiscCapture = plat::MakeGuid("{2E5F17D7-BC93-4E02-B50D-F841A17FEAE3}");

// Component events.
namespace dvevent {
inline constexpr int kCaptureStarted = 6025;
inline constexpr int kDeviceIdle = 6026;
inline constexpr int kDeviceArrived = 6034;
inline constexpr int kDeviceRemoved = 6035;
inline constexpr int kTransportStopped = 6043;  // the tape ended or stopped by itself
inline constexpr int kCaptureFile = 6044;       // text: the file being written
inline constexpr int kCaptureEnded = 6045;      // the file is finalised
inline constexpr int kCapturePaused = 6046;
inline constexpr int kCaptureResumed = 6047;
inline constexpr int kStopRequested = 6048;
inline constexpr int kDeviceBusy = 6049;
inline constexpr int kDiscCaptureFinished = 7044;
}  // namespace dvevent

// Transport codes read by GetTransportCode (AV/C transport states).
namespace dvcode {
inline constexpr int kNone = 4096;
inline constexpr int kPlay = 4296;
inline constexpr int kStop = 4297;
inline constexpr int kPause = 4298;
inline constexpr int kWind = 4299;
inline constexpr int kFastForward = 4300;
inline constexpr int kRewind = 4301;
}  // namespace dvcode

// Output modes of SetOutputMode.
namespace dvoutput {
inline constexpr int kPreview = 3;
inline constexpr int kDisc = 7;
inline constexpr int kAviType1 = 19;
inline constexpr int kAviType2 = 17;
inline constexpr int kRawDv = 81;
}  // namespace dvoutput

// Receives the component's events; returns 1.
class IDvDeviceEventSink {
 public:
  virtual int OnDvEvent(int code, const char* text) = 0;

 protected:
  ~IDvDeviceEventSink() = default;
};

#define DV_RESERVED(n) \
  virtual plat::HRESULT Reserved##n() { return plat::E_NOTIMPL; }

struct IDvDevice : plat::IUnknown {
  virtual plat::HRESULT Initialise() = 0;                                            // 3: (re)lists the devices
  virtual plat::HRESULT Uninitialise() = 0;                                          // 4
  virtual plat::HRESULT GetDeviceNameAt(int index, char* name, int size) = 0;       // 5
  virtual plat::HRESULT OpenDevice(const char* name) = 0;                            // 6: null closes
  virtual plat::HRESULT Play() = 0;                                                  // 7
  virtual plat::HRESULT Pause() = 0;                                                 // 8
  virtual plat::HRESULT Stop() = 0;                                                  // 9
  virtual plat::HRESULT StartCapture() = 0;                                          // 10
  virtual plat::HRESULT StopCapture() = 0;                                           // 11
  virtual plat::HRESULT FastForward() = 0;                                           // 12
  virtual plat::HRESULT Rewind() = 0;                                                // 13
  virtual plat::HRESULT ForwardScan() = 0;                                           // 14: wind while playing
  virtual plat::HRESULT ReverseScan() = 0;                                           // 15
  DV_RESERVED(16) DV_RESERVED(17) DV_RESERVED(18) DV_RESERVED(19) DV_RESERVED(20)
  DV_RESERVED(21) DV_RESERVED(22) DV_RESERVED(23) DV_RESERVED(24) DV_RESERVED(25)
  DV_RESERVED(26) DV_RESERVED(27) DV_RESERVED(28) DV_RESERVED(29)
  // ready: non-zero when the open device answers; detail: the transport code.
  virtual plat::HRESULT GetDeviceStatus(int* ready, int* detail) = 0;                // 30
  DV_RESERVED(31)
  virtual plat::HRESULT FinishStreamCapture() = 0;                                   // 32
  virtual plat::HRESULT GetDeviceKind(int* kind) = 0;                                // 33: 1 DV, 2 MPEG-2 TS
  virtual plat::HRESULT GetTimecode(std::uint8_t timecode[4]) = 0;                   // 34: h, m, s, frames
  DV_RESERVED(35) DV_RESERVED(36)
  virtual plat::HRESULT SetCaptureFormat(int value) = 0;                             // 37
  DV_RESERVED(38) DV_RESERVED(39) DV_RESERVED(40) DV_RESERVED(41) DV_RESERVED(42)
  virtual plat::HRESULT SetVideoWindow(plat::HWND window, const plat::RECT* rect) = 0;  // 43
  DV_RESERVED(44)
  virtual plat::HRESULT SetEncoderBlock(const EncoderBlock* block) = 0;              // 45
  virtual plat::HRESULT SetEventSink(IDvDeviceEventSink* sink) = 0;                  // 46
  virtual plat::HRESULT GetTransportCode(int* code) = 0;                             // 47: dvcode
  DV_RESERVED(48)
  virtual plat::HRESULT GetFrameRate(float* rate) = 0;                               // 49
  DV_RESERVED(50)
  virtual plat::HRESULT GetDeviceName(char* name, int size) = 0;                     // 51
  DV_RESERVED(52) DV_RESERVED(53) DV_RESERVED(54) DV_RESERVED(55)
  virtual plat::HRESULT SetOutputMode(int mode) = 0;                                 // 56: dvoutput
  DV_RESERVED(57) DV_RESERVED(58) DV_RESERVED(59)
  virtual plat::HRESULT SetCaptureFile(const char* path) = 0;                        // 60
};

// The generated disc menu a capture to disc writes.
struct DvMenuRect {
  std::int32_t left, top, right, bottom;
};
struct DvMenuTitle {
  DvMenuRect picture;
  DvMenuRect caption;
  char text[32];
};
struct DvMenuTemplate {
  char fontFace[32];
  std::int32_t fontHeight;
  std::int32_t fontWeight;
  std::int32_t fontValues[3];   // 0, 1, 100
  char title[64];
  std::int32_t menuKind;
  std::int32_t columns;
  std::int32_t rows;
  DvMenuRect nextArea;
  DvMenuRect buttons[3];
  const DvMenuTitle* titles;    // columns x rows entries, owned by the caller
  std::int32_t titleCount;
  char silentAudio[260];
  char background[260];
  char frame[260];
  char homeButton[260];
  char prevButton[260];
  char nextButton[260];
  char highlight[260];
  std::uint32_t colours[4];
};

struct IDvDiscCapture : plat::IUnknown {
  virtual plat::HRESULT Initialise() = 0;                                            // 3
  virtual plat::HRESULT Uninitialise() = 0;                                          // 4
  virtual plat::HRESULT SetProgramFolder(const char* folder) = 0;                    // 5
  virtual plat::HRESULT SetChapterMode(int value) = 0;                               // 6
  virtual plat::HRESULT SetMenuTemplate(const DvMenuTemplate* menu) = 0;             // 7
  virtual plat::HRESULT SetDiscTitle(const char* title) = 0;                         // 8
  virtual plat::HRESULT SetFinalise(int value) = 0;                                  // 9
  virtual plat::HRESULT SetWriter(std::intptr_t writer) = 0;                         // 10
  DV_RESERVED(11)
  virtual plat::HRESULT SetEventSink(IDvDeviceEventSink* sink) = 0;                  // 12
  virtual plat::HRESULT Start() = 0;                                                 // 13
  virtual plat::HRESULT Stop() = 0;                                                  // 14
};

#undef DV_RESERVED
PLAT_BIND_IID(IDvDevice, IID_IDvDevice);
PLAT_BIND_IID(IDvDiscCapture, IID_IDvDiscCapture);
