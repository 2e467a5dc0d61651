#include "outside/imageacquire/scanner_reader.h"

// The platform header goes first: SANE's headers define TRUE and FALSE as macros.
#include "platform/gdi/png_codec.h"

#include <fcntl.h>
#include <sane/sane.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "outside/imageacquire/image_devices.h"
#include "outside/imageacquire/library_allocations.h"
#include "outside/imageacquire/resident_drivers.h"

namespace imageacquire {
namespace {

// SANE is process-wide: one session at a time.
class SaneSession {
 public:
  SaneSession() {
    LibraryAllocationsIgnored scope;
    PrepareSaneConfiguration();
    SANE_Int version = 0;
    ok_ = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
  }
  ~SaneSession() {
    LibraryAllocationsIgnored scope;
    if (ok_) sane_exit();
  }
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

std::uint32_t PixelAt(const SANE_Parameters& p, const std::uint8_t* line, int x) {
  if (p.format == SANE_FRAME_RGB) {
    const std::uint8_t* px = line + static_cast<std::size_t>(x) * 3;
    return 0xFF000000u | (std::uint32_t{px[0]} << 16) | (std::uint32_t{px[1]} << 8) | px[2];
  }
  std::uint8_t v = 0;
  if (p.depth == 1) {
    // Line art: a set bit is black.
    v = (line[x / 8] & (0x80 >> (x % 8))) ? 0 : 255;
  } else {
    v = line[x];
  }
  return 0xFF000000u | (std::uint32_t{v} << 16) | (std::uint32_t{v} << 8) | v;
}

}  // namespace

bool ScanToPng(const std::string& device, const std::string& target, const ScanCallbacks& callbacks,
               std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  SaneSession sane;
  if (!sane.ok()) return fail("SANE does not start");
  SANE_Handle handle = nullptr;
  LibraryAllocationsIgnored scope;
  if (sane_open(device.c_str(), &handle) != SANE_STATUS_GOOD) return fail("cannot open scanner \"" + device + "\"");
  KeepLoadedDriversResident();
  struct Closer {
    SANE_Handle h;
    ~Closer() { sane_close(h); }
  } closer{handle};

  if (sane_start(handle) != SANE_STATUS_GOOD) return fail("the scanner does not start");
  SANE_Parameters p{};
  if (sane_get_parameters(handle, &p) != SANE_STATUS_GOOD || p.bytes_per_line <= 0 || p.pixels_per_line <= 0 ||
      (p.format != SANE_FRAME_GRAY && p.format != SANE_FRAME_RGB) || (p.depth != 8 && p.depth != 1) ||
      (p.format == SANE_FRAME_RGB && p.depth != 8)) {
    sane_cancel(handle);
    return fail("the scanner's picture format is not supported");
  }
  constexpr int kMaxLines = 20000;
  const int expected = p.lines > 0 ? p.lines : 0;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(p.bytes_per_line));
  std::vector<std::uint32_t> pixels;
  std::size_t filled = 0;
  int lines = 0;
  for (;;) {
    if (callbacks.shouldStop && callbacks.shouldStop()) {
      sane_cancel(handle);
      return fail("stopped");
    }
    SANE_Int got = 0;
    const SANE_Status status =
        sane_read(handle, line.data() + filled, static_cast<SANE_Int>(line.size() - filled), &got);
    if (status == SANE_STATUS_EOF) break;
    if (status != SANE_STATUS_GOOD) {
      sane_cancel(handle);
      return fail("the scan failed");
    }
    filled += static_cast<std::size_t>(got);
    if (filled < line.size()) continue;
    filled = 0;
    for (int x = 0; x < p.pixels_per_line; ++x) pixels.push_back(PixelAt(p, line.data(), x));
    ++lines;
    if (callbacks.progress && expected > 0) callbacks.progress(lines * 100 / expected);
    if (lines >= kMaxLines) break;
  }
  sane_cancel(handle);
  if (lines == 0) return fail("the scan is empty");

  plat::Surface surface(p.pixels_per_line, lines);
  std::copy(pixels.begin(), pixels.end(), surface.data());
  const std::vector<std::uint8_t> png = plat::gdi::EncodePng(surface, false);
  if (png.empty()) return fail("the scan could not be encoded");
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return fail("cannot create " + target);
  std::size_t written = 0;
  while (written < png.size()) {
    const ssize_t n = ::write(fd, png.data() + written, png.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool ok = written == png.size() && ::close(fd) == 0;
  if (!ok) {
    ::unlink(target.c_str());
    return fail("cannot write " + target);
  }
  return true;
}

}  // namespace imageacquire
