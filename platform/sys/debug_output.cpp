#include "platform/sys/debug_output.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace plat {
namespace {
std::mutex g_mutex;
std::function<void(const std::string&)> g_listener;
}  // namespace

void OutputDebugStringA(const char* text) {
  if (!text) return;
  std::function<void(const std::string&)> listener;
  {
    std::lock_guard lock(g_mutex);
    listener = g_listener;
  }
  if (listener) listener(text);
  if (std::getenv("MARIVEL_DEBUG_OUTPUT")) std::fprintf(stderr, "%s\n", text);
}

void SetDebugOutputListener(std::function<void(const std::string&)> listener) {
  std::lock_guard lock(g_mutex);
  g_listener = std::move(listener);
}

}  // namespace plat
