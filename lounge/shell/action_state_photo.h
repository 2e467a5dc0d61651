// Action state queries of the Photo module (playback bar and Photo page),
// answered from the Photo section. "Selected" pictures are the checked ones;
// a slide show runs while the slide-show state is not 0 and plays in state 1.
// See action_state.h.
#pragma once

#include <string_view>

class CPhotoConfig;

int QueryPhotoSortByNameState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSortByDateState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSortByNamePressedState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSortByDatePressedState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoPreviousImageState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoNextImageState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
// "Photo Rotate Left", "Photo Rotate Right".
int QueryPhotoRotateState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
// The adjustment arrows: disabled when the current picture's value lies at
// (or beyond) the lower bound (Left) or the upper bound (Right), and when no
// picture is current.
int QueryPhotoBrightnessLeftState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoBrightnessRightState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoHueLeftState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoHueRightState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSaturationLeftState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSaturationRightState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoContrastLeftState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoContrastRightState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSharpnessLeftState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSharpnessRightState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoAcquireNowState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSmartScanState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSlideshowPlayState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSlideshowStopState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSlideshowPauseState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
// "Photo Slideshow NextSlide", "Photo Slideshow PreviousSlide".
int QueryPhotoSlideshowStepState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSlideshowFastforwardState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);
int QueryPhotoSlideshowRewindState(const CPhotoConfig& photo, int& shown, int& enabled, int& checked);

// The query of a Photo action name; 0 (outputs untouched) for any other name.
int QueryPhotoActionState(const CPhotoConfig& photo, std::string_view action, int& shown, int& enabled,
                          int& checked);
