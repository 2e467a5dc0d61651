// libFuzzer entry for the GIF decoder and the picture file-information
// probe: any bytes must be decoded or refused without a crash, a stray
// access or an outsized allocation.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engines/picture/picture_core/picture_info.h"
#include "platform/gdi/gif_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  (void)picture::ProbePicture(bytes);
  (void)picture::ReadJpegSegments(bytes);
  (void)plat::gdi::ReadGifInfo(bytes);
  std::vector<std::string> comments;
  auto surface = plat::gdi::DecodeGif(bytes, nullptr, &comments);
  if (surface) {
    // Touch every pixel so that a wrongly sized surface shows.
    volatile std::uint32_t sum = 0;
    for (int y = 0; y < surface->height(); ++y)
      for (int x = 0; x < surface->width(); ++x) sum = sum + surface->row(y)[x];
  }
  return 0;
}
