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
  explicit Compositor(SIZE size, std::uint32_t background = 0xFF000000u);
  const Surface& screen() const { return screen_; }
  SIZE size() const { return SIZE{screen_.width(), screen_.height()}; }
  // Redraws `damage` (clipped to the screen) from `layers` (front first, as
  // CollectCompositeLayers gives them); uncovered pixels get the background.
  void compose(const std::vector<CompositeLayer>& layers, const Region& damage);

 private:
  Surface screen_;
  std::uint32_t background_;
};

}  // namespace plat::display
