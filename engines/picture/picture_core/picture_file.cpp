#include "engines/picture/picture_core/picture_file.h"

#include <cmath>

#include "engines/picture/picture_core/pixel_ops.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/gif_codec.h"
#include "platform/gdi/jpeg_codec.h"
#include "platform/gdi/png_codec.h"

namespace picture {

namespace {

std::nullopt_t Refuse(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return std::nullopt;
}

std::uint32_t PixelsPerMetre(int dpi) { return static_cast<std::uint32_t>(std::lround(dpi / 0.0254)); }

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// The decoder fills a cut-off scan with grey and only warns; a file without
// its end marker is refused instead. Data after the marker is allowed.
// The marker is looked for after the first scan starts, past any thumbnail.
bool HasEndOfImage(std::span<const std::uint8_t> data) {
  const std::vector<JpegSegment> segments = ReadJpegSegments(data);
  if (segments.empty() || segments.back().code != 0xDA) return false;
  const std::size_t scan = static_cast<std::size_t>(segments.back().payload.data() - data.data());
  for (std::size_t i = data.size(); i >= scan + 2; --i)
    if (data[i - 2] == 0xFF && data[i - 1] == 0xD9) return true;
  return false;
}

}  // namespace

int JpegScaleFor(int stored_width, int stored_height, int min_width, int min_height) {
  if (min_width <= 0 || min_height <= 0) return 1;
  for (int d : {8, 4, 2}) {
    if ((stored_width + d - 1) / d >= min_width && (stored_height + d - 1) / d >= min_height) return d;
  }
  return 1;
}

std::optional<Picture> DecodePicture(std::span<const std::uint8_t> data, const LoadOptions& options,
                                     std::string* error) {
  std::optional<PictureInfo> info = ProbePicture(data, error);
  if (!info) return std::nullopt;
  if (std::int64_t{info->width} * info->height > plat::MaxSurfacePixels && info->format != kFormatJpeg)
    return Refuse(error, "picture too large");
  Picture picture;
  picture.info = *info;
  std::optional<plat::Surface> pixels;
  switch (info->format) {
    case kFormatBmp: pixels = plat::gdi::DecodeBmp(data, error); break;
    case kFormatPng:
      pixels = plat::gdi::DecodePng(data, error);
      if (options.metadata) picture.metadata = ReadPngMetadata(data);
      break;
    case kFormatGif:
      pixels = plat::gdi::DecodeGif(data, error, options.metadata ? &picture.metadata.comments : nullptr);
      break;
    case kFormatJpeg: {
      const bool swap = SwapsSides(TurnForOrientation(info->orientation));
      const int d = JpegScaleFor(info->width, info->height, swap ? options.min_height : options.min_width,
                                 swap ? options.min_width : options.min_height);
      if ((std::int64_t{info->width} + d - 1) / d * ((std::int64_t{info->height} + d - 1) / d) >
          plat::MaxSurfacePixels)
        return Refuse(error, "picture too large");
      if (!HasEndOfImage(data)) return Refuse(error, "truncated JPEG file");
      pixels = plat::gdi::DecodeJpeg(data, {d}, error);
      if (options.metadata) picture.metadata = ReadJpegMetadata(data);
      break;
    }
    default: break;
  }
  if (!pixels || pixels->empty()) return error && !error->empty() ? std::nullopt : Refuse(error, "decoding failed");
  const Turn upright = TurnForOrientation(info->orientation);
  picture.pixels = upright == Turn::None ? std::move(*pixels) : ApplyTurn(*pixels, upright);
  return picture;
}

std::optional<Picture> LoadPictureFile(const std::string& path, const LoadOptions& options, std::string* error) {
  std::optional<PictureBytes> bytes = ReadPictureFile(path, error);
  if (!bytes) return std::nullopt;
  return DecodePicture(*bytes, options, error);
}

std::vector<std::uint8_t> EncodePicture(const plat::Surface& pixels, const SaveOptions& options,
                                        std::string* error) {
  static const PictureMetadata kNone;
  const PictureMetadata& meta = options.metadata ? *options.metadata : kNone;
  switch (options.format) {
    case kFormatJpeg: {
      plat::gdi::JpegEncodeOptions jpeg{options.jpeg_quality, 1, options.x_dpi, options.y_dpi};
      plat::gdi::JpegKeep keep{options.h_sampling, options.v_sampling, JpegMarkersFor(meta)};
      return plat::gdi::EncodeJpeg(pixels, jpeg, error, keep);
    }
    case kFormatPng: {
      std::vector<plat::gdi::PngChunk> chunks;
      std::vector<std::uint8_t> phys;
      PutBe32(phys, PixelsPerMetre(options.x_dpi));
      PutBe32(phys, PixelsPerMetre(options.y_dpi));
      phys.push_back(1);  // unit: metre
      chunks.push_back({"pHYs", std::move(phys)});
      for (auto& chunk : PngChunksFor(meta)) chunks.push_back(std::move(chunk));
      return plat::gdi::EncodePng(pixels, options.keep_alpha, error, chunks);
    }
    case kFormatBmp: {
      std::vector<std::uint8_t> out = plat::gdi::EncodeBmp(pixels, options.bmp_bits == 32 ? 32 : 24);
      if (out.size() < 54) {
        if (error) *error = "empty image";
        return {};
      }
      for (auto [at, dpi] : {std::pair{38, options.x_dpi}, std::pair{42, options.y_dpi}}) {
        const std::uint32_t v = PixelsPerMetre(dpi);
        for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(v >> (8 * i));
      }
      return out;
    }
    case kFormatGif: return plat::gdi::EncodeGif(pixels, meta.comments, error);
    default:
      if (error) *error = "this picture format cannot be written";
      return {};
  }
}

}  // namespace picture
