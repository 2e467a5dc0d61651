#include "engines/picture/imagefx/lossless_rotate.h"

#include <turbojpeg.h>

#include <algorithm>
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
  std::optional<picture::PictureBytes> bytes = picture::ReadPictureFile(path, error);
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
  // One output buffer large enough for any result (the turned picture plus
  // every copied marker): growing it while writing would copy it each time.
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  if (tjDecompressHeader3(handle.get(), bytes->data(), bytes->size(), &width, &height, &subsampling,
                          &colourspace) != 0)
    return Refuse(error, std::string("not a readable JPEG file: ") + tjGetErrorStr2(handle.get()));
  // A header declaring a huge picture over little data gets no such buffer:
  // the library then grows its own as the output comes.
  const int side = std::max(width, height);
  const unsigned long bound = tjBufSize(side, side, subsampling < 0 ? TJSAMP_444 : subsampling);
  constexpr unsigned long kMaxPreallocated = 1ul << 30;
  unsigned char* raw = nullptr;
  unsigned long raw_size = 0;
  int flags = 0;
  if (bound != static_cast<unsigned long>(-1) && bound + bytes->size() <= kMaxPreallocated &&
      bound <= 64 * bytes->size() + (64ul << 20)) {
    raw_size = bound + bytes->size();
    raw = tjAlloc(static_cast<int>(raw_size));
    if (!raw) return Refuse(error, "out of memory");
    flags = TJFLAG_NOREALLOC;
  }
  if (tjTransform(handle.get(), bytes->data(), bytes->size(), 1, &raw, &raw_size, &transform, flags) != 0) {
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
