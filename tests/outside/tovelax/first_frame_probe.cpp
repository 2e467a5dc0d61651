// Opens a DVD with the playback library in a fresh process, plays it and
// writes one byte to descriptor 3 when the first frame reaches the client,
// so that a benchmark can time a cold start from outside, as it times the
// GStreamer player.  Usage: tovelax_first_frame_probe <DVD folder>
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>

#include "outside/tovelax/tovelax_api.h"

namespace {

class FirstFramePoster final : public tovelax::INotifyPoster {
 public:
  void Post(tovelax::HWND, std::uint32_t message, std::uintptr_t, std::intptr_t) override {
    if (message != tovelax::kFrameReadyMessage) return;
    std::lock_guard lock(mutex_);
    if (!seen_) (void)!::write(3, "F", 1);
    seen_ = true;
    changed_.notify_all();
  }
  bool Wait(std::chrono::seconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return seen_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string library = std::string(MARIVEL_BIN_DIR) + "/Movie/libtovelax.so";
  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return 1;
  auto get = reinterpret_cast<tovelax::GetMMAPIFn>(dlsym(handle, tovelax::kApiEntry));
  auto release = reinterpret_cast<tovelax::ReleaseMMAPIFn>(dlsym(handle, tovelax::kReleaseEntry));
  tovelax::IMMAPI* api = get ? get() : nullptr;
  if (!api || !release) return 1;
  FirstFramePoster poster;
  api->SetNotifyPoster(&poster);
  api->VideoWindow()->SetMessageDrain(reinterpret_cast<tovelax::HWND>(0x1001));
  std::int32_t discard = 1;
  api->Source()->SetProperty(tovelax::kPropAudioOutput, &discard, 4);
  const bool shown = api->Source()->Open(argv[1]) == tovelax::kOk && api->Transport()->Play() == tovelax::kOk &&
                     poster.Wait(std::chrono::seconds(20));
  api->Source()->Close();
  release();
  return shown ? 0 : 1;
}
