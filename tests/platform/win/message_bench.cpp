// Message throughput: posting and dispatching on one thread, and posting
// from a worker to a consumer thread.
#include <benchmark/benchmark.h>

#include <thread>

#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

using namespace plat;

LRESULT CountingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  static std::uint64_t count;
  if (msg == WM_APP) {
    ++count;
    benchmark::DoNotOptimize(count);
    return 0;
  }
  return DefWindowProc(h, msg, w, l);
}

HWND MakeWindow() {
  static bool registered = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "BenchCounter";
    return RegisterClass(&wc) != 0;
  }();
  (void)registered;
  return CreateWindowEx(0, "BenchCounter", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

void BM_PostAndDispatchSameThread(benchmark::State& state) {
  HWND h = MakeWindow();
  const int batch = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) PostMessage(h, WM_APP, static_cast<WPARAM>(i), 0);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
  }
  state.SetItemsProcessed(state.iterations() * batch);
  DestroyWindow(h);
}
BENCHMARK(BM_PostAndDispatchSameThread)->Arg(1000);

void BM_PostFromWorkerDispatchOnOwner(benchmark::State& state) {
  HWND h = MakeWindow();
  const int batch = static_cast<int>(state.range(0));
  for (auto _ : state) {
    std::thread worker([&] {
      for (int i = 0; i < batch; ++i) PostMessage(h, WM_APP, static_cast<WPARAM>(i), 0);
      PostMessage(h, WM_APP + 1, 0, 0);
    });
    MSG m;
    while (GetMessage(&m, nullptr, 0, 0) > 0) {
      if (m.message == WM_APP + 1) break;
      DispatchMessage(&m);
    }
    worker.join();
  }
  state.SetItemsProcessed(state.iterations() * batch);
  DestroyWindow(h);
}
BENCHMARK(BM_PostFromWorkerDispatchOnOwner)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SendMessageSameThread(benchmark::State& state) {
  HWND h = MakeWindow();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(h, WM_APP, 0, 0));
  state.SetItemsProcessed(state.iterations());
  DestroyWindow(h);
}
BENCHMARK(BM_SendMessageSameThread);

}  // namespace
