// Image files to surfaces and bitmaps, the decoder picked by the file's
// content (BMP, PNG, JPEG, GIF), not its name.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/image_format.h"
#include "platform/gdi/surface.h"

namespace plat {

namespace gdi {
std::optional<Surface> DecodeImage(std::span<const std::uint8_t> data, std::string* error = nullptr);
std::optional<Surface> DecodeImageFile(const std::string& path, std::string* error = nullptr);
}  // namespace gdi

// A bitmap from an image file (LR_LOADFROMFILE required; LR_CREATEDIBSECTION
// makes it a DIB section). With cx and cy non-zero the picture is scaled to
// that size. Null when the file is missing, unreadable or not an image.
HBITMAP LoadImageBitmap(const std::string& path, int cx, int cy, UINT flags);
// The platform's shape of the same call; `instance` must be null and `type`
// IMAGE_BITMAP. The result is an HBITMAP.
HANDLE LoadImage(HINSTANCE instance, const char* name, UINT type, int cx, int cy, UINT flags);

}  // namespace plat
