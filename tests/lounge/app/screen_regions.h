// Looking at pictures of the screen by the rectangles of the skin's layouts:
// the layouts are laid out for 1920x1080 and the frame fills the screen, so a
// layout rectangle scales to the screen by its size.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/core/types.h"
#include "platform/gdi/surface.h"

namespace app_test {

struct Box {
  int left, top, width, height;
};

constexpr int kLayoutWidth = 1920;
constexpr int kLayoutHeight = 1080;

// A layout rectangle on a screen of `screenW` x `screenH`.
inline Box OnScreen(Box layout, int screenW, int screenH) {
  return {layout.left * screenW / kLayoutWidth, layout.top * screenH / kLayoutHeight,
          layout.width * screenW / kLayoutWidth, layout.height * screenH / kLayoutHeight};
}

inline int Brightest(std::uint32_t bgra) {
  const int b = static_cast<int>(bgra & 0xFF), g = static_cast<int>((bgra >> 8) & 0xFF),
            r = static_cast<int>((bgra >> 16) & 0xFF);
  return std::max(r, std::max(g, b));
}

// Share (0..1) of the box's pixels that are bright: text, icons and the
// highlighted tile stand out from the skin's dark backgrounds this way.
inline double BrightShare(const plat::Surface& s, Box box, int threshold = 140) {
  long bright = 0, all = 0;
  for (int y = box.top; y < box.top + box.height; ++y) {
    for (int x = box.left; x < box.left + box.width; ++x) {
      ++all;
      if (Brightest(s.pixel(x, y)) >= threshold) ++bright;
    }
  }
  return all ? static_cast<double>(bright) / static_cast<double>(all) : 0.0;
}

// How many pixels of the box differ between two pictures of the same size.
inline long DifferingPixels(const plat::Surface& a, const plat::Surface& b, Box box) {
  long differing = 0;
  for (int y = box.top; y < box.top + box.height; ++y) {
    for (int x = box.left; x < box.left + box.width; ++x) {
      if ((a.pixel(x, y) & 0xFFFFFFu) != (b.pixel(x, y) & 0xFFFFFFu)) ++differing;
    }
  }
  return differing;
}

// Whether `box` of `shot` shows `text` as the skin draws a text element: the
// expected picture is the page background (the skin file `background`,
// stretched over the whole shot as pages draw it) with `text` drawn by the
// "FONT1" face in `colour` with the layout alignment `align` in the box. At
// most `tolerance` of the box's pixels may differ by more than a few levels.
// Needs the string table that names FONT1 (screen_regions.cpp, linked with
// the skin library).
// `fit` is the skin's fit mode (3: the text shrinks to the box).
bool TextMatches(const plat::Surface& shot, Box box, const std::string& background, const std::string& text,
                 int align, plat::COLORREF colour, double tolerance = 0.03, int fit = 0);

}  // namespace app_test
