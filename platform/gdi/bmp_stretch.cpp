#include "platform/gdi/bmp_stretch.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/dc_object.h"
#include "platform/gdi/stretch_map.h"

namespace plat::gdi {

bool StretchBmpFile(HDC hdc, int x, int y, int width, int height, std::span<const std::uint8_t> file,
                    std::string* error) {
  const std::optional<BmpRowReader> reader = BmpRowReader::Open(file, error);
  if (!reader) return false;
  HDC__* dst = FindDC(hdc);
  if (!dst || !dst->surface) {
    if (error) *error = "no surface to draw on";
    return false;
  }
  StretchMap map;
  if (!MakeStretchMapFromPicture(*dst, x, y, width, height, reader->width(), reader->height(), &map))
    return true;  // nothing of it shows
  // One decoded row, kept while the next destination rows repeat it.
  std::vector<std::uint32_t> line(static_cast<std::size_t>(reader->width()));
  std::int64_t decoded = -1;
  std::vector<std::int64_t> cols;
  ForEachClipped(*dst, map.dest, [&](const RECT& r) {
    cols.resize(static_cast<std::size_t>(r.right - r.left));
    for (LONG c = r.left; c < r.right; ++c) cols[static_cast<std::size_t>(c - r.left)] = map.x.Nearest(c);
    // Drawn at its own width (a full-screen background), a row is one copy.
    bool unscaled = !cols.empty() && cols.front() >= 0;
    for (std::size_t i = 1; unscaled && i < cols.size(); ++i) unscaled = cols[i] == cols[i - 1] + 1;
    for (LONG row = r.top; row < r.bottom; ++row) {
      const std::int64_t sr = map.y.Nearest(row);
      if (sr < 0) continue;
      if (sr != decoded) {
        reader->ReadRow(static_cast<int>(sr), line.data());
        decoded = sr;
      }
      std::uint32_t* d = dst->surface->row(row);
      if (unscaled) {
        std::copy_n(line.data() + cols.front(), cols.size(), d + r.left);
        continue;
      }
      for (LONG c = r.left; c < r.right; ++c) {
        const std::int64_t sc = cols[static_cast<std::size_t>(c - r.left)];
        if (sc >= 0) d[c] = line[static_cast<std::size_t>(sc)];
      }
    }
  });
  return true;
}

}  // namespace plat::gdi
