#include "platform/gdi/image_loader.h"

#include <cstring>
#include <fstream>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/gif_codec.h"
#include "platform/gdi/jpeg_codec.h"
#include "platform/gdi/png_codec.h"

namespace plat {

namespace gdi {

std::optional<Surface> DecodeImage(std::span<const std::uint8_t> data, std::string* error) {
  switch (SniffImageFormat(data)) {
    case ImageFormat::Bmp: return DecodeBmp(data, error);
    case ImageFormat::Png: return DecodePng(data, error);
    case ImageFormat::Jpeg: return DecodeJpeg(data, {}, error);
    case ImageFormat::Gif: return DecodeGif(data, error);
    case ImageFormat::Unknown: break;
  }
  if (error) *error = "unknown image format";
  return std::nullopt;
}

std::optional<Surface> DecodeImageFile(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    if (error) *error = "cannot open " + path;
    return std::nullopt;
  }
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::uint64_t>(size) > MaxImageFileBytes) {
    if (error) *error = "file too large: " + path;
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    if (error) *error = "cannot read " + path;
    return std::nullopt;
  }
  return DecodeImage(bytes, error);
}

}  // namespace gdi

namespace {
Surface ScaleNearest(const Surface& in, int w, int h) {
  Surface out(w, h);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* s = in.row(static_cast<int>(std::int64_t{y} * in.height() / h));
    std::uint32_t* d = out.row(y);
    for (int x = 0; x < w; ++x) d[x] = s[std::int64_t{x} * in.width() / w];
  }
  return out;
}
}  // namespace

HBITMAP LoadImageBitmap(const std::string& path, int cx, int cy, UINT flags) {
  if (!(flags & LR_LOADFROMFILE) || cx < 0 || cy < 0) return nullptr;
  std::optional<Surface> image = gdi::DecodeImageFile(path);
  if (!image || image->empty()) return nullptr;
  if (cx > 0 || cy > 0) {
    const int w = cx > 0 ? cx : image->width(), h = cy > 0 ? cy : image->height();
    if (std::int64_t{w} * h > MaxSurfacePixels) return nullptr;
    image = ScaleNearest(*image, w, h);
  }
  return CreateBitmapFromSurface(std::make_shared<Surface>(std::move(*image)), (flags & LR_CREATEDIBSECTION) != 0);
}

HANDLE LoadImage(HINSTANCE instance, const char* name, UINT type, int cx, int cy, UINT flags) {
  if (instance || !name || type != IMAGE_BITMAP) return nullptr;
  return reinterpret_cast<HANDLE>(static_cast<HGDIOBJ>(LoadImageBitmap(name, cx, cy, flags)));
}

}  // namespace plat
