#include "engines/picture/imagefx/lossless_rotate.h"

#include <turbojpeg.h>

#include <cstring>
#include <memory>

#include "engines/picture/picture_core/exif_block.h"
#include "engines/picture/picture_core/picture_info.h"
#include "engines/picture/picture_core/pixel_ops.h"

namespace imagefx {

namespace {

int TransformOp(picture::Turn turn) {
  switch (turn) {
    case picture::Turn::None: return TJXOP_NONE;
    case picture::Turn::FlipHorizontal: return TJXOP_HFLIP;
    case picture::Turn::FlipVertical: return TJXOP_VFLIP;
    case picture::Turn::Transpose: return TJXOP_TRANSPOSE;
    case picture::Turn::Transverse: return TJXOP_TRANSVERSE;
    case picture::Turn::Rotate90: return TJXOP_ROT90;
    case picture::Turn::Rotate180: return TJXOP_ROT180;
    case picture::Turn::Rotate270: return TJXOP_ROT270;
  }
  return TJXOP_NONE;
}

struct TjHandleRelease {
  void operator()(void* handle) const { tjDestroy(handle); }
};
struct TjBufferRelease {
  void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

bool Refuse(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

// Sets Orientation to 1 in the file's Exif block and cuts its thumbnail.
void NormaliseExifSegments(unsigned char* data, std::size_t size) {
  const std::span<const std::uint8_t> view(data, size);
  for (const picture::JpegSegment& segment : picture::ReadJpegSegments(view)) {
    if (segment.code != 0xE1 || segment.payload.size() <= 6 ||
        std::memcmp(segment.payload.data(), picture::kExifPrefix, 6) != 0)
      continue;
    const std::size_t offset = static_cast<std::size_t>(segment.payload.data() - view.data()) + 6;
    picture::NormaliseExif(std::span<std::uint8_t>(data + offset, segment.payload.size() - 6), true);
    break;
  }
}

}  // namespace

bool RotateJpegLosslessly(const std::string& path, int angle, const FileWriter& writer, std::string* error) {
  if (angle % 360 == 0) return true;
  if (angle % 90 != 0) return Refuse(error, "only quarter turns are lossless");
  std::optional<std::vector<std::uint8_t>> bytes = picture::ReadPictureFile(path, error);
  if (!bytes) return false;
  const std::optional<picture::PictureInfo> info = picture::ProbePicture(*bytes, error);
  if (!info) return false;
  if (info->format != picture::kFormatJpeg) return Refuse(error, path + " is not a JPEG file");
  const picture::Turn turn =
      picture::Combine(picture::TurnForOrientation(info->orientation), picture::TurnForAngle(angle));

  std::unique_ptr<void, TjHandleRelease> handle(tjInitTransform());
  if (!handle) return Refuse(error, "JPEG transformer unavailable");
  tjtransform transform{};
  transform.op = TransformOp(turn);
  transform.options = TJXOPT_PERFECT;
  unsigned char* raw = nullptr;
  unsigned long raw_size = 0;
  if (tjTransform(handle.get(), bytes->data(), bytes->size(), 1, &raw, &raw_size, &transform, 0) != 0) {
    std::unique_ptr<unsigned char, TjBufferRelease> drop(raw);
    return Refuse(error, std::string("lossless turn refused: ") + tjGetErrorStr2(handle.get()));
  }
  std::unique_ptr<unsigned char, TjBufferRelease> result(raw);
  NormaliseExifSegments(result.get(), raw_size);
  std::string why;
  if (!writer(path, std::string_view(reinterpret_cast<const char*>(result.get()), raw_size), &why))
    return Refuse(error, "cannot write " + path + ": " + why);
  return true;
}

}  // namespace imagefx
