// Decoded skin images, shared: each image file is decoded once and its pixels
// serve every page, bar and list that draws it, until the file changes. Pages
// switch often and mostly draw the same buttons and backgrounds; decoding
// them again each time was most of the cost of a page switch.
//
// The cache keeps the small images that pages draw again and again (buttons,
// list items, bar pieces, icons), at most kSkinImageCacheBytes of them; the
// images used least recently go first. An image larger than
// kSkinImageCacheLargestBytes (a page's background or its big tiles) is
// decoded when drawn and not kept: the page's back buffer holds what it
// drew, and keeping such pictures cost more resident memory (about 20 MiB
// for the home page at 1920x1080) than decoding them again costs time.
// Thread-safe; the pixels it hands out are shared and must only be read.
#pragma once

#include <cstddef>
#include <string>

#include "platform/core/types.h"
#include "platform/gdi/surface.h"

inline constexpr std::size_t kSkinImageCacheBytes = 8u << 20;
inline constexpr std::size_t kSkinImageCacheLargestBytes = 512u << 10;

// The pixels of the image file at `path` (found without regard to case).
// Null when the path is empty, or the file is missing or no picture, which is
// reported once (see skin_report.h).
plat::SurfacePtr SharedSkinImage(const std::string& path);

// Draws the image file at `path` into `rect` of `dc` with nearest pixels
// straight from the file when it is a bitmap larger than the cache keeps:
// only the rows shown are decoded, and the full-size picture one draw of it
// would need is never made. False, with nothing drawn, for any other image
// (or none): the caller then draws it through SharedSkinImage, which also
// reports a missing or broken file.
bool DrawLargeSkinBitmap(const std::string& path, plat::HDC dc, const plat::RECT& rect);

// Bytes of pixels held now, and dropping them all (tests).
std::size_t SkinImageCacheBytes();
void ClearSkinImageCache();
