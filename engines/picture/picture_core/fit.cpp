#include "engines/picture/picture_core/fit.h"

#include <cmath>
#include <cstdint>

namespace picture {

namespace {

void Letterbox(int* x, int* y, int* w, int* h, std::int64_t num, std::int64_t den) {
  // Picture aspect num/den against the rectangle's w/h.
  if (std::int64_t{*w} * den > std::int64_t{*h} * num) {
    const int fitted = static_cast<int>(std::int64_t{*h} * num / den);
    *x += (*w - fitted) / 2;
    *w = fitted;
  } else {
    const int fitted = static_cast<int>(std::int64_t{*w} * den / num);
    *y += (*h - fitted) / 2;
    *h = fitted;
  }
}

}  // namespace

bool FitAspect(int* x, int* y, int* w, int* h, int image_width, int image_height) {
  if (image_width <= 0 || image_height <= 0 || *w <= 0 || *h <= 0) return false;
  const int x0 = *x, y0 = *y, w0 = *w, h0 = *h;
  Letterbox(x, y, w, h, image_width, image_height);
  if (*w > image_width) {
    *w = image_width;
    *h = image_height;
    *x = x0 + (w0 - image_width) / 2;
    *y = y0 + (h0 - image_height) / 2;
  }
  return true;
}

bool FitRatio(int* x, int* y, int* w, int* h, double ratio) {
  if (!(ratio > 0) || !std::isfinite(ratio) || *w <= 0 || *h <= 0) return false;
  // The ratio in fixed point keeps the arithmetic integral.
  constexpr std::int64_t kOne = 1 << 16;
  const std::int64_t num = std::llround(ratio * kOne);
  if (num <= 0) return false;
  Letterbox(x, y, w, h, num, kOne);
  return true;
}

bool FitWithMinimum(plat::RECT* area, plat::RECT* out, int image_width, int image_height, float minimum,
                    bool unscaled_when_smaller) {
  const int aw = area->right - area->left, ah = area->bottom - area->top;
  if (image_width <= 0 || image_height <= 0 || aw <= 0 || ah <= 0) return false;
  if (unscaled_when_smaller && aw >= image_width && ah >= image_height) {
    out->left = area->left + (aw - image_width) / 2;
    out->top = area->top + (ah - image_height) / 2;
    out->right = out->left + image_width;
    out->bottom = out->top + image_height;
    *area = *out;
    return true;
  }
  const double r = static_cast<double>(image_width) / image_height;
  const double t = static_cast<double>(aw) / ah;
  if (r == t) {
    *out = *area;
    return true;
  }
  if (r < t) {
    // Full width, cut top and bottom.
    double out_h = aw / r, out_w = aw;
    if (minimum > 0 && ah / out_h < minimum) {
      out_h = ah / minimum;
      out_w = out_h * r;
      const int narrowed = static_cast<int>(out_w);
      area->left += (aw - narrowed) / 2;
      area->right = area->left + narrowed;
    }
    out->left = area->left;
    out->right = area->left + static_cast<int>(out_w);
    out->top = area->top + static_cast<int>(std::floor((ah - out_h) / 2));
    out->bottom = out->top + static_cast<int>(out_h);
  } else {
    // Full height, cut left and right.
    double out_w = ah * r, out_h = ah;
    if (minimum > 0 && aw / out_w < minimum) {
      out_w = aw / minimum;
      out_h = out_w / r;
      const int narrowed = static_cast<int>(out_h);
      area->top += (ah - narrowed) / 2;
      area->bottom = area->top + narrowed;
    }
    out->top = area->top;
    out->bottom = area->top + static_cast<int>(out_h);
    out->left = area->left + static_cast<int>(std::floor((aw - out_w) / 2));
    out->right = out->left + static_cast<int>(out_w);
  }
  return true;
}

}  // namespace picture
