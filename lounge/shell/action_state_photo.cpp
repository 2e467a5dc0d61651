#include "lounge/shell/action_state_photo.h"

#include <array>

#include "corebridge/core/photo_config.h"
#include "lounge/shell/action_state.h"
#include "lounge/shell/action_state_section.h"

namespace {

constexpr int kSortByName = 1;
constexpr int kSortByDate = 2;
constexpr int kSlideShowPlaying = 1;
constexpr int kViewSlideShow = 1;
constexpr int kViewFullScreen = 2;
constexpr int kViewAcquire = 5;
constexpr int kSmartScanDeviceType = 3;

bool SortEnabled(const CPhotoConfig& photo) {
  return !photo.m_vecPhotos.empty() && photo.m_nPhotoState != kViewSlideShow && photo.m_nPhotoState != kViewFullScreen;
}

// Left arrows stop at the lower bound, right arrows at the upper bound.
template <int PhotoRecord::*Value, bool Right>
int AdjustArrow(const CPhotoConfig& photo, int&, int& enabled, int&) {
  const std::optional<PhotoRecord> current = EntryAt(photo.m_vecPhotos, photo.m_nCurrentPhoto);
  if (!current) {
    enabled = 0;
    return 1;
  }
  const int value = (*current).*Value;
  enabled = (Right ? value < photo.m_nAdjustUpperLimit : value > photo.m_nAdjustLowerLimit) ? 1 : 0;
  return 1;
}

}  // namespace

int QueryPhotoSortByNameState(const CPhotoConfig& photo, int& shown, int& enabled, int&) {
  shown = photo.m_nPhotoSortKind != kSortByName ? 1 : 0;
  enabled = SortEnabled(photo) ? 1 : 0;
  return 1;
}

int QueryPhotoSortByDateState(const CPhotoConfig& photo, int& shown, int& enabled, int&) {
  shown = photo.m_nPhotoSortKind != kSortByDate ? 1 : 0;
  enabled = SortEnabled(photo) ? 1 : 0;
  return 1;
}

int QueryPhotoSortByNamePressedState(const CPhotoConfig& photo, int& shown, int& enabled, int&) {
  shown = photo.m_nPhotoSortKind == kSortByName ? 1 : 0;
  enabled = photo.m_vecPhotos.empty() ? 0 : 1;
  return 1;
}

int QueryPhotoSortByDatePressedState(const CPhotoConfig& photo, int& shown, int& enabled, int&) {
  shown = photo.m_nPhotoSortKind == kSortByDate ? 1 : 0;
  enabled = photo.m_vecPhotos.empty() ? 0 : 1;
  return 1;
}

int QueryPhotoPreviousImageState(const CPhotoConfig& photo, int&, int& enabled, int&) {
  return photo.PhotoCanGoPrevious(enabled);
}

int QueryPhotoNextImageState(const CPhotoConfig& photo, int&, int& enabled, int&) {
  return photo.PhotoCanGoNext(enabled);
}

int QueryPhotoRotateState(const CPhotoConfig& photo, int&, int& enabled, int&) {
  return photo.PhotoCurrentValid(enabled);
}

int QueryPhotoBrightnessLeftState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nBrightness, false>(p, s, e, c);
}
int QueryPhotoBrightnessRightState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nBrightness, true>(p, s, e, c);
}
int QueryPhotoHueLeftState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nHue, false>(p, s, e, c);
}
int QueryPhotoHueRightState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nHue, true>(p, s, e, c);
}
int QueryPhotoSaturationLeftState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nSaturation, false>(p, s, e, c);
}
int QueryPhotoSaturationRightState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nSaturation, true>(p, s, e, c);
}
int QueryPhotoContrastLeftState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nContrast, false>(p, s, e, c);
}
int QueryPhotoContrastRightState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nContrast, true>(p, s, e, c);
}
int QueryPhotoSharpnessLeftState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nSharpness, false>(p, s, e, c);
}
int QueryPhotoSharpnessRightState(const CPhotoConfig& p, int& s, int& e, int& c) {
  return AdjustArrow<&PhotoRecord::nSharpness, true>(p, s, e, c);
}

int QueryPhotoAcquireNowState(const CPhotoConfig& photo, int& shown, int& enabled, int&) {
  shown = photo.m_nPhotoState == kViewAcquire ? 1 : 0;
  enabled = (!photo.m_bAcquiring && EntryAt(photo.m_vecDevices, photo.m_nSelectedDevice)) ? 1 : 0;
  return 1;
}

int QueryPhotoSmartScanState(const CPhotoConfig& photo, int& shown, int& enabled, int&) {
  const std::optional<PhotoDevice> device = EntryAt(photo.m_vecDevices, photo.m_nSelectedDevice);
  shown = (photo.m_nPhotoState == kViewAcquire && device && device->nType == kSmartScanDeviceType) ? 1 : 0;
  enabled = photo.m_bAcquiring ? 0 : 1;
  return 1;
}

int QueryPhotoSlideshowPlayState(const CPhotoConfig& photo, int& shown, int& enabled, int&) {
  const int view = photo.m_nPhotoState;
  const bool playView = (view >= 0 && view <= 2) || (view >= 23 && view <= 31);
  shown = (playView && photo.m_nPhotoPageState != kSlideShowPlaying) ? 1 : 0;
  enabled = (photo.CountCheckedPhotos() > 0 && view != kViewFullScreen) ? 1 : 0;
  return 1;
}

int QueryPhotoSlideshowStopState(const CPhotoConfig& photo, int&, int& enabled, int&) {
  return photo.PhotoQuery4(enabled);
}

int QueryPhotoSlideshowPauseState(const CPhotoConfig& photo, int& shown, int& enabled, int&) {
  shown = photo.m_nPhotoPageState == kSlideShowPlaying ? 1 : 0;
  enabled = photo.m_nPhotoState == kViewSlideShow ? 1 : 0;
  return 1;
}

int QueryPhotoSlideshowStepState(const CPhotoConfig& photo, int&, int& enabled, int&) {
  return photo.PhotoQuery5(enabled);
}

int QueryPhotoSlideshowFastforwardState(const CPhotoConfig& photo, int&, int& enabled, int&) {
  return photo.PhotoQuery6(enabled);
}

int QueryPhotoSlideshowRewindState(const CPhotoConfig& photo, int&, int& enabled, int&) {
  return photo.PhotoQuery7(enabled);
}

namespace {

using Row = ActionStateRow<CPhotoConfig>;
constexpr std::array kPhotoRows{
    Row{"Photo Sort By Name", QueryPhotoSortByNameState},
    Row{"Photo Sort By Date", QueryPhotoSortByDateState},
    Row{"Photo Sort By Name Pressed", QueryPhotoSortByNamePressedState},
    Row{"Photo Sort By Date Pressed", QueryPhotoSortByDatePressedState},
    Row{"Photo PreviousImage", QueryPhotoPreviousImageState},
    Row{"Photo NextImage", QueryPhotoNextImageState},
    Row{"Photo Rotate Left", QueryPhotoRotateState},
    Row{"Photo Rotate Right", QueryPhotoRotateState},
    Row{"Photo Brightness Left", QueryPhotoBrightnessLeftState},
    Row{"Photo Brightness Right", QueryPhotoBrightnessRightState},
    Row{"Photo Hue Left", QueryPhotoHueLeftState},
    Row{"Photo Hue Right", QueryPhotoHueRightState},
    Row{"Photo Saturation Left", QueryPhotoSaturationLeftState},
    Row{"Photo Saturation Right", QueryPhotoSaturationRightState},
    Row{"Photo Contrast Left", QueryPhotoContrastLeftState},
    Row{"Photo Contrast Right", QueryPhotoContrastRightState},
    Row{"Photo Sharpness Left", QueryPhotoSharpnessLeftState},
    Row{"Photo Sharpness Right", QueryPhotoSharpnessRightState},
    Row{"Photo Acquire Now", QueryPhotoAcquireNowState},
    Row{"Photo Smart Scan", QueryPhotoSmartScanState},
    Row{"Photo Slideshow Play", QueryPhotoSlideshowPlayState},
    Row{"Photo Slideshow Stop", QueryPhotoSlideshowStopState},
    Row{"Photo Slideshow Pause", QueryPhotoSlideshowPauseState},
    Row{"Photo Slideshow NextSlide", QueryPhotoSlideshowStepState},
    Row{"Photo Slideshow PreviousSlide", QueryPhotoSlideshowStepState},
    Row{"Photo Slideshow Fastforward", QueryPhotoSlideshowFastforwardState},
    Row{"Photo Slideshow Rewind", QueryPhotoSlideshowRewindState},
};

}  // namespace

int QueryPhotoActionState(const CPhotoConfig& photo, std::string_view action, int& shown, int& enabled,
                          int& checked) {
  return LookUpActionState<CPhotoConfig>(kPhotoRows, photo, action, shown, enabled, checked);
}
