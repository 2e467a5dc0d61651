// Window regions from skin bitmaps: every pixel that does not match the key
// colour (within a tolerance) belongs to the region. The region returned
// belongs to the caller, who deletes it (DeleteObject).
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/types.h"

// Loads a bitmap file and builds its region; null when it cannot be loaded.
plat::HRGN LoadRegionFromBitmapFile(const std::string& path, plat::COLORREF key, plat::COLORREF tolerance);
// The region of the bitmap file as it is drawn stretched to `size` (the way a
// page draws its background into its window), so a window drawn at another
// size than its bitmap's is cut where its drawing shows the key colour. Null
// when the file cannot be loaded or the size is empty.
plat::HRGN LoadRegionFromBitmapFileAtSize(const std::string& path, plat::SIZE size, plat::COLORREF key,
                                          plat::COLORREF tolerance);
// Null for no bitmap.
plat::HRGN BitmapToRegion(plat::HBITMAP bitmap, plat::COLORREF key, plat::COLORREF tolerance);
// `bits` holds `height` rows of 32-bit pixels (bytes blue, green, red,
// unused), bottom row first, `stride` bytes apart. A pixel is transparent
// when each of its red, green and blue lies within key .. key + tolerance of
// the same channel (capped at 255). Never null for valid arguments; an image
// that is all key colour gives an empty region.
plat::HRGN CreateRegionFromBitmap(const std::uint8_t* bits, int width, int height, int stride, plat::COLORREF key,
                                  plat::COLORREF tolerance);
