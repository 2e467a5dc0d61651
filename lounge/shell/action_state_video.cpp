#include "lounge/shell/action_state_video.h"

#include <array>

#include "corebridge/core/video_config.h"
#include "lounge/shell/action_state.h"

namespace {

constexpr int kTransportStopped = 1;
constexpr int kTransportPlaying = 2;
constexpr int kTransportPaused = 3;
constexpr int kDVDeviceOff = 1;
constexpr int kDVDeviceReady = 2;

bool InCaptureView(const CVideoConfig& video) { return video.m_nView == VIDEO_VIEW_CAPTURE; }

bool AnalogueSource(const CVideoConfig& video) {
  return video.m_nCaptureSource >= VIDEO_SOURCE_WEBCAM && video.m_nCaptureSource <= VIDEO_SOURCE_SVIDEO;
}

bool SourceAvailable(const CVideoConfig& video, int source) {
  switch (source) {
    case VIDEO_SOURCE_DV: return video.m_bHasDV != 0;
    case VIDEO_SOURCE_WEBCAM: return video.m_bHasWebcam != 0;
    case VIDEO_SOURCE_COMPOSITE: return video.m_bHasComposite != 0;
    case VIDEO_SOURCE_SVIDEO: return video.m_bHasSVideo != 0;
    default: return false;
  }
}

template <int Source>
int SourceChoice(const CVideoConfig& video, int& shown, int& enabled, int&) {
  const bool current = video.m_nCaptureSource == Source;
  shown = current ? 0 : 1;
  enabled = (SourceAvailable(video, Source) && !video.m_bCapturing && !current) ? 1 : 0;
  return 1;
}

template <int Source>
int SourceTag(const CVideoConfig& video, int& shown, int& enabled, int&) {
  shown = video.m_nCaptureSource == Source ? 1 : 0;
  enabled = 0;
  return 1;
}

// The camcorder's transport buttons are shown in the capture view with a
// ready DV camcorder while nothing is being captured.
bool DVTransportShown(const CVideoConfig& video) {
  return InCaptureView(video) && video.m_nCaptureSource == VIDEO_SOURCE_DV &&
         video.m_nDVDeviceState == kDVDeviceReady && !video.m_bCapturing;
}

// Play and pause in the capture view: only a DV camcorder that is on.
bool CaptureViewPlayable(const CVideoConfig& video) {
  return video.m_nCaptureSource == VIDEO_SOURCE_DV && video.m_nDVDeviceState != kDVDeviceOff && !video.m_bCapturing;
}

int WindState(const CVideoConfig& video, int refusedTransport, int answerOutside, int& enabled) {
  if (!InCaptureView(video)) {
    enabled = answerOutside ? 1 : 0;
    return 1;
  }
  enabled = (video.m_nCaptureSource == VIDEO_SOURCE_DV && video.m_nTransportState != kTransportStopped &&
             video.m_nTransportState != refusedTransport && video.m_nDVDeviceState != kDVDeviceOff &&
             !video.m_bCapturing)
                ? 1
                : 0;
  return 1;
}

const std::vector<std::string>& ViewList(const CVideoConfig& video) {
  return video.m_nView == VIDEO_VIEW_RECENT ? video.m_recentFiles : video.m_folderFiles;
}

}  // namespace

int QueryVideoCaptureToHDState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = (video.m_bCapturing && video.m_nCaptureTarget == 0) ? 1 : 0;
  return 1;
}

int QueryVideoCaptureToDVDState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = (video.m_bCapturing && video.m_nCaptureTarget == 1) ? 1 : 0;
  return 1;
}

int QueryVideoCaptureDVState(const CVideoConfig& v, int& s, int& e, int& c) {
  return SourceChoice<VIDEO_SOURCE_DV>(v, s, e, c);
}
int QueryVideoCaptureWebcamState(const CVideoConfig& v, int& s, int& e, int& c) {
  return SourceChoice<VIDEO_SOURCE_WEBCAM>(v, s, e, c);
}
int QueryVideoCaptureCompositeState(const CVideoConfig& v, int& s, int& e, int& c) {
  return SourceChoice<VIDEO_SOURCE_COMPOSITE>(v, s, e, c);
}
int QueryVideoCaptureSVideoState(const CVideoConfig& v, int& s, int& e, int& c) {
  return SourceChoice<VIDEO_SOURCE_SVIDEO>(v, s, e, c);
}
int QueryVideoCaptureDVTagState(const CVideoConfig& v, int& s, int& e, int& c) {
  return SourceTag<VIDEO_SOURCE_DV>(v, s, e, c);
}
int QueryVideoCaptureWebcamTagState(const CVideoConfig& v, int& s, int& e, int& c) {
  return SourceTag<VIDEO_SOURCE_WEBCAM>(v, s, e, c);
}
int QueryVideoCaptureCompositeTagState(const CVideoConfig& v, int& s, int& e, int& c) {
  return SourceTag<VIDEO_SOURCE_COMPOSITE>(v, s, e, c);
}
int QueryVideoCaptureSVideoTagState(const CVideoConfig& v, int& s, int& e, int& c) {
  return SourceTag<VIDEO_SOURCE_SVIDEO>(v, s, e, c);
}

int QueryVideoStartCapturingState(const CVideoConfig& video, int& shown, int&, int&) {
  bool on = InCaptureView(video) && video.m_nCaptureSource != VIDEO_SOURCE_NONE &&
            !(video.m_nDVDeviceState == kDVDeviceReady && video.m_nTransportState == kTransportStopped) &&
            !video.m_bCapturing;
  if (AnalogueSource(video) && video.m_nTransportState != kTransportPlaying) on = false;
  if (video.m_nCaptureTargetKind == 1 && !video.m_bTargetReady) on = false;
  shown = on ? 1 : 0;
  return 1;
}

int QueryVideoStopCapturingState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = (InCaptureView(video) && video.m_bCapturing && !video.m_bCaptureBusy) ? 1 : 0;
  return 1;
}

int QueryVideoClearRecentState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  shown = 1;
  enabled = video.m_recentFiles.empty() ? 0 : 1;
  return 1;
}

int QueryVideoSortByNameState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  enabled = ViewList(video).empty() ? 0 : 1;
  shown = video.m_nSortMode != VIDEO_SORT_BY_NAME ? 1 : 0;
  return 1;
}

int QueryVideoSortByDateState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  enabled = ViewList(video).empty() ? 0 : 1;
  shown = video.m_nSortMode != VIDEO_SORT_BY_DATE ? 1 : 0;
  return 1;
}

int QueryVideoSortByNameTagState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = video.m_nSortMode == VIDEO_SORT_BY_NAME ? 1 : 0;
  return 1;
}

int QueryVideoSortByDateTagState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = video.m_nSortMode == VIDEO_SORT_BY_DATE ? 1 : 0;
  return 1;
}

int QueryVideoCaptureVideoState(const CVideoConfig&, int& shown, int& enabled, int&) {
  shown = enabled = 1;
  return 1;
}

int QueryVideoCapturePlayState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  shown = DVTransportShown(video) ? 1 : 0;
  enabled = video.m_nTransportState != kTransportPlaying ? 1 : 0;
  return 1;
}

int QueryVideoCapturePauseState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  shown = DVTransportShown(video) ? 1 : 0;
  enabled = video.m_nTransportState == kTransportPlaying ? 1 : 0;
  return 1;
}

int QueryVideoCaptureStopState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  shown = DVTransportShown(video) ? 1 : 0;
  enabled = (video.m_nTransportState == kTransportPlaying || video.m_nTransportState == kTransportPaused) ? 1 : 0;
  return 1;
}

int QueryVideoCaptureWindState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = DVTransportShown(video) ? 1 : 0;
  return 1;
}

int QueryVideoPlayState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  const int t = video.m_nTransportState;
  shown = (t == kTransportStopped || t == kTransportPaused || t == 4 || t == 5) ? 1 : 0;
  enabled = (!InCaptureView(video) || CaptureViewPlayable(video)) ? 1 : 0;
  return 1;
}

int QueryVideoPauseState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  shown = video.m_nTransportState == kTransportPlaying ? 1 : 0;
  enabled = (!InCaptureView(video) || CaptureViewPlayable(video)) ? 1 : 0;
  return 1;
}

int QueryVideoStopState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  shown = 1;
  const bool moving = video.m_nTransportState != kTransportStopped;
  if (!InCaptureView(video)) {
    enabled = moving ? 1 : 0;
  } else if (AnalogueSource(video)) {
    enabled = 0;
  } else {
    const bool dvOff = video.m_nCaptureSource == VIDEO_SOURCE_DV && video.m_nDVDeviceState == kDVDeviceOff &&
                       !video.m_bCapturing;
    enabled = (moving && video.m_nCaptureSource != VIDEO_SOURCE_NONE && !dvOff && !video.m_bCaptureBusy) ? 1 : 0;
  }
  return 1;
}

int QueryVideoPreviousState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  return video.VideoKeyPrevious(shown, enabled);
}

int QueryVideoNextState(const CVideoConfig& video, int& shown, int& enabled, int&) {
  return video.VideoKeyNext(shown, enabled);
}

int QueryVideoFastForwardState(const CVideoConfig& video, int&, int& enabled, int&) {
  return WindState(video, 5, video.m_bKeyAnswer4, enabled);
}

int QueryVideoRewindState(const CVideoConfig& video, int&, int& enabled, int&) {
  return WindState(video, 4, video.m_bKeyAnswer5, enabled);
}

int QueryVideoTakeSnapshotState(const CVideoConfig& video, int&, int& enabled, int&) {
  enabled = video.m_bSnapshotAvailable ? 1 : 0;
  return 1;
}

int QueryVideo4x3PanScanState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = video.m_nScreenMode4x3 == 2 ? 1 : 0;
  return 1;
}

int QueryVideo4x3LetterBoxState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = video.m_nScreenMode4x3 == 1 ? 1 : 0;
  return 1;
}

int QueryVideo16x9OriginalState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = video.m_nScreenMode16x9 == 1 ? 1 : 0;
  return 1;
}

int QueryVideo16x9StretchState(const CVideoConfig& video, int& shown, int&, int&) {
  shown = video.m_nScreenMode16x9 == 2 ? 1 : 0;
  return 1;
}

namespace {

// Burning videos is offered: its selection page hands over to disc authoring.
int QueryVideoBurnVideoState(const CVideoConfig&, int& shown, int& enabled, int&) {
  shown = 1;
  enabled = 1;
  return 1;
}

using Row = ActionStateRow<CVideoConfig>;
constexpr std::array kVideoRows{
    Row{"Video Capture To HD", QueryVideoCaptureToHDState},
    Row{"Video Capture To DVD", QueryVideoCaptureToDVDState},
    Row{"Video Capture DV", QueryVideoCaptureDVState},
    Row{"Video Capture Webcam", QueryVideoCaptureWebcamState},
    Row{"Video Capture Composite", QueryVideoCaptureCompositeState},
    Row{"Video Capture SVideo", QueryVideoCaptureSVideoState},
    Row{"Video Capture DV Tag", QueryVideoCaptureDVTagState},
    Row{"Video Capture Webcam Tag", QueryVideoCaptureWebcamTagState},
    Row{"Video Capture Composite Tag", QueryVideoCaptureCompositeTagState},
    Row{"Video Capture SVideo Tag", QueryVideoCaptureSVideoTagState},
    Row{"Video Start Capturing", QueryVideoStartCapturingState},
    Row{"Video Stop Capturing", QueryVideoStopCapturingState},
    Row{"Video Clear Recent Video Records", QueryVideoClearRecentState},
    Row{"Video Sort By Name", QueryVideoSortByNameState},
    Row{"Video Sort By Date", QueryVideoSortByDateState},
    Row{"Video Sort By Name Tag", QueryVideoSortByNameTagState},
    Row{"Video Sort By Date Tag", QueryVideoSortByDateTagState},
    Row{"Video Capture Video", QueryVideoCaptureVideoState},
    Row{"Video Burn Video", QueryVideoBurnVideoState},
    Row{"Video Capture Play", QueryVideoCapturePlayState},
    Row{"Video Capture Pause", QueryVideoCapturePauseState},
    Row{"Video Capture Stop", QueryVideoCaptureStopState},
    Row{"Video Capture FastForeward", QueryVideoCaptureWindState},
    Row{"Video Capture Rewind", QueryVideoCaptureWindState},
    Row{"Video Play", QueryVideoPlayState},
    Row{"Video Pause", QueryVideoPauseState},
    Row{"Video Stop", QueryVideoStopState},
    Row{"Video Previous Video", QueryVideoPreviousState},
    Row{"Video Next Video", QueryVideoNextState},
    Row{"Video FastForeward", QueryVideoFastForwardState},
    Row{"Video Rewind", QueryVideoRewindState},
    Row{"Video Take Snapshot", QueryVideoTakeSnapshotState},
    Row{"Video 4X3 Srceen 16X9 Movie PanScan", QueryVideo4x3PanScanState},
    Row{"Video 4X3 Srceen 16X9 Movie LetterBox", QueryVideo4x3LetterBoxState},
    Row{"Video 16X9 Srceen 4X3 Movie Original", QueryVideo16x9OriginalState},
    Row{"Video 16X9 Srceen 4X3 Movie Stretch", QueryVideo16x9StretchState},
};

}  // namespace

int QueryVideoActionState(const CVideoConfig& video, std::string_view action, int& shown, int& enabled,
                          int& checked) {
  return LookUpActionState<CVideoConfig>(kVideoRows, video, action, shown, enabled, checked);
}
