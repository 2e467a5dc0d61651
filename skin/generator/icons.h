// The skin's pictograms, drawn from plain shapes: one per module (home,
// movie, music, photo, video, TV, radio, record, burning, settings, help,
// web) and the transport, window and device symbols of the bars and pages.
#pragma once

#include <string>

#include "skin/generator/raster.h"

namespace skin_art {

// The icon `name` centred on (cx, cy) in a square of `size` pixels. Throws
// std::runtime_error for an unknown name.
Shape Icon(const std::string& name, double cx, double cy, double size);

}  // namespace skin_art
