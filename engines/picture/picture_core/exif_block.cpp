#include "engines/picture/picture_core/exif_block.h"

#include <libexif/exif-data.h>

#include <memory>

namespace picture {

namespace {

struct ExifDataRelease {
  void operator()(ExifData* data) const { exif_data_unref(data); }
};

// A TIFF header and its first directory, checked against the block's size.
struct TiffView {
  std::span<std::uint8_t> bytes;
  bool little = true;

  std::uint32_t Get16(std::size_t at) const {
    return little ? bytes[at] | (bytes[at + 1] << 8) : (bytes[at] << 8) | bytes[at + 1];
  }
  std::uint32_t Get32(std::size_t at) const {
    return little ? Get16(at) | (Get16(at + 2) << 16) : (Get16(at) << 16) | Get16(at + 2);
  }
  void Put16(std::size_t at, std::uint32_t v) {
    bytes[at + (little ? 0 : 1)] = static_cast<std::uint8_t>(v & 0xFF);
    bytes[at + (little ? 1 : 0)] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  }
  void Put32(std::size_t at, std::uint32_t v) {
    if (little) {
      Put16(at, v & 0xFFFF);
      Put16(at + 2, v >> 16);
    } else {
      Put16(at, v >> 16);
      Put16(at + 2, v & 0xFFFF);
    }
  }
};

}  // namespace

int ReadExifOrientation(std::span<const std::uint8_t> tiff) {
  if (tiff.size() < 8 || tiff.size() > 0xFFFFFF) return 1;
  std::vector<std::uint8_t> block(std::begin(kExifPrefix), std::end(kExifPrefix));
  block.insert(block.end(), tiff.begin(), tiff.end());
  std::unique_ptr<ExifData, ExifDataRelease> data(
      exif_data_new_from_data(block.data(), static_cast<unsigned>(block.size())));
  if (!data) return 1;
  ExifEntry* entry = exif_data_get_entry(data.get(), EXIF_TAG_ORIENTATION);
  if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || entry->size < 2) return 1;
  const int value = exif_get_short(entry->data, exif_data_get_byte_order(data.get()));
  return value >= 1 && value <= 8 ? value : 1;
}

bool NormaliseExif(std::span<std::uint8_t> tiff, bool drop_thumbnail) {
  if (tiff.size() < 8) return false;
  TiffView view{tiff, tiff[0] == 'I'};
  if (!((tiff[0] == 'I' && tiff[1] == 'I') || (tiff[0] == 'M' && tiff[1] == 'M')) || view.Get16(2) != 42)
    return false;
  const std::uint64_t ifd = view.Get32(4);
  if (ifd + 2 > tiff.size()) return false;
  const std::uint32_t count = view.Get16(ifd);
  const std::uint64_t end = ifd + 2 + std::uint64_t{count} * 12;
  if (end + 4 > tiff.size()) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = ifd + 2 + std::size_t{i} * 12;
    // Orientation: SHORT (type 3), one value, held in the entry itself.
    if (view.Get16(entry) == 0x0112 && view.Get16(entry + 2) == 3 && view.Get32(entry + 4) == 1)
      view.Put16(entry + 8, 1);
  }
  if (drop_thumbnail) view.Put32(end, 0);
  return true;
}

}  // namespace picture
