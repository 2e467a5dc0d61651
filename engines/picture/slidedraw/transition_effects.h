// Transition pictures between two slides of the same size. Effect numbers are
// those the Photo module sends; a number without its own drawing crossfades.
#pragma once

#include "platform/gdi/surface.h"

namespace slidedraw {

enum Effect : int {
  kCut = 0,
  kSplit = 10,
  kSlideFromRight = 17,
  kSlideFromTop = 18,
  kPush = 22,
  kCrossfade = 34,
  kSlideFromBottom = 35,
  kSlideFromLeft = 47,
  kPeel = 49,
  kZoom = 50,
  kBarnDoors = 51,
  kWipeBoxFromCentre = 78,
  kWipeFromRight = 79,
  kWipeFromBottom = 81,
  kWipeFromLeft = 88,
  kWipeFromTop = 96,
};

// Draws the moment `progress` (0..1) of the transition from `from` to `to`
// into `out`. All three must have the same size; otherwise `out` is left as is.
void ComposeTransition(int effect, double progress, const plat::Surface& from, const plat::Surface& to,
                       plat::Surface& out);

}  // namespace slidedraw
