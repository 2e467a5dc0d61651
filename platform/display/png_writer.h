// Writes a surface to a PNG file (8-bit RGB), for screenshots.
#pragma once

#include <string>

#include "platform/gdi/surface.h"

namespace plat::display {

// Writes to a temporary file beside `path` and renames it into place; false
// (and no file) on any failure.
bool WritePng(const Surface& surface, const std::string& path);

}  // namespace plat::display
