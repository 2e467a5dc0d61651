// Figures for the drawing layer: full-screen stretches, a warm-cache label
// and a thumbnail decode of a 12-megapixel photo.
#include <benchmark/benchmark.h>

#include <random>

#include "platform/gdi/gdi.h"
#include "platform/gdi/jpeg_codec.h"

namespace plat {
namespace {

struct Canvas {
  Canvas(int w, int h) {
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateCompatibleBitmap(dc, w, h);
    old = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

void FillNoise(Surface& s) {
  std::mt19937 rng(1);
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.row(y)[x] = 0xFF000000u | (rng() & 0xFFFFFF);
}

// Stretches a source of the given size onto a 1920x1080 destination.
void Stretch(benchmark::State& state, int mode) {
  const int sw = static_cast<int>(state.range(0)), sh = static_cast<int>(state.range(1));
  Canvas src(sw, sh), dst(1920, 1080);
  FillNoise(*GetBitmapSurface(src.bitmap));
  SetStretchBltMode(dst.dc, mode);
  for (auto _ : state) StretchBlt(dst.dc, 0, 0, 1920, 1080, src.dc, 0, 0, sw, sh, SRCCOPY);
  state.counters["Mpx/s"] =
      benchmark::Counter(1920.0 * 1080.0 * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void BM_StretchBlt1080pNearest(benchmark::State& state) { Stretch(state, COLORONCOLOR); }
void BM_StretchBlt1080pSmooth(benchmark::State& state) { Stretch(state, HALFTONE); }
BENCHMARK(BM_StretchBlt1080pNearest)->Args({1280, 720})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchBlt1080pSmooth)->Args({1280, 720})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void BM_DrawTextLabel40px(benchmark::State& state) {
  Canvas c(1200, 100);
  HFONT font = CreateFontA(40, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, "DejaVu Sans");
  HGDIOBJ old = SelectObject(c.dc, font);
  SetBkMode(c.dc, TRANSPARENT);
  SetTextColor(c.dc, RGB(255, 255, 255));
  const char* label = "Now playing: Track 12 - Finale";  // 30 characters
  RECT r{0, 0, 1200, 100};
  DrawTextA(c.dc, label, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);  // warm the cache
  for (auto _ : state) {
    RECT rr = r;
    benchmark::DoNotOptimize(DrawTextA(c.dc, label, -1, &rr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS));
  }
  SelectObject(c.dc, old);
  DeleteObject(font);
}
BENCHMARK(BM_DrawTextLabel40px)->Unit(benchmark::kMicrosecond);

const std::vector<std::uint8_t>& Photo12Mpx() {
  // A 4000x3000 picture with smooth gradients and some noise, like a photo.
  static const std::vector<std::uint8_t> jpeg = [] {
    Surface s(4000, 3000);
    std::mt19937 rng(2);
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x) {
        const std::uint32_t n = rng() & 0x0F;
        s.row(y)[x] = 0xFF000000u | (((x * 255 / 4000) ^ n) << 16) | (((y * 255 / 3000) + n) << 8) | ((x + y) & 0xFF);
      }
    return gdi::EncodeJpeg(s, {90});
  }();
  return jpeg;
}

void BM_JpegDecode12MpxEighth(benchmark::State& state) {
  const auto& jpeg = Photo12Mpx();
  for (auto _ : state) {
    auto thumb = gdi::DecodeJpeg(jpeg, {8});
    benchmark::DoNotOptimize(thumb);
  }
  state.counters["file_MB"] = static_cast<double>(jpeg.size()) / 1e6;
}
BENCHMARK(BM_JpegDecode12MpxEighth)->Unit(benchmark::kMillisecond);

void BM_JpegDecode12MpxFull(benchmark::State& state) {
  const auto& jpeg = Photo12Mpx();
  for (auto _ : state) {
    auto full = gdi::DecodeJpeg(jpeg);
    benchmark::DoNotOptimize(full);
  }
}
BENCHMARK(BM_JpegDecode12MpxFull)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plat
