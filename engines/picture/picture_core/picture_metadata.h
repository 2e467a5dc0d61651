// Metadata a picture keeps across an edit: Exif, XMP, the colour profile,
// IPTC, comments and PNG text. Read from JPEG markers, PNG chunks or GIF
// comment extensions, and written back in the form the target format has.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/jpeg_codec.h"
#include "platform/gdi/png_codec.h"

namespace picture {

struct PictureMetadata {
  std::vector<std::uint8_t> exif;  // TIFF structure without the "Exif\0\0" prefix
  std::vector<std::uint8_t> xmp;   // the XMP packet
  std::vector<std::uint8_t> icc;   // the colour profile
  std::vector<std::uint8_t> iptc;  // the APP13 payload as stored
  std::vector<std::string> comments;
  std::vector<plat::gdi::PngChunk> png_text;  // tEXt/zTXt/iTXt other than comments and XMP

  bool empty() const {
    return exif.empty() && xmp.empty() && icc.empty() && iptc.empty() && comments.empty() && png_text.empty();
  }
};

PictureMetadata ReadJpegMetadata(std::span<const std::uint8_t> data);
PictureMetadata ReadPngMetadata(std::span<const std::uint8_t> data);

std::vector<plat::gdi::JpegMarker> JpegMarkersFor(const PictureMetadata& metadata);
std::vector<plat::gdi::PngChunk> PngChunksFor(const PictureMetadata& metadata);

}  // namespace picture
