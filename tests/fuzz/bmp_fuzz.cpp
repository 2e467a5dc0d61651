// libFuzzer entry for the bitmap reader: any bytes must be decoded or
// refused without a crash, a stray access or an outsized allocation.
#include <cstddef>
#include <cstdint>

#include "platform/gdi/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto surface = plat::gdi::DecodeBmp(std::span(data, size));
  if (surface) {
    // Touch every pixel so that a wrongly sized surface shows.
    volatile std::uint32_t sum = 0;
    for (int y = 0; y < surface->height(); ++y)
      for (int x = 0; x < surface->width(); ++x) sum = sum + surface->row(y)[x];
  }
  return 0;
}
