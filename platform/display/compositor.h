// Composes the windows' backing surfaces into the screen image: each pixel
// of the changed area is copied once, from the window that shows there.
#pragma once

#include <vector>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/win/display_link.h"

namespace plat::display {

class Compositor {
 public:
  // With `own_screen` false the compositor keeps no screen image: it draws
  // into the one handed to compose_into (a backend's own).
  explicit Compositor(SIZE size, std::uint32_t background = 0xFF000000u, bool own_screen = true);
  const Surface& screen() const { return screen_; }
  SIZE size() const { return size_; }
  // Redraws `damage` (clipped to the screen) from `layers` (front first, as
  // CollectCompositeLayers gives them); uncovered pixels get the background.
  void compose(const std::vector<CompositeLayer>& layers, const Region& damage);
  // The same into `target` instead of the compositor's own screen image.
  void compose_into(Surface& target, const std::vector<CompositeLayer>& layers, const Region& damage) const;

 private:
  SIZE size_;
  Surface screen_;
  std::uint32_t background_;
};

}  // namespace plat::display
