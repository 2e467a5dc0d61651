// The container window "WMP Host Container": the player's pictures (video,
// or the visualisation of the music) are drawn into it, stretched over its
// client area, black while there is none. It starts hidden on the desktop;
// the Music module places it in its page. A 1 x 1 black child,
// "Visualization Dummy window", sits in it at (8, 8).
#pragma once

#include <memory>
#include <optional>

#include "engines/playback/wmhost/player/frame_sink.h"
#include "platform/core/types.h"

class CWMPEventSink;
class CWMPContainerWindow final : public wmhost::FrameSink {
 public:
  // Null when the windows cannot be created on this thread.
  static std::unique_ptr<CWMPContainerWindow> Create();
  ~CWMPContainerWindow();
  CWMPContainerWindow(const CWMPContainerWindow&) = delete;
  CWMPContainerWindow& operator=(const CWMPContainerWindow&) = delete;

  plat::HWND window() const { return container_; }
  void SetParent(plat::HWND parent);
  void SetPosition(long left, long top, long width, long height);

  // Pointer and key input on the window go to `events` as the player's
  // Click, KeyDown and MouseMove events; null stops them.
  void SetEventSink(CWMPEventSink* events) { events_ = events; }

  // Keeps the frame and asks for a repaint.
  void OnFrame(const wmhost::VideoFrame& frame) override;
  // Draws the latest frame stretched over `area`, or black.
  void Draw(plat::HDC dc, const plat::RECT& area) const;

 private:
  CWMPContainerWindow() = default;
  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);

  plat::HWND container_ = nullptr;
  plat::HWND dummy_ = nullptr;
  std::optional<wmhost::VideoFrame> frame_;
  CWMPEventSink* events_ = nullptr;
};
