// Fitting the picture to its window: the aspect modes of the video window and
// the rectangle used on the full screen. Pure arithmetic, no windows.
#pragma once

#include <cstdint>
#include <optional>

namespace discrunner {

// A rectangle as left, top, right, bottom.
struct Box {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Box&) const = default;
};

// Fits a picture of videoWidth × videoHeight into `area` by `aspectMode`:
// 1 letterboxes (bands above and below) when the picture is wider than the
// area and pillarboxes otherwise; 2 takes the opposite choice, so the picture
// fills the area and its overflow is cut; any other mode returns the area.
// Products are formed before the division, so no precision is lost to
// integer truncation. A zero picture size leaves the area unchanged.
Box FitByAspect(int aspectMode, const Box& area, std::int64_t videoWidth, std::int64_t videoHeight);

// The largest rectangle of ratio ratioX:ratioY centred in `monitor`.
Box CentreRatio(const Box& monitor, std::int64_t ratioX, std::int64_t ratioY);

// The full-screen destination on `monitor`. `aspect` holds the picture's
// aspect ratio when the library could report it. Mode 2 spreads the picture
// over the full height (its ratio required: nullopt when unknown); mode 3 the
// whole monitor; other modes the largest 16:9 or 4:3 rectangle, or the whole
// monitor for any other ratio or none.
struct Ratio {
  std::int64_t x = 0, y = 0;
};
std::optional<Box> FullScreenRect(int aspectMode, const Box& monitor, std::optional<Ratio> aspect);

}  // namespace discrunner
