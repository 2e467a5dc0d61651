// The capture controller's side of the camcorder engine's events, the
// capture-time timers and the module stop. The engine calls its sink on the
// UI thread.
#include "corebridge/core/hidden_window.h"
#include "platform/win/message.h"
#include "corebridge/modules/video_capture_internal.h"
#include "corebridge/modules/video_controller_internal.h"

namespace video_capture {

using plat::FAILED;
using plat::SUCCEEDED;

namespace {

// The capture page, or the vendor-2 folder list that hears of camcorders.
bool OnCapturePages(CUISystem& system, const CVideoConfig& video) {
  return video.m_nView == kCapturePageState || (video.m_nView == VIDEO_VIEW_FOLDER && system.VendorId() == 2);
}

// A camcorder that went away ends the DV input through the way back; the
// timers go first, as they draw into the capture page.
void LoseCamcorder(CUISystem& system, CVideoConfig& video, IDvGrab& dv) {
  KillCaptureTimers(system);
  dv.SelectDevice(-1);
  video.m_bCapturing = 0;
  video.m_nCaptureSource = VIDEO_SOURCE_NONE;
  video.m_nDVDeviceState = kDVDeviceOff;
  system.ExecuteAction("Video Capture Video Return", 0, 0);
}

void TransportEvent(CUISystem& system, CVideoConfig& video, int slot) {
  static constexpr int kStates[] = {kPlaying, kPaused, kStopped, kRewinding, kFastForwarding};
  if (slot == 2) video.m_bCapturing = 0;
  if (video.m_nCaptureSource != VIDEO_SOURCE_DV || video.m_bCapturing) return;
  const int state = kStates[slot];
  if (video.m_nPlayState != state) ShowPlayState(system, state);
  Redraw(system, 1);
}

}  // namespace

void StartTimer(CUISystem& system, plat::UINT_PTR& slot, plat::UINT_PTR id) {
  CHiddenWindow* window = system.HiddenWindow();
  if (!window || !window->Handle()) return;
  slot = plat::SetTimer(window->Handle(), id, kCaptureTimerMs, nullptr);
}

void KillTimer(CUISystem& system, plat::UINT_PTR& slot) {
  if (!slot) return;
  if (CHiddenWindow* window = system.HiddenWindow(); window && window->Handle())
    plat::KillTimer(window->Handle(), slot);
  slot = 0;
}

void KillCaptureTimers(CUISystem& system) {
  CVideoConfig* video = Section(system);
  if (!video) return;
  KillTimer(system, video->m_nHDCaptureTimer);
  KillTimer(system, video->m_nDiscCaptureTimer);
}

}  // namespace video_capture

using namespace video_capture;

void CUISystem::VideoCaptureOnDvEvent(int slot) {
  CVideoConfig* video = Section(*this);
  if (!video) return;
  RunStep(("VideoCaptureOnDvEvent " + std::to_string(slot)).c_str());
  switch (slot) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4: TransportEvent(*this, *video, slot); return;
    case 5: {
      if (!OnCapturePages(*this, *video) || video->m_nCaptureSource != VIDEO_SOURCE_DV) return;
      auto dv = DvEngine(*this);
      if (!dv) return;
      video->m_bHasDV = SUCCEEDED(dv->EnumerateDevices()) ? 1 : 0;
      if (!video->m_bHasDV) {
        LoseCamcorder(*this, *video, *dv);
      } else {
        dv->SelectDevice(0);
        Redraw(*this, 1);
      }
      return;
    }
    case 6: {
      if (!OnCapturePages(*this, *video)) return;
      auto dv = DvEngine(*this);
      if (!dv) return;
      const bool listed = SUCCEEDED(dv->EnumerateDevices());
      if (video->m_nCaptureSource == VIDEO_SOURCE_DV) {
        // The camcorder in use is gone: what it captured is finished by the
        // engine, the page goes back.
        if (!listed) {
          video->m_bHasDV = 0;
          LoseCamcorder(*this, *video, *dv);
          return;
        }
      } else {
        video->m_bHasDV = listed ? 1 : 0;
      }
      int kind = 0;
      if (SUCCEEDED(dv->GetDeviceKind(&kind))) video->m_nDeviceKind = kind;
      Redraw(*this, 1);
      return;
    }
    case 8:
      if (video->m_nCaptureSource == VIDEO_SOURCE_DV && video->m_bCapturing)
        ExecuteAction("Video Capture Stop", 0, 0);
      return;
    case 9:
      video->m_bNotAvi = 1;
      Redraw(*this, 1);
      return;
    case 10:
      video->m_bNotAvi = 0;
      KillTimer(*this, video->m_nHDCaptureTimer);
      TransportEvent(*this, *video, 2);
      return;
    case 11: StartTimer(*this, video->m_nDiscCaptureTimer, kCaptureDiscTimer); return;
    default: return;  // 7 (every second) and 12 (disc capture finished)
  }
}

void CUISystem::VideoCaptureOnTimer(plat::UINT_PTR id) {
  CVideoConfig* video = Section(*this);
  if (!video || video->m_nView != kCapturePageState) return;
  int hours = 0, minutes = 0, seconds = 0;
  plat::HRESULT hr = plat::E_FAIL;
  if (video->m_nCaptureSource == VIDEO_SOURCE_DV) {
    if (auto dv = DvEngine(*this)) hr = dv->GetCaptureTime(&hours, &minutes, &seconds);
  } else if (auto grabber = CoreService<IGrabber>()) {
    hr = grabber->GetElapsedTime(&hours, &minutes, &seconds);
  }
  if (FAILED(hr)) return;
  IVideoPageEvents* page = VideoPageCallback();
  if (!page) return;
  if (id == kCaptureHDTimer) page->ShowCaptureToHD(hours, minutes, seconds);
  else page->ShowCaptureToDVD(hours, minutes, seconds);
}

void CUISystem::VideoCaptureStopModule() {
  CVideoConfig* video = Section(*this);
  if (!video) return;
  KillCaptureTimers(*this);
  if (video->m_bDVOpened) {
    if (auto dv = DvEngine(*this)) dv->Close();
    video->m_bDVOpened = 0;
  }
  if (video->m_bCapturing && video->m_nCaptureSource >= VIDEO_SOURCE_WEBCAM) {
    if (auto grabber = CoreService<IGrabber>()) grabber->Record(0);
  }
  video->m_bCapturing = 0;
  video->m_nCaptureSource = VIDEO_SOURCE_NONE;
  video->m_nDVDeviceState = kDVDeviceOff;
}

int CUISystem::DvGrabSink::Dispatch(int slot) {
  owner_.VideoCaptureOnDvEvent(slot);
  return 0;
}
