#include "platform/display/compositor.h"

#include <algorithm>
#include <cstring>

namespace plat::display {

Compositor::Compositor(SIZE size, std::uint32_t background, bool own_screen)
    : size_(size),
      screen_(own_screen ? Surface(static_cast<int>(size.cx), static_cast<int>(size.cy), background) : Surface()),
      background_(background) {}

void Compositor::compose(const std::vector<CompositeLayer>& layers, const Region& damage) {
  compose_into(screen_, layers, damage);
}

void Compositor::compose_into(Surface& target, const std::vector<CompositeLayer>& layers,
                              const Region& damage) const {
  const Region area = damage.intersected(Region(RECT{0, 0, target.width(), target.height()}));
  if (area.empty()) return;
  Region covered;
  for (const CompositeLayer& layer : layers) {
    if (!layer.surface) continue;
    const Surface& src = *layer.surface;
    const Region part = layer.visible.intersected(area);
    covered = covered.united(part);
    for (const RECT& r : part.rects()) {
      // Clamp to the source surface as well: nothing outside either surface
      // is ever touched, whatever the layer says.
      const int left = std::max<int>(r.left, layer.origin.x);
      const int right = std::min<int>(r.right, layer.origin.x + src.width());
      const int top = std::max<int>(r.top, layer.origin.y);
      const int bottom = std::min<int>(r.bottom, layer.origin.y + src.height());
      if (left >= right) continue;
      const std::size_t bytes = sizeof(std::uint32_t) * static_cast<std::size_t>(right - left);
      for (int y = top; y < bottom; ++y)
        std::memcpy(target.row(y) + left, src.row(y - layer.origin.y) + (left - layer.origin.x), bytes);
    }
  }
  const Region uncovered = area.subtracted(covered);
  for (const RECT& r : uncovered.rects())
    for (int y = r.top; y < r.bottom; ++y) std::fill(target.row(y) + r.left, target.row(y) + r.right, background_);
}

}  // namespace plat::display
