// The camcorder engine: class "Kestrovia DV grabber" and its interface
// IDvGrab (slots 3-32), which the video-capture and TV controllers drive. It
// lists camcorders through the DV component (interfaces/dvdevice.h), drives
// their tape, captures to a file or, through the burning library, to a disc,
// and reports to IDvGrabEventSink (interfaces/event_sinks.h) on the thread
// that created it. Results are S_OK or E_FAIL unless a slot names another.
// Texts are UTF-8; name buffers hold kDvNameChars bytes, folders kDvPathChars.
#pragma once

#include "interfaces/encoder_block.h"
#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_DvGrab = plat::MakeGuid("{C8FFE2F8-EE2F-495B-A432-3C9861F12898}");
inline constexpr plat::IID IID_IDvGrab = plat::MakeGuid("{BA0C7A16-4591-402F-956C-2B2F53D73956}");

inline constexpr int kDvNameChars = 128;
inline constexpr int kDvPathChars = 260;

// Engine states.
namespace dvstate {
inline constexpr int kClosed = 200;
inline constexpr int kCaptureEnded = 201;
inline constexpr int kCapturing = 203;
}  // namespace dvstate

// Tape transport states.
namespace dvtransport {
inline constexpr int kStopped = 1;
inline constexpr int kPlaying = 2;
inline constexpr int kPaused = 3;
inline constexpr int kFastForward = 4;
inline constexpr int kFastForwardFromPlay = 5;  // entered from 2, 3 or 7
inline constexpr int kRewind = 6;
inline constexpr int kRewindFromPlay = 7;       // entered from 2, 3 or 5
inline constexpr int kCapturing = 8;
inline constexpr int kBusy = 10;
}  // namespace dvtransport

// Device kinds.
inline constexpr int kDvKindDv = 1;
inline constexpr int kDvKindMpeg = 2;  // MPEG-2 transport stream (the MicroMV kind)

// Open's flag that loads the burning library from the given folder.
inline constexpr int kDvOpenLoadBurner = 4;

class IDvGrabEventSink;

struct IDvGrab : plat::IUnknown {
  virtual plat::HRESULT Open(int ignored, int flags, const char* burnerFolder) = 0;          // 3: only in 200
  virtual plat::HRESULT Close() = 0;                                                         // 4
  virtual plat::HRESULT SetNotifyTarget(IDvGrabEventSink* sink) = 0;                         // 5
  virtual plat::HRESULT SetOutputFolder(const char* folder) = 0;                             // 6: creates it
  virtual plat::HRESULT GetOutputFolder(char* folder) = 0;                                   // 7: kDvPathChars
  virtual plat::HRESULT SetCaptureFormat(int value) = 0;                                     // 8
  virtual plat::HRESULT SetOutputType(int type) = 0;                                         // 9: 0, 1, 2
  virtual plat::HRESULT SetEncoderParams(EncoderBlock block) = 0;                            // 10
  virtual plat::HRESULT Reserved11() = 0;                                                    // 11
  // The camcorder's frame rate: 25.0 or 29.97; E_FAIL without a device.
  virtual plat::HRESULT GetFrameRate(float* rate) = 0;                                       // 12
  virtual plat::HRESULT SetVideoWindow(plat::HWND window, int left, int top, int right, int bottom) = 0;  // 13
  virtual plat::HRESULT SetCaptureFile(const char* path) = 0;                                // 14
  virtual plat::HRESULT Capture(int start) = 0;                                              // 15
  virtual plat::HRESULT Play() = 0;                                                          // 16
  virtual plat::HRESULT Pause() = 0;                                                         // 17
  virtual plat::HRESULT Stop() = 0;                                                          // 18
  virtual plat::HRESULT Rewind() = 0;                                                        // 19
  virtual plat::HRESULT FastForward() = 0;                                                   // 20
  virtual plat::HRESULT GetTimecode(int* hours, int* minutes, int* seconds) = 0;             // 21
  virtual plat::HRESULT GetCaptureTime(int* hours, int* minutes, int* seconds) = 0;          // 22: in 203
  virtual plat::HRESULT EnumerateDevices() = 0;                                              // 23
  virtual plat::HRESULT HasDiscWriter() = 0;                                                 // 24
  virtual plat::HRESULT CheckDeviceReady() = 0;                                              // 25
  virtual plat::HRESULT GetDeviceKind(int* kind) = 0;                                        // 26
  virtual plat::HRESULT SelectDevice(int index) = 0;                                         // 27: < 0 none
  virtual plat::HRESULT GetDeviceName(char* name) = 0;                                       // 28: kDvNameChars
  virtual plat::HRESULT GetDeviceNameAt(char* name, int index) = 0;                          // 29: kDvNameChars
  virtual plat::HRESULT SelectDrive(int index) = 0;                                          // 30
  virtual plat::HRESULT StartCaptureToDisc() = 0;                                            // 31
  virtual plat::HRESULT StopCaptureToDisc() = 0;                                             // 32
};
PLAT_BIND_IID(IDvGrab, IID_IDvGrab);
