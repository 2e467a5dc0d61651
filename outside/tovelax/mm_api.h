// The library's one API object: every sub-object is a face of it. It owns
// the open session (a DVD through libdvdnav, or files through playbin), the
// event queue and the picture hand-over.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "outside/tovelax/dvd_session.h"
#include "outside/tovelax/event_queue.h"
#include "outside/tovelax/file_session.h"
#include "outside/tovelax/frame_hub.h"
#include "outside/tovelax/tovelax_api.h"

namespace tovelax {

class MMApi final : public IMMAPI,
                    public IMMSource,
                    public IMMTransport,
                    public IMMInfo,
                    public IMMNavControl,
                    public IMMVideoWindow,
                    public IMMDecoder,
                    public IMMEventQueue,
                    public IMMTrackControl {
 public:
  MMApi();
  ~MMApi();

  // IMMAPI
  IMMSource* Source() override { return this; }
  IMMTransport* Transport() override { return this; }
  IMMInfo* Info() override { return this; }
  IMMNavControl* NavControl() override { return this; }
  IMMVideoWindow* VideoWindow() override { return this; }
  IMMDecoder* Decoder() override { return this; }
  IMMEventQueue* Events() override { return this; }
  IMMTrackControl* TrackControl() override { return this; }
  void SetNotifyPoster(INotifyPoster* poster) override;

  // IMMSource
  HRESULT Open(const char* path) override;
  HRESULT OpenEx(const char* path, std::uint32_t flags) override;
  HRESULT Close() override;
  HRESULT CloseWithRecord(ResumeRecord* resume) override;
  HRESULT SetProperty(std::uint32_t id, const void* value, std::uint32_t size) override;
  HRESULT GetProperty(std::uint32_t id, void* buffer, std::uint32_t* size) override;
  HRESULT SetRegistryPath(const char* path) override;
  HRESULT GetMediaKind(const char* path, std::uint32_t* bits) override;
  HRESULT SetKeepDisplayAwake(std::int32_t on) override;

  // IMMTransport
  HRESULT Play() override;
  HRESULT Pause() override;
  HRESULT Resume() override;
  HRESULT Stop() override;
  HRESULT NextChapter() override;
  HRESULT PrevChapter() override;
  HRESULT ForwardScan(std::int32_t speed) override;
  HRESULT BackwardScan(std::int32_t speed) override;
  HRESULT GetSpeed(std::int32_t* speed) override;
  HRESULT PlayTitle(std::int32_t title) override;
  HRESULT PlayChapter(std::int32_t chapter) override;
  HRESULT SelectByNumber(std::int32_t number) override;
  HRESULT GetNumberRange(std::int32_t* lowest, std::int32_t* highest) override;
  HRESULT ClearNumberEntry() override;
  HRESULT ShowMenu(std::int32_t kind) override;
  HRESULT SelectUpperButton() override;
  HRESULT SelectLowerButton() override;
  HRESULT SelectLeftButton() override;
  HRESULT SelectRightButton() override;
  HRESULT ActivateButton() override;
  HRESULT SelectButtonAtPoint(std::int32_t x, std::int32_t y) override;
  HRESULT ActivateButtonAtPoint(std::int32_t x, std::int32_t y) override;
  HRESULT SetClosedCaptionMode(std::uint32_t mode) override;
  HRESULT SelectAngle(std::int32_t angle) override;
  HRESULT AcceptParentalLevelChange(std::uint32_t answer) override;
  HRESULT GetTitleParentalLevels(std::int32_t title, std::uint32_t* mask) override;
  HRESULT SaveBookmark(ResumeRecord* record) override;
  HRESULT RestoreBookmark(ResumeRecord* record) override;

  // IMMInfo
  HRESULT GetCurrentAudio(std::int32_t* count, std::int32_t* current) override;
  HRESULT GetAudioAttributes(std::int32_t stream, AudioAttributes* attributes) override;
  HRESULT GetSubtitleState(std::int32_t* count, std::int32_t* current, std::int32_t* disabled) override;
  HRESULT IsSubtitleStreamEnabled(std::int32_t stream) override;
  HRESULT GetSubtitleAttributes(std::int32_t stream, SubtitleAttributes* attributes) override;
  HRESULT GetDefaultAudioLanguage(std::uint32_t* language, std::uint32_t* isoCode) override;
  HRESULT GetDefaultSubtitleLanguage(std::uint32_t* language, std::uint32_t* isoCode) override;
  HRESULT GetVideoAttributes(VideoAttributes* attributes) override;
  HRESULT GetTotalTitleTime(TitleTimeRecord* record) override;
  HRESULT GetCurrentTime(std::uint32_t* time) override;
  HRESULT GetResumeInfo(std::uint32_t* available, std::uint32_t* time) override;
  HRESULT GetDomain(std::int32_t* domain) override;
  HRESULT GetTitleChapter(std::int32_t* title, std::int32_t* chapter) override;
  HRESULT GetValidOperations(std::uint32_t* prohibitedMask) override;
  HRESULT GetButtons(std::int32_t* count, std::int32_t* selected) override;
  HRESULT GetAngles(std::int32_t* count, std::int32_t* current) override;
  HRESULT GetDiscRegionMask(std::uint32_t* mask) override;

  // IMMNavControl
  HRESULT SelectAudioStream(std::int32_t stream, std::uint32_t flags) override;
  HRESULT SelectSubtitleStream(std::int32_t stream, std::uint32_t flags) override;
  HRESULT SetSubtitleDisplay(std::int32_t on, std::uint32_t flags) override;
  HRESULT ReturnFromMenu(std::uint32_t flags) override;
  HRESULT SetPreferredLanguage(std::uint32_t isoCode) override;

  // IMMVideoWindow
  HRESULT SetWindowStyle(std::int32_t style) override;
  HRESULT GetWindowStyle(std::int32_t* style) override;
  HRESULT SetWindowStyleEx(std::int32_t style) override;
  HRESULT GetWindowStyleEx(std::int32_t* style) override;
  HRESULT SetOwner(HWND owner) override;
  HRESULT GetOwner(HWND* owner) override;
  HRESULT SetMessageDrain(HWND drain) override;
  HRESULT SetVisible(std::int32_t visible) override;
  HRESULT GetVisible(std::int32_t* visible) override;
  HRESULT SetAutoShow(std::int32_t on) override;
  HRESULT SetDestinationPosition(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override;
  HRESULT GetDestinationPosition(std::int32_t* left, std::int32_t* top, std::int32_t* width, std::int32_t* height) override;
  HRESULT SetSourcePosition(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override;
  HRESULT GetSourcePosition(std::int32_t* left, std::int32_t* top, std::int32_t* width, std::int32_t* height) override;
  HRESULT GetNativeVideoSize(std::int32_t* width, std::int32_t* height) override;
  HRESULT SetBorderColor(std::uint32_t colour) override;
  HRESULT GetBorderColor(std::uint32_t* colour) override;
  HRESULT SetWindowPosition(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override;
  HRESULT GetWindowPosition(std::int32_t position[4]) override;
  HRESULT SetWindowForeground(std::int32_t focus) override;
  HRESULT SetFullScreenMode(std::int32_t on) override;
  HRESULT SetFrameSink(IFrameSink* sink) override;
  HRESULT DeliverFrame() override;

  // IMMDecoder
  HRESULT SetDecoderProperty(std::uint32_t id, const void* value, std::uint32_t size) override;
  HRESULT ResetDecoder() override;
  HRESULT SetAudioOutput(std::int32_t channels, std::int32_t passThrough) override;
  HRESULT GetAudioOutputCaps(std::uint32_t* caps) override;
  HRESULT SetDynamicRange(std::int32_t mode) override;
  HRESULT SetColorControls(const ColorControls& controls, std::uint32_t mask) override;
  HRESULT GetColorControls(ColorControls* controls) override;
  HRESULT SetDeinterlace(std::int32_t mode) override;
  HRESULT ClearDeinterlace() override;
  HRESULT SetOutputSize(std::int32_t width, std::int32_t height, std::int32_t enable) override;
  HRESULT SetScalingMode(std::int32_t mode) override;
  HRESULT SetOption(std::uint32_t option, std::int32_t a, std::int32_t b, std::int32_t c) override;
  HRESULT GetOption(std::uint32_t option, std::int32_t* a) override;
  HRESULT GrabFrame(std::int32_t width, std::int32_t height, void* buffer, std::size_t size,
                    std::uint32_t format) override;

  // IMMEventQueue
  HRESULT SetNotifyWindow(HWND window, std::uint32_t message, std::intptr_t instance) override;
  HRESULT GetEvent(std::int32_t* code, std::intptr_t* value1, std::intptr_t* value2) override;
  HRESULT FreeEvent(std::int32_t code, std::intptr_t value1, std::intptr_t value2) override;

  // IMMTrackControl
  HRESULT PlayTrack(std::int32_t command, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d,
                    std::int32_t e) override;

 private:
  HRESULT OpenSource(const char* path, bool startPaused);
  bool Opened() const { return dvd_ || file_; }
  void SaveResumePoint();
  bool MapToPicture(std::int32_t* x, std::int32_t* y);
  HRESULT Scan(std::int32_t speed, bool backward);

  EventQueue events_;
  FrameHub frames_;
  PlayerSettings settings_;
  std::unique_ptr<DvdSession> dvd_;
  std::unique_ptr<FileSession> file_;
  std::uint32_t mediaBits_ = 0;
  std::string bookmarkPath_;
  std::string registryPath_;
  bool saveResumeAtClose_ = false;
  std::int32_t keepAwake_ = 0;

  // Video window.
  std::int32_t style_ = 0;
  std::int32_t styleEx_ = 0;
  HWND owner_ = nullptr;
  HWND drain_ = nullptr;
  std::int32_t visible_ = 0;
  std::int32_t autoShow_ = 1;
  Rect destination_{};
  Rect source_{};
  bool sourceSet_ = false;
  std::uint32_t borderColour_ = 0;
  Rect windowPosition_{};
  std::int32_t foreground_ = 0;
  std::int32_t fullScreen_ = 0;

  // Decoder settings.
  std::map<std::uint32_t, std::int32_t> options_;
  std::int32_t domainHint_ = 0;
  std::int32_t audioChannels_ = 2;
  std::int32_t passThrough_ = 0;
  std::int32_t dynamicRange_ = 0;
  std::int32_t deinterlace_ = 0;
  std::int32_t scalingMode_ = 0;
  Rect outputSize_{};
  std::uint32_t closedCaptions_ = 0;
};

}  // namespace tovelax
