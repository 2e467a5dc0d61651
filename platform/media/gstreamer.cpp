#include "platform/media/gstreamer.h"

#include <mutex>

namespace plat::media {

bool InitializeGStreamer(std::string* error) {
  static std::once_flag once;
  static bool ok = false;
  static std::string reason;
  std::call_once(once, [] {
    GError* failure = nullptr;
    ok = gst_init_check(nullptr, nullptr, &failure);
    if (!ok) {
      reason = failure ? failure->message : "GStreamer could not be initialised";
      if (failure) g_error_free(failure);
    }
  });
  if (!ok && error) *error = reason;
  return ok;
}

std::jthread StartGStreamerInBackground(std::function<void()> done) {
  return std::jthread([done = std::move(done)] {
    InitializeGStreamer();
    if (done) done();
  });
}

bool HasElement(const char* factory) {
  if (!InitializeGStreamer()) return false;
  GstElementFactory* found = gst_element_factory_find(factory);
  if (!found) return false;
  gst_object_unref(found);
  return true;
}

}  // namespace plat::media
