// The two outside components the analogue grabber engine drives: the
// recorder (class "SysRecorder", interface ISysRecorder), which captures,
// tunes, encodes and time-shifts, and the profile store (IProfileStore),
// which keeps the encoder settings as named entries. Slot N of ISysRecorder
// is the recorder's operation N; slots that no caller uses answer E_NOTIMPL.
// Texts are UTF-8; name buffers hold kTvNameChars bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interfaces/encoder_block.h"
#include "platform/com/hresult.h"
#include "platform/com/unknown.h"
#include "platform/core/types.h"

inline constexpr plat::CLSID CLSID_SysRecorder = plat::MakeGuid("{DAF69C36-01D8-499C-BFDE-AB4C2ED13649}");
inline constexpr plat::IID IID_ISysRecorder = plat::MakeGuid("{F8CD815E-16AB-42A5-BED4-85FB496EF8E0}");
inline constexpr plat::CLSID CLSID_ProfileStore = plat::MakeGuid("{A7469162-18A7-4139-8319-E09AA064CB0D}");
inline constexpr plat::IID IID_IProfileStore = plat::MakeGuid("{8BBEFBA6-EA53-4F38-9ECB-403194614686}");

inline constexpr int kTvNameChars = 256;
// The source name every recorder event carries.
inline constexpr const char* kSysRecorderSource = "SysRecorder";

// Recorder event codes.
namespace tvevent {
inline constexpr int kDiscReady = 17;
inline constexpr int kDiscNotReady = 18;
inline constexpr int kSignalLost = 19;
inline constexpr int kDeviceLost = 20;
inline constexpr int kDiskNearlyFull = 23;
inline constexpr int kDiscNotice = 26;             // a: 1 or 2
inline constexpr int kChannelTuned = 101;          // a: channel, b: signal value
inline constexpr int kSearchFinished = 102;
inline constexpr int kTuningNotice = 103;          // a: notice code, b: value
inline constexpr int kSearchPercent = 104;         // a: percent
inline constexpr int kRecorderNotice = 105;        // a: code, b: value
inline constexpr int kPictureReady = 1047;         // picture: the snapshot or wall picture
inline constexpr int kRecordingFinalised = 0x20000;
inline constexpr int kReplayAtLive = 32769;
inline constexpr int kSourceError = 32770;         // a: error code
inline constexpr int kSourceRestarted = 32771;
inline constexpr int kSourceReopened = 570928;
inline constexpr int kSourceNotice = 570929;       // a: value
}  // namespace tvevent

// A picture handed with event 1047: 24-bit BGR rows, top down, valid for
// the duration of the call that carries it.
struct TvPicture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t stride = 0;
  const std::uint8_t* bgr = nullptr;
};

// Encoder settings of one profile: EncoderBlock (interfaces/encoder_block.h).

// One entry of the profile store (1684 bytes).
struct ProfileEntry {
  char kind[128];              // "Record" or "Replay"
  char name[128];              // for "Replay": a processor speed range as a number
  std::uint8_t reserved256[1024];
  std::int32_t field1280;
  EncoderBlock block;
};
static_assert(sizeof(ProfileEntry) == 1684);
static_assert(offsetof(ProfileEntry, name) == 128);
static_assert(offsetof(ProfileEntry, field1280) == 1280);
static_assert(offsetof(ProfileEntry, block) == 1284);

// An audio format description as the MPEG-4 AVI recording takes it.
struct TvWaveFormat {
  std::uint16_t formatTag;
  std::uint16_t channels;
  std::uint32_t samplesPerSecond;
  std::uint32_t averageBytesPerSecond;
  std::uint16_t blockAlign;
  std::uint16_t bitsPerSample;
  std::uint16_t extraSize;
};
static_assert(sizeof(TvWaveFormat) == 20);

// The MPEG-4 encoder settings handed to the recorder for AVI recording
// (1072 bytes).
struct DivXSettings {
  char16_t codec[256];         // the encoder's description; empty until found
  char16_t audio[256];         // "PCM"
  std::int32_t keyInterval;
  float frameRate;
  float quality;
  std::int32_t bitRate;
  std::int32_t bitsPerPixel;
  std::int32_t value5;
  std::int32_t value6;
  TvWaveFormat wave;
};
static_assert(sizeof(DivXSettings) == 1072);
static_assert(offsetof(DivXSettings, keyInterval) == 1024);
static_assert(offsetof(DivXSettings, wave) == 1052);

// What the recorder knows of one channel of a band.
struct TvChannelInfo {
  char name[kTvNameChars];
  std::int32_t value;          // signal 0..100
  std::int32_t status;         // 1 when a station was found there
  std::int32_t stored;         // 1 when the channel is in the channel table
};

// The recorder's event table (no IUnknown; nobody deletes through it).
// Called on any thread; returns 1 when the event was taken.
class ISysRecorderEventSink {
 public:
  virtual int OnRecorderEvent(const char* source, int code, std::int32_t a, std::int32_t b,
                              const TvPicture* picture) = 0;

 protected:
  ~ISysRecorderEventSink() = default;
};

// The recorder's second table: kind 0 a progress value, kind 1 the end.
class ISysRecorderProgressSink {
 public:
  virtual int OnRecorderProgress(int kind, int value) = 0;

 protected:
  ~ISysRecorderProgressSink() = default;
};

struct ISysRecorder : plat::IUnknown {
  virtual plat::HRESULT Initialize(int value) = 0;  // 3: the Init record's first value
  virtual plat::HRESULT SetEventSink(ISysRecorderEventSink* sink) = 0;  // 4: events come from any thread; null takes the sink back
  virtual plat::HRESULT GetDeviceName(int index, char* name) = 0;  // 5: video capture device `index` (name: kTvNameChars); fails when absent
  virtual plat::HRESULT GetAudioDeviceName(int index, char* name) = 0;  // 6: audio capture device `index`
  virtual plat::HRESULT Unused7() { return plat::E_NOTIMPL; }  // 7
  virtual plat::HRESULT SelectDevices(const char* video, const char* audio) = 0;  // 8
  virtual plat::HRESULT GetSelectedDevices(char* video, char* audio) = 0;  // 9
  virtual plat::HRESULT FinishDisc() = 0;  // 10: burning
  virtual plat::HRESULT SetValue(int value) = 0;  // 11
  virtual plat::HRESULT SetValue12(int value) = 0;  // 12
  virtual plat::HRESULT SetValue13(int value) = 0;  // 13
  virtual plat::HRESULT GetVideoInput(int* input) = 0;  // 14: 0 tuner, 1 composite, 2 S-video, 3 camera
  virtual plat::HRESULT Unused15() { return plat::E_NOTIMPL; }  // 15
  virtual plat::HRESULT SetVideoInput(int input) = 0;  // 16
  virtual plat::HRESULT Unused17() { return plat::E_NOTIMPL; }  // 17
  virtual plat::HRESULT SetOwnerWindow(plat::HWND owner, int a, int b) = 0;  // 18: the window the preview is drawn into
  virtual plat::HRESULT SetVideoOrigin(int left, int top) = 0;  // 19
  virtual plat::HRESULT SetVideoSize(int width, int height) = 0;  // 20
  virtual plat::HRESULT ShowVideo(int show) = 0;  // 21
  virtual plat::HRESULT Unused22() { return plat::E_NOTIMPL; }  // 22
  virtual plat::HRESULT Unused23() { return plat::E_NOTIMPL; }  // 23
  virtual plat::HRESULT Unused24() { return plat::E_NOTIMPL; }  // 24
  virtual plat::HRESULT SetFrameSize(int width, int height) = 0;  // 25: the recording's frame size
  virtual plat::HRESULT Unused26() { return plat::E_NOTIMPL; }  // 26
  virtual plat::HRESULT Unused27() { return plat::E_NOTIMPL; }  // 27
  virtual plat::HRESULT Unused28() { return plat::E_NOTIMPL; }  // 28
  virtual plat::HRESULT IsSignalPresent() = 0;  // 29
  virtual plat::HRESULT Unused30() { return plat::E_NOTIMPL; }  // 30
  virtual plat::HRESULT Preview(int on) = 0;  // 31
  virtual plat::HRESULT EnableVideo(int on) = 0;  // 32
  virtual plat::HRESULT OpenTimeShiftSource(int open) = 0;  // 33
  virtual plat::HRESULT Unused34() { return plat::E_NOTIMPL; }  // 34
  virtual plat::HRESULT Unused35() { return plat::E_NOTIMPL; }  // 35
  virtual plat::HRESULT RecordSource(const char* file) = 0;  // 36
  virtual plat::HRESULT PauseSource(int value) = 0;  // 37
  virtual plat::HRESULT ResumeSource() = 0;  // 38
  virtual plat::HRESULT RecordSourceNamed(const char* file, int start) = 0;  // 39
  virtual plat::HRESULT SetTimeShiftFolder(const char* folder) = 0;  // 40
  virtual plat::HRESULT SourceSeek(int mode, double step) = 0;  // 41
  virtual plat::HRESULT SourceSeek2(int mode, double step) = 0;  // 42
  virtual plat::HRESULT SourceOp43(int value) = 0;  // 43
  virtual plat::HRESULT SourceOp44() = 0;  // 44
  virtual plat::HRESULT SetSourceRate(int mode, double rate) = 0;  // 45
  virtual plat::HRESULT ChannelChanged() = 0;  // 46: the tuned channel is another one now
  virtual plat::HRESULT SourceOp47(int value) = 0;  // 47
  virtual plat::HRESULT SourceOp48(int value) = 0;  // 48
  virtual plat::HRESULT SourceOp49(int value) = 0;  // 49
  virtual plat::HRESULT SourceOp50(int value) = 0;  // 50
  virtual plat::HRESULT ApplySourceBlock(const EncoderBlock* block) = 0;  // 51: in state 211
  virtual plat::HRESULT Unused52() { return plat::E_NOTIMPL; }  // 52
  virtual plat::HRESULT Unused53() { return plat::E_NOTIMPL; }  // 53
  virtual plat::HRESULT Unused54() { return plat::E_NOTIMPL; }  // 54
  virtual plat::HRESULT Unused55() { return plat::E_NOTIMPL; }  // 55
  virtual plat::HRESULT Unused56() { return plat::E_NOTIMPL; }  // 56
  virtual plat::HRESULT Unused57() { return plat::E_NOTIMPL; }  // 57
  virtual plat::HRESULT Unused58() { return plat::E_NOTIMPL; }  // 58
  virtual plat::HRESULT Unused59() { return plat::E_NOTIMPL; }  // 59
  virtual plat::HRESULT SetCaptureOption(int value) = 0;  // 60
  virtual plat::HRESULT Unused61() { return plat::E_NOTIMPL; }  // 61
  virtual plat::HRESULT StartRecording(const char* file, int start, const EncoderBlock* block, int flag) = 0;  // 62
  virtual plat::HRESULT Unused63() { return plat::E_NOTIMPL; }  // 63
  virtual plat::HRESULT StopRecording(int value) = 0;  // 64: sends end-of-stream and waits for the file to be complete
  virtual plat::HRESULT Unused65() { return plat::E_NOTIMPL; }  // 65
  virtual plat::HRESULT Unused66() { return plat::E_NOTIMPL; }  // 66
  virtual plat::HRESULT GetRecordedSize(std::int64_t* kilobytes) = 0;  // 67
  virtual plat::HRESULT GetRecordTimes(std::int64_t* startTime, std::int64_t* elapsedSeconds) = 0;  // 68: start as seconds since 1970 (UTC)
  virtual plat::HRESULT Unused69() { return plat::E_NOTIMPL; }  // 69
  virtual plat::HRESULT Unused70() { return plat::E_NOTIMPL; }  // 70
  virtual plat::HRESULT Unused71() { return plat::E_NOTIMPL; }  // 71
  virtual plat::HRESULT SetCableKey(const char* key) = 0;  // 72: registry key of the cable channel table
  virtual plat::HRESULT SetAntennaKey(const char* key) = 0;  // 73
  virtual plat::HRESULT Unused74() { return plat::E_NOTIMPL; }  // 74
  virtual plat::HRESULT Unused75() { return plat::E_NOTIMPL; }  // 75
  virtual plat::HRESULT QueryCableChannel(int channel, TvChannelInfo* info) = 0;  // 76
  virtual plat::HRESULT QueryAntennaChannel(int channel, TvChannelInfo* info) = 0;  // 77
  virtual plat::HRESULT Unused78() { return plat::E_NOTIMPL; }  // 78
  virtual plat::HRESULT Unused79() { return plat::E_NOTIMPL; }  // 79
  virtual plat::HRESULT IsDeviceReady() = 0;  // 80
  virtual plat::HRESULT HasTuner() = 0;  // 81: the selected video device has a tuner
  virtual plat::HRESULT GetTunerInput(int* antenna) = 0;  // 82
  virtual plat::HRESULT SetTunerInput(int antenna) = 0;  // 83
  virtual plat::HRESULT StartSearch() = 0;  // 84: the recorder's own channel search: events 104, 101, then 102
  virtual plat::HRESULT StopSearch() = 0;  // 85
  virtual plat::HRESULT GetChannelRange(int* first, int* last) = 0;  // 86
  virtual plat::HRESULT Tune(int channel) = 0;  // 87
  virtual plat::HRESULT GetTunedChannel(int* channel) = 0;  // 88
  virtual plat::HRESULT ChannelUp() = 0;  // 89
  virtual plat::HRESULT ChannelDown() = 0;  // 90
  virtual plat::HRESULT ChannelPrevious() = 0;  // 91
  virtual plat::HRESULT EnableDevice(int on) = 0;  // 92
  virtual plat::HRESULT Unused93() { return plat::E_NOTIMPL; }  // 93
  virtual plat::HRESULT Unused94() { return plat::E_NOTIMPL; }  // 94
  virtual plat::HRESULT Unused95() { return plat::E_NOTIMPL; }  // 95
  virtual plat::HRESULT GetBrightnessRange(int* minimum, int* maximum, int* byDefault) = 0;  // 96
  virtual plat::HRESULT GetBrightness(int* value) = 0;  // 97
  virtual plat::HRESULT SetBrightness(int value) = 0;  // 98
  virtual plat::HRESULT GetContrastRange(int* minimum, int* maximum, int* byDefault) = 0;  // 99
  virtual plat::HRESULT GetContrast(int* value) = 0;  // 100
  virtual plat::HRESULT SetContrast(int value) = 0;  // 101
  virtual plat::HRESULT GetHueRange(int* minimum, int* maximum, int* byDefault) = 0;  // 102
  virtual plat::HRESULT GetHue(int* value) = 0;  // 103
  virtual plat::HRESULT SetHue(int value) = 0;  // 104
  virtual plat::HRESULT GetSaturationRange(int* minimum, int* maximum, int* byDefault) = 0;  // 105
  virtual plat::HRESULT GetSaturation(int* value) = 0;  // 106
  virtual plat::HRESULT SetSaturation(int value) = 0;  // 107
  virtual plat::HRESULT Unused108() { return plat::E_NOTIMPL; }  // 108
  virtual plat::HRESULT Unused109() { return plat::E_NOTIMPL; }  // 109
  virtual plat::HRESULT Unused110() { return plat::E_NOTIMPL; }  // 110
  virtual plat::HRESULT SaveSnapshot(const char* path) = 0;  // 111: the next frame as JPEG; then event 1047
  virtual plat::HRESULT Unused112() { return plat::E_NOTIMPL; }  // 112
  virtual plat::HRESULT Unused113() { return plat::E_NOTIMPL; }  // 113
  virtual plat::HRESULT Unused114() { return plat::E_NOTIMPL; }  // 114
  virtual plat::HRESULT Unused115() { return plat::E_NOTIMPL; }  // 115
  virtual plat::HRESULT Unused116() { return plat::E_NOTIMPL; }  // 116
  virtual plat::HRESULT Unused117() { return plat::E_NOTIMPL; }  // 117
  virtual plat::HRESULT Unused118() { return plat::E_NOTIMPL; }  // 118
  virtual plat::HRESULT Unused119() { return plat::E_NOTIMPL; }  // 119
  virtual plat::HRESULT WatchRecording(int on) = 0;  // 120
  virtual plat::HRESULT Unused121() { return plat::E_NOTIMPL; }  // 121
  virtual plat::HRESULT ReplayPlay() = 0;  // 122
  virtual plat::HRESULT Unused123() { return plat::E_NOTIMPL; }  // 123
  virtual plat::HRESULT Unused124() { return plat::E_NOTIMPL; }  // 124
  virtual plat::HRESULT Unused125() { return plat::E_NOTIMPL; }  // 125
  virtual plat::HRESULT ReplayPause() = 0;  // 126
  virtual plat::HRESULT ReplayHold(int hold) = 0;  // 127
  virtual plat::HRESULT Unused128() { return plat::E_NOTIMPL; }  // 128
  virtual plat::HRESULT Unused129() { return plat::E_NOTIMPL; }  // 129
  virtual plat::HRESULT GetReplayPosition(std::int64_t* ms) = 0;  // 130
  virtual plat::HRESULT SetReplayPosition(std::int64_t ms) = 0;  // 131: clamped to what is buffered
  virtual plat::HRESULT Unused132() { return plat::E_NOTIMPL; }  // 132
  virtual plat::HRESULT SetReplayRate(int mode, double rate) = 0;  // 133
  virtual plat::HRESULT Unused134() { return plat::E_NOTIMPL; }  // 134
  virtual plat::HRESULT StartTimeShift(int on, const EncoderBlock* block, int segmentMB, int segmentCount, int neededMB, int value) = 0;  // 135
  virtual plat::HRESULT GetReplayClock(int* hour, int* minute, int* second) = 0;  // 136
  virtual plat::HRESULT ResetReplay() = 0;  // 137
  virtual plat::HRESULT SetCountryCode(int code) = 0;  // 138
  virtual plat::HRESULT SetVideoStandard(int standard) = 0;  // 139: an AnalogVideoStandard flag
  virtual plat::HRESULT CanTimeShift() = 0;  // 140: S_OK when a time shift may start
  virtual plat::HRESULT HasTvAudio() = 0;  // 141
  virtual plat::HRESULT SetTvAudio(int mode) = 0;  // 142
  virtual plat::HRESULT Unused143() { return plat::E_NOTIMPL; }  // 143
  virtual plat::HRESULT GetTvAudio(int* mode) = 0;  // 144
  virtual plat::HRESULT Unused145() { return plat::E_NOTIMPL; }  // 145
  virtual plat::HRESULT Unused146() { return plat::E_NOTIMPL; }  // 146
  virtual plat::HRESULT Unused147() { return plat::E_NOTIMPL; }  // 147
  virtual plat::HRESULT Unused148() { return plat::E_NOTIMPL; }  // 148
  virtual plat::HRESULT Unused149() { return plat::E_NOTIMPL; }  // 149
  virtual plat::HRESULT Unused150() { return plat::E_NOTIMPL; }  // 150
  virtual plat::HRESULT Unused151() { return plat::E_NOTIMPL; }  // 151
  virtual plat::HRESULT Unused152() { return plat::E_NOTIMPL; }  // 152
  virtual plat::HRESULT GetWebCamera(int which, int* deviceIndex) = 0;  // 153
  virtual plat::HRESULT GetWebCameraCount(int* count) = 0;  // 154
  virtual plat::HRESULT AcknowledgeDisc(int value) = 0;  // 155
  virtual plat::HRESULT Unused156() { return plat::E_NOTIMPL; }  // 156
  virtual plat::HRESULT Unused157() { return plat::E_NOTIMPL; }  // 157
  virtual plat::HRESULT Unused158() { return plat::E_NOTIMPL; }  // 158
  virtual plat::HRESULT Unused159() { return plat::E_NOTIMPL; }  // 159
  virtual plat::HRESULT SetChannelStored(int antenna, int channel, int value) = 0;  // 160: 0 clears the channel
  virtual plat::HRESULT SetChannelValue(int antenna, int channel, int value) = 0;  // 161
  virtual plat::HRESULT SetChannelParam(int antenna, int channel, int value) = 0;  // 162
  virtual plat::HRESULT Unused163() { return plat::E_NOTIMPL; }  // 163
  virtual plat::HRESULT Unused164() { return plat::E_NOTIMPL; }  // 164
  virtual plat::HRESULT Unused165() { return plat::E_NOTIMPL; }  // 165
  virtual plat::HRESULT Unused166() { return plat::E_NOTIMPL; }  // 166
  virtual plat::HRESULT Unused167() { return plat::E_NOTIMPL; }  // 167
  virtual plat::HRESULT Unused168() { return plat::E_NOTIMPL; }  // 168
  virtual plat::HRESULT Unused169() { return plat::E_NOTIMPL; }  // 169
  virtual plat::HRESULT Unused170() { return plat::E_NOTIMPL; }  // 170
  virtual plat::HRESULT Unused171() { return plat::E_NOTIMPL; }  // 171
  virtual plat::HRESULT Unused172() { return plat::E_NOTIMPL; }  // 172
  virtual plat::HRESULT Unused173() { return plat::E_NOTIMPL; }  // 173
  virtual plat::HRESULT Unused174() { return plat::E_NOTIMPL; }  // 174
  virtual plat::HRESULT Unused175() { return plat::E_NOTIMPL; }  // 175
  virtual plat::HRESULT Unused176() { return plat::E_NOTIMPL; }  // 176
  virtual plat::HRESULT Unused177() { return plat::E_NOTIMPL; }  // 177
  virtual plat::HRESULT SetCodecSettings(int kind, const DivXSettings* settings, int size) = 0;  // 178
  virtual plat::HRESULT ApplyCountry(int countryCode, int* inputType) = 0;  // 179: after the devices are applied; reports the input type
  virtual plat::HRESULT Unused180() { return plat::E_NOTIMPL; }  // 180
  virtual plat::HRESULT ScanStart(int first, int last) = 0;  // 181
  virtual plat::HRESULT ScanStop() = 0;  // 182
  virtual plat::HRESULT ScanStep(int position, int channel) = 0;  // 183
  virtual plat::HRESULT ScanControl(int a, int b, int c, int d, int e) = 0;  // 184
  virtual plat::HRESULT RequestWallPicture() = 0;  // 185: the next frame at 160 x 120; then event 1047
  virtual plat::HRESULT GetVideoDeviceName(int index, char* name) = 0;  // 186
  virtual plat::HRESULT GetTeletextKeyColour(plat::COLORREF* colour) = 0;  // 187
  virtual plat::HRESULT SetAudioChannelMode(int mode) = 0;  // 188
  virtual plat::HRESULT Unused189() { return plat::E_NOTIMPL; }  // 189
  virtual plat::HRESULT SetPreviewOption(int value) = 0;  // 190
  virtual plat::HRESULT IsTeletextAvailable() = 0;  // 191
  virtual plat::HRESULT SetTeletextOwner(plat::HWND owner) = 0;  // 192
  virtual plat::HRESULT SetTeletextRect(int left, int top, int width, int height) = 0;  // 193
  virtual plat::HRESULT ShowTeletext(int show) = 0;  // 194
  virtual plat::HRESULT SetTeletextOverVideo(int on) = 0;  // 195: over the video with the key colour
  virtual plat::HRESULT SetProfileFamily(int value) = 0;  // 196
  virtual plat::HRESULT SetPreviewFamily(int value) = 0;  // 197
  virtual plat::HRESULT GetFoundChannelName(int channel, char* name) = 0;  // 198: the station name the signal carries, when known
  virtual plat::HRESULT GetTeletextPage(int* page) = 0;  // 199
  virtual plat::HRESULT SetTeletextPage(int page) = 0;  // 200
  virtual plat::HRESULT PrevTeletextPage() = 0;  // 201
  virtual plat::HRESULT NextTeletextPage() = 0;  // 202
  virtual plat::HRESULT PrevTeletextSubPage() = 0;  // 203
  virtual plat::HRESULT NextTeletextSubPage() = 0;  // 204
  virtual plat::HRESULT TeletextKeyRed() = 0;  // 205
  virtual plat::HRESULT TeletextKeyGreen() = 0;  // 206
  virtual plat::HRESULT TeletextKeyBlue() = 0;  // 207
  virtual plat::HRESULT TeletextKeyYellow() = 0;  // 208
  virtual plat::HRESULT SaveTeletextPage(const char* path, int format) = 0;  // 209
  virtual plat::HRESULT TeletextOp210(int value) = 0;  // 210
  virtual plat::HRESULT SetProgressSink(ISysRecorderProgressSink* sink) = 0;  // 211
  virtual plat::HRESULT ClearProgressSink() = 0;  // 212
  virtual plat::HRESULT TeletextOp213(int value) = 0;  // 213
  virtual plat::HRESULT TeletextOp214(int value) = 0;  // 214
  virtual plat::HRESULT SetGuideRange(int a, int b) = 0;  // 215
  virtual plat::HRESULT GuideStep(int value) = 0;  // 216
  virtual plat::HRESULT GuideOp217(int value) = 0;  // 217
  virtual plat::HRESULT GuideOp218(int value) = 0;  // 218
  virtual plat::HRESULT GuideOp219(int value) = 0;  // 219
  virtual plat::HRESULT GuideOp220(int value) = 0;  // 220
  virtual plat::HRESULT StartSearchAlternate() = 0;  // 221
  virtual plat::HRESULT StopSearchAlternate() = 0;  // 222

 protected:
  ~ISysRecorder() = default;
};
PLAT_BIND_IID(ISysRecorder, IID_ISysRecorder);

// The profile store: entries of kind "Record" and "Replay".
struct IProfileStore : plat::IUnknown {
  virtual plat::HRESULT Open(const char* key) = 0;                                        // 3
  virtual plat::HRESULT LoadFile(const char* file) = 0;                                   // 4: adds its entries
  virtual plat::HRESULT GetCount(int* count) = 0;                                         // 5
  virtual plat::HRESULT GetEntry(int index, ProfileEntry* entry) = 0;                     // 6
  virtual plat::HRESULT Unused7() { return plat::E_NOTIMPL; }                             // 7
  virtual plat::HRESULT ReadBlock(const char* kind, const char* name, EncoderBlock* block) = 0;  // 8
  virtual plat::HRESULT Unused9() { return plat::E_NOTIMPL; }                             // 9
  virtual plat::HRESULT DeleteEntry(const char* kind, const char* name) = 0;              // 10
  virtual plat::HRESULT Select(const char* kind, const char* name) = 0;                   // 11
  virtual plat::HRESULT GetSelected(ProfileEntry* entry) = 0;                             // 12

 protected:
  ~IProfileStore() = default;
};
PLAT_BIND_IID(IProfileStore, IID_IProfileStore);
