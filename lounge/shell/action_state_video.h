// Action state queries of the Video module (playback bar and Video page),
// answered from the Video section. View 5 is the capture view, where the
// transport buttons drive a DV camcorder (source 1) and are off for the
// webcam, composite and S-Video sources. See action_state.h.
#pragma once

#include <string_view>

class CVideoConfig;

int QueryVideoCaptureToHDState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureToDVDState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
// Capture-source choices ("Video Capture DV", ...) and their " Tag" marks.
int QueryVideoCaptureDVState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureWebcamState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureCompositeState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureSVideoState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureDVTagState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureWebcamTagState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureCompositeTagState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureSVideoTagState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoStartCapturingState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoStopCapturingState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoClearRecentState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoSortByNameState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoSortByDateState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoSortByNameTagState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoSortByDateTagState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureVideoState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
// The camcorder's transport in the capture view.
int QueryVideoCapturePlayState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCapturePauseState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoCaptureStopState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
// "Video Capture FastForeward", "Video Capture Rewind".
int QueryVideoCaptureWindState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
// Playback bar.
int QueryVideoPlayState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoPauseState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoStopState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoPreviousState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoNextState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoFastForwardState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoRewindState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideoTakeSnapshotState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
// The four screen-mode marks.
int QueryVideo4x3PanScanState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideo4x3LetterBoxState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideo16x9OriginalState(const CVideoConfig& video, int& shown, int& enabled, int& checked);
int QueryVideo16x9StretchState(const CVideoConfig& video, int& shown, int& enabled, int& checked);

// The query of a Video action name; 0 (outputs untouched) for any other name.
int QueryVideoActionState(const CVideoConfig& video, std::string_view action, int& shown, int& enabled,
                          int& checked);
