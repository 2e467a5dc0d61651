// Placing a picture in a rectangle: letterboxing to an aspect ratio, and
// filling an area with a bounded cut. Pure functions; every one refuses
// (returns false, arguments untouched) sizes that would divide by zero.
#pragma once

#include "platform/core/types.h"

namespace picture {

// Shrinks one side of (x, y, w, h) to the picture's aspect and centres it;
// when the fitted width exceeds the picture's own, the picture's own size,
// centred in the rectangle.
bool FitAspect(int* x, int* y, int* w, int* h, int image_width, int image_height);

// The same letterbox to a width/height ratio, without the size limit.
bool FitRatio(int* x, int* y, int* w, int* h, double ratio);

// Fills `area` with the picture keeping its aspect; the overflow is cut, but
// never more than leaves `minimum` (0..1) of the picture visible: past that
// the picture shrinks and the area narrows across. `out` is where the whole
// picture lies. A GIF that fits in the area is centred unscaled instead.
bool FitWithMinimum(plat::RECT* area, plat::RECT* out, int image_width, int image_height, float minimum,
                    bool unscaled_when_smaller);

}  // namespace picture
