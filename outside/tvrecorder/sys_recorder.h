// CSysRecorder: the recorder component the TV engine drives. It keeps the
// devices (the virtual tuner, and tuner cards), the inputs, the country's
// channel plan, tuning and the channel tables, and runs the channel search
// on a worker that reports through the event table. Events are called from
// the thread that causes them; SetEventSink(nullptr) returns only after a
// running call has ended.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "interfaces/tvrecorder.h"
#include "outside/tvrecorder/av_recorder.h"
#include "outside/tvrecorder/channel_store.h"
#include "outside/tvrecorder/teletext.h"
#include "outside/tvrecorder/teletext_window.h"
#include "outside/tvrecorder/time_shift.h"
#include "outside/tvrecorder/tv_source.h"
#include "outside/tvrecorder/vbi_reader.h"
#include "outside/tvrecorder/video_window.h"
#include "platform/com/object.h"
#include "platform/media/tv/channel_tables.h"
#include "platform/media/tv/tuner_device.h"

class CSysRecorder : public ISysRecorder {
 public:
  using Interfaces = plat::InterfaceList<ISysRecorder>;

  CSysRecorder();
  // For tests: the devices to offer.
  explicit CSysRecorder(std::vector<std::shared_ptr<plat::tv::ITunerDevice>> devices);
  ~CSysRecorder();
  CSysRecorder(const CSysRecorder&) = delete;
  CSysRecorder& operator=(const CSysRecorder&) = delete;

  plat::HRESULT Initialize(int value) override;  // 3
  plat::HRESULT SetEventSink(ISysRecorderEventSink* sink) override;  // 4
  plat::HRESULT GetDeviceName(int index, char* name) override;  // 5
  plat::HRESULT GetAudioDeviceName(int index, char* name) override;  // 6
  plat::HRESULT SelectDevices(const char* video, const char* audio) override;  // 8
  plat::HRESULT GetSelectedDevices(char* video, char* audio) override;  // 9
  plat::HRESULT FinishDisc() override;  // 10
  plat::HRESULT SetValue(int value) override;  // 11
  plat::HRESULT SetValue12(int value) override;  // 12
  plat::HRESULT SetValue13(int value) override;  // 13
  plat::HRESULT GetVideoInput(int* input) override;  // 14
  plat::HRESULT SetVideoInput(int input) override;  // 16
  plat::HRESULT SetOwnerWindow(plat::HWND owner, int a, int b) override;  // 18
  plat::HRESULT SetVideoOrigin(int left, int top) override;  // 19
  plat::HRESULT SetVideoSize(int width, int height) override;  // 20
  plat::HRESULT ShowVideo(int show) override;  // 21
  plat::HRESULT SetFrameSize(int width, int height) override;  // 25
  plat::HRESULT IsSignalPresent() override;  // 29
  plat::HRESULT Preview(int on) override;  // 31
  plat::HRESULT EnableVideo(int on) override;  // 32
  plat::HRESULT OpenTimeShiftSource(int open) override;  // 33
  plat::HRESULT RecordSource(const char* file) override;  // 36
  plat::HRESULT PauseSource(int value) override;  // 37
  plat::HRESULT ResumeSource() override;  // 38
  plat::HRESULT RecordSourceNamed(const char* file, int start) override;  // 39
  plat::HRESULT SetTimeShiftFolder(const char* folder) override;  // 40
  plat::HRESULT SourceSeek(int mode, double step) override;  // 41
  plat::HRESULT SourceSeek2(int mode, double step) override;  // 42
  plat::HRESULT SourceOp43(int value) override;  // 43
  plat::HRESULT SourceOp44() override;  // 44
  plat::HRESULT SetSourceRate(int mode, double rate) override;  // 45
  plat::HRESULT ChannelChanged() override;  // 46
  plat::HRESULT SourceOp47(int value) override;  // 47
  plat::HRESULT SourceOp48(int value) override;  // 48
  plat::HRESULT SourceOp49(int value) override;  // 49
  plat::HRESULT SourceOp50(int value) override;  // 50
  plat::HRESULT ApplySourceBlock(const EncoderBlock* block) override;  // 51
  plat::HRESULT SetCaptureOption(int value) override;  // 60
  plat::HRESULT StartRecording(const char* file, int start, const EncoderBlock* block, int flag) override;  // 62
  plat::HRESULT StopRecording(int value) override;  // 64
  plat::HRESULT GetRecordedSize(std::int64_t* kilobytes) override;  // 67
  plat::HRESULT GetRecordTimes(std::int64_t* startTime, std::int64_t* elapsedSeconds) override;  // 68
  plat::HRESULT SetCableKey(const char* key) override;  // 72
  plat::HRESULT SetAntennaKey(const char* key) override;  // 73
  plat::HRESULT QueryCableChannel(int channel, TvChannelInfo* info) override;  // 76
  plat::HRESULT QueryAntennaChannel(int channel, TvChannelInfo* info) override;  // 77
  plat::HRESULT IsDeviceReady() override;  // 80
  plat::HRESULT HasTuner() override;  // 81
  plat::HRESULT GetTunerInput(int* antenna) override;  // 82
  plat::HRESULT SetTunerInput(int antenna) override;  // 83
  plat::HRESULT StartSearch() override;  // 84
  plat::HRESULT StopSearch() override;  // 85
  plat::HRESULT GetChannelRange(int* first, int* last) override;  // 86
  plat::HRESULT Tune(int channel) override;  // 87
  plat::HRESULT GetTunedChannel(int* channel) override;  // 88
  plat::HRESULT ChannelUp() override;  // 89
  plat::HRESULT ChannelDown() override;  // 90
  plat::HRESULT ChannelPrevious() override;  // 91
  plat::HRESULT EnableDevice(int on) override;  // 92
  plat::HRESULT GetBrightnessRange(int* minimum, int* maximum, int* byDefault) override;  // 96
  plat::HRESULT GetBrightness(int* value) override;  // 97
  plat::HRESULT SetBrightness(int value) override;  // 98
  plat::HRESULT GetContrastRange(int* minimum, int* maximum, int* byDefault) override;  // 99
  plat::HRESULT GetContrast(int* value) override;  // 100
  plat::HRESULT SetContrast(int value) override;  // 101
  plat::HRESULT GetHueRange(int* minimum, int* maximum, int* byDefault) override;  // 102
  plat::HRESULT GetHue(int* value) override;  // 103
  plat::HRESULT SetHue(int value) override;  // 104
  plat::HRESULT GetSaturationRange(int* minimum, int* maximum, int* byDefault) override;  // 105
  plat::HRESULT GetSaturation(int* value) override;  // 106
  plat::HRESULT SetSaturation(int value) override;  // 107
  plat::HRESULT SaveSnapshot(const char* path) override;  // 111
  plat::HRESULT WatchRecording(int on) override;  // 120
  plat::HRESULT ReplayPlay() override;  // 122
  plat::HRESULT ReplayPause() override;  // 126
  plat::HRESULT ReplayHold(int hold) override;  // 127
  plat::HRESULT GetReplayPosition(std::int64_t* ms) override;  // 130
  plat::HRESULT SetReplayPosition(std::int64_t ms) override;  // 131
  plat::HRESULT SetReplayRate(int mode, double rate) override;  // 133
  plat::HRESULT StartTimeShift(int on, const EncoderBlock* block, int segmentMB, int segmentCount, int neededMB, int value) override;  // 135
  plat::HRESULT GetReplayClock(int* hour, int* minute, int* second) override;  // 136
  plat::HRESULT ResetReplay() override;  // 137
  plat::HRESULT SetCountryCode(int code) override;  // 138
  plat::HRESULT SetVideoStandard(int standard) override;  // 139
  plat::HRESULT CanTimeShift() override;  // 140
  plat::HRESULT HasTvAudio() override;  // 141
  plat::HRESULT SetTvAudio(int mode) override;  // 142
  plat::HRESULT GetTvAudio(int* mode) override;  // 144
  plat::HRESULT GetWebCamera(int which, int* deviceIndex) override;  // 153
  plat::HRESULT GetWebCameraCount(int* count) override;  // 154
  plat::HRESULT AcknowledgeDisc(int value) override;  // 155
  plat::HRESULT SetChannelStored(int antenna, int channel, int value) override;  // 160
  plat::HRESULT SetChannelValue(int antenna, int channel, int value) override;  // 161
  plat::HRESULT SetChannelParam(int antenna, int channel, int value) override;  // 162
  plat::HRESULT SetCodecSettings(int kind, const DivXSettings* settings, int size) override;  // 178
  plat::HRESULT ApplyCountry(int countryCode, int* inputType) override;  // 179
  plat::HRESULT ScanStart(int first, int last) override;  // 181
  plat::HRESULT ScanStop() override;  // 182
  plat::HRESULT ScanStep(int position, int channel) override;  // 183
  plat::HRESULT ScanControl(int a, int b, int c, int d, int e) override;  // 184
  plat::HRESULT RequestWallPicture() override;  // 185
  plat::HRESULT GetVideoDeviceName(int index, char* name) override;  // 186
  plat::HRESULT GetTeletextKeyColour(plat::COLORREF* colour) override;  // 187
  plat::HRESULT SetAudioChannelMode(int mode) override;  // 188
  plat::HRESULT SetPreviewOption(int value) override;  // 190
  plat::HRESULT IsTeletextAvailable() override;  // 191
  plat::HRESULT SetTeletextOwner(plat::HWND owner) override;  // 192
  plat::HRESULT SetTeletextRect(int left, int top, int width, int height) override;  // 193
  plat::HRESULT ShowTeletext(int show) override;  // 194
  plat::HRESULT SetTeletextOverVideo(int on) override;  // 195
  plat::HRESULT SetProfileFamily(int value) override;  // 196
  plat::HRESULT SetPreviewFamily(int value) override;  // 197
  plat::HRESULT GetFoundChannelName(int channel, char* name) override;  // 198
  plat::HRESULT GetTeletextPage(int* page) override;  // 199
  plat::HRESULT SetTeletextPage(int page) override;  // 200
  plat::HRESULT PrevTeletextPage() override;  // 201
  plat::HRESULT NextTeletextPage() override;  // 202
  plat::HRESULT PrevTeletextSubPage() override;  // 203
  plat::HRESULT NextTeletextSubPage() override;  // 204
  plat::HRESULT TeletextKeyRed() override;  // 205
  plat::HRESULT TeletextKeyGreen() override;  // 206
  plat::HRESULT TeletextKeyBlue() override;  // 207
  plat::HRESULT TeletextKeyYellow() override;  // 208
  plat::HRESULT SaveTeletextPage(const char* path, int format) override;  // 209
  plat::HRESULT TeletextOp210(int value) override;  // 210
  plat::HRESULT SetProgressSink(ISysRecorderProgressSink* sink) override;  // 211
  plat::HRESULT ClearProgressSink() override;  // 212
  plat::HRESULT TeletextOp213(int value) override;  // 213
  plat::HRESULT TeletextOp214(int value) override;  // 214
  plat::HRESULT SetGuideRange(int a, int b) override;  // 215
  plat::HRESULT GuideStep(int value) override;  // 216
  plat::HRESULT GuideOp217(int value) override;  // 217
  plat::HRESULT GuideOp218(int value) override;  // 218
  plat::HRESULT GuideOp219(int value) override;  // 219
  plat::HRESULT GuideOp220(int value) override;  // 220
  plat::HRESULT StartSearchAlternate() override;  // 221
  plat::HRESULT StopSearchAlternate() override;  // 222

  // Ends a running search and waits for its worker.
  void StopSearchWorker();

 private:
  int Fire(int code, std::int32_t a = 0, std::int32_t b = 0, const TvPicture* picture = nullptr);
  std::shared_ptr<plat::tv::ITunerDevice> Device() const;
  plat::tv::ChannelPlan Plan() const;
  tvrec::ChannelStore& Band(int antenna);
  int SignalPercent() const;
  plat::HRESULT TuneTo(int channel, bool report);
  plat::HRESULT StepStored(int direction);
  plat::HRESULT Query(int antenna, int channel, TvChannelInfo* info);
  plat::HRESULT PictureRange(plat::tv::PictureControl c, int* minimum, int* maximum, int* byDefault);
  plat::HRESULT PictureGet(plat::tv::PictureControl c, int* value);
  plat::HRESULT PictureSet(plat::tv::PictureControl c, int value);
  void SearchWorker(int antenna);
  // Media: the live source runs while something needs pictures.
  std::shared_ptr<plat::tv::VirtualTuner> VirtualDevice() const;
  bool EnsureSource();
  void OpenVbi(const std::string& videoNode);
  void StopSourceIfIdle();
  void OnFrame(const tvrec::VideoFrameI420& frame);
  void StopRecordingNow(bool report);
  void StopTimeShiftNow();
  // The replay the time-shift operations act on: the time shift's, or the
  // watched recording's.
  tvrec::TimeShift* Replayer() const;
  void StopWatchNow();
  plat::HRESULT FollowLink(int key);

 public:
  const tvrec::VideoWindow& video_window() const { return m_video; }
  const tvrec::TeletextDecoder& teletext() const { return *m_teletext; }
  const tvrec::TeletextWindow& teletext_window() const { return m_teletextWindow; }
  // Seconds of picture in the recording being made (0 without one).
  double recorded_seconds() const { return m_recording ? m_recording->secondsWritten() : 0.0; }
  // How far the replay's buffer reaches, in ms (-1 without a replay).
  std::int64_t replay_live_ms() const {
    const tvrec::TimeShift* r = Replayer();
    return r ? r->LivePosition() : -1;
  }
  // Whether a replay (not the live picture) is shown.
  bool replaying() const {
    const tvrec::TimeShift* r = Replayer();
    return r && r->replaying();
  }
  // The teletext page shown and its sub-code (-1: the newest sub-page).
  int teletext_page() const {
    std::lock_guard lock(m_mutex);
    return m_nTeletextPage;
  }
  int teletext_subpage() const {
    std::lock_guard lock(m_mutex);
    return m_nTeletextSubPage;
  }

  std::vector<std::shared_ptr<plat::tv::ITunerDevice>> m_devices;
  mutable std::mutex m_mutex;
  int m_nDevice = -1;
  std::string m_audioDevice;
  int m_nInitValue = 0;
  int m_values[3] = {0, 0, 0};
  int m_nCountryCode = 0;
  int m_nStandard = 0x10;
  int m_nAntenna = 1;
  int m_nChannel = 0;
  int m_nPreviousChannel = 0;
  int m_nCaptureOption = 0;
  int m_nAudioChannelMode = 0;
  int m_nPreviewOption = 0;
  int m_nProfileFamily = 0;
  int m_nPreviewFamily = 0;
  int m_frameSize[2] = {0, 0};
  int m_aviKeyInterval = 0;  // slot 178's MPEG-4 settings for AVI; 0 keeps the block's
  int m_aviBitRate = 0;
  int m_videoRect[4] = {0, 0, 640, 480};
  std::string m_timeShiftFolder;
  tvrec::ChannelStore m_cable;
  tvrec::ChannelStore m_antenna;

  std::mutex m_sinkMutex;
  ISysRecorderEventSink* m_pSink = nullptr;
  ISysRecorderProgressSink* m_pProgress = nullptr;

  // Media state belongs to the caller's thread; the frame consumer reads the
  // picture requests under m_pictureMutex.
  tvrec::VideoWindow m_video;
  std::unique_ptr<tvrec::TvSource> m_source;
  int m_nFrameConsumer = 0;
  std::atomic<bool> m_bPreview{false};
  std::unique_ptr<tvrec::AvRecorder> m_recording;
  int m_recordConsumers[2] = {0, 0};
  std::int64_t m_recordStart = 0;
  std::uint64_t m_recordStartSteady = 0;
  std::mutex m_shiftMutex;  // the frame consumer asks whether the replay is shown
  std::unique_ptr<tvrec::TimeShift> m_shift;
  std::unique_ptr<tvrec::TimeShift> m_watch;  // the recording watched while it records
  std::string m_recordingFile;
  bool m_bSourceOpen = false;
  bool m_bSourcePaused = false;
  EncoderBlock m_sourceBlock{};
  bool m_bSourceBlock = false;
  int m_shiftConsumers[2] = {0, 0};
  std::int64_t m_shiftStart = 0;
  std::shared_ptr<tvrec::TeletextDecoder> m_teletext = std::make_shared<tvrec::TeletextDecoder>();
  tvrec::TeletextFeeder m_feeder{m_teletext};
  int m_nTeletextPage = 100;
  int m_nTeletextSubPage = -1;  // the sub-code shown; -1: the newest
  tvrec::TeletextWindow m_teletextWindow{[this](std::vector<std::uint32_t>& rgba, int& w, int& h) {
    return m_teletext->Draw(teletext_page(), rgba, w, h, teletext_subpage());
  }};
  // A tuner card's teletext, read from its VBI device while its source runs.
  std::unique_ptr<tvrec::VbiReader> m_vbi;
  // Steps through the shown page's sub-pages; E_FAIL with fewer than two.
  plat::HRESULT StepTeletextSubPage(int step);
  std::mutex m_pictureMutex;
  std::string m_snapshotPath;
  bool m_bWallRequest = false;

  std::mutex m_searchMutex;
  std::thread m_search;
  std::atomic<bool> m_bStopSearch{false};
};
