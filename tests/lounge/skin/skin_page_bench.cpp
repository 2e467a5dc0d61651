// A 40-element page at 1920x1080: loading its layout and painting it whole,
// and the redraw of one keyboard focus move in a list.
#include <benchmark/benchmark.h>

#include "skin_page_fixture.h"

namespace {

using namespace skinpage;

constexpr const char* kPage = "Bench\\Page";

// A name with a number, built by appending (GCC 12 warns wrongly about
// operator+ on a literal and a temporary string).
std::string Numbered(const char* prefix, int i) {
  std::string name(prefix);
  name += std::to_string(i);
  return name;
}

// 12 buttons, 4 links, 8 texts, 2 still images, 2 progress bars, 2
// indicators and 2 lists of five items each: 40 elements on a page laid out
// at 1280x720 and shown at 1920x1080.
std::string BenchLayout() {
  std::string body;
  for (int i = 0; i < 12; ++i)
    body += "<action value=\"" + Numbered("B", i) + "\">" + Img("button.bmp") + Pos(20 + 100 * i, 20, 90, 40) +
            "</action>";
  for (int i = 0; i < 4; ++i)
    body += "<link value=\"" + Numbered("L", i) + "\">" + Img("button.bmp") + "<hyperlink value=\"Bench\\Other\"/>" +
            Pos(20 + 100 * i, 80, 90, 40) + "</link>";
  for (int i = 0; i < 8; ++i)
    body += "<text value=\"" + Numbered("T", i) + "\">" + Pos(20 + 150 * i, 140, 140, 24) + "</text>";
  for (int i = 0; i < 2; ++i)
    body += "<still_image value=\"" + Numbered("S", i) + "\">" + Img("still.bmp") + Pos(900 + 180 * i, 200, 160, 120) +
            "</still_image>";
  for (int i = 0; i < 2; ++i)
    body += "<progress value=\"" + Numbered("P", i) + "\">" + Img("progress.bmp") + Pos(20, 640 + 30 * i, 600, 16) +
            "</progress>";
  for (int i = 0; i < 2; ++i)
    body += "<indicator value=\"" + Numbered("I", i) + "\">" + Img("progress.bmp") +
            "<indi_image value=\"knob.bmp\"/>" + Pos(660, 640 + 30 * i, 300, 16) + "</indicator>";
  for (int l = 0; l < 2; ++l) {
    body += "<list value=\"" + Numbered("List", l) + "\">" + Pos(20 + 420 * l, 200, 400, 420) + Img("list.bmp");
    for (int i = 0; i < 5; ++i)
      body += "<list_item value=\"i\">" + Img("item.bmp") + Pos(30 + 420 * l, 210 + 80 * i, 380, 70) + "</list_item>";
    body += "</list>";
  }
  return body;
}

struct BenchPage {
  PageEnvironment env{plat::SIZE{1920, 1080}};
  RecordingHost host;
  TablePage page{env.owner, &host};

  BenchPage() {
    const std::string folder = "Layout/XML/Bench/Page/";
    WriteSolid(env.skin, folder + "bg.bmp", 0xFF303030u, 960, 540);
    WriteStrip(env.skin, folder + "button.bmp", 1, 90, 40);
    WriteStrip(env.skin, folder + "item.bmp", 2, 190, 35);
    WriteSolid(env.skin, folder + "still.bmp", 0xFFAA5500u, 160, 120);
    WriteSolid(env.skin, folder + "progress.bmp", 0xFF102030u, 300, 16, 0xFFE0D0C0u);
    WriteSolid(env.skin, folder + "knob.bmp", 0xFF00FF00u, 16, 16);
    WriteSolid(env.skin, folder + "list.bmp", 0xFF202020u, 200, 210);
    WriteLayout(env.skin, kPage, 1280, 720, BenchLayout());
    for (int i = 0; i < 8; ++i) env.strings.texts[Numbered("T", i)] = "Text number " + std::to_string(i);
    RoutedPage() = &page;
    page.CreateBackBuffer();
  }
};

void BM_LoadLayoutAndPaintAll(benchmark::State& state) {
  BenchPage bench;
  plat::HDC dc = plat::GetDC(bench.env.owner);
  for (auto _ : state) {
    bench.page.LoadLayout(kPage);
    benchmark::DoNotOptimize(bench.page.PaintAll(dc));
  }
  plat::ReleaseDC(bench.env.owner, dc);
}
BENCHMARK(BM_LoadLayoutAndPaintAll)->Unit(benchmark::kMillisecond);

void BM_FocusMoveRedraw(benchmark::State& state) {
  BenchPage bench;
  bench.page.LoadLayout(kPage);
  bench.page.ElementIndex().SetItemCount(0, 5);
  bench.env.Settle();
  int direction = FOCUS_DOWN;
  for (auto _ : state) {
    // Down through the list and back up: each move redraws two items.
    if (bench.page.FocusedEntry() == 4) direction = FOCUS_UP;
    if (bench.page.FocusedEntry() == 0) direction = FOCUS_DOWN;
    benchmark::DoNotOptimize(bench.page.MoveFocus(direction, 0));
  }
}
BENCHMARK(BM_FocusMoveRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

