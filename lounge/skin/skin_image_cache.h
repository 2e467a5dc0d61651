// Decoded skin images, shared: each image file is decoded once and its pixels
// serve every page, bar and list that draws it, until the file changes. Pages
// switch often and mostly draw the same buttons and backgrounds; decoding
// them again each time was most of the cost of a page switch.
//
// The cache holds at most kSkinImageCacheBytes of pixels, enough for the
// images of a full-screen page and its bars (the home page at 1920x1080 keeps
// about 19 MiB); the images used least recently go first. Thread-safe; the
// pixels it hands out are shared and must only be read.
#pragma once

#include <cstddef>
#include <string>

#include "platform/gdi/surface.h"

inline constexpr std::size_t kSkinImageCacheBytes = 24u << 20;

// The pixels of the image file at `path` (found without regard to case).
// Null when the path is empty, or the file is missing or no picture, which is
// reported once (see skin_report.h).
plat::SurfacePtr SharedSkinImage(const std::string& path);

// Bytes of pixels held now, and dropping them all (tests).
std::size_t SkinImageCacheBytes();
void ClearSkinImageCache();
