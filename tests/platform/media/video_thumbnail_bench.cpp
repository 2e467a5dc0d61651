// One video thumbnail from a file in the page cache, per format, beside the
// goals (counter goal_ms): SD MPEG-2 <= 8 ms, 1080p H.264 in AVI <= 40 ms,
// DV <= 5 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/gdi/objects.h"
#include "platform/media/video_thumbnail.h"

namespace {

const std::string kClips = MARIVEL_VIDEO_CLIPS_DIR;

void Prepare() {
  static const bool made = std::system((std::string(MARIVEL_VIDEO_CLIPS_SCRIPT) + " " + kClips).c_str()) == 0;
  if (!made) std::abort();
}

void Thumbnail(benchmark::State& state, const char* file, double goalMs) {
  Prepare();
  const std::string path = kClips + "/" + file;
  for (auto _ : state) {
    plat::HBITMAP bitmap = plat::media::ExtractVideoThumbnailBitmap(path, nullptr);
    if (!bitmap) {
      state.SkipWithError("no thumbnail");
      break;
    }
    plat::DeleteObject(bitmap);
  }
  state.counters["goal_ms"] = goalMs;
}

}  // namespace

BENCHMARK_CAPTURE(Thumbnail, sd_mpeg2, "sd.mpg", 8.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Thumbnail, hd_h264_avi, "hd_h264.avi", 40.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Thumbnail, dv, "dv.dv", 5.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Thumbnail, wmv, "blue.wmv", 0.0)->Unit(benchmark::kMillisecond);
