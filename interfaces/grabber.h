// The analogue TV engine: class "Kestrovia grabber" and its interface
// IGrabber (141 slots), which the TV and video-capture controllers drive. It
// previews, tunes, scans, records and time-shifts through the recorder and
// profile store of interfaces/tvrecorder.h and reports to IGrabberEventSink
// (interfaces/event_sinks.h) on the thread that created it. Results are S_OK
// or E_FAIL unless a slot names another result. Texts are UTF-8; name and
// folder buffers hold kGrabberTextChars bytes unless said otherwise.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interfaces/tvrecorder.h"
#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_Grabber = plat::MakeGuid("{42421735-1458-4464-80AC-B14D0D7719F0}");
inline constexpr plat::IID IID_IGrabber = plat::MakeGuid("{14C1A8D7-D788-43DA-8F07-F2DFD5C0AA60}");

inline constexpr int kGrabberTextChars = 256;
inline constexpr int kGrabberProfileNameChars = 64;
inline constexpr int kCountryCount = 241;

// The engine's states.
namespace grabstate {
inline constexpr int kConstructed = 200;
inline constexpr int kIdle = 201;
inline constexpr int kPreview = 202;
inline constexpr int kRecording = 203;
inline constexpr int kWatchingRecording = 204;
inline constexpr int kTimeShift = 205;
inline constexpr int kAutoScan = 206;
inline constexpr int kChannelScan = 207;
inline constexpr int kMultiPreview = 208;
inline constexpr int kDiscRecording = 209;
inline constexpr int kAutoScanAlternate = 210;
inline constexpr int kSourceRunning = 211;
inline constexpr int kSourceRecording = 212;
inline constexpr int kSourcePaused = 213;
inline constexpr int kSourceNamedRecording = 214;
}  // namespace grabstate

// Input kinds.
inline constexpr int kInputTuner = 0;
inline constexpr int kInputComposite = 1;
inline constexpr int kInputSVideo = 2;
inline constexpr int kInputWebCamera = 3;

// What Init takes (1124 bytes, by value).
struct GrabberInitRecord {
  std::int32_t recorderValue;        // handed to the recorder when Init creates it
  char profileName[64];              // empty: "DVD SP"
  char tvKey[256];                   // empty: "Software\Kestrovia\Marivel\TV"
  char outputFolder[256];
  std::int32_t country;              // outside 0..240: the locale's country
  std::int32_t inputKind;            // kInput...
  std::int32_t antenna;              // 1 antenna, 0 cable
  char videoDevice[256];             // empty: the recorder's first
  char audioDevice[256];             // empty: the recorder's first
  std::int32_t pictureLevels[4];     // 0..100, -1 for the device default
  std::int32_t startChannel;
};
static_assert(sizeof(GrabberInitRecord) == 1124);
static_assert(offsetof(GrabberInitRecord, profileName) == 4);
static_assert(offsetof(GrabberInitRecord, tvKey) == 68);
static_assert(offsetof(GrabberInitRecord, outputFolder) == 324);
static_assert(offsetof(GrabberInitRecord, country) == 580);
static_assert(offsetof(GrabberInitRecord, inputKind) == 584);
static_assert(offsetof(GrabberInitRecord, antenna) == 588);
static_assert(offsetof(GrabberInitRecord, videoDevice) == 592);
static_assert(offsetof(GrabberInitRecord, audioDevice) == 848);
static_assert(offsetof(GrabberInitRecord, pictureLevels) == 1104);
static_assert(offsetof(GrabberInitRecord, startChannel) == 1120);

// A recording to a given name (328 bytes, by value).
struct RecordNameBlock {
  char profileName[64];
  char fileName[256];                // without folder and extension
  std::int32_t audioValue;           // to the recorder's tuning (inner 87)
  std::int32_t startValue;           // to the recording start (inner 62)
};
static_assert(sizeof(RecordNameBlock) == 328);
static_assert(offsetof(RecordNameBlock, fileName) == 64);
static_assert(offsetof(RecordNameBlock, audioValue) == 320);
static_assert(offsetof(RecordNameBlock, startValue) == 324);

class IGrabberEventSink;

struct IGrabber : plat::IUnknown {
  virtual plat::HRESULT Init(GrabberInitRecord record) = 0;                               // 3
  virtual plat::HRESULT SetNotifyTarget(IGrabberEventSink* sink) = 0;                     // 4
  virtual plat::HRESULT SetVideoOwner(plat::HWND owner) = 0;                              // 5
  virtual plat::HRESULT SetVideoOrigin(int left, int top) = 0;                            // 6
  virtual plat::HRESULT SetVideoSize(int width, int height) = 0;                          // 7
  virtual plat::HRESULT ShowVideo(int show) = 0;                                          // 8
  virtual plat::HRESULT GetChannelName(char* name, int channel) = 0;                      // 9: 0 the current
  virtual plat::HRESULT GetChannelStatus(int channel, char* name) = 0;                    // 10
  virtual plat::HRESULT GetChannelRange(int* first, int* last) = 0;                       // 11
  virtual plat::HRESULT SetChannelParam(int value, int channel) = 0;                      // 12
  virtual plat::HRESULT GetTunedChannel(int* channel) = 0;                                // 13
  virtual plat::HRESULT TuneChannel(int channel) = 0;                                     // 14
  virtual plat::HRESULT ChannelStep1() = 0;                                               // 15
  virtual plat::HRESULT ChannelStep2() = 0;                                               // 16
  virtual plat::HRESULT ChannelStep3() = 0;                                               // 17
  virtual plat::HRESULT AutoScan(int on) = 0;                                             // 18
  virtual plat::HRESULT AutoScanAlternate(int on) = 0;                                    // 19
  virtual plat::HRESULT GetChannelSignal(int channel, int* value, int* status) = 0;       // 20
  virtual plat::HRESULT SetChannelStored(int channel, int value) = 0;                     // 21
  virtual plat::HRESULT Preview(int on) = 0;                                              // 22
  virtual plat::HRESULT WatchWhileRecording(int on) = 0;                                  // 23
  virtual plat::HRESULT TakeSnapshot(const char* path) = 0;                               // 24
  virtual plat::HRESULT Record(int on) = 0;                                               // 25
  virtual plat::HRESULT RecordNamed(RecordNameBlock name) = 0;                            // 26
  virtual plat::HRESULT TimeShift(int on) = 0;                                            // 27
  virtual plat::HRESULT RecordToDisc(int on) = 0;                                         // 28
  virtual plat::HRESULT PrepareDisc(int driveLetter) = 0;                                 // 29
  // The list, when given, holds last - first + 1 channels.
  virtual plat::HRESULT StartChannelScan(int first, int last, const unsigned* channels) = 0;  // 30
  virtual plat::HRESULT StopChannelScan() = 0;                                            // 31
  virtual plat::HRESULT ScanControl(int a, int b, int c, int d, int e) = 0;               // 32
  virtual plat::HRESULT StartMultiChannelPreview(int count, const unsigned* channels) = 0;  // 33
  virtual plat::HRESULT StopMultiChannelPreview() = 0;                                    // 34
  virtual plat::HRESULT NextPreviewChannel() = 0;                                         // 35
  virtual plat::HRESULT PrevPreviewChannel() = 0;                                         // 36
  virtual plat::HRESULT TimeShiftOp122() = 0;                                             // 37: play
  virtual plat::HRESULT TimeShiftOp126() = 0;                                             // 38: pause
  virtual plat::HRESULT SeekBackward(int steps) = 0;                                      // 39: 15 s a step
  virtual plat::HRESULT SeekForward(int steps) = 0;                                       // 40
  virtual plat::HRESULT GetElapsedTime(int* hours, int* minutes, int* seconds) = 0;       // 41
  virtual plat::HRESULT GetPlaybackPosition(int* hour, int* minute, int* second) = 0;     // 42
  virtual plat::HRESULT GetRemainingRecordTime(const char* folder, int profileIndex, float* minutes) = 0;  // 43
  virtual plat::HRESULT SelectRecordProfile(const char* name) = 0;                        // 44
  virtual plat::HRESULT SetTimeShiftFolder(const char* folder) = 0;                       // 45
  virtual plat::HRESULT SetCountry(int index) = 0;                                        // 46: -1 the locale's
  virtual plat::HRESULT SetVideoInput(int input) = 0;                                     // 47
  virtual plat::HRESULT SetTunerInput(int antenna) = 0;                                   // 48
  virtual plat::HRESULT SetVideoDeviceName(const char* name) = 0;                         // 49
  virtual plat::HRESULT SetAudioDeviceName(const char* name) = 0;                         // 50
  virtual plat::HRESULT SetPictureLevel1(int level) = 0;                                  // 51: -1..100
  virtual plat::HRESULT SetPictureLevel2(int level) = 0;                                  // 52
  virtual plat::HRESULT SetPictureLevel3(int level) = 0;                                  // 53
  virtual plat::HRESULT SetPictureLevel4(int level) = 0;                                  // 54
  virtual plat::HRESULT SetCaptureOption(int value) = 0;                                  // 55
  virtual plat::HRESULT SetTimeShiftLength(int minutes) = 0;                              // 56
  virtual plat::HRESULT ResetVideoSettings() = 0;                                         // 57
  virtual plat::HRESULT SetTvAudioMode(int mode) = 0;                                     // 58: 0..4
  virtual plat::HRESULT SetAudioChannelMode(int mode) = 0;                                // 59: 0..2
  virtual plat::HRESULT RecorderOp60(int value) = 0;                                      // 60
  virtual plat::HRESULT ApplyCountrySettings() = 0;                                       // 61
  virtual plat::HRESULT GetSelectedProfileName(char* name) = 0;                           // 62: 64 bytes
  virtual plat::HRESULT GetRecordProfile(EncoderBlock* block) = 0;                        // 63
  virtual plat::HRESULT GetOutputFolder(char* folder) = 0;                                // 64
  virtual int GetCountry() = 0;                                                           // 65: the index
  virtual int GetInputKind() = 0;                                                         // 66
  virtual plat::HRESULT RecorderOp67(int value) = 0;                                      // 67
  virtual int GetTunerInput() = 0;                                                        // 68: antenna flag
  virtual plat::HRESULT GetVideoDeviceName(char* name) = 0;                               // 69
  virtual plat::HRESULT GetAudioDeviceName(char* name) = 0;                               // 70
  virtual int GetPictureLevel1() = 0;                                                     // 71
  virtual int GetPictureLevel2() = 0;                                                     // 72
  virtual int GetPictureLevel3() = 0;                                                     // 73
  virtual int GetPictureLevel4() = 0;                                                     // 74
  virtual plat::HRESULT GetPictureRange1(int* minimum, int* maximum, int* byDefault) = 0;  // 75
  virtual plat::HRESULT GetPictureRange2(int* minimum, int* maximum, int* byDefault) = 0;  // 76
  virtual plat::HRESULT GetPictureRange3(int* minimum, int* maximum, int* byDefault) = 0;  // 77
  virtual plat::HRESULT GetPictureRange4(int* minimum, int* maximum, int* byDefault) = 0;  // 78
  virtual int GetCaptureOption() = 0;                                                     // 79
  virtual int GetTimeShiftLength() = 0;                                                   // 80
  virtual int GetAudioChannelMode() = 0;                                                  // 81: 0..2 or -1
  virtual int GetTvAudioMode() = 0;                                                       // 82: 0..4 or -1
  virtual int GetReportedInputType() = 0;                                                 // 83: 1, 2 or 0
  virtual int GetProfileFamily() = 0;                                                     // 84: 0, 1 NTSC, 2 PAL
  virtual plat::HRESULT GetProfileNameAt(int index, char* name) = 0;                      // 85: 128 bytes
  virtual plat::HRESULT GetCountryName(int index, char* name) = 0;                        // 86
  virtual plat::HRESULT RecorderOp87(int value) = 0;                                      // 87: inner 13
  virtual plat::HRESULT RecorderOp88(int index, char* name) = 0;                          // 88: video device name
  virtual plat::HRESULT RecorderOp89(int index, char* name) = 0;                          // 89: audio device name
  virtual plat::HRESULT GetStoredChannel(int index, int* value, int* status) = 0;         // 90
  virtual plat::HRESULT EnableDivXSettings(int on) = 0;                                   // 91
  virtual plat::HRESULT SetVideoFlag190(int value) = 0;                                   // 92
  virtual int IsSignalPresent() = 0;                                                      // 93
  virtual int IsDeviceReady() = 0;                                                        // 94
  virtual plat::HRESULT GetTeletextKeyColour(plat::COLORREF* colour) = 0;                 // 95
  virtual plat::HRESULT GetTeletextAvailable() = 0;                                       // 96
  virtual plat::HRESULT RecorderOp97(plat::HWND owner) = 0;                               // 97: teletext window owner
  virtual plat::HRESULT RecorderOp98(int left, int top, int width, int height) = 0;      // 98: its place
  virtual plat::HRESULT ShowTeletext(int show) = 0;                                       // 99
  virtual plat::HRESULT RecorderOp100(int on) = 0;                                        // 100: over the video
  virtual int GetTeletextPage() = 0;                                                      // 101: -1 when unknown
  virtual plat::HRESULT SetTeletextPage(int page) = 0;                                    // 102
  virtual plat::HRESULT PrevTeletextPage() = 0;                                           // 103
  virtual plat::HRESULT NextTeletextPage() = 0;                                           // 104
  virtual plat::HRESULT PrevTeletextSubPage() = 0;                                        // 105
  virtual plat::HRESULT NextTeletextSubPage() = 0;                                        // 106
  virtual plat::HRESULT TeletextKeyRed() = 0;                                             // 107
  virtual plat::HRESULT TeletextKeyGreen() = 0;                                           // 108
  virtual plat::HRESULT TeletextKeyBlue() = 0;                                            // 109
  virtual plat::HRESULT TeletextKeyYellow() = 0;                                          // 110
  virtual plat::HRESULT SetBurnSource(const char* path, int format) = 0;                  // 111: saves the page
  virtual plat::HRESULT RecorderOp112(int value) = 0;                                     // 112
  virtual plat::HRESULT EnableBurnProgress(int on) = 0;                                   // 113
  virtual plat::HRESULT RecorderOp114(int value) = 0;                                     // 114
  virtual plat::HRESULT RecorderOp115(int value) = 0;                                     // 115
  virtual plat::HRESULT SetGuideRange(int a, int b) = 0;                                  // 116
  virtual plat::HRESULT GuideStep(int value) = 0;                                         // 117
  virtual plat::HRESULT RecorderOp118(int value) = 0;                                     // 118
  virtual plat::HRESULT RecorderOp119(int value) = 0;                                     // 119
  virtual plat::HRESULT RecorderOp120(int value) = 0;                                     // 120
  virtual plat::HRESULT RecorderOp121(int value) = 0;                                     // 121
  virtual plat::HRESULT HasWebCamera() = 0;                                               // 122
  virtual plat::HRESULT SelectWebCamera() = 0;                                            // 123
  virtual plat::HRESULT SelectCompositeInput() = 0;                                       // 124
  virtual plat::HRESULT SelectSVideoInput() = 0;                                          // 125
  virtual plat::HRESULT OpenTimeShiftSource(const char* open) = 0;                        // 126: null closes
  virtual plat::HRESULT RecordSource() = 0;                                               // 127
  virtual plat::HRESULT PauseSource(int value) = 0;                                       // 128
  virtual plat::HRESULT ResumeSource() = 0;                                               // 129
  virtual plat::HRESULT RecordSourceNamed(RecordNameBlock name) = 0;                      // 130
  virtual plat::HRESULT SeekTo(int step, double value) = 0;                               // 131
  virtual plat::HRESULT SeekTo2(int step, double value) = 0;                              // 132
  virtual plat::HRESULT RecorderOp133(int value) = 0;                                     // 133: inner 43
  virtual plat::HRESULT RecorderOp134() = 0;                                              // 134: inner 44
  virtual plat::HRESULT RecorderOp135(int mode, double rate) = 0;                         // 135: inner 45
  virtual plat::HRESULT ResetPlaybackRate() = 0;                                          // 136
  virtual plat::HRESULT RecorderOp137(int value) = 0;                                     // 137
  virtual plat::HRESULT RecorderOp138(int value) = 0;                                     // 138
  virtual plat::HRESULT RecorderOp139(int value) = 0;                                     // 139
  virtual plat::HRESULT RecorderOp140(int value) = 0;                                     // 140

 protected:
  ~IGrabber() = default;
};
PLAT_BIND_IID(IGrabber, IID_IGrabber);
