// Drawing shaped text into a DC's surface. Internal to the text calls.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/gdi/dc_object.h"
#include "platform/gdi/font_instance.h"

namespace plat::gdi {

std::shared_ptr<FontInstance> ResolveFont(HFONT font);
// The font selected into the DC (the default font when none).
std::shared_ptr<FontInstance> DcFont(const HDC__& dc);
bool DcFontUnderlined(const HDC__& dc);

// Draws one line of UTF-8 text in the DC's text colour with the top of its
// cell at surface (x, y), clipped to the DC's clip and, when given, to
// `clip_box`. Characters whose byte offsets are in `underlined` get an
// underline (all of them when `underline_all`). Returns the line's width.
int RenderLine(const HDC__& dc, const FontInstance& font, std::string_view text, std::int64_t x, std::int64_t y,
               const Box* clip_box, bool underline_all, std::span<const std::size_t> underlined = {});

}  // namespace plat::gdi
