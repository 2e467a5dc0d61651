// Photo rows: sorting, stepping through selected pictures, the adjustment
// arrows at their bounds, acquisition and the slide-show buttons.
#include <gtest/gtest.h>

#include "corebridge/core/photo_config.h"
#include "lounge/shell/action_state_photo.h"
#include "tests/lounge/shell/action_state_cases.h"

// Named, not anonymous: the module tables share one compilation in batch builds.
namespace photo_state_test {

using namespace action_state_test;
using C = Case<CPhotoConfig>;
using P = CPhotoConfig;

void Check(const std::vector<C>& cases) { RunCases<CPhotoConfig>(cases, QueryPhotoActionState); }

// `checked` marks which pictures are selected; `current` is the current one.
auto Pictures(std::vector<int> checked, int current, int view = 20, int slideShow = 0) {
  return [=](CConfig&, P& p) {
    for (int mark : checked) {
      PhotoRecord record;
      record.bChecked = mark;
      p.m_vecPhotos.push_back(record);
    }
    p.m_nCurrentPhoto = current;
    p.m_nPhotoState = view;
    p.m_nPhotoPageState = slideShow;
  };
}

auto Adjusted(int brightness, int contrast, int current = 0) {
  return [=](CConfig&, P& p) {
    PhotoRecord record;
    record.nBrightness = brightness;
    record.nContrast = contrast;
    p.m_vecPhotos.push_back(record);
    p.m_nCurrentPhoto = current;
  };
}

TEST(PhotoActionState, SortAndNavigation) {
  Check({
      {"Photo Sort By Name", Pictures({0}, 0), {0, 1, kKept}},
      {"Photo Sort By Date", Pictures({0}, 0), {1, 1, kKept}},
      {"Photo Sort By Date", Pictures({}, -1), {1, 0, kKept}},
      {"Photo Sort By Date", Pictures({0}, 0, 2), {1, 0, kKept}},
      {"Photo Sort By Name", Pictures({0}, 0, 1), {0, 0, kKept}},
      {"Photo Sort By Name Pressed", Pictures({0}, 0, 1), {1, 1, kKept}},
      {"Photo Sort By Date Pressed", Pictures({}, -1), {0, 0, kKept}},
      {"Photo PreviousImage", Pictures({1, 0, 1}, 2), {kKept, 1, kKept}},
      {"Photo PreviousImage", Pictures({1, 0, 1}, 0), {kKept, 0, kKept}},
      {"Photo NextImage", Pictures({1, 0, 1}, 0), {kKept, 1, kKept}},
      {"Photo NextImage", Pictures({1, 0, 0}, 0), {kKept, 0, kKept}},  // one selected picture only
      {"Photo NextImage", Pictures({1, 1, 1}, 0, 1, 1), {kKept, 0, kKept}},  // slide show runs
      {"Photo NextImage", Pictures({1, 1}, 5), {kKept, 0, kKept}},  // stale current index
      {"Photo Rotate Left", Pictures({0}, 0), {kKept, 1, kKept}},
      {"Photo Rotate Right", Pictures({0}, -1), {kKept, 0, kKept}},
      {"Photo Rotate Right", Pictures({0}, 0, 1, 2), {kKept, 0, kKept}},
  });
}

TEST(PhotoActionState, AdjustmentArrowsStopAtTheirBounds) {
  Check({
      {"Photo Brightness Left", Adjusted(50, 50), {kKept, 1, kKept}},
      {"Photo Brightness Left", Adjusted(10, 50), {kKept, 0, kKept}},
      {"Photo Brightness Right", Adjusted(10, 50), {kKept, 1, kKept}},
      {"Photo Brightness Right", Adjusted(90, 50), {kKept, 0, kKept}},
      {"Photo Contrast Right", Adjusted(90, 80), {kKept, 1, kKept}},
      {"Photo Contrast Left", Adjusted(90, 5), {kKept, 0, kKept}},
      {"Photo Hue Left", Adjusted(50, 50), {kKept, 1, kKept}},
      {"Photo Saturation Right", Adjusted(50, 50), {kKept, 1, kKept}},
      {"Photo Sharpness Left", Adjusted(50, 50), {kKept, 1, kKept}},
      // No current picture: nothing to adjust (and nothing is read).
      {"Photo Sharpness Right", Adjusted(50, 50, -1), {kKept, 0, kKept}},
      {"Photo Hue Right", Adjusted(50, 50, 3), {kKept, 0, kKept}},
  });
}

TEST(PhotoActionState, Acquisition) {
  auto devices = [](int view, int selected, int acquiring, int type = 1) {
    return [=](CConfig&, P& p) {
      p.m_nPhotoState = view;
      p.m_vecDevices = {PhotoDevice{"camera", 1}, PhotoDevice{"scanner", type}};
      p.m_nSelectedDevice = selected;
      p.m_bAcquiring = acquiring;
    };
  };
  Check({
      {"Photo Acquire Now", devices(5, 0, 0), {1, 1, kKept}},
      {"Photo Acquire Now", devices(5, 0, 1), {1, 0, kKept}},
      {"Photo Acquire Now", devices(5, -1, 0), {1, 0, kKept}},
      {"Photo Acquire Now", devices(5, 2, 0), {1, 0, kKept}},
      {"Photo Acquire Now", devices(20, 0, 0), {0, 1, kKept}},
      {"Photo Smart Scan", devices(5, 1, 0, 3), {1, 1, kKept}},
      {"Photo Smart Scan", devices(5, 0, 1, 3), {0, 0, kKept}},
      {"Photo Smart Scan", devices(5, 7, 0, 3), {0, 1, kKept}},
  });
}

TEST(PhotoActionState, SlideShowButtons) {
  Check({
      {"Photo Slideshow Play", Pictures({1}, 0, 0, 0), {1, 1, kKept}},
      {"Photo Slideshow Play", Pictures({0}, 0, 0, 0), {1, 0, kKept}},
      {"Photo Slideshow Play", Pictures({1}, 0, 2, 0), {1, 0, kKept}},
      {"Photo Slideshow Play", Pictures({1}, 0, 1, 1), {0, 1, kKept}},
      {"Photo Slideshow Play", Pictures({1}, 0, 1, 2), {1, 1, kKept}},
      {"Photo Slideshow Play", Pictures({1}, 0, 27, 0), {1, 1, kKept}},
      {"Photo Slideshow Play", Pictures({1}, 0, 20, 0), {0, 1, kKept}},
      {"Photo Slideshow Stop", Pictures({1}, 0, 2, 0), {kKept, 1, kKept}},
      {"Photo Slideshow Stop", Pictures({1}, 0, 1, 2), {kKept, 1, kKept}},
      {"Photo Slideshow Stop", Pictures({1}, 0, 0, 0), {kKept, 0, kKept}},
      {"Photo Slideshow Pause", Pictures({1}, 0, 1, 1), {1, 1, kKept}},
      {"Photo Slideshow Pause", Pictures({1}, 0, 3, 2), {0, 0, kKept}},
      {"Photo Slideshow NextSlide", Pictures({1}, 0, 1, 1), {kKept, 1, kKept}},
      {"Photo Slideshow PreviousSlide", Pictures({1}, 0, 1, 3), {kKept, 0, kKept}},
      {"Photo Slideshow NextSlide", Pictures({1}, 0, 1, 4), {kKept, 0, kKept}},
      {"Photo Slideshow Fastforward", Pictures({1}, 0, 1, 4), {kKept, 1, kKept}},
      {"Photo Slideshow Fastforward", Pictures({1}, 0, 1, 3), {kKept, 0, kKept}},
      {"Photo Slideshow Rewind", Pictures({1}, 0, 1, 3), {kKept, 1, kKept}},
      {"Photo Slideshow Rewind", Pictures({1}, 0, 1, 4), {kKept, 0, kKept}},
      {"Photo Slideshow Rewind", Pictures({1}, 0, 2, 1), {kKept, 0, kKept}},
      {"Photo Slideshow Shuffle", nullptr, {kKept, kKept, kKept}, 0},
  });
}

}  // namespace photo_state_test
