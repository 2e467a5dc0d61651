// Drawing helpers for skin bitmaps: loading bitmap files, cutting them into
// state frames or horizontal slices, stretched copies and drawing into a
// device context. Files are decoded once and shared (skin_image_cache.h);
// every bitmap these helpers return belongs to the caller, who deletes it
// (DeleteObject). A missing file, an unreadable bitmap or a null input gives
// a null handle, and the first two are reported once.
#pragma once

#include <string>

#include "platform/core/types.h"

// Number of state frames side by side in a skin bitmap (normal, highlighted,
// pressed, disabled).
inline constexpr int SKIN_FRAME_COUNT = 4;

// A screen-compatible bitmap of width (source width / 4) and the source height
// holding frame `frame` (clamped to 0..3).
plat::HBITMAP CutBitmapFrame(plat::HBITMAP bitmap, int frame);
// The part of the bitmap between the fractions `from` and `to` of its width
// (both clamped to 0..1), full height; null when from > to or the part is
// empty.
plat::HBITMAP CutBitmapSlice(plat::HBITMAP bitmap, float from, float to);

// Loads a bitmap file (found without regard to case) and cuts one frame or
// one slice of it. Null when the file does not exist or cannot be read.
plat::HBITMAP LoadBitmapFile(const std::string& path, int frame);
plat::HBITMAP LoadBitmapFileSlice(const std::string& path, float from, float to);
// Loads a bitmap file whole, as a DIB section at its own size.
plat::HBITMAP LoadDibSectionFile(const std::string& path);
// The same, but the bitmap shares the decoded pixels with every other user of
// the file (see skin_image_cache.h): cheap, and only to be drawn from.
plat::HBITMAP LoadSharedBitmapFile(const std::string& path);

// A screen-compatible bitmap of `size` holding the whole source stretched
// into it (nearest pixels). Null for no bitmap or an empty size.
plat::HBITMAP StretchBitmap(plat::HBITMAP bitmap, plat::SIZE size);
// Stretches the bitmap to the rectangle's size and copies it there. 0 for no
// bitmap.
int DrawBitmap(plat::HBITMAP bitmap, plat::HDC dc, const plat::RECT& rect);
// Loads the file and draws it as DrawBitmap does; 0 when it cannot be loaded.
int DrawBitmapFile(const std::string& path, plat::HDC dc, const plat::RECT& rect);
// Draws frame `frame` of the file as LoadBitmapFile and DrawBitmap would; 0
// when it cannot be loaded or has no frame.
int DrawBitmapFileFrame(const std::string& path, int frame, plat::HDC dc, const plat::RECT& rect);
// 0 for no bitmap.
int GetBitmapSize(plat::HBITMAP bitmap, int& width, int& height);
