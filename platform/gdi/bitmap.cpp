#include "platform/gdi/bitmap.h"

#include <cstring>

#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/gdi_object.h"

namespace plat {

namespace {

bool SizeAllowed(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width * height <= MaxSurfacePixels;
}

}  // namespace

HBITMAP CreateBitmapFromSurface(SurfacePtr surface, bool dib_section) {
  if (!surface || surface->empty()) return nullptr;
  auto obj = std::make_unique<gdi::BitmapObject>();
  obj->surface = std::move(surface);
  obj->dib_section = dib_section;
  return gdi::ObjectTable::Get().Add(std::move(obj));
}

SurfacePtr GetBitmapSurface(HBITMAP bitmap) {
  auto* obj = gdi::Find<gdi::BitmapObject>(bitmap);
  return obj ? obj->surface : nullptr;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  if (hdc && !gdi::FindDC(hdc)) return nullptr;
  if (!SizeAllowed(width, height)) return nullptr;
  return CreateBitmapFromSurface(std::make_shared<Surface>(width, height));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits) {
  if (!SizeAllowed(width, height) || planes != 1) return nullptr;
  if (bits_per_pixel != 1 && bits_per_pixel != 24 && bits_per_pixel != 32) return nullptr;
  auto surface = std::make_shared<Surface>(width, height);
  if (bits) {
    // Rows of device-dependent bitmaps are padded to 16 bits.
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits_per_pixel + 15) / 16) * 2;
    const auto* src = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = src + stride * y;
      std::uint32_t* out = surface->row(y);
      for (int x = 0; x < width; ++x) {
        if (bits_per_pixel == 32) {
          std::memcpy(&out[x], row + 4 * x, 4);
          out[x] |= 0xFF000000u;
        } else if (bits_per_pixel == 24) {
          out[x] = 0xFF000000u | row[3 * x] | (row[3 * x + 1] << 8) | (static_cast<std::uint32_t>(row[3 * x + 2]) << 16);
        } else {
          out[x] = (row[x / 8] & (0x80 >> (x % 8))) ? 0xFFFFFFFFu : 0xFF000000u;
        }
      }
    }
  }
  return CreateBitmapFromSurface(std::move(surface));
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  if (bits) *bits = nullptr;
  if (!info || section) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biBitCount != 32 || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)) return nullptr;
  // A positive height asks for rows stored bottom-up, as callers then
  // address them; drawing goes through row() and sees no difference.
  const bool bottom_up = h.biHeight > 0;
  const std::int64_t height = bottom_up ? h.biHeight : -static_cast<std::int64_t>(h.biHeight);
  if (!SizeAllowed(h.biWidth, height)) return nullptr;
  auto surface = std::make_shared<Surface>(h.biWidth, static_cast<int>(height), 0u, bottom_up);
  if (bits) *bits = surface->data();
  return CreateBitmapFromSurface(std::move(surface), /*dib_section=*/true);
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  if (!header) return nullptr;
  const std::int64_t width = header->biWidth;
  const std::int64_t height = header->biHeight < 0 ? -std::int64_t{header->biHeight} : header->biHeight;
  if (!SizeAllowed(width, height)) return nullptr;
  if (!(init & CBM_INIT) || !bits || !info) return CreateBitmapFromSurface(std::make_shared<Surface>(width, height));
  std::optional<Surface> decoded = gdi::DecodeDib(*info, bits);
  if (!decoded) return nullptr;
  return CreateBitmapFromSurface(std::make_shared<Surface>(std::move(*decoded)));
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  auto* obj = gdi::Find<gdi::BitmapObject>(bitmap);
  if (!obj || !info || (hdc && !gdi::FindDC(hdc))) return 0;
  const Surface& s = *obj->surface;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (!bits) {
    h.biWidth = s.width();
    h.biHeight = s.height();
    h.biPlanes = 1;
    if (h.biBitCount == 0) h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(((static_cast<std::uint64_t>(s.width()) * h.biBitCount + 31) / 32) * 4 * s.height());
    return s.height();
  }
  if ((h.biBitCount != 24 && h.biBitCount != 32) || h.biCompression != BI_RGB || h.biWidth <= 0) return 0;
  const bool top_down = h.biHeight < 0;
  const std::int64_t dib_height = top_down ? -std::int64_t{h.biHeight} : h.biHeight;
  if (dib_height <= 0) return 0;
  const std::size_t stride = ((static_cast<std::size_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
  const int copy_width = std::min<std::int64_t>(h.biWidth, s.width());
  auto* out = static_cast<std::uint8_t*>(bits);
  int copied = 0;
  for (std::uint64_t i = 0; i < lines; ++i) {
    const std::int64_t scan = std::int64_t{start} + static_cast<std::int64_t>(i);
    if (scan >= dib_height) break;
    const std::int64_t y = top_down ? scan : dib_height - 1 - scan;
    std::uint8_t* row = out + stride * i;
    if (y < s.height()) {
      const std::uint32_t* src = s.row(static_cast<int>(y));
      for (int x = 0; x < copy_width; ++x) {
        if (h.biBitCount == 32) {
          std::memcpy(row + 4 * x, &src[x], 4);
        } else {
          row[3 * x] = src[x] & 0xFF;
          row[3 * x + 1] = (src[x] >> 8) & 0xFF;
          row[3 * x + 2] = (src[x] >> 16) & 0xFF;
        }
      }
    }
    ++copied;
  }
  return copied;
}

}  // namespace plat
