// The outside core object and its services: the audio service, the drive
// enumerator, key input and image acquisition. The core object hands out
// each engine and service by its IID through QueryInterface.
#pragma once

#include <cstdint>

#include "interfaces/event_sinks.h"
#include "interfaces/image_acquire.h"
#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_CoreObject = plat::MakeGuid("{D0B088E1-D9D9-46DC-A041-B40F3FCF7CB8}");
inline constexpr plat::IID IID_ICoreObject = plat::MakeGuid("{65E9BC66-6E7B-468E-BAF6-C5806071A2BA}");
inline constexpr plat::IID IID_ICoreAudio = plat::MakeGuid("{1CCE5C36-FF0E-4CEA-8810-E1A6593A953E}");
inline constexpr plat::IID IID_IDriveEnumerator = plat::MakeGuid("{84247F0C-B199-4424-96F1-09B772E12CAC}");
inline constexpr plat::IID IID_IKeyInputSource = plat::MakeGuid("{A9920B2B-DAB3-491A-B8E3-DBAA6152F2F6}");

// Name buffers of the audio and drive services hold this many bytes.
inline constexpr int kServiceNameBytes = 520;

// The core object's own interface: nothing beyond IUnknown.
struct ICoreObject : plat::IUnknown {
 protected:
  ~ICoreObject() = default;
};
PLAT_BIND_IID(ICoreObject, IID_ICoreObject);

// The audio service, slot for slot the shape of the mixer component's
// interface. Results: S_OK, or E_FAIL. A buffer argument points to the
// caller's buffer pointer; a null buffer only tests for existence.
struct ICoreAudio : plat::IUnknown {
  virtual plat::HRESULT SetNotifyTarget(ICoreAudioEventSink* sink) = 0;                 // 3
  virtual plat::HRESULT GetDeviceName(int index, char** buffer) = 0;                    // 4
  virtual plat::HRESULT SelectDeviceByName(const char* name) = 0;                       // 5
  virtual plat::HRESULT SetNotifyWindow(plat::HWND window) = 0;                         // 6
  virtual plat::HRESULT GetSpeakersLineName(char** buffer) = 0;                         // 7
  virtual plat::HRESULT GetSpeakersLineState(int line, int* mute, float* volume, plat::DWORD* type) = 0;  // 8
  virtual plat::HRESULT SetSpeakersVolume(int line, float volume) = 0;                  // 9
  virtual plat::HRESULT SetSpeakersMute(int line, int mute) = 0;                        // 10
  virtual plat::HRESULT GetSourceLineName(int index, char** buffer) = 0;                // 11
  virtual plat::HRESULT GetSourceLineState(int index, int* mute, float* volume, plat::DWORD* type) = 0;  // 12
  virtual plat::HRESULT SetSourceVolume(int index, float volume) = 0;                   // 13
  virtual plat::HRESULT SetSourceMute(int index, int mute) = 0;                         // 14
  virtual plat::HRESULT GetRecordingLineName(int index, char** buffer) = 0;             // 15
  virtual plat::HRESULT GetRecordingLineState(int index, int* selected, int* mute, float* volume,
                                              plat::DWORD* type) = 0;                   // 16
  virtual plat::HRESULT SetRecordingVolume(int index, float volume) = 0;                // 17
  virtual plat::HRESULT SelectRecordingSource(int index) = 0;                           // 18
  virtual plat::HRESULT SetRecordingMute(int index, int mute) = 0;                      // 19

 protected:
  ~ICoreAudio() = default;
};
PLAT_BIND_IID(ICoreAudio, IID_ICoreAudio);

// Drive kinds the enumerator reports (slot 9).
enum DriveKind : int {
  DRIVE_KIND_NONE = 0,
  DRIVE_KIND_OPTICAL = 1,    // CD/DVD drive (or a virtual disc)
  DRIVE_KIND_FIXED = 2,      // a mounted file system on a fixed disk
  DRIVE_KIND_FOLDER = 3,     // a virtual drive backed by a folder
  DRIVE_KIND_REMOVABLE = 8,  // USB stick, card reader slot
};

// Door states (slot 10) and door moves (slot 11).
inline constexpr int kDoorClosed = 0;
inline constexpr int kDoorOpen = 1;
inline constexpr int kDoorMoveOpen = 1;
inline constexpr int kDoorMoveClose = 2;

// Disc kinds (slot 26).
enum DiscKind : int {
  DISC_NONE = 0,
  DISC_AUDIO_CD = 1,
  DISC_DATA = 2,
  DISC_VIDEO_DVD = 3,
};

// Drives are numbered 0 for A: to 25 for Z:. Results: S_OK, or E_FAIL.
struct IDriveEnumerator : plat::IUnknown {
  virtual plat::HRESULT Refresh() = 0;                                                  // 3
  virtual plat::HRESULT GetDriveCount(int* count) = 0;                                  // 4
  virtual plat::HRESULT GetDriveLabel(int drive, char** buffer) = 0;                    // 5
  virtual plat::HRESULT GetDriveNumber(const char* root, int* drive) = 0;               // 6
  virtual plat::HRESULT GetDriveRoot(int index, char** buffer) = 0;                     // 7: index-th drive
  virtual plat::HRESULT GetDriveMountPath(int drive, char** buffer) = 0;                // 8
  virtual plat::HRESULT GetDriveKind(int drive, int* kind) = 0;                         // 9
  virtual plat::HRESULT GetDoorState(int drive, int* state) = 0;                        // 10
  virtual plat::HRESULT MoveDoor(int drive, int move) = 0;                              // 11
  virtual plat::HRESULT GetList3Entry(int index, char** first, char** second) = 0;      // 12
  virtual plat::HRESULT GetList4Entry(int index, char** first, char** second) = 0;      // 13
  virtual plat::HRESULT GetList5Entry(int index, char** first, char** second) = 0;      // 14
  virtual plat::HRESULT GetDriveDevice(int drive, char** buffer) = 0;                   // 15
  virtual plat::HRESULT IsDriveReady(int drive, int* ready) = 0;                        // 16
  virtual plat::HRESULT GetFreeSpace(int drive, std::uint64_t* bytes) = 0;              // 17
  virtual plat::HRESULT GetTotalSpace(int drive, std::uint64_t* bytes) = 0;             // 18
  virtual plat::HRESULT GetCaptureDeviceName(int index, char** buffer) = 0;             // 19
  virtual plat::HRESULT GetDriveMask(plat::DWORD* mask) = 0;                            // 20
  virtual plat::HRESULT Reserved21() = 0;                                               // 21
  virtual plat::HRESULT Reserved22() = 0;                                               // 22
  virtual plat::HRESULT SetPhotoNotifySink(IPhotoNotifySink* sink) = 0;                 // 23
  virtual plat::HRESULT ReleasePhotoNotifySink() = 0;                                   // 24
  virtual plat::HRESULT GetVolumeSerial(int drive, plat::DWORD* serial) = 0;            // 25
  virtual plat::HRESULT GetDiscKind(int drive, int* kind) = 0;                          // 26
  virtual plat::HRESULT GetDiscId(int drive, std::uint64_t* id) = 0;                    // 27

 protected:
  ~IDriveEnumerator() = default;
};
PLAT_BIND_IID(IDriveEnumerator, IID_IDriveEnumerator);

// The remote control's special keys. Codes reach the sink on the thread
// that started key input.
struct IKeyInputSource : plat::IUnknown {
  virtual plat::HRESULT StartInput() = 0;                          // 3
  virtual plat::HRESULT StopInput() = 0;                           // 4
  virtual plat::HRESULT SetDispatchSink(IKeyDispatchSink* sink) = 0;  // 5

 protected:
  ~IKeyInputSource() = default;
};
PLAT_BIND_IID(IKeyInputSource, IID_IKeyInputSource);

