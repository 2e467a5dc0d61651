// Shared pieces of the capture controller's files: the action ids, the
// engines, the capture-time timers and the steps the actions and the
// camcorder engine's events both take.
#pragma once

#include "corebridge/core/ui_system_object.h"
#include "corebridge/core/video_config.h"
#include "interfaces/dvgrab.h"
#include "interfaces/grabber.h"

namespace video_capture {

// Action ids of the capture controller.
enum CaptureActionId : int {
  kReturn = 254,
  kDiscTypeLeft = 274, kDiscTypeRight, kDiscFormatLeft, kDiscFormatRight,
  kRewind = 306, kPlay, kPause, kStop, kFastForward,
  kOpenPage = 311, kUseDV, kUseWebcam, kUseComposite, kUseSVideo, kStartCapture, kStopCapture,
};

// Capture play states.
enum : int { kStopped = 1, kPlaying = 2, kPaused = 3, kRewinding = 4, kFastForwarding = 5 };

// m_nDVDeviceState: 2 while a camcorder is selected on the DV input.
inline constexpr int kDVDeviceOff = 1;
inline constexpr int kDVDeviceReady = 2;

// The capture page's state and the one shown without a camcorder (vendor 2).
inline constexpr int kCapturePageState = 5;
inline constexpr int kNoDeviceState = 18;
// The capture mode while the capture page is open.
inline constexpr int kCaptureModeOpen = 2;

inline constexpr int kCaptureTimerMs = 1000;

CVideoConfig* Section(CUISystem& system);
// Vendor 2's disc-format list and the current format's text; nothing for
// other vendors. Built at "Video Entry" and when the capture page opens.
void BuildDiscFormats(CUISystem& system, CVideoConfig& video);
plat::ComPtr<IDvGrab> DvEngine(CUISystem& system);
// The grabber engine, initialised through the TV controller when the TV has
// not done it; null when there is none or it cannot start.
plat::ComPtr<IGrabber> GrabberEngine(CUISystem& system);

void Redraw(CUISystem& system, int flag);
void ShowState(CUISystem& system);

// Sets the play state and its OSD notice ("PLAY", "PAUSE", ...).
void ShowPlayState(CUISystem& system, int state);

// The capture-time timers (1000 ms each; their ticks pass the capture time
// to the page while it shows the capture state).
void StartTimer(CUISystem& system, plat::UINT_PTR& slot, plat::UINT_PTR id);
void KillTimer(CUISystem& system, plat::UINT_PTR& slot);
void KillCaptureTimers(CUISystem& system);

// The capture page's actions.
int OpenPage(CUISystem& system);
int ReturnFromPage(CUISystem& system);
int UseDV(CUISystem& system);
int UseAnalogue(CUISystem& system, int source);
int StartCapture(CUISystem& system);
int StopCapture(CUISystem& system);
int Transport(CUISystem& system, int id);
int StepDiscType(CUISystem& system, int step);
int StepDiscFormat(CUISystem& system, int step);

}  // namespace video_capture
