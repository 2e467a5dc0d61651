// CGrabber: the analogue TV engine's object. A facade over the recorder and
// the profile store: it keeps the state machine (200..214), the country,
// input and channel bookkeeping, names recordings, steps scans and the
// channel wall, watches free space, and turns recorder events into calls of
// the client's IGrabberEventSink. Recorder events arrive on any thread and
// are queued for the hidden window "grabber" on the engine's thread; the
// sink is only ever called there.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engines/capture/grabber/channel_stepping.h"
#include "engines/capture/grabber/grabber_hooks.h"
#include "interfaces/event_sinks.h"
#include "interfaces/grabber.h"
#include "platform/com/com_ptr.h"
#include "platform/com/object.h"
#include "platform/win/window.h"

namespace grabber {

// Messages of the hidden window.
inline constexpr plat::UINT kMsgFreeSpaceCheck = plat::WM_USER + 1;
inline constexpr plat::UINT kMsgScanStep = plat::WM_USER + 2;
inline constexpr plat::UINT kMsgBurnProgress = plat::WM_USER + 5;
inline constexpr plat::UINT kMsgRecorderEvents = plat::WM_USER + 6;

inline constexpr int kFreeSpaceTimerMs = 2000;
inline constexpr long long kLowSpaceMB = 50;
inline constexpr int kDefaultTvAudioMode = 11;

// A recorder event copied off the thread it came from.
struct QueuedEvent {
  bool progress = false;     // from the second table (kind in `code`)
  int code = 0;
  std::int32_t a = 0;
  std::int32_t b = 0;
  bool hasPicture = false;
  TvPicture picture;
  std::vector<std::uint8_t> pixels;
};

}  // namespace grabber

class CGrabber : public IGrabber, private ISysRecorderEventSink, private ISysRecorderProgressSink {
 public:
  using Interfaces = plat::InterfaceList<IGrabber>;
  static constexpr const char* kWindowClass = "grabber";

  CGrabber();
  explicit CGrabber(grabber::GrabberHooks hooks);
  ~CGrabber();
  CGrabber(const CGrabber&) = delete;
  CGrabber& operator=(const CGrabber&) = delete;

  // IGrabber
  plat::HRESULT Init(GrabberInitRecord record) override;
  plat::HRESULT SetNotifyTarget(IGrabberEventSink* sink) override;
  plat::HRESULT SetVideoOwner(plat::HWND owner) override;
  plat::HRESULT SetVideoOrigin(int left, int top) override;
  plat::HRESULT SetVideoSize(int width, int height) override;
  plat::HRESULT ShowVideo(int show) override;
  plat::HRESULT GetChannelName(char* name, int channel) override;
  plat::HRESULT GetChannelStatus(int channel, char* name) override;
  plat::HRESULT GetChannelRange(int* first, int* last) override;
  plat::HRESULT SetChannelParam(int value, int channel) override;
  plat::HRESULT GetTunedChannel(int* channel) override;
  plat::HRESULT TuneChannel(int channel) override;
  plat::HRESULT ChannelStep1() override;
  plat::HRESULT ChannelStep2() override;
  plat::HRESULT ChannelStep3() override;
  plat::HRESULT AutoScan(int on) override;
  plat::HRESULT AutoScanAlternate(int on) override;
  plat::HRESULT GetChannelSignal(int channel, int* value, int* status) override;
  plat::HRESULT SetChannelStored(int channel, int value) override;
  plat::HRESULT Preview(int on) override;
  plat::HRESULT WatchWhileRecording(int on) override;
  plat::HRESULT TakeSnapshot(const char* path) override;
  plat::HRESULT Record(int on) override;
  plat::HRESULT RecordNamed(RecordNameBlock name) override;
  plat::HRESULT TimeShift(int on) override;
  plat::HRESULT RecordToDisc(int on) override;
  plat::HRESULT PrepareDisc(int driveLetter) override;
  plat::HRESULT StartChannelScan(int first, int last, const unsigned* channels) override;
  plat::HRESULT StopChannelScan() override;
  plat::HRESULT ScanControl(int a, int b, int c, int d, int e) override;
  plat::HRESULT StartMultiChannelPreview(int count, const unsigned* channels) override;
  plat::HRESULT StopMultiChannelPreview() override;
  plat::HRESULT NextPreviewChannel() override;
  plat::HRESULT PrevPreviewChannel() override;
  plat::HRESULT TimeShiftOp122() override;
  plat::HRESULT TimeShiftOp126() override;
  plat::HRESULT SeekBackward(int steps) override;
  plat::HRESULT SeekForward(int steps) override;
  plat::HRESULT GetElapsedTime(int* hours, int* minutes, int* seconds) override;
  plat::HRESULT GetPlaybackPosition(int* hour, int* minute, int* second) override;
  plat::HRESULT GetRemainingRecordTime(const char* folder, int profileIndex, float* minutes) override;
  plat::HRESULT SelectRecordProfile(const char* name) override;
  plat::HRESULT SetTimeShiftFolder(const char* folder) override;
  plat::HRESULT SetCountry(int index) override;
  plat::HRESULT SetVideoInput(int input) override;
  plat::HRESULT SetTunerInput(int antenna) override;
  plat::HRESULT SetVideoDeviceName(const char* name) override;
  plat::HRESULT SetAudioDeviceName(const char* name) override;
  plat::HRESULT SetPictureLevel1(int level) override;
  plat::HRESULT SetPictureLevel2(int level) override;
  plat::HRESULT SetPictureLevel3(int level) override;
  plat::HRESULT SetPictureLevel4(int level) override;
  plat::HRESULT SetCaptureOption(int value) override;
  plat::HRESULT SetTimeShiftLength(int minutes) override;
  plat::HRESULT ResetVideoSettings() override;
  plat::HRESULT SetTvAudioMode(int mode) override;
  plat::HRESULT SetAudioChannelMode(int mode) override;
  plat::HRESULT RecorderOp60(int value) override;
  plat::HRESULT ApplyCountrySettings() override;
  plat::HRESULT GetSelectedProfileName(char* name) override;
  plat::HRESULT GetRecordProfile(EncoderBlock* block) override;
  plat::HRESULT GetOutputFolder(char* folder) override;
  int GetCountry() override;
  int GetInputKind() override;
  plat::HRESULT RecorderOp67(int value) override;
  int GetTunerInput() override;
  plat::HRESULT GetVideoDeviceName(char* name) override;
  plat::HRESULT GetAudioDeviceName(char* name) override;
  int GetPictureLevel1() override;
  int GetPictureLevel2() override;
  int GetPictureLevel3() override;
  int GetPictureLevel4() override;
  plat::HRESULT GetPictureRange1(int* minimum, int* maximum, int* byDefault) override;
  plat::HRESULT GetPictureRange2(int* minimum, int* maximum, int* byDefault) override;
  plat::HRESULT GetPictureRange3(int* minimum, int* maximum, int* byDefault) override;
  plat::HRESULT GetPictureRange4(int* minimum, int* maximum, int* byDefault) override;
  int GetCaptureOption() override;
  int GetTimeShiftLength() override;
  int GetAudioChannelMode() override;
  int GetTvAudioMode() override;
  int GetReportedInputType() override;
  int GetProfileFamily() override;
  plat::HRESULT GetProfileNameAt(int index, char* name) override;
  plat::HRESULT GetCountryName(int index, char* name) override;
  plat::HRESULT RecorderOp87(int value) override;
  plat::HRESULT RecorderOp88(int index, char* name) override;
  plat::HRESULT RecorderOp89(int index, char* name) override;
  plat::HRESULT GetStoredChannel(int index, int* value, int* status) override;
  plat::HRESULT EnableDivXSettings(int on) override;
  plat::HRESULT SetVideoFlag190(int value) override;
  int IsSignalPresent() override;
  int IsDeviceReady() override;
  plat::HRESULT GetTeletextKeyColour(plat::COLORREF* colour) override;
  plat::HRESULT GetTeletextAvailable() override;
  plat::HRESULT RecorderOp97(plat::HWND owner) override;
  plat::HRESULT RecorderOp98(int left, int top, int width, int height) override;
  plat::HRESULT ShowTeletext(int show) override;
  plat::HRESULT RecorderOp100(int on) override;
  int GetTeletextPage() override;
  plat::HRESULT SetTeletextPage(int page) override;
  plat::HRESULT PrevTeletextPage() override;
  plat::HRESULT NextTeletextPage() override;
  plat::HRESULT PrevTeletextSubPage() override;
  plat::HRESULT NextTeletextSubPage() override;
  plat::HRESULT TeletextKeyRed() override;
  plat::HRESULT TeletextKeyGreen() override;
  plat::HRESULT TeletextKeyBlue() override;
  plat::HRESULT TeletextKeyYellow() override;
  plat::HRESULT SetBurnSource(const char* path, int format) override;
  plat::HRESULT RecorderOp112(int value) override;
  plat::HRESULT EnableBurnProgress(int on) override;
  plat::HRESULT RecorderOp114(int value) override;
  plat::HRESULT RecorderOp115(int value) override;
  plat::HRESULT SetGuideRange(int a, int b) override;
  plat::HRESULT GuideStep(int value) override;
  plat::HRESULT RecorderOp118(int value) override;
  plat::HRESULT RecorderOp119(int value) override;
  plat::HRESULT RecorderOp120(int value) override;
  plat::HRESULT RecorderOp121(int value) override;
  plat::HRESULT HasWebCamera() override;
  plat::HRESULT SelectWebCamera() override;
  plat::HRESULT SelectCompositeInput() override;
  plat::HRESULT SelectSVideoInput() override;
  plat::HRESULT OpenTimeShiftSource(const char* open) override;
  plat::HRESULT RecordSource() override;
  plat::HRESULT PauseSource(int value) override;
  plat::HRESULT ResumeSource() override;
  plat::HRESULT RecordSourceNamed(RecordNameBlock name) override;
  plat::HRESULT SeekTo(int step, double value) override;
  plat::HRESULT SeekTo2(int step, double value) override;
  plat::HRESULT RecorderOp133(int value) override;
  plat::HRESULT RecorderOp134() override;
  plat::HRESULT RecorderOp135(int mode, double rate) override;
  plat::HRESULT ResetPlaybackRate() override;
  plat::HRESULT RecorderOp137(int value) override;
  plat::HRESULT RecorderOp138(int value) override;
  plat::HRESULT RecorderOp139(int value) override;
  plat::HRESULT RecorderOp140(int value) override;

  // What tests and the window look at.
  int state() const { return m_nState; }
  int current_channel() const { return m_nChannel; }
  int capabilities() const { return m_nCapabilities; }
  bool named_recording() const { return m_bNamedRecording; }
  int scan_position() const { return m_nScanPosition; }
  const EncoderBlock& time_shift_block() const { return m_timeShiftBlock; }
  plat::HWND window() const { return m_hWnd; }
  plat::UINT free_space_timer() const { return m_nFreeSpaceTimer; }
  plat::UINT step_timer() const { return m_nStepTimer; }
  bool divx_held() const { return m_divx.has_value(); }
  const std::string& start_folder() const { return m_startFolder; }

  // The hidden window's work, also callable directly.
  void OnFreeSpaceCheck();
  void OnStepTimer();
  void OnWallTimer();
  void DrainEvents();

 private:
  struct DivXHeld {
    DivXSettings settings;
    std::vector<std::uint8_t> state;
  };

  // ISysRecorderEventSink, ISysRecorderProgressSink: any thread.
  int OnRecorderEvent(const char* source, int code, std::int32_t a, std::int32_t b,
                      const TvPicture* picture) override;
  int OnRecorderProgress(int kind, int value) override;
  void Enqueue(grabber::QueuedEvent event);
  void HandleEvent(const grabber::QueuedEvent& event);
  void HandleChannelFound(int channel, int value);

  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void StartStepTimer(plat::UINT delayMs);
  void CreateHiddenWindow();
  void DestroyHiddenWindow();
  void KillStepTimers();

  bool InState(std::initializer_list<int> states) const;
  bool TuningAllowed() const;
  plat::HRESULT StopActivity();
  plat::HRESULT ReadBackChannel();
  plat::HRESULT QueryChannel(int channel, TvChannelInfo& info);
  std::optional<bool> ChannelStored(int channel);
  int NextChannel(int current, int steps);
  void ReleaseComponents();

  // Profiles and settings.
  enum class ProfileLoad { kLoaded, kUnchanged, kFailed };
  ProfileLoad LoadProfiles();
  void WriteDefaultEntry();
  void ChooseTimeShiftProfile();
  void ApplyDevices(const std::string& previousVideo, const std::string& previousAudio);
  plat::HRESULT ApplyPictureLevel(int which, int level);
  plat::HRESULT PictureRange(int which, int* minimum, int* maximum, int* byDefault);
  void SetCountryRow(int index);
  void ResetChannelTables();
  bool HasFolderFor(const std::string& path);

  // Recording.
  long long FreeMB(const std::string& folder) const;
  std::string Extension(const EncoderBlock& block) const;
  std::string GeneratedName();
  EncoderBlock StartBlock(const EncoderBlock& source) const;
  void ResetVideoSize();
  plat::HRESULT ApplyDivX();
  void Notify(const std::function<void(IGrabberEventSink&)>& call);

  grabber::GrabberHooks m_hooks;
  plat::ComPtr<ISysRecorder> m_pRecorder;
  plat::ComPtr<IProfileStore> m_pStore;
  IGrabberEventSink* m_pSink = nullptr;
  int m_nState = grabstate::kConstructed;
  std::string m_startFolder;
  std::string m_outputFolder;
  std::string m_tvKey;
  std::string m_videoDevice;
  std::string m_audioDevice;
  int m_nCountry = -1;
  int m_nCountryCode = 0;
  int m_nStandard = 0;
  int m_nInputKind = 0;
  int m_nAntenna = 0;
  int m_nChannel = 0;
  int m_nTvAudioMode = grabber::kDefaultTvAudioMode;
  int m_nAudioChannelMode = -1;
  int m_nReportedInputType = 0;
  int m_nCaptureOption = 2048;
  int m_nTimeShiftLength = 5;
  int m_nProfileFamily = 0;
  int m_levels[4] = {50, 50, 50, 50};
  ProfileEntry m_current{};
  std::string m_profileName;
  EncoderBlock m_timeShiftBlock{};
  int m_nCapabilities = 0;
  int m_nSpeed = 0;

  // Scan and channel wall.
  int m_nScanCount = 0;
  int m_nScanPosition = 0;
  int m_nScanStart = 0;
  std::vector<unsigned> m_scanList;
  bool m_bWholeBand = false;
  int m_nPreviewChannel = 0;
  bool m_bPreviewRestart = false;

  plat::UINT m_nFreeSpaceTimer = 0;
  plat::UINT m_nStepTimer = 0;
  plat::UINT_PTR m_nWallTimer = 0;
  plat::HWND m_hWnd = nullptr;
  int m_nVideoWidth = 640;
  int m_nVideoHeight = 480;
  bool m_bDiscReady = false;
  bool m_bNamedRecording = false;
  double m_rates[2] = {1.0, 1.0};
  std::optional<DivXHeld> m_divx;
  bool m_bInitDone = false;
  char m_channelName[kGrabberTextChars] = {};

  std::mutex m_queueMutex;
  std::deque<grabber::QueuedEvent> m_queue;
};
