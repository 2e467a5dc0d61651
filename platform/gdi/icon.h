// Icons: small pictures shown for a window (its class icon). An icon holds
// its own copy of the picture; it is freed with DestroyIcon.
#pragma once

#include <string>

#include "platform/core/types.h"
#include "platform/gdi/surface.h"

namespace plat {

// Loads an image file (BMP, PNG or JPEG) as an icon; null when the file is
// missing or no image.
HICON LoadIconFile(const std::string& path);
// A copy of the icon's picture; empty for a null or destroyed icon.
Surface GetIconPicture(HICON icon);
BOOL DestroyIcon(HICON icon);

}  // namespace plat
