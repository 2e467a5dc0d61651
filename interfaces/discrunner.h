// The DVD engine: class "Kestrovia DVD Engine", its interface IDiscRunner
// (discs, video CDs and video files through the DVD playback library) and
// the callback table IDvdEventSink on which it reports the library's events.
#pragma once

#include <cstdint>

#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_DiscRunner = plat::MakeGuid("{3F2F27A6-AC4B-48F7-9CDE-092B8CC20B8A}");
inline constexpr plat::IID IID_IDiscRunner = plat::MakeGuid("{EF8563DF-2933-4CA6-BF06-3E0862CF7B03}");
inline constexpr plat::IID IID_IDiscRunnerQueries = plat::MakeGuid("{5B0C9E1A-7D43-4F2E-9A61-C8E2D4B7A390}");

// Events of the playing source, called on the thread that opened it. A plain
// table without IUnknown: the receiver owns it and nobody deletes through it.
class IDvdEventSink {
 public:
  virtual void OnDomainChange(std::int32_t domain) = 0;             // 0
  virtual void OnTitleChange(std::int32_t title) = 0;               // 1
  virtual void OnChapterStart(std::int32_t chapter) = 0;            // 2
  virtual void OnAudioChange(std::int32_t audioCount) = 0;          // 3
  virtual void OnSubtitleChange(std::int32_t enabledCount) = 0;     // 4
  virtual void OnAngleChange(std::int32_t angleCount) = 0;          // 5
  virtual void OnButtonChange(std::int32_t buttonCount) = 0;        // 6
  // The event's time value and the current time the library reported
  // (both packed hours | minutes << 8 | seconds << 16 | frames << 24).
  virtual void OnTimeChange(const std::uint32_t* eventTime, const std::uint32_t* currentTime) = 0;  // 7
  virtual void OnValidOperationsChange(std::uint32_t prohibitedMask) = 0;  // 8
  virtual void OnInvalidRegion(std::int32_t discRegionMask) = 0;   // 9
  virtual void Reserved10() = 0;                                    // 10, never called
  virtual void OnParentalLevelChange(std::int32_t level) = 0;       // 11
  virtual void OnParentalLevelTooLow() = 0;                         // 12
  virtual void OnDiscEjected() = 0;                                 // 13
  virtual void OnDiscInserted() = 0;                                // 14
  virtual void OnComplete() = 0;                                    // 15
  virtual void OnStopped() = 0;                                     // 16
  virtual void OnLibraryNotice() = 0;                               // 17
  virtual void OnRateChange(std::int32_t speed) = 0;                // 18

 protected:
  ~IDvdEventSink() = default;
};

// Play states (GetPlayState).
enum DiscRunnerPlayState : std::int32_t {
  kDiscUnbound = 0,
  kDiscClosed = 1,
  kDiscOpened = 2,
  kDiscPlaying = 3,
  kDiscPaused = 4,
  kDiscStopped = 5,
  kDiscScanning = 6,
};

// Slot numbers are those of the table, 3 onwards. Results are HRESULTs unless
// a comment says otherwise; without a bound library every forwarding slot
// fails with E_FAIL (E_NOTIMPL where noted). Text out-parameters take a
// buffer of at least kDiscRunnerTextChars bytes.
inline constexpr int kDiscRunnerTextChars = 260;

struct IDiscRunner : plat::IUnknown {
  virtual plat::HRESULT Open(const char* path) = 0;                                      // 3
  virtual plat::HRESULT Close() = 0;                                                     // 4
  virtual plat::HRESULT SetOwnerWindow(plat::HWND owner) = 0;                            // 5
  virtual plat::HRESULT GetVideoWindow(plat::HWND* window) = 0;                          // 6 (always E_FAIL)
  virtual plat::HRESULT ShowVideo(plat::BOOL show) = 0;                                  // 7
  virtual plat::HRESULT UpdateVideoPosition(int x, int y, int width, int height, float zoom) = 0;  // 8
  virtual plat::HRESULT Reserved9(int a, int b, int c, int d) = 0;                       // 9
  virtual plat::HRESULT Play() = 0;                                                      // 10
  virtual plat::HRESULT Pause() = 0;                                                     // 11
  virtual plat::HRESULT Stop() = 0;                                                      // 12
  virtual plat::HRESULT DvdOp13() = 0;                                                   // 13
  virtual plat::HRESULT ShowMenu(int kind) = 0;                                          // 14
  virtual plat::HRESULT MenuNavigate(int code) = 0;                                      // 15
  virtual plat::HRESULT NotImplemented16(int) = 0;                                       // 16
  virtual plat::HRESULT NotImplemented17(int) = 0;
  virtual plat::HRESULT NotImplemented18(int) = 0;
  virtual plat::HRESULT NotImplemented19(int) = 0;
  virtual plat::HRESULT NotImplemented20(int) = 0;
  virtual plat::HRESULT NotImplemented21(int) = 0;                                       // 21
  virtual plat::HRESULT NextChapter() = 0;                                               // 22
  virtual plat::HRESULT PrevChapter() = 0;                                               // 23
  virtual plat::HRESULT DvdOp24() = 0;                                                   // 24
  virtual plat::HRESULT FastForward(int speed) = 0;                                      // 25
  virtual plat::HRESULT Rewind(int speed) = 0;                                           // 26
  virtual plat::HRESULT GetDefaultLanguageName(char* text) = 0;                          // 27
  virtual plat::HRESULT GetSubtitleCount(int* count) = 0;                                // 28
  virtual plat::HRESULT GetSubtitleState(int* current, int* on) = 0;                     // 29
  virtual plat::HRESULT SelectSubtitleStream(int index) = 0;                             // 30
  virtual plat::HRESULT SetSubtitleOn(plat::BOOL on) = 0;                                // 31
  virtual plat::HRESULT GetSubtitleLanguageText(int index, char* text) = 0;              // 32
  virtual plat::HRESULT SetClosedCaptionMode(int mode) = 0;                              // 33
  virtual plat::HRESULT GetAngleCount(int* count) = 0;                                   // 34
  virtual plat::HRESULT GetAngle(int* angle) = 0;                                        // 35
  virtual plat::HRESULT SetAngle(int angle) = 0;                                         // 36
  virtual plat::HRESULT GetDefaultLanguageNameLocal(char* text) = 0;                     // 37
  virtual plat::HRESULT GetAudioCount(int* count) = 0;                                   // 38
  virtual plat::HRESULT GetCurrentAudioStream(int* stream) = 0;                          // 39
  virtual plat::HRESULT SelectAudioStream(int index) = 0;                                // 40
  virtual plat::HRESULT GetAudioStreamLanguageText(int index, char* text) = 0;           // 41
  virtual plat::HRESULT NotImplemented42(int) = 0;                                       // 42
  virtual plat::HRESULT NotImplemented43(int, int) = 0;                                  // 43
  virtual plat::HRESULT GetTotalTime(int* total) = 0;                                    // 44
  virtual plat::HRESULT GetCurrentTime(std::uint32_t* time) = 0;                         // 45
  virtual plat::HRESULT NotImplemented46(int) = 0;                                       // 46
  virtual plat::HRESULT NotImplemented47(int) = 0;                                       // 47
  virtual plat::HRESULT GetResumeInfo(std::uint32_t* available, std::uint32_t* time) = 0;  // 48
  virtual plat::HRESULT DvdOp49() = 0;                                                   // 49
  virtual plat::HRESULT DvdOp50() = 0;                                                   // 50
  virtual plat::HRESULT DvdOp51(const char* path) = 0;                                   // 51
  virtual plat::HRESULT CloseWithRecord() = 0;                                           // 52
  virtual plat::HRESULT CaptureFrame(const char* bmpPath) = 0;                           // 53
  virtual plat::HRESULT Reserved54() = 0;                                                // 54
  virtual plat::HRESULT DvdOp55(int a, int b) = 0;                                       // 55
  virtual plat::HRESULT NotImplemented56(int) = 0;                                       // 56
  virtual plat::HRESULT NotImplemented57(int) = 0;                                       // 57
  virtual plat::HRESULT GetAudioOutputCaps(std::uint32_t* caps) = 0;                     // 58
  virtual plat::HRESULT NotImplemented59(int) = 0;                                       // 59
  virtual plat::HRESULT DvdOp60(int value) = 0;                                          // 60
  virtual plat::HRESULT NotImplemented61(int) = 0;                                       // 61
  virtual plat::HRESULT NotImplemented62(int) = 0;                                       // 62
  virtual plat::HRESULT DvdOp63(int brightness, int contrast, int hue, int saturation, int gamma) = 0;  // 63
  virtual plat::HRESULT GetPlayState(int* state) = 0;                                    // 64
  virtual plat::HRESULT GetPlaySpeed(int* speed) = 0;                                    // 65
  virtual plat::HRESULT SetNotifyTarget(IDvdEventSink* sink) = 0;                        // 66
  virtual plat::HRESULT SetVideoMode(int value, int aspectMode) = 0;                     // 67
  virtual plat::HRESULT NotImplemented68(int) = 0;                                       // 68
  virtual plat::HRESULT DvdOp69(plat::BOOL on, int value) = 0;                           // 69
  virtual plat::HRESULT SetVideoRect(plat::BOOL on) = 0;                                 // 70
  virtual plat::HRESULT DvdOp71(int a, int b) = 0;                                       // 71
  virtual plat::HRESULT DvdOp72(int value) = 0;
  virtual plat::HRESULT DvdOp73(int value) = 0;
  virtual plat::HRESULT DvdOp74(int value) = 0;
  virtual plat::HRESULT DvdOp75(int a, int b, int c) = 0;                                // 75
  virtual plat::HRESULT DvdOp76(int value) = 0;
  virtual plat::HRESULT DvdOp77(int value) = 0;
  virtual plat::HRESULT DvdOp78(int value) = 0;
  virtual plat::HRESULT DvdOp79(int value) = 0;
  virtual plat::HRESULT DvdOp80(int value) = 0;
  virtual plat::HRESULT DvdOp81(int value) = 0;                                          // 81
  virtual plat::HRESULT AcceptParentalLevelChange(int answer) = 0;                       // 82
  virtual plat::HRESULT GetTitleParentalLevel(int* level) = 0;                           // 83
  virtual plat::HRESULT DvdOp84() = 0;                                                   // 84
  virtual plat::HRESULT EnterDigit(int digit) = 0;                                       // 85
  virtual plat::HRESULT GetMediaKind(const char* path, std::uint32_t* bits) = 0;         // 86
  virtual plat::HRESULT DvdOp87(int* value) = 0;                                         // 87
  virtual plat::HRESULT DvdOp88(int* value) = 0;                                         // 88
  virtual plat::HRESULT DvdOp89(int* first, int* second) = 0;                            // 89
  virtual plat::HRESULT DvdOp90(int number, int* value) = 0;                             // 90
  virtual plat::HRESULT DvdOp91(int ignored) = 0;                                        // 91
  // {region number, mask}
  virtual plat::HRESULT SetRegionCode(const std::uint8_t* record) = 0;                   // 92
  virtual plat::HRESULT DvdOp93(int value) = 0;                                          // 93
  virtual plat::HRESULT CanCaptureFrame() = 0;                                           // 94 (1 or 0)
  virtual plat::HRESULT DvdOp95(int value) = 0;                                          // 95
  virtual plat::HRESULT DvdOp96(int a, int b) = 0;                                       // 96
  virtual plat::HRESULT DvdOp97(int value) = 0;                                          // 97
  virtual plat::HRESULT DvdOp98(int value) = 0;                                          // 98
  virtual plat::HRESULT SetFullScreen() = 0;                                             // 99
  virtual plat::HRESULT RestoreWindow() = 0;                                             // 100
  virtual plat::HRESULT DvdOp101(int value) = 0;                                         // 101
  virtual plat::HRESULT DvdOp102() = 0;                                                  // 102

 protected:
  ~IDiscRunner() = default;
};
PLAT_BIND_IID(IDiscRunner, IID_IDiscRunner);

// What the Movie controller asks of the engine beyond IDiscRunner's table:
// the playing chapter, whether an open continued at the disc's resume
// point, the region of a drive, the audio profiles performed for a speaker
// configuration, the speaker configuration and hardware decoding. The same
// object as IDiscRunner answers it. Drive roots are letter roots (D:\ and the like).
//
// Speaker configurations: 8 two speakers, 4 S/PDIF, 0x10 four speakers,
// 0x20 six speakers, 0x20000 headphones. Audio-profile bits: 2 stereo
// downmix; a configuration without any bit performs no profile.
struct IDiscRunnerQueries : plat::IUnknown {
  // The chapter now playing (E_FAIL with nothing open).
  virtual plat::HRESULT GetChapter(int* chapter) = 0;                                        // 3
  // S_OK when the last open continued at the disc's saved resume point,
  // S_FALSE when it started at the beginning.
  virtual plat::HRESULT GetResumeApplied() = 0;                                              // 4
  // The drive's region (1..8, 0 when it has none) and the region changes it
  // has left.
  virtual plat::HRESULT GetDriveRegion(const char* root, int* region, int* changesLeft) = 0;  // 5
  // Sets the drive's region, spending one change; E_FAIL with none left.
  virtual plat::HRESULT SetDriveRegion(const char* root, int region) = 0;                   // 6
  virtual plat::HRESULT GetAudioProfileCaps(int speaker, std::uint32_t* bits) = 0;          // 7
  virtual plat::HRESULT SetSpeakerMode(int speaker) = 0;                                     // 8
  // Prefers hardware video decoders from the next open on.
  virtual plat::HRESULT SetHardwareDecoding(int on) = 0;                                     // 9

 protected:
  ~IDiscRunnerQueries() = default;
};
PLAT_BIND_IID(IDiscRunnerQueries, IID_IDiscRunnerQueries);
