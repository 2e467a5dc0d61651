#include "platform/gdi/gif_codec.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace plat::gdi {

namespace {

std::nullopt_t Refuse(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return std::nullopt;
}

struct MemoryReader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int wanted) {
  auto* reader = static_cast<MemoryReader*>(gif->UserData);
  if (wanted <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(wanted), reader->size - reader->pos);
  std::memcpy(out, reader->data + reader->pos, n);
  reader->pos += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifReader = std::unique_ptr<GifFileType, GifCloser>;

GifReader OpenGif(MemoryReader* reader, std::string* error) {
  if (reader->size < 6 || (std::memcmp(reader->data, "GIF87a", 6) != 0 && std::memcmp(reader->data, "GIF89a", 6) != 0)) {
    if (error) *error = "not a GIF file";
    return nullptr;
  }
  int code = 0;
  GifReader gif(DGifOpen(reader, &ReadFromMemory, &code));
  if (!gif && error) *error = std::string("not a readable GIF: ") + GifErrorString(code);
  return gif;
}

// Largest picture a file of `size` bytes can describe: an LZW code of at
// least one byte expands to at most 4096 pixels.
bool PlausibleSize(std::int64_t width, std::int64_t height, std::size_t size) {
  if (width <= 0 || height <= 0) return false;
  const std::int64_t pixels = width * height;
  return pixels <= MaxSurfacePixels && pixels <= (std::int64_t{1} << 22) + static_cast<std::int64_t>(size) * 4096;
}

// Skips an extension's remaining sub-blocks.
bool SkipExtension(GifFileType* gif, GifByteType* block) {
  while (block) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

}  // namespace

std::optional<GifInfo> ReadGifInfo(std::span<const std::uint8_t> data, std::string* error) {
  MemoryReader reader{data.data(), data.size(), 0};
  GifReader gif = OpenGif(&reader, error);
  if (!gif) return std::nullopt;
  GifInfo info;
  info.width = gif->SWidth;
  info.height = gif->SHeight;
  info.bits_per_pixel = gif->SColorMap ? gif->SColorMap->BitsPerPixel : 0;
  // The first image descriptor may carry its own table and a larger size.
  GifRecordType type = UNDEFINED_RECORD_TYPE;
  while (DGifGetRecordType(gif.get(), &type) != GIF_ERROR && type != TERMINATE_RECORD_TYPE) {
    if (type == EXTENSION_RECORD_TYPE) {
      int function = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif.get(), &function, &block) == GIF_ERROR || !SkipExtension(gif.get(), block)) break;
      continue;
    }
    if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif.get()) == GIF_ERROR) break;
      info.width = std::max(info.width, gif->Image.Left + gif->Image.Width);
      info.height = std::max(info.height, gif->Image.Top + gif->Image.Height);
      if (gif->Image.ColorMap) info.bits_per_pixel = gif->Image.ColorMap->BitsPerPixel;
      if (!PlausibleSize(info.width, info.height, data.size())) return Refuse(error, "GIF dimensions out of range");
      if (info.bits_per_pixel == 0) return Refuse(error, "GIF without colour table");
      return info;
    }
    break;
  }
  return Refuse(error, "GIF without an image");
}

std::optional<Surface> DecodeGif(std::span<const std::uint8_t> data, std::string* error,
                                 std::vector<std::string>* comments) {
  MemoryReader reader{data.data(), data.size(), 0};
  GifReader gif = OpenGif(&reader, error);
  if (!gif) return std::nullopt;
  int transparent = NO_TRANSPARENT_COLOR;
  GifRecordType type = UNDEFINED_RECORD_TYPE;
  while (true) {
    if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return Refuse(error, "truncated GIF");
    if (type == TERMINATE_RECORD_TYPE) return Refuse(error, "GIF without an image");
    if (type == EXTENSION_RECORD_TYPE) {
      int function = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif.get(), &function, &block) == GIF_ERROR) return Refuse(error, "truncated GIF");
      if (function == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
      }
      if (function == COMMENT_EXT_FUNC_CODE && comments) {
        std::string text;
        while (block) {
          text.append(reinterpret_cast<const char*>(block + 1), block[0]);
          if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) return Refuse(error, "truncated GIF");
        }
        comments->push_back(std::move(text));
      } else if (!SkipExtension(gif.get(), block)) {
        return Refuse(error, "truncated GIF");
      }
      continue;
    }
    if (type == IMAGE_DESC_RECORD_TYPE) break;
    return Refuse(error, "malformed GIF");
  }
  if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return Refuse(error, "malformed GIF image header");
  const GifImageDesc desc = gif->Image;
  const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
  if (!map || map->ColorCount <= 0) return Refuse(error, "GIF without colour table");
  if (desc.Width <= 0 || desc.Height <= 0 || desc.Left < 0 || desc.Top < 0) return Refuse(error, "GIF frame out of range");
  const std::int64_t width = std::max<std::int64_t>(gif->SWidth, std::int64_t{desc.Left} + desc.Width);
  const std::int64_t height = std::max<std::int64_t>(gif->SHeight, std::int64_t{desc.Top} + desc.Height);
  if (!PlausibleSize(width, height, data.size())) return Refuse(error, "GIF dimensions out of range");

  // Outside the first frame the canvas stays transparent.
  Surface out(static_cast<int>(width), static_cast<int>(height), 0u);
  std::uint32_t palette[256];
  for (int i = 0; i < 256; ++i) {
    const GifColorType c = i < map->ColorCount ? map->Colors[i] : GifColorType{0, 0, 0};
    palette[i] = 0xFF000000u | (std::uint32_t{c.Red} << 16) | (std::uint32_t{c.Green} << 8) | c.Blue;
  }
  if (transparent >= 0 && transparent < 256) palette[transparent] &= 0x00FFFFFFu;

  std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
  auto put_row = [&](int y) {
    std::uint32_t* row = out.row(desc.Top + y) + desc.Left;
    for (int x = 0; x < desc.Width; ++x) row[x] = palette[line[static_cast<std::size_t>(x)]];
  };
  if (desc.Interlace) {
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int y = kStart[pass]; y < desc.Height; y += kStep[pass]) {
        if (DGifGetLine(gif.get(), line.data(), desc.Width) == GIF_ERROR) return Refuse(error, "truncated GIF data");
        put_row(y);
      }
    }
  } else {
    for (int y = 0; y < desc.Height; ++y) {
      if (DGifGetLine(gif.get(), line.data(), desc.Width) == GIF_ERROR) return Refuse(error, "truncated GIF data");
      put_row(y);
    }
  }
  return out;
}

namespace {

int WriteToVector(GifFileType* gif, const GifByteType* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + size);
  return size;
}

}  // namespace

std::vector<std::uint8_t> EncodeGif(const Surface& surface, const std::vector<std::string>& comments,
                                    std::string* error) {
  if (surface.empty() || surface.width() > 0xFFFF || surface.height() > 0xFFFF) {
    if (error) *error = surface.empty() ? "empty image" : "image too large for GIF";
    return {};
  }
  const std::size_t count = static_cast<std::size_t>(surface.width()) * static_cast<std::size_t>(surface.height());
  std::vector<GifByteType> red(count), green(count), blue(count), indices(count);
  bool has_transparency = false;
  for (int y = 0; y < surface.height(); ++y) {
    const std::uint32_t* row = surface.row(y);
    for (int x = 0; x < surface.width(); ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * surface.width() + x;
      red[i] = (row[x] >> 16) & 0xFF;
      green[i] = (row[x] >> 8) & 0xFF;
      blue[i] = row[x] & 0xFF;
      if ((row[x] >> 24) < 128) has_transparency = true;
    }
  }
  GifColorType colours[256] = {};
  const int transparent_index = 255;
  // A picture of few colours keeps them exactly; others are quantised (the
  // quantiser works in powers of two; with transparency it gets 128 colours
  // so index 255 stays free).
  const int limit = has_transparency ? 255 : 256;
  int used = 0;
  {
    std::unordered_map<std::uint32_t, int> exact;
    for (std::size_t i = 0; i < count && used <= limit; ++i) {
      const std::uint32_t key = (std::uint32_t{red[i]} << 16) | (std::uint32_t{green[i]} << 8) | blue[i];
      auto [it, added] = exact.try_emplace(key, used);
      if (added && ++used <= limit) colours[it->second] = GifColorType{red[i], green[i], blue[i]};
      indices[i] = static_cast<GifByteType>(it->second & 0xFF);
    }
  }
  if (used > limit) {
    int map_size = has_transparency ? 128 : 256;
    if (GifQuantizeBuffer(static_cast<unsigned>(surface.width()), static_cast<unsigned>(surface.height()),
                          &map_size, red.data(), green.data(), blue.data(), indices.data(), colours) == GIF_ERROR) {
      if (error) *error = "GIF colour quantisation failed";
      return {};
    }
  }
  if (has_transparency) {
    for (int y = 0; y < surface.height(); ++y) {
      const std::uint32_t* row = surface.row(y);
      for (int x = 0; x < surface.width(); ++x)
        if ((row[x] >> 24) < 128) indices[static_cast<std::size_t>(y) * surface.width() + x] = transparent_index;
    }
  }

  std::vector<std::uint8_t> out;
  int code = 0;
  GifFileType* gif = EGifOpen(&out, &WriteToVector, &code);
  if (!gif) {
    if (error) *error = std::string("GIF writer failed: ") + GifErrorString(code);
    return {};
  }
  EGifSetGifVersion(gif, true);
  ColorMapObject* map = GifMakeMapObject(256, colours);
  bool ok = map && EGifPutScreenDesc(gif, surface.width(), surface.height(), 8, 0, map) == GIF_OK;
  if (map) GifFreeMapObject(map);  // the writer keeps its own copy
  if (ok && has_transparency) {
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, transparent_index};
    GifByteType bytes[4];
    EGifGCBToExtension(&gcb, bytes);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, bytes) == GIF_OK;
  }
  // Comments go before the image, in sub-blocks of at most 255 bytes.
  for (const std::string& comment : comments) {
    if (!ok) break;
    ok = EGifPutExtensionLeader(gif, COMMENT_EXT_FUNC_CODE) == GIF_OK;
    for (std::size_t pos = 0; ok && pos < comment.size(); pos += 255) {
      const std::size_t n = std::min<std::size_t>(255, comment.size() - pos);
      ok = EGifPutExtensionBlock(gif, static_cast<int>(n), comment.data() + pos) == GIF_OK;
    }
    ok = ok && EGifPutExtensionTrailer(gif) == GIF_OK;
  }
  ok = ok && EGifPutImageDesc(gif, 0, 0, surface.width(), surface.height(), false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < surface.height(); ++y)
    ok = EGifPutLine(gif, indices.data() + static_cast<std::size_t>(y) * surface.width(), surface.width()) == GIF_OK;
  if (EGifCloseFile(gif, &code) == GIF_ERROR) ok = false;
  if (!ok) {
    if (error) *error = "GIF writer failed";
    return {};
  }
  return out;
}

}  // namespace plat::gdi
