// The library's three entry points. One API object per process.
#include <memory>
#include <mutex>

#include "outside/tovelax/mm_api.h"

namespace {

std::mutex apiMutex;
std::unique_ptr<tovelax::MMApi> api;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) std::uint32_t GetMMAPIVersion() { return tovelax::kMMAPIVersion; }

__attribute__((visibility("default"))) tovelax::IMMAPI* GetMMAPI() {
  std::lock_guard lock(apiMutex);
  if (!api) api = std::make_unique<tovelax::MMApi>();
  return api.get();
}

__attribute__((visibility("default"))) void ReleaseMMAPI() {
  std::unique_ptr<tovelax::MMApi> released;
  {
    std::lock_guard lock(apiMutex);
    released = std::move(api);
  }
}

}  // extern "C"
