#include "tests/lounge/app/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <memory>

namespace app_test {
namespace {

// The 8-bit value of the colour channel `mask` selects in `pixel`.
std::uint32_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!(mask & 1u)) {
    mask >>= 1;
    ++shift;
  }
  return static_cast<std::uint32_t>(((pixel >> shift) & mask) & 0xFF);
}

}  // namespace

std::optional<plat::Surface> ReadXScreen(const std::string& display, int width, int height) {
  std::unique_ptr<Display, int (*)(Display*)> server(XOpenDisplay(display.c_str()), &XCloseDisplay);
  if (!server) return std::nullopt;
  Display* d = server.get();
  const auto destroy = [](XImage* image) { XDestroyImage(image); };
  std::unique_ptr<XImage, decltype(destroy)> image(
      XGetImage(d, DefaultRootWindow(d), 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes,
                ZPixmap),
      destroy);
  if (!image) return std::nullopt;
  plat::Surface out(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned long p = XGetPixel(image.get(), x, y);
      out.set_pixel(x, y,
                    0xFF000000u | Channel(p, image->red_mask) << 16 | Channel(p, image->green_mask) << 8 |
                        Channel(p, image->blue_mask));
    }
  }
  return out;
}

}  // namespace app_test
