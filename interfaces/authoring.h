// The authoring engine: makes a DVD, SVCD or VCD from photos and videos, an
// audio CD from sound files or a data disc from any files, and writes it to
// a writer (a real drive, or a virtual writer that keeps the disc as an image
// file). Slot N is the engine's operation N; slots no caller uses answer
// E_NOTIMPL. Texts are UTF-8 paths and names.
//
// A job: Initialize (3), AddElement (54) for each file, SetEventSink (5),
// SetDiscType (142) / SetVideoFlavour (40), SetVideoFormat (45), the
// transcode stage (48-51 with kAuthoringStageTranscode), SetWorkFolder (53),
// StartBurning (84). Photos show for SetStillSeconds (57), the photo
// section's picture duration. The work runs on the engine's worker; the engine's
// window carries each status change to the thread that created the engine,
// where it calls the sink's slot 7 with `a` = const AuthoringStatus* (valid
// for the call) and `b` = 0. The same record is read with PublishStatus
// (100). A job ends with stage kAuthoringStageDone, Failed or Cancelled;
// failed and cancelled jobs write nothing and remove their work files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interfaces/event_sinks.h"
#include "platform/com/hresult.h"
#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_AuthoringEngine = plat::MakeGuid("{61665621-5523-11D4-A717-80E5A24FE52B}");
inline constexpr plat::IID IID_IAuthoringEngine = plat::MakeGuid("{BCEED520-9B2D-11D5-8C16-0050BA17CEE2}");

// Disc types of SetDiscType (the configuration's disc type minus 1).
inline constexpr int kAuthoringDiscDvd = 0;
inline constexpr int kAuthoringDiscSvcd = 1;
inline constexpr int kAuthoringDiscVcd = 2;
inline constexpr int kAuthoringDiscAudioCd = 3;
inline constexpr int kAuthoringDiscDataCd = 4;

// Video flavours of SetVideoFlavour.
inline constexpr int kAuthoringFlavourVcd = 0;
inline constexpr int kAuthoringFlavourDvd = 1;
inline constexpr int kAuthoringFlavourSvcd = 2;

// The stage of slots 48-51.
inline constexpr int kAuthoringStageTranscode = 70;

// File system of SetFileSystem: ISO 9660 with UDF.
inline constexpr int kAuthoringFsIsoUdf = 4;

// Buffer sizes of the text slots.
inline constexpr std::size_t kAuthoringWriterNameBytes = 260;  // 137
inline constexpr std::size_t kAuthoringLabelBytes = 276;       // 145

// The video format of SetVideoFormat (152 bytes, all other bytes 0). Zero
// width or height is the standard's picture size for the flavour.
struct AuthoringFormatRecord {
  std::int32_t reserved0[2];
  std::int32_t averageBitRate;  // 8: bits per second
  std::int32_t minimumBitRate;  // 12
  std::int32_t maximumBitRate;  // 16
  std::int32_t reserved20;
  std::int32_t width;           // 24
  std::int32_t height;          // 28
  std::int32_t reserved32[22];
  std::int32_t audioKbps;       // 120
  std::int32_t field124;        // 124
  std::int32_t reserved128[6];
};
static_assert(sizeof(AuthoringFormatRecord) == 152);
static_assert(offsetof(AuthoringFormatRecord, averageBitRate) == 8);
static_assert(offsetof(AuthoringFormatRecord, minimumBitRate) == 12);
static_assert(offsetof(AuthoringFormatRecord, maximumBitRate) == 16);
static_assert(offsetof(AuthoringFormatRecord, width) == 24);
static_assert(offsetof(AuthoringFormatRecord, height) == 28);
static_assert(offsetof(AuthoringFormatRecord, audioKbps) == 120);
static_assert(offsetof(AuthoringFormatRecord, field124) == 124);

// Stages of a job as the status reports them.
inline constexpr std::int32_t kAuthoringStageIdle = 0;
inline constexpr std::int32_t kAuthoringStageChecking = 1;     // elements readable, space free
inline constexpr std::int32_t kAuthoringStageTranscoding = 2;  // video and stills to MPEG, sound to PCM
inline constexpr std::int32_t kAuthoringStageAuthoring = 3;    // the disc image is built
inline constexpr std::int32_t kAuthoringStageWriting = 4;      // the image goes to the writer
inline constexpr std::int32_t kAuthoringStageDone = 5;
inline constexpr std::int32_t kAuthoringStageFailed = 6;
inline constexpr std::int32_t kAuthoringStageCancelled = 7;

// The status the sink's slot 7 carries and PublishStatus returns.
struct AuthoringStatus {
  std::int32_t stage = kAuthoringStageIdle;
  std::int32_t percent = 0;          // of the current stage, 0..100
  std::int64_t totalBytes = 0;       // size of the elements, then of the disc image
  std::int64_t bytesDone = 0;        // of the current stage
  std::int32_t elapsedSeconds = 0;   // since the job started
  std::int32_t discRemainMB = 0;     // free on the writer's disc (after the write when done)
  plat::HRESULT result = plat::S_OK; // why a job failed or was cancelled
  std::int32_t element = -1;         // the element being worked on, or that failed
};

// The disc in the current writer (772 bytes).
inline constexpr std::int32_t kAuthoringMediaNone = 0;
inline constexpr std::int32_t kAuthoringMediaCd = 1;
inline constexpr std::int32_t kAuthoringMediaDvd = 2;
struct AuthoringDiscInfo {
  std::int32_t kind;         // kAuthoringMedia*
  std::int32_t blank;        // 1 when nothing is written on it
  std::int32_t capacityMB;
  std::int32_t freeMB;
  char text[756];            // e.g. "CD, blank, 703 MB free"
};
static_assert(sizeof(AuthoringDiscInfo) == 772);

struct IAuthoringEngine : plat::IUnknown {
  virtual plat::HRESULT Initialize() = 0;  // 3: a new job: no elements, DVD, default format, status idle
  virtual plat::HRESULT Unused4() { return plat::E_NOTIMPL; }  // 4
  virtual plat::HRESULT SetEventSink(IAuthoringEventSink* sink) = 0;  // 5: null takes the sink back
  virtual plat::HRESULT Unused6() { return plat::E_NOTIMPL; }  // 6
  virtual plat::HRESULT SetPreviewWindow(plat::HWND window, int left, int top, int right, int bottom) = 0;  // 7
  virtual plat::HRESULT Unused8() { return plat::E_NOTIMPL; }  // 8
  virtual plat::HRESULT SetPreviewElement(int index, int position, int show, int fit) = 0;  // 9: position 0 = the start; fails out of range
  virtual plat::HRESULT Unused10() { return plat::E_NOTIMPL; }  // 10
  virtual plat::HRESULT ShowPreview(int show) = 0;  // 11
  virtual plat::HRESULT IsPreviewShown(int* shown) = 0;  // 12
  virtual plat::HRESULT Unused13() { return plat::E_NOTIMPL; }  // 13
  virtual plat::HRESULT Unused14() { return plat::E_NOTIMPL; }  // 14
  virtual plat::HRESULT Unused15() { return plat::E_NOTIMPL; }  // 15
  virtual plat::HRESULT Unused16() { return plat::E_NOTIMPL; }  // 16
  virtual plat::HRESULT Unused17() { return plat::E_NOTIMPL; }  // 17
  virtual plat::HRESULT Unused18() { return plat::E_NOTIMPL; }  // 18
  virtual plat::HRESULT Unused19() { return plat::E_NOTIMPL; }  // 19
  virtual plat::HRESULT Unused20() { return plat::E_NOTIMPL; }  // 20
  virtual plat::HRESULT Unused21() { return plat::E_NOTIMPL; }  // 21
  virtual plat::HRESULT Unused22() { return plat::E_NOTIMPL; }  // 22
  virtual plat::HRESULT Unused23() { return plat::E_NOTIMPL; }  // 23
  virtual plat::HRESULT Unused24() { return plat::E_NOTIMPL; }  // 24
  virtual plat::HRESULT Unused25() { return plat::E_NOTIMPL; }  // 25
  virtual plat::HRESULT Unused26() { return plat::E_NOTIMPL; }  // 26
  virtual plat::HRESULT Unused27() { return plat::E_NOTIMPL; }  // 27
  virtual plat::HRESULT Unused28() { return plat::E_NOTIMPL; }  // 28
  virtual plat::HRESULT Unused29() { return plat::E_NOTIMPL; }  // 29
  virtual plat::HRESULT Unused30() { return plat::E_NOTIMPL; }  // 30
  virtual plat::HRESULT Unused31() { return plat::E_NOTIMPL; }  // 31
  virtual plat::HRESULT Unused32() { return plat::E_NOTIMPL; }  // 32
  virtual plat::HRESULT Unused33() { return plat::E_NOTIMPL; }  // 33
  virtual plat::HRESULT Unused34() { return plat::E_NOTIMPL; }  // 34
  virtual plat::HRESULT Unused35() { return plat::E_NOTIMPL; }  // 35
  virtual plat::HRESULT Unused36() { return plat::E_NOTIMPL; }  // 36
  virtual plat::HRESULT Unused37() { return plat::E_NOTIMPL; }  // 37
  virtual plat::HRESULT Unused38() { return plat::E_NOTIMPL; }  // 38
  virtual plat::HRESULT Unused39() { return plat::E_NOTIMPL; }  // 39
  virtual plat::HRESULT SetVideoFlavour(int flavour) = 0;  // 40: kAuthoringFlavour*
  virtual plat::HRESULT Unused41() { return plat::E_NOTIMPL; }  // 41
  virtual plat::HRESULT Unused42() { return plat::E_NOTIMPL; }  // 42
  virtual plat::HRESULT Unused43() { return plat::E_NOTIMPL; }  // 43
  virtual plat::HRESULT Unused44() { return plat::E_NOTIMPL; }  // 44
  virtual plat::HRESULT SetVideoFormat(const AuthoringFormatRecord* format, int element) = 0;  // 45: element -1 = all
  virtual plat::HRESULT Unused46() { return plat::E_NOTIMPL; }  // 46
  virtual plat::HRESULT Unused47() { return plat::E_NOTIMPL; }  // 47
  virtual plat::HRESULT IsStageDone(int stage, int* done) = 0;  // 48: done 1 when nothing is left to do
  virtual plat::HRESULT StartStage(int stage) = 0;  // 49: checks the elements and space, starts the worker
  virtual plat::HRESULT WaitStage(int stage, int* running) = 0;  // 50: never blocks; fails when the stage failed
  virtual plat::HRESULT FinishStage(int stage) = 0;  // 51: the burn that follows takes the stage's result
  virtual plat::HRESULT Unused52() { return plat::E_NOTIMPL; }  // 52
  virtual plat::HRESULT SetWorkFolder(const char* folder) = 0;  // 53: created when missing
  virtual plat::HRESULT AddElement(const char* path) = 0;  // 54: appends a photo, video or sound file
  virtual plat::HRESULT Unused55() { return plat::E_NOTIMPL; }  // 55
  virtual plat::HRESULT GetElementCount(int kind, int* count) = 0;  // 56: kind -1 = all
  virtual plat::HRESULT SetStillSeconds(int seconds) = 0;  // 57: how long a photo shows (1..60; 5 until set)
  virtual plat::HRESULT Unused58() { return plat::E_NOTIMPL; }  // 58
  virtual plat::HRESULT Unused59() { return plat::E_NOTIMPL; }  // 59
  virtual plat::HRESULT Unused60() { return plat::E_NOTIMPL; }  // 60
  virtual plat::HRESULT Unused61() { return plat::E_NOTIMPL; }  // 61
  virtual plat::HRESULT Unused62() { return plat::E_NOTIMPL; }  // 62
  virtual plat::HRESULT Unused63() { return plat::E_NOTIMPL; }  // 63
  virtual plat::HRESULT PlayPreview() = 0;  // 64
  virtual plat::HRESULT Unused65() { return plat::E_NOTIMPL; }  // 65
  virtual plat::HRESULT Unused66() { return plat::E_NOTIMPL; }  // 66
  virtual plat::HRESULT Unused67() { return plat::E_NOTIMPL; }  // 67
  virtual plat::HRESULT Unused68() { return plat::E_NOTIMPL; }  // 68
  virtual plat::HRESULT Unused69() { return plat::E_NOTIMPL; }  // 69
  virtual plat::HRESULT Unused70() { return plat::E_NOTIMPL; }  // 70
  virtual plat::HRESULT Unused71() { return plat::E_NOTIMPL; }  // 71
  virtual plat::HRESULT Unused72() { return plat::E_NOTIMPL; }  // 72
  virtual plat::HRESULT Unused73() { return plat::E_NOTIMPL; }  // 73
  virtual plat::HRESULT Unused74() { return plat::E_NOTIMPL; }  // 74
  virtual plat::HRESULT Unused75() { return plat::E_NOTIMPL; }  // 75
  virtual plat::HRESULT Unused76() { return plat::E_NOTIMPL; }  // 76
  virtual plat::HRESULT Unused77() { return plat::E_NOTIMPL; }  // 77
  virtual plat::HRESULT Unused78() { return plat::E_NOTIMPL; }  // 78
  virtual plat::HRESULT Unused79() { return plat::E_NOTIMPL; }  // 79
  virtual plat::HRESULT Unused80() { return plat::E_NOTIMPL; }  // 80
  virtual plat::HRESULT Unused81() { return plat::E_NOTIMPL; }  // 81
  virtual plat::HRESULT Unused82() { return plat::E_NOTIMPL; }  // 82
  virtual plat::HRESULT Unused83() { return plat::E_NOTIMPL; }  // 83
  virtual plat::HRESULT StartBurning(const char* folder) = 0;  // 84: authors in `folder`, then writes
  virtual plat::HRESULT Cancel(plat::HRESULT reason) = 0;  // 85: ends the job with stage cancelled
  virtual plat::HRESULT Unused86() { return plat::E_NOTIMPL; }  // 86
  virtual plat::HRESULT Unused87() { return plat::E_NOTIMPL; }  // 87
  virtual plat::HRESULT SetVerify(int on) = 0;  // 88: checks a virtual writer's new image before it replaces the old
  virtual plat::HRESULT Unused89() { return plat::E_NOTIMPL; }  // 89
  virtual plat::HRESULT Unused90() { return plat::E_NOTIMPL; }  // 90
  virtual plat::HRESULT SetSimulate(int on) = 0;  // 91: 0 = a real write
  virtual plat::HRESULT Unused92() { return plat::E_NOTIMPL; }  // 92
  virtual plat::HRESULT Unused93() { return plat::E_NOTIMPL; }  // 93
  virtual plat::HRESULT Unused94() { return plat::E_NOTIMPL; }  // 94
  virtual plat::HRESULT Unused95() { return plat::E_NOTIMPL; }  // 95
  virtual plat::HRESULT Unused96() { return plat::E_NOTIMPL; }  // 96
  virtual plat::HRESULT Unused97() { return plat::E_NOTIMPL; }  // 97
  virtual plat::HRESULT Unused98() { return plat::E_NOTIMPL; }  // 98
  virtual plat::HRESULT SetEjectAfter(int on) = 0;  // 99
  virtual plat::HRESULT PublishStatus(AuthoringStatus* status) = 0;  // 100: the latest status
  virtual plat::HRESULT Unused101() { return plat::E_NOTIMPL; }  // 101
  virtual plat::HRESULT Unused102() { return plat::E_NOTIMPL; }  // 102
  virtual plat::HRESULT Unused103() { return plat::E_NOTIMPL; }  // 103
  virtual plat::HRESULT StopPreview(int value) = 0;  // 104
  virtual plat::HRESULT Unused105() { return plat::E_NOTIMPL; }  // 105
  virtual plat::HRESULT IsPreviewPlaying(int* playing) = 0;  // 106
  virtual plat::HRESULT Unused107() { return plat::E_NOTIMPL; }  // 107
  virtual plat::HRESULT Unused108() { return plat::E_NOTIMPL; }  // 108
  virtual plat::HRESULT Unused109() { return plat::E_NOTIMPL; }  // 109
  virtual plat::HRESULT Unused110() { return plat::E_NOTIMPL; }  // 110
  virtual plat::HRESULT Unused111() { return plat::E_NOTIMPL; }  // 111
  virtual plat::HRESULT Unused112() { return plat::E_NOTIMPL; }  // 112
  virtual plat::HRESULT Unused113() { return plat::E_NOTIMPL; }  // 113
  virtual plat::HRESULT Unused114() { return plat::E_NOTIMPL; }  // 114
  virtual plat::HRESULT Unused115() { return plat::E_NOTIMPL; }  // 115
  virtual plat::HRESULT Unused116() { return plat::E_NOTIMPL; }  // 116
  virtual plat::HRESULT Unused117() { return plat::E_NOTIMPL; }  // 117
  virtual plat::HRESULT Unused118() { return plat::E_NOTIMPL; }  // 118
  virtual plat::HRESULT Unused119() { return plat::E_NOTIMPL; }  // 119
  virtual plat::HRESULT Unused120() { return plat::E_NOTIMPL; }  // 120
  virtual plat::HRESULT SelectWriter(int index, int select) = 0;  // 121
  virtual plat::HRESULT Unused122() { return plat::E_NOTIMPL; }  // 122
  virtual plat::HRESULT Unused123() { return plat::E_NOTIMPL; }  // 123
  virtual plat::HRESULT Unused124() { return plat::E_NOTIMPL; }  // 124
  virtual plat::HRESULT Unused125() { return plat::E_NOTIMPL; }  // 125
  virtual plat::HRESULT Unused126() { return plat::E_NOTIMPL; }  // 126
  virtual plat::HRESULT Unused127() { return plat::E_NOTIMPL; }  // 127
  virtual plat::HRESULT Unused128() { return plat::E_NOTIMPL; }  // 128
  virtual plat::HRESULT Unused129() { return plat::E_NOTIMPL; }  // 129
  virtual plat::HRESULT Unused130() { return plat::E_NOTIMPL; }  // 130
  virtual plat::HRESULT Unused131() { return plat::E_NOTIMPL; }  // 131
  virtual plat::HRESULT Unused132() { return plat::E_NOTIMPL; }  // 132
  virtual plat::HRESULT Unused133() { return plat::E_NOTIMPL; }  // 133
  virtual plat::HRESULT Unused134() { return plat::E_NOTIMPL; }  // 134
  virtual plat::HRESULT Unused135() { return plat::E_NOTIMPL; }  // 135
  virtual plat::HRESULT GetWriterCount(int* count) = 0;  // 136
  virtual plat::HRESULT GetWriterName(int index, char* name) = 0;  // 137: kAuthoringWriterNameBytes
  virtual plat::HRESULT Unused138() { return plat::E_NOTIMPL; }  // 138
  virtual plat::HRESULT Unused139() { return plat::E_NOTIMPL; }  // 139
  virtual plat::HRESULT GetDiscCount(int* count) = 0;  // 140: 1 when the current writer holds a disc
  virtual plat::HRESULT GetDiscInfo(int index, AuthoringDiscInfo* info) = 0;  // 141
  virtual plat::HRESULT SetDiscType(int type) = 0;  // 142: kAuthoringDisc*
  virtual plat::HRESULT Unused143() { return plat::E_NOTIMPL; }  // 143
  virtual plat::HRESULT GetVolumeLabelCount(int* count) = 0;  // 144
  virtual plat::HRESULT GetVolumeLabel(int index, char* label) = 0;  // 145: kAuthoringLabelBytes
  virtual plat::HRESULT GetCurrentWriter(int* index) = 0;  // 146: -1 when there is none
  virtual plat::HRESULT RefreshWriterDisc(int index) = 0;  // 147: looks at the disc again
  virtual plat::HRESULT Unused148() { return plat::E_NOTIMPL; }  // 148
  virtual plat::HRESULT Unused149() { return plat::E_NOTIMPL; }  // 149
  virtual plat::HRESULT SetVolumeLabel(const char* label) = 0;  // 150
  virtual plat::HRESULT SetSourceFolder(const char* folder) = 0;  // 151: a folder holding VIDEO_TS
  virtual plat::HRESULT SetFileSystem(int kind) = 0;  // 152: kAuthoringFsIsoUdf
  virtual plat::HRESULT SetTarget(const char* folder) = 0;  // 153: where the authored VIDEO_TS is kept
  virtual plat::HRESULT Unused154() { return plat::E_NOTIMPL; }  // 154
  virtual plat::HRESULT BurnFolder() = 0;  // 155: writes the source folder as a DVD-Video disc

 protected:
  ~IAuthoringEngine() = default;
};
PLAT_BIND_IID(IAuthoringEngine, IID_IAuthoringEngine);
