// The slide-show renderer: class "Kestrovia Slide Show LT Renderer" with one
// interface. It plays a list of pictures with timed transitions as a video
// stream inside a window of its own, placed in the caller's window, and
// reports through a plain ISlideShowEventSink table. Times are 100-ns units;
// paths are zero-terminated UTF-8. Every operation answers S_OK or E_FAIL
// unless its comment says otherwise.
#pragma once

#include <cstdint>

#include "platform/com/unknown.h"
#include "platform/core/types.h"
#include "platform/win/win_types.h"

class ISlideShowEventSink;

inline constexpr plat::CLSID CLSID_SlideDraw = plat::MakeGuid("{09003DD0-CC1D-41F6-83E6-374C621B6C8A}");
inline constexpr plat::IID IID_ISlideDraw = plat::MakeGuid("{738A708D-1E8D-4B62-8B30-F07A975B8D77}");

struct ISlideDraw : plat::IUnknown {
  virtual plat::HRESULT BuildGraph() = 0;                                               // 3
  virtual plat::HRESULT TearDown() = 0;                                                 // 4, always S_OK
  virtual plat::HRESULT SetOption(std::int32_t option) = 0;                             // 5
  virtual plat::HRESULT SetOwnerWindow(plat::HWND owner) = 0;                           // 6
  virtual plat::HRESULT SetParentWindow(plat::HWND parent) = 0;                         // 7
  virtual plat::HRESULT FitToWindow() = 0;                                              // 8
  virtual plat::HRESULT SetForeground(std::int32_t flag) = 0;                           // 9
  virtual plat::HRESULT SetWindowFlag(std::int32_t flag) = 0;                           // 10
  virtual plat::HRESULT ShowVideo(std::int32_t show) = 0;                               // 11
  virtual plat::HRESULT Run() = 0;                                                      // 12
  virtual plat::HRESULT Stop() = 0;                                                     // 13
  virtual plat::HRESULT Pause() = 0;                                                    // 14
  virtual plat::HRESULT FastForward(float rate) = 0;                                    // 15
  virtual plat::HRESULT Rewind(float rate) = 0;                                         // 16
  virtual plat::HRESULT GetRate(float* rate) = 0;                                       // 17
  virtual plat::HRESULT SetSlideDuration(std::int64_t duration) = 0;                    // 18
  virtual plat::HRESULT SetTransitionDuration(std::int64_t duration) = 0;               // 19
  virtual plat::HRESULT GetDuration(std::int64_t* duration) = 0;                        // 20
  virtual plat::HRESULT GetCurrentPosition(std::int64_t* position) = 0;                 // 21
  virtual plat::HRESULT SetCurrentPosition(std::int64_t position) = 0;                  // 22
  virtual plat::HRESULT SeekAndShow(std::int64_t position) = 0;                         // 23
  virtual plat::HRESULT SetSourceValue(std::int32_t framesPerSecond) = 0;               // 24
  virtual plat::HRESULT SetAspectFactor(float factor) = 0;                              // 25
  virtual plat::HRESULT InsertSlide(std::int32_t index, const char* path) = 0;          // 26
  virtual plat::HRESULT AddSlide(const char* path) = 0;                                 // 27
  virtual plat::HRESULT RemoveSlide(std::int32_t index) = 0;                            // 28
  virtual plat::HRESULT ClearSlides() = 0;                                              // 29
  virtual plat::HRESULT SetSlideTransition(std::int32_t index, std::int32_t effect) = 0;  // 30
  virtual plat::HRESULT Halt() = 0;                                                     // 31, S_OK
  virtual plat::HRESULT HandleGraphEvent() = 0;                                         // 32
  virtual plat::HRESULT SetNotifyTarget(ISlideShowEventSink* sink) = 0;                 // 33, S_OK
  virtual plat::HRESULT IsGraphBuilt(std::int32_t* built) = 0;                          // 34

 protected:
  ~ISlideDraw() = default;
};
PLAT_BIND_IID(ISlideDraw, IID_ISlideDraw);
