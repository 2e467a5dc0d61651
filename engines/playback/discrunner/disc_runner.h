// CDiscRunner: the DVD engine's COM object. It binds the DVD playback
// library, turns IDiscRunner's operations into calls on the library's API
// object, keeps the play state, pumps the library's events into the client's
// IDvdEventSink, carries the picture in its video window and captures frames.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engines/playback/discrunner/library_binding.h"
#include "interfaces/discrunner.h"
#include "outside/tovelax/tovelax_api.h"
#include "platform/com/object.h"
#include "platform/win/win_types.h"

class CDiscRunner : public IDiscRunner,
                    public IDiscRunnerQueries,
                    private tovelax::INotifyPoster,
                    private tovelax::IFrameSink {
 public:
  using Interfaces = plat::InterfaceList<IDiscRunner, IDiscRunnerQueries>;
  static constexpr const char* kVideoWindowClass = "discrunner Video Window";
  static constexpr const char* kDesktopWindowClass = "Video Desktop Window";
  static constexpr const char* kRegistryPath = "SOFTWARE\\Kestrovia\\Marivel\\MyMovie";
  static constexpr plat::UINT kEventMessage = plat::WM_USER + 1900;
  static constexpr plat::UINT kDigitCommitMs = 2000;

  CDiscRunner();
  ~CDiscRunner();
  CDiscRunner(const CDiscRunner&) = delete;
  CDiscRunner& operator=(const CDiscRunner&) = delete;

  // The one live object of the process (null when none).
  static CDiscRunner* Current();

  plat::HRESULT Open(const char* path) override;
  plat::HRESULT Close() override;
  plat::HRESULT SetOwnerWindow(plat::HWND owner) override;
  plat::HRESULT GetVideoWindow(plat::HWND* window) override;
  plat::HRESULT ShowVideo(plat::BOOL show) override;
  plat::HRESULT UpdateVideoPosition(int x, int y, int width, int height, float zoom) override;
  plat::HRESULT Reserved9(int, int, int, int) override;
  plat::HRESULT Play() override;
  plat::HRESULT Pause() override;
  plat::HRESULT Stop() override;
  plat::HRESULT DvdOp13() override;
  plat::HRESULT ShowMenu(int kind) override;
  plat::HRESULT MenuNavigate(int code) override;
  plat::HRESULT NotImplemented16(int) override;
  plat::HRESULT NotImplemented17(int) override;
  plat::HRESULT NotImplemented18(int) override;
  plat::HRESULT NotImplemented19(int) override;
  plat::HRESULT NotImplemented20(int) override;
  plat::HRESULT NotImplemented21(int) override;
  plat::HRESULT NextChapter() override;
  plat::HRESULT PrevChapter() override;
  plat::HRESULT DvdOp24() override;
  plat::HRESULT FastForward(int speed) override;
  plat::HRESULT Rewind(int speed) override;
  plat::HRESULT GetDefaultLanguageName(char* text) override;
  plat::HRESULT GetSubtitleCount(int* count) override;
  plat::HRESULT GetSubtitleState(int* current, int* on) override;
  plat::HRESULT SelectSubtitleStream(int index) override;
  plat::HRESULT SetSubtitleOn(plat::BOOL on) override;
  plat::HRESULT GetSubtitleLanguageText(int index, char* text) override;
  plat::HRESULT SetClosedCaptionMode(int mode) override;
  plat::HRESULT GetAngleCount(int* count) override;
  plat::HRESULT GetAngle(int* angle) override;
  plat::HRESULT SetAngle(int angle) override;
  plat::HRESULT GetDefaultLanguageNameLocal(char* text) override;
  plat::HRESULT GetAudioCount(int* count) override;
  plat::HRESULT GetCurrentAudioStream(int* stream) override;
  plat::HRESULT SelectAudioStream(int index) override;
  plat::HRESULT GetAudioStreamLanguageText(int index, char* text) override;
  plat::HRESULT NotImplemented42(int) override;
  plat::HRESULT NotImplemented43(int, int) override;
  plat::HRESULT GetTotalTime(int* total) override;
  plat::HRESULT GetCurrentTime(std::uint32_t* time) override;
  plat::HRESULT NotImplemented46(int) override;
  plat::HRESULT NotImplemented47(int) override;
  plat::HRESULT GetResumeInfo(std::uint32_t* available, std::uint32_t* time) override;
  plat::HRESULT DvdOp49() override;
  plat::HRESULT DvdOp50() override;
  plat::HRESULT DvdOp51(const char* path) override;
  plat::HRESULT CloseWithRecord() override;
  plat::HRESULT CaptureFrame(const char* bmpPath) override;
  plat::HRESULT Reserved54() override;
  plat::HRESULT DvdOp55(int a, int b) override;
  plat::HRESULT NotImplemented56(int) override;
  plat::HRESULT NotImplemented57(int) override;
  plat::HRESULT GetAudioOutputCaps(std::uint32_t* caps) override;
  plat::HRESULT NotImplemented59(int) override;
  plat::HRESULT DvdOp60(int value) override;
  plat::HRESULT NotImplemented61(int) override;
  plat::HRESULT NotImplemented62(int) override;
  plat::HRESULT DvdOp63(int brightness, int contrast, int hue, int saturation, int gamma) override;
  plat::HRESULT GetPlayState(int* state) override;
  plat::HRESULT GetPlaySpeed(int* speed) override;
  plat::HRESULT SetNotifyTarget(IDvdEventSink* sink) override;
  plat::HRESULT SetVideoMode(int value, int aspectMode) override;
  plat::HRESULT NotImplemented68(int) override;
  plat::HRESULT DvdOp69(plat::BOOL on, int value) override;
  plat::HRESULT SetVideoRect(plat::BOOL on) override;
  plat::HRESULT DvdOp71(int a, int b) override;
  plat::HRESULT DvdOp72(int value) override;
  plat::HRESULT DvdOp73(int value) override;
  plat::HRESULT DvdOp74(int value) override;
  plat::HRESULT DvdOp75(int a, int b, int c) override;
  plat::HRESULT DvdOp76(int value) override;
  plat::HRESULT DvdOp77(int value) override;
  plat::HRESULT DvdOp78(int value) override;
  plat::HRESULT DvdOp79(int value) override;
  plat::HRESULT DvdOp80(int value) override;
  plat::HRESULT DvdOp81(int value) override;
  plat::HRESULT AcceptParentalLevelChange(int answer) override;
  plat::HRESULT GetTitleParentalLevel(int* level) override;
  plat::HRESULT DvdOp84() override;
  plat::HRESULT EnterDigit(int digit) override;
  plat::HRESULT GetMediaKind(const char* path, std::uint32_t* bits) override;
  plat::HRESULT DvdOp87(int* value) override;
  plat::HRESULT DvdOp88(int* value) override;
  plat::HRESULT DvdOp89(int* first, int* second) override;
  plat::HRESULT DvdOp90(int number, int* value) override;
  plat::HRESULT DvdOp91(int ignored) override;
  plat::HRESULT SetRegionCode(const std::uint8_t* record) override;
  plat::HRESULT DvdOp93(int value) override;
  plat::HRESULT CanCaptureFrame() override;
  plat::HRESULT DvdOp95(int value) override;
  plat::HRESULT DvdOp96(int a, int b) override;
  plat::HRESULT DvdOp97(int value) override;
  plat::HRESULT DvdOp98(int value) override;
  plat::HRESULT SetFullScreen() override;
  plat::HRESULT RestoreWindow() override;
  plat::HRESULT DvdOp101(int value) override;
  plat::HRESULT DvdOp102() override;

  // IDiscRunnerQueries (disc_runner_queries.cpp).
  plat::HRESULT GetChapter(int* chapter) override;
  plat::HRESULT GetResumeApplied() override;
  plat::HRESULT GetDriveRegion(const char* root, int* region, int* changesLeft) override;
  plat::HRESULT SetDriveRegion(const char* root, int region) override;
  plat::HRESULT GetAudioProfileCaps(int speaker, std::uint32_t* bits) override;
  plat::HRESULT SetSpeakerMode(int speaker) override;
  plat::HRESULT SetHardwareDecoding(int on) override;

  // State the tests and the window procedure look at.
  int domain() const { return domain_; }
  int title() const { return title_; }
  int ended() const { return ended_; }
  int disc_kind() const { return discKind_; }
  int disc_sub_kind() const { return discSubKind_; }
  int full_screen() const { return fullScreen_; }
  int digit_value() const { return digitValue_; }
  plat::UINT_PTR digit_timer() const { return digitTimer_; }
  plat::HWND video_window() const { return videoWindow_; }
  plat::HWND desktop_window() const { return desktopWindow_; }
  const std::string& bookmark_path() const { return bookmarkPath_; }
  // The result of the construction-time binding.
  plat::HRESULT bind_result() const { return bindResult_; }

 private:
  static plat::LRESULT VideoWndProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  static void DigitTimerProc(plat::HWND, plat::UINT, plat::UINT_PTR, plat::DWORD);

  tovelax::IMMAPI* api() const { return binding_.api(); }
  tovelax::IMMSource* source() const;
  tovelax::IMMTransport* transport() const;
  tovelax::IMMInfo* info() const;
  tovelax::IMMNavControl* nav() const;
  tovelax::IMMVideoWindow* video() const;
  tovelax::IMMDecoder* decoder() const;
  tovelax::IMMEventQueue* events() const;

  plat::HRESULT BindLibrary();
  void CreateWindows();
  void DestroyWindows();
  void Classify(const char* path);
  // What the library opens for `path`: a drive's letter root (D:\ and
  // the like) becomes its volume's mount point or disc image; other paths stay.
  static std::string SourcePath(const char* path);
  // Classifies what `path` opens; a DVD folder or image behind an optical
  // drive's letter root (a virtual drive) counts as a disc in that drive.
  void ClassifyOpen(const char* path, const std::string& source);
  // Gives the library the region of the drive `path` names, if it has one.
  void ApplyDriveRegion(const char* path);
  plat::HRESULT FinishOpen(plat::HRESULT openResult);
  plat::HRESULT CloseSource(bool withRecord);
  plat::HRESULT ChapterStep(bool next);
  plat::HRESULT ScanResult(plat::HRESULT scanResult);
  plat::HRESULT LanguageText(std::uint32_t languageId, bool local, char* text);
  plat::HRESULT CommitDigits();
  plat::RECT ParentClientRect() const;

  void PumpEvents();
  void HandleEvent(std::int32_t code, std::intptr_t value1, std::intptr_t value2);

  // INotifyPoster, IFrameSink.
  void Post(tovelax::HWND window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override;
  // Runs this thread's messages while the library waits for an opening
  // source, so that the screen stays alive (the caller keeps its own actions
  // away meanwhile; Close is refused until the open ends).
  void WaitOnClientThread(unsigned ms) override;
  void OnFrame(const std::shared_ptr<const tovelax::VideoFrame>& frame, const tovelax::Rect& destination,
               const tovelax::Rect& source, bool visible) override;

  IDvdEventSink* sink_ = nullptr;
  discrunner::LibraryBinding binding_;
  int domain_ = 0;
  int audioCount_ = 0, audioCurrent_ = 0;
  int subtitleCount_ = 0, subtitleCurrent_ = 0;
  int angleCount_ = 0, angleCurrent_ = 0;
  int title_ = 0;
  int playState_ = kDiscUnbound;
  int ended_ = 0;
  plat::UINT_PTR digitTimer_ = 0;
  int digitValue_ = 0;
  int discKind_ = 0, discSubKind_ = 0;
  plat::HWND desktopWindow_ = nullptr;
  int fullScreen_ = 0;
  int notifyValue_ = 0, aspectMode_ = 0;
  plat::HWND videoWindow_ = nullptr;
  std::string bookmarkPath_;
  int opening_ = 0;
  float zoom_ = 1.0f;
  // Slot 63's colour controls (the neutral picture until set) and slot 69's
  // enhancement over them.
  tovelax::ColorControls colour_{750, 10000, 0, 10000, 100};
  bool enhance_ = false;
  tovelax::ColorControls Enhanced(const tovelax::ColorControls& controls) const;
  bool inInvalidRegion_ = false;
  // An open by slot 51 continues at the disc's resume point at the first Play.
  bool resumePending_ = false;
  bool resumeApplied_ = false;
  plat::HRESULT bindResult_ = plat::E_FAIL;
  // What SetFullScreen saved of the library's video window.
  bool savedValid_ = false;
  tovelax::HWND savedOwner_ = nullptr;
  std::int32_t savedStyle_ = 0, savedExStyle_ = 0;
};
