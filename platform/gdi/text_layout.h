// Line layout for DrawText: prefix characters, line splitting, word breaks
// and ellipses, over a measuring function so it is independent of fonts.
// Internal to the drawing layer.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace plat::gdi {

using MeasureFn = std::function<int(std::string_view)>;

struct TextLine {
  std::string text;
  int width = 0;
  std::vector<std::size_t> underlined;  // byte offsets of prefixed characters
};

// Removes '&' prefixes: "&x" underlines x, "&&" is a literal '&', a final
// lone '&' is dropped. Offsets of underlined characters go to `underlined`.
std::string StripPrefixes(std::string_view text, std::vector<std::size_t>* underlined);

// Shortens `text` to fit `max_width` with "..." at its end.
std::string EllipsizeEnd(std::string_view text, int max_width, const MeasureFn& measure);
// Shortens a path: keeps the part from the last '\' or '/' on and as much of
// the start as fits before "...". `end_too` allows an end ellipsis when even
// that does not fit, and for texts without a separator.
std::string EllipsizePath(std::string_view text, int max_width, bool end_too, const MeasureFn& measure);

// Lines of `text` as DrawText lays them out for `flags` (DT_SINGLELINE,
// DT_WORDBREAK, DT_NOPREFIX, DT_END_ELLIPSIS, DT_PATH_ELLIPSIS) in a
// rectangle `max_width` wide.
std::vector<TextLine> LayoutText(std::string_view text, UINT flags, int max_width, const MeasureFn& measure);

}  // namespace plat::gdi
