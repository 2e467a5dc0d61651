// CSlideDraw: the slide-show renderer's COM object. It owns the show's stream
// (SlideSource), a host window inside the caller's window where the frames are
// drawn, the tick and stepping timers, and turns the stream's end or failure
// into calls on the caller's ISlideShowEventSink.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "engines/picture/slidedraw/slide_source.h"
#include "interfaces/event_sinks.h"
#include "interfaces/slidedraw.h"
#include "platform/com/object.h"
#include "platform/win/win_types.h"

class CSlideDraw : public ISlideDraw, private slidedraw::SlideSourceListener {
 public:
  using Interfaces = plat::InterfaceList<ISlideDraw>;
  static constexpr const char* kWindowClass = "Kestrovia Slide Show Window";
  static constexpr plat::UINT kGraphEventMessage = 0x8001;
  static constexpr plat::UINT kFrameMessage = 0x8002;
  static constexpr plat::UINT_PTR kTickTimer = 1000;
  static constexpr plat::UINT_PTR kForwardTimer = 1001;
  static constexpr plat::UINT_PTR kBackwardTimer = 1002;
  static constexpr int kEventComplete = 1;
  static constexpr int kEventUserAbort = 2;

  CSlideDraw();
  ~CSlideDraw();
  CSlideDraw(const CSlideDraw&) = delete;
  CSlideDraw& operator=(const CSlideDraw&) = delete;

  plat::HRESULT BuildGraph() override;
  plat::HRESULT TearDown() override;
  plat::HRESULT SetOption(std::int32_t option) override;
  plat::HRESULT SetOwnerWindow(plat::HWND owner) override;
  plat::HRESULT SetParentWindow(plat::HWND parent) override;
  plat::HRESULT FitToWindow() override;
  plat::HRESULT SetForeground(std::int32_t flag) override;
  plat::HRESULT SetWindowFlag(std::int32_t flag) override;
  plat::HRESULT ShowVideo(std::int32_t show) override;
  plat::HRESULT Run() override;
  plat::HRESULT Stop() override;
  plat::HRESULT Pause() override;
  plat::HRESULT FastForward(float rate) override;
  plat::HRESULT Rewind(float rate) override;
  plat::HRESULT GetRate(float* rate) override;
  plat::HRESULT SetSlideDuration(std::int64_t duration) override;
  plat::HRESULT SetTransitionDuration(std::int64_t duration) override;
  plat::HRESULT GetDuration(std::int64_t* duration) override;
  plat::HRESULT GetCurrentPosition(std::int64_t* position) override;
  plat::HRESULT SetCurrentPosition(std::int64_t position) override;
  plat::HRESULT SeekAndShow(std::int64_t position) override;
  plat::HRESULT SetSourceValue(std::int32_t framesPerSecond) override;
  plat::HRESULT SetAspectFactor(float factor) override;
  plat::HRESULT InsertSlide(std::int32_t index, const char* path) override;
  plat::HRESULT AddSlide(const char* path) override;
  plat::HRESULT RemoveSlide(std::int32_t index) override;
  plat::HRESULT ClearSlides() override;
  plat::HRESULT SetSlideTransition(std::int32_t index, std::int32_t effect) override;
  plat::HRESULT Halt() override;
  plat::HRESULT HandleGraphEvent() override;
  plat::HRESULT SetNotifyTarget(ISlideShowEventSink* sink) override;
  plat::HRESULT IsGraphBuilt(std::int32_t* built) override;

  // For tests: the host window and the last frame drawn into it.
  plat::HWND hostWindow() const { return host_; }
  std::int32_t slideCount() const { return slideCount_; }
  slidedraw::SlideSource* source() const { return source_.get(); }

 private:
  // SlideSourceListener (streaming threads): post, never call the sink.
  void OnFramePublished() override;
  void OnStreamEnded() override;
  void OnStreamFailed() override;

  static plat::LRESULT HostProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT OnHostMessage(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  bool CreateHostWindow();
  void PaintLatestFrame();
  void StopStepping();
  void StartStepping(plat::UINT_PTR timer, float rate);
  void StepTick(bool forward);
  void KillTick();
  void PostEvent(int code);

  std::unique_ptr<slidedraw::SlideSource> source_;
  plat::HWND owner_ = nullptr;
  plat::HWND host_ = nullptr;
  std::atomic<plat::HWND> notifyWindow_{nullptr};
  std::atomic<bool> framePosted_{false};
  ISlideShowEventSink* sink_ = nullptr;
  std::int32_t option_ = 0;
  std::int32_t slideCount_ = 0;
  std::int32_t graphBuilt_ = 0;
  plat::UINT_PTR tickTimer_ = 0;
  plat::UINT_PTR forwardTimer_ = 0;
  plat::UINT_PTR backwardTimer_ = 0;
  std::int64_t slideTime_ = 5'000'000;
  std::int64_t transitionTime_ = 50'000'000;
  float rate_ = 1.0f;
  bool videoVisible_ = false;
  std::int32_t foreground_ = 0;
  std::int32_t windowFlag_ = 0;

  std::mutex eventsMutex_;
  std::deque<int> events_;
};
